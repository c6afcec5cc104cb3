#include "app/Permisos.h"

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Dialogs.h"

TPermisos Permisos;

bool EsAdministrador(const AnsiString& login) { return login.LowerCase() == kLoginAdministrador; }

void TPermisos::Init() {
  TTable* tbl = DM->TblPermisos;
  if (tbl->IsEmpty()) {
    tbl->Append();
    tbl->FieldByName("LOGIN")->AsString = kLoginAdministrador;
    tbl->FieldByName("NUSUARIO")->AsString = kNombreAdministrador;
    tbl->FieldByName("PASSWORD")->Clear();
    tbl->FieldByName("BBorrar")->AsBoolean = true;
    tbl->FieldByName("BModificar")->AsBoolean = true;
    tbl->FieldByName("BGrabar")->AsBoolean = true;
    tbl->Post();
    BModificar = BGrabar = BBorrar = true;
  } else if (tbl->Locate("LOGIN", Variant(Login))) {
    BModificar = tbl->FieldByName("BModificar")->AsBoolean;
    BGrabar = tbl->FieldByName("BGrabar")->AsBoolean;
    BBorrar = tbl->FieldByName("BBorrar")->AsBoolean;
  } else {
    ShowMessage("Existe un problema con las tablas. Pulse aceptar para repararlas.");
    RepararYReabrir(nullptr, PathCont, false);
    tbl = DM->TblPermisos;
    if (!tbl->Active) return;
  }
  if (tbl->Locate("LOGIN", Variant(AnsiString(kLoginAdministrador))))
    claveAdmin = tbl->FieldByName("PASSWORD")->AsString;
}
