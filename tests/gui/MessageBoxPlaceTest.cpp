// Cada caja de mensaje sale centrada sobre el formulario que la pide.
#include <algorithm>
#include <chrono>
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
  // Centrada sobre su formulario salvo lo que el borde de la pantalla no deja.
  auto centrada = [](const wxRect& caja, const wxRect& forma) {
    wxPoint centroCaja(caja.x + caja.width / 2, caja.y + caja.height / 2);
    wxPoint centroForma(forma.x + forma.width / 2, forma.y + forma.height / 2);
    wxRect pantalla = wxGetClientDisplayRect();
    int dx = std::abs(centroCaja.x - std::clamp(centroForma.x, pantalla.x + caja.width / 2,
                                                pantalla.GetRight() - caja.width / 2));
    int dy = std::abs(centroCaja.y - std::clamp(centroForma.y, pantalla.y + caja.height / 2,
                                                pantalla.GetBottom() - caja.height / 2));
    return std::make_pair(dx, dy);
  };
  // El gestor de ventanas coloca la caja después de mostrarse (y la lleva a sitios de paso):
  // se mide cuando llega sobre su formulario, o al vencer el plazo, donde haya quedado.
  std::chrono::steady_clock::time_point plazo{};
  auto caja = [&](wxTopLevelWindow* box) {
    if (casos.size() > 0 && casos.back().duena == nombre) return false;
    if (!box->IsShownOnScreen() || box->GetClientSize().x < 16) return true;
    wxTopLevelWindow* top = tv::gui::WindowOf(duena);
    if (!top || !top->IsShownOnScreen()) return true;
    auto ahora = std::chrono::steady_clock::now();
    if (plazo == std::chrono::steady_clock::time_point{})
      plazo = ahora + std::chrono::milliseconds(waits::Deadline(5000));
    auto [dx, dy] = centrada(box->GetScreenRect(), top->GetScreenRect());
    if ((dx > 30 || dy > 40 || !wxGetClientDisplayRect().Contains(box->GetScreenRect())) && ahora < plazo)
      return true;
    plazo = {};
    casos.push_back({nombre, box->GetScreenRect(), top->GetScreenRect()});
    Screenshot("caja_" + nombre);
    return false;
  };
  RunSurvey(std::move(steps), {}, actions, caja);
  ASSERT_EQ(casos.size(), 3u);
  for (const Caso& c : casos) {
    EXPECT_TRUE(wxGetClientDisplayRect().Contains(c.caja)) << c.duena;
    auto [dx, dy] = centrada(c.caja, c.forma);
    EXPECT_LE(dx, 30) << c.duena << " caja " << c.caja.x << "," << c.caja.y << " forma " << c.forma.x << ","
                      << c.forma.y << " " << c.forma.width << "x" << c.forma.height;
    EXPECT_LE(dy, 40) << c.duena << " caja " << c.caja.x << "," << c.caja.y << " forma " << c.forma.x << ","
                      << c.forma.y << " " << c.forma.width << "x" << c.forma.height;
  }
}

}  // namespace
}  // namespace survey
