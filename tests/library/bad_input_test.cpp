// Inputs at and past the path limit, and names with unusual bytes: each
// gets a clear answer, and nothing is written where nothing should be.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "dictionary_builder.h"
#include "library_exports.h"
#include "message_capture.h"
#include "test_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

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

// Files that are not regular files, named where a file is expected: each
// export answers as for a file that cannot be opened, without waiting, and
// writes nothing.
TEST(BadInput, FilesThatAreNotRegularFilesAreRefusedWithoutWaiting)
{
    TempDirectory data, source;
    const Bytes dictionary = MakeRecord("Wlochy.GST");
    WriteFileBytes(data / "Geodict.dct", dictionary);
#ifdef _WIN32
    // A device, and a pipe with a server waiting on it.
    const char pipeName[] = "\\\\.\\pipe\\dorvan-bad-input";
    HANDLE pipe = CreateNamedPipeA(pipeName, PIPE_ACCESS_DUPLEX, 0, 1, 0, 0, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, pipe);
    const std::vector<std::string> specials = {"NUL", pipeName};
#else
    const std::string fifo = (data / "fifo").string();
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    const std::vector<std::string> specials = {fifo, "/dev/null"};
#endif
    for (const std::string &special : specials) {
        MessageCapture capture;
        EXPECT_EQ(-1, Library().GeoDictGlue(data.Name().c_str(), special.c_str())) << special;
        EXPECT_EQ(-2, Library().FindStringInFile(special.c_str(), "x")) << special;
        EXPECT_TRUE(capture.Messages().empty()) << special;
    }
    EXPECT_EQ(dictionary, ReadFileBytes(data / "Geodict.dct"));
#ifdef _WIN32
    CloseHandle(pipe);
    // Pipes named as the dictionary and as the entry, in the pipe folder
    // given as map data directory and as source: each export refuses them.
    const char pipes[] = "\\\\.\\pipe\\";
    HANDLE dictionaryPipe = CreateNamedPipeA((std::string(pipes) + "Geodict.dct").c_str(), PIPE_ACCESS_DUPLEX, 0, 1,
                                             0, 0, 0, nullptr);
    HANDLE entryPipe =
        CreateNamedPipeA((std::string(pipes) + "GeoExt.gxt").c_str(), PIPE_ACCESS_DUPLEX, 0, 1, 0, 0, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, dictionaryPipe);
    ASSERT_NE(INVALID_HANDLE_VALUE, entryPipe);
    WriteFileBytes(source / "GeoExt.gxt", MakeRecord("Pols0000.GST"));
    MessageCapture capture;
    EXPECT_EQ(-1, Library().VorezuInstalled(pipes));
    EXPECT_EQ(-1, Library().GeoDictFind(pipes, "x"));
    EXPECT_EQ(-1, Library().GeoDictRemove(pipes, "x"));
    EXPECT_EQ(-1, Library().GeoDictGlue(pipes, (source / "GeoExt.gxt").string().c_str()));
    EXPECT_EQ(0, Library().ClearGeoDict(TestOwnerWindow(), "", "", pipes, ""));
    EXPECT_EQ(0, Library().SetGeoDict(TestOwnerWindow(), "", source.Name().c_str(), pipes, ""));
    EXPECT_EQ(0, Library().SetGeoDict(TestOwnerWindow(), "", pipes, data.Name().c_str(), ""));
    // One message from each installer action: 19 where the system does
    // not count a pipe as an existing file, as under Wine, else 20.
    EXPECT_EQ(3u, capture.Messages().size());
    EXPECT_EQ(dictionary, ReadFileBytes(data / "Geodict.dct"));
    EXPECT_FALSE(fs::exists(data / "Geodict.000"));
    CloseHandle(dictionaryPipe);
    CloseHandle(entryPipe);
#else
    // A FIFO, and a link to an endless device, in place of the dictionary
    // and of the entry: message 20 from each installer action, and no
    // backup. In place of the journal, either stops every call: it cannot
    // be told from a journal that cannot be read.
    WriteFileBytes(source / "GeoExt.gxt", MakeRecord("Pols0000.GST"));
    const std::function<void(const fs::path &)> kinds[] = {
        [](const fs::path &at) { ASSERT_EQ(0, mkfifo(at.c_str(), 0600)); },
        [](const fs::path &at) { fs::create_symlink("/dev/zero", at); },
    };
    for (const auto &makeSpecial : kinds) {
        TempDirectory specialData, specialSource;
        makeSpecial(specialData / "Geodict.dct");
        makeSpecial(specialSource / "GeoExt.gxt");
        makeSpecial(data / "Geodict.dct-journal");
        const std::string folder = specialData.Name();
        MessageCapture capture;
        EXPECT_EQ(-1, Library().VorezuInstalled(folder.c_str()));
        EXPECT_EQ(-1, Library().GeoDictFind(folder.c_str(), "x"));
        EXPECT_EQ(-1, Library().GeoDictRemove(folder.c_str(), "x"));
        EXPECT_EQ(-1, Library().GeoDictGlue(folder.c_str(), (source / "GeoExt.gxt").c_str()));
        EXPECT_EQ(0, Library().ClearGeoDict(TestOwnerWindow(), "", "", folder.c_str(), ""));
        EXPECT_EQ(0, Library().SetGeoDict(TestOwnerWindow(), "", source.Name().c_str(), folder.c_str(), ""));
        EXPECT_EQ(-1, Library().VorezuInstalled(data.Name().c_str()));
        fs::remove(data / "Geodict.dct-journal");
        const std::string specialEntry = specialSource.Name();
        EXPECT_EQ(0, Library().SetGeoDict(TestOwnerWindow(), "", specialEntry.c_str(), data.Name().c_str(), ""));
        EXPECT_EQ(3u, capture.Messages().size());
        EXPECT_EQ(dictionary, ReadFileBytes(data / "Geodict.dct"));
        EXPECT_FALSE(fs::exists(data / "Geodict.000"));
        EXPECT_EQ(std::vector<std::string>{"Geodict.dct"}, specialData.Listing());
    }
    // A link to nowhere in place of the journal: it cannot be created, for
    // a reason other than rights, so the edit does not start, and the link
    // is never followed.
    fs::create_symlink(data / "nowhere", data / "Geodict.dct-journal");
    EXPECT_EQ(-1, Library().GeoDictGlue(data.Name().c_str(), (source / "GeoExt.gxt").c_str()));
    EXPECT_EQ(dictionary, ReadFileBytes(data / "Geodict.dct"));
    EXPECT_FALSE(fs::exists(data / "nowhere"));
    fs::remove(data / "Geodict.dct-journal");
#endif
}

}  // namespace
}  // namespace dorvan::test
