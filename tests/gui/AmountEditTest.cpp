// "Valor del asiento" de la orden de pago, tecleado con centavos: se escribe sin agrupar y, al
// salir con Tab, se ve agrupado con el separador de miles del programa.
#include <wx/uiaction.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gui/Survey.h"
#include "payments/FrmOrdenPago.h"
#include "platform/core/SysUtils.h"
#include "platform/forms/Mask.h"

namespace survey {
namespace {

std::string Visto(TControl* c) {
  auto* t = dynamic_cast<wxTextCtrl*>(tv::gui::WidgetOf(c));
  return t ? t->GetValue().utf8_string() : std::string("?");
}

TEST_F(SurveyTest, PaymentOrderValueShowsGroupedOnceLeft) {
  NoLayoutChecks keys;
  std::string tecleado = std::string("12345678901") + DecimalSeparator + "25";
  std::string agrupado = std::string("12") + ThousandSeparator + "345" + ThousandSeparator + "678" +
                         ThousandSeparator + "901" + DecimalSeparator + "25";
  std::string alEscribir, alSalir, guardado;
  std::vector<std::function<void(TfrmOrdenPago*)>> pasos = {
      [](TfrmOrdenPago* o) { ClickOn(o->edValor); },
      [&](TfrmOrdenPago*) { wxUIActionSimulator().Text(tecleado.c_str()); },
      [&](TfrmOrdenPago* o) {
        alEscribir = Visto(o->edValor);
        wxUIActionSimulator().Char(WXK_TAB);
      },
      [&](TfrmOrdenPago* o) {
        alSalir = Visto(o->edValor);
        guardado = o->edValor->Text.get().str();
        Screenshot("TfrmOrdenPago_valor_agrupado");
      },
  };
  size_t paso = 0;
  std::map<std::string, Pilot::Action> actions;
  actions["TfrmOrdenPago"] = [&](TForm* f) {
    if (paso < pasos.size()) {
      pasos[paso++](static_cast<TfrmOrdenPago*>(f));
      return true;
    }
    Cancel(f);
    return false;
  };
  RunSurvey({MenuStep("Ordendepago1")}, {}, actions);
  EXPECT_EQ(paso, pasos.size());
  EXPECT_EQ(alEscribir, tecleado);
  EXPECT_EQ(alSalir, agrupado);
  EXPECT_EQ(guardado, tecleado);
}

}  // namespace
}  // namespace survey
