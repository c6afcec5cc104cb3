// Ayudas sobre formularios: centrar un control y vaciar las cajas de edición.
#include "platform/core/SysUtils.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/Utiles.h"

void Centra(TControl* Obj) {
  TWinControl* padre = Obj->Parent;
  if (!padre) return;
  int ancho = padre->Width, alto = padre->Height;
  if (auto* f = dynamic_cast<TForm*>(padre)) {
    if (f->ClientWidth > 0) ancho = f->ClientWidth;
    if (f->ClientHeight > 0) alto = f->ClientHeight;
  }
  int izq = ancho / 2 - Obj->Width / 2;
  int arriba = alto / 2 - Obj->Height / 2;
  Obj->Left = izq < 0 ? 0 : izq;
  Obj->Top = arriba < 0 ? 0 : arriba;
}

void limpiarEdits(TForm* aForm, const AnsiString& aEditName, const AnsiString& aEditName2) {
  AnsiString excepto1 = LowerCase(aEditName), excepto2 = LowerCase(aEditName2);
  for (int i = 0; i < aForm->ComponentCount(); ++i) {
    // Solo cajas de edición simples: las de máscara (fechas, montos) conservan su texto.
    auto* ed = dynamic_cast<TEdit*>(aForm->Components(i));
    if (!ed) continue;
    AnsiString nombre = LowerCase(ed->Name);
    if (nombre.SubString(1, 2) != "ed") continue;
    if ((!excepto1.IsEmpty() && nombre == excepto1) || (!excepto2.IsEmpty() && nombre == excepto2))
      continue;
    ed->Text = "";
  }
}
