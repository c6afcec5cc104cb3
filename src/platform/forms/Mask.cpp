#include "platform/forms/Mask.h"

#include <algorithm>
#include <cwctype>

#include "platform/forms/Forms.h"

namespace tv::forms {
namespace {
std::u32string ToU32(const AnsiString& s) {
  std::u32string out;
  int n = s.Length();
  for (int i = 1; i <= n; ++i) out.push_back(s[i]);
  return out;
}
AnsiString FromU32(const std::u32string& s) {
  std::string out;
  for (char32_t c : s) out += tv::text::EncodeUtf8(c);
  return AnsiString(std::move(out));
}
bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }
bool IsLetter(char32_t c) {
  return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7);
}
char32_t Upper(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  return c;
}
char32_t Lower(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  return c;
}
bool IsEditClass(char32_t c) {
  switch (c) {
    case U'0': case U'9': case U'#': case U'L': case U'l': case U'A': case U'a': case U'C':
    case U'c':
      return true;
    default:
      return false;
  }
}
bool IsRequiredClass(char32_t c) { return c == U'0' || c == U'L' || c == U'A' || c == U'C'; }
}  // namespace

EditMaskSpec::EditMaskSpec(const AnsiString& mask) {
  std::u32string m = ToU32(mask);
  if (m.empty()) return;
  // Split off ";save;blank" from the end (the pattern itself may hold an escaped ';').
  std::u32string pattern = m;
  size_t last = m.rfind(U';');
  if (last != std::u32string::npos && last > 0) {
    size_t prev = m.rfind(U';', last - 1);
    if (prev != std::u32string::npos && (prev == 0 || m[prev - 1] != U'\\')) {
      pattern = m.substr(0, prev);
      std::u32string saveField = m.substr(prev + 1, last - prev - 1);
      std::u32string blankField = m.substr(last + 1);
      save_ = !(saveField == U"0");
      if (!blankField.empty()) blank_ = blankField[0];
    } else if (m[last - 1] != U'\\') {
      pattern = m.substr(0, last);
      save_ = !(m.substr(last + 1) == U"0");
    }
  }
  int caseMode = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    char32_t c = pattern[i];
    if (c == U'!') continue;
    if (c == U'>') {
      if (i + 1 < pattern.size() && pattern[i + 1] == U'<') { caseMode = 0; ++i; }
      else caseMode = 1;
      continue;
    }
    if (c == U'<') { caseMode = 2; continue; }
    Pos p;
    if (c == U'\\' && i + 1 < pattern.size()) {
      p.literal = true;
      p.ch = pattern[++i];
    } else if (IsEditClass(c)) {
      p.literal = false;
      p.ch = c;
      p.caseMode = caseMode;
    } else if (c == U'_') {
      p.literal = true;
      p.ch = U' ';
    } else if (c == U'/') {
      p.literal = true;
      p.ch = static_cast<unsigned char>(DateSeparator);
    } else if (c == U':') {
      p.literal = true;
      p.ch = static_cast<unsigned char>(TimeSeparator);
    } else {
      p.literal = true;
      p.ch = c;
    }
    pos_.push_back(p);
  }
}

std::u32string EditMaskSpec::Empty() const {
  std::u32string s;
  for (const Pos& p : pos_) s.push_back(p.literal ? p.ch : blank_);
  return s;
}

char32_t EditMaskSpec::Accept(int i, char32_t ch) const {
  if (i < 0 || i >= Size() || pos_[i].literal) return 0;
  const Pos& p = pos_[i];
  bool ok = false;
  switch (p.ch) {
    case U'0': case U'9': ok = IsDigit(ch); break;
    case U'#': ok = IsDigit(ch) || ch == U'+' || ch == U'-'; break;
    case U'L': case U'l': ok = IsLetter(ch); break;
    case U'A': case U'a': ok = IsLetter(ch) || IsDigit(ch); break;
    default: ok = ch >= 32; break;
  }
  if (!ok) return 0;
  if (p.caseMode == 1) return Upper(ch);
  if (p.caseMode == 2) return Lower(ch);
  return ch;
}

std::u32string EditMaskSpec::Format(const AnsiString& value) const {
  std::u32string v = ToU32(value);
  std::u32string out = Empty();
  size_t k = 0;
  for (int i = 0; i < Size() && k < v.size(); ++i) {
    if (pos_[i].literal) {
      if (v[k] == pos_[i].ch) ++k;
      continue;
    }
    char32_t c = v[k++];
    if (c == U' ' || c == blank_) continue;
    char32_t a = Accept(i, c);
    if (a) out[static_cast<size_t>(i)] = a;
  }
  return out;
}

AnsiString EditMaskSpec::TextOf(const std::u32string& edit) const {
  std::u32string out;
  for (int i = 0; i < Size() && i < static_cast<int>(edit.size()); ++i) {
    char32_t c = edit[static_cast<size_t>(i)];
    if (save_) {
      out.push_back(!pos_[i].literal && c == blank_ ? U' ' : c);
    } else if (!pos_[i].literal && c != blank_) {
      out.push_back(c);
    }
  }
  return FromU32(out);
}

int EditMaskSpec::NextEditPos(int i) const {
  while (i < Size() && pos_[i].literal) ++i;
  return i;
}

int EditMaskSpec::PrevEditPos(int i) const {
  while (i >= 0 && (i >= Size() || pos_[i].literal)) --i;
  return i;
}

bool EditMaskSpec::IsComplete(const std::u32string& edit) const {
  for (int i = 0; i < Size(); ++i)
    if (!pos_[i].literal && IsRequiredClass(pos_[i].ch) &&
        (static_cast<size_t>(i) >= edit.size() || edit[static_cast<size_t>(i)] == blank_))
      return false;
  return true;
}

bool EditMaskSpec::IsBlankAll(const std::u32string& edit) const {
  for (int i = 0; i < Size(); ++i)
    if (!pos_[i].literal && static_cast<size_t>(i) < edit.size() &&
        edit[static_cast<size_t>(i)] != blank_)
      return false;
  return true;
}

}  // namespace tv::forms

using tv::forms::EditMaskSpec;
using tv::forms::FromU32;
using tv::forms::ToU32;

TMaskEdit::TMaskEdit(TComponent* AOwner)
    : TCustomEdit(AOwner),
      EditMask([this](const AnsiString& m) { SetMask(m); }),
      EditText([this](const AnsiString& v) { SetEditTextValue(v); }) {}

void TMaskEdit::StoreEdit(const std::u32string& edit, int caret, bool byUser) {
  AnsiString newText = spec_.IsMasked() ? spec_.TextOf(edit) : FromU32(edit);
  bool changed = edit != edit_;
  edit_ = edit;
  EditText.Raw(FromU32(edit));
  Text.Raw(newText);
  SelStart = caret;
  SelLength = 0;
  if (byUser && changed) Modified = true;
  if (changed) Change();
}

void TMaskEdit::SetMask(const AnsiString& m) {
  AnsiString current = Text;
  EditMask.Raw(m);
  spec_ = EditMaskSpec(m);
  std::u32string e = spec_.IsMasked() ? spec_.Format(current) : ToU32(current);
  edit_ = e;
  EditText.Raw(FromU32(e));
  Text.Raw(spec_.IsMasked() ? spec_.TextOf(e) : current);
}

void TMaskEdit::SetText(const AnsiString& v) {
  Modified = false;
  if (!spec_.IsMasked()) {
    TCustomEdit::SetText(v);
    edit_ = ToU32(Text);
    EditText.Raw(Text.get());
    return;
  }
  StoreEdit(spec_.Format(v), 0, false);
}

// Without a mask EditText is the text itself, also inside OnChange.
void TMaskEdit::Change() {
  if (!spec_.IsMasked()) {
    edit_ = ToU32(Text);
    EditText.Raw(Text.get());
  }
  TCustomEdit::Change();
}

void TMaskEdit::SetEditTextValue(const AnsiString& v) {
  if (!spec_.IsMasked()) {
    SetText(v);
    return;
  }
  std::u32string e = ToU32(v);
  e.resize(static_cast<size_t>(spec_.Size()), spec_.Blank());
  StoreEdit(e, 0, false);
}

AnsiString TMaskEdit::DisplayText() const { return spec_.IsMasked() ? EditText.get() : TCustomEdit::DisplayText(); }

void TMaskEdit::ValidateEdit() {
  if (!spec_.IsMasked() || !Modified) return;
  if (!spec_.IsComplete(edit_))
    throw EDBEditError("Valor de entrada no válido. Use la tecla Esc para abandonar los cambios");
}

void TMaskEdit::DoExit() {
  ValidateEdit();
  TCustomEdit::DoExit();
}

void TMaskEdit::Reset() {
  Text = entered_;
  SelStart = 0;
  SelLength = spec_.Size();
}

bool TMaskEdit::WantsKey(Word key, TShiftState shift) const {
  return key == VK_ESCAPE && shift.Empty() && spec_.IsMasked() && Modified && !ReadOnly;
}

void TMaskEdit::DoEnter() {
  entered_ = Text;
  if (AutoSelect) {
    SelStart = 0;
    SelLength = spec_.IsMasked() ? spec_.Size() : Text.Length();
  }
  TWinControl::DoEnter();
}

void TMaskEdit::UserSetText(const AnsiString& text) {
  if (!spec_.IsMasked()) {
    TCustomEdit::UserSetText(text);
    return;
  }
  if (!Focused() && !UserFocus()) return;
  DispatchEvent([&] {
    if (ReadOnly) return;
    SelStart = 0;
    SelLength = spec_.Size();
  });
  int n = text.Length();
  for (int i = 1; i <= n; ++i) UserKeyPress(text[i]);
}

void TMaskEdit::KeyDown(Word& key, TShiftState shift) {
  if (!spec_.IsMasked()) {
    TCustomEdit::KeyDown(key, shift);
    edit_ = ToU32(Text);
    EditText.Raw(Text.get());
    return;
  }
  int size = spec_.Size();
  if (WantsKey(key, shift)) {
    Reset();
    key = 0;
    return;
  }
  if (MoveSelection(key, shift, size)) return;
  switch (key) {
    case VK_DELETE: {
      if (ReadOnly) break;
      std::u32string e = edit_;
      int from = std::clamp(SelStart, 0, size);
      int to = SelLength > 0 ? std::min(size, from + SelLength) : from + 1;
      for (int i = from; i < to && i < size; ++i)
        if (!spec_.IsLiteral(i)) e[static_cast<size_t>(i)] = spec_.Blank();
      StoreEdit(e, from, true);
      break;
    }
    default: break;
  }
}

void TMaskEdit::KeyPress(char32_t& ch) {
  if (!spec_.IsMasked()) {
    TCustomEdit::KeyPress(ch);
    edit_ = ToU32(Text);
    EditText.Raw(Text.get());
    return;
  }
  if (ReadOnly) return;
  int size = spec_.Size();
  std::u32string e = edit_;
  int caret = std::clamp(SelStart, 0, size);
  if (ch == 8) {
    if (SelLength > 0) {
      for (int i = caret; i < std::min(size, caret + SelLength); ++i)
        if (!spec_.IsLiteral(i)) e[static_cast<size_t>(i)] = spec_.Blank();
      StoreEdit(e, caret, true);
      return;
    }
    int p = spec_.PrevEditPos(caret - 1);
    if (p < 0) return;
    e[static_cast<size_t>(p)] = spec_.Blank();
    StoreEdit(e, p, true);
    return;
  }
  if (ch < 32) return;
  // typing over a selection blanks it first
  if (SelLength > 0) {
    for (int i = caret; i < std::min(size, caret + SelLength); ++i)
      if (!spec_.IsLiteral(i)) e[static_cast<size_t>(i)] = spec_.Blank();
    SelLength = 0;
  }
  // a literal typed where it stands (or just ahead) moves past it
  if (caret < size && spec_.IsLiteral(caret)) {
    int k = caret;
    while (k < size && spec_.IsLiteral(k)) {
      if (spec_.LiteralAt(k) == ch) {
        StoreEdit(e, k + 1, true);
        return;
      }
      ++k;
    }
  }
  int p = spec_.NextEditPos(caret);
  if (p >= size) {
    if (e != edit_) StoreEdit(e, caret, true);
    return;
  }
  char32_t a = spec_.Accept(p, ch);
  if (!a) {
    if (e != edit_) StoreEdit(e, caret, true);
    return;
  }
  e[static_cast<size_t>(p)] = a;
  StoreEdit(e, spec_.NextEditPos(p + 1), true);
}
