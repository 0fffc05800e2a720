#include "test_files.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace dorvan::test {

namespace fs = std::filesystem;

Bytes ToBytes(const std::string &text)
{
    return Bytes(text.begin(), text.end());
}

Bytes Concat(const std::vector<Bytes> &parts)
{
    Bytes out;
    for (const Bytes &part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

void WriteFileBytes(const fs::path &path, const Bytes &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

Bytes ReadFileBytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TempDirectory::TempDirectory(const std::string &piece)
{
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() /
                              fs::u8path("dorvan-test-" + piece + std::to_string(random() % 1000000000));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDirectory::~TempDirectory()
{
    std::error_code error;
    for (const auto &entry : fs::recursive_directory_iterator(path_, error))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(path_, error);
}

std::wstring TempDirectory::WideName() const
{
#ifdef _WIN32
    return path_.wstring();
#else
    // The code points of its UTF-8, whatever the locale.
    const std::string text = Utf8Name();
    std::wstring wide;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t count = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        uint32_t point = count == 1 ? lead : lead & (0x7F >> count);
        for (size_t k = 1; k < count && i + k < text.size(); ++k)
            point = point << 6 | (text[i + k] & 0x3F);
        wide += static_cast<wchar_t>(point);
        i += count;
    }
    return wide;
#endif
}

std::vector<std::string> TempDirectory::Listing() const
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

#ifdef _WIN32
HeldFile::HeldFile(const fs::path &path, Kind kind)
    : handle_(reinterpret_cast<intptr_t>(CreateFileA(path.string().c_str(), GENERIC_READ,
                                                     kind == Journal ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)))
{
    // The library's lock: the byte at 4 GiB.
    OVERLAPPED place = {};
    place.OffsetHigh = 1;
    if (reinterpret_cast<HANDLE>(handle_) == INVALID_HANDLE_VALUE ||
        (kind == Dictionary &&
         !LockFileEx(reinterpret_cast<HANDLE>(handle_), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                     &place)))
        throw std::runtime_error("cannot hold " + path.string());
}

HeldFile::~HeldFile() { CloseHandle(reinterpret_cast<HANDLE>(handle_)); }
#else
HeldFile::HeldFile(const fs::path &path, Kind) : handle_(open(path.c_str(), O_RDONLY | O_CLOEXEC))
{
    if (handle_ < 0 || flock(static_cast<int>(handle_), LOCK_EX | LOCK_NB) != 0)
        throw std::runtime_error("cannot hold " + path.string());
}

HeldFile::~HeldFile() { close(static_cast<int>(handle_)); }
#endif

}  // namespace dorvan::test
