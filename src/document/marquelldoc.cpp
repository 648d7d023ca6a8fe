// The document: settings load and save, job preparation of the three slots, segment building.
#include "document/marquelldoc.h"

#include "platform/windowbridge.h"
#include "plot/jobgeometry.h"
#include "printdata/segmentpacker.h"
#include "settings/configstore.h"

CMarquellDoc* gpDoc = nullptr;

CMarquellDoc::CMarquellDoc(const std::string& appDir)
    : CMarquellDoc(appDir.empty() ? GetAppPaths() : CAppPaths::InFolder(appDir))
{
}

CMarquellDoc::CMarquellDoc(const CAppPaths& paths) : m_Paths(paths)
{
    m_strConfigPath = m_Paths.ConfigPath();
    LoadConfig();
}

CMarquellDoc::~CMarquellDoc()
{
    FreeSlots();
}

bool CMarquellDoc::LoadConfig()
{
    return CConfigStore::Load(m_UserDefine, m_strConfigPath, m_Paths.DefaultTaskFolder(), &m_strConfigProblem);
}

bool CMarquellDoc::SaveConfig()
{
    return CConfigStore::Save(m_UserDefine, m_strConfigPath, &m_strConfigProblem);
}

bool CMarquellDoc::PrepareJob(JobSlot slot)
{
    // The layout writes its derived head fields into the record it is given, and the worker reads the
    // record's while it prints: a preview works on a copy.
    CUserDefine& ud = slot == SlotPrint ? m_UserDefine : (m_PreviewSettings[slot] = m_UserDefine);
    m_pCurLayout = &m_Layout[slot];
    m_pCurPlt = &m_PltData[slot];
    CPltFileData& plt = *m_pCurPlt;

    plt.SetCharSize(ud.PLTFONTSIZE);
    plt.SetScale(ud.m_fRatioX, ud.m_fRatioY);
    plt.SetFlipY(ud.m_bFlipY);
    plt.SetRotate(ud.PRINTROTATION90);
    plt.SetMirror(ud.PRINTMIRROR);
    m_pCurLayout->Reset();

    if (!plt.Load(m_strSlotPath[slot].c_str()))
        return false;

    if (plt.GetMirror())
        plt.Mirror();
    if (plt.GetRotate()) {
        plt.Rotate90();
        if (ud.PRINTROTATION90_UNCLOCKWISE) {
            plt.Rotate90();
            plt.Rotate90();
        }
    }
    // The base quarter turn brings the plot's long axis from the file's X to the feed.
    plt.SetRotate(1);
    plt.Rotate90();

    ComputeSize(plt, slot);
    if (slot != SlotPreview && m_bFoldJob)
        FoldWideJob(plt);

    m_pCurLayout->Setup(&ud, plt);
    CPltLineSectS4Data& sections = m_Sections[slot];
    sections.m_pLayout = m_pCurLayout;
    sections.CountFragments(plt);
    sections.FillFragments(plt);
    return true;
}

std::string CMarquellDoc::ConfigProblemText(bool bSaving) const
{
    if (bSaving)
        return "The settings were not saved to " + m_strConfigPath + ": " + m_strConfigProblem;
    return "The settings in " + m_strConfigPath + " were not read (" + m_strConfigProblem +
           "); the program runs on the default settings";
}

void CMarquellDoc::ComputeSize(PltInfo& info, JobSlot slot)
{
    CJobGeometry::ComputeSize(info, slot == SlotPreview, m_UserDefine.MAXWIDTH, m_bFoldJob);
}

void CMarquellDoc::FoldWideJob(PltInfo& info)
{
    CJobGeometry::FoldWideJob(info);
}

bool CMarquellDoc::AllocPrintBuffers()
{
    CPltS4C4PrintData& data = m_PrintData[SlotPrint];
    CJobLayout& layout = m_Layout[SlotPrint];
    data.m_pLayout = &layout;
    m_eBlank = EBlank::None;
    // Sections that could not be built (a drawing too large to cut into bands) would print blank.
    if (!layout.Finalize() || !m_Sections[SlotPrint].m_pSections) {
        data.FreeBuffers();
        ShowMessage(kPrintSizeMessage);
        return false;
    }
    return data.AllocBuffers();
}

bool CMarquellDoc::HasNothingToPrint() const
{
    const CJobLayout& layout = m_Layout[SlotPrint];
    return layout.m_nLengthDots < 1 || layout.m_nWidthDots < 1 || layout.m_nSectionCount < 1;
}

EPrintSetup CMarquellDoc::SetUpPrint()
{
    if (m_PltData[SlotPrint].m_nDrawnLines == 0)
        return EPrintSetup::NoDrawing;
    if (!AllocPrintBuffers())
        return EPrintSetup::NoPrintData;
    return HasNothingToPrint() ? EPrintSetup::NoDrawing : EPrintSetup::Ready;
}

bool CMarquellDoc::IsJobDone() const
{
    const CJobLayout& layout = m_Layout[SlotPrint];
    return HasNothingToPrint() || layout.m_nSectionCursor >= layout.m_nSectionCount;
}

bool CMarquellDoc::MakeSegment(int cursor, bool bColorBar)
{
    if (m_bDryRun && !bColorBar && !m_UserDefine.DATACOMPRESS)
        return MakeBlankSegment(cursor);
    m_eBlank = EBlank::None;
    return CSegmentPacker::MakeSegment(m_PrintData[SlotPrint], m_Layout[SlotPrint], m_Sections[SlotPrint],
                                       m_UserDefine, cursor, bColorBar, m_fnPoll);
}

bool CMarquellDoc::MakeBlankSegment(int cursor)
{
    const CJobLayout& layout = m_Layout[SlotPrint];
    if (m_eBlank == EBlank::Finished) {
        CSegmentPacker::SegmentPolls(m_UserDefine, m_fnPoll);
        return cursor >= 0 && cursor < layout.m_nSectionCount;
    }
    CPltLineSectS4Data noSections;
    m_eBlank = EBlank::Built;
    return CSegmentPacker::MakeSegment(m_PrintData[SlotPrint], m_Layout[SlotPrint], noSections, m_UserDefine,
                                       cursor, false, m_fnPoll);
}

bool CMarquellDoc::CompressAndChecksum()
{
    std::lock_guard<std::mutex> lock(m_PrintDataLock);
    if (m_eBlank == EBlank::Finished) {
        // The blank segment, its words and its checksum are as they were finished.
        if (m_fnPoll)
            m_fnPoll();
        return true;
    }
    const bool done = CSegmentPacker::CompressAndChecksum(m_PrintData[SlotPrint], m_Layout[SlotPrint],
                                                          m_UserDefine.DATACOMPRESS, m_fnPoll);
    if (m_eBlank == EBlank::Built)
        m_eBlank = done ? EBlank::Finished : EBlank::None;
    return done;
}

void CMarquellDoc::FreeSlots()
{
    for (int slot = 0; slot < 3; ++slot) {
        m_PltData[slot].FreeLines();
        m_Sections[slot].FreeSections();
        m_PrintData[slot].FreeBuffers();
    }
}
