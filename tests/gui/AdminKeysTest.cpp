// Teclas y ratón de la administración en el escritorio: F1 en la ventana principal, la
// etiqueta del campo adicional señalado en la búsqueda, los combos de usuarios.
#include <wx/uiaction.h>

#include <deque>
#include <fstream>
#include <string>
#include <vector>

#include "gui/Survey.h"
#include "platform/os/Launch.h"

namespace survey {
namespace {

// Lo que el programa pidió abrir (páginas de ayuda) mientras dura la prueba.
class Lanzamientos {
 public:
  Lanzamientos() {
    tv::os::SetLaunchRecorder([this](const tv::os::LaunchRequest& r) { targets.push_back(r.target.str()); });
  }
  ~Lanzamientos() { tv::os::SetLaunchRecorder({}); }
  std::vector<std::string> targets;
};

// La ventana principal no tiene controles que tomen el foco: F1 llega igual, recién abierta
// y tras cerrar un diálogo abierto desde ella.
TEST_F(SurveyTest, F1OnTheMainWindowOpensTheIntroduction) {
  std::filesystem::create_directories(prog_ / "help");
  if (!std::filesystem::exists(prog_ / "help" / "introduccion.html"))
    std::ofstream(prog_ / "help" / "introduccion.html") << "<html></html>";
  Lanzamientos l;
  std::deque<std::function<void(TForm*)>> steps;
  steps.push_back([](TForm*) { wxUIActionSimulator().Char(WXK_F1); });
  steps.push_back([](TForm*) {});
  steps.push_back(MenuStep("Contraseas1"));
  steps.push_back([](TForm*) { wxUIActionSimulator().Char(WXK_F1); });
  steps.push_back([](TForm*) {});
  RunSurvey(std::move(steps), {"TfrmConfigContab"});
  ASSERT_EQ(l.targets.size(), 2u);
  for (const std::string& t : l.targets) EXPECT_NE(t.find("/help/introduccion.html"), std::string::npos) << t;
}

}  // namespace
}  // namespace survey
