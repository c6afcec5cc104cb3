// Teclas y ratón de la administración en el escritorio: F1 en la ventana principal, la
// etiqueta del campo adicional señalado en la búsqueda, los combos de usuarios.
#include <dlfcn.h>
#include <wx/grid.h>
#include <wx/uiaction.h>

#include <deque>
#include <fstream>
#include <string>
#include <vector>

#include "app/DataModule.h"
#include "gui/Survey.h"
#include "shared/dialogs/BuscTabla.h"
#include "platform/db/DBTables.h"
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

// El puntero sobre la fila de valores de la búsqueda muestra el valor entero en la etiqueta
// de abajo; sobre los títulos no cambia nada. Su búsqueda directa no muestra la dirección.
TEST_F(SurveyTest, LookupShowsTheHoveredExtraFieldAndHidesTheDirection) {
  std::deque<std::function<void(TForm*)>> steps;
  steps.push_back([](TForm*) {
    std::unique_ptr<TFrmBuscTabla> b(
        new TFrmBuscTabla(nullptr, DM->DSPlan, "Código", "Nombre", "numecuen", "nombcuen", false, ""));
    FrmBuscTabla = b.get();
    b->ShowModal();
    FrmBuscTabla = nullptr;
  });
  int paso = 0, col = -1;
  AnsiString esperado, enTitulo, señalado;
  bool direccionVisible = true, buscarVisto = false;
  auto apuntar = [](TFrmBuscTabla* b, int fila, int col) {
    auto* g = static_cast<wxGrid*>(tv::gui::WidgetOf(b->StringGrid1));
    wxGridWindow* gw = g->CellToGridWindow(fila, col);
    wxRect r = g->CellToRect(fila, col);
    wxPoint p = reinterpret_cast<wxWindow*>(gw)->ClientToScreen(
        g->CalcGridWindowScrolledPosition(r.GetPosition() + wxPoint(4, r.height / 2), gw));
    wxUIActionSimulator().MouseMove(p);
  };
  auto accion = [&](TForm* f) {
    auto* b = static_cast<TFrmBuscTabla*>(f);
    switch (paso++) {
      case 0:
        // Una columna de valor único, para saber que la etiqueta muestra esa celda.
        for (int c = 0; c < b->StringGrid1->ColCount && col < 0; ++c) {
          int iguales = 0;
          for (int o = 0; o < b->StringGrid1->ColCount; ++o)
            iguales += b->StringGrid1->Cells[o][1] == b->StringGrid1->Cells[c][1];
          if (iguales == 1) col = c;
        }
        EXPECT_GE(col, 0);
        if (col < 0) col = 0;
        esperado = b->StringGrid1->Cells[col][1];
        b->lblHint->Caption = "";
        apuntar(b, 0, col);
        return true;
      case 1:
        enTitulo = b->lblHint->Caption;
        apuntar(b, 1, col);
        return true;
      case 2:
        señalado = b->lblHint->Caption;
        b->BtnBuscar->UserClick();
        return true;
      case 3:
        for (wxWindow* w : wxTopLevelWindows) {
          if (w->GetName() != "tvFind" || !w->IsShown()) continue;
          buscarVisto = true;
          direccionVisible = false;
          for (wxWindow* c : w->GetChildren())
            if (dynamic_cast<wxRadioBox*>(c) && c->IsShown()) direccionVisible = true;
        }
        Screenshot("TFrmBuscTabla_buscar");
        Cancel(f);
        return false;
    }
    return false;
  };
  RunSurvey(std::move(steps), {}, {{"TFrmBuscTabla", accion}});
  EXPECT_EQ(enTitulo, "");
  EXPECT_FALSE(esperado.IsEmpty());
  EXPECT_EQ(señalado, esperado);
  EXPECT_TRUE(buscarVisto);
  EXPECT_FALSE(direccionVisible);
}

// Un nombre de usuario largo no ensancha el combo de login ni la ventana: el combo tiene el
// ancho de los demás campos.
TEST_F(SurveyTest, LongUserNamesKeepTheLoginComboNarrow) {
  std::deque<std::function<void(TForm*)>> steps;
  steps.push_back([](TForm*) {
    DM->TblPermisos->Append();
    DM->TblPermisos->FieldByName("LOGIN")->AsString = "largo";
    DM->TblPermisos->FieldByName("NUSUARIO")->AsString = AnsiString(std::string(60, 'M').c_str());
    DM->TblPermisos->Post();
  });
  for (const char* item : {"ModificarUsuarios1", "BorrarUsuarios1"}) steps.push_back(MenuStep(item));
  std::vector<std::string> anchos;
  auto mirar = [&anchos](TForm* f) {
    wxWindow* combo = tv::gui::WidgetOf(ControlNamed(f, "CBLogin"));
    wxWindow* top = tv::gui::WindowOf(f);
    if (combo && top) {
      if (TControl* ed = ControlNamed(f, "EdNombre")) {
        EXPECT_LE(combo->GetSize().x, tv::gui::WidgetOf(ed)->GetSize().x + 2);
      }
      EXPECT_LT(top->GetSize().x, 520) << f->ClassName().str();
      // La lista abierta no se limita al ancho del combo.
      using GetFixed = int (*)(void*);
      auto fixed = reinterpret_cast<GetFixed>(dlsym(RTLD_DEFAULT, "gtk_combo_box_get_popup_fixed_width"));
      EXPECT_TRUE(fixed && !fixed(combo->GetHandle())) << f->ClassName().str();
      anchos.push_back(f->ClassName().str());
    }
    Cancel(f);
    return false;
  };
  RunSurvey(std::move(steps), {}, {{"TFrmModiPermisos", mirar}, {"TFrmBorrarPermiso", mirar}});
  EXPECT_EQ(anchos.size(), 2u);
}

}  // namespace
}  // namespace survey
