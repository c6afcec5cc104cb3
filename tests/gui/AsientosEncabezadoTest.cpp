// El encabezado del diario con un nombre de cuenta largo: la ventana no se ensancha y los títulos
// de la rejilla caben enteros en sus columnas.
#include <wx/grid.h>

#include <deque>
#include <string>

#include "gui/Survey.h"
#include "ledger/DialogosAsiento.h"
#include "ledger/FrmAsientos.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/StdCtrls.h"

namespace survey {
namespace {

// Cada título de la rejilla cabe en su columna.
void TitulosEnteros(TFrmAsientos* e, const char* cuando) {
  auto* grid = dynamic_cast<wxGrid*>(tv::gui::WidgetOf(e->DBGrid1));
  ASSERT_TRUE(grid);
  wxClientDC dc(grid->GetGridColLabelWindow());
  dc.SetFont(grid->GetLabelFont());
  for (int c = 0; c < grid->GetNumberCols(); ++c) {
    wxString t = grid->GetColLabelValue(c);
    EXPECT_LE(dc.GetTextExtent(t).x + 4, grid->GetColSize(c)) << cuando << ": " << t.utf8_str().data();
  }
}

TEST_F(SurveyTest, JournalHeaderKeepsItsWidthWithALongAccountName) {
  std::deque<std::function<void(TForm*)>> steps{MenuStep("Documentos1")};
  std::map<std::string, Pilot::Action> actions;
  actions["TFrmPreAsientos"] = [](TForm* f) {
    ClickOn(static_cast<TFrmPreAsientos*>(f)->BtnAceptar);
    return false;
  };
  int paso = 0, ancho = 0, vistos = 0;
  actions["TFrmAsientos"] = [&](TForm* f) {
    auto* e = static_cast<TFrmAsientos*>(f);
    wxTopLevelWindow* w = tv::gui::WindowOf(f);
    if (paso++ == 0) {
      TitulosEnteros(e, "al abrir");
      ancho = w->GetSize().x;
      e->LblNCuenta->Caption =
          "OTRAS CUENTAS POR COBRAR DE DIFICIL RECAUDO POR CONCEPTO DE SANCIONES Y MULTAS ADMINISTRATIVAS";
      e->LblNTercero->Caption = "COOPERATIVA MULTIACTIVA DE TRABAJADORES DE LA EDUCACION DEL DEPARTAMENTO";
      // Como al pasar a una línea: el modelo cambia dentro de un evento y la ventana lo sigue.
      Application->AfterEvent();
      return true;
    }
    Look(f, "TFrmAsientos_nombre_largo");
    TitulosEnteros(e, "con nombre largo");
    EXPECT_EQ(w->GetSize().x, ancho);
    ++vistos;
    Cancel(f);
    return false;
  };
  RunSurvey(std::move(steps), {}, actions);
  EXPECT_EQ(vistos, 1);
}

}  // namespace
}  // namespace survey
