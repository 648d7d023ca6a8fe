// tessaline-cli model: prepares a plot file for one job slot and prints its model as JSON.
#include <cstdio>

#include "cliargs.h"
#include "clijob.h"
#include "commands.h"

namespace {

const char kUsage[] =
    "usage: tessaline-cli model FILE [--config INI] [--slot print|preview|print-preview] [--records] [--fast]\n"
    "Reads FILE as the program prepares a job (settings from INI, else config.ini next to the program)\n"
    "and prints one JSON object: lines, maxX, maxY, widthM, lengthM, fold, the head layout (bandHeight,\n"
    "sectionCount, widthDots, lengthDots, rowBytes, columns, segmentWords, leftDots, rightDots,\n"
    "stepTotal, passesPerSegment, headPairCode; for the print slot as a job starts) and, with --records,\n"
    "records [[x1, y1, x2, y2], ...] in plotter units. --fast skips the real wait for a growing file.\n";

void WriteModelFields(CJsonWriter& json, const CMarquellDoc& doc, JobSlot slot)
{
    const CPltFileData& plt = doc.m_PltData[slot];
    json.Field("lines", plt.m_nLineCount);
    json.Field("maxX", plt.m_fMaxX);
    json.Field("maxY", plt.m_fMaxY);
    json.Field("widthM", plt.m_fWidthM);
    json.Field("lengthM", plt.m_fLengthM);
    json.Field("fold", doc.m_bFoldJob != 0);
}

// The slot's head layout after PrepareJob; for the print slot after AllocPrintBuffers, as a job starts.
void WriteLayoutFields(CJsonWriter& json, const CMarquellDoc& doc, JobSlot slot)
{
    const CJobLayout& layout = doc.m_Layout[slot];
    json.Field("bandHeight", layout.m_nBandHeight);
    json.Field("sectionCount", layout.m_nSectionCount.load());
    json.Field("widthDots", layout.m_nWidthDots);
    json.Field("lengthDots", layout.m_nLengthDots);
    json.Field("rowBytes", layout.m_nRowBytes);
    json.Field("columns", layout.m_nColumns);
    json.Field("segmentWords", layout.m_nSegmentWords);
    json.Field("leftDots", layout.m_nLeftDots);
    json.Field("rightDots", layout.m_nRightDots);
    json.Field("stepTotal", layout.m_nStepTotal);
    json.Field("passesPerSegment", layout.m_nPassesPerSegment);
    json.Field("headPairCode", doc.m_UserDefine.m_nHeadPairCode);
}

void WriteRecords(CJsonWriter& json, const PltInfo& info)
{
    json.Key("records").BeginArray();
    for (uint32_t i = 0; i < info.m_nLineCount; ++i) {
        const PltLine& l = info.m_pLines[i];
        json.BeginArray();
        json.Float(l.x1);
        json.Float(l.y1);
        json.Float(l.x2);
        json.Float(l.y2);
        json.EndArray();
    }
    json.EndArray();
}

}  // namespace

int RunModel(const std::vector<std::string>& args)
{
    CCliArgs cli({"--config", "--slot"}, {"--records", "--fast", "--help"});
    if (const int status = ParseFileCommand(cli, args, "model", kUsage); status >= 0)
        return status;
    JobSlot slot = SlotPrint;
    if (!ParseSlot(cli.Value("--slot", "print"), slot))
        return UsageError("model", kUsage, "unknown slot '" + cli.Value("--slot") + "'");

    CCliClock clock(cli.Has("--fast"));
    if (!ApplyConfigOption(cli))
        return 2;
    CMarquellDoc doc;
    if (!PrepareFile(doc, slot, cli.Positional()[0]))
        return 2;
    if (slot == SlotPrint)
        doc.AllocPrintBuffers();

    CJsonWriter json(stdout);
    json.BeginObject();
    WriteModelFields(json, doc, slot);
    WriteLayoutFields(json, doc, slot);
    if (cli.Has("--records"))
        WriteRecords(json, doc.m_PltData[slot]);
    json.EndObject();
    return 0;
}
