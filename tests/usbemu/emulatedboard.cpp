// The emulated board: sysfs and device node in the testbed, usbfs requests answered as a Linux host
// controller and the board's firmware would.
#include "emulatedboard.h"

#include <sys/ioctl.h>
#include <sys/stat.h>

#include <linux/usbdevice_fs.h>
#include <umockdev.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/clock.h"

namespace {

const char* const kSysPath = "/sys/devices/1-1";
constexpr uint8_t kVendorIn = 0xC0;
constexpr uint8_t kVendorOut = 0x40;
constexpr uint32_t kCapabilities = USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION |
                                   USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT;

// Bulk endpoints as the kernel numbers them for its per-endpoint state: OUT n is n, IN n is 16 + n.
uint32_t EndpointBit(uint8_t nEndpoint)
{
    return 1u << ((nEndpoint & 0x0F) | ((nEndpoint & 0x80) >> 3));
}

std::string Hex(const std::vector<uint8_t>& bytes)
{
    std::string text;
    char pair[3];
    for (uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", b);
        text += pair;
    }
    return text;
}

// The value a request's argument points to, read from or written to the client's memory; false when the
// client's pointer leads nowhere.
bool ReadArgument(UMockdevIoctlData* pArg, void* pValue, size_t size)
{
    UMockdevIoctlData* pTarget = umockdev_ioctl_data_resolve(pArg, 0, size, nullptr);
    if (!pTarget)
        return false;
    std::memcpy(pValue, pTarget->data, size);
    g_object_unref(pTarget);
    return true;
}

bool WriteArgument(UMockdevIoctlData* pArg, const void* pValue, size_t size)
{
    UMockdevIoctlData* pTarget = umockdev_ioctl_data_resolve(pArg, 0, size, nullptr);
    if (!pTarget)
        return false;
    std::memcpy(pTarget->data, pValue, size);
    g_object_unref(pTarget);
    return true;
}

void Check(gboolean bOk, GError* pError, const char* what)
{
    if (bOk)
        return;
    std::string message = std::string(what) + ": " + (pError ? pError->message : "failed");
    g_clear_error(&pError);
    throw std::runtime_error(message);
}

}  // namespace

struct CEmulatedBoard::CUrb {
    UMockdevIoctlData* pData = nullptr;    // the usbdevfs_urb in the client's memory
    UMockdevIoctlData* pBuffer = nullptr;  // its buffer

    usbdevfs_urb& Urb() const { return *reinterpret_cast<usbdevfs_urb*>(pData->data); }
    uint8_t Endpoint() const { return Urb().endpoint; }
    bool IsBulk() const { return Urb().type == USBDEVFS_URB_TYPE_BULK; }
    bool IsContinuation() const { return (Urb().flags & USBDEVFS_URB_BULK_CONTINUATION) != 0; }
    uint8_t* Bytes() const { return pBuffer ? pBuffer->data : nullptr; }
    int Length() const { return Urb().buffer_length; }
    void Release()
    {
        if (pBuffer)
            g_object_unref(pBuffer);
        if (pData)
            g_object_unref(pData);
        pBuffer = pData = nullptr;
    }
};

struct CEmulatedBoard::CClient {
    std::string node;
    std::list<CUrb> pending;    // submitted, not yet answered
    std::list<CUrb> completed;  // answered, not yet reaped
    uint32_t nDisabled = 0;     // bulk endpoints refusing continuation URBs after an error
    bool bClaimed = false;

    ~CClient()
    {
        for (CUrb& urb : pending)
            urb.Release();
        for (CUrb& urb : completed)
            urb.Release();
    }
};

CEmulatedBoard::CEmulatedBoard(const CLinkSettings& link) : m_link(link)
{
    const char* preload = std::getenv("LD_PRELOAD");
    if (!preload || !std::strstr(preload, "libumockdev-preload"))
        throw std::runtime_error("the emulated board needs umockdev's preload library (run the test through ctest)");
    m_pTestbed = umockdev_testbed_new();
    // Present on every Linux system, boards or not; libusb decides at start whether sysfs can be used.
    gchar* pSys = umockdev_testbed_get_sys_dir(m_pTestbed);
    g_mkdir_with_parents((std::string(pSys) + "/bus/usb/devices").c_str(), 0755);
    g_free(pSys);
    m_pHandler = umockdev_ioctl_base_new();
    g_signal_connect(m_pHandler, "handle-ioctl", G_CALLBACK(OnIoctl), this);
    g_signal_connect(m_pHandler, "client-connected", G_CALLBACK(OnConnected), this);
    g_signal_connect(m_pHandler, "client-vanished", G_CALLBACK(OnVanished), this);
}

CEmulatedBoard::~CEmulatedBoard()
{
    for (const std::string& node : m_attached)
        umockdev_testbed_detach_ioctl(m_pTestbed, node.c_str(), nullptr);
    {
        std::lock_guard lock(m_mutex);
        for (auto& [pClient, pState] : m_clients)
            delete pState;
        m_clients.clear();
    }
    g_object_unref(m_pHandler);
    g_object_unref(m_pTestbed);
}

void CEmulatedBoard::SetBrain(CUsbAdapter* pBrain)
{
    std::lock_guard lock(m_mutex);
    m_pBrain = pBrain;
}

void CEmulatedBoard::Plug()
{
    Plug(static_cast<uint16_t>(m_link.USBVENDORID), static_cast<uint16_t>(m_link.USBPRODUCTID));
}

void CEmulatedBoard::Plug(uint16_t nVendorId, uint16_t nProductId)
{
    Unplug();
    {
        std::lock_guard lock(m_mutex);
        ++m_nAddress;  // a device comes back at a new address, as after a real re-plug
        m_bPlugged = true;
        m_nHalted = 0;
        m_nAnnounced = 0;
        m_packet.clear();
    }
    AddToTestbed(nVendorId, nProductId);
}

void CEmulatedBoard::Unplug()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_bPlugged) {
            m_bPlugged = false;
            GoAway();
        }
    }
    RemoveFromTestbed();
}

bool CEmulatedBoard::Plugged() const
{
    std::lock_guard lock(m_mutex);
    return m_bPlugged;
}

int64_t CEmulatedBoard::UnpluggedAt() const
{
    std::lock_guard lock(m_mutex);
    return m_nUnpluggedAt;
}

void CEmulatedBoard::SetNodeMode(unsigned mode)
{
    std::lock_guard lock(m_mutex);
    m_nNodeMode = mode;
    if (m_bInSysfs)
        chmod((RootDir() + NodePath()).c_str(), mode);
}

void CEmulatedBoard::UnplugAtDataUrb(int n)
{
    std::lock_guard lock(m_mutex);
    m_nUnplugAtDataUrb = n;
}

void CEmulatedBoard::StallAtDataUrb(int n)
{
    std::lock_guard lock(m_mutex);
    m_nStallAtDataUrb = n;
}

void CEmulatedBoard::AnswerOnSubmit(bool bOn)
{
    std::lock_guard lock(m_mutex);
    m_bAnswerOnSubmit = bOn;
}

CBoardStats CEmulatedBoard::Stats() const
{
    std::lock_guard lock(m_mutex);
    return m_stats;
}

std::string CEmulatedBoard::RootDir() const
{
    gchar* pRoot = umockdev_testbed_get_root_dir(m_pTestbed);
    std::string root = pRoot;
    g_free(pRoot);
    return root;
}

std::string CEmulatedBoard::NodePath() const
{
    char path[32];
    std::snprintf(path, sizeof path, "/dev/bus/usb/001/%03d", m_nAddress);
    return path;
}

// ---- the device in sysfs and /dev ----

std::string CEmulatedBoard::Descriptors(uint16_t nVendorId, uint16_t nProductId) const
{
    const uint8_t reply = static_cast<uint8_t>(m_link.USBPIPE0 | 0x80);
    const uint8_t command = static_cast<uint8_t>(m_link.USBPIPE1 & 0x7F);
    const uint8_t data = static_cast<uint8_t>(m_link.USBPIPE3 & 0x7F);
    std::vector<uint8_t> bytes = {
        // device: USB 2.0, vendor class, 64-byte control endpoint, one configuration
        18, 1, 0x00, 0x02, 0xFF, 0, 0, 64, static_cast<uint8_t>(nVendorId), static_cast<uint8_t>(nVendorId >> 8),
        static_cast<uint8_t>(nProductId), static_cast<uint8_t>(nProductId >> 8), 0x00, 0x01, 0, 0, 0, 1,
        // configuration 1: one interface, self-powered
        9, 2, 39, 0, 1, 1, 0, 0xC0, 50,
        // the interface: three bulk endpoints of 512 bytes
        9, 4, static_cast<uint8_t>(m_link.USBINTERFACE), 0, 3, 0xFF, 0, 0, 0,
        7, 5, reply, 2, 0x00, 0x02, 0,
        7, 5, command, 2, 0x00, 0x02, 0,
        7, 5, data, 2, 0x00, 0x02, 0,
    };
    return Hex(bytes);
}

void CEmulatedBoard::AddToTestbed(uint16_t nVendorId, uint16_t nProductId)
{
    std::string node;
    int address = 0;
    unsigned mode = 0;
    {
        std::lock_guard lock(m_mutex);
        node = NodePath();
        address = m_nAddress;
        mode = m_nNodeMode;
    }
    // The device as udev records it: properties (E), sysfs attributes (A, H for binary) and the node (N).
    const char* const kRecord = R"(P: /devices/1-1
N: bus/usb/001/%03d
E: SUBSYSTEM=usb
E: DEVTYPE=usb_device
E: DEVNAME=/dev/bus/usb/001/%03d
E: BUSNUM=001
E: DEVNUM=%03d
A: busnum=1\n
A: devnum=%d\n
A: dev=189:%d\n
A: speed=480\n
A: bConfigurationValue=1\n
A: idVendor=%04x\n
A: idProduct=%04x\n
H: descriptors=%s
)";
    char record[1024];
    std::snprintf(record, sizeof record, kRecord, address, address, address, address, address - 1, nVendorId,
                  nProductId, Descriptors(nVendorId, nProductId).c_str());
    GError* pError = nullptr;
    Check(umockdev_testbed_add_from_string(m_pTestbed, record, &pError), pError, "adding the board");
    chmod((RootDir() + node).c_str(), mode);
    if (std::find(m_attached.begin(), m_attached.end(), node) == m_attached.end()) {
        Check(umockdev_testbed_attach_ioctl(m_pTestbed, node.c_str(), m_pHandler, &pError), pError,
              "attaching the board's requests");
        m_attached.push_back(node);
    }
    {
        std::lock_guard lock(m_mutex);
        m_bInSysfs = true;
    }
    umockdev_testbed_uevent(m_pTestbed, kSysPath, "add");
}

void CEmulatedBoard::RemoveFromTestbed()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_bInSysfs)
            return;
        m_bInSysfs = false;
        m_bRemovePending = false;
    }
    // The event carries the properties of the sysfs entry, so it goes out while the entry is there.
    umockdev_testbed_uevent(m_pTestbed, kSysPath, "remove");
    umockdev_testbed_remove_device(m_pTestbed, kSysPath);
}

// ---- usbfs ----

int CEmulatedBoard::OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* pClient, void* pSelf)
{
    auto* self = static_cast<CEmulatedBoard*>(pSelf);
    long result = 0;
    int error = 0;
    bool bRemove = false;
    {
        std::lock_guard lock(self->m_mutex);
        self->Handle(pClient, result, error);
        bRemove = self->m_bRemovePending;
    }
    // A board that went away on the wire leaves sysfs before the host hears of it.
    if (bRemove)
        self->RemoveFromTestbed();
    umockdev_ioctl_client_complete(pClient, result, error);
    return TRUE;
}

void CEmulatedBoard::OnConnected(UMockdevIoctlBase*, UMockdevIoctlClient* pClient, void* pSelf)
{
    auto* self = static_cast<CEmulatedBoard*>(pSelf);
    std::lock_guard lock(self->m_mutex);
    auto* pState = new CClient;
    pState->node = umockdev_ioctl_client_get_devnode(pClient);
    delete self->m_clients[pClient];
    self->m_clients[pClient] = pState;
    ++self->m_stats.nConnections;
}

void CEmulatedBoard::OnVanished(UMockdevIoctlBase*, UMockdevIoctlClient* pClient, void* pSelf)
{
    auto* self = static_cast<CEmulatedBoard*>(pSelf);
    std::lock_guard lock(self->m_mutex);
    auto it = self->m_clients.find(pClient);
    if (it == self->m_clients.end())
        return;
    delete it->second;
    self->m_clients.erase(it);
}

bool CEmulatedBoard::IsCurrent(const CClient& client) const
{
    return m_bPlugged && client.node == NodePath();
}

void CEmulatedBoard::Handle(UMockdevIoctlClient* pClient, long& result, int& error)
{
    CClient*& pState = m_clients[pClient];
    if (!pState) {
        pState = new CClient;
        pState->node = umockdev_ioctl_client_get_devnode(pClient);
    }
    CClient& client = *pState;
    const unsigned long request = umockdev_ioctl_client_get_request(pClient);
    UMockdevIoctlData* pArg = umockdev_ioctl_client_get_arg(pClient);
    result = 0;
    error = 0;
    const bool bReap = request == USBDEVFS_REAPURB || request == USBDEVFS_REAPURBNDELAY;
    if (!IsCurrent(client)) {
        // A device that is gone answers nothing but the reaping of what it gave back.
        if (bReap)
            Reap(client, pArg, result, error);
        else
            result = -1, error = ENODEV;
        return;
    }
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES:
        if (!WriteArgument(pArg, &kCapabilities, sizeof kCapabilities))
            result = -1, error = EFAULT;
        break;
    case USBDEVFS_DISCONNECT_CLAIM:  // the interface number comes first
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE: {
        unsigned nInterface = 0;
        const bool bRelease = request == USBDEVFS_RELEASEINTERFACE;
        if (!ReadArgument(pArg, &nInterface, sizeof nInterface)) {
            result = -1, error = EFAULT;
        } else if (nInterface != static_cast<unsigned>(m_link.USBINTERFACE) || (bRelease && !client.bClaimed)) {
            result = -1, error = EINVAL;
        } else {
            client.bClaimed = !bRelease;
            m_stats.nClaims += !bRelease;
        }
        break;
    }
    case USBDEVFS_IOCTL:  // connecting a kernel driver after release: the board has none
        break;
    case USBDEVFS_SUBMITURB:
        Submit(client, pArg, result, error);
        break;
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY:
        RunBus(client);
        Reap(client, pArg, result, error);
        break;
    case USBDEVFS_DISCARDURB:
        Discard(client, pArg, result, error);
        break;
    case USBDEVFS_CLEAR_HALT: {
        unsigned nEndpoint = 0;
        if (!ReadArgument(pArg, &nEndpoint, sizeof nEndpoint)) {
            result = -1, error = EFAULT;
            break;
        }
        m_nHalted &= ~EndpointBit(static_cast<uint8_t>(nEndpoint));
        m_stats.clearedHalts.push_back(static_cast<uint8_t>(nEndpoint));
        break;
    }
    default:
        result = -1, error = ENOTTY;
        break;
    }
}

void CEmulatedBoard::Submit(CClient& client, UMockdevIoctlData* pArg, long& result, int& error)
{
    CUrb urb;
    urb.pData = umockdev_ioctl_data_resolve(pArg, 0, sizeof(usbdevfs_urb), nullptr);
    if (!urb.pData) {
        result = -1, error = EFAULT;
        return;
    }
    usbdevfs_urb& u = urb.Urb();
    const uint8_t nEndpoint = u.endpoint;
    const bool bKnown = u.type == USBDEVFS_URB_TYPE_CONTROL
                            ? nEndpoint == 0
                            : u.type == USBDEVFS_URB_TYPE_BULK &&
                                  (nEndpoint == (m_link.USBPIPE0 | 0x80) || nEndpoint == (m_link.USBPIPE1 & 0x7F) ||
                                   nEndpoint == (m_link.USBPIPE3 & 0x7F));
    if (!bKnown || u.buffer_length < 0 || (u.type == USBDEVFS_URB_TYPE_CONTROL && u.buffer_length < 8)) {
        urb.Release();
        result = -1, error = bKnown ? EINVAL : ENOENT;
        return;
    }
    if (u.buffer_length > 0) {
        urb.pBuffer = umockdev_ioctl_data_resolve(urb.pData, offsetof(usbdevfs_urb, buffer),
                                                  static_cast<size_t>(u.buffer_length), nullptr);
        if (!urb.pBuffer) {
            urb.Release();
            result = -1, error = EFAULT;
            return;
        }
    }
    if (urb.IsBulk()) {
        // A transfer split into URBs stops at its first failed URB: the rest is refused until a new
        // transfer starts on the endpoint.
        const uint32_t bit = EndpointBit(nEndpoint);
        if (!urb.IsContinuation())
            client.nDisabled &= ~bit;
        if (client.nDisabled & bit) {
            urb.Release();
            result = -1, error = EREMOTEIO;
            return;
        }
    }
    u.status = -EINPROGRESS;
    u.actual_length = 0;
    client.pending.push_back(urb);
    if (m_bAnswerOnSubmit)
        RunBus(client);
}

void CEmulatedBoard::Reap(CClient& client, UMockdevIoctlData* pArg, long& result, int& error)
{
    if (client.completed.empty()) {
        result = -1, error = IsCurrent(client) ? EAGAIN : ENODEV;
        return;
    }
    // The host receives the address of its own URB, and with it the URB and its buffer as answered.
    UMockdevIoctlData* pSlot = umockdev_ioctl_data_resolve(pArg, 0, sizeof(void*), nullptr);
    if (!pSlot) {
        result = -1, error = EFAULT;
        return;
    }
    CUrb urb = client.completed.front();
    client.completed.pop_front();
    umockdev_ioctl_data_set_ptr(pSlot, 0, urb.pData);
    g_object_unref(pSlot);
    urb.Release();
}

void CEmulatedBoard::Discard(CClient& client, UMockdevIoctlData* pArg, long& result, int& error)
{
    gulong address = 0;
    std::memcpy(&address, pArg->data, sizeof address);
    for (auto it = client.pending.begin(); it != client.pending.end(); ++it) {
        if (it->pData->client_addr == address) {
            ++m_stats.nDiscarded;
            Complete(client, it, -ENOENT);
            return;
        }
    }
    result = -1, error = EINVAL;  // already answered: the host reaps it as it is
}

// The wire: URBs are answered in order, each endpoint's after the one before it on that endpoint.
void CEmulatedBoard::RunBus(CClient& client)
{
    uint32_t nWaiting = 0;  // endpoints whose oldest URB waits for the board
    for (auto it = client.pending.begin(); it != client.pending.end();) {
        const uint32_t bit = EndpointBit(it->Endpoint());
        int status = 0;
        if (it->IsBulk() && (nWaiting & bit)) {
            ++it;
            continue;
        }
        if (!Serve(*it, status)) {
            nWaiting |= bit;
            ++it;
            continue;
        }
        const bool bCancelRest = it->IsBulk() && status < 0 && status != -ECONNRESET && status != -ENOENT;
        const uint8_t nEndpoint = it->Endpoint();
        Complete(client, it, status);
        if (!m_bPlugged) {
            GoAway();
            return;
        }
        if (bCancelRest)
            CancelContinuations(client, nEndpoint);
        it = client.pending.begin();
        nWaiting = 0;
    }
}

bool CEmulatedBoard::Serve(CUrb& urb, int& status)
{
    status = 0;
    if (urb.Urb().type == USBDEVFS_URB_TYPE_CONTROL)
        return ServeControl(urb, status);
    if (m_nHalted & EndpointBit(urb.Endpoint())) {
        status = -EPIPE;
        ++m_stats.nStalls;
        return true;
    }
    return (urb.Endpoint() & 0x80) ? ServeBulkIn(urb, status) : ServeBulkOut(urb, status);
}

bool CEmulatedBoard::ServeControl(CUrb& urb, int& status)
{
    const uint8_t* setup = urb.Bytes();
    uint8_t* data = urb.Bytes() + 8;
    const uint8_t nType = setup[0];
    const uint8_t nRequest = setup[1];
    const uint16_t nValue = static_cast<uint16_t>(setup[2] | setup[3] << 8);
    const int nLength = std::min(setup[6] | setup[7] << 8, urb.Length() - 8);
    if (nType == kVendorIn && nRequest == m_link.USBSTATUSREQUEST && nLength >= 1) {
        uint8_t nStatus = 0;
        if (m_pBrain)
            m_pBrain->Ex_Vender_Read(&nStatus);
        data[0] = nStatus;
        urb.Urb().actual_length = 1;
    } else if (nType == kVendorOut && nRequest == m_link.USBSCANPRINTREQUEST && nLength >= 4) {
        const uint32_t value = data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
        if (m_pBrain)
            m_pBrain->Ex_Vender_ScanOrPrint(nValue, value);
        // The announced count tells where the next data write ends, however the host cuts it.
        m_nAnnounced = value;
        m_packet.clear();
        urb.Urb().actual_length = nLength;
    } else {
        status = -EPIPE;  // a request the firmware does not know
        ++m_stats.nStalls;
    }
    return true;
}

bool CEmulatedBoard::ServeBulkOut(CUrb& urb, int& status)
{
    const uint8_t nEndpoint = urb.Endpoint();
    const int nLength = urb.Length();
    if (nEndpoint != (m_link.USBPIPE3 & 0x7F)) {
        m_nAnnounced = 0;  // a command's announce is no byte count
        if (m_pBrain && m_pBrain->Ex_WriteData(1, urb.Bytes(), nLength, 0) < 0) {
            status = Halt(nEndpoint);
            return true;
        }
        urb.Urb().actual_length = nLength;
        return true;
    }
    ++m_stats.nDataUrbs;
    m_stats.dataUrbLengths.push_back(nLength);
    if (m_stats.nDataUrbs == m_nUnplugAtDataUrb) {
        m_bPlugged = false;
        status = -ESHUTDOWN;
        return true;
    }
    if (m_stats.nDataUrbs == m_nStallAtDataUrb) {
        m_packet.clear();
        m_nAnnounced = 0;
        status = Halt(nEndpoint);
        return true;
    }
    m_packet.insert(m_packet.end(), urb.Bytes(), urb.Bytes() + nLength);
    if (m_nAnnounced <= 0 || static_cast<int64_t>(m_packet.size()) >= m_nAnnounced) {
        const int nWrite = static_cast<int>(m_packet.size());
        const int r = m_pBrain ? m_pBrain->Ex_WriteData(3, m_packet.data(), nWrite, 0) : nWrite;
        m_packet.clear();
        m_nAnnounced = 0;
        if (r < 0) {
            status = Halt(nEndpoint);
            return true;
        }
    }
    urb.Urb().actual_length = nLength;
    return true;
}

bool CEmulatedBoard::ServeBulkIn(CUrb& urb, int& status)
{
    if (!m_pBrain)
        return false;
    std::vector<uint8_t> reply(static_cast<size_t>(urb.Length()));
    const int n = m_pBrain->Ex_ReadData(0, reply.data(), urb.Length(), 0);
    if (n <= 0)
        return false;  // nothing to say: the board NAKs until the host gives up
    std::memcpy(urb.Bytes(), reply.data(), static_cast<size_t>(n));
    urb.Urb().actual_length = n;
    if (n < urb.Length() && (urb.Urb().flags & USBDEVFS_URB_SHORT_NOT_OK))
        status = -EREMOTEIO;
    return true;
}

int CEmulatedBoard::Halt(uint8_t nEndpoint)
{
    m_nHalted |= EndpointBit(nEndpoint);
    ++m_stats.nStalls;
    return -EPIPE;
}

void CEmulatedBoard::Complete(CClient& client, std::list<CUrb>::iterator it, int status)
{
    usbdevfs_urb& u = it->Urb();
    u.status = status;
    if (status == -ESHUTDOWN || status == -ENOENT || status == -ECONNRESET)
        u.actual_length = 0;
    client.completed.splice(client.completed.end(), client.pending, it);
}

// After a bulk URB failed, the rest of its transfer is taken back from the wire.
void CEmulatedBoard::CancelContinuations(CClient& client, uint8_t nEndpoint)
{
    for (auto it = client.pending.begin(); it != client.pending.end();) {
        auto next = std::next(it);
        if (it->IsBulk() && it->Endpoint() == nEndpoint) {
            if (!it->IsContinuation())
                return;  // a new transfer has started: the endpoint stays open
            Complete(client, it, -ECONNRESET);
        }
        it = next;
    }
    client.nDisabled |= EndpointBit(nEndpoint);
}

// The disconnect: every URB on the wire comes back shut down, the board forgets its state.
void CEmulatedBoard::GoAway()
{
    for (auto& [pClient, pState] : m_clients)
        while (!pState->pending.empty())
            Complete(*pState, pState->pending.begin(), -ESHUTDOWN);
    m_nUnpluggedAt = GetClock().Now();
    m_nHalted = 0;
    m_nAnnounced = 0;
    m_packet.clear();
    m_bRemovePending = m_bInSysfs;
}
