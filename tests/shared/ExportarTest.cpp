#include <xlsxwriter.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "BaseDatos.h"
#include "platform/os/Regional.h"
#include "platform/forms/Headless.h"
#include "platform/os/Launch.h"
#include "shared/dialogs/Aviso.h"
#include "shared/general/Exportar.h"
#include "support/Separadores.h"

using prueba::BaseDatos;
using prueba::LeerBytes;

namespace {
class Exportar : public BaseDatos {
 protected:
  void SetUp() override {
    BaseDatos::SetUp();
    Cuentas();
    tabla = std::make_unique<TTable>(nullptr);
    tabla->DatabaseName = "Contabilidad";
    tabla->TableName = "PL.db";
  }
  void TearDown() override {
    tabla.reset();
    BaseDatos::TearDown();
  }
  std::unique_ptr<TTable> tabla;
};
}  // namespace

TEST(CampoDelimitado, ComillasRFC4180) {
  EXPECT_EQ(CampoDelimitado("simple", ';'), "simple");
  EXPECT_EQ(CampoDelimitado("a;b", ';'), "\"a;b\"");
  EXPECT_EQ(CampoDelimitado("dice \"hola\"", ';'), "\"dice \"\"hola\"\"\"");
  EXPECT_EQ(CampoDelimitado("dos\nlíneas", ';'), "\"dos\nlíneas\"");
  EXPECT_EQ(CampoDelimitado("1,5", ','), "\"1,5\"");
}

TEST_F(Exportar, DBToCSVCompletoCerradoYSinFilas) {
  DBToCSV(tabla.get(), "cuentas.csv", nullptr, 0, true, nullptr, false);
  EXPECT_FALSE(tabla->Active);  // lo abrió y lo cerró
  EXPECT_EQ(LeerBytes(dir / "cuentas.csv"),
            "sep=;\r\n"
            "numecuen;nombcuen;saldo;fecha;nivel;\r\n"
            "1105;Caja;" + prueba::Tecleado("1500.5") + ";05/03/2024;4\r\n"
            "1110;\"Bancos; \"\"central\"\"\";20;;4\r\n"
            "2205;Proveedores;;31/01/2024;\r\n");
  Exec("DELETE FROM PL");
  DBToCSV(tabla.get(), "vacio.csv", nullptr, 0, true, nullptr, false);
  EXPECT_EQ(LeerBytes(dir / "vacio.csv"), "sep=;\r\nnumecuen;nombcuen;saldo;fecha;nivel;\r\n");
}

TEST_F(Exportar, DBToCSVCamposTitulosAgregarYDecimal) {
  tv::os::SetUserListSeparator(",");
  tv::os::SetUserDecimalSeparator(",");
  tv::os::ApplyRegionalSettings();
  Exec("UPDATE PL SET nombcuen = '1,5' WHERE numecuen = '1105'");
  tabla->Open();
  TStringList campos, titulos;
  campos.Add("nombcuen");
  campos.Add("saldo");
  titulos.Add("Nombre");
  titulos.Add("Saldo ñ");
  DBToCSV(tabla.get(), "c.csv", &campos, 0, true, &titulos, false);
  DBToCSV(tabla.get(), "c.csv", &campos, ';', true, nullptr, true);
  EXPECT_TRUE(tabla->Active);
  EXPECT_TRUE(tabla->Eof);
  EXPECT_EQ(LeerBytes(dir / "c.csv"),
            "sep=,\r\nNombre,Saldo \xF1,\r\n\"1,5\",\"1500,5\"\r\n"
            "\"Bancos; \"\"central\"\"\",20\r\nProveedores,\r\n"
            "sep=,\r\nnombcuen,saldo,\r\n\"1,5\",1500;5\r\n"
            "\"Bancos; \"\"central\"\"\",20\r\nProveedores,\r\n");
}

TEST_F(Exportar, DBToCSVArchivoQueNoSeCrea) {
  tv::forms::HeadlessDriver ui;
  DBToCSV(tabla.get(), (dir / "falta/x.csv").string(), nullptr, 0, true, nullptr, false);
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].Caption, "Error");
  EXPECT_EQ(ui.messages()[0].Text, "No se puede crear " + (dir / "falta/x.csv").string());
}

TEST_F(Exportar, FalloAMediasConservaElArchivoAnterior) {
  std::ofstream(dir / "c.csv", std::ios::binary) << "anterior";
  TStringList campos;
  campos.Add("nombcuen");
  campos.Add("noexiste");
  EXPECT_ANY_THROW(DBToCSV(tabla.get(), (dir / "c.csv").string(), &campos, 0, true, nullptr, false));
  EXPECT_EQ(LeerBytes(dir / "c.csv"), "anterior");
  EXPECT_FALSE(std::filesystem::exists(dir / "c.csv.tmp"));
}

TEST_F(Exportar, ListadoDeTextoAlineado) {
  DataSetToTxtNice("Plan de cuentas", tabla.get(), "plan.txt", false, 5000, 0);
  std::string esperado =
      "Plan de cuentas\r\n\r\n"
      "\tnumecuen          \tnombcuen" + std::string(52, ' ') + "\t        saldo\t        fecha\t        nivel\t\r\n"
      "001\t1105              \tCaja" + std::string(56, ' ') + "\t       " + prueba::Tecleado("1500.5") + "\t   05/03/2024\t            4\t\r\n"
      "002\t1110              \tBancos; \"central\"" + std::string(43, ' ') + "\t           20\t\t            4\t\r\n"
      "003\t2205              \tProveedores" + std::string(49, ' ') + "\t\t   31/01/2024\t\t\r\n";
  EXPECT_EQ(LeerBytes(dir / "plan.txt"), esperado);
  DataSetToTxtNice("Corto", tabla.get(), "corto.txt", false, 1, 3);
  EXPECT_EQ(LeerBytes(dir / "corto.txt"),
            "Corto\r\n\r\n\tnumecuen          \tnombcuen" + std::string(52, ' ') + "\t\r\n"
            "001\t1105              \tCaja" + std::string(56, ' ') + "\t\r\n"
            "002\t1110              \tBancos; \"central\"" + std::string(43, ' ') + "\t\r\n");
}

TEST_F(Exportar, ListadoSeDetieneEnNumRecMasUno) {
  Exec("DELETE FROM PL");
  Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1200) "
       "INSERT INTO PL (numecuen) SELECT printf('%05d', i) FROM n");
  DataSetToTxtNice("T", tabla.get(), "t.txt", false, 1000, 0);
  std::string txt = LeerBytes(dir / "t.txt");
  EXPECT_NE(txt.find("\r\n1001\t01001"), std::string::npos);
  EXPECT_EQ(txt.find("\r\n1002\t"), std::string::npos);
}

TEST_F(Exportar, HojaDeCalculoCanceladaNoHaceNada) {
  tv::forms::HeadlessDriver ui;
  std::vector<tv::os::LaunchRequest> lanzados;
  tv::os::SetLaunchRecorder([&](const tv::os::LaunchRequest& r) { lanzados.push_back(r); });
  ui.cancelDialog();
  tabla->Open();
  exportarToExcel(tabla.get());
  EXPECT_TRUE(lanzados.empty());
  tv::os::SetLaunchRecorder(nullptr);
}

TEST_F(Exportar, HojaDeCalculoSeEscribeYSeAbre) {
  tv::forms::HeadlessDriver ui;
  std::vector<tv::os::LaunchRequest> lanzados;
  tv::os::SetLaunchRecorder([&](const tv::os::LaunchRequest& r) { lanzados.push_back(r); });
  ui.answerDialog((dir / "plan.xls").string());
  tabla->Open();
  exportarToExcel(tabla.get());
  tv::os::SetLaunchRecorder(nullptr);
  std::filesystem::path libro = dir / "plan.xlsx";
  ASSERT_TRUE(std::filesystem::exists(libro));
  ASSERT_EQ(lanzados.size(), 1u);
  EXPECT_EQ(lanzados[0].target, libro.string());
  // El libro es un zip: se leen el libro, las cadenas compartidas y la hoja.
  std::string hoja = prueba::EntradaZip(libro, "xl/workbook.xml");
  EXPECT_NE(hoja.find("name=\"Exportación\""), std::string::npos);
  std::string cadenas = prueba::EntradaZip(libro, "xl/sharedStrings.xml");
  for (std::string t : std::initializer_list<std::string>{"numecuen", "nombcuen", "1105", "Caja", prueba::Tecleado("1500.5"), "05/03/2024",
                        "Proveedores"})
    EXPECT_NE(cadenas.find(std::string(">") + t + "<"), std::string::npos) << t;
  std::string celdas = prueba::EntradaZip(libro, "xl/worksheets/sheet1.xml");
  EXPECT_NE(celdas.find("r=\"A4\""), std::string::npos);   // encabezado + 3 filas
  EXPECT_EQ(celdas.find("r=\"C4\""), std::string::npos);   // saldo nulo: celda vacía
  EXPECT_EQ(FrmAviso, nullptr);
}
