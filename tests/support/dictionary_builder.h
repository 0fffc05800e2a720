// Synthetic geographic dictionaries: records as the library reads them,
// opaque bytes between them, and random mixtures for model comparisons.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "test_files.h"

namespace dorvan::test {

// A record whose length byte is text.size(): "LBTG", L, three filler
// bytes, then the text; it spans L + 8 bytes.
Bytes MakeRecord(const std::string &text);

// A record with an explicit length byte, whatever its real size.
Bytes MakeRawRecord(uint8_t lengthByte, const Bytes &rest);

// Random data built from records (some naming `name`, some in another
// letter case), stray tags, truncated records and opaque bytes.
Bytes RandomDictionary(std::mt19937 &random, const std::string &name, size_t pieces);

// The rollback journal the library leaves beside "Geodict.dct" while it
// edits it: the old length, the first changed offset and the old bytes
// from there on, with their checksums and one of the kept bytes before; written by the test itself so that
// a file from an interrupted edit is read back exactly as stored.
Bytes MakeJournal(const Bytes &old, uint32_t firstChanged);

}  // namespace dorvan::test
