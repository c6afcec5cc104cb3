// Orden de servicio: carga, orden nueva tras un número desconocido, validación en un solo
// mensaje con el formulario abierto y reescritura de la orden cargada.
#include <gtest/gtest.h>

#include <memory>

#include "app/DataModule.h"
#include "budget/FrmOrdenServicios.h"
#include "budget/Presupuesto.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
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
    // Una orden solo toma un registro grabado.
    Registro(7, 1, "2026-03-01", 100000);
    Registro(9, 1, "2026-03-01", 100000);
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
      {"12a", "01/04/2026", "800", "10", "Algo", {"El número de la orden de servicio debe ser un entero mayor que 0."}},
      {"-5", "01/04/2026", "800", "10", "Algo", {"El número de la orden de servicio debe ser un entero mayor que 0."}},
      {"0", "01/04/2026", "800", "10", "Algo", {"El número de la orden de servicio debe ser un entero mayor que 0."}},
      {"1,5", "01/04/2026", "800", "10", "Algo", {"El número de la orden de servicio debe ser un entero mayor que 0."}},
      {"1234567890123456", "01/04/2026", "800", "10", "Algo",
       {"El número de la orden de servicio no puede tener más de 15 cifras."}},
      {"8", "31/02/2026", "800", "10", "Algo", {"31/02/2026"}},
      {"8", "15/12/2025", "800", "10", "Algo", {"La fecha debe estar en el año 2026."}},
      {"8", "01/04/2026", "800", "diez", "Algo", {"El valor debe ser numérico."}},
      {"8", "01/04/2026", "800", "-5", "Algo", {"El valor debe ser mayor que 0."}},
      {"8", "01/04/2026", "800", "0", "Algo", {"El valor debe ser mayor que 0."}},
      // Cada regla en su renglón, todas en una caja.
      {"-5", "15/12/2025", "800", "-5", "Algo",
       {"El número de la orden de servicio debe ser un entero mayor que 0.\nLa fecha debe estar en el año 2026.\n"
        "El valor debe ser mayor que 0.\n"}},
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

// Orden llenada como nueva con el número de una guardada escrito al final y Enter: la salida
// del número corre antes del "Grabar" por omisión, se ve la orden guardada y nada se reescribe.
TEST_F(OrdenServicios, EnterConElNumeroDeUnaGuardadaNoLaReescribe) {
  ui->now(f.get()).set("edFecha", "01/04/2026").set("edItercero", "800").set("edValor", "55")
      .set("Memo1", "Otro servicio").focus("edIordenServicio").set("edIordenServicio", "5").keys("Enter");
  EXPECT_EQ(Filas(), "5,800,7,1500,Aseo general");
  EXPECT_FALSE(f->grabado);
  EXPECT_FALSE(f->getNuevo());
  EXPECT_EQ(f->edValor->Text, "1500");
  // Con un número libre, Enter graba la nueva con lo escrito.
  ui->now(f.get()).focus("edIordenServicio").set("edIordenServicio", "6").keys("Enter");
  EXPECT_FALSE(f->grabado);  // la cargada pasó a nueva: su contenido se limpió y falta lo exigido
  ui->takeMessages();
  ui->now(f.get()).set("edItercero", "800").set("edValor", "55").set("Memo1", "Otro servicio")
      .focus("edIordenServicio").set("edIordenServicio", "6").keys("Enter");
  EXPECT_TRUE(f->grabado) << ui->messageTexts().c_str();
  EXPECT_EQ(Filas(), "5,800,7,1500,Aseo general;6,800,7,55,Otro servicio");
}

// Otro puesto graba el mismo número nuevo antes del "Grabar": se rechaza con el mensaje que lo
// nombra, se propone el siguiente libre y la orden del otro queda intacta.
TEST_F(OrdenServicios, NumeroGrabadoPorOtroPuestoSeRechazaYSeProponeElSiguiente) {
  Numero("20260001");
  ASSERT_TRUE(f->getNuevo());
  ui->now(f.get()).set("edFecha", "01/04/2026").set("edItercero", "800").set("edValor", "55").set("Memo1", "Mio");
  tv::db::Connection(tv::db::FolderOf(libros.c_str()))
      .Exec("INSERT INTO mvtOrdenServicio (iOrdenServicio, Fecha, itercero, descServicio, irp, valor) VALUES "
            "(20260001, '2026-04-01', '800', 'Del otro', 3, 700)");
  ui->now(f.get()).click("btnGrabar");
  ASSERT_EQ(ui->messages().size(), 1u);
  EXPECT_EQ(ui->lastMessage(),
            "La orden de servicio 20260001 ya fue grabada por otro usuario. Se propone el número 20260002.");
  EXPECT_EQ(ui->messages()[0].Caption, "Error");
  EXPECT_EQ(f->edIordenServicio->Text, "20260002");
  EXPECT_FALSE(f->grabado);
  EXPECT_EQ(Filas(), "5,800,7,1500,Aseo general;20260001,800,3,700,Del otro");
  ui->now(f.get()).click("btnGrabar");
  EXPECT_TRUE(f->grabado);
  EXPECT_EQ(Leer("SELECT valor || ',' || descServicio FROM mvtOrdenServicio WHERE iOrdenServicio=20260002"),
            "55,Mio");
}

}  // namespace
