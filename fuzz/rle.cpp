// Fuzz target: the run-length form of print segments. The first byte picks a mode:
//   0: the rest as 16-bit words, encoded by the segment packer and expanded by the virtual plotter's
//      decoder, which must give the words back;
//   1: the same round trip over words described as (word, run length) pairs, so that runs reach
//      and pass the 65535-word limit of one run pair;
//   2: the rest as a received segment (carriage and job geometry from its first bytes), decoded
//      onto a page, compressed or not: garbage must be reported, never crash.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "fuzzsupport.h"
#include "printdata/segmentpacker.h"
#include "settings/userdefine.h"
#include "sim/carriage.h"
#include "sim/pageimage.h"
#include "sim/segmentdecoder.h"

namespace {

constexpr size_t kMaxRunWords = size_t{1} << 20;

void RoundTrip(const std::vector<uint16_t>& words)
{
    const int count = static_cast<int>(words.size());
    std::vector<uint16_t> encoded(2 * words.size() + 1);
    // The print path always has a segment; an empty input still passes a valid pointer.
    const uint16_t none = 0;
    const int n = CSegmentPacker::Encode(count ? words.data() : &none, count, encoded.data());
    // Worst case: every data word an isolated 0x0000 or 0xFFFF, each followed by its run length.
    const int header = std::min(count, CSegmentPacker::kHeaderWords);
    FUZZ_CHECK(n >= 0 && n <= header + 2 * (count - header));
    std::vector<uint16_t> expanded = CSegmentDecoder::Expand(encoded.data(), static_cast<size_t>(n), words.size());
    FUZZ_CHECK(expanded == words);
    // The decoder stops where it is told, whatever the stream still holds.
    if (count > 0) {
        std::vector<uint16_t> part = CSegmentDecoder::Expand(encoded.data(), static_cast<size_t>(n), words.size() - 1);
        FUZZ_CHECK(part.size() == words.size() - 1 && std::equal(part.begin(), part.end(), words.begin()));
    }
}

std::vector<uint16_t> Words(CFuzzBytes& in)
{
    std::vector<uint16_t> words;
    while (in.RestSize() >= 2)
        words.push_back(in.U16());
    return words;
}

std::vector<uint16_t> Runs(CFuzzBytes& in)
{
    std::vector<uint16_t> words;
    while (in.RestSize() >= 3) {
        uint8_t kind = in.Byte();
        uint16_t w = kind & 1 ? 0xFFFF : kind & 2 ? 0x0000 : static_cast<uint16_t>(kind << 8 | kind);
        size_t run = in.U16() + ((kind & 4) ? 65535u : 0u);
        run = std::min(run, kMaxRunWords - words.size());
        words.insert(words.end(), run, w);
    }
    return words;
}

void DecodeGarbage(CFuzzBytes& in)
{
    CUserDefine settings;
    const uint8_t shape = in.Byte();
    settings.JetPrintHead = static_cast<uint8_t>(1 + (shape & 3));
    settings.Print_Line = static_cast<uint8_t>((shape >> 2) % 3);
    settings.UpdateHeadTotals();
    const uint8_t open = in.Byte();
    for (int i = 0; i < 8; ++i)
        settings.JetPrintHeadOpenStatus[i] = (open >> i) & 1;
    for (int i = 0; i < 8; ++i) {
        settings.JetPrintHeadValueX[i] = (shape & 0x80) ? in.I32() : static_cast<int8_t>(in.Byte());
        settings.JetPrintHeadValueY[i] = (shape & 0x80) ? in.I32() : static_cast<int8_t>(in.Byte());
    }
    const int columns = in.U16() & 0x0FFF;
    const int pairCode = in.Byte() & 3;
    // As the plotter counts passes: segment number times passes, up to the largest job. Pages are
    // only counted, not kept, so that a far pass costs no memory.
    const int firstPass = static_cast<int>(in.U32() % (8388608 * 4u));
    const bool compressed = shape & 0x40;

    CCarriage carriage(settings);
    CSegmentDecoder decoder(carriage);
    decoder.SetJob(columns, pairCode);
    CPageImage page;
    page.Reset(columns, (shape & 0x20) == 0 && firstPass < 64);
    DecodeResult r = decoder.Decode(in.Rest(), in.RestSize(), compressed, page, firstPass);
    FUZZ_CHECK(r.ok || !r.error.empty());
    FUZZ_CHECK(r.dots >= 0 && r.strayBits >= 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CFuzzBytes in(data, size);
    switch (in.Byte() % 3) {
    case 0:
        RoundTrip(Words(in));
        break;
    case 1:
        RoundTrip(Runs(in));
        break;
    default:
        DecodeGarbage(in);
        break;
    }
    return 0;
}
