#pragma once
// Forms, the application object and the screen.
//
// A form is a class deriving from TForm whose constructor creates its controls (Make<T>)
// and binds their events. OnCreate runs once after construction: Application->CreateForm
// runs it right after the constructor; a form built with `new` runs it at its first
// Show/ShowModal, or earlier when the creator calls AfterConstruction().
#include <functional>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

#include "platform/core/SysUtils.h"
#include "platform/forms/Controls.h"

class TMainMenu;
class TForm;

enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = Set<TBorderIcon>;
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
                 poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;
  AnsiString ClassName() const override { return "TForm"; }
  TControlKind ControlKind() const override { return TControlKind::Form; }

  TFormBorderStyle BorderStyle = bsSizeable;
  TBorderIcons BorderIcons{biSystemMenu, biMinimize, biMaximize};
  TPosition Position = poDesigned;
  TFormStyle FormStyle = fsNormal;
  TWindowState WindowState = wsNormal;
  bool KeyPreview = false;
  TModalResult ModalResult = mrNone;
  TMainMenu* Menu = nullptr;
  int ClientWidth = 0, ClientHeight = 0;  // client area when the form gives one
  // The control with the focus (or to receive it when the form shows).
  TWinControl* ActiveControl = nullptr;
  // What OnPaint draws (the driver calls PaintForm and replays the canvas record).
  Sub<TCanvas> Canvas;

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TNotifyEvent OnResize;
  TNotifyEvent OnDestroy;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  // Runs OnCreate once (exceptions go to the standard error box, as the original did).
  void AfterConstruction();

  // Shows the form and runs a modal loop until ModalResult is set (after OnCloseQuery and
  // OnClose accept) or the application terminates (then the result is mrCancel).
  virtual TModalResult ShowModal();
  void Show();
  void Hide();
  // A modal form gets ModalResult mrCancel; another form asks OnCloseQuery, runs OnClose
  // and then hides (caHide), is released (caFree) or stays (caNone). Closing the main
  // form terminates the application.
  void Close();
  // Deletes the form once the current event has been handled.
  void Release();
  bool CloseQuery();
  bool Showing() const { return visible_; }
  bool IsModal() const { return modal_; }
  bool Active() const;

  // Focus management (controls call these).
  bool FocusControl(TWinControl* c);
  TWinControl* FindNextControl(TWinControl* current, bool forward) const;
  void SelectNext(TWinControl* current, bool forward);
  // Every TWinControl of the form in tab order (containers before their children).
  std::vector<TWinControl*> TabSequence() const;
  // Finds a control by name anywhere on the form (case-insensitive).
  TControl* FindControl(const AnsiString& name) const;

  // Clears Canvas and runs OnPaint; returns the canvas to replay.
  TCanvas* PaintForm();

  // ---- user input ----
  void UserClose();     // the window's close box
  void UserActivate();  // the user brought this window to the front

  // State for drivers.
  bool Created() const { return created_; }
  // The control that has the focus now (nullptr while the form is hidden).
  TWinControl* FocusedControl() const { return focused_; }
  void ControlRemoved(TControl* c);  // a control of the form is being deleted

 protected:
  void SetParent(TWinControl* p) override;
  void Resized() override;

 private:
  friend class TApplication;
  void ShowCommon();
  void FocusFirst();
  bool CloseModalCheck();  // OnCloseQuery + OnClose for an ending modal loop
  // Tables the form's data controls left in edit or insert are cancelled when it closes:
  // an abandoned edit is never posted later by whoever moves the table next.
  void CancelPendingEdits();
  TWinControl* focused_ = nullptr;
  bool created_ = false;
  int busy_ = 0;
  bool visible_ = false;
  bool modal_ = false;
  bool modalEnded_ = false;
};

// ---- the screen -----------------------------------------------------------------------
class TScreen : public TComponent {
 public:
  TScreen() : TComponent(nullptr) {}
  AnsiString ClassName() const override { return "TScreen"; }
  int Width = 1024;   // the desktop driver sets the real size
  int Height = 768;
  TCursor Cursor = crDefault;
  int FormCount() const { return static_cast<int>(forms_.size()); }
  TForm* Forms(int i) const { return forms_.at(i); }
  TForm* ActiveForm = nullptr;
  TWinControl* ActiveControl() const { return ActiveForm ? ActiveForm->ActiveControl : nullptr; }

  // Bookkeeping used by TForm.
  void AddForm(TForm* f);
  void RemoveForm(TForm* f);
  int IndexOf(TForm* f) const;
  // Makes f the active form: OnDeactivate of the old one, OnActivate of f.
  void ActivateForm(TForm* f);

 private:
  std::vector<TForm*> forms_;
};

// ---- the application --------------------------------------------------------------------
using TExceptionEvent = std::function<void(TObject* Sender, Exception* E)>;

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;
  AnsiString ClassName() const override { return "TApplication"; }

  AnsiString Title = "Tallivar";
  AnsiString HelpFile;
  AnsiString Hint;
  bool ShowHint = true;
  int HintPause = 500;
  int HintHidePause = 2500;
  bool ShowMainForm = true;
  TForm* MainForm = nullptr;
  TExceptionEvent OnException;
  TNotifyEvent OnHint;

  void Initialize() {}
  // Creates a form owned by the application, storing its pointer in *ref BEFORE the
  // constructor runs (constructors may use their own global pointer); then runs its
  // OnCreate. The first form created becomes the main form. Also takes a component that
  // is not a form (a data module), which is only constructed.
  template <class T>
  void CreateForm(T** ref) {
    void* mem = ::operator new(sizeof(T));
    *ref = static_cast<T*>(mem);
    T* obj;
    try {
      obj = new (mem) T(this);
    } catch (...) {
      ::operator delete(mem);
      *ref = nullptr;
      throw;
    }
    if constexpr (std::is_base_of_v<TForm, T>) FormCreated(obj);
  }
  // Shows the main form and runs the message loop until Terminate.
  void Run();
  // Posts the quit: every running modal loop ends (whatever OnCloseQuery says) and Run
  // returns.
  void Terminate();
  bool Terminated() const { return terminated_; }
  void ProcessMessages();
  void HandleMessage() { ProcessMessages(); }
  // Runs `call` after the current event has been handled (PostMessage).
  void Post(std::function<void()> call);
  HWND Handle = nullptr;
  // Shows the exception being handled in the standard error box (EAbort is silent);
  // OnException replaces the box when set.
  void HandleException(TObject* Sender);
  void ShowException(const Exception* E);
  // Message box with MB_* flags; returns IDOK, IDYES, ...
  int MessageBox(const AnsiString& Text, const AnsiString& Caption, int Flags = 0);
  void HelpContext(int) {}
  void BringToFront() {}
  void Minimize() {}
  void Restore() {}
  AnsiString ExeName() const;

  // ---- state for the model and the drivers ----
  // Modal forms, outermost first.
  const std::vector<TForm*>& ModalStack() const { return modal_; }
  // After every dispatched event: ends modal loops whose form set a ModalResult (or all
  // of them after Terminate), deletes released forms, tells the driver.
  void AfterEvent();
  int EventDepth() const { return depth_; }
  // Clears state between tests: terminated flag, main form, releases.
  void ResetForTests();

 private:
  friend class TForm;
  friend void DispatchEvent(const std::function<void()>&);
  void FormCreated(TForm* f);
  void ReleaseLater(TForm* f);
  void DeleteReleased();
  std::vector<TForm*> modal_;
  std::vector<TForm*> released_;
  std::vector<std::function<void()>> posted_;
  std::vector<int> loopDepth_;  // event depth at which each running modal loop started
  void RunPosted();
  bool terminated_ = false;
  int depth_ = 0;
};

extern TApplication* Application;
extern TScreen* Screen;
