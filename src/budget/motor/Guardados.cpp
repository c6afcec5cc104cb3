#include "budget/motor/Guardados.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "app/schema/Versiones.h"

namespace tv::motor {

namespace {

using tv::db::Cell;

// Un documento numerado: su tabla, su número, su clase de versión y las columnas de otras tablas
// que llevan su número.
struct Numeracion {
  const char* tabla;
  const char* campo;
  const char* clase;
  std::vector<std::pair<const char*, const char*>> siguen;
  const char* primero;  // bajar sin ninguno debajo y sin hueco
  const char* sinHueco;  // bajar con el número de abajo tomado
};

const Numeracion& De(Numerado d) {
  static const Numeracion certificado{"mvtCertDisp", "icd", "CD",
                                      {{"pac", "icd"}, {"mvtRegPptal", "icd"}, {"certDispRubros", "icd"}},
                                      "El primer número es 1. Imposible disminuir.",
                                      "El anterior CD debe tener un número no consecutivo."};
  static const Numeracion registro{
      "mvtRegPptal", "irp", "RP",
      {{"mvtOrdenPago", "irp"}, {"mvtOrdenServicio", "irp"}, {"mvtOrdenSumiMaestro", "irp"}},
      "El anterior Reg. Pptal. debe tener un número no consecutivo.",
      "El anterior Reg. Pptal. debe tener un número no consecutivo."};
  static const Numeracion servicio{"mvtOrdenServicio", "iOrdenServicio", "OS", {}, "Inicio de la numeración.",
                                   "La orden anterior debe tener un número no consecutivo."};
  static const Numeracion suministro{"mvtOrdenSumiMaestro", "iOrdenSuministro", "SU",
                                     {{"mvtOrdenSuministro", "iOrdenSuministro"}}, "Inicio de la numeración.",
                                     "La orden anterior debe tener un número no consecutivo."};
  switch (d) {
    case Numerado::Certificado: return certificado;
    case Numerado::Registro: return registro;
    case Numerado::OrdenServicio: return servicio;
    default: return suministro;
  }
}

std::int64_t Entero(const Cell& c) {
  return c.kind == Cell::Int ? c.i : static_cast<std::int64_t>(std::floor(c.Number()));
}

bool VersionAlDia(Libros& l, const char* clase, const std::string& clave, long long traida, Resultado& r) {
  if (tv::schema::VersionDoc(l.Conexion().Db(), clase, clave) == traida) return true;
  r.Error("version", kDocumentoModificado);
  return false;
}

// Borra las filas de cada tabla cuyo campo es el número, tras revisar la versión.
Resultado Borrar(const char* clase, std::int64_t numero, long long traida,
                 std::initializer_list<std::pair<const char*, const char*>> tablas) {
  return EnTransaccion([&](Libros& l, Resultado& r) {
    if (!VersionAlDia(l, clase, tv::schema::ClaveDoc(numero), traida, r)) return;
    for (const auto& [tabla, campo] : tablas)
      l.Ejecutar(std::string("delete from ") + tabla + " where " + campo + "=?", {NumeroCelda(numero)});
  });
}

}  // namespace

VersionesLeidas VersionesDeClase(const std::string& clase) {
  VersionesLeidas v;
  Libros l;
  try {
    tv::db::Stmt st = l.Conexion().Prepare(std::string("select clave, version from \"") +
                                           tv::schema::kTablaVersionesDoc + "\" where clase=?");
    st.Bind(1, Cell::String(clase));
    while (st.Step()) {
      Cell c = st.Column(0);
      v[c.kind == Cell::Text ? c.s : c.kind == Cell::Int ? std::to_string(c.i) : std::string()] = Entero(st.Column(1));
    }
  } catch (const EDBEngineError&) {
    // Libros sin tabla de versiones: ningún cambio registrado.
  }
  return v;
}

long long VersionLeida(const VersionesLeidas& v, const std::string& clave) {
  auto it = v.find(clave);
  return it == v.end() ? 0 : it->second;
}

long long VersionLeida(const VersionesLeidas& v, std::int64_t numero) {
  return VersionLeida(v, tv::schema::ClaveDoc(numero));
}

long long VersionGuardada(const std::string& clase, const std::string& clave) {
  Libros l;
  return tv::schema::VersionDoc(l.Conexion().Db(), clase, clave);
}

std::string ClaveMovimiento(const std::string& numero, const std::string& tipo) { return numero + "|" + tipo; }

Resultado BorrarCertificado(std::int64_t icd, long long versionTraida) {
  return Borrar("CD", icd, versionTraida, {{"mvtCertDisp", "icd"}, {"certdisprubros", "icd"}, {"pac", "icd"}});
}

Resultado BorrarRegistro(std::int64_t irp, long long versionTraida) {
  return Borrar("RP", irp, versionTraida, {{"mvtRegPptal", "irp"}});
}

Resultado BorrarOrdenServicio(std::int64_t numero, long long versionTraida) {
  return Borrar("OS", numero, versionTraida, {{"mvtOrdenServicio", "iOrdenServicio"}});
}

Resultado BorrarOrdenSuministro(std::int64_t numero, long long versionTraida) {
  return Borrar("SU", numero, versionTraida,
                {{"mvtOrdenSumiMaestro", "iOrdenSuministro"}, {"mvtOrdenSuministro", "iOrdenSuministro"}});
}

Resultado BorrarMovimiento(const std::string& numero, const std::string& tipo, long long versionTraida) {
  return EnTransaccion([&](Libros& l, Resultado& r) {
    if (!VersionAlDia(l, "MP", ClaveMovimiento(numero, tipo), versionTraida, r)) return;
    Cell n = Cell::String(numero), t = Cell::String(tipo);
    l.Ejecutar("delete from MvtPptalMaestro where iMvtPptal=? and tipoMvtPptal=?", {n, t});
    l.Ejecutar("delete from mvtPptal where iMvtPptal=? and tipoMvtPptal=?", {n, t});
  });
}

Resultado CorrerNumeracion(Numerado documento, std::int64_t desde, int paso, long long versionTraida) {
  const Numeracion& d = De(documento);
  return EnTransaccion([&](Libros& l, Resultado& r) {
    std::string campo = d.campo, tabla = d.tabla;
    if (!l.Existe("select 1 from " + tabla + " where " + campo + "=?", {NumeroCelda(desde)}) ||
        !VersionAlDia(l, d.clase, tv::schema::ClaveDoc(desde), versionTraida, r)) {
      if (r.Grabado()) r.Error("version", kDocumentoModificado);
      return;
    }
    if (paso < 0) {
      Cell anterior = l.Valor("select max(" + campo + ") from " + tabla + " where " + campo + "<?", {NumeroCelda(desde)});
      std::int64_t debajo = anterior.IsNull() ? 0 : Entero(anterior);
      if (desde - debajo <= 1) {
        r.Error("numero", anterior.IsNull() ? d.primero : d.sinHueco);
        return;
      }
    }
    // Dos pasos: primero por encima de todo número guardado, luego a su lugar; el número es
    // clave y no puede repetirse a mitad de camino.
    std::vector<std::pair<const char*, const char*>> todas = {{d.tabla, d.campo}};
    todas.insert(todas.end(), d.siguen.begin(), d.siguen.end());
    std::int64_t alto = 0;
    for (const auto& [t, c] : todas) {
      Cell m = l.Valor(std::string("select max(") + c + ") from " + t);
      if (!m.IsNull()) alto = std::max(alto, Entero(m) + 1);
    }
    alto += 10;
    for (const auto& [t, c] : todas) {
      std::string col = c;
      l.Ejecutar(std::string("update ") + t + " set " + col + "=" + col + "+?+? where " + col + ">=?",
                 {Cell::Integer(paso), NumeroCelda(alto), NumeroCelda(desde)});
      l.Ejecutar(std::string("update ") + t + " set " + col + "=" + col + "-? where " + col + ">=?",
                 {NumeroCelda(alto), NumeroCelda(alto)});
    }
  });
}

}  // namespace tv::motor
