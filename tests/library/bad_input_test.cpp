// Inputs at and past the path limit, and names with unusual bytes: each
// gets a clear answer, and nothing is written where nothing should be.
#include <gtest/gtest.h>

#include <cstdio>
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

// Every export on a map data directory that holds no usable dictionary:
// the service functions answer -1, each installer action 0 with one message
// naming the path as composed, and nothing is written there.
void ExpectEveryExportRefuses(const std::string &folder, const TempDirectory &source)
{
    SCOPED_TRACE(folder.substr(0, 80));
    const std::string entry = (source / "GeoExt.gxt").string();
    MessageCapture capture;
    EXPECT_EQ(-1, Library().VorezuInstalled(folder.c_str()));
    EXPECT_EQ(-1, Library().GeoDictFind(folder.c_str(), "x"));
    EXPECT_EQ(-1, Library().GeoDictRemove(folder.c_str(), "x"));
    EXPECT_EQ(-1, Library().GeoDictGlue(folder.c_str(), entry.c_str()));
    EXPECT_EQ(0, Library().ClearGeoDict(TestOwnerWindow(), "", "", folder.c_str(), ""));
    EXPECT_EQ(0, Library().SetGeoDict(TestOwnerWindow(), "", source.Name().c_str(), folder.c_str(), ""));
    ASSERT_EQ(2u, capture.Messages().size());
    for (const ShownMessage &shown : capture.Messages())
        EXPECT_NE(std::string::npos, shown.text.find(folder.substr(0, 200))) << shown.text;
}

// Directories too long for a path, and folders whose "Geodict.dct" is not
// a regular file: a pipe on Windows (19 where the system does not count
// it as an existing file, as under Wine, else 20), a FIFO and a link to an
// endless device elsewhere (20). None is waited on.
TEST(BadInput, EveryExportRefusesAFolderWithoutAUsableDictionary)
{
    TempDirectory source;
    WriteFileBytes(source / "GeoExt.gxt", MakeRecord("Pols0000.GST"));
    std::vector<std::string> folders;
    for (size_t length : {259u, 260u, 261u, 300u, 4000u})
        folders.push_back(std::string(length, 'd'));
#ifdef _WIN32
    HANDLE dictionaryPipe =
        CreateNamedPipeA("\\\\.\\pipe\\Geodict.dct", PIPE_ACCESS_DUPLEX, 0, 1, 0, 0, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, dictionaryPipe);
    folders.push_back("\\\\.\\pipe\\");
#else
    TempDirectory fifoData, linkData;
    ASSERT_EQ(0, mkfifo((fifoData / "Geodict.dct").c_str(), 0600));
    fs::create_symlink("/dev/zero", linkData / "Geodict.dct");
    folders.push_back(fifoData.Name());
    folders.push_back(linkData.Name());
#endif
    for (const std::string &folder : folders)
        ExpectEveryExportRefuses(folder, source);
    EXPECT_EQ(std::vector<std::string>{"GeoExt.gxt"}, source.Listing());
#ifdef _WIN32
    CloseHandle(dictionaryPipe);
#else
    EXPECT_EQ(std::vector<std::string>{"Geodict.dct"}, fifoData.Listing());
    EXPECT_EQ(std::vector<std::string>{"Geodict.dct"}, linkData.Listing());
#endif
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

// Files that are not regular files, named where a file is expected: the
// caller's file, the entry and the journal. Each export answers as for a
// file that cannot be opened, without waiting, and writes nothing.
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
    const std::string fifo = (source / "fifo").string();
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
    // A pipe named as the entry, in the pipe folder given as source.
    HANDLE entryPipe = CreateNamedPipeA("\\\\.\\pipe\\GeoExt.gxt", PIPE_ACCESS_DUPLEX, 0, 1, 0, 0, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, entryPipe);
    MessageCapture capture;
    EXPECT_EQ(0, Library().SetGeoDict(TestOwnerWindow(), "", "\\\\.\\pipe\\", data.Name().c_str(), ""));
    EXPECT_EQ(1u, capture.Messages().size());
    CloseHandle(entryPipe);
    // A symbolic link at the journal's, the dictionary's or a free copy's
    // name, pointing at a file elsewhere: refused, or passed over, and the
    // file elsewhere never touched. Wine makes no such links (its
    // CreateSymbolicLinkW makes nothing), so there this part can only say
    // so; the layer follows the documented reparse-point rules.
    TempDirectory elsewhere;
    const fs::path target = elsewhere / "target";
    WriteFileBytes(source / "GeoExt.gxt", MakeRecord("Pols0000.GST"));
    for (const char *name : {"Geodict.dct-journal", "Geodict.dct", "Geodict.000"}) {
        WriteFileBytes(target, ToBytes("elsewhere"));
        fs::remove(data / name);
        const bool made = CreateSymbolicLinkW((data / name).wstring().c_str(), target.wstring().c_str(),
                                              SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
        const DWORD attributes = GetFileAttributesW((data / name).wstring().c_str());
        if (made && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            MessageCapture linked;
            EXPECT_EQ(std::string(name) == "Geodict.000" ? 1 : 0,
                      Library().SetGeoDict(TestOwnerWindow(), "", source.Name().c_str(), data.Name().c_str(), ""))
                << name;
            EXPECT_EQ(ToBytes("elsewhere"), ReadFileBytes(target)) << name;
        } else {
            std::printf("  no symbolic link can be made here (Wine, or no right to): %s not tried\n", name);
        }
        for (const auto &file : fs::directory_iterator(data.Path()))
            fs::remove(file.path());
        WriteFileBytes(data / "Geodict.dct", dictionary);
    }
#else
    // A FIFO, and a link to an endless device, in place of the entry:
    // message 20, and no backup. In place of the journal, either stops
    // every call: it cannot be told from a journal that cannot be read.
    const std::function<void(const fs::path &)> kinds[] = {
        [](const fs::path &at) { ASSERT_EQ(0, mkfifo(at.c_str(), 0600)); },
        [](const fs::path &at) { fs::create_symlink("/dev/zero", at); },
    };
    for (const auto &makeSpecial : kinds) {
        TempDirectory specialSource;
        makeSpecial(specialSource / "GeoExt.gxt");
        makeSpecial(data / "Geodict.dct-journal");
        MessageCapture capture;
        EXPECT_EQ(-1, Library().VorezuInstalled(data.Name().c_str()));
        fs::remove(data / "Geodict.dct-journal");
        const std::string specialEntry = specialSource.Name();
        EXPECT_EQ(0, Library().SetGeoDict(TestOwnerWindow(), "", specialEntry.c_str(), data.Name().c_str(), ""));
        EXPECT_EQ(1u, capture.Messages().size());
    }
    // A link to nowhere in place of the journal: it cannot be created, for
    // a reason other than rights, so the edit does not start, and the link
    // is never followed.
    WriteFileBytes(source / "GeoExt.gxt", MakeRecord("Pols0000.GST"));
    fs::create_symlink(data / "nowhere", data / "Geodict.dct-journal");
    EXPECT_EQ(-1, Library().GeoDictGlue(data.Name().c_str(), (source / "GeoExt.gxt").c_str()));
    EXPECT_FALSE(fs::exists(data / "nowhere"));
    fs::remove(data / "Geodict.dct-journal");
#endif
    EXPECT_EQ(dictionary, ReadFileBytes(data / "Geodict.dct"));
    EXPECT_EQ(std::vector<std::string>{"Geodict.dct"}, data.Listing());
}

}  // namespace
}  // namespace dorvan::test
