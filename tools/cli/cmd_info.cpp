// tessaline-cli info: what a plot file holds before it prints, with the estimated print time, as JSON.
#include <cstdio>

#include "app/jobreport.h"
#include "cliargs.h"
#include "clijob.h"
#include "commands.h"
#include "printdata/joblayout.h"
#include "queue/jobpace.h"

namespace {

const char kUsage[] =
    "usage: tessaline-cli info FILE [--config INI]\n"
    "Reads FILE as a job start prepares it (settings from INI, else the program's config.ini), as it is\n"
    "now, and prints one JSON object:\n"
    "  maxX, maxY        extent in the print frame, plotter units (0.025 mm)\n"
    "  widthM, lengthM   across and along the paper in metres, fold: printed folded\n"
    "  records, drawnRecords, sections, segments (the colour bar not counted)\n"
    "  protocolS         the protocol's own time for the job: a dry run of the whole job against the\n"
    "                    virtual plotter on virtual time (null when the job would not print)\n"
    "  ratio, estimateS  real over dry-run time of the last jobs printed from the task folder (1 before\n"
    "                    any), and protocolS times it: the estimated print time in seconds\n"
    "  printable         no finding stops printing\n"
    "  findings          [{kind, stops, ...}]: unhandled-instructions (instructions: counts by mnemonic),\n"
    "                    missing-glyphs (labels, characters, codes), outside-width (maxWidthM; records\n"
    "                    reaching right of it, left of 0, before the paper's start), right-edge (rightDots,\n"
    "                    maxRightDots: the controller would refuse the job), too-large, empty,\n"
    "                    not-plot-file, no-drawing, message (text the preparation would show)\n"
    "Exit status: 0 with the object, 2 bad options or a file that cannot be read (one line on stderr).\n";

const char* KindName(EFinding kind)
{
    switch (kind) {
    case EFinding::Unhandled: return "unhandled-instructions";
    case EFinding::MissingGlyphs: return "missing-glyphs";
    case EFinding::OutsideWidth: return "outside-width";
    case EFinding::RightEdge: return "right-edge";
    case EFinding::TooLarge: return "too-large";
    case EFinding::Empty: return "empty";
    case EFinding::NotPlotFile: return "not-plot-file";
    case EFinding::NoDrawing: return "no-drawing";
    case EFinding::Message: return "message";
    }
    return "";
}

std::string CodeText(unsigned code)
{
    char text[16];
    std::snprintf(text, sizeof text, code < 0x100 ? "0x%02X" : "0x%04X", code);
    return text;
}

// The details of one finding, after its kind and whether it stops printing.
void WriteDetails(CJsonWriter& json, const CFinding& finding, const CJobReport& report)
{
    const PltReadNotes& notes = report.m_Notes;
    switch (finding.m_eKind) {
    case EFinding::Unhandled: {
        json.Key("instructions").BeginObject();
        for (const auto& [mnemonic, count] : notes.m_Unhandled)
            json.Field(mnemonic, count);
        json.EndObject();
        break;
    }
    case EFinding::MissingGlyphs:
        json.Field("labels", notes.m_nLabelsMissing);
        json.Field("characters", notes.m_nMissingChars);
        json.Key("codes").BeginArray();
        for (unsigned code : notes.m_MissingCodes)
            json.String(CodeText(code));
        json.EndArray();
        break;
    case EFinding::OutsideWidth:
        json.Field("maxWidthM", report.m_fMaxWidthM);
        json.Field("right", report.m_nOutsideRight);
        json.Field("left", report.m_nOutsideLeft);
        json.Field("beforeStart", report.m_nBeforeStart);
        break;
    case EFinding::RightEdge:
        json.Field("rightDots", report.m_nRightDots);
        json.Field("maxRightDots", kMaxRightDots);
        break;
    case EFinding::Message: json.Field("text", finding.m_strText); break;
    default: break;
    }
}

void WriteReport(CJsonWriter& json, const std::string& file, const CJobReport& report, double ratio)
{
    json.BeginObject();
    json.Field("file", file);
    json.Field("maxX", report.m_fMaxX);
    json.Field("maxY", report.m_fMaxY);
    json.Field("widthM", report.m_fWidthM);
    json.Field("lengthM", report.m_fLengthM);
    json.Field("fold", report.m_bFold);
    json.Field("records", report.m_nRecords);
    json.Field("drawnRecords", report.m_nDrawnRecords);
    json.Field("sections", report.m_nSections);
    json.Field("segments", report.m_nSegments);
    const bool timed = report.m_bDryRun && report.m_DryRun.m_bFinished;
    const double seconds = report.m_DryRun.m_nMs / 1000.0;
    json.Key("protocolS");
    timed ? json.Float(static_cast<float>(seconds)) : json.Null();
    json.Field("ratio", static_cast<float>(ratio));
    json.Key("estimateS");
    timed ? json.Float(static_cast<float>(seconds * ratio)) : json.Null();
    json.Field("printable", report.Printable());
    json.Key("findings").BeginArray();
    for (const CFinding& finding : report.m_Findings) {
        json.BeginObject();
        json.Field("kind", KindName(finding.m_eKind));
        json.Field("stops", finding.m_bStops);
        WriteDetails(json, finding, report);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

}  // namespace

int RunInfo(const std::vector<std::string>& args)
{
    CCliArgs cli({"--config"}, {"--help"});
    if (const int status = ParseFileCommand(cli, args, "info", kUsage); status >= 0)
        return status;
    const std::string file = cli.Positional()[0];

    // The file as it is now: the reader's wait for a growing file passes at once.
    CCliClock clock(true);
    if (!ApplyConfigOption(cli))
        return 2;
    CMarquellDoc doc;
    CJobReport report;
    if (!report.Inspect(doc, file)) {
        std::fprintf(stderr, "tessaline-cli: '%s': %s\n", file.c_str(), report.m_strError.c_str());
        return 2;
    }
    CJobPace pace;
    pace.SetFolder(doc.m_Paths.TaskFolder(doc.m_UserDefine.WORKPATH));

    CJsonWriter json(stdout);
    WriteReport(json, file, report, pace.Ratio());
    return 0;
}
