// Straightforward models of the library's algorithms, step by step as the
// host's dictionary format and the search contract describe them, for
// checking the fast implementations against.
#pragma once

#include <cstdint>
#include <string>

#include "test_files.h"

namespace dorvan::test {

// Candidate positions upward, each compared from the pattern's last byte
// down; folded compares lower or raise only the data byte.
const uint8_t *ReferenceFind(const uint8_t *start, const char *pattern, const uint8_t *end, bool foldCase);

struct ReferenceRemoval {
    Bytes data;
    bool removed = false;
};

// The record walk that moves the whole tail down after each removal.
ReferenceRemoval ReferenceRemoveRecords(Bytes data, const std::string &name, bool foldCase);

// The chunked scan with its carry area, candidate by candidate.
int32_t ReferenceFindInFile(const Bytes &file, const std::string &text, int32_t chunkSize = 102400);

}  // namespace dorvan::test
