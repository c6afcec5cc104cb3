#include "platform/forms/Buttons.h"

#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"

TBitBtn::TBitBtn(TComponent* AOwner)
    : TButton(AOwner), Kind([this](const TBitBtnKind& k) {
        Kind.Raw(k);
        switch (k) {
          case bkOK: ModalResult = mrOk; Default = true; break;
          case bkCancel: ModalResult = mrCancel; Cancel = true; break;
          case bkYes: ModalResult = mrYes; Default = true; break;
          case bkNo: ModalResult = mrNo; Cancel = true; break;
          case bkAbort: ModalResult = mrAbort; break;
          case bkRetry: ModalResult = mrRetry; break;
          case bkIgnore: ModalResult = mrIgnore; break;
          case bkAll: ModalResult = mrAll; break;
          default: break;
        }
        if (Caption.IsEmpty()) {
          switch (k) {
            case bkOK: Caption = "Aceptar"; break;
            case bkCancel: Caption = "Cancelar"; break;
            case bkHelp: Caption = "&Ayuda"; break;
            case bkYes: Caption = "&Sí"; break;
            case bkNo: Caption = "&No"; break;
            case bkClose: Caption = "&Cerrar"; break;
            case bkAbort: Caption = "Anular"; break;
            case bkRetry: Caption = "&Reintentar"; break;
            case bkIgnore: Caption = "&Omitir"; break;
            case bkAll: Caption = "&Todos"; break;
            default: break;
          }
        }
      }, bkCustom) {}

void TBitBtn::Click() {
  if (Kind.get() == bkClose) {
    TControl::Click();
    if (TForm* f = ParentForm()) f->Close();
    return;
  }
  TButton::Click();
}

void TSpeedButton::UserClick() {
  DispatchEvent([this] {
    if (!IsShowing()) return;
    if (GroupIndex != 0) {
      if (!Down) {
        Down = true;
        if (TWinControl* p = Parent.get())
          for (int i = 0; i < p->ControlCount(); ++i)
            if (auto* sb = dynamic_cast<TSpeedButton*>(p->Controls(i));
                sb && sb != this && sb->GroupIndex == GroupIndex)
              sb->Down = false;
      } else if (AllowAllUp) {
        Down = false;
      }
    }
    Click();
  });
}
