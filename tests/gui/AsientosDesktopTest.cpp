// Un contador registra un comprobante de dos líneas en el escritorio: menú, diálogo de
// periodo, tipo, número y día tecleados, cuentas, tercero y montos escritos en las celdas de la
// rejilla, y "Grabar". El documento queda en MVT y en mvtMaestro.
#include <wx/grid.h>
#include <wx/uiaction.h>

#include <cstdio>
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
#include "shared/general/Utiles.h"

namespace survey {
namespace {

void Type(const char* text) { wxUIActionSimulator().Text(text); }
void Key(int key) { wxUIActionSimulator().Char(key); }
// Ctrl+N, la tecla de línea nueva del editor.
void NuevaLinea() { wxUIActionSimulator().Char('n', wxMOD_CONTROL); }

TEST_F(SurveyTest, BookkeeperRecordsATwoLineDocument) {
  tv::db::ConnectionFor(libros_.c_str())
      ->Exec("INSERT INTO TC (CedulaNIT, nombre, autoretiva, autoretret) VALUES ('900123', 'PAPELERIA', 0, 0)");
  std::deque<std::function<void(TForm*)>> steps{MenuStep("Documentos1")};
  std::map<std::string, Pilot::Action> actions;
  actions["TFrmPreAsientos"] = [](TForm* f) {
    ClickOn(static_cast<TFrmPreAsientos*>(f)->BtnAceptar);
    return false;
  };
  // Un paso por turno: lo tecleado se procesa antes del siguiente.
  std::vector<std::function<void(TFrmAsientos*)>> pasos = {
      [](TFrmAsientos* e) { ClickOn(e->CBDocumentos); },
      [](TFrmAsientos*) { Type("CE"); },
      [](TFrmAsientos* e) { ClickOn(e->EdNumDoc); },
      [](TFrmAsientos*) { Type("501"); },
      [](TFrmAsientos* e) { ClickOn(e->EdDia); },
      [](TFrmAsientos*) { Type("12"); },
      [](TFrmAsientos* e) { ClickOn(e->BtnTraerCrear); },
      [](TFrmAsientos*) { NuevaLinea(); },
      [](TFrmAsientos* e) { ClickCell(e->DBGrid1, 0, 0); },
      [](TFrmAsientos*) { Type("110501"); },
      [](TFrmAsientos*) { Key(WXK_TAB); },
      [](TFrmAsientos*) { Key(WXK_TAB); },
      [](TFrmAsientos*) { Type("Pago papeleria"); },
      [](TFrmAsientos* e) { ClickCell(e->DBGrid1, 6, 0); },
      [](TFrmAsientos*) { Type("250000"); },
      [](TFrmAsientos*) { Key(WXK_TAB); },
      [](TFrmAsientos*) { NuevaLinea(); },
      [](TFrmAsientos* e) { ClickCell(e->DBGrid1, 0, 1); },
      [](TFrmAsientos*) { Type("511114"); },
      [](TFrmAsientos*) { Key(WXK_TAB); },
      [](TFrmAsientos*) { Type("900123"); },
      [](TFrmAsientos*) { Key(WXK_TAB); },
      [](TFrmAsientos* e) { ClickCell(e->DBGrid1, 7, 1); },
      [](TFrmAsientos*) { Type("250000"); },
      [](TFrmAsientos*) { Key(WXK_TAB); },
      [](TFrmAsientos* e) { Look(e, "TFrmAsientos_tecleado"); },
      [](TFrmAsientos* e) { ClickOn(e->BtnGrabar); },
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
  RunSurvey(std::move(steps), {}, actions);
  // El diálogo de periodo propone el mes en curso y el año es el de la contabilidad.
  char fecha[16];
  std::snprintf(fecha, sizeof fecha, "2026-%02d-12", static_cast<int>(GetMesActual()));
  EXPECT_EQ(paso, pasos.size());
  auto valor = [this](const std::string& sql) {
    tv::db::Stmt st = tv::db::ConnectionFor(libros_.c_str())->Prepare(sql);
    if (!st.Step()) return std::string();
    tv::db::Cell c = st.Column(0);
    return c.kind == tv::db::Cell::Null ? std::string("<null>") : c.s;
  };
  EXPECT_EQ(valor("SELECT group_concat(numecuen || '/' || ifnull(cedulanit, '-') || '/' || debito || '/' || "
                  "credito || '/' || fecha, ';') FROM (SELECT * FROM MVT WHERE descdocu = 'CE' AND numedocu = "
                  "'501' ORDER BY rowid)"),
            "110501/-/250000/0/" + std::string(fecha) + ";511114/900123/0/250000/" + fecha);
  EXPECT_EQ(valor("SELECT fecha || '/' || valor || '/' || qitems || '/' || descuadre FROM mvtMaestro WHERE "
                  "descdocu = 'CE' AND numedocu = '501'"),
            std::string(fecha) + "/250000/2/0");
}

}  // namespace
}  // namespace survey
