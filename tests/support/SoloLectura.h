#pragma once
// Los libros abiertos vistos de solo lectura: la carpeta se monta encima de sí misma sin
// permiso de escribir y el módulo de datos los vuelve a abrir; al salir, todo como estaba.
// Posible() es falso donde la prueba no puede montar.
#include <sys/mount.h>

#include <string>

#include "app/DataModule.h"
#include "platform/db/DBTables.h"

namespace prueba {

class LibrosDeSoloLectura {
 public:
  explicit LibrosDeSoloLectura(const std::string& carpeta) : carpeta_(carpeta) {
    DM->CloseTablas();
    tv::db::ReleaseDatabase(carpeta_.c_str());
    montada_ = mount(carpeta_.c_str(), carpeta_.c_str(), nullptr, MS_BIND, nullptr) == 0;
    if (montada_ && mount(nullptr, carpeta_.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
      umount(carpeta_.c_str());
      montada_ = false;
    }
    DM->InitTablas(carpeta_.c_str());
  }
  ~LibrosDeSoloLectura() {
    DM->CloseTablas();
    tv::db::ReleaseDatabase(carpeta_.c_str());
    if (montada_) umount(carpeta_.c_str());
    DM->InitTablas(carpeta_.c_str());
  }
  bool Posible() const { return montada_; }

 private:
  std::string carpeta_;
  bool montada_ = false;
};

}  // namespace prueba
