// Orden de servicio: carga, orden nueva tras un número desconocido, validación en un solo
// mensaje con el formulario abierto y reescritura de la orden cargada.
#include <gtest/gtest.h>

#include <memory>

#include "app/DataModule.h"
#include "budget/FrmOrdenServicios.h"
#include "budget/Presupuesto.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"

using presupuesto::Presupuesto;
using namespace presupuesto::ayuda;

namespace {

class OrdenServicios : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Sql("INSERT INTO TC (cedulaNit, nombre) VALUES ('800', 'Proveedor Uno')");
    Sql("INSERT INTO mvtOrdenServicio (iOrdenServicio, Fecha, itercero, descServicio, irp, valor) VALUES "
        "(5, '2026-03-15', '800', 'Aseo general', 7, 1500)");
    DM->tblMvtOrdenServicio->Refresh();
    DM->TblTerceros->Refresh();
    frmOrdenServicios = new TfrmOrdenServicios(nullptr);
    f.reset(frmOrdenServicios);
    f->Show();
  }
  void TearDown() override {
    f.reset();
    frmOrdenServicios = nullptr;
    Presupuesto::TearDown();
  }
  void Numero(const char* n) { ui->now(f.get()).focus("edIordenServicio").set("edIordenServicio", n).focus("edFecha"); }
  std::string Filas() {
    return Leer("SELECT group_concat(x, ';') FROM (SELECT iOrdenServicio || ',' || itercero || ',' || irp || ',' || "
                "valor || ',' || descServicio AS x FROM mvtOrdenServicio ORDER BY iOrdenServicio)");
  }
  std::unique_ptr<TfrmOrdenServicios> f;
};

TEST_F(OrdenServicios, CargaYNumeroDesconocidoEsOrdenNueva) {
  f->edIregPptal->Text = "9";
  Numero("5");
  EXPECT_FALSE(f->getNuevo());
  EXPECT_EQ(f->edFecha->Text, "15/03/2026");
  EXPECT_EQ(f->edItercero->Text, "800");
  EXPECT_EQ(f->lblNtercero->Caption, "Proveedor Uno");
  EXPECT_EQ(f->edIregPptal->Text, "7");
  EXPECT_EQ(f->edValor->Text, "1500");
  EXPECT_EQ(f->Memo1->Lines->Text().Trim(), "Aseo general");
  // Otro número: se limpian tercero, valor y descripción; fecha y registro quedan.
  Numero("6");
  EXPECT_TRUE(f->getNuevo());
  EXPECT_EQ(f->edItercero->Text, "");
  EXPECT_EQ(f->lblNtercero->Caption, "");
  EXPECT_EQ(f->edValor->Text, "");
  EXPECT_EQ(f->edFecha->Text, "15/03/2026");
  EXPECT_EQ(f->edIregPptal->Text, "7");
  ui->now(f.get()).set("edItercero", "800").set("edValor", "200").set("Memo1", "Transporte").click("btnGrabar");
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
  EXPECT_TRUE(f->grabado);
  EXPECT_EQ(f->ModalResult, mrOk);
  // La orden cargada no se renumera: queda y se agrega la nueva.
  EXPECT_EQ(Filas(), "5,800,7,1500,Aseo general;6,800,7,200,Transporte");
}

TEST_F(OrdenServicios, GrabarReescribeLaOrdenCargada) {
  f->setNuevo(false);
  Numero("5");
  ui->now(f.get()).set("edValor", "2000").click("btnGrabar");
  EXPECT_TRUE(f->grabado);
  EXPECT_EQ(Filas(), "5,800,7,2000,Aseo general");
}

TEST_F(OrdenServicios, ValidacionEnUnSoloMensajeYElFormularioSigueAbierto) {
  struct Caso {
    const char *numero, *fecha, *tercero, *valor, *desc;
    std::vector<const char*> mensajes;
  } casos[] = {
      {"", "  /  /    ", "", "", "",
       {"Digite el número del servicio.", "Digite la fecha.", "Digite el tercero.", "Digite el valor.",
        "Digite la descripción del servicio."}},
      {"8", "01/04/2026", "999", "10", "Algo", {"Cédula o NIT inexistente."}},
      {"12a", "01/04/2026", "800", "10", "Algo", {"El número de la orden debe ser numérico."}},
      {"8", "31/02/2026", "800", "10", "Algo", {"31/02/2026"}},
      {"8", "01/04/2026", "800", "diez", "Algo", {"El valor debe ser numérico."}},
  };
  for (const auto& c : casos) {
    ui->takeMessages();
    ui->now(f.get()).set("edIordenServicio", c.numero).set("edFecha", c.fecha).set("edItercero", c.tercero)
        .set("edValor", c.valor).set("Memo1", c.desc).click("btnGrabar");
    ASSERT_EQ(ui->messages().size(), 1u) << c.numero;
    EXPECT_EQ(ui->messages()[0].Caption, "Error");
    for (const char* m : c.mensajes) EXPECT_NE(ui->lastMessage().Pos(m), 0) << m << " / " << ui->lastMessage().c_str();
    EXPECT_FALSE(f->grabado);
    EXPECT_EQ(f->ModalResult, mrNone);
  }
  EXPECT_EQ(Filas(), "5,800,7,1500,Aseo general");
}

}  // namespace
