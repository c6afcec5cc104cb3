// Libros por tercero y cuenta, con sus impresos y exportaciones.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/forms/Buttons.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/ReportUi.h"
#include "reports/FrmLibros.h"
#include "reports/LibrosConsultas.h"
#include "support/Separadores.h"

using consultas::LibrosConsultas;

namespace {

std::string Leer(const std::string& ruta) {
  std::ifstream in(ruta, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string Texto(TLabel* l) { return AnsiString(l->Caption).str(); }

class LibrosTerceros : public LibrosConsultas {
 protected:
  template <class F>
  std::unique_ptr<F> Abrir(F*& global) {
    global = new F(nullptr);
    global->Show();
    return std::unique_ptr<F>(global);
  }
};

TEST_F(LibrosTerceros, UnTerceroEnUnaCuentaConSaldoAnteriorYDecimales) {
  Agregar({{"1105", "800", "2025-12-30", "100", "", "CE", "1", "", "", "antes"},
           {"1105", "800", "2026-01-01", "", "40", "CE", "2", "", "", "el primer día"},
           {"1105", "800", "2026-01-15", "1234.5", "", "CE", "3", "FAC", "9", "venta"},
           {"110505", "800", "2026-01-15", "7", "", "CE", "3"},
           {"1105", "900", "2026-01-15", "8", "", "CE", "3"}});
  auto f = Abrir(FrmTercUnaCta);
  ui->now(f.get()).set("EdFechaInicio", "01/01/2026").set("EdFechaFinal", "31/01/2026")
      .set("EdICuenta", "1105").set("EdITercero", "800").click("BtnAceptar");
  ASSERT_TRUE(f->DBGrid1->Visible) << ui->messageTexts().c_str();
  EXPECT_EQ(Columna(f->DBGrid1, 5), "el primer día|venta");
  EXPECT_EQ(AnsiString(f->DBGrid1->DisplayColumns()[1]->DisplayTitle()), "Comp");
  EXPECT_EQ(Pintada(f->DBGrid1, 6), prueba::Mostrado("|1,234.50")) << "montos con sus decimales, nulos en blanco";
  EXPECT_EQ(Texto(f->LblNCuenta), "Caja");
  EXPECT_EQ(Texto(f->LblNTercero), "Ñandú Ltda");
  EXPECT_EQ(Texto(f->LblSaldoAnt), prueba::Mostrado("100.00")) << "una línea con un solo lado cuenta en el saldo anterior";
  EXPECT_EQ(Texto(f->LblDebitos), prueba::Mostrado("1,234.50"));
  EXPECT_EQ(Texto(f->LblCreditos), prueba::Mostrado("40.00"));
  EXPECT_EQ(Texto(f->LblSaldo), prueba::Mostrado("1,294.50"));

  ui->now(f.get()).click("BtnInforme");
  std::string t = TextoInforme();
  EXPECT_NE(t.find("Colegio Prueba        NIT: 890.1"), std::string::npos) << t;
  EXPECT_NE(t.find("TERCEROS UNA CUENTA"), std::string::npos) << t;
  EXPECT_NE(t.find("del :01/01/2026 a 31/01/2026"), std::string::npos) << t;
  EXPECT_NE(t.find(prueba::Mostrado("venta | CE | 3 | FAC | 9 | 1,234.50")), std::string::npos) << t;
  EXPECT_NE(t.find(prueba::Mostrado("Total | 1,234.50 | 40.00")), std::string::npos) << t;

  // Sin filas después de una corrida con filas: aviso y sin totales.
  ui->now(f.get()).set("EdITercero", "100").click("BtnAceptar");
  EXPECT_FALSE(f->DBGrid1->Visible);
  EXPECT_TRUE(f->LblResultado->Visible);
  EXPECT_FALSE(f->LblDebitos->Visible);
  EXPECT_FALSE(f->BtnInforme->Enabled);
}

TEST_F(LibrosTerceros, UnaCuentaYUnTerceroSonObligatoriosYSeCitanSinRomperLaSentencia) {
  Agregar({{"1105", "O'Hara", "2026-01-15", "5", "", "CE", "1"}});
  auto f = Abrir(FrmTercUnaCta);
  ui->now(f.get()).set("EdFechaInicio", "01/01/2026").set("EdFechaFinal", "31/01/2026").click("BtnAceptar");
  EXPECT_FALSE(ui->takeMessages().empty());
  EXPECT_FALSE(f->DBGrid1->Visible);
  ui->now(f.get()).set("EdICuenta", "1105").set("EdITercero", "O'Hara").click("BtnAceptar");
  EXPECT_EQ(f->DBGrid1->DisplayRowCount(), 1) << ui->messageTexts().c_str();
}

TEST_F(LibrosTerceros, UnTerceroEnTodasLasCuentasListaCadaLinea) {
  Agregar({{"1105", "800", "2026-01-15", "10.25", "", "CE", "1", "", "", "igual"},
           {"1105", "800", "2026-01-15", "10.25", "", "CE", "1", "", "", "igual"},
           {"2408", "800", "2026-01-10", "", "20.5", "CE", "1"},
           {"2408", "900", "2026-01-10", "", "3", "CE", "1"}});
  auto f = Abrir(FrmTercTodasCtas);
  ui->now(f.get()).set("EdFechaInicio", "01/01/2026").set("EdFechaFinal", "31/01/2026")
      .set("EdITercero", "800").click("BtnAceptar");
  EXPECT_EQ(Columna(f->DBGrid1, 1), "2408|1105|1105") << "las líneas iguales no se funden";
  EXPECT_EQ(Pintada(f->DBGrid1, 7), prueba::Mostrado("|10.25|10.25"));
  EXPECT_EQ(Texto(f->LblDebitos), prueba::Mostrado("20.50"));
  EXPECT_EQ(Texto(f->LblSaldo), prueba::Mostrado("0.00"));
  ui->now(f.get()).click("BtnInforme");
  std::string t = TextoInforme();
  EXPECT_NE(t.find("TERCEROS TODAS LAS CUENTAS:"), std::string::npos) << t;
  size_t a = t.find("igual"), b = t.find("igual", a + 1);
  EXPECT_NE(b, std::string::npos) << "el impreso trae cada línea: " << t;
  EXPECT_NE(t.find(prueba::Mostrado("Totales | 20.50 | 20.50")), std::string::npos) << t;
}

TEST_F(LibrosTerceros, SaldosDeTodosEnUnaCuentaPorPrefijoYFiltroDeSaldoCero) {
  Agregar({{"240801", "800", "2026-01-05", "", "30", "CE", "1"},   // solo créditos
           {"2408", "900", "2026-01-05", "12", "", "CE", "2"},     // débito = crédito
           {"2408", "900", "2026-01-06", "", "12", "CE", "2"},
           {"2436", "100", "2026-01-07", "5", "", "CE", "3"},      // otro prefijo
           {"2408", "555", "2026-01-07", "9", "", "CE", "4"},      // tercero que no existe
           {"2408", "", "2026-01-07", "1", "", "CE", "4"}});       // sin tercero
  auto f = Abrir(FrmTercMovUnaCta);
  EXPECT_EQ(Texto(f->LblDebito), "*");
  ui->now(f.get()).set("EdFechaInicio", "01/01/2026").set("EdFechaFinal", "31/01/2026")
      .set("EdICuenta", "2408").click("BtnAceptar");
  EXPECT_EQ(Columna(f->DBGrid1, 1), "Nube S.A.|Ñandú Ltda") << "por cuenta y nombre; sin el tercero que falta";
  EXPECT_EQ(Texto(f->LblDebito), prueba::Mostrado("22.00")) << "los totales cuentan todas las líneas";
  EXPECT_EQ(Texto(f->LblCredito), prueba::Mostrado("42.00"));
  EXPECT_EQ(Texto(f->LblSaldo), prueba::Mostrado("-20.00"));

  ui->now(f.get()).check("ChBSaldoCero", false).click("BtnAceptar");
  EXPECT_EQ(Columna(f->DBGrid1, 1), "Ñandú Ltda") << "sale quien tiene débitos y créditos iguales";
  ui->now(f.get()).check("ChBSaldoCero", true).click("BtnAceptar");
  EXPECT_EQ(f->DBGrid1->DisplayRowCount(), 2);

  // Los comodines del código escrito no amplían la búsqueda.
  ui->now(f.get()).set("EdICuenta", "2_").click("BtnAceptar");
  EXPECT_FALSE(f->DBGrid1->Visible);
  ui->now(f.get()).set("EdICuenta", "24").click("BtnAceptar");
  EXPECT_EQ(f->DBGrid1->DisplayRowCount(), 3);

  std::string csv = dir + "/saldos.csv";
  ui->answerDialog(csv.c_str());
  ui->now(f.get()).click("btnExportar");
  std::string texto = Leer(csv);
  EXPECT_NE(texto.find("CedulaNIT;nombre;numecuen;nombcuen;Debitos;Creditos"), std::string::npos) << texto;
  EXPECT_NE(texto.find("Nube S.A."), std::string::npos) << texto;
  ASSERT_FALSE(ui->launches().empty());
  EXPECT_NE(ui->launches().back().target.str().find("saldos.csv"), std::string::npos);

  ui->now(f.get()).click("BtnInforme");
  std::string t = TextoInforme();
  EXPECT_NE(t.find("SALDOS DE TODOS LOS TERCEROS EN UNA CUENTA"), std::string::npos) << t;
  EXPECT_NE(t.find(prueba::Mostrado("-30.00")), std::string::npos) << t;
  EXPECT_NE(t.find(prueba::Mostrado("Diferencia | -15.00")), std::string::npos) << t;
}

TEST_F(LibrosTerceros, AuxiliaresPorPrefijoConMesSaldoAnteriorYTraza) {
  Agregar({{"1105", "800", "2025-12-01", "50", "", "CE", "1"},
           {"110505", "555", "2025-12-02", "", "20", "CE", "1"},
           {"1105", "800", "2026-01-03", "1234.5", "", "CE", "2", "", "", "cobro"},
           {"110505", "555", "2026-01-04", "", "4.25", "CE", "3", "", "", "pago"},
           {"2408", "800", "2026-01-04", "", "1", "CE", "3"}});
  auto f = Abrir(FrmAuxiliares);
  ui->now(f.get()).set("EdFechaInicio", "01/01/2026").set("EdFechaFinal", "31/01/2026")
      .set("EdICuenta", "11").click("BtnAceptar");
  ASSERT_TRUE(f->DBGrid1->Visible) << ui->messageTexts().c_str();
  EXPECT_EQ(Columna(f->DBGrid1, 0), "1105|110505");
  EXPECT_EQ(Columna(f->DBGrid1, 4), "Ñandú Ltda|") << "el tercero que no existe sale sin nombre";
  EXPECT_EQ(Pintada(f->DBGrid1, 9), prueba::Mostrado("1,234.50|"));
  EXPECT_EQ(Texto(f->LblMesCad), "ENERO");
  EXPECT_EQ(Texto(f->LblSaldoAnterior), prueba::Mostrado("30.00"));
  EXPECT_EQ(Texto(f->LblDebitos), prueba::Mostrado("1,234.50"));
  EXPECT_EQ(Texto(f->LblCreditos), prueba::Mostrado("4.25"));
  EXPECT_EQ(Texto(f->LblSaldo), prueba::Mostrado("1,260.25"));
  EXPECT_TRUE(f->ComboBox1->Visible);
  EXPECT_NE(Leer(dir + "/basura.txt").find("like '11%'"), std::string::npos);

  // Sin vista previa se imprime con el diálogo de impresión.
  ui->now(f.get()).click("BtnInforme");
  auto* ultimo = tv::report::HeadlessUi().Last();
  ASSERT_NE(ultimo, nullptr);
  EXPECT_EQ(ultimo->kind, tv::report::HeadlessReportUi::Shown::kPrint);
  EXPECT_TRUE(ultimo->showDialog);
  std::string t = TextoInforme();
  EXPECT_NE(t.find("Pág.: | 1"), std::string::npos) << t;
  EXPECT_NE(t.find("ENERO"), std::string::npos) << t;
  size_t primera = t.find("Cuenta | Fecha");
  EXPECT_NE(t.find("Cuenta | Fecha", primera + 1), std::string::npos) << "encabezado en cada cuenta: " << t;
  EXPECT_NE(t.find(prueba::Mostrado("Saldo Actual: | 1,260.25")), std::string::npos) << t;

  ui->now(f.get()).check("chbVistaPrevia").click("BtnInforme");
  EXPECT_EQ(tv::report::HeadlessUi().Last()->kind, tv::report::HeadlessReportUi::Shown::kPreview);

  std::string csv = dir + "/aux.csv";
  ui->answerDialog(csv.c_str());
  ui->now(f.get()).click("btnExportar");
  std::string texto = Leer(csv);
  EXPECT_NE(texto.find("Fecha;Detalle;CedulaNIT;descDocu;numeDocu;descComp;numeComp;Debito;Credito"),
            std::string::npos) << texto;

  // Un periodo que no es un mes entero no muestra mes; sin filas se oculta lo anterior.
  ui->now(f.get()).set("EdFechaInicio", "02/01/2026").set("EdICuenta", "9").click("BtnAceptar");
  EXPECT_EQ(Texto(f->LblMesCad), "");
  EXPECT_TRUE(f->LblResultado->Visible);
  EXPECT_FALSE(f->ComboBox1->Visible);
  EXPECT_FALSE(f->LblSaldoAnterior->Visible);
}

// El monto más ancho que acepta el diario sale entero en los tres libros horizontales, en las
// líneas y en los totales (cada prueba vigila los textos cortados).
TEST_F(LibrosTerceros, ImpresosConElMontoMasAncho) {
  Agregar({{"1105", "800", "2026-01-15", "9999999999999.99", "", "CE", "1", "FAC", "123456789012345", "grande"},
           {"1105", "800", "2026-01-16", "", "9999999999999.99", "CE", "2"}});
  const std::string maximo = prueba::Mostrado("9,999,999,999,999.99");
  auto una = Abrir(FrmTercUnaCta);
  ui->now(una.get()).set("EdFechaInicio", "01/01/2026").set("EdFechaFinal", "31/01/2026")
      .set("EdICuenta", "1105").set("EdITercero", "800").click("BtnAceptar").click("BtnInforme");
  std::string t = TextoInforme();
  EXPECT_NE(t.find("Total | " + maximo + " | " + maximo), std::string::npos) << t;
  auto todas = Abrir(FrmTercTodasCtas);
  ui->now(todas.get()).set("EdFechaInicio", "01/01/2026").set("EdFechaFinal", "31/01/2026")
      .set("EdITercero", "800").click("BtnAceptar").click("BtnInforme");
  t = TextoInforme();
  EXPECT_NE(t.find("Totales | " + maximo + " | " + maximo), std::string::npos) << t;
  auto aux = Abrir(FrmAuxiliares);
  ui->now(aux.get()).set("EdFechaInicio", "01/01/2026").set("EdFechaFinal", "31/01/2026")
      .set("EdICuenta", "1105").click("BtnAceptar").check("chbVistaPrevia").click("BtnInforme");
  t = TextoInforme();
  EXPECT_NE(t.find("Suma Debito: | " + maximo), std::string::npos) << t;
  EXPECT_NE(t.find("Suma Credito: | " + maximo), std::string::npos) << t;
}

TEST_F(LibrosTerceros, AuxiliaresAyudaYEstado) {
  std::filesystem::create_directories(dir + "/help");
  std::ofstream(dir + "/help/auxiliares.html") << "<html></html>";
  auto f = Abrir(FrmAuxiliares);
  EXPECT_EQ(AnsiString(f->StatusBar->SimpleText), "Auxiliares");
  ui->now(f.get()).set("EdICuenta", "1105").key("EdICuenta", VK_DELETE).key("EdICuenta", VK_F1);
  EXPECT_EQ(AnsiString(f->EdICuenta->Text), "");
  ASSERT_EQ(ui->launches().size(), 1u);
  EXPECT_NE(ui->launches()[0].target.str().find("auxiliares.html"), std::string::npos);
}

}  // namespace
