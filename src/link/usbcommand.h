// The command channel: 9-byte command frames on pipe 1, 16-byte replies on pipe 0, the link check,
// and the clearing of the controller's command modes.
#pragma once

#include <cstdint>

#include "link/protocol.h"

// Builds a command frame: 00 00 code a b c d 5A A5, where the codes that carry a 16-bit value
// (the X minimum and maximum, the Y step and the resolution) put the high byte of a in place of b.
void BuildCommandFrame(uint8_t frame[9], uint8_t code, int a, int b, int c, int d);
// Write time-out of a command frame: the caller's value clamped to 10..3000 ms.
int CommandWriteTimeout(int timeoutMs);
// Read time-out of a reply: 30 ms up to 30, 50 ms above.
int ReplyReadTimeout(int timeoutMs);
// What one reply read means, from the adapter's byte count and the first byte of the buffer:
// a reply (decoded even when short), no reply (a whole frame of 0xFF: stop reading), or read again.
// A failed read (count 0 or below) never counts as a reply, whatever the buffer still holds.
enum class ReplyRead { Reply, NoReply, ReadAgain };
ReplyRead ClassifyReplyRead(int bytesRead, uint8_t firstByte);

// Writes one command frame; a rejected write is repeated (10 bytes, 30 ms) until accepted.
// Returns 1, or 0 when the waits had to stop (StopWaiting: the program is closing, or an aborted job gave
// up on its plotter) before the frame was accepted; from then on nothing more is written.
int UsbMCUCmdW(uint8_t code, int a = 0, int b = 0, int c = 0, int d = 0, int timeoutMs = 30);
// Reads one reply frame into gPrinterStatus and decodes it. 1: a reply was read; 0: no link (nothing
// read); -4: no reply frame (first byte 0xFF), decoded fields untouched. Tells the link watch whether the
// plotter answered, and keeps an operator's key read as the reply to another command than the poll.
int UsbMCUCmdR(int tries, int timeoutMs);
// Write, 50 ms pause, read with 3 tries: the one exchange the rest of the system uses.
int UsbMCUCmdWR(uint8_t code, int a = 0, int b = 0, int c = 0, int d = 0, int timeoutMs = 30);
// Link check, only when a probe is due (gProbeRequest, which it clears). Returns m_bConnected.
bool UsbProbe();
// Waits until a probe finds the link up; false when the waits have to stop (StopWaiting).
bool UsbConnect();

// Repeats kCmdClearMode (after the mode's pause) until the mode is cleared, then marks the reply acted on
// (kRplActedOn) so the print loop does not act on the same reply twice, and logs the mode's line. Ends early, without the
// log line, when the waits have to stop (StopWaiting).
void ClearCommandMode(CmdMode mode);

// The reply code of the last exchange.
bool ReplyIs(uint8_t code);
