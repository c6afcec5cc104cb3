#include "shared/general/Numeros.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/core/SysUtils.h"
#include "shared/general/MyException.h"
#include "shared/general/Utiles.h"

namespace {

constexpr int kMaxDigitos = 24;
// 24 dígitos, 7 separadores de miles, separador decimal, signo y NUL, con holgura.
char bufPunto[64];

// Inserta el separador de miles en los dígitos enteros de texto (que pueden llevar "-").
std::string AgruparMiles(const std::string& texto, char sepDecimal, char sepMiles) {
  size_t ini = (!texto.empty() && texto[0] == '-') ? 1 : 0;
  size_t fin = ini;
  while (fin < texto.size() && texto[fin] >= '0' && texto[fin] <= '9') ++fin;
  (void)sepDecimal;
  std::string r = texto.substr(0, ini);
  size_t n = fin - ini;
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) r += sepMiles;
    r += texto[ini + i];
  }
  r += texto.substr(fin);
  return r;
}

}  // namespace

double round(double aValor, int numeDeci, float /*base*/) {
  double p = std::pow(10.0, numeDeci);
  double q = std::floor(p * aValor + 0.5) / p;
  // Se escribe con numeDeci decimales y se relee: el resultado es el double más cercano
  // al texto decimal.
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", numeDeci < 0 ? 0 : numeDeci, q);
  return std::strtod(buf, nullptr);
}

int redondearToMil(double aValor) {
  int r = static_cast<int>(round(aValor, 0, 10.0f));
  int t = r / 1000 * 1000;
  return (aValor - t < 500) ? t : t + 1000;
}

char* Punto(double valor, int numeDeci) {
  if (numeDeci < 0) numeDeci = 0;
  double absoluto = std::fabs(valor);
  if (!std::isfinite(absoluto)) absoluto = 0;
  // printf da los dígitos exactos, con las mitades exactas al dígito par.
  char digitos[400];
  std::snprintf(digitos, sizeof digitos, "%.*f", numeDeci, absoluto);
  const char* punto = std::strchr(digitos, '.');
  size_t nEnteros = punto ? static_cast<size_t>(punto - digitos) : std::strlen(digitos);
  bool enteroCero = nEnteros == 1 && digitos[0] == '0';
  size_t total = (enteroCero ? 0 : nEnteros) + static_cast<size_t>(numeDeci);
  if (total > kMaxDigitos) {
    // El error llega a quien muestra; aquí no se abre ninguna caja.
    throw MyException("Funcion round(): parámetro 'valor' muy grande.", 0, "", "");
  }
  char sepMiles = getSystemSeparatorDigits();
  char* out = bufPunto;
  if (valor < 0) *out++ = '-';
  for (size_t i = 0; i < nEnteros; ++i) {
    if (i > 0 && (nEnteros - i) % 3 == 0) *out++ = sepMiles;
    *out++ = digitos[i];
  }
  if (numeDeci > 0) {
    *out++ = DecimalSeparator;
    std::memcpy(out, punto + 1, static_cast<size_t>(numeDeci));
    out += numeDeci;
  }
  *out = '\0';
  return bufPunto;
}

AnsiString Punto(const AnsiString& valor, int numeDeci) {
  if (valor == "NAN") return "0";
  if (valor.Length() > 100 || valor.IsEmpty()) return valor;
  std::string r;
  if (valor.str().find(DecimalSeparator) != std::string::npos) {
    double v = StrToFloat(valor);
    r = FloatToStr(round(v, numeDeci, 0.5f)).str();
  } else {
    if (valor == "10") return valor;
    r = valor.str() + DecimalSeparator + std::string(static_cast<size_t>(std::max(numeDeci, 0)), '0');
  }
  return AnsiString(AgruparMiles(r, DecimalSeparator, getSystemSeparatorDigits()));
}

char* inseCade(char* cadena, int posicion, char nuevo) {
  if (posicion == 0) return cadena;
  int largo = static_cast<int>(std::strlen(cadena));
  if (posicion < 0 || posicion > largo)
    throw MyException("Funcion inseCade(): parámetro 'posicion' incorrecto.", 0, "", "");
  std::memmove(cadena + posicion, cadena + posicion - 1, static_cast<size_t>(largo - posicion + 2));
  cadena[posicion - 1] = nuevo;
  return cadena;
}
