#include "ledger/motor/DocumentoManual.h"

#include "ledger/motor/DuenoDiario.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "shared/general/Numeros.h"
#include "shared/motor/Rehusado.h"
#include "shared/motor/Celdas.h"

namespace tv::motor {

namespace {

using tv::db::Cell;


void EscribirLineas(tv::db::Connection& conn, const DocumentoManual& d) {
  tv::db::Stmt st = conn.Prepare(
      "INSERT INTO mvt (numecuen, cedulanit, detalle, centcost, desccomp, numecomp, debito, credito, Cantidad, "
      "rubro, descdocu, numedocu, fecha) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)");
  for (const LineaDiario& l : d.lineas) {
    st.Reset();
    st.Bind(1, TextoONulo(l.cuenta));
    st.Bind(2, TextoONulo(l.tercero));
    st.Bind(3, TextoONulo(l.detalle));
    st.Bind(4, TextoONulo(l.centroCosto));
    st.Bind(5, TextoONulo(l.descComp));
    st.Bind(6, TextoONulo(l.numeComp));
    st.Bind(7, Cell::Float(MontoDe(l.debito)));
    st.Bind(8, Cell::Float(MontoDe(l.credito)));
    st.Bind(9, Cell::Float(l.cantidad));
    st.Bind(10, TextoONulo(l.rubro));
    st.Bind(11, Cell::String(d.tipo));
    st.Bind(12, Cell::String(d.numero));
    st.Bind(13, Cell::String(d.fecha));
    st.Step();
  }
}

// El encabezado traído se reescribe (con el número nuevo si se renumera); las órdenes vacías
// dejan las guardadas, y la marca de plantilla y el detalle quedan como estaban.
void EscribirEncabezado(tv::db::Connection& conn, const DocumentoManual& d, std::int64_t valor) {
  tv::db::Stmt hay = conn.Prepare("SELECT 1 FROM mvtMaestro WHERE descdocu=?1 AND numedocu=?2");
  hay.Bind(1, Cell::String(d.tipo));
  hay.Bind(2, Cell::String(d.numeroTraido));
  bool existe = hay.Step();
  hay = tv::db::Stmt();
  if (!existe) {
    tv::db::Stmt ins = conn.Prepare("INSERT INTO mvtMaestro (descdocu, numedocu) VALUES (?1, ?2)");
    ins.Bind(1, Cell::String(d.tipo));
    ins.Bind(2, Cell::String(d.numeroTraido));
    ins.Step();
  }
  std::string sql = "UPDATE mvtMaestro SET numedocu=?3, fecha=?4, valor=?5, QItems=?6, Descuadre=0, iusuario=?7";
  for (int i = 0; i < 5; ++i)
    if (d.ordenes[i] != 0) sql += ", op" + std::to_string(i + 1) + "=" + std::to_string(d.ordenes[i]);
  tv::db::Stmt up = conn.Prepare(sql + " WHERE descdocu=?1 AND numedocu=?2");
  up.Bind(1, Cell::String(d.tipo));
  up.Bind(2, Cell::String(d.numeroTraido));
  up.Bind(3, Cell::String(d.numero));
  up.Bind(4, Cell::String(d.fecha));
  up.Bind(5, Cell::Float(MontoDe(valor)));
  up.Bind(6, Cell::Integer(static_cast<std::int64_t>(d.lineas.size())));
  up.Bind(7, TextoONulo(d.usuario));
  up.Step();
}

}  // namespace

Resultado GrabarDocumentoManual(const std::string& baseDatos, const DocumentoManual& d) {
  Resultado r;
  std::int64_t debitos = 0, creditos = 0;
  for (const LineaDiario& l : d.lineas) {
    debitos += l.debito;
    creditos += l.credito;
  }
  if (d.lineas.empty() || (debitos == 0 && creditos == 0)) {
    r.errores.push_back({"lineas", "No hay información para grabar."});
    return r;
  }
  if (debitos != creditos) {
    r.errores.push_back({"lineas", std::string("Saldos desiguales ") + Punto(MontoDe(debitos), 2) + " vs " +
                                       Punto(MontoDe(creditos), 2) +
                                       "\n Para grabar debe añadir un asiento ficticio que cuadre el documento."});
    return r;
  }
  auto conn = tv::db::ConnectionFor(baseDatos.c_str());
  try {
    tv::db::Transaction tx(baseDatos.c_str());
    // Otro número no puede caer sobre un documento que ya existe, sea de quien sea.
    if (d.numero != d.numeroTraido && DocumentoExiste(*conn, d.tipo, d.numero)) {
      r.errores.push_back({"numero", "Ya existe un documento con ese tipo y número."});
      r.numeroLibre = SiguienteNumeroLibre(*conn, d.tipo, d.numero);
      return r;
    }
    // Traído nuevo y grabado por otro entretanto: ese número ya no es de este documento, y
    // sus líneas pueden ir al siguiente libre sin tocar lo del otro.
    if (d.nuevoTraido && VersionDiario(*conn, d.tipo, d.numeroTraido) != d.versionTraida &&
        DocumentoExiste(*conn, d.tipo, d.numeroTraido)) {
      r.numeroLibre = d.numero != d.numeroTraido && !DocumentoExiste(*conn, d.tipo, d.numero)
                          ? d.numero
                          : SiguienteNumeroLibre(*conn, d.tipo, d.numero);
      if (!r.numeroLibre.empty()) {
        r.errores.push_back({"numero", "Otro usuario grabó el documento " + d.tipo + " " + d.numeroTraido +
                                           " mientras se digitaba este. Grabe de nuevo para guardar estas líneas "
                                           "con el número " + r.numeroLibre + "."});
        return r;
      }
    }
    // Sin permiso de modificar, un documento guardado (líneas o solo encabezado) nunca se
    // reescribe; el encabezado que el diálogo de detalle escribió tras traerlo no cuenta.
    if (!d.puedeModificar) {
      tv::db::Stmt lin = conn->Prepare("SELECT 1 FROM mvt WHERE descdocu=?1 AND numedocu=?2 LIMIT 1");
      lin.Bind(1, Cell::String(d.tipo));
      lin.Bind(2, Cell::String(d.numeroTraido));
      if (lin.Step() || d.encabezadoTraido) {
        r.errores.push_back({"permiso", "No tiene permisos para modificar asientos."});
        return r;
      }
    }
    // Cualquier escritura de sus líneas o de su encabezado desde que se trajo, de otro puesto,
    // de una orden de pago, de un comprobante programado o de otro programa.
    if (VersionDiario(*conn, d.tipo, d.numeroTraido) != d.versionTraida) {
      r.errores.push_back({"", kDocumentoModificado});
      return r;
    }
    {
      tv::db::Stmt del = conn->Prepare("DELETE FROM mvt WHERE descdocu=?1 AND numedocu=?2");
      del.Bind(1, Cell::String(d.tipo));
      del.Bind(2, Cell::String(d.numeroTraido));
      del.Step();
    }
    EscribirLineas(*conn, d);
    EscribirEncabezado(*conn, d, debitos);
    tx.Commit();
  } catch (const EDBEngineError& e) {
    return Rehusado(e, r);
  }
  r.grabado = true;
  return r;
}

}  // namespace tv::motor
