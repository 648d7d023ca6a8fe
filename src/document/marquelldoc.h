// The one document: settings, the three job slots, job preparation and segment building.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "document/userdefine.h"
#include "platform/apppaths.h"
#include "plot/pltfiledata.h"
#include "printdata/joblayout.h"
#include "printdata/pltlinesects4data.h"
#include "printdata/plts4c4printdata.h"

enum JobSlot { SlotPrint = 0, SlotPreview = 1, SlotPrintPreview = 2 };

class CMarquellDoc {
public:
    // appDir: a folder holding config.ini, with the log, the task folder and the pages beside it;
    // empty: the paths the program decided at start-up.
    explicit CMarquellDoc(const std::string& appDir = std::string());
    explicit CMarquellDoc(const CAppPaths& paths);
    ~CMarquellDoc();
    CMarquellDoc(const CMarquellDoc&) = delete;
    CMarquellDoc& operator=(const CMarquellDoc&) = delete;

    bool LoadConfig();
    bool SaveConfig();

    bool PrepareJob(JobSlot slot);
    void ComputeSize(PltInfo& info, JobSlot slot);
    void FoldWideJob(PltInfo& info);

    // Finalizes the print slot's layout and allocates its raster and segment buffers; false (after
    // a message when the job is too large for the print geometry or its sections could not be
    // built) when printing must not start.
    bool AllocPrintBuffers();
    // True when nothing (more) is to be sent; a true result clears the stop request.
    bool IsJobDone();
    // The print slot's drawing gives no section to print.
    bool HasNothingToPrint() const;
    // Segment of sections cursor.. of the print slot, or the colour bar while it is pending.
    bool MakeSegment(int cursor);
    // Finishes the segment for sending, under the print-data lock.
    bool CompressAndChecksum();

    // Releases the data of the three job slots.
    void FreeSlots();

    CAppPaths m_Paths;
    std::string m_strConfigPath;
    CUserDefine m_UserDefine;

    std::string m_strSlotPath[3];
    CJobLayout m_Layout[3];
    CPltFileData m_PltData[3];
    CPltLineSectS4Data m_Sections[3];
    CPltS4C4PrintData m_PrintData[3];

    CJobLayout* m_pCurLayout = &m_Layout[SlotPrint];
    CPltFileData* m_pCurPlt = &m_PltData[SlotPrint];

    uint8_t m_bFoldJob = 0;
    int m_nViewMode = 0;
    std::mutex m_PrintDataLock;

    // The poll between passes (command 0x45 with a 30 ms reply time-out); set by the plotter link.
    std::function<void()> m_fnPoll;
};
