// Inspecting a plot file as a job start would prepare it.
#include "app/jobreport.h"

#include <algorithm>
#include <mutex>

#include "document/marquelldoc.h"
#include "platform/windowbridge.h"
#include "printdata/joblayout.h"

namespace {

// Keeps the messages the preparation shows instead of showing them.
class CMessageRecorder : public CWindowBridge {
public:
    int MessageBox(const std::string& text, const std::string&, int buttons, int) override
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        if (std::find(m_Texts.begin(), m_Texts.end(), text) == m_Texts.end())
            m_Texts.push_back(text);
        return buttons == MB_YESNO ? IDNO : IDOK;
    }
    void RefreshProgress() override {}
    void RedrawStatusBar() override {}
    void RepaintPreview() override {}

    std::mutex m_Lock;
    std::vector<std::string> m_Texts;
};

}  // namespace

bool CJobReport::Inspect(CMarquellDoc& doc, const std::string& file, bool dryRun)
{
    *this = CJobReport();
    CMessageRecorder messages;
    {
        CScopedWindowBridge recording(messages);
        doc.m_strSlotPath[SlotPrint] = file;
        const CPltFileData& plt = doc.m_PltData[SlotPrint];
        if (!doc.PrepareJob(SlotPrint)) {
            switch (plt.LastError()) {
            case ELoadError::Empty: Add(EFinding::Empty, true); break;
            case ELoadError::NotPlotFile: Add(EFinding::NotPlotFile, true); break;
            case ELoadError::TooLarge: Add(EFinding::TooLarge, true); break;
            default: m_strError = plt.LastErrorText(); return false;
            }
            return true;
        }
        const CJobLayout& layout = doc.m_Layout[SlotPrint];
        m_fMaxX = plt.m_fMaxX;
        m_fMaxY = plt.m_fMaxY;
        m_fWidthM = layout.m_fWidthM;
        m_fLengthM = layout.m_fLengthM;
        m_bFold = doc.m_bFoldJob != 0;
        m_nRecords = plt.m_nLineCount;
        m_nDrawnRecords = plt.m_nDrawnLines;
        m_nSections = layout.m_nSectionCount;
        m_nSegments = layout.SegmentCount();
        m_Notes = plt.m_Notes;
        m_fMaxWidthM = doc.m_UserDefine.MAXWIDTH / 100.0f;
        // MAXWIDTH is in centimetres, 400 plotter units each.
        CountOutside(plt, doc.m_UserDefine.MAXWIDTH * 400.0f);
        AddNotes();

        switch (doc.SetUpPrint()) {
        case EPrintSetup::Ready: m_nRightDots = layout.m_nRightDots; break;
        case EPrintSetup::NoDrawing: Add(EFinding::NoDrawing, true); break;
        case EPrintSetup::NoPrintData:
            m_nRightDots = layout.m_nAskedRightDots;
            Add(m_nRightDots > kMaxRightDots ? EFinding::RightEdge : EFinding::TooLarge, true);
            break;
        }
    }
    for (const std::string& text : messages.m_Texts)
        if (text != kPrintSizeMessage)
            Add(EFinding::Message, false, text);
    if (dryRun && Printable()) {
        m_DryRun = CDryRun::Run(doc);
        m_bDryRun = true;
    }
    return true;
}

bool CJobReport::Printable() const
{
    return std::none_of(m_Findings.begin(), m_Findings.end(), [](const CFinding& f) { return f.m_bStops; });
}

const CFinding* CJobReport::Find(EFinding kind) const
{
    for (const CFinding& f : m_Findings)
        if (f.m_eKind == kind)
            return &f;
    return nullptr;
}

void CJobReport::CountOutside(const PltInfo& model, float maxWidthUnits)
{
    for (uint32_t i = 0; i < model.m_nLineCount; ++i) {
        const PltLine& l = model.m_pLines[i];
        m_nOutsideRight += l.x1 > maxWidthUnits || l.x2 > maxWidthUnits;
        m_nOutsideLeft += l.x1 < 0 || l.x2 < 0;
        m_nBeforeStart += l.y1 < 0 || l.y2 < 0;
    }
}

void CJobReport::AddNotes()
{
    if (!m_Notes.m_Unhandled.empty())
        Add(EFinding::Unhandled, false);
    if (m_Notes.m_nMissingChars > 0)
        Add(EFinding::MissingGlyphs, false);
    if (m_nOutsideRight || m_nOutsideLeft || m_nBeforeStart)
        Add(EFinding::OutsideWidth, false);
}

void CJobReport::Add(EFinding kind, bool stops, const std::string& text)
{
    m_Findings.push_back(CFinding{kind, stops, text});
}
