// Las ventanas del presupuesto en el escritorio: plan de rubros y su diálogo de rubro nuevo,
// editor de movimientos con un documento en la rejilla, los dos exploradores y la auditoría
// en sus dos modos.
#include <deque>
#include <memory>
#include <set>
#include <string>

#include "app/DataModule.h"
#include "budget/FrmAsientosPptal.h"
#include "budget/FrmExplAsientosPptal.h"
#include "budget/FrmPlanPpto.h"
#include "gui/Survey.h"
#include "budget/FrmAudPpto.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/SqlUtil.h"

namespace survey {
namespace {

void Sql(const char* texto) {
  std::unique_ptr<TQuery> q(new TQuery(nullptr));
  HagaSQL("Contabilidad", q.get(), texto);
}

TEST_F(SurveyTest, BudgetFormsReadWellOnTheDesktop) {
  std::deque<std::function<void(TForm*)>> steps;
  steps.push_back([](TForm*) {
    Sql("insert into MvtPptalMaestro (iMvtPptal, tipoMvtPptal, fecha, detalle, iUsuario) "
        "values ('AP1', 'APR', '01/02/2026', 'Presupuesto inicial', 'gestordelibro')");
    Sql("insert into mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) "
        "values ('AP1', 'APR', '1.2.05', 'I', 1500000, 0)");
    Sql("insert into mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) "
        "values ('AP1', 'APR', '2.3.2', 'E', 0, 1500000)");
    Sql("insert into mvtRegPptal (irp, ICD, FechaExped, valor) values (7, 99, '01/03/2026', 10)");
    Sql("insert into mvtOrdenServicio (iOrdenServicio, irp, Fecha, valor) values (3, 55, '01/03/2026', 1)");
    DM->tblMvtPptalMaestro->Refresh();
  });
  for (const char* item : {"PlanPresupuesto1", "AdicioReduccin1", "Presupuesto1"}) steps.push_back(MenuStep(item));
  steps.push_back([](TForm* f) {
    std::unique_ptr<TfrmNuevaCuentaPpto> n(new TfrmNuevaCuentaPpto(f));
    frmNuevaCuentaPpto = n.get();
    n->ShowModal();
  });
  steps.push_back([](TForm* f) {
    std::unique_ptr<TfrmExplAsientosPptal> e(new TfrmExplAsientosPptal(f));
    frmExplAsientosPptal = e.get();
    e->ShowModal();
  });
  steps.push_back([](TForm* f) {
    std::unique_ptr<TfrmExplMvtPptal> e(new TfrmExplMvtPptal(f));
    frmExplMvtPptal = e.get();
    e->ShowModal();
  });
  bool automatica = false;
  steps.push_back([&automatica](TForm* f) {
    std::unique_ptr<TfrmAudPpto> a(new TfrmAudPpto(f));
    a->MostrarAutomatica();
    a->Repaint();
    Look(a.get(), "TfrmAudPpto_automatica");
    automatica = a->Memo1->Lines->Count() == 2;
    a->Hide();
  });
  std::map<std::string, Pilot::Action> actions;
  actions["TfrmAsientosPptal"] = [](TForm* f) {
    auto* e = static_cast<TfrmAsientosPptal*>(f);
    e->cbTipoMvtPptal->ItemIndex = 3;
    e->edNumDoc->UserSetText("AP1");
    e->BtnTraerCrear->UserClick();
    Look(f, "TfrmAsientosPptal_documento");
    Cancel(f);
    return false;
  };
  actions["TfrmAudPpto"] = [](TForm* f) {
    auto* a = static_cast<TfrmAudPpto*>(f);
    a->BitBtn1->UserClick();
    Look(f, "TfrmAudPpto_mostrar");
    Cancel(f);
    return false;
  };
  auto looked = RunSurvey(std::move(steps),
                          {"TfrmPlanPpto", "TfrmNuevaCuentaPpto", "TfrmExplAsientosPptal", "TfrmExplMvtPptal"}, actions);
  EXPECT_TRUE(automatica);
  for (const char* cls : {"TfrmPlanPpto", "TfrmNuevaCuentaPpto", "TfrmAsientosPptal", "TfrmExplAsientosPptal",
                          "TfrmExplMvtPptal", "TfrmAudPpto"})
    EXPECT_TRUE(looked.count(cls)) << cls;
}

}  // namespace
}  // namespace survey
