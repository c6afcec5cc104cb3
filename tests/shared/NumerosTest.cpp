#include <cmath>

#include "Entorno.h"
#include "platform/os/Regional.h"
#include "platform/forms/Headless.h"
#include "shared/general/MontoEscrito.h"
#include "shared/general/MyException.h"
#include "shared/general/Numeros.h"

using prueba::CarpetaTemporal;

namespace {
// Los casos están escritos con decimal "." y miles ","; esta prueba los fija.
class Numeros : public CarpetaTemporal {
 protected:
  void SetUp() override {
    CarpetaTemporal::SetUp();
    tv::os::SetUserDecimalSeparator(".");
    tv::os::SetUserThousandSeparator(",");
    tv::os::ApplyRegionalSettings();
  }
};
}  // namespace

TEST_F(Numeros, PuntoDeNumero) {
  struct Caso { double valor; int deci; const char* texto; };
  for (Caso c : {Caso{1234567.891, 2, "1,234,567.89"}, Caso{-1234.5, 2, "-1,234.50"},
                 Caso{999.999, 2, "1,000.00"}, Caso{0.5, 2, "0.50"}, Caso{0.05, 2, "0.05"},
                 Caso{0, 2, "0.00"}, Caso{1234.6, 0, "1,235"}, Caso{2.5, 0, "2"},
                 Caso{3.5, 0, "4"}, Caso{-0.001, 2, "-0.00"}, Caso{-0.4, 0, "-0"},
                 Caso{123456789012.0, 2, "123,456,789,012.00"}, Caso{12.34, 1, "12.3"},
                 Caso{100, 2, "100.00"}, Caso{1000, 0, "1,000"}})
    EXPECT_STREQ(Punto(c.valor, c.deci), c.texto) << c.valor;
}

TEST_F(Numeros, PuntoUsaLosSeparadoresDelUsuario) {
  tv::os::SetUserDecimalSeparator(",");
  tv::os::SetUserThousandSeparator(".");
  tv::os::ApplyRegionalSettings();
  EXPECT_STREQ(Punto(1234567.891, 2), "1.234.567,89");
  EXPECT_EQ(Punto(AnsiString("1234,567"), 2), "1.234,57");
}

TEST_F(Numeros, PuntoDemasiadosDigitos) {
  tv::forms::HeadlessDriver driver;
  EXPECT_STREQ(Punto(1e21, 2), "1,000,000,000,000,000,000,000.00");  // 22 + 2 dígitos
  EXPECT_THROW(Punto(1e22, 2), MyException);
  // El número no abre ninguna caja: la excepción llega a quien muestra.
  EXPECT_EQ(driver.messages().size(), 0u);
}

TEST_F(Numeros, PuntoDeTexto) {
  struct Caso { const char* valor; const char* texto; };
  for (Caso c : {Caso{"NAN", "0"}, Caso{"10", "10"}, Caso{"100", "100.00"}, Caso{"1", "1.00"},
                 Caso{"110", "110.00"}, Caso{"1234.5", "1,234.5"}, Caso{"1234.567", "1,234.57"},
                 Caso{"-123.5", "-123.5"}, Caso{"", ""}, Caso{"1234.00", "1,234"},
                 Caso{"-1234567.5", "-1,234,567.5"}, Caso{"10.25", "10.25"}})
    EXPECT_EQ(Punto(AnsiString(c.valor), 2), c.texto) << c.valor;
  std::string largo(101, '1');
  EXPECT_EQ(Punto(AnsiString(largo), 2), largo);
  EXPECT_ANY_THROW(Punto(AnsiString("1x.5"), 2));
}

TEST(Redondeo, RoundYMiles) {
  EXPECT_DOUBLE_EQ(round(0.125, 2, 0.5f), 0.13);
  EXPECT_DOUBLE_EQ(round(2.5, 0, 0.5f), 3);
  EXPECT_DOUBLE_EQ(round(-2.5, 0, 0.5f), -2);
  EXPECT_EQ(round(20000001.0, 2, 0.5f), 20000001.0);
  EXPECT_EQ(round(150000.01, 2, 0.5f), 150000.01);
  EXPECT_EQ(round(1.005 * 1000, 0, 0.5f), 1005.0);
  EXPECT_EQ(redondearToMil(1499), 1000);
  EXPECT_EQ(redondearToMil(1500), 2000);
  EXPECT_EQ(redondearToMil(0), 0);
  EXPECT_EQ(redondearToMil(123456.7), 123000);
}

TEST(Redondeo, InseCade) {
  char texto[10] = "abcd";
  EXPECT_STREQ(inseCade(texto, 4, 'X'), "abcXd");
  EXPECT_STREQ(inseCade(texto, 1, '0'), "0abcXd");
  EXPECT_STREQ(inseCade(texto, 0, 'Z'), "0abcXd");
  char corto[10] = "abcd";
  EXPECT_THROW(inseCade(corto, 5, 'X'), MyException);
  EXPECT_THROW(inseCade(corto, -1, 'X'), MyException);
}

namespace {
// Los montos de texto están escritos con decimal ".".
class Palabras : public Numeros {};
}  // namespace

TEST_F(Palabras, MontosEnteros) {
  struct Caso { const char* monto; const char* palabras; };
  for (Caso c : {
           Caso{"0", "CERO"}, Caso{"", ""}, Caso{"7", "SIETE"}, Caso{"15", "QUINCE"},
           Caso{"20", "VEINTE"}, Caso{"21", "VEINTIUN"}, Caso{"29", "VEINTINUEVE"},
           Caso{"30", "TREINTA "}, Caso{"31", "TREINTA Y UN"}, Caso{"99", "NOVENTA Y NUEVE"},
           Caso{"100", "CIEN"}, Caso{"101", "CIENTO UN"}, Caso{"200", "DOSCIENTOS "},
           Caso{"555", "QUINIENTOS CINCUENTA Y CINCO"}, Caso{"777", "SETECIENTOS SETENTA Y SIETE"},
           Caso{"999", "NOVECIENTOS NOVENTA Y NUEVE"}, Caso{"1000", "UN MIL "},
           Caso{"1001", "UN MIL UN"}, Caso{"21000", "VEINTIUN MIL "},
           Caso{"200000", "DOSCIENTOS  MIL "}, Caso{"1000000", "UN MILLON "},
           Caso{"2000000", "DOS MILLONES "},
           Caso{"1234567", "UN MILLON DOSCIENTOS TREINTA Y CUATRO MIL QUINIENTOS SESENTA Y SIETE"},
           Caso{"2000000000", "DOS MIL  MILLONES "},
           Caso{"2000500000", "DOS MIL  MILLONES QUINIENTOS  MIL "},
           Caso{"2001000000", "DOS MIL UN MILLONES "}, Caso{"1001000000", "UN MIL UN MILLONES "},
           Caso{"1001000000000000", "UN MIL UN BILLONES "},
           Caso{"1000000000000", "UN BILLON "}, Caso{"3000000000000", "TRES BILLONES "},
           Caso{"1000001", "UN MILLON UN"}})
    EXPECT_EQ(montoEscritoPlus(c.monto, nullptr, false), c.palabras) << c.monto;
}

TEST_F(Palabras, DecimalesYPesos) {
  struct Caso { const char* monto; bool pesos; const char* palabras; };
  for (Caso c : {
           Caso{"1500", true, "UN MIL QUINIENTOS  PESOS moneda corriente."},
           Caso{"10.5", true, "DIEZ PUNTO CINCO PESOS moneda corriente."},
           Caso{"1234.5", false, "UN MIL DOSCIENTOS TREINTA Y CUATRO PUNTO CINCO"},
           Caso{"1234.05", false, "UN MIL DOSCIENTOS TREINTA Y CUATRO PUNTO CERO CINCO"},
           Caso{"1234.50", false, "UN MIL DOSCIENTOS TREINTA Y CUATRO PUNTO CINCUENTA "},
           Caso{"0.005", false, "CERO PUNTO CERO CERO CINCO"},
           Caso{"0.5", false, "CERO PUNTO CINCO"}})
    EXPECT_EQ(montoEscritoPlus(c.monto, nullptr, c.pesos), c.palabras) << c.monto;
  EXPECT_THROW(montoEscritoPlus("-1500", nullptr, false), MyException);
  EXPECT_THROW(montoEscritoPlus(std::string(30, '1').c_str(), nullptr, false), MyException);
  char buf[600];
  EXPECT_STREQ(montoEscrito("1500", buf, false), "UN MIL QUINIENTOS ");
  dosDigitos(45, buf);
  EXPECT_STREQ(buf, "CUARENTA Y CINCO");
  tresDigitos(800, buf);
  EXPECT_STREQ(buf, "OCHOCIENTOS ");
  unDigito(19, buf);
  EXPECT_STREQ(buf, "DIECINUEVE");
}

TEST_F(Palabras, SeparadorDecimalDelUsuario) {
  tv::os::SetUserDecimalSeparator(",");
  EXPECT_EQ(montoEscritoPlus("10,05", nullptr, false), "DIEZ PUNTO CERO CINCO");
}

// Las palabras salen del número, así que no dependen de los separadores del usuario.
TEST_F(Palabras, MontoEnLetrasDesdeElNumero) {
  struct Caso { double monto; bool pesos; const char* palabras; };
  const Caso casos[] = {
      {0, false, "CERO"},
      {0.5, false, "CERO PUNTO CINCUENTA "},
      {1, false, "UN"},
      {1500.5, false, "UN MIL QUINIENTOS  PUNTO CINCUENTA "},
      {1000000, false, "UN MILLON "},
      {1234567.89, false,
       "UN MILLON DOSCIENTOS TREINTA Y CUATRO MIL QUINIENTOS SESENTA Y SIETE PUNTO OCHENTA Y NUEVE"},
      {2001000000, false, "DOS MIL UN MILLONES "},
      {-250.75, false, "MENOS DOSCIENTOS CINCUENTA  PUNTO SETENTA Y CINCO"},
      {99999999999.99, false,
       "NOVENTA Y NUEVE MIL NOVECIENTOS NOVENTA Y NUEVE MILLONES NOVECIENTOS NOVENTA Y NUEVE MIL "
       "NOVECIENTOS NOVENTA Y NUEVE PUNTO NOVENTA Y NUEVE"},
      {1234.05, false, "UN MIL DOSCIENTOS TREINTA Y CUATRO PUNTO CERO CINCO"},
      {800000, true, "OCHOCIENTOS  MIL  PESOS moneda corriente."},
      {10.5, true, "DIEZ PUNTO CINCUENTA  PESOS moneda corriente."},
      {-0.001, false, "CERO"},
      {0.999, false, "UN"},
  };
  for (const char* sep : {",", "."}) {
    tv::os::SetUserDecimalSeparator(sep);
    tv::os::SetUserThousandSeparator(std::string(sep) == "," ? "." : ",");
    tv::os::ApplyRegionalSettings();
    for (const Caso& c : casos) EXPECT_EQ(MontoEnLetras(c.monto, c.pesos), c.palabras) << c.monto << " " << sep;
  }
  // Nunca detienen un impreso.
  EXPECT_EQ(MontoEnLetras(std::nan(""), false), "");
  EXPECT_EQ(MontoEnLetras(1e40, true), "");
  EXPECT_NE(MontoEnLetras(-1e28, false), "");
}
