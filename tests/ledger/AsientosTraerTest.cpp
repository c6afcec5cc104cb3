// Traer o crear un documento en el editor.
#include "ledger/AsientosFixture.h"
#include "platform/forms/DBGrids.h"
#include "support/Separadores.h"

using ledger::Asientos;

namespace {

class TraerDoc : public Asientos {};

}  // namespace

TEST_F(TraerDoc, MensajesEnSuOrdenYReglasDelTipo) {
  Editor();
  struct Caso {
    const char *tipo, *numero, *dia, *mensaje, *combo;
  };
  for (Caso c : {Caso{"CE", "", "", "Debe digitar un Numero de Comprobante\nDebe digitar un Día\n", "CE"},
                 Caso{"CEXX", "1", "5", "Tipo de  Comprobante inválido\n", ""},
                 Caso{"ZZ", "1", "5", "Tipo de  Comprobante inválido\n", ""},
                 Caso{"ce", "1", "31", "Fecha inválida.\n", "CE"},
                 Caso{"CP:COMPROBANTE DE PAGO", "1", "5",
                      "Este comprobante requiere certificado de disponibilidad.\n", "CP"}}) {
    ed->CBMes->ItemIndex = c.dia == std::string("31") ? 1 : 2;
    ui->takeMessages();
    Traer(c.tipo, c.numero, c.dia);
    EXPECT_EQ(ui->lastMessage(), c.mensaje) << c.tipo;
    EXPECT_EQ(ed->CBDocumentos->Text.get(), c.combo) << c.tipo;
    EXPECT_FALSE(ed->TblAsiento->Active) << c.tipo;
    EXPECT_EQ(ed->Docu, "");
  }
  // Un tipo escogido del combo da su código; uno escrito en minúsculas se lee en mayúsculas.
  ui->takeMessages();
  Traer("ce", "7");
  EXPECT_EQ(Textos(), "");
  EXPECT_EQ(ed->Docu, "CE");
  EXPECT_EQ(ed->NumDoc, "7");
  EXPECT_TRUE(ed->BtnGrabar->Default);
  EXPECT_FALSE(ed->BtnTraerCrear->Default);
  // Con un tipo inválido el combo vuelve al tipo del documento en mano.
  Traer("QQQQ", "8");
  EXPECT_EQ(ed->CBDocumentos->Text.get(), "CE");
}

TEST_F(TraerDoc, DiaQueNoEsNumeroEsErrorDeConversion) {
  Editor();
  ui->takeMessages();
  Traer("CE", "1", "x");
  ASSERT_EQ(ui->messages().size(), 1u);
  EXPECT_EQ(ui->messages()[0].Kind, MsgKind::Exception);
}

TEST_F(TraerDoc, DocumentoGuardadoCargaLineasYFechaSinTocarElAnio) {
  Guardado("CE", "5", "2026-07-09",
           "('110501', NULL, 10, 0, 'CE', '5', '2026-07-09'), ('111005', NULL, 0, 10, 'CE', '5', '2026-07-09')");
  Ejecutar(libros, "UPDATE mvtMaestro SET op1 = 44, op2 = NULL");
  Editor();
  ed->CBMes->Enabled = false;  // mes fijo en el diálogo de periodo
  ed->edOP2->Text = "9";
  Traer("CE", "5");
  EXPECT_EQ(ed->TblAsiento->RecordCount, 2);
  EXPECT_EQ(ed->EdDia->Text.get(), "9");
  EXPECT_EQ(ed->CBMes->Text.get(), "07:JULIO");
  EXPECT_EQ(ed->Anio->Text.get(), "2026");
  EXPECT_EQ(ed->edOP1->Text.get(), "44");
  EXPECT_EQ(ed->edOP2->Text.get(), "");
  ed->TblAsiento->First();
  EXPECT_TRUE(ed->TblAsiento->FieldByName("Check")->AsBoolean);
  EXPECT_TRUE(ed->TblAsiento->FieldByName("CheckTercero")->AsBoolean);
  EXPECT_EQ(ed->LblDebito->Caption, Mostrado(10));
  EXPECT_EQ(ed->LblDiferencia->Caption, Mostrado(0));
}

TEST_F(TraerDoc, SinPermisoDeModificarNoQuedaDocumentoEnMano) {
  Guardado("CE", "5", "2026-03-09", "('110501', NULL, 10, 0, 'CE', '5', '2026-03-09')");
  Permisos.BModificar = false;
  Editor();
  Traer("CE", "1");  // documento nuevo: sí se puede
  Linea(0, "110501", "", "3", "");
  ui->takeMessages();
  ui->answer("Las líneas del comprobante CE 1 no se han grabado. ¿Las descarta?", IDYES);
  Traer("CE", "5");
  ASSERT_EQ(ui->messages().size(), 2u);
  EXPECT_EQ(ui->messages()[1].Text, "No tiene permisos para modificar asientos.");
  EXPECT_EQ(ui->messages()[1].Caption, "Error");
  EXPECT_FALSE(ed->TblAsiento->Active);
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "Debe completar información para poder grabar.");
  EXPECT_EQ(Mvt("SELECT count(*) || '/' || sum(debito) FROM MVT"), "1/10");
}

TEST_F(TraerDoc, ComillasEnElNumeroNoRompenNada) {
  Editor();
  Traer("CE", "A'1");
  Linea(0, "110501", "", "8", "");
  Linea(1, "111005", "", "", "8");
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "Asiento Registrado");
  EXPECT_EQ(Mvt("SELECT count(*) FROM MVT WHERE numedocu = 'A''1'"), "2");
  EXPECT_EQ(Mvt("SELECT count(*) FROM mvtMaestro WHERE numedocu = 'A''1'"), "1");
  Traer("CE", "A'1");
  EXPECT_EQ(ed->TblAsiento->RecordCount, 2);
}

TEST_F(TraerDoc, PresupuestoConOrdenesYRubroDeIngresos) {
  Editor();
  // Con una orden escogida antes se puede crear un comprobante de pago.
  Ejecutar(libros, "INSERT INTO mvtOrdenPago (iop, fechaExped) VALUES (12, '2026-03-01')");
  ui->onModal("TFrmBuscTabla").click("BtnRegresar");
  Ed().click("BitBtnRegPPtal1");
  EXPECT_EQ(ed->edOP1->Text.get(), "12");
  EXPECT_TRUE(ed->BitBtnRegPPtal2->Enabled);
  ui->takeMessages();
  Traer("CP", "1");
  EXPECT_EQ(Textos(), "");
  EXPECT_EQ(ed->edOP1->Text.get(), "12");
  // El siguiente documento nuevo no hereda la orden del anterior.
  Traer("CE", "2");
  EXPECT_EQ(ed->edOP1->Text.get(), "");
  EXPECT_FALSE(ed->BitBtnRegPPtal2->Enabled);
  // Un tipo de ingreso con presupuesto agrega la columna del rubro una sola vez.
  Ejecutar(libros, "UPDATE DG SET ExigeMvtPptal = 'S' WHERE CodiDocu = 'IN'");
  int ancho = ed->ClientWidth;
  Traer("IN", "1");
  Traer("IN", "2");
  EXPECT_EQ(ed->DBGrid1->Columns->Count(), 9);
  EXPECT_EQ(ed->ClientWidth, ancho + 60);
}

// Traer otro documento pregunta antes de descartar líneas escritas y no grabadas; lo traído
// sin tocar, o ya grabado, no pregunta.
TEST_F(TraerDoc, TraerOtroPreguntaAntesDeDescartarLoNoGrabado) {
  Guardado("CE", "5", "2026-07-09",
           "('110501', NULL, 10, 0, 'CE', '5', '2026-07-09'), ('111005', NULL, 0, 10, 'CE', '5', '2026-07-09')");
  Editor();
  Traer("CE", "5");
  Traer("CE", "6");  // sin tocar nada: sin pregunta
  EXPECT_EQ(Textos(), "");
  Linea(0, "110501", "", "25", "");
  const char* pregunta = "Las líneas del comprobante CE 6 no se han grabado. ¿Las descarta?";
  ui->answer(pregunta, IDNO);
  Traer("CE", "5");
  EXPECT_EQ(ed->NumDoc, "6");
  EXPECT_EQ(ed->EdNumDoc->Text.get(), "6");
  EXPECT_EQ(ed->TblAsiento->RecordCount, 1);
  ui->answer(pregunta, IDYES);
  Traer("CE", "5");
  EXPECT_EQ(ed->NumDoc, "5");
  EXPECT_EQ(ed->TblAsiento->RecordCount, 2);
  EXPECT_EQ(ui->unused(), "");
}
