#include <memory>

#include "budget/Presupuesto.h"
#include "budget/FrmAudPpto.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/StdCtrls.h"
#include "support/Separadores.h"

using presupuesto::Presupuesto;

namespace {

class Auditoria : public Presupuesto {
 protected:
  // Cadena sana: certificado 1, registro 1, orden de pago 1, comprobante que la cancela.
  void CadenaSana() {
    Certificado(1, "2026-02-01", 500, "A");
    Sql("INSERT INTO pac (icd, m1) VALUES (1, 500)");
    Registro(1, 1, "2026-02-02", 500);
    OrdenServicio(1, 1);
    OrdenPago(1, 1, "2026-02-03", 500);
    Comprobante("1", "2026-02-04", 500, {1});
  }
  std::string Correr() {
    auto f = std::make_unique<TfrmAudPpto>(nullptr);
    f->simularClick();
    f->simularClick();  // la segunda vuelta empieza con la memo vacía
    return f->Memo1->Lines->Text().str();
  }
};

TEST_F(Auditoria, SinHallazgosLaMemoQuedaVacia) {
  CadenaSana();
  EXPECT_EQ(Correr(), "");
}

TEST_F(Auditoria, CuatroRevisionesConVinculosNulos) {
  CadenaSana();
  OrdenPago(12, 1, "2026-02-03", 0);
  Comprobante("15", "2026-02-05", 500, {1, 40});          // op2 sin orden; valor aún cuadra
  Comprobante("16", "2026-02-05", 100, {0, 0, 12.7});     // 12.7 busca la orden 12: existe; no paga ninguna
  Comprobante("18", "2026-02-05", 300, {});               // sin órdenes: su valor no se revisa
  Comprobante("19", "2026-02-05", 200, {50});             // su única orden se borró: solo el vínculo
  Comprobante("7", "2026-02-05", 100, {0, 0, 0, 0, 3.5}, "XX");
  Comprobante("17", "2026-02-05", 900, {1});              // demasiado grande
  OrdenServicio(2, 0);   // sin registro
  OrdenServicio(3, 99);  // registro borrado
  OrdenServicio(4, 1);   // segunda orden del registro 1
  OrdenSuministro(5, 0);
  OrdenSuministro(6, 98);
  Registro(2, 0, "2026-02-02", 10);
  Sql("UPDATE mvtRegPptal SET ICD=NULL WHERE irp=2");
  Registro(3, 77, "2026-02-02", 10);
  Sql("INSERT INTO pac (icd) VALUES (NULL), (55)");
  EXPECT_EQ(Correr(),
            "CP15 tiene op2=40 que no existe\n"
            "CP19 tiene op1=50 que no existe\n"
            "XX7 tiene op5=" + prueba::Tecleado("3.5") + " que no existe\n"
            "El valor del comprobante de pago 17 es demasiado pequeño o demasiado grande en relación a sus órdenes de "
            "pago asociadas\n"
            "La orden se servicio 2 no está asociada a un registro presupuestal.\n"
            "La orden se servicio 3 está asociada a un registro presupuestal 99 que no existe o ha sido borrado.\n"
            "La orden se suministro 5 no está asociada a un registro presupuestal.\n"
            "La orden se suministro 6 está asociada a un registro presupuestal 98 que no existe o ha sido borrado.\n"
            "El registro presupuestal 1 está asociado a 2 órdenes de servicio.\n"
            "El registro presupuestal 2 no está asociada a un certificado de disponibilidad.\n"
            "El registro presupuestal 3 está asociada a un certificado de disponibilidad 77 que no existe o ha sido "
            "borrado.\n"
            "Existe PAC que no tiene asociado el CD.\n"
            "El PAC asociado al CD=55 tiene el problema que ese CD no existe o ha sido borrado.\n");
}

TEST_F(Auditoria, ModoInteractivoYAutomatico) {
  Registro(3, 77, "2026-02-02", 10);
  const char* linea =
      "El registro presupuestal 3 está asociada a un certificado de disponibilidad 77 que no existe o ha sido borrado.";
  AnsiString visto;
  ui->onModal("TfrmAudPpto").click("&Mostrar").run([&](TForm& f) {
    visto = static_cast<TfrmAudPpto&>(f).Memo1->Lines->Strings(0);
  }).click("&Cancelar");
  frmAudPpto = new TfrmAudPpto(nullptr);
  frmAudPpto->ShowModal();
  delete frmAudPpto;
  EXPECT_EQ(visto, linea);

  auto f = std::make_unique<TfrmAudPpto>(nullptr);
  f->Left = 300;
  f->MostrarAutomatica();
  EXPECT_TRUE(f->Showing());
  EXPECT_EQ(f->Left, 0);
  EXPECT_TRUE(f->lblAutomatica->Visible);
  EXPECT_FALSE(f->BitBtn1->Visible);
  EXPECT_FALSE(f->BitBtn2->Visible);
  EXPECT_EQ(f->Memo1->Lines->Count(), 1);
  EXPECT_EQ(ui->unused(), "");
}

}  // namespace
