// SHA-256 (FIPS 180-4), the digest by which a rollback knows the copy it
// puts back: unlike the journal's checksum, no one can make other bytes
// with the same digest.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dorvan {

constexpr size_t DigestSize = 32;

struct Digest {
    uint8_t bytes[DigestSize];
};

Digest Sha256(const uint8_t *bytes, size_t count);

}  // namespace dorvan
