#pragma once
// El esquema de la aplicación para la reparación, como se lo da el módulo de datos.
#include "app/schema/Schema.h"
#include "shared/dialogs/RepairDialog.h"

inline EsquemaReparacion EsquemaDePrueba() {
  EsquemaReparacion e;
  e.crearTablas = [](sqlite3* db, bool programa) {
    tv::schema::CreateMissingTables(db, programa ? tv::schema::Place::Program : tv::schema::Place::Books);
  };
  e.completar = [](const std::string& carpeta, bool programa) {
    if (programa) tv::schema::UpgradeProgram(carpeta);
    else tv::schema::UpgradeBooks(carpeta);
  };
  return e;
}
