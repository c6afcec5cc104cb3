#pragma once
// Derechos del usuario que entró y clave del administrador de la contabilidad.
#include "platform/core/AnsiString.h"

// Usuario administrador (se compara en minúsculas).
inline constexpr const char* kLoginAdministrador = "gestordelibro";
inline constexpr const char* kNombreAdministrador = "Administrador";
bool EsAdministrador(const AnsiString& login);

class TPermisos {
 public:
  // Carga los derechos de Login y la clave del administrador desde DM->TblPermisos.
  void Init();
  bool GetPermisoModificar() const { return BModificar; }
  bool GetPermisoGrabar() const { return BGrabar; }
  bool GetPermisoBorrar() const { return BBorrar; }
  // Resumen guardado de la clave del administrador ("" sin administrador).
  AnsiString GetClaveAdmin() const { return claveAdmin; }

  bool BModificar = false;
  bool BGrabar = false;
  bool BBorrar = false;
  AnsiString claveAdmin;
};

extern TPermisos Permisos;
