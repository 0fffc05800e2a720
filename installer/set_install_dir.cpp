// Finds the host's map data directory: from its registry record, or
// derived from the common-files directory, checked and recorded.
#include <cstring>

#include "dictionary/dictionary_paths.h"
#include "dorvan.h"
#include "frame/messages.h"
#include "platform/file_access.h"
#include "platform/registry.h"

namespace dorvan {

namespace {

// Closes an open registry key when it goes out of scope, so keys declared
// one after another are closed in the reverse order of opening.
class RegistryKeyGuard {
public:
    RegistryKeyGuard() = default;
    RegistryKeyGuard(const RegistryKeyGuard &) = delete;
    RegistryKeyGuard &operator=(const RegistryKeyGuard &) = delete;
    ~RegistryKeyGuard() { Close(); }

    platform::RegistryKey *Receive() { return &key_; }
    platform::RegistryKey Get() const { return key_; }
    void Close()
    {
        if (key_)
            platform::RegistryCloseKey(key_);
        key_ = 0;
    }

private:
    platform::RegistryKey key_ = 0;
};

// Reads string value `name` of `key` into a path buffer. The buffer is
// left empty unless the query succeeds with a REG_SZ value that ends
// within the buffer; a value that fills all of it without a terminator, or
// a larger one, counts as missing. Returns 1 for a non-empty string.
int ReadStringValue(platform::RegistryKey key, const char *name, char (&buffer)[PathBufferSize])
{
    buffer[0] = '\0';
    uint32_t type = 0;
    uint32_t size = PathBufferSize;
    long result = platform::RegistryQueryValue(key, name, &type, reinterpret_cast<uint8_t *>(buffer), &size);
    if (result != platform::RegistrySuccess || type != platform::RegistryString || size > PathBufferSize) {
        buffer[0] = '\0';
        return 0;
    }
    // A value stored without its terminator still names its text, as long
    // as a terminator fits after it.
    if (!std::memchr(buffer, '\0', size)) {
        if (size == PathBufferSize) {
            buffer[0] = '\0';
            return 0;
        }
        buffer[size] = '\0';
    }
    return buffer[0] != '\0' ? 1 : 0;
}

// The host's record of its map data directory: value "MapData".
int ReadMapDataValue(platform::RegistryKey key, char (&buffer)[PathBufferSize])
{
    return ReadStringValue(key, "MapData", buffer);
}

enum class Discovery { Found, HostMissing, RegistryFailed };

// The directory derived from the common-files directory into `candidate`;
// false when it cannot be derived, does not fit a path buffer, or holds no
// dictionary.
bool DeriveMapDataDirectory(ComposedPath &candidate)
{
    RegistryKeyGuard currentVersion;
    if (platform::RegistryOpenKey(platform::LocalMachineKey(), "Software\\Microsoft\\Windows\\CurrentVersion",
                                  currentVersion.Receive()) != platform::RegistrySuccess)
        return false;
    char commonFiles[PathBufferSize];
    ReadStringValue(currentVersion.Get(), "CommonFilesDir", commonFiles);
    currentVersion.Close();
    if (commonFiles[0] == '\0')
        return false;

    char dataFolder[] = "Microsoft Shared\\DataMap\\Data\\";
    for (char &c : dataFolder)
        if (c == '\\')
            c = platform::PathSeparator;
    ComposedPath dictionary;
    return ComposePath(candidate, commonFiles, dataFolder) &&
           ComposePath(dictionary, candidate.text, DictionaryFileName) && platform::FileExists(dictionary.text);
}

Discovery DiscoverMapDataDirectory(char *targetDir)
{
    const platform::RegistryKey machine = platform::LocalMachineKey();
    RegistryKeyGuard vendor, sharedTools, directories;
    if (platform::RegistryOpenKey(machine, "Software\\Microsoft", vendor.Receive()) != platform::RegistrySuccess)
        return Discovery::HostMissing;

    char mapData[PathBufferSize];
    mapData[0] = '\0';
    if (platform::RegistryOpenKey(vendor.Get(), "DataMap\\Directories", directories.Receive()) ==
        platform::RegistrySuccess) {
        ReadMapDataValue(directories.Get(), mapData);
    } else {
        if (platform::RegistryOpenKey(vendor.Get(), "Shared Tools", sharedTools.Receive()) !=
            platform::RegistrySuccess)
            return Discovery::HostMissing;
        platform::KeyDisposition disposition = platform::KeyDisposition::CreatedNew;
        if (platform::RegistryCreateKey(sharedTools.Get(), "Map\\Directories", directories.Receive(), &disposition) !=
            platform::RegistrySuccess)
            return Discovery::RegistryFailed;
        // A key just created holds nothing to read.
        if (disposition == platform::KeyDisposition::OpenedExisting)
            ReadMapDataValue(directories.Get(), mapData);
    }

    if (mapData[0] != '\0') {
        std::memcpy(targetDir, mapData, std::strlen(mapData) + 1);
        return Discovery::Found;
    }

    ComposedPath derived;
    if (!DeriveMapDataDirectory(derived))
        return Discovery::HostMissing;
    const size_t derivedSize = std::strlen(derived.text) + 1;
    std::memcpy(targetDir, derived.text, derivedSize);
    // Recorded for the next time; whether the record could be written
    // does not change this call's answer.
    platform::RegistrySetValue(directories.Get(), "MapData", platform::RegistryString,
                               reinterpret_cast<const uint8_t *>(derived.text), static_cast<uint32_t>(derivedSize));
    return Discovery::Found;
}

unsigned char FindInstallDirectory(void *owner, char *targetDir)
{
    switch (DiscoverMapDataDirectory(targetDir)) {
    case Discovery::Found:
        return 1;
    case Discovery::RegistryFailed:
        ShowMessage(owner, MessageRegistryFailed, StopStyle);
        return 0;
    case Discovery::HostMissing:
        break;
    }
    ShowMessage(owner, MessageHostMissing, StopStyle);
    return 0;
}

}  // namespace

}  // namespace dorvan

extern "C" DORVAN_API unsigned char DORVAN_CALL SetInstallDir(DorvanWindow owner, const char *, const char *,
                                                              char *targetDir, const char *)
{
    return dorvan::FindInstallDirectory(owner, targetDir);
}
