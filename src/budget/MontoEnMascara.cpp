#include "budget/MontoEnMascara.h"

#include <string>

#include "app/Validaciones.h"
#include "platform/forms/Mask.h"

namespace {
// La máscara más larga de ajustarMaskEdit lleva doce cifras.
constexpr std::size_t kCifrasMascara = 12;
}  // namespace

void EnmascararMonto(TMaskEdit* aCampo) {
  std::string t = AnsiString(aCampo->Text).Trim().str();
  bool entero = !t.empty() && t.size() <= kCifrasMascara;
  for (char c : t)
    if (c < '0' || c > '9') entero = false;
  aCampo->EditMask = "";
  aCampo->Text = AnsiString(t.c_str());
  // Sin máscara (centavos, signo) el monto se ve agrupado mientras no se escribe en él.
  aCampo->AmountDisplay = true;
  if (entero) ajustarMaskEdit(aCampo);
}

void MostrarMonto(TMaskEdit* aCampo, const AnsiString& aTexto) {
  aCampo->EditMask = "";
  aCampo->Text = aTexto;
  EnmascararMonto(aCampo);
}
