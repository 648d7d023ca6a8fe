// Builds print segments (two or four passes, or the colour bar) and finishes them for sending.
#pragma once

#include <cstdint>
#include <functional>

class CJobLayout;
class CPltLineSectS4Data;
class CPltS4C4PrintData;
class CUserDefine;
struct PltLine;

// "打印压缩缓冲区分配失败！"
extern const char* const kCompressBufferMessage;

class CSegmentPacker {
public:
    static constexpr int kHeaderWords = 9;
    static constexpr uint16_t kHeader[kHeaderWords] = {0x7573, 0x6672, 0x6E69, 0x6574, 0x6E72,
                                                       0xAAAA, 0x5555, 0xAAAA, 0x5555};
    static constexpr int kColorBarLines = 60;

    // Header plus the passes of sections cursor.. (or the colour-bar pattern). False when the job
    // has nothing to print, cursor is outside the sections or the buffers are missing.
    static bool MakeSegment(CPltS4C4PrintData& data, CJobLayout& layout, CPltLineSectS4Data& sections,
                            const CUserDefine& settings, int cursor, bool colorBar,
                            const std::function<void()>& poll);
    // The polls MakeSegment makes between the passes of a segment of sections, without building it: a dry
    // run resends the blank segment it built once, at a real segment's pace.
    static void SegmentPolls(const CUserDefine& settings, const std::function<void()>& poll);
    // Backup copy, exchange step, optional compression, sent-word count and checksum. A compressed
    // stream longer than the segment grows the segment buffer and is sent whole. Without buffers:
    // false with nothing to send.
    // The caller holds the print-data lock.
    static bool CompressAndChecksum(CPltS4C4PrintData& data, CJobLayout& layout, bool compress,
                                    const std::function<void()>& poll);

    // The 60 vertical lines of colour-bar pass r for band height B, in plotter units.
    static void ColorBarLines(int pass, int bandHeight, PltLine* lines);
    // ORs the firing words of the pass just built into data words 0.. (word 9 + i of a segment)
    // as pass r of the segment: two-pass or four-pass packing by the settings.
    static void PackPass(const CPltS4C4PrintData& data, const CUserDefine& settings, int pass,
                         uint16_t* dataWords, int dataCount);
    // Swaps bits 4-7 with bits 8-11.
    static uint16_t Exchange(uint16_t w)
    {
        return static_cast<uint16_t>((w & 0xF00F) | ((w & 0x00F0) << 4) | ((w & 0x0F00) >> 4));
    }
    // Run-length form of a whole segment: header copied, runs of 0x0000 or 0xFFFF as (word, length).
    // out must hold 2 * count words; returns the encoded length.
    static int Encode(const uint16_t* in, int count, uint16_t* out);
    // Sum modulo 2^32 of word i * 65536 + (i mod 65536).
    static uint32_t Checksum(const uint16_t* words, int count);
};
