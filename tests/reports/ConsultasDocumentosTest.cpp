// Consulta de documentos: reparación de encabezados, sumas, descuadres y listado impreso.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "reports/FrmInfComp.h"
#include "reports/LibrosConsultas.h"
#include "support/Separadores.h"

using consultas::LibrosConsultas;

namespace {

class ConsultaDocumentos : public LibrosConsultas {
 protected:
  void SetUp() override {
    LibrosConsultas::SetUp();
    FrmInfComp = new TFrmInfComp(nullptr);
    f.reset(FrmInfComp);
    f->Show();
  }
  void TearDown() override {
    f.reset();
    FrmInfComp = nullptr;
    LibrosConsultas::TearDown();
  }
  void Correr(const char* tipo = " Todos", const char* desde = "01/01/2026", const char* hasta = "31/01/2026") {
    ui->now(f.get()).pick("CBDocumentos", tipo).set("EdFechaInicio", desde).set("EdFechaFinal", hasta)
        .click("BtnAceptar");
  }
  std::string Campo(const std::string& numero, const char* campo) {
    return Valor(libros, std::string("SELECT ") + campo + " FROM mvtMaestro WHERE numedocu='" + numero + "'");
  }
  std::string Cuantos(const std::string& numero) {
    return Valor(libros, "SELECT count(*) FROM mvtMaestro WHERE numedocu='" + numero + "'");
  }
  std::unique_ptr<TFrmInfComp> f;
};

TEST_F(ConsultaDocumentos, CreaLosEncabezadosQueFaltanDesdeElPrimerGrupoPorFecha) {
  Agregar({// Con encabezado y líneas en dos fechas: no se duplica.
           {"1105", "800", "2026-01-02", "10", "", "CE", "A"},
           {"2408", "800", "2026-01-03", "", "10", "CE", "A"},
           // Sin encabezado, dos fechas: un encabezado con el grupo más temprano.
           {"1105", "800", "2026-01-10", "100", "", "CE", "B"},
           {"2408", "800", "2026-01-10", "", "100", "CE", "B"},
           {"1105", "800", "2026-01-05", "30.456", "", "CE", "B"},
           // Sin encabezado y con comilla en el número.
           {"1105", "800", "2026-01-06", "7", "", "CE", "7'A"},
           // Sin fecha: fecha cero.
           {"1105", "800", "", "5", "", "CE", "E"}});
  Encabezado("CE", "A", "2026-01-02");
  Encabezado("CE", "C", "2026-01-04");  // sin líneas: no tapa al que falta
  Correr();
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
  EXPECT_EQ(Cuantos("A"), "1");
  EXPECT_EQ(Cuantos("B"), "1");
  EXPECT_EQ(Campo("B", "fecha"), "2026-01-05");
  EXPECT_EQ(Campo("B", "valor"), "30.460000");
  EXPECT_EQ(Campo("B", "qitems"), "1");
  EXPECT_EQ(Campo("7''A", "qitems"), "1");
  EXPECT_EQ(Campo("E", "fecha"), "1899-12-30");
  EXPECT_EQ(Campo("E", "descdocu"), "CE");

  // La lista sale por tipo y número; el encabezado sin fecha queda fuera del periodo.
  EXPECT_EQ(Columna(f->DBGrid1, 2), "7'A|A|B|C");
  EXPECT_EQ(AnsiString(f->LblT->Caption), "4");
  // Las líneas sin fecha entran en las sumas de cualquier periodo.
  EXPECT_EQ(AnsiString(f->lblSumaDebito->Caption), prueba::Mostrado("152.46"));
  EXPECT_EQ(AnsiString(f->lblSumaCredito->Caption), prueba::Mostrado("110.00"));
  EXPECT_TRUE(f->Panel1->Visible);
  EXPECT_EQ(AnsiString(f->lblSumasDesiguales->Caption), prueba::Mostrado("SUMAS DESIGUALES EN:42.46"));
  EXPECT_EQ(Columna(f->DBGrid2, 1), "7'A|B|E");

  // Correr otra vez no crea nada más; ordenar por fecha cambia el orden.
  ui->now(f.get()).check("chbFecha");
  Correr();
  EXPECT_EQ(Valor(libros, "SELECT count(*) FROM mvtMaestro"), "5");
  EXPECT_EQ(Columna(f->DBGrid1, 2), "A|C|B|7'A");
}

TEST_F(ConsultaDocumentos, UnTipoSumaSusLineasConYSinFecha) {
  Agregar({{"1105", "800", "2026-01-02", "10", "", "CE", "1"},
           {"2408", "800", "2026-01-02", "", "10", "CE", "1"},
           {"1105", "800", "", "4", "", "NC", "2"},
           {"1105", "800", "2026-01-02", "50", "", "NC", "3"},
           {"2408", "800", "2026-02-02", "", "50", "NC", "3"}});
  Correr("NC:NOTA DE CONTABILIDAD");
  EXPECT_EQ(Columna(f->DBGrid1, 2), "3");
  EXPECT_EQ(AnsiString(f->lblSumaDebito->Caption), prueba::Mostrado("54.00"));
  EXPECT_EQ(AnsiString(f->lblSumaCredito->Caption), prueba::Mostrado("0.00"));
}

TEST_F(ConsultaDocumentos, ElPanelSaleConCualquierDiferenciaYSeOcultaAlCuadrar) {
  Agregar({{"1105", "800", "2026-01-02", "0.1", "", "CE", "1"},
           {"1105", "800", "2026-01-02", "0.2", "", "CE", "1"},
           {"2408", "800", "2026-01-02", "", "0.3", "CE", "1"}});
  Correr();
  EXPECT_FALSE(f->Panel1->Visible) << "el ruido de la suma no levanta el panel";

  Agregar({{"2408", "800", "2026-01-03", "", "0.004", "CE", "2"}});
  Correr();
  EXPECT_TRUE(f->Panel1->Visible) << "una fracción de centavo sí";
  EXPECT_EQ(f->DBGrid2->DisplayRowCount(), 0) << "la lista solo muestra diferencias de más de 0.1";

  Ejecutar(libros, "DELETE FROM MVT WHERE numedocu='2'");
  Correr();
  EXPECT_FALSE(f->Panel1->Visible);
}

TEST_F(ConsultaDocumentos, FilasEnRojoPorDescuadre) {
  Agregar({{"1105", "800", "2026-01-02", "10", "", "CE", "1"}});
  Encabezado("CE", "1", "2026-01-02", "0.4");
  Encabezado("CE", "2", "2026-01-02", "0.5");
  Encabezado("CE", "3", "2026-01-02", "0.6");
  Correr();
  ASSERT_EQ(f->DBGrid1->DisplayRowCount(), 3);
  EXPECT_NE(f->DBGrid1->PaintCell(0, 0)->BackgroundColor(), clRed);
  EXPECT_NE(f->DBGrid1->PaintCell(0, 1)->BackgroundColor(), clRed);
  EXPECT_EQ(f->DBGrid1->PaintCell(0, 2)->BackgroundColor(), clRed);
  EXPECT_EQ(f->DBGrid1->PaintCell(4, 2)->BackgroundColor(), clRed);
}

TEST_F(ConsultaDocumentos, SinMovimientoOSinEncabezadosAvisaYLuegoLimpia) {
  Correr();
  EXPECT_EQ(AnsiString(f->LblResult->Caption), "No hay información para mostrar");
  Agregar({{"1105", "800", "2026-03-02", "10", "", "CE", "1"}});
  Correr();
  EXPECT_EQ(AnsiString(f->LblResult->Caption), "No hay información para mostrar");
  EXPECT_EQ(AnsiString(f->LblT->Caption), "0");
  EXPECT_FALSE(f->BtnInforme->Enabled);
  Correr(" Todos", "01/03/2026", "31/03/2026");
  EXPECT_EQ(AnsiString(f->LblResult->Caption), "");
  EXPECT_TRUE(f->BtnInforme->Enabled);
}

TEST_F(ConsultaDocumentos, ListadoImpresoDeDocumentos) {
  Agregar({{"1105", "800", "2026-01-02", "1500", "", "CE", "1"},
           {"2408", "800", "2026-01-02", "", "1500", "CE", "1"},
           {"1105", "800", "2026-01-03", "20", "", "XX", "9"},
           {"2408", "800", "2026-01-03", "", "20", "XX", "9"}});
  Correr();
  ui->now(f.get()).click("BtnInforme");
  std::string t = TextoInforme();
  EXPECT_NE(t.find("Tipo de Documento"), std::string::npos) << t;
  EXPECT_NE(t.find("Numero de Documento"), std::string::npos) << t;
  EXPECT_NE(t.find(prueba::Mostrado("1,500.00")), std::string::npos) << t;
  EXPECT_NE(t.find("Comprobante no conocido."), std::string::npos) << t;
  EXPECT_NE(t.find(prueba::Mostrado("1,520.00")), std::string::npos) << t;
}

// El monto más ancho que acepta el diario sale entero en el valor y en la suma (cada prueba
// vigila los textos cortados).
TEST_F(ConsultaDocumentos, ListadoImpresoConElMontoMasAncho) {
  Agregar({{"1105", "800", "2026-01-02", "9999999999999.99", "", "CE", "123456789012345"},
           {"2408", "800", "2026-01-02", "", "9999999999999.99", "CE", "123456789012345"}});
  Correr();
  ui->now(f.get()).click("BtnInforme");
  std::string t = TextoInforme();
  const std::string maximo = prueba::Mostrado("9,999,999,999,999.99");
  EXPECT_NE(t.find("123456789012345 | " + maximo), std::string::npos) << t;
}

TEST_F(ConsultaDocumentos, UnaFallaEnLaReparacionNoDejaEncabezadosAMedias) {
  Agregar({{"1105", "800", "2026-01-02", "10", "", "CE", "A"},
           {"1105", "800", "2026-01-03", "10", "", "CE", "B"}});
  // El segundo encabezado no se puede grabar.
  Ejecutar(libros,
           "CREATE TRIGGER falla BEFORE INSERT ON mvtMaestro WHEN NEW.numedocu='B' "
           "BEGIN SELECT RAISE(ABORT, 'disco lleno'); END");
  Correr();
  EXPECT_FALSE(ui->messages().empty());
  EXPECT_EQ(Valor(libros, "SELECT count(*) FROM mvtMaestro"), "0") << "ni el primero queda";
  Ejecutar(libros, "DROP TRIGGER falla");
  ui->takeMessages();
  Correr();
  EXPECT_EQ(Valor(libros, "SELECT count(*) FROM mvtMaestro"), "2");
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
}

TEST_F(ConsultaDocumentos, AyudaConF1EnFechasListaYTipos) {
  std::filesystem::create_directories(dir + "/help");
  std::ofstream(dir + "/help/inf_documentos.html") << "<html></html>";
  ui->now(f.get()).key("EdFechaInicio", VK_F1).key("CBDocumentos", VK_F1).key("DBGrid1", VK_F1);
  ASSERT_EQ(ui->launches().size(), 3u);
  for (const auto& l : ui->launches()) EXPECT_NE(l.target.str().find("inf_documentos.html"), std::string::npos);
}

}  // namespace
