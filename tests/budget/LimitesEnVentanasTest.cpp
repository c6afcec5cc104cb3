// Lo que la revisión al confirmar rehúsa llega a la ventana como su frase, y la ventana no dice
// que grabó: el certificado y el registro rebajados por debajo de lo que ya tienen encima.
#include <string>

#include "app/Permisos.h"
#include "budget/FrmCertDisp.h"
#include "budget/FrmRegPptal.h"
#include "budget/AsientosPptalFixture.h"
#include "budget/ConFormulario.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "support/Separadores.h"

namespace {

using namespace presupuesto::ayuda;

template <class Form>
class Rebajar : public presupuesto::ConFormulario<Form> {
 protected:
  void SetUp() override {
    presupuesto::Presupuesto::SetUp();
    Permisos.BGrabar = Permisos.BModificar = Permisos.BBorrar = true;
    this->Movimiento("AP1", "APR", "2026-01-02", {{"1.2.05", "I", 2000, 0}, {"2.1.1.01", "E", 0, 1000}}, "Inicial");
    this->Certificado(4, "2026-02-01", 500, "", {{"2.1.1.01", 500}});
    this->Sql("UPDATE mvtCertDisp SET objetoGasto='x', func=500, inv=0, vigFiscal='2026', fechaVenc='2026-12-31'");
    this->Sql("INSERT INTO TC (CedulaNIT, nombre) VALUES ('900', 'Papelería Sur')");
  }
  // Valor y funcionamiento iguales, inversión 0, como los teclea el usuario.
  void Montos(const char* valor) {
    this->f->edValor->Text = "";
    this->f->edInv->Text = "";
    this->F().set("edValor", valor).focus("edVigFisc");
    this->f->edFunc->Text = "";
    this->F().set("edFunc", valor).focus("edVigFisc").set("edInv", "0").focus("edVigFisc");
  }
  // Una cifra en la forma en que la muestra el programa con los separadores de la prueba.
  static std::string Cifra(const char* s) { return prueba::Mostrado(s); }
};

using RebajarCertificado = Rebajar<TfrmCertDisp>;
using RebajarRegistro = Rebajar<TfrmRegPptal>;

TEST_F(RebajarCertificado, PorDebajoDeSusRegistrosNoSeGraba) {
  Registro(20, 4, "2026-02-10", 400);
  AbrirFormulario({DM->tblMvtCertDisp, DM->tblPAC, DM->tblPlanPpto}, &frmCertDisp);
  F().set("edIcertDisp", "4").focus("edObjetoGasto");
  F().editCell("sgOtrosRubros", 3, 1, "100");
  Montos("100");
  std::string m = Grabar();
  EXPECT_EQ(m, "El certificado 4 quedaría con registros por " + Cifra("400.00") + " sobre un valor de " +
                   Cifra("100.00") + ".");
  EXPECT_EQ(ui->messageTexts().str().find("grabado"), std::string::npos) << ui->messageTexts().c_str();
  EXPECT_EQ(Leer("SELECT valor FROM mvtCertDisp WHERE icd=4"), "500");
  EXPECT_EQ(Leer("SELECT valor FROM certDispRubros WHERE icd=4"), "500");
}

TEST_F(RebajarRegistro, PorDebajoDeSusOrdenesDePagoNoSeGraba) {
  Registro(20, 4, "2026-02-10", 500);
  Sql("UPDATE mvtRegPptal SET itercero='900', objetoGasto='x', func=500, inv=0, vigFiscal='2026', fechaVenc='2026-12-31' "
      "WHERE irp=20");
  OrdenPago(30, 20, "2026-02-20", 450);
  AbrirFormulario({DM->tblMvtRegPptal, DM->tblMvtCertDisp, DM->TblTerceros, DM->tblMvtOrdenServicio,
                   DM->tblMvtOrdenSumiMaestro},
                  &frmRegPptal);
  f->edIregPptal->Text = "";
  F().set("edIregPptal", "20").focus("edFechaExp");
  Montos("100");
  std::string m = Grabar();
  EXPECT_EQ(m, "El registro presupuestal 20 quedaría con órdenes de pago por " + Cifra("450.00") +
                   " sobre un valor de " + Cifra("100.00") + ".");
  EXPECT_EQ(Leer("SELECT valor FROM mvtRegPptal WHERE irp=20"), "500");
}

// Reducción y traslado desde el editor de movimientos: cada rubro que pierde se mide, no solo el
// primero de donde sale.
class RebajarRubro : public presupuesto::EditorPptal {
 protected:
  void SetUp() override {
    EditorPptal::SetUp();
    Movimiento("AP1", "APR", "2026-01-02", {{"1.2.05", "I", 1000, 0}, {"2.1.1.01", "E", 0, 300}, {"2.3.2", "E", 0, 700}},
               "Inicial");
    Certificado(5, "2026-02-01", 300, "", {{"2.1.1.01", 300}});
    Certificado(6, "2026-02-01", 500, "", {{"2.3.2", 500}});
    Editor();
  }
  std::string Grabado() {
    ui->takeMessages();
    Grabar();
    return ui->lastMessage().str();
  }
};

TEST_F(RebajarRubro, ReduccionYTrasladoDeDosRubrosNoDejanDisponibleNegativo) {
  Traer("RED:Reducción", "RD1");
  Linea(0, "1.2.05", "I", "-200", "");
  Linea(1, "2.1.1.01", "E", "", "-200");
  EXPECT_EQ(Grabado(), "El rubro 2.1.1.01 quedaría con disponible " + prueba::Mostrado("-200.00") + " (definitivo " +
                           prueba::Mostrado("100.00") + "; certificado " + prueba::Mostrado("300.00") + ").");
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtPptal WHERE iMvtPptal='RD1'"), "0");

  ed->Hide();
  delete ed;
  Editor();
  // Sale de dos rubros: el primero tiene con qué, el segundo no.
  Movimiento("AP2", "ADD", "2026-01-03", {{"1.2.05", "I", 100, 0}, {"2.1.1.01", "E", 0, 100}}, "Adición");
  Traer("TRA:Traslado", "TR1");
  Linea(0, "2.1.1.01", "E", "", "-100");
  Linea(1, "2.3.2", "E", "", "-300");
  Linea(2, "2.1.2.01", "E", "", "400");
  EXPECT_EQ(Grabado(), "No tiene fondos para hacer el traslado. El rubro de donde saca (2.3.2) solo tiene " +
                           prueba::Mostrado("200.00") + "\n");
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtPptal WHERE iMvtPptal='TR1'"), "0");
}

}  // namespace
