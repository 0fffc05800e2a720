#include <set>

#include "fault_injection.h"
#include "platform/file_access.h"
#include "platform/memory.h"

namespace dorvan::test::fault {

namespace {

Operation ArmedOperation = Operation::Any;
int ArmedNth = 0;  // 0: disarmed
Fault ArmedFault = Fault::Fail;
bool FreshStrike = false;  // the operation struck is the armed one, not a later one
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
    FreshStrike = false;
    if (Happened && (ArmedFault == Fault::Lasting || ArmedFault == Fault::Cut))
        return true;
    if (++Seen != ArmedNth)
        return false;
    Happened = FreshStrike = true;
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

// The layer's tables, put in place of the platform's before any test runs.
namespace dorvan::platform {

namespace {

using test::fault::ArmedFault;
using test::fault::Fault;
using test::fault::Operation;
using test::fault::Strikes;

Status OpenFolderFaulty(const char *path, int *folder)
{
    if (Strikes(Operation::OpenFolder)) {
        *folder = NoFile;
        return StatusOf(StatusCode::CannotOpen);
    }
    Status status = NativeFiles.openFolder(path, folder);
    if (status.Ok())
        test::fault::Handles.insert(*folder);
    return status;
}

Status OpenFaulty(int folder, const char *name, FileMode mode, int *handle)
{
    if (Strikes(Operation::Open)) {
        *handle = NoFile;
        return StatusOf(ArmedFault == Fault::Denied ? StatusCode::NotPermitted : StatusCode::CannotOpen);
    }
    Status status = NativeFiles.open(folder, name, mode, handle);
    if (status.Ok())
        test::fault::Handles.insert(*handle);
    return status;
}

// A read or write struck by a fault moves half of what was asked, or
// fails; after a Short fault, every later one of its kind moves nothing.
// Whether a read or write struck now moves half of what was asked.
bool MovesHalf()
{
    return ArmedFault == Fault::Short || ArmedFault == Fault::Partial || (ArmedFault == Fault::Cut && test::fault::FreshStrike);
}

// `read(asked)` reads `asked` bytes the native way.
template <typename Read>
Status ReadFaulty(Read read, int32_t count, int32_t *moved)
{
    *moved = 0;
    if (Strikes(Operation::Read)) {
        if (!MovesHalf())
            return StatusOf(StatusCode::ReadFailed);
        test::fault::ReadsExhausted = ArmedFault == Fault::Short;
        return read(count / 2);
    }
    return test::fault::ReadsExhausted ? Success : read(count);
}

Status ReadSomeFaulty(int handle, int32_t offset, void *buffer, int32_t count, int32_t *moved)
{
    return ReadFaulty([&](int32_t asked) { return NativeFiles.readSome(handle, offset, buffer, asked, moved); },
                      count, moved);
}

Status ReadNextFaulty(int handle, void *buffer, int32_t count, int32_t *moved)
{
    return ReadFaulty([&](int32_t asked) { return NativeFiles.readNext(handle, buffer, asked, moved); }, count,
                      moved);
}

Status WriteSomeFaulty(int handle, int32_t offset, const void *buffer, int32_t count, int32_t *moved)
{
    *moved = 0;
    if (Strikes(Operation::Write)) {
        if (!MovesHalf())
            return StatusOf(StatusCode::WriteFailed);
        test::fault::WritesExhausted = ArmedFault == Fault::Short;
        return NativeFiles.writeSome(handle, offset, buffer, count / 2, moved);
    }
    return test::fault::WritesExhausted ? StatusOf(StatusCode::WriteFailed)
                                        : NativeFiles.writeSome(handle, offset, buffer, count, moved);
}

Status ResizeFaulty(int handle, int32_t length)
{
    return Strikes(Operation::Resize) ? StatusOf(StatusCode::WriteFailed) : NativeFiles.resize(handle, length);
}

Status CloseFaulty(int handle)
{
    // A failed close still gives the handle back, as the system's does.
    bool struck = Strikes(Operation::Close);
    test::fault::Handles.erase(handle);
    Status closed = NativeFiles.close(handle);
    return struck ? StatusOf(StatusCode::WriteFailed) : closed;
}

Status SyncFaulty(int handle)
{
    return Strikes(Operation::Sync) ? StatusOf(StatusCode::WriteFailed) : NativeFiles.sync(handle);
}

Status SyncFolderFaulty(int folder)
{
    return Strikes(Operation::SyncFolder) ? StatusOf(StatusCode::WriteFailed) : NativeFiles.syncFolder(folder);
}

Status RemoveFaulty(int folder, const char *name)
{
    return Strikes(Operation::Remove) ? StatusOf(StatusCode::WriteFailed) : NativeFiles.remove(folder, name);
}

Status RenameNewFaulty(int folder, const char *from, const char *to)
{
    return Strikes(Operation::Rename) ? StatusOf(StatusCode::WriteFailed) : NativeFiles.renameNew(folder, from, to);
}

Status LengthFaulty(int handle, int64_t *length)
{
    return Strikes(Operation::Length) ? StatusOf(StatusCode::CannotSize) : NativeFiles.length(handle, length);
}

bool ExistsFaulty(int folder, const char *name)
{
    return Strikes(Operation::Exists) ? false : NativeFiles.exists(folder, name);
}

Status LockFaulty(int handle, FileLock kind)
{
    return Strikes(Operation::Lock) ? StatusOf(StatusCode::CannotOpen) : NativeFiles.lock(handle, kind);
}

void PauseNative(int milliseconds) { NativeFiles.pause(milliseconds); }

// A failure to tell a file's owner leaves it untrusted.
Status TrustedFaulty(int handle, int reference)
{
    return Strikes(Operation::Trust) ? StatusOf(StatusCode::WrittenByOther) : NativeFiles.trusted(handle, reference);
}

void *AllocateFaulty(size_t size)
{
    if (Strikes(Operation::Allocate))
        return nullptr;
    void *block = NativeMemory.allocate(size);
    if (block)
        test::fault::Blocks.insert(block);
    return block;
}

void ReleaseFaulty(void *block)
{
    if (block)
        test::fault::Blocks.erase(block);
    NativeMemory.release(block);
}

const FileTable FaultyFiles = {OpenFolderFaulty, OpenFaulty,   ReadSomeFaulty, WriteSomeFaulty, ReadNextFaulty,
                               ResizeFaulty,     CloseFaulty,  SyncFaulty,     SyncFolderFaulty, RemoveFaulty,
                               RenameNewFaulty,  LengthFaulty, ExistsFaulty,   LockFaulty,      PauseNative,
                               TrustedFaulty};
const MemoryTable FaultyMemory = {AllocateFaulty, ReleaseFaulty};
const bool Installed = (Files = &FaultyFiles, Memory = &FaultyMemory, true);

}  // namespace

}  // namespace dorvan::platform
