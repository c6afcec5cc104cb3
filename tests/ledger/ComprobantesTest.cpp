// Ver e imprimir comprobantes: el corriente, el de detalle, la lista de encabezados y los
// llamadores de pagos que imprimen con sus propios datos.
#include <filesystem>
#include <string>

#include "ledger/DocumentosFixture.h"
#include "ledger/FrmVerImp.h"
#include "ledger/FrmVerImprimir.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/QuickRpt.h"
#include "platform/report/Render.h"
#include "shared/general/MontoEscrito.h"
#include "support/Separadores.h"


using tv::report::HeadlessUi;

namespace {

bool Tiene(const std::string& texto, const std::string& parte) { return texto.find(parte) != std::string::npos; }

class Comprobantes : public ledger::Documentos {
 protected:
  void SetUp() override {
    Documentos::SetUp();
    NuevoTercero("900", "PROVEEDOR UNO", "CALLE 1 # 2-3");
    NuevoTercero("901", "PROVEEDOR DOS", "CARRERA 9");
    // Egreso pagado con dos cuentas de caja y bancos.
    Linea("CE", "15", "510506", 1500, 0, "900", "Arriendo de marzo");
    Linea("CE", "15", "110505", 0, 1000, "900", "Caja");
    Linea("CE", "15", "111005", 0, 500, "900", "Banco");
    Encabezado("CE", "15", 1500);
    // Egreso de dos terceros que no toca caja ni bancos.
    Linea("CE", "16", "510506", 700, 0, "900", "Servicios");
    Linea("CE", "16", "233595", 0, 700, "901", "Cuenta por pagar");
    Encabezado("CE", "16", 700);
  }
  void TearDown() override {
    FrmVerImp = nullptr;
    Documentos::TearDown();
  }

  // Abre el formulario, deja que el guion haga lo suyo y sale.
  void Usar(const std::function<void(tv::forms::Script&)>& guion) {
    auto& s = ui->onModal("TFrmVerImp");
    guion(s);
    s.click("Salir");
    FrmVerImp = new TFrmVerImp(nullptr);
    FrmVerImp->ShowModal();
    delete FrmVerImp;
  }
  static std::string Vista(int i) { return tv::report::DumpText(HeadlessUi().shown.at(i).report); }
  static const tv::report::PreparedReport& Reporte(int i) { return HeadlessUi().shown.at(i).report; }
};

TEST_F(Comprobantes, NumeroFaltanteDocumentoInexistenteYSeleccionSinLista) {
  Usar([](tv::forms::Script& s) {
    s.pick("CBDocumentos", "CE:COMPROBANTE DE EGRESO").set("edNumeDocu", "").click("Ver");
    s.set("edNumeDocu", "99").click("Ver");
    s.click("Ver el seleccionado");
  });
  auto m = ui->messages();
  ASSERT_EQ(m.size(), 3u) << ui->messageTexts().c_str();
  EXPECT_EQ(m[0].Text, "Por favor Ingrese un Numero de Documento");
  EXPECT_EQ(m[1].Text, "Documento no Existe");
  EXPECT_EQ(m[2].Kind, MsgKind::Exception);
  EXPECT_TRUE(HeadlessUi().shown.empty());
}

TEST_F(Comprobantes, ComprobanteCorrienteYSegundaVistaDesdeLaLista) {
  Usar([](tv::forms::Script& s) {
    s.pick("CBDocumentos", "CE:COMPROBANTE DE EGRESO").set("edNumeDocu", "15").click("Ver");
    s.run([](TForm& f) {
      auto& v = static_cast<TFrmVerImp&>(f);
      EXPECT_FALSE(v.btnImprimir->Visible);
      EXPECT_EQ(v.Query2->RecordCount, 2);
    });
    s.row("DBGrid1", 1).click("Ver el seleccionado");
  });
  EXPECT_EQ(ui->messageTexts(), "");
  ASSERT_EQ(HeadlessUi().shown.size(), 2u);
  const auto& r = Reporte(0);
  EXPECT_GT(r.width, r.height);  // carta horizontal
  std::string v1 = Vista(0);
  for (std::string parte : std::initializer_list<std::string>{"ENTIDAD PÚBLICA DE EJEMPLO NIT 800000000-1", "CE:COMPROBANTE DE EGRESO", "15",
                            "900", "PROVEEDOR UNO", "CALLE 1 # 2-3", "Arriendo de marzo", prueba::Mostrado("1,500.00"),
                            "Recibí a satisfacción", "15/03/2026"})
    EXPECT_TRUE(Tiene(v1, parte)) << parte << "\n" << v1;
  std::string pagado = "VALOR PAGADO: " + std::string(montoEscritoPlus("1500", nullptr, false).Trim().c_str());
  EXPECT_TRUE(Tiene(v1, pagado)) << v1;

  // La segunda vista no conserva nada de la primera.
  std::string v2 = Vista(1);
  EXPECT_TRUE(Tiene(v2, "(varios)")) << v2;
  EXPECT_TRUE(Tiene(v2, "Cuenta por pagar"));
  for (const char* resto : {"PROVEEDOR UNO", "CALLE 1", "VALOR PAGADO", "Arriendo"})
    EXPECT_FALSE(Tiene(v2, resto)) << resto << "\n" << v2;
}

TEST_F(Comprobantes, RecibidoSoloEnEgresosYPagosDetalleEnTresLineas) {
  std::string largo;
  for (int i = 0; i < 250; ++i) largo += static_cast<char>('a' + i % 26);
  Linea("NC", "3", "110505", 0, 200, "999", largo);
  Linea("NC", "3", "510506", 200, 0, "999", "Ajuste");
  Usar([](tv::forms::Script& s) {
    s.pick("CBDocumentos", "NC:NOTA DE CONTABILIDAD").set("edNumeDocu", "3").click("Ver");
  });
  ASSERT_EQ(HeadlessUi().shown.size(), 1u);
  std::string v = Vista(0);
  EXPECT_TRUE(Tiene(v, "Tercero no encontrado.")) << v;
  EXPECT_FALSE(Tiene(v, "Recibí a satisfacción"));
  EXPECT_FALSE(Tiene(v, "VALOR PAGADO"));
  EXPECT_TRUE(Tiene(v, "| " + largo.substr(0, 100) + " |")) << v;
  EXPECT_TRUE(Tiene(v, "\n" + largo.substr(100, 100) + "\n"));
  EXPECT_TRUE(Tiene(v, "\n" + largo.substr(200, 50) + "\n"));
  // Sin la raya de "Recibí a satisfacción": las cuatro de firmas menos una.
  int lineas = 0;
  for (const auto& it : Reporte(0).pages.at(0).items)
    if (auto* s = std::get_if<tv::report::ShapeItem>(&it))
      if (s->kind == tv::report::ShapeKind::HorLine && s->box.y > 300) ++lineas;
  EXPECT_EQ(lineas, 2);
}

// Un comprobante corriente de seis líneas cabe en una hoja.
TEST_F(Comprobantes, SeisLineasEnUnaSolaHoja) {
  for (int i = 0; i < 6; ++i)
    Linea("CE", "20", i < 3 ? "510506" : "110505", i < 3 ? 100 : 0, i < 3 ? 0 : 100, "900",
          "Linea " + std::to_string(i + 1));
  Encabezado("CE", "20", 300, "Pago de servicios");
  Usar([](tv::forms::Script& s) {
    s.pick("CBDocumentos", "CE:COMPROBANTE DE EGRESO").set("edNumeDocu", "20").click("Ver");
  });
  ASSERT_EQ(HeadlessUi().shown.size(), 1u);
  EXPECT_EQ(Reporte(0).PageCount(), 1) << Vista(0);
  for (int i = 1; i <= 6; ++i) EXPECT_TRUE(Tiene(Vista(0), "Linea " + std::to_string(i))) << i;
}

TEST_F(Comprobantes, ComprobanteConDetalleSegunElTipo) {
  Linea("IN", "7", "110505", 800.25, 0, "900", "Matrículas");
  Linea("IN", "7", "416005", 0, 800.25, "900", "Matrículas");
  Encabezado("IN", "7", 800.25, "Recaudo de matrículas\ndel primer semestre");
  Linea("NC", "4", "510506", 50, 0, "901");
  Linea("NC", "4", "233595", 0, 50, "901");
  Encabezado("NC", "4", 50, "Reclasificación");
  Usar([](tv::forms::Script& s) {
    s.pick("CBDocumentos", "IN:RECIBO DE CAJA").set("edNumeDocu", "7").set("edMargen", "15").click("Ver");
  });
  Usar([](tv::forms::Script& s) {
    s.pick("CBDocumentos", "NC:NOTA DE CONTABILIDAD").set("edNumeDocu", "4").click("Ver");
  });
  ASSERT_EQ(HeadlessUi().shown.size(), 2u);
  const auto& r = Reporte(0);
  EXPECT_LT(r.width, r.height);  // carta vertical
  std::string v = Vista(0);
  for (std::string parte : std::initializer_list<std::string>{"ENTIDAD PÚBLICA DE EJEMPLO", "IN:RECIBO DE CAJA", "Nº:", "Recibido de:",
                            "900 PROVEEDOR UNO", "Recaudo de matrículas", "del primer semestre",
                            "MARZO", prueba::Mostrado("800.25"), "SUMAS IGUALES", "Aprobado por:"})
    EXPECT_TRUE(Tiene(v, parte)) << parte << "\n" << v;
  EXPECT_FALSE(Tiene(v, "La suma de:"));
  // Margen izquierdo de 15 mm: nada se imprime antes.
  double izquierda = 1e9;
  for (const auto& it : r.pages.at(0).items)
    if (auto* t = std::get_if<tv::report::TextItem>(&it)) izquierda = std::min(izquierda, t->box.x);
  EXPECT_NEAR(izquierda, 15 / 25.4 * 72, 3);

  std::string otro = Vista(1);
  EXPECT_TRUE(Tiene(otro, "Reclasificación"));
  EXPECT_FALSE(Tiene(otro, "Recibido de:"));
  EXPECT_FALSE(Tiene(otro, "Pagado a:"));
  EXPECT_FALSE(Tiene(otro, "PROVEEDOR DOS"));
}

TEST_F(Comprobantes, TipoEscritoSinDosPuntosEsElCodigo) {
  Usar([](tv::forms::Script& s) { s.set("CBDocumentos", " CE ").set("edNumeDocu", "15").click("Ver"); });
  EXPECT_EQ(ui->messageTexts(), "");
  ASSERT_EQ(HeadlessUi().shown.size(), 1u);
  EXPECT_TRUE(Tiene(Vista(0), "PROVEEDOR UNO"));
}

// Como los comprobantes de pagos: su propia consulta de líneas, rótulos llenos por ellos.
TEST_F(Comprobantes, LlamadorDePagosConSusDatos) {
  Linea("CP", "20", "510506", 1500, 0, "900", "Pago de servicios");
  Linea("CP", "20", "111005", 0, 1500, "900", "Banco");
  TQuery lineas(nullptr);
  HagaSQL("Contabilidad", &lineas, "select * from Mvt where DescDocu='CP'  and Numedocu='20'");

  FrmVerImprimir = new TFrmVerImprimir(nullptr, &lineas);
  std::unique_ptr<TFrmVerImprimir> v(FrmVerImprimir);
  EXPECT_EQ(v->DataSource1->DataSet, &lineas);
  v->descDocu = "CP";
  v->numeDocu = "20";
  v->LD->Caption = "CP";
  v->LN->Caption = "20";
  v->QRLabel14->Caption = "900";
  v->QRLabel15->Caption = "PROVEEDOR UNO";
  v->QRLabel16->Caption = "CALLE 1 # 2-3";
  v->QRLabel22->Caption = "Checque No: 4455";
  v->QuickReport1->Preview();
  v.reset();

  TFrmRepAsientosconDetalle* d = new TFrmRepAsientosconDetalle(nullptr);
  std::unique_ptr<TFrmRepAsientosconDetalle> dp(d);
  d->DataSource1->DataSet = &lineas;
  d->QRMemo1->Lines->SetText("Pago de la factura 88");
  d->LD->Caption = "CP";
  d->LN->Caption = "20";
  d->Tercero = "900 PROVEEDOR UNO";
  d->QRLblModo->Caption = "Pagado a:";
  d->SumaEnLetras = 1500;
  d->QRLabel16->Enabled = true;
  d->QRLblNumLetras->Enabled = true;
  d->QuickReport1->Preview();

  ASSERT_EQ(HeadlessUi().shown.size(), 2u);
  std::string p = Vista(0);
  for (const char* parte : {"Checque No: 4455", "Pago de servicios", "Recibí a satisfacción", "VALOR PAGADO"})
    EXPECT_TRUE(Tiene(p, parte)) << parte << "\n" << p;
  std::string q = Vista(1);
  std::string letras = montoEscritoPlus("1500", nullptr, false).Trim().c_str();
  for (std::string parte : {std::string("La suma de:"), letras, std::string("Pagado a:"),
                            std::string("900 PROVEEDOR UNO"), std::string("Pago de la factura 88")})
    EXPECT_TRUE(Tiene(q, parte)) << parte << "\n" << q;

  // Los dos en PDF, para mirarlos.
  std::string pdf = dir + "/comprobante.pdf", pdf2 = dir + "/comprobante-detalle.pdf";
  tv::report::SavePdf(Reporte(0), pdf);
  tv::report::SavePdf(Reporte(1), pdf2);
  EXPECT_GT(std::filesystem::file_size(pdf), 1000u);
  if (const char* carpeta = std::getenv("TV_VOUCHER_PDF")) {
    std::filesystem::copy_file(pdf, std::string(carpeta) + "/comprobante.pdf",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(pdf2, std::string(carpeta) + "/comprobante-detalle.pdf",
                               std::filesystem::copy_options::overwrite_existing);
  }
}

}  // namespace
