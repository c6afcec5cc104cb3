// The balance windows with real keys, as a new user meets them: the first date takes typing
// as soon as the window shows, and Esc closes the print preview.
#include <wx/uiaction.h>

#include <deque>
#include <map>
#include <string>

#include "gui/Survey.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "reports/FrmBalances.h"
#include "reports/FrmDatosInforme.h"

namespace survey {
namespace {

// The preview window of reports, when it shows.
wxTopLevelWindow* Preview() {
  for (wxWindow* w : wxTopLevelWindows)
    if (w->GetName() == "tvPreview" && w->IsShown()) return static_cast<wxTopLevelWindow*>(w);
  return nullptr;
}

TEST_F(SurveyTest, BalanceDatesTakeTypingAtOnceAndEscClosesThePreview) {
  NoLayoutChecks keys;  // the layout is for the survey tests
  // The trial balance straight from the menu; the general balance through its signers' dialog.
  std::deque<std::function<void(TForm*)>> steps{MenuStep("BalancedePrueba1"), MenuStep("BalanceGeneral1")};
  std::map<int, std::string> typed;  // by the balance's kind
  int datos = 0, espera = 0;
  bool previewShown = false, previewClosed = false;
  std::map<std::string, Pilot::Action> actions;
  actions["TFrmDatosInforme"] = [&datos](TForm* f) {
    if (datos++ == 0) {
      static_cast<TFrmDatosInforme*>(f)->BitBtn1->UserClick();  // "Balance General"
      return true;
    }
    Cancel(f);
    return false;
  };
  // Esc as soon as the preview has the keyboard; it runs from its own timer, inside the
  // preview's loop.
  wxTimer escTimer;
  int escTicks = 0, afterEsc = 0;
  escTimer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    wxTopLevelWindow* p = Preview();
    if (!p) return;
    if (!previewShown) {
      if (!p->IsActive() && ++escTicks < waits::Deadline(10000) / 50) return;
      previewShown = true;
      wxUIActionSimulator().Char(WXK_ESCAPE);
      return;
    }
    // Still there long after the key: closed by hand, so the test goes on.
    if (++afterEsc > waits::Deadline(10000) / 50) static_cast<wxDialog*>(p)->EndModal(wxID_CLOSE);
  });
  actions["TFrmBalances"] = [&](TForm* f) {
    auto* b = static_cast<TFrmBalances*>(f);
    // A person types once the window is there and has the keyboard; no click first.
    if (wxTopLevelWindow* t = tv::gui::WindowOf(f); !t || !t->IsActive()) return ++espera < 100;
    if (!typed.count(b->Llamado)) {
      wxUIActionSimulator().Text("01012026");
      typed[b->Llamado] = "";
      espera = 0;
      return true;
    }
    std::string text = b->EdFechaInicio->Text.get().c_str();
    if (text != "01/01/2026" && ++espera < 100) return true;
    typed[b->Llamado] = text;
    if (b->Llamado == 2) {
      b->EdFechaFinal->UserSetText("31/12/2026");
      b->BtnInforme->UserClick();
      b->chbVistaPrevia->Checked = true;
      escTimer.Start(50);
      b->btnImprimir->UserClick();  // returns once the preview is closed
      escTimer.Stop();
      previewClosed = afterEsc <= waits::Deadline(10000) / 50;
    }
    Cancel(f);
    return false;
  };
  RunSurvey(std::move(steps), {}, actions);
  EXPECT_EQ(typed[2], "01/01/2026") << "trial balance";
  EXPECT_EQ(typed[1], "01/01/2026") << "general balance";
  EXPECT_TRUE(previewShown);
  EXPECT_TRUE(previewClosed);
}

}  // namespace
}  // namespace survey
