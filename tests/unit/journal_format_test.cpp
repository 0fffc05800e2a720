// The journal's bytes against fixed vectors, so that a journal written by
// one version is read back by the next, on every build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "dictionary/journal_format.h"

namespace dorvan {
namespace {

TEST(JournalFormat, ChecksumsOfKnownBytes)
{
    const char *fox = "The quick brown fox jumps over the lazy dog";
    const uint8_t zeros[64] = {};
    struct Case {
        const uint8_t *bytes;
        int32_t count;
        uint64_t version1, version2;
    };
    const Case cases[] = {
        {reinterpret_cast<const uint8_t *>(""), 0, 0xe72e39f9d4ba1518u, 0x69945215e4fda5deu},
        {reinterpret_cast<const uint8_t *>(fox), static_cast<int32_t>(std::strlen(fox)), 0x49be1f272ddf9837u,
         0x5d1a2e7015fc3e0bu},
        {zeros, 64, 0x3390a2a5b763a0d8u, 0x4f7f5729903a4e7bu},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.version1, JournalChecksumOf(c.bytes, c.count, 1)) << c.count << " bytes";
        EXPECT_EQ(c.version2, JournalChecksumOf(c.bytes, c.count)) << c.count << " bytes";
    }

    // Fed in pieces of 32 bytes and a rest, as a journal is read back.
    JournalChecksum pieces;
    pieces.Add(reinterpret_cast<const uint8_t *>(fox), 32);
    pieces.Add(reinterpret_cast<const uint8_t *>(fox) + 32, static_cast<int32_t>(std::strlen(fox)) - 32);
    EXPECT_EQ(0x5d1a2e7015fc3e0bu, pieces.Value());

    // Every value of a word's high byte gives a sum of its own (version 1
    // let one in 256 such changes through).
    uint8_t words[256] = {};
    std::vector<uint64_t> sums;
    for (int high = 0; high < 256; ++high) {
        words[8 * 13 + 7] = static_cast<uint8_t>(high);
        sums.push_back(JournalChecksumOf(words, sizeof words));
    }
    std::sort(sums.begin(), sums.end());
    EXPECT_EQ(sums.end(), std::adjacent_find(sums.begin(), sums.end()));
}

TEST(JournalFormat, AKnownHeaderEncodesToItsBytesAndOnlyAWholeOneDecodes)
{
    const JournalHeader header{200038, 70000, 0x0123456789abcdefu, 0xfedcba9876543210u};
    const uint8_t expected[JournalHeaderSize] = {
        0x44, 0x6f, 0x72, 0x76, 0x61, 0x6e, 0x4a, 0x32, 0x66, 0x0d, 0x03, 0x00, 0x70, 0x11,
        0x01, 0x00, 0xef, 0xcd, 0xab, 0x89, 0x67, 0x45, 0x23, 0x01, 0x10, 0x32, 0x54, 0x76,
        0x98, 0xba, 0xdc, 0xfe, 0xcd, 0x25, 0x2a, 0xab, 0x2b, 0x08, 0x4f, 0x19,
    };
    // The first version's header, as a journal a crash left may hold it.
    const uint8_t firstVersion[JournalHeaderSize] = {
        0x44, 0x6f, 0x72, 0x76, 0x61, 0x6e, 0x4a, 0x31, 0x66, 0x0d, 0x03, 0x00, 0x70, 0x11,
        0x01, 0x00, 0xef, 0xcd, 0xab, 0x89, 0x67, 0x45, 0x23, 0x01, 0x10, 0x32, 0x54, 0x76,
        0x98, 0xba, 0xdc, 0xfe, 0xec, 0xe0, 0xc3, 0xc1, 0xf9, 0x70, 0xb8, 0x44,
    };
    uint8_t bytes[JournalHeaderSize];
    EncodeJournalHeader(bytes, header);
    EXPECT_EQ(0, std::memcmp(expected, bytes, JournalHeaderSize));

    JournalHeader decoded{};
    ASSERT_TRUE(DecodeJournalHeader(firstVersion, decoded));
    EXPECT_EQ(1, decoded.version);
    EXPECT_EQ(70000, decoded.firstChanged);
    ASSERT_TRUE(DecodeJournalHeader(bytes, decoded));
    EXPECT_EQ(2, decoded.version);
    EXPECT_EQ(200038, decoded.oldLength);
    EXPECT_EQ(70000, decoded.firstChanged);
    EXPECT_EQ(header.savedSum, decoded.savedSum);
    EXPECT_EQ(header.prefixSum, decoded.prefixSum);

    // Every byte changed in turn, a blank header, and numbers out of range
    // under a checksum that agrees.
    for (int i = 0; i < JournalHeaderSize; ++i) {
        uint8_t changed[JournalHeaderSize];
        std::memcpy(changed, bytes, JournalHeaderSize);
        changed[i] ^= 0x01;
        EXPECT_FALSE(DecodeJournalHeader(changed, decoded)) << "byte " << i << " changed";
    }
    const uint8_t blank[JournalHeaderSize] = {};
    EXPECT_FALSE(DecodeJournalHeader(blank, decoded));
    uint8_t outOfRange[JournalHeaderSize];
    EncodeJournalHeader(outOfRange, JournalHeader{100, 101, 0, 0});
    EXPECT_FALSE(DecodeJournalHeader(outOfRange, decoded)) << "first change past the old end";
    EncodeJournalHeader(outOfRange, JournalHeader{-1, 0, 0, 0});
    EXPECT_FALSE(DecodeJournalHeader(outOfRange, decoded)) << "an old length beyond the 32-bit range";

    EXPECT_EQ(0, JournalPrefixStart(4096));
    EXPECT_EQ(1, JournalPrefixStart(4097));
}

}  // namespace
}  // namespace dorvan
