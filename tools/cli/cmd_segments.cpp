// tessaline-cli segments: every segment of a job exactly as it would be sent, with a manifest.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cliargs.h"
#include "clijob.h"
#include "commands.h"
#include "consolebridge.h"
#include "printdata/segmentpacker.h"

namespace {

const char kUsage[] =
    "usage: tessaline-cli segments FILE [--config INI] --out DIR|- [--compress] [--fast]\n"
    "Prepares FILE as a print job starts (settings from INI, else config.ini next to the program) and\n"
    "writes every segment as it would be sent, 16-bit words least significant byte first:\n"
    "DIR/colorbar.bin, DIR/segment-0000.bin, ... and DIR/manifest.json with the words sent and the\n"
    "checksum of each. With --out - only the manifest is written, to standard output.\n"
    "--compress sends the run-length form; --fast skips the real wait for a growing file.\n";

struct SentSegment {
    std::string file;
    int sentWords = 0;
    uint32_t checksum = 0;
};

bool WriteWords(const std::filesystem::path& path, const uint16_t* words, int count)
{
    std::vector<unsigned char> bytes(2 * static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        bytes[2 * i] = static_cast<unsigned char>(words[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<unsigned char>(words[i] >> 8);
    }
    FILE* f = std::fopen(path.string().c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// Builds and finishes one segment as the worker does; writes it unless dir is empty.
bool Emit(CMarquellDoc& doc, int cursor, bool colorBar, const std::string& name, const std::filesystem::path& dir,
          std::vector<SentSegment>& sent)
{
    doc.MakeSegment(cursor, colorBar);
    if (!doc.CompressAndChecksum())
        return false;
    const CJobLayout& layout = doc.m_Layout[SlotPrint];
    const CPltS4C4PrintData& data = doc.m_PrintData[SlotPrint];
    if (!dir.empty() && !WriteWords(dir / name, data.m_pSegment, layout.m_nSentWords)) {
        std::fprintf(stderr, "tessaline-cli: cannot write '%s'\n", (dir / name).string().c_str());
        return false;
    }
    sent.push_back(SentSegment{name, layout.m_nSentWords, data.m_nChecksum});
    return true;
}

bool WriteManifest(FILE* out, const CJobLayout& layout, const std::vector<SentSegment>& sent)
{
    CJsonWriter json(out);
    json.BeginObject();
    json.Field("passes", layout.m_nPassesPerSegment);
    json.Field("sectionCount", layout.m_nSectionCount.load());
    json.Field("segmentWords", layout.m_nSegmentWords);
    json.Key("segments").BeginArray();
    for (const SentSegment& s : sent) {
        char checksum[9];
        std::snprintf(checksum, sizeof checksum, "%08X", s.checksum);
        json.BeginObject();
        json.Field("file", s.file);
        json.Field("sentWords", s.sentWords);
        json.Field("checksum", checksum);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return std::fflush(out) == 0 && !std::ferror(out);
}

}  // namespace

int RunSegments(const std::vector<std::string>& args)
{
    CCliArgs cli({"--config", "--out"}, {"--compress", "--fast", "--help"});
    if (const int status = ParseFileCommand(cli, args, "segments", kUsage); status >= 0)
        return status;
    if (!cli.Has("--out") || cli.Value("--out").empty())
        return UsageError("segments", kUsage, "--out DIR or --out - is required");
    const bool toStdout = cli.Value("--out") == "-";
    std::filesystem::path dir = toStdout ? std::filesystem::path() : std::filesystem::path(cli.Value("--out"));

    CCliClock clock(cli.Has("--fast"));
    CConsoleBridge bridge(CConsoleBridge::Answer::No, nullptr);
    CScopedWindowBridge installBridge(bridge);

    if (!ApplyConfigOption(cli))
        return 2;
    CMarquellDoc doc;
    if (cli.Has("--compress"))
        doc.m_UserDefine.DATACOMPRESS = true;
    const std::string& file = cli.Positional()[0];
    if (!PrepareFile(doc, SlotPrint, file))
        return 2;
    if (!doc.AllocPrintBuffers()) {
        std::fprintf(stderr, "tessaline-cli: the print buffers of '%s' could not be allocated\n", file.c_str());
        return 2;
    }
    if (!dir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        if (ec) {
            std::fprintf(stderr, "tessaline-cli: cannot create '%s': %s\n", dir.string().c_str(),
                         ec.message().c_str());
            return 2;
        }
    }

    const CJobLayout& layout = doc.m_Layout[SlotPrint];
    std::vector<SentSegment> sent;
    if (!doc.IsJobDone()) {
        bool ok = Emit(doc, 0, true, "colorbar.bin", dir, sent);
        const int passes = layout.m_nPassesPerSegment;
        for (int k = 0; ok && k < layout.m_nSectionCount / passes; ++k) {
            char name[32];
            std::snprintf(name, sizeof name, "segment-%04d.bin", k);
            ok = Emit(doc, k * passes, false, name, dir, sent);
        }
        if (!ok)
            return 2;
    }

    if (toStdout)
        return WriteManifest(stdout, layout, sent) ? 0 : 2;
    FILE* out = std::fopen((dir / "manifest.json").string().c_str(), "wb");
    bool ok = out && WriteManifest(out, layout, sent);
    if (out && std::fclose(out) != 0)
        ok = false;
    if (!ok) {
        std::fprintf(stderr, "tessaline-cli: cannot write '%s'\n", (dir / "manifest.json").string().c_str());
        return 2;
    }
    return 0;
}
