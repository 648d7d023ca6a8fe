// Parameter download: one acknowledged command per event-control bit, in a fixed order.
#include <gtest/gtest.h>

#include "link/jobfixture.h"
#include "link/paramdownload.h"

namespace {

using ParamDownload = JobTest;

std::vector<std::vector<uint8_t>> Frames(const CFakeAdapter& usb)
{
    std::vector<std::vector<uint8_t>> frames;
    for (const UsbCall& c : usb.Calls())
        if (c.kind == 'W' && c.pipe == 1)
            frames.push_back(c.bytes);
    return frames;
}

TEST_F(ParamDownload, AllBitsWithSpeedOffSendFiveCommandsInOrder)
{
    Layout().m_nLeftDots = 70000;  // beyond 16 bits: only the low 16 are sent
    Layout().m_nRightDots = 0x1234;
    Layout().m_nStepTotal = 1096;
    Settings().EdLRCrcValue = 300;
    Settings().CrcAddorSub = 1;
    Settings().DPINumPerM = 6653;
    Settings().ENSPEED = false;
    gColorBarPending = false;
    gPrinterStatus.RequestPrint();

    CheckEventCotrolAndProc();

    const std::vector<std::vector<uint8_t>> expected = {
        {0, 0, 0x01, 0x70, 0x11, 0, 0, 0x5A, 0xA5}, {0, 0, 0x03, 0x34, 0x12, 0, 0, 0x5A, 0xA5},
        {0, 0, 0x07, 0x48, 0x04, 0, 0, 0x5A, 0xA5}, {0, 0, 0x05, 0x2C, 0x01, 0, 0, 0x5A, 0xA5},
        {0, 0, 0x09, 0xFD, 0x19, 0, 0, 0x5A, 0xA5},
    };
    auto frames = Frames(m_Usb);
    ASSERT_EQ(frames.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(BytesEqual(expected[i], frames[i])) << "command " << i;
    EXPECT_EQ(gPrinterStatus.m_EventCotrol.Value(), 0x0400) << "only SetSpeed stays set";
    EXPECT_TRUE(gColorBarPending);
    EXPECT_EQ(m_Log.Lines(), (std::vector<std::string>{
                                 "gPrinterStatus.m_EventCotrol.Bits.SetXMin==1\r\n",
                                 "gPrinterStatus.m_EventCotrol.Bits.SetXMax==1\r\n",
                                 "gPrinterStatus.m_EventCotrol.Bits.SetYStepLen==1\r\n",
                                 "gPrinterStatus.m_EventCotrol.Bits.SetCrcVerify==1\r\n",
                                 "gPrinterStatus.m_EventCotrol.Bits.SetMMPer1000Dpi==1\r\n",
                             }));
}

TEST_F(ParamDownload, SpeedIsSentLastWhileSpeedControlIsOn)
{
    Settings().ENSPEED = true;
    Settings().UCSPEED = 0x1C3;
    gPrinterStatus.m_EventCotrol.Bits.SetSpeed = 1;
    gPrinterStatus.m_EventCotrol.Bits.SetXMax = 1;
    CheckEventCotrolAndProc();
    auto frames = Frames(m_Usb);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0][2], 0x03);
    EXPECT_TRUE(BytesEqual({0, 0, 0xB4, 0xC3, 0, 0, 0, 0x5A, 0xA5}, frames[1]));
    EXPECT_EQ(gPrinterStatus.m_EventCotrol.Value(), 0);
    EXPECT_EQ(m_Log.Lines().back(), "gPrinterStatus.m_EventCotrol.Bits.SetSpeed==1\r\n");
}

TEST_F(ParamDownload, NoBitSendsNothingButStillMarksTheColourBar)
{
    gColorBarPending = false;
    CheckEventCotrolAndProc();
    EXPECT_TRUE(m_Usb.Calls().empty());
    EXPECT_TRUE(gColorBarPending);
}

TEST_F(ParamDownload, EachCommandIsRepeatedUntilAcknowledged)
{
    gPrinterStatus.m_EventCotrol.Bits.SetYStepLen = 1;
    gPrinterStatus.m_EventCotrol.Bits.SetMMPer1000Dpi = 1;
    m_Usb.Script(0x07, {MakeReply(0x46), NoReply(), MakeReply(0x0A)});
    m_Usb.RejectWrites(1, 2);
    CheckEventCotrolAndProc();
    EXPECT_EQ(m_Usb.Codes(), (std::vector<uint8_t>{0x07, 0x07, 0x07, 0x07, 0x09}));
    EXPECT_EQ(gPrinterStatus.m_EventCotrol.Value(), 0);
}

TEST_F(ParamDownload, ANeverAcknowledgedCommandEndsWhenTheProgramCloses)
{
    gPrinterStatus.m_EventCotrol.Bits.SetXMin = 1;
    gPrinterStatus.m_EventCotrol.Bits.SetXMax = 1;
    m_Usb.Script(0x01, MakeReply(0x46), 5000);
    m_Usb.SetCallBudget(3000);
    CheckEventCotrolAndProc();
    EXPECT_TRUE(gExitWorker);
    EXPECT_TRUE(gPrinterStatus.m_EventCotrol.Bits.SetXMin);
    EXPECT_EQ(m_Usb.CountCode(0x03), 0);
}

}  // namespace
