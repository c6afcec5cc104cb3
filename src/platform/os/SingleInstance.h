#pragma once
// One running copy per user: a lock file held for the life of the process.
#include "platform/core/AnsiString.h"

namespace tv::os {
// Takes the lock named `name` (e.g. "tallivar-p.exe"). False only when another process
// holds it; when the lock file cannot be created at all the program is let through.
// Taking a lock this process already holds returns true.
bool AcquireSingleInstance(const AnsiString& name);
// Path of the lock file for `name`: $XDG_RUNTIME_DIR/<name>.lock, else /tmp/<name>-<uid>.lock.
AnsiString SingleInstanceLockPath(const AnsiString& name);
// Lets the lock go (tests; the process end does it otherwise).
void ReleaseSingleInstance(const AnsiString& name);
}  // namespace tv::os
