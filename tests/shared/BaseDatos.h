#pragma once
// Carpeta temporal con unas tablas pequeñas, alcanzadas por el alias "Contabilidad".
#include "Entorno.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

namespace prueba {

class BaseDatos : public CarpetaTemporal {
 protected:
  void SetUp() override {
    CarpetaTemporal::SetUp();
    carpeta = dir.string() + "/";
    Session->AddStandardAlias("Contabilidad", carpeta.c_str(), "PARADOX");
    Exec("CREATE TABLE PL (numecuen VARCHAR(18) PRIMARY KEY, nombcuen VARCHAR(60), saldo NUMERIC,"
         " fecha DATE, nivel INTEGER)");
  }
  void TearDown() override {
    tv::db::ReleaseDatabase("Contabilidad");
    Session->DeleteAlias("Contabilidad");
    CarpetaTemporal::TearDown();
  }
  void Exec(const std::string& sql) { tv::db::ConnectionFor("Contabilidad")->Exec(sql); }
  long long Escalar(const std::string& sql) {
    auto conn = tv::db::ConnectionFor("Contabilidad");
    tv::db::Stmt st = conn->Prepare(sql);
    return st.Step() ? st.Column(0).i : -1;
  }
  // Cuentas de ejemplo: 1105 Caja, 1110 Bancos, 2205 Proveedores (saldo nulo).
  void Cuentas() {
    Exec("INSERT INTO PL VALUES ('1105', 'Caja', 1500.5, '2024-03-05', 4)");
    Exec("INSERT INTO PL VALUES ('1110', 'Bancos; \"central\"', 20, NULL, 4)");
    Exec("INSERT INTO PL VALUES ('2205', 'Proveedores', NULL, '2024-01-31', NULL)");
  }
  std::string carpeta;
};

}  // namespace prueba
