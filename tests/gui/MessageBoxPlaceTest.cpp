// Cada caja de mensaje sale centrada sobre el formulario que la pide.
#include <algorithm>
#include <cstdlib>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "gui/Survey.h"
#include "platform/forms/Dialogs.h"

namespace survey {
namespace {

// Un formulario de prueba en una esquina de la pantalla que avisa algo al mostrarse.
class TFrmEsquina : public TForm {
 public:
  explicit TFrmEsquina(TComponent* owner) : TForm(owner) {
    Caption = "Esquina";
    ClientWidth = 300;
    ClientHeight = 200;
  }
  AnsiString ClassName() const override { return "TFrmEsquina"; }
};

// Cada caja de mensaje sale sobre el formulario que la pide: el principal, uno que avisa al
// abrirse y otro en la esquina de abajo a la derecha.
TEST_F(SurveyTest, EveryMessageBoxIsCentredOverItsForm) {
  NoLayoutChecks keys;
  struct Caso {
    std::string duena;
    wxRect caja, forma;
  };
  std::vector<Caso> casos;
  TForm* duena = nullptr;
  std::string nombre;
  auto pedir = [&](TForm* f, const char* n) {
    duena = f;
    nombre = n;
    ShowMessage(AnsiString("Sobre ") + n);
  };
  std::deque<std::function<void(TForm*)>> steps;
  steps.push_back([&](TForm* main) { pedir(main, "principal"); });
  for (bool esquina : {false, true})
    steps.push_back([&, esquina](TForm* main) {
      auto* f = new TFrmEsquina(main);
      if (esquina) {
        f->Position = poDesigned;
        f->Left = 5000;  // la ventana queda contra el borde derecho e inferior
        f->Top = 5000;
      } else {
        f->Position = poScreenCenter;
      }
      f->OnShow = [&, f, esquina](TObject*) { pedir(f, esquina ? "esquina" : "al abrirse"); };
      f->ShowModal();
      delete f;
    });
  std::map<std::string, Pilot::Action> actions;
  actions["TFrmEsquina"] = [](TForm* f) {
    Cancel(f);
    return false;
  };
  auto caja = [&](wxTopLevelWindow* box) {
    if (casos.size() > 0 && casos.back().duena == nombre) return false;
    if (!box->IsShownOnScreen() || box->GetClientSize().x < 16) return true;
    wxTopLevelWindow* top = tv::gui::WindowOf(duena);
    if (!top || !top->IsShownOnScreen()) return true;
    casos.push_back({nombre, box->GetScreenRect(), top->GetScreenRect()});
    Screenshot("caja_" + nombre);
    return false;
  };
  RunSurvey(std::move(steps), {}, actions, caja);
  ASSERT_EQ(casos.size(), 3u);
  for (const Caso& c : casos) {
    wxPoint centroCaja(c.caja.x + c.caja.width / 2, c.caja.y + c.caja.height / 2);
    wxPoint centroForma(c.forma.x + c.forma.width / 2, c.forma.y + c.forma.height / 2);
    wxRect pantalla = wxGetClientDisplayRect();
    EXPECT_TRUE(pantalla.Contains(c.caja)) << c.duena;
    // Centrada sobre su formulario salvo lo que el borde de la pantalla no deja.
    int dx = std::abs(centroCaja.x - std::clamp(centroForma.x, pantalla.x + c.caja.width / 2,
                                                pantalla.GetRight() - c.caja.width / 2));
    int dy = std::abs(centroCaja.y - std::clamp(centroForma.y, pantalla.y + c.caja.height / 2,
                                                pantalla.GetBottom() - c.caja.height / 2));
    EXPECT_LE(dx, 30) << c.duena << " caja " << c.caja.x << "," << c.caja.y << " forma " << c.forma.x << ","
                      << c.forma.y << " " << c.forma.width << "x" << c.forma.height;
    EXPECT_LE(dy, 40) << c.duena << " caja " << c.caja.x << "," << c.caja.y << " forma " << c.forma.x << ","
                      << c.forma.y << " " << c.forma.width << "x" << c.forma.height;
  }
}

}  // namespace
}  // namespace survey
