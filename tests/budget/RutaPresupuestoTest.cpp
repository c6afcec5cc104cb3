// La ruta del presupuesto sobre una instalación nueva, de punta a punta. Cada paso de la
// cadena (certificado, registro, órdenes, pagos) la extiende.
#include "budget/AsientosPptalFixture.h"
#include "budget/CalculosPptal.h"
#include "budget/FrmCertDisp.h"
#include "budget/FrmInformePptal.h"
#include "budget/FrmOrdenSuministro.h"
#include "budget/FrmRegPptal.h"
#include "budget/OrdenesPorPanel.h"
#include "platform/db/DBTables.h"
#include "platform/forms/StdCtrls.h"
#include "support/Separadores.h"

using presupuesto::EditorPptal;

namespace {

class RutaPresupuesto : public EditorPptal {};

TEST_F(RutaPresupuesto, ApropiacionYAdicionMuevenLosSaldos) {
  Editor();
  Traer("APR:Apropiación", "AP001", "02/01/2026");
  Linea(0, "1.2.05", "I", "1000000", "");
  Linea(1, "2.1.1.01", "E", "", "600000");
  Linea(2, "2.3.2", "E", "", "400000");
  Grabar();
  EXPECT_EQ(Textos(), "Asiento Presupuestal Registrado\n");
  ui->takeMessages();

  Traer("ADD:Adición", "AD009", "20/02/2026");
  Linea(0, "1.2.10", "I", "250000.50", "");
  Linea(1, "2.1.1.01", "E", "", "250000.50");
  Grabar();
  EXPECT_EQ(Textos(), "Asiento Presupuestal Registrado\n");
  EXPECT_EQ(ed->edNumDoc->Text.get(), "AD010");

  double pagado = -1;
  EXPECT_DOUBLE_EQ(getDisponibilidadRubro("2.1.1.01", "E", &pagado), 850000.50);
  EXPECT_DOUBLE_EQ(pagado, 0);
  EXPECT_DOUBLE_EQ(getDisponibilidadRubro("2.3.2", "E", nullptr), 400000);
  EXPECT_DOUBLE_EQ(getDisponibilidadRubro("1.2.05", "I", nullptr), 1000000);
  EXPECT_DOUBLE_EQ(getDisponibilidadRubro("1.2.10", "I", nullptr), 250000.50);
  EXPECT_DOUBLE_EQ(getPresupuestadoRubro("2.1.1.01", "E", "01/02/2026", "28/02/2026"), 250000.50);
  EXPECT_EQ(Leer("SELECT group_concat(iMvtPptal || tipoMvtPptal || fecha || iUsuario, ',') FROM MvtPptalMaestro"),
            "AP001APR2026-01-02gestordelibro,AD009ADD2026-02-20gestordelibro");
}

TEST_F(RutaPresupuesto, CertificadoYRegistroReservanYComprometen) {
  Movimiento("AP001", "APR", "2026-01-02",
             {{"1.2.05", "I", 1000000, 0}, {"2.1.1.01", "E", 0, 600000}, {"2.3.2", "E", 0, 400000}});
  Sql("INSERT INTO TC (CedulaNIT, nombre) VALUES ('900', 'Papelería Sur')");
  for (TTable* t : {DM->tblMvtCertDisp, DM->tblPAC, DM->tblMvtRegPptal, DM->TblTerceros}) t->Refresh();

  // El certificado reserva 300000 y 100000 en dos rubros.
  auto* cd = new TfrmCertDisp(nullptr);
  cd->Show();
  auto C = [&] { return ui->now(cd); };
  for (const char* rubro : {"2.1.1.01", "2.3.2"}) {
    ui->onModal("TFrmBuscTabla").type("EdBusqueda", rubro).click("&Aceptar");
    C().click("btnAddOtroRubro");
  }
  C().set("edFechaExp", "01/02/2026").set("edObjetoGasto", "Dotación").set("edValor", "400000").focus("edVigFisc");
  C().editCell("sgOtrosRubros", 3, 1, "300000").editCell("sgOtrosRubros", 3, 2, "100000").click("&Grabar");
  EXPECT_EQ(ui->lastMessage(), "Certificado de disponibilidad grabado.");
  cd->Close();
  delete cd;
  EXPECT_DOUBLE_EQ(getDisponibilidadRubro("2.1.1.01", "E", nullptr), 300000);
  EXPECT_DOUBLE_EQ(getDisponibilidadRubro("2.3.2", "E", nullptr), 300000);
  EXPECT_DOUBLE_EQ(getSeparadoRubro("2.1.1.01", "01/01/2026", "31/12/2026"), 300000);
  EXPECT_DOUBLE_EQ(getSeparadoRubro("2.3.2", "01/01/2026", "31/12/2026"), 100000);

  // El registro compromete la mitad, repartida según la parte de cada rubro.
  DM->tblMvtCertDisp->Refresh();
  auto* rp = new TfrmRegPptal(nullptr);
  rp->Show();
  auto R = [&] { return ui->now(rp); };
  R().set("edICD", "1").focus("edIregPptal");
  EXPECT_EQ(rp->lblPendientePago->Caption, prueba::Mostrado("400,000.00"));
  R().set("edFechaExp", "05/02/2026").set("edItercero", "900").pick("rgTipo", 2);
  R().set("edValor", "200000").focus("edVigFisc").set("edInv", "0").focus("edVigFisc");
  ui->takeMessages();
  R().click("&Grabar");
  EXPECT_EQ(ui->messages().at(0).Text, "Registro presupuestal adicionado.");
  rp->Close();
  delete rp;
  EXPECT_DOUBLE_EQ(getCompromisoPendiente(1, false), 200000);
  EXPECT_DOUBLE_EQ(getComprometidoRubro("2.1.1.01", "E", "01/01/2026", "31/12/2026"), 150000);
  EXPECT_DOUBLE_EQ(getComprometidoRubro("2.3.2", "E", "01/01/2026", "31/12/2026"), 50000);
  EXPECT_DOUBLE_EQ(getDisponibilidadRubro("2.1.1.01", "E", nullptr), 300000);
}

TEST_F(RutaPresupuesto, OrdenesDelRegistroYResumenPorRubro) {
  Movimiento("AP001", "APR", "2026-01-02",
             {{"1.2.05", "I", 1000000, 0}, {"2.1.1.01", "E", 0, 600000}, {"2.3.2", "E", 0, 400000}});
  Certificado(1, "2026-02-01", 400000, "", {{"2.1.1.01", 300000}, {"2.3.2", 100000}});
  Registro(1, 1, "2026-02-05", 200000);
  Sql("INSERT INTO TC (CedulaNIT, nombre) VALUES ('900', 'Papelería Sur')");
  Sql("INSERT INTO articulos (iArticulo, nArticulo) VALUES ('P01', 'Papel'), ('T02', 'Tinta')");
  for (TTable* t : {DM->tblMvtCertDisp, DM->tblMvtRegPptal, DM->TblTerceros, DM->tblMvtOrdenServicio,
                    DM->tblMvtOrdenSumiMaestro, DM->tblArticulos})
    t->Refresh();

  // Las dos órdenes cuelgan del registro 1 por el panel de órdenes.
  auto* rp = new TfrmRegPptal(nullptr);
  rp->Show();
  auto R = [&] { return ui->now(rp); };
  rp->edIregPptal->Text = "";
  R().set("edIregPptal", "1").focus("edFechaExp");
  R().pick("rgTipo", 0);
  presupuesto::PrepararOrdenServicio(*ui);
  R().click("Nueva");
  EXPECT_EQ(rp->edIorden->Text, "1");
  R().pick("rgTipo", 1);
  presupuesto::PrepararOrdenSuministro(*ui);
  R().click("Nueva");
  EXPECT_EQ(rp->edIorden->Text, "1");
  rp->Hide();
  delete rp;
  EXPECT_EQ(Leer("SELECT irp || ',' || valor FROM mvtOrdenServicio"), "1,50000");
  EXPECT_EQ(Leer("SELECT irp || ',' || qItems || ',' || valorTotal FROM mvtOrdenSumiMaestro"), "1,2,12000");
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtOrdenSuministro WHERE iOrdenSuministro=1"), "2");

  // El resumen del año lista el movimiento de cada rubro de gasto.
  auto* inf = new TfrmInformePptal(nullptr);
  inf->Show();
  ui->now(inf).set("EdFechaInicio", "01/01/2026").set("EdFechaFinal", "31/12/2026").click("BtnAceptar");
  std::string filas;
  for (inf->Query1->First(); !inf->Query1->Eof; inf->Query1->Next())
    filas += inf->Query1->FieldByName("rubroPptal")->AsString.str() + ":" +
             inf->Query1->FieldByName("Aprobado")->AsString.str() + ",";
  EXPECT_EQ(filas, "2.1.1.01:600000,2.3.2:400000,");
  delete inf;
  EXPECT_EQ(ui->unused(), "");
}

}  // namespace
