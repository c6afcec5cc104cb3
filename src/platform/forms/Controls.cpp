#include "platform/forms/Controls.h"

#include <strings.h>

#include <algorithm>

#include "platform/core/Encoding.h"
#include "platform/core/SysUtils.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/UiDriver.h"

using tv::forms::Ui;

// ---- shortcuts ------------------------------------------------------------------------
TShortCut ShortCut(Word key, TShiftState shift) {
  TShortCut sc = key & 0xFF;
  if (shift.Contains(ssShift)) sc |= scShift;
  if (shift.Contains(ssCtrl)) sc |= scCtrl;
  if (shift.Contains(ssAlt)) sc |= scAlt;
  return sc;
}

namespace {
struct KeyName {
  const char* name;
  Word key;
};
const KeyName kKeyNames[] = {
    {"Enter", VK_RETURN}, {"Return", VK_RETURN}, {"Esc", VK_ESCAPE}, {"Escape", VK_ESCAPE},
    {"Tab", VK_TAB},      {"Space", VK_SPACE},   {"BkSp", VK_BACK},  {"Backspace", VK_BACK},
    {"Del", VK_DELETE},   {"Delete", VK_DELETE}, {"Ins", VK_INSERT}, {"Insert", VK_INSERT},
    {"Home", VK_HOME},    {"End", VK_END},       {"PgUp", VK_PRIOR}, {"PgDn", VK_NEXT},
    {"Left", VK_LEFT},    {"Right", VK_RIGHT},   {"Up", VK_UP},      {"Down", VK_DOWN},
};
}  // namespace

TShortCut TextToShortCut(const AnsiString& text) {
  std::string s = text.str();
  TShortCut mods = 0;
  for (;;) {
    auto eat = [&](const char* prefix, TShortCut bit) {
      size_t n = std::char_traits<char>::length(prefix);
      if (s.size() > n && strncasecmp(s.c_str(), prefix, n) == 0) {
        s = s.substr(n);
        mods |= bit;
        return true;
      }
      return false;
    };
    if (eat("Ctrl+", scCtrl) || eat("Shift+", scShift) || eat("Alt+", scAlt)) continue;
    break;
  }
  if (s.size() == 1) {
    char c = static_cast<char>(toupper(static_cast<unsigned char>(s[0])));
    return mods | static_cast<Word>(static_cast<unsigned char>(c));
  }
  if ((s[0] == 'F' || s[0] == 'f') && s.size() <= 3) {
    int n = atoi(s.c_str() + 1);
    if (n >= 1 && n <= 12) return mods | static_cast<Word>(VK_F1 + n - 1);
  }
  for (const auto& k : kKeyNames)
    if (strcasecmp(s.c_str(), k.name) == 0) return mods | k.key;
  return 0;
}

AnsiString ShortCutToText(TShortCut sc) {
  AnsiString r;
  if (sc & scShift) r += "Shift+";
  if (sc & scCtrl) r += "Ctrl+";
  if (sc & scAlt) r += "Alt+";
  Word key = sc & 0xFF;
  if (key >= VK_F1 && key <= VK_F12) return r + "F" + IntToStr(key - VK_F1 + 1);
  for (const auto& k : kKeyNames)
    if (k.key == key) return r + k.name;
  return r + AnsiString(static_cast<char>(key));
}

AnsiString StripAccelerator(const AnsiString& caption) {
  std::string out;
  const std::string& s = caption.str();
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&') {
      if (i + 1 < s.size() && s[i + 1] == '&') { out += '&'; ++i; }
      continue;
    }
    out += s[i];
  }
  return out;
}

char32_t AcceleratorOf(const AnsiString& caption) {
  const std::string& s = caption.str();
  for (size_t i = 0; i + 1 < s.size(); ++i) {
    if (s[i] != '&') continue;
    if (s[i + 1] == '&') { ++i; continue; }
    unsigned char c = static_cast<unsigned char>(s[i + 1]);
    if (c < 0x80) return static_cast<char32_t>(toupper(c));
    return 0;
  }
  return 0;
}

// ---- posted messages -------------------------------------------------------------------
namespace {
TWinControl* LiveWindow(HWND h) {
  std::function<TWinControl*(TWinControl*)> walk = [&](TWinControl* p) -> TWinControl* {
    if (p->Handle == h) return p;
    for (int i = 0; i < p->ControlCount(); ++i)
      if (auto* w = dynamic_cast<TWinControl*>(p->Controls(i)))
        if (TWinControl* r = walk(w)) return r;
    return nullptr;
  };
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (TWinControl* r = walk(Screen->Forms(i))) return r;
  return nullptr;
}
}  // namespace

bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
  Application->Post([hwnd, msg, wParam] {
    TWinControl* w = LiveWindow(hwnd);
    if (!w) return;
    if (msg == WM_KEYDOWN) w->UserKeyDown(static_cast<Word>(wParam));
    if (msg == WM_CHAR) w->UserKeyPress(static_cast<char32_t>(wParam));
    if (msg == WM_CLOSE)
      if (TForm* f = w->ParentForm()) DispatchEvent([f] { f->Close(); });
  });
  return true;
}

void PostQuitMessage(int) { Application->Terminate(); }

// ---- event dispatch -------------------------------------------------------------------
void DispatchEvent(const std::function<void()>& handler) {
  ++Application->depth_;
  try {
    handler();
  } catch (const tv::forms::UiScriptError&) {
    --Application->depth_;
    throw;
  } catch (...) {
    try {
      Application->HandleException(nullptr);
    } catch (...) {
      --Application->depth_;
      throw;
    }
  }
  --Application->depth_;
  Application->AfterEvent();
}

// ---- TControl ---------------------------------------------------------------------------
TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), Parent([this](TWinControl* const& p) { SetParent(p); }, nullptr) {}

TControl::~TControl() {
  if (TForm* f = ParentForm(); f && f != static_cast<TControl*>(this)) f->ControlRemoved(this);
  if (TWinControl* p = Parent.get()) {
    auto& v = p->children_;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
  }
  Ui().ControlDestroyed(this);
}

void TControl::SetParent(TWinControl* p) {
  TWinControl* old = Parent.get();
  if (old == p) return;
  if (old) {
    auto& v = old->children_;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
  }
  Parent.Raw(p);
  if (p) {
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
      int n = 0;
      for (TControl* c : p->children_)
        if (dynamic_cast<TWinControl*>(c)) ++n;
      w->TabOrder.Raw(n);
    }
    p->children_.push_back(this);
  }
}

void TControl::SetBounds(int l, int t, int w, int h) {
  Left = l;
  Top = t;
  Width = w;
  Height = h;
}

void TControl::UserResize(int width, int height) {
  DispatchEvent([&] {
    Width = width;
    Height = height;
    Resized();
  });
}

void TControl::Repaint() { Ui().Repaint(this); }
void TControl::Invalidate() {}

bool TControl::IsShowing() const {
  const TControl* c = this;
  while (c) {
    if (auto* f = dynamic_cast<const TForm*>(c)) return f->Showing() && f->Enabled;
    if (!c->Visible || !c->Enabled) return false;
    c = c->Parent.get();
  }
  return false;
}

TWinControl* TControl::TopParent() const {
  const TControl* c = this;
  while (c->Parent.get()) c = c->Parent.get();
  return const_cast<TWinControl*>(dynamic_cast<const TWinControl*>(c));
}

TForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c) {
    if (auto* f = dynamic_cast<const TForm*>(c)) return const_cast<TForm*>(f);
    c = c->Parent.get();
  }
  return nullptr;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::UserClick() {
  DispatchEvent([this] {
    if (!IsShowing()) return;
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->TabStop && w->CanFocus()) {
      TForm* f = ParentForm();
      if (f && !f->FocusControl(w)) return;
    }
    Click();
  });
}

void TControl::UserDblClick() {
  DispatchEvent([this] {
    if (!IsShowing()) return;
    if (OnDblClick) OnDblClick(this);
  });
}

void TControl::UserMouseMove(int x, int y, TShiftState shift) {
  DispatchEvent([&] {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
  });
}

// ---- TWinControl -------------------------------------------------------------------------
TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  for (TControl* c : children_) c->Parent.Raw(nullptr);
  children_.clear();
}

bool TWinControl::Focused() const {
  TForm* f = ParentForm();
  return f && f->Showing() && f->FocusedControl() == this;
}

bool TWinControl::CanFocus() const { return IsShowing(); }

void TWinControl::SetFocus() {
  TForm* f = ParentForm();
  if (!f) return;
  if (f == this) {
    Screen->ActivateForm(f);
    return;
  }
  if (f->Showing() && !CanFocus())
    throw Exception("No se puede enfocar una ventana deshabilitada o invisible");
  f->FocusControl(this);
}

std::vector<TWinControl*> TWinControl::TabOrdered() const {
  std::vector<TWinControl*> v;
  for (TControl* c : children_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) v.push_back(w);
  std::stable_sort(v.begin(), v.end(),
                   [](TWinControl* a, TWinControl* b) { return a->TabOrder < b->TabOrder; });
  return v;
}

void TWinControl::SetTabOrder(int v) {
  TWinControl* p = Parent.get();
  if (!p) {
    TabOrder.Raw(v);
    return;
  }
  std::vector<TWinControl*> order = p->TabOrdered();
  order.erase(std::remove(order.begin(), order.end(), this), order.end());
  int at = std::clamp(v, 0, static_cast<int>(order.size()));
  order.insert(order.begin() + at, this);
  for (size_t i = 0; i < order.size(); ++i) order[i]->TabOrder.Raw(static_cast<int>(i));
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}
void TWinControl::KeyDown(Word&, TShiftState) {}
void TWinControl::KeyPress(char32_t&) {}
bool TWinControl::WantsKey(Word, TShiftState) const { return false; }

bool TWinControl::UserFocus() {
  bool ok = false;
  DispatchEvent([&] {
    TForm* f = ParentForm();
    if (!f || !CanFocus()) return;
    ok = f->FocusControl(this);
  });
  return ok;
}

namespace {
// The character a key produces, or 0.
char32_t CharOfKey(Word key, TShiftState shift) {
  if (shift.Contains(ssAlt)) return 0;
  if (key == VK_RETURN) return 13;
  if (key == VK_ESCAPE) return 27;
  if (key == VK_BACK) return 8;
  if (key >= 'A' && key <= 'Z') {
    if (shift.Contains(ssCtrl)) return key - 'A' + 1;
    return shift.Contains(ssShift) ? key : key - 'A' + 'a';
  }
  if (shift.Contains(ssCtrl)) return 0;
  if ((key >= '0' && key <= '9') || key == VK_SPACE) return key;
  return 0;
}

bool IsButtonLike(TControl* c) { return dynamic_cast<TButtonControl*>(c) != nullptr; }

// Dialog keys: Enter (default or focused button), Esc (cancel button), Tab, accelerators.
bool DialogKey(TForm* form, TWinControl* focused, Word key, TShiftState shift) {
  if (key == VK_TAB && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt)) {
    form->SelectNext(focused, !shift.Contains(ssShift));
    return true;
  }
  // Ctrl+Enter presses the default button also from a box that takes Enter itself.
  bool ctrlEnter = key == VK_RETURN && shift == TShiftState{ssCtrl};
  if (((key == VK_RETURN || key == VK_ESCAPE) && shift.Empty()) || ctrlEnter) {
    if (key == VK_RETURN)
      if (auto* b = dynamic_cast<TButton*>(focused)) {
        b->Click();
        return true;
      }
    for (TWinControl* w : form->TabSequence()) {
      auto* b = dynamic_cast<TButton*>(w);
      if (!b || !b->CanFocus()) continue;
      if ((key == VK_RETURN && b->Default) || (key == VK_ESCAPE && b->Cancel)) {
        b->Click();
        return true;
      }
    }
    // Sin botón marcado Cancel, Esc pulsa el que cancela o cierra la ventana.
    if (key == VK_ESCAPE)
      for (TWinControl* w : form->TabSequence()) {
        auto* b = dynamic_cast<TButton*>(w);
        if (!b || !b->CanFocus()) continue;
        auto* bb = dynamic_cast<TBitBtn*>(b);
        if (b->ModalResult == mrCancel || (bb && (bb->Kind.get() == bkClose || bb->Kind.get() == bkCancel))) {
          b->Click();
          return true;
        }
      }
    return false;
  }
  bool alt = shift.Contains(ssAlt) && !shift.Contains(ssCtrl);
  bool plain = shift.Empty() && IsButtonLike(focused);
  if ((alt || plain) && key >= '0' && key <= 'Z') {
    std::function<bool(TWinControl*)> visit = [&](TWinControl* parent) -> bool {
      for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (!c->IsShowing()) continue;
        if (AcceleratorOf(c->Caption) == key) {
          if (auto* lbl = dynamic_cast<TLabel*>(c)) {
            if (lbl->FocusControl && lbl->FocusControl->CanFocus()) {
              form->FocusControl(lbl->FocusControl);
              return true;
            }
          } else if (auto* cb = dynamic_cast<TCheckBox*>(c)) {
            if (form->FocusControl(cb)) cb->Checked = !cb->Checked;
            return true;
          } else if (auto* rb = dynamic_cast<TRadioButton*>(c)) {
            if (form->FocusControl(rb)) rb->Checked = true;
            return true;
          } else if (dynamic_cast<TButton*>(c)) {
            c->Click();
            return true;
          }
        }
        if (auto* w = dynamic_cast<TWinControl*>(c); w && visit(w)) return true;
      }
      return false;
    };
    return visit(form);
  }
  return false;
}
}  // namespace

void TWinControl::UserKeyDown(Word key, TShiftState shift) {
  bool consumed = true;
  DispatchEvent([&] {
    TForm* form = ParentForm();
    if (form && !form->Showing()) return;
    if (form && form->Menu) {
      if (TMenuItem* mi = form->Menu->Items->FindShortCut(ShortCut(key, shift))) {
        if (mi->Enabled && mi->Visible) mi->Click();
        return;
      }
    }
    if (form && !WantsKey(key, shift) && DialogKey(form, this == form ? nullptr : this, key, shift))
      return;
    consumed = false;
    Word k = key;
    if (form && form != this && form->KeyPreview && form->OnKeyDown) {
      form->OnKeyDown(form, k, shift);
    }
    if (k && OnKeyDown) OnKeyDown(this, k, shift);
    if (k) KeyDown(k, shift);
  });
  // The character message follows the key, as the system translates it.
  if (char32_t ch = CharOfKey(key, shift); ch && !consumed) {
    TForm* form = ParentForm();
    if (form && form->Showing() && (form == this || form->FocusedControl() == this))
      UserKeyPress(ch);
  }
}

void TWinControl::UserKeyPress(char32_t ch) {
  DispatchEvent([&] {
    TForm* form = ParentForm();
    if (form && !form->Showing()) return;
    // Handlers see the character as the single byte the original used.
    char k;
    if (ch < 0x80) {
      k = static_cast<char>(ch);
    } else {
      std::string b = tv::encoding::Utf8ToCp1252(tv::text::EncodeUtf8(ch));
      k = b.empty() ? '?' : b[0];
    }
    const char orig = k;
    if (form && form != this && form->KeyPreview && form->OnKeyPress) form->OnKeyPress(form, k);
    if (k && OnKeyPress) OnKeyPress(this, k);
    if (!k) return;
    char32_t c = ch;
    if (k != orig) {
      unsigned char u = static_cast<unsigned char>(k);
      if (u < 0x80) {
        c = u;
      } else {
        std::string s = tv::encoding::Cp1252ToUtf8(std::string(1, k));
        AnsiString a(s);
        c = a.Length() ? a[1] : U'?';
      }
    }
    KeyPress(c);
  });
}
