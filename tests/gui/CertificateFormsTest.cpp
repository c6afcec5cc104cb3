// Certificados y registros presupuestales en el escritorio: formulario del certificado nuevo
// y guardado con su explorador al lado, formulario del registro en sus dos estados y las
// tres clases de documento, explorador de registros y un borrado con la auditoría al lado.
#include <deque>
#include <memory>
#include <string>

#include "app/DataModule.h"
#include "budget/FrmCertDisp.h"
#include "budget/FrmExpCertDisp.h"
#include "budget/FrmExplRegPptal.h"
#include "budget/FrmRegPptal.h"
#include "gui/Survey.h"
#include "budget/FrmAudPpto.h"
#include "platform/db/DBTables.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/SqlUtil.h"

namespace survey {
namespace {

void Sql(const char* texto) {
  std::unique_ptr<TQuery> q(new TQuery(nullptr));
  HagaSQL("Contabilidad", q.get(), texto);
}

// Escribe un número como lo haría una persona y sale del campo.
void Numero(TEdit* campo, TWinControl* siguiente, const char* texto) {
  campo->UserFocus();
  campo->Text = "";
  campo->UserSetText(texto);
  siguiente->UserFocus();
}

TEST_F(SurveyTest, CertificateFormsReadWellOnTheDesktop) {
  std::deque<std::function<void(TForm*)>> steps;
  steps.push_back([](TForm*) {
    Sql("insert into TC (cedulaNit, nombre) values ('800123', 'Papelería y Suministros del Norte')");
    Sql("insert into MvtPptalMaestro (iMvtPptal, tipoMvtPptal, fecha, detalle, iUsuario) "
        "values ('AP1', 'APR', '01/02/2026', 'Presupuesto inicial', 'gestordelibro')");
    Sql("insert into mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) "
        "values ('AP1', 'APR', '2.3.2', 'E', 0, 1500000)");
    Sql("insert into mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) "
        "values ('AP1', 'APR', '2.1.1.01', 'E', 0, 900000)");
    Sql("insert into mvtCertDisp (icd, FechaExped, fechaVenc, objetoGasto, valor, func, inv, vigFiscal) values "
        "(1, '02/02/2026', '12/31/2026', 'Compra de papelería y tinta para la secretaría', 700000, 700000, 0, "
        "'2026')");
    Sql("insert into certDispRubros (icd, rubroPptal, valor) values (1, '2.3.2', 400000)");
    Sql("insert into certDispRubros (icd, rubroPptal, valor) values (1, '2.1.1.01', 300000)");
    Sql("insert into pac (icd, m2, m3) values (1, 400000, 300000)");
    Sql("insert into mvtCertDisp (icd, FechaExped, valor, rubroPptal) values (2, '03/02/2026', 1000, '2.3.2')");
    Sql("insert into mvtRegPptal (irp, ICD, FechaExped, fechaVenc, valor, func, inv, itercero, vigFiscal, "
        "objetoGasto, docAsociado) values (1, 1, '03/02/2026', '12/31/2026', 250000, 250000, 0, '800123', '2026', "
        "'Papel carta y oficio', 'Cotización 45')");
    Sql("insert into mvtRegPptal (irp, ICD, FechaExped, valor, itercero) values (2, 2, '04/02/2026', 1000, '800123')");
    Sql("insert into mvtOrdenPago (iop, IRP, FechaExped, valor) values (1, 1, '04/02/2026', 100000)");
    for (TTable* t : {DM->tblMvtCertDisp, DM->tblPAC, DM->tblMvtRegPptal, DM->TblTerceros}) t->Refresh();
  });
  for (const char* item : {"Certificadodisponibilidad1", "Registropresupuestal1", "Registrospresupuestales1",
                           "Certificadosdedisponibilidad1"})
    steps.push_back(MenuStep(item));

  std::map<std::string, Pilot::Action> actions;
  actions["TfrmCertDisp"] = [](TForm* f) {
    auto* c = static_cast<TfrmCertDisp*>(f);
    Look(f, "TfrmCertDisp_nuevo");
    Numero(c->edIcertDisp, c->edObjetoGasto, "1");
    Look(f, "TfrmCertDisp_guardado");
    c->btnExplorar->UserClick();
    Look(c->explorador, "TfrmExpCertDisp_junto");
    c->explorador->Hide();
    Cancel(f);
    return false;
  };
  actions["TfrmRegPptal"] = [](TForm* f) {
    auto* r = static_cast<TfrmRegPptal*>(f);
    Look(f, "TfrmRegPptal_nuevo");
    Numero(r->edIregPptal, r->edFechaExp, "1");
    Look(f, "TfrmRegPptal_guardado");
    for (int tipo : {0, 1, 2}) {
      r->rgTipo->UserSelect(tipo);
      Look(f, "TfrmRegPptal_clase" + std::to_string(tipo));
    }
    r->btnNavegar->UserClick();
    Look(r->explorador, "TfrmExplRegPptal_junto");
    r->explorador->Hide();
    Cancel(f);
    return false;
  };
  actions["TfrmExplRegPptal"] = [](TForm* f) {
    Look(f, "TfrmExplRegPptal_lista");
    Cancel(f);
    return false;
  };
  actions["TfrmExpCertDisp"] = [](TForm* f) {
    auto* e = static_cast<TfrmExpCertDisp*>(f);
    DM->tblMvtCertDisp->Last();
    e->btnBorrar->UserClick();
    Look(e->audPpto, "TfrmAudPpto_automatica");
    Look(f, "TfrmExpCertDisp_borrado");
    e->audPpto->Hide();
    Cancel(f);
    return false;
  };
  auto looked = RunSurvey(std::move(steps), {}, actions);
  for (const char* cls : {"TfrmCertDisp", "TfrmRegPptal", "TfrmExplRegPptal", "TfrmExpCertDisp"})
    EXPECT_TRUE(looked.count(cls)) << cls;
}

}  // namespace
}  // namespace survey
