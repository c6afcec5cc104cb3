#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "Entorno.h"
#include "platform/core/Classes.h"
#include "platform/core/SysUtils.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Headless.h"
#include "platform/forms/Mask.h"
#include "shared/general/MyException.h"
#include "shared/general/Utiles.h"
#include "support/Separadores.h"

using prueba::CarpetaTemporal;

TEST(Fechas, DiasDelMesYBisiestos) {
  struct Caso { unsigned short anio, mes, dias; };
  for (Caso c : {Caso{2000, 2, 29}, Caso{1900, 2, 28}, Caso{2021, 13, 0}, Caso{2024, 2, 29},
                 Caso{2021, 4, 30}, Caso{2021, 12, 31}, Caso{2021, 0, 0}})
    EXPECT_EQ(GetLastDia(c.anio, c.mes), c.dias) << c.anio << "/" << c.mes;
  EXPECT_TRUE(EsBisiesto(2000));
  EXPECT_FALSE(EsBisiesto(2100));
  EXPECT_EQ(GetNameMes(1), "ENERO");
  EXPECT_EQ(GetNameMes(9), "SEPTIEMBRE");
  EXPECT_EQ(GetNameMes(13), "Desconocido");
}

TEST(Fechas, NombreDelMesSoloParaUnMesCompleto) {
  ResetFormatSettings();
  EXPECT_EQ(RetornaNombreMes(EncodeDate(2021, 3, 1), EncodeDate(2021, 3, 31)),
            AnsiUpperCase(LongMonthNames[2]));
  EXPECT_EQ(RetornaNombreMes(EncodeDate(2021, 3, 1), EncodeDate(2021, 3, 30)), "");
  EXPECT_EQ(RetornaNombreMes(EncodeDate(2021, 3, 1), EncodeDate(2021, 4, 30)), "");
  EXPECT_EQ(RetornaNombreMes(EncodeDate(2020, 2, 1), EncodeDate(2020, 2, 29)),
            AnsiUpperCase(LongMonthNames[1]));
}

TEST(Textos, ExtraerRellenarYProbarCaracteres) {
  EXPECT_EQ(ExtractString(AnsiString("A:B"), ':', true), "A");
  EXPECT_EQ(ExtractString(AnsiString("A:B"), ':', false), "B");
  EXPECT_EQ(ExtractString(AnsiString("AB"), ':', true), "");
  EXPECT_EQ(ExtractString(AnsiString("AB"), ':', false), "AB");
  EXPECT_EQ(ExtractString(AnsiString(std::string(1500, 'x')), ':', false).Length(), 1000);

  char nueva[20] = "sin tocar";
  EXPECT_EQ(ExtractString("123-Caja", '-', nueva, true), nueva);
  EXPECT_STREQ(nueva, "123");
  EXPECT_STREQ(ExtractString("123-Caja", '-', nueva, false), "Caja");
  EXPECT_EQ(ExtractString("sin", '-', nueva, true), nullptr);
  EXPECT_STREQ(nueva, "Caja");

  EXPECT_EQ(FillStringR("abc", 5, ' '), "abc  ");
  EXPECT_EQ(FillStringR("abc", 2, ' '), "abc");
  EXPECT_EQ(FillStringR("año", 5, '*'), "año**");

  EXPECT_FALSE(IsAllDigit(""));
  EXPECT_TRUE(IsAllDigit("0123"));
  EXPECT_FALSE(IsAllDigit("12a"));
  DecimalSeparator = '.';
  EXPECT_TRUE(IsNumber(""));
  EXPECT_TRUE(IsNumber("12.5"));
  EXPECT_TRUE(IsNumber("1.2.5"));
  EXPECT_FALSE(IsNumber("-12"));
  ResetFormatSettings();
}

namespace {
class Archivos : public CarpetaTemporal {};
}  // namespace

TEST_F(Archivos, CopiarFilesCreaLaCarpetaYSobrescribe) {
  std::filesystem::create_directory(dir / "origen");
  prueba::EscribirBytes(dir / "origen/a.db", std::string("uno\0\r\n", 6));
  prueba::EscribirBytes(dir / "origen/b.db", std::string(1500, 'b'));
  std::filesystem::create_directory(dir / "origen/sub.db");  // las carpetas no se copian
  std::string origen = (dir / "origen/*.db").string();
  std::string destino = (dir / "nuevo").string();
  EXPECT_EQ(CopiarFiles(origen.c_str(), destino.c_str()), 0);
  EXPECT_EQ(prueba::LeerBytes(dir / "nuevo/a.db"), std::string("uno\0\r\n", 6));
  EXPECT_EQ(prueba::LeerBytes(dir / "nuevo/b.db"), std::string(1500, 'b'));
  EXPECT_FALSE(std::filesystem::exists(dir / "nuevo/sub.db"));
  prueba::EscribirBytes(dir / "origen/a.db", "cambiado");
  EXPECT_EQ(CopiarFiles(origen.c_str(), destino.c_str()), 0);
  EXPECT_EQ(prueba::LeerBytes(dir / "nuevo/a.db"), "cambiado");
}

TEST_F(Archivos, CopiarFilesInformaFallos) {
  tv::forms::HeadlessDriver driver;
  std::filesystem::create_directory(dir / "origen");
  std::string vacio = (dir / "origen/*.db").string();
  EXPECT_EQ(CopiarFiles(vacio.c_str(), (dir / "dest").c_str()), -1);
  // Un archivo de la carpeta destino que no se puede escribir: la copia falla y se avisa.
  prueba::EscribirBytes(dir / "origen/a.db", "x");
  std::filesystem::create_directories(dir / "dest/a.db");
  EXPECT_EQ(CopiarFiles(vacio.c_str(), (dir / "dest").c_str()), -1);
  std::string sinPadre = (dir / "no/existe").string();
  EXPECT_EQ(CopiarFiles(vacio.c_str(), sinPadre.c_str()), -1);
  ASSERT_EQ(driver.messages().size(), 3u);
}

TEST_F(Archivos, CopiarFileLanzaConElMensajeDelSistema) {
  try {
    CopiarFile("no-existe.txt", "b.txt");
    FAIL();
  } catch (MyException& e) {
    EXPECT_EQ(std::string(e.Mensaje()).rfind("En el origen, error abriendo no-existe.txt:\n", 0), 0u);
  }
  prueba::EscribirBytes(dir / "a.txt", "hola");
  EXPECT_THROW(CopiarFile("a.txt", "falta/b.txt"), MyException);
  EXPECT_THROW(CopiarFileWin("falta.txt", "b.txt"), MyException);
  CopiarFileWin("a.txt", "b.txt");
  CopiarFileWin("a.txt", "b.txt");
  EXPECT_EQ(prueba::LeerBytes(dir / "b.txt"), "hola");
  EXPECT_TRUE(ExisteArchivo((dir / "*.txt").c_str(), 1));
  EXPECT_FALSE(ExisteArchivo((dir / "*.csv").c_str(), 1));
  EXPECT_TRUE(ExisteDirectorio(dir.c_str()));
}

// Un límite de tamaño de archivo hace las veces de disco lleno.
TEST_F(Archivos, CopiarFileFallidaConservaElDestinoAnterior) {
  prueba::EscribirBytes(dir / "a.txt", std::string(2000, 'x'));
  prueba::EscribirBytes(dir / "b.txt", "anterior");
  rlimit antes{};
  getrlimit(RLIMIT_FSIZE, &antes);
  auto manejador = std::signal(SIGXFSZ, SIG_IGN);
  rlimit corto = antes;
  corto.rlim_cur = 1000;
  setrlimit(RLIMIT_FSIZE, &corto);
  EXPECT_THROW(CopiarFile("a.txt", "b.txt"), MyException);
  setrlimit(RLIMIT_FSIZE, &antes);
  std::signal(SIGXFSZ, manejador);
  EXPECT_EQ(prueba::LeerBytes(dir / "b.txt"), "anterior");
  EXPECT_FALSE(std::filesystem::exists(dir / "b.txt.tmp~"));
}

TEST_F(Archivos, MunicipiosDeUnDepartamento) {
  prueba::EscribirBytes(dir / "codigosMunicipios.txt",
                        "001 05,MEDELL\xCDN,ANTIOQUIA\r\n002 05,ABEJORRAL,ANTIOQUIA\r\n"
                        "001 08,BARRANQUILLA,ATL\xC1NTICO\r\n");
  TStringList lista;
  lista.Add("previo");
  getMunicipios("05", &lista);
  ASSERT_EQ(lista.Count(), 3);
  EXPECT_EQ(lista[1], "001MEDELLÍN");
  EXPECT_EQ(lista[2], "002ABEJORRAL");
  getMunicipios("99", &lista);
  EXPECT_EQ(lista.Count(), 3);
}

TEST(Formularios, LimpiarEditsYCentra) {
  tv::forms::HeadlessDriver ui;
  TForm f(nullptr);
  f.ClientWidth = 400;
  f.ClientHeight = 300;
  auto* edA = Make<TEdit>(&f, "EdNombre");
  auto* edB = Make<TEdit>(&f, "edCodigo");
  auto* edC = Make<TEdit>(&f, "EDFecha");
  auto* otro = Make<TEdit>(&f, "Valor");
  auto* mascara = Make<TMaskEdit>(&f, "EdMonto");
  for (TCustomEdit* e : std::initializer_list<TCustomEdit*>{edA, edB, edC, otro}) e->Text = "x";
  mascara->Text = "12";
  limpiarEdits(&f, "edcodigo", "");
  EXPECT_EQ(edA->Text, "");
  EXPECT_EQ(edB->Text, "x");
  EXPECT_EQ(edC->Text, "");
  EXPECT_EQ(otro->Text, "x");
  EXPECT_EQ(mascara->Text, "12");

  auto* panel = Make<TPanel>(&f, "Panel1");
  panel->Width = 101;
  panel->Height = 51;
  Centra(panel);
  EXPECT_EQ(panel->Left, 150);
  EXPECT_EQ(panel->Top, 125);
  panel->Width = 500;
  Centra(panel);
  EXPECT_EQ(panel->Left, 0);
}

TEST_F(Archivos, ConfiguracionRegionalYCarpetaDelPrograma) {
  EXPECT_EQ(getUserDecimal(), prueba::DecimalEsPunto() ? '.' : ',');
  EXPECT_EQ(getSystemSeparatorDigits(), prueba::DecimalEsPunto() ? ',' : '.');
  EXPECT_EQ(getSystemSeparator(), ';');
  setSystemShortDate("d/M/yyyy");
  EXPECT_EQ(getSystemShortDate(), "d/M/yyyy");
  EXPECT_EQ(ShortDateFormat, "d/M/yyyy");
  EXPECT_EQ(GetExeDir(), dir.string());
  ResetFormatSettings();
}
