#include "budget/motor/RegistroMotor.h"

#include <cmath>

namespace tv::motor {

namespace {

using tv::db::Cell;

std::string Numero(std::int64_t n) { return std::to_string(n); }

const char* TablaOrden(TipoOrden t) { return t == TipoOrden::Servicio ? "mvtOrdenServicio" : "mvtOrdenSumiMaestro"; }
const char* CampoOrden(TipoOrden t) { return t == TipoOrden::Servicio ? "iOrdenServicio" : "iOrdenSuministro"; }
bool ConOrden(TipoOrden t, std::int64_t orden) { return t != TipoOrden::Descrito && orden != 0; }

// El número libre que se propone: la parte entera del mayor guardado, más 1.
std::int64_t SiguienteRegistro(Libros& l) {
  return static_cast<std::int64_t>(std::floor(l.Valor("select max(irp) from mvtRegPptal").Number())) + 1;
}

void RevisarNumeroYVersion(Libros& l, const RegistroPptal& r, const RegistroTraido& t, Resultado& res) {
  bool guardado = l.Existe("select 1 from mvtRegPptal where irp=?", {NumeroCelda(r.irp)});
  if (t.nuevo) {
    if (guardado) {
      res.siguiente = SiguienteRegistro(l);
      res.Error("numero", "El registro presupuestal " + Numero(r.irp) + " ya fue grabado por otro usuario. Se propone "
                          "el número " + Numero(res.siguiente) + ".");
    }
    return;
  }
  if (l.Version("RP", r.irp) != t.version) res.Error("version", kDocumentoModificado);
}

void RevisarCertificado(Libros& l, const RegistroPptal& r, const RegistroTraido& t, Resultado& res) {
  Cell valor = l.Valor("select valor from mvtCertDisp where icd=?", {NumeroCelda(r.icd)});
  if (!l.Existe("select 1 from mvtCertDisp where icd=?", {NumeroCelda(r.icd)})) {
    res.Error("icd", "Certificado de disponibilidad inexistente.");
    return;
  }
  // Solo lo que el registro aumenta sobre lo que ya tomaba de este certificado.
  std::int64_t antes = t.nuevo ? 0
                               : l.Centavos("select sum(valor) from mvtRegPptal where irp=? and icd=?",
                                            {NumeroCelda(r.irp), NumeroCelda(r.icd)});
  std::int64_t registros = l.Centavos("select sum(valor) from mvtRegPptal where icd=?", {NumeroCelda(r.icd)});
  std::int64_t queda = CentavosDe(valor.Number()) - registros;
  if (r.valor > antes && r.valor - antes > queda)
    res.Error("valor", "Este certificado no tiene dinero para ser comprometido.");
}

void RevisarCampos(Libros& l, const RegistroPptal& r, Resultado& res) {
  if (r.irp <= 0) res.Error("irp", "El número del registro presupuestal debe ser un entero mayor que 0.");
  if (r.valor <= 0) res.Error("valor", "El valor debe ser mayor que 0.");
  if (r.func + r.inv != r.valor)
    res.Error("valor", "El valor del gasto no corresponde a la suma de la inversión  mas funcionamiento.");
  if (r.tercero.empty() || !l.Existe("select 1 from TC where cedulaNit=?", {Cell::String(r.tercero)}))
    res.Error("tercero", "Tercero inexistente.");
  if (ConOrden(r.tipoOrden, r.orden) &&
      !l.Existe(std::string("select 1 from ") + TablaOrden(r.tipoOrden) + " where " + CampoOrden(r.tipoOrden) + "=?",
                {NumeroCelda(r.orden)}))
    res.Error("orden", r.tipoOrden == TipoOrden::Servicio ? "Orden de servicio inexistente"
                                                           : "Orden de suministro inexistente");
}

void EscribirFila(Libros& l, const RegistroPptal& r, bool nuevo) {
  std::initializer_list<Cell> valores = {
      Cell::String(r.fechaExped), Cell::String(r.fechaVenc), TextoCelda(r.tercero), NumeroCelda(r.icd),
      MontoCelda(r.valor),        MontoCelda(r.func),        MontoCelda(r.inv),     TextoCelda(r.vigFiscal),
      TextoCelda(r.objetoGasto),  TextoCelda(r.docAsociado), NumeroCelda(r.irp)};
  if (nuevo)
    l.Ejecutar("insert into mvtRegPptal (FechaExped, fechaVenc, itercero, ICD, valor, func, inv, vigFiscal, "
               "objetoGasto, docAsociado, irp) values (?,?,?,?,?,?,?,?,?,?,?)",
               valores);
  else
    l.Ejecutar("update mvtRegPptal set FechaExped=?, fechaVenc=?, itercero=?, ICD=?, valor=?, func=?, inv=?, "
               "vigFiscal=?, objetoGasto=?, docAsociado=? where irp=?",
               valores);
}

// La orden que tenía el registro lo suelta cuando pasa a otra; la que nombra ahora lo toma.
void EnlazarOrden(Libros& l, const RegistroPptal& r, const RegistroTraido& t, Resultado& res) {
  bool misma = r.tipoOrden == t.tipoOrden && r.orden == t.orden;
  if (!t.nuevo && misma) return;
  if (ConOrden(t.tipoOrden, t.orden) && !misma) {
    std::string donde = std::string(" where ") + CampoOrden(t.tipoOrden) + "=?";
    if (!l.Existe(std::string("select 1 from ") + TablaOrden(t.tipoOrden) + donde, {NumeroCelda(t.orden)}))
      res.avisos.push_back(t.tipoOrden == TipoOrden::Servicio
                               ? "Orden de servicio original Nº " + Numero(t.orden) + " no encontrado."
                               : "Orden de suministro original: " + Numero(t.orden) + " no encontrado.");
    l.Ejecutar(std::string("update ") + TablaOrden(t.tipoOrden) + " set irp=null" + donde + " and irp=?",
               {NumeroCelda(t.orden), NumeroCelda(r.irp)});
  }
  if (!ConOrden(r.tipoOrden, r.orden)) return;
  l.Ejecutar(std::string("update ") + TablaOrden(r.tipoOrden) + " set irp=? where " + CampoOrden(r.tipoOrden) + "=?",
             {NumeroCelda(r.irp), NumeroCelda(r.orden)});
}

}  // namespace

Resultado GrabarRegistro(const RegistroPptal& registro, const RegistroTraido& traido) {
  return EnTransaccion([&](Libros& l, Resultado& res) {
    RevisarCampos(l, registro, res);
    if (!res.Grabado()) return;
    RevisarNumeroYVersion(l, registro, traido, res);
    if (!res.Grabado()) return;
    RevisarCertificado(l, registro, traido, res);
    if (!res.Grabado()) return;
    EnlazarOrden(l, registro, traido, res);
    EscribirFila(l, registro, traido.nuevo);
    res.version = l.Version("RP", registro.irp);
  });
}

RegistroGuardado LeerVersionRegistro(std::int64_t irp) {
  Libros l;
  return {l.Existe("select 1 from mvtRegPptal where irp=?", {NumeroCelda(irp)}), l.Version("RP", irp)};
}

}  // namespace tv::motor
