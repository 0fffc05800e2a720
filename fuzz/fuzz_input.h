// Reading a fuzz input: a zero-terminated string whose length is given by
// the byte before it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace dorvan::fuzz {

// Takes a string of at most `longest` bytes from `*input` (its length is
// the first byte, modulo longest + 1), replacing zero bytes with
// `instead` since the library's strings are zero-terminated. Advances
// `*input` past it.
inline std::string TakeString(const uint8_t **input, const uint8_t *end, size_t longest, char instead)
{
    if (*input >= end)
        return {};
    size_t length = **input % (longest + 1);
    ++*input;
    if (length > static_cast<size_t>(end - *input))
        length = static_cast<size_t>(end - *input);
    std::string text(reinterpret_cast<const char *>(*input), length);
    for (char &c : text)
        if (c == '\0')
            c = instead;
    *input += length;
    return text;
}

}  // namespace dorvan::fuzz
