// El plan de cuentas a teclado: Esc en una descripción que se está escribiendo la abandona y
// deja la ventana abierta; el siguiente Esc la cierra. Nada de lo abandonado llega a los libros,
// ni siquiera cuando la tabla se mueve después; una fila nueva a medio escribir se va con un Esc.
#include <wx/grid.h>
#include <wx/uiaction.h>

#include <deque>
#include <string>
#include <vector>

#include "app/DataModule.h"
#include "gui/Survey.h"
#include "ledger/FrmPlan.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/forms/DBGrids.h"

namespace survey {
namespace {

void Type(const char* text) { wxUIActionSimulator().Text(text); }
void Key(int key) { wxUIActionSimulator().Char(key); }
bool Editando(TCustomGrid* g) {
  auto* grid = dynamic_cast<wxGrid*>(tv::gui::WidgetOf(g));
  return grid && grid->IsCellEditControlShown();
}

TEST_F(SurveyTest, EscInTheChartOfAccountsGivesUpTheDescriptionBeforeClosing) {
  NoLayoutChecks keys;  // the layout is for the survey tests
  std::deque<std::function<void(TForm*)>> steps{MenuStep("Plan1")};
  std::map<std::string, Pilot::Action> actions;
  std::string cuenta, nombre;
  bool abiertaTrasEsc = false, editorTrasEsc = true;
  int estadoTrasEsc = -1, estadoTrasTab = -1, estadoTrasCerrar = -1, estadoTrasSegundoEsc = -1;
  int filasConNueva = -1, filasTrasEsc = -1, estadoNueva = -1, estadoTrasEscNueva = -1;
  bool abiertaTrasEscNueva = false;
  std::vector<std::function<void(TFrmPlan*)>> pasos = {
      [](TFrmPlan* p) { ClickCell(p->DBGrid1, 1, 0); },
      [&](TFrmPlan*) {
        cuenta = DM->TblPlan->FieldByName("numecuen")->AsString().str();
        nombre = DM->TblPlan->FieldByName("nombcuen")->AsString().str();
        Type("Lo que abandone");
      },
      [](TFrmPlan*) { Key(WXK_ESCAPE); },
      [&](TFrmPlan* p) {
        abiertaTrasEsc = p->Showing();
        editorTrasEsc = Editando(p->DBGrid1);
        estadoTrasEsc = DM->TblPlan->State;
      },
      // Escrita y dejada con Tab la fila queda en edición: Esc la cancela, el siguiente cierra.
      [](TFrmPlan*) { Type("Otra cosa"); },
      [](TFrmPlan*) { Key(WXK_TAB); },
      [&](TFrmPlan*) { estadoTrasTab = DM->TblPlan->State; },
      [](TFrmPlan*) { Key(WXK_ESCAPE); },
      [&](TFrmPlan*) { estadoTrasSegundoEsc = DM->TblPlan->State; },
      // Una fila nueva con algo escrito se va con un solo Esc.
      [](TFrmPlan*) { Key(WXK_INSERT); },
      [&](TFrmPlan* p) {
        filasConNueva = p->DBGrid1->DisplayRowCount();
        estadoNueva = DM->TblPlan->State;
        Type("Cuenta nueva");
      },
      [](TFrmPlan*) { Key(WXK_ESCAPE); },
      [&](TFrmPlan* p) {
        filasTrasEsc = p->DBGrid1->DisplayRowCount();
        estadoTrasEscNueva = DM->TblPlan->State;
        abiertaTrasEscNueva = p->Showing();
      },
      [](TFrmPlan*) { Key(WXK_ESCAPE); },
  };
  size_t paso = 0;
  actions["TFrmPlan"] = [&](TForm* f) {
    if (paso < pasos.size()) {
      pasos[paso++](static_cast<TFrmPlan*>(f));
      return true;
    }
    ADD_FAILURE() << "the chart of accounts stayed open after the second Esc";
    Cancel(f);
    return false;
  };
  steps.push_back([&](TForm*) {
    estadoTrasCerrar = DM->TblPlan->State;
    DM->TblPlan->Next();  // the next move of the table posts nothing
  });
  RunSurvey(std::move(steps), {}, actions);
  EXPECT_EQ(paso, pasos.size());
  EXPECT_TRUE(abiertaTrasEsc);
  EXPECT_FALSE(editorTrasEsc);
  EXPECT_EQ(estadoTrasEsc, dsBrowse);
  EXPECT_EQ(estadoTrasTab, dsEdit);
  EXPECT_EQ(estadoTrasSegundoEsc, dsBrowse);
  EXPECT_EQ(estadoNueva, dsInsert);
  EXPECT_EQ(filasTrasEsc, filasConNueva - 1);
  EXPECT_EQ(estadoTrasEscNueva, dsBrowse);
  EXPECT_TRUE(abiertaTrasEscNueva);
  EXPECT_EQ(estadoTrasCerrar, dsBrowse);
  ASSERT_FALSE(cuenta.empty());
  tv::db::Stmt st = tv::db::ConnectionFor(libros_.c_str())->Prepare("SELECT nombcuen FROM PL WHERE numecuen = '" + cuenta + "'");
  ASSERT_TRUE(st.Step());
  EXPECT_EQ(st.Column(0).s, nombre);
}

}  // namespace
}  // namespace survey
