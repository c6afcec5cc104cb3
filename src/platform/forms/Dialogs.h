#pragma once
// Message boxes, input boxes and the common dialogs. Everything here goes through the UI
// driver (UiDriver.h), so tests script the answers and the desktop shows real boxes.
#include <vector>

#include "platform/forms/Controls.h"
#include "platform/os/Process.h"

// ---- Windows-style message-box flags and results ----------------------------------------
constexpr int MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3,
              MB_YESNO = 0x4, MB_RETRYCANCEL = 0x5;
constexpr int MB_ICONHAND = 0x10, MB_ICONSTOP = 0x10, MB_ICONERROR = 0x10,
              MB_ICONQUESTION = 0x20, MB_ICONEXCLAMATION = 0x30, MB_ICONWARNING = 0x30,
              MB_ICONASTERISK = 0x40, MB_ICONINFORMATION = 0x40;
constexpr int MB_DEFBUTTON1 = 0x0, MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200;
constexpr int MB_APPLMODAL = 0x0, MB_SYSTEMMODAL = 0x1000, MB_TASKMODAL = 0x2000;
constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6,
              IDNO = 7;

// The system message box (owner window ignored).
int MessageBox(HWND owner, const AnsiString& text, const AnsiString& caption, int flags);
inline int MessageBoxA(HWND owner, const AnsiString& text, const AnsiString& caption, int flags) {
  return MessageBox(owner, text, caption, flags);
}
// MessageBeep(kind) comes from the os module (its beep hook: the desktop driver rings,
// the headless driver counts).
// The focused window, used as a box owner.
HWND GetFocus();

// ---- MessageDlg ------------------------------------------------------------------------
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll,
                  mbYesToAll, mbHelp };
using TMsgDlgButtons = Set<TMsgDlgBtn>;
inline const TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline const TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline const TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// Caption by type ("Advertencia", "Error", "Información", "Confirmar", the application
// title for mtCustom); returns mrYes, mrNo, mrOk, ...
int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx = 0);
// Caption: the application title; one "Aceptar" button.
void ShowMessage(const AnsiString& Msg);
// The value typed, or Default when the user cancels.
AnsiString InputBox(const AnsiString& Caption, const AnsiString& Prompt, const AnsiString& Default);
// true when the user accepted; Value holds the text typed.
bool InputQuery(const AnsiString& Caption, const AnsiString& Prompt, AnsiString& Value);

// ---- the box as drivers see it ---------------------------------------------------------
enum class MsgKind { ShowMessage, MessageBox, MessageDlg, Exception, InputBox };
enum class MsgIcon { None, Error, Question, Warning, Information };

struct MsgButton {
  int Result;          // IDOK/mrOk, IDYES/mrYes, ... (the same numbers)
  AnsiString Caption;  // "Aceptar", "Cancelar", "Sí", "No", ...
};

struct MessageRequest {
  MsgKind Kind = MsgKind::ShowMessage;
  AnsiString Text;
  AnsiString Caption;
  MsgIcon Icon = MsgIcon::None;
  std::vector<MsgButton> Buttons;
  int DefaultButton = 0;  // index into Buttons
  // Result when the box is closed without a button (Esc / close box): the cancel-like
  // button, or the only button.
  int EscapeResult = IDCANCEL;
  AnsiString Prompt;  // InputBox only
};

// Spanish caption of a result's button.
AnsiString ButtonCaption(int result);
// Builds the request of a MessageBox call from its flags.
MessageRequest MessageBoxRequest(const AnsiString& text, const AnsiString& caption, int flags);

// ---- common dialogs ----------------------------------------------------------------------
enum class DialogKind { Open, Save, Print, PrinterSetup, Find, Color, Font };

class TCommonDialog : public TComponent {
 public:
  using TComponent::TComponent;
  AnsiString ClassName() const override { return "TCommonDialog"; }
  virtual DialogKind DialogType() const = 0;
  // Shows the dialog through the driver; true when the user accepted.
  virtual bool Execute();
  TNotifyEvent OnShow;
  TNotifyEvent OnClose;
};

enum TOpenOption { ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofPathMustExist,
                   ofFileMustExist, ofCreatePrompt, ofNoReadOnlyReturn, ofEnableSizing };
using TOpenOptions = Set<TOpenOption>;

class TOpenDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  AnsiString ClassName() const override { return "TOpenDialog"; }
  DialogKind DialogType() const override { return DialogKind::Open; }
  AnsiString FileName;
  AnsiString Filter;      // "Mapa de Bits|*.bmp|..."
  int FilterIndex = 1;    // 1-based
  AnsiString DefaultExt;
  AnsiString InitialDir;
  AnsiString Title;
  TOpenOptions Options{ofHideReadOnly, ofEnableSizing};
};

class TSaveDialog : public TOpenDialog {
 public:
  using TOpenDialog::TOpenDialog;
  AnsiString ClassName() const override { return "TSaveDialog"; }
  DialogKind DialogType() const override { return DialogKind::Save; }
};

class TPrintDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  AnsiString ClassName() const override { return "TPrintDialog"; }
  DialogKind DialogType() const override { return DialogKind::Print; }
  int Copies = 1;
  int FromPage = 0, ToPage = 0, MinPage = 0, MaxPage = 0;
};

class TPrinterSetupDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  AnsiString ClassName() const override { return "TPrinterSetupDialog"; }
  DialogKind DialogType() const override { return DialogKind::PrinterSetup; }
};

enum TFindOption { frDown, frFindNext, frHideMatchCase, frHideWholeWord, frHideUpDown,
                   frMatchCase, frDisableMatchCase, frDisableUpDown, frDisableWholeWord,
                   frReplace, frReplaceAll, frWholeWord, frShowHelp };
using TFindOptions = Set<TFindOption>;

// Modeless: Execute shows it and returns at once; each "find" by the user sets FindText
// and Options and fires OnFind; CloseDialog hides it.
class TFindDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  // A dialog still up is hidden first, so the driver keeps no pointer to it.
  ~TFindDialog() override;
  AnsiString ClassName() const override { return "TFindDialog"; }
  DialogKind DialogType() const override { return DialogKind::Find; }
  AnsiString FindText;
  TFindOptions Options{frDown};
  int Left = -1, Top = -1;
  TNotifyEvent OnFind;
  bool Execute() override;
  void CloseDialog();
  bool Showing() const { return showing_; }
  // The user pressed "find" with this text and these options.
  void UserFind(const AnsiString& text, TFindOptions options);

 private:
  bool showing_ = false;
};

class TColorDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  AnsiString ClassName() const override { return "TColorDialog"; }
  DialogKind DialogType() const override { return DialogKind::Color; }
  TColor Color = clBlack;
  TStringList CustomColors;  // "ColorA=B6C0A5", ...
};

class TFontDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  AnsiString ClassName() const override { return "TFontDialog"; }
  DialogKind DialogType() const override { return DialogKind::Font; }
  Sub<TFont> Font;
};
