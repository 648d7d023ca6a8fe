// Per-job head layout: band height, sections, pass mode, row bytes, columns and segment geometry.
#pragma once

#include <atomic>
#include <cstdint>

class CUserDefine;
struct PltInfo;

// Carriage position and column offsets of one active head.
struct HeadPos {
    int pos = 0;
    int off1 = 0;
    int off2 = 0;
};

class CJobLayout {
public:
    void Reset();
    void Setup(CUserDefine* pSettings, PltInfo& info);
    void Finalize();
    // Positions and offsets of the active heads by the head rules; false (after the message)
    // when no rule matches, in which case every head keeps position 0 and offsets 0.
    bool ActiveHeads(HeadPos heads[4], int headCount) const;

    CUserDefine* m_pSettings = nullptr;
    int m_nBandHeight = 0;
    std::atomic<int> m_nSectionCount{0};  // read by the window thread while the worker prints
    int m_nLineCount = 0;
    float m_fMaxX = 0.0f;
    float m_fMaxY = 0.0f;
    float m_fWidthM = 0.0f;
    float m_fLengthM = 0.0f;
    int m_nWidthDots = 0;
    int m_nLengthDots = 0;
    int m_nRowBytes = 0;
    int m_nSlotsPerHead = 0;
    int m_nColumns = 0;
    int m_nSegmentWords = 0;
    int m_nSentWords = 0;
    int m_nLeftDots = 400;
    int m_nRightDots = 400;
    int m_nNozzlesPerHead = 0;
    std::atomic<int> m_nSectionCursor{0};  // advanced by the worker, set by the operator's abort
    int m_nPassesPerSegment = 4;
    int m_nStepTotal = 1;
    uint8_t m_bReversePass = 0;
};
