// Registering and unregistering the map set, and the quiet dictionary
// edits, through the shipped library: the dictionary's bytes, the copies
// beside it and the messages shown.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "dictionary_builder.h"
#include "library_exports.h"
#include "message_capture.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

const Bytes Italy = MakeRecord("Wlochy.GST"), Germany = MakeRecord("Niemcy.GST"), Polish = MakeRecord("Pols0000.GST");
const Bytes Host = Concat({Italy, ToBytes(std::string("\0opaque\0", 8)), Germany});
const Bytes Entry = Concat({Polish, MakeRecord("mapa Pols0000.GST 1:500000")});

class DictionaryEdits : public testing::Test {
protected:
    void SetUp() override
    {
        WriteFileBytes(dictionaryPath_, Host);
        WriteFileBytes(entryPath_, Entry);
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
    MessageCapture capture_;
};

// One call of a case: an installer action (1 success) or a service
// function (its code); `argument` is the name removed or the file glued
// (in the source folder; "Geodict.dct" is the dictionary itself).
enum class Call { Install, Uninstall, Glue, Remove };
struct Step {
    Call call;
    int answer;
    std::string argument = "";
};

// Each case starts from its dictionary (none when null) and entry, makes
// its calls, and ends with its dictionary and exactly its files beside it,
// the numbered copies holding what is given. None shows a message.
struct EditCase {
    const char *name;
    const Bytes *dictionary;
    Bytes entry;
    std::vector<Step> steps;
    Bytes result;
    std::vector<std::string> listing;
    std::vector<std::pair<std::string, Bytes>> copies = {};
};

TEST_F(DictionaryEdits, EachCaseEndsWithItsDictionaryAndCopies)
{
    const Bytes withEntry = Concat({Host, Entry, MakeRecord("Czechy.GST")});
    const Bytes zeroEntry = ToBytes(std::string("LBTG\x02\0\0\0Pols0000.GST\0\0tail", 26));
    const Bytes partOfZeroEntry = Concat({Host, ToBytes("LBTG\x02")}), shortest = ToBytes("LB");
    const Bytes otherCase = Concat({MakeRecord("POLS0000.gst"), Entry, Host});
    const Bytes hostAndEntry = Concat({Host, Entry}), untagged = ToBytes("Pols0000.GST outside any record");
    const Bytes polishTwice = Concat({Polish, Polish}), glued = ToBytes(std::string("LBTG\x03\0\0\0abc\0", 12));
    const Bytes withPolish = Concat({Italy, Polish, ToBytes("\x01opaque"), Germany});
    const Bytes withoutPolish = Concat({Italy, ToBytes("\x01opaque"), Germany});
    const Bytes national = Concat({MakeRecord("\xa3odz.GST"), Host});  // code page 1250: L with stroke
    const std::vector<std::string> alone = {"Geodict.dct"}, oneCopy = {"Geodict.000", "Geodict.dct"};
    const std::vector<std::string> twoCopies = {"Geodict.000", "Geodict.001", "Geodict.dct"};
    const EditCase cases[] = {
        {"a second install finds the entry and makes no second copy", &Host, Entry,
         {{Call::Install, 1}, {Call::Install, 1}}, hostAndEntry, oneCopy, {{"Geodict.000", Host}}},
        {"an entry inside the dictionary counts as present", &withEntry, Entry, {{Call::Install, 1}}, withEntry,
         alone},
        {"an empty entry counts as present", &Host, {}, {{Call::Install, 1}}, Host, alone},
        {"an entry with zero bytes is compared and appended whole", &partOfZeroEntry, zeroEntry,
         {{Call::Install, 1}, {Call::Install, 1}}, Concat({partOfZeroEntry, zeroEntry}), oneCopy},
        {"a dictionary shorter than the entry is appended to", &shortest, Entry, {{Call::Install, 1}},
         Concat({shortest, Entry}), oneCopy, {{"Geodict.000", shortest}}},
        {"uninstall matches the map file's name exactly", &otherCase, Entry, {{Call::Uninstall, 1}},
         Concat({MakeRecord("POLS0000.gst"), Host}), oneCopy},
        {"a second uninstall removes nothing and still leaves a copy", &hostAndEntry, Entry,
         {{Call::Uninstall, 1}, {Call::Uninstall, 1}}, Host, twoCopies, {{"Geodict.001", Host}}},
        {"uninstall of a dictionary without records only leaves a copy", &untagged, Entry, {{Call::Uninstall, 1}},
         untagged, oneCopy, {{"Geodict.000", untagged}}},
        {"uninstall of every record leaves an empty dictionary", &Entry, Entry, {{Call::Uninstall, 1}}, {}, oneCopy},
        {"glue appends every byte each time", &Host, glued, {{Call::Glue, 0, "GeoExt.gxt"}, {Call::Glue, 0, "GeoExt.gxt"}},
         Concat({Host, glued, glued}), alone},
        {"glue of an empty file writes nothing", &Host, {}, {{Call::Glue, 0, "GeoExt.gxt"}}, Host, alone},
        {"glue of the dictionary itself appends a copy of its content", &Host, Entry,
         {{Call::Glue, 0, "Geodict.dct"}}, Concat({Host, Host}), alone},
        {"glue of a missing file fails", &Host, Entry, {{Call::Glue, -1, "missing"}}, Host, alone},
        {"glue without a dictionary fails and never creates it", nullptr, Entry, {{Call::Glue, -1, "GeoExt.gxt"}},
         {}, {}},
        {"remove matches the name in every letter case", &withPolish, Entry,
         {{Call::Remove, 1, "POLS0000.GST"}, {Call::Remove, 0, "pols0000.gst"}}, withoutPolish, alone},
        {"remove in small letters", &withPolish, Entry, {{Call::Remove, 1, "pols0000.gst"}}, withoutPolish, alone},
        {"remove folds no national letter", &national, Entry, {{Call::Remove, 0, "\xb3odz.gst"}}, national, alone},
        {"remove matches national letters exactly", &national, Entry, {{Call::Remove, 1, "\xa3ODZ.gst"}}, Host,
         alone},
        {"remove with nothing to remove writes nothing", &withPolish, Entry,
         {{Call::Remove, 0, ""}, {Call::Remove, 0, "Czechy.GST"}}, withPolish, alone},
        {"remove of a name outside any record writes nothing", &untagged, Entry, {{Call::Remove, 0, "Pols0000.GST"}},
         untagged, alone},
        {"remove of every record leaves an empty dictionary", &polishTwice, Entry, {{Call::Remove, 1, "Pols0000.GST"}},
         {}, alone},
        {"remove without a dictionary answers -1", nullptr, Entry,
         {{Call::Remove, -1, "Pols0000.GST"}, {Call::Remove, -1, ""}}, {}, {}},
    };
    for (const EditCase &c : cases) {
        SCOPED_TRACE(c.name);
        for (const std::string &name : data_.Listing())
            fs::remove(data_ / name);
        if (c.dictionary)
            WriteFileBytes(dictionaryPath_, *c.dictionary);
        WriteFileBytes(entryPath_, c.entry);
        for (const Step &step : c.steps) {
            const fs::path file = step.argument == "Geodict.dct" ? dictionaryPath_ : source_ / step.argument;
            const std::string data = data_.Name();
            int answer = 0;
            switch (step.call) {
            case Call::Install: answer = Install(); break;
            case Call::Uninstall: answer = Uninstall(); break;
            case Call::Glue: answer = Library().GeoDictGlue(data.c_str(), file.string().c_str()); break;
            case Call::Remove: answer = Library().GeoDictRemove(data.c_str(), step.argument.c_str()); break;
            }
            EXPECT_EQ(step.answer, answer) << "call " << static_cast<int>(step.call) << " " << step.argument;
        }
        EXPECT_EQ(c.listing, data_.Listing());
        if (c.dictionary) {
            EXPECT_EQ(c.result, Dictionary());
        }
        for (const auto &copy : c.copies)
            EXPECT_EQ(copy.second, ReadFileBytes(data_ / copy.first)) << copy.first;
        EXPECT_TRUE(capture_.Messages().empty());
    }
}

TEST_F(DictionaryEdits, InstallThenUninstallRestoresTheDictionaryAndLeavesTwoCopies)
{
    EXPECT_EQ(1, Install(TestOwnerWindow()));
    EXPECT_EQ(Concat({Host, Entry}), Dictionary());
    EXPECT_EQ(1, Library().VorezuInstalled(data_.Name().c_str()));

    EXPECT_EQ(1, Uninstall(TestOwnerWindow()));
    EXPECT_EQ(Host, Dictionary());
    EXPECT_EQ(0, Library().VorezuInstalled(data_.Name().c_str()));

    EXPECT_EQ((std::vector<std::string>{"Geodict.000", "Geodict.001", "Geodict.dct"}), data_.Listing());
    EXPECT_EQ(Host, ReadFileBytes(data_ / "Geodict.000"));
    EXPECT_EQ(Concat({Host, Entry}), ReadFileBytes(data_ / "Geodict.001"));
    EXPECT_TRUE(capture_.Messages().empty());
}

TEST_F(DictionaryEdits, AMissingDictionaryIsShownEvenWithoutOwnerWindow)
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

TEST_F(DictionaryEdits, AMissingEntryIsShownOnlyWithAnOwnerWindow)
{
    fs::remove(entryPath_);
    EXPECT_EQ(0, Install());
    EXPECT_TRUE(capture_.Messages().empty());
    EXPECT_EQ(0, Install(TestOwnerWindow()));
    ASSERT_EQ(1u, capture_.Messages().size());
    EXPECT_EQ("Wystąpił błąd podczas próby otwarcia pliku \"" + entryPath_.string() + "\".", capture_.Messages()[0].text);
    EXPECT_EQ(Host, Dictionary());
    EXPECT_EQ(std::vector<std::string>{"Geodict.dct"}, data_.Listing());
}

TEST_F(DictionaryEdits, AnEmptySourceDirectoryReadsTheEntryFromTheCurrentDirectory)
{
    const fs::path saved = fs::current_path();
    fs::current_path(source_.Path());
    unsigned char result = Library().SetGeoDict(nullptr, "", "", data_.Name().c_str(), "");
    fs::current_path(saved);
    EXPECT_EQ(1, result);
    EXPECT_EQ(Concat({Host, Entry}), Dictionary());
}

}  // namespace
}  // namespace dorvan::test
