// The real-board adapter against a scripted transport: call mapping, time-outs, loss and reopen, bad answers.
#include <gtest/gtest.h>

#include <future>
#include <string>
#include <thread>

#include "fakeusbtransport.h"
#include "link/libusbadapter.h"
#include "platform/clock.h"
#include "support/logtext.h"

namespace {

class LibUsbAdapterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetClock(&m_clock);
    }
    void TearDown() override
    {
        SetClock(nullptr);
    }
    CLibUsbAdapter& Adapter(const CLinkSettings& settings = {})
    {
        auto pTransport = std::make_unique<CFakeUsbTransport>(m_board);
        m_pTransport = pTransport.get();
        m_pAdapter = std::make_unique<CLibUsbAdapter>(std::move(pTransport), settings);
        return *m_pAdapter;
    }
    // What the link check of the command channel sees.
    bool Online(CLibUsbAdapter& adapter)
    {
        uint8_t status = 0;
        return adapter.Ex_Vender_Read(&status) == 0 && status == 0x21;
    }

    CVirtualClock m_clock;
    CLogText m_Log;
    CFakeBoard m_board;
    CFakeUsbTransport* m_pTransport = nullptr;
    std::unique_ptr<CLibUsbAdapter> m_pAdapter;
};

}  // namespace

TEST(ClassifyUsbStatus, SortsEveryOutcome)
{
    using E = EUsbStatus;
    using C = EUsbErrorClass;
    const std::pair<E, C> table[] = {
        {E::Ok, C::None},
        {E::Timeout, C::BusyRetry},       {E::Stall, C::BusyRetry},      {E::Overflow, C::BusyRetry},
        {E::Busy, C::BusyRetry},          {E::Interrupted, C::BusyRetry},
        {E::NoDevice, C::GoneReopen},     {E::NotFound, C::GoneReopen},  {E::Io, C::GoneReopen},
        {E::Access, C::Fatal},            {E::NoMemory, C::Fatal},       {E::Invalid, C::Fatal},
        {E::NotSupported, C::Fatal},      {E::Other, C::Fatal},
    };
    for (auto [status, expected] : table)
        EXPECT_EQ(ClassifyUsbStatus(status), expected) << UsbStatusName(status);
}

TEST_F(LibUsbAdapterTest, PresentBoardIsOpenedOnFirstCheckAndReportsReady)
{
    auto& adapter = Adapter();
    uint8_t status = 0;
    EXPECT_EQ(adapter.Ex_Vender_Read(&status), 0);
    EXPECT_EQ(status, 0x21);
    EXPECT_EQ(m_pTransport->m_nVendorId, 0x04CC);
    EXPECT_EQ(m_pTransport->m_nProductId, 0x1B49);
    EXPECT_EQ(m_board.claims, std::vector<int>{0});
    ASSERT_EQ(m_board.calls.size(), 1u);
    EXPECT_EQ(m_board.calls[0].kind, 'i');
    EXPECT_EQ(m_board.calls[0].nCode, 0xB0);
    EXPECT_EQ(m_board.calls[0].len, 1);
    EXPECT_NE(m_Log.Count("USB plotter 04CC:1B49 opened, interface 0"), 0);
}

TEST_F(LibUsbAdapterTest, CallsMapToTheConfiguredRequestsAndEndpoints)
{
    CLinkSettings settings;
    settings.USBVENDORID = 0x1234;
    settings.USBPRODUCTID = 0x5678;
    settings.USBINTERFACE = 2;
    settings.USBSCANPRINTREQUEST = 0x42;
    settings.USBPIPE0 = 0x06;  // direction bits wrong on purpose: each pipe has only one
    settings.USBPIPE1 = 0x84;
    settings.USBPIPE3 = 0x06;
    auto& adapter = Adapter(settings);
    const uint8_t frame[9] = {0, 0, 0x45, 0, 0, 0, 0, 0x5A, 0xA5};
    std::vector<uint8_t> packet(64512, 0x33);
    std::vector<uint8_t> reply(16, 0x0D);
    m_board.replies.push_back(reply);

    EXPECT_EQ(adapter.Ex_Vender_ScanOrPrint(0, 64512), 0);
    EXPECT_EQ(adapter.Ex_WriteData(1, frame, 9, 30), 9);
    EXPECT_EQ(adapter.Ex_WriteData(3, packet.data(), 64512, 1000), 64512);
    uint8_t buf[16] = {};
    EXPECT_EQ(adapter.Ex_ReadData(0, buf, 16, 50), 16);
    EXPECT_EQ(std::vector<uint8_t>(buf, buf + 16), reply);

    EXPECT_EQ(m_pTransport->m_nVendorId, 0x1234);
    EXPECT_EQ(m_pTransport->m_nProductId, 0x5678);
    EXPECT_EQ(m_board.claims, std::vector<int>{2});
    ASSERT_EQ(m_board.calls.size(), 4u);
    const CFakeCall& announce = m_board.calls[0];
    EXPECT_EQ(announce.kind, 'o');
    EXPECT_EQ(announce.nCode, 0x42);
    EXPECT_EQ(announce.nValue, 0);
    EXPECT_EQ(announce.data, (std::vector<uint8_t>{0x00, 0xFC, 0x00, 0x00}));
    EXPECT_EQ(m_board.calls[1].kind, 'w');
    EXPECT_EQ(m_board.calls[1].nCode, 0x04);
    EXPECT_EQ(m_board.calls[1].data, std::vector<uint8_t>(frame, frame + 9));
    EXPECT_EQ(m_board.calls[1].timeoutMs, 30u);
    EXPECT_EQ(m_board.calls[2].nCode, 0x06);
    EXPECT_EQ(m_board.calls[2].data, packet);
    EXPECT_EQ(m_board.calls[2].timeoutMs, 1000u);
    EXPECT_EQ(m_board.calls[3].kind, 'r');
    EXPECT_EQ(m_board.calls[3].nCode, 0x86);
    EXPECT_EQ(m_board.calls[3].timeoutMs, 50u);
}

TEST_F(LibUsbAdapterTest, WrongPipesAndArgumentsMoveNothing)
{
    auto& adapter = Adapter();
    uint8_t buf[16] = {};
    EXPECT_LT(adapter.Ex_WriteData(0, buf, 9, 30), 0);
    EXPECT_LT(adapter.Ex_WriteData(2, buf, 9, 30), 0);
    EXPECT_LT(adapter.Ex_WriteData(1, nullptr, 9, 30), 0);
    EXPECT_LT(adapter.Ex_WriteData(1, buf, -1, 30), 0);
    EXPECT_EQ(adapter.Ex_ReadData(1, buf, 16, 30), 0);
    EXPECT_EQ(buf[0], 0xFF);
    EXPECT_EQ(adapter.Ex_ReadData(0, nullptr, 16, 30), 0);
    EXPECT_LT(adapter.Ex_Vender_Read(nullptr), 0);
    EXPECT_TRUE(m_board.calls.empty());
}

TEST_F(LibUsbAdapterTest, ZeroTimeOutNeverBecomesAnEndlessWait)
{
    auto& adapter = Adapter();
    uint8_t buf[16] = {1};
    adapter.Ex_WriteData(1, buf, 9, 0);
    adapter.Ex_ReadData(0, buf, 16, -5);
    ASSERT_EQ(m_board.calls.size(), 2u);
    EXPECT_EQ(m_board.calls[0].timeoutMs, 1u);
    EXPECT_EQ(m_board.calls[1].timeoutMs, 1u);
}

TEST_F(LibUsbAdapterTest, AbsentBoardFailsEveryCallWithinItsTimeOutAndOpensWhenItArrives)
{
    m_board.bAttached = false;
    auto& adapter = Adapter();
    uint8_t buf[16] = {};
    EXPECT_FALSE(Online(adapter));

    int64_t start = m_clock.Now();
    EXPECT_LT(adapter.Ex_WriteData(1, buf, 9, 30), 0);
    EXPECT_EQ(m_clock.Now() - start, 30);  // waited as a time-out would, so retry loops do not spin
    EXPECT_EQ(adapter.Ex_ReadData(0, buf, 16, 50), 0);
    EXPECT_EQ(buf[0], 0xFF);
    EXPECT_EQ(m_clock.Now() - start, 80);
    EXPECT_LT(adapter.Ex_Vender_ScanOrPrint(0, 7), 0);
    EXPECT_TRUE(m_board.calls.empty());
    EXPECT_EQ(m_Log.Count("not attached"), 1);

    m_board.bAttached = true;
    EXPECT_TRUE(Online(adapter));
    EXPECT_EQ(m_board.nOpens, 1);
}

TEST_F(LibUsbAdapterTest, UnplugMidSegmentWaitsAndResumesWhenTheBoardReturns)
{
    auto& adapter = Adapter();
    std::vector<uint8_t> packet(1000, 0x5A);
    ASSERT_TRUE(Online(adapter));
    ASSERT_EQ(adapter.Ex_WriteData(3, packet.data(), 1000, 1000), 1000);

    m_board.bAttached = false;
    int64_t unplugged = m_clock.Now();
    int nTries = 0;
    // The packet loop of the bulk transfer: announce, write, pause, until the write is accepted.
    int result = -1;
    while (result < 0 && nTries < 1000) {
        if (m_clock.Now() - unplugged >= 10000)
            m_board.bAttached = true;
        adapter.Ex_Vender_ScanOrPrint(0, 1000);
        result = adapter.Ex_WriteData(3, packet.data(), 1000, 1000);
        SleepMs(25);
        ++nTries;
    }
    EXPECT_EQ(result, 1000);
    EXPECT_EQ(m_board.nOpens, 2);
    EXPECT_EQ(m_board.nCloses, 1);
    EXPECT_TRUE(Online(adapter));
    EXPECT_EQ(m_Log.Count("lost (no device)"), 1);
}

TEST_F(LibUsbAdapterTest, ReopenAttemptsOfTheWorkerAreSpacedOneSecondApart)
{
    m_board.bAttached = false;
    auto& adapter = Adapter();
    uint8_t frame[10] = {};
    // A command write repeated without pause, as the command channel does, for 10 s of clock time.
    int nWrites = 0;
    int64_t start = m_clock.Now();
    while (m_clock.Now() - start < 10000) {
        adapter.Ex_Vender_ScanOrPrint(0, 7);
        adapter.Ex_WriteData(1, frame, 10, 30);
        ++nWrites;
    }
    EXPECT_GT(nWrites, 300);
    EXPECT_GE(m_board.nOpenAttempts, 10);
    EXPECT_LE(m_board.nOpenAttempts, 11);

    m_board.bAttached = true;
    int64_t back = m_clock.Now();
    while (adapter.Ex_WriteData(1, frame, 10, 30) < 0)
        ASSERT_LE(m_clock.Now() - back, 1000);
    EXPECT_EQ(m_board.nOpens, 1);
}

TEST_F(LibUsbAdapterTest, TransferFailuresAreSortedIntoRetryReopenAndFatal)
{
    struct Case {
        EUsbStatus status;
        bool bReopened;  // the next call opened the board again
        bool bHalted;    // the endpoint was cleared
    };
    const Case cases[] = {
        {EUsbStatus::Timeout, false, false}, {EUsbStatus::Stall, false, true},
        {EUsbStatus::Busy, false, false},    {EUsbStatus::Io, true, false},
        {EUsbStatus::NoDevice, true, false}, {EUsbStatus::Other, false, false},
    };
    for (const Case& c : cases) {
        m_pAdapter.reset();
        m_board = CFakeBoard{};
        auto& adapter = Adapter();
        uint8_t frame[9] = {};
        ASSERT_EQ(adapter.Ex_WriteData(1, frame, 9, 30), 9);
        m_board.script.push_back({{c.status, 0}, {}});
        int64_t start = m_clock.Now();
        EXPECT_LT(adapter.Ex_WriteData(1, frame, 9, 30), 0) << UsbStatusName(c.status);
        EXPECT_EQ(m_clock.Now() - start, 30) << UsbStatusName(c.status) << ": a failure spends its time-out";
        EXPECT_EQ(adapter.Ex_WriteData(1, frame, 9, 30), 9) << UsbStatusName(c.status);
        EXPECT_EQ(m_board.nOpens, c.bReopened ? 2 : 1) << UsbStatusName(c.status);
        EXPECT_EQ(m_board.halts, c.bHalted ? std::vector<uint8_t>{0x01} : std::vector<uint8_t>{})
            << UsbStatusName(c.status);
    }
}

TEST_F(LibUsbAdapterTest, ShortWriteIsAFailureSoTheWholeFrameIsSentAgain)
{
    auto& adapter = Adapter();
    uint8_t frame[9] = {};
    m_board.script.push_back({{EUsbStatus::Ok, 4}, {}});
    EXPECT_LT(adapter.Ex_WriteData(1, frame, 9, 30), 0);
    m_board.script.push_back({{EUsbStatus::Timeout, 4}, {}});
    EXPECT_LT(adapter.Ex_WriteData(1, frame, 9, 30), 0);
    EXPECT_EQ(m_board.nOpens, 1);
    // A write reported complete but short may hide a stall; one cut by a time-out does not.
    EXPECT_EQ(m_board.halts, std::vector<uint8_t>{0x01});
}

TEST_F(LibUsbAdapterTest, ReadsNeverWritePastTheCallersBufferAndMarkEmptyReplies)
{
    struct Case {
        const char* name;
        CFakeOutcome outcome;
        int nExpected;
        uint8_t nFirst;
    };
    std::vector<uint8_t> full(16, 0x0D);
    std::vector<uint8_t> oversized(64, 0x1D);
    std::vector<uint8_t> partial = {0x0C, 1, 2, 3, 4};
    const Case cases[] = {
        {"whole frame", {{EUsbStatus::Ok, 16}, full}, 16, 0x0D},
        {"short frame", {{EUsbStatus::Ok, 5}, partial}, 5, 0x0C},
        {"oversized answer", {{EUsbStatus::Ok, 64}, oversized}, 16, 0x1D},
        {"count beyond the buffer", {{EUsbStatus::Ok, 100000}, full}, 16, 0x0D},
        {"zero-length packet", {{EUsbStatus::Ok, 0}, {}}, 0, 0xFF},
        {"time-out, nothing", {{EUsbStatus::Timeout, 0}, {}}, 0, 0xFF},
        {"time-out after part", {{EUsbStatus::Timeout, 5}, partial}, 5, 0x0C},
        {"negative count", {{EUsbStatus::Ok, -3}, {}}, 0, 0xFF},
        {"overflow", {{EUsbStatus::Overflow, 0}, {}}, 0, 0xFF},
        {"stall", {{EUsbStatus::Stall, 0}, {}}, 0, 0xFF},
    };
    auto& adapter = Adapter();
    for (const Case& c : cases) {
        uint8_t buf[16 + 8];
        std::memset(buf, 0xEE, sizeof buf);
        m_board.script.push_back(c.outcome);
        EXPECT_EQ(adapter.Ex_ReadData(0, buf, 16, 30), c.nExpected) << c.name;
        EXPECT_EQ(buf[0], c.nFirst) << c.name;
        for (int i = 16; i < 24; ++i)
            ASSERT_EQ(buf[i], 0xEE) << c.name << ": byte " << i << " written past the buffer";
    }
    EXPECT_EQ(m_board.halts, std::vector<uint8_t>{0x81});
    EXPECT_EQ(m_board.nOpens, 1);
}

TEST_F(LibUsbAdapterTest, StatusReadWithoutItsByteIsNotReady)
{
    auto& adapter = Adapter();
    m_board.script.push_back({{EUsbStatus::Ok, 0}, {}});
    uint8_t status = 0;
    EXPECT_NE(adapter.Ex_Vender_Read(&status), 0);
    EXPECT_EQ(status, 0);
    m_board.script.push_back({{EUsbStatus::Stall, 0}, {}});
    EXPECT_NE(adapter.Ex_Vender_Read(&status), 0);
    EXPECT_TRUE(m_board.halts.empty());  // the control endpoint recovers by itself
    EXPECT_TRUE(Online(adapter));
}

TEST_F(LibUsbAdapterTest, MissingPermissionIsLoggedOnceAndOpensWhenGranted)
{
    m_board.openStatus = EUsbStatus::Access;
    auto& adapter = Adapter();
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(Online(adapter));
    EXPECT_EQ(m_Log.Count("04CC:1B49 is attached but may not be opened (permission denied)"), 1);
    EXPECT_EQ(m_Log.Count("scripts/install-udev.sh"), 1);

    m_board.openStatus = EUsbStatus::Ok;
    EXPECT_TRUE(Online(adapter));
}

TEST_F(LibUsbAdapterTest, InterfaceHeldElsewhereClosesTheDeviceAndTriesAgainLater)
{
    m_board.claimStatus = EUsbStatus::Busy;
    auto& adapter = Adapter();
    EXPECT_FALSE(Online(adapter));
    EXPECT_FALSE(adapter.IsOpen());
    EXPECT_EQ(m_board.nCloses, 1);
    EXPECT_EQ(m_Log.Count("interface 0 is held by another program"), 1);
    m_board.claimStatus = EUsbStatus::Ok;
    EXPECT_TRUE(Online(adapter));
}

TEST_F(LibUsbAdapterTest, LinkCheckDuringATransferAnswersAtOnceWithTheLastStatus)
{
    auto& adapter = Adapter();
    ASSERT_TRUE(Online(adapter));
    std::promise<void> entered;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    m_board.onBulkOut = [&] {
        entered.set_value();
        released.wait();
    };
    std::vector<uint8_t> packet(64512);
    std::thread worker([&] { adapter.Ex_WriteData(3, packet.data(), 64512, 1000); });
    entered.get_future().wait();
    size_t nCallsBefore = m_board.calls.size();
    EXPECT_TRUE(Online(adapter));
    EXPECT_EQ(m_board.calls.size(), nCallsBefore);
    release.set_value();
    worker.join();
}

// Needs the plotter on this machine's USB; skipped everywhere else.
TEST(LibUsbAdapterOnBoard, AttachedPlotterAnswersReady)
{
    auto pAdapter = CreateLibUsbAdapter(CLinkSettings{});
    uint8_t status = 0;
    if (pAdapter->Ex_Vender_Read(&status) != 0)
        GTEST_SKIP() << "no plotter attached";
    EXPECT_EQ(status, 0x21);
    uint8_t reply[16] = {};
    int n = pAdapter->Ex_ReadData(0, reply, 16, 50);
    EXPECT_GE(n, 0);
    EXPECT_LE(n, 16);
}
