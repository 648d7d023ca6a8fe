// The USB adapter interface of the plotter's controller board: four calls and the results the link relies on.
#pragma once

#include <cstdint>

class CUsbAdapter {
public:
    virtual ~CUsbAdapter() = default;

    // Link check. Called by the worker and, for the operator's update command, the window thread.
    // Returns 0 when the request succeeded; *pStatus is then 0x21 for a present, ready plotter.
    virtual int Ex_Vender_Read(uint8_t* pStatus) = 0;
    // Announces the next write on the worker thread: 7 before a command frame, the byte count
    // before a data write. The result is ignored.
    virtual int Ex_Vender_ScanOrPrint(int zero, uint32_t value) = 0;
    // Writes len bytes on pipe 1 (commands) or pipe 3 (print data); blocks up to timeoutMs.
    // Negative: the write failed; zero or more: accepted. A failed write returns only after its
    // time-out has passed on the clock (GetClock), like a real board: the link repeats rejected
    // command writes at once, so a back-end that fails immediately would make it spin.
    virtual int Ex_WriteData(int pipe, const uint8_t* pBuf, int len, int timeoutMs) = 0;
    // Reads up to len bytes from pipe 0 (replies); blocks up to timeoutMs. Returns the bytes read;
    // when nothing was read the first byte of pBuf is 0xFF.
    virtual int Ex_ReadData(int pipe, uint8_t* pBuf, int len, int timeoutMs) = 0;
};

// The adapter in use; set at start-up (virtual plotter or real board). The caller keeps ownership.
CUsbAdapter* GetUsbAdapter();
void SetUsbAdapter(CUsbAdapter* pAdapter);
