// The plotter protocol as the workstation speaks it: command codes, the controller's reply codes, the kinds
// of its data requests and the command modes the workstation clears. The wire carries only the byte values.
#pragma once

#include <cstdint>

// Commands the workstation writes (byte 2 of a command frame).
enum EPlotterCmd : uint8_t {
    kCmdSetXMin = 0x01,           // a: X minimum in dots, 16 bit
    kCmdSetXMax = 0x03,           // a: X maximum in dots, 16 bit
    kCmdSetJunction = 0x05,       // a: junction (left/right) correction, low byte; b: add or subtract
    kCmdSetYStep = 0x07,          // a: Y step length, 16 bit
    kCmdSetResolution = 0x09,     // a: dots per metre, 16 bit
    kCmdStartPrint = 0x0B,        // b: head pair code
    kCmdAckDataRequest = 0x0E,
    kCmdTransferBegin = 0x11,
    kCmdTransferComplete = 0x13,  // also marks a verified segment in m_nLastCmd
    kCmdAckStop = 0x16,
    kCmdPrintEnd = 0x17,
    kCmdReportChecksums = 0x19,
    kCmdBadTransfer = 0x1B,
    kCmdAckPause = 0x1E,
    kCmdAckContinue = 0x20,
    kCmdCycleStart = 0x21,        // three times at the start of each worker cycle; the reply is not used
    kCmdClearMode = 0x24,
    kCmdPoll = 0x45,              // the controller's own requests come as replies to it
    kCmdJobAnnounce = 0xAC,       // three times before each job's parameters; the reply is not used
    kCmdSetSpeed = 0xB4,          // a: speed, low byte
    kCmdNone = 0xFF,              // m_nLastCmd after the send buffer was cleared
};

// Replies (byte 0 of a reply frame): acknowledgements, and the controller's own requests.
enum EPlotterReply : uint8_t {
    kRplXMinSet = 0x02,
    kRplXMaxSet = 0x04,
    kRplJunctionSet = 0x06,
    kRplYStepSet = 0x08,
    kRplResolutionSet = 0x0A,
    kRplPrintStarted = 0x0C,
    kRplDataRequest = 0x0D,       // the controller wants the colour bar or a segment
    kRplDataRequestAcked = 0x0E,
    kRplTransferBegun = 0x12,
    kRplTransferCompleted = 0x14,
    kRplStopRequest = 0x15,       // the operator pressed stop on the plotter
    kRplStopAcked = 0x16,
    kRplPrintEnded = 0x18,
    kRplChecksums = 0x1A,         // DMA and DRAM checksums of the last transfer
    kRplBadTransferAcked = 0x1C,
    kRplPauseRequest = 0x1D,      // the operator pressed pause on the plotter
    kRplPauseAcked = 0x1E,
    kRplContinueRequest = 0x1F,   // the operator pressed continue on the plotter
    kRplContinueAcked = 0x20,
    kRplModeCleared = 0x24,
    kRplActedOn = 0x45,           // set after a clearing, so the print loop never acts on one reply twice
    kRplSpeedSet = 0xB5,
    kRplNone = 0xFF,              // no reply was read
};

// Kinds of a data request (byte 4 of reply kRplDataRequest).
constexpr uint8_t kReqColorBar = 0x00;
constexpr uint8_t kReqSegment = 0xFF;

// The status byte of a present, ready plotter, answered to the link check.
constexpr uint8_t kLinkReady = 0x21;

// The command modes that the workstation ends with kCmdClearMode once their reply has come.
enum class CmdMode {
    PrintStart,     // after kRplPrintStarted
    DataRequest,    // after kRplDataRequestAcked
    ColorBarBegin,  // after kRplTransferBegun for the colour bar
    SegmentBegin,   // after kRplTransferBegun for a segment
    TransferEnd,    // after kRplTransferCompleted
    Stop,           // after kRplStopAcked
    Checksum,       // after kRplChecksums
    BadTransfer,    // after kRplBadTransferAcked
    Pause,          // after kRplPauseAcked
    Continue,       // after kRplContinueAcked
};
