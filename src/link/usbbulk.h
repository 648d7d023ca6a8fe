// Bulk transfer of print segments on pipe 3 and their verification by the controller's checksums.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

// Builds the next segment of the print job into the document's segment buffer; false when the job has
// nothing left to send. The print worker installs it before it starts; without one nothing is sent.
using SegmentProducer = std::function<bool()>;
void SetSegmentProducer(SegmentProducer producer);

// Writes n bytes on the data pipe: full packets of packetSize bytes, then the remainder, with a pause of
// pauseMs after each write and before each repeat of a rejected one. A packet size of 0 or below sends
// nothing. False when the waits had to stop (StopWaiting) before every byte was accepted.
bool OutDMADataToUsb(const uint8_t* pData, size_t nBytes, int packetSize, int pauseMs);

// Sends the next segment of the print job (gpDoc, SlotPrint), asks the controller for its checksums and
// compares the DRAM checksum with the workstation's. On success the job advances (or the colour bar is
// done); on a mismatch the bad transfer is reported and the same segment is served at the next request.
// Returns the print loop's new bLoop: false when the operator refused to retry, or the waits had to stop.
bool OutDataToUsb();
// The part of OutDataToUsb after the preparation: sends the segment the document holds (unless the job
// has ended), verifies it and advances the job or reports the bad transfer. Same result.
bool TransferSegment();

// Progress of a job as "%d%%" shows it: (cursor / passes + 1) * 100 / segments; 100 for a job
// without segments.
int ProgressPercent(int sectionCursor, int passesPerSegment, int sectionCount);

