#include <set>

#include "fault_injection.h"
#include "platform/native_file_access.h"

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
    if (HookAction && HookOperation == operation && ++HookSeen == HookNth) {
        auto action = std::move(HookAction);
        HookAction = nullptr;
        action();
    }
    if (ArmedNth == 0 || (ArmedOperation != Operation::Any && ArmedOperation != operation))
        return false;
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

namespace dorvan::platform {

using test::fault::ArmedFault;
using test::fault::Fault;
using test::fault::Operation;
using test::fault::Strikes;

int FileOpen(const char *path, FileMode mode, OpenFailure *failure)
{
    if (Strikes(Operation::Open)) {
        if (failure)
            *failure = OpenFailure::Other;
        return NoFile;
    }
    int handle = native::FileOpen(path, mode, failure);
    if (handle != NoFile)
        test::fault::Handles.insert(handle);
    return handle;
}

int32_t FileRead(int handle, void *buffer, int32_t count)
{
    if (Strikes(Operation::Read)) {
        if (ArmedFault == Fault::Fail)
            return -1;
        test::fault::ReadsExhausted = ArmedFault == Fault::Short;
        return native::FileRead(handle, buffer, count / 2);
    }
    return test::fault::ReadsExhausted ? 0 : native::FileRead(handle, buffer, count);
}

int32_t FileWrite(int handle, const void *buffer, int32_t count)
{
    if (Strikes(Operation::Write)) {
        if (ArmedFault == Fault::Fail)
            return -1;
        test::fault::WritesExhausted = ArmedFault == Fault::Short;
        return native::FileWrite(handle, buffer, count / 2);
    }
    return test::fault::WritesExhausted ? -1 : native::FileWrite(handle, buffer, count);
}

int32_t FileSeek(int handle, int32_t offset, SeekOrigin origin)
{
    return Strikes(Operation::Seek) ? -1 : native::FileSeek(handle, offset, origin);
}

bool FileResize(int handle, int32_t length)
{
    return Strikes(Operation::Resize) ? false : native::FileResize(handle, length);
}

bool FileClose(int handle)
{
    // A failed close still gives the handle back, as the system's does.
    bool struck = Strikes(Operation::Close);
    test::fault::Handles.erase(handle);
    bool closed = native::FileClose(handle);
    return closed && !struck;
}

int64_t FileLength(int handle)
{
    return Strikes(Operation::Length) ? -1 : native::FileLength(handle);
}

bool FileExists(const char *path)
{
    return Strikes(Operation::Exists) ? false : native::FileExists(path);
}

void *MemoryAllocate(size_t size)
{
    if (Strikes(Operation::Allocate))
        return nullptr;
    void *block = native::MemoryAllocate(size);
    if (block)
        test::fault::Blocks.insert(block);
    return block;
}

void MemoryRelease(void *block)
{
    if (block)
        test::fault::Blocks.erase(block);
    native::MemoryRelease(block);
}

}  // namespace dorvan::platform
