#include "budget/motor/OrdenesMotor.h"

#include <cmath>

namespace tv::motor {

namespace {

using tv::db::Cell;

struct ClaseOrden {
  const char* tabla;
  const char* campo;
  const char* clase;     // de la versión
  const char* nombre;    // "La orden de servicio"
};
const ClaseOrden kServicio{"mvtOrdenServicio", "iOrdenServicio", "OS", "La orden de servicio"};
const ClaseOrden kSuministro{"mvtOrdenSumiMaestro", "iOrdenSuministro", "SU", "La orden de suministro"};

std::string Numero(std::int64_t n) { return std::to_string(n); }

bool Guardada(Libros& l, const ClaseOrden& c, std::int64_t numero) {
  return l.Existe(std::string("select 1 from ") + c.tabla + " where " + c.campo + "=?", {NumeroCelda(numero)});
}

// Número libre, versión traída y registro grabado; lo que falla queda en el resultado.
void RevisarOrden(Libros& l, const ClaseOrden& c, std::int64_t numero, std::int64_t irp, const OrdenTraida& t,
                  Resultado& res) {
  bool otroNumero = t.nueva || numero != t.numero;
  if (otroNumero && Guardada(l, c, numero)) {
    res.siguiente = static_cast<std::int64_t>(std::floor(
                        l.Valor(std::string("select max(") + c.campo + ") from " + c.tabla).Number())) +
                    1;
    res.Error("numero", std::string(c.nombre) + " " + Numero(numero) + " ya fue grabada por otro usuario. Se propone "
                        "el número " + Numero(res.siguiente) + ".");
    return;
  }
  if (!t.nueva && l.Version(c.clase, t.numero) != t.version) {
    res.Error("version", kDocumentoModificado);
    return;
  }
  // Solo el registro que la orden toma ahora: una orden antigua sigue con el suyo.
  if (irp != 0 && (t.nueva || irp != t.irp) &&
      !l.Existe("select 1 from mvtRegPptal where irp=?", {NumeroCelda(irp)}))
    res.Error("irp", "El registro presupuestal " + Numero(irp) +
                         " no está grabado: grabe primero el registro al cual pertenece la orden.");
}

void RevisarTercero(Libros& l, const std::string& tercero, Resultado& res) {
  if (tercero.empty() || !l.Existe("select 1 from TC where cedulaNit=?", {Cell::String(tercero)}))
    res.Error("tercero", "Cédula o NIT inexistente.");
}

Cell Registro(std::int64_t irp) { return irp == 0 ? Cell() : NumeroCelda(irp); }

}  // namespace

std::int64_t TotalSuministro(const std::vector<RenglonSuministro>& renglones) {
  std::int64_t total = 0;
  for (const auto& r : renglones) total += std::llround(r.cantidad * static_cast<double>(r.valorUnit));
  return total;
}

long long VersionOrden(const std::string& clase, std::int64_t numero) {
  Libros l;
  return l.Version(clase, numero);
}

Resultado GrabarOrdenServicio(const OrdenServicio& o, const OrdenTraida& t) {
  return EnTransaccion([&](Libros& l, Resultado& res) {
    if (o.numero <= 0) res.Error("numero", "El número de la orden de servicio debe ser un entero mayor que 0.");
    if (o.valor <= 0) res.Error("valor", "El valor debe ser mayor que 0.");
    RevisarTercero(l, o.tercero, res);
    if (!res.Grabado()) return;
    RevisarOrden(l, kServicio, o.numero, o.irp, t, res);
    if (!res.Grabado()) return;
    std::initializer_list<Cell> valores = {NumeroCelda(o.numero),      Cell::String(o.fecha), TextoCelda(o.tercero),
                                           TextoCelda(o.descripcion), Registro(o.irp),       MontoCelda(o.valor),
                                           NumeroCelda(t.numero)};
    if (t.nueva)
      l.Ejecutar("insert into mvtOrdenServicio (iOrdenServicio, Fecha, itercero, descServicio, irp, valor) "
                 "values (?,?,?,?,?,?)",
                 {NumeroCelda(o.numero), Cell::String(o.fecha), TextoCelda(o.tercero), TextoCelda(o.descripcion),
                  Registro(o.irp), MontoCelda(o.valor)});
    else
      l.Ejecutar("update mvtOrdenServicio set iOrdenServicio=?, Fecha=?, itercero=?, descServicio=?, irp=?, valor=? "
                 "where iOrdenServicio=?",
                 valores);
    res.version = l.Version(kServicio.clase, o.numero);
  });
}

Resultado GrabarOrdenSuministro(const OrdenSuministro& o, const OrdenTraida& t) {
  return EnTransaccion([&](Libros& l, Resultado& res) {
    if (o.numero <= 0) res.Error("numero", "El número de la orden de suministro debe ser un entero mayor que 0.");
    if (o.renglones.empty()) res.Error("renglones", "Digite al menos un renglón con cantidad y valor unitario.");
    RevisarTercero(l, o.tercero, res);
    if (!res.Grabado()) return;
    RevisarOrden(l, kSuministro, o.numero, o.irp, t, res);
    if (!res.Grabado()) return;
    // Los renglones se reescriben; la traída que cambia de número se mueve con ellos.
    l.Ejecutar("delete from mvtOrdenSuministro where iOrdenSuministro=?", {NumeroCelda(t.nueva ? o.numero : t.numero)});
    for (const auto& r : o.renglones)
      l.Ejecutar("insert into mvtOrdenSuministro (iOrdenSuministro, iArticulo, cantidad, valorUnit) values (?,?,?,?)",
                 {NumeroCelda(o.numero), TextoCelda(r.articulo), Cell::Float(r.cantidad), MontoCelda(r.valorUnit)});
    Cell items = Cell::Integer(static_cast<std::int64_t>(o.renglones.size()));
    Cell total = MontoCelda(TotalSuministro(o.renglones));
    if (t.nueva)
      l.Ejecutar("insert into mvtOrdenSumiMaestro (iOrdenSuministro, Fecha, itercero, detalle, qItems, valorTotal, irp) "
                 "values (?,?,?,?,?,?,?)",
                 {NumeroCelda(o.numero), Cell::String(o.fecha), TextoCelda(o.tercero), TextoCelda(o.detalle), items,
                  total, Registro(o.irp)});
    else
      // El encabezado se edita: lo que la orden guarda y este formulario no toca (quién autorizó) queda.
      l.Ejecutar("update mvtOrdenSumiMaestro set iOrdenSuministro=?, Fecha=?, itercero=?, detalle=?, qItems=?, "
                 "valorTotal=?, irp=? where iOrdenSuministro=?",
                 {NumeroCelda(o.numero), Cell::String(o.fecha), TextoCelda(o.tercero), TextoCelda(o.detalle), items,
                  total, Registro(o.irp), NumeroCelda(t.numero)});
    res.version = l.Version(kSuministro.clase, o.numero);
  });
}

}  // namespace tv::motor
