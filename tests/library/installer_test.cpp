// Registering and unregistering the map set through the shipped library:
// the dictionary's bytes, the backups beside it and the messages shown.
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

class Installer : public testing::Test {
protected:
    void SetUp() override
    {
        WriteFileBytes(dictionaryPath_, dictionary_);
        WriteFileBytes(entryPath_, entry_);
    }

    unsigned char Install(void *owner = nullptr)
    {
        return Library().SetGeoDict(owner, "unused", source_.Name().c_str(), data_.Name().c_str(), "unused");
    }
    unsigned char Uninstall(void *owner = nullptr)
    {
        return Library().ClearGeoDict(owner, "unused", "unused", data_.Name().c_str(), "unused");
    }
    Bytes Dictionary() const { return ReadFileBytes(dictionaryPath_); }

    TempDirectory data_, source_;
    const fs::path dictionaryPath_ = data_ / "Geodict.dct";
    const fs::path entryPath_ = source_ / "GeoExt.gxt";
    const Bytes dictionary_ = Concat({MakeRecord("Wlochy.GST"), ToBytes("\x00opaque\x00"), MakeRecord("Niemcy.GST")});
    const Bytes entry_ = Concat({MakeRecord("Pols0000.GST"), MakeRecord("mapa Pols0000.GST 1:500000")});
    MessageCapture capture_;
};

TEST_F(Installer, InstallThenUninstallRestoresTheDictionaryAndLeavesTwoCopies)
{
    EXPECT_EQ(1, Install(TestOwnerWindow()));
    EXPECT_EQ(Concat({dictionary_, entry_}), Dictionary());
    EXPECT_EQ(1, Library().VorezuInstalled(data_.Name().c_str()));

    EXPECT_EQ(1, Uninstall(TestOwnerWindow()));
    EXPECT_EQ(dictionary_, Dictionary());
    EXPECT_EQ(0, Library().VorezuInstalled(data_.Name().c_str()));

    EXPECT_EQ((std::vector<std::string>{"Geodict.000", "Geodict.001", "Geodict.dct"}), data_.Listing());
    EXPECT_EQ(dictionary_, ReadFileBytes(data_ / "Geodict.000"));
    EXPECT_EQ(Concat({dictionary_, entry_}), ReadFileBytes(data_ / "Geodict.001"));
    EXPECT_TRUE(capture_.Messages().empty());
}

TEST_F(Installer, ASecondInstallFindsTheEntryAndMakesNoSecondCopy)
{
    EXPECT_EQ(1, Install());
    EXPECT_EQ(1, Install());
    EXPECT_EQ(Concat({dictionary_, entry_}), Dictionary());
    EXPECT_EQ((std::vector<std::string>{"Geodict.000", "Geodict.dct"}), data_.Listing());
}

TEST_F(Installer, AnEntryInsideTheDictionaryCountsAsPresent)
{
    const Bytes withEntry = Concat({dictionary_, entry_, MakeRecord("Czechy.GST")});
    WriteFileBytes(dictionaryPath_, withEntry);
    EXPECT_EQ(1, Install());
    EXPECT_EQ(withEntry, Dictionary());
    EXPECT_EQ(std::vector<std::string>{"Geodict.dct"}, data_.Listing());
}

TEST_F(Installer, AnEmptyEntryCountsAsPresent)
{
    WriteFileBytes(entryPath_, {});
    EXPECT_EQ(1, Install());
    EXPECT_EQ(dictionary_, Dictionary());
    EXPECT_EQ(std::vector<std::string>{"Geodict.dct"}, data_.Listing());
}

TEST_F(Installer, AnEntryWithZeroBytesIsComparedAndAppendedWhole)
{
    const Bytes entry = ToBytes(std::string("LBTG\x02\0\0\0Pols0000.GST\0\0tail", 26));
    // Only the part before the first zero byte is in the dictionary.
    WriteFileBytes(dictionaryPath_, Concat({dictionary_, ToBytes("LBTG\x02")}));
    WriteFileBytes(entryPath_, entry);
    EXPECT_EQ(1, Install());
    EXPECT_EQ(Concat({dictionary_, ToBytes("LBTG\x02"), entry}), Dictionary());
    EXPECT_EQ(1, Install());
    EXPECT_EQ(Concat({dictionary_, ToBytes("LBTG\x02"), entry}), Dictionary());
}

TEST_F(Installer, ADictionaryShorterThanTheEntryIsAppendedTo)
{
    WriteFileBytes(dictionaryPath_, ToBytes("LB"));
    EXPECT_EQ(1, Install());
    EXPECT_EQ(Concat({ToBytes("LB"), entry_}), Dictionary());
    EXPECT_EQ(ToBytes("LB"), ReadFileBytes(data_ / "Geodict.000"));
}

TEST_F(Installer, AMissingDictionaryIsShownEvenWithoutOwnerWindow)
{
    fs::remove(dictionaryPath_);
    for (void *owner : {TestOwnerWindow(), static_cast<void *>(nullptr)}) {
        capture_.Clear();
        EXPECT_EQ(0, Install(owner));
        EXPECT_EQ(0, Uninstall(owner));
        ASSERT_EQ(2u, capture_.Messages().size());
        for (const ShownMessage &shown : capture_.Messages()) {
            EXPECT_EQ("Plik zestawu map: \"" + dictionaryPath_.string() + "\" nie istnieje.", shown.text);
            EXPECT_EQ(owner, shown.owner);
        }
    }
    EXPECT_TRUE(data_.Listing().empty());
}

TEST_F(Installer, AMissingEntryIsShownOnlyWithAnOwnerWindow)
{
    fs::remove(entryPath_);
    EXPECT_EQ(0, Install());
    EXPECT_TRUE(capture_.Messages().empty());
    EXPECT_EQ(0, Install(TestOwnerWindow()));
    ASSERT_EQ(1u, capture_.Messages().size());
    EXPECT_EQ("Wystąpił błąd podczas próby otwarcia pliku \"" + entryPath_.string() + "\".", capture_.Messages()[0].text);
    EXPECT_EQ(dictionary_, Dictionary());
    EXPECT_EQ(std::vector<std::string>{"Geodict.dct"}, data_.Listing());
}

TEST_F(Installer, AnEmptySourceDirectoryReadsTheEntryFromTheCurrentDirectory)
{
    const fs::path saved = fs::current_path();
    fs::current_path(source_.Path());
    unsigned char result = Library().SetGeoDict(nullptr, "", "", data_.Name().c_str(), "");
    fs::current_path(saved);
    EXPECT_EQ(1, result);
    EXPECT_EQ(Concat({dictionary_, entry_}), Dictionary());
}

TEST_F(Installer, UninstallMatchesTheMapFileNameExactly)
{
    const Bytes otherCase = MakeRecord("POLS0000.gst");
    WriteFileBytes(dictionaryPath_, Concat({otherCase, entry_, dictionary_}));
    EXPECT_EQ(1, Uninstall());
    EXPECT_EQ(Concat({otherCase, dictionary_}), Dictionary());
}

TEST_F(Installer, ASecondUninstallRemovesNothingAndStillLeavesACopy)
{
    WriteFileBytes(dictionaryPath_, Concat({dictionary_, entry_}));
    EXPECT_EQ(1, Uninstall());
    EXPECT_EQ(1, Uninstall());
    EXPECT_EQ(dictionary_, Dictionary());
    EXPECT_EQ((std::vector<std::string>{"Geodict.000", "Geodict.001", "Geodict.dct"}), data_.Listing());
    EXPECT_EQ(dictionary_, ReadFileBytes(data_ / "Geodict.001"));
}

TEST_F(Installer, UninstallOfADictionaryWithoutRecordsOnlyLeavesACopy)
{
    WriteFileBytes(dictionaryPath_, ToBytes("Pols0000.GST outside any record"));
    EXPECT_EQ(1, Uninstall());
    EXPECT_EQ(ToBytes("Pols0000.GST outside any record"), Dictionary());
    EXPECT_EQ(ToBytes("Pols0000.GST outside any record"), ReadFileBytes(data_ / "Geodict.000"));
}

TEST_F(Installer, UninstallOfEveryRecordLeavesAnEmptyDictionary)
{
    WriteFileBytes(dictionaryPath_, entry_);
    EXPECT_EQ(1, Uninstall());
    EXPECT_TRUE(Dictionary().empty());
}

}  // namespace
}  // namespace dorvan::test
