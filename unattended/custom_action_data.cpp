#include "unattended/custom_action_data.h"

#include <cstdint>
#include <cstring>

namespace dorvan {

namespace {

constexpr int ChecksumDigits = 16;

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

bool ParseChecksum(const char *text, uint64_t &value)
{
    value = 0;
    int count = 0;
    for (; text[count]; ++count) {
        const char digit = text[count];
        if (count == ChecksumDigits || !((digit >= '0' && digit <= '9') || (digit >= 'a' && digit <= 'f')))
            return false;
        value = value << 4 | static_cast<uint64_t>(digit <= '9' ? digit - '0' : digit - 'a' + 10);
    }
    return count == ChecksumDigits;
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

void FormatSnapshot(const DictionarySnapshot &snapshot, char (&text)[SnapshotTextSize])
{
    char *out = PutDecimal(text, static_cast<uint32_t>(snapshot.length));
    *out++ = FieldSeparator;
    for (int shift = 4 * (ChecksumDigits - 1); shift >= 0; shift -= 4)
        *out++ = "0123456789abcdef"[(snapshot.checksum >> shift) & 0xf];
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
    char copy[SnapshotTextSize];
    if (std::strlen(text) >= SnapshotTextSize)
        return false;
    std::strcpy(copy, text);
    char *fields[3];
    uint64_t length = 0, checksum = 0, number = 0;
    if (!SplitFields(copy, fields, 3) || !ParseDecimal(fields[0], INT32_MAX, length) ||
        !ParseChecksum(fields[1], checksum) || !ParseDecimal(fields[2], UINT32_MAX - 1, number))
        return false;
    snapshot = {static_cast<int32_t>(length), checksum, static_cast<uint32_t>(number)};
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
