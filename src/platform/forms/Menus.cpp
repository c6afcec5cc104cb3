#include "platform/forms/Menus.h"

#include <algorithm>

#include "platform/core/SysUtils.h"

TMenuItem::~TMenuItem() {
  if (parent_) parent_->Remove(this);
  for (TMenuItem* i : items_) i->parent_ = nullptr;
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item->parent_) item->parent_->Remove(item);
  item->parent_ = this;
  items_.insert(items_.begin() + std::clamp(index, 0, Count()), item);
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
}

void TMenuItem::Delete(int index) { Remove(items_.at(index)); }

void TMenuItem::Clear() {
  while (!items_.empty()) delete items_.back();
}

int TMenuItem::MenuIndex() const {
  if (!parent_) return -1;
  auto it = std::find(parent_->items_.begin(), parent_->items_.end(), this);
  return static_cast<int>(it - parent_->items_.begin());
}

TMenuItem* TMenuItem::FindShortCut(TShortCut sc) {
  if (sc == 0) return nullptr;
  for (TMenuItem* i : items_) {
    if (!i->Visible || !i->Enabled) continue;
    if (i->ShortCut == sc) return i;
    if (TMenuItem* r = i->FindShortCut(sc)) return r;
  }
  return nullptr;
}

TMenuItem* TMenuItem::Find(const AnsiString& caption) {
  for (TMenuItem* i : items_)
    if (SameText(StripAccelerator(i->Caption), StripAccelerator(caption)) || SameText(i->Name, caption))
      return i;
  return nullptr;
}

void TMenuItem::Click() {
  if (OnClick) OnClick(this);
}

void TMenuItem::UserClick() {
  DispatchEvent([this] {
    for (TMenuItem* p = this; p; p = p->parent_)
      if (!p->Enabled || !p->Visible) return;
    Click();
  });
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), Items(new TMenuItem(nullptr)) {}
TMenu::~TMenu() { delete Items; }

void TPopupMenu::Popup(int, int) {
  if (OnPopup) OnPopup(this);
}
