#pragma once
// Main and popup menus.
#include <vector>

#include "platform/forms/Controls.h"

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}
  ~TMenuItem() override;
  AnsiString ClassName() const override { return "TMenuItem"; }

  AnsiString Caption;  // "-" is a separator
  AnsiString Hint;
  bool Enabled = true;
  bool Visible = true;
  bool Checked = false;
  bool RadioItem = false;
  int GroupIndex = 0;
  TShortCut ShortCut = 0;
  TNotifyEvent OnClick;

  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  void Delete(int index);
  void Clear();  // deletes the sub-items
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int i) const { return items_.at(i); }
  TMenuItem* operator[](int i) const { return items_.at(i); }
  TMenuItem* Parent() const { return parent_; }
  int MenuIndex() const;
  bool IsLine() const { return Caption == "-"; }
  // Finds the enabled, visible item (here or below) with this shortcut.
  TMenuItem* FindShortCut(TShortCut sc);
  TMenuItem* Find(const AnsiString& caption);  // by caption without '&', case-insensitive

  virtual void Click();
  // ---- user input ----
  void UserClick();  // runs Click through the event dispatcher when enabled and visible

 private:
  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
};

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;
  AnsiString ClassName() const override { return "TMenu"; }
  TMenuItem* Items;  // the root; its sub-items are the menu bar or the popup entries
};

class TMainMenu : public TMenu {
 public:
  using TMenu::TMenu;
  AnsiString ClassName() const override { return "TMainMenu"; }
};

class TPopupMenu : public TMenu {
 public:
  using TMenu::TMenu;
  AnsiString ClassName() const override { return "TPopupMenu"; }
  TComponent* PopupComponent = nullptr;
  TNotifyEvent OnPopup;
  // Shows the menu at a screen point (the desktop driver reads the control's PopupMenu
  // and shows it itself; headless tests click items directly).
  void Popup(int x, int y);
};
