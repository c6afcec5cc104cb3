#pragma once
// Named steps of a repair, where a test can stop the program to kill it there.

namespace tv::db {

// Reached a step of a repair ("backup", "table", "written", "renamed", "rebuilt"). When
// TALLIVAR_TEST_REPAIR_STOP names this step, writes the file TALLIVAR_TEST_REPAIR_MARK and
// waits to be killed; otherwise returns at once.
void RepairStep(const char* step);

}  // namespace tv::db
