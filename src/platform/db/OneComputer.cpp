#include <filesystem>

#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/db/Storage.h"
#include "platform/os/ComputerClaim.h"
#include "platform/os/NetworkFolder.h"

namespace tv::db {

std::shared_ptr<void> ClaimForThisComputer(const std::string& folder) {
  std::string marker = folder + kDatabaseFileName + "-computador";
  // A local folder with a marker is one that another computer reaches over the network (the
  // computer that shares it sees it as local): it takes part too.
  std::error_code ec;
  if (!tv::os::OnNetworkFileSystem(folder) && !std::filesystem::exists(marker, ec)) return nullptr;
  tv::os::ComputerClaim claim = tv::os::ClaimForComputer(marker);
  if (!claim.granted) {
    std::string text = "Los libros están abiertos en el computador " + claim.holder +
                       ": en una carpeta de red solo un computador a la vez puede grabar.";
    // Without record locks the name stays after that computer ends: say how to free them.
    if (claim.lockless)
      text += "\nSi ese computador ya no tiene abierto el programa, borre el archivo " + marker + " para liberarlos.";
    ThrowEngine(DBIERR_DIRLOCKED, text);
  }
  return std::shared_ptr<void>(nullptr, [marker](void*) { tv::os::ReleaseComputerClaim(marker); });
}

}  // namespace tv::db
