// El cierre del año a teclado, en el escritorio: Enter en "&Proceder" cierra el año; el
// mensaje final queda encima, con el foco, y Enter lo contesta; la ventana del cierre ya se
// cerró, de modo que otro Enter no vuelve a cerrar el año nuevo.
#include <wx/uiaction.h>

#include <cstdio>
#include <deque>
#include <string>

#include "gui/Survey.h"
#include "ledger/FrmCierreAnio.h"

namespace survey {
namespace {

TEST_F(SurveyTest, ClosingConfirmedWithEnterClosesAndItsMessageComesOnTop) {
  NoLayoutChecks keys;  // the layout is for the survey tests
  std::deque<std::function<void(TForm*)>> steps{MenuStep("CierreAoi1"),
                                                [](TForm*) { wxUIActionSimulator().Char(WXK_RETURN); }};
  std::map<std::string, Pilot::Action> actions;
  int vecesCierre = 0;
  actions["TFrmCierreAnio"] = [&](TForm* f) {
    // Enter goes to the window that has the keyboard: the closing window, once it has it.
    if (wxTopLevelWindow* t = tv::gui::WindowOf(f); !t || !t->IsActive()) return true;
    if (vecesCierre++ == 0) {
      wxUIActionSimulator().Char(WXK_RETURN);  // "&Proceder" is the default button
      return true;
    }
    ADD_FAILURE() << "the closing window stayed open after its OK-kind button";
    Cancel(f);
    return false;
  };
  int cajas = 0, espera = 0;
  bool activa = false, foco = false;
  std::string texto, arriba, titulo;
  auto caja = [&](wxTopLevelWindow* box) {
    for (wxWindow* c : box->GetChildren())
      if (auto* st = dynamic_cast<wxStaticText*>(c)) texto = st->GetLabel().utf8_string();
    if (texto.find("La nueva contabilidad ha sido creada") == std::string::npos) return false;
    if (!box->IsActive() && ++espera < waits::Deadline(10000) / 100) return true;  // the box comes on top soon
    if (cajas++ > 0) return true;  // answered: Enter is on its way
    activa = box->IsActive();
    wxWindow* fw = wxWindow::FindFocus();
    foco = fw && (fw == box || box->IsDescendant(fw));
    arriba = TopmostTitle();
    titulo = box->GetTitle().utf8_string();
    wxUIActionSimulator().Char(WXK_RETURN);
    return true;
  };
  RunSurvey(std::move(steps), {}, actions, caja);
  EXPECT_EQ(vecesCierre, 1);
  EXPECT_EQ(cajas > 0, true) << "the closing's last message did not show; last box: " << texto;
  EXPECT_TRUE(activa);
  EXPECT_TRUE(foco);
  EXPECT_EQ(arriba, titulo) << "the window on top";
}

}  // namespace
}  // namespace survey
