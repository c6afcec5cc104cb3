// Impresos de los balances: títulos, mes, entidad, firmas, totales, márgenes y papel.
// Con TV_BALANCES_PDF=<carpeta> cada impreso queda también en PDF para revisarlo.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "BalancesFixture.h"
#include "impresos/Impresos.h"
#include "app/DataModule.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/Render.h"
#include "platform/report/ReportUi.h"
#include "reports/FrmDatosInforme.h"
#include "shared/general/Numeros.h"
#include "support/Separadores.h"

namespace balances_test {
namespace {

class Impresion : public Balances {
 protected:
  void SetUp() override {
    Balances::SetUp();
    tv::report::HeadlessUi().Clear();
  }
  // Imprime y devuelve lo que se vio; guarda el PDF cuando se pide.
  const tv::report::PreparedReport& Imprimir(TFrmBalances* f, const std::string& nombre) {
    size_t antes = tv::report::HeadlessUi().shown.size();
    f->btnImprimirClick(f);
    EXPECT_EQ(tv::report::HeadlessUi().shown.size(), antes + 1);
    const auto& r = tv::report::HeadlessUi().Last()->report;
    if (const char* carpeta = std::getenv("TV_BALANCES_PDF")) {
      std::filesystem::create_directories(carpeta);
      tv::report::SavePdf(r, std::string(carpeta) + "/" + nombre + ".pdf");
    }
    return r;
  }
  static std::string Texto(const tv::report::PreparedReport& r) { return tv::report::DumpText(r); }
  static bool Tiene(const std::string& texto, const std::string& parte) {
    return texto.find(parte) != std::string::npos;
  }
  // Posición del primer texto igual a `t`.
  static const tv::report::TextItem* Item(const tv::report::PreparedReport& r, const std::string& t) {
    for (const auto& item : r.pages.at(0).items)
      if (const auto* x = std::get_if<tv::report::TextItem>(&item); x && x->text == t) return x;
    return nullptr;
  }
};

TEST_F(Impresion, BalanceGeneralConFirmasMesYSinFilasEnCero) {
  auto datos = std::make_unique<TFrmDatosInforme>(nullptr);
  datos->Edit1->Text = "Ana Pérez";
  datos->Edit3->Text = "Luis Gómez";
  datos->Edit5->Text = "Marta Ruiz";
  FrmBalances = ventana_ = new TFrmBalances(datos.get());
  TFrmBalances* f = ventana_;
  f->Llamado = 1;
  f->EdFechaInicio->Text = "01/01/2026";
  f->EdFechaFinal->Text = "31/01/2026";
  f->RBTodo->Checked = true;
  f->chbSaldosCero->Checked = true;
  Procesar(f);
  EXPECT_NE(Valor(libros, "SELECT count(*) FROM baltempestados WHERE NuevoSaldo=0"), "0");
  std::string primera = Texto(Imprimir(f, "balance_general"));
  EXPECT_EQ(Valor(libros, "SELECT count(*) FROM baltempestados WHERE NuevoSaldo=0"), "0");
  for (std::string parte : std::initializer_list<std::string>{"Colegio San José  890.123.456-7", "BALANCE GENERAL AL 31/01/2026", "ENERO",
                            prueba::Mostrado("CAJA GENERAL | 1,300.00"), prueba::Mostrado("Activo= | 1,310.00"), prueba::Mostrado("Pasivo= | 10.00"),
                            prueba::Mostrado("Patrimonio= | 1,000.00"), "Gerente | Revisor Fiscal | Tallivar",
                            "Ana Pérez | Luis Gómez | Marta Ruiz", "Saldo"})
    EXPECT_TRUE(Tiene(primera, parte)) << parte << "\n" << primera;
  EXPECT_FALSE(Tiene(primera, "BANCOS"));
  // La segunda impresión de la misma corrida sale igual.
  EXPECT_EQ(Texto(Imprimir(f, "balance_general_2")), primera);
  delete ventana_;
  ventana_ = nullptr;
}

TEST_F(Impresion, BalanceDePruebaSumaClasesOTodoEnModoBreve) {
  std::string totales[2];
  for (bool breve : {false, true}) {
    TFrmBalances* f = Ventana(2);
    f->RBTodo->Checked = true;
    f->chbExpress->Checked = breve;
    f->edFechaImp->Text = "05/02/2026";
    Procesar(f);
    std::string t = Texto(Imprimir(f, breve ? "prueba_breve" : "prueba"));
    EXPECT_TRUE(Tiene(t, "BALANCE DE PRUEBA ENTRE 01/01/2026 Y 31/01/2026")) << t;
    EXPECT_TRUE(Tiene(t, "05/02/2026"));
    auto pos = t.find("TOTALES:");
    ASSERT_NE(pos, std::string::npos) << t;
    totales[breve] = t.substr(pos, t.find('\n', pos) - pos);
    if (!breve) {
      EXPECT_TRUE(Tiene(t, prueba::Mostrado("APORTES | -1,000.00 |"))) << t;  // saldo crédito anterior, negativo
    }
  }
  EXPECT_EQ(totales[0], prueba::Mostrado("TOTALES: | 0.00 | 760.00 | 760.00 | 0.00"));
  EXPECT_EQ(totales[1], totales[0]);
}

TEST_F(Impresion, TituloPropioYMesSoloDentroDeUnMes) {
  TFrmBalances* f = Ventana(2);
  f->edTitulo->Text = "PRUEBA DEL COLEGIO";
  Procesar(f);
  EXPECT_TRUE(Tiene(Texto(Imprimir(f, "prueba_titulo")), "PRUEBA DEL COLEGIO 01/01/2026 Y 31/01/2026"));
  // Un nombre largo cabe entero en el estado de resultados (la vigilancia de cortes lo revisa).
  Ejecutar(libros, "UPDATE PL SET nombcuen='MATRICULAS Y PENSIONES DE LOS ESTUDIANTES' "
                   "WHERE numecuen='417005'");
  DM->TblPlan->Refresh();
  f = Ventana(3);
  f->RBTodo->Checked = true;
  Procesar(f);
  std::string t = Texto(Imprimir(f, "pyg"));
  for (std::string parte : std::initializer_list<std::string>{"P Y G ENTRE 01/01/2026 Y 31/01/2026", "ENERO", prueba::Mostrado("Ingresos | 500.00"), prueba::Mostrado("Egresos | 200.00"),
                            prueba::Mostrado("Excedente | 300.00"),
                            prueba::Mostrado("MATRICULAS Y PENSIONES DE LOS ESTUDIANTES | 0.00 | 500.00")})
    EXPECT_TRUE(Tiene(t, parte)) << parte << "\n" << t;
  f->EdFechaFinal->Text = "28/02/2026";
  Procesar(f);
  EXPECT_FALSE(Tiene(Texto(Imprimir(f, "pyg_dos_meses")), "FEBRERO"));
}

TEST_F(Impresion, CajaDiarioPorCuentasEnCartaOHojaGrandeConMargenes) {
  struct Caso {
    const char* papel;  // "" = el diálogo se cierra sin escoger
    double ancho, alto;
  };
  const tv::report::TextItem* base = nullptr;
  std::unique_ptr<tv::report::PreparedReport> sinMargen;
  for (Caso c : {Caso{"", 612, 792}, Caso{"RBHojaAncha", 3500 / 254.0 * 72, 2800 / 254.0 * 72},
                 Caso{"RadioButton1", 612, 792}}) {
    SCOPED_TRACE(c.papel);
    TFrmBalances* f = Ventana(4);
    if (*c.papel) {
      ui->onModal("TFrmModImpresion").click(c.papel);
    } else {
      ui->onModal("TFrmModImpresion").close();
    }
    bool margenes = sinMargen != nullptr;
    f->edMargen->Text = margenes ? "20" : "";
    f->edMargenSup->Text = margenes ? "10" : "";
    Procesar(f);
    const auto& r = Imprimir(f, std::string("caja_cuentas") + c.papel);
    EXPECT_NEAR(r.width, c.ancho, 0.5);
    EXPECT_NEAR(r.height, c.alto, 0.5);
    std::string t = Texto(r);
    EXPECT_TRUE(Tiene(t, "CAJA DIARIO ENTRE 01/01/2026 Y 31/01/2026 POR RESUMEN")) << t;
    EXPECT_TRUE(Tiene(t, prueba::Mostrado("SUMAS IGUALES | 750.00 | 760.00"))) << t;  // "145" no entra
    EXPECT_TRUE(Tiene(t, prueba::Mostrado("COSTOS Y GASTOS POR PAGAR | 0.00 | 10.00"))) << t;
    EXPECT_TRUE(Tiene(t, "Colegio San José")) << t;
    EXPECT_FALSE(Tiene(t, "CAJA GENERAL")) << t;  // solo códigos de cuatro caracteres
    EXPECT_EQ(Valor(libros, "SELECT count(*) FROM baltempestados WHERE length(Numecuen)<>4"), "0");
    EXPECT_EQ(f->edMargen->Text, AnsiString(margenes ? "20" : "0"));
    if (!margenes) {
      sinMargen = std::make_unique<tv::report::PreparedReport>(r);
      base = Item(*sinMargen, "Codigo");
    } else {
      const tv::report::TextItem* con = Item(r, "Codigo");
      ASSERT_TRUE(base && con);
      EXPECT_NEAR(con->box.x - base->box.x, 20 / 25.4 * 72, 1);
      EXPECT_NEAR(con->box.y - base->box.y, 10 / 25.4 * 72, 1);
    }
  }
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Impresion, MayorYBalanceYCajaPorComprobante) {
  TFrmBalances* f = Ventana(5);
  Procesar(f);
  std::string t = Texto(Imprimir(f, "mayor_balance"));
  for (std::string parte : std::initializer_list<std::string>{"MAYOR Y BALANCE ENTRE 01/01/2026 Y 31/01/2026", prueba::Mostrado("CAJA | 1,000.00 | 0.00 | 500.00 | "
                                                             "200.00 | 1,300.00 | 0.00"),
                            "TOTALES:"})
    EXPECT_TRUE(Tiene(t, parte)) << parte << "\n" << t;
  EXPECT_FALSE(Tiene(t, "CAJA GENERAL"));
  f = Ventana(4);
  f->RGComprobante->ItemIndex = 1;
  Procesar(f);
  t = Texto(Imprimir(f, "caja_comprobantes"));
  for (std::string parte : std::initializer_list<std::string>{"Caja Diario por Comprobante", "01/01/2026 a 31/01/2026", "CI  1  de: 10/01/2026",
                            prueba::Mostrado("110505 | CAJA GENERAL | 500.00"), prueba::Mostrado("Totales | 500.00 | 500.00")})
    EXPECT_TRUE(Tiene(t, parte)) << parte << "\n" << t;
}

// Borde izquierdo (pt) de la primera palabra `palabra` del PDF, leído con pdftotext -bbox.
double XEnPdf(const std::string& pdf, const std::string& palabra) {
  FILE* p = popen(("pdftotext -bbox '" + pdf + "' -").c_str(), "r");
  if (!p) return -1;
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  size_t w = out.find(">" + palabra + "</word>");
  if (w == std::string::npos) return -1;
  size_t x = out.rfind("xMin=\"", w);
  return x == std::string::npos ? -1 : std::stod(out.substr(x + 6));
}

TEST_F(Impresion, CajaPorComprobanteRespetaElMargenIzquierdo) {
  // Con el monto más ancho que acepta el diario: entero en su columna aun con el margen.
  Linea("2026-01-20", "CE", "77", "110505", 9999999999999.99, 0);
  Linea("2026-01-20", "CE", "77", "233505", 0, 9999999999999.99);
  double x[2] = {-1, -1};
  for (int i = 0; i < 2; ++i) {
    TFrmBalances* f = Ventana(4);
    f->RGComprobante->ItemIndex = 1;
    f->edMargen->Text = i ? "15" : "0";
    Procesar(f);
    std::string pdf = dir + "/caja_comprobante_margen" + std::to_string(i) + ".pdf";
    tv::report::SavePdf(Imprimir(f, "caja_comprobante_margen"), pdf);
    x[i] = XEnPdf(pdf, "Codigo");
    ASSERT_GE(x[i], 0) << pdf;
    std::string t = Texto(tv::report::HeadlessUi().Last()->report);
    std::string maximo = Punto(9999999999999.99, 2);
    EXPECT_TRUE(Tiene(t, "Totales | " + maximo + " | " + maximo)) << t;
  }
  EXPECT_LT(x[0], 3);  // sin margen, al borde del papel
  EXPECT_NEAR(x[1] - x[0], 15 / 25.4 * 72, 1);
}

TEST_F(Impresion, CajaPorComprobanteConMargenAngostaLasColumnasSinCortarCifras) {
  Linea("2026-01-20", "CE", "77", "110505", 1500000, 0);
  Linea("2026-01-20", "CE", "77", "233505", 0, 1500000);
  const std::string cifra = Punto(1500000.0, 2), cero = Punto(0.0, 2);
  // 0 y 10 mm caben como se diseñó; 30 mm angosta columnas y letra.
  for (int margen : {0, 10, 30}) {
    SCOPED_TRACE(margen);
    TFrmBalances* f = Ventana(4);
    f->RGComprobante->ItemIndex = 1;
    f->edMargen->Text = AnsiString(std::to_string(margen).c_str());
    Procesar(f);
    const auto& r = Imprimir(f, "caja_comprobante_" + std::to_string(margen));
    const double derecha = r.width - 10 / 25.4 * 72;  // margen derecho de 10 mm
    std::string t = impresos::TextoPdfHasta(r, dir + "/caja_comprobante_" + std::to_string(margen) + ".pdf", derecha);
    EXPECT_TRUE(Tiene(t, "233505 HONORARIOS " + cero + " " + cifra + " Totales " + cifra + " " + cifra)) << t;
    EXPECT_TRUE(Tiene(t, "Pagina: 1")) << t;
    const tv::report::TextItem* codigo = Item(r, "Codigo");
    const tv::report::TextItem* credito = Item(r, "Credito");
    ASSERT_TRUE(codigo && credito);
    EXPECT_NEAR(codigo->box.x, margen / 25.4 * 72, 0.01);  // el margen se respeta entero
    EXPECT_LE(credito->box.Right(), derecha + 0.01);
    if (margen < 30) {
      EXPECT_EQ(credito->font.size, 8);
      EXPECT_NEAR(credito->box.Right() - codigo->box.x, 680 * 0.75, 0.01);
    } else {
      EXPECT_LT(credito->font.size, 8);
      EXPECT_GT(credito->font.size, 7);
    }
  }
}

TEST_F(Impresion, SinDataIniAvisaYMargenInvalidoNoImprime) {
  std::filesystem::remove(dir + "/data.ini");
  TFrmBalances* f = Ventana(2);
  Procesar(f);
  ui->takeMessages();
  std::string t = Texto(Imprimir(f, "prueba_sin_ini"));
  EXPECT_EQ(ui->lastMessage(), "Debe crear el INI dentro de la carpeta");
  EXPECT_TRUE(Tiene(t, "Colegio San José  890.123.456-7"));
  size_t vistos = tv::report::HeadlessUi().shown.size();
  f->edMargen->Text = "dos";
  EXPECT_ANY_THROW(f->btnImprimirClick(f));
  EXPECT_EQ(tv::report::HeadlessUi().shown.size(), vistos);
}

}  // namespace
}  // namespace balances_test
