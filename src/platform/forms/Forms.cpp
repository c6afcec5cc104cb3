#include "platform/forms/Forms.h"

#include <unistd.h>

#include <algorithm>
#include <climits>

#include "platform/forms/DBCtrls.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Menus.h"
#include "platform/forms/UiDriver.h"

using tv::forms::Ui;

TApplication* Application = new TApplication();
TScreen* Screen = new TScreen();

// ---- TForm -------------------------------------------------------------------------------
TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
  Screen->AddForm(this);
  Width = 0;
  Height = 0;
}

TForm::~TForm() {
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {
    }
  }
  visible_ = false;
  // Owned components go first, while the form is still whole.
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
  auto& st = Application->modal_;
  st.erase(std::remove(st.begin(), st.end(), this), st.end());
  auto& rel = Application->released_;
  rel.erase(std::remove(rel.begin(), rel.end(), this), rel.end());
  if (Application->MainForm == this) Application->MainForm = nullptr;
  Screen->RemoveForm(this);
  Ui().FormDestroyed(this);
}

void TForm::SetParent(TWinControl* p) { TWinControl::SetParent(p); }

void TForm::AfterConstruction() {
  if (created_) return;
  created_ = true;
  if (OnCreate) {
    try {
      OnCreate(this);
    } catch (const tv::forms::UiScriptError&) {
      throw;
    } catch (...) {
      Application->HandleException(this);
    }
  }
}

bool TForm::Active() const { return Screen->ActiveForm == this; }

void TForm::ShowCommon() {
  visible_ = true;
  focused_ = nullptr;
  Ui().FormShown(this);
  if (OnShow) OnShow(this);
  FocusFirst();
  Screen->ActivateForm(this);
}

void TForm::FocusFirst() {
  TWinControl* target = ActiveControl;
  if (!target || !target->CanFocus() || target->ParentForm() != this)
    target = FindNextControl(nullptr, true);
  if (target) FocusControl(target);
}

TModalResult TForm::ShowModal() {
  if (modal_ || visible_) throw Exception("No se puede mostrar modal una ventana visible");
  AfterConstruction();
  struct Busy {
    int& n;
    explicit Busy(int& c) : n(c) { ++n; }
    ~Busy() { --n; }
  } busy(busy_);
  ModalResult = mrNone;
  modal_ = true;
  modalEnded_ = false;
  TForm* previous = Screen->ActiveForm;
  Application->modal_.push_back(this);
  auto finish = [&] {
    visible_ = false;
    modal_ = false;
    focused_ = nullptr;
    auto& st = Application->modal_;
    st.erase(std::remove(st.begin(), st.end(), this), st.end());
    if (Screen->ActiveForm == this) Screen->ActiveForm = nullptr;
    Ui().FormHidden(this);
  };
  bool pushed = false;
  try {
    ShowCommon();
    if (Application->Terminated()) {
      ModalResult = mrCancel;
      modalEnded_ = true;
    }
    Application->loopDepth_.push_back(Application->depth_);
    pushed = true;
    Application->AfterEvent();
    if (!modalEnded_) Ui().RunModal(this);
    Application->loopDepth_.pop_back();
  } catch (...) {
    if (pushed) Application->loopDepth_.pop_back();
    finish();
    throw;
  }
  if (Application->Terminated()) ModalResult = mrCancel;
  // A form that was given up (not accepted) drops its unfinished rows; an accepted one
  // leaves them to the caller, which may post them.
  if (ModalResult == mrCancel || ModalResult == mrNo || ModalResult == mrAbort) {
    try {
      CancelPendingEdits();
    } catch (...) {
      finish();
      throw;
    }
  }
  finish();
  if (OnHide) DispatchEvent([this] { OnHide(this); });
  // The window below becomes active again.
  TForm* back = nullptr;
  if (previous && previous != this && Screen->IndexOf(previous) >= 0 && previous->Showing())
    back = previous;
  else if (!Application->modal_.empty())
    back = Application->modal_.back();
  if (back) DispatchEvent([back] { Screen->ActivateForm(back); });
  return ModalResult;
}

void TForm::Show() {
  AfterConstruction();
  if (visible_) {
    Screen->ActivateForm(this);
    return;
  }
  ShowCommon();
}

void TForm::Hide() {
  if (modal_) {
    ModalResult = mrCancel;
    return;
  }
  if (!visible_) return;
  visible_ = false;
  focused_ = nullptr;
  Ui().FormHidden(this);
  if (OnHide) OnHide(this);
  if (Screen->ActiveForm == this) {
    Screen->ActiveForm = nullptr;
    if (!Application->modal_.empty())
      Screen->ActivateForm(Application->modal_.back());
    else if (Application->MainForm && Application->MainForm->Showing())
      Screen->ActivateForm(Application->MainForm);
  }
}

bool TForm::CloseQuery() {
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TForm::Close() {
  if (modal_) {
    ModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  if (OnClose) OnClose(this, action);
  if (action == caNone) return;
  CancelPendingEdits();
  if (Application->MainForm == this) {
    Hide();
    Application->Terminate();
  } else if (action == caHide || action == caMinimize) {
    Hide();
  } else {
    Hide();
    Release();
  }
}

bool TForm::CloseModalCheck() {
  bool ok = false;
  try {
    if (CloseQuery()) {
      TCloseAction action = caHide;
      if (OnClose) OnClose(this, action);
      if (action == caFree) Release();
      ok = action != caNone;
    }
  } catch (...) {
    Application->HandleException(this);
  }
  if (!ok) ModalResult = mrNone;
  return ok;
}

void TForm::Release() { Application->ReleaseLater(this); }

void TForm::CancelPendingEdits() {
  std::vector<TDataSet*> sets;
  std::function<void(const TWinControl*)> walk = [&](const TWinControl* p) {
    for (int i = 0; i < p->ControlCount(); ++i) {
      TControl* c = p->Controls(i);
      TDataSource* src = nullptr;
      if (auto* g = dynamic_cast<TDBGrid*>(c)) src = g->DataSource.get();
      else if (auto* e = dynamic_cast<TDBEdit*>(c)) src = e->DataSource.get();
      else if (auto* m = dynamic_cast<TDBMemo*>(c)) src = m->DataSource.get();
      if (TDataSet* ds = src ? src->GetDataSet() : nullptr;
          ds && std::find(sets.begin(), sets.end(), ds) == sets.end())
        sets.push_back(ds);
      if (auto* w = dynamic_cast<TWinControl*>(c)) walk(w);
    }
  };
  walk(this);
  for (TDataSet* ds : sets)
    if (ds->GetActive() && (ds->GetState() == dsEdit || ds->GetState() == dsInsert)) ds->Cancel();
}

bool TForm::FocusControl(TWinControl* c) {
  if (!c) return false;
  if (!visible_) {
    ActiveControl = c;
    return true;
  }
  if (c == focused_) {
    ActiveControl = c;
    return true;
  }
  TWinControl* old = focused_;
  if (old) old->DoExit();  // may throw: the focus stays
  if (focused_ != old) return focused_ == c;  // the exit handler moved the focus itself
  focused_ = c;
  ActiveControl = c;
  c->DoEnter();
  return true;
}

std::vector<TWinControl*> TForm::TabSequence() const {
  std::vector<TWinControl*> out;
  std::function<void(const TWinControl*)> walk = [&](const TWinControl* p) {
    for (TWinControl* w : p->TabOrdered()) {
      out.push_back(w);
      walk(w);
    }
  };
  walk(this);
  return out;
}

TWinControl* TForm::FindNextControl(TWinControl* current, bool forward) const {
  std::vector<TWinControl*> seq;
  for (TWinControl* w : TabSequence())
    if ((w->TabStop && w->CanFocus()) || w == current) seq.push_back(w);
  if (seq.empty()) return nullptr;
  if (!forward) std::reverse(seq.begin(), seq.end());
  auto it = std::find(seq.begin(), seq.end(), current);
  if (it == seq.end()) {
    for (TWinControl* w : seq)
      if (w != current) return w;
    return nullptr;
  }
  for (size_t n = 1; n <= seq.size(); ++n) {
    TWinControl* w = seq[(static_cast<size_t>(it - seq.begin()) + n) % seq.size()];
    if (w != current) return w;
  }
  return nullptr;
}

void TForm::SelectNext(TWinControl* current, bool forward) {
  if (TWinControl* n = FindNextControl(current, forward)) FocusControl(n);
}

TControl* TForm::FindControl(const AnsiString& name) const {
  std::function<TControl*(const TWinControl*)> walk = [&](const TWinControl* p) -> TControl* {
    for (int i = 0; i < p->ControlCount(); ++i) {
      TControl* c = p->Controls(i);
      if (SameText(c->Name, name)) return c;
      if (auto* w = dynamic_cast<TWinControl*>(c))
        if (TControl* r = walk(w)) return r;
    }
    return nullptr;
  };
  return walk(this);
}

void TForm::ControlRemoved(TControl* c) {
  if (focused_ == c) focused_ = nullptr;
  if (ActiveControl == c) ActiveControl = nullptr;
}

void TForm::Resized() {
  if (OnResize) OnResize(this);
}

TCanvas* TForm::PaintForm() {
  Canvas->Clear();
  Canvas->Brush->Color = Color;
  Canvas->Font->Assign(Font.get());
  if (OnPaint) OnPaint(this);
  return Canvas.get();
}

void TForm::UserClose() {
  DispatchEvent([this] {
    if (BorderIcons.Contains(biSystemMenu) || BorderStyle == bsNone) Close();
  });
}

void TForm::UserActivate() {
  DispatchEvent([this] {
    if (visible_) Screen->ActivateForm(this);
  });
}

// ---- TScreen -------------------------------------------------------------------------------
void TScreen::AddForm(TForm* f) { forms_.push_back(f); }
void TScreen::RemoveForm(TForm* f) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
  if (ActiveForm == f) ActiveForm = nullptr;
}
int TScreen::IndexOf(TForm* f) const {
  auto it = std::find(forms_.begin(), forms_.end(), f);
  return it == forms_.end() ? -1 : static_cast<int>(it - forms_.begin());
}
void TScreen::ActivateForm(TForm* f) {
  if (ActiveForm == f) return;
  TForm* old = ActiveForm;
  ActiveForm = f;
  if (old && old->OnDeactivate) old->OnDeactivate(old);
  if (f && f->OnActivate) f->OnActivate(f);
}

// ---- TApplication ----------------------------------------------------------------------------
TApplication::TApplication() : TComponent(nullptr) {}
TApplication::~TApplication() = default;

void TApplication::FormCreated(TForm* f) {
  if (!MainForm) MainForm = f;
  f->AfterConstruction();
}

void TApplication::Run() {
  if (terminated_) return;
  if (MainForm && ShowMainForm) {
    DispatchEvent([this] { MainForm->Show(); });
  }
  if (terminated_) return;
  Ui().RunMainLoop();
}

void TApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  for (auto it = modal_.rbegin(); it != modal_.rend(); ++it) {
    TForm* f = *it;
    if (f->modalEnded_) continue;
    f->ModalResult = mrCancel;
    f->modalEnded_ = true;
    Ui().EndModal(f);
  }
  Ui().QuitMainLoop();
}

void TApplication::ProcessMessages() {
  Ui().ProcessMessages();
  if (depth_ == 0) DeleteReleased();
  RunPosted();
}

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr p = std::current_exception();
  if (!p) return;
  try {
    std::rethrow_exception(p);
  } catch (const tv::forms::UiScriptError&) {
    throw;
  } catch (const EAbort&) {
  } catch (Exception& e) {
    if (OnException)
      OnException(Sender, &e);
    else
      ShowException(&e);
  } catch (const std::exception& e) {
    Exception ex(e.what());
    if (OnException)
      OnException(Sender, &ex);
    else
      ShowException(&ex);
  } catch (...) {
    Exception ex("Error desconocido");
    ShowException(&ex);
  }
}

void TApplication::ShowException(const Exception* E) {
  AnsiString msg = E ? E->Message : AnsiString();
  // An engine failure shows its sentence for the user, never SQLite's words or the SQL text.
  if (auto* engine = dynamic_cast<const EDBEngineError*>(E)) msg = DBIUserText(*engine);
  if (!msg.IsEmpty()) {
    char last = msg.str().back();
    if (static_cast<unsigned char>(last) > '.') msg += ".";
  }
  MessageRequest r;
  r.Kind = MsgKind::Exception;
  r.Text = msg;
  r.Caption = Title;
  r.Icon = MsgIcon::Error;
  r.Buttons = {{IDOK, ButtonCaption(IDOK)}};
  r.EscapeResult = IDOK;
  Ui().ShowMessageBox(r);
}

int TApplication::MessageBox(const AnsiString& Text, const AnsiString& Caption, int Flags) {
  return Ui().ShowMessageBox(MessageBoxRequest(Text, Caption, Flags));
}

AnsiString TApplication::ExeName() const {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "";
  return AnsiString(std::string(buf, static_cast<size_t>(n)));
}

void TApplication::AfterEvent() {
  if (!terminated_ && !modal_.empty()) {
    TForm* top = modal_.back();
    if (top->ModalResult != mrNone && !top->modalEnded_) {
      if (top->CloseModalCheck()) {
        top->modalEnded_ = true;
        Ui().EndModal(top);
      }
    }
  }
  if (depth_ == 0) DeleteReleased();
  // posted messages run in whatever loop is innermost, after its current event
  if (depth_ <= (loopDepth_.empty() ? 0 : loopDepth_.back())) RunPosted();
  Ui().AfterEvent();
}

void TApplication::Post(std::function<void()> call) { posted_.push_back(std::move(call)); }

void TApplication::RunPosted() {
  while (!posted_.empty()) {
    auto call = std::move(posted_.front());
    posted_.erase(posted_.begin());
    call();
  }
}

void TApplication::ReleaseLater(TForm* f) {
  if (std::find(released_.begin(), released_.end(), f) == released_.end()) released_.push_back(f);
}

void TApplication::DeleteReleased() {
  for (size_t i = 0; i < released_.size();) {
    TForm* f = released_[i];
    if (f->busy_ > 0) {  // still inside its ShowModal
      ++i;
      continue;
    }
    released_.erase(released_.begin() + static_cast<long>(i));
    delete f;
    i = 0;
  }
}

void TApplication::ResetForTests() {
  terminated_ = false;
  for (TForm* f : modal_) f->modalEnded_ = true;
  modal_.clear();
  released_.clear();
  posted_.clear();
  loopDepth_.clear();
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
  MainForm = nullptr;
  Screen->ActiveForm = nullptr;
  Screen->Cursor = crDefault;
  depth_ = 0;
}
