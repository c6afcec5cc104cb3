#include "platform/forms/ComCtrls.h"

#include <algorithm>

#include "platform/forms/Forms.h"

TTabSheet::TTabSheet(TComponent* AOwner)
    : TWinControl(AOwner), PageControl([this](TPageControl* const& pc) {
        PageControl.Raw(pc);
        Parent = pc;
        if (pc && !pc->ActivePage) pc->ActivePage = this;
      }, nullptr) {}

int TTabSheet::PageIndex() const {
  auto* pc = dynamic_cast<TPageControl*>(Parent.get());
  if (!pc) return -1;
  for (int i = 0; i < pc->PageCount(); ++i)
    if (pc->Pages(i) == this) return i;
  return -1;
}

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner) {
  TabStop = true;
  Width = 289;
  Height = 193;
}

int TPageControl::PageCount() const {
  int n = 0;
  for (int i = 0; i < ControlCount(); ++i)
    if (dynamic_cast<TTabSheet*>(Controls(i))) ++n;
  return n;
}

TTabSheet* TPageControl::Pages(int index) const {
  int n = 0;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* t = dynamic_cast<TTabSheet*>(Controls(i))) {
      if (n == index) return t;
      ++n;
    }
  return nullptr;
}

int TPageControl::ActivePageIndex() const {
  return ActivePage ? ActivePage->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int i) { ActivePage = Pages(i); }

void TPageControl::UserSelectPage(int index) {
  DispatchEvent([&] {
    TTabSheet* t = Pages(index);
    if (!t || t == ActivePage || !IsShowing()) return;
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    if (!allow) return;
    ActivePage = t;
    if (OnChange) OnChange(this);
  });
}

TStatusPanel* TStatusPanels::Add() {
  items_.push_back(std::make_unique<TStatusPanel>());
  return items_.back().get();
}

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner) {
  Align = alBottom;
  Height = 19;
}

void TProgressBar::StepIt() { StepBy(Step); }

void TProgressBar::StepBy(int delta) {
  Position += delta;
  if (Position > Max) Position = Min + (Position - Max);
  if (Position < Min) Position = Min;
}

TUpDown::TUpDown(TComponent* AOwner)
    : TWinControl(AOwner),
      Associate([this](TWinControl* const& w) {
        Associate.Raw(w);
        WriteAssociate();
      }, nullptr),
      Position([this](const int& v) {
        Position.Raw(std::clamp(v, std::min(Min, Max), std::max(Min, Max)));
        WriteAssociate();
      }, 0) {
  Width = 16;
  Height = 24;
}

void TUpDown::WriteAssociate() {
  auto* e = dynamic_cast<TCustomEdit*>(Associate.get());
  if (!e) return;
  AnsiString t = Thousands ? FormatFloat("#,##0", Position.get()) : IntToStr(Position.get());
  e->Text = t;
}

void TUpDown::UserClickButton(bool up) {
  DispatchEvent([&] {
    if (!IsShowing()) return;
    if (auto* e = dynamic_cast<TCustomEdit*>(Associate.get())) {
      AnsiString t = StringReplace(e->Text, AnsiString(ThousandSeparator), "");
      int v;
      if (TryStrToInt(Trim(t), v)) Position.Raw(std::clamp(v, std::min(Min, Max), std::max(Min, Max)));
    }
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    if (!allow) return;
    int v = Position.get() + (up ? Increment : -Increment);
    if (v > Max) v = Wrap ? Min : Max;
    if (v < Min) v = Wrap ? Max : Min;
    Position = v;
    if (OnClick) OnClick(this, up ? btNext : btPrev);
  });
}
