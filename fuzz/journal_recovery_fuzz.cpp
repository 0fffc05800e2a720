// Any journal beside any dictionary, then the next call: no crash, no leak,
// and the dictionary ends with its own bytes, or with the bytes a complete
// journal of its own puts back, nothing else. Input: a flag byte, the
// dictionary (its length in the next two bytes), then the journal's
// fields. With the flag's low bit the journal is made whole, with right
// checksums, from the old length, the first changed offset and the saved
// bytes the input gives; its second bit then flips one byte of it. The
// length's high bit makes it a journal of the first version, as an older
// library left it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dictionary/journal_format.h"
#include "dorvan.h"
#include "test_files.h"

namespace {

using dorvan::test::Bytes;

uint32_t Take(const uint8_t *&input, const uint8_t *end, int bytes)
{
    uint32_t value = 0;
    for (int i = 0; i < bytes && input < end; ++i)
        value |= static_cast<uint32_t>(*input++) << (8 * i);
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *input, size_t size)
{
    static const dorvan::test::TempDirectory folder;
    const uint8_t *rest = input, *end = input + size;
    const uint32_t flags = Take(rest, end, 1);
    const uint32_t lengthField = Take(rest, end, 2);
    const int version = lengthField & 0x8000 ? 1 : dorvan::JournalVersion;
    const size_t dictionaryLength = std::min<size_t>(lengthField % 4096, static_cast<size_t>(end - rest));
    const Bytes dictionary(rest, rest + dictionaryLength);
    rest += dictionaryLength;

    Bytes journal(rest, end), restored;
    if (flags & 1) {
        // A whole journal: the dictionary kept its first bytes, then changed.
        const int32_t firstChanged = static_cast<int32_t>(Take(rest, end, 2) % (dictionaryLength + 1));
        const Bytes saved(rest, end);
        const int32_t oldLength = firstChanged + static_cast<int32_t>(saved.size());
        const int32_t prefixStart = dorvan::JournalPrefixStart(firstChanged);
        const dorvan::JournalHeader header{
            oldLength, firstChanged,
            dorvan::JournalChecksumOf(saved.data(), static_cast<int32_t>(saved.size()), version),
            dorvan::JournalChecksumOf(dictionary.data() + prefixStart, firstChanged - prefixStart, version), version};
        uint8_t head[dorvan::JournalHeaderSize];
        dorvan::EncodeJournalHeader(head, header);
        journal.assign(head, head + sizeof head);
        journal.insert(journal.end(), saved.begin(), saved.end());
        restored.assign(dictionary.begin(), dictionary.begin() + firstChanged);
        restored.insert(restored.end(), saved.begin(), saved.end());
        // The first version's checksum is known to miss some changes; only
        // whole journals of it are played.
        if ((flags & 2) && version == dorvan::JournalVersion)
            journal[(flags >> 2) % journal.size()] ^= 0x5a;
    }
    dorvan::test::WriteFileBytes(folder / "Geodict.dct", dictionary);
    dorvan::test::WriteFileBytes(folder / "Geodict.dct-journal", journal);
    const int answer = GeoDictFind(folder.Name().c_str(), "LBTG");
    const Bytes now = dorvan::test::ReadFileBytes(folder / "Geodict.dct");
    if (answer == -1 || (now != dictionary && now != restored))
        std::abort();
    if ((flags & 1) && ((flags & 2) == 0 || version != dorvan::JournalVersion) && now != restored)
        std::abort();
    std::filesystem::remove(folder / "Geodict.dct-journal");
    return 0;
}
