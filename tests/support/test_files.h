// Files and folders made by a test, removed when it ends.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace dorvan::test {

using Bytes = std::vector<uint8_t>;

Bytes ToBytes(const std::string &text);
// A literal's bytes, zero bytes inside it included.
template <size_t N>
Bytes ToBytes(const char (&literal)[N])
{
    return Bytes(literal, literal + N - 1);
}
Bytes Concat(const std::vector<Bytes> &parts);

void WriteFileBytes(const std::filesystem::path &path, const Bytes &bytes);
Bytes ReadFileBytes(const std::filesystem::path &path);

// A fresh folder under the system's temporary folder, removed with all it
// holds when the object goes.
class TempDirectory {
public:
    // `piece`, UTF-8, goes into the folder's name.
    explicit TempDirectory(const std::string &piece = "");
    ~TempDirectory();
    TempDirectory(const TempDirectory &) = delete;
    TempDirectory &operator=(const TempDirectory &) = delete;

    const std::filesystem::path &Path() const { return path_; }
    // The folder as the library's callers name it (ANSI string).
    std::string Name() const { return path_.string(); }
    // As DorvanSetup's W functions take it, and as UTF-8.
    std::wstring WideName() const;
    std::string Utf8Name() const { return path_.u8string(); }
    std::filesystem::path operator/(const std::string &name) const { return path_ / name; }

    // The folder's file names, sorted.
    std::vector<std::string> Listing() const;

private:
    std::filesystem::path path_;
};

// An existing file held open as a running edit holds it: a journal locked
// on the portable build and shared with no one on Windows; a dictionary
// locked exclusive as the library locks it.
class HeldFile {
public:
    enum Kind { None, Journal, Dictionary };
    HeldFile(const std::filesystem::path &path, Kind kind);
    ~HeldFile();
    HeldFile(const HeldFile &) = delete;
    HeldFile &operator=(const HeldFile &) = delete;

private:
    intptr_t handle_;
};

}  // namespace dorvan::test
