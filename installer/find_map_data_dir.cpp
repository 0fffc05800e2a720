// Finds the host's map data directory: from its registry record, or
// derived from the common-files directory, checked and recorded.
#include <cstring>

#include "dictionary/dictionary_paths.h"
#include "installer/installer_actions.h"
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
// within the buffer and within the platform's path limit; a longer value
// counts as missing.
void ReadStringValue(platform::RegistryKey key, const char *name, char (&buffer)[PathBufferSize])
{
    buffer[0] = '\0';
    uint32_t type = 0;
    uint32_t size = PathBufferSize;
    const Status read = platform::RegistryQueryValue(key, name, &type, reinterpret_cast<uint8_t *>(buffer), &size);
    if (!read.Ok() || type != platform::RegistryString || size > PathBufferSize) {
        buffer[0] = '\0';
        return;
    }
    // A value stored without its terminator still names its text, as long
    // as a terminator fits after it.
    if (!std::memchr(buffer, '\0', size)) {
        if (size == PathBufferSize) {
            buffer[0] = '\0';
            return;
        }
        buffer[size] = '\0';
    }
    if (platform::PathLength(buffer) > platform::PathLengthLimit)
        buffer[0] = '\0';
}

// The host's record of its map data directory: value "MapData".
void ReadMapDataValue(platform::RegistryKey key, char (&buffer)[PathBufferSize])
{
    ReadStringValue(key, "MapData", buffer);
}

constexpr Status HostNotFound = StatusOf(StatusCode::HostNotFound);

// The directory derived from the common-files directory into `candidate`;
// HostNotFound when it cannot be derived, does not fit a path buffer, or
// holds no dictionary.
Status DeriveMapDataDirectory(ComposedPath &candidate, platform::KeyAccess access)
{
    RegistryKeyGuard currentVersion;
    if (!platform::RegistryOpenKey(platform::LocalMachineKey(), "Software\\Microsoft\\Windows\\CurrentVersion", access,
                                   currentVersion.Receive())
             .Ok())
        return HostNotFound;
    char commonFiles[PathBufferSize];
    ReadStringValue(currentVersion.Get(), "CommonFilesDir", commonFiles);
    currentVersion.Close();
    if (commonFiles[0] == '\0')
        return HostNotFound;

    char dataFolder[] = "Microsoft Shared\\DataMap\\Data\\";
    for (char &c : dataFolder)
        if (c == '\\')
            c = platform::PathSeparator;
    ComposedPath dictionary;
    const bool found = ComposePath(candidate, commonFiles, dataFolder) &&
                       ComposePath(dictionary, candidate.text, DictionaryFileName) &&
                       platform::FileExists(platform::NoFolder, dictionary.text);
    return found ? Success : HostNotFound;
}

}  // namespace

Status FindMapDataDir(char *targetDir, platform::KeyAccess access)
{
    using platform::KeyAccess;
    // Where the keys are opened for reading alone, the key the directory is
    // recorded in is opened again, to write, only to record it.
    const KeyAccess recording = access == KeyAccess::Read ? KeyAccess::Write : access;
    const platform::RegistryKey machine = platform::LocalMachineKey();
    RegistryKeyGuard vendor, sharedTools, directories, recorded;
    if (!platform::RegistryOpenKey(machine, "Software\\Microsoft", access, vendor.Receive()).Ok())
        return HostNotFound;

    char mapData[PathBufferSize];
    mapData[0] = '\0';
    // The key the value was read from, its parent and its name there, and
    // whether it was opened to write.
    const char *recordKey = "DataMap\\Directories";
    platform::RegistryKey recordParent = vendor.Get();
    bool writable = access != KeyAccess::Read;
    if (platform::RegistryOpenKey(vendor.Get(), recordKey, access, directories.Receive()).Ok()) {
        ReadMapDataValue(directories.Get(), mapData);
    } else if (access == KeyAccess::Read &&
               platform::RegistryOpenKey(vendor.Get(), "Shared Tools\\Map\\Directories", access,
                                         directories.Receive())
                   .Ok()) {
        recordKey = "Shared Tools\\Map\\Directories";
        ReadMapDataValue(directories.Get(), mapData);
    } else {
        // Made where it is missing, which takes the right to write.
        if (!platform::RegistryOpenKey(vendor.Get(), "Shared Tools", recording, sharedTools.Receive()).Ok())
            return HostNotFound;
        recordKey = "Map\\Directories";
        recordParent = sharedTools.Get();
        writable = true;
        platform::KeyDisposition disposition = platform::KeyDisposition::CreatedNew;
        if (!platform::RegistryCreateKey(sharedTools.Get(), recordKey, recording, directories.Receive(), &disposition)
                 .Ok())
            return StatusOf(StatusCode::RegistryKeyNotMade, FileRole::RegistryKey);
        // A key just created holds nothing to read.
        if (disposition == platform::KeyDisposition::OpenedExisting)
            ReadMapDataValue(directories.Get(), mapData);
    }

    if (mapData[0] != '\0') {
        std::memcpy(targetDir, mapData, std::strlen(mapData) + 1);
        return Success;
    }

    ComposedPath derived;
    const Status status = DeriveMapDataDirectory(derived, access);
    if (!status.Ok())
        return status;
    const size_t derivedSize = std::strlen(derived.text) + 1;
    std::memcpy(targetDir, derived.text, derivedSize);
    // Recorded for the next time; whether the record could be written
    // does not change this call's answer.
    platform::RegistryKey record = directories.Get();
    if (!writable && platform::RegistryOpenKey(recordParent, recordKey, recording, recorded.Receive()).Ok())
        record = recorded.Get();
    platform::RegistrySetValue(record, "MapData", platform::RegistryString,
                               reinterpret_cast<const uint8_t *>(derived.text), static_cast<uint32_t>(derivedSize));
    return Success;
}

}  // namespace dorvan
