// Paths between the library's UTF-8, the system's UTF-16 and the ANSI code
// page. Texts of any length pass through a small buffer on the stack, a
// piece at a time, each piece cut after a whole character.
#include <string.h>
#include <wchar.h>
#include <windows.h>

#include "platform/path_text.h"
#include "platform/win32/wide_path.h"

namespace dorvan::platform {

namespace {

constexpr int PieceUnits = 128;

bool IsContinuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// How many of the first `most` bytes of the UTF-8 text `text` (of
// `length` bytes) end on a whole character.
int WholeUtf8(const char *text, int length, int most)
{
    if (length <= most)
        return length;
    while (most > 0 && IsContinuation(text[most]))
        --most;
    return most;
}

// The same for an ANSI text, whose lead bytes are known only from its
// start.
int WholeAnsi(const char *text, int length, int most)
{
    if (length <= most)
        return length;
    int taken = 0;
    while (taken < length) {
        const int step = IsDBCSLeadByte(static_cast<BYTE>(text[taken])) && taken + 1 < length ? 2 : 1;
        if (taken + step > most)
            break;
        taken += step;
    }
    return taken;
}

// Converts `text` (`length` bytes in code page `from`) into code page `to`
// at `out`, `room` bytes and a terminator after them; false when it had to
// be cut.
bool Recode(UINT from, const char *text, int length, UINT to, char *out, int room)
{
    int written = 0;
    bool whole = true;
    while (length > 0) {
        const int piece = from == CP_UTF8 ? WholeUtf8(text, length, PieceUnits) : WholeAnsi(text, length, PieceUnits);
        wchar_t wide[PieceUnits];
        const int units = piece > 0 ? MultiByteToWideChar(from, 0, text, piece, wide, PieceUnits) : 0;
        if (units <= 0) {
            whole = false;
            break;
        }
        // Character by character only when the piece does not fit whole. No
        // room at all would ask for the size instead.
        const int bytes = room > written ? WideCharToMultiByte(to, 0, wide, units, out + written, room - written,
                                                               nullptr, nullptr)
                                         : 0;
        if (bytes <= 0) {
            whole = false;
            for (int unit = 0; unit < units;) {
                const int pair = IS_HIGH_SURROGATE(wide[unit]) && unit + 1 < units ? 2 : 1;
                char one[8];
                const int size = WideCharToMultiByte(to, 0, wide + unit, pair, one, sizeof one, nullptr, nullptr);
                if (size <= 0 || size > room - written)
                    break;
                memcpy(out + written, one, static_cast<size_t>(size));
                written += size;
                unit += pair;
            }
            break;
        }
        written += bytes;
        text += piece;
        length -= piece;
    }
    out[written] = '\0';
    return whole;
}

}  // namespace

size_t PathLength(const char *path)
{
    size_t units = 0;
    for (const char *p = path; *p; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        units += !IsContinuation(*p);
        units += byte >= 0xF0;  // beyond the first plane: a surrogate pair
    }
    return units;
}

const char *PathFromAnsi(const char *ansi, HeapBlock &held)
{
    if (!ansi)
        return nullptr;
    // One ANSI byte never makes more than one UTF-16 unit, nor one unit
    // more than three bytes of UTF-8.
    const size_t length = strlen(ansi);
    if (length > (SIZE_MAX - 1) / 3 || length > INT32_MAX / 3)
        return nullptr;
    held = AllocateBlock(3 * length + 1);
    if (!held)
        return nullptr;
    char *text = reinterpret_cast<char *>(held.get());
    Recode(CP_ACP, ansi, static_cast<int>(length), CP_UTF8, text, static_cast<int>(3 * length));
    return text;
}

const char *PathFromWide(const wchar_t *wide, HeapBlock &held)
{
    if (!wide)
        return nullptr;
    const size_t units = wcslen(wide);
    if (units > INT32_MAX / 3)
        return nullptr;
    held = AllocateBlock(3 * units + 1);
    if (!held)
        return nullptr;
    char *text = reinterpret_cast<char *>(held.get());
    const int bytes = units ? WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(units), text,
                                                  static_cast<int>(3 * units), nullptr, nullptr)
                            : 0;
    text[bytes > 0 ? bytes : 0] = '\0';
    return text;
}

bool PathToAnsi(const char *path, char *out, size_t size)
{
    if (size == 0)
        return false;
    const size_t length = strlen(path);
    const int room = size - 1 > INT32_MAX ? INT32_MAX : static_cast<int>(size - 1);
    return Recode(CP_UTF8, path, length > INT32_MAX ? INT32_MAX : static_cast<int>(length), CP_ACP, out, room);
}

int WidenUtf8(const char *text, wchar_t *out, int size)
{
    if (size <= 0)
        return 0;
    // No UTF-8 makes more UTF-16 units than bytes, so the first size - 1
    // bytes always fit: converted straight into `out`, with no memory that
    // may be gone. A cut falls before a character it would split.
    int bytes = static_cast<int>(strnlen(text, static_cast<size_t>(size - 1)));
    if (text[bytes] != '\0')
        while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80)
            --bytes;
    const int written = bytes ? MultiByteToWideChar(CP_UTF8, 0, text, bytes, out, size - 1) : 0;
    out[written > 0 ? written : 0] = L'\0';
    return written > 0 ? written : 0;
}

bool WidenPath(const char *path, WidePath &out)
{
    out[0] = L'\0';
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, out, PathLengthLimit + 1) > 0)
        return true;
    out[0] = L'\0';
    return false;
}

}  // namespace dorvan::platform
