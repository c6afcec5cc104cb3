#pragma once
// Controls: the base classes, keys, shift state, modal results and the user-input entry
// points that both UI drivers use (see UiDriver.h for the contract).
#include <functional>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/Property.h"
#include "platform/forms/Set.h"

using Word = unsigned short;

// ---- keys ----------------------------------------------------------------------------
constexpr Word VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17,
               VK_MENU = 18, VK_ESCAPE = 27, VK_SPACE = 32, VK_PRIOR = 33, VK_NEXT = 34,
               VK_END = 35, VK_HOME = 36, VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39,
               VK_DOWN = 40, VK_INSERT = 45, VK_DELETE = 46;
constexpr Word VK_F1 = 112, VK_F2 = 113, VK_F3 = 114, VK_F4 = 115, VK_F5 = 116, VK_F6 = 117,
               VK_F7 = 118, VK_F8 = 119, VK_F9 = 120, VK_F10 = 121, VK_F11 = 122, VK_F12 = 123;

enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = Set<TShiftStateFlag>;

// Menu shortcuts: key code plus modifier bits.
using TShortCut = Word;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
TShortCut ShortCut(Word key, TShiftState shift);
// "Ctrl+N", "F2", "Shift+Ctrl+Del", "Enter", "Esc"; 0 when not understood.
TShortCut TextToShortCut(const AnsiString& text);
AnsiString ShortCutToText(TShortCut sc);

// ---- modal results ---------------------------------------------------------------------
using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4,
                       mrIgnore = 5, mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9,
                       mrYesToAll = 10, mrClose = 11;

// ---- events ------------------------------------------------------------------------------
enum TMouseButton { mbLeft, mbRight, mbMiddle };
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
// Earlier names of the first two, kept for code written against them.
constexpr TFormBorderStyle bsNoneForm = bsNone, bsSingleForm = bsSingle;

// Window handles are the controls themselves (for PostMessage, box owners, GetFocus).
using HWND = void*;
using UINT = unsigned;
using WPARAM = unsigned long;
using LPARAM = long;
constexpr UINT WM_CLOSE = 0x0010, WM_KEYDOWN = 0x0100, WM_CHAR = 0x0102;

// What a control is, for the desktop driver's widget choice.
enum class TControlKind {
  Form, Panel, GroupBox, RadioGroup, Bevel, Shape, Image, Label, Edit, MaskEdit, Memo,
  Button, BitBtn, SpeedButton, CheckBox, RadioButton, ComboBox, ListBox, PageControl,
  TabSheet, StatusBar, ProgressBar, UpDown, StringGrid, CustomGrid, DBGrid, DBEdit, DBText,
  DBMemo, DBNavigator, Other
};

class TWinControl;
class TPopupMenu;

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;
  AnsiString ClassName() const override { return "TControl"; }
  virtual TControlKind ControlKind() const { return TControlKind::Other; }

  // Setting Parent inserts the control among the parent's children (creation order).
  TProp<TWinControl*> Parent;

  int Left = 0, Top = 0, Width = 0, Height = 0;  // 0 width/height: the driver lays it out
  TAlign Align = alNone;
  bool Visible = true;
  bool Enabled = true;
  AnsiString Caption;  // label, button, check box, panel, group box, tab sheet text
  AnsiString Hint;
  bool ShowHint = false;
  TColor Color = clBtnFace;
  Sub<TFont> Font;
  TCursor Cursor = crDefault;
  TPopupMenu* PopupMenu = nullptr;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;

  void SetBounds(int l, int t, int w, int h);
  void Show() { Visible = true; }
  void Hide() { Visible = false; }
  // Ask the driver to paint now (inside a long handler).
  void Repaint();
  void Refresh() { Repaint(); }
  void Update() { Repaint(); }
  void Invalidate();
  void BringToFront() {}
  void SendToBack() {}
  // The new size given by the user or the layout: Width/Height, then Resized().
  void UserResize(int width, int height);
  virtual void Resized() {}

  // Visible and enabled here and in every parent.
  bool IsShowing() const;
  // The outermost parent (the form for a placed control).
  TWinControl* TopParent() const;
  // The form the control sits on, or nullptr.
  class TForm* ParentForm() const;

  // Runs OnClick; subclasses override to do their own work around it.
  virtual void Click();

  // ---- user input (drivers call these; see UiDriver.h) ----
  // A mouse click: moves the focus when the control takes focus, then clicks.
  virtual void UserClick();
  virtual void UserDblClick();
  void UserMouseMove(int x, int y, TShiftState shift = {});

 protected:
  virtual void SetParent(TWinControl* p);
  friend class TWinControl;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  AnsiString ClassName() const override { return "TWinControl"; }

  int ControlCount() const { return static_cast<int>(children_.size()); }
  TControl* Controls(int i) const { return children_.at(i); }

  HWND const Handle = this;
  // Position among the parent's windowed children (creation order at first). Writing it
  // moves the control there and renumbers the siblings; out-of-range values clamp.
  TProp<int> TabOrder{[this](const int& v) { SetTabOrder(v); }, 0};
  bool TabStop = false;  // true for controls that take focus by Tab

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  // Moves the focus here (OnExit of the old control, OnEnter of this one).
  void SetFocus();
  bool Focused() const;
  // Visible and enabled (with every parent) and able to take focus.
  virtual bool CanFocus() const;
  // Children in tab order.
  std::vector<TWinControl*> TabOrdered() const;

 private:
  void SetTabOrder(int v);

 public:

  // Focus hooks: the form calls these while moving the focus. DoExit may throw to keep
  // the focus where it is (a masked edit that fails its mask).
  virtual void DoEnter();
  virtual void DoExit();
  // Default key processing after the events: editing keys, grid moves, ...
  virtual void KeyDown(Word& key, TShiftState shift);
  virtual void KeyPress(char32_t& ch);
  // Keys the control handles itself instead of the form's dialog keys (Enter, Esc,
  // Tab, arrows), as a multi-line memo wants Enter and a grid wants the arrows.
  virtual bool WantsKey(Word key, TShiftState shift) const;

  // ---- user input ----
  // Focus change by the user; false when the old control refused to be left.
  bool UserFocus();
  // A key pressed while this control has the focus: menu shortcuts, dialog keys (Enter
  // for the default button, Esc for the cancel button, Tab to move on, Alt+letter for
  // '&' accelerators), the form's OnKeyDown when KeyPreview, the control's OnKeyDown,
  // then the control's own processing. Printable keys go through UserKeyPress.
  void UserKeyDown(Word key, TShiftState shift = {});
  // A character typed: the form's OnKeyPress when KeyPreview, the control's OnKeyPress,
  // then the control inserts it.
  void UserKeyPress(char32_t ch);

 protected:
  std::vector<TControl*> children_;
  friend class TControl;
};

// Controls that never take the focus (labels, speed buttons, bevels, images, shapes).
class TGraphicControl : public TControl {
 public:
  using TControl::TControl;
  AnsiString ClassName() const override { return "TGraphicControl"; }
};

// Creates a control owned by its form, placed on `parent`, with its name; or, for a
// component that is not a control (timer, menu, dialog, data source), owned by `owner`.
template <class T>
T* Make(TComponent* parentOrOwner, const AnsiString& name) {
  if constexpr (std::is_base_of_v<TControl, T>) {
    auto* parent = dynamic_cast<TWinControl*>(parentOrOwner);
    TComponent* owner = parent ? static_cast<TComponent*>(parent->TopParent()) : parentOrOwner;
    T* c = new T(owner);
    c->Name = name;
    if (parent) c->Parent = parent;
    return c;
  } else {
    T* c = new T(parentOrOwner);
    c->Name = name;
    return c;
  }
}

// Runs an event handler the way the message loop does: an exception that escapes goes
// to Application->HandleException (the standard error box) and the program goes on;
// afterwards the modal loops, releases and the driver are brought up to date.
// Driver failures (tv::forms::UiScriptError) are not caught.
void DispatchEvent(const std::function<void()>& handler);

// Queued for after the current event (WM_KEYDOWN: a key for the control, WM_CHAR: a
// character, WM_CLOSE: closes the form); messages to a control that is gone are dropped.
bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Application->Terminate().
void PostQuitMessage(int exitCode);

// Text of a caption without its '&' accelerator marks ("&Aceptar" -> "Aceptar").
AnsiString StripAccelerator(const AnsiString& caption);
// Accelerator letter of a caption (upper case), or 0.
char32_t AcceleratorOf(const AnsiString& caption);
