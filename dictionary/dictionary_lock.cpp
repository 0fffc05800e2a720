#include "dictionary/dictionary_lock.h"

namespace dorvan {

namespace {

// A try every millisecond or two: a waiter starts within that of the
// holder's end, so that setups side by side take hardly longer than one
// after another, and each try is one system call.
constexpr int Pauses[] = {1, 2};
constexpr int PauseSteps = sizeof Pauses / sizeof Pauses[0];

}  // namespace

Status HoldDictionary(DictionaryFolder &folder, platform::FileLock kind)
{
    platform::FileHandle &lock = folder.lock;
    if (!lock.IsOpen()) {
        const Status opened = lock.Open(folder.Get(), DictionaryFileName, platform::FileMode::ReadOnly);
        if (!opened.Ok())
            return Concerning(opened, FileRole::Dictionary);
    }
    for (int waited = 0, step = 0;; ++step) {
        if (platform::FileTakeLock(lock.Get(), kind).code != StatusCode::FileInUse)
            return Success;
        if (waited >= DictionaryWaitMilliseconds)
            return StatusOf(StatusCode::FileInUse, FileRole::Dictionary);
        const int pause = Pauses[step < PauseSteps ? step : PauseSteps - 1];
        platform::Pause(pause);
        waited += pause;
    }
}

}  // namespace dorvan
