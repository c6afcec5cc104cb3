#include "platform/forms/StdCtrls.h"

#include <algorithm>
#include <cstdlib>

#include "platform/core/SysUtils.h"
#include "platform/forms/Forms.h"
#include "platform/forms/UiDriver.h"

namespace {
std::u32string ToU32(const AnsiString& s) {
  std::u32string out;
  int n = s.Length();
  out.reserve(static_cast<size_t>(n));
  for (int i = 1; i <= n; ++i) out.push_back(s[i]);
  return out;
}
AnsiString FromU32(const std::u32string& s) {
  std::string out;
  for (char32_t c : s) out += tv::text::EncodeUtf8(c);
  return AnsiString(std::move(out));
}
}  // namespace

// ---- TCustomEdit -------------------------------------------------------------------------
TCustomEdit::TCustomEdit(TComponent* AOwner)
    : TWinControl(AOwner), Text([this](const AnsiString& v) { SetText(v); }) {
  TabStop = true;
  Color = clWindow;
  Width = 121;
  Height = 21;
}

AnsiString TCustomEdit::ApplyCase(const AnsiString& s) const {
  if (CharCase == ecUpperCase) return AnsiUpperCase(s);
  if (CharCase == ecLowerCase) return AnsiLowerCase(s);
  return s;
}

void TCustomEdit::SetText(const AnsiString& v) {
  AnsiString t = ApplyCase(v);
  Modified = false;
  if (t == Text.get()) return;
  Text.Raw(t);
  SelStart = std::min(SelStart, t.Length());
  SelLength = 0;
  Change();
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::SelectAll() {
  SelStart = 0;
  SelLength = Text.Length();
}

AnsiString TCustomEdit::DisplayText() const {
  return AmountDisplay && !Focused() ? GroupedAmountText(Text) : Text.get();
}

AnsiString TCustomEdit::SelText() const {
  return Text.get().SubString(SelStart + 1, SelLength);
}

void TCustomEdit::DoEnter() {
  if (AutoSelect) SelectAll();
  TWinControl::DoEnter();
}

void TCustomEdit::UserEdit(const AnsiString& newText, int caret) {
  SelStart = caret;
  SelLength = 0;
  if (newText == Text.get()) return;
  Text.Raw(newText);
  Modified = true;
  Change();
}

void TCustomEdit::UserSetText(const AnsiString& text) {
  DispatchEvent([&] {
    TForm* f = ParentForm();
    if (!CanFocus() || !f || !f->FocusControl(this)) return;
    if (ReadOnly) return;
    AnsiString t = ApplyCase(text);
    if (MaxLength > 0 && t.Length() > MaxLength) t = t.SubString(1, MaxLength);
    UserEdit(t, t.Length());
  });
}

void TCustomEdit::UserType(const AnsiString& text) {
  if (!Focused() && !UserFocus()) return;
  int n = text.Length();
  for (int i = 1; i <= n; ++i) UserKeyPress(text[i]);
}

bool TCustomEdit::MoveSelection(Word key, TShiftState shift, int len) {
  if (shift.Contains(ssAlt)) return false;
  if (shift.Contains(ssCtrl) && (key == 'A' || key == 'a')) {
    SelStart = 0;
    SelLength = len;
    anchor_ = 0;
    return true;
  }
  if (key != VK_HOME && key != VK_END && key != VK_LEFT && key != VK_RIGHT) return false;
  int from = std::clamp(SelStart, 0, len);
  int to = std::clamp(from + std::max(0, SelLength), from, len);
  // Sin extremo fijo propio (selección hecha por código) el cursor queda al final.
  int anchor = (to > from && anchor_ == to) ? to : from;
  int caret = anchor == from ? to : from;
  bool extend = shift.Contains(ssShift);
  int target = caret;
  switch (key) {
    case VK_HOME: target = 0; break;
    case VK_END: target = len; break;
    case VK_LEFT: target = !extend && to > from ? from : std::max(0, caret - 1); break;
    default: target = !extend && to > from ? to : std::min(len, caret + 1); break;
  }
  if (extend) {
    SelStart = std::min(anchor, target);
    SelLength = std::abs(target - anchor);
    anchor_ = anchor;
  } else {
    SelStart = target;
    SelLength = 0;
    anchor_ = target;
  }
  return true;
}

void TCustomEdit::KeyDown(Word& key, TShiftState shift) {
  std::u32string t = ToU32(Text);
  int len = static_cast<int>(t.size());
  SelStart = std::clamp(SelStart, 0, len);
  if (MoveSelection(key, shift, len)) return;
  switch (key) {
    case VK_DELETE:
      if (ReadOnly || shift.Contains(ssCtrl)) break;
      if (SelLength > 0) {
        t.erase(static_cast<size_t>(SelStart), static_cast<size_t>(std::min(SelLength, len - SelStart)));
      } else if (SelStart < len) {
        t.erase(static_cast<size_t>(SelStart), 1);
      }
      UserEdit(FromU32(t), SelStart);
      break;
    default: break;
  }
}

void TCustomEdit::KeyPress(char32_t& ch) {
  if (ReadOnly) return;
  std::u32string t = ToU32(Text);
  int len = static_cast<int>(t.size());
  SelStart = std::clamp(SelStart, 0, len);
  int selLen = std::clamp(SelLength, 0, len - SelStart);
  if (ch == 8) {
    if (selLen > 0) {
      t.erase(static_cast<size_t>(SelStart), static_cast<size_t>(selLen));
    } else if (SelStart > 0) {
      t.erase(static_cast<size_t>(SelStart - 1), 1);
      --SelStart;
    }
    UserEdit(FromU32(t), SelStart);
    return;
  }
  // A memo's Enter arrives as a line break; other control characters are no text.
  if (ch < 32 && !(ch == U'\n' && dynamic_cast<TMemo*>(this))) return;
  if (selLen > 0) t.erase(static_cast<size_t>(SelStart), static_cast<size_t>(selLen));
  if (MaxLength > 0 && static_cast<int>(t.size()) >= MaxLength) {
    SelLength = 0;
    return;
  }
  AnsiString c = ApplyCase(FromU32(std::u32string(1, ch)));
  t.insert(static_cast<size_t>(SelStart), 1, c.Length() ? c[1] : ch);
  UserEdit(FromU32(t), SelStart + 1);
}

// ---- TMemo ---------------------------------------------------------------------------------
TMemo::TMemo(TComponent* AOwner) : TCustomEdit(AOwner) {
  Width = 185;
  Height = 89;
  Lines->OnChange = [this](TObject*) {
    if (syncing_) return;
    AnsiString t = Lines->Text();
    if (t == Text.get()) return;
    Text.Raw(t);
    Change();
  };
}

void TMemo::SetText(const AnsiString& v) {
  Modified = false;
  if (v == Text.get()) return;
  Text.Raw(v);
  syncing_ = true;
  Lines->SetText(v);
  syncing_ = false;
  Change();
}

void TMemo::Change() {
  if (!syncing_) {
    syncing_ = true;
    Lines->SetText(Text);
    syncing_ = false;
  }
  TCustomEdit::Change();
}

bool TMemo::WantsKey(Word key, TShiftState shift) const {
  // Ctrl+Enter is left to the form: it presses the default button.
  return (key == VK_RETURN && WantReturns && !shift.Contains(ssCtrl)) || (key == VK_TAB && WantTabs) ||
         (key >= VK_LEFT && key <= VK_DOWN);
}

void TMemo::KeyPress(char32_t& ch) {
  if (ch == 13) {
    if (!WantReturns || ReadOnly) return;
    char32_t nl = U'\n';
    TCustomEdit::KeyPress(nl);
  } else {
    TCustomEdit::KeyPress(ch);
  }
  syncing_ = true;
  Lines->SetText(Text);
  syncing_ = false;
}

// ---- buttons ---------------------------------------------------------------------------------
TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
  TabStop = true;
  Width = 75;
  Height = 25;
}

bool TButtonControl::WantsKey(Word, TShiftState) const { return false; }

void TButtonControl::KeyPress(char32_t& ch) {
  if (ch == U' ') Click();
}

void TButton::Click() {
  if (ModalResult != mrNone)
    if (TForm* f = ParentForm()) f->ModalResult = ModalResult;
  TControl::Click();
}

TCheckBox::TCheckBox(TComponent* AOwner)
    : TButtonControl(AOwner), Checked([this](const bool& v) {
        if (v == Checked.get()) return;
        Checked.Raw(v);
        Click();
      }, false) {
  Width = 97;
  Height = 17;
}

void TCheckBox::UserClick() {
  DispatchEvent([this] {
    if (!IsShowing()) return;
    TForm* f = ParentForm();
    if (f && !f->FocusControl(this)) return;
    Checked = !Checked;
  });
}

void TCheckBox::KeyPress(char32_t& ch) {
  if (ch == U' ') Checked = !Checked;
}

void TRadioButton::KeyPress(char32_t& ch) {
  if (ch == U' ') Checked = true;
}

TRadioButton::TRadioButton(TComponent* AOwner)
    : TButtonControl(AOwner), Checked([this](const bool& v) {
        if (v == Checked.get()) return;
        Checked.Raw(v);
        if (!v) return;
        if (TWinControl* p = Parent.get())
          for (int i = 0; i < p->ControlCount(); ++i)
            if (auto* rb = dynamic_cast<TRadioButton*>(p->Controls(i)); rb && rb != this)
              rb->Checked.Raw(false);
        Click();
      }, false) {
  Width = 113;
  Height = 17;
}

void TRadioButton::UserClick() {
  DispatchEvent([this] {
    if (!IsShowing()) return;
    TForm* f = ParentForm();
    if (f && !f->FocusControl(this)) return;
    if (Checked)
      Click();  // a click on a checked radio button still clicks
    else
      Checked = true;
  });
}

// ---- TComboBox -------------------------------------------------------------------------------
TComboBox::TComboBox(TComponent* AOwner)
    : TWinControl(AOwner),
      ItemIndex([this](const int& i) { SetItemIndex(i); }, -1),
      Text([this](const AnsiString& t) { SetText(t); }),
      Sorted([this](const bool& v) {
        Sorted.Raw(v);
        AnsiString keep = Text;
        Items->SetSorted(v);
        if (ItemIndex.get() >= 0) ItemIndex.Raw(Items->IndexOf(keep));
      }, false) {
  TabStop = true;
  Color = clWindow;
  Width = 145;
  Height = 21;
  Items->OnChange = [this](TObject*) {
    if (ItemIndex.get() >= Items->Count()) {
      ItemIndex.Raw(-1);
      if (Style == csDropDownList) Text.Raw("");
    }
  };
}

void TComboBox::SetItemIndex(int i) {
  if (i < -1 || i >= Items->Count()) i = -1;
  ItemIndex.Raw(i);
  Text.Raw(i >= 0 ? Items->Get(i) : AnsiString());
}

void TComboBox::SetText(const AnsiString& t) {
  int i = -1;
  for (int k = 0; k < Items->Count(); ++k)
    if (Items->Get(k) == t) { i = k; break; }
  if (i < 0) i = Items->IndexOf(t);
  if (Style == csDropDownList) {
    SetItemIndex(i);
    return;
  }
  Text.Raw(t);
  ItemIndex.Raw(i);
}

void TComboBox::Clear() {
  Items->Clear();
  ItemIndex.Raw(-1);
  Text.Raw("");
}

void TComboBox::UserSelect(int index) {
  DispatchEvent([&] {
    TForm* f = ParentForm();
    if (!CanFocus() || !f || !f->FocusControl(this)) return;
    if (index < 0 || index >= Items->Count() || index == ItemIndex.get()) return;
    SetItemIndex(index);
    Click();
    if (OnSelect)
      OnSelect(this);
    else if (OnChange)
      OnChange(this);
  });
}

void TComboBox::UserSetText(const AnsiString& text) {
  DispatchEvent([&] {
    TForm* f = ParentForm();
    if (!CanFocus() || !f || !f->FocusControl(this)) return;
    if (Style == csDropDownList) {
      int i = Items->IndexOf(text);
      if (i < 0 || i == ItemIndex.get()) return;
      SetItemIndex(i);
      Click();
      if (OnSelect) OnSelect(this); else if (OnChange) OnChange(this);
      return;
    }
    AnsiString t = text;
    if (CharCase == ecUpperCase) t = AnsiUpperCase(t);
    if (t == Text.get()) return;
    SetText(t);
    if (OnChange) OnChange(this);
  });
}

void TComboBox::KeyDown(Word& key, TShiftState) {
  int n = Items->Count();
  if (n == 0) return;
  int i = ItemIndex;
  if (key == VK_DOWN) i = std::min(n - 1, i + 1);
  else if (key == VK_UP) i = std::max(0, i - 1);
  else return;
  if (i == ItemIndex.get()) return;
  SetItemIndex(i);
  Click();
  if (OnSelect) OnSelect(this); else if (OnChange) OnChange(this);
}

void TComboBox::KeyPress(char32_t& ch) {
  if (Style == csDropDownList) {
    // jump to the next item that starts with the letter
    int n = Items->Count();
    AnsiString c = FromU32(std::u32string(1, ch));
    for (int k = 1; k <= n; ++k) {
      int i = (ItemIndex + k + n) % n;
      if (AnsiUpperCase(Items->Get(i).SubString(1, 1)) == AnsiUpperCase(c)) {
        SetItemIndex(i);
        Click();
        if (OnSelect) OnSelect(this); else if (OnChange) OnChange(this);
        return;
      }
    }
    return;
  }
  std::u32string t = ToU32(Text);
  if (ch == 8) {
    if (!t.empty()) t.pop_back();
  } else if (ch >= 32) {
    if (MaxLength > 0 && static_cast<int>(t.size()) >= MaxLength) return;
    t.push_back(ch);
  } else {
    return;
  }
  AnsiString nt = FromU32(t);
  if (CharCase == ecUpperCase) nt = AnsiUpperCase(nt);
  SetText(nt);
  if (OnChange) OnChange(this);
}

// ---- TListBox ----------------------------------------------------------------------------------
TListBox::TListBox(TComponent* AOwner)
    : TWinControl(AOwner), Sorted([this](const bool& v) {
        Sorted.Raw(v);
        Items->SetSorted(v);
      }, false) {
  TabStop = true;
  Color = clWindow;
  Width = 121;
  Height = 97;
  Items->OnChange = [this](TObject*) {
    if (ItemIndex >= Items->Count()) ItemIndex = -1;
  };
}

void TListBox::Clear() {
  Items->Clear();
  ItemIndex = -1;
}

void TListBox::UserSelect(int index) {
  DispatchEvent([&] {
    TForm* f = ParentForm();
    if (!CanFocus() || !f || !f->FocusControl(this)) return;
    if (index < 0 || index >= Items->Count()) return;
    ItemIndex = index;
    Click();
  });
}

bool TListBox::WantsKey(Word key, TShiftState) const { return key >= VK_LEFT && key <= VK_DOWN; }

void TListBox::KeyDown(Word& key, TShiftState) {
  int n = Items->Count();
  if (n == 0) return;
  int i = ItemIndex;
  if (key == VK_DOWN) i = std::min(n - 1, i + 1);
  else if (key == VK_UP) i = std::max(0, i - 1);
  else if (key == VK_HOME) i = 0;
  else if (key == VK_END) i = n - 1;
  else return;
  if (i == ItemIndex) return;
  ItemIndex = i;
  Click();
}
