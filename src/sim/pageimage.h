// The printed page of the virtual plotter: one bit per dot, rows added as the paper advances, written
// out as a 1-bit PNG.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CPageImage {
public:
    // Starts an empty page of the given width in dots. Rows beyond maxBytes of storage are not kept
    // (their dots are counted as lost); keep = false counts dots without storing any row.
    void Reset(int width, bool keep = true, size_t maxBytes = size_t{1} << 31);
    // Grows the page to at least the given number of rows (blank paper).
    void EnsureHeight(int rows);
    // Marks dot (x, y), growing the page to row y; false when the dot cannot be kept.
    bool Set(int x, int y);
    bool Get(int x, int y) const;

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    int RowBytes() const { return m_nRowBytes; }
    // Row y, dot x in bit x mod 8 of byte x / 8; null when the row is not stored.
    const uint8_t* Row(int y) const;
    int64_t DotCount() const;
    int64_t LostDots() const { return m_nLost; }

    // Black dots on white; an empty page is written as one white row. False with a reason on failure.
    bool WritePng(const std::string& path, std::string* pError = nullptr) const;

private:
    std::vector<uint8_t> m_Bits;
    int m_nWidth = 0;
    int m_nRowBytes = 0;
    int m_nHeight = 0;
    bool m_bKeep = true;
    size_t m_nMaxBytes = 0;
    int64_t m_nLost = 0;
    int64_t m_nCounted = 0;  // dots set while not keeping rows
};
