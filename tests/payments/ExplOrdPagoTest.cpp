#include <memory>
#include <string>

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "budget/Presupuesto.h"
#include "budget/FrmAudPpto.h"
#include "payments/FrmExplOrdPago.h"
#include "platform/db/DBTables.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Vcl.h"
#include "platform/os/Files.h"
#include "platform/report/Render.h"
#include "platform/report/ReportUi.h"

namespace {

using presupuesto::Presupuesto;
using namespace presupuesto::ayuda;

// Órdenes 1, 4, 5 y 6 del registro 1 (la 6 del registro 2), cada una con su asiento "_OP" del
// mismo número salvo la 5, cuyo asiento es el "OP-5"; el comprobante CP 10 cancela la 5.
class ExplOrdPago : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Certificado(1, "2026-02-01", 5000, "2.1.1.01");
    Registro(1, 1, "2026-02-10", 3000);
    Registro(2, 1, "2026-02-10", 2000);
    Sql("INSERT INTO TC (CedulaNIT, nombre) VALUES ('900', 'Proveedor Uno')");
    for (auto [iop, irp, doc] : {std::tuple{1, 1, "1"}, {4, 1, "4"}, {5, 1, "OP-5"}, {6, 2, "6"}}) {
      OrdenPago(iop, irp, "2026-02-11", 100 * iop);
      Sql("UPDATE mvtOrdenPago SET descdocu='_OP', numedocu=" + Q(doc) + ", itercero=" +
          (iop == 6 ? std::string("'777'") : std::string("'900'")) + " WHERE iop=" + Nm(iop));
      Sql("INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor, tipoAsiento) VALUES ('_OP', " + Q(doc) +
          ", '2026-02-11', 1, 'P')");
      Sql("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito) VALUES ('510505', '_OP', " + Q(doc) +
          ", '2026-02-11', 1), ('111005', '_OP', " + Q(doc) + ", '2026-02-11', NULL)");
    }
    Sql("INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor) VALUES ('_OP', '12A', '2026-02-11', 1)");
    Comprobante("10", "2026-02-20", 500, {5});
    Sql("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, credito) VALUES ('111005', 'CP', '10', '2026-02-20', "
        "500)");
  }
  void Abrir(bool filtrado = false, std::int64_t irp = 0) {
    e.reset(new TfrmExplOrdPago(nullptr));
    e->filtrado = filtrado;
    e->setIrp(irp);
    e->Show();
  }
  void TearDown() override {
    if (e) e->Hide();
    e.reset();
    Presupuesto::TearDown();
  }
  void Ir(double iop) { ASSERT_TRUE(e->QueryOrdPago->Locate("iop", Variant(iop))) << iop; }
  std::string Ordenes() {
    return Leer("SELECT group_concat(iop || ':' || numedocu, ',') FROM (SELECT * FROM mvtOrdenPago ORDER BY iop)");
  }
  std::string Asientos() {
    return Leer("SELECT group_concat(numedocu, ',') FROM (SELECT numedocu FROM mvtMaestro WHERE descdocu='_OP' "
                "ORDER BY numedocu)");
  }
  tv::forms::Script F() { return ui->now(e.get()); }
  std::unique_ptr<TfrmExplOrdPago> e;
};

TEST_F(ExplOrdPago, RejillasDeLaOrdenElegida) {
  Abrir();
  EXPECT_EQ(e->QueryOrdPago->RecordCount, 4);
  Ir(5);
  EXPECT_EQ(e->Label3->Caption, "Encabezado contable (1)");
  EXPECT_EQ(e->Label2->Caption, "Detalle del movimiento contable (2)");
  EXPECT_EQ(e->Label5->Caption, "Movimiento contable del Comprobante de egreso");
  EXPECT_EQ(e->QueryCompEgreso->RecordCount, 1);
  EXPECT_EQ(e->QueryMvtCP->RecordCount, 1);
  for (TDBGrid* g : {e->dbgMvtMaestro, e->dbgMvt, e->dbgCompEgreso, e->dbgMvtCP}) EXPECT_EQ(g->Color, clWindow);
  Sql("DELETE FROM MVT WHERE numedocu='4'");
  Sql("DELETE FROM mvtMaestro WHERE numedocu='4'");
  Ir(1);
  Ir(4);
  EXPECT_EQ(e->Label3->Caption, "Encabezado contable (0)");
  EXPECT_EQ(e->Label2->Caption, "Detalle del movimiento contable (0)");
  for (TDBGrid* g : {e->dbgMvtMaestro, e->dbgMvt, e->dbgCompEgreso, e->dbgMvtCP}) EXPECT_EQ(g->Color, clSilver);
  // Filtrada por registro; setIrp(0) las muestra todas.
  Abrir(true, 2);
  EXPECT_EQ(e->QueryOrdPago->RecordCount, 1);
  Abrir(true, 0);
  EXPECT_EQ(e->QueryOrdPago->RecordCount, 4);
}

TEST_F(ExplOrdPago, BorrarQuitaOrdenYSuAsientoYAudita) {
  Abrir();
  Ir(5);
  F().click("btnBorrarSencillo");
  EXPECT_EQ(Ordenes(), "1:1,4:4,6:6");
  EXPECT_EQ(Asientos(), "1,12A,4,6");
  EXPECT_EQ(Leer("SELECT count(*) FROM MVT WHERE numedocu='OP-5'"), "0");
  EXPECT_TRUE(e->audPpto->Showing());
  EXPECT_NE(AnsiString(e->audPpto->Memo1->Lines->Text()).Pos("CP10 tiene op1=5 que no existe"), 0)
      << e->audPpto->Memo1->Lines->Text().str();
  EXPECT_EQ(e->QueryOrdPago->RecordCount, 3);
}

// Números con prefijo de año (más de 16.777.216) y alrededor de 1.000.000: filtro, impreso,
// borrado y corrimientos obran sobre la orden elegida y no sobre su vecina.
TEST_F(ExplOrdPago, NumerosGrandesExactosEnCadaAccion) {
  Sql("DELETE FROM mvtOrdenPago");
  Sql("DELETE FROM mvtMaestro");
  Sql("DELETE FROM MVT");
  for (double n : {1000000.0, 1000001.0, 20260000.0, 20260001.0}) {
    Registro(n, 1, "2026-02-10", 10);
    OrdenPago(n, n, "2026-02-11", n == 20260001.0 ? 7 : 3);
    std::string doc = Q(Nm(n));
    Sql("UPDATE mvtOrdenPago SET descdocu='_OP', numedocu=" + doc + ", itercero='900' WHERE iop=" + Nm(n));
    Sql("INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor, tipoAsiento) VALUES ('_OP', " + doc +
        ", '2026-02-11', 1, 'P')");
    Sql("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito) VALUES ('510505', '_OP', " + doc +
        ", '2026-02-11', 1)");
  }
  Abrir(true, 20260001);
  ASSERT_EQ(e->QueryOrdPago->RecordCount, 1);
  EXPECT_EQ(e->QueryOrdPago->FieldByName("iop")->AsFloat, 20260001.0);
  EXPECT_EQ(e->QueryMvt->RecordCount, 1);
  F().click("btnImprimir");
  std::string t = tv::report::DumpText(tv::report::HeadlessUi().Last()->report);
  EXPECT_NE(t.find("20260001"), std::string::npos) << t;
  EXPECT_EQ(t.find("20260000"), std::string::npos) << t;
  Abrir();
  Ir(20260001);
  F().click("btnBorrarSencillo");
  EXPECT_EQ(Ordenes(), "1000000:1000000,1000001:1000001,20260000:20260000");
  EXPECT_EQ(Asientos(), "1000000,1000001,20260000");
  Ir(20260000);
  ui->answer(IDYES);
  F().click("btnConsMas");
  EXPECT_EQ(Ordenes(), "1000000:1000000,1000001:1000001,20260001:20260001");
  EXPECT_EQ(Asientos(), "1000000,1000001,20260001");
  Ir(1000001);
  ui->answer(IDYES);
  F().click("btnConsMenos");
  EXPECT_EQ(ui->lastMessage(), "La anterior órden de pago debe tener un número no consecutivo.");
  Ir(20260001);
  ui->answer(IDYES);
  F().click("btnConsMenos");
  EXPECT_EQ(Ordenes(), "1000000:1000000,1000001:1000001,20260000:20260000");
}

TEST_F(ExplOrdPago, CorrerNumeracionArribaYAbajo) {
  Abrir();
  Ir(4);
  ui->answer(IDNO);
  F().click("btnConsMas");
  EXPECT_EQ(Ordenes(), "1:1,4:4,5:OP-5,6:6");
  ui->answer(IDYES);
  Ir(4);
  F().click("btnConsMas");
  EXPECT_EQ(Ordenes(), "1:1,5:5,6:OP-5,7:7");
  EXPECT_EQ(Asientos(), "1,12A,5,7,OP-5");
  EXPECT_EQ(Leer("SELECT count(*) FROM MVT WHERE descdocu='_OP' AND numedocu IN ('4','6')"), "0");
  EXPECT_EQ(Leer("SELECT op1 FROM mvtMaestro WHERE descdocu='CP'"), "6");

  // Hacia abajo: debajo de la 5 está la 1, así que 5, 6 y 7 bajan; luego la 5 tiene la 4 debajo.
  ui->answer(IDYES);
  Ir(5);
  F().click("btnConsMenos");
  EXPECT_EQ(Ordenes(), "1:1,4:4,5:OP-5,6:6");
  EXPECT_EQ(Asientos(), "1,12A,4,6,OP-5");
  EXPECT_EQ(Leer("SELECT op1 FROM mvtMaestro WHERE descdocu='CP'"), "5");
  ui->answer(IDYES);
  Ir(5);
  ui->takeMessages();
  F().click("btnConsMenos");
  EXPECT_EQ(ui->lastMessage(), "La anterior órden de pago debe tener un número no consecutivo.");
  ui->answer(IDYES);
  Ir(1);
  F().click("btnConsMenos");
  EXPECT_EQ(ui->lastMessage(), "Inicio de la numeración.");
  EXPECT_EQ(Ordenes(), "1:1,4:4,5:OP-5,6:6");
  // Filtrada por el registro 2 la 6 es la primera, pero la 5 está debajo en la tabla.
  Abrir(true, 2);
  ui->answer(IDYES);
  F().click("btnConsMenos");
  EXPECT_EQ(ui->lastMessage(), "La anterior órden de pago debe tener un número no consecutivo.");
  EXPECT_EQ(Ordenes(), "1:1,4:4,5:OP-5,6:6");
}

TEST_F(ExplOrdPago, ListadoConTodasLasOrdenesEImpreso) {
  Abrir();
  F().click("btnImprimirListado");
  AnsiString archivo = PathOrigen + "/ordenesPago.txt";
  ASSERT_TRUE(FileExists(archivo));
  std::unique_ptr<TStringList> l(new TStringList);
  l->LoadFromFile(archivo);
  std::string t = l->Text().str();
  EXPECT_NE(t.find("Listado de OPs realizados"), std::string::npos) << t;
  EXPECT_NE(t.find("777"), std::string::npos) << t;  // tercero que ya no está en TC
  Ir(4);
  F().click("btnImprimir");
  auto* r = tv::report::HeadlessUi().Last();
  ASSERT_NE(r, nullptr);
  std::string p = tv::report::DumpText(r->report);
  EXPECT_NE(p.find("Proveedor Uno"), std::string::npos) << p;
  EXPECT_NE(p.find("510505"), std::string::npos) << p;
  EXPECT_EQ(p.find("RECIBÍ"), std::string::npos) << p;
}

// La lista se mostró antes de que otro puesto cambiara la orden: borrarla se rehúsa con la frase
// de todo documento y la lista se lee de nuevo; después se borra.
TEST_F(ExplOrdPago, BorrarLoQueOtroCambioSeRehusa) {
  Abrir();
  Ir(5);
  Sql("UPDATE mvtOrdenPago SET numeroCheque='77' WHERE iop=5");
  F().click("btnBorrarSencillo");
  EXPECT_EQ(ui->lastMessage(), "Otro usuario grabó este documento después de traerlo. Tráigalo de nuevo para modificarlo.");
  EXPECT_EQ(Ordenes(), "1:1,4:4,5:OP-5,6:6");
  Ir(5);
  F().click("btnBorrarSencillo");
  EXPECT_EQ(Ordenes(), "1:1,4:4,6:6");
}

}  // namespace
