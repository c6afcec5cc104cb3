#pragma once
// Program folder, command line and the beep hook.
#include <functional>

#include "platform/core/AnsiString.h"

namespace tv::os {
// Folder of the running executable (real path of /proc/self/exe), with a trailing '/'.
AnsiString GetExeDir();
// Makes GetExeDir return `dir` (a trailing '/' is added); an empty text undoes it.
void SetProgramDirForTests(const AnsiString& dir);

// Stores the command line; call once from main.
void InitCommandLine(int argc, char** argv);

// MessageBeep goes through this hook; without one it does nothing.
void SetBeepHook(std::function<void()> hook);
}  // namespace tv::os

// Argument `index` of the command line; 0 is the executable's full path; "" when absent.
AnsiString ParamStr(int index);
// Number of arguments after the program name.
int ParamCount();
// Sounds the front end's beep (the type is accepted and ignored).
void MessageBeep(unsigned type = 0);
