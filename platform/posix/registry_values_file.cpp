#include "platform/posix/registry_values_file.h"

#include <cstring>

namespace dorvan::platform {

namespace {

constexpr uint32_t StringType = 1;
constexpr uint32_t DwordType = 4;

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = FoldCase(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool StartsWith(const char *text, size_t length, const char *prefix)
{
    const size_t prefixLength = std::strlen(prefix);
    return length >= prefixLength && std::memcmp(text, prefix, prefixLength) == 0;
}

// Reads a quoted string at text[*pos] into `out`; advances *pos past it and
// returns the bytes written, or -1 when it cannot be read.
long ReadQuoted(const char *text, size_t length, size_t *pos, uint8_t *out)
{
    size_t p = *pos, written = 0;
    if (p >= length || text[p] != '"')
        return -1;
    ++p;
    while (p < length) {
        char c = text[p++];
        if (c == '"') {
            *pos = p;
            return static_cast<long>(written);
        }
        if (c != '\\') {
            out[written++] = static_cast<uint8_t>(c);
            continue;
        }
        if (p >= length)
            return -1;
        char escaped = text[p++];
        if (escaped == '\\' || escaped == '"') {
            out[written++] = static_cast<uint8_t>(escaped);
        } else if (escaped == 'x' && p + 2 <= length && HexDigit(text[p]) >= 0 && HexDigit(text[p + 1]) >= 0) {
            out[written++] = static_cast<uint8_t>(HexDigit(text[p]) * 16 + HexDigit(text[p + 1]));
            p += 2;
        } else {
            return -1;
        }
    }
    return -1;
}

// "01,00,ff" into `out`; the bytes written, or -1.
long ReadHexBytes(const char *text, size_t length, uint8_t *out)
{
    size_t pos = 0, written = 0;
    while (pos < length) {
        if (pos + 2 > length || HexDigit(text[pos]) < 0 || HexDigit(text[pos + 1]) < 0)
            return -1;
        out[written++] = static_cast<uint8_t>(HexDigit(text[pos]) * 16 + HexDigit(text[pos + 1]));
        pos += 2;
        if (pos == length)
            break;
        if (text[pos] != ',' || pos + 1 == length)
            return -1;
        ++pos;
    }
    return static_cast<long>(written);
}

bool DecodeData(const char *rest, size_t length, uint8_t *out, DecodedValue *value)
{
    value->data = out;
    if (StartsWith(rest, length, "sz:")) {
        size_t at = 3;
        long text = ReadQuoted(rest, length, &at, out);
        if (text < 0 || at != length || std::memchr(out, '\0', static_cast<size_t>(text)))
            return false;
        out[text] = '\0';
        value->type = StringType;
        value->dataLength = static_cast<size_t>(text) + 1;
        return true;
    }
    if (StartsWith(rest, length, "dword:")) {
        if (length != 6 + 8)
            return false;
        uint32_t number = 0;
        for (size_t i = 6; i < length; ++i) {
            if (HexDigit(rest[i]) < 0)
                return false;
            number = number * 16 + static_cast<uint32_t>(HexDigit(rest[i]));
        }
        for (int i = 0; i < 4; ++i)
            out[i] = static_cast<uint8_t>((number >> (8 * i)) & 0xFF);
        value->type = DwordType;
        value->dataLength = 4;
        return true;
    }
    if (StartsWith(rest, length, "hex(")) {
        size_t close = 4;
        while (close + 1 < length && !(rest[close] == ')' && rest[close + 1] == ':'))
            ++close;
        if (close + 1 >= length || close == 4 || close > 14)
            return false;
        uint64_t type = 0;
        for (size_t i = 4; i < close; ++i) {
            if (rest[i] < '0' || rest[i] > '9')
                return false;
            type = type * 10 + static_cast<uint64_t>(rest[i] - '0');
        }
        if (type > UINT32_MAX)
            return false;
        long bytes = ReadHexBytes(rest + close + 2, length - close - 2, out);
        if (bytes < 0)
            return false;
        value->type = static_cast<uint32_t>(type);
        value->dataLength = static_cast<size_t>(bytes);
        return true;
    }
    return false;
}

char *PutQuoted(char *out, const uint8_t *bytes, size_t length)
{
    static const char Digits[] = "0123456789abcdef";
    *out++ = '"';
    for (size_t i = 0; i < length; ++i) {
        const uint8_t c = bytes[i];
        if (c == '\\' || c == '"') {
            *out++ = '\\';
            *out++ = static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            *out++ = '\\';
            *out++ = 'x';
            *out++ = Digits[c >> 4];
            *out++ = Digits[c & 15];
        } else {
            *out++ = static_cast<char>(c);
        }
    }
    *out++ = '"';
    return out;
}

char *PutText(char *out, const char *text)
{
    const size_t length = std::strlen(text);
    std::memcpy(out, text, length);
    return out + length;
}

}  // namespace

const char ValuesFileHeader[] =
    "; Registry values of this key, one per line: \"name\"=sz:\"text\", dword:XXXXXXXX or hex(type):bytes\n";

bool NextLine(const char **cursor, const char *end, const char **line, size_t *length)
{
    if (*cursor >= end)
        return false;
    const char *start = *cursor;
    const char *stop = static_cast<const char *>(std::memchr(start, '\n', static_cast<size_t>(end - start)));
    *cursor = stop ? stop + 1 : end;
    if (!stop)
        stop = end;
    if (stop > start && stop[-1] == '\r')
        --stop;
    *line = start;
    *length = static_cast<size_t>(stop - start);
    return true;
}

bool DecodeValueLine(const char *line, size_t length, uint8_t *scratch, DecodedValue *value)
{
    if (length == 0 || line[0] == ';')
        return false;
    size_t pos = 0;
    long nameLength = ReadQuoted(line, length, &pos, scratch);
    if (nameLength < 0 || pos >= length || line[pos] != '=')
        return false;
    value->name = reinterpret_cast<const char *>(scratch);
    value->nameLength = static_cast<size_t>(nameLength);
    return DecodeData(line + pos + 1, length - pos - 1, scratch + nameLength, value);
}

size_t ValueLineLimit(size_t nameLength, size_t dataLength)
{
    return 4 * nameLength + 4 * dataLength + 32;
}

size_t FormatValueLine(char *out, const DecodedValue &value)
{
    static const char Digits[] = "0123456789abcdef";
    char *p = PutQuoted(out, reinterpret_cast<const uint8_t *>(value.name), value.nameLength);
    *p++ = '=';
    const uint8_t *data = value.data;
    const size_t length = value.dataLength;
    if (value.type == StringType && length > 0 && std::memchr(data, '\0', length) == data + length - 1) {
        p = PutText(p, "sz:");
        p = PutQuoted(p, data, length - 1);
    } else if (value.type == DwordType && length == 4) {
        p = PutText(p, "dword:");
        for (int shift = 28, i = 0; i < 8; ++i, shift -= 4) {
            const uint32_t number = data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
            *p++ = Digits[(number >> shift) & 15];
        }
    } else {
        p = PutText(p, "hex(");
        char digits[12];
        int count = 0;
        uint32_t type = value.type;
        do {
            digits[count++] = static_cast<char>('0' + type % 10);
            type /= 10;
        } while (type);
        while (count)
            *p++ = digits[--count];
        p = PutText(p, "):");
        for (size_t i = 0; i < length; ++i) {
            if (i)
                *p++ = ',';
            *p++ = Digits[data[i] >> 4];
            *p++ = Digits[data[i] & 15];
        }
    }
    *p++ = '\n';
    return static_cast<size_t>(p - out);
}

bool SameRegistryName(const char *a, size_t aLength, const char *b, size_t bLength)
{
    if (aLength != bLength)
        return false;
    for (size_t i = 0; i < aLength; ++i)
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    return true;
}

}  // namespace dorvan::platform
