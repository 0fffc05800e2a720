#include "platform/posix/registry_values_file.h"

#include <cstdio>

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

void AppendQuoted(std::string &out, std::string_view bytes)
{
    out += '"';
    for (unsigned char c : bytes) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

// Reads a quoted string at `text[pos]`; advances `pos` past it.
bool ReadQuoted(std::string_view text, size_t &pos, std::string &out)
{
    if (pos >= text.size() || text[pos] != '"')
        return false;
    ++pos;
    out.clear();
    while (pos < text.size()) {
        char c = text[pos++];
        if (c == '"')
            return true;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (pos >= text.size())
            return false;
        char escaped = text[pos++];
        if (escaped == '\\' || escaped == '"') {
            out += escaped;
        } else if (escaped == 'x' && pos + 2 <= text.size() && HexDigit(text[pos]) >= 0 &&
                   HexDigit(text[pos + 1]) >= 0) {
            out += static_cast<char>(HexDigit(text[pos]) * 16 + HexDigit(text[pos + 1]));
            pos += 2;
        } else {
            return false;
        }
    }
    return false;
}

bool ReadHexBytes(std::string_view text, std::string &out)
{
    out.clear();
    size_t pos = 0;
    while (pos < text.size()) {
        if (pos + 2 > text.size() || HexDigit(text[pos]) < 0 || HexDigit(text[pos + 1]) < 0)
            return false;
        out += static_cast<char>(HexDigit(text[pos]) * 16 + HexDigit(text[pos + 1]));
        pos += 2;
        if (pos == text.size())
            break;
        if (text[pos] != ',')
            return false;
        ++pos;
        if (pos == text.size())
            return false;
    }
    return true;
}

bool ParseLine(std::string_view line, StoredValue &value)
{
    size_t pos = 0;
    if (!ReadQuoted(line, pos, value.name))
        return false;
    if (pos >= line.size() || line[pos] != '=')
        return false;
    std::string_view rest = line.substr(pos + 1);
    if (rest.substr(0, 3) == "sz:") {
        size_t at = 3;
        std::string text;
        if (!ReadQuoted(rest, at, text) || at != rest.size() || text.find('\0') != std::string::npos)
            return false;
        value.type = StringType;
        value.data = text + '\0';
        return true;
    }
    if (rest.substr(0, 6) == "dword:") {
        std::string_view digits = rest.substr(6);
        if (digits.size() != 8)
            return false;
        uint32_t number = 0;
        for (char c : digits) {
            if (HexDigit(c) < 0)
                return false;
            number = number * 16 + static_cast<uint32_t>(HexDigit(c));
        }
        value.type = DwordType;
        value.data.clear();
        for (int i = 0; i < 4; ++i)
            value.data += static_cast<char>((number >> (8 * i)) & 0xFF);
        return true;
    }
    if (rest.substr(0, 4) == "hex(") {
        size_t close = rest.find("):");
        if (close == std::string_view::npos || close == 4 || close > 14)
            return false;
        uint64_t type = 0;
        for (char c : rest.substr(4, close - 4)) {
            if (c < '0' || c > '9')
                return false;
            type = type * 10 + static_cast<uint64_t>(c - '0');
        }
        if (type > UINT32_MAX)
            return false;
        value.type = static_cast<uint32_t>(type);
        return ReadHexBytes(rest.substr(close + 2), value.data);
    }
    return false;
}

}  // namespace

bool SameRegistryName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    return true;
}

std::vector<StoredValue> ParseValuesFile(std::string_view text)
{
    std::vector<StoredValue> values;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line[0] == ';')
            continue;
        StoredValue value;
        if (!ParseLine(line, value))
            continue;
        bool known = false;
        for (const StoredValue &earlier : values)
            known = known || SameRegistryName(earlier.name, value.name);
        if (!known)
            values.push_back(std::move(value));
    }
    return values;
}

std::string FormatValuesFile(const std::vector<StoredValue> &values)
{
    std::string out = "; Registry values of this key, one per line: \"name\"=sz:\"text\", dword:XXXXXXXX or hex(type):bytes\n";
    for (const StoredValue &value : values) {
        AppendQuoted(out, value.name);
        out += '=';
        const std::string &data = value.data;
        if (value.type == StringType && !data.empty() && data.find('\0') == data.size() - 1) {
            out += "sz:";
            AppendQuoted(out, std::string_view(data).substr(0, data.size() - 1));
        } else if (value.type == DwordType && data.size() == 4) {
            uint32_t number = 0;
            for (int i = 3; i >= 0; --i)
                number = number * 256 + static_cast<unsigned char>(data[static_cast<size_t>(i)]);
            char digits[16];
            std::snprintf(digits, sizeof digits, "dword:%08x", number);
            out += digits;
        } else {
            out += "hex(" + std::to_string(value.type) + "):";
            for (size_t i = 0; i < data.size(); ++i) {
                char pair[4];
                std::snprintf(pair, sizeof pair, i ? ",%02x" : "%02x", static_cast<unsigned char>(data[i]));
                out += pair;
            }
        }
        out += '\n';
    }
    return out;
}

}  // namespace dorvan::platform
