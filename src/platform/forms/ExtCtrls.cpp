#include "platform/forms/ExtCtrls.h"

#include "platform/forms/Forms.h"
#include "platform/forms/UiDriver.h"

using tv::forms::Ui;

TRadioGroup::TRadioGroup(TComponent* AOwner)
    : TWinControl(AOwner), ItemIndex([this](const int& v) {
        int i = v;
        if (i < -1) i = -1;
        if (i >= Items->Count()) i = Items->Count() - 1;
        if (i == ItemIndex.get()) return;
        ItemIndex.Raw(i);
        if (i >= 0) Click();
      }, -1) {
  TabStop = true;
  Width = 185;
  Height = 105;
  Items->OnChange = [this](TObject*) {
    if (ItemIndex.get() >= Items->Count()) ItemIndex.Raw(-1);
  };
}

void TRadioGroup::UserSelect(int index) {
  DispatchEvent([&] {
    TForm* f = ParentForm();
    if (!CanFocus() || !f || !f->FocusControl(this)) return;
    if (index < 0 || index >= Items->Count()) return;
    ItemIndex = index;
  });
}

bool TRadioGroup::WantsKey(Word key, TShiftState) const { return key >= VK_LEFT && key <= VK_DOWN; }

void TRadioGroup::KeyDown(Word& key, TShiftState) {
  int n = Items->Count();
  if (n == 0) return;
  if (key == VK_DOWN || key == VK_RIGHT) ItemIndex = std::min(n - 1, ItemIndex + 1);
  if (key == VK_UP || key == VK_LEFT) ItemIndex = std::max(0, ItemIndex - 1);
}

TTimer::TTimer(TComponent* AOwner)
    : TComponent(AOwner),
      Enabled([this](const bool& v) {
        if (v == Enabled.get()) return;
        Enabled.Raw(v);
        Ui().TimerChanged(this);
      }, true),
      Interval([this](const unsigned& v) {
        if (v == Interval.get()) return;
        Interval.Raw(v);
        Ui().TimerChanged(this);
      }, 1000u) {
  Ui().TimerChanged(this);
}

TTimer::~TTimer() { Ui().TimerDestroyed(this); }

void TTimer::Fire() {
  if (!Enabled.get() || Interval.get() == 0 || !OnTimer) return;
  DispatchEvent([this] { OnTimer(this); });
}
