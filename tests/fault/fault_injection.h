// A test-only file layer put between the library and the system in the
// fault-injection test program: it counts every file operation and heap
// block, and can make a chosen one fail or come back short.
#pragma once

#include <cstdint>
#include <functional>

namespace dorvan::test::fault {

enum class Operation {
    OpenFolder, Open, Read, Write, Resize, Close, Sync, SyncFolder, Remove, Rename, Length, Exists, Lock, Trust,
    Allocate, Any
};

enum class Fault {
    Fail,     // the operation fails (an allocation answers null)
    Short,    // a read or write moves half of what was asked, and every later
              // one of its kind moves nothing (a write then fails), as on a
              // full disk or a file cut short; other operations fail
    Partial,  // a read or write moves half, later ones work again: the
              // platform layer asks again for the rest
    Lasting,  // the operation fails, and so does every later one of its
              // kind (of every kind for Any), as on a device that went away
    Cut,      // a read or write moves half, then every operation fails, as on
              // a device that went away in the middle of a write
    Denied,   // an open is refused for want of rights; other operations fail
};

// Arms the `nth` (from 1) operation of kind `operation` from now on.
void Arm(Operation operation, int nth, Fault fault);
void Disarm();

// Runs `action` just before the `nth` operation of kind `operation` (of
// any kind for Any), which then goes ahead normally: for changing a file
// behind the library's back, or stopping the process there.
void Before(Operation operation, int nth, std::function<void()> action);

bool Triggered();         // whether the armed fault has happened
int OperationsCounted();  // operations since the last Arm or Reset
void Reset();             // counts from zero, disarmed

int OpenHandles();  // handles opened through the layer and not closed
int LiveBlocks();   // heap blocks allocated through the layer and not released

}  // namespace dorvan::test::fault
