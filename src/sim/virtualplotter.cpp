// The controller side of the plotter protocol: replies, command modes, data requests, checksums, operator
// keys, printing, and the fault schedule.
#include "sim/virtualplotter.h"

#include "platform/clock.h"
#include "settings/userdefine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace {

constexpr size_t kMaxProblems = 100;
constexpr size_t kMaxTransfers = 100000;
constexpr int kFillerBytes = 64512;

int64_t ThreadCpuNs()
{
#if defined(CLOCK_THREAD_CPUTIME_ID)
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
#else
    return static_cast<int64_t>(std::clock()) * (1000000000 / CLOCKS_PER_SEC);
#endif
}

// Adds the calling thread's CPU time of one adapter call to the plotter's account.
class CCpuMeter {
public:
    explicit CCpuMeter(std::atomic<int64_t>& total) : m_Total(total), m_nStart(ThreadCpuNs()) {}
    ~CCpuMeter() { m_Total += ThreadCpuNs() - m_nStart; }
    CCpuMeter(const CCpuMeter&) = delete;
    CCpuMeter& operator=(const CCpuMeter&) = delete;

private:
    std::atomic<int64_t>& m_Total;
    int64_t m_nStart;
};

std::string Hex(int v)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", v & 0xFF);
    return text;
}

void PutLE(uint8_t* p, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

CVirtualPlotter::CVirtualPlotter(const CUserDefine& settings, const CFaultSchedule& faults)
    : m_bCompressed(settings.DATACOMPRESS), m_Carriage(settings), m_Decoder(m_Carriage), m_Faults(faults)
{
}

void CVirtualPlotter::SetPageDir(const std::string& dir)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    m_strPageDir = dir;
}

void CVirtualPlotter::SetKeepPage(bool keep)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    m_bKeepPage = keep;
}

void CVirtualPlotter::SetDryRun(bool dry)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    m_bDryRun = dry;
}

void CVirtualPlotter::ScheduleFaults(const CFaultSchedule& faults)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    m_Faults = faults;
    m_bStarted = false;
}

CFaultSchedule CVirtualPlotter::FaultRecord() const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Faults;
}

// ---- the four adapter calls ----

int CVirtualPlotter::Ex_Vender_Read(uint8_t* pStatus)
{
    CCpuMeter meter(m_nCpuNs);
    std::lock_guard<std::mutex> lock(m_Lock);
    UpdateLink();
    if (pStatus)
        *pStatus = m_bLinkUp ? 0x21 : 0x00;
    return m_bLinkUp ? 0 : -1;
}

int CVirtualPlotter::Ex_Vender_ScanOrPrint(int zero, uint32_t value)
{
    CCpuMeter meter(m_nCpuNs);
    std::lock_guard<std::mutex> lock(m_Lock);
    UpdateLink();
    if (zero != 0)
        Problem("Ex_Vender_ScanOrPrint with first argument " + std::to_string(zero));
    m_nAnnounced = value;
    return 0;
}

int CVirtualPlotter::Ex_WriteData(int pipe, const uint8_t* pBuf, int len, int timeoutMs)
{
    int result = -1;
    {
        CCpuMeter meter(m_nCpuNs);
        std::lock_guard<std::mutex> lock(m_Lock);
        result = Write(pipe, pBuf, len);
    }
    // Like a board, a failed write returns only when its time-out has passed.
    if (result < 0 && timeoutMs > 0)
        SleepMs(timeoutMs);
    return result;
}

int CVirtualPlotter::Ex_ReadData(int pipe, uint8_t* pBuf, int len, int timeoutMs)
{
    int result = 0;
    {
        CCpuMeter meter(m_nCpuNs);
        std::lock_guard<std::mutex> lock(m_Lock);
        result = Read(pipe, pBuf, len);
    }
    // Nothing to read: the read waits out its time-out.
    if (result <= 0 && timeoutMs > 0)
        SleepMs(timeoutMs);
    return result;
}

int CVirtualPlotter::Write(int pipe, const uint8_t* pBuf, int len)
{
    UpdateLink();
    const int64_t announced = m_nAnnounced;
    m_nAnnounced = -1;
    if (!m_bLinkUp)
        return -1;
    if (!pBuf || len < 0) {
        Problem("write without data");
        return -1;
    }
    if (pipe == 1) {
        if (announced != 7)
            Problem("command write announced as " + std::to_string(announced));
        if (m_Faults.RejectCommand(len >= 3 ? pBuf[2] : -1))
            return -1;
        HandleFrame(pBuf, len);
        int64_t ms = 0;
        if (len >= 3 && m_Faults.Unplug(pBuf[2], &ms))
            DropLink(ms);
        return len;
    }
    if (pipe == 3) {
        if (announced != len)
            Problem("data write of " + std::to_string(len) + " bytes announced as " + std::to_string(announced));
        if (m_Faults.RejectData())
            return -1;
        int64_t ms = 0;
        if (m_bInJob && m_Buffer.ReceivedBytes() == 0 && m_Faults.TakeEvent(FaultKind::LinkLost, m_nWantSeg, &ms)) {
            DropLink(ms);
            return -1;
        }
        if (!m_bInJob)
            Problem("print data outside a job");
        m_Buffer.Append(pBuf, static_cast<size_t>(len));
        return len;
    }
    Problem("write on pipe " + std::to_string(pipe));
    return -1;
}

int CVirtualPlotter::Read(int pipe, uint8_t* pBuf, int len)
{
    UpdateLink();
    if (!pBuf || len <= 0)
        return 0;
    if (pipe != 0)
        Problem("read on pipe " + std::to_string(pipe));
    if (pipe != 0 || !m_bLinkUp || !m_bReplyReady) {
        pBuf[0] = 0xFF;
        return 0;
    }
    const int n = std::min(len, 16);
    std::memcpy(pBuf, m_Reply, static_cast<size_t>(n));
    m_bReplyReady = false;
    Delivered();
    return n;
}

// ---- link ----

void CVirtualPlotter::UpdateLink()
{
    if (!m_bStarted) {
        m_bStarted = true;
        int64_t ms = 0;
        if (m_Faults.TakeEvent(FaultKind::LinkLost, CFaultSchedule::kAtStart, &ms))
            DropLink(ms);
    }
    if (!m_bLinkUp && m_nLinkBackAt >= 0 && GetClock().Now() >= m_nLinkBackAt)
        m_bLinkUp = true;
}

void CVirtualPlotter::DropLink(int64_t ms)
{
    m_bLinkUp = false;
    m_nLinkBackAt = ms == CFaultSchedule::kNever ? -1 : GetClock().Now() + ms;
    m_bReplyReady = false;
    m_OnRead = OnRead::Nothing;
}

// ---- frames and replies ----

void CVirtualPlotter::HandleFrame(const uint8_t* frame, int len)
{
    m_bReplyReady = false;
    m_OnRead = OnRead::Nothing;
    const bool framed = (len == 9 || len == 10) && frame[0] == 0 && frame[1] == 0 && frame[7] == 0x5A &&
                        frame[8] == 0xA5 && (len == 9 || frame[9] == 0);
    if (!framed) {
        Problem("bad command frame of " + std::to_string(len) + " bytes");
        return;
    }
    const uint8_t code = frame[2];
    ++m_nCommandCount[code];
    const bool lost = m_Faults.DropReply(code);
    // A key pressed while a segment's data is coming in is announced as the reply to the next command.
    const bool transferring = m_bInJob && code != 0x45 && m_Buffer.ReceivedBytes() > 0 &&
                              (m_Request == Request::Receiving || m_Request == Request::Checked);
    const int segment = m_nWantSeg;
    if (m_nMode && code == m_nModeCmd) {
        // The workstation missed the reply and asks again: same answer, nothing done twice.
        std::memcpy(m_Reply, m_ModeReply, sizeof m_Reply);
        m_bReplyReady = true;
    } else {
        if (m_nMode && code != 0x24)
            Problem("command " + Hex(code) + " while command mode " + Hex(m_nMode) + " is not cleared");
        HandleCommand(code, frame);
    }
    CFaultSchedule::Fault key;
    if (lost) {
        m_bReplyReady = false;
        m_OnRead = OnRead::Nothing;
    } else if (transferring && m_Faults.TakeDuringKey(segment, &key)) {
        AnnounceDuringKey(key);
    }
}

// The key replaces the reply of the command, which is carried out all the same: a repeat of a command that
// keeps a mode gets the proper reply.
void CVirtualPlotter::AnnounceDuringKey(const CFaultSchedule::Fault& fault)
{
    const uint8_t code = fault.kind == FaultKind::Pause ? 0x1D : fault.kind == FaultKind::Continue ? 0x1F : 0x15;
    m_Announcing = Key{code, fault.ms, fault.repeat, false};
    std::memset(m_Reply, 0, sizeof m_Reply);
    m_Reply[0] = code;
    m_Reply[1] = StatusByte();
    m_bReplyReady = true;
    m_OnRead = OnRead::DuringKeyAnnounced;
}

void CVirtualPlotter::HandleCommand(uint8_t code, const uint8_t* frame)
{
    const int a16 = frame[3] | (frame[4] << 8);
    switch (code) {
    case 0x01: m_Params.xMin = a16; Reply(0x02); break;
    case 0x03: m_Params.xMax = a16; Reply(0x04); break;
    case 0x05: m_Params.crc = frame[3]; m_Params.crcDirection = frame[4]; Reply(0x06); break;
    case 0x07: m_Params.yStep = a16; Reply(0x08); break;
    case 0x09: m_Params.dotsPerM = a16; Reply(0x0A); break;
    case 0xB4: m_Params.speed = frame[3]; Reply(0xB5); break;
    case 0x21: Reply(0x22); break;
    case 0xAC:
        Reply(0xAD);
        PutLE(m_Reply + 2, 0x0202, 2);  // firmware version
        break;
    case 0x45: Poll(); break;
    case 0x0B:
        m_Params.pairCode = frame[4];
        StartJob(frame[4]);
        Reply(0x0C);
        EnterMode(code);
        break;
    case 0x0E:
        if (!m_bInJob || m_Request != Request::Announced)
            Problem("data request acknowledged (0x0E) while none was made");
        if (m_bInJob)
            m_Request = Request::Acked;
        Reply(0x0E);
        EnterMode(code);
        break;
    case 0x11:
        if (!m_bInJob || m_Request != Request::Acked)
            Problem("transfer begins (0x11) without an acknowledged request");
        m_Request = Request::Receiving;
        m_Buffer.Reset();
        Reply(0x12);
        EnterMode(code);
        break;
    case 0x19:
        ReportChecksums();
        EnterMode(code);
        break;
    case 0x13:
        ConfirmTransfer();
        Reply(0x14);
        EnterMode(code);
        break;
    case 0x1B:
        RejectTransfer();
        Reply(0x1C);
        EnterMode(code);
        break;
    case 0x1E:
        if (!m_bPausing && !m_bPaused)
            Problem("pause acknowledged (0x1E) while none was requested");
        if (m_bPausing && !m_bPaused) {
            m_bPaused = true;
            m_nContinueAt = m_nPauseMs == CFaultSchedule::kNever ? -1 : GetClock().Now() + m_nPauseMs;
        }
        m_bPausing = false;
        Acknowledged(0x1D);
        Reply(0x1E);
        EnterMode(code);
        break;
    case 0x20:
        if (!m_bContinueAnnounced)
            Problem("continue acknowledged (0x20) while none was requested");
        m_bContinueAnnounced = false;
        Acknowledged(0x1F);
        Reply(0x20);
        EnterMode(code);
        break;
    case 0x16:
        if (!m_bStopAnnounced)
            Problem("stop acknowledged (0x16) while none was requested");
        m_bStopAnnounced = false;
        m_bStopped = true;
        Acknowledged(0x15);
        Reply(0x16);
        EnterMode(code);
        break;
    case 0x17:
        if (m_Faults.NoPrintEnd())
            break;
        EndJob();
        Reply(0x18);
        break;
    case 0x24:
        m_nMode = 0;
        m_nModeCmd = 0;
        Reply(0x24);
        break;
    default: Problem("unknown command " + Hex(code)); break;
    }
}

void CVirtualPlotter::Reply(uint8_t code, OnRead onRead)
{
    std::memset(m_Reply, 0, sizeof m_Reply);
    m_Reply[0] = code;
    m_Reply[1] = StatusByte();
    m_bReplyReady = true;
    m_OnRead = onRead;
}

void CVirtualPlotter::EnterMode(uint8_t command)
{
    m_nMode = m_Reply[0];
    m_nModeCmd = command;
    std::memcpy(m_ModeReply, m_Reply, sizeof m_Reply);
}

uint8_t CVirtualPlotter::StatusByte() const
{
    return static_cast<uint8_t>((m_bInJob ? 1 : 0) | (m_bPaused ? 2 : 0) | (m_bStopped ? 4 : 0) |
                                (m_Request == Request::Receiving ? 8 : 0));
}

void CVirtualPlotter::Delivered()
{
    const OnRead onRead = m_OnRead;
    m_OnRead = OnRead::Nothing;
    if (onRead == OnRead::RequestAnnounced) {
        m_Request = Request::Announced;
        m_bOutOfOrder = false;
    } else if (onRead == OnRead::KeyAnnounced && !m_Keys.empty()) {
        Key& front = m_Keys.front();
        const bool first = !front.announced;
        front.announced = true;
        const Key key = front;
        if (!key.repeat)
            m_Keys.pop_front();
        if (first)
            KeyTakesEffect(key);
    } else if (onRead == OnRead::DuringKeyAnnounced) {
        // A continue that resumes nothing needs no acknowledgement and is not repeated.
        const bool awaitsAck = m_Announcing.code != 0x1F || m_bPaused;
        KeyTakesEffect(m_Announcing);
        if (m_Announcing.repeat && awaitsAck) {
            m_Announcing.announced = true;
            m_Keys.push_front(m_Announcing);
        }
    }
}

void CVirtualPlotter::KeyTakesEffect(const Key& key)
{
    if (key.code == 0x1D) {
        m_bPausing = true;
        m_nPauseMs = key.ms;
        m_bPauseRepeat = key.repeat;
    } else if (key.code == 0x1F) {
        m_bPaused = m_bPausing = false;
        m_nContinueAt = -1;
        m_bContinueAnnounced = true;
        Acknowledged(0x1D);  // a pause still announced is withdrawn
    } else if (key.code == 0x15) {
        m_bStopAnnounced = true;
    }
}

// A repeated key is announced no more once its acknowledgement came.
void CVirtualPlotter::Acknowledged(uint8_t key)
{
    std::erase_if(m_Keys, [key](const Key& k) { return k.code == key && k.announced; });
}

// ---- the job ----

void CVirtualPlotter::Poll()
{
    if (!m_bInJob) {
        Reply(0x45);
        return;
    }
    if (m_bPaused && m_nContinueAt >= 0 && GetClock().Now() >= m_nContinueAt) {
        m_nContinueAt = -1;
        m_Keys.push_back(Key{0x1F, 0, m_bPauseRepeat, false});
    }
    const bool halted = m_bPaused || m_bPausing || m_bStopped || m_bStopAnnounced;
    const bool wanting = m_Request == Request::None || m_Request == Request::Announced || m_Request == Request::Acked;
    if (!halted && wanting)
        FireSegmentEvents();
    if (!m_Keys.empty()) {
        Reply(m_Keys.front().code, OnRead::KeyAnnounced);
        return;
    }
    if (halted || !wanting) {
        Reply(0x45);
        return;
    }
    // A request that was not followed by a transfer is made again.
    const bool bar = m_nWantSeg == CFaultSchedule::kColorBar;
    const int number = bar ? 0 : m_nWantSeg + (m_bOutOfOrder ? 1 : 0);
    Reply(0x0D, OnRead::RequestAnnounced);
    PutLE(m_Reply + 2, static_cast<uint32_t>(number), 2);
    m_Reply[4] = bar ? 0x00 : 0xFF;
}

void CVirtualPlotter::FireSegmentEvents()
{
    if (m_nEventsFiredFor == m_nWantSeg || m_nWantSeg == CFaultSchedule::kColorBar)
        return;
    m_nEventsFiredFor = m_nWantSeg;
    for (const CFaultSchedule::Fault& f : m_Faults.TakeSegmentEvents(m_nWantSeg)) {
        switch (f.kind) {
        case FaultKind::Pause: m_Keys.push_back(Key{0x1D, f.ms}); break;
        case FaultKind::Continue: m_Keys.push_back(Key{0x1F}); break;
        case FaultKind::Stop: m_Keys.push_back(Key{0x15}); break;
        case FaultKind::OutOfOrder: m_bOutOfOrder = true; break;
        default: break;
        }
    }
}

void CVirtualPlotter::StartJob(int pairCode)
{
    if (m_bInJob)
        SavePage();  // the last job never saw its print end
    m_bInJob = true;
    m_nWantSeg = CFaultSchedule::kColorBar;
    m_nEventsFiredFor = -100;
    m_bOutOfOrder = false;
    m_Request = Request::None;
    m_Keys.clear();
    m_bPauseRepeat = false;
    m_bPausing = m_bPaused = m_bContinueAnnounced = m_bStopAnnounced = m_bStopped = false;
    m_nContinueAt = -1;
    m_nPrinted = 0;
    m_Transfers.clear();

    const int columns = (m_Params.xMax - m_Params.xMin) & 0xFFFF;
    m_Decoder.SetJob(columns, pairCode);
    // Room for a whole segment even in its longest run-length form, plus a filler block.
    m_Buffer.SetCapacity(3 * m_Decoder.SegmentWords() + kFillerBytes);
    m_Buffer.SetKeep(!m_bDryRun);
    m_Buffer.Reset();
    m_Page.Reset(columns, m_bKeepPage && !m_bDryRun);
    m_ColorBar.Reset(m_bDryRun ? 0 : columns);
}

void CVirtualPlotter::ReportChecksums()
{
    if (!m_bInJob)
        Problem("checksums asked for (0x19) outside a job");
    PlotterTransfer t;
    t.segment = m_nWantSeg;
    t.bytes = m_Buffer.ReceivedBytes();
    t.dma = m_Buffer.DmaChecksum();
    t.dram = m_Buffer.DramChecksum();
    if (m_bInJob && m_Faults.BadDram(m_nWantSeg)) {
        t.dram ^= 0x00FF0000;
        t.dramFaulted = true;
    }
    if (m_Transfers.size() < kMaxTransfers)
        m_Transfers.push_back(t);
    m_Request = Request::Checked;
    Reply(0x1A);
    PutLE(m_Reply + 2, t.dma, 4);
    PutLE(m_Reply + 6, t.dram, 4);
}

void CVirtualPlotter::ConfirmTransfer()
{
    if (!m_bInJob || m_Request != Request::Checked) {
        Problem("transfer confirmed (0x13) before its checksums were reported");
        return;
    }
    PlotterTransfer* pLast = m_Transfers.empty() ? nullptr : &m_Transfers.back();
    if (pLast) {
        pLast->verdict = 1;
        if (pLast->dramFaulted)
            Problem("transfer confirmed although its DRAM checksum was wrong");
    }
    const bool bar = m_nWantSeg == CFaultSchedule::kColorBar;
    if (!m_bDryRun)
        Print(bar);
    if (!bar)
        ++m_nPrinted;
    m_nWantSeg = bar ? 0 : m_nWantSeg + 1;
    m_Request = Request::None;
    m_Buffer.Reset();
}

// Decodes the verified segment onto the page (the colour bar onto its own).
void CVirtualPlotter::Print(bool bar)
{
    const std::vector<uint8_t>& data = m_Buffer.Stored();
    CPageImage& page = bar ? m_ColorBar : m_Page;
    const int firstPass = bar ? 0 : m_nWantSeg * m_Decoder.Passes();
    DecodeResult r = m_Decoder.Decode(data.data(), data.size(), m_bCompressed, page, firstPass);
    if (!r.ok)
        Problem((bar ? std::string("colour bar") : "segment " + std::to_string(m_nWantSeg)) + ": " + r.error);
    m_nStrayBits += r.strayBits;
}

void CVirtualPlotter::RejectTransfer()
{
    if (!m_Transfers.empty() && m_Transfers.back().verdict == 0)
        m_Transfers.back().verdict = -1;
    m_Buffer.Reset();  // the segment and the filler behind it
    m_Request = Request::None;
}

void CVirtualPlotter::EndJob()
{
    if (!m_bInJob)
        return;
    SavePage();
    m_bInJob = false;
    m_Request = Request::None;
    m_Keys.clear();
    m_bPauseRepeat = false;
    m_bPausing = m_bPaused = m_bContinueAnnounced = m_bStopAnnounced = false;
    m_Buffer.Reset();
}

void CVirtualPlotter::SavePage()
{
    if (m_strPageDir.empty())
        return;
    std::error_code ec;
    std::filesystem::create_directories(m_strPageDir, ec);
    std::string path;
    do {
        char name[32];
        std::snprintf(name, sizeof name, "/job-%04d.png", ++m_nPagesWritten);
        path = m_strPageDir + name;
    } while (std::filesystem::exists(path, ec));
    std::string error;
    if (!m_Page.WritePng(path, &error))
        Problem("page not written: " + error);
}

void CVirtualPlotter::Problem(const std::string& text)
{
    if (m_Problems.size() < kMaxProblems)
        m_Problems.push_back(text);
    else
        ++m_nProblemsDropped;
}

// ---- inspection ----

bool CVirtualPlotter::WritePage(const std::string& path, std::string* pError) const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Page.WritePng(path, pError);
}

std::vector<PlotterTransfer> CVirtualPlotter::Transfers() const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Transfers;
}

int CVirtualPlotter::CommandCount(int code) const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    return code >= 0 && code < 256 ? m_nCommandCount[code] : 0;
}

std::vector<std::string> CVirtualPlotter::Problems() const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    std::vector<std::string> all = m_Problems;
    if (m_nProblemsDropped)
        all.push_back("... and " + std::to_string(m_nProblemsDropped) + " more");
    return all;
}

PlotterParameters CVirtualPlotter::Parameters() const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Params;
}

int64_t CVirtualPlotter::StrayBits() const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_nStrayBits;
}

int CVirtualPlotter::SegmentsPrinted() const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_nPrinted;
}

bool CVirtualPlotter::InJob() const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_bInJob;
}

bool CVirtualPlotter::Paused() const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_bPaused;
}

bool CVirtualPlotter::LinkUp() const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_bLinkUp;
}
