// The checksum both sides compute, and the plotter's memory that reports it two ways.
#include <gtest/gtest.h>

#include "sim/receivebuffer.h"

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<uint16_t> words)
{
    std::vector<uint8_t> b;
    for (uint16_t w : words) {
        b.push_back(static_cast<uint8_t>(w));
        b.push_back(static_cast<uint8_t>(w >> 8));
    }
    return b;
}

}  // namespace

TEST(Checksum, KnownValues)
{
    auto two = Bytes({0x0001, 0x0002});
    EXPECT_EQ(CReceiveBuffer::Checksum(two.data(), two.size()), 0x00030001u);
    auto header = Bytes({0x7573, 0x6672, 0x6E69, 0x6574, 0x6E72, 0xAAAA, 0x5555, 0xAAAA, 0x5555});
    EXPECT_EQ(CReceiveBuffer::Checksum(header.data(), header.size()), 0x1E320024u);
    // The index term wraps at 65536 words.
    std::vector<uint8_t> zeros(2 * 65538, 0);
    EXPECT_EQ(CReceiveBuffer::Checksum(zeros.data(), zeros.size()), 65535u * 65536u / 2 + 0 + 1);
}

TEST(ReceiveBuffer, PacketBoundariesDoNotChangeTheSums)
{
    std::vector<uint8_t> data(5001);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 37 + 11);
    const uint32_t whole = CReceiveBuffer::Checksum(data.data(), data.size());
    for (size_t packet : {1u, 2u, 3u, 7u, 64u, 4999u, 6000u}) {
        CReceiveBuffer b;
        for (size_t at = 0; at < data.size(); at += packet)
            b.Append(data.data() + at, std::min(packet, data.size() - at));
        EXPECT_EQ(b.DmaChecksum(), whole) << packet;
        EXPECT_EQ(b.DramChecksum(), whole) << packet;
        EXPECT_EQ(b.Stored(), data) << packet;
    }
}

TEST(ReceiveBuffer, OverflowIsCountedButNotStored)
{
    auto data = Bytes({1, 2, 3, 4});
    CReceiveBuffer b;
    b.SetCapacity(4);
    b.Append(data.data(), data.size());
    EXPECT_EQ(b.ReceivedBytes(), 8u);
    EXPECT_EQ(b.Stored().size(), 4u);
    EXPECT_EQ(b.DmaChecksum(), CReceiveBuffer::Checksum(data.data(), 8));
    EXPECT_EQ(b.DramChecksum(), CReceiveBuffer::Checksum(data.data(), 4));
    EXPECT_NE(b.DmaChecksum(), b.DramChecksum());
    b.Reset();
    EXPECT_EQ(b.ReceivedBytes(), 0u);
    EXPECT_EQ(b.DmaChecksum(), 0u);
}
