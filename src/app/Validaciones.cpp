#include "app/Validaciones.h"

#include "app/schema/Schema.h"
#include <charconv>
#include <cmath>
#include <memory>

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Mask.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"
#include "platform/db/sql/Translator.h"

namespace {

const char* const kAlias = "Contabilidad";

bool EsLetraAscii(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Cuenta sin nada escrito: vacía o solo con la máscara (blancos y puntos).
bool CuentaVacia(const AnsiString& cuenta) {
  for (char c : cuenta.str())
    if (c != ' ' && c != '.') return false;
  return true;
}

}  // namespace

AnsiString TextoSQL(const AnsiString& aValor) {
  std::string r = "'";
  for (char c : aValor.str()) {
    if (c == '\'') r += '\'';
    r += c;
  }
  return AnsiString(r + "'");
}

AnsiString NumeroSQL(double aValor) {
  if (!std::isfinite(aValor)) return "0";
  if (aValor == 0) return "0";  // también -0
  char buf[400];
  auto res = std::to_chars(buf, buf + sizeof buf, aValor, std::chars_format::fixed);
  return AnsiString(std::string(buf, res.ptr));
}

bool validarFechas(AnsiString aFechaInicial, AnsiString aFechaFinal, AnsiString& msg) {
  AnsiString motivo;
  bool ok = ValidarFecha(aFechaInicial, motivo);
  if (ok) ok = ValidarFecha(aFechaFinal, motivo);
  if (ok) {
    FechasInf.GFechaInicial = aFechaInicial;
    FechasInf.GFechaFinal = aFechaFinal;
  } else {
    msg += motivo;
  }
  return ok;
}

bool validarFechas(AnsiString aFechaInicial, AnsiString aFechaFinal) {
  AnsiString motivo;
  return validarFechas(std::move(aFechaInicial), std::move(aFechaFinal), motivo);
}

bool ValidarInformes(AnsiString aFechaInicial, AnsiString aFechaFinal, AnsiString aCuenta1,
                     AnsiString aCuenta2, AnsiString aITercero, bool aBCuenta1, bool aBCuenta2,
                     bool aBITercero) {
  AnsiString errores;
  bool ok = validarFechas(aFechaInicial, aFechaFinal, errores);
  if (aBCuenta1 && CuentaVacia(aCuenta1)) {
    errores += "Falta Colocar Cuenta \n";
    ok = false;
  }
  if (aBCuenta2 && CuentaVacia(aCuenta2)) {
    errores += "Falta Colocar Cuenta \n";
    ok = false;
  }
  if (aBITercero && aITercero.IsEmpty()) {
    errores += "Falta Colocar Tercero \n";
    ok = false;
  }
  if (!errores.IsEmpty()) ShowMessage("Debe Corregir \n" + errores);
  return ok;
}

bool EsAuxiliar(AnsiString aNumeCuen) {
  bool resultado = aNumeCuen.Length() > 4;
  // Los comodines que traiga el código se escapan; aun así solo cuentan los códigos que
  // empiezan exactamente por la cuenta.
  auto q = std::make_unique<TQuery>(nullptr);
  HagaSQL(kAlias, q.get(),
          "select numecuen from pl where numeCuen like '" +
              AnsiString(tv::db::EscapeLikePattern(aNumeCuen.str())) + "%' escape '\\'");
  int debajo = 0;
  const std::string& cuenta = aNumeCuen.str();
  for (q->First(); !q->Eof; q->Next()) {
    std::string codigo = q->FieldByName("numecuen")->AsString().str();
    if (codigo.compare(0, cuenta.size(), cuenta) == 0) ++debajo;
  }
  if (debajo > 1) resultado = false;
  return resultado;
}

int getInfCuentaTerc() {
  TField* f = DM->TblPlan->FieldByName("exigterc");
  if (f->IsNull) return 0;
  AnsiString v = f->AsString;
  if (v == "S") return 1;
  if (v == "N") return 2;
  return 0;  // otro valor: libre, como lo trata su único llamador
}

AnsiString IncNumeDocu(AnsiString aNumDocu) {
  const std::string& texto = aNumDocu.str();
  size_t i = 0;
  while (i < texto.size() && EsLetraAscii(texto[i])) ++i;
  std::string prefijo = texto.substr(0, i);
  std::string digitos = texto.substr(i);
  if (digitos.empty()) return "";
  // Solo dígitos: un signo o un blanco no forman número ("X-5" no propone nada).
  for (char c : digitos)
    if (c < '0' || c > '9') return "";
  // Suma decimal sobre el texto: conserva los ceros y no se desborda con números largos.
  int k = static_cast<int>(digitos.size()) - 1;
  while (k >= 0 && digitos[k] == '9') digitos[k--] = '0';
  if (k >= 0)
    ++digitos[k];
  else
    digitos.insert(digitos.begin(), '1');
  return AnsiString(prefijo + digitos);
}

void ajustarMaskEdit(TMaskEdit* aMaskEdit) {
  AnsiString texto = aMaskEdit->Text;
  int punto = texto.Pos(".");
  int n = punto > 0 ? punto - 1 : texto.Length();
  static const char* const mascaras[] = {
      "999;0; ",         "999;0; ",         "999;0; ",         "999;0; ",
      "9,999;0; ",       "99,999;0; ",      "999,999;0; ",     "9,999,999;0; ",
      "99,999,999;0; ",  "999,999,999;0; ", "9,999,999,999;0; ", "99,999,999,999;0; "};
  std::string mascara = (n >= 1 && n <= 11) ? mascaras[n] : "999,999,999,999;0; ";
  // Los miles se separan como los separa el usuario.
  for (char& c : mascara)
    if (c == ',') c = getSystemSeparatorDigits();
  aMaskEdit->EditMask = mascara.c_str();
}

int getConsecutivoFromStrings(TDataSet* aDataSet, AnsiString aField) {
  double mayor = 0;
  aDataSet->First();
  while (!aDataSet->Eof) {
    // Los números con letras ("CE0099") no cuentan: no son de esta numeración.
    double v = 0;
    try {
      v = std::trunc(aDataSet->FieldByName(aField)->AsFloat);
    } catch (const EConvertError&) {
      v = 0;
    }
    if (v > mayor) mayor = v;
    aDataSet->Next();
  }
  // Un número que no cabe daría un consecutivo falso y un documento repetido.
  if (mayor >= 2147483647.0)
    throw EConvertError("Consecutivo fuera de rango: " + FloatToStr(mayor));
  return static_cast<int>(mayor) + 1;
}

AnsiString getNcuenta(AnsiString aNumeCuen) {
  auto q = std::make_unique<TQuery>(nullptr);
  HagaSQL(kAlias, q.get(), "select nombcuen from pl where numeCuen=" + TextoSQL(aNumeCuen));
  if (q->RecordCount == 1) return q->FieldByName("nombCuen")->AsString;
  return "Cuenta inexistente.";
}

AnsiString getNrubro(AnsiString aRubro, AnsiString aTipo) {
  auto q = std::make_unique<TQuery>(nullptr);
  HagaSQL(kAlias, q.get(),
          "select ncuenta from plppto where icuenta=" + TextoSQL(aRubro) +
              " and tipoCuenta=" + TextoSQL(aTipo));
  if (q->RecordCount == 1) return q->FieldByName("nCuenta")->AsString;
  return "";
}

Tercero::Tercero(AnsiString aItercero) : itercero(std::move(aItercero)) {}

AnsiString Tercero::getNtercero() {
  TTable* t = DM->TblTerceros;
  if (t->Locate("cedulanit", Variant(itercero))) return t->FieldByName("Nombre")->AsString;
  return "";
}

int AnchoCampo(const AnsiString& tabla, const AnsiString& campo) {
  const tv::schema::TableDef* t = tv::schema::FindTable(tabla.str());
  if (!t) return 0;
  for (const auto& f : t->fields)
    if (AnsiString(f.name).LowerCase() == campo.LowerCase())
      return f.kind == tv::schema::ColumnKind::Text ? f.size : 0;
  return 0;
}
