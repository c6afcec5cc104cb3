#pragma once
// The wxWidgets UI driver (internal to src/gui).
#include <wx/evtloop.h>
#include <wx/timer.h>
#include <wx/wx.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/forms/Vcl.h"
#include "platform/forms/UiDriver.h"

class wxFindReplaceDialog;

namespace tv::gui {

wxString W(const AnsiString& s);
AnsiString A(const wxString& s);
wxColour ToWx(TColor c);
// The model's font as a wx font (model sizes are scaled to the desktop's default font).
wxFont ToWx(const TFont& f);
bool IsDefaultFont(const TFont& f);
// Pixels of the model's 96-dpi, Tahoma-8 geometry scaled to the desktop font.
double Scale();
int Sc(int v);
// Keeps a window the program opens (a toolkit dialog included) within the screen: it is
// never larger than the display's free area and never placed off it.
void FitOnScreen(wxWindow& w);
// The same for a file chooser, which GTK sizes again when it maps.
void FitFileChooser(wxWindow& fd);
Word KeyToVk(int wxKey);
TShiftState ShiftOf(const wxKeyEvent& e);
// Replays a canvas record made in model coordinates `modelRect` into `rect`; cell text
// drawn near the top is centred in a taller row when `cellText`.
void ReplayCanvas(wxDC& dc, const TCanvas& cv, const TRect& modelRect, const wxRect& rect, bool cellText);
// The toolkit style of a label: its alignment, and how it cuts a text wider than itself.
long LabelStyle(const TLabel* l);
// Caption text for wx (the '&' accelerator syntax is the same).
wxString Label(const AnsiString& caption);
// The short part of a hint ("short|long").
wxString ShortHint(const AnsiString& hint);

class GridView;

// Edits and memos: controls that take typed characters themselves.
bool TakesChars(TControlKind k);
// Model controls nested under `parent` in tree order.
void ForEachControl(TWinControl* parent, const std::function<void(TControl*)>& fn);

// One model control and its widget.
struct Bound {
  TControl* ctrl = nullptr;
  wxWindow* win = nullptr;
  std::vector<wxRadioButton*> radios;  // radio group items
  wxRadioButton* none = nullptr;       // hidden first member: checked when no item is
  std::vector<std::string> items;      // cached list items
  std::string text;                    // cached caption/text
  // An edit's selection as the model and the widget last agreed on it.
  int selStart = -1, selLength = -1;
  bool mouseSel = false;  // the mouse may have moved the widget's selection since
  bool created = false;
  wxWindow* parentWin = nullptr;  // the widget it was made in; follows a change of the model's parent
};

struct FormWin {
  TForm* form = nullptr;
  wxTopLevelWindow* top = nullptr;
  // The form's client area; it scrolls when the form needs more room than the screen gives.
  wxScrolledWindow* root = nullptr;
  wxStatusBar* status = nullptr;  // the frame's status bar (main window)
  TStatusBar* statusCtrl = nullptr;
  std::map<TControl*, Bound> bound;
  std::string menuSig;
  std::map<int, TMenuItem*> menuIds;
  TWinControl* entered = nullptr;  // the model's focused control at the last sync
  bool placed = false;  // positioned once
  bool scrolls = false;  // the client area is larger than the window
  // A form too big for the screen at its designed size is laid out tighter: the positions
  // and sizes it gives shrink by these factors (text keeps its size); fitted for fitFor.
  double fitX = 1, fitY = 1;
  bool fitNarrow = false;  // grids give up width too (FormMinimum)
  wxSize fitFor;
  bool firstFocus = false;  // shown, and no widget has had the keyboard since
  bool ended = false;
  int menusOpen = 0;  // menus of the bar shown now: they take every key
  wxGUIEventLoop* loop = nullptr;
};

class ModelTimer : public wxTimer {
 public:
  explicit ModelTimer(TTimer* t) : timer(t) {}
  void Notify() override;
  TTimer* timer;
};

class WxDriver : public tv::forms::UiDriver {
 public:
  WxDriver();
  ~WxDriver() override;
  static WxDriver* Instance();

  void FormShown(TForm* form) override;
  void FormHidden(TForm* form) override;
  void FormDestroyed(TForm* form) override;
  void ControlDestroyed(TControl* control) override;
  void RunModal(TForm* form) override;
  void EndModal(TForm* form) override;
  void RunMainLoop() override;
  void QuitMainLoop() override;
  void ProcessMessages() override;
  void AfterEvent() override;
  void Repaint(TControl* control) override;
  int ShowMessageBox(const ::MessageRequest& request) override;
  bool InputQuery(const ::MessageRequest& request, AnsiString& value) override;
  bool ExecuteDialog(TCommonDialog* dialog) override;
  void HideDialog(TCommonDialog* dialog) override;
  void TimerChanged(TTimer* timer) override;
  void TimerDestroyed(TTimer* timer) override;

  wxWindow* WidgetOf(TControl* c);
  FormWin* WinOf(TForm* f);
  bool Alive(TControl* c) const { return alive_.count(c) != 0; }
  bool Syncing() const { return syncing_ > 0; }
  // The window a message box or a toolkit dialog belongs to: the innermost modal form, or
  // else the active form, or else the main window.
  wxWindow* ActiveTop();
  // A message box or a toolkit dialog is up: the forms below leave it on top, with the focus.
  static bool ToolkitDialogUp();

  // Input from widgets.
  void OnCharHook(FormWin* fw, wxKeyEvent& e);
  void OnWidgetChar(TControl* c, wxKeyEvent& e);
  void OnWidgetFocus(TControl* c);
  // A mouse press on a widget of a form: the focus that follows is the user's choice.
  void OnWidgetPress(TControl* c);
  void PushSelection(TControl* c);
  // A button, a menu item or a shortcut acts on what the user typed: an open cell edit of
  // the form ends first (as leaving the cell would) and `then` runs once the model has the
  // text. False, and nothing run, when no cell was being edited.
  bool EndCellEdits(TForm* f, std::function<void()> then);
  // Runs fn later from the event loop unless the form is gone by then.
  void CallAfterIfAlive(TForm* f, std::function<void()> fn);

 private:
  FormWin* Ensure(TForm* form);
  void Sync(FormWin& fw);
  void SyncTree(FormWin& fw, TWinControl* parent, wxWindow* parentWin);
  void SyncControl(FormWin& fw, Bound& b);
  Bound& Create(FormWin& fw, TControl* c, wxWindow* parentWin);
  void SyncMenu(FormWin& fw);
  void SyncFocus(FormWin& fw);
  // The model's focus follows the widget that has the keyboard focus.
  void CatchUpFocus(FormWin& fw);
  void Place(FormWin& fw);
  // Stops the loop of every modal form that ended, as soon as that loop is the one running
  // (a form may end from inside a message box's or another nested loop).
  void ExitEndedLoops();
  // A key that is not a character, to the model's focused control (or the form).
  void SendKey(FormWin& fw, Word vk, TShiftState shift);
  // The toolkit's own menu bar takes the key: F10, or Alt+letter of a top menu that no
  // control of the form claims.
  bool MenuBarKey(FormWin& fw, const wxKeyEvent& e) const;
  void Layout(FormWin& fw);

  std::map<TForm*, std::unique_ptr<FormWin>> forms_;
  std::set<TControl*> alive_;
  std::map<TTimer*, std::unique_ptr<ModelTimer>> timers_;
  std::map<TCommonDialog*, wxFindReplaceDialog*> finds_;
  std::vector<FormWin*> modal_;
  std::unique_ptr<wxTimer> endTimer_;  // retries ExitEndedLoops while a nested loop runs
  // A widget the toolkit focused and the model refused (an edit that cannot be left): the
  // toolkit handing it the focus again (a box closing, the same click) is not a new try.
  TControl* refusedFocus_ = nullptr;
  std::set<TControl*> caretDirty_;  // edits whose caret follows the model after this event
  int syncing_ = 0;
  bool inAfter_ = false;
  bool quit_ = false;
  // The control last drawn by Repaint() and when: a request for it inside the same frame is
  // held (a wait window asked to redraw per item of a long loop) and dropped only when a later
  // request replaces it.
  TControl* lastRepaint_ = nullptr;
  std::chrono::steady_clock::time_point lastRepaintAt_{};
  TControl* held_ = nullptr;
  void Draw(TControl* control);
  // Syncs every window and refreshes the held control's widget; the next loop draws it.
  void FlushHeld();
  // Long work is still running: a held request whose frame is over is drawn now.
  void DrawHeldWhileBusy();
  static void OnBusy();
};

}  // namespace tv::gui
