// The shared status record: event-control bits, reply decoding, status texts.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "link/printerstatus.h"

namespace {

TEST(EventControl, EachNamedBitSitsAtItsPosition)
{
    struct Case {
        const char* name;
        std::function<void(CEventControl::CBits&, bool)> set;
        std::function<bool(CEventControl::CBits&)> get;
        uint16_t word;
    };
    const Case cases[] = {
        {"SetXMin", [](auto& b, bool v) { b.SetXMin = v; }, [](auto& b) { return bool(b.SetXMin); }, 0x0001},
        {"SetXMax", [](auto& b, bool v) { b.SetXMax = v; }, [](auto& b) { return bool(b.SetXMax); }, 0x0002},
        {"SetYStepLen", [](auto& b, bool v) { b.SetYStepLen = v; }, [](auto& b) { return bool(b.SetYStepLen); },
         0x0004},
        {"SetCrcVerify", [](auto& b, bool v) { b.SetCrcVerify = v; }, [](auto& b) { return bool(b.SetCrcVerify); },
         0x0008},
        {"SetMMPer1000Dpi", [](auto& b, bool v) { b.SetMMPer1000Dpi = v; },
         [](auto& b) { return bool(b.SetMMPer1000Dpi); }, 0x0010},
        {"PrintEnd", [](auto& b, bool v) { b.PrintEnd = v; }, [](auto& b) { return bool(b.PrintEnd); }, 0x0040},
        {"SetSpeed", [](auto& b, bool v) { b.SetSpeed = v; }, [](auto& b) { return bool(b.SetSpeed); }, 0x0400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CEventControl ev;
        c.set(ev.Bits, true);
        EXPECT_EQ(ev.Value(), c.word);
        EXPECT_TRUE(c.get(ev.Bits));
        ev.SetValue(0xFFFF);
        c.set(ev.Bits, false);
        EXPECT_EQ(ev.Value(), uint16_t(0xFFFF & ~c.word));
        EXPECT_FALSE(c.get(ev.Bits));
    }
}

TEST(EventControl, RequestPrintClearsEveryOtherBitAndRaisesTheTask)
{
    CPrinterStatus st;
    EXPECT_EQ(st.m_nLastCmd, 0xFF);
    EXPECT_EQ(st.m_nRecvCmd, 0xFF);
    EXPECT_FALSE(st.HasPrintTask());
    st.m_EventCotrol.Bits.PrintEnd = 1;
    st.m_EventCotrol.SetValue(st.m_EventCotrol.Value() | 0x8000);
    st.RequestPrint();
    EXPECT_TRUE(st.HasPrintTask());
    EXPECT_EQ(st.m_EventCotrol.Value(), 0x041F);
    EXPECT_FALSE(st.m_EventCotrol.Bits.PrintEnd);
}

// The window thread's RequestPrint-era writes and the worker's bit clearing touch the same word;
// no single-bit update may be lost.
TEST(EventControl, BitUpdatesFromTwoThreadsAreNotLost)
{
    CEventControl ev;
    std::thread other([&] {
        for (int i = 0; i < 20000; ++i) {
            ev.Bits.SetSpeed = 1;
            ev.Bits.SetSpeed = 0;
        }
        ev.Bits.SetSpeed = 1;
    });
    for (int i = 0; i < 20000; ++i) {
        ev.Bits.SetXMin = 1;
        ev.Bits.SetXMin = 0;
    }
    ev.Bits.PrintEnd = 1;
    other.join();
    EXPECT_EQ(ev.Value(), 0x0440);
}

TEST(PrinterStatus, ParseReplyDecodesRequestsAndChecksums)
{
    CPrinterStatus st;
    const uint8_t request[16] = {0x0D, 0x99, 0x34, 0x12, 0xFF};
    std::copy(request, request + 16, st.m_RecvBuf);
    st.ParseReply();
    EXPECT_EQ(st.m_nRecvCmd, 0x0D);
    EXPECT_EQ(st.m_nReqSegment, 0x1234);
    EXPECT_EQ(st.m_nReqKind, 0xFF);

    const uint8_t sums[16] = {0x1A, 0, 0x01, 0x02, 0x03, 0x04, 0xA1, 0xB2, 0xC3, 0xD4};
    std::copy(sums, sums + 16, st.m_RecvBuf);
    st.ParseReply();
    EXPECT_EQ(st.m_dwDmaChecksum, 0x04030201u);
    EXPECT_EQ(st.m_dwDramChecksum, 0xD4C3B2A1u);
    EXPECT_EQ(st.m_nReqSegment, 0x1234) << "a checksum reply leaves the request fields";

    const uint8_t other[16] = {0x14, 0, 9, 9, 9, 9, 9, 9, 9, 9};
    std::copy(other, other + 16, st.m_RecvBuf);
    st.ParseReply();
    EXPECT_EQ(st.m_nRecvCmd, 0x14);
    EXPECT_EQ(st.m_nReqSegment, 0x1234);
    EXPECT_EQ(st.m_dwDramChecksum, 0xD4C3B2A1u);
}

TEST(PrinterStatus, ClearBuffersResetsOnlyTheSidesAsked)
{
    CPrinterStatus st;
    st.m_SendBuf[3] = 7;
    st.m_RecvBuf[3] = 7;
    st.m_nLastCmd = 0x45;
    st.m_nRecvCmd = 0x46;
    st.ClearBuffers(true, false);
    EXPECT_EQ(st.m_SendBuf[3], 0);
    EXPECT_EQ(st.m_nLastCmd, 0xFF);
    EXPECT_EQ(st.m_RecvBuf[3], 7);
    EXPECT_EQ(st.m_nRecvCmd, 0x46);
    st.ClearBuffers(false, true);
    EXPECT_EQ(st.m_RecvBuf[3], 0);
    EXPECT_EQ(st.m_nRecvCmd, 0xFF);
}

TEST(StatusText, PanesTwoToSixHoldTheirTextsOthersAreIgnored)
{
    CStatusText t;
    EXPECT_EQ(t.GetText(2), "0%");
    EXPECT_EQ(t.GetText(3), "Offline");
    EXPECT_EQ(t.GetText(4), "Waiting");
    EXPECT_EQ(t.GetText(5), "===================");
    EXPECT_EQ(t.GetText(6), "Stopped");
    for (int pane : {0, 1, 7, -1}) {
        t.SetText(pane, "x");
        EXPECT_EQ(t.GetText(pane), "");
    }
    for (int pane = 2; pane <= 6; ++pane)
        t.SetText(pane, "pane " + std::to_string(pane));
    for (int pane = 2; pane <= 6; ++pane)
        EXPECT_EQ(t.GetText(pane), "pane " + std::to_string(pane));
}

TEST(StatusText, AReaderNeverSeesATextHalfWritten)
{
    CStatusText t;
    const std::string a(200, 'a');
    const std::string b = "结束";
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < 20000; ++i)
            t.SetText(6, i % 2 ? a : b);
        done = true;
    });
    int torn = 0;
    while (!done) {
        std::string s = t.GetText(6);
        torn += (s != a && s != b && s != "Stopped");
    }
    writer.join();
    EXPECT_EQ(torn, 0);
}

}  // namespace
