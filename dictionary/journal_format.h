// The rollback journal's bytes: its header, how it is encoded and read
// back, and the checksum that tells a whole journal from one cut short.
//
// A header, then the dictionary's old bytes from the first changed offset
// to its old end. All numbers are little-endian.
//   0  8 bytes  "DorvanJ2" ("DorvanJ1": the first version, read still)
//   8  4 bytes  the dictionary's old length
//  12  4 bytes  the first changed offset; the saved bytes are those from it
//               to the old length (none for an append)
//  16  8 bytes  checksum of the saved bytes
//  24  8 bytes  checksum of the kept bytes just before the first changed
//               offset (up to PrefixWindow of them), which no edit changes
//  32  8 bytes  checksum of bytes 0 to 31
// A journal is complete only when its length, its checksums and the
// numbers agree; anything else was cut short before the dictionary changed.
#pragma once

#include <cstdint>

namespace dorvan {

constexpr int32_t JournalHeaderSize = 40;

// The version this library writes. Version 1 combined its lanes so that a
// change confined to the high bytes of a word went unnoticed once in 256;
// version 2 mixes each lane's sums through before it combines them. A
// journal of either version is read, so that one a crash left is rolled
// back by a newer library too.
constexpr int JournalVersion = 2;
constexpr int32_t JournalPrefixWindow = 4096;

struct JournalHeader {
    int32_t oldLength;
    int32_t firstChanged;
    uint64_t savedSum;
    uint64_t prefixSum;
    int version = JournalVersion;  // whose checksums the numbers are

    int32_t SavedLength() const { return oldLength - firstChanged; }
};

// A Fletcher-style sum in four lanes over 64-bit little-endian words, the
// last one padded with zeros: it notices bytes that never reached the disk
// (zeros where data should be) and pieces out of order, at the speed of
// memory. Fed in pieces whose lengths are multiples of 32 but the last.
class JournalChecksum {
public:
    void Add(const uint8_t *bytes, int32_t count);
    uint64_t Value(int version = JournalVersion) const;

private:
    void AddWord(int lane, uint64_t word)
    {
        sum_[lane] += word;
        sumOfSums_[lane] += sum_[lane];
    }
    uint64_t sum_[4] = {1, 1, 1, 1};  // so that a journal of zeros does not check out
    uint64_t sumOfSums_[4] = {};
};

uint64_t JournalChecksumOf(const uint8_t *bytes, int32_t count, int version = JournalVersion);

// Where the kept bytes that the header's prefix checksum covers begin.
int32_t JournalPrefixStart(int32_t firstChanged);

void EncodeJournalHeader(uint8_t (&out)[JournalHeaderSize], const JournalHeader &header);

// False for bytes that are no header this library wrote: another magic, a
// header checksum that does not agree, or numbers out of range.
bool DecodeJournalHeader(const uint8_t (&in)[JournalHeaderSize], JournalHeader &header);

}  // namespace dorvan
