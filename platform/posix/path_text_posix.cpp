// The portable build's paths are bytes: its ANSI strings are taken as they
// are, and its wide characters, code points, are written out as UTF-8 and
// read back from it whatever the locale.
#include <cstdint>
#include <cstring>
#include <cwchar>

#include "platform/path_text.h"

namespace dorvan::platform {

namespace {

// The UTF-8 bytes of code point `point` at `out`; a value that is no
// character (a surrogate, beyond U+10FFFF) stands for U+FFFD.
size_t Encode(uint32_t point, char *out)
{
    if (point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
        point = 0xFFFD;
    if (point < 0x80) {
        out[0] = static_cast<char>(point);
        return 1;
    }
    const size_t count = point < 0x800 ? 2 : point < 0x10000 ? 3 : 4;
    static const unsigned char leads[] = {0, 0, 0xC0, 0xE0, 0xF0};
    for (size_t i = count - 1; i > 0; --i, point >>= 6)
        out[i] = static_cast<char>(0x80 | (point & 0x3F));
    out[0] = static_cast<char>(leads[count] | point);
    return count;
}

// The code point of the UTF-8 sequence at `p`, which takes `*length`
// bytes; a byte that starts no valid sequence stands for U+FFFD alone.
wchar_t DecodeAt(const unsigned char *p, int *length)
{
    const unsigned lead = p[0];
    const int count = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                                    : lead >= 0xF0 && lead < 0xF5   ? 4
                                                                    : 0;
    *length = 1;
    if (count == 0)
        return 0xFFFD;
    unsigned long point = count == 1 ? lead : lead & (0x7F >> count);
    for (int i = 1; i < count; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0xFFFD;
        point = point << 6 | (p[i] & 0x3F);
    }
    static const unsigned long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < smallest[count] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
        return 0xFFFD;
    *length = count;
    return static_cast<wchar_t>(point);
}

}  // namespace

size_t PathLength(const char *path)
{
    return std::strlen(path);
}

// A copy all the same, so that a caller's path is held alike on every
// build and through either kind of export.
const char *PathFromAnsi(const char *ansi, HeapBlock &held)
{
    if (!ansi)
        return nullptr;
    const size_t size = std::strlen(ansi) + 1;
    held = AllocateBlock(size);
    if (!held)
        return nullptr;
    std::memcpy(held.get(), ansi, size);
    return reinterpret_cast<const char *>(held.get());
}

const char *PathFromWide(const wchar_t *wide, HeapBlock &held)
{
    if (!wide)
        return nullptr;
    const size_t units = std::wcslen(wide);
    if (units > (SIZE_MAX - 1) / 4)
        return nullptr;
    held = AllocateBlock(4 * units + 1);
    if (!held)
        return nullptr;
    char *text = reinterpret_cast<char *>(held.get());
    size_t written = 0;
    for (size_t i = 0; i < units; ++i)
        written += Encode(static_cast<uint32_t>(wide[i]), text + written);
    text[written] = '\0';
    return text;
}

bool PathToAnsi(const char *path, char *out, size_t size)
{
    if (size == 0)
        return false;
    const size_t length = std::strlen(path);
    const size_t taken = length < size - 1 ? length : size - 1;
    std::memcpy(out, path, taken);
    out[taken] = '\0';
    return taken == length;
}

int WidenUtf8(const char *text, wchar_t *out, int size)
{
    if (size <= 0)
        return 0;
    int written = 0;
    for (const auto *p = reinterpret_cast<const unsigned char *>(text); *p && written < size - 1;) {
        int length = 1;
        out[written++] = DecodeAt(p, &length);
        p += length;
    }
    out[written] = L'\0';
    return written;
}

}  // namespace dorvan::platform
