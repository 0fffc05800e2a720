// The quiet dictionary edits through the shipped library.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "dictionary_builder.h"
#include "library_exports.h"
#include "message_capture.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

class ServiceEdits : public testing::Test {
protected:
    void SetUp() override { WriteFileBytes(dictionaryPath_, dictionary_); }
    void TearDown() override
    {
        EXPECT_TRUE(capture_.Messages().empty()) << "the service functions never show anything";
        for (const std::string &name : data_.Listing())
            EXPECT_TRUE(name == "Geodict.dct") << "no backup is made: " << name;
    }

    int Glue(const fs::path &file) { return Library().GeoDictGlue(data_.Name().c_str(), file.string().c_str()); }
    int Remove(const char *name) { return Library().GeoDictRemove(data_.Name().c_str(), name); }
    Bytes Dictionary() const { return ReadFileBytes(dictionaryPath_); }

    TempDirectory data_, files_;
    const fs::path dictionaryPath_ = data_ / "Geodict.dct";
    const Bytes polish = MakeRecord("Pols0000.GST");
    const Bytes dictionary_ = Concat({MakeRecord("Wlochy.GST"), polish, ToBytes("\x01opaque"), MakeRecord("Niemcy.GST")});
    MessageCapture capture_;
};

TEST_F(ServiceEdits, GlueAppendsEveryByteEachTimeItIsCalled)
{
    const Bytes file = ToBytes(std::string("LBTG\x03\0\0\0abc\0", 12));
    WriteFileBytes(files_ / "extra.gxt", file);
    EXPECT_EQ(0, Glue(files_ / "extra.gxt"));
    EXPECT_EQ(0, Glue(files_ / "extra.gxt"));
    EXPECT_EQ(Concat({dictionary_, file, file}), Dictionary());
}

TEST_F(ServiceEdits, GlueOfAnEmptyFileWritesNothing)
{
    WriteFileBytes(files_ / "empty", {});
    EXPECT_EQ(0, Glue(files_ / "empty"));
    EXPECT_EQ(dictionary_, Dictionary());
}

TEST_F(ServiceEdits, GlueOfTheDictionaryItselfAppendsACopyOfItsContent)
{
    EXPECT_EQ(0, Glue(dictionaryPath_));
    EXPECT_EQ(Concat({dictionary_, dictionary_}), Dictionary());
}

TEST_F(ServiceEdits, GlueFailsWithoutTheDictionaryOrTheFile)
{
    EXPECT_EQ(-1, Glue(files_ / "missing"));
    EXPECT_EQ(dictionary_, Dictionary());
    fs::remove(dictionaryPath_);
    WriteFileBytes(files_ / "extra.gxt", polish);
    EXPECT_EQ(-1, Glue(files_ / "extra.gxt"));
    EXPECT_FALSE(fs::exists(dictionaryPath_)) << "the dictionary is never created";
}

TEST_F(ServiceEdits, RemoveMatchesTheNameInEveryLetterCase)
{
    const Bytes kept = Concat({MakeRecord("Wlochy.GST"), ToBytes("\x01opaque"), MakeRecord("Niemcy.GST")});
    EXPECT_EQ(1, Remove("POLS0000.GST"));
    EXPECT_EQ(kept, Dictionary());
    WriteFileBytes(dictionaryPath_, dictionary_);
    EXPECT_EQ(1, Remove("pols0000.gst"));
    EXPECT_EQ(kept, Dictionary());
    EXPECT_EQ(0, Remove("pols0000.gst"));
}

TEST_F(ServiceEdits, RemoveFoldsOnlyAsciiLetters)
{
    // Code page 1250: 0xA3 is L with stroke, 0xB3 its small letter.
    const Bytes national = Concat({MakeRecord("\xa3odz.GST"), dictionary_});
    WriteFileBytes(dictionaryPath_, national);
    EXPECT_EQ(0, Remove("\xb3odz.gst"));
    EXPECT_EQ(national, Dictionary());
    EXPECT_EQ(1, Remove("\xa3ODZ.gst"));
    EXPECT_EQ(dictionary_, Dictionary());
}

TEST_F(ServiceEdits, RemoveWithNothingToRemoveWritesNothing)
{
    EXPECT_EQ(0, Remove(""));
    EXPECT_EQ(0, Remove("Czechy.GST"));
    WriteFileBytes(dictionaryPath_, ToBytes("Pols0000.GST without any tag"));
    EXPECT_EQ(0, Remove("Pols0000.GST"));
    EXPECT_EQ(ToBytes("Pols0000.GST without any tag"), Dictionary());
}

TEST_F(ServiceEdits, RemoveOfEveryRecordLeavesAnEmptyDictionary)
{
    WriteFileBytes(dictionaryPath_, Concat({polish, polish}));
    EXPECT_EQ(1, Remove("Pols0000.GST"));
    EXPECT_TRUE(Dictionary().empty());
}

TEST_F(ServiceEdits, RemoveWithoutADictionaryAnswersMinusOne)
{
    fs::remove(dictionaryPath_);
    EXPECT_EQ(-1, Remove("Pols0000.GST"));
    EXPECT_EQ(-1, Remove(""));
}

}  // namespace
}  // namespace dorvan::test
