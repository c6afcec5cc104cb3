#pragma once
// Masked edit and its edit-mask language.
//
// A mask is "pattern;save;blank". Pattern characters: 0 digit (required), 9 digit
// (optional), # digit or sign (optional), L/l letter, A/a letter or digit, C/c any
// character (upper case = required), > upper-cases and < lower-cases what follows (<>
// stops), \ makes the next character a literal, _ is a literal blank, ! is a flag; any
// other character (/, :, ., ",", blank, ...) is a literal. save 1 keeps the literals in
// Text, 0 leaves them out; blank is the character that marks an empty position in
// EditText (default '_').
//
// EditText always holds every position: literals, characters typed and blanks.
// Text: with save 1, EditText with blanks as spaces ("  /  /    " for an empty date);
// with save 0, the characters typed, without literals or empty positions ("1234567"
// for "1,234,567"). Writing Text (or EditMask) fills the edit positions from the left
// with the characters of the value; a value character equal to the literal at a literal
// position is taken as that literal. Typing is enforced character by character: a
// character that does not fit its position is refused, typing a literal jumps past it.
// Leaving a modified edit whose required positions are not all filled raises
// EDBEditError and keeps the focus there; Esc in a modified edit gives the typing up
// (the text it had on entry comes back) and goes no further.
#include <vector>

#include "platform/core/SysUtils.h"
#include "platform/forms/StdCtrls.h"

class EDBEditError : public Exception {
 public:
  using Exception::Exception;
};

namespace tv::forms {

class EditMaskSpec {
 public:
  EditMaskSpec() = default;
  explicit EditMaskSpec(const AnsiString& mask);

  bool IsMasked() const { return !pos_.empty(); }
  bool SaveLiterals() const { return save_; }
  char32_t Blank() const { return blank_; }
  int Size() const { return static_cast<int>(pos_.size()); }
  bool IsLiteral(int i) const { return pos_[i].literal; }
  char32_t LiteralAt(int i) const { return pos_[i].ch; }

  // EditText of an empty edit.
  std::u32string Empty() const;
  // EditText for a value written from code.
  std::u32string Format(const AnsiString& value) const;
  // Text of an EditText.
  AnsiString TextOf(const std::u32string& editText) const;
  // The character to store when ch is typed at position i, or 0 when it does not fit.
  char32_t Accept(int i, char32_t ch) const;
  // First edit position at or after i (Size() when none).
  int NextEditPos(int i) const;
  int PrevEditPos(int i) const;  // -1 when none
  // Required positions filled (an entirely empty edit is not complete either).
  bool IsComplete(const std::u32string& editText) const;
  bool IsBlankAll(const std::u32string& editText) const;

 private:
  struct Pos {
    bool literal = true;
    char32_t ch = 0;  // literal character or class letter
    int caseMode = 0; // 1 upper, 2 lower
  };
  std::vector<Pos> pos_;
  bool save_ = true;
  char32_t blank_ = U'_';
};

}  // namespace tv::forms

class TMaskEdit : public TCustomEdit {
 public:
  explicit TMaskEdit(TComponent* AOwner);
  AnsiString ClassName() const override { return "TMaskEdit"; }
  TControlKind ControlKind() const override { return TControlKind::MaskEdit; }

  // Writing the mask re-formats the current Text with it.
  TProp<AnsiString> EditMask;
  // Every position, literals and blanks included; writing it fires OnChange.
  TProp<AnsiString> EditText;

  bool IsMasked() const { return spec_.IsMasked(); }
  const tv::forms::EditMaskSpec& Spec() const { return spec_; }
  // Raises EDBEditError when a modified edit leaves required positions empty.
  void ValidateEdit();
  // Gives the typing up: the text the edit had when it got the focus.
  virtual void Reset();
  bool WantsKey(Word key, TShiftState shift) const override;

  AnsiString DisplayText() const override;
  void UserSetText(const AnsiString& text) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& ch) override;
  void DoExit() override;
  void DoEnter() override;

 protected:
  void SetText(const AnsiString& v) override;
  void Change() override;

 private:
  void SetMask(const AnsiString& m);
  void SetEditTextValue(const AnsiString& v);
  void StoreEdit(const std::u32string& edit, int caret, bool byUser);
  tv::forms::EditMaskSpec spec_;
  std::u32string edit_;
  AnsiString entered_;  // Text when the focus came in
};
