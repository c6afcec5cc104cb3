// Every administration form and shared dialog, opened over a fresh installation in the
// desktop front end: the real start-up (splash, chooser, login, new password, main window),
// the administration forms from the main menu and the shared dialogs.
#include <deque>
#include <memory>
#include <set>
#include <string>

#include "app/Contabilidades.h"
#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/FrmClaveAdmin.h"
#include "gui/Survey.h"
#include "shared/dialogs/Aviso.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/dialogs/Calendar.h"
#include "shared/dialogs/RepairDialog.h"

namespace survey {
namespace {

TEST_F(SurveyTest, EveryFormReadsWellOnTheDesktop) {
  std::deque<std::function<void(TForm*)>> steps;
  for (const char* item : {"Abrir1", "Borrar1", "adicionarUsuarios", "ModificarUsuarios1", "BorrarUsuarios1",
                           "Contraseas1", "CuentasEspeciales1"})
    steps.push_back(MenuStep(item));
  bool aviso = false;
  steps.push_back([](TForm*) { frmClaveAdmin->ShowModal(); });
  steps.push_back([](TForm* f) {
    std::unique_ptr<TfrmEditarContabs> e(new TfrmEditarContabs(f));
    frmEditarContabs = e.get();
    e->ShowModal();
  });
  steps.push_back([](TForm*) {
    std::unique_ptr<TFrmBuscTabla> b(
        new TFrmBuscTabla(nullptr, DM->DSPlan, "Código", "Nombre", "numecuen", "nombcuen", false, ""));
    FrmBuscTabla = b.get();
    b->ShowModal();
  });
  steps.push_back([](TForm*) {
    std::unique_ptr<TFrmCalendar> c(new TFrmCalendar(nullptr));
    FrmCalendar = c.get();
    c->ShowModal();
  });
  steps.push_back([](TForm*) {
    std::unique_ptr<TRepairDialog> r(new TRepairDialog(nullptr, PathOrigen));
    RepairDialog = r.get();
    r->ShowModal();
    RepairDialog = nullptr;
  });
  steps.push_back([&aviso](TForm*) {
    TAviso a;
    a.Inicie("Realizando la exportación...", true, true, 1, 1000, 1);
    for (int i = 0; i < 400; ++i) a.IncrProgBar();
    ASSERT_TRUE(FrmAviso);
    Look(FrmAviso, "TFrmAviso");
    aviso = true;
    a.Termine();
  });
  auto looked = RunSurvey(std::move(steps), {"TFrmCambiarContabilidad", "TFrmBorrarContabilida", "TFrmAddPermisos",
                          "TFrmModiPermisos", "TFrmBorrarPermiso", "TfrmConfigContab", "TFrmCuentasEsp",
                          "TfrmClaveAdmin", "TfrmEditarContabs", "TFrmBuscTabla", "TFrmCalendar",
                          "TRepairDialog"});
  EXPECT_TRUE(aviso);
  std::set<std::string> want{"TFrmPresentacion", "TFrmSelContab", "TFrmClave", "TFrmNuevaClave", "TFrmMain",
                             "TFrmCambiarContabilidad", "TFrmBorrarContabilida", "TFrmAddPermisos",
                             "TFrmModiPermisos", "TFrmBorrarPermiso", "TfrmConfigContab", "TFrmCuentasEsp",
                             "TfrmClaveAdmin", "TfrmEditarContabs", "TFrmBuscTabla", "TFrmCalendar",
                             "TRepairDialog"};
  for (const std::string& cls : want) EXPECT_TRUE(looked.count(cls)) << cls << " was not seen";
}

}  // namespace
}  // namespace survey
