// Inputs at and past the path limit, and names with unusual bytes: each
// gets a clear answer, and nothing is written where nothing should be.
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

TEST(BadInput, DirectoriesTooLongForAPathAreMissingDictionaries)
{
    TempDirectory source;
    WriteFileBytes(source / "GeoExt.gxt", MakeRecord("Pols0000.GST"));
    for (size_t length : {259u, 260u, 261u, 300u, 4000u}) {
        const std::string directory(length, 'd');
        MessageCapture capture;
        EXPECT_EQ(0, Library().SetGeoDict(nullptr, "", source.Name().c_str(), directory.c_str(), "")) << length;
        EXPECT_EQ(0, Library().ClearGeoDict(nullptr, "", "", directory.c_str(), "")) << length;
        EXPECT_EQ(-1, Library().VorezuInstalled(directory.c_str())) << length;
        EXPECT_EQ(-1, Library().GeoDictFind(directory.c_str(), "x")) << length;
        EXPECT_EQ(-1, Library().GeoDictGlue(directory.c_str(), (source / "GeoExt.gxt").string().c_str())) << length;
        EXPECT_EQ(-1, Library().GeoDictRemove(directory.c_str(), "x")) << length;
        ASSERT_EQ(2u, capture.Messages().size()) << length;
        EXPECT_NE(std::string::npos, capture.Messages()[0].text.find(directory.substr(0, 200)))
            << "shown as composed";
    }
    EXPECT_EQ(std::vector<std::string>{"GeoExt.gxt"}, source.Listing());
}

TEST(BadInput, PathsWithPercentSignsSpacesAndHighBytesWorkLikeAnyOther)
{
    TempDirectory parent;
    const std::string name = "100% mapy \xc5\x81\xc3\xb3" "d\xc5\xba";  // "Łódź", UTF-8
    const fs::path data = parent.Path() / fs::u8path(name);
    fs::create_directory(data);
    const Bytes dictionary = MakeRecord("Wlochy.GST");
    WriteFileBytes(data / "Geodict.dct", dictionary);
    WriteFileBytes(parent / "GeoExt.gxt", MakeRecord("Pols0000.GST"));
    // Callers name it in the ANSI code page.
    const std::string dir = (parent.Path() / "x").string().substr(0, parent.Name().size() + 1) + ToAnsi(name);
    MessageCapture capture;
    EXPECT_EQ(1, Library().SetGeoDict(nullptr, "", parent.Name().c_str(), dir.c_str(), ""));
    EXPECT_EQ(1, Library().VorezuInstalled(dir.c_str()));
    EXPECT_EQ(1, Library().ClearGeoDict(nullptr, "", "", dir.c_str(), ""));
    EXPECT_EQ(dictionary, ReadFileBytes(data / "Geodict.dct"));
    EXPECT_TRUE(capture.Messages().empty());
}

TEST(BadInput, ANameLongerThanEveryRecordRemovesNothing)
{
    TempDirectory data;
    const Bytes dictionary = Concat({MakeRecord("Pols0000.GST"), MakeRawRecord(255, ToBytes("Pols"))});
    WriteFileBytes(data / "Geodict.dct", dictionary);
    EXPECT_EQ(0, Library().GeoDictRemove(data.Name().c_str(), std::string(300, 'P').c_str()));
    // The last record's length byte of 255 runs past the end: searched to the end only.
    EXPECT_EQ(1, Library().GeoDictRemove(data.Name().c_str(), "POLS"));
    EXPECT_TRUE(ReadFileBytes(data / "Geodict.dct").empty());
}

}  // namespace
}  // namespace dorvan::test
