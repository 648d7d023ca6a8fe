// Per-job head layout: band height, sections, pass mode, row bytes, columns and segment geometry.
#pragma once

#include <atomic>
#include <climits>
#include <cstdint>

class CUserDefine;
struct PltInfo;

// The most sections a job may have; the section table refuses more.
constexpr int kMaxSectionCount = 8388607;
// The largest segment: even a compressed segment (up to twice as long) counted in bytes stays an int.
constexpr int kMaxSegmentWords = INT_MAX / 4;
constexpr int kMaxRightDots = 0xFFFF;

// "喷头配置有误，请检查！": shown whenever the open head positions match no rule.
extern const char* const kHeadConfigMessage;
// Shown by AllocPrintBuffers when the job's print geometry does not fit the integer counts.
extern const char* const kPrintSizeMessage;

// Carriage position and column offsets of one active head.
struct HeadPos {
    int pos = 0;
    int off1 = 0;
    int off2 = 0;
};

class CJobLayout {
public:
    void Reset();
    // Job geometry and pass mode from the settings and the sized model; sets the record's
    // m_bFourPass and m_nHeadPairCode (with the head message in four-pass mode when no pair fits).
    void Setup(CUserDefine* pSettings, PltInfo& info);
    // Print geometry and the skew table. False when a count would not fit an int or the job has
    // more sections than the section table takes; the geometry is then left at 0.
    bool Finalize();
    // Positions and offsets of the active heads by the head rules; false (after the message)
    // when no rule matches, in which case every head keeps position 0 and offsets 0.
    bool ActiveHeads(HeadPos heads[4], int headCount) const;
    // Segments of the job: its sections, a segment's passes at a time (the last one may be short).
    int SegmentCount() const;

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
    // The right edge the job asked for, kept when Finalize refuses it (beyond kMaxRightDots).
    int64_t m_nAskedRightDots = 0;
    int m_nNozzlesPerHead = 0;
    std::atomic<int> m_nSectionCursor{0};  // advanced by the worker, set by the operator's abort
    int m_nPassesPerSegment = 4;
    int m_nStepTotal = 1;
    uint8_t m_bReversePass = 0;

private:
    int PairCode() const;
};
