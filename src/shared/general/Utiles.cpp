// Ayudas de fechas y textos (sin dependencias de formularios ni de archivos).
#include <cstring>

#include "platform/core/SysUtils.h"
#include "shared/general/Utiles.h"

void GetAnioMesDiaActual(unsigned short& aAnio, unsigned short& aMes, unsigned short& aDia) {
  DecodeDate(Date(), aAnio, aMes, aDia);
}

unsigned short GetAnioActual() {
  unsigned short a, m, d;
  GetAnioMesDiaActual(a, m, d);
  return a;
}

unsigned short GetMesActual() {
  unsigned short a, m, d;
  GetAnioMesDiaActual(a, m, d);
  return m;
}

bool EsBisiesto(unsigned short aAnio) {
  return (aAnio % 4 == 0 && aAnio % 100 != 0) || aAnio % 400 == 0;
}

unsigned short GetLastDia(unsigned short aAnio, unsigned short aMes) {
  switch (aMes) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12: return 31;
    case 4: case 6: case 9: case 11: return 30;
    case 2: return EsBisiesto(aAnio) ? 29 : 28;
    default: return 0;
  }
}

std::string GetNameMes(unsigned short aMes) {
  static const char* kMeses[] = {"ENERO", "FEBRERO", "MARZO", "ABRIL", "MAYO", "JUNIO", "JULIO",
                                 "AGOSTO", "SEPTIEMBRE", "OCTUBRE", "NOVIEMBRE", "DICIEMBRE"};
  if (aMes < 1 || aMes > 12) return "Desconocido";
  return kMeses[aMes - 1];
}

AnsiString RetornaNombreMes(TDateTime F_Inicial, TDateTime F_Final) {
  unsigned short a1, m1, d1, a2, m2, d2;
  DecodeDate(F_Inicial, a1, m1, d1);
  DecodeDate(F_Final, a2, m2, d2);
  if (a1 == a2 && m1 == m2 && d1 == 1 && d2 == GetLastDia(a2, m2))
    return AnsiUpperCase(LongMonthNames[m1 - 1]);
  return "";
}

char* ExtractString(const char* Cadena, char Separador, char* CadenaNueva, bool BLeft) {
  const char* p = std::strchr(Cadena, Separador);
  if (!p || Separador == '\0') return nullptr;
  if (BLeft) {
    size_t n = static_cast<size_t>(p - Cadena);
    std::memmove(CadenaNueva, Cadena, n);
    CadenaNueva[n] = '\0';
  } else {
    std::memmove(CadenaNueva, p + 1, std::strlen(p + 1) + 1);
  }
  return CadenaNueva;
}

AnsiString ExtractString(const AnsiString& aString, char Separador, bool BLeft) {
  const std::string& s = aString.str();
  size_t p = s.find(Separador);
  if (BLeft) return p == std::string::npos ? AnsiString() : AnsiString(s.substr(0, p));
  AnsiString resto = p == std::string::npos ? aString : AnsiString(s.substr(p + 1));
  return resto.SubString(1, 1000);
}

AnsiString CodigoDeItem(const AnsiString& aItem) {
  const std::string& s = aItem.str();
  size_t p = s.find(':');
  if (p != std::string::npos) return AnsiString(s.substr(0, p));
  return aItem.Trim();
}

AnsiString FillStringR(const AnsiString& aString, int aCount, char Relleno) {
  int faltan = aCount - aString.Length();
  if (faltan <= 0) return aString;
  return aString + AnsiString::StringOfChar(Relleno, faltan);
}

bool IsAllDigit(const char* aCadena) {
  if (!aCadena || !*aCadena) return false;
  for (const char* c = aCadena; *c; ++c)
    if (*c < '0' || *c > '9') return false;
  return true;
}

bool IsNumber(const char* aCadena) {
  if (!aCadena) return true;
  for (const char* c = aCadena; *c; ++c)
    if ((*c < '0' || *c > '9') && *c != DecimalSeparator) return false;
  return true;
}
