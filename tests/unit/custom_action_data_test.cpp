// The texts handed from one installer step to a later one, read strictly:
// what the library writes reads back as it was, and nothing else reads.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "bytes/sha256.h"
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

// The digest the rollback data carries: FIPS 180's examples, one and two
// blocks of padding, and a length past one block.
TEST(CustomActionData, TheDigestIsSha256)
{
    const struct {
        std::string text, digest;
    } vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000, 'a'), "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3"},
    };
    for (const auto &v : vectors) {
        const Digest digest = Sha256(reinterpret_cast<const uint8_t *>(v.text.data()), v.text.size());
        std::string hex;
        for (uint8_t byte : digest.bytes)
            hex += "0123456789abcdef"[byte >> 4], hex += "0123456789abcdef"[byte & 0xf];
        EXPECT_EQ(v.digest, hex) << v.text.size() << " bytes";
    }
}

}  // namespace
}  // namespace dorvan
