// Fuzz target: a plot file through the whole print path of a job: the reader, the geometry, the
// layout and sections (PrepareJob), the print buffers, and every segment of the print slot as the
// worker builds and finishes it, each then decoded by the virtual plotter.
//
// Input: two option bytes, then the plot file.
//   byte 0: bit 0 mirror, bit 1 quarter turn, bit 2 counter-clockwise, bit 3 compression,
//           bits 4-5 heads - 1, bit 6 XAAR128Plus (else HP45), bit 7 fold at 20 cm (else 180 cm)
//   byte 1: bits 0-3 carriage positions with a head (0: the first ones), bits 4-5 line width - 1,
//           bit 6 skewed heads, bit 7 column offsets
// The resolution is low (1006 dots per metre) so that a case takes milliseconds.
// (Bounds of the work per input: see the constants below.)
#include <algorithm>
#include <cstdint>
#include <vector>

#include "document/marquelldoc.h"
#include "fuzzsupport.h"
#include "link/workerflags.h"
#include "printdata/segmentpacker.h"
#include "sim/carriage.h"
#include "sim/pageimage.h"
#include "sim/segmentdecoder.h"

namespace {

// Print buffers beyond this many segment words are not allocated (the work per input stays bounded);
// a job whose segments add up to more builds only the colour bar and its first two and last segments.
constexpr int kMaxFuzzSegmentWords = 1 << 18;
constexpr int64_t kMaxJobWords = int64_t{1} << 20;
constexpr uint32_t kMaxFuzzLines = 1u << 20;

void ApplyOptions(CUserDefine& ud, uint8_t o, uint8_t h)
{
    ud.PRINTMIRROR = o & 1;
    ud.PRINTROTATION90 = o & 2;
    ud.PRINTROTATION90_UNCLOCKWISE = o & 4;
    ud.DATACOMPRESS = o & 8;
    ud.JetPrintHead = static_cast<uint8_t>(1 + ((o >> 4) & 3));
    ud.Print_Line = (o & 0x40) ? 1 : 2;
    ud.MAXWIDTH = (o & 0x80) ? 20.0f : 180.0f;
    ud.DPINumPerM = 1006;

    int positions = h & 0x0F;
    if (!positions)
        positions = (1 << ud.JetPrintHead) - 1;
    for (int k = 0; k < 4; ++k) {
        bool open = (positions >> k) & 1;
        ud.JetPrintHeadOpenStatus[2 * k] = ud.JetPrintHeadOpenStatus[2 * k + 1] = open;
        ud.JetPrintHeadValueX[2 * k] = (h & 0x80) ? 100 * k : 0;
        ud.JetPrintHeadValueX[2 * k + 1] = (h & 0x80) ? 100 * k + ud.JETPRINTHEADWIDTH : 0;
        ud.JetPrintHeadValueY[2 * k] = ud.JetPrintHeadValueY[2 * k + 1] = (h & 0x40) ? 20 * (k + 1) : 0;
    }
    ud.ELineWidth = 1 + ((h >> 4) & 3);

    ud.UpdateDotsPerUnitX();
    ud.UpdateHeadTotals();
    ud.UpdateStepTotal();
    ud.UpdateLeftDots(static_cast<int32_t>(ud.EdLeftValue));
    ud.UpdateRowsPerUnitY();
}

// The sections hold what the model drew: within their counts, never below zero, each fragment
// upward. A piece that starts on its band's lower edge may end a float step below it, where the
// band edge itself rounds above the record's end (drawings a kilometre long).
void CheckSections(const CPltLineSectS4Data& sections)
{
    const float fB = static_cast<float>(sections.m_pLayout->m_nBandHeight);
    for (uint32_t j = 0; sections.m_pSections && j < sections.m_nSectionCount; ++j) {
        const LineSection& s = sections.m_pSections[j];
        FUZZ_CHECK(s.count <= static_cast<uint32_t>(s.capacity));
        FUZZ_CHECK(s.count == 0 || s.lines);
        for (uint32_t k = 0; k < s.count; ++k) {
            const PltLine& l = s.lines[k];
            FUZZ_CHECK(l.y1 >= 0 && l.y2 >= 0);
            FUZZ_CHECK(l.y1 <= l.y2 || l.y1 == fB * static_cast<float>(j));
        }
    }
}

// What the worker does for one request, checked against the segment as built and as the plotter
// reads it.
void SendSegment(CMarquellDoc& doc, int cursor, bool colorBar, const CSegmentDecoder& decoder)
{
    FUZZ_CHECK(doc.MakeSegment(cursor, colorBar));
    FUZZ_CHECK(doc.CompressAndChecksum());

    const CJobLayout& layout = doc.m_Layout[SlotPrint];
    const CPltS4C4PrintData& data = doc.m_PrintData[SlotPrint];
    const int S = layout.m_nSegmentWords;
    const int sent = layout.m_nSentWords;
    FUZZ_CHECK(sent > CSegmentPacker::kHeaderWords);
    FUZZ_CHECK(doc.m_UserDefine.DATACOMPRESS || sent == S);
    FUZZ_CHECK(data.m_nChecksum == CSegmentPacker::Checksum(data.m_pSegment, sent));

    // The words as they leave: the header, then the packed words after the exchange step. The
    // buffers live on between calls: fresh segment-sized blocks for every check would cost more
    // than the print path itself.
    static std::vector<uint16_t> expected, received;
    static std::vector<uint8_t> bytes;
    expected.assign(CSegmentPacker::kHeader, CSegmentPacker::kHeader + CSegmentPacker::kHeaderWords);
    expected.resize(static_cast<size_t>(S));
    for (int i = CSegmentPacker::kHeaderWords; i < S; ++i)
        expected[i] = CSegmentPacker::Exchange(data.m_pBackup[i - CSegmentPacker::kHeaderWords]);
    if (doc.m_UserDefine.DATACOMPRESS) {
        received = CSegmentDecoder::Expand(data.m_pSegment, static_cast<size_t>(sent), static_cast<size_t>(S));
        FUZZ_CHECK(received == expected);
    } else {
        FUZZ_CHECK(std::equal(expected.begin(), expected.end(), data.m_pSegment));
    }

    if (decoder.Columns() != layout.m_nColumns)
        return;  // wider than the plotter's 16-bit column count
    bytes.resize(2 * static_cast<size_t>(sent));
    for (int i = 0; i < sent; ++i) {
        bytes[2 * i] = static_cast<uint8_t>(data.m_pSegment[i]);
        bytes[2 * i + 1] = static_cast<uint8_t>(data.m_pSegment[i] >> 8);
    }
    CPageImage page;
    page.Reset(layout.m_nColumns, false);
    const int firstPass = colorBar ? 0 : cursor;
    DecodeResult r = decoder.Decode(bytes.data(), bytes.size(), doc.m_UserDefine.DATACOMPRESS, page, firstPass);
    FUZZ_CHECK(r.ok);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    UseVirtualTime();
    ResetWorkerFlags();
    CFuzzBytes in(data, size);
    const uint8_t options = in.Byte();
    const uint8_t heads = in.Byte();
    const std::filesystem::path dir = FuzzScratchDir() / "plot";
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "job.plt").string();
    WriteFuzzFile(file, in.Rest(), in.RestSize());

    CMarquellDoc doc(dir.string());
    ApplyOptions(doc.m_UserDefine, options, heads);
    // The model's record limit, scaled down: a few bytes of dashes or labels reach it in
    // milliseconds instead of seconds, and the fragment limit of the sections follows it.
    doc.m_PltData[SlotPrint].m_nMaxLines = kMaxFuzzLines;
    doc.m_strSlotPath[SlotPrint] = file;
    if (!doc.PrepareJob(SlotPrint))
        return 0;
    CheckSections(doc.m_Sections[SlotPrint]);

    CJobLayout& layout = doc.m_Layout[SlotPrint];
    if (layout.Finalize() && layout.m_nSegmentWords > kMaxFuzzSegmentWords)
        return 0;
    if (!doc.AllocPrintBuffers() || doc.IsJobDone())
        return 0;

    const CUserDefine& ud = doc.m_UserDefine;
    CCarriage carriage(ud);
    CSegmentDecoder decoder(carriage);
    decoder.SetJob(layout.m_nColumns & 0xFFFF, ud.m_nHeadPairCode);

    const int passes = layout.m_nPassesPerSegment;
    const int segments = layout.m_nSectionCount / passes;
    SendSegment(doc, 0, true, decoder);
    const bool all = int64_t{segments} * layout.m_nSegmentWords <= kMaxJobWords;
    for (int k = 0; k < segments; ++k)
        if (all || k < 2 || k == segments - 1)
            SendSegment(doc, k * passes, false, decoder);
    return 0;
}
