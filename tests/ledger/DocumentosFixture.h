#pragma once
// Contabilidad inicial con documentos contables escritos a mano: líneas en MVT, encabezados
// en mvtMaestro y terceros en TC, vistos por las tablas del módulo de datos.
#include <string>

#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "platform/db/DBTables.h"
#include "platform/report/ReportUi.h"
#include "shared/general/SqlUtil.h"
#include "support/Instalacion.h"

namespace ledger {

class Documentos : public admin::Instalacion {
 protected:
  void SetUp() override {
    admin::Instalacion::SetUp();
    tv::report::HeadlessUi().Clear();
  }

  void Sql(const std::string& sql) {
    TQuery q(nullptr);
    HagaSQL("Contabilidad", &q, sql);
    Refrescar();
  }
  static void Refrescar() {
    for (TTable* t : {DM->TblMovimiento, DM->tblMvtMaestro, DM->TblTerceros, DM->TblDocumentos, DM->TblPlan})
      if (t->Active) t->Refresh();
  }
  void Linea(const std::string& tipo, const std::string& num, const std::string& cuenta, double debito,
             double credito, const std::string& tercero = "", const std::string& detalle = "",
             const std::string& fecha = "2026-03-15") {
    Sql("insert into mvt (descdocu, numedocu, numecuen, cedulanit, detalle, debito, credito, fecha) values (" +
        std::string(TextoSQL(tipo.c_str()).c_str()) + "," + TextoSQL(num.c_str()).c_str() + "," +
        TextoSQL(cuenta.c_str()).c_str() + "," + TextoSQL(tercero.c_str()).c_str() + "," +
        TextoSQL(detalle.c_str()).c_str() + "," + NumeroSQL(debito).c_str() + "," + NumeroSQL(credito).c_str() +
        ",'" + fecha + "')");
  }
  void Encabezado(const std::string& tipo, const std::string& num, double valor, const std::string& detalle = "") {
    Sql("insert into mvtMaestro (descdocu, numedocu, fecha, valor, detalle) values (" +
        std::string(TextoSQL(tipo.c_str()).c_str()) + "," + TextoSQL(num.c_str()).c_str() + ",'2026-03-15'," +
        NumeroSQL(valor).c_str() + "," + TextoSQL(detalle.c_str()).c_str() + ")");
  }
  void NuevoTercero(const std::string& id, const std::string& nombre, const std::string& direccion) {
    Sql("insert into TC (CedulaNIT, nombre, direccion) values (" + std::string(TextoSQL(id.c_str()).c_str()) +
        "," + TextoSQL(nombre.c_str()).c_str() + "," + TextoSQL(direccion.c_str()).c_str() + ")");
  }
  std::string Libros(const std::string& sql) { return Valor(libros, sql); }
  int Cuenta(const std::string& sql) { return std::stoi(Valor(libros, sql)); }
};

}  // namespace ledger
