// The dictionary queries through the shipped library.
#include <gtest/gtest.h>

#include <filesystem>

#include "dictionary_builder.h"
#include "library_exports.h"
#include "message_capture.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

class Queries : public testing::Test {
protected:
    void Write(const Bytes &content) { WriteFileBytes(folder_ / "Geodict.dct", content); }
    int Find(const char *name) { return Library().GeoDictFind(folder_.Name().c_str(), name); }

    TempDirectory folder_;
    MessageCapture capture_;  // the queries never show anything
    void TearDown() override { EXPECT_TRUE(capture_.Messages().empty()); }
};

TEST_F(Queries, AMissingDictionaryAnswersMinusOneWhateverTheName)
{
    EXPECT_EQ(-1, Find("Pols0000.GST"));
    EXPECT_EQ(-1, Find(""));
    EXPECT_EQ(-1, Library().VorezuInstalled(folder_.Name().c_str()));
    EXPECT_TRUE(folder_.Listing().empty());
}

TEST_F(Queries, AnEmptyDictionaryHoldsNoName)
{
    Write({});
    EXPECT_EQ(0, Find("Pols0000.GST"));
    EXPECT_EQ(0, Find(""));
    EXPECT_EQ(0, Library().VorezuInstalled(folder_.Name().c_str()));
}

TEST_F(Queries, TheNameIsFoundAnywhereExactlyAsWritten)
{
    Write(Concat({MakeRecord("Wlochy.GST"), MakeRecord("Pols0000.GST"), ToBytes("\xb9z")}));
    EXPECT_EQ(1, Find("Pols0000.GST"));
    EXPECT_EQ(1, Library().VorezuInstalled(folder_.Name().c_str()));
    EXPECT_EQ(0, Find("POLS0000.GST"));
    EXPECT_EQ(0, Find(""));
    EXPECT_EQ(1, Find("\xb9z"));
    EXPECT_EQ(0, Find("\xa5z"));
}

TEST_F(Queries, ANameAcrossTwoRecordsStillCounts)
{
    Write(Concat({MakeRecord("abcPols"), MakeRecord("0000.GST")}));
    EXPECT_EQ(0, Find("Pols0000.GST"));
    Write(Concat({MakeRecord("abc"), ToBytes("Pols"), MakeRawRecord(0, ToBytes("..."))}));
    EXPECT_EQ(1, Find("PolsLBTG"));
}

TEST_F(Queries, AReadOnlyDictionaryIsAnsweredToo)
{
    Write(MakeRecord("Pols0000.GST"));
    std::filesystem::permissions(folder_ / "Geodict.dct", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_EQ(1, Library().VorezuInstalled(folder_.Name().c_str()));
    EXPECT_EQ(0, Find("Wlochy"));
}

TEST_F(Queries, ADirectoryGivenWithOrWithoutItsSeparatorIsTheSame)
{
    Write(MakeRecord("Pols0000.GST"));
    EXPECT_EQ(1, Library().VorezuInstalled((folder_.Name() + "/").c_str()));
#ifdef _WIN32
    EXPECT_EQ(1, Library().VorezuInstalled((folder_.Name() + "\\").c_str()));
#endif
}

}  // namespace
}  // namespace dorvan::test
