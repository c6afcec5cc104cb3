// Los informes de ejecución, la búsqueda presupuestal, el saldo de rubros y los reintegros en el
// escritorio, cada uno con datos a la vista.
#include <deque>
#include <memory>
#include <set>
#include <string>

#include <wx/grid.h>

#include "app/DataModule.h"
#include "gui/Survey.h"
#include "payments/FrmBuscarPpto.h"
#include "payments/FrmReintegros.h"
#include "payments/FrmSaldosRubros.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/SqlUtil.h"

namespace survey {
namespace {

void Sql(const char* texto) {
  std::unique_ptr<TQuery> q(new TQuery(nullptr));
  HagaSQL("Contabilidad", q.get(), texto);
}

TEST_F(SurveyTest, BudgetReportFormsReadWellOnTheDesktop) {
  std::deque<std::function<void(TForm*)>> steps;
  steps.push_back([](TForm*) {
    Sql("insert into MvtPptalMaestro (iMvtPptal, tipoMvtPptal, fecha, detalle, iUsuario) "
        "values ('AP1', 'APR', '01/02/2026', 'Presupuesto inicial', 'gestordelibro')");
    Sql("insert into mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) "
        "values ('AP1', 'APR', '2.3.2', 'E', 0, 1500000)");
    Sql("insert into mvtCertDisp (icd, FechaExped, valor, rubroPptal, objetoGasto) values "
        "(1, '02/02/2026', 400000, '2.3.2', 'Mantenimiento de equipos')");
    Sql("insert into mvtRegPptal (irp, ICD, FechaExped, valor, itercero) values (1, 1, '03/02/2026', 400000, '800')");
    Sql("insert into mvtOrdenServicio (iOrdenServicio, Fecha, itercero, descServicio, irp, valor) values "
        "(3, '01/03/2026', '800', 'MANTENIMIENTO PREVENTIVO DE LOS EQUIPOS', 1, 250000)");
    Sql("insert into mvtOrdenSumiMaestro (iOrdenSuministro, Fecha, itercero, detalle, irp, valorTotal) values "
        "(4, '02/03/2026', '800', 'TONER Y PAPEL', 1, 90000)");
    Sql("insert into reintegros (cdp, rubro, valor, justificacion, fecha, iusuario) values "
        "(0, '2.3.2', 50000, 'Sobrante del contrato', '03/10/2026', 'gestordelibro')");
    DM->tblReintegros->Refresh();
  });
  for (const char* item : {"Presupuestoenconstruccin1", "Presupuestoportrimeste1",
                           "Buscarenlainformacinpresupuestal1", "Saldorubros1", "Reintegros1"})
    steps.push_back(MenuStep(item));
  std::map<std::string, Pilot::Action> actions;
  actions["TfrmBuscarPpto"] = [](TForm* f) {
    auto* b = static_cast<TfrmBuscarPpto*>(f);
    const char* textos[] = {"Mantenimiento", "800", "MANTENIMIENTO", "TONER"};
    for (int i = 0; i < 4; ++i) {
      b->edTexto->UserSetText(textos[i]);
      b->RG->ItemIndex = i;
      b->BitBtn1->UserClick();
      Look(f, "TfrmBuscarPpto_" + std::to_string(i));
    }
    Cancel(f);
    return false;
  };
  actions["TfrmReintegros"] = [](TForm* f) {
    auto* r = static_cast<TfrmReintegros*>(f);
    Look(f, "TfrmReintegros_lista");
    r->btnNuevo->UserClick();
    Look(f, "TfrmReintegros_nuevo");
    Cancel(f);
    return false;
  };
  // "Disponible" se ve entero al abrir, sin correr la rejilla.
  int saldos = 0;
  actions["TfrmSaldosRubros"] = [&saldos](TForm* f) {
    auto* grid = dynamic_cast<wxGrid*>(tv::gui::WidgetOf(static_cast<TfrmSaldosRubros*>(f)->DBGrid2));
    EXPECT_TRUE(grid);
    if (grid) {
      int x0 = 0, y0 = 0;
      grid->GetViewStart(&x0, &y0);
      EXPECT_EQ(x0, 0);
      wxRect disponible = grid->CellToRect(0, 3);
      EXPECT_EQ(grid->GetColLabelValue(3), "Disponible");
      EXPECT_LE(disponible.GetRight(), grid->GetGridWindow()->GetClientSize().x) << "Disponible off-screen";
      ++saldos;
    }
    Cancel(f);
    return false;
  };
  auto looked = RunSurvey(std::move(steps), {"TfrmInfPpto", "TfrmInfPptoTri"}, actions);
  EXPECT_EQ(saldos, 1);
  for (const char* cls : {"TfrmInfPpto", "TfrmInfPptoTri", "TfrmBuscarPpto", "TfrmSaldosRubros", "TfrmReintegros"})
    EXPECT_TRUE(looked.count(cls)) << cls;
}

}  // namespace
}  // namespace survey
