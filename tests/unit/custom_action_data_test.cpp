// The texts handed from one installer step to a later one, read strictly:
// what the library writes reads back as it was, and nothing else reads.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "unattended/custom_action_data.h"

namespace dorvan {
namespace {

TEST(CustomActionData, OnlyTheExactFieldsReadBack)
{
    char text[WholeSnapshotTextSize];
    DictionarySnapshot taken{2147483647, {{0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef}}, 32, 4294967294u};
    FormatSnapshot(taken, text, ShortDigestBytes);
    EXPECT_STREQ("2147483647|0123456789abcdef|4294967294", text);
    EXPECT_GT(SnapshotTextSize, std::strlen(text));
    const std::string whole = std::string(64, 'f'), cut = whole.substr(1);

    struct Case {
        std::string data;
        bool good;
    } cases[] = {
        {"C:\\Mapy|4089|00000000000000ff|3", true},
        {"C:\\Mapy|0|ffffffffffffffff|0", true},
        {"C:\\Mapy|0|" + whole + "|0", true},  // the whole digest
        {"C:\\Mapy|0|" + cut + "|0", false},
        {"C:\\Mapy|0|" + whole + "0|0", false},
        {"C:\\Mapy|4089|00000000000000ff|3|", false},  // a trailing separator
        {"C:\\Mapy|4089|00000000000000ff|3|7", false}, // a field too many
        {"C:\\Mapy|4089|00000000000000ff", false},     // one too few
        {"C:\\Mapy|4089x|00000000000000ff|3", false},
        {"C:\\Mapy|-1|00000000000000ff|3", false},
        {"C:\\Mapy|+1|00000000000000ff|3", false},
        {"C:\\Mapy|089|00000000000000ff|3", false},  // not as written
        {"C:\\Mapy|2147483648|00000000000000ff|3", false},
        {"C:\\Mapy|99999999999999999999|00000000000000ff|3", false},
        {"C:\\Mapy|4089|00000000000000FF|3", false},  // upper-case digits are not written
        {"C:\\Mapy|4089|0000000000000ff|3", false},   // 15 digits
        {"C:\\Mapy|4089|000000000000000ff|3", false}, // 17
        {"C:\\Mapy|4089|00000000000000fg|3", false},
        {"C:\\Mapy|4089|00000000000000ff|4294967295", false},
        {"C:\\Mapy|4089|00000000000000ff| 3", false},
        {"C:\\Mapy||00000000000000ff|3", false},
        {"|4089|00000000000000ff|3", false},
        {"C:\\Mapy", false},
        {"", false},
    };
    for (const Case &c : cases) {
        char data[1024];
        std::strcpy(data, c.data.c_str());
        char *mapData = nullptr;
        DictionarySnapshot snapshot{};
        EXPECT_EQ(c.good, ParseRollbackData(data, &mapData, snapshot)) << c.data;
        if (c.good) {
            char again[WholeSnapshotTextSize];
            FormatSnapshot(snapshot, again, snapshot.digestBytes);
            EXPECT_EQ(c.data, std::string("C:\\Mapy|") + again) << c.data;
        }
    }
}

}  // namespace
}  // namespace dorvan
