#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/Permisos.h"
#include "app/Sesion.h"
#include "budget/FrmCertDisp.h"
#include "budget/FrmExpCertDisp.h"
#include "budget/Presupuesto.h"
#include "budget/FrmAudPpto.h"
#include "platform/db/DBTables.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Vcl.h"
#include "platform/report/Render.h"
#include "platform/report/ReportUi.h"
#include "support/Separadores.h"

namespace {

using presupuesto::Presupuesto;
using namespace presupuesto::ayuda;

class ExpCertDisp : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Permisos.BGrabar = Permisos.BModificar = Permisos.BBorrar = true;
  }
  void TearDown() override {
    delete f;
    f = nullptr;
    Presupuesto::TearDown();
  }
  TfrmExpCertDisp* Abrir() {
    DM->tblPAC->Refresh();
    f = new TfrmExpCertDisp(nullptr);
    f->Show();
    return f;
  }
  tv::forms::Script F() { return ui->now(f); }
  void Ir(double icd) {
    ASSERT_TRUE(DM->tblMvtCertDisp->Locate("icd", Variant(icd)));
  }
  std::string Numeros(const char* tabla) {
    return Leer(std::string("SELECT group_concat(icd, ',') FROM (SELECT icd FROM ") + tabla + " ORDER BY icd)");
  }
  TfrmExpCertDisp* f = nullptr;
};

TEST_F(ExpCertDisp, PendienteEnRojoPlanYRegistros) {
  Certificado(1, "2026-02-01", 1000, "");
  Certificado(2, "2026-02-01", 500, "");
  Registro(1, 2, "2026-02-02", 400);
  Registro(2, 2, "2026-02-03", 300.5);
  Sql("INSERT INTO pac (icd, m1) VALUES (2, 500)");
  Abrir();
  EXPECT_EQ(f->lblPagoPendiente->Caption, prueba::Mostrado("1,000.00"));
  EXPECT_EQ(f->lblPagoPendiente->Font->Color, clBlack);
  EXPECT_EQ(f->Label2->Caption, "PAC (0)");
  // Los valores de la lista se ven como todo monto.
  EXPECT_EQ(f->DBGrid1->PaintCell(3, 0)->LastText(), prueba::Mostrado("1,000.00"));
  EXPECT_EQ(f->DBGrid1->PaintCell(3, 1)->LastText(), prueba::Mostrado("500.00"));
  F().row("DBGrid1", 1);
  EXPECT_EQ(f->lblPagoPendiente->Caption, prueba::Mostrado("-200.50"));
  EXPECT_EQ(f->lblPagoPendiente->Font->Color, static_cast<TColor>(255));
  EXPECT_EQ(f->Label2->Caption, "PAC (1)");
  EXPECT_EQ(f->Label4->Caption, "2 Registros presupuestales, que suman: " + prueba::Mostrado("700.50"));
  EXPECT_EQ(f->QueryRegPptal->RecordCount, 2);
  // Ctrl+Supr no borra desde la rejilla.
  F().key("DBGrid1", VK_DELETE, TShiftState{ssCtrl});
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtCertDisp"), "2");
}

TEST_F(ExpCertDisp, BorrarDejaLosRegistrosYLaAuditoriaLosMuestra) {
  Certificado(1, "2026-02-01", 1000, "", {{"2.3.2", 1000}});
  Certificado(2, "2026-02-01", 10, "");
  Sql("INSERT INTO pac (icd, m1) VALUES (1, 1000)");
  Registro(7, 1, "2026-02-02", 400);
  Abrir();
  ui->takeMessages();
  F().click("&Borrar");
  EXPECT_TRUE(ui->messages().empty());  // sin pregunta
  EXPECT_EQ(Numeros("mvtCertDisp"), "2");
  EXPECT_EQ(Leer("SELECT count(*) FROM certDispRubros") + Leer("SELECT count(*) FROM pac"), "00");
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtRegPptal"), "1");
  EXPECT_TRUE(f->audPpto->Showing());
  EXPECT_EQ(f->audPpto->Left, 0);
  EXPECT_TRUE(f->audPpto->lblAutomatica->Visible);
  EXPECT_NE(AnsiString(f->audPpto->Memo1->Lines->Text()).Pos("El registro presupuestal 7"), 0);
}

// Números con prefijo de año (más de 16.777.216) y alrededor de 1.000.000: cada acción obra
// sobre el certificado elegido y no sobre su vecino.
TEST_F(ExpCertDisp, NumerosGrandesExactosEnCadaAccion) {
  for (double n : {1000000.0, 1000001.0, 20260000.0, 20260001.0}) {
    Certificado(n, "2026-02-01", 10, "", {{"2.3.2", 10}});
    Sql("INSERT INTO pac (icd) VALUES (" + Nm(n) + ")");
    Registro(n, n, "2026-02-02", n == 20260001.0 ? 7 : 1);
  }
  Abrir();
  Ir(20260001);
  f->DataSource1DataChange(nullptr, nullptr);
  EXPECT_EQ(f->QueryRegPptal->RecordCount(), 1);
  EXPECT_EQ(f->QueryRegPptal->FieldByName("irp")->AsFloat, 20260001.0);
  F().click("&Imprimir actual");
  std::string t = tv::report::DumpText(tv::report::HeadlessUi().Last()->report);
  EXPECT_NE(t.find("20260001"), std::string::npos) << t;
  EXPECT_EQ(t.find("20260000"), std::string::npos) << t;
  Ir(20260001);
  F().click("&Borrar");
  for (const char* tabla : {"mvtCertDisp", "pac", "certDispRubros"})
    EXPECT_EQ(Numeros(tabla), "1000000,1000001,20260000") << tabla;
  Ir(20260000);
  ui->answer("aumentar", IDYES);
  F().click("Consecutivo +");
  for (const char* tabla : {"mvtCertDisp", "pac", "certDispRubros"})
    EXPECT_EQ(Numeros(tabla), "1000000,1000001,20260001") << tabla;
  EXPECT_EQ(Leer("SELECT icd FROM mvtRegPptal WHERE irp=20260000"), "20260001");
  Ir(1000001);
  ui->answer(IDYES);
  F().click("Consecutivo -");
  EXPECT_EQ(ui->lastMessage(), "El anterior CD debe tener un número no consecutivo.");
  Ir(20260001);
  ui->answer(IDYES);
  F().click("Consecutivo -");
  EXPECT_EQ(Numeros("mvtCertDisp"), "1000000,1000001,20260000");
}

TEST_F(ExpCertDisp, ConsecutivoMasYMenos) {
  for (double n : {1, 2, 5}) {
    Certificado(n, "2026-02-01", 10, "", {{"2.3.2", 10}});
    Sql("INSERT INTO pac (icd) VALUES (" + Nm(n) + ")");
    Registro(n, n, "2026-02-02", 1);
  }
  Abrir();
  // "No" no cambia nada.
  Ir(5);
  ui->answer(IDNO);
  F().click("Consecutivo -");
  EXPECT_EQ(Numeros("mvtCertDisp"), "1,2,5");
  // Con hueco antes: 5 pasa a 4 con su PAC, rubros y registros.
  Ir(5);
  ui->answer(IDYES);
  F().click("Consecutivo -");
  for (std::string t : std::initializer_list<std::string>{"mvtCertDisp", "pac", "certDispRubros", "mvtRegPptal"}) EXPECT_EQ(Numeros(t.c_str()), "1,2,4") << t;
  struct Caso {
    double icd;
    const char* mensaje;
  };
  for (Caso c : {Caso{2, "El anterior CD debe tener un número no consecutivo."},
                 Caso{1, "El primer número es 1. Imposible disminuir."}}) {
    Ir(c.icd);
    ui->answer(IDYES);
    F().click("Consecutivo -");
    EXPECT_EQ(ui->lastMessage(), c.mensaje);
  }
  // "+" sobre el 2 abre el hueco: 1, 3, 5.
  Ir(2);
  ui->answer("aumentar", IDYES);
  F().click("Consecutivo +");
  for (std::string t : std::initializer_list<std::string>{"mvtCertDisp", "pac", "certDispRubros", "mvtRegPptal"}) EXPECT_EQ(Numeros(t.c_str()), "1,3,5") << t;
  EXPECT_EQ(Leer("SELECT icd FROM mvtRegPptal WHERE irp=2"), "3");
  // Con la lista filtrada el anterior se toma de toda la tabla.
  DM->tblMvtCertDisp->Filter = "icd>=5";
  DM->tblMvtCertDisp->Filtered = true;
  DM->tblMvtCertDisp->First();
  ui->answer(IDYES);
  F().click("Consecutivo -");
  DM->tblMvtCertDisp->Filtered = false;
  DM->tblMvtCertDisp->Filter = "";
  EXPECT_EQ(Numeros("mvtCertDisp"), "1,3,4");
  // Un primer número distinto de 1 baja contra 0.
  Sql("DELETE FROM mvtCertDisp WHERE icd=1");
  DM->tblMvtCertDisp->Refresh();
  Ir(3);
  ui->answer(IDYES);
  F().click("Consecutivo -");
  EXPECT_EQ(Numeros("mvtCertDisp"), "2,3");
}

TEST_F(ExpCertDisp, ListadoDeCertificados) {
  Certificado(1, "2026-02-01", 100, "", {{"2.1.1.01", 60}, {"2.3.2", 40}});
  Certificado(2, "2026-02-05", 50, "2.3.2");
  Abrir();
  F().click("&Imprimir listado");
  ASSERT_EQ(ui->launches().size(), 1u);
  std::string ruta = (PathOrigen + "/mvtCertDisp.txt").str();
  EXPECT_EQ(ui->launches()[0].target.str(), ruta);
  std::ifstream in(ruta, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  std::string texto = ss.str();
  EXPECT_NE(texto.find("Listado de CDPs realizados"), std::string::npos);
  EXPECT_NE(texto.find("2.1.1.01"), std::string::npos);
  // Una línea por rubro del certificado 1 y una por el 2.
  size_t lineas = 0;
  for (char c : texto) lineas += c == '\n';
  EXPECT_GE(lineas, 4u);
}

TEST_F(ExpCertDisp, ElExploradorDelFormularioNoDesviaLaGrabacion) {
  Movimiento("AP1", "APR", "2026-01-02", {{"1.2.05", "I", 1000, 0}, {"2.3.2", "E", 0, 1000}});
  Certificado(1, "2026-02-01", 100, "", {{"2.3.2", 100}});
  Sql("UPDATE mvtCertDisp SET objetoGasto='uno', func=100, inv=0, vigFiscal='2026', fechaVenc='2026-12-31'");
  Certificado(2, "2026-02-01", 200, "", {{"2.3.2", 200}});
  DM->tblMvtCertDisp->Refresh();
  auto* cd = new TfrmCertDisp(nullptr);
  cd->Show();
  auto C = [&] { return ui->now(cd); };
  C().set("edIcertDisp", "1").focus("edObjetoGasto");
  C().click("&Explorar");
  TfrmExpCertDisp* ex = cd->explorador;
  ASSERT_TRUE(ex && ex->Showing());
  ui->now(ex).row("DBGrid1", 1);
  EXPECT_EQ(DM->tblMvtCertDisp->FieldByName("icd")->AsFloat, 2);
  C().set("edObjetoGasto", "uno cambiado").click("&Grabar");
  EXPECT_EQ(ui->lastMessage(), "Certificado de disponibilidad grabado.");
  EXPECT_EQ(Leer("SELECT group_concat(icd || '=' || coalesce(objetoGasto, ''), ',') FROM mvtCertDisp"),
            "1=uno cambiado,2=");
  // Cerrar el explorador solo lo oculta.
  ui->now(ex).click("&Salir");
  EXPECT_FALSE(ex->Showing());
  C().click("&Explorar");
  EXPECT_TRUE(ex->Showing());
  cd->Close();
  delete cd;
}

}  // namespace
