// The desktop driver: forms become windows, controls become widgets, user input goes to
// the model's user-input methods and the widgets are refreshed from the model after every
// event.
#include "gui/Driver.h"

#include <wx/fdrepdlg.h>
#include <wx/notebook.h>
#include <wx/spinbutt.h>
#include <wx/statline.h>

#include <dlfcn.h>

#include <algorithm>
#include <exception>
#include <functional>
#include <utility>

#include "gui/Grid.h"
#include "gui/Layout.h"
#include "gui/ListTypeAhead.h"
#include "gui/Navigator.h"
#include "platform/core/Busy.h"

namespace tv::gui {

using K = TControlKind;

namespace {

WxDriver* g_driver = nullptr;

// A combo keeps its designed width; its open list widens to show long items whole (GTK
// looked up at run time, no GTK headers here).
void ListWidthFollowsItems(wxWindow* combo) {
  using SetFixed = void (*)(void*, int);
  static auto setFixed = reinterpret_cast<SetFixed>(dlsym(RTLD_DEFAULT, "gtk_combo_box_set_popup_fixed_width"));
  if (setFixed && combo->GetHandle()) setFixed(combo->GetHandle(), 0);
}

// Whether a window manager runs on the display (GTK looked up at run time).
bool WindowManagerRunning() {
  using GetScreen = void* (*)();
  using WmName = const char* (*)(void*);
  static auto getScreen = reinterpret_cast<GetScreen>(dlsym(RTLD_DEFAULT, "gdk_screen_get_default"));
  static auto wmName = reinterpret_cast<WmName>(dlsym(RTLD_DEFAULT, "gdk_x11_screen_get_window_manager_name"));
  if (!getScreen || !wmName) return false;
  void* screen = getScreen();
  const char* name = screen ? wmName(screen) : nullptr;
  return name && std::string(name) != "unknown";
}

// The window manager keeps `child` above `owner` and raises them together (WM_TRANSIENT_FOR);
// no wx parent, so neither window's life depends on the other (GTK looked up at run time).
void OwnedBy(wxTopLevelWindow* child, wxWindow* owner) {
  using SetTransient = void (*)(void*, void*);
  static auto set = reinterpret_cast<SetTransient>(dlsym(RTLD_DEFAULT, "gtk_window_set_transient_for"));
  if (!set || !child->GetHandle() || !owner || owner == child || !owner->GetHandle()) return;
  set(child->GetHandle(), owner->GetHandle());
}

// A modal window is marked so (_NET_WM_STATE_MODAL): a click on its owner gives it the
// keyboard. Only the hint: a toolkit grab would also lock windows it opens itself.
void ModalHint(wxTopLevelWindow* w, bool modal) {
  using GetWindow = void* (*)(void*);
  using SetHint = void (*)(void*, int);
  static auto window = reinterpret_cast<GetWindow>(dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
  static auto hint = reinterpret_cast<SetHint>(dlsym(RTLD_DEFAULT, "gdk_window_set_modal_hint"));
  void* gw = window && w->GetHandle() ? window(w->GetHandle()) : nullptr;
  if (gw && hint) hint(gw, modal ? 1 : 0);
}

// Panels, group boxes and tab sheets: a plain window that paints its frame and caption.
class Container : public wxPanel {
 public:
  Container(wxWindow* parent, TControl* model)
      : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                wxTAB_TRAVERSAL | wxFULL_REPAINT_ON_RESIZE | wxBORDER_NONE),
        model_(model) {
    Bind(wxEVT_PAINT, &Container::OnPaint, this);
  }
  void Detach() { model_ = nullptr; }

 private:
  void OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    if (!model_) return;
    wxSize sz = GetClientSize();
    K k = model_->ControlKind();
    wxColour light = wxSystemSettings::GetColour(wxSYS_COLOUR_3DHIGHLIGHT);
    wxColour dark = wxSystemSettings::GetColour(wxSYS_COLOUR_3DSHADOW);
    if (k == K::GroupBox || k == K::RadioGroup) {
      dc.SetFont(GetFont());
      wxString cap = wxStripMenuCodes(W(model_->Caption));
      int th = dc.GetCharHeight();
      dc.SetPen(wxPen(dark));
      dc.SetBrush(*wxTRANSPARENT_BRUSH);
      dc.DrawRoundedRectangle(1, th / 2, sz.x - 2, sz.y - th / 2 - 1, 3);
      if (!cap.empty()) {
        int tw = dc.GetTextExtent(cap).x;
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(GetBackgroundColour()));
        dc.DrawRectangle(8, 0, tw + 8, th);
        dc.SetTextForeground(GetForegroundColour());
        dc.DrawText(cap, 12, 0);
      }
      return;
    }
    if (k == K::Panel) {
      auto* p = static_cast<TPanel*>(model_);
      auto bevel = [&](TBevelCut cut, int inset) {
        if (cut == bvNone || cut == bvSpace) return;
        wxColour tl = cut == bvRaised ? light : dark, br = cut == bvRaised ? dark : light;
        int r = sz.x - 1 - inset, b = sz.y - 1 - inset;
        dc.SetPen(wxPen(tl));
        dc.DrawLine(inset, inset, r, inset);
        dc.DrawLine(inset, inset, inset, b);
        dc.SetPen(wxPen(br));
        dc.DrawLine(r, inset, r, b + 1);
        dc.DrawLine(inset, b, r, b);
      };
      bevel(p->BevelOuter, 0);
      bevel(p->BevelInner, p->BevelOuter != bvNone ? 1 : 0);
      if (!p->Caption.IsEmpty()) {
        dc.SetFont(GetFont());
        dc.SetTextForeground(GetForegroundColour());
        wxString cap = wxStripMenuCodes(W(p->Caption));
        wxSize te = dc.GetTextExtent(cap);
        int x = p->Alignment == taCenter ? (sz.x - te.x) / 2 : p->Alignment == taRightJustify ? sz.x - te.x - 6 : 6;
        dc.DrawText(cap, x, (sz.y - te.y) / 2);
      }
    }
  }
  TControl* model_;
};

// Bevels and shapes: painted from the model.
class Painted : public wxWindow {
 public:
  Painted(wxWindow* parent, TControl* model)
      : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE),
        model_(model) {
    Bind(wxEVT_PAINT, &Painted::OnPaint, this);
  }
  void Detach() { model_ = nullptr; }

 private:
  void OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    if (!model_) return;
    wxSize sz = GetClientSize();
    if (auto* s = dynamic_cast<TShape*>(model_)) {
      dc.SetPen(s->Pen->Style == psClear ? *wxTRANSPARENT_PEN : wxPen(ToWx(s->Pen->Color), s->Pen->Width));
      dc.SetBrush(s->Brush->Style == bsClear ? *wxTRANSPARENT_BRUSH : wxBrush(ToWx(s->Brush->Color)));
      if (s->Shape == stEllipse || s->Shape == stCircle)
        dc.DrawEllipse(0, 0, sz.x, sz.y);
      else if (s->Shape == stRoundRect || s->Shape == stRoundSquare)
        dc.DrawRoundedRectangle(0, 0, sz.x, sz.y, 6);
      else
        dc.DrawRectangle(0, 0, sz.x, sz.y);
    } else if (auto* b = dynamic_cast<TBevel*>(model_)) {
      wxColour light = wxSystemSettings::GetColour(wxSYS_COLOUR_3DHIGHLIGHT);
      wxColour dark = wxSystemSettings::GetColour(wxSYS_COLOUR_3DSHADOW);
      dc.SetPen(wxPen(dark));
      switch (b->Shape) {
        case bsTopLine: dc.DrawLine(0, 0, sz.x, 0); break;
        case bsBottomLine: dc.DrawLine(0, sz.y - 2, sz.x, sz.y - 2); break;
        case bsLeftLine: dc.DrawLine(0, 0, 0, sz.y); break;
        case bsRightLine: dc.DrawLine(sz.x - 2, 0, sz.x - 2, sz.y); break;
        case bsSpacer: break;
        default:
          dc.SetBrush(*wxTRANSPARENT_BRUSH);
          dc.DrawRectangle(0, 0, sz.x - 1, sz.y - 1);
          dc.SetPen(wxPen(light));
          dc.DrawRectangle(1, 1, sz.x - 1, sz.y - 1);
      }
    }
  }
  TControl* model_;
};

// Flags of the window of a form.
long FrameStyle(TForm* f, bool frame) {
  long st = 0;
  switch (f->BorderStyle) {
    case bsNoneForm: st = wxBORDER_NONE; break;
    case bsDialog: case bsSingleForm: case bsToolWindow: st = wxCAPTION; break;
    default: st = wxCAPTION | wxRESIZE_BORDER; break;
  }
  if (f->BorderStyle != bsNoneForm && f->BorderIcons.Contains(biSystemMenu))
    st |= wxSYSTEM_MENU | wxCLOSE_BOX;
  if (f->BorderIcons.Contains(biMinimize) && f->BorderStyle == bsSizeable) st |= wxMINIMIZE_BOX;
  if (f->BorderIcons.Contains(biMaximize) && f->BorderStyle == bsSizeable) st |= wxMAXIMIZE_BOX;
  if (f->FormStyle == fsStayOnTop) st |= wxSTAY_ON_TOP;
  if (frame) st |= wxCLIP_CHILDREN;
  return st;
}


wxBitmap LoadBitmap(const AnsiString& file) {
  if (file.IsEmpty()) return wxNullBitmap;
  wxImage img;
  wxLogNull quiet;
  if (!img.LoadFile(W(file))) return wxNullBitmap;
  return wxBitmap(img);
}

}  // namespace

bool TakesChars(K k) {
  return k == K::Edit || k == K::MaskEdit || k == K::DBEdit || k == K::Memo || k == K::DBMemo;
}

// Model controls nested under `parent` in tree order.
void ForEachControl(TWinControl* parent, const std::function<void(TControl*)>& fn) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    fn(c);
    if (auto* w = dynamic_cast<TWinControl*>(c)) ForEachControl(w, fn);
  }
}

// ---- ModelTimer --------------------------------------------------------------------------
void ModelTimer::Notify() {
  if (!timer) return;
  timer->Fire();
}

// ---- WxDriver ------------------------------------------------------------------------------
WxDriver::WxDriver() {
  g_driver = this;
  tv::core::SetBusyHook(&WxDriver::OnBusy);
}

WxDriver::~WxDriver() {
  if (endTimer_) endTimer_->Stop();
  for (auto& [t, mt] : timers_) mt->Stop();
  if (g_driver == this) {
    g_driver = nullptr;
    tv::core::SetBusyHook(nullptr);
  }
}

WxDriver* WxDriver::Instance() { return g_driver; }

FormWin* WxDriver::WinOf(TForm* f) {
  auto it = forms_.find(f);
  return it == forms_.end() ? nullptr : it->second.get();
}

wxWindow* WxDriver::WidgetOf(TControl* c) {
  if (auto* f = dynamic_cast<TForm*>(c)) {
    FormWin* fw = WinOf(f);
    return fw ? fw->top : nullptr;
  }
  TForm* f = c ? c->ParentForm() : nullptr;
  FormWin* fw = f ? WinOf(f) : nullptr;
  if (!fw) return nullptr;
  auto it = fw->bound.find(c);
  return it == fw->bound.end() ? nullptr : it->second.win;
}

FormWin* WxDriver::Ensure(TForm* form) {
  if (FormWin* fw = WinOf(form)) return fw;
  auto fw = std::make_unique<FormWin>();
  fw->form = form;
  bool isMain = Application && Application->MainForm == form;
  wxString title = W(form->Caption);
  if (isMain || form->Menu) {
    auto* fr = new wxFrame(nullptr, wxID_ANY, title, wxDefaultPosition, wxDefaultSize, FrameStyle(form, true));
    fw->top = fr;
  } else {
    fw->top = new wxDialog(nullptr, wxID_ANY, title, wxDefaultPosition, wxDefaultSize, FrameStyle(form, false));
  }
  fw->top->SetName("tvForm");
  fw->root = new wxScrolledWindow(fw->top, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                  wxTAB_TRAVERSAL | wxWANTS_CHARS | wxHSCROLL | wxVSCROLL);
  FormWin* raw = fw.get();
  fw->root->Bind(wxEVT_PAINT, [this, raw](wxPaintEvent&) {
    wxPaintDC dc(raw->root);
    raw->root->DoPrepareDC(dc);
    TForm* f = raw->form;
    if (!WinOf(f) || !f->OnPaint) return;
    TCanvas* cv = nullptr;
    try {
      cv = f->PaintForm();
    } catch (const tv::forms::UiScriptError&) {
      throw;
    } catch (...) {
      // The error box comes after the paint, from the event loop.
      auto ep = std::current_exception();
      CallAfterIfAlive(f, [ep] { DispatchEvent([ep] { std::rethrow_exception(ep); }); });
      return;
    }
    wxSize sz = raw->root->GetVirtualSize();
    if (!cv->Ops().empty())
      ReplayCanvas(dc, *cv, Rect(0, 0, int(sz.x / Scale()), int(sz.y / Scale())), wxRect(sz), false);
    // What the handler changed (a status text) shows after the paint.
    CallAfterIfAlive(f, [this] { AfterEvent(); });
  });
  fw->top->Bind(wxEVT_CHAR_HOOK, [this, raw](wxKeyEvent& e) { OnCharHook(raw, e); });
  fw->top->Bind(wxEVT_CLOSE_WINDOW, [this, raw](wxCloseEvent& e) {
    if (!e.CanVeto() || !WinOf(raw->form)) {
      e.Skip();
      return;
    }
    e.Veto();
    TForm* f = raw->form;
    CallAfterIfAlive(f, [f] { f->UserClose(); });
  });
  fw->top->Bind(wxEVT_ACTIVATE, [this, raw](wxActivateEvent& e) {
    e.Skip();
    if (!e.GetActive() || Syncing() || !WinOf(raw->form)) return;
    if (Screen && Screen->ActiveForm != raw->form && raw->form->Showing()) raw->form->UserActivate();
  });
  fw->top->Bind(wxEVT_SIZE, [this, raw](wxSizeEvent& e) {
    e.Skip();
    if (WinOf(raw->form) && raw->placed) Layout(*raw);
  });
  fw->top->Bind(wxEVT_MENU_OPEN, [raw](wxMenuEvent& e) {
    e.Skip();
    ++raw->menusOpen;
  });
  fw->top->Bind(wxEVT_MENU_CLOSE, [raw](wxMenuEvent& e) {
    e.Skip();
    raw->menusOpen = std::max(0, raw->menusOpen - 1);
  });
  fw->top->Bind(wxEVT_MENU, [this, raw](wxCommandEvent& e) {
    auto it = raw->menuIds.find(e.GetId());
    if (it == raw->menuIds.end()) {
      e.Skip();
      return;
    }
    TForm* f = raw->form;
    int id = e.GetId();
    if (EndCellEdits(f, [this, f, id] {
          FormWin* fw = WinOf(f);
          auto mi = fw ? fw->menuIds.find(id) : decltype(fw->menuIds.end()){};
          if (fw && mi != fw->menuIds.end()) mi->second->UserClick();
        }))
      return;
    it->second->UserClick();
  });
  forms_[form] = std::move(fw);
  return raw;
}

void WxDriver::CallAfterIfAlive(TForm* f, std::function<void()> fn) {
  wxTheApp->CallAfter([this, f, fn = std::move(fn)] {
    if (WinOf(f)) fn();
  });
}

Bound& WxDriver::Create(FormWin& fw, TControl* c, wxWindow* parentWin) {
  Bound& b = fw.bound[c];
  b.ctrl = c;
  alive_.insert(c);
  K k = c->ControlKind();
  wxWindow* w = nullptr;
  auto clickable = [this, c](wxWindow* win) {
    win->Bind(wxEVT_BUTTON, [this, c](wxCommandEvent&) {
      // The click that tried to leave an edit which refused it ends there.
      if (Syncing() || !Alive(c) || c == refusedFocus_) return;
      if (EndCellEdits(c->ParentForm(), [this, c] {
            if (Alive(c)) c->UserClick();
          }))
        return;
      c->UserClick();
    });
  };
  switch (k) {
    case K::Panel: case K::GroupBox: case K::TabSheet:
      w = new Container(parentWin, c);
      break;
    case K::RadioGroup: {
      w = new Container(parentWin, c);
      break;
    }
    case K::Label: case K::DBText: {
      auto* t = new wxStaticText(parentWin, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                 LabelStyle(dynamic_cast<TLabel*>(c)));
      w = t;
      break;
    }
    case K::Edit: case K::MaskEdit: case K::DBEdit: case K::Memo: case K::DBMemo: {
      auto* e = dynamic_cast<TCustomEdit*>(c);
      long st = wxWANTS_CHARS;
      if (k == K::Memo || k == K::DBMemo) {
        st |= wxTE_MULTILINE;
        if (auto* m = dynamic_cast<TMemo*>(c); m && (!m->WordWrap || m->ScrollBars == ssHorizontal || m->ScrollBars == ssBoth))
          st |= wxHSCROLL;
      } else if (e && e->PasswordChar) {
        st |= wxTE_PASSWORD;
      }
      auto* t = new wxTextCtrl(parentWin, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, st);
      t->Bind(wxEVT_TEXT, [this, c, t](wxCommandEvent&) {
        // Changes the widget made by itself (paste from a menu, drag and drop).
        if (Syncing() || !Alive(c)) return;
        auto* ed = dynamic_cast<TCustomEdit*>(c);
        if (ed && A(t->GetValue()) != ed->DisplayText()) ed->UserSetText(A(t->GetValue()));
      });
      // A click, a drag or a double-click selects in the widget: the next key reads it.
      auto mouse = [this, c](wxMouseEvent& me) {
        me.Skip();
        if (me.GetEventType() == wxEVT_MOTION && !me.LeftIsDown()) return;
        FormWin* fw = Alive(c) ? WinOf(c->ParentForm()) : nullptr;
        if (!fw) return;
        if (auto it = fw->bound.find(c); it != fw->bound.end()) it->second.mouseSel = true;
        // Read once the toolkit has made the selection: at the next key it may be gone.
        CallAfterIfAlive(c->ParentForm(), [this, c] {
          if (Alive(c)) PushSelection(c);
          caretDirty_.erase(c);
        });
      };
      for (auto type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_LEFT_DCLICK, wxEVT_MOTION}) t->Bind(type, mouse);
      w = t;
      break;
    }
    case K::ComboBox: {
      auto* cb = static_cast<TComboBox*>(c);
      if (cb->Style == csDropDownList) {
        auto* ch = new wxChoice(parentWin, wxID_ANY);
        ch->Bind(wxEVT_CHOICE, [this, c, ch](wxCommandEvent&) {
          if (!Syncing() && Alive(c)) static_cast<TComboBox*>(c)->UserSelect(ch->GetSelection());
        });
        w = ch;
      } else {
        auto* co = new wxComboBox(parentWin, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0, nullptr);
        co->Bind(wxEVT_COMBOBOX, [this, c, co](wxCommandEvent&) {
          if (!Syncing() && Alive(c)) static_cast<TComboBox*>(c)->UserSelect(co->GetSelection());
        });
        co->Bind(wxEVT_TEXT, [this, c, co](wxCommandEvent&) {
          if (Syncing() || !Alive(c)) return;
          TForm* f = c->ParentForm();
          CallAfterIfAlive(f, [this, c, co] {
            auto* m = static_cast<TComboBox*>(c);
            if (Alive(c) && A(co->GetValue()) != m->Text.get()) m->UserSetText(A(co->GetValue()));
          });
        });
        w = co;
      }
      ListWidthFollowsItems(w);
      LettersChooseInOpenList(w);
      break;
    }
    case K::ListBox: {
      auto* lb = new wxListBox(parentWin, wxID_ANY);
      lb->Bind(wxEVT_LISTBOX, [this, c, lb](wxCommandEvent&) {
        if (!Syncing() && Alive(c)) static_cast<TListBox*>(c)->UserSelect(lb->GetSelection());
      });
      lb->Bind(wxEVT_LISTBOX_DCLICK, [this, c](wxCommandEvent&) {
        if (!Syncing() && Alive(c)) c->UserDblClick();
      });
      w = lb;
      break;
    }
    case K::CheckBox: {
      auto* cb = new wxCheckBox(parentWin, wxID_ANY, wxEmptyString);
      cb->Bind(wxEVT_CHECKBOX, [this, c](wxCommandEvent&) {
        if (!Syncing() && Alive(c)) c->UserClick();
        AfterEvent();  // the widget toggled itself; show the model's state
      });
      w = cb;
      break;
    }
    case K::RadioButton: {
      bool first = true;
      for (wxWindow* sib : parentWin->GetChildren())
        if (dynamic_cast<wxRadioButton*>(sib)) first = false;
      if (first) {
        // A native group always has one button on; this hidden one is on when none of
        // the model's buttons is.
        auto* none = new wxRadioButton(parentWin, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                       wxRB_GROUP);
        none->SetName("tvNoRadio");
        none->Hide();
        none->SetValue(true);
      }
      auto* rb = new wxRadioButton(parentWin, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0);
      rb->Bind(wxEVT_RADIOBUTTON, [this, c](wxCommandEvent&) {
        if (!Syncing() && Alive(c)) c->UserClick();
        AfterEvent();
      });
      w = rb;
      break;
    }
    case K::Button: case K::BitBtn: {
      // A small button the form made narrow ("..." beside a field) stays narrow: at the
      // toolkit's standard width it pushed the rest of its row past a small screen.
      bool small = c->Width > 0 && c->Width < 60;
      auto* bt = new wxButton(parentWin, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                              small ? wxBU_EXACTFIT : 0);
      clickable(bt);
      w = bt;
      break;
    }
    case K::SpeedButton: {
      auto* bt = new wxButton(parentWin, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
      bt->SetCanFocus(false);
      clickable(bt);
      w = bt;
      break;
    }
    case K::PageControl: {
      auto* nb = new wxNotebook(parentWin, wxID_ANY);
      nb->Bind(wxEVT_NOTEBOOK_PAGE_CHANGING, [this, c](wxBookCtrlEvent& e) {
        if (Syncing() || !Alive(c)) return;
        e.Veto();  // the model decides; the sync shows its choice
        int sel = e.GetSelection();
        CallAfterIfAlive(c->ParentForm(), [this, c, sel] {
          if (Alive(c)) static_cast<TPageControl*>(c)->UserSelectPage(sel);
        });
      });
      w = nb;
      break;
    }
    case K::StatusBar: {
      auto* sb = new wxStatusBar(parentWin, wxID_ANY, 0);
      w = sb;
      break;
    }
    case K::ProgressBar: {
      w = new wxGauge(parentWin, wxID_ANY, 100, wxDefaultPosition, wxDefaultSize, wxGA_HORIZONTAL | wxGA_SMOOTH);
      break;
    }
    case K::UpDown: {
      auto* sp = new wxSpinButton(parentWin, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSP_VERTICAL | wxSP_ARROW_KEYS);
      sp->SetRange(-1000000, 1000000);
      sp->SetValue(0);
      auto press = [this, c, sp](wxSpinEvent& e, bool up) {
        e.Veto();
        sp->SetValue(0);
        if (!Syncing() && Alive(c)) static_cast<TUpDown*>(c)->UserClickButton(up);
      };
      sp->Bind(wxEVT_SPIN_UP, [press](wxSpinEvent& e) { press(e, true); });
      sp->Bind(wxEVT_SPIN_DOWN, [press](wxSpinEvent& e) { press(e, false); });
      w = sp;
      break;
    }
    case K::Image: {
      w = new wxStaticBitmap(parentWin, wxID_ANY, wxNullBitmap);
      w->Bind(wxEVT_LEFT_UP, [this, c](wxMouseEvent& e) {
        e.Skip();
        if (!Syncing() && Alive(c)) c->UserClick();
      });
      break;
    }
    case K::Bevel: case K::Shape:
      w = new Painted(parentWin, c);
      break;
    case K::StringGrid: case K::CustomGrid: case K::DBGrid:
      w = new GridView(parentWin, static_cast<TCustomGrid*>(c));
      break;
    case K::DBNavigator:
      w = new NavigatorView(parentWin, static_cast<TDBNavigator*>(c));
      break;
    default: {
      // Controls without a widget of their own show as an empty area.
      w = new wxPanel(parentWin, wxID_ANY);
      break;
    }
  }
  b.win = w;
  if (k == K::TabSheet) {
    if (auto* nb = dynamic_cast<wxNotebook*>(parentWin)) nb->AddPage(w, W(StripAccelerator(c->Caption)));
  }
  // Focus, characters, mouse moves and popup menus for every widget.
  if (auto* wc = dynamic_cast<TWinControl*>(c); wc && k != K::StringGrid && k != K::CustomGrid && k != K::DBGrid) {
    w->Bind(wxEVT_SET_FOCUS, [this, c](wxFocusEvent& e) {
      e.Skip();
      OnWidgetFocus(c);
    });
    w->Bind(wxEVT_CHAR, [this, c](wxKeyEvent& e) { OnWidgetChar(c, e); });
    w->Bind(wxEVT_LEFT_DOWN, [this, c](wxMouseEvent& e) {
      e.Skip();
      OnWidgetPress(c);
    });
  }
  if (auto* g = dynamic_cast<GridView*>(w); g && c->OnMouseMove && !g->Db()) {
    // The pointer moves over the grid's inner windows, scrolled and scaled: the model gets a
    // point inside the same cell of its own layout.
    for (wxWindow* gw : {g->GetGridWindow(), g->GetFrozenRowGridWindow(), g->GetFrozenColGridWindow(),
                         g->GetFrozenCornerGridWindow()}) {
      if (!gw) continue;
      gw->Bind(wxEVT_MOTION, [this, c, g, gw](wxMouseEvent& e) {
        e.Skip();
        if (Syncing() || !Alive(c) || !c->OnMouseMove) return;
        auto* m = static_cast<TCustomGrid*>(c);
        wxGridCellCoords cell;
        if (wxGridWindow* gwin = g->DevicePosToGridWindow(g->ScreenToClient(gw->ClientToScreen(e.GetPosition()))))
          cell = g->XYToCell(g->CalcGridWindowUnscrolledPosition(e.GetPosition(), gwin), gwin);
        if (cell.GetRow() < 0 || cell.GetCol() < 0 || cell.GetRow() >= g->ModelRows() || cell.GetCol() >= g->ModelCols()) {
          c->UserMouseMove(-1, -1);
          return;
        }
        TRect r = m->CellRect(cell.GetCol(), cell.GetRow());
        c->UserMouseMove(r.Left + 1, r.Top + 1);
      });
    }
  } else if (c->OnMouseMove) {
    w->Bind(wxEVT_MOTION, [this, c](wxMouseEvent& e) {
      e.Skip();
      if (!Syncing() && Alive(c) && c->OnMouseMove) c->UserMouseMove(e.GetX(), e.GetY());
    });
  }
  w->Bind(wxEVT_CONTEXT_MENU, [this, c, w](wxContextMenuEvent& e) {
    if (!Alive(c) || !c->PopupMenu) {
      e.Skip();
      return;
    }
    TPopupMenu* pm = c->PopupMenu;
    pm->PopupComponent = c;
    if (pm->OnPopup) DispatchEvent([pm] { pm->OnPopup(pm); });
    wxMenu menu;
    std::map<int, TMenuItem*> ids;
    std::function<void(wxMenu*, TMenuItem*)> fill = [&](wxMenu* m, TMenuItem* parent) {
      for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* it = parent->Items(i);
        if (!it->Visible) continue;
        if (it->IsLine()) {
          m->AppendSeparator();
          continue;
        }
        int id = wxWindow::NewControlId();
        if (it->Count() > 0) {
          auto* sub = new wxMenu;
          fill(sub, it);
          m->AppendSubMenu(sub, W(it->Caption))->Enable(it->Enabled);
        } else {
          wxString label = W(it->Caption);
          if (it->ShortCut) label += "\t" + W(ShortCutToText(it->ShortCut));
          wxMenuItem* mi = m->Append(id, label, ShortHint(it->Hint), it->Checked ? wxITEM_CHECK : wxITEM_NORMAL);
          if (it->Checked) mi->Check(true);
          mi->Enable(it->Enabled);
          ids[id] = it;
        }
      }
    };
    fill(&menu, pm->Items);
    int chosen = w->GetPopupMenuSelectionFromUser(menu);
    if (auto f = ids.find(chosen); f != ids.end()) f->second->UserClick();
  });
  b.created = true;
  return b;
}

void WxDriver::SyncControl(FormWin&, Bound& b) {
  TControl* c = b.ctrl;
  wxWindow* w = b.win;
  K k = c->ControlKind();
  // Common state.
  bool vis = c->Visible;
  if (k == K::TabSheet) vis = true;  // pages are shown by the notebook
  if (w->IsShown() != vis) w->Show(vis);
  if (w->IsThisEnabled() != c->Enabled) w->Enable(c->Enabled);
  wxString tip = (c->ShowHint || Application->ShowHint) ? ShortHint(c->Hint) : wxString();
  if (w->GetToolTipText() != tip) {
    if (tip.empty())
      w->UnsetToolTip();
    else
      w->SetToolTip(tip);
  }
  wxFont font = ToWx(*c->Font);
  if (w->GetFont() != font) w->SetFont(font);
  wxColour fg = ToWx(c->Font->Color);
  if (c->Font->Color != clWindowText && w->GetForegroundColour() != fg) w->SetForegroundColour(fg);
  bool ownBg = c->Color != clBtnFace && c->Color != clWindow && c->Color != clDefault;
  if (k == K::Label && static_cast<TLabel*>(c)->Transparent) ownBg = false;
  if (ownBg) {
    wxColour bg = ToWx(c->Color);
    if (w->GetBackgroundColour() != bg) {
      w->SetBackgroundColour(bg);
      w->Refresh();
    }
  } else if (k == K::Panel && c->Color == clBtnFace && w->UseBgCol()) {
    // A panel given a colour of its own and then the button face again.
    w->SetBackgroundColour(wxNullColour);
    w->Refresh();
  }
  std::string caption = c->Caption.str();
  switch (k) {
    case K::Label: case K::DBText: {
      wxString t = W(c->Caption);
      // A label shows '&' as an accelerator mark, never as text.
      if (b.text != caption) {
        static_cast<wxStaticText*>(w)->SetLabel(t);
        b.text = caption;
      }
      break;
    }
    case K::Panel: case K::GroupBox: case K::RadioGroup:
      if (b.text != caption) {
        b.text = caption;
        w->Refresh();
      }
      break;
    case K::TabSheet:
      if (b.text != caption) {
        b.text = caption;
        if (auto* nb = dynamic_cast<wxNotebook*>(w->GetParent())) {
          int i = nb->FindPage(w);
          if (i != wxNOT_FOUND) nb->SetPageText(i, W(StripAccelerator(c->Caption)));
        }
      }
      break;
    case K::Button: case K::BitBtn: case K::SpeedButton: {
      if (b.text != caption) {
        static_cast<wxButton*>(w)->SetLabel(W(c->Caption));
        b.text = caption;
      }
      // Glyphs of bit and speed buttons, from their picture files.
      TPicture* glyph = nullptr;
      if (auto* bb = dynamic_cast<TBitBtn*>(c)) glyph = bb->Glyph;
      if (auto* sb = dynamic_cast<TSpeedButton*>(c)) glyph = sb->Glyph;
      if (glyph && b.items.empty() != glyph->FileName.IsEmpty()) {
        b.items = glyph->FileName.IsEmpty() ? std::vector<std::string>{} : std::vector<std::string>{glyph->FileName.str()};
        wxBitmap bmp = LoadBitmap(glyph->FileName);
        if (bmp.IsOk()) static_cast<wxButton*>(w)->SetBitmap(bmp);
      }
      if (auto* bt = dynamic_cast<TButton*>(c); bt && bt->Default) {
        if (auto* tlw = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(w)); tlw && tlw->GetDefaultItem() != w)
          tlw->SetDefaultItem(w);
      }
      break;
    }
    case K::CheckBox: {
      auto* cb = static_cast<wxCheckBox*>(w);
      if (b.text != caption) {
        cb->SetLabel(W(c->Caption));
        b.text = caption;
      }
      bool on = static_cast<TCheckBox*>(c)->Checked;
      if (cb->GetValue() != on) cb->SetValue(on);
      break;
    }
    case K::RadioButton: {
      auto* rb = static_cast<wxRadioButton*>(w);
      if (b.text != caption) {
        rb->SetLabel(W(c->Caption));
        b.text = caption;
      }
      bool on = static_cast<TRadioButton*>(c)->Checked;
      if (on && !rb->GetValue()) rb->SetValue(true);  // the toolkit unchecks the others
      if (!on && rb->GetValue()) {
        // Unchecked in the model: the group's hidden button takes the mark.
        for (wxWindow* sib : rb->GetParent()->GetChildren())
          if (auto* none = dynamic_cast<wxRadioButton*>(sib); none && none->GetName() == "tvNoRadio") {
            none->SetValue(true);
            break;
          }
      }
      break;
    }
    case K::Edit: case K::MaskEdit: case K::DBEdit: case K::Memo: case K::DBMemo: {
      auto* e = static_cast<TCustomEdit*>(c);
      auto* t = static_cast<wxTextCtrl*>(w);
      wxString want = W(e->DisplayText());
      bool changed = false;
      if (t->GetValue() != want) {
        t->ChangeValue(want);
        changed = true;
      }
      if (t->IsEditable() == e->ReadOnly) t->SetEditable(!e->ReadOnly);
      // The model's selection goes to the widget when the text or the model's selection
      // changed (entering the edit selects it all) or after a key; a selection the user
      // made with the mouse stays until the next key reads it back.
      bool selMoved = e->SelStart != b.selStart || e->SelLength != b.selLength;
      if (changed || selMoved || caretDirty_.count(c)) {
        long len = t->GetLastPosition();
        long from = std::clamp<long>(e->SelStart, 0, len);
        long to = std::clamp<long>(e->SelStart + e->SelLength, from, len);
        if (to > from)
          t->SetSelection(from, to);
        else
          t->SetInsertionPoint(from);
        b.selStart = e->SelStart;
        b.selLength = e->SelLength;
      }
      break;
    }
    case K::ComboBox: {
      auto* cb = static_cast<TComboBox*>(c);
      std::vector<std::string> items;
      for (int i = 0; i < cb->Items->Count(); ++i) items.push_back(cb->Items->Get(i).str());
      auto* ctl = dynamic_cast<wxItemContainer*>(w);
      if (items != b.items) {
        wxArrayString arr;
        for (auto& s : items) arr.Add(wxString::FromUTF8(s));
        ctl->Set(arr);
        b.items = items;
      }
      int sel = cb->ItemIndex;
      if (auto* ch = dynamic_cast<wxChoice*>(w)) {
        if (ch->GetSelection() != sel) ch->SetSelection(sel);
      } else if (auto* co = dynamic_cast<wxComboBox*>(w)) {
        wxString want = W(cb->Text.get());
        if (co->GetValue() != want) {
          if (sel >= 0 && co->GetString(sel) == want)
            co->SetSelection(sel);
          else
            co->ChangeValue(want);
          co->SetInsertionPointEnd();
        }
      }
      break;
    }
    case K::ListBox: {
      auto* lb = static_cast<TListBox*>(c);
      auto* ctl = static_cast<wxListBox*>(w);
      std::vector<std::string> items;
      for (int i = 0; i < lb->Items->Count(); ++i) items.push_back(lb->Items->Get(i).str());
      if (items != b.items) {
        wxArrayString arr;
        for (auto& s : items) arr.Add(wxString::FromUTF8(s));
        ctl->Set(arr);
        b.items = items;
      }
      if (ctl->GetSelection() != lb->ItemIndex) {
        if (lb->ItemIndex < 0)
          ctl->SetSelection(wxNOT_FOUND);
        else
          ctl->SetSelection(lb->ItemIndex);
      }
      break;
    }
    case K::PageControl: {
      auto* pc = static_cast<TPageControl*>(c);
      auto* nb = static_cast<wxNotebook*>(w);
      int want = pc->ActivePageIndex();
      if (want >= 0 && want < static_cast<int>(nb->GetPageCount()) && nb->GetSelection() != want)
        nb->ChangeSelection(want);
      break;
    }
    case K::StatusBar: {
      auto* sb = static_cast<TStatusBar*>(c);
      auto* ws = static_cast<wxStatusBar*>(w);
      if (sb->SimplePanel || sb->Panels->Count() == 0) {
        if (ws->GetFieldsCount() != 1) ws->SetFieldsCount(1);
        if (ws->GetStatusText(0) != W(sb->SimpleText)) ws->SetStatusText(W(sb->SimpleText), 0);
      } else {
        int n = sb->Panels->Count();
        std::vector<int> widths(n);
        for (int i = 0; i < n; ++i) widths[i] = i + 1 == n ? -1 : Sc(sb->Panels->Items(i)->Width);
        if (ws->GetFieldsCount() != n) ws->SetFieldsCount(n, widths.data());
        for (int i = 0; i < n; ++i)
          if (ws->GetStatusText(i) != W(sb->Panels->Items(i)->Text)) ws->SetStatusText(W(sb->Panels->Items(i)->Text), i);
      }
      break;
    }
    case K::ProgressBar: {
      auto* pb = static_cast<TProgressBar*>(c);
      auto* g = static_cast<wxGauge*>(w);
      int range = std::max(1, pb->Max - pb->Min);
      if (g->GetRange() != range) g->SetRange(range);
      int v = std::clamp(pb->Position - pb->Min, 0, range);
      if (g->GetValue() != v) g->SetValue(v);
      break;
    }
    case K::Image: {
      auto* img = static_cast<TImage*>(c);
      std::string file = img->Picture->FileName.str();
      wxSize sz = w->GetSize();
      std::string key = file + "|" + std::to_string(sz.x) + "x" + std::to_string(sz.y);
      if (b.text != key) {
        b.text = key;
        wxBitmap bmp = LoadBitmap(img->Picture->FileName);
        if (bmp.IsOk() && (img->Stretch || img->Proportional) && sz.x > 0 && sz.y > 0) {
          wxImage im = bmp.ConvertToImage();
          int tw = sz.x, th = sz.y;
          if (img->Proportional) {
            double f = std::min(double(sz.x) / im.GetWidth(), double(sz.y) / im.GetHeight());
            tw = std::max(1, int(im.GetWidth() * f));
            th = std::max(1, int(im.GetHeight() * f));
          }
          bmp = wxBitmap(im.Scale(tw, th, wxIMAGE_QUALITY_HIGH));
        }
        static_cast<wxStaticBitmap*>(w)->SetBitmap(bmp.IsOk() ? bmp : wxNullBitmap);
      }
      break;
    }
    case K::Bevel: case K::Shape:
      w->Refresh();
      break;
    case K::StringGrid: case K::CustomGrid: case K::DBGrid:
      static_cast<GridView*>(w)->SyncFromModel();
      break;
    case K::DBNavigator:
      static_cast<NavigatorView*>(w)->SyncFromModel();
      break;
    default: break;
  }
  if (k == K::RadioGroup) {
    auto* rg = static_cast<TRadioGroup*>(c);
    std::vector<std::string> items;
    for (int i = 0; i < rg->Items->Count(); ++i) items.push_back(rg->Items->Get(i).str());
    if (items != b.items) {
      for (auto* r : b.radios) r->Destroy();
      b.radios.clear();
      if (b.none) b.none->Destroy();
      // Hidden first member of the group: on while ItemIndex is -1.
      b.none = new wxRadioButton(w, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
      b.none->Hide();
      for (size_t i = 0; i < items.size(); ++i) {
        auto* r = new wxRadioButton(w, wxID_ANY, wxString::FromUTF8(items[i]), wxDefaultPosition, wxDefaultSize, 0);
        int idx = static_cast<int>(i);
        r->Bind(wxEVT_RADIOBUTTON, [this, c, idx](wxCommandEvent&) {
          if (!Syncing() && Alive(c)) static_cast<TRadioGroup*>(c)->UserSelect(idx);
          AfterEvent();
        });
        r->Bind(wxEVT_SET_FOCUS, [this, c](wxFocusEvent& e) {
          e.Skip();
          OnWidgetFocus(c);
        });
        b.radios.push_back(r);
      }
      b.items = items;
    }
    if (b.none && (rg->ItemIndex < 0 || rg->ItemIndex >= static_cast<int>(b.radios.size())) && !b.none->GetValue())
      b.none->SetValue(true);
    for (size_t i = 0; i < b.radios.size(); ++i) {
      bool on = rg->ItemIndex == static_cast<int>(i);
      if (on && !b.radios[i]->GetValue()) b.radios[i]->SetValue(true);
      b.radios[i]->Enable(c->Enabled);
      if (b.radios[i]->GetFont() != font) b.radios[i]->SetFont(font);
    }
    // Place the buttons inside the frame, in columns.
    Insets in = InsetsOf(c);
    wxSize sz = w->GetClientSize();
    int cols = std::max(1, rg->Columns);
    int n = static_cast<int>(b.radios.size());
    int rowsN = std::max(1, (n + cols - 1) / cols);
    int cw = std::max(1, (sz.x - in.l - in.r - 8) / cols);
    int rh = n ? b.radios[0]->GetBestSize().y + 2 : 0;
    int step = rh + 4;
    for (int i = 0; i < n; ++i) {
      int col = i / rowsN, row = i % rowsN;
      b.radios[i]->SetSize(in.l + 8 + col * cw, in.t + 2 + row * step, std::max(0, cw - 4), rh);
    }
  }
}

void WxDriver::SyncTree(FormWin& fw, TWinControl* parent, wxWindow* parentWin) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    auto it = fw.bound.find(c);
    Bound* b = it == fw.bound.end() ? nullptr : &it->second;
    if (!b) {
      b = &Create(fw, c, parentWin);
      b->parentWin = parentWin;
    } else if (b->parentWin != parentWin && b->win) {
      // The form moved the control into another container.
      b->win->Reparent(parentWin);
      b->parentWin = parentWin;
    }
    SyncControl(fw, *b);
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->ControlCount() > 0) SyncTree(fw, w, b->win);
  }
}

void WxDriver::SyncMenu(FormWin& fw) {
  auto* frame = dynamic_cast<wxFrame*>(fw.top);
  if (!frame) return;
  TMainMenu* mm = fw.form->Menu;
  // Structure signature: captions and visibility decide the shape of the bar.
  std::string sig;
  std::function<void(TMenuItem*)> sign = [&](TMenuItem* it) {
    for (int i = 0; i < it->Count(); ++i) {
      TMenuItem* s = it->Items(i);
      sig += s->Caption.str() + (s->Visible ? "+" : "-") + std::to_string(s->ShortCut) + "{";
      sign(s);
      sig += "}";
    }
  };
  if (mm) sign(mm->Items);
  if (sig != fw.menuSig) {
    fw.menuSig = sig;
    fw.menuIds.clear();
    fw.menusOpen = 0;  // the old bar's menus go with it
    if (!mm) {
      if (wxMenuBar* old = frame->GetMenuBar()) {
        frame->SetMenuBar(nullptr);
        delete old;
      }
    } else {
      auto* bar = new wxMenuBar;
      std::function<void(wxMenu*, TMenuItem*)> fill = [&](wxMenu* m, TMenuItem* parent) {
        for (int i = 0; i < parent->Count(); ++i) {
          TMenuItem* it = parent->Items(i);
          if (!it->Visible) continue;
          if (it->IsLine()) {
            m->AppendSeparator();
            continue;
          }
          int id = wxWindow::NewControlId();
          fw.menuIds[id] = it;
          wxString label = W(it->Caption);
          if (it->ShortCut) label += "\t" + W(ShortCutToText(it->ShortCut));
          if (it->Count() > 0) {
            auto* sub = new wxMenu;
            fill(sub, it);
            m->Append(id, W(it->Caption), sub, ShortHint(it->Hint));
          } else {
            m->Append(id, label, ShortHint(it->Hint), it->Checked || it->RadioItem ? wxITEM_CHECK : wxITEM_NORMAL);
          }
        }
      };
      for (int i = 0; i < mm->Items->Count(); ++i) {
        TMenuItem* top = mm->Items->Items(i);
        if (!top->Visible || top->IsLine()) continue;
        auto* m = new wxMenu;
        fill(m, top);
        bar->Append(m, W(top->Caption));
      }
      wxMenuBar* old = frame->GetMenuBar();
      frame->SetMenuBar(bar);
      delete old;
    }
  }
  wxMenuBar* bar = frame->GetMenuBar();
  if (!bar || !mm) return;
  int pos = 0;
  for (int i = 0; i < mm->Items->Count(); ++i) {
    TMenuItem* top = mm->Items->Items(i);
    if (!top->Visible || top->IsLine()) continue;
    if (bar->IsEnabledTop(pos) != top->Enabled) bar->EnableTop(pos, top->Enabled);
    ++pos;
  }
  for (auto& [id, it] : fw.menuIds) {
    wxMenuItem* mi = bar->FindItem(id);
    if (!mi) continue;
    if (mi->IsEnabled() != it->Enabled) mi->Enable(it->Enabled);
    if (mi->IsCheckable() && mi->IsChecked() != it->Checked) mi->Check(it->Checked);
  }
}

void WxDriver::Layout(FormWin& fw) {
  if (!fw.root) return;
  wxSize client = fw.top->GetClientSize();
  if (fw.root->GetSize() != client) fw.root->SetSize(client);
  // A form that needs more room than its window has (a small screen) scrolls instead of
  // cutting its controls; grids count narrow here, as they scroll sideways themselves.
  auto over = [&client](wxSize need) { return need.x > client.x || need.y > client.y; };
  wxSize need = fw.fitNarrow ? FormMinimum(fw) : FormNeeds(fw);
  // A form that does not fit its window is drawn tighter (see FormWin::fitX); a little at
  // first, then with its grids narrow too. It is fitted again when the window changes
  // size or the content outgrows it.
  if (client != fw.fitFor || over(need)) {
    fw.fitFor = client;
    for (bool narrowGrids : {false, true}) {
      fw.fitNarrow = narrowGrids;
      fw.fitX = fw.fitY = 1;
      need = narrowGrids ? FormMinimum(fw) : FormNeeds(fw);
      double least = narrowGrids ? 0.55 : 0.85;
      for (int i = 0; i < 8 && over(need); ++i) {
        if (need.x > client.x) fw.fitX = std::max(least, fw.fitX * client.x / need.x - 0.01);
        if (need.y > client.y) fw.fitY = std::max(least, fw.fitY * client.y / need.y - 0.01);
        need = narrowGrids ? FormMinimum(fw) : FormNeeds(fw);
      }
      if (!over(need)) break;
    }
  }
  bool narrow = fw.fitNarrow || over(need);
  if (narrow) need = FormMinimum(fw);
  int sb = wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, fw.root);
  if (sb <= 0) sb = 16;
  bool v = need.y > client.y;
  bool h = need.x > client.x - (v ? sb : 0);
  v = v || need.y > client.y - (h ? sb : 0);
  wxSize view(std::max(0, client.x - (v ? sb : 0)), std::max(0, client.y - (h ? sb : 0)));
  wxSize virt(std::max(view.x, need.x), std::max(view.y, need.y));
  if (fw.root->GetVirtualSize() != virt || fw.scrolls != (v || h)) {
    fw.scrolls = v || h;
    fw.root->SetScrollRate(fw.scrolls ? 10 : 0, fw.scrolls ? 10 : 0);
    fw.root->SetVirtualSize(virt);
  }
  ArrangeForm(fw, virt, narrow);
}

void WxDriver::Place(FormWin& fw) {
  TForm* f = fw.form;
  wxSize disp = wxGetDisplaySize();
  wxSize need = FormNeeds(fw);
  bool isMain = Application && Application->MainForm == f;
  wxSize client;
  if (isMain || f->WindowState == wsMaximized) {
    // A window manager maximizes within its work area, title bar included; without one
    // the window takes the whole display itself.
    if (!WindowManagerRunning()) {
      fw.top->SetPosition(wxPoint(0, 0));
      fw.top->SetSize(disp);
    }
    fw.top->Maximize();
    return;
  }
  int w = f->ClientWidth > 0 ? Sc(f->ClientWidth) : f->Width > 0 ? Sc(f->Width) : 0;
  int h = f->ClientHeight > 0 ? Sc(f->ClientHeight) : f->Height > 0 ? Sc(f->Height) - Sc(30) : 0;
  client.x = std::max(w, std::max(need.x, 240));
  client.y = std::max(h, std::max(need.y, 80));
  int menuH = fw.form->Menu ? 30 : 0;
  client.x = std::min(client.x, disp.x - 16);
  client.y = std::min(client.y, disp.y - 48 - menuH);
  fw.top->SetClientSize(client);
  fw.top->SetMinClientSize(wxSize(std::min(client.x, 200), std::min(client.y, 60)));
  wxSize outer = fw.top->GetSize();
  wxPoint pos;
  bool given = f->Position == poDesigned && (f->Left != 0 || f->Top != 0);
  if (given)
    pos = wxPoint(std::clamp(Sc(f->Left), 0, std::max(0, disp.x - outer.x)),
                  std::clamp(Sc(f->Top), 0, std::max(0, disp.y - outer.y)));
  else
    pos = wxPoint(std::max(0, (disp.x - outer.x) / 2), std::max(0, (disp.y - outer.y) / 2));
  fw.top->SetPosition(pos);
}

void WxDriver::Sync(FormWin& fw) {
  ++syncing_;
  try {
    TForm* f = fw.form;
    wxString title = W(f->Caption);
    if (fw.top->GetTitle() != title) fw.top->SetTitle(title);
    if (f->Color != clBtnFace) {
      wxColour bg = ToWx(f->Color);
      if (fw.root->GetBackgroundColour() != bg) fw.root->SetBackgroundColour(bg);
    } else if (fw.root->UseBgCol()) {
      // Back to the button face after a colour of its own (a stored document after a new one).
      fw.root->SetBackgroundColour(wxNullColour);
      fw.root->Refresh();
    }
    // A control just entered shows the model's selection (all of an edit's text).
    if (TWinControl* fc = f->FocusedControl(); fc != fw.entered) {
      fw.entered = fc;
      if (fc) caretDirty_.insert(fc);
    }
    SyncTree(fw, f, fw.root);
    SyncMenu(fw);
    if (!fw.placed) {
      Place(fw);
      fw.placed = true;
    }
    Layout(fw);
  } catch (...) {
    --syncing_;
    throw;
  }
  --syncing_;
}

void WxDriver::SyncFocus(FormWin& fw) {
  TForm* f = fw.form;
  if (!f->Showing() || !fw.top->IsShown() || ToolkitDialogUp()) return;
  if (!modal_.empty() && modal_.back() != &fw) return;
  TWinControl* fc = f->FocusedControl();
  if (!fc) {
    // A form with nothing focusable still takes keys (F1, shortcuts): the toolkit only
    // reports keys to a focused widget, so the form's own panel takes the focus.
    if (!wxWindow::FindFocus() && fw.top->IsActive())
      CallAfterIfAlive(f, [this, f] {
        FormWin* fw2 = WinOf(f);
        if (!fw2 || f->FocusedControl() || wxWindow::FindFocus() || !fw2->top->IsActive() || ToolkitDialogUp()) return;
        // The panel itself, not a child: its tool buttons take no focus.
        fw2->root->SetCanFocus(true);
        fw2->root->wxWindow::SetFocus();
      });
    return;
  }
  wxWindow* w = WidgetOf(fc);
  if (!w) return;
  if (auto it = fw.bound.find(fc); it != fw.bound.end() && !it->second.radios.empty()) {
    auto* rg = static_cast<TRadioGroup*>(fc);
    int i = std::clamp<int>(rg->ItemIndex, 0, static_cast<int>(it->second.radios.size()) - 1);
    w = it->second.radios[i];
  }
  if (auto* g = dynamic_cast<GridView*>(w)) w = g->GetGridWindow();
  wxWindow* now = wxWindow::FindFocus();
  if (now && (now == w || w->IsDescendant(now))) return;
  if (auto* g = dynamic_cast<GridView*>(now ? now->GetParent() : nullptr); g && g->IsCellEditControlShown()) return;
  if (now && dynamic_cast<wxGrid*>(now->GetParent() ? now->GetParent()->GetParent() : nullptr)) return;
  // Moved later: focus changes inside focus handlers confuse the toolkit.
  CallAfterIfAlive(f, [this, f, fc] {
    FormWin* fw2 = WinOf(f);
    if (!fw2 || !Alive(fc) || f->FocusedControl() != fc || ToolkitDialogUp()) return;
    wxWindow* target = WidgetOf(fc);
    if (auto it = fw2->bound.find(fc); it != fw2->bound.end() && !it->second.radios.empty()) {
      auto* rg = static_cast<TRadioGroup*>(fc);
      target = it->second.radios[std::clamp<int>(rg->ItemIndex, 0, static_cast<int>(it->second.radios.size()) - 1)];
    }
    if (auto* g = dynamic_cast<GridView*>(target)) target = g->GetGridWindow();
    wxWindow* cur = wxWindow::FindFocus();
    if (!target || (cur && (cur == target || target->IsDescendant(cur)))) return;
    ++syncing_;
    target->SetFocus();
    --syncing_;
  });
}

void WxDriver::AfterEvent() {
  if (inAfter_) return;
  inAfter_ = true;
  // Everything is synced now: a held repaint is drawn by the next loop.
  TControl* held = std::exchange(held_, nullptr);
  try {
    std::vector<FormWin*> shown;
    for (auto& [f, fw] : forms_)
      if (fw->top->IsShown()) shown.push_back(fw.get());
    for (FormWin* fw : shown)
      if (WinOf(fw->form)) Sync(*fw);
    for (FormWin* fw : shown)
      if (WinOf(fw->form)) SyncFocus(*fw);
  } catch (...) {
    inAfter_ = false;
    caretDirty_.clear();
    throw;
  }
  caretDirty_.clear();
  inAfter_ = false;
  if (wxWindow* w = held ? WidgetOf(held) : nullptr) w->Refresh();
  ExitEndedLoops();
}

void WxDriver::FormShown(TForm* form) {
  FormWin* fw = Ensure(form);
  Sync(*fw);
  if (!fw->top->IsShown()) {
    fw->firstFocus = true;
    // Every window but the main one belongs to the one it was opened from.
    bool isMain = Application && Application->MainForm == form;
    if (!isMain)
      if (wxWindow* owner = ActiveTop(); owner && owner != fw->top && owner->IsShown())
        OwnedBy(fw->top, owner);
    fw->top->Show();
    ModalHint(fw->top, form->IsModal());
    fw->top->Raise();
  }
  // Without a window manager the keyboard focus goes where we put it.
  wxTopLevelWindow* top = fw->top;
  CallAfterIfAlive(form, [this, top, form] {
    if (ToolkitDialogUp()) return;  // a box opened since stays on top
    top->Raise();
    if (FormWin* f = WinOf(form)) SyncFocus(*f);
  });
}

void WxDriver::FormHidden(TForm* form) {
  if (FormWin* fw = WinOf(form)) fw->top->Hide();
}

void WxDriver::FormDestroyed(TForm* form) {
  if (form == lastRepaint_) lastRepaint_ = nullptr;
  if (form == held_) held_ = nullptr;
  auto it = forms_.find(form);
  if (it == forms_.end()) return;
  FormWin* fw = it->second.get();
  if (held_ && fw->bound.count(held_)) held_ = nullptr;
  for (auto& [c, b] : fw->bound) {
    alive_.erase(c);
    if (auto* g = dynamic_cast<GridView*>(b.win)) g->Detach();
    if (auto* ct = dynamic_cast<Container*>(b.win)) ct->Detach();
    if (auto* p = dynamic_cast<Painted*>(b.win)) p->Detach();
    if (auto* n = dynamic_cast<NavigatorView*>(b.win)) n->Detach();
  }
  fw->ended = true;
  if (fw->loop && fw->loop->IsRunning()) fw->loop->ScheduleExit();
  // Find dialogs that belong to this window go with it.
  for (auto f = finds_.begin(); f != finds_.end();) {
    if (f->second->GetParent() != fw->top) {
      ++f;
      continue;
    }
    wxFindReplaceDialog* fd = f->second;
    f = finds_.erase(f);
    fd->Destroy();
  }
  fw->top->Hide();
  fw->top->Destroy();
  modal_.erase(std::remove(modal_.begin(), modal_.end(), fw), modal_.end());
  forms_.erase(it);
}

void WxDriver::ControlDestroyed(TControl* control) {
  if (control == lastRepaint_) lastRepaint_ = nullptr;
  if (control == held_) held_ = nullptr;
  if (control == refusedFocus_) refusedFocus_ = nullptr;
  if (!alive_.count(control)) return;
  alive_.erase(control);
  caretDirty_.erase(control);
  for (auto& [f, fw] : forms_) {
    auto it = fw->bound.find(control);
    if (it == fw->bound.end()) continue;
    wxWindow* w = it->second.win;
    if (auto* g = dynamic_cast<GridView*>(w)) g->Detach();
    if (auto* ct = dynamic_cast<Container*>(w)) ct->Detach();
    if (auto* p = dynamic_cast<Painted*>(w)) p->Detach();
    if (auto* n = dynamic_cast<NavigatorView*>(w)) n->Detach();
    // Children of this widget belong to controls being destroyed too.
    std::vector<TControl*> nested;
    for (auto& [c, b] : fw->bound)
      if (c != control && b.win && w->IsDescendant(b.win)) nested.push_back(c);
    for (TControl* c : nested) {
      alive_.erase(c);
      fw->bound.erase(c);
    }
    if (auto* nb = dynamic_cast<wxNotebook*>(w->GetParent())) {
      int i = nb->FindPage(w);
      if (i != wxNOT_FOUND) nb->RemovePage(i);
    }
    fw->bound.erase(it);
    w->Destroy();
  }
}

void WxDriver::RunModal(TForm* form) {
  FlushHeld();
  FormWin* fw = Ensure(form);
  fw->ended = false;
  modal_.push_back(fw);
  {
    // Every other window is disabled while the form is up.
    wxWindowDisabler disabler(fw->top);
    while (WinOf(form) && !fw->ended) {
      wxGUIEventLoop loop;
      fw->loop = &loop;
      loop.Run();
      if (WinOf(form)) fw->loop = nullptr;
      if (!WinOf(form)) break;
    }
  }
  if (WinOf(form)) {
    modal_.erase(std::remove(modal_.begin(), modal_.end(), fw), modal_.end());
    fw->loop = nullptr;
  }
  // Without a window manager nothing hands the keyboard back to the window below.
  TForm* below = !modal_.empty() ? modal_.back()->form : (Application ? Application->MainForm : nullptr);
  if (below && below != form && WinOf(below))
    CallAfterIfAlive(below, [this, below] {
      FormWin* b = WinOf(below);
      if (!b || !b->top->IsShown() || (!modal_.empty() && modal_.back() != b) || ToolkitDialogUp()) return;
      b->top->Raise();
      SyncFocus(*b);
    });
  // An outer modal form that ended while this one ran stops its loop now.
  if (!modal_.empty() && modal_.back()->ended && modal_.back()->loop)
    modal_.back()->loop->ScheduleExit();
  else if (modal_.empty() && quit_ && wxTheApp)
    wxTheApp->ExitMainLoop();  // the quit came while modal forms were up
}

void WxDriver::EndModal(TForm* form) {
  FormWin* fw = WinOf(form);
  if (!fw) return;
  fw->ended = true;
  ExitEndedLoops();
}

void WxDriver::ExitEndedLoops() {
  bool waiting = false;
  for (FormWin* fw : modal_) {
    if (!fw->ended || !fw->loop || !fw->loop->IsRunning()) continue;
    // Only the running loop may be told to stop: GTK would stop the innermost one.
    if (wxEventLoopBase::GetActive() == fw->loop)
      fw->loop->ScheduleExit();
    else
      waiting = true;
  }
  if (!waiting) {
    if (endTimer_) endTimer_->Stop();
    return;
  }
  if (!endTimer_) {
    endTimer_ = std::make_unique<wxTimer>();
    endTimer_->Bind(wxEVT_TIMER, [this](wxTimerEvent&) { ExitEndedLoops(); });
  }
  if (!endTimer_->IsRunning()) endTimer_->Start(50);
}

void WxDriver::RunMainLoop() {
  quit_ = false;
  if (!wxTheApp || quit_) return;
  wxTheApp->OnRun();
}

void WxDriver::QuitMainLoop() {
  quit_ = true;
  for (FormWin* fw : modal_) fw->ended = true;
  if (!modal_.empty()) {
    if (modal_.back()->loop) modal_.back()->loop->ScheduleExit();
    return;
  }
  if (wxTheApp) wxTheApp->ExitMainLoop();
}

void WxDriver::ProcessMessages() {
  FlushHeld();
  if (wxTheApp) wxTheApp->Yield(true);
}

void WxDriver::TimerChanged(TTimer* timer) {
  auto& mt = timers_[timer];
  if (!mt) mt = std::make_unique<ModelTimer>(timer);
  bool run = timer->Enabled && timer->Interval > 0;
  if (!run) {
    mt->Stop();
    return;
  }
  int ms = static_cast<int>(timer->Interval.get());
  if (!mt->IsRunning() || mt->GetInterval() != ms) mt->Start(ms);
}

void WxDriver::TimerDestroyed(TTimer* timer) {
  auto it = timers_.find(timer);
  if (it == timers_.end()) return;
  it->second->Stop();
  it->second->timer = nullptr;
  timers_.erase(it);
}

void WxDriver::HideDialog(TCommonDialog* dialog) {
  auto it = finds_.find(dialog);
  if (it == finds_.end()) return;
  wxFindReplaceDialog* fd = it->second;
  finds_.erase(it);
  fd->Destroy();
}

// ---- public functions -------------------------------------------------------------------------
wxWindow* WidgetOf(TControl* control) {
  return g_driver ? g_driver->WidgetOf(control) : nullptr;
}

wxTopLevelWindow* WindowOf(TForm* form) {
  if (!g_driver) return nullptr;
  FormWin* fw = g_driver->WinOf(form);
  return fw ? fw->top : nullptr;
}

}  // namespace tv::gui
