#pragma once
// What the crash test and its worker share: a block of shared memory in which the worker announces
// each store operation before it starts it and again when it has finished. The block outlives the
// worker, so after the worker has been killed the test can tell which operation was in flight.
#include <windows.h>

namespace crash {

enum class OpKind : LONG { kNone = 0, kSave, kDescribe, kDelete };

struct Op {
  OpKind kind = OpKind::kNone;
  LONG index = 0;       // list index of the saved ID described or deleted
  LONG failed = 0;      // the program answered with an error box instead of "Done!"
  char text[240] = {};  // save: the InstallKey written to the registry; describe: the description typed
};

inline constexpr LONG kRingSize = 1024;  // ops one worker may run before it waits to be killed

// Sequence numbers count operations over the whole test, across worker restarts. The worker numbers
// its operations from `first_seq` (given on its command line) and stores op s at ops[s - first_seq].
struct Shared {
  volatile LONG ready;   // the worker has started up and loaded the store
  volatile LONG begun;   // sequence number of the last operation started (first_seq - 1: none yet)
  volatile LONG done;    // sequence number of the last operation finished
  volatile LONG worker_error;  // the worker could not run (details in message)
  wchar_t message[512];        // the text of the first error box, or why the worker stopped
  Op ops[kRingSize];
};

}  // namespace crash
