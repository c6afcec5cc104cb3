#include "platform/forms/Dialogs.h"

#include "platform/forms/Forms.h"
#include "platform/forms/UiDriver.h"

using tv::forms::Ui;

AnsiString ButtonCaption(int result) {
  switch (result) {
    case mrOk: return "Aceptar";
    case mrCancel: return "Cancelar";
    case mrAbort: return "Anular";
    case mrRetry: return "Reintentar";
    case mrIgnore: return "Omitir";
    case mrYes: return "Sí";
    case mrNo: return "No";
    case mrAll: return "Todos";
    case mrNoToAll: return "No a todo";
    case mrYesToAll: return "Sí a todo";
    default: return "Ayuda";
  }
}

static MsgIcon IconOfFlags(int flags) {
  switch (flags & 0xF0) {
    case MB_ICONERROR: return MsgIcon::Error;
    case MB_ICONQUESTION: return MsgIcon::Question;
    case MB_ICONWARNING: return MsgIcon::Warning;
    case MB_ICONINFORMATION: return MsgIcon::Information;
    default: return MsgIcon::None;
  }
}

MessageRequest MessageBoxRequest(const AnsiString& text, const AnsiString& caption, int flags) {
  MessageRequest r;
  r.Kind = MsgKind::MessageBox;
  r.Text = text;
  r.Caption = caption;
  r.Icon = IconOfFlags(flags);
  std::vector<int> ids;
  switch (flags & 0xF) {
    case MB_OKCANCEL: ids = {IDOK, IDCANCEL}; break;
    case MB_ABORTRETRYIGNORE: ids = {IDABORT, IDRETRY, IDIGNORE}; break;
    case MB_YESNOCANCEL: ids = {IDYES, IDNO, IDCANCEL}; break;
    case MB_YESNO: ids = {IDYES, IDNO}; break;
    case MB_RETRYCANCEL: ids = {IDRETRY, IDCANCEL}; break;
    default: ids = {IDOK}; break;
  }
  for (int id : ids) r.Buttons.push_back({id, ButtonCaption(id)});
  int def = (flags & 0xF00) >> 8;
  r.DefaultButton = def < static_cast<int>(ids.size()) ? def : 0;
  r.EscapeResult = 0;  // a box without a cancel button cannot be escaped
  for (int id : ids)
    if (id == IDCANCEL) r.EscapeResult = IDCANCEL;
  if (ids.size() == 1) r.EscapeResult = IDOK;
  return r;
}

int MessageBox(HWND, const AnsiString& text, const AnsiString& caption, int flags) {
  return Ui().ShowMessageBox(MessageBoxRequest(text, caption, flags));
}


HWND GetFocus() { return Screen->ActiveControl(); }

int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
  MessageRequest r;
  r.Kind = MsgKind::MessageDlg;
  r.Text = Msg;
  switch (DlgType) {
    case mtWarning: r.Caption = "Advertencia"; r.Icon = MsgIcon::Warning; break;
    case mtError: r.Caption = "Error"; r.Icon = MsgIcon::Error; break;
    case mtInformation: r.Caption = "Información"; r.Icon = MsgIcon::Information; break;
    case mtConfirmation: r.Caption = "Confirmar"; r.Icon = MsgIcon::Question; break;
    case mtCustom: r.Caption = Application->Title; break;
  }
  static const std::pair<TMsgDlgBtn, int> kOrder[] = {
      {mbYes, mrYes},   {mbNo, mrNo},       {mbOK, mrOk},         {mbCancel, mrCancel},
      {mbAbort, mrAbort}, {mbRetry, mrRetry}, {mbIgnore, mrIgnore}, {mbAll, mrAll},
      {mbNoToAll, mrNoToAll}, {mbYesToAll, mrYesToAll}};
  for (auto [b, id] : kOrder)
    if (Buttons.Contains(b)) r.Buttons.push_back({id, ButtonCaption(id)});
  if (r.Buttons.empty()) r.Buttons.push_back({mrOk, ButtonCaption(mrOk)});
  auto indexOf = [&](int id) {
    for (size_t i = 0; i < r.Buttons.size(); ++i)
      if (r.Buttons[i].Result == id) return static_cast<int>(i);
    return -1;
  };
  for (int id : {mrOk, mrYes, mrRetry, mrAbort})
    if (indexOf(id) >= 0) { r.DefaultButton = indexOf(id); break; }
  r.EscapeResult = 0;
  for (int id : {mrCancel, mrNo, mrOk})
    if (indexOf(id) >= 0) { r.EscapeResult = id; break; }
  return Ui().ShowMessageBox(r);
}

void ShowMessage(const AnsiString& Msg) {
  MessageRequest r;
  r.Kind = MsgKind::ShowMessage;
  r.Text = Msg;
  r.Caption = Application->Title;
  r.Buttons = {{mrOk, ButtonCaption(mrOk)}};
  r.EscapeResult = mrOk;
  Ui().ShowMessageBox(r);
}

bool InputQuery(const AnsiString& Caption, const AnsiString& Prompt, AnsiString& Value) {
  MessageRequest r;
  r.Kind = MsgKind::InputBox;
  r.Caption = Caption;
  r.Prompt = Prompt;
  r.Text = Value;
  r.Buttons = {{mrOk, ButtonCaption(mrOk)}, {mrCancel, ButtonCaption(mrCancel)}};
  r.EscapeResult = mrCancel;
  AnsiString v = Value;
  if (!Ui().InputQuery(r, v)) return false;
  Value = v;
  return true;
}

AnsiString InputBox(const AnsiString& Caption, const AnsiString& Prompt, const AnsiString& Default) {
  AnsiString v = Default;
  return InputQuery(Caption, Prompt, v) ? v : Default;
}

bool TCommonDialog::Execute() {
  if (OnShow) OnShow(this);
  bool ok = Ui().ExecuteDialog(this);
  if (OnClose) OnClose(this);
  return ok;
}

TFindDialog::~TFindDialog() { CloseDialog(); }

bool TFindDialog::Execute() {
  showing_ = true;
  Ui().ExecuteDialog(this);
  return true;
}

void TFindDialog::CloseDialog() {
  if (!showing_) return;
  showing_ = false;
  Ui().HideDialog(this);
}

void TFindDialog::UserFind(const AnsiString& text, TFindOptions options) {
  DispatchEvent([&] {
    FindText = text;
    Options = options + TFindOptions{frFindNext};
    if (OnFind) OnFind(this);
  });
}
