#pragma once
// Version of this build (what the version resource used to give).
#include "platform/core/AnsiString.h"

namespace tv::os {
// "major.minor.patch" from the project version.
AnsiString GetBuildVersion();
}  // namespace tv::os
