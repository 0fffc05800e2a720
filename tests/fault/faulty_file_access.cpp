#include <set>

#include "fault_injection.h"
#include "platform/file_access.h"

namespace dorvan::test::fault {

namespace {

Operation ArmedOperation = Operation::Any;
int ArmedNth = 0;  // 0: disarmed
Fault ArmedFault = Fault::Fail;
int Seen = 0;
int Counted = 0;
bool Happened = false;
bool ReadsExhausted = false;
bool WritesExhausted = false;
std::set<int> Handles;
std::set<void *> Blocks;
Operation HookOperation = Operation::Any;
int HookNth = 0;
int HookSeen = 0;
std::function<void()> HookAction;

// Counts the operation; whether the armed fault strikes it.
bool Strikes(Operation operation)
{
    ++Counted;
    if (HookAction && (HookOperation == Operation::Any || HookOperation == operation) && ++HookSeen == HookNth) {
        auto action = std::move(HookAction);
        HookAction = nullptr;
        action();
    }
    if (ArmedNth == 0 || (ArmedOperation != Operation::Any && ArmedOperation != operation))
        return false;
    if (Happened && ArmedFault == Fault::Lasting)
        return true;
    if (++Seen != ArmedNth)
        return false;
    Happened = true;
    return true;
}

}  // namespace

void Arm(Operation operation, int nth, Fault fault)
{
    ArmedOperation = operation;
    ArmedNth = nth;
    ArmedFault = fault;
    Seen = 0;
    Counted = 0;
    Happened = false;
    ReadsExhausted = WritesExhausted = false;
    HookAction = nullptr;
}

void Disarm() { ArmedNth = 0; }

void Before(Operation operation, int nth, std::function<void()> action)
{
    HookOperation = operation;
    HookNth = nth;
    HookSeen = 0;
    HookAction = std::move(action);
}
bool Triggered() { return Happened; }
int OperationsCounted() { return Counted; }
void Reset() { Arm(Operation::Any, 0, Fault::Fail); }
int OpenHandles() { return static_cast<int>(Handles.size()); }
int LiveBlocks() { return static_cast<int>(Blocks.size()); }

}  // namespace dorvan::test::fault

// The layer's table, put in place of the platform's before any test runs.
namespace dorvan::platform {

namespace {

using test::fault::ArmedFault;
using test::fault::Fault;
using test::fault::Operation;
using test::fault::Strikes;

int OpenFaulty(const char *path, FileMode mode, OpenFailure *failure)
{
    if (Strikes(Operation::Open)) {
        if (failure)
            *failure = OpenFailure::Other;
        return NoFile;
    }
    int handle = NativeFiles.open(path, mode, failure);
    if (handle != NoFile)
        test::fault::Handles.insert(handle);
    return handle;
}

int32_t ReadFaulty(int handle, void *buffer, int32_t count)
{
    if (Strikes(Operation::Read)) {
        if (ArmedFault == Fault::Fail || ArmedFault == Fault::Lasting)
            return -1;
        test::fault::ReadsExhausted = ArmedFault == Fault::Short;
        return NativeFiles.read(handle, buffer, count / 2);
    }
    return test::fault::ReadsExhausted ? 0 : NativeFiles.read(handle, buffer, count);
}

int32_t WriteFaulty(int handle, const void *buffer, int32_t count)
{
    if (Strikes(Operation::Write)) {
        if (ArmedFault == Fault::Fail || ArmedFault == Fault::Lasting)
            return -1;
        test::fault::WritesExhausted = ArmedFault == Fault::Short;
        return NativeFiles.write(handle, buffer, count / 2);
    }
    return test::fault::WritesExhausted ? -1 : NativeFiles.write(handle, buffer, count);
}

int32_t SeekFaulty(int handle, int32_t offset, SeekOrigin origin)
{
    return Strikes(Operation::Seek) ? -1 : NativeFiles.seek(handle, offset, origin);
}

bool ResizeFaulty(int handle, int32_t length)
{
    return Strikes(Operation::Resize) ? false : NativeFiles.resize(handle, length);
}

bool CloseFaulty(int handle)
{
    // A failed close still gives the handle back, as the system's does.
    bool struck = Strikes(Operation::Close);
    test::fault::Handles.erase(handle);
    bool closed = NativeFiles.close(handle);
    return closed && !struck;
}

bool SyncFaulty(int handle)
{
    return Strikes(Operation::Sync) ? false : NativeFiles.sync(handle);
}

bool SyncFolderFaulty(const char *path)
{
    return Strikes(Operation::SyncFolder) ? false : NativeFiles.syncFolder(path);
}

bool RemoveFaulty(const char *path)
{
    return Strikes(Operation::Remove) ? false : NativeFiles.remove(path);
}

int64_t LengthFaulty(int handle)
{
    return Strikes(Operation::Length) ? -1 : NativeFiles.length(handle);
}

bool ExistsFaulty(const char *path)
{
    return Strikes(Operation::Exists) ? false : NativeFiles.exists(path);
}

void *AllocateFaulty(size_t size)
{
    if (Strikes(Operation::Allocate))
        return nullptr;
    void *block = NativeFiles.allocate(size);
    if (block)
        test::fault::Blocks.insert(block);
    return block;
}

void ReleaseFaulty(void *block)
{
    if (block)
        test::fault::Blocks.erase(block);
    NativeFiles.release(block);
}

const FileTable FaultyFiles = {OpenFaulty,   ReadFaulty,   WriteFaulty,      SeekFaulty,     ResizeFaulty,
                               CloseFaulty,  SyncFaulty,   SyncFolderFaulty, RemoveFaulty,
                               LengthFaulty, ExistsFaulty, AllocateFaulty,   ReleaseFaulty};
const bool Installed = (Files = &FaultyFiles, true);

}  // namespace

}  // namespace dorvan::platform
