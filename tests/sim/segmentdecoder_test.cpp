// Decoding received segments into dots: slot tables, pass packing, exchange step, offsets, skew and
// reverse passes, each pinned by hand-computed word and bit positions.
#include <gtest/gtest.h>

#include "segmentfixture.h"
#include "settings/userdefine.h"
#include "sim/carriage.h"
#include "sim/pageimage.h"
#include "sim/segmentdecoder.h"

namespace {

constexpr int kColumns = 20;
constexpr int kSlots = 154;

CUserDefine Settings(int heads)
{
    CUserDefine s;
    s.JetPrintHead = static_cast<uint8_t>(heads);
    s.m_nTotalNozzles = heads * 150;
    for (int pos = 0; pos < heads; ++pos)
        s.JetPrintHeadOpenStatus[2 * pos] = 1;
    return s;
}

std::vector<uint16_t> Blank()
{
    return BlankSegment(kColumns, kSlots);
}

std::vector<uint8_t> Bytes(const std::vector<uint16_t>& words)
{
    return SegmentBytes(words);
}

struct Dot {
    int index;  // firing word index c * K + slot (data word 9 + index)
    int bit;    // bit of the word as sent (after the exchange step)
    int x, y;   // expected dot, or x = -1 for a stray bit
};

void ExpectDots(const CCarriage& carriage, int pairCode, const std::vector<Dot>& dots)
{
    CSegmentDecoder decoder(carriage);
    decoder.SetJob(kColumns, pairCode);
    for (const Dot& d : dots) {
        auto words = Blank();
        words[9 + d.index] |= static_cast<uint16_t>(1u << d.bit);
        auto bytes = Bytes(words);
        CPageImage page;
        page.Reset(kColumns);
        DecodeResult r = decoder.Decode(bytes.data(), bytes.size(), false, page, 0);
        SCOPED_TRACE("word " + std::to_string(d.index) + " bit " + std::to_string(d.bit));
        EXPECT_TRUE(r.ok) << r.error;
        EXPECT_EQ(page.Height(), decoder.Passes() * decoder.RowsPerPass());
        if (d.x < 0) {
            EXPECT_EQ(r.dots, 0);
            EXPECT_EQ(r.strayBits, 1);
        } else {
            EXPECT_EQ(r.dots, 1);
            EXPECT_EQ(r.strayBits, 0);
            EXPECT_TRUE(page.Get(d.x, d.y)) << "expected dot " << d.x << "," << d.y;
            EXPECT_EQ(page.DotCount(), 1);
        }
    }
}

}  // namespace

TEST(Carriage, SlotTablesInvertTheInterleave)
{
    CCarriage c(Settings(1));
    // Nozzles 0..7 fire in slots 0, 105, 56, 7, 112, 63, 14, 119 (first column), 56 slots later in the second.
    const int firstSlots[] = {0, 105, 56, 7, 112, 63, 14, 119};
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(c.NozzleOfSlot(0, firstSlots[n]), n);
        EXPECT_EQ(c.NozzleOfSlot(1, (firstSlots[n] + 56) % 154), n);
    }
    EXPECT_EQ(c.NozzleOfSlot(0, 50), 21);
    EXPECT_EQ(c.NozzleOfSlot(0, 99), 20);
    std::vector<int> empty[2];
    for (int column = 0; column < 2; ++column)
        for (int s = 0; s < 154; ++s)
            if (c.NozzleOfSlot(column, s) < 0)
                empty[column].push_back(s);
    EXPECT_EQ(empty[0], (std::vector<int>{48, 49, 98, 153}));
    EXPECT_EQ(empty[1], (std::vector<int>{0, 55, 104, 105}));
    EXPECT_EQ(c.NozzleOfSlot(0, 154), -1);
}

TEST(Carriage, HeadsAreMountedByTheConfiguredPositions)
{
    struct Case {
        int heads;
        std::vector<int> open;  // positions with open status 1
        std::vector<int> headAt;
    };
    const Case cases[] = {
        {1, {1}, {-1, 0, -1, -1}},
        {1, {2, 3}, {-1, -1, 0, -1}},
        {2, {1, 2, 3}, {-1, 0, 1, -1}},
        {2, {0, 2}, {-1, -1, -1, -1}},  // not adjacent: nothing is mounted
        {3, {1, 2, 3}, {-1, 0, 1, 2}},
        {4, {0, 1, 2, 3}, {0, 1, 2, 3}},
    };
    for (const Case& k : cases) {
        CUserDefine s;
        s.JetPrintHead = static_cast<uint8_t>(k.heads);
        for (int pos : k.open)
            s.JetPrintHeadOpenStatus[2 * pos] = 1;
        CCarriage c(s);
        std::vector<int> headAt;
        for (int pos = 0; pos < 4; ++pos)
            headAt.push_back(c.HeadAt(pos));
        EXPECT_EQ(headAt, k.headAt) << k.heads << " heads";
        EXPECT_EQ(c.m_bMounted, k.headAt[0] >= 0 || k.headAt[1] >= 0 || k.headAt[2] >= 0);
        EXPECT_EQ(c.m_bFourPass, k.heads < 3);
    }
}

TEST(SegmentDecoder, FourPassBitsLandOnTheirDots)
{
    // One head at position 0; columns offset by 2 and 5 dots; skew 150/150: nozzle n shifted by n dots.
    CUserDefine s = Settings(1);
    s.JetPrintHeadValueX[0] = 2;
    s.JetPrintHeadValueX[1] = 5;
    s.JetPrintHeadValueY[0] = 150;
    CCarriage carriage(s);
    ExpectDots(carriage, 1,
               {
                   // pass 0, first column, nozzle 0 (slot 0), dot 3: column 3 + 2
                   {5 * kSlots + 0, 0, 3, 0},
                   // pass 0, second column, nozzle 0 (slot 56), dot 3: column 3 + 5; packed bit 4 is sent as bit 8
                   {8 * kSlots + 56, 8, 3, 0},
                   // pass 1 runs back: nozzle 1 (slot 105, skew 1), dot 4 at column 20 - 2 - 4 - 1
                   {13 * kSlots + 105, 2, 4, 150 + 1},
                   // pass 3, second column (bit 14), nozzle 3 (slot 63, skew 3), dot 0 at column 20 - 5 - 0 - 3
                   {12 * kSlots + 63, 14, 0, 3 * 150 + 3},
                   // pass 2, position 1: packed bit 9 sent as bit 5, but no head is mounted there
                   {3 * kSlots + 0, 5, -1, 0},
                   // slot 48 fires no nozzle
                   {48, 0, -1, 0},
                   // column 0 minus the offset lies left of the page
                   {0, 0, -1, 0},
               });
}

TEST(SegmentDecoder, TwoPassBitsLandOnTheirDots)
{
    CCarriage carriage(Settings(3));
    ExpectDots(carriage, 0,
               {
                   // pass 0, position 1 (head 1), first column, nozzle 2 (slot 56), dot 7
                   {7 * kSlots + 56, 1, 7, 150 + 2},
                   // pass 1, position 2 (head 2), second column (bit 14), nozzle 0 (slot 56), dot 1 from the far end
                   {19 * kSlots + 56, 14, 1, 450 + 300 + 0},
                   // pass 0, position 3: no head
                   {7 * kSlots + 56, 3, -1, 0},
               });
}

TEST(SegmentDecoder, WithoutAPairSelectionEveryBitIsStray)
{
    CCarriage carriage(Settings(1));
    ExpectDots(carriage, 0, {{5 * kSlots, 0, -1, 0}});
}

TEST(SegmentDecoder, RejectsBadHeadersAndReportsWrongSizes)
{
    CCarriage carriage(Settings(1));
    CSegmentDecoder decoder(carriage);
    decoder.SetJob(kColumns, 1);
    CPageImage page;
    page.Reset(kColumns);

    auto words = Blank();
    words[5] = 0xAAAB;
    auto bytes = Bytes(words);
    DecodeResult r = decoder.Decode(bytes.data(), bytes.size(), false, page, 0);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("header word 5"), std::string::npos) << r.error;

    words = Blank();
    words[9 + 5 * kSlots] = 1;
    words.pop_back();
    bytes = Bytes(words);
    r = decoder.Decode(bytes.data(), bytes.size(), false, page, 2);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("expected"), std::string::npos) << r.error;
    EXPECT_EQ(r.dots, 1);  // what arrived is still printed, on pass 2's rows
    EXPECT_TRUE(page.Get(5, 2 * 150));
}

TEST(SegmentDecoder, ExpandsRunLengthPairs)
{
    std::vector<uint16_t> in(kSegmentHeader, kSegmentHeader + 9);
    in.insert(in.end(), {0x0012, 0x0000, 1, 0x0034, 0xFFFF, 3, 0x0000, 65535, 0x0000, 4465});
    auto out = CSegmentDecoder::Expand(in.data(), in.size(), 1000000);
    ASSERT_EQ(out.size(), 9u + 1 + 1 + 1 + 3 + 70000);
    EXPECT_EQ(std::vector<uint16_t>(out.begin() + 9, out.begin() + 15),
              (std::vector<uint16_t>{0x0012, 0x0000, 0x0034, 0xFFFF, 0xFFFF, 0xFFFF}));
    EXPECT_EQ(std::count(out.begin() + 15, out.end(), 0), 70000);
    // A run cannot grow the output past the limit.
    EXPECT_EQ(CSegmentDecoder::Expand(in.data(), in.size(), 100).size(), 100u);
}

TEST(SegmentDecoder, DecodesTheCompressedFormLikeTheRawOne)
{
    CCarriage carriage(Settings(1));
    CSegmentDecoder decoder(carriage);
    decoder.SetJob(kColumns, 1);
    const int index = 5 * kSlots;
    const int total = (kColumns + 100) * kSlots;
    std::vector<uint16_t> packed(kSegmentHeader, kSegmentHeader + 9);
    packed.insert(packed.end(), {0x0000, static_cast<uint16_t>(index), 0x0001, 0x0000,
                                 static_cast<uint16_t>(total - 9 - index - 1)});
    auto bytes = Bytes(packed);
    CPageImage page;
    page.Reset(kColumns);
    DecodeResult r = decoder.Decode(bytes.data(), bytes.size(), true, page, 0);
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.dots, 1);
    EXPECT_TRUE(page.Get(5, 0));
}
