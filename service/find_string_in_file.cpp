// The offset of the first occurrence of a string in a file of any length
// within the 32-bit range, read in fixed chunks through one buffer.
#include <cstring>

#include "bytes/byte_search.h"
#include "dorvan_setup.h"
#include "edge/answers.h"
#include "edge/caller_paths.h"
#include "platform/file_access.h"
#include "platform/memory.h"

namespace dorvan {

namespace {

constexpr int32_t ChunkSize = 102400;
constexpr int32_t Absent = -1;
// The system copies a chunk into a buffer that starts on a cache line
// markedly faster than into one that does not (about a seventh here).
constexpr size_t CacheLine = 64;

// The buffer holds a carry area of L - 1 bytes, the tail of the previous
// chunk, followed by the current chunk, which starts on a cache line, so an
// occurrence that straddles a chunk boundary lies whole inside it. The
// string holds no zero byte, so the carry area's initial zeros never take
// part in a match. `offset` is Absent for an empty string or one the file
// does not hold.
Status SearchFile(const char *filePath, const char *text, int32_t &offset)
{
    offset = Absent;
    const size_t textLength = std::strlen(text);
    if (textLength == 0)
        return Success;
    platform::FileHandle file;
    if (!file.Open(filePath, platform::FileMode::ReadOnly).Ok())
        return StatusOf(StatusCode::CannotOpen, FileRole::CallersFile);
    // Offsets of 2 GiB and beyond cannot be answered.
    int64_t fileLength = 0;
    if (!platform::FileLength(file.Get(), &fileLength).Ok() || fileLength < 0 || fileLength > INT32_MAX)
        return StatusOf(StatusCode::CannotSize, FileRole::CallersFile);
    const size_t carry = textLength - 1;
    if (carry > SIZE_MAX - ChunkSize - CacheLine)
        return StatusOf(StatusCode::NoMemory, FileRole::CallersFile);  // no buffer of that size can exist
    platform::HeapBlock block = platform::AllocateBlock(carry + ChunkSize + CacheLine);
    if (!block)
        return StatusOf(StatusCode::NoMemory, FileRole::CallersFile);
    const uintptr_t blockStart = reinterpret_cast<uintptr_t>(block.get());
    const uintptr_t chunkStart = (blockStart + carry + CacheLine - 1) / CacheLine * CacheLine;
    uint8_t *const buffer = block.get() + (chunkStart - carry - blockStart);
    std::memset(buffer, 0, carry);

    const SubstringSearch<ExactBytes> search(reinterpret_cast<const uint8_t *>(text), textLength);
    // One state for the whole file: each chunk starts from what the chunks
    // before it learned of the data.
    SubstringSearch<ExactBytes>::State state = search.Begin();
    const auto length = static_cast<int32_t>(fileLength);
    for (int32_t processed = 0; processed < length;) {
        const int32_t chunk = length - processed < ChunkSize ? length - processed : ChunkSize;
        if (!platform::FileReadNext(file.Get(), buffer + carry, chunk).Ok())
            return StatusOf(StatusCode::ReadFailed, FileRole::CallersFile);
        const size_t filled = carry + static_cast<size_t>(chunk);
        const size_t found = search.FindIn(buffer, filled, state);
        if (found != SubstringSearch<ExactBytes>::NotFound) {
            offset = static_cast<int32_t>(int64_t{processed} - static_cast<int64_t>(carry) + static_cast<int64_t>(found));
            return Success;
        }
        std::memmove(buffer, buffer + filled - carry, carry);
        processed += chunk;
    }
    return Success;
}

template <typename Char>
int AnswerSearch(const Char *filePath, const char *text)
{
    const CallerPath file(filePath);
    int32_t offset = Absent;
    const Status status = file.Held() ? SearchFile(file.Get(), text, offset) : PathsNotHeld;
    return AnswerServiceFunction(status, offset, -2);
}

}  // namespace

}  // namespace dorvan

extern "C" DORVAN_API int DORVAN_CALL FindStringInFile(const char *filePath, const char *text)
{
    return dorvan::AnswerSearch(filePath, text);
}

extern "C" DORVAN_API int DORVAN_CALL FindStringInFileW(const wchar_t *filePath, const char *text)
{
    return dorvan::AnswerSearch(filePath, text);
}
