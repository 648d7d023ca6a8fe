// Print segments: pass packing, the colour bar, the exchange step, run-length form and checksum.
#include "printdata/segmentpacker.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/windowbridge.h"
#include "plot/pltfiledata.h"
#include "printdata/joblayout.h"
#include "printdata/pltlinesects4data.h"
#include "printdata/plts4c4printdata.h"
#include "settings/userdefine.h"

const char* const kCompressBufferMessage = "打印压缩缓冲区分配失败！";

namespace {

void Poll(const std::function<void()>& poll)
{
    if (poll)
        poll();
}

}  // namespace

void CSegmentPacker::ColorBarLines(int pass, int bandHeight, PltLine* lines)
{
    float y1 = static_cast<float>(pass * bandHeight);
    float y2 = static_cast<float>((pass + 1) * bandHeight - 1);
    int n = 0;
    for (int k = 0; k < 12; ++k)
        for (int j = 0; j < 5; ++j) {
            float x = static_cast<float>(300 + 240 * k + j);
            lines[n++] = PltLine{x, y1, x, y2};
        }
}

void CSegmentPacker::PackPass(const CPltS4C4PrintData& data, const CUserDefine& settings, int pass,
                              uint16_t* dataWords, int dataCount)
{
    const uint16_t* words = data.m_pWords;
    const std::vector<int>& used = data.UsedWords();
    if (!settings.m_bFourPass) {
        int shift = pass == 0 ? 0 : 8;
        for (int i : used)
            if (i < dataCount)
                dataWords[i] |= static_cast<uint16_t>((words[i] & 0xFF) << shift);
        return;
    }
    // Pair selection 0 chooses no heads: the mask is empty rather than shifted by -1.
    int pair = settings.m_nHeadPairCode;
    if (pair < 1 || pair > 3)
        return;
    int s = pair - 1;
    unsigned mask = 0x33u << s;
    static constexpr int kShift[4] = {0, 2, 8, 10};
    int shift = kShift[pass & 3];
    for (int i : used)
        if (i < dataCount)
            dataWords[i] |= static_cast<uint16_t>(((words[i] & mask) >> s) << shift);
}

bool CSegmentPacker::MakeSegment(CPltS4C4PrintData& data, CJobLayout& layout, CPltLineSectS4Data& sections,
                                 const CUserDefine& settings, int cursor, bool colorBar,
                                 const std::function<void()>& poll)
{
    if (layout.m_nLengthDots < 1 || layout.m_nWidthDots < 1 || cursor < 0 || cursor >= layout.m_nSectionCount)
        return false;
    const int S = layout.m_nSegmentWords;
    if (!data.m_pSegment || !data.m_pWords || S <= kHeaderWords)
        return false;

    std::memset(data.m_pSegment, 0, static_cast<size_t>(S) * sizeof(uint16_t));
    std::memcpy(data.m_pSegment, kHeader, sizeof kHeader);
    uint16_t* dataWords = data.m_pSegment + kHeaderWords;
    const int dataCount = S - kHeaderWords;
    const bool fourPass = settings.m_bFourPass;
    const int passes = fourPass ? 4 : 2;

    if (colorBar) {
        PltLine lines[kColorBarLines];
        LineSection bar{kColorBarLines, kColorBarLines, lines};
        for (int r = 0; r < passes; ++r) {
            layout.m_bReversePass = static_cast<uint8_t>(r % 2);
            ColorBarLines(r, layout.m_nBandHeight, lines);
            data.RasterizeSection(&bar, r);
            Poll(poll);
            data.BuildFiringWords();
            PackPass(data, settings, r, dataWords, dataCount);
            if (!fourPass)
                Poll(poll);
        }
        return true;
    }

    for (int r = 0; r < passes; ++r) {
        layout.m_bReversePass = static_cast<uint8_t>(r % 2);
        int64_t index = int64_t{cursor} + r;
        const LineSection* pSection =
            sections.m_pSections && index < sections.m_nSectionCount ? &sections.m_pSections[index] : nullptr;
        data.RasterizeSection(pSection, static_cast<int>(index));
        Poll(poll);
        data.BuildFiringWords();
        PackPass(data, settings, r, dataWords, dataCount);
        Poll(poll);
    }
    return true;
}

void CSegmentPacker::SegmentPolls(const CUserDefine& settings, const std::function<void()>& poll)
{
    const int passes = settings.m_bFourPass ? 4 : 2;
    for (int r = 0; r < passes; ++r) {
        Poll(poll);  // after the pass's raster
        Poll(poll);  // after its packing
    }
}

int CSegmentPacker::Encode(const uint16_t* in, int count, uint16_t* out)
{
    int n = count < kHeaderWords ? count : kHeaderWords;
    std::memcpy(out, in, static_cast<size_t>(n) * sizeof(uint16_t));
    int i = n;
    while (i < count) {
        uint16_t w = in[i];
        if (w != 0x0000 && w != 0xFFFF) {
            out[n++] = w;
            ++i;
            continue;
        }
        int run = 1;
        while (i + run < count && in[i + run] == w && run < 65535)
            ++run;
        out[n++] = w;
        out[n++] = static_cast<uint16_t>(run);
        i += run;
    }
    return n;
}

namespace {

// Sum of i mod 65536 over i = 0 .. count-1, modulo 2^32.
uint32_t IndexSum(int count)
{
    uint64_t blocks = static_cast<uint64_t>(count) / 65536;
    uint64_t rest = static_cast<uint64_t>(count) % 65536;
    return static_cast<uint32_t>(blocks * (65535ull * 65536ull / 2) + rest * (rest - 1) / 2);
}

// Only the low 16 bits of the word sum survive the shift into the checksum.
uint32_t Combine(uint32_t wordSum, int count)
{
    return (wordSum << 16) + IndexSum(count);
}

}  // namespace

uint32_t CSegmentPacker::Checksum(const uint16_t* words, int count)
{
    uint32_t sum = 0;
    for (int i = 0; i < count; ++i)
        sum += words[i];
    return Combine(sum, count);
}

bool CSegmentPacker::CompressAndChecksum(CPltS4C4PrintData& data, CJobLayout& layout, bool compress,
                                         const std::function<void()>& poll)
{
    const int S = layout.m_nSegmentWords;
    uint16_t* seg = data.m_pSegment;
    if (!seg || !data.m_pBackup || S <= kHeaderWords) {
        // Without buffers (a refused or failed allocation) there is nothing to send.
        layout.m_nSentWords = 0;
        return false;
    }

    // One sweep: backup, exchange and the word sum the uncompressed checksum needs.
    uint32_t wordSum = 0;
    for (int i = 0; i < kHeaderWords; ++i)
        wordSum += seg[i];
    uint16_t* backup = data.m_pBackup;
    for (int i = kHeaderWords; i < S; ++i) {
        uint16_t w = seg[i];
        backup[i - kHeaderWords] = w;
        w = Exchange(w);
        seg[i] = w;
        wordSum += w;
    }
    Poll(poll);

    if (compress) {
        uint16_t* scratch = static_cast<uint16_t*>(std::malloc(2 * static_cast<size_t>(S) * sizeof(uint16_t)));
        if (!scratch) {
            ShowMessage(kCompressBufferMessage);
            return false;
        }
        int n = Encode(seg, S, scratch);
        // Alternating run words can make the stream longer than the segment: send it all.
        if (!data.ReserveSegment(n)) {
            std::free(scratch);
            ShowMessage(kCompressBufferMessage);
            return false;
        }
        seg = data.m_pSegment;
        std::memcpy(seg, scratch, static_cast<size_t>(n) * sizeof(uint16_t));
        if (n < S)
            std::memset(seg + n, 0, static_cast<size_t>(S - n) * sizeof(uint16_t));
        std::free(scratch);
        layout.m_nSentWords = n;
        data.m_nChecksum = Checksum(seg, n);
    } else {
        layout.m_nSentWords = S;
        data.m_nChecksum = Combine(wordSum, S);
    }
    return true;
}
