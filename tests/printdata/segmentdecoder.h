// Test-side inverse of the segment format: run-length decoding and the dots each pass carries.
#pragma once

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "printdata/joblayout.h"
#include "printdata/plts4c4printdata.h"
#include "settings/userdefine.h"

// Expands a run-length stream (header words kept) back to plain words.
inline std::vector<uint16_t> DecodeRuns(const uint16_t* in, size_t count)
{
    std::vector<uint16_t> out(in, in + std::min<size_t>(count, 9));
    for (size_t i = 9; i < count; ++i) {
        uint16_t w = in[i];
        if ((w == 0x0000 || w == 0xFFFF) && i + 1 < count) {
            out.insert(out.end(), in[++i], w);
        } else {
            out.push_back(w);
        }
    }
    return out;
}

// The (row, dot) pairs pass r of a sent (exchanged, uncompressed) segment fires with one of the
// two columns, mapped back through the slot tables, column offsets, skew and pass direction.
inline std::set<std::pair<int, int>> DecodePass(const uint16_t* segment, const CJobLayout& layout,
                                                const CUserDefine& ud, int pass, int column)
{
    const int K = ud.m_nSlotsPerHead;
    const int N = ud.m_nNozzlesPerHead;
    const int C = layout.m_nColumns;
    const bool reverse = pass % 2 == 1;
    std::set<std::pair<int, int>> dots;
    for (int head = 0; head < ud.JetPrintHead; ++head) {
        int pos = 0;  // the head-th open position, as the head rules assign them in valid set-ups
        for (int k = 0, h = 0; k < 4; ++k)
            if (ud.JetPrintHeadOpenStatus[2 * k] == 1 && h++ == head)
                pos = k;
        int bit = ud.m_bFourPass ? (column == 0 ? 2 * pass : 8 + 2 * pass) + pos - (ud.m_nHeadPairCode - 1)
                                 : (column == 0 ? 4 * pass : 8 + 4 * pass) + pos;
        int off = ud.JetPrintHeadValueX[2 * pos + column];
        for (int i = 0; i + 9 < layout.m_nSegmentWords; ++i) {
            if (!(segment[9 + i] >> bit & 1))
                continue;
            int c = i / K;
            int s = i % K;
            int n = column == 0 ? CPltS4C4PrintData::SlotToNozzle1(s) : CPltS4C4PrintData::SlotToNozzle2(s);
            if (n >= N)
                continue;
            int sk = ud.m_SkewTable[2 * pos][n];
            int x = reverse ? C - off - sk - c : c - off - sk;
            dots.insert({head * N + n, x});
        }
    }
    return dots;
}
