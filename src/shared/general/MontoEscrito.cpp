#include "shared/general/MontoEscrito.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/core/SysUtils.h"
#include "shared/general/MyException.h"
#include "shared/general/Utiles.h"

namespace {

const char* const a1[] = {"CERO",    "UN",       "DOS",       "TRES",       "CUATRO",
                          "CINCO",   "SEIS",     "SIETE",     "OCHO",       "NUEVE",
                          "DIEZ",    "ONCE",     "DOCE",      "TRECE",      "CATORCE",
                          "QUINCE",  "DIECISEIS", "DIECISIETE", "DIECIOCHO", "DIECINUEVE"};
const char* const a2[] = {"VEINTI",   "TREINTA ", "CUARENTA ", "CINCUENTA ",
                          "SESENTA ", "SETENTA ", "OCHENTA ",  "NOVENTA "};
const char* const a3[] = {" MILLONES ", " BILLONES ", " TRILLONES ", " CUATRILLONES "};
const char* const a4[] = {" MILLON ", " BILLON ", " TRILLON ", " CUATRILLON "};

constexpr size_t kMaxDigitos = 29;

std::string DosDigitos(int n) {
  if (n <= 0) return "";
  if (n < 20) return a1[n];
  if (n == 20) return "VEINTE";
  int decena = n / 10, unidad = n % 10;
  if (n < 30) return std::string(a2[0]) + a1[unidad];
  std::string r = a2[decena - 2];
  if (unidad != 0) r += std::string("Y ") + a1[unidad];
  return r;
}

std::string TresDigitos(int n) {
  if (n == 100) return "CIEN";
  int centena = n / 100;
  std::string r;
  switch (centena) {
    case 1: r = "CIENTO "; break;
    case 5: r = "QUINIENTOS "; break;
    case 7: r = "SETECIENTOS "; break;
    case 9: r = "NOVECIENTOS "; break;
    default: r = std::string(a1[centena]) + "CIENTOS "; break;
  }
  return r + DosDigitos(n % 100);
}

}  // namespace

void unDigito(int numero, char* cadena) {
  if (numero < 0 || numero > 19) numero = 0;
  std::strcpy(cadena, a1[numero]);
}

void dosDigitos(int numero, char* cadena) { std::strcpy(cadena, DosDigitos(numero).c_str()); }

void tresDigitos(int numero, char* cadena) { std::strcpy(cadena, TresDigitos(numero).c_str()); }

std::string MontoEscritoTexto(const std::string& digitos, bool addPesos) {
  // Solo dígitos: un signo o un exponente no tienen palabras y no deben leerse mal.
  if (digitos.size() > kMaxDigitos ||
      digitos.find_first_not_of("0123456789") != std::string::npos)
    throw MyException("Funcion montoEscrito(): parámetro 'cadena' incorrecto.", 0, "", "");
  // Grupos de tres desde la derecha; grupos[0] es k = 1.
  std::vector<std::string> grupos;
  for (size_t fin = digitos.size(); fin > 0;) {
    size_t ini = fin >= 3 ? fin - 3 : 0;
    grupos.push_back(digitos.substr(ini, fin - ini));
    fin = ini;
  }
  std::string resultado;
  for (size_t i = 0; i < grupos.size(); ++i) {
    const std::string& g = grupos[i];
    int k = static_cast<int>(i) + 1;
    if (g == "000") continue;
    int n = std::atoi(g.c_str());
    std::string palabras = n <= 19 ? a1[n] : n <= 99 ? DosDigitos(n) : TresDigitos(n);
    if (k % 2 == 0) {
      palabras += " MIL ";
      // "DOS MIL MILLONES": el grupo de millones vacío aporta su palabra plural.
      if (k >= 4 && grupos[i - 1] == "000") palabras += a3[(k - 4) / 2];
    } else if (k >= 3) {
      // Con miles de millones delante la escala va en plural: "DOS MIL UN MILLONES".
      bool conMiles = i + 1 < grupos.size() && grupos[i + 1] != "000";
      palabras += (n == 0 || n == 1) && !conMiles ? a4[(k - 3) / 2] : a3[(k - 3) / 2];
    }
    resultado = palabras + resultado;
  }
  if (addPesos) resultado += " PESOS moneda corriente.";
  return resultado;
}

char* montoEscrito(const char* cadena, char* cadenaNume, bool addPesos) {
  std::string r = MontoEscritoTexto(cadena ? cadena : "", addPesos);
  std::strcpy(cadenaNume, r.c_str());
  return cadenaNume;
}

AnsiString montoEscritoPlus(const char* cadena, char* /*cadenaNume*/, bool addPesos) {
  std::string texto = cadena ? cadena : "";
  char sep = getUserDecimal();
  size_t p = texto.find(sep);
  if (p == std::string::npos) return AnsiString(MontoEscritoTexto(texto, addPesos));
  std::string entera = texto.substr(0, p);
  std::string decimal = texto.substr(p + 1);
  std::string r = MontoEscritoTexto(entera, false) + " PUNTO ";
  // Los ceros a la izquierda de la parte decimal se leen uno a uno: 1234.05 no puede
  // decir lo mismo que 1234.5.
  size_t ceros = 0;
  while (ceros + 1 < decimal.size() && decimal[ceros] == '0') ++ceros;
  for (size_t i = 0; i < ceros; ++i) r += "CERO ";
  r += MontoEscritoTexto(decimal.substr(ceros), addPesos);
  return AnsiString(r);
}

AnsiString MontoEnLetras(double valor, bool addPesos) {
  if (!std::isfinite(valor)) return AnsiString();
  // Al centavo sobre su valor decimal (636,945 es 636,95), como las cifras impresas.
  valor = RoundToCents(valor);
  // Los dígitos salen del número con dos decimales, sin separadores del usuario.
  char buf[400];
  auto [fin, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(valor), std::chars_format::fixed, 2);
  if (ec != std::errc()) return AnsiString();
  std::string cifra(buf, fin);
  size_t punto = cifra.find('.');
  std::string entera = cifra.substr(0, punto);
  std::string centavos = cifra.substr(punto + 1);
  if (entera.size() > kMaxDigitos) return AnsiString();
  std::string r;
  // Un negativo que redondea a cero no es "MENOS CERO".
  if (valor < 0 && (entera != "0" || centavos != "00")) r = "MENOS ";
  if (centavos == "00") return AnsiString(r + MontoEscritoTexto(entera, addPesos));
  r += MontoEscritoTexto(entera, false) + " PUNTO ";
  // 0,05 no puede leerse como 0,50.
  if (centavos[0] == '0') r += "CERO " + MontoEscritoTexto(centavos.substr(1), addPesos);
  else r += MontoEscritoTexto(centavos, addPesos);
  return AnsiString(r);
}
