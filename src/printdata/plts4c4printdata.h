// Head raster data: a section's nozzle bitmap, the firing words of one pass, and the segment buffers.
#pragma once

#include <cstdint>
#include <vector>

class CJobLayout;
struct LineSection;

class CPltS4C4PrintData {
public:
    CPltS4C4PrintData() = default;
    ~CPltS4C4PrintData();
    CPltS4C4PrintData(const CPltS4C4PrintData&) = delete;
    CPltS4C4PrintData& operator=(const CPltS4C4PrintData&) = delete;

    // Rows (the record's m_nTotalNozzles of m_nRowBytes each), words, segment and backup
    // (m_nSegmentWords each), zero-filled, after releasing the previous job's. False on failure.
    bool AllocBuffers();
    void FreeBuffers();
    void ClearRows();
    void ClearWords();
    // Sets dots x .. x+len-1 of one row. Rows past the last are drawn on the last; dots past the
    // row end land in its last byte; negative rows and dots are dropped.
    void FillSpan(int x, int row, int len);
    // One line in plotter units relative to the band top.
    void DrawLine(float x1, float y1, float x2, float y2);
    // Clears the bitmap and draws the section's fragments (nothing for an index past the last section).
    void RasterizeSection(const LineSection* pSection, int index);
    // The bitmap as firing words for the layout's current pass direction.
    void BuildFiringWords();

    // Grows the segment buffer to hold at least words entries, keeping its contents.
    bool ReserveSegment(int words);
    // Indices of the words of m_pWords that BuildFiringWords set (each once); all others are zero.
    // Lets a pass be packed and cleared without sweeping the whole segment-sized array.
    const std::vector<int>& UsedWords() const { return m_UsedWords; }
    int RowCount() const { return m_nRows; }

    // Firing-slot tables of a nozzle column (shared by every head type and both pass directions).
    // Out-of-range lookups give 0; an empty slot gives kEmptySlot.
    static constexpr int kEmptySlot = 4999;
    static int NozzleToSlot1(int n);
    static int NozzleToSlot2(int n);
    static int SlotToNozzle1(int s);
    static int SlotToNozzle2(int s);

    uint8_t m_BitMask[8] = {1, 2, 4, 8, 16, 32, 64, 128};
    CJobLayout* m_pLayout = nullptr;
    uint8_t** m_pRows = nullptr;
    uint16_t* m_pWords = nullptr;  // written only by BuildFiringWords and ClearWords
    uint16_t* m_pSegment = nullptr;
    uint16_t* m_pBackup = nullptr;
    uint8_t m_nHeadSlot[4] = {};
    uint8_t m_nActiveHeads = 0;
    uint32_t m_nChecksum = 0;

private:
    void ClearUsedWords();

    int m_nRows = 0;
    int m_nWordCount = 0;       // entries of m_pWords and m_pBackup
    int m_nSegmentCapacity = 0;  // entries of m_pSegment (more than m_nSegmentWords after a long encoding)
    std::vector<int> m_UsedWords;
};
