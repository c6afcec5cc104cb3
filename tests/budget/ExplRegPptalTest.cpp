#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "app/Permisos.h"
#include "app/Sesion.h"
#include "budget/FrmExplRegPptal.h"
#include "budget/FrmRegPptal.h"
#include "budget/Presupuesto.h"
#include "budget/FrmAudPpto.h"
#include "platform/db/DBTables.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Vcl.h"
#include "platform/report/Render.h"
#include "platform/report/ReportUi.h"
#include "app/Validaciones.h"
#include "shared/general/Numeros.h"
#include "support/Separadores.h"

namespace {

using presupuesto::Presupuesto;
using namespace presupuesto::ayuda;

class ExplRegPptal : public Presupuesto {
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
  TfrmExplRegPptal* Abrir(bool filtrado = false, double icd = 0) {
    f = new TfrmExplRegPptal(nullptr);
    f->filtrado = filtrado;
    f->setIcd(icd);
    f->Show();
    return f;
  }
  tv::forms::Script F() { return ui->now(f); }
  void Ir(double irp) { ASSERT_TRUE(f->Query1->Locate("irp", Variant(irp))); }
  std::string Numeros(const char* tabla, const char* campo = "irp") {
    return Leer(std::string("SELECT group_concat(") + campo + ", ',') FROM (SELECT " + campo + " FROM " + tabla +
                " WHERE " + campo + " IS NOT NULL ORDER BY 1)");
  }
  // Orden de pago con su documento contable.
  void OrdenConDocumento(double iop, double irp, double valor) {
    OrdenPago(iop, irp, "2026-03-01", valor);
    std::string numero = Nm(iop);
    Sql("UPDATE mvtOrdenPago SET descdocu='_OP', numeDocu='" + numero + "' WHERE iop=" + numero);
    // Hecho con plantilla: el asiento es de la orden que lo nombra.
    Sql("INSERT INTO mvtMaestro (descdocu, numedocu, fecha, tipoAsiento) VALUES ('_OP', '" + numero +
        "', '2026-03-01', 'P')");
    Sql("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito) VALUES ('110505', '_OP', '" + numero +
        "', '2026-03-01', 1)");
  }
  TfrmExplRegPptal* f = nullptr;
};

TEST_F(ExplRegPptal, ListaFiltradaYOrdenesDelSeleccionado) {
  Certificado(1, "2026-02-01", 5000, "");
  Certificado(2, "2026-02-01", 5000, "");
  Registro(1, 1, "2026-02-02", 1000);
  Registro(2, 2, "2026-02-02", 50);
  OrdenPago(1, 1, "2026-03-01", 300);
  OrdenPago(2, 1, "2026-03-02", 200);
  OrdenServicio(4, 1);
  Abrir(true, 2);
  EXPECT_EQ(f->Query1->RecordCount, 1);
  f->setIcd(0);  // todos, diga lo que diga filtrado
  EXPECT_EQ(f->Query1->RecordCount, 2);
  Ir(1);
  EXPECT_EQ(f->Label1->Caption,
            "Ordenes de pago asociada al registro presupuestal, suman: " + prueba::Mostrado("500.00 falta por ejecutar: 500.00"));
  EXPECT_EQ(f->QueryOrdenPago->RecordCount, 2);
  EXPECT_EQ(f->Label5->Caption, "Ordenes de suministro (0)");
  EXPECT_EQ(f->dbgOrdenSuministro->Color, static_cast<TColor>(0xC0C0C0));
  EXPECT_EQ(f->dbgOrdenServicio->Color, clWindow);
  Ir(2);
  EXPECT_EQ(f->dbgOrdenServicio->Color, static_cast<TColor>(0xC0C0C0));
  EXPECT_EQ(f->Label1->Caption,
            "Ordenes de pago asociada al registro presupuestal, suman: " + prueba::Mostrado("0.00 falta por ejecutar: 50.00"));
}

TEST_F(ExplRegPptal, BorradosConYSinOrdenesDePago) {
  Certificado(1, "2026-02-01", 5000, "");
  Registro(1, 1, "2026-02-02", 1000);
  Registro(2, 1, "2026-02-02", 100);
  Registro(3, 1, "2026-02-02", 100);
  OrdenConDocumento(10, 1, 300);
  OrdenConDocumento(11, 1, 200);
  OrdenConDocumento(12, 2, 50);
  OrdenServicio(4, 3);
  Abrir();
  Ir(1);
  F().click("Borrar Reg. Pptal y orden de pago asociada");
  EXPECT_EQ(Numeros("mvtRegPptal"), "2,3");
  EXPECT_EQ(Numeros("mvtOrdenPago", "iop"), "12");
  EXPECT_EQ(Numeros("mvtMaestro", "numedocu"), "12");
  EXPECT_EQ(Numeros("MVT", "numedocu"), "12");
  EXPECT_EQ(std::count(ui->formsShown().begin(), ui->formsShown().end(), "TfrmAudPpto"), 0);  // sin auditoría
  // Sin órdenes de pago no se borra ningún documento.
  Sql("INSERT INTO mvtMaestro (descdocu, numedocu, fecha) VALUES ('', '0', '2026-03-01')");
  Ir(3);
  F().click("Borrar Reg. Pptal y orden de pago asociada");
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtMaestro"), "2");
  // El borrado sencillo avisa, deja las órdenes y corre la auditoría.
  Ir(2);
  ui->takeMessages();
  F().click("Borrar Reg. Pptal");
  EXPECT_EQ(ui->messages().at(0).Text,
            "Las órdenes de servicio o suministro asociadas al registro no serán borradas y podrán ser utilizadas "
            "luego.");
  EXPECT_EQ(Numeros("mvtRegPptal"), "<null>");
  EXPECT_EQ(Numeros("mvtOrdenPago", "iop"), "12");
  EXPECT_EQ(std::count(ui->formsShown().begin(), ui->formsShown().end(), "TfrmAudPpto"), 1);
  EXPECT_TRUE(f->audPpto->lblAutomatica->Visible);
}

TEST_F(ExplRegPptal, RenumerarConSusOrdenes) {
  Certificado(1, "2026-02-01", 5000, "");
  for (double n : {3, 5, 6, 7}) Registro(n, 1, "2026-02-02", 10);
  OrdenPago(1, 5, "2026-03-01", 1);
  OrdenServicio(1, 6);
  OrdenSuministro(1, 7);
  Abrir();
  Ir(5);
  ui->answer(IDNO);
  F().click("Consecutivo +");
  EXPECT_EQ(Numeros("mvtRegPptal"), "3,5,6,7");
  Ir(5);
  ui->answer("aumentar", IDYES);
  F().click("Consecutivo +");
  EXPECT_EQ(Numeros("mvtRegPptal"), "3,6,7,8");
  EXPECT_EQ(Numeros("mvtOrdenPago") + "|" + Numeros("mvtOrdenServicio") + "|" + Numeros("mvtOrdenSumiMaestro"),
            "6|7|8");
  Ir(7);
  ui->answer(IDYES);
  F().click("Consecutivo -");
  EXPECT_EQ(ui->lastMessage(), "El anterior Reg. Pptal. debe tener un número no consecutivo.");
  Ir(6);
  ui->answer("disminuir", IDYES);
  F().click("Consecutivo -");
  EXPECT_EQ(Numeros("mvtRegPptal"), "3,5,6,7");
  EXPECT_EQ(Numeros("mvtOrdenPago") + "|" + Numeros("mvtOrdenServicio") + "|" + Numeros("mvtOrdenSumiMaestro"),
            "5|6|7");
  // Con la lista de otro certificado, el anterior sale de toda la tabla.
  Certificado(2, "2026-02-01", 5000, "");
  Registro(4, 2, "2026-02-02", 10);
  f->filtrado = true;
  f->setIcd(1);
  Ir(5);
  ui->answer(IDYES);
  F().click("Consecutivo -");
  EXPECT_EQ(ui->lastMessage(), "El anterior Reg. Pptal. debe tener un número no consecutivo.");
  Ir(3);
  ui->answer(IDYES);
  F().click("Consecutivo -");
  EXPECT_EQ(Numeros("mvtRegPptal"), "2,3,4,5,6");
  // El registro 1 no puede bajar.
  Sql("UPDATE mvtRegPptal SET irp=1 WHERE irp=2");
  f->setIcd(1);
  Ir(1);
  ui->answer(IDYES);
  F().click("Consecutivo -");
  EXPECT_EQ(ui->lastMessage(), "El anterior Reg. Pptal. debe tener un número no consecutivo.");
}

TEST_F(ExplRegPptal, ListadoDeRegistros) {
  Certificado(1, "2026-02-01", 100, "", {{"2.1.1.01", 60}, {"2.3.2", 40}});
  Certificado(2, "2026-02-05", 50, "2.3.2");
  Registro(1, 1, "2026-02-02", 10);
  Registro(2, 2, "2026-02-06", 20);
  Abrir();
  F().click("Imprimir Listado");
  ASSERT_EQ(ui->launches().size(), 1u);
  std::string ruta = (PathOrigen + "/registrosPresupuestales.txt").str();
  EXPECT_EQ(ui->launches()[0].target.str(), ruta);
  std::ifstream in(ruta, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  std::string texto = ss.str();
  EXPECT_NE(texto.find("Listado de RPs realizados"), std::string::npos);
  EXPECT_NE(texto.find("2.1.1.01"), std::string::npos);
  EXPECT_NE(texto.find("2.3.2"), std::string::npos);
}

// Números con prefijo de año (más de 16.777.216) y alrededor de 1.000.000: cada acción obra
// sobre el registro elegido y no sobre su vecino.
TEST_F(ExplRegPptal, NumerosGrandesExactosEnCadaAccion) {
  for (double n : {1000000.0, 1000001.0, 20260000.0, 20260001.0}) {
    Certificado(n, "2026-02-01", 5000, "");
    Registro(n, n, "2026-02-02", 100);
    OrdenConDocumento(n, n, n == 20260001.0 ? 70 : 30);
  }
  // Filtro por certificado.
  Abrir(true, 20260001);
  ASSERT_EQ(f->Query1->RecordCount(), 1);
  EXPECT_EQ(f->Query1->FieldByName("irp")->AsFloat, 20260001.0);
  EXPECT_NE(AnsiString(f->Label1->Caption).Pos("falta por ejecutar: " + AnsiString(Punto(30.0, 2))), 0)
      << f->Label1->Caption.c_str();
  // Impreso.
  F().click("&Imprimir");
  std::string t = tv::report::DumpText(tv::report::HeadlessUi().Last()->report);
  EXPECT_NE(t.find("20260001"), std::string::npos) << t;
  EXPECT_EQ(t.find("20260000"), std::string::npos) << t;
  // Borrado con sus órdenes y sus documentos.
  f->filtrado = false;
  f->setIcd(0);
  Ir(20260001);
  F().click("Borrar Reg. Pptal y orden de pago asociada");
  EXPECT_EQ(Numeros("mvtRegPptal"), "1000000,1000001,20260000");
  EXPECT_EQ(Numeros("mvtOrdenPago", "iop"), "1000000,1000001,20260000");
  EXPECT_EQ(Leer("SELECT group_concat(numedocu) FROM (SELECT numedocu FROM mvtMaestro ORDER BY 1)"),
            "1000000,1000001,20260000");
  // Renumeración hacia arriba y hacia abajo.
  Ir(20260000);
  ui->answer("aumentar", IDYES);
  F().click("Consecutivo +");
  EXPECT_EQ(Numeros("mvtRegPptal"), "1000000,1000001,20260001");
  EXPECT_EQ(Leer("SELECT irp FROM mvtOrdenPago WHERE iop=20260000"), "20260001");
  Ir(1000001);
  ui->answer(IDYES);
  F().click("Consecutivo -");
  EXPECT_EQ(ui->lastMessage(), "El anterior Reg. Pptal. debe tener un número no consecutivo.");
  EXPECT_EQ(Numeros("mvtRegPptal"), "1000000,1000001,20260001");
  // Borrado sencillo.
  Ir(1000001);
  F().click("Borrar Reg. Pptal");
  EXPECT_EQ(Numeros("mvtRegPptal"), "1000000,20260001");
}

TEST_F(ExplRegPptal, ElFormularioLoAbreConTodosOConLosDelCertificado) {
  Certificado(1, "2026-02-01", 5000, "");
  Certificado(2, "2026-02-01", 5000, "");
  Registro(1, 1, "2026-02-02", 10);
  Registro(2, 2, "2026-02-02", 10);
  DM->tblMvtRegPptal->Refresh();
  auto* rp = new TfrmRegPptal(nullptr);
  rp->Show();
  ui->now(rp).set("edICD", "2").focus("edIregPptal").click("&Registros");
  ASSERT_TRUE(rp->explorador->Showing());
  EXPECT_EQ(rp->explorador->Query1->RecordCount, 1);
  ui->now(rp).click("&Explorar");
  EXPECT_EQ(rp->explorador->Query1->RecordCount, 2);
  ui->answer("Los datos del registro presupuestal 3 no se han grabado. ¿Los descarta?", IDYES);
  rp->Close();
  delete rp;
}

}  // namespace

namespace {

class RptRegistroPptal : public ExplRegPptal {};

TEST_F(RptRegistroPptal, PendienteClaseDeOrdenRubrosYValorEnLetras) {
  Certificado(1, "2026-02-01", 1000, "", {{"2.1.1.01", 600}, {"2.3.2", 400}});
  Sql("INSERT INTO pac (icd, m1) VALUES (1, 250)");
  Registro(1, 1, "2026-02-02", 300);
  Registro(2, 1, "2026-02-03", 200);
  Sql("UPDATE mvtRegPptal SET objetoGasto='Papel', docAsociado='Contrato 12', itercero='900' WHERE irp=2");
  Sql("INSERT INTO TC (CedulaNIT, nombre) VALUES ('900', 'Papelería Sur')");
  Registro(3, 9, "2026-02-03", 5);
  Sql("UPDATE mvtRegPptal SET objetoGasto='Sin certificado' WHERE irp=3");
  OrdenServicio(7, 1);
  Abrir();
  Ir(2);
  F().click("&Imprimir");
  auto* r = tv::report::HeadlessUi().Last();
  ASSERT_NE(r, nullptr);
  std::string t = tv::report::DumpText(r->report);
  std::string n1 = getNrubro("2.1.1.01", "E").str();
  for (std::string s : {"Pendiente por comprometer en el CDP: " + prueba::Mostrado("1,000.00 - 500.00=500.00"),
                        std::string("Contrato 12"), "2.1.1.01 " + n1, std::string("2.3.2 "),
                        prueba::Mostrado("200.00") + " DOSCIENTOS", std::string("Papelería Sur"), prueba::Mostrado("250.00"),
                        std::string("Papel"), std::string("01/02/2026")})
    EXPECT_NE(t.find(s), std::string::npos) << s << "\n" << t;
  EXPECT_EQ(t.find("No DE LA ORDEN:"), std::string::npos) << t;
  // Con orden de servicio: clase y número.
  Ir(1);
  F().click("&Imprimir");
  t = tv::report::DumpText(tv::report::HeadlessUi().Last()->report);
  EXPECT_NE(t.find("Orden de Servicio"), std::string::npos) << t;
  EXPECT_NE(t.find("No DE LA ORDEN:"), std::string::npos) << t;
  // Sin certificado: ni fecha del certificado, ni objeto, ni pendiente; el plan en blanco.
  Ir(3);
  ui->takeMessages();
  F().click("&Imprimir");
  EXPECT_EQ(ui->messages().at(0).Text, "El certificado asociado no tiene definido PAC");
  t = tv::report::DumpText(tv::report::HeadlessUi().Last()->report);
  for (std::string s : std::initializer_list<std::string>{"Sin certificado", "Pendiente por comprometer", prueba::Mostrado("250.00")})
    EXPECT_EQ(t.find(s), std::string::npos) << s << "\n" << t;
}

}  // namespace
