#include "unattended/custom_action_data.h"

#include <cstdint>
#include <cstring>

namespace dorvan {

namespace {


// Decimal digits only, at least one and no leading zero, of a value no
// greater than `most`: a number exactly as the library writes it.
bool ParseDecimal(const char *text, uint64_t most, uint64_t &value)
{
    value = 0;
    if (*text == '\0' || (text[0] == '0' && text[1] != '\0'))
        return false;
    for (; *text; ++text) {
        if (*text < '0' || *text > '9')
            return false;
        value = value * 10 + static_cast<uint64_t>(*text - '0');
        if (value > most)
            return false;
    }
    return true;
}

int HexValue(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    return digit >= 'a' && digit <= 'f' ? digit - 'a' + 10 : -1;
}

// The digest's first 8 bytes or all of it, in lower-case digits.
bool ParseDigest(const char *text, DictionarySnapshot &snapshot)
{
    const size_t digits = std::strlen(text);
    if (digits != 2 * ShortDigestBytes && digits != 2 * DigestSize)
        return false;
    for (size_t at = 0; at < digits; at += 2) {
        const int high = HexValue(text[at]), low = HexValue(text[at + 1]);
        if (high < 0 || low < 0)
            return false;
        snapshot.digest.bytes[at / 2] = static_cast<uint8_t>(high << 4 | low);
    }
    snapshot.digestBytes = static_cast<uint32_t>(digits / 2);
    return true;
}

char *PutDecimal(char *out, uint64_t value)
{
    char reversed[20];
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value);
    while (count > 0)
        *out++ = reversed[--count];
    return out;
}

}  // namespace

void FormatSnapshot(const DictionarySnapshot &snapshot, char (&text)[WholeSnapshotTextSize], uint32_t digestBytes)
{
    char *out = PutDecimal(text, static_cast<uint32_t>(snapshot.length));
    *out++ = FieldSeparator;
    for (uint32_t at = 0; at < digestBytes && at < DigestSize; ++at) {
        *out++ = "0123456789abcdef"[snapshot.digest.bytes[at] >> 4];
        *out++ = "0123456789abcdef"[snapshot.digest.bytes[at] & 0xf];
    }
    *out++ = FieldSeparator;
    out = PutDecimal(out, snapshot.copyNumber);
    *out = '\0';
}

bool SplitFields(char *data, char **fields, int count)
{
    int found = 0;
    for (char *field = data;; ++found) {
        if (found == count)
            return false;
        fields[found] = field;
        char *end = std::strchr(field, FieldSeparator);
        if (end == field || *field == '\0')
            return false;
        if (!end)
            return found + 1 == count;
        *end = '\0';
        field = end + 1;
    }
}

bool ParseSnapshot(const char *text, DictionarySnapshot &snapshot)
{
    char copy[WholeSnapshotTextSize];
    if (std::strlen(text) >= WholeSnapshotTextSize)
        return false;
    std::strcpy(copy, text);
    char *fields[3];
    uint64_t length = 0, number = 0;
    if (!SplitFields(copy, fields, 3) || !ParseDecimal(fields[0], INT32_MAX, length) ||
        !ParseDigest(fields[1], snapshot) || !ParseDecimal(fields[2], UINT32_MAX - 1, number))
        return false;
    snapshot.length = static_cast<int32_t>(length);
    snapshot.copyNumber = static_cast<uint32_t>(number);
    return true;
}

bool ParseRollbackData(char *data, char **mapDataDir, DictionarySnapshot &snapshot)
{
    char *separator = std::strchr(data, FieldSeparator);
    if (!separator || separator == data)
        return false;
    *separator = '\0';
    *mapDataDir = data;
    return ParseSnapshot(separator + 1, snapshot);
}

}  // namespace dorvan
