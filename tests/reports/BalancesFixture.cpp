#include "BalancesFixture.h"

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Mask.h"

namespace balances_test {

void Balances::SetUp() {
  admin::Instalacion::SetUp();
  Ejecutar(libros, "DELETE FROM PL");
  Ejecutar(libros, "DELETE FROM MVT");
  Ejecutar(libros, "DELETE FROM baltempestados");
  Ejecutar(libros,
           "UPDATE ConfigContab SET IEmpresa='Colegio San José', NIT='890.123.456-7', Utilidad='360505', "
           "Perdida='361005'");
  for (auto [c, n] : std::vector<std::pair<const char*, const char*>>{
           {"1", "ACTIVO"},          {"11", "DISPONIBLE"},    {"1105", "CAJA"},
           {"110505", "CAJA GENERAL"}, {"110510", "CAJA MENOR"}, {"1110", "BANCOS"},
           {"111005", "BANCO UNO"},  {"14", "INVENTARIOS"},   {"145", "MATERIALES"},
           {"2", "PASIVO"},          {"23", "CUENTAS POR PAGAR"}, {"2335", "COSTOS Y GASTOS POR PAGAR"},
           {"233505", "HONORARIOS"}, {"3", "PATRIMONIO"},     {"31", "CAPITAL"},
           {"3105", "CAPITAL SUSCRITO"}, {"310505", "APORTES"}, {"4", "INGRESOS"},
           {"41", "OPERACIONALES"},  {"4170", "ENSEÑANZA"},    {"417005", "MATRICULAS"},
           {"5", "GASTOS"},          {"51", "ADMINISTRACION"}, {"5105", "PERSONAL"},
           {"510505", "SUELDOS"},    {"8", "DEUDORAS"},       {"81", "DERECHOS"},
           {"8105", "BIENES"},       {"810505", "BIENES RECIBIDOS"}, {"9", "ACREEDORAS"},
           {"91", "RESPONSABILIDADES"}, {"9105", "CONTRATOS"}, {"910505", "CONTRATOS FIRMADOS"}})
    Cuenta(c, n);
  Linea("2025-12-31", "CSI", "1", "110505", 1000, 0);
  Linea("2025-12-31", "CSI", "1", "310505", 0, 1000);
  Linea("2026-01-10", "CI", "1", "110505", 500, 0);
  Linea("2026-01-10", "CI", "1", "417005", 0, 500);
  Linea("2026-01-20", "CE", "1", "510505", 200, 0);
  Linea("2026-01-20", "CE", "1", "110505", 0, 200);
  Linea("2026-01-15", "MEM", "1", "810505", 50, 0);
  Linea("2026-01-15", "MEM", "1", "910505", 0, 50);
  Linea("2026-01-25", "CE", "2", "145", 10, 0);
  Linea("2026-01-25", "CE", "2", "233505", 0, 10);
  Linea("2026-02-05", "CI", "2", "111005", 300, 0);
  Linea("2026-02-05", "CI", "2", "417005", 0, 300);
  for (TTable* t : {DM->TblPlan, DM->TblMovimiento, DM->TblBal, DM->TblConfigContab}) t->Refresh();
}

void Balances::TearDown() {
  delete ventana_;
  ventana_ = nullptr;
  FrmBalances = nullptr;
  admin::Instalacion::TearDown();
}

void Balances::Linea(const std::string& fecha, const std::string& docu, const std::string& numero,
                     const std::string& cuenta, double debito, double credito) {
  Ejecutar(libros, "INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito, credito) VALUES ('" + cuenta +
                       "', '" + docu + "', '" + numero + "', '" + fecha + "', " + std::to_string(debito) + ", " +
                       std::to_string(credito) + ")");
  DM->TblMovimiento->Refresh();
}

void Balances::Cuenta(const std::string& codigo, const std::string& nombre) {
  Ejecutar(libros, "INSERT INTO PL (numecuen, nombcuen) VALUES ('" + codigo + "', '" + nombre + "')");
  DM->TblPlan->Refresh();
}

TFrmBalances* Balances::Ventana(int llamado) {
  delete ventana_;
  FrmBalances = ventana_ = new TFrmBalances(nullptr);
  ventana_->Llamado = llamado;
  ventana_->EdFechaInicio->Text = "01/01/2026";
  ventana_->EdFechaFinal->Text = "31/01/2026";
  ventana_->FormActivate(ventana_);
  return ventana_;
}

void Balances::Procesar(TFrmBalances* f) { f->BtnInforme->Click(); }

std::vector<Fila> Balances::Filas() {
  std::vector<Fila> r;
  TTable* t = DM->TblBal;
  t->Refresh();
  for (t->First(); !t->Eof; t->Next()) {
    auto v = [t](const char* c) { return static_cast<double>(t->FieldByName(c)->AsFloat); };
    r.push_back(Fila{t->FieldByName("Numecuen")->AsString.str(), v("SaldoDebito"), v("SaldoCredito"), v("Debito"),
                     v("Credito"), v("NuevoDebito"), v("NuevoCredito"), v("NuevoSaldo")});
  }
  return r;
}

std::vector<std::string> Balances::Codigos() {
  std::vector<std::string> r;
  for (const Fila& f : Filas()) r.push_back(f.cuenta);
  return r;
}

const Fila* Balances::Buscar(const std::vector<Fila>& filas, const std::string& cuenta) {
  for (const Fila& f : filas)
    if (f.cuenta == cuenta) return &f;
  return nullptr;
}

}  // namespace balances_test
