// A job whose plotter paused for ever: its row stays "Plotting" and its print loop runs while a test looks.
#pragma once

#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/usbadapter.h"
#include "shell/commandids.h"
#include "shellfixture.h"
#include "sim/faultschedule.h"
#include "sim/virtualplotter.h"

// A plotter whose cable is pulled: nothing written gets through and nothing comes back.
class CUnpluggedPlotter : public CUsbAdapter {
public:
    int Ex_Vender_Read(uint8_t* pStatus) override
    {
        *pStatus = 0;
        return -1;
    }
    int Ex_Vender_ScanOrPrint(int, uint32_t) override { return 0; }
    int Ex_WriteData(int, const uint8_t*, int, int timeoutMs) override
    {
        SleepMs(timeoutMs);
        return -1;
    }
    int Ex_ReadData(int, uint8_t* pBuf, int len, int timeoutMs) override
    {
        if (len > 0)
            pBuf[0] = 0xFF;
        SleepMs(timeoutMs);
        return 0;
    }
};

class PausedJobTest : public ShellTest {
protected:
    void StartPausedJob(int copies)
    {
        WriteConfig(false);
        m_Path = Task("a.plt");
        Start();
        CFaultSchedule faults;
        ASSERT_TRUE(faults.Add("pause@1+never"));
        m_pPlotter = std::make_unique<CVirtualPlotter>(Doc().m_UserDefine, faults);
        SetUsbAdapter(m_pPlotter.get());
        Tick();
        Select("a.plt");
        for (int i = 1; i < copies; ++i)
            Frame()->Action(ID_ADD_COPY)->trigger();
        Frame()->Action(ID_PLOT)->trigger();
        Tick();
        ASSERT_TRUE(WaitUntil([this] { return gJobActive && m_pPlotter->Paused(); }));
    }
    void TearDown() override
    {
        m_pApp.reset();  // the worker ends before its plotter goes
        m_pPlotter.reset();
        ShellTest::TearDown();
    }

    std::string m_Path;
    std::unique_ptr<CVirtualPlotter> m_pPlotter;
    CUnpluggedPlotter m_Unplugged;  // outlives the program, whose worker may still be using it
};

