#pragma once
// Page controls, status bar, progress bar and up-down.
#include <memory>
#include <vector>

#include "platform/forms/StdCtrls.h"

class TPageControl;

class TTabSheet : public TWinControl {
 public:
  explicit TTabSheet(TComponent* AOwner);
  AnsiString ClassName() const override { return "TTabSheet"; }
  TControlKind ControlKind() const override { return TControlKind::TabSheet; }
  // Writing PageControl places the sheet on it (as its Parent).
  TProp<TPageControl*> PageControl;
  bool TabVisible = true;
  int PageIndex() const;
};

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TPageControl : public TWinControl {
 public:
  explicit TPageControl(TComponent* AOwner);
  AnsiString ClassName() const override { return "TPageControl"; }
  TControlKind ControlKind() const override { return TControlKind::PageControl; }
  // No event when written from code.
  TTabSheet* ActivePage = nullptr;
  int PageCount() const;
  TTabSheet* Pages(int i) const;
  int ActivePageIndex() const;
  void SetActivePageIndex(int i);
  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;
  // ---- user input ----
  void UserSelectPage(int index);  // OnChanging (may refuse), ActivePage, OnChange
};

class TStatusPanel {
 public:
  AnsiString Text;
  int Width = 50;
  TAlignment Alignment = taLeftJustify;
};

class TStatusPanels {
 public:
  TStatusPanel* Add();
  int Count() const { return static_cast<int>(items_.size()); }
  TStatusPanel* operator[](int i) const { return items_.at(i).get(); }
  TStatusPanel* Items(int i) const { return items_.at(i).get(); }
  void Clear() { items_.clear(); }

 private:
  std::vector<std::unique_ptr<TStatusPanel>> items_;
};

class TStatusBar : public TWinControl {
 public:
  explicit TStatusBar(TComponent* AOwner);
  AnsiString ClassName() const override { return "TStatusBar"; }
  TControlKind ControlKind() const override { return TControlKind::StatusBar; }
  bool SimplePanel = false;
  AnsiString SimpleText;
  Sub<TStatusPanels> Panels;
  bool SizeGrip = true;
};

class TProgressBar : public TWinControl {
 public:
  explicit TProgressBar(TComponent* AOwner) : TWinControl(AOwner) {}
  AnsiString ClassName() const override { return "TProgressBar"; }
  TControlKind ControlKind() const override { return TControlKind::ProgressBar; }
  int Min = 0, Max = 100, Position = 0, Step = 10;
  bool Smooth = false;
  // Advances by Step; past Max it starts over from Min, as the system bar does.
  void StepIt();
  void StepBy(int delta);
};

enum TUDBtnType { btNext, btPrev };
enum TUDOrientation { udHorizontal, udVertical };
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TUpDown : public TWinControl {
 public:
  explicit TUpDown(TComponent* AOwner);
  AnsiString ClassName() const override { return "TUpDown"; }
  TControlKind ControlKind() const override { return TControlKind::UpDown; }
  // Writing Associate or Position writes the position into the associated edit's Text
  // (firing its OnChange).
  TProp<TWinControl*> Associate;
  TProp<int> Position;
  int Min = 0, Max = 100, Increment = 1;
  bool Thousands = true;
  bool Wrap = false;
  TUDOrientation Orientation = udVertical;
  TUDClickEvent OnClick;
  TUDChangingEvent OnChanging;
  // ---- user input ----
  // One press of the up (true) or down arrow: the position is first re-read from the
  // associated edit, then moved by Increment (clamped, or wrapped when Wrap).
  void UserClickButton(bool up);

 private:
  void WriteAssociate();
};
