#include "platform/os/BuildVersion.h"

#include "platform/os/BuildInfo.h"

namespace tv::os {
AnsiString GetBuildVersion() {
  return AnsiString(TALLIVAR_VERSION);
}
}  // namespace tv::os
