// The portable build's registry: a folder tree chosen by the loading
// program. Each key is a folder named as the key was created, found again
// without regard to ASCII letter case; its values live in the text file
// "values.reg" inside it (see registry_values_file.h). A value is stored
// by writing the whole file anew beside the old one and renaming it over
// the old one, so a crash never leaves a half-written value. Its blocks come
// from the platform's heap table and its values files are read, written,
// made durable and closed through the platform's file table, as every
// block and file of the library is, so that a test's failing tables reach
// it too. Only its opens and renames are its own: they are made relative
// to the key's open folder, which a path-named open cannot be.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dorvan.h"
#include "platform/file_access.h"
#include "platform/memory.h"
#include "platform/posix/portable_settings.h"
#include "platform/posix/registry_values_file.h"
#include "platform/registry.h"

namespace dorvan::platform {

namespace {

constexpr char ValuesFileName[] = "values.reg";
constexpr char RootKeyFolder[] = "HKEY_LOCAL_MACHINE";
constexpr RegistryKey LocalMachine = 0x80000002;
constexpr size_t MaxRootLength = 4096;
constexpr size_t MaxNameLength = 255;
// Far above any real key (100,000 values take about 4 MiB); a larger
// values file counts as unreadable.
constexpr size_t MaxValuesFileSize = 16u << 20;

char RegistryRoot[MaxRootLength + 1];  // chosen by the loading program; empty: no registry

// An open key holds its folder open. Every folder below the root is opened
// relative to the one above it, never through a link, so that a key never
// leads out of the registry's root, even when a folder is swapped for a
// link while the key is in use.
// A key folder without its owner's write bit is one the caller may only
// read, as a standard user may only read the machine's keys: opening it
// to write fails, and a key opened to read takes no value.
struct OpenKey {
    int folder;
    bool writable;
};

constexpr int FolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// A folder handle closed on every path.
class Folder {
public:
    explicit Folder(int handle = -1) : handle_(handle) {}
    ~Folder()
    {
        if (handle_ >= 0)
            close(handle_);
    }
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;
    void Reset(int handle)
    {
        if (handle_ >= 0)
            close(handle_);
        handle_ = handle;
    }
    int Release()
    {
        int handle = handle_;
        handle_ = -1;
        return handle;
    }
    int Get() const { return handle_; }
    bool IsOpen() const { return handle_ >= 0; }

private:
    int handle_;
};

// A new handle to the folder of `key`, or -1 when it is not a usable key.
// The root folder itself is the loading program's choice and may be
// reached through links; the root key's folder inside it may not.
int OpenFolderOf(RegistryKey key, bool create)
{
    if (key == LocalMachine) {
        if (!RegistryRoot[0])
            return -1;
        if (create)
            mkdir(RegistryRoot, 0700);
        Folder root(open(RegistryRoot, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!root.IsOpen())
            return -1;
        if (create)
            mkdirat(root.Get(), RootKeyFolder, 0700);
        return openat(root.Get(), RootKeyFolder, FolderFlags);
    }
    if (key == 0)
        return -1;
    return fcntl(reinterpret_cast<const OpenKey *>(key)->folder, F_DUPFD_CLOEXEC, 0);
}

// A key name that can be a folder of its own.
bool IsUsableName(const char *name, size_t length)
{
    if (length == 0 || length > MaxNameLength || (length == 1 && name[0] == '.') ||
        (length == 2 && name[0] == '.' && name[1] == '.'))
        return false;
    if (std::memchr(name, '/', length) || std::memchr(name, '\0', length))
        return false;
    return !SameRegistryName(name, length, ValuesFileName, sizeof ValuesFileName - 1);
}

// Opens the sub-folder of `folder` whose name equals `name` without regard
// to case; -1 when there is none. A link of that name is not a sub-folder.
int OpenSubFolder(int folder, const char *name, size_t length)
{
    const int copy = fcntl(folder, F_DUPFD_CLOEXEC, 0);
    DIR *listing = copy >= 0 ? fdopendir(copy) : nullptr;
    if (!listing) {
        if (copy >= 0)
            close(copy);
        return -1;
    }
    rewinddir(listing);  // the copy shares its position with `folder`
    int found = -1;
    while (dirent *entry = readdir(listing)) {
        if (SameRegistryName(entry->d_name, std::strlen(entry->d_name), name, length) &&
            (found = openat(folder, entry->d_name, FolderFlags)) >= 0)
            break;
    }
    closedir(listing);
    return found;
}

Status Walk(RegistryKey parent, const char *subKey, bool create, KeyAccess access, RegistryKey *key,
            KeyDisposition *disposition)
{
    *key = 0;
    Folder folder(OpenFolderOf(parent, create && parent == LocalMachine));
    if (!folder.IsOpen())
        return StatusOf(StatusCode::RegistryMissing, FileRole::RegistryKey);

    bool created = false;
    const char *path = subKey ? subKey : "";
    while (*path) {
        const char *end = std::strchr(path, '\\');
        const size_t length = end ? static_cast<size_t>(end - path) : std::strlen(path);
        if (!IsUsableName(path, length))
            return StatusOf(StatusCode::RegistryMissing, FileRole::RegistryKey);
        int next = OpenSubFolder(folder.Get(), path, length);
        created = false;
        if (next < 0) {
            if (!create)
                return StatusOf(StatusCode::RegistryMissing, FileRole::RegistryKey);
            char name[MaxNameLength + 1];
            std::memcpy(name, path, length);
            name[length] = '\0';
            // A name already taken by anything but a folder, a link
            // included, cannot become the key.
            if (mkdirat(folder.Get(), name, 0700) != 0 && errno != EEXIST)
                return StatusOf(StatusCode::RegistryFailed, FileRole::RegistryKey);
            if ((next = openat(folder.Get(), name, FolderFlags)) < 0)
                return StatusOf(StatusCode::RegistryFailed, FileRole::RegistryKey);
            created = true;
        }
        folder.Reset(next);
        path += end ? length + 1 : length;
    }
    struct stat about;
    if (access != KeyAccess::Read && (fstat(folder.Get(), &about) != 0 || !(about.st_mode & S_IWUSR)))
        return StatusOf(StatusCode::RegistryFailed, FileRole::RegistryKey);
    auto *opened = static_cast<OpenKey *>(MemoryAllocate(sizeof(OpenKey)));
    if (!opened)
        return StatusOf(StatusCode::RegistryFailed, FileRole::RegistryKey);
    opened->folder = folder.Release();
    opened->writable = access != KeyAccess::Read;
    if (disposition)
        *disposition = created ? KeyDisposition::CreatedNew : KeyDisposition::OpenedExisting;
    *key = reinterpret_cast<RegistryKey>(opened);
    return Success;
}

// The values file in a key's folder read whole into a heap block (`*text`,
// `*length`); a missing file is an empty one. False when it cannot be read, and for
// anything but a regular file no larger than MaxValuesFileSize: a link, a
// FIFO or a device is refused without being waited on or read.
bool ReadValuesFile(int folder, char **text, size_t *length)
{
    *text = nullptr;
    *length = 0;
    int file = openat(folder, ValuesFileName, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (file < 0)
        return errno == ENOENT;
    struct stat status;
    bool readable = fstat(file, &status) == 0 && S_ISREG(status.st_mode) &&
                    static_cast<uint64_t>(status.st_size) <= MaxValuesFileSize;
    // Read up to one byte past the limit, so that a file that has grown
    // beyond it since is seen as too large.
    const size_t grown = readable ? static_cast<size_t>(status.st_size) + 4096 : 0;
    const size_t capacity = grown < MaxValuesFileSize + 1 ? grown : MaxValuesFileSize + 1;
    *text = readable ? static_cast<char *>(MemoryAllocate(capacity)) : nullptr;
    readable = readable && *text;
    int32_t got = 1;
    while (readable && *length < capacity && got > 0) {
        readable = Files->readSome(file, static_cast<int32_t>(*length), *text + *length,
                                   static_cast<int32_t>(capacity - *length), &got).Ok();
        *length += static_cast<size_t>(got);
    }
    FileClose(file);  // read only: nothing written can be lost
    if (!readable || *length > MaxValuesFileSize) {
        MemoryRelease(*text);
        *text = nullptr;
        *length = 0;
        return false;
    }
    return true;
}

// Buffered writes to the new values file, which stays far below 2 GiB.
struct Output {
    int file;
    bool failed;
    int32_t written;
    size_t used;
    char buffer[65536];
};

void Flush(Output &out)
{
    out.failed = out.failed || !FileWrite(out.file, out.written, out.buffer, static_cast<int32_t>(out.used)).Ok();
    out.written += static_cast<int32_t>(out.used);
    out.used = 0;
}

// Room for `size` bytes at the buffer's end, or null when a line that long
// cannot be buffered at all.
char *Reserve(Output &out, size_t size)
{
    if (size > sizeof out.buffer)
        return nullptr;
    if (sizeof out.buffer - out.used < size)
        Flush(out);
    return out.buffer + out.used;
}

bool PutLine(Output &out, const DecodedValue &value)
{
    char *room = Reserve(out, ValueLineLimit(value.nameLength, value.dataLength));
    if (!room)
        return false;
    out.used += FormatValueLine(room, value);
    return true;
}

// The values file anew: its readable lines in order, each written as the
// library writes it, with `stored` in place of the first line of its name
// (other lines of that name dropped), or after them all. Written beside
// the old file, made durable and renamed over it.
bool ReplaceValuesFile(int folder, const char *text, size_t length, const DecodedValue &stored)
{
    char temporary[64];
    std::snprintf(temporary, sizeof temporary, "%s.new-%ld", ValuesFileName, static_cast<long>(getpid()));
    auto *out = static_cast<Output *>(MemoryAllocate(sizeof(Output)));
    auto *scratch = static_cast<uint8_t *>(MemoryAllocate(length));
    bool complete = out && scratch;
    if (complete) {
        // Made exclusively and never through a link: a stale file or a link
        // planted at the name is removed (the link itself, not what it names).
        unlinkat(folder, temporary, 0);
        out->file = openat(folder, temporary, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        complete = out->file >= 0;
    }
    if (complete) {
        out->failed = false;
        out->written = 0;
        out->used = std::strlen(ValuesFileHeader);
        std::memcpy(out->buffer, ValuesFileHeader, out->used);
        bool placed = false;
        const char *cursor = text, *end = text + length, *line = nullptr;
        size_t lineLength = 0;
        DecodedValue value;
        while (complete && NextLine(&cursor, end, &line, &lineLength)) {
            if (!DecodeValueLine(line, lineLength, scratch, &value))
                continue;
            if (SameRegistryName(value.name, value.nameLength, stored.name, stored.nameLength)) {
                if (placed)
                    continue;
                placed = true;
                complete = PutLine(*out, stored);
            } else {
                complete = PutLine(*out, value);
            }
        }
        if (complete && !placed)
            complete = PutLine(*out, stored);
        Flush(*out);
        complete = complete && !out->failed && FileSync(out->file).Ok();
        complete = FileClose(out->file).Ok() && complete;
        if (!complete || renameat(folder, temporary, folder, ValuesFileName) != 0) {
            unlinkat(folder, temporary, 0);
            complete = false;
        }
    }
    MemoryRelease(scratch);
    MemoryRelease(out);
    return complete;
}

}  // namespace

RegistryKey LocalMachineKey()
{
    return LocalMachine;
}

Status RegistryOpenKey(RegistryKey parent, const char *subKey, KeyAccess access, RegistryKey *key)
{
    return Walk(parent, subKey, false, access, key, nullptr);
}

Status RegistryCreateKey(RegistryKey parent, const char *subKey, KeyAccess access, RegistryKey *key,
                         KeyDisposition *disposition)
{
    return Walk(parent, subKey, true, access, key, disposition);
}

Status RegistryQueryValue(RegistryKey key, const char *name, uint32_t *type, uint8_t *data, uint32_t *size)
{
    char *text = nullptr;
    size_t length = 0;
    Folder folder(OpenFolderOf(key, false));
    if (!folder.IsOpen() || !ReadValuesFile(folder.Get(), &text, &length))
        return StatusOf(StatusCode::RegistryMissing, FileRole::RegistryKey);
    auto *scratch = static_cast<uint8_t *>(MemoryAllocate(length));
    Status result = StatusOf(StatusCode::RegistryMissing, FileRole::RegistryKey);
    const char *wanted = name ? name : "";
    const char *cursor = text, *end = text + length, *line = nullptr;
    size_t lineLength = 0;
    DecodedValue value;
    while (scratch && NextLine(&cursor, end, &line, &lineLength)) {
        if (!DecodeValueLine(line, lineLength, scratch, &value) ||
            !SameRegistryName(value.name, value.nameLength, wanted, std::strlen(wanted)))
            continue;
        // The first line of a name counts.
        *type = value.type;
        const auto stored = static_cast<uint32_t>(value.dataLength);
        const bool fits = data == nullptr || stored <= *size;
        if (data && fits)
            std::memcpy(data, value.data, stored);
        *size = stored;
        result = fits ? Success : StatusOf(StatusCode::RegistryFailed, FileRole::RegistryKey);
        break;
    }
    MemoryRelease(scratch);
    MemoryRelease(text);
    return result;
}

Status RegistrySetValue(RegistryKey key, const char *name, uint32_t type, const uint8_t *data, uint32_t size)
{
    if (key != LocalMachine && key != 0 && !reinterpret_cast<const OpenKey *>(key)->writable)
        return StatusOf(StatusCode::RegistryFailed, FileRole::RegistryKey);
    Folder folder(OpenFolderOf(key, false));
    if (!folder.IsOpen())
        return StatusOf(StatusCode::RegistryMissing, FileRole::RegistryKey);
    char *text = nullptr;
    size_t length = 0;
    if (!ReadValuesFile(folder.Get(), &text, &length))
        return StatusOf(StatusCode::RegistryFailed, FileRole::RegistryKey);
    const char *stored = name ? name : "";
    const DecodedValue value{stored, std::strlen(stored), type, data, size};
    const bool replaced = ReplaceValuesFile(folder.Get(), text, length, value);
    MemoryRelease(text);
    return replaced ? Success : StatusOf(StatusCode::RegistryFailed, FileRole::RegistryKey);
}

void RegistryCloseKey(RegistryKey key)
{
    if (key != LocalMachine && key != 0) {
        close(reinterpret_cast<OpenKey *>(key)->folder);
        MemoryRelease(reinterpret_cast<OpenKey *>(key));
    }
}

bool SetRegistryRoot(const char *folder)
{
    if (!folder || !*folder || std::strlen(folder) > MaxRootLength)
        return false;
    size_t length = std::strlen(folder);
    while (length > 1 && folder[length - 1] == '/')
        --length;
    std::memcpy(RegistryRoot, folder, length);
    RegistryRoot[length] = '\0';
    return true;
}

}  // namespace dorvan::platform
