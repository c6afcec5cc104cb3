// Orden de suministro: renglones con subtotales y total, renglones sin cantidad fuera,
// modificación que reemplaza los renglones, renumeración que los mueve, validación con el
// formulario abierto y la tabla de trabajo borrada al cerrar.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/DataModule.h"
#include "budget/FrmOrdenSuministro.h"
#include "budget/Presupuesto.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/SqlUtil.h"
#include "support/Separadores.h"

using presupuesto::Presupuesto;

namespace {

class OrdenSuministro : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Sql("INSERT INTO TC (cedulaNit, nombre) VALUES ('800', 'Papelería Sur')");
    Sql("INSERT INTO articulos (iArticulo, nArticulo) VALUES ('P01', 'Papel'), ('T02', 'Tinta')");
    Sql("INSERT INTO mvtOrdenSumiMaestro (iOrdenSuministro, Fecha, itercero, detalle, qItems, valorTotal, irp) "
        "VALUES (5, '2026-03-01', '800', 'Utiles', 2, 50, 7)");
    Sql("INSERT INTO mvtOrdenSuministro (iOrdenSuministro, iArticulo, cantidad, valorUnit) VALUES "
        "(5, 'P01', 2, 10), (5, 'T02', 1, 30)");
    // Una orden solo toma un registro grabado.
    Registro(7, 1, "2026-03-01", 100000);
    Registro(9, 1, "2026-03-01", 100000);
    for (TTable* t : {DM->tblMvtOrdenSumiMaestro, DM->tblMvtOrdenSuministro, DM->tblArticulos, DM->TblTerceros})
      t->Refresh();
    f = std::make_unique<TfrmOrdenSuministro>(nullptr);
    f->Show();
  }
  void TearDown() override {
    f.reset();
    Presupuesto::TearDown();
  }
  void Numero(const char* n) {
    ui->now(f.get()).focus("edIordenSuministro").set("edIordenSuministro", n).focus("edFecha");
  }
  void Renglon(const char* art, double cant, double vu) {
    TTable* t = f->tblTemp;
    t->Append();
    t->FieldByName("iArticulo")->AsString = art;
    t->FieldByName("cantidad")->AsFloat = cant;
    t->FieldByName("valorUnit")->AsFloat = vu;
    t->Post();
  }
  std::string Renglones() {
    return Leer("SELECT group_concat(x, ';') FROM (SELECT iOrdenSuministro || ',' || iArticulo || ',' || cantidad || "
                "',' || valorUnit AS x FROM mvtOrdenSuministro ORDER BY 1)");
  }
  std::string Encabezados() {
    return Leer("SELECT group_concat(x, ';') FROM (SELECT iOrdenSuministro || ',' || qItems || ',' || valorTotal || "
                "',' || irp AS x FROM mvtOrdenSumiMaestro ORDER BY 1)");
  }
  std::unique_ptr<TfrmOrdenSuministro> f;
};

TEST_F(OrdenSuministro, NuevaConRenglonesSubtotalesYTotal) {
  f->regPptal = 9;
  ui->now(f.get()).set("edIordenSuministro", "6").set("edFecha", "02/03/2026").set("edItercero", "800")
      .set("edDetalle", "Aseo");
  Renglon("P01", 3, 10);
  Renglon("", 0, 0);  // renglón vacío (búsqueda cerrada sin elegir): no se guarda
  Renglon("X99", 2, 20);
  EXPECT_EQ(f->lblNarticulo->Caption, "Inexistente");
  EXPECT_EQ(f->lblTotal->Caption, prueba::Mostrado("70.00"));
  ui->now(f.get()).click("btnGrabar");
  EXPECT_EQ(ui->lastMessage(), "Orden de suministro grabada.");
  EXPECT_TRUE(f->grabado);
  EXPECT_EQ(Encabezados(), "5,2,50,7;6,2,70,9");
  EXPECT_EQ(Renglones(), "5,P01,2,10;5,T02,1,30;6,P01,3,10;6,X99,2,20");
}

TEST_F(OrdenSuministro, ModificarReemplazaYRenumerarMueveLosRenglones) {
  f->regPptal = 7;
  Numero("5");
  EXPECT_FALSE(f->getNuevo());
  EXPECT_EQ(f->lblNtercero->Caption, "Papelería Sur");
  EXPECT_EQ(f->tblTemp->RecordCount(), 2);
  EXPECT_EQ(f->lblTotal->Caption, prueba::Mostrado("50.00"));
  f->tblTemp->First();
  f->tblTemp->Delete();
  ui->now(f.get()).click("btnGrabar");
  EXPECT_EQ(Renglones(), "5,T02,1,30");
  EXPECT_EQ(Encabezados(), "5,1,30,7");
  // Con otro número libre la orden se mueve con sus renglones.
  ui->now(f.get()).set("edIordenSuministro", "8").click("btnGrabar");
  EXPECT_EQ(Renglones(), "8,T02,1,30");
  EXPECT_EQ(Encabezados(), "8,1,30,7");
}

TEST_F(OrdenSuministro, RechazoDejaElFormularioAbiertoYNoEscribe) {
  ui->now(f.get()).click("btnGrabar");
  EXPECT_EQ(ui->lastMessage(), "Digite el número de la orden de suministro.");
  ui->now(f.get()).set("edIordenSuministro", "9").set("edItercero", "999");
  Renglon("P01", 1, 1);
  ui->now(f.get()).click("btnGrabar");
  ASSERT_EQ(ui->messages().size(), 2u);
  EXPECT_EQ(ui->messages()[1].Caption, "Error");
  for (const char* m : {"Digite la fecha.", "Cédula o NIT inexistente.", "Digite una descripción en el detalle."})
    EXPECT_NE(ui->lastMessage().Pos(m), 0) << m;
  EXPECT_FALSE(f->grabado);
  EXPECT_EQ(f->ModalResult, mrNone);
  EXPECT_EQ(Encabezados(), "5,2,50,7");
}

TEST_F(OrdenSuministro, LaTablaDeTrabajoSeBorraAlCerrar) {
  AnsiString nombre = f->tmpName;
  EXPECT_TRUE(tv::db::TableExists("Contabilidad", nombre));
  EXPECT_NE(nombre.Pos("tmpOrdSum"), 0);
  f.reset();
  EXPECT_FALSE(tv::db::TableExists("Contabilidad", nombre));
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtOrdenSuministro"), "2");
}

// Un renglón con algo escrito necesita cantidad y valor unitario mayores que 0; uno que no se
// pudo convertir no se descarta en silencio: la orden entera se rechaza, con el renglón nombrado.
TEST_F(OrdenSuministro, RenglonesQueNoSirvenRechazanLaOrden) {
  struct Caso {
    std::function<void()> renglones;
    const char* mensaje;
  } casos[] = {
      {[&] { Renglon("P01", -5, 10); }, "La cantidad del renglón 1 debe ser mayor que 0.\n"},
      {[&] { Renglon("P01", 2, 10), Renglon("T02", 3, -5); }, "El valor unitario del renglón 2 debe ser mayor que 0.\n"},
      {[&] { Renglon("T02", 0, 99); }, "La cantidad del renglón 1 debe ser mayor que 0.\n"},
      {[&] {
         // Lo que el campo numérico no convierte queda sin cantidad.
         ui->now(f.get()).editCell("DBGrid2", 0, 0, "P01").editCell("DBGrid2", 2, 0, "10")
             .editCell("DBGrid2", 1, 0, "abc");
       },
       "La cantidad del renglón 1 debe ser mayor que 0.\n"},
      {[] {}, "Digite al menos un renglón con cantidad y valor unitario.\n"},
  };
  for (auto& c : casos) {
    ui->takeMessages();
    f->tblTemp->Cancel();
    {
      TQuery q(nullptr);
      HagaSQL("Contabilidad", &q, "delete from " + f->tmpName);
    }
    f->tblTemp->Refresh();
    ui->now(f.get()).set("edIordenSuministro", "6").set("edFecha", "02/03/2026").set("edItercero", "800")
        .set("edDetalle", "Aseo");
    c.renglones();
    ui->takeMessages();
    ui->now(f.get()).click("btnGrabar");
    ASSERT_FALSE(ui->messages().empty()) << c.mensaje;
    EXPECT_EQ(ui->messages().back().Caption, "Error");
    EXPECT_NE(ui->lastMessage().Pos(c.mensaje), 0) << c.mensaje << " / " << ui->lastMessage().c_str();
    EXPECT_FALSE(f->grabado);
    EXPECT_EQ(Encabezados(), "5,2,50,7");
    EXPECT_EQ(Renglones(), "5,P01,2,10;5,T02,1,30");
  }
}

// Cantidad, valor unitario y subtotal caben hasta -999.999.999.999,99 dentro de la rejilla.
TEST_F(OrdenSuministro, ColumnasDeMontosCabenElMontoMasLargo) {
  int ancho = f->Canvas->TextWidth(AnsiString(prueba::Mostrado("-999,999,999,999.99").c_str())) + 4;
  int total = 0;
  for (int c = 0; c < f->DBGrid2->Columns->Count(); ++c) {
    TColumn* col = f->DBGrid2->Columns->Items[c];
    if (c > 0) EXPECT_GE(col->Width, ancho) << col->FieldName.c_str();
    total += col->Width + 1;
  }
  EXPECT_LE(total, f->DBGrid2->Width);
}

// Orden llenada como nueva con el número de una guardada escrito al final y Enter: se carga la
// guardada, sus renglones siguen y nada se reescribe.
TEST_F(OrdenSuministro, EnterConElNumeroDeUnaGuardadaNoLaReescribe) {
  f->regPptal = 9;
  ui->now(f.get()).set("edFecha", "02/03/2026").set("edItercero", "800").set("edDetalle", "Otra");
  Renglon("P01", 1, 5);
  ui->now(f.get()).focus("edIordenSuministro").set("edIordenSuministro", "5").keys("Enter");
  EXPECT_FALSE(f->grabado);
  EXPECT_FALSE(f->getNuevo());
  EXPECT_EQ(f->edDetalle->Text, "Utiles");
  EXPECT_EQ(Encabezados(), "5,2,50,7");
  EXPECT_EQ(Renglones(), "5,P01,2,10;5,T02,1,30");
}

// Otro puesto graba el mismo número nuevo: se rechaza con el mensaje, se propone el siguiente
// libre y la orden del otro queda con sus renglones.
TEST_F(OrdenSuministro, NumeroGrabadoPorOtroPuestoSeRechazaYSeProponeElSiguiente) {
  f->regPptal = 9;
  Numero("20260000");
  ui->now(f.get()).set("edFecha", "02/03/2026").set("edItercero", "800").set("edDetalle", "Mia");
  Renglon("P01", 1, 5);
  {
    tv::db::Connection otro(tv::db::FolderOf(libros.c_str()));
    otro.Exec("INSERT INTO mvtOrdenSumiMaestro (iOrdenSuministro, Fecha, itercero, detalle, qItems, valorTotal, irp) "
              "VALUES (20260000, '2026-03-01', '800', 'Del otro', 1, 30, 3)");
    otro.Exec("INSERT INTO mvtOrdenSuministro (iOrdenSuministro, iArticulo, cantidad, valorUnit) VALUES "
              "(20260000, 'T02', 1, 30)");
  }
  ui->now(f.get()).click("btnGrabar");
  EXPECT_EQ(ui->lastMessage(),
            "La orden de suministro 20260000 ya fue grabada por otro usuario. Se propone el número 20260001.");
  EXPECT_FALSE(f->grabado);
  EXPECT_EQ(f->edIordenSuministro->Text, "20260001");
  EXPECT_EQ(Encabezados(), "20260000,1,30,3;5,2,50,7");
  EXPECT_EQ(Renglones(), "20260000,T02,1,30;5,P01,2,10;5,T02,1,30");
  ui->now(f.get()).click("btnGrabar");
  EXPECT_EQ(ui->lastMessage(), "Orden de suministro grabada.");
  EXPECT_EQ(Encabezados(), "20260000,1,30,3;20260001,1,5,9;5,2,50,7");
}

}  // namespace
