// The file string search through the shipped library, checked against
// the chunked scan on files built around its chunk boundaries.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "library_exports.h"
#include "reference_models.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

constexpr int32_t Chunk = 102400;

class FileSearch : public testing::Test {
protected:
    int Find(const Bytes &content, const std::string &text)
    {
        WriteFileBytes(path_, content);
        return Library().FindStringInFile(path_.string().c_str(), text.c_str());
    }

    TempDirectory folder_;
    const fs::path path_ = folder_ / "file.bin";
};

// Filler that holds none of the test strings' bytes.
Bytes Filler(size_t size) { return Bytes(size, '.'); }

Bytes WithTextAt(size_t size, size_t offset, const std::string &text)
{
    Bytes content = Filler(size);
    std::copy(text.begin(), text.end(), content.begin() + static_cast<ptrdiff_t>(offset));
    return content;
}

TEST_F(FileSearch, TheCasesOfTheContract)
{
    EXPECT_EQ(0, Find(ToBytes("needle and more"), "needle"));
    EXPECT_EQ(Chunk - 2, Find(WithTextAt(300000, Chunk - 2, "abcdef"), "abcdef")) << "straddles the first boundary";
    EXPECT_EQ(Chunk - 6, Find(WithTextAt(Chunk, Chunk - 6, "abcdef"), "abcdef")) << "ends the file";
    EXPECT_EQ(-1, Find(ToBytes("short"), "longer than the file"));
    EXPECT_EQ(3, Find(ToBytes("...x..x"), "x"));
    EXPECT_EQ(3, Find(ToBytes("\xb9\xea.\xb9\xea\xb3"), "\xb9\xea\xb3")) << "high bytes by their unsigned value";
    EXPECT_EQ(-1, Find({}, "x"));
    EXPECT_EQ(-1, Find(Filler(250000), "abc"));
    EXPECT_EQ(-1, Find(ToBytes("abc"), ""));
}

TEST_F(FileSearch, AnEmptyStringNeverTouchesTheFile)
{
    EXPECT_EQ(-1, Library().FindStringInFile((folder_ / "missing").string().c_str(), ""));
    EXPECT_EQ(-2, Library().FindStringInFile((folder_ / "missing").string().c_str(), "x"));
}

TEST_F(FileSearch, EveryOffsetNearTheChunkBoundariesAgreesWithTheScan)
{
    const std::string texts[] = {"q", "qz", "qzq", "qzqzqzqzqzqzqzqzqzqzqzqzqzqzqzqzqzqzqzqz"};
    for (const std::string &text : texts) {
        for (int32_t boundary : {Chunk, 2 * Chunk}) {
            for (int32_t delta = -static_cast<int32_t>(text.size()) - 2; delta <= 2; ++delta) {
                Bytes content = WithTextAt(2 * Chunk + 5000, static_cast<size_t>(boundary + delta), text);
                ASSERT_EQ(ReferenceFindInFile(content, text), Find(content, text))
                    << "'" << text << "' at " << boundary << " + " << delta;
                ASSERT_EQ(boundary + delta, Find(content, text));
            }
        }
    }
}

TEST_F(FileSearch, GeneratedFilesAgreeWithTheScan)
{
    std::mt19937 random(5);
    for (int round = 0; round < 40; ++round) {
        Bytes content(random() % (3 * Chunk));
        for (uint8_t &byte : content)
            byte = static_cast<uint8_t>("ab\x80\xff"[random() % 4]);
        std::string text(1 + random() % 9, 'a');
        for (char &c : text)
            c = "ab\x80\xff"[random() % 4];
        ASSERT_EQ(ReferenceFindInFile(content, text), Find(content, text)) << "round " << round;
    }
}

TEST_F(FileSearch, RepetitiveDataWithANearlyMatchingString)
{
    const std::string text = std::string(4095, 'a') + "b";
    Bytes content(3 * Chunk, 'a');
    EXPECT_EQ(-1, Find(content, text));
    content.insert(content.end(), text.begin(), text.end());
    EXPECT_EQ(3 * Chunk, Find(content, text));
}

}  // namespace
}  // namespace dorvan::test
