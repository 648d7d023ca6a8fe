// The one document: settings, the three job slots, job preparation and segment building.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "platform/apppaths.h"
#include "plot/pltfiledata.h"
#include "printdata/joblayout.h"
#include "printdata/pltlinesects4data.h"
#include "printdata/plts4c4printdata.h"
#include "settings/userdefine.h"

enum JobSlot { SlotPrint = 0, SlotPreview = 1, SlotPrintPreview = 2 };

// What the preview pane shows (m_nViewMode).
enum EViewMode {
    ViewNone = 0,
    ViewPreview = 1,        // the drawing of a slot
    ViewScaled = 2,         // the print slot's sections to scale
    ViewFiringData = 4,     // the print slot's firing data
    ViewOutputPreview = 5,  // the print-preview slot in print layout
};

// What SetUpPrint found: the job may start, or why nothing is sent.
enum class EPrintSetup { Ready, NoDrawing, NoPrintData };

class CMarquellDoc {
public:
    // appDir: a folder holding config.ini, with the log, the task folder and the pages beside it;
    // empty: the paths the program decided at start-up.
    explicit CMarquellDoc(const std::string& appDir = std::string());
    explicit CMarquellDoc(const CAppPaths& paths);
    ~CMarquellDoc();
    CMarquellDoc(const CMarquellDoc&) = delete;
    CMarquellDoc& operator=(const CMarquellDoc&) = delete;

    // Read and write config.ini; false, with the reason in m_strConfigProblem, when the file could not be
    // read (or holds no settings) or could not be written.
    bool LoadConfig();
    bool SaveConfig();
    // What the operator is told when config.ini could not be read or written (UTF-8, one line).
    std::string ConfigProblemText(bool bSaving) const;

    bool PrepareJob(JobSlot slot);
    void ComputeSize(PltInfo& info, JobSlot slot);
    void FoldWideJob(PltInfo& info);

    // Finalizes the print slot's layout and allocates its raster and segment buffers; false (after
    // a message when the job is too large for the print geometry or its sections could not be
    // built) when printing must not start.
    bool AllocPrintBuffers();
    // True when the print slot has nothing (more) to send.
    bool IsJobDone() const;
    // The print slot's drawing gives no section to print: a job of it would send a blank page. (A file
    // that drew nothing at all shows in m_PltData[SlotPrint].m_nDrawnLines.)
    bool HasNothingToPrint() const;
    // After PrepareJob(SlotPrint): the print buffers of a job that draws something. A file that draws
    // nothing, or whose drawing gives no section, is NoDrawing and gets no buffers (a blank page would
    // pass for a printed marker); NoPrintData when AllocPrintBuffers refuses.
    EPrintSetup SetUpPrint();
    // Segment of sections cursor.. of the print slot, or the colour bar.
    bool MakeSegment(int cursor, bool bColorBar);
    // Finishes the segment for sending, under the print-data lock.
    bool CompressAndChecksum();

    // Releases the data of the three job slots.
    void FreeSlots();

    CAppPaths m_Paths;
    std::string m_strConfigPath;
    std::string m_strConfigProblem;
    CUserDefine m_UserDefine;
    // The settings the preview slots were prepared with (the print slot uses m_UserDefine itself).
    CUserDefine m_PreviewSettings[3];

    std::string m_strSlotPath[3];
    CJobLayout m_Layout[3];
    CPltFileData m_PltData[3];
    CPltLineSectS4Data m_Sections[3];
    CPltS4C4PrintData m_PrintData[3];

    CJobLayout* m_pCurLayout = &m_Layout[SlotPrint];
    CPltFileData* m_pCurPlt = &m_PltData[SlotPrint];

    // The estimate's dry run: after the colour bar every segment goes out blank, built once and then sent
    // again with a real segment's polls, so the job takes the protocol's time without its raster work.
    // (Compressed segments vary in length with their dots: they are built as usual.)
    bool m_bDryRun = false;

    uint8_t m_bFoldJob = 0;
    int m_nViewMode = ViewNone;
    std::mutex m_PrintDataLock;

    // The poll between passes (command 0x45 with a 30 ms reply time-out); set by the plotter link.
    std::function<void()> m_fnPoll;

private:
    enum class EBlank { None, Built, Finished };
    bool MakeBlankSegment(int cursor);

    EBlank m_eBlank = EBlank::None;  // what the segment buffer holds in a dry run
};

// The one document, published by the task list before the worker starts; the worker and the link read
// the print slot only after the task list raised the print task.
extern CMarquellDoc* gpDoc;
