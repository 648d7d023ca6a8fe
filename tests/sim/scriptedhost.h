// A scripted workstation for protocol scenarios: writes frames and data the way the link does and reads
// the plotter's replies, so a test reads as a short script.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "platform/usbadapter.h"

class CScriptedHost {
public:
    explicit CScriptedHost(CUsbAdapter& adapter) : m_Adapter(adapter) {}

    // Writes one command frame (repeating a rejected write with the 10-byte frame) and reads the reply.
    // Returns the reply code, or -1 when no reply could be read.
    int Send(uint8_t code, int a = 0, int b = 0)
    {
        uint8_t frame[10] = {0, 0, code, static_cast<uint8_t>(a), static_cast<uint8_t>(b), 0, 0, 0x5A, 0xA5, 0};
        if (code == 0x01 || code == 0x03 || code == 0x07 || code == 0x09)
            frame[4] = static_cast<uint8_t>(a >> 8);
        m_nRejected = 0;
        m_Adapter.Ex_Vender_ScanOrPrint(0, 7);
        int len = 9;
        while (m_Adapter.Ex_WriteData(1, frame, len, 30) < 0 && m_nRejected < 1000) {
            ++m_nRejected;
            len = 10;
            m_Adapter.Ex_Vender_ScanOrPrint(0, 7);
        }
        m_Reply.fill(0);
        int n = m_Adapter.Ex_ReadData(0, m_Reply.data(), 16, 30);
        return n > 0 && m_Reply[0] != 0xFF ? m_Reply[0] : -1;
    }

    // Sends data on the data pipe in packets; returns the number of rejected writes.
    int SendData(const std::vector<uint8_t>& data, size_t packet = 64512)
    {
        int rejected = 0;
        for (size_t at = 0; at < data.size(); at += packet) {
            uint32_t n = static_cast<uint32_t>(std::min(packet, data.size() - at));
            do {
                m_Adapter.Ex_Vender_ScanOrPrint(0, n);
            } while (m_Adapter.Ex_WriteData(3, data.data() + at, static_cast<int>(n), 1000) < 0 && ++rejected < 1000);
        }
        return rejected;
    }

    const std::array<uint8_t, 16>& Reply() const { return m_Reply; }
    int ReplyU16(int at) const { return m_Reply[at] | (m_Reply[at + 1] << 8); }
    uint32_t ReplyU32(int at) const
    {
        return m_Reply[at] | (m_Reply[at + 1] << 8) | (m_Reply[at + 2] << 16) | (uint32_t{m_Reply[at + 3]} << 24);
    }
    int Rejected() const { return m_nRejected; }

private:
    CUsbAdapter& m_Adapter;
    std::array<uint8_t, 16> m_Reply{};
    int m_nRejected = 0;
};
