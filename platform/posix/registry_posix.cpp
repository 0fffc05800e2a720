// The portable build's registry: a folder tree chosen by the loading
// program. Each key is a folder named as the key was created, found again
// without regard to ASCII letter case; its values live in the text file
// "values.reg" inside it (see registry_values_file.h). A value is stored
// by writing the whole file anew beside the old one and renaming it over
// the old one, so a crash never leaves a half-written value.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "dorvan.h"
#include "platform/posix/registry_values_file.h"
#include "platform/registry.h"

namespace dorvan::platform {

namespace {

constexpr char ValuesFileName[] = "values.reg";
constexpr RegistryKey LocalMachine = 0x80000002;
constexpr size_t MaxRootLength = 4096;

std::string RegistryRoot;  // chosen by the loading program; empty: no registry

struct OpenKey {
    std::string folder;
};

bool IsFolder(const std::string &path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The folder of `key`, or empty when it is not a usable key.
std::string FolderOf(RegistryKey key)
{
    if (key == LocalMachine)
        return RegistryRoot.empty() ? std::string() : RegistryRoot + "/HKEY_LOCAL_MACHINE";
    if (key == 0)
        return {};
    return reinterpret_cast<const OpenKey *>(key)->folder;
}

// A key name that can be a folder of its own.
bool IsUsableName(const std::string &name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos && !SameRegistryName(name, ValuesFileName);
}

// The sub-folder of `folder` whose name equals `name` without regard to
// case, or empty.
std::string FindSubFolder(const std::string &folder, const std::string &name)
{
    DIR *listing = opendir(folder.c_str());
    if (!listing)
        return {};
    std::string found;
    while (dirent *entry = readdir(listing)) {
        if (SameRegistryName(entry->d_name, name) && IsFolder(folder + "/" + entry->d_name)) {
            found = folder + "/" + entry->d_name;
            break;
        }
    }
    closedir(listing);
    return found;
}

long Walk(RegistryKey parent, const char *subKey, bool create, RegistryKey *key, KeyDisposition *disposition)
{
    *key = 0;
    std::string folder = FolderOf(parent);
    if (folder.empty())
        return RegistryNotFound;
    // The root key always exists once a registry folder is chosen.
    if (parent == LocalMachine && create) {
        mkdir(RegistryRoot.c_str(), 0700);
        mkdir(folder.c_str(), 0700);
    }
    if (!IsFolder(folder))
        return RegistryNotFound;

    bool created = false;
    std::string path = subKey ? subKey : "";
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        std::string name = path.substr(start, end - start);
        start = end + 1;
        if (!IsUsableName(name))
            return RegistryNotFound;
        std::string next = FindSubFolder(folder, name);
        if (next.empty()) {
            if (!create)
                return RegistryNotFound;
            next = folder + "/" + name;
            if (mkdir(next.c_str(), 0700) != 0 && errno != EEXIST)
                return RegistryAccessDenied;
            created = true;
        } else {
            created = false;
        }
        folder = next;
    }
    if (disposition)
        *disposition = created ? KeyDisposition::CreatedNew : KeyDisposition::OpenedExisting;
    *key = reinterpret_cast<RegistryKey>(new OpenKey{folder});
    return RegistrySuccess;
}

bool ReadText(const std::string &path, std::string &text)
{
    text.clear();
    int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return errno == ENOENT;
    char chunk[4096];
    ssize_t got;
    while ((got = read(file, chunk, sizeof chunk)) > 0)
        text.append(chunk, static_cast<size_t>(got));
    close(file);
    return got == 0;
}

bool ReplaceText(const std::string &path, const std::string &text)
{
    std::string temporary = path + ".new-" + std::to_string(getpid());
    int file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (file < 0)
        return false;
    size_t written = 0;
    while (written < text.size()) {
        ssize_t put = write(file, text.data() + written, text.size() - written);
        if (put <= 0)
            break;
        written += static_cast<size_t>(put);
    }
    bool complete = written == text.size() && fsync(file) == 0;
    complete = close(file) == 0 && complete;
    if (!complete || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

RegistryKey LocalMachineKey()
{
    return LocalMachine;
}

long RegistryOpenKey(RegistryKey parent, const char *subKey, RegistryKey *key)
{
    return Walk(parent, subKey, false, key, nullptr);
}

long RegistryCreateKey(RegistryKey parent, const char *subKey, RegistryKey *key, KeyDisposition *disposition)
{
    return Walk(parent, subKey, true, key, disposition);
}

long RegistryQueryValue(RegistryKey key, const char *name, uint32_t *type, uint8_t *data, uint32_t *size)
{
    std::string folder = FolderOf(key);
    std::string text;
    if (folder.empty() || !ReadText(folder + "/" + ValuesFileName, text))
        return RegistryNotFound;
    for (const StoredValue &value : ParseValuesFile(text)) {
        if (!SameRegistryName(value.name, name ? name : ""))
            continue;
        *type = value.type;
        uint32_t length = static_cast<uint32_t>(value.data.size());
        bool fits = data == nullptr || length <= *size;
        if (data && fits)
            std::memcpy(data, value.data.data(), length);
        *size = length;
        return fits ? RegistrySuccess : RegistryMoreData;
    }
    return RegistryNotFound;
}

long RegistrySetValue(RegistryKey key, const char *name, uint32_t type, const uint8_t *data, uint32_t size)
{
    std::string folder = FolderOf(key);
    if (folder.empty())
        return RegistryNotFound;
    std::string path = folder + "/" + ValuesFileName;
    std::string text;
    if (!ReadText(path, text))
        return RegistryAccessDenied;
    std::vector<StoredValue> values = ParseValuesFile(text);
    StoredValue stored{name ? name : "", type, std::string(reinterpret_cast<const char *>(data), size)};
    bool replaced = false;
    for (StoredValue &value : values) {
        if (SameRegistryName(value.name, stored.name)) {
            value.type = stored.type;
            value.data = stored.data;
            replaced = true;
        }
    }
    if (!replaced)
        values.push_back(stored);
    return ReplaceText(path, FormatValuesFile(values)) ? RegistrySuccess : RegistryAccessDenied;
}

void RegistryCloseKey(RegistryKey key)
{
    if (key != LocalMachine && key != 0)
        delete reinterpret_cast<OpenKey *>(key);
}

}  // namespace dorvan::platform

extern "C" DORVAN_API int DorvanSetRegistryRoot(const char *folder)
{
    if (!folder || !*folder || std::strlen(folder) > dorvan::platform::MaxRootLength)
        return -1;
    dorvan::platform::RegistryRoot = folder;
    while (dorvan::platform::RegistryRoot.size() > 1 && dorvan::platform::RegistryRoot.back() == '/')
        dorvan::platform::RegistryRoot.pop_back();
    return 0;
}
