#include "dictionary/journal_format.h"

#include <cstring>

namespace dorvan {

namespace {

// The magic's last byte is the version's digit.
constexpr uint8_t JournalMagic[7] = {'D', 'o', 'r', 'v', 'a', 'n', 'J'};

// A full-width mix (the finaliser of MurmurHash3): every bit of the input
// reaches every bit of the output.
uint64_t Mixed(uint64_t value)
{
    value ^= value >> 33;
    value *= 0xFF51AFD7ED558CCDu;
    value ^= value >> 33;
    value *= 0xC4CEB9FE1A85EC53u;
    return value ^ (value >> 33);
}

uint64_t WordAt(const uint8_t *bytes)
{
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap64(word);
#endif
    return word;
}

void PutNumber(uint8_t *out, uint64_t value, int size)
{
    for (int i = 0; i < size; ++i)
        out[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint64_t GetNumber(const uint8_t *in, int size)
{
    uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | in[i];
    return value;
}

}  // namespace

void JournalChecksum::Add(const uint8_t *bytes, int32_t count)
{
    int32_t i = 0;
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // The four lanes two by two in vector registers where the processor
    // has them: the same sums in a quarter of the additions.
    typedef uint64_t TwoLanes __attribute__((vector_size(16)));
    TwoLanes sumLow, sumHigh, sumOfSumsLow, sumOfSumsHigh;
    std::memcpy(&sumLow, sum_, sizeof sumLow);
    std::memcpy(&sumHigh, sum_ + 2, sizeof sumHigh);
    std::memcpy(&sumOfSumsLow, sumOfSums_, sizeof sumOfSumsLow);
    std::memcpy(&sumOfSumsHigh, sumOfSums_ + 2, sizeof sumOfSumsHigh);
    for (; i + 32 <= count; i += 32) {
        TwoLanes low, high;
        std::memcpy(&low, bytes + i, sizeof low);
        std::memcpy(&high, bytes + i + 16, sizeof high);
        sumLow += low;
        sumHigh += high;
        sumOfSumsLow += sumLow;
        sumOfSumsHigh += sumHigh;
    }
    std::memcpy(sum_, &sumLow, sizeof sumLow);
    std::memcpy(sum_ + 2, &sumHigh, sizeof sumHigh);
    std::memcpy(sumOfSums_, &sumOfSumsLow, sizeof sumOfSumsLow);
    std::memcpy(sumOfSums_ + 2, &sumOfSumsHigh, sizeof sumOfSumsHigh);
#endif
    for (; i + 32 <= count; i += 32)
        for (int lane = 0; lane < 4; ++lane)
            AddWord(lane, WordAt(bytes + i + 8 * lane));
    for (int lane = 0; i < count; i += 8, ++lane) {
        uint8_t last[8] = {};
        std::memcpy(last, bytes + i, static_cast<size_t>(count - i < 8 ? count - i : 8));
        AddWord(lane, WordAt(last));
    }
}

uint64_t JournalChecksum::Value(int version) const
{
    uint64_t value = 0;
    for (int lane = 0; lane < 4; ++lane) {
        if (version == 1)
            value = (value ^ sum_[lane] ^ (sumOfSums_[lane] * 0x9E3779B97F4A7C15u)) * 0xFF51AFD7ED558CCDu;
        else
            value = Mixed(value ^ Mixed(sum_[lane]) ^ Mixed(sumOfSums_[lane] + 0x9E3779B97F4A7C15u));
    }
    return value;
}

uint64_t JournalChecksumOf(const uint8_t *bytes, int32_t count, int version)
{
    JournalChecksum sum;
    sum.Add(bytes, count);
    return sum.Value(version);
}

int32_t JournalPrefixStart(int32_t firstChanged)
{
    return firstChanged > JournalPrefixWindow ? firstChanged - JournalPrefixWindow : 0;
}

void EncodeJournalHeader(uint8_t (&out)[JournalHeaderSize], const JournalHeader &header)
{
    std::memcpy(out, JournalMagic, sizeof JournalMagic);
    out[7] = static_cast<uint8_t>('0' + header.version);
    PutNumber(out + 8, static_cast<uint32_t>(header.oldLength), 4);
    PutNumber(out + 12, static_cast<uint32_t>(header.firstChanged), 4);
    PutNumber(out + 16, header.savedSum, 8);
    PutNumber(out + 24, header.prefixSum, 8);
    PutNumber(out + 32, JournalChecksumOf(out, 32, header.version), 8);
}

bool DecodeJournalHeader(const uint8_t (&in)[JournalHeaderSize], JournalHeader &header)
{
    const int version = in[7] - '0';
    if (std::memcmp(in, JournalMagic, sizeof JournalMagic) != 0 || (version != 1 && version != 2) ||
        GetNumber(in + 32, 8) != JournalChecksumOf(in, 32, version))
        return false;
    const uint64_t oldLength = GetNumber(in + 8, 4), firstChanged = GetNumber(in + 12, 4);
    if (oldLength > INT32_MAX || firstChanged > oldLength)
        return false;
    header.oldLength = static_cast<int32_t>(oldLength);
    header.firstChanged = static_cast<int32_t>(firstChanged);
    header.savedSum = GetNumber(in + 16, 8);
    header.prefixSum = GetNumber(in + 24, 8);
    header.version = version;
    return true;
}

}  // namespace dorvan
