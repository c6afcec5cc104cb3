// Diálogo de periodo, detalle del documento y colores de la rejilla.
#include <functional>
#include <memory>

#include "ledger/AsientosFixture.h"
#include "app/Sesion.h"
#include "ledger/FrmSelColorAsientos.h"
#include "platform/forms/DBGrids.h"

using ledger::Asientos;

namespace {

class Dialogos : public Asientos {
 protected:
  // Abre el diálogo de periodo como el menú y corre `enEditor` dentro del editor.
  void Periodo(int opcion, const char* mes, std::function<void(TFrmAsientos&)> enEditor) {
    auto& s = ui->onModal("TFrmPreAsientos").pick("EdMes", mes).pick("RadioGroup1", opcion);
    if (enEditor) {
      ui->onModal("TFrmAsientos").run([enEditor](TForm& f) { enEditor(static_cast<TFrmAsientos&>(f)); })
          .click("&Salir");
    }
    s.click("Aceptar");
    FrmPreAsientos = new TFrmPreAsientos(nullptr);
    std::unique_ptr<TFrmPreAsientos> f(FrmPreAsientos);
    f->ShowModal();
  }
};

}  // namespace

TEST_F(Dialogos, PeriodoFijaMesYAnioDeLaContabilidad) {
  anioGlobal = 2031;  // distinto del año del computador
  Periodo(0, "Mayo", [](TFrmAsientos& e) {
    EXPECT_EQ(e.CBMes->Text.get(), "05:MAYO");
    EXPECT_FALSE(e.CBMes->Enabled);
    EXPECT_EQ(e.Anio->Text.get(), "2031");
  });
  Periodo(1, "Junio", [](TFrmAsientos& e) {
    EXPECT_EQ(e.CBMes->Text.get(), "06:JUNIO");
    EXPECT_TRUE(e.CBMes->Enabled);
  });
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Dialogos, PeriodoSinPermisoDeGrabarNoAbreElEditor) {
  Permisos.BGrabar = false;
  Periodo(0, "Enero", nullptr);
  ASSERT_EQ(ui->messages().size(), 1u);
  EXPECT_EQ(ui->messages()[0].Text, "No tiene permisos para grabar asientos.");
  EXPECT_EQ(ui->messages()[0].Caption, "Error");
  EXPECT_EQ(ui->messages()[0].Icon, MsgIcon::Error);
  for (const auto& f : ui->formsShown()) EXPECT_NE(f, "TFrmAsientos");
}

TEST_F(Dialogos, CualquierMesDeshabilitaElMesDelDialogo) {
  ui->onModal("TFrmPreAsientos")
      .pick("RadioGroup1", 1)
      .run([](TForm& f) { EXPECT_FALSE(static_cast<TFrmPreAsientos&>(f).EdMes->Enabled); })
      .pick("RadioGroup1", 0)
      .run([](TForm& f) { EXPECT_TRUE(static_cast<TFrmPreAsientos&>(f).EdMes->Enabled); })
      .click("Salir");
  FrmPreAsientos = new TFrmPreAsientos(nullptr);
  std::unique_ptr<TFrmPreAsientos> f(FrmPreAsientos);
  f->ShowModal();
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Dialogos, SalirConYSinLineas) {
  Editor();
  ed->ModalResult = mrNone;
  Traer("CE", "1");
  Ed().click("&Salir");  // sin líneas cierra sin preguntar
  EXPECT_TRUE(ui->messages().empty());
  ed->Show();
  Traer("CE", "2");
  Linea(0, "110501", "", "4", "");
  ui->answer("¿Termina sin grabar", IDNO);
  Ed().click("&Salir");
  EXPECT_EQ(ui->messages().back().Caption, "Información");
  EXPECT_EQ(ed->TblAsiento->RecordCount, 1);
  ui->answer("¿Termina sin grabar", IDYES);
  Ed().click("&Salir");
  EXPECT_FALSE(ed->TblAsiento->Active);
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Dialogos, DetalleAntesDeGrabarYEncabezadoCompleto) {
  Editor();
  ed->ChBDetalle->Checked = true;
  ui->onModal("TFrmDetalle").set("Memo1", "Pago de servicios").click("Grabar");
  Traer("CE", "30");
  EXPECT_EQ(Mvt("SELECT detalle || '/' || fecha FROM mvtMaestro WHERE numedocu='30'"), "Pago de servicios/2026-03-15");
  Linea(0, "110501", "", "12", "");
  Linea(1, "111005", "", "", "12");
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "Asiento Registrado");
  EXPECT_EQ(Mvt("SELECT count(*) || '/' || detalle || '/' || valor || '/' || qitems || '/' || iusuario FROM mvtMaestro"),
            "1/Pago de servicios/12/2/gestordelibro");
  EXPECT_FALSE(ed->ChBDetalle->Checked);
  // Al volver, el detalle guardado se muestra; salir tras cambiarlo pregunta.
  ed->ChBDetalle->Checked = true;
  ui->onModal("TFrmDetalle")
      .run([](TForm& f) { EXPECT_EQ(static_cast<TFrmDetalle&>(f).Memo1->Text.get(), "Pago de servicios"); })
      .type("Memo1", "x")
      .click("Salir")
      .click("Salir");
  ui->answer("¿Desea perder lo digitado?", IDNO);
  ui->answer("¿Desea perder lo digitado?", IDYES);
  Traer("CE", "30");
  EXPECT_EQ(Mvt("SELECT detalle FROM mvtMaestro"), "Pago de servicios");
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Dialogos, ColoresPredeterminadosSalirYSegundaApertura) {
  Editor();
  TDBGrid* g = ed->DBGrid1;
  EXPECT_EQ(g->Color, static_cast<TColor>(0xB6C0A5));
  // Un color de débitos escogido y la ventana cerrada con su cuadro: se aplica.
  ui->answerColor(0x00AA00);
  ui->onModal("TFrmSelColorAsientos")
      .click("BitBtn3")
      .run([](TForm& f) { EXPECT_EQ(static_cast<TFrmSelColorAsientos&>(f).SG2->Font->Color, 0x00AA00); })
      .close();
  Ed().click("BtnCambiarColor");
  EXPECT_EQ(g->Columns->Items[6]->Font->Color, 0x00AA00);
  // La segunda apertura parte de lo escogido; un diálogo cancelado no cambia nada.
  ui->cancelDialog();
  ui->answerColor(0x123456);
  ui->onModal("TFrmSelColorAsientos")
      .run([](TForm& f) { EXPECT_EQ(static_cast<TFrmSelColorAsientos&>(f).ColorDialog3->Color, 0x00AA00); })
      .click("BitBtn1")
      .click("BitBtn2")
      .click("Aceptar");
  Ed().click("BtnCambiarColor");
  EXPECT_EQ(g->Color, static_cast<TColor>(0xB6C0A5));
  for (int i = 0; i <= 5; ++i) EXPECT_EQ(g->Columns->Items[i]->Font->Color, 0x123456) << i;
  // "Predeterminados" y "Salir": quedan los de fábrica.
  ui->onModal("TFrmSelColorAsientos").click("Predeterminados").click("Salir");
  Ed().click("BtnCambiarColor");
  EXPECT_EQ(g->Columns->Items[0]->Font->Color, clBlack);
  EXPECT_EQ(g->Columns->Items[6]->Font->Color, clNavy);
  EXPECT_EQ(g->Columns->Items[7]->Font->Color, clRed);
  EXPECT_EQ(ui->unused(), "");
}
