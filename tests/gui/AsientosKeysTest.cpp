// El comprobante a teclado, como lo usa un contador: el tipo de documento escrito de nuevo
// tras Ctrl+A, el último monto grabado con Alt+G sin salir de la celda y, tras traer el
// documento otra vez, un detalle nuevo grabado con un clic en "Grabar" sin Enter. Lo que se
// estaba tecleando llega a los libros y ningún editor de celda queda abierto.
#include <wx/grid.h>
#include <wx/uiaction.h>

#include <deque>
#include <string>
#include <vector>

#include "gui/Survey.h"
#include "ledger/DialogosAsiento.h"
#include "ledger/FrmAsientos.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/StdCtrls.h"

namespace survey {
namespace {

void Type(const char* text) { wxUIActionSimulator().Text(text); }
void Key(int key, int modifiers = wxMOD_NONE) { wxUIActionSimulator().Char(key, modifiers); }
void TodoYEscribe(const char* text) {
  Key('a', wxMOD_CONTROL);
  Type(text);
}
bool Editando(TCustomGrid* g) {
  auto* grid = dynamic_cast<wxGrid*>(tv::gui::WidgetOf(g));
  return grid && grid->IsCellEditControlShown();
}

TEST_F(SurveyTest, WhatIsBeingTypedIsSavedByAShortcutOrAButton) {
  NoLayoutChecks keys;  // the layout is for the survey tests
  tv::db::ConnectionFor(libros_.c_str())
      ->Exec("INSERT INTO TC (CedulaNIT, nombre, autoretiva, autoretret) VALUES ('900123', 'PAPELERIA', 0, 0)");
  std::deque<std::function<void(TForm*)>> steps{MenuStep("Documentos1")};
  std::map<std::string, Pilot::Action> actions;
  actions["TFrmPreAsientos"] = [](TForm* f) {
    ClickOn(static_cast<TFrmPreAsientos*>(f)->BtnAceptar);
    return false;
  };
  AnsiString tipo;
  bool editorTrasGrabar = true, editorTrasTraer = true;
  int columnaTrasTraer = -1, cursorTrasTraer = -1;
  std::vector<std::function<void(TFrmAsientos*)>> pasos = {
      [](TFrmAsientos* e) { ClickOn(e->CBDocumentos); },
      [](TFrmAsientos*) { Type("NC"); },
      [](TFrmAsientos*) { TodoYEscribe("CE"); },
      [&tipo](TFrmAsientos* e) { tipo = e->CBDocumentos->Text; },
      [](TFrmAsientos* e) { ClickOn(e->EdNumDoc); },
      [](TFrmAsientos*) { Type("501"); },
      [](TFrmAsientos* e) { ClickOn(e->EdDia); },
      [](TFrmAsientos*) { Type("12"); },
      [](TFrmAsientos* e) { ClickOn(e->BtnTraerCrear); },
      [](TFrmAsientos*) { wxUIActionSimulator().Char('n', wxMOD_CONTROL); },
      [](TFrmAsientos* e) { ClickCell(e->DBGrid1, 0, 0); },
      [](TFrmAsientos*) { Type("110501"); },
      [](TFrmAsientos*) { Key(WXK_TAB); },
      [](TFrmAsientos*) { Key(WXK_TAB); },
      [](TFrmAsientos*) { Type("Pago papeleria"); },
      [](TFrmAsientos* e) { ClickCell(e->DBGrid1, 6, 0); },
      [](TFrmAsientos*) { Type("250000"); },
      [](TFrmAsientos*) { Key(WXK_TAB); },
      [](TFrmAsientos*) { wxUIActionSimulator().Char('n', wxMOD_CONTROL); },
      [](TFrmAsientos* e) { ClickCell(e->DBGrid1, 0, 1); },
      [](TFrmAsientos*) { Type("511114"); },
      [](TFrmAsientos*) { Key(WXK_TAB); },
      [](TFrmAsientos*) { Type("900123"); },
      [](TFrmAsientos*) { Key(WXK_TAB); },
      [](TFrmAsientos* e) { ClickCell(e->DBGrid1, 7, 1); },
      [](TFrmAsientos*) { Type("250000"); },  // sin Tab ni Enter
      [](TFrmAsientos*) { Key('g', wxMOD_ALT); },
      [&](TFrmAsientos* e) { editorTrasGrabar = Editando(e->DBGrid1); },
      // El mismo documento, traído otra vez: un detalle nuevo en la primera línea.
      [](TFrmAsientos* e) { ClickOn(e->CBDocumentos); },
      [](TFrmAsientos*) { TodoYEscribe("CE"); },
      [](TFrmAsientos* e) { ClickOn(e->EdNumDoc); },
      [](TFrmAsientos*) { TodoYEscribe("501"); },
      [](TFrmAsientos* e) { ClickOn(e->BtnTraerCrear); },
      // Tras grabar en "Crédito", el documento traído empieza en la primera columna.
      [&](TFrmAsientos* e) {
        columnaTrasTraer = e->DBGrid1->SelectedIndex;
        if (auto* g = dynamic_cast<wxGrid*>(tv::gui::WidgetOf(e->DBGrid1))) cursorTrasTraer = g->GetGridCursorCol();
      },
      [](TFrmAsientos* e) { ClickCell(e->DBGrid1, 2, 0); },
      [](TFrmAsientos*) { Type("Resmas de papel"); },  // sin Enter
      [](TFrmAsientos* e) { ClickOn(e->BtnGrabar); },
      [](TFrmAsientos* e) { ClickOn(e->EdNumDoc); },
      [](TFrmAsientos*) { TodoYEscribe("501"); },
      [](TFrmAsientos* e) { ClickOn(e->BtnTraerCrear); },
      [&](TFrmAsientos* e) { editorTrasTraer = Editando(e->DBGrid1); },
  };
  size_t paso = 0;
  actions["TFrmAsientos"] = [&](TForm* f) {
    if (paso < pasos.size()) {
      pasos[paso++](static_cast<TFrmAsientos*>(f));
      return true;
    }
    Cancel(f);
    return false;
  };
  std::vector<std::string> cajas;
  auto caja = [&](wxTopLevelWindow* box) {
    for (wxWindow* c : box->GetChildren())
      if (auto* st = dynamic_cast<wxStaticText*>(c); st && !st->GetLabel().empty()) {
        std::string t = st->GetLabel().utf8_string();
        if (cajas.empty() || cajas.back() != t) cajas.push_back(t);
      }
    return false;
  };
  RunSurvey(std::move(steps), {}, actions, caja);
  EXPECT_EQ(paso, pasos.size());
  EXPECT_EQ(tipo, "CE");
  EXPECT_FALSE(editorTrasGrabar);
  EXPECT_FALSE(editorTrasTraer);
  EXPECT_EQ(columnaTrasTraer, 0);
  EXPECT_EQ(cursorTrasTraer, 0);
  for (const std::string& t : cajas) EXPECT_EQ(t.find("desiguales"), std::string::npos) << t;
  auto valor = [this](const std::string& sql) {
    tv::db::Stmt st = tv::db::ConnectionFor(libros_.c_str())->Prepare(sql);
    if (!st.Step()) return std::string();
    tv::db::Cell c = st.Column(0);
    return c.kind == tv::db::Cell::Null ? std::string("<null>") : c.s;
  };
  EXPECT_EQ(valor("SELECT group_concat(numecuen || '/' || debito || '/' || credito, ';') FROM (SELECT * FROM MVT "
                  "WHERE descdocu = 'CE' AND numedocu = '501' ORDER BY numecuen)"),
            "110501/250000/0;511114/0/250000");
  EXPECT_EQ(valor("SELECT detalle FROM MVT WHERE descdocu = 'CE' AND numedocu = '501' AND numecuen = '110501'"),
            "Resmas de papel");
}

}  // namespace
}  // namespace survey
