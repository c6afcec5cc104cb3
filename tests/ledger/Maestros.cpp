#include "Maestros.h"

#include "platform/db/DBTables.h"

namespace maestros {

namespace {
std::string Q(const std::string& s) {
  if (s.empty()) return "NULL";
  std::string r = "'";
  for (char c : s) r += c == '\'' ? std::string("''") : std::string(1, c);
  return r + "'";
}
}  // namespace

void Maestros::SetUp() {
  Instalacion::SetUp();
  if (HasFatalFailure()) return;
  PlanCorto();
}

void Maestros::PlanCorto() {
  Ejecutar(libros, "DELETE FROM PL");
  for (const char* c : {"1", "11", "1105", "110505", "110510", "1110", "111005", "4", "41", "4105",
                        "410505"})
    Ejecutar(libros, std::string("INSERT INTO PL (numecuen, nombcuen) VALUES ('") + c +
                         "', 'Cuenta " + c + "')");
  Refrescar();
}

void Maestros::Agregar(const Linea& l) {
  Ejecutar(libros,
           "INSERT INTO MVT (numecuen, fecha, debito, credito, Cantidad, centcost, cedulanit, "
           "descdocu, numedocu, desccomp, detalle) VALUES (" +
               Q(l.cuenta) + ", " + Q(l.fecha) + ", " + std::to_string(l.debito) + ", " +
               std::to_string(l.credito) + ", " + l.cantidad + ", " + Q(l.centcost) + ", " +
               Q(l.tercero) + ", " + Q(l.docu) + ", " + Q(l.numero) + ", " + Q(l.comp) +
               ", 'detalle " + l.cuenta + "')");
}

void Maestros::Tercero(const std::string& id, const std::string& nombre) {
  Ejecutar(libros, "INSERT INTO TC (CedulaNIT, nombre, tipoDocumento) VALUES (" + Q(id) + ", " +
                       Q(nombre) + ", '1')");
  Refrescar();
}

void Maestros::Refrescar() {
  for (TTable* t : {DM->TblPlan, DM->TblTerceros, DM->TblCCostos, DM->TblDocumentos,
                    DM->TblSoportes, DM->TblMovimiento})
    if (t->Active) t->Refresh();
}

}  // namespace maestros
