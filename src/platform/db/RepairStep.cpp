#include "platform/db/RepairStep.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace tv::db {

void RepairStep(const char* step) {
  const char* stop = std::getenv("TALLIVAR_TEST_REPAIR_STOP");
  const char* mark = std::getenv("TALLIVAR_TEST_REPAIR_MARK");
  if (!stop || !mark || std::strcmp(stop, step) != 0) return;
  // Written under another name and renamed, so the test never reads half a mark.
  std::string tmp = std::string(mark) + ".tmp";
  if (FILE* f = std::fopen(tmp.c_str(), "w")) {
    std::fputs(step, f);
    std::fclose(f);
    std::rename(tmp.c_str(), mark);
  }
  // Waits for the kill; a test that died first leaves no process behind.
  pid_t parent = getppid();
  while (getppid() == parent) sleep(1);
  std::_Exit(4);
}

}  // namespace tv::db
