// The plotter's controller board on an emulated USB bus: its device in a umockdev testbed (sysfs entry and
// device node) and the usbfs requests on that node answered here, with a brain behind the endpoints.
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "settings/userdefine.h"
#include "platform/usbadapter.h"

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;
typedef struct _UMockdevIoctlData UMockdevIoctlData;

// What the board saw on the bus.
struct CBoardStats {
    int nConnections = 0;              // opens of its device node
    int nClaims = 0;                   // interfaces claimed
    int nDataUrbs = 0;                 // URBs on the data endpoint, answered or not
    std::vector<int> dataUrbLengths;   // their buffer lengths in order
    int nDiscarded = 0;                // URBs the host cancelled before they were answered (time-outs)
    int nStalls = 0;                   // URBs answered with a stall
    std::vector<uint8_t> clearedHalts; // endpoints the host cleared
};

// Runs in the test process, which must be started with umockdev's preload library (the usbemu tests
// are). The board is answered on umockdev's own thread; every method may be called from any thread.
// Like a kernel host controller, the board handles a URB when the host reaps (libusb submits every URB
// of a transfer first), unless AnswerOnSubmit is set.
class CEmulatedBoard {
public:
    // The board's firmware answers the ids, interface, requests and endpoints of these keys.
    explicit CEmulatedBoard(const CLinkSettings& link);
    ~CEmulatedBoard();
    CEmulatedBoard(const CEmulatedBoard&) = delete;
    CEmulatedBoard& operator=(const CEmulatedBoard&) = delete;

    // The controller behind the endpoints (the virtual plotter); its four calls are made with the
    // board's own bytes: status read, announce, whole writes, reply reads. Null: nothing answers.
    void SetBrain(CUsbAdapter* pBrain);

    // Plugs the board in at the next free address, with other ids when given (another device).
    void Plug();
    void Plug(uint16_t nVendorId, uint16_t nProductId);
    // Pulls the plug: URBs on the wire end as on a disconnect, the device leaves sysfs and /dev.
    void Unplug();
    bool Plugged() const;
    // Clock time (GetClock) of the last unplug.
    int64_t UnpluggedAt() const;
    // Device node mode bits (0 refuses every process without the power to override file modes).
    void SetNodeMode(unsigned mode);

    // Faults, counted over the board's life. The board goes away when the n-th URB of the data endpoint
    // is on the wire; the data endpoint halts at its n-th URB (the packet is dropped).
    void UnplugAtDataUrb(int n);
    void StallAtDataUrb(int n);
    // Each URB is answered as soon as it is submitted, before the host queues the rest of its transfer.
    void AnswerOnSubmit(bool bOn);

    CBoardStats Stats() const;
    std::string RootDir() const;

private:
    struct CUrb;
    struct CClient;

    static int OnIoctl(UMockdevIoctlBase* pHandler, UMockdevIoctlClient* pClient, void* pSelf);
    static void OnConnected(UMockdevIoctlBase* pHandler, UMockdevIoctlClient* pClient, void* pSelf);
    static void OnVanished(UMockdevIoctlBase* pHandler, UMockdevIoctlClient* pClient, void* pSelf);

    void AddToTestbed(uint16_t nVendorId, uint16_t nProductId);
    void RemoveFromTestbed();
    std::string NodePath() const;
    std::string Descriptors(uint16_t nVendorId, uint16_t nProductId) const;

    // Each answers one request under m_mutex: the result and errno of the ioctl.
    void Handle(UMockdevIoctlClient* pClient, long& result, int& error);
    void Submit(CClient& client, UMockdevIoctlData* pArg, long& result, int& error);
    void Reap(CClient& client, UMockdevIoctlData* pArg, long& result, int& error);
    void Discard(CClient& client, UMockdevIoctlData* pArg, long& result, int& error);
    void RunBus(CClient& client);
    bool Serve(CUrb& urb, int& status);
    bool ServeControl(CUrb& urb, int& status);
    bool ServeBulkOut(CUrb& urb, int& status);
    bool ServeBulkIn(CUrb& urb, int& status);
    void Complete(CClient& client, std::list<CUrb>::iterator it, int status);
    void CancelContinuations(CClient& client, uint8_t nEndpoint);
    void GoAway();
    int Halt(uint8_t nEndpoint);
    bool IsCurrent(const CClient& client) const;

    const CLinkSettings m_link;
    UMockdevTestbed* m_pTestbed = nullptr;
    UMockdevIoctlBase* m_pHandler = nullptr;
    std::vector<std::string> m_attached;  // device nodes the handler serves, old ones answering ENODEV

    mutable std::mutex m_mutex;
    CUsbAdapter* m_pBrain = nullptr;
    std::map<UMockdevIoctlClient*, CClient*> m_clients;
    bool m_bPlugged = false;
    bool m_bInSysfs = false;
    bool m_bRemovePending = false;  // gone on the wire, still to leave sysfs
    int m_nAddress = 1;
    int64_t m_nUnpluggedAt = 0;
    unsigned m_nNodeMode = 0664;
    uint32_t m_nHalted = 0;             // halted endpoints, bit per endpoint number (0..15 OUT, 16..31 IN)
    int64_t m_nAnnounced = 0;           // byte count of the data write in progress, from the announce
    std::vector<uint8_t> m_packet;      // its bytes so far
    int m_nUnplugAtDataUrb = 0;
    int m_nStallAtDataUrb = 0;
    bool m_bAnswerOnSubmit = false;
    CBoardStats m_stats;
};
