#include "budget/motor/MovimientoMotor.h"

#include "app/schema/Versiones.h"
#include "budget/CalculosPptal.h"

namespace tv::motor {

namespace {

using tv::db::Cell;

Cell Monto(const std::optional<std::int64_t>& centavos) { return centavos ? MontoCelda(*centavos) : Cell(); }

// Lo que un renglón de traslado saca de su rubro: un egreso negativo o un ingreso.
std::int64_t Saca(const RenglonMovimiento& r) {
  std::int64_t egreso = r.egreso.value_or(0), ingreso = r.ingreso.value_or(0);
  if (egreso < 0) return -egreso;
  return ingreso > 0 ? ingreso : 0;
}

}  // namespace

Resultado GrabarMovimiento(const MovimientoPptal& m, long long versionTraida) {
  return EnTransaccion([&](Libros& l, Resultado& res) {
    std::string clave = m.numero + "|" + m.tipo;
    if (tv::schema::VersionDoc(l.Conexion().Db(), "MP", clave) != versionTraida) {
      res.Error("version", kDocumentoModificado);
      return;
    }
    Cell numero = Cell::String(m.numero), tipo = Cell::String(m.tipo);
    l.Ejecutar("delete from mvtPptal where iMvtPptal=? and tipoMvtPptal=?", {numero, tipo});
    l.Ejecutar("delete from MvtPptalMaestro where iMvtPptal=? and tipoMvtPptal=?", {numero, tipo});
    // Sin el documento viejo: su propio traslado no se cuenta dos veces.
    if (m.tipo == "TRA")
      for (const RenglonMovimiento& r : m.renglones) {
        std::int64_t saca = Saca(r);
        if (saca == 0) continue;
        AnsiString sinFondos = RevisarLimiteTraslado(r.rubro.c_str(), PesosDe(saca));
        if (!sinFondos.IsEmpty()) res.Error("traslado", sinFondos.str());
      }
    if (!res.Grabado()) return;
    for (const RenglonMovimiento& r : m.renglones)
      l.Ejecutar("insert into mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso, cuentaDebito, "
                 "cuentaCredito) values (?,?,?,?,?,?,?,?)",
                 {numero, tipo, TextoCelda(r.rubro), TextoCelda(r.tipo), Monto(r.ingreso), Monto(r.egreso),
                  TextoCelda(r.cuentaDebito), TextoCelda(r.cuentaCredito)});
    l.Ejecutar("insert into MvtPptalMaestro (iMvtPptal, tipoMvtPptal, fecha, detalle, iUsuario, version) "
               "values (?,?,?,?,?,?)",
               {numero, tipo, Cell::String(m.fecha), TextoCelda(m.detalle), TextoCelda(m.usuario),
                Cell::Integer(m.contadorEncabezado + 1)});
    res.version = tv::schema::VersionDoc(l.Conexion().Db(), "MP", clave);
  });
}

}  // namespace tv::motor
