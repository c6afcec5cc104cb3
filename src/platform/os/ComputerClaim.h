#pragma once
// One computer at a time on a shared folder: a marker file names the computer whose programs
// write there, and each of its running copies holds a POSIX record lock on it. The lock ends
// with the process (and, over NFS or SMB, with the client's session or lease), so a computer
// that crashed never keeps the folder for good. Copies on the same computer share the claim.
#include <string>

namespace tv::os {
// This computer's name as others read it: TALLIVAR_COMPUTER_NAME when set (a test presents
// another computer), else the host name.
std::string ComputerName();

struct ComputerClaim {
  bool granted = false;
  std::string holder;     // when refused: the computer that holds the folder
  bool lockless = false;  // when refused: the file system offers no record locks, so only
                          // the name in the marker says who holds it (it stays until removed)
};

// Joins this process to the computer that writes where `markerPath` lives (created when
// missing). Granted when no running copy holds the marker, or those that do run on this
// computer; then this process holds it until the matching ReleaseComputerClaim. Granted too
// when the marker cannot be created at all (nothing is known).
ComputerClaim ClaimForComputer(const std::string& markerPath);
// Ends one claim of this process; the last one lets the lock go.
void ReleaseComputerClaim(const std::string& markerPath);
}  // namespace tv::os
