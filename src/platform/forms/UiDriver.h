#pragma once
// The one interface between the form model and whatever shows it.
//
// Two drivers implement it: the headless driver (Headless.h) that tests use to play a
// user, and the desktop driver in src/gui that renders the same model with real windows.
//
// CONTRACT FOR A DRIVER
//
// Reading the model. Every form is a TForm in Screen->Forms(i). A form's controls form a
// tree: TWinControl::ControlCount()/Controls(i) in creation order, TControl::Parent.
// Each control tells its kind (TControl::ControlKind()) and carries plain public state: Left,
// Top, Width, Height (0 = lay it out yourself), Align, Visible, Enabled, Caption (with
// '&' accelerators), Hint/ShowHint, Color, Font, TabOrder; kind-specific members are in
// the control headers (Text/EditText/PasswordChar of edits, Items/ItemIndex of lists,
// Lines of memos, Checked, Position/Min/Max, ActivePage, SimpleText, Picture->FileName,
// the form's Menu, a control's PopupMenu). Grids: TCustomGrid::ColCount/RowCount/
// FixedCols/FixedRows/ColWidths/Col/Row/CellRect and PaintCell(col, row), which runs
// the grid's own drawing and its drawing events and returns the grid's Canvas holding
// the record to replay (CanvasOp list; colours may be system colours: ColorToRGB or the
// desktop's own). Drawing events may throw: catch and pass to
// Application->HandleException. TDBGrid is virtual over its dataset: DisplayColumns(),
// DisplayRowCount(), DisplayText(col, row) and CurrentDisplayRow() read it without moving
// the cursor; PaintCell paints through OnDrawColumnCell the same way. A form's OnPaint
// draws through TForm::PaintForm() into the form's Canvas record. Screen->Cursor is the
// cursor to show; Screen->Width/Height are set by the driver to the real desktop.
//
// Model changes. Application code changes the model freely; the driver learns that
// something may have changed through AfterEvent(), called after every dispatched event
// (every user input method and timer below ends with it), and through Repaint(), called
// when code asks for an immediate repaint in the middle of a long handler. A driver
// refreshes its widgets from the model then. FormShown/FormHidden/FormDestroyed and
// ControlDestroyed announce structural changes; a driver must drop any pointer to a
// destroyed object at once.
//
// User input. A driver never changes model state directly; it calls the model's user
// input methods, which fire the same events in the same order for both drivers, catch
// exceptions that escape handlers (standard error box), and end with AfterEvent():
//   TControl::UserClick / UserDblClick / UserMouseMove
//   TWinControl::UserFocus / UserKeyDown(key, shift) / UserKeyPress(ch)
//   TCustomEdit::UserSetText(text) / UserType(text); SelStart/SelLength before UserKeyPress
//   TComboBox::UserSelect(i), TListBox::UserSelect(i), TRadioGroup::UserSelect(i)
//   TPageControl::UserSelectPage(i), TUpDown::UserClickButton(up)
//   TCustomGrid::UserSelectCell(col, row) / UserSelectRow(row) / UserEditCell(col, row,
//     text) (a TDBGrid counts in its own coordinates), TDBGrid::UserEditButtonClick /
//     UserTitleClick(col)
//   TDBNavigator::UserClickButton(btn), TMenuItem::UserClick(), TTimer::Fire()
//   TControl::UserResize(w, h) (fires a form's OnResize)
//   TForm::UserClose() (close box), TForm::UserActivate(), TFindDialog::UserFind(...)
// A native text widget that edits by itself should report characters through
// UserKeyPress (so OnKeyPress can change or swallow them and masks are enforced) and
// then show the model's Text; keys that are not characters go through UserKeyDown.
//
// Modal loops. TForm::ShowModal() shows the form (FormShown) and calls RunModal(form),
// which must run a nested event loop and return only when EndModal(form) has been
// called for that form. The model calls EndModal itself (from AfterEvent) when the
// form's ModalResult is set and its close query accepts, or for every modal form when
// the application terminates (a form that closes itself while showing is ended before
// RunModal, which is then not called). RunMainLoop() runs the application's loop until
// QuitMainLoop(). Timers: TimerChanged(timer) at creation and whenever Enabled or
// Interval changes, TimerDestroyed(timer) when it goes; while Enabled the driver calls
// timer->Fire() every Interval ms (Fire does nothing without OnTimer).
//
// MessageBeep goes through tv::os::SetBeepHook and launches of programs and documents
// through tv::os::SetLaunchRecorder; a driver may install either.
//
// Exceptions that a driver itself raises to stop a test derive from UiScriptError and
// pass through DispatchEvent untouched.
#include <stdexcept>

#include "platform/forms/Dialogs.h"

class TForm;
class TTimer;
class TCommonDialog;

namespace tv::forms {

// A scripted run went wrong (unexpected form or box, script left unused, bad step).
class UiScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class UiDriver {
 public:
  virtual ~UiDriver() = default;

  // Forms.
  virtual void FormShown(TForm* form) = 0;
  virtual void FormHidden(TForm* form) = 0;
  virtual void FormDestroyed(TForm* form) = 0;
  virtual void ControlDestroyed(TControl* control) = 0;
  virtual void RunModal(TForm* form) = 0;
  virtual void EndModal(TForm* form) = 0;

  // The application's loop.
  virtual void RunMainLoop() = 0;
  virtual void QuitMainLoop() = 0;
  virtual void ProcessMessages() = 0;

  // Something may have changed in the model; refresh.
  virtual void AfterEvent() = 0;
  virtual void Repaint(TControl* control) = 0;

  // Boxes and dialogs; the result is the Result of the button chosen.
  virtual int ShowMessageBox(const MessageRequest& request) = 0;
  // InputBox/InputQuery: true with the text typed, false when cancelled.
  virtual bool InputQuery(const MessageRequest& request, AnsiString& value) = 0;
  // Open/save/print/printer setup/color/font: fill the dialog's members, true when accepted.
  // Find: show the modeless dialog (return value ignored); HideDialog hides it.
  virtual bool ExecuteDialog(TCommonDialog* dialog) = 0;
  virtual void HideDialog(TCommonDialog* dialog) = 0;

  virtual void TimerChanged(TTimer* timer) = 0;
  virtual void TimerDestroyed(TTimer* timer) = 0;
};

// The driver in use. Until one is installed a headless driver with no scripts is used.
UiDriver& Ui();
// Installs a driver (nullptr restores the default); returns the previous one.
UiDriver* SetUiDriver(UiDriver* driver);

}  // namespace tv::forms
