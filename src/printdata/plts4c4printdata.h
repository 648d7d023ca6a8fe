// Head raster data: a section's nozzle bitmap, the firing words of one pass, and the segment buffers.
#pragma once

#include <cstdint>

class CJobLayout;
struct LineSection;

class CPltS4C4PrintData {
public:
    CPltS4C4PrintData() = default;
    ~CPltS4C4PrintData();
    CPltS4C4PrintData(const CPltS4C4PrintData&) = delete;
    CPltS4C4PrintData& operator=(const CPltS4C4PrintData&) = delete;

    bool AllocBuffers();
    void FreeBuffers();
    void ClearRows();
    void ClearWords();
    void FillSpan(int x, int row, int len);
    void DrawLine(float x1, float y1, float x2, float y2);
    void RasterizeSection(const LineSection* pSection, int index);
    void BuildFiringWords();

    static int NozzleToSlot1(int n);
    static int NozzleToSlot2(int n);
    static int SlotToNozzle1(int s);
    static int SlotToNozzle2(int s);

    uint8_t m_BitMask[8] = {1, 2, 4, 8, 16, 32, 64, 128};
    CJobLayout* m_pLayout = nullptr;
    uint8_t** m_pRows = nullptr;
    uint16_t* m_pWords = nullptr;
    uint16_t* m_pSegment = nullptr;
    uint16_t* m_pBackup = nullptr;
    uint8_t m_nHeadSlot[4] = {};
    uint8_t m_nActiveHeads = 0;
    uint32_t m_nChecksum = 0;
};
