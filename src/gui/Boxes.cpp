// Message boxes, input boxes and the common dialogs, and the window each one belongs to.
#include <wx/artprov.h>
#include <wx/dcclient.h>
#include <wx/colordlg.h>
#include <wx/fdrepdlg.h>
#include <wx/filedlg.h>
#include <wx/fontdlg.h>
#include <wx/printdlg.h>

#include <dlfcn.h>

#include <algorithm>
#include <iterator>
#include <memory>

#include "gui/Driver.h"

namespace tv::gui {


namespace {

// GTK's own file chooser takes its default size when it maps, beyond what wx knows of it:
// it is fitted through GTK once it shows (looked up at run time, no GTK headers here).
void FitGtkWindowOnScreen(wxWindow& w) {
  using GetSize = void (*)(void*, int*, int*);
  using SetInts = void (*)(void*, int, int);
  static auto getSize = reinterpret_cast<GetSize>(dlsym(RTLD_DEFAULT, "gtk_window_get_size"));
  static auto resize = reinterpret_cast<SetInts>(dlsym(RTLD_DEFAULT, "gtk_window_resize"));
  static auto move = reinterpret_cast<SetInts>(dlsym(RTLD_DEFAULT, "gtk_window_move"));
  void* win = w.GetHandle();
  if (!getSize || !resize || !move || !win) return;
  int width = 0, height = 0;
  getSize(win, &width, &height);
  wxRect area = wxGetClientDisplayRect();
  int nw = std::min(width, area.width), nh = std::min(height, area.height);
  if (nw != width || nh != height) {
    resize(win, nw, nh);
    move(win, area.x + (area.width - nw) / 2, area.y + (area.height - nh) / 2);
  }
}


// Where a box of `size` sits centred over `owner` (the screen when it has none shown), whole
// within the screen's free area.
wxPoint CentredOver(wxSize size, wxWindow* owner) {
  wxRect area = wxGetClientDisplayRect();
  wxRect over = owner && owner->IsShown() ? owner->GetScreenRect() : area;
  int x = over.x + (over.width - size.x) / 2, y = over.y + (over.height - size.y) / 2;
  x = std::clamp(x, area.x, std::max(area.x, area.GetRight() + 1 - size.x));
  y = std::clamp(y, area.y, std::max(area.y, area.GetBottom() + 1 - size.y));
  return {x, y};
}

// A box with the model's caption, icon, text and Spanish buttons.
class MessageBoxDialog : public wxDialog {
 public:
  MessageBoxDialog(wxWindow* parent, const MessageRequest& r, AnsiString* input)
      : wxDialog(parent, wxID_ANY, W(r.Caption), wxDefaultPosition, wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
        escape_(r.EscapeResult) {
    SetName("tvMessageBox");
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* body = new wxBoxSizer(wxHORIZONTAL);
    wxArtID art;
    switch (r.Icon) {
      case MsgIcon::Error: art = wxART_ERROR; break;
      case MsgIcon::Question: art = wxART_QUESTION; break;
      case MsgIcon::Warning: art = wxART_WARNING; break;
      case MsgIcon::Information: art = wxART_INFORMATION; break;
      default: break;
    }
    if (!art.empty()) body->Add(new wxStaticBitmap(this, wxID_ANY, wxArtProvider::GetBitmap(art, wxART_MESSAGE_BOX)), 0, wxALL, 10);
    auto* texts = new wxBoxSizer(wxVERTICAL);
    wxString text = W(input ? r.Prompt : r.Text);
    auto* st = new wxStaticText(this, wxID_ANY, text);
    st->Wrap(std::min(560, wxGetDisplaySize().x - 120));
    texts->Add(st, 0, wxALL, 4);
    if (input) {
      edit_ = new wxTextCtrl(this, wxID_ANY, W(*input), wxDefaultPosition, wxSize(320, -1));
      edit_->SetName("tvInput");
      texts->Add(edit_, 0, wxEXPAND | wxALL, 4);
    }
    body->Add(texts, 1, wxALL | wxALIGN_CENTER_VERTICAL, 10);
    top->Add(body, 1, wxEXPAND);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    for (size_t i = 0; i < r.Buttons.size(); ++i) {
      int result = r.Buttons[i].Result;
      auto* b = new wxButton(this, wxID_ANY, W(r.Buttons[i].Caption));
      b->Bind(wxEVT_BUTTON, [this, result](wxCommandEvent&) { EndModal(result); });
      row->Add(b, 0, wxALL, 5);
      buttons_.push_back(b);
    }
    top->Add(row, 0, wxALIGN_CENTER | wxBOTTOM, 8);
    SetSizerAndFit(top);
    // Wide enough for the whole title beside the window manager's buttons.
    wxFont titleFont = GetFont();
    titleFont.SetWeight(wxFONTWEIGHT_BOLD);
    int titleWidth = GetTextExtent(GetTitle()).x;
    {
      wxClientDC dc(this);
      dc.SetFont(titleFont);
      titleWidth = std::max(titleWidth, dc.GetTextExtent(GetTitle()).x);
    }
    int wanted = std::min(titleWidth + 140, wxGetDisplaySize().x - 40);
    if (GetSize().x < wanted) {
      SetMinSize(wxSize(wanted, GetSize().y));
      SetSize(wxSize(wanted, GetSize().y));
    }
    int def = std::clamp(r.DefaultButton, 0, static_cast<int>(buttons_.size()) - 1);
    if (!buttons_.empty()) {
      buttons_[def]->SetDefault();
      focus_ = buttons_[def];
      (edit_ ? static_cast<wxWindow*>(edit_) : buttons_[def])->SetFocus();
      default_ = r.Buttons[def].Result;
    }
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
      if (e.GetKeyCode() == WXK_ESCAPE) {
        EndModal(escape_);
      } else if (e.GetKeyCode() == WXK_RETURN || e.GetKeyCode() == WXK_NUMPAD_ENTER) {
        // Enter chooses the focused button, or the default one.
        wxWindow* f = wxWindow::FindFocus();
        for (size_t i = 0; i < buttons_.size(); ++i)
          if (buttons_[i] == f) {
            wxCommandEvent ev(wxEVT_BUTTON, f->GetId());
            ev.SetEventObject(f);
            f->ProcessWindowEvent(ev);
            return;
          }
        EndModal(default_);
      } else {
        e.Skip();
      }
    });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { EndModal(escape_); });
    // Above the window it belongs to, with the keyboard, whatever that window did last.
    Bind(wxEVT_SHOW, [this](wxShowEvent& e) {
      e.Skip();
      if (!e.IsShown()) return;
      CallAfter([this] {
        if (!IsShown()) return;
        if (GetPosition() != wanted_) Move(wanted_);
        Raise();
        wxWindow* f = wxWindow::FindFocus();
        if (!(f && (f == this || IsDescendant(f)))) (edit_ ? static_cast<wxWindow*>(edit_) : focus_)->SetFocus();
      });
    });
    // The window manager may map a transient box where it likes (the screen's corner), and
    // may do so after the box is already up: every such move is undone, not only one before
    // the map. A move made with a mouse button held is the person's drag and stands; a window
    // manager that insists wins after a few tries instead of a tug of war.
    Bind(wxEVT_MOVE, [this](wxMoveEvent& e) {
      e.Skip();
      if (!IsShown() || e.GetPosition() == wanted_ || replaced_ >= 8) return;
      wxMouseState m = wxGetMouseState();
      if (m.LeftIsDown() || m.MiddleIsDown() || m.RightIsDown()) return;
      // Later: a window manager often reports a passing place and the real one next.
      CallAfter([this] {
        if (!IsShown() || GetPosition() == wanted_ || replaced_ >= 8) return;
        ++replaced_;
        Move(wanted_);
      });
    });
    wanted_ = CentredOver(GetSize(), parent);
    Move(wanted_);
  }
  wxString Value() const { return edit_ ? edit_->GetValue() : wxString(); }

 private:
  int escape_;
  int default_ = 0;
  wxPoint wanted_;
  int replaced_ = 0;
  wxTextCtrl* edit_ = nullptr;
  wxWindow* focus_ = this;
  std::vector<wxButton*> buttons_;
};

TFindOptions OptionsOf(int flags, TFindOptions keep) {
  TFindOptions o = keep;
  o >> frDown >> frWholeWord >> frMatchCase >> frFindNext;
  if (flags & wxFR_DOWN) o << frDown;
  if (flags & wxFR_WHOLEWORD) o << frWholeWord;
  if (flags & wxFR_MATCHCASE) o << frMatchCase;
  o << frFindNext;
  return o;
}

}  // namespace

void FitFileChooser(wxWindow& fd) {
  FitOnScreen(fd);
  fd.CallAfter([&fd] { FitGtkWindowOnScreen(fd); });
}

bool WxDriver::ToolkitDialogUp() {
  for (wxWindow* w : wxTopLevelWindows)
    if (auto* d = dynamic_cast<wxDialog*>(w); d && d->IsModal() && d->IsShown() && d->GetName() != "tvForm")
      return true;
  return false;
}

wxWindow* WxDriver::ActiveTop() {
  // A modal form that is being shown owns what it opens already (a box from its OnShow).
  if (Application && !Application->ModalStack().empty())
    if (FormWin* fw = WinOf(Application->ModalStack().back()); fw && fw->top->IsShown()) return fw->top;
  if (!modal_.empty()) return modal_.back()->top;
  if (Screen && Screen->ActiveForm)
    if (FormWin* fw = WinOf(Screen->ActiveForm); fw && fw->top->IsShown()) return fw->top;
  if (Application && Application->MainForm)
    if (FormWin* fw = WinOf(Application->MainForm)) return fw->top;
  return nullptr;
}

int WxDriver::ShowMessageBox(const MessageRequest& request) {
  // A box raised inside a handler shows the form as the handler has left it so far.
  AfterEvent();
  MessageBoxDialog dlg(ActiveTop(), request, nullptr);
  return dlg.ShowModal();
}

bool WxDriver::InputQuery(const MessageRequest& request, AnsiString& value) {
  FlushHeld();
  MessageRequest r = request;
  if (r.Buttons.empty()) r.Buttons = {{IDOK, "Aceptar"}, {IDCANCEL, "Cancelar"}};
  r.EscapeResult = IDCANCEL;
  MessageBoxDialog dlg(ActiveTop(), r, &value);
  int res = dlg.ShowModal();
  if (res != IDOK && res != mrOk) return false;
  value = A(dlg.Value());
  return true;
}

bool WxDriver::ExecuteDialog(TCommonDialog* dialog) {
  FlushHeld();
  wxWindow* parent = ActiveTop();
  switch (dialog->DialogType()) {
    case DialogKind::Open:
    case DialogKind::Save: {
      auto* d = static_cast<TOpenDialog*>(dialog);
      bool save = dialog->DialogType() == DialogKind::Save;
      long style = save ? wxFD_SAVE : wxFD_OPEN;
      if (save && d->Options.Contains(ofOverwritePrompt)) style |= wxFD_OVERWRITE_PROMPT;
      if (!save && d->Options.Contains(ofFileMustExist)) style |= wxFD_FILE_MUST_EXIST;
      wxString file = W(d->FileName);
      wxString dir = W(d->InitialDir);
      if (dir.empty() && file.Contains("/")) dir = file.BeforeLast('/');
      wxString name = file.Contains("/") ? file.AfterLast('/') : file;
      wxString filter = d->Filter.IsEmpty() ? wxString("*") : W(d->Filter);
      wxFileDialog fd(parent, d->Title.IsEmpty() ? wxString(save ? "Guardar como" : "Abrir") : W(d->Title), dir, name,
                      filter, style);
      // The index a former run left (or a caller set) may not name one of these filters.
      int filters = (static_cast<int>(filter.Freq('|')) + 1) / 2;
      fd.SetFilterIndex(std::clamp(d->FilterIndex - 1, 0, std::max(0, filters - 1)));
      FitFileChooser(fd);
      if (fd.ShowModal() != wxID_OK) return false;
      wxString path = fd.GetPath();
      AnsiString ext = d->DefaultExt;
      if (ext.Pos("*.") == 1) ext = ext.SubString(3, ext.Length());
      if (ext.Pos(".") == 1) ext = ext.SubString(2, ext.Length());
      if (save && !ext.IsEmpty() && !path.AfterLast('/').Contains(".")) path += "." + W(ext);
      d->FileName = A(path);
      if (fd.GetFilterIndex() >= 0) d->FilterIndex = fd.GetFilterIndex() + 1;
      return true;
    }
    case DialogKind::Print: {
      auto* d = static_cast<TPrintDialog*>(dialog);
      wxPrintDialogData data;
      data.SetNoCopies(std::max(1, d->Copies));
      if (d->MaxPage > 0) {
        data.EnablePageNumbers(true);
        data.SetMinPage(std::max(1, d->MinPage));
        data.SetMaxPage(d->MaxPage);
        data.SetFromPage(std::max(1, d->FromPage));
        data.SetToPage(d->ToPage > 0 ? d->ToPage : d->MaxPage);
      }
      wxPrintDialog pd(parent, &data);
      if (pd.ShowModal() != wxID_OK) return false;
      wxPrintDialogData& got = pd.GetPrintDialogData();
      d->Copies = got.GetNoCopies();
      if (d->MaxPage > 0) {
        d->FromPage = got.GetAllPages() ? d->MinPage : got.GetFromPage();
        d->ToPage = got.GetAllPages() ? d->MaxPage : got.GetToPage();
      }
      return true;
    }
    case DialogKind::PrinterSetup: {
      wxPageSetupDialogData data;
      wxPageSetupDialog pd(parent, &data);
      return pd.ShowModal() == wxID_OK;
    }
    case DialogKind::Color: {
      auto* d = static_cast<TColorDialog*>(dialog);
      wxColourData data;
      data.SetColour(ToWx(d->Color));
      for (int i = 0; i < d->CustomColors.Count() && i < 16; ++i) {
        AnsiString v = d->CustomColors.Get(i);
        int eq = v.Pos("=");
        if (eq <= 0) continue;
        unsigned long bgr = 0;
        if (W(v.SubString(eq + 1, v.Length())).ToULong(&bgr, 16))
          data.SetCustomColour(i, ToWx(static_cast<TColor>(bgr)));
      }
      wxColourDialog cd(parent, &data);
      FitOnScreen(cd);
      if (cd.ShowModal() != wxID_OK) return false;
      wxColour c = cd.GetColourData().GetColour();
      d->Color = RGB(c.Red(), c.Green(), c.Blue());
      return true;
    }
    case DialogKind::Font: {
      auto* d = static_cast<TFontDialog*>(dialog);
      wxFontData data;
      wxFont f = ToWx(*d->Font);
      f.SetFaceName(W(d->Font->Name));
      f.SetPointSize(std::max(1, d->Font->Size));
      data.SetInitialFont(f);
      data.SetColour(ToWx(d->Font->Color));
      wxFontDialog fd(parent, data);
      FitOnScreen(fd);
      if (fd.ShowModal() != wxID_OK) return false;
      wxFont got = fd.GetFontData().GetChosenFont();
      d->Font->Name = A(got.GetFaceName());
      d->Font->Size = got.GetPointSize();
      TFontStyles st;
      if (got.GetWeight() >= wxFONTWEIGHT_BOLD) st << fsBold;
      if (got.GetStyle() == wxFONTSTYLE_ITALIC) st << fsItalic;
      if (got.GetUnderlined()) st << fsUnderline;
      d->Font->Style = st;
      wxColour c = fd.GetFontData().GetColour();
      if (c.IsOk()) d->Font->Color = RGB(c.Red(), c.Green(), c.Blue());
      return true;
    }
    case DialogKind::Find: {
      auto* d = static_cast<TFindDialog*>(dialog);
      if (finds_.count(dialog)) {
        finds_[dialog]->Raise();
        return true;
      }
      int flags = 0;
      if (d->Options.Contains(frDown)) flags |= wxFR_DOWN;
      if (d->Options.Contains(frWholeWord)) flags |= wxFR_WHOLEWORD;
      if (d->Options.Contains(frMatchCase)) flags |= wxFR_MATCHCASE;
      auto data = std::make_shared<wxFindReplaceData>(flags);
      data->SetFindString(W(d->FindText));
      int style = 0;
      if (d->Options.Contains(frHideUpDown) || d->Options.Contains(frDisableUpDown)) style |= wxFR_NOUPDOWN;
      if (d->Options.Contains(frHideMatchCase) || d->Options.Contains(frDisableMatchCase)) style |= wxFR_NOMATCHCASE;
      if (d->Options.Contains(frHideWholeWord) || d->Options.Contains(frDisableWholeWord)) style |= wxFR_NOWHOLEWORD;
      auto* fd = new wxFindReplaceDialog(parent, data.get(), "Buscar", style);
      fd->SetName("tvFind");
      // The toolkit only greys the direction choice; a hidden one is left out.
      if (d->Options.Contains(frHideUpDown)) {
        for (wxWindow* ch : fd->GetChildren())
          if (dynamic_cast<wxRadioBox*>(ch)) ch->Hide();
        if (wxSizer* sz = fd->GetSizer()) {
          fd->SetMinSize(wxDefaultSize);
          sz->SetSizeHints(fd);
        }
      }
      FitOnScreen(*fd);
      // `d` is touched only while the entry stands: the model's dialog drops it when it goes.
      auto onFind = [this, d, fd](wxFindDialogEvent& e) {
        if (auto it = finds_.find(d); it == finds_.end() || it->second != fd) return;
        d->UserFind(A(e.GetFindString()), OptionsOf(e.GetFlags(), d->Options));
      };
      fd->Bind(wxEVT_FIND, onFind);
      fd->Bind(wxEVT_FIND_NEXT, onFind);
      // The data lives as long as the dialog's bindings.
      fd->Bind(wxEVT_FIND_CLOSE, [this, d, fd, data](wxFindDialogEvent&) {
        auto it = finds_.find(d);
        if (it == finds_.end() || it->second != fd) return;
        finds_.erase(it);
        d->CloseDialog();
        fd->Destroy();
      });
      // Destroyed by the toolkit (with the window it belongs to): forget it.
      fd->Bind(wxEVT_DESTROY, [this, fd](wxWindowDestroyEvent& e) {
        e.Skip();
        if (e.GetEventObject() != fd) return;
        for (auto it = finds_.begin(); it != finds_.end();)
          it = it->second == fd ? finds_.erase(it) : std::next(it);
      });
      finds_[dialog] = fd;
      if (d->Left >= 0 && d->Top >= 0) fd->Move(d->Left, d->Top);
      fd->Show();
      return true;
    }
  }
  return false;
}

}  // namespace tv::gui
