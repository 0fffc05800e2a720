// The offset of the first occurrence of a string in a file of any length
// within the 32-bit range, read in fixed chunks through one buffer.
#include <cstring>

#include "dictionary/byte_search.h"
#include "dictionary/dictionary_file.h"
#include "dorvan.h"

namespace dorvan {

namespace {

constexpr int32_t ChunkSize = 102400;

// The buffer holds a carry area of L - 1 bytes, the tail of the previous
// chunk, followed by the current chunk, so an occurrence that straddles a
// chunk boundary lies whole inside it. The string holds no zero byte, so
// the carry area's initial zeros never take part in a match.
int32_t SearchFile(const char *filePath, const char *text)
{
    const size_t textLength = std::strlen(text);
    if (textLength == 0)
        return -1;
    FileHandle file(platform::FileOpen(filePath, platform::FileMode::ReadOnly));
    if (!file.IsOpen())
        return -2;
    // Offsets of 2 GiB and beyond cannot be answered.
    const int64_t fileLength = platform::FileLength(file.Get());
    if (fileLength < 0 || fileLength > INT32_MAX)
        return -2;
    const size_t carry = textLength - 1;
    if (carry > SIZE_MAX - ChunkSize)
        return -2;  // no buffer of that size can exist
    HeapBlock buffer(static_cast<uint8_t *>(platform::MemoryAllocate(carry + ChunkSize)));
    if (!buffer)
        return -2;
    std::memset(buffer.get(), 0, carry);

    const SubstringSearch<ExactBytes> search(reinterpret_cast<const uint8_t *>(text), textLength);
    int32_t remaining = static_cast<int32_t>(fileLength);
    int32_t processed = 0;
    while (remaining > 0) {
        const int32_t chunk = remaining < ChunkSize ? remaining : ChunkSize;
        if (ReadFully(file.Get(), buffer.get() + carry, chunk) != chunk)
            return -2;
        const size_t filled = carry + static_cast<size_t>(chunk);
        const size_t found = search.FindIn(buffer.get(), filled);
        if (found != SubstringSearch<ExactBytes>::NotFound)
            return static_cast<int32_t>(int64_t{processed} - static_cast<int64_t>(carry) + static_cast<int64_t>(found));
        std::memmove(buffer.get(), buffer.get() + filled - carry, carry);
        remaining -= chunk;
        processed += chunk;
    }
    return -1;
}

}  // namespace

}  // namespace dorvan

extern "C" DORVAN_API int DORVAN_CALL FindStringInFile(const char *filePath, const char *text)
{
    return dorvan::SearchFile(filePath, text);
}
