// The task queue without a window: a test folder with config.ini, a recording observer and message boxes,
// the log captured, virtual time, and file operations that a test can make fail.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "document/marquelldoc.h"
#include "link/printerstatus.h"
#include "link/workerflags.h"
#include "platform/clock.h"
#include "platform/gbk.h"
#include "platform/logwriter.h"
#include "platform/windowbridge.h"
#include "queue/fileops.h"
#include "queue/taskqueue.h"
#include "support/fakefileops.h"
#include "support/processstate.h"
#include "testtmp.h"

namespace fs = std::filesystem;

inline std::mutex gLogLock;
inline std::string gLog;

inline void CaptureLog(std::string_view text)
{
    std::lock_guard<std::mutex> lock(gLogLock);
    gLog.append(text);
}

class CQueueObserver : public CTaskQueueObserver {
public:
    void RowsChanged() override { ++m_nRowsChanged; }
    void RepaintPreview() override { ++m_nRepaints; }
    void BeginWaitCursor() override { ++m_nWaitDepth; }
    void EndWaitCursor() override { --m_nWaitDepth; }
    void ShowProblem(const std::string& text) override { m_Problems.push_back(text); }
    int m_nRowsChanged = 0;
    int m_nRepaints = 0;
    int m_nWaitDepth = 0;
    std::vector<std::string> m_Problems;
};

class CBoxRecorder : public CHeadlessBridge {
public:
    int MessageBox(const std::string& text, const std::string& caption, int buttons, int icon) override
    {
        m_Boxes.push_back({text, caption, buttons, icon});
        return IDOK;
    }
    struct Box {
        std::string text, caption;
        int buttons, icon;
    };
    std::vector<Box> m_Boxes;
};

// A small marker: one rectangle of 100 x 50 mm.
inline const char* const kMarker = "IN;SP1;PU0,0;PD4000,0,4000,2000,0,2000,0,0;PU;";

class TaskQueueTest : public ProcessStateTest {
protected:
    void SetUp() override
    {
        ProcessStateTest::SetUp();
        SetClock(&m_Clock);
        SetWindowBridge(&m_Boxes);
        gLog.clear();
        SetTraceSink(&CaptureLog);
        m_Dir = TestTempDir("taskqueue");
        fs::remove_all(m_Dir);
        fs::create_directories(m_Dir);
        MakeQueue(true);
    }
    void TearDown() override
    {
        EndProcessState();
        SetTraceSink(nullptr);
        m_pQueue.reset();
        m_pDoc.reset();
        fs::remove_all(m_Dir);
    }

    // The document loads config.ini from the test folder: cartridge No.1 with both columns.
    void MakeQueue(bool printAuto)
    {
        m_pQueue.reset();
        m_pDoc.reset();
        std::ofstream(m_Dir / "config.ini") << "[JetPrintHeadOpenStatus]\r\nJetPrintHeadOpenStatus0=1\r\n"
                                               "JetPrintHeadOpenStatus1=1\r\n[PRINT]\r\nPRINTAUTO="
                                            << (printAuto ? 1 : 0) << "\r\n";
        m_pDoc = std::make_unique<CMarquellDoc>(m_Dir.string());
        m_pQueue = std::make_unique<CTaskQueue>(*m_pDoc);
        m_pQueue->SetObserver(&m_Observer);
        m_pQueue->SetFileOps(&m_Ops);
    }
    // The program ends (a crash: no job is finished) and starts again over the same task folder.
    void Restart()
    {
        ResetPrintPathState();
        MakeQueue(true);
    }
    std::string Folder() const { return (m_Dir / "tasks").string() + "/"; }
    std::string Task(const std::string& name, const std::string& content = kMarker)
    {
        fs::create_directories(Folder());
        std::ofstream(Folder() + name, std::ios::binary) << content;
        return Folder() + name;
    }
    std::vector<std::string> Column(int column) const
    {
        std::vector<std::string> values;
        for (const CTaskRow& row : m_pQueue->Rows()) {
            switch (column) {
            case 0: values.push_back(StatusText(row.m_eStatus)); break;
            case 1: values.push_back(fs::path(row.m_strPath).filename().string()); break;
            case 2: values.push_back(std::to_string(row.m_nCopies)); break;
            case 3: values.push_back(row.m_strSize); break;
            default: values.push_back(row.m_strDetails); break;
            }
        }
        return values;
    }
    // A file is started only once two scans in a row found it unchanged: the first lists it, the second starts.
    void ScanTwice(const std::string& selectedPath = std::string())
    {
        m_pQueue->RefreshList(selectedPath);
        m_pQueue->RefreshList(selectedPath);
    }
    // What the print worker does at the end of a job it printed whole: the row first, then the flag.
    void WorkerFinishes()
    {
        gPrinterStatus.m_bPrintTask = false;
        m_pQueue->JobFinished(EJobOutcome::PrintedWhole);
        gPrinterStatus.m_bPrinting = false;
    }
    std::string Log()
    {
        std::lock_guard<std::mutex> lock(gLogLock);
        return gLog;
    }
    void ClearLog()
    {
        std::lock_guard<std::mutex> lock(gLogLock);
        gLog.clear();
    }
    // How often the log holds this line (given without its CR LF).
    int LogCount(const std::string& line)
    {
        const std::string log = Log(), gbk = Utf8ToGbk(line) + "\r\n";
        int n = 0;
        for (size_t at = log.find(gbk); at != std::string::npos; at = log.find(gbk, at + 1))
            ++n;
        return n;
    }
    int ProblemCount(const std::string& text) const
    {
        return int(std::count(m_Observer.m_Problems.begin(), m_Observer.m_Problems.end(), text));
    }

    CVirtualClock m_Clock;
    fs::path m_Dir;
    std::unique_ptr<CMarquellDoc> m_pDoc;
    std::unique_ptr<CTaskQueue> m_pQueue;
    CQueueObserver m_Observer;
    CBoxRecorder m_Boxes;
    CFakeFileOps m_Ops;
};

