#include <string>

#include "app/DataModule.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "budget/ConFormulario.h"
#include "payments/FrmOrdenPago.h"
#include "platform/core/IniFiles.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/forms/Grids.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Vcl.h"
#include "platform/report/Render.h"
#include "platform/report/ReportUi.h"
#include "support/Separadores.h"

namespace {

using presupuesto::Presupuesto;
using namespace presupuesto::ayuda;

// Registro 1 por 1000 (certificado 1 con dos rubros), tercero 900 y la plantilla 7 "_OP"
// con gasto al débito y banco y retención al crédito.
class FormOrdenPago : public presupuesto::ConFormulario<TfrmOrdenPago> {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Permisos.BGrabar = Permisos.BModificar = Permisos.BBorrar = true;
    PlantillaDePago();
    Sql("INSERT INTO asientosProgCfg (iAstoProg, nAstoProg, descDocu) VALUES (8, 'Ingreso', 'IN')");
    Sql("INSERT INTO asientosProg (iAstoProg, numeCuen, naturaleza) VALUES (8, '111005', 'D')");
    Sql("INSERT INTO TC (CedulaNIT, nombre) VALUES ('900', 'Proveedor Uno')");
    Certificado(1, "2026-02-01", 1000, "", {{"2.1.1.01", 600}, {"2.1.2.01", 400}});
    Sql("UPDATE mvtCertDisp SET objetoGasto='Papel' WHERE icd=1");
    Registro(1, 1, "2026-02-10", 1000);
    Sql("UPDATE mvtRegPptal SET objetoGasto='Papel del registro' WHERE irp=1");
    objetoGasto = "Último objeto";
  }
  TfrmOrdenPago* Abrir() {
    return AbrirFormulario({DM->tblMvtOrdenPago, DM->tblMvtRegPptal, DM->tblMvtCertDisp, DM->tblAsientosProgCfg,
                            DM->tblAsientosProg, DM->TblPlan, DM->TblTerceros, DM->TblMovimiento,
                            DM->tblMvtMaestro},
                           &frmOrdenPago);
  }
  void Registro_(const char* n) { F().set("edIRP", n).focus("edFechaExp"); }
  void Orden(const char* n) { F().set("edIordenPago", n).focus("edFechaExp"); }
  std::string Celda(int c, int r) { return f->SGAsiento->Cells[c][r].str(); }
  void Montos(const char* a, const char* b, const char* c) {
    // Los montos se teclean con el separador decimal de la prueba.
    f->SGAsiento->Cells[3][1] = prueba::Tecleado(a);
    f->SGAsiento->Cells[3][2] = prueba::Tecleado(b);
    f->SGAsiento->Cells[3][3] = prueba::Tecleado(c);
  }
  // Orden nueva llena y válida por 300 sobre el registro 1.
  void Llenar(const char* valor = "300") {
    Registro_("1");
    f->edFechaExp->Text = "15/02/2026";
    F().set("edItercero", "900").set("edValor", prueba::Tecleado(valor).c_str());
    Montos(valor, "280", "20");
  }
  std::string Mensajes() {
    std::string s;
    for (const auto& m : ui->messages()) s += m.Text.str() + "|";
    return s;
  }
};

TEST_F(FormOrdenPago, ArranqueProponeNumeroYPlantilla) {
  OrdenPago(4, 1, "2026-02-11", 100);
  Abrir();
  EXPECT_EQ(f->edIordenPago->Text, "5");
  EXPECT_EQ(f->edNumeDocu->Text, "5");
  EXPECT_EQ(f->DESCDOCU, "_OP");
  EXPECT_EQ(f->edFechaVenc->Text, "31/12/2026");
  EXPECT_TRUE(f->chbRecibi->Checked);
  EXPECT_EQ(f->cbAsientosProg->Items->Count(), 1);  // solo las de órdenes de pago
  EXPECT_EQ(f->cbAsientosProg->Text, "7:Pago servicios");
  EXPECT_EQ(f->SGAsiento->RowCount, 4);
  EXPECT_EQ(Celda(0, 0), "Cód. Cuenta");
  EXPECT_EQ(Celda(0, 1) + Celda(2, 1) + Celda(1, 1), "510505DSueldos");
  EXPECT_EQ(Celda(0, 3) + Celda(2, 3), "236540C");
  EXPECT_EQ(f->Color, static_cast<TColor>(10143652));
}

TEST_F(FormOrdenPago, SinPlantillaAbreConRejillaVacia) {
  Sql("DELETE FROM asientosProgCfg WHERE iAstoProg=7");
  ui->takeMessages();
  Abrir();
  EXPECT_EQ(Mensajes(),
            "En la configuración de los asientos programados debe definir el asiento de la orden de pago "
            "(menú \"Configuración\" > \"Asientos programados\").|");
  EXPECT_EQ(f->SGAsiento->RowCount, 2);
  EXPECT_EQ(Celda(0, 1), "");
}

TEST_F(FormOrdenPago, RegistroMuestraPendienteYCancelado) {
  OrdenPago(1, 1, "2026-02-11", 250);
  Abrir();
  f->edIordenPago->Text = "";
  f->edNumeDocu->Text = "";
  Registro_("1");
  EXPECT_EQ(f->Label23->Caption, "");
  EXPECT_EQ(f->Label9->Caption, "10/02/2026");
  EXPECT_EQ(f->lblIrubroPptal->Caption, "2.1.1.01, 2.1.2.01");
  EXPECT_EQ(f->lblObjetoGasto->Caption, "Papel del registro");
  EXPECT_EQ(f->edObjetoGasto->Text, "Último objeto");
  EXPECT_EQ(f->lblPendientePagoRP->Caption, prueba::Mostrado("750.00"));
  EXPECT_EQ(f->edIordenPago->Text, "1");
  EXPECT_EQ(f->edNumeDocu->Text, "1");

  // Inexistente, y uno ya pagado del todo.
  Registro_("99");
  EXPECT_EQ(f->Label23->Caption, "Registro presupuestal inexistente o sin CDP");
  Registro(2, 1, "2026-02-10", 100);
  OrdenPago(2, 2, "2026-02-11", 100);
  ui->takeMessages();
  Registro_("2");
  EXPECT_EQ(Mensajes(), "No debe hacer Orden de Pago. Este Reg. Presupuestal ya está cancelado!|");
  // Un texto que no es número nunca llega al SQL.
  Registro_("1 or 1=1");
  EXPECT_EQ(f->Label23->Caption, "Registro presupuestal inexistente o sin CDP");
}

TEST_F(FormOrdenPago, GrabaOrdenYAsiento) {
  Abrir();
  Llenar();
  F().set("edValorCheque", "300").set("edNumeroCheque", "CH-1").set("edBanco", "Banco O'Higgins");
  F().set("edObjetoGasto", "Pago de papel");
  f->chbRecibi->Checked = false;
  Grabar();
  EXPECT_EQ(Mensajes(), "Orden de pago grabada.|");
  EXPECT_EQ(Leer("SELECT iop||'|'||FechaExped||'|'||fechaVenc||'|'||itercero||'|'||IRP||'|'||valor||'|'||numeDocu||'|'"
                 "||descdocu||'|'||iAstoProg||'|'||objetoGasto||'|'||valorCheque||'|'||numeroCheque||'|'||banco"
                 "||'|'||coalesce(valorEfectivo,'nulo') FROM mvtOrdenPago"),
            "1|2026-02-15|2026-12-31|900|1|300|1|_OP|7|Pago de papel|300|CH-1|Banco O'Higgins|nulo");
  EXPECT_EQ(Leer("SELECT group_concat(numecuen||':'||coalesce(debito,'')||':'||coalesce(credito,'')||':'||cedulanit"
                 "||':'||detalle||':'||fecha, ',') FROM (SELECT * FROM MVT WHERE descdocu='_OP' ORDER BY rowid)"),
            "510505:300::900:Pago de papel:2026-02-15,111005::280:900:Pago de papel:2026-02-15,"
            "236540::20:900:Pago de papel:2026-02-15");
  EXPECT_EQ(Leer("SELECT tipoAsiento||numedocu||'|'||valor||'|'||qitems||'|'||detalle FROM mvtMaestro WHERE "
                 "descdocu='_OP'"),
            "P1|300|4|Pago de papel");
  EXPECT_EQ(objetoGasto, "Pago de papel");
  TIniFile ini(ArchivoIniSesion());
  EXPECT_EQ(ini.ReadString("ACTION", "banco", ""), "Banco O'Higgins");
  EXPECT_FALSE(ini.ReadBool("ACTION", "printRecibiOP", true));

  // Queda como orden guardada: grabar otra vez la edita, no agrega otra fila.
  EXPECT_FALSE(f->nuevo);
  EXPECT_EQ(Celda(3, 1), "300");
  F().set("edValor", "500").set("edValorCheque", "");
  Montos("500", "480", "20");
  Grabar();
  EXPECT_EQ(Mensajes(), "Orden de pago grabada.|");
  EXPECT_EQ(Leer("SELECT count(*)||'|'||sum(valor)||'|'||max(valorCheque) FROM mvtOrdenPago"), "1|500|300");
  EXPECT_EQ(Leer("SELECT count(*) FROM MVT WHERE descdocu='_OP'"), "3");
}

// Número entero y positivo, valor mayor que 0 y fecha del año abierto: cada regla nombra su
// campo y nada se graba.
TEST_F(FormOrdenPago, NumeroEnteroValorPositivoYFechaDelAnio) {
  Abrir();
  const char* entero = "El número de la orden de pago debe ser un entero mayor que 0.\n";
  struct Caso {
    const char *numero, *valor, *fecha, *mensaje;
  } casos[] = {
      {"-5", "300", "15/02/2026", entero},
      {"0", "300", "15/02/2026", entero},
      {"1,5", "300", "15/02/2026", entero},
      {"1234567890123456", "300", "15/02/2026", "El número de la orden de pago no puede tener más de 15 cifras.\n"},
      {"3", "-5", "15/02/2026", "El valor debe ser mayor que 0.\n"},
      {"3", "300", "15/12/2025", "La fecha de expedición debe estar en el año 2026.\n"},
  };
  for (const auto& c : casos) {
    Llenar();
    f->edFechaExp->Text = c.fecha;
    F().set("edValor", prueba::Tecleado(c.valor).c_str());
    f->edIordenPago->Text = c.numero;
    f->edNumeDocu->Text = "3";
    Grabar();
    ASSERT_EQ(ui->messages().size(), 1u) << c.numero << " " << Mensajes();
    EXPECT_EQ(ui->messages()[0].Caption, "Error");
    EXPECT_NE(ui->lastMessage().Pos(c.mensaje), 0) << c.mensaje << " / " << ui->lastMessage().c_str();
    EXPECT_EQ(Leer("SELECT count(*) FROM mvtOrdenPago"), "0");
  }
}

// La columna del valor y el total caben hasta -999.999.999.999,99.
TEST_F(FormOrdenPago, ColumnaDelValorCabeElMontoMasLargo) {
  Abrir();
  int ancho = f->Canvas->TextWidth(AnsiString(prueba::Mostrado("-999,999,999,999.99").c_str())) + 4;
  EXPECT_GE(f->SGAsiento->ColWidths[3], ancho);
  EXPECT_GE(f->lblTotal->Width, ancho);
  int total = 0;
  for (int c = 0; c < f->SGAsiento->ColCount; ++c) total += f->SGAsiento->ColWidths[c] + 1;
  EXPECT_LE(total, f->SGAsiento->Width);
}

TEST_F(FormOrdenPago, ValidacionEnOrden) {
  Abrir();
  // Cuadre al centavo: 1000.99 contra 1000.00 no entra.
  Llenar("1000");
  Montos("1000.99", "1000", "");
  Grabar();
  EXPECT_EQ(Mensajes(), "La suma de débitos: " + prueba::Mostrado("1,000.99") + " no es igual a la de créditos: " + prueba::Mostrado("1,000.00") + "\nFalta digitar el movimiento "
                        "contable\n|");
  // Fechas vacías y todo lo demás sin llenar.
  delete f;
  f = nullptr;
  Abrir();
  f->edFechaVenc->Text = "";
  Grabar();
  EXPECT_EQ(Mensajes(),
            "Falta digitar el movimiento contable\nDigite el valor.\nDigite el número del certificado del registro "
            "presupuestal.\nDigite la fecha de expedición.\nDigite la fecha de vencimiento.\nFecha inválida:   /  /    "
            "\nFecha inválida:   /  /    \nTercero inexistente.\n|");
  // Más que lo pendiente, fecha anterior al registro, naturaleza vacía.
  Llenar("1200");
  Montos("1200", "1180", "20");
  f->edFechaExp->Text = "01/02/2026";
  f->edFechaVenc->Text = "31/12/2026";
  f->SGAsiento->Cells[2][3] = "";
  Grabar();
  EXPECT_EQ(Mensajes(),
            "Debe especificar si es C o D  (Crédito o Débito)\nLa suma de débitos: " + prueba::Mostrado("1,200.00") +
                " no es igual a la de créditos: " + prueba::Mostrado("1,180.00") + "\nFalta digitar el movimiento contable\nLa fecha no puede ser menor que la del registro "
            "presupuestal.\n|");
  // Lo que pasa del pendiente se rechaza al grabar, con lo guardado, y no escribe nada.
  f->edFechaExp->Text = "15/02/2026";
  f->SGAsiento->Cells[2][3] = "C";
  Montos("1200", "1180", "20");
  Grabar();
  EXPECT_EQ(Mensajes(),
            "El valor de la orden de pago no puede ser mayor que el valor pendiente de pagar del registro "
            "presupuestal.\ntiene una cuenta por pagar mayor al valor pendiente de pago que tiene el reg. "
            "Presupuestal\n|");
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtOrdenPago"), "0");
  EXPECT_EQ(Leer("SELECT count(*) FROM MVT"), Leer("SELECT count(*) FROM MVT WHERE descdocu<>'_OP'"));
}

TEST_F(FormOrdenPago, CargaOrdenDeOtroRegistroYEditaDentroDeSuMonto) {
  Registro(2, 1, "2026-02-10", 400);
  Abrir();
  Llenar("400");
  Montos("400", "380", "20");
  f->edIRP->Text = "2";
  f->edIRP->Modified = true;
  F().focus("edFechaExp");
  Grabar();
  ASSERT_EQ(Mensajes(), "Orden de pago grabada.|");
  delete f;
  f = nullptr;
  Abrir();
  Registro_("1");
  ui->takeMessages();
  Orden("1");
  EXPECT_EQ(Mensajes(), "Observe que va a cambiar el número del registro. Esta orden de pago pertenece a él.|");
  EXPECT_EQ(f->edIRP->Text, "2");
  EXPECT_FALSE(f->nuevo);
  EXPECT_EQ(f->Color, clBtnFace);
  EXPECT_EQ(f->lblPendientePagoRP->Caption, prueba::Mostrado("400.00"));
  EXPECT_EQ(f->edItercero->Text, "900");
  EXPECT_EQ(f->lblNtercero->Caption, "Proveedor Uno");
  EXPECT_EQ(Celda(3, 1) + "," + Celda(3, 2) + "," + Celda(3, 3), "400,380,20");
  EXPECT_EQ(f->lblTotal->Caption, prueba::Mostrado("400.00"));
  // Los montos de la rejilla se ven con dos decimales y los separadores del usuario.
  EXPECT_EQ(f->SGAsiento->PaintCell(3, 1)->LastText(), prueba::Mostrado("400.00"));
  // El registro está pagado, pero la orden guardada se edita con su propio monto.
  F().set("edValor", "400");
  Montos("400", "390", "10");
  Grabar();
  EXPECT_EQ(Mensajes(), "Orden de pago grabada.|");

  // Otro número de asiento: el viejo no queda al lado del nuevo.
  F().set("edNumeDocu", "OP-9");
  Montos("400", "390", "10");
  Grabar();
  EXPECT_EQ(Leer("SELECT group_concat(DISTINCT numedocu) FROM MVT WHERE descdocu='_OP'"), "OP-9");
  EXPECT_EQ(Leer("SELECT group_concat(numedocu) FROM mvtMaestro WHERE descdocu='_OP'"), "OP-9");

  // Un número nuevo empieza una orden nueva y vacía los campos de pago.
  Orden("8");
  EXPECT_TRUE(f->nuevo);
  EXPECT_EQ(f->edItercero->Text, "");
  EXPECT_EQ(f->edNumeDocu->Text, "8");
  EXPECT_EQ(Celda(3, 1), "");
}

TEST_F(FormOrdenPago, AsientoManualNoSeBorra) {
  Sql("INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor) VALUES ('_OP', '1', '2026-02-15', 50)");
  Sql("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito) VALUES ('510505', '_OP', '1', '2026-02-15', 50)");
  Abrir();
  Llenar();
  Grabar();
  EXPECT_EQ(Mensajes(), "Existe un asiento hecho manualmente que debe llamar por la opción \"Asientos manuales\"|");
  EXPECT_EQ(Leer("SELECT count(*) FROM MVT WHERE descdocu='_OP'"), "1");
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtOrdenPago"), "0");
  // Se propone el siguiente número libre del asiento.
  EXPECT_EQ(f->edNumeDocu->Text, "2");
}

// Una orden nueva con el número del asiento de otra orden no lo borra: se rehúsa, se propone
// el siguiente libre y con él se graba.
TEST_F(FormOrdenPago, OrdenNuevaNoBorraElAsientoDeOtra) {
  OrdenPago(4, 1, "2026-02-11", 100);
  Sql("UPDATE mvtOrdenPago SET numeDocu='5', descdocu='_OP' WHERE iop=4");
  Sql("INSERT INTO mvtMaestro (tipoAsiento, descdocu, numedocu, fecha, valor) VALUES ('P', '_OP', '5', '2026-02-11', "
      "100)");
  Sql("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito) VALUES ('510505', '_OP', '5', '2026-02-11', 100)");
  Abrir();
  ASSERT_EQ(f->edNumeDocu->Text, "5");
  Llenar();
  Grabar();
  EXPECT_EQ(Mensajes(), "El asiento _OP 5 es de la orden de pago 4.|");
  EXPECT_EQ(f->edNumeDocu->Text, "6");
  EXPECT_EQ(Leer("SELECT count(*) || '|' || sum(debito) FROM MVT WHERE numedocu='5'"), "1|100");
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtOrdenPago"), "1");
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Mensajes(), "Orden de pago grabada.|");
  EXPECT_EQ(Leer("SELECT numeDocu FROM mvtOrdenPago WHERE iop=5"), "6");
  EXPECT_EQ(Leer("SELECT count(*) FROM MVT WHERE numedocu='6'"), "3");
  EXPECT_EQ(Leer("SELECT count(*) || '|' || sum(debito) FROM MVT WHERE numedocu='5'"), "1|100");
}

TEST_F(FormOrdenPago, FallaDeEscrituraDeshaceTodo) {
  Sql("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito) VALUES ('510505', '_OP', '1', '2026-02-15', 5)");
  Sql("INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor, tipoAsiento) VALUES ('_OP', '1', '2026-02-15', 5, 'P')");
  Sql("CREATE TRIGGER falla BEFORE INSERT ON mvtMaestro BEGIN SELECT RAISE(ABORT, 'disco lleno'); END");
  Abrir();
  Llenar();
  Grabar();
  ASSERT_EQ(ui->messages().size(), 1u);
  EXPECT_EQ(ui->messages()[0].Caption, "Error");
  EXPECT_EQ(Leer("SELECT count(*)||'/'||sum(debito) FROM MVT WHERE descdocu='_OP'"), "1/5");
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtOrdenPago"), "0");
  EXPECT_TRUE(f->nuevo);
}

TEST_F(FormOrdenPago, LineasGuardadasLlenanFilasUnaAUna) {
  Sql("INSERT INTO asientosProg (iAstoProg, numeCuen, naturaleza) VALUES (7, '111005', 'C')");
  Abrir();
  Llenar();
  f->SGAsiento->Cells[3][2] = "200";
  f->SGAsiento->Cells[3][4] = "80";
  Grabar();
  ASSERT_EQ(Mensajes(), "Orden de pago grabada.|");
  EXPECT_EQ(Celda(3, 1) + "," + Celda(3, 2) + "," + Celda(3, 3) + "," + Celda(3, 4), "300,200,20,80");
}

}  // namespace

namespace {

TEST_F(FormOrdenPago, ImprimeLaOrdenGrabada) {
  Sql("UPDATE PlPpto SET nCuenta='Papelería' WHERE iCuenta='2.1.1.01' AND tipoCuenta='E'");
  Sql("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito) VALUES ('999999', '_OP', '1', '2026-02-15', 0)");
  Sql("INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor, tipoAsiento) VALUES ('_OP', '1', '2026-02-15', 0, 'P')");
  Abrir();
  ui->takeMessages();
  F().click("&Imprimir");
  EXPECT_EQ(Mensajes(), "Grabe primero la orden de pago.|");
  Llenar("934.5");
  Montos("934.5", "900", "34.5");
  F().set("edValorCheque", prueba::Tecleado("934.5").c_str()).set("edNumeroCheque", "77").set("edBanco", "Banco Uno");
  Grabar();
  ASSERT_EQ(Mensajes(), "Orden de pago grabada.|");
  // La línea a mano del mismo número se borró con el asiento viejo marcado "P".
  for (bool recibi : {true, false}) {
    f->chbRecibi->Checked = recibi;
    F().click("&Imprimir");
    auto* r = tv::report::HeadlessUi().Last();
    ASSERT_NE(r, nullptr) << Mensajes();
    std::string t = tv::report::DumpText(r->report);
    for (std::string s : std::initializer_list<std::string>{"ORDEN DE PAGO No.", "2.1.1.01 Papelería", "2.1.2.01", prueba::Mostrado("934.50"), "PESOS moneda corriente.",
                          "Proveedor Uno", "CHEQUE #: 77 Banco Uno", "Rector(a): "})
      EXPECT_NE(t.find(s), std::string::npos) << s << "\n" << t;
    EXPECT_EQ(t.find("RECIBÍ") != std::string::npos, recibi) << t;
    // Cuentas de mayor a menor.
    EXPECT_LT(t.find("510505"), t.find("236540"));
    EXPECT_LT(t.find("236540"), t.find("111005"));
  }
}

}  // namespace

namespace {

TEST_F(FormOrdenPago, BusquedasYCuentas) {
  Abrir();
  // Registro elegido en la búsqueda; cancelada, el campo queda vacío.
  ui->onModal("TFrmBuscTabla").type("EdBusqueda", "1").click("&Aceptar");
  F().click("btnLintRegPptal");
  EXPECT_EQ(f->edIRP->Text, "1");
  EXPECT_TRUE(f->edIRP->Modified);
  ui->onModal("TFrmBuscTabla").click("&Salir");
  F().click("btnLintRegPptal");
  EXPECT_EQ(f->edIRP->Text, "");
  ui->onModal("TFrmBuscTabla").type("EdBusqueda", "900").click("&Aceptar");
  F().click("btnLintCedula");
  EXPECT_EQ(f->edItercero->Text, "900");
  EXPECT_EQ(f->lblNtercero->Caption, "Proveedor Uno");

  // Grupo y cuenta de la fila elegida.
  Sql("UPDATE PL SET nombcuen='Gastos' WHERE numecuen='51'");
  bool ok = true;
  f->SGAsientoSelectCell(f->SGAsiento, 0, 1, ok);
  EXPECT_EQ(f->lblCtaMayor->Caption, "Gastos - Personal");

  // Agregar Cuenta: "d" no vale, "C" queda en la plantilla y en la rejilla; repetida, no.
  ui->onModal("TFrmBuscTabla").type("EdBusqueda", "5105").click("&Aceptar");
  ui->answerInput("d");
  ui->takeMessages();
  F().click("btnAgregarCuenta");
  EXPECT_EQ(ui->lastMessage(), "Especifique la naturaleza de la cuenta como C o D.");
  ui->onModal("TFrmBuscTabla").type("EdBusqueda", "5105").click("&Aceptar");
  ui->answerInput("C");
  F().click("btnAgregarCuenta");
  EXPECT_EQ(f->SGAsiento->RowCount, 5);
  EXPECT_EQ(Celda(0, 4) + Celda(2, 4), "5105C");
  EXPECT_EQ(Leer("SELECT naturaleza FROM asientosProg WHERE iAstoProg=7 AND numeCuen='5105'"), "C");
  ui->onModal("TFrmBuscTabla").type("EdBusqueda", "5105").click("&Aceptar");
  ui->answerInput("D");
  F().click("btnAgregarCuenta");
  EXPECT_EQ(ui->lastMessage(), "Cuenta ya existe en el asiento programado.");
}

TEST_F(FormOrdenPago, ImprimeComoComprobante) {
  Abrir();
  Llenar();
  Grabar();
  ASSERT_EQ(Mensajes(), "Orden de pago grabada.|");
  F().click("btnImpTradicional");
  auto* r = tv::report::HeadlessUi().Last();
  ASSERT_NE(r, nullptr);
  std::string t = tv::report::DumpText(r->report);
  for (const char* s : {"510505", "236540", "Proveedor Uno"}) EXPECT_NE(t.find(s), std::string::npos) << s << "\n" << t;
}

}  // namespace

// Otro puesto graba la orden propuesta entre la propuesta y el "Grabar": se avisa que el
// número ya lo tomó otro usuario, se propone el siguiente y no se escribe nada; con el
// número nuevo la orden se graba.
// Llenada como nueva con el número de una guardada escrito en "No:" y Enter: se carga la
// guardada, como al salir del campo, y nada se reescribe.
TEST_F(FormOrdenPago, EnterConElNumeroDeUnaGuardadaLaCargaSinReescribirla) {
  OrdenPago(4, 1, "2026-02-11", 100);
  Sql("UPDATE mvtOrdenPago SET iAstoProg=7 WHERE iop=4");
  Abrir();
  Llenar();
  ui->takeMessages();
  F().focus("edIordenPago").set("edIordenPago", "4").keys("Enter");
  EXPECT_EQ(Mensajes(), "");
  EXPECT_FALSE(f->nuevo);
  EXPECT_EQ(f->edValor->Text, "100");
  EXPECT_EQ(Leer("SELECT count(*)||'/'||sum(valor) FROM mvtOrdenPago"), "1/100");
}

// El objeto vacío toma el del registro, seleccionado: lo tecleado lo reemplaza. Sin registro
// queda vacío.
TEST_F(FormOrdenPago, ObjetoVacioTomaElDelRegistroYLoTecleadoLoReemplaza) {
  Abrir();
  f->edObjetoGasto->Text = "";
  F().focus("edObjetoGasto");
  EXPECT_EQ(f->edObjetoGasto->Text, "");
  Registro_("1");
  f->edObjetoGasto->Text = "";
  F().focus("edObjetoGasto").type("edObjetoGasto", "Pago junio");
  EXPECT_EQ(f->edObjetoGasto->Text, "Pago junio");
  f->edObjetoGasto->Text = "";
  F().focus("edFechaExp").focus("edObjetoGasto");
  EXPECT_EQ(f->edObjetoGasto->Text, "Papel del registro");
}

TEST_F(FormOrdenPago, NumeroTomadoPorOtroPuestoProponeElSiguiente) {
  Abrir();
  ASSERT_EQ(f->edIordenPago->Text, "1");
  Llenar();
  {
    tv::db::Connection otro(tv::db::FolderOf(libros.c_str()));
    otro.Exec("INSERT INTO mvtOrdenPago (iop, IRP, FechaExped, valor, numeDocu, descdocu) "
              "VALUES (1, 1, '2026-02-12', 100, '1', '_OP')");
    otro.Exec("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito) "
              "VALUES ('510505', '_OP', '1', '2026-02-12', 100)");
  }
  Grabar();
  EXPECT_EQ(Mensajes(), "La orden de pago 1 ya fue grabada por otro usuario. Se propone el número 2.|");
  EXPECT_EQ(f->edIordenPago->Text, "2");
  EXPECT_EQ(f->edNumeDocu->Text, "2");
  EXPECT_TRUE(f->nuevo);
  EXPECT_EQ(Leer("SELECT count(*)||'/'||sum(valor) FROM mvtOrdenPago"), "1/100");
  EXPECT_EQ(Leer("SELECT count(*)||'/'||sum(debito) FROM MVT WHERE descdocu='_OP'"), "1/100");
  Montos("300", "280", "20");
  Grabar();
  EXPECT_EQ(Mensajes(), "Orden de pago grabada.|");
  EXPECT_EQ(Leer("SELECT group_concat(iop||':'||valor||':'||numeDocu, ',') FROM "
                 "(SELECT * FROM mvtOrdenPago ORDER BY iop)"),
            "1:100:1,2:300:2");
  EXPECT_EQ(Leer("SELECT count(*) FROM MVT WHERE descdocu='_OP'"), "4");
}

// Otro puesto cambia la orden cargada: "Grabar" lo dice con la frase de todo documento y no
// escribe; traída de nuevo, la primera grabación pasa, y la siguiente también.
TEST_F(FormOrdenPago, OrdenCambiadaPorOtroPuestoSeTraeDeNuevo) {
  Abrir();
  Llenar();
  Grabar();
  ASSERT_EQ(Mensajes(), "Orden de pago grabada.|");
  Grabar();
  ASSERT_EQ(Mensajes(), "Orden de pago grabada.|");
  {
    tv::db::Connection otro(tv::db::FolderOf(libros.c_str()));
    otro.Exec("UPDATE mvtOrdenPago SET numeroCheque='77' WHERE iop=1");
  }
  F().set("edValor", prueba::Tecleado("250").c_str());
  Montos("250", "230", "20");
  Grabar();
  EXPECT_EQ(Mensajes(), "Otro usuario grabó este documento después de traerlo. Tráigalo de nuevo para modificarlo.|");
  EXPECT_EQ(Leer("SELECT valor || '/' || numeroCheque FROM mvtOrdenPago WHERE iop=1"), "300/77");
  f->edIordenPago->Modified = true;
  Orden("1");
  EXPECT_EQ(f->edNumeroCheque->Text, "77");
  F().set("edValor", prueba::Tecleado("250").c_str());
  Montos("250", "230", "20");
  Grabar();
  EXPECT_EQ(Mensajes(), "Orden de pago grabada.|");
  EXPECT_EQ(Leer("SELECT valor FROM mvtOrdenPago WHERE iop=1"), "250");
}

namespace {

// "Valor del asiento", cheque y efectivo se ven agrupados fuera del campo; se escriben sin agrupar.
TEST_F(FormOrdenPago, MontosSeVenAgrupadosFueraDelCampo) {
  Abrir();
  for (const char* campo : {"edValor", "edValorCheque", "edEfectivo"}) {
    SCOPED_TRACE(campo);
    F().set(campo, prueba::Tecleado("12345678901.25").c_str()).focus("edFechaExp");
    auto* e = static_cast<TCustomEdit*>(f->FindComponent(campo));
    EXPECT_EQ(e->DisplayText().str(), prueba::Mostrado("12,345,678,901.25"));
    F().focus(campo);
    EXPECT_EQ(e->DisplayText().str(), prueba::Tecleado("12345678901.25"));
  }
}

}  // namespace

// "Salir" con datos digitados sin grabar pregunta antes de descartarlos; abierta, cargada o
// recién grabada, cierra sin preguntar.
TEST_F(FormOrdenPago, SalirPreguntaAntesDeDescartarLoDigitado) {
  auto cerrar = [&] {
    ui->takeMessages();
    f->Close();
    std::string t = ui->messageTexts().str();
    bool abierta = f->Showing();
    if (!abierta) f->Show();
    return t + (abierta ? "(abierta)" : "(cerrada)");
  };
  Abrir();
  EXPECT_EQ(cerrar(), "(cerrada)");
  Llenar();
  const char* pregunta = "Los datos de la orden de pago 1 no se han grabado. ¿Los descarta?";
  ui->answer(pregunta, IDNO);
  EXPECT_EQ(cerrar(), std::string(pregunta) + "\n(abierta)");
  EXPECT_EQ(ui->messages().at(0).Caption, "Advertencia");
  EXPECT_EQ(f->edItercero->Text, "900");
  Grabar();
  ASSERT_EQ(Mensajes(), "Orden de pago grabada.|");
  EXPECT_EQ(cerrar(), "(cerrada)");
  Orden("1");
  ASSERT_FALSE(f->nuevo);
  EXPECT_EQ(cerrar(), "(cerrada)");
  F().set("edObjetoGasto", "Otro objeto");
  ui->answer(pregunta, IDYES);
  EXPECT_EQ(cerrar(), std::string(pregunta) + "\n(cerrada)");
  EXPECT_EQ(ui->unused(), "");
}

// El tercero digitado o creado con "Nuevo" muestra su nombre en la orden.
TEST_F(FormOrdenPago, TerceroDigitadoONuevoMuestraSuNombre) {
  Abrir();
  F().set("edItercero", "900").focus("edValor");
  EXPECT_EQ(f->lblNtercero->Caption, "Proveedor Uno");
  ui->onModal("TFrmNuevoTercero").click("&Cancelar");
  F().click("btnNuevTerc");
  EXPECT_EQ(f->edItercero->Text, "900");
  EXPECT_EQ(f->lblNtercero->Caption, "Proveedor Uno");
  ui->onModal("TFrmNuevoTercero").set("EdCedula", "700").set("edApellido1", "ROJAS").set("edNombre1", "LUZ").click(
      "&Aceptar");
  F().click("btnNuevTerc");
  EXPECT_EQ(f->edItercero->Text, "700");
  EXPECT_EQ(f->lblNtercero->Caption, Tercero("700").getNtercero());
  EXPECT_FALSE(AnsiString(f->lblNtercero->Caption).IsEmpty());
  EXPECT_EQ(ui->unused(), "");
}
