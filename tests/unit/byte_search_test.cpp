// Exact and case-folding byte search, checked by hand on the cases that
// matter and against the candidate-by-candidate model on generated data.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "bytes/byte_search.h"
#include "reference_models.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

const uint8_t *Data(const std::string &text) { return reinterpret_cast<const uint8_t *>(text.data()); }

ptrdiff_t OffsetOf(const uint8_t *found, const std::string &data)
{
    return found ? found - Data(data) : -1;
}

ptrdiff_t Exact(const std::string &data, const char *pattern)
{
    return OffsetOf(FindBytes(Data(data), pattern, Data(data) + data.size()), data);
}

ptrdiff_t Folded(const std::string &data, const char *pattern)
{
    return OffsetOf(FindBytesNoCase(Data(data), pattern, Data(data) + data.size()), data);
}

TEST(FindBytes, ReturnsTheLowestMatchInsideTheRange)
{
    EXPECT_EQ(2, Exact("xxPols0000.GSTxPols0000.GST", "Pols0000.GST"));
    EXPECT_EQ(0, Exact("abc", "abc"));
    EXPECT_EQ(-1, Exact("Pols0000.GS", "Pols0000.GST"));
    EXPECT_EQ(-1, Exact("pols0000.gst", "Pols0000.GST"));
    const std::string data = "..LBTG..";
    // The range ends before the match does.
    EXPECT_EQ(nullptr, FindBytes(Data(data), "LBTG", Data(data) + 5));
}

TEST(FindBytes, EmptyPatternsShortRangesAndEmptyRangesNeverMatch)
{
    const std::string data = "abc";
    EXPECT_EQ(nullptr, FindBytes(Data(data), "", Data(data) + 3));
    EXPECT_EQ(nullptr, FindBytes(Data(data), "abcd", Data(data) + 3));
    EXPECT_EQ(nullptr, FindBytes(Data(data) + 3, "a", Data(data) + 3));
    EXPECT_EQ(nullptr, FindBytes(Data(data) + 3, "a", Data(data) + 1));  // start beyond the end
}

TEST(FindBytes, HighBytesCompareByTheirUnsignedValue)
{
    EXPECT_EQ(1, Exact("a\xb9\xea\xff", "\xb9\xea\xff"));
    EXPECT_EQ(-1, Exact("a\xa5\xea\xff", "\xb9\xea\xff"));
}

TEST(FindBytesNoCase, FoldsAsciiLettersOnEitherSide)
{
    EXPECT_EQ(1, Folded("xpOLs0000.gSt", "POLS0000.GST"));
    EXPECT_EQ(1, Folded("xPOLS0000.GST", "pols0000.gst"));
    EXPECT_EQ(0, Folded("Pols0000.GST", "Pols0000.GST"));
    EXPECT_EQ(-1, Folded("Pols0001.GST", "POLS0000.GST"));
}

TEST(FindBytesNoCase, OnlyAsciiLettersFold)
{
    // Code page 1250: 0xA5 is A with ogonek, 0xB9 its small letter.
    EXPECT_EQ(-1, Folded("\xa5", "\xb9"));
    EXPECT_EQ(-1, Folded("\xb9", "\xa5"));
    // Bytes 0x20 apart that are not letters stay apart.
    EXPECT_EQ(-1, Folded("@[\\]^", "`{|}~"));
    EXPECT_EQ(-1, Folded("`{|}~", "@[\\]^"));
    EXPECT_EQ(0, Folded("\xb9Z", "\xb9z"));
}

TEST(ContainsBytes, ComparesRawBytesZerosIncluded)
{
    const std::string data("ab\0cd\0ef", 8);
    const std::string entry("\0cd\0", 4);
    const std::string absent("\0cd\0f", 5);
    EXPECT_TRUE(ContainsBytes(Data(data), 8, Data(entry), 4));
    EXPECT_FALSE(ContainsBytes(Data(data), 8, Data(absent), 5));
    EXPECT_TRUE(ContainsBytes(Data(data), 8, Data(entry), 0));
    EXPECT_FALSE(ContainsBytes(Data(data), 3, Data(entry), 4));
}

// Random data over small alphabets gives many partial matches and
// periodic patterns, where the fast paths differ most from the model; long
// data over a larger alphabet keeps the vector scans running. Each scan
// tier that the build has and the processor runs is tried on its own.
TEST(ByteSearchModel, AgreesWithTheCandidateByCandidateScanInEveryTier)
{
    const std::string alphabets[] = {"ab", "aB", "abc", "LBTG", "a\x01\xb9Z",
                                     "LBTGPols0000.gstNIEMCYwlochy\x01\x02\xb9 "};
    for (ScanTier tier : {ScanTier::Portable, ScanTier::Sse2, ScanTier::Avx2, ScanTier::Avx512}) {
        if (!ScanTierAvailable(tier))
            continue;
        // Lifted however the case ends, a failing tier's ASSERT included.
        const ScopedScanTier limit(tier);
        std::mt19937 random(2026);
        for (int round = 0; round < 8000; ++round) {
            const std::string &alphabet = alphabets[round % 6];
            // Every 16th round is long enough for the scan to count the two
            // bytes and look for the rarer alone; in every 32nd that byte
            // is rare at first and common after, so the pair scan takes over.
            const size_t longest = round % 16 == 15 ? 40000 : round % 2 ? 300 : 3000;
            std::string data(random() % longest, ' '), pattern(1 + random() % 12, ' ');
            for (char &c : data)
                c = alphabet[random() % alphabet.size()];
            for (char &c : pattern)
                c = alphabet[random() % alphabet.size()];
            if (round % 16 == 15)
                for (size_t i = 0; i < data.size() / (round % 32 == 31 ? 2 : 1); ++i)
                    data[i] = data[i] == pattern[0] ? alphabet[0] == pattern[0] ? alphabet.back() : alphabet[0] : data[i];
            if (random() % 3 == 0 && data.size() > pattern.size())
                data.replace(random() % (data.size() - pattern.size()), pattern.size(), pattern);
            const uint8_t *begin = Data(data), *end = begin + data.size();
            const uint8_t *start = begin + (data.empty() ? 0 : random() % (data.size() / 4 + 1));
            ASSERT_EQ(ReferenceFind(start, pattern.c_str(), end, false), FindBytes(start, pattern.c_str(), end))
                << "tier " << static_cast<int>(tier) << ", data '" << data << "' pattern '" << pattern << "'";
            ASSERT_EQ(ReferenceFind(start, pattern.c_str(), end, true), FindBytesNoCase(start, pattern.c_str(), end))
                << "tier " << static_cast<int>(tier) << ", data '" << data << "' pattern '" << pattern << "'";
        }
        std::printf("  scan tier %d: agrees\n", static_cast<int>(tier));
    }
}

// A test's tier limit ends with its scope, even one an ASSERT leaves.
TEST(ByteSearchModel, ATierLimitEndsWithItsScope)
{
    [] {
        const ScopedScanTier limit(ScanTier::Portable);
        ASSERT_FALSE(PairScanUsable());
    }();
    EXPECT_EQ(ScanTierAvailable(ScanTier::Sse2), PairScanUsable());
}

// Long periodic needles in data full of near misses, and names among names
// that the first choice of bytes finds everywhere: the candidate search
// must choose its bytes anew or hand over to the two-way search, and still
// find the first occurrence.
TEST(SubstringSearch, FindsTheFirstOccurrenceInRepetitiveData)
{
    struct Case {
        std::string needle, unit;
    };
    const Case cases[] = {
        {std::string(4095, 'a') + "b", "a"},
        {"b" + std::string(300, 'a'), "b" + std::string(299, 'a')},
        {"ab" + std::string(200, 'a') + "ab", "ab" + std::string(200, 'a')},
        {std::string(100, 'a') + "ba" + std::string(100, 'a'), std::string(100, 'a') + "b"},
        {"POLS0000.GSX", "POLS0000.GST "},
    };
    for (const Case &c : cases) {
        std::string data;
        while (data.size() < 200000)
            data += c.unit;
        for (size_t at : {size_t{0}, size_t{777}, data.size() / 2, data.size()}) {
            std::string withNeedle = data;
            withNeedle.insert(at, c.needle);
            const uint8_t *begin = Data(withNeedle);
            std::string::size_type expected = withNeedle.find(c.needle);
            SubstringSearch<ExactBytes> search(Data(c.needle), c.needle.size());
            EXPECT_EQ(expected, search.FindIn(begin, withNeedle.size())) << "needle of " << c.needle.size();
        }
        SubstringSearch<ExactBytes> search(Data(c.needle), c.needle.size());
        if (data.find(c.needle) == std::string::npos) {
            EXPECT_EQ(SubstringSearch<ExactBytes>::NotFound, search.FindIn(Data(data), data.size()));
        }
    }
}

}  // namespace
}  // namespace dorvan::test
