// La cadena presupuestal en una sola ventana: cada grabación se mide con lo guardado, y las
// cifras en pantalla (disponible, pendiente) se vuelven a leer después de grabar.
#include <string>

#include "app/Permisos.h"
#include "app/Sesion.h"
#include "budget/CalculosPptal.h"
#include "budget/FrmCertDisp.h"
#include "budget/FrmRegPptal.h"
#include "budget/ConFormulario.h"
#include "payments/FrmOrdenPago.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Grids.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Vcl.h"
#include "support/Separadores.h"

namespace {

using presupuesto::Presupuesto;
using namespace presupuesto::ayuda;

class CadenaUnaVentana : public presupuesto::ConFormulario<TForm> {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Permisos.BGrabar = Permisos.BModificar = Permisos.BBorrar = true;
    PlantillaDePago();
    Sql("INSERT INTO TC (CedulaNIT, nombre) VALUES ('900', 'Proveedor Uno')");
    Rubro("E", "2.7.1", "Materiales");
    Movimiento("AP1", "APR", "2026-01-02", {{"1.2.05", "I", 28000000, 0}, {"2.7.1", "E", 0, 28000000}});
  }
  template <class Form>
  Form* Abrir() {
    return AbrirFormulario<Form>({DM->tblMvtCertDisp, DM->tblPAC, DM->tblPlanPpto, DM->tblMvtRegPptal,
                                  DM->tblMvtOrdenPago, DM->TblTerceros, DM->tblAsientosProgCfg, DM->tblAsientosProg,
                                  DM->TblPlan, DM->TblMovimiento, DM->tblMvtMaestro});
  }
  // Después de cualquier secuencia: nada separado más allá de lo disponible, nada comprometido
  // más allá del certificado, nada pagado más allá del registro.
  void Invariante() {
    EXPECT_GE(getDisponibilidadRubro("2.7.1", "E", nullptr), -0.005);
    EXPECT_EQ(Leer("SELECT count(*) FROM mvtCertDisp AS c WHERE (SELECT sum(valor) FROM mvtRegPptal AS r "
                   "WHERE r.ICD=c.icd) > c.valor + 0.005"),
              "0");
    EXPECT_EQ(Leer("SELECT count(*) FROM mvtRegPptal AS r WHERE (SELECT sum(valor) FROM mvtOrdenPago AS o "
                   "WHERE o.IRP=r.irp) > r.valor + 0.005"),
              "0");
  }
};

// Certificado 2 por 25.000.000 sobre un rubro con 28.000.000; luego el 3 por 1.250.000,50 y el
// 4 por 5.000.000 en la misma fila, que sigue en la rejilla.
TEST_F(CadenaUnaVentana, CertificadosSucesivosSobreLaMismaFila) {
  Rubro("E", "2.7.2", "Otro");
  Certificado(1, "2026-01-15", 10, "2.7.2");
  auto* c = Abrir<TfrmCertDisp>();
  ASSERT_EQ(c->edIcertDisp->Text, "2");
  ui->onModal("TFrmBuscTabla").type("EdBusqueda", "2.7.1").click("&Aceptar");
  F().click("btnAddOtroRubro");
  EXPECT_EQ(c->sgOtrosRubros->Cells[2][1], "28000000");
  auto Certificar = [&](const char* monto) {
    std::string m = prueba::Tecleado(monto);
    c->edValor->Text = "";
    c->edFunc->Text = "";
    c->edInv->Text = "";
    F().set("edFechaExp", "01/03/2026").set("edObjetoGasto", "Dotación").set("edValor", m.c_str()).focus("edVigFisc");
    F().set("edInv", "0").focus("edVigFisc");
    F().editCell("sgOtrosRubros", 3, 1, m.c_str());
    return Grabar();
  };
  EXPECT_EQ(Certificar("25000000"), "Certificado de disponibilidad grabado.");
  EXPECT_EQ(c->sgOtrosRubros->Cells[2][1], "3000000");
  EXPECT_EQ(Certificar("1250000.50"), "Certificado de disponibilidad grabado.");
  EXPECT_EQ(c->sgOtrosRubros->Cells[2][1], prueba::Tecleado("1749999.5"));
  EXPECT_EQ(c->edIcertDisp->Text, "4");
  EXPECT_EQ(Certificar("5000000"),
            "No hay disponible en el rubro 2.7.1: se piden " + prueba::Mostrado("5,000,000.00") + " y hay " +
                prueba::Mostrado("1,749,999.50") + " disponibles.");
  EXPECT_EQ(ui->messages().back().Caption, "Error");
  EXPECT_EQ(c->sgOtrosRubros->Cells[2][1], prueba::Tecleado("1749999.5"));
  EXPECT_EQ(Leer("SELECT group_concat(icd || '=' || valor) FROM (SELECT * FROM certDispRubros ORDER BY icd)"),
            "2=25000000,3=1250000.5");
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtCertDisp WHERE icd=4"), "0");
  EXPECT_EQ(Leer("SELECT count(*) FROM pac WHERE icd=4"), "0");
  EXPECT_NEAR(getDisponibilidadRubro("2.7.1", "E", nullptr), 1749999.5, 1e-6);
  Invariante();
}

// Registro de 12.000.000: la orden 1 por 5.000.000 y luego la 2 por 7.500.000, sin cerrar.
TEST_F(CadenaUnaVentana, OrdenesSucesivasSobreElMismoRegistro) {
  Certificado(1, "2026-02-01", 12000000, "2.7.1");
  Registro(1, 1, "2026-02-10", 12000000);
  auto* o = Abrir<TfrmOrdenPago>();
  F().set("edIRP", "1").focus("edFechaExp");
  EXPECT_EQ(o->lblPendientePagoRP->Caption, prueba::Mostrado("12,000,000.00"));
  auto Pagar = [&](const char* numero, const char* valor, const char* credito) {
    F().set("edIordenPago", numero).focus("edFechaExp");
    o->edFechaExp->Text = "15/02/2026";
    F().set("edItercero", "900").set("edValor", valor).set("edObjetoGasto", "Pago");
    o->SGAsiento->Cells[3][1] = valor;
    o->SGAsiento->Cells[3][2] = credito;
    o->SGAsiento->Cells[3][3] = "0";
    return Grabar();
  };
  ASSERT_EQ(o->edIordenPago->Text, "1");
  EXPECT_EQ(Pagar("1", "5000000", "5000000"), "Orden de pago grabada.");
  // Lo que el registro tiene aún sin pagar, sin volver a sumarle la orden grabada.
  EXPECT_EQ(o->lblPendientePagoRP->Caption, prueba::Mostrado("7,000,000.00"));
  o->edIordenPago->Text = "";
  EXPECT_EQ(Pagar("2", "7500000", "7500000"),
            "El valor de la orden de pago no puede ser mayor que el valor pendiente de pagar del registro "
            "presupuestal.\ntiene una cuenta por pagar mayor al valor pendiente de pago que tiene el reg. "
            "Presupuestal\n");
  EXPECT_EQ(o->lblPendientePagoRP->Caption, prueba::Mostrado("7,000,000.00"));
  EXPECT_EQ(Leer("SELECT group_concat(iop || '=' || valor) FROM mvtOrdenPago"), "1=5000000");
  EXPECT_EQ(Leer("SELECT count(*) FROM MVT WHERE descdocu='_OP' AND numedocu='2'"), "0");
  // Lo que sí cabe se graba, y el pendiente queda en cero.
  o->edIordenPago->Text = "";
  EXPECT_EQ(Pagar("2", "7000000", "7000000"), "Orden de pago grabada.");
  EXPECT_EQ(o->lblPendientePagoRP->Caption, prueba::Mostrado("0.00"));
  // La orden 1 se puede volver a grabar con su propio monto, no subirla.
  o->edIordenPago->Text = "";
  EXPECT_EQ(Pagar("1", "5000000", "5000000"), "Orden de pago grabada.");
  o->edIordenPago->Text = "";
  EXPECT_EQ(Pagar("1", "5000001", "5000001"),
            "El valor de la orden de pago no puede ser mayor que el valor pendiente de pagar del registro "
            "presupuestal.\n");
  EXPECT_EQ(Leer("SELECT sum(valor) FROM mvtOrdenPago"), "12000000");
  Invariante();
}

// Volver al número del registro (tras un mensaje o una búsqueda) sin cambiarlo no relee el
// registro: el objeto del gasto y el valor digitados se quedan.
TEST_F(CadenaUnaVentana, ElObjetoDigitadoSeQuedaMientrasElRegistroNoCambie) {
  Certificado(1, "2026-02-01", 1000, "2.7.1");
  Registro(1, 1, "2026-02-10", 600);
  Registro(2, 1, "2026-02-10", 400);
  objetoGasto = "Objeto del documento anterior";
  auto* o = Abrir<TfrmOrdenPago>();
  F().set("edIRP", "1").focus("edObjetoGasto");
  EXPECT_EQ(o->edObjetoGasto->Text, "Objeto del documento anterior");
  F().set("edObjetoGasto", "Compra de tinta").set("edValor", "300");
  // Una búsqueda con su diálogo; luego el foco vuelve al registro y de ahí a la rejilla.
  ui->onModal("TFrmBuscTabla").type("EdBusqueda", "900").click("&Aceptar");
  F().click("btnLintCedula");
  F().focus("edIRP").focus("SGAsiento");
  EXPECT_EQ(o->edObjetoGasto->Text, "Compra de tinta");
  EXPECT_EQ(o->edValor->Text, "300");
  EXPECT_EQ(o->edItercero->Text, "900");
  // Escribir el mismo número otra vez tampoco relee.
  F().set("edIRP", "1").focus("SGAsiento");
  EXPECT_EQ(o->edObjetoGasto->Text, "Compra de tinta");
  // Otro registro sí: su pendiente y el objeto propuesto.
  F().set("edIRP", "2").focus("SGAsiento");
  EXPECT_EQ(o->lblPendientePagoRP->Caption, prueba::Mostrado("400.00"));
  EXPECT_EQ(o->edObjetoGasto->Text, "Objeto del documento anterior");
  // Lo digitado es lo que se graba.
  F().set("edObjetoGasto", "Compra de tinta").set("edIordenPago", "5").focus("edFechaExp");
  o->edFechaExp->Text = "15/02/2026";
  F().set("edItercero", "900").set("edValor", "300").set("edObjetoGasto", "Compra de tinta");
  F().focus("edIRP").focus("SGAsiento");
  o->SGAsiento->Cells[3][1] = "300";
  o->SGAsiento->Cells[3][2] = "300";
  EXPECT_EQ(Grabar(), "Orden de pago grabada.");
  EXPECT_EQ(Leer("SELECT objetoGasto || '|' || IRP FROM mvtOrdenPago WHERE iop=5"), "Compra de tinta|2");
  EXPECT_EQ(Leer("SELECT group_concat(DISTINCT detalle) FROM MVT WHERE descdocu='_OP' AND numedocu='5'"),
            "Compra de tinta");
}

// Lo que queda del certificado se vuelve a leer tras grabar, con lo que otro puesto comprometió.
TEST_F(CadenaUnaVentana, ElPendienteDelCertificadoSeReleeAlGrabar) {
  Certificado(1, "2026-02-01", 1000, "2.7.1");
  auto* r = Abrir<TfrmRegPptal>();
  r->edIregPptal->Text = "";
  F().set("edIregPptal", "7").focus("edFechaExp");
  F().set("edICD", "1").focus("edIregPptal");
  F().set("edFechaExp", "20/02/2026").set("edItercero", "900").pick("rgTipo", 2);
  r->edFunc->Text = "";
  F().set("edValor", "600").focus("edVigFisc").set("edInv", "0").focus("edVigFisc");
  EXPECT_EQ(r->lblPendientePago->Caption, prueba::Mostrado("400.00"));
  Registro(3, 1, "2026-02-12", 100);  // otro puesto
  EXPECT_EQ(Grabar(), "Registro presupuestal adicionado.");
  EXPECT_EQ(r->edIregPptal->Text, "8");
  EXPECT_EQ(r->lblPendientePago->Caption, prueba::Mostrado("300.00"));
  // Otro registro de 400 ya no cabe: quedan 300.
  F().set("edFechaExp", "20/02/2026").set("edItercero", "900").pick("rgTipo", 2);
  r->edFunc->Text = "";
  F().set("edValor", "400").focus("edVigFisc").set("edInv", "0").focus("edVigFisc");
  EXPECT_EQ(Grabar(), "Este certificado no tiene dinero para ser comprometido.");
  EXPECT_EQ(Leer("SELECT sum(valor) FROM mvtRegPptal"), "700");
  Invariante();
}

}  // namespace
