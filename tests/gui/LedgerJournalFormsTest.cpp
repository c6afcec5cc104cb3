// Las ventanas de los asientos manuales en el escritorio: el diálogo de periodo, el editor con
// un documento cargado, sus diálogos de línea, los colores y los diálogos de cuentas y terceros.
#include <deque>
#include <memory>
#include <set>
#include <string>

#include "app/DataModule.h"
#include "gui/Survey.h"
#include "ledger/DialogosAsiento.h"
#include "ledger/FrmAsientos.h"
#include "ledger/FrmSelColorAsientos.h"
#include "platform/db/Engine.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/StdCtrls.h"

namespace survey {
namespace {

TEST_F(SurveyTest, JournalFormsReadWellOnTheDesktop) {
  tv::db::ConnectionFor(libros_.c_str())
      ->Exec("INSERT INTO MVT (numecuen, detalle, debito, credito, descdocu, numedocu, fecha) VALUES "
             "('110501', 'Consignación del día', 1500000, 0, 'CE', '77', '2026-03-09'), "
             "('111005', 'Retiro para caja', 0, 1500000, 'CE', '77', '2026-03-09')");
  std::deque<std::function<void(TForm*)>> steps;
  steps.push_back(MenuStep("Documentos1"));
  steps.push_back([](TForm*) {
    TFrmCodiVeri d(nullptr);
    d.LblCuenta->Caption = "CAJA PRINCIPAL";
    d.ShowModal();
  });
  steps.push_back([](TForm*) {
    TFrmIngresoCantidad d(nullptr);
    d.LblCuenta->Caption = "150102";
    d.LblUnidades->Caption = "UND";
    d.ShowModal();
  });
  steps.push_back([](TForm*) {
    TFrmTercAsiento d(nullptr);
    d.ShowModal();
  });

  std::map<std::string, Pilot::Action> actions;
  actions["TFrmPreAsientos"] = [](TForm* f) {
    static_cast<TFrmPreAsientos*>(f)->BtnAceptar->UserClick();
    return false;
  };
  int paso = 0;
  actions["TFrmAsientos"] = [&paso](TForm* f) {
    auto* e = static_cast<TFrmAsientos*>(f);
    switch (paso++) {
      case 0:
        e->CBDocumentos->UserSetText("CE");
        e->EdNumDoc->UserSetText("77");
        e->EdDia->UserSetText("9");
        e->BtnTraerCrear->UserClick();
        Look(f, "TFrmAsientos_documento");
        return true;
      case 1: e->BtnNuevaCuenta->UserClick(); return true;
      case 2: e->BtnActCuenta->UserClick(); return true;
      case 3: e->BtnActTercero->UserClick(); return true;
      case 4: e->BtnCambiarColor->UserClick(); return true;
      case 5:
        e->ChBDetalle->Checked = true;
        e->BtnTraerCrear->UserClick();
        return true;
      default: Cancel(f); return false;
    }
  };
  auto looked = RunSurvey(std::move(steps),
                          {"TFrmCodiVeri", "TFrmIngresoCantidad", "TFrmTercAsiento", "TFrmDetalle",
                           "TFrmSelColorAsientos", "TFrmNuevaCuenta", "TFrmModifCuenta", "TFrmNuevoTercero"},
                          actions);
  for (const char* cls : {"TFrmPreAsientos", "TFrmAsientos", "TFrmCodiVeri", "TFrmIngresoCantidad",
                          "TFrmTercAsiento", "TFrmDetalle", "TFrmSelColorAsientos", "TFrmNuevaCuenta",
                          "TFrmModifCuenta", "TFrmNuevoTercero"})
    EXPECT_TRUE(looked.count(cls)) << cls << " was not seen";
}

}  // namespace
}  // namespace survey
