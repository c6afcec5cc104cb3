#pragma once
// Which running copies of the program use a folder: each holds a lock on one file there for
// as long as it runs. POSIX record locks, so a killed process never leaves a stale hold and a
// shared hold turns exclusive (or back) atomically.
#include "platform/core/AnsiString.h"

namespace tv::os {
// Tries to become the only user of `lockPath` (created when missing): true when no other
// running process holds it, and this process then holds it exclusively. False when another
// process holds it, or when the file cannot be created (then nothing is known and the
// caller must not assume it is alone).
bool TakeSoleUse(const AnsiString& lockPath);
// Holds `lockPath` shared: waits while another process holds it exclusively; turns this
// process's exclusive hold into a shared one.
void ShareUse(const AnsiString& lockPath);
// Ends this process's use. When no other running process holds the file, `ifLast` runs
// first, still under an exclusive hold. Returns whether it ran.
bool EndUse(const AnsiString& lockPath, void (*ifLast)(void*), void* arg);
// True when this process holds `lockPath`.
bool HoldsUse(const AnsiString& lockPath);
}  // namespace tv::os
