// La exportación de exógena a teclado: el recuadro de cuentas de impuestos toma Enter como
// línea nueva, de modo que se escriben varios patrones, uno por línea.
#include <wx/uiaction.h>

#include <deque>
#include <string>
#include <vector>

#include "gui/Survey.h"
#include "reports/FrmExogena.h"

namespace survey {
namespace {

TEST_F(SurveyTest, TheTaxAccountsBoxOfTheExogenousExportTakesOneLinePerEnter) {
  NoLayoutChecks keys;  // the layout is for the survey tests
  std::deque<std::function<void(TForm*)>> steps{MenuStep("Exgena1")};
  std::map<std::string, Pilot::Action> actions;
  std::vector<std::string> lineas;
  std::vector<std::function<void(TfrmExogena*)>> pasos = {
      [](TfrmExogena* e) { ClickOn(e->Memo1); },
      [](TfrmExogena*) { wxUIActionSimulator().Char('a', wxMOD_CONTROL); },
      [](TfrmExogena*) { wxUIActionSimulator().Text("2365"); },
      [](TfrmExogena*) { wxUIActionSimulator().Char(WXK_RETURN); },
      [](TfrmExogena*) { wxUIActionSimulator().Text("2367"); },
      [&](TfrmExogena* e) {
        for (int i = 0; i < e->Memo1->Lines->Count(); ++i) lineas.push_back(e->Memo1->Lines->Strings(i).str());
      },
  };
  size_t paso = 0;
  actions["TfrmExogena"] = [&](TForm* f) {
    if (paso < pasos.size()) {
      pasos[paso++](static_cast<TfrmExogena*>(f));
      return true;
    }
    Cancel(f);
    return false;
  };
  RunSurvey(std::move(steps), {}, actions);
  EXPECT_EQ(paso, pasos.size());
  EXPECT_EQ(lineas, (std::vector<std::string>{"2365", "2367"}));
}

}  // namespace
}  // namespace survey
