// Las ventanas de los comprobantes programados en el escritorio: el comprobante desde sus dos
// entradas del menú (con una plantilla y sus valores), el editor de plantillas, el diálogo de
// bases de la retención y el editor de sus reglas.
#include <deque>
#include <memory>
#include <set>
#include <string>

#include "app/DataModule.h"
#include "gui/Survey.h"
#include "payments/FrmAsientoProgramado.h"
#include "payments/RteFte.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Grids.h"
#include "shared/general/SqlUtil.h"

namespace survey {
namespace {

void Sql(const char* texto) {
  std::unique_ptr<TQuery> q(new TQuery(nullptr));
  HagaSQL("Contabilidad", q.get(), texto);
}

TEST_F(SurveyTest, ProgrammedVoucherFormsReadWellOnTheDesktop) {
  std::deque<std::function<void(TForm*)>> steps;
  steps.push_back([](TForm*) {
    Sql("insert into asientosProgCfg (iAstoProg, nAstoProg, descDocu, requiereTercero) values "
        "(1, 'Pago a proveedores', 'CE', 'S')");
    Sql("insert into asientosProg (iAstoProg, numeCuen, naturaleza, rubro) values (1, '250505', 'D', ''), "
        "(1, '110505', 'C', '1.2.05')");
    DM->tblAsientosProgCfg->Refresh();
  });
  for (const char* item : {"Asientosautomticos1", "Comprobantedepago1", "Asientosprogramados1"})
    steps.push_back(MenuStep(item));
  steps.push_back([](TForm* f) {
    std::unique_ptr<TfrmBeforeRteFte> b(new TfrmBeforeRteFte(f));
    frmBeforeRteFte = b.get();
    b->ShowModal();
  });
  steps.push_back([](TForm* f) {
    std::unique_ptr<TfrmRetenciones> r(new TfrmRetenciones(f));
    frmRetenciones = r.get();
    r->ShowModal();
  });
  std::map<std::string, Pilot::Action> actions;
  int vistas = 0;
  actions["TFrmAsientoProgramado"] = [&vistas](TForm* f) {
    auto* a = static_cast<TFrmAsientoProgramado*>(f);
    a->SGAsiento->UserEditCell(3, 1, "150000");
    a->SGAsiento->UserEditCell(3, 2, "150000");
    Look(f, vistas++ ? "TFrmAsientoProgramado_pago" : "TFrmAsientoProgramado_valores");
    Cancel(f);
    return false;
  };
  auto looked = RunSurvey(std::move(steps), {"TfrmConfAsientosProg", "TfrmBeforeRteFte", "TfrmRetenciones"},
                          actions);
  EXPECT_EQ(vistas, 2);
  for (const char* cls : {"TFrmAsientoProgramado", "TfrmConfAsientosProg", "TfrmBeforeRteFte", "TfrmRetenciones"})
    EXPECT_TRUE(looked.count(cls)) << cls;
}

}  // namespace
}  // namespace survey
