// Keyboard and focus input from the widgets: characters go to the focused model control,
// other keys through the model's key handling, with the exceptions the toolkit keeps (a cell
// editor's text keys, a combo's entry, the menu bar).
#include <wx/grid.h>

#include <dlfcn.h>

#include <utility>
#include <vector>

#include "gui/Driver.h"
#include "gui/Grid.h"

namespace tv::gui {

using K = TControlKind;

void WxDriver::PushSelection(TControl* c) {
  auto* e = dynamic_cast<TCustomEdit*>(c);
  if (!e) return;
  auto* t = dynamic_cast<wxTextCtrl*>(WidgetOf(c));
  if (!t) return;
  long from = 0, to = 0;
  t->GetSelection(&from, &to);
  FormWin* fw = WinOf(c->ParentForm());
  auto it = fw ? fw->bound.find(c) : decltype(fw->bound.end()){};
  // Keys go to the model, which keeps its selection (and which end of it is fixed); only a
  // selection made with the mouse comes from the widget. The toolkit's own idea of the
  // selection at a key press is not reliable (it may drop it before the character comes).
  if (!fw || it == fw->bound.end() || it->second.mouseSel) {
    e->SelStart = static_cast<int>(from);
    e->SelLength = static_cast<int>(to - from);
    if (fw && it != fw->bound.end()) {
      it->second.mouseSel = false;
      it->second.selStart = e->SelStart;
      it->second.selLength = e->SelLength;
    }
  }
  caretDirty_.insert(c);
}

void WxDriver::OnWidgetPress(TControl* c) {
  // A click chose where the keyboard goes: the focus it brings is the user's, not the
  // toolkit's first pick for a window just shown.
  if (!Alive(c) || !c->ParentForm()) return;
  refusedFocus_ = nullptr;
  if (FormWin* owner = WinOf(c->ParentForm())) owner->firstFocus = false;
}

void WxDriver::OnWidgetFocus(TControl* c) {
  if (!Alive(c)) return;
  FormWin* owner = c->ParentForm() ? WinOf(c->ParentForm()) : nullptr;
  bool first = owner && std::exchange(owner->firstFocus, false);
  if (Syncing()) {
    // The model moved the focus here (Tab, code): once the toolkit has settled the focus,
    // the edit shows the model's selection, not the toolkit's own idea of it.
    if (TakesChars(c->ControlKind()))
      CallAfterIfAlive(c->ParentForm(), [this, c] {
        if (!Alive(c) || c->ParentForm()->FocusedControl() != c) return;
        caretDirty_.insert(c);
        AfterEvent();
      });
    return;
  }
  auto* w = dynamic_cast<TWinControl*>(c);
  TForm* f = c->ParentForm();
  if (!w || !f || f->FocusedControl() == w) return;
  // A window just shown gets the keyboard on the toolkit's first control in its own order;
  // the form's first control (its active one) takes it back.
  if (first && f->FocusedControl()) {
    CallAfterIfAlive(f, [this, f] {
      if (FormWin* fw = WinOf(f)) SyncFocus(*fw);
    });
    return;
  }
  // The same refusal again would bring its message again, and so on forever: the focus goes
  // back quietly.
  if (c == refusedFocus_) {
    AfterEvent();
    return;
  }
  // At once, so that keys typed next reach the control that has the focus.
  TWinControl* before = f->FocusedControl();
  if (!w->UserFocus()) {
    if (Alive(c) && before && f->FocusedControl() == before) refusedFocus_ = c;
    AfterEvent();
  }
}

void WxDriver::CatchUpFocus(FormWin& fw) {
  wxWindow* now = wxWindow::FindFocus();
  if (!now) return;
  for (auto& [c, b] : fw.bound) {
    if (!b.win || !(b.win == now || b.win->IsDescendant(now))) continue;
    auto* w = dynamic_cast<TWinControl*>(c);
    if (!w || dynamic_cast<TWinControl*>(c)->ControlCount() > 0) continue;  // containers hold others
    if (fw.form->FocusedControl() != w && Alive(w)) w->UserFocus();
    return;
  }
}

void WxDriver::OnWidgetChar(TControl* c, wxKeyEvent& e) {
  if (!Alive(c)) {
    e.Skip();
    return;
  }
  K k = c->ControlKind();
  wxChar ch = e.GetUnicodeKey();
  if (ch == WXK_NONE || ch < 32 || ch == 127 || e.RawControlDown() || e.AltDown()) {
    e.Skip();
    return;
  }
  if (k == K::ComboBox && static_cast<TComboBox*>(c)->Style != csDropDownList) {
    e.Skip();  // the combo's own entry edits; its text event reports the result
    return;
  }
  auto* w = static_cast<TWinControl*>(c);
  if (TForm* f = c->ParentForm(); f && f->FocusedControl() != w) {
    if (FormWin* fw = WinOf(f)) CatchUpFocus(*fw);
    if (!Alive(c)) return;
  }
  if (TakesChars(k)) PushSelection(c);
  w->UserKeyPress(static_cast<char32_t>(ch));
}

bool WxDriver::EndCellEdits(TForm* f, std::function<void()> then) {
  FormWin* fw = f ? WinOf(f) : nullptr;
  if (!fw) return false;
  std::vector<GridView*> open;
  for (auto& [c, b] : fw->bound)
    if (auto* g = dynamic_cast<GridView*>(b.win); g && g->Model() && g->IsCellEditControlEnabled()) open.push_back(g);
  if (open.empty()) return false;
  // Ending an edit may move the focus, and the sync that follows may change the bound widgets.
  for (size_t i = 0; i + 1 < open.size(); ++i) open[i]->CommitEdit([] {});
  if (!open.back()->CommitEdit(then)) then();
  return true;
}

namespace {
// Keys that act on the form (buttons, menus, the grid's own commands) rather than on the
// text of an open cell editor.
bool IsShortcut(const wxKeyEvent& e) {
  int k = e.GetKeyCode();
  if (k >= WXK_F1 && k <= WXK_F24) return true;
  if (e.AltDown()) return true;
  if (!e.RawControlDown()) return false;
  switch (k) {
    // The text box's own editing and moving keys.
    case 'A': case 'C': case 'V': case 'X': case 'Z': case 'Y': case WXK_INSERT: case WXK_LEFT: case WXK_RIGHT:
    case WXK_HOME: case WXK_END: case WXK_BACK: case WXK_DELETE: case WXK_RETURN: case WXK_NUMPAD_ENTER:
      return false;
    default:
      return true;
  }
}
}  // namespace

bool WxDriver::MenuBarKey(FormWin& fw, const wxKeyEvent& e) const {
  auto* frame = dynamic_cast<wxFrame*>(fw.top);
  TMainMenu* mm = fw.form->Menu;
  if (!frame || !frame->GetMenuBar() || !mm) return false;
  int k = e.GetKeyCode();
  TShiftState sh = ShiftOf(e);
  if (Word vk = KeyToVk(k); vk && mm->Items->FindShortCut(ShortCut(vk, sh))) return false;  // the item's own key
  if (k == WXK_F10) return !e.HasAnyModifiers();
  if (!e.AltDown() || e.RawControlDown() || !((k >= 'A' && k <= 'Z') || (k >= '0' && k <= '9'))) return false;
  bool top = false;
  for (int i = 0; i < mm->Items->Count(); ++i) {
    TMenuItem* it = mm->Items->Items(i);
    if (it->Visible && it->Enabled && !it->IsLine() && AcceleratorOf(it->Caption) == static_cast<char32_t>(k)) top = true;
  }
  if (!top) return false;
  // A control's own accelerator comes first, as in a dialog.
  bool claimed = false;
  ForEachControl(fw.form, [&](TControl* c) {
    if (!claimed && c->IsShowing() && AcceleratorOf(c->Caption) == static_cast<char32_t>(k)) claimed = true;
  });
  return !claimed;
}

void WxDriver::SendKey(FormWin& fw, Word vk, TShiftState shift) {
  TForm* f = fw.form;
  CatchUpFocus(fw);
  if (!WinOf(f)) return;
  TWinControl* target = f->FocusedControl() ? f->FocusedControl() : f;
  PushSelection(target);
  target->UserKeyDown(vk, shift);
}

void WxDriver::OnCharHook(FormWin* fw, wxKeyEvent& e) {
  if (!WinOf(fw->form) || !fw->form->Showing()) {
    e.Skip();
    return;
  }
  // An open menu of the bar moves, chooses and closes with the keys itself.
  if (fw->menusOpen > 0) {
    e.Skip();
    return;
  }
  int key = e.GetKeyCode();
  if (key == WXK_SHIFT || key == WXK_CONTROL || key == WXK_ALT || key == WXK_RAW_CONTROL || key == WXK_WINDOWS_LEFT) {
    e.Skip();
    return;
  }
  // Keys in a cell editor belong to the editor, except those that end the edit; a shortcut
  // ends it first and then acts, on the text typed.
  for (wxWindow* p = wxWindow::FindFocus(); p; p = p->GetParent()) {
    if (auto* g = dynamic_cast<GridView*>(p); g && g->IsCellEditControlShown()) {
      Word vk = KeyToVk(key);
      if (vk && IsShortcut(e) && !MenuBarKey(*fw, e)) {
        TForm* f = fw->form;
        TShiftState sh = ShiftOf(e);
        g->CommitEdit([this, f, vk, sh] {
          if (FormWin* w = WinOf(f)) SendKey(*w, vk, sh);
        });
        return;
      }
      if (!g->EditorKey(e)) e.Skip();
      return;
    }
    if (p == fw->top) break;
  }
  // The menu bar opens from the keyboard (the toolkit runs it).
  if (MenuBarKey(*fw, e)) {
    e.Skip();
    return;
  }
  wxChar uc = e.GetUnicodeKey();
  bool printable = uc != WXK_NONE && uc >= 32 && uc != 127 && !e.RawControlDown() && !e.AltDown();
  if (printable) {
    e.Skip();  // arrives as a character at the focused widget
    return;
  }
  Word vk = KeyToVk(key);
  if (!vk) {
    e.Skip();
    return;
  }
  TForm* f = fw->form;
  refusedFocus_ = nullptr;
  CatchUpFocus(*fw);
  if (!WinOf(f)) return;
  TWinControl* target = f->FocusedControl() ? f->FocusedControl() : f;
  if (target->ControlKind() == K::ComboBox) {
    auto* cb = static_cast<TComboBox*>(target);
    // Alt+Down opens the list; the toolkit's list then takes arrows, Enter and Esc.
    if (vk == VK_DOWN && e.AltDown() && !e.RawControlDown()) {
      if (auto* co = dynamic_cast<wxComboBox*>(WidgetOf(cb))) {
        co->Popup();
      } else if (wxWindow* ch = WidgetOf(cb)) {
        using Popup = void (*)(void*);
        static auto popup = reinterpret_cast<Popup>(dlsym(RTLD_DEFAULT, "gtk_combo_box_popup"));
        if (popup && ch->GetHandle()) popup(ch->GetHandle());
      }
      return;
    }
    // The combo's text entry edits by itself (Ctrl+A selects all of it).
    bool entryKey = vk == VK_LEFT || vk == VK_RIGHT || vk == VK_HOME || vk == VK_END || vk == VK_BACK ||
                    vk == VK_DELETE || (vk == 'A' && e.RawControlDown() && !e.AltDown());
    if (cb->Style != csDropDownList && entryKey) {
      e.Skip();
      return;
    }
  }
  if (vk == VK_RETURN && e.RawControlDown() && target->ControlKind() == K::DBGrid) {
    // Ctrl+Enter presses the button of an ellipsis column.
    if (auto* g = dynamic_cast<GridView*>(WidgetOf(target)); g && g->HasEllipsis(g->GetGridCursorCol())) {
      g->ClickEllipsis();
      return;
    }
  }
  PushSelection(target);
  target->UserKeyDown(vk, ShiftOf(e));
}

}  // namespace tv::gui
