// The real-board adapter over libusb against an emulated board: what reaches the board through usbfs, and
// how stalls, silence, refusal, strangers and unplugging come back up through libusb.
#include <gtest/gtest.h>

#include <sys/syscall.h>
#include <unistd.h>

#include <linux/capability.h>

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "emulatedboard.h"
#include "link/libusbadapter.h"
#include "platform/clock.h"
#include "support/logtext.h"

namespace {

// The controller behind the endpoints: records what reached it and answers from a script.
class CRecordingBrain : public CUsbAdapter {
public:
    struct Write {
        int pipe;
        std::vector<uint8_t> bytes;
    };

    int Ex_Vender_Read(uint8_t* pStatus) override
    {
        *pStatus = 0x21;
        return 0;
    }
    int Ex_Vender_ScanOrPrint(int, uint32_t value) override
    {
        std::lock_guard lock(m_mutex);
        m_announces.push_back(value);
        return 0;
    }
    int Ex_WriteData(int pipe, const uint8_t* pBuf, int len, int) override
    {
        std::lock_guard lock(m_mutex);
        m_writes.push_back({pipe, {pBuf, pBuf + len}});
        return len;
    }
    int Ex_ReadData(int, uint8_t* pBuf, int len, int) override
    {
        std::lock_guard lock(m_mutex);
        if (m_replies.empty())
            return 0;
        std::vector<uint8_t> reply = m_replies.front();
        m_replies.pop_front();
        const int n = std::min(len, static_cast<int>(reply.size()));
        std::copy(reply.begin(), reply.begin() + n, pBuf);
        return n;
    }

    void AddReply(std::vector<uint8_t> reply)
    {
        std::lock_guard lock(m_mutex);
        m_replies.push_back(std::move(reply));
    }
    std::vector<uint32_t> Announces()
    {
        std::lock_guard lock(m_mutex);
        return m_announces;
    }
    std::vector<Write> Writes()
    {
        std::lock_guard lock(m_mutex);
        return m_writes;
    }

private:
    std::mutex m_mutex;
    std::vector<uint32_t> m_announces;
    std::vector<Write> m_writes;
    std::deque<std::vector<uint8_t>> m_replies;
};

// Without the power to override file modes for its lifetime, the calling thread meets file permissions as
// any user does, root included.
class CNoModeOverride {
public:
    CNoModeOverride()
    {
        syscall(SYS_capget, &m_header, m_saved);
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        syscall(SYS_capset, &m_header, reduced);
    }
    ~CNoModeOverride() { syscall(SYS_capset, &m_header, m_saved); }
    CNoModeOverride(const CNoModeOverride&) = delete;
    CNoModeOverride& operator=(const CNoModeOverride&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2] = {};
};

std::vector<uint8_t> Pattern(size_t n, uint8_t seed)
{
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<uint8_t>(seed + i * 7 + (i >> 8));
    return bytes;
}

class LibUsbOnEmulatedBoard : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetClock(&m_clock);
        Restart();
    }
    void TearDown() override
    {
        Restart();
        SetClock(nullptr);
    }
    // A new board, brain and adapter for the next case; libusb lets go of the device node before the board
    // and its testbed go.
    void Restart()
    {
        m_pAdapter.reset();
        m_pBoard.reset();
        m_pBrain = std::make_unique<CRecordingBrain>();
        m_Log.Clear();
    }
    CEmulatedBoard& Board()
    {
        if (!m_pBoard) {
            m_pBoard = std::make_unique<CEmulatedBoard>(m_link);
            m_pBoard->SetBrain(m_pBrain.get());
        }
        return *m_pBoard;
    }
    CUsbAdapter& Adapter()
    {
        if (!m_pAdapter)
            m_pAdapter = CreateLibUsbAdapter(m_link);
        return *m_pAdapter;
    }
    bool Online()
    {
        uint8_t status = 0;
        return Adapter().Ex_Vender_Read(&status) == 0 && status == 0x21;
    }
    // A data write as the bulk transfer makes it: announce, then the packet.
    int WritePacket(const std::vector<uint8_t>& packet)
    {
        Adapter().Ex_Vender_ScanOrPrint(0, static_cast<uint32_t>(packet.size()));
        return Adapter().Ex_WriteData(3, packet.data(), static_cast<int>(packet.size()), 1000);
    }

    CVirtualClock m_clock;
    CLogText m_Log;
    CLinkSettings m_link;
    std::unique_ptr<CRecordingBrain> m_pBrain;
    std::unique_ptr<CEmulatedBoard> m_pBoard;
    std::unique_ptr<CUsbAdapter> m_pAdapter;
};

}  // namespace

TEST_F(LibUsbOnEmulatedBoard, FourCallsReachTheBoardAsVendorRequestsAndBulkTransfers)
{
    CLinkSettings other;
    other.USBVENDORID = 0x1234;
    other.USBPRODUCTID = 0x5678;
    other.USBINTERFACE = 2;
    other.USBSTATUSREQUEST = 0x40;
    other.USBSCANPRINTREQUEST = 0x42;
    other.USBPIPE0 = 0x06;  // direction bits wrong on purpose: each pipe has only one
    other.USBPIPE1 = 0x84;
    other.USBPIPE3 = 0x06;
    for (const CLinkSettings& link : {CLinkSettings{}, other}) {
        SCOPED_TRACE(link.USBVENDORID);
        Restart();
        m_link = link;
        Board().Plug();
        const std::vector<uint8_t> packet = Pattern(64512, 3);
        const std::vector<uint8_t> frame = {0, 0, 0x45, 0, 0, 0, 0, 0x5A, 0xA5};
        const std::vector<uint8_t> reply = Pattern(16, 0x0D);
        m_pBrain->AddReply(reply);

        EXPECT_TRUE(Online());
        EXPECT_EQ(WritePacket(packet), 64512);
        Adapter().Ex_Vender_ScanOrPrint(0, 7);
        EXPECT_EQ(Adapter().Ex_WriteData(1, frame.data(), 9, 30), 9);
        uint8_t buf[16] = {};
        EXPECT_EQ(Adapter().Ex_ReadData(0, buf, 16, 50), 16);
        EXPECT_EQ(std::vector<uint8_t>(buf, buf + 16), reply);

        EXPECT_EQ(m_pBrain->Announces(), (std::vector<uint32_t>{64512, 7}));
        std::vector<CRecordingBrain::Write> writes = m_pBrain->Writes();
        ASSERT_EQ(writes.size(), 2u);
        EXPECT_EQ(writes[0].pipe, 3);
        EXPECT_TRUE(writes[0].bytes == packet) << "the packet reached the board whole and in order";
        EXPECT_EQ(writes[1].pipe, 1);
        EXPECT_EQ(writes[1].bytes, frame);
        CBoardStats stats = Board().Stats();
        EXPECT_EQ(stats.nConnections, 1);
        EXPECT_EQ(stats.nClaims, 1);
        // libusb cuts a packet into URBs of 16 KiB on a kernel without scatter-gather.
        EXPECT_EQ(stats.dataUrbLengths, (std::vector<int>{16384, 16384, 16384, 15360}));
        char opened[64];
        std::snprintf(opened, sizeof opened, "USB plotter %04X:%04X opened, interface %d", link.USBVENDORID,
                      link.USBPRODUCTID, link.USBINTERFACE);
        EXPECT_EQ(m_Log.Count(opened), 1) << m_Log.Text();
    }
}

TEST_F(LibUsbOnEmulatedBoard, AnotherDeviceOnTheBusLeavesThePlotterOfflineUntilTheBoardArrives)
{
    Board().Plug(0x04CC, 0x1B4A);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(Online());
    uint8_t frame[9] = {};
    EXPECT_LT(Adapter().Ex_WriteData(1, frame, 9, 30), 0);
    EXPECT_EQ(Board().Stats().nConnections, 0) << "a device with other ids is never opened";
    EXPECT_EQ(m_Log.Count("USB plotter 04CC:1B49 not attached"), 1);

    Board().Plug();
    EXPECT_TRUE(Online());
    EXPECT_EQ(m_Log.Count("USB plotter 04CC:1B49 opened, interface 0"), 1);
}

TEST_F(LibUsbOnEmulatedBoard, RefusedDeviceNodeIsLoggedOnceAndTheBoardOpensOnceAllowed)
{
    Board().SetNodeMode(0);
    Board().Plug();
    {
        CNoModeOverride asAUser;
        for (int i = 0; i < 3; ++i)
            EXPECT_FALSE(Online());
    }
    EXPECT_EQ(m_Log.Count("Error: USB plotter 04CC:1B49 is attached but may not be opened (permission denied); "
                          "install the udev rule with scripts/install-udev.sh and plug the plotter in again"),
              1)
        << m_Log.Text();
    EXPECT_EQ(Board().Stats().nClaims, 0);

    // What the udev rule does for a board plugged in again.
    Board().SetNodeMode(0664);
    Board().Plug();
    CNoModeOverride asAUser;
    EXPECT_TRUE(Online());
}

TEST_F(LibUsbOnEmulatedBoard, ReplyThatNeverComesEndsInLibusbsTimeOutAndThePipeStaysUsable)
{
    Board().Plug();
    ASSERT_TRUE(Online());
    uint8_t buf[16] = {};
    int64_t start = m_clock.Now();
    EXPECT_EQ(Adapter().Ex_ReadData(0, buf, 16, 30), 0);
    EXPECT_EQ(buf[0], 0xFF);
    EXPECT_EQ(m_clock.Now() - start, 30);
    EXPECT_EQ(Board().Stats().nDiscarded, 1) << "libusb took the read back from the wire at its time-out";

    const std::vector<uint8_t> reply = Pattern(16, 0x1A);
    m_pBrain->AddReply(reply);
    EXPECT_EQ(Adapter().Ex_ReadData(0, buf, 16, 30), 16);
    EXPECT_EQ(std::vector<uint8_t>(buf, buf + 16), reply);
    EXPECT_EQ(Board().Stats().nConnections, 1);
    EXPECT_EQ(m_Log.Count("Error"), 0) << m_Log.Text();
}

TEST_F(LibUsbOnEmulatedBoard, StalledDataEndpointIsClearedSoTheRepeatedPacketGoesThrough)
{
    // When the board answers each URB at once, the stall comes back before libusb has queued the rest
    // of the packet.
    for (bool bAnswerOnSubmit : {false, true}) {
        SCOPED_TRACE(bAnswerOnSubmit ? "answered on submit" : "answered when reaped");
        Restart();
        Board().Plug();
        Board().AnswerOnSubmit(bAnswerOnSubmit);
        Board().StallAtDataUrb(2);
        const std::vector<uint8_t> packet = Pattern(64512, 9);
        EXPECT_LT(WritePacket(packet), 0);
        EXPECT_EQ(Board().Stats().clearedHalts, std::vector<uint8_t>{0x02});
        EXPECT_EQ(WritePacket(packet), 64512);
        std::vector<CRecordingBrain::Write> writes = m_pBrain->Writes();
        ASSERT_EQ(writes.size(), 1u);
        EXPECT_TRUE(writes[0].bytes == packet);
        EXPECT_EQ(Board().Stats().nConnections, 1);
    }
}

TEST_F(LibUsbOnEmulatedBoard, UnplugEndsTheTransferAndTheBoardIsOpenedAgainAtItsNewAddress)
{
    struct Case {
        const char* name;
        int nUnplugAtUrb;      // 0: pulled between two transfers
        bool bAnswerOnSubmit;
        const char* lost;      // what libusb made of it
    };
    const Case cases[] = {
        {"between transfers", 0, false, "lost (no device)"},
        {"during a transfer", 6, false, "lost (no device)"},
        // The rest of the packet is refused at submission, after part of it was accepted.
        {"during a transfer, answered on submit", 6, true, "lost (i/o error)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        Board().Plug();
        Board().AnswerOnSubmit(c.bAnswerOnSubmit);
        Board().UnplugAtDataUrb(c.nUnplugAtUrb);
        const std::vector<uint8_t> packet = Pattern(64512, 5);
        ASSERT_EQ(WritePacket(packet), 64512);
        if (c.nUnplugAtUrb == 0)
            Board().Unplug();
        EXPECT_LT(WritePacket(packet), 0);
        EXPECT_FALSE(Board().Plugged());
        EXPECT_EQ(m_Log.Count(std::string("Error: USB plotter 04CC:1B49 ") + c.lost +
                                  "; it is opened again when it answers"),
                  1)
            << m_Log.Text();
        EXPECT_FALSE(Online());

        Board().Plug();
        EXPECT_TRUE(Online());
        EXPECT_EQ(WritePacket(packet), 64512);
        EXPECT_EQ(m_pBrain->Writes().size(), 2u);
        EXPECT_EQ(Board().Stats().nConnections, 2);
        EXPECT_EQ(m_Log.Count("USB plotter 04CC:1B49 opened, interface 0"), 2) << m_Log.Text();
    }
}
