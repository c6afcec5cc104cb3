#pragma once
// Registro de instalación (cfgOV.db de la carpeta del programa).
#include "platform/core/AnsiString.h"

class TTable;

// Objeto de vida corta: cada lector del registro construye uno.
class TcfgOV {
 public:
  TcfgOV();  // lanza el error del motor cuando la tabla no abre
  ~TcfgOV();
  TcfgOV(const TcfgOV&) = delete;
  TcfgOV& operator=(const TcfgOV&) = delete;

  bool getUsoPropio() const { return usoPropio; }

  bool usoPropio = false;
  TTable* tblCfgOV = nullptr;
};
