#include "budget/NumeroDocumento.h"

#include <cmath>
#include <string>

#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "budget/CalculosPptal.h"
#include "platform/db/DBTables.h"
#include "shared/general/SqlUtil.h"

const NumeracionDoc kNumCertificado{"mvtCertDisp", "icd", "El", "certificado de disponibilidad", "grabado"};
const NumeracionDoc kNumRegistro{"mvtRegPptal", "irp", "El", "registro presupuestal", "grabado"};
const NumeracionDoc kNumOrdenServicio{"mvtOrdenServicio", "iOrdenServicio", "La", "orden de servicio", "grabada"};
const NumeracionDoc kNumOrdenSuministro{"mvtOrdenSumiMaestro", "iOrdenSuministro", "La", "orden de suministro",
                                        "grabada"};
const NumeracionDoc kNumOrdenPago{"mvtOrdenPago", "iop", "La", "orden de pago", "grabada"};

namespace {

double Valor(const AnsiString& sql, const char* campo) {
  TQuery q(nullptr);
  HagaSQL("Contabilidad", &q, sql);
  TField* f = q.FieldByName(campo);
  return q.IsEmpty() || f->IsNull ? 0.0 : static_cast<double>(f->AsFloat);
}

AnsiString Entero(std::int64_t n) { return AnsiString(std::to_string(n).c_str()); }

AnsiString Nombre(const NumeracionDoc& d, std::int64_t numero) {
  return AnsiString(d.articulo) + " " + d.nombre + " " + TextoNumeroDoc(numero);
}

}  // namespace

AnsiString TextoNumeroDoc(std::int64_t aNumero) { return Entero(aNumero); }

AnsiString ErrorNumeroDoc(const AnsiString& aCampo, const AnsiString& aTexto, std::int64_t& aNumero) {
  aNumero = 0;
  std::string t = AnsiString(aTexto).Trim().str();
  if (t.empty()) return "";
  // Solo cifras: el signo, la coma, el punto o el exponente no son de un número de documento.
  for (char c : t)
    if (c < '0' || c > '9') return aCampo + " debe ser un entero mayor que 0.\n";
  std::size_t primera = t.find_first_not_of('0');
  if (primera == std::string::npos) return aCampo + " debe ser un entero mayor que 0.\n";
  if (t.size() - primera > static_cast<std::size_t>(kCifrasNumeroDoc))
    return aCampo + " no puede tener más de " + AnsiString(kCifrasNumeroDoc) + " cifras.\n";
  aNumero = std::stoll(t.substr(primera));
  return "";
}

AnsiString ErrorMayorQueCero(const AnsiString& aCampo, const AnsiString& aTexto, double& aValor) {
  aValor = 0;
  AnsiString t = AnsiString(aTexto).Trim();
  if (t.IsEmpty()) return "";
  if (!TryStrToNumber(t, aValor) || !std::isfinite(aValor)) {
    aValor = 0;
    return aCampo + " debe ser numérico.\n";
  }
  if (!(aValor > 0)) return aCampo + " debe ser mayor que 0.\n";
  return "";
}

AnsiString ErrorFechaFueraDelAnio(const AnsiString& aCampo, const AnsiString& aFecha) {
  TDateTime f;
  if (!TryStrToDate(AnsiString(aFecha).Trim(), f)) return "";
  unsigned short a = 0, m = 0, d = 0;
  DecodeDate(f, a, m, d);
  if (a == anioGlobal) return "";
  return aCampo + " debe estar en el año " + AnsiString(static_cast<int>(anioGlobal)) + ".\n";
}

std::int64_t SiguienteNumeroDoc(const NumeracionDoc& aDoc) {
  return static_cast<std::int64_t>(std::floor(Valor(AnsiString("select max(") + aDoc.campo + ") as n from " + aDoc.tabla, "n"))) + 1;
}

ENumeroTomado::ENumeroTomado(const NumeracionDoc& aDoc, std::int64_t aNumero)
    : Exception(Nombre(aDoc, aNumero) + " ya existe."), numero(aNumero) {}

void ExigirNumeroLibre(const NumeracionDoc& aDoc, std::int64_t aNumero) {
  double n = Valor(AnsiString("select count(*) as n from ") + aDoc.tabla + " where " + aDoc.campo + "=" +
                       Entero(aNumero),
                   "n");
  if (n > 0) throw ENumeroTomado(aDoc, aNumero);
}

bool NumeroYaGrabado(const Exception& e, const NumeracionDoc& aDoc, std::int64_t aNumero, AnsiString& aSiguiente,
                     AnsiString& aMensaje) {
  if (!dynamic_cast<const ENumeroTomado*>(&e) && !EsNumeroTomado(e, aDoc.tabla, aDoc.campo, static_cast<double>(aNumero))) return false;
  aSiguiente = TextoNumeroDoc(SiguienteNumeroDoc(aDoc));
  aMensaje = Nombre(aDoc, aNumero) + " ya fue " + aDoc.grabado + " por otro usuario. Se propone el número " +
             aSiguiente + ".";
  return true;
}

AnsiString MensajeNumeroExistente(const NumeracionDoc& aDoc, std::int64_t aNumero, const AnsiString& aSiguiente) {
  return Nombre(aDoc, aNumero) + " ya existe. Se propone el número " + aSiguiente + ".";
}
