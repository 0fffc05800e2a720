// An elevated setup (root here) over folders another account may write:
// every file and link that account can plant (as uid 65534, from a forked
// child) is replayed, followed by one more call. Nothing outside the folder
// changes, nothing the other account wrote goes into the dictionary, and
// the answer is a clear failure, or the ordinary result where nothing
// untrusted was met.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "dictionary_builder.h"
#include "dorvan_setup.h"
#include "library_exports.h"
#include "message_capture.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

constexpr uid_t OtherAccount = 65534;

// Runs `plant` as the other account, in a child of its own.
void AsOtherAccount(const std::function<void()> &plant)
{
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(OtherAccount) != 0 || setuid(OtherAccount) != 0)
            _exit(2);
        plant();
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other account's child failed";
}

// What the other account owns in `folder`, by name: a link's target, a
// file's bytes.
std::map<std::string, std::string> Theirs(const fs::path &folder)
{
    std::map<std::string, std::string> owned;
    for (const auto &file : fs::directory_iterator(folder)) {
        struct stat about;
        if (lstat(file.path().c_str(), &about) != 0 || about.st_uid != OtherAccount)
            continue;
        const Bytes bytes = S_ISREG(about.st_mode) ? ReadFileBytes(file.path()) : Bytes();
        owned[file.path().filename().string()] =
            S_ISLNK(about.st_mode) ? "-> " + fs::read_symlink(file.path()).string() : std::string(bytes.begin(), bytes.end());
    }
    return owned;
}

TEST(OtherAccount, NothingItPlantsIsFollowedOrUsed)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root, to play the elevated setup beside another account";
    TempDirectory shared, theirs, outside, source;
    // Others may add files to `shared` but not touch root's; `theirs` is
    // theirs to change; `outside` is root's alone.
    fs::permissions(shared.Path(), fs::perms::all | fs::perms::sticky_bit);
    fs::permissions(outside.Path(), fs::perms::owner_all);
    ASSERT_EQ(0, chown(theirs.Path().c_str(), OtherAccount, OtherAccount));
    const Bytes old = Concat({MakeRecord("Wlochy.GST"), MakeRecord("Niemcy.GST")}), entry = MakeRecord("Pols0000.GST");
    const Bytes theirBytes = Concat({MakeRecord("Pols0000.GST theirs"), MakeRecord("Wlochy.GST")});
    WriteFileBytes(source / "GeoExt.gxt", entry);
    const fs::path secret = outside / "secret", rootJournal = outside / "Geodict.dct-journal";

    const LibraryExports &library = Library();
    auto query = [&](const fs::path &data) { return library.VorezuInstalled(data.c_str()); };
    auto install = [&](const fs::path &data) {
        return library.SetGeoDict(TestOwnerWindow(), "", source.Name().c_str(), data.c_str(), "");
    };
    // A Windows Installer-style rollback: the snapshot, a copy planted at
    // the number it expects, the change, and the rollback.
    auto rollback = [&](const fs::path &data) {
        char snapshot[DORVAN_SNAPSHOT_CHARS];
        if (TakeDictionarySnapshot(data.c_str(), snapshot, sizeof snapshot, nullptr, 0) != 0)
            return -1;
        AsOtherAccount([&] { WriteFileBytes(data / "Geodict.000", Bytes(theirBytes.begin(), theirBytes.begin() + old.size())); });
        if (RegisterMapSet(source.Name().c_str(), data.c_str(), nullptr, 0) != 0)
            return -1;
        return RestoreDictionarySnapshot(data.c_str(), snapshot, nullptr, 0);
    };
    auto plant = [&](const char *name, const Bytes &bytes) {
        return [=](const fs::path &data) { WriteFileBytes(data / name, bytes); };
    };
    auto link = [&](const char *name, fs::path to) {
        return [=](const fs::path &data) {
            fs::remove(data / name);
            fs::create_symlink(to, data / name);
        };
    };
    const std::function<void(const fs::path &)> nothing = [](const fs::path &) {};
    const Bytes theirJournal = MakeJournal(theirBytes, 0);

    struct Case {
        const char *what;
        const TempDirectory &folder;
        std::function<void(const fs::path &)> asOther, asRoot;  // planted by each, after the dictionary
        std::function<int(const fs::path &)> call;
        int answer;
        bool changed;           // the dictionary holds the entry after
        const char *named;      // the file the one message names, or none
    } cases[] = {
        {"their journal, query", shared, plant("Geodict.dct-journal", theirJournal), nothing, query, -1, false, nullptr},
        {"their journal, install", shared, plant("Geodict.dct-journal", theirJournal), nothing, install, 0, false,
         "Geodict.dct-journal"},
        {"their copy in progress, install", shared, plant("Geodict.~cp", old), nothing, install, 0, false, "Geodict.~cp"},
        {"their copy at the rollback's number", shared, nothing, nothing, rollback, 0, false, nullptr},
        {"a link at the dictionary, install", theirs, link("Geodict.dct", secret), nothing, install, 0, false, "Geodict.dct"},
        {"a link at the dictionary and their journal, query", theirs,
         [&](const fs::path &data) { link("Geodict.dct", secret)(data), plant("Geodict.dct-journal", theirJournal)(data); },
         nothing, query, -1, false, nullptr},
        {"a link at the journal, install", theirs, link("Geodict.dct-journal", rootJournal), nothing, install, 0, false,
         "Geodict.dct"},
        {"a link at the copy's name, install", theirs, link("Geodict.000", secret), nothing, install, 1, true, nullptr},
        {"a second name for the dictionary, install", shared, nothing,
         [&](const fs::path &data) { fs::create_hard_link(data / "Geodict.dct", outside / "linked"); }, install, 0,
         false, "Geodict.dct"},
    };
    for (const Case &c : cases) {
        for (const TempDirectory *folder : {&shared, &theirs, &outside})
            for (const auto &file : fs::directory_iterator(folder->Path()))
                fs::remove(file.path());
        WriteFileBytes(secret, ToBytes("root's alone"));
        WriteFileBytes(rootJournal, ToBytes("root's journal elsewhere"));
        const fs::path data = c.folder.Path();
        WriteFileBytes(data / "Geodict.dct", old);
        fs::permissions(data / "Geodict.dct", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                                  fs::perms::others_read);
        AsOtherAccount([&] { c.asOther(data); });
        c.asRoot(data);
        const std::map<std::string, std::string> planted = Theirs(data);
        MessageCapture capture;
        EXPECT_EQ(c.answer, c.call(data)) << c.what;
        if (!fs::is_symlink(data / "Geodict.dct")) {
            EXPECT_EQ(c.changed ? Concat({old, entry}) : old, ReadFileBytes(data / "Geodict.dct")) << c.what;
        }
        EXPECT_EQ(ToBytes("root's alone"), ReadFileBytes(secret)) << c.what;
        EXPECT_EQ(ToBytes("root's journal elsewhere"), ReadFileBytes(rootJournal)) << c.what;
        ASSERT_EQ(c.named ? 1u : 0u, capture.Messages().size()) << c.what;
        if (c.named) {
            EXPECT_NE(std::string::npos, capture.Messages()[0].text.find((data / c.named).string()))
                << c.what << ": " << capture.Messages()[0].text;
        }
        // What they planted is where they left it, as they left it.
        const std::map<std::string, std::string> after = Theirs(data);
        for (const auto &[name, held] : planted)
            EXPECT_EQ(held, after.count(name) ? after.at(name) : "(gone)") << c.what << ": " << name;
    }
}

}  // namespace
}  // namespace dorvan::test
