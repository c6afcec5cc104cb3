#pragma once
// Standard controls: labels, edits, memos, buttons, check boxes, radio buttons, combo and
// list boxes, group boxes.
#include "platform/forms/Controls.h"

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* AOwner);
  AnsiString ClassName() const override { return "TCustomEdit"; }
  TControlKind ControlKind() const override { return TControlKind::Edit; }

  // Writing Text from code fires OnChange when the text differs (and clears Modified).
  TProp<AnsiString> Text;
  int MaxLength = 0;  // 0 = no limit
  bool ReadOnly = false;
  char PasswordChar = 0;
  TEditCharCase CharCase = ecNormal;
  bool Modified = false;  // set by user edits
  bool AutoSelect = true;
  int SelStart = 0;   // caret, in characters
  int SelLength = 0;
  TNotifyEvent OnChange;

  void Clear() { Text = ""; }
  void SelectAll();
  AnsiString SelText() const;
  // An amount: while the edit does not have the focus it shows its figure grouped by the
  // thousands separator; Text keeps what was typed.
  bool AmountDisplay = false;
  // Text shown in the widget (a masked edit shows its literals and blanks).
  virtual AnsiString DisplayText() const;

  // ---- user input ----
  // Replaces the whole text as a paste would: focus, then the text (case and length
  // rules applied), Modified, OnChange once.
  virtual void UserSetText(const AnsiString& text);
  // Focus, then one UserKeyPress per character.
  void UserType(const AnsiString& text);

  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& ch) override;
  void DoEnter() override;

 protected:
  virtual void SetText(const AnsiString& v);
  virtual void Change();
  AnsiString ApplyCase(const AnsiString& s) const;
  // Stores a user edit: text, caret, Modified, OnChange.
  void UserEdit(const AnsiString& newText, int caret);
  // Caret keys over `len` characters: Home, End, Left, Right (with Shift they select from
  // the fixed end) and Ctrl+A. False for any other key.
  bool MoveSelection(Word key, TShiftState shift, int len);

 private:
  int anchor_ = -1;  // the fixed end of a selection made with Shift
};

class TEdit : public TCustomEdit {
 public:
  using TCustomEdit::TCustomEdit;
  AnsiString ClassName() const override { return "TEdit"; }
};

class TMemo : public TCustomEdit {
 public:
  explicit TMemo(TComponent* AOwner);
  AnsiString ClassName() const override { return "TMemo"; }
  TControlKind ControlKind() const override { return TControlKind::Memo; }
  Sub<TStringList> Lines;  // kept in step with Text
  bool WantReturns = true;
  bool WantTabs = false;
  bool WordWrap = true;
  TScrollStyle ScrollBars = ssNone;
  TAlignment Alignment = taLeftJustify;
  bool WantsKey(Word key, TShiftState shift) const override;
  void KeyPress(char32_t& ch) override;

 protected:
  void SetText(const AnsiString& v) override;
  // Text edited by the user (typed or pasted) reaches Lines before OnChange runs.
  void Change() override;

 private:
  bool syncing_ = false;
};

enum TTextLayout { tlTop, tlCenter, tlBottom };

// How a label without AutoSize shows a text wider than itself: epNone lets the desktop widen
// it; the others keep its width and mark the cut with an ellipsis.
enum TEllipsisPosition { epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis };

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {}
  AnsiString ClassName() const override { return "TLabel"; }
  TControlKind ControlKind() const override { return TControlKind::Label; }
  TAlignment Alignment = taLeftJustify;
  TTextLayout Layout = tlTop;
  bool WordWrap = false;
  bool AutoSize = true;
  bool Transparent = false;
  TEllipsisPosition EllipsisPosition = epNone;
  TWinControl* FocusControl = nullptr;  // receives the focus on the label's accelerator
};

class TButtonControl : public TWinControl {
 public:
  explicit TButtonControl(TComponent* AOwner);
  AnsiString ClassName() const override { return "TButtonControl"; }
  bool WantsKey(Word key, TShiftState shift) const override;
  void KeyPress(char32_t& ch) override;  // space clicks
};

class TButton : public TButtonControl {
 public:
  explicit TButton(TComponent* AOwner) : TButtonControl(AOwner) {}
  AnsiString ClassName() const override { return "TButton"; }
  TControlKind ControlKind() const override { return TControlKind::Button; }
  bool Default = false;  // Enter anywhere on the form clicks it
  bool Cancel = false;   // Esc anywhere on the form clicks it
  TModalResult ModalResult = mrNone;
  // Sets the form's ModalResult (when the button has one) and then runs OnClick, so a
  // handler may still reset the form's ModalResult to keep it open.
  void Click() override;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TButtonControl {
 public:
  explicit TCheckBox(TComponent* AOwner);
  AnsiString ClassName() const override { return "TCheckBox"; }
  TControlKind ControlKind() const override { return TControlKind::CheckBox; }
  // Writing Checked from code fires OnClick when the state changes, like a user click.
  TProp<bool> Checked;
  TAlignment Alignment = taRightJustify;
  TCheckBoxState State() const { return Checked ? cbChecked : cbUnchecked; }
  void UserClick() override;
  void KeyPress(char32_t& ch) override;  // space toggles
};

class TRadioButton : public TButtonControl {
 public:
  explicit TRadioButton(TComponent* AOwner);
  AnsiString ClassName() const override { return "TRadioButton"; }
  TControlKind ControlKind() const override { return TControlKind::RadioButton; }
  // Checking unchecks the sibling radio buttons and fires OnClick.
  TProp<bool> Checked;
  TAlignment Alignment = taRightJustify;
  void UserClick() override;
  void KeyPress(char32_t& ch) override;  // space checks
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* AOwner);
  AnsiString ClassName() const override { return "TComboBox"; }
  TControlKind ControlKind() const override { return TControlKind::ComboBox; }

  Sub<TStringList> Items;
  // Writing ItemIndex or Text from code fires no event; they stay in step (a drop-down
  // list's Text is its selected item; writing a Text that is no item selects none).
  TProp<int> ItemIndex;
  TProp<AnsiString> Text;
  TComboBoxStyle Style = csDropDown;
  // Sorting the items (" Todos" sorts before letters).
  TProp<bool> Sorted;
  int DropDownCount = 8;
  int MaxLength = 0;
  TEditCharCase CharCase = ecNormal;
  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;  // when set, replaces OnChange on a selection (as the original)
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

  void Clear();

  // ---- user input ----
  // Focus, select the item: OnClick, then OnSelect or else OnChange.
  void UserSelect(int index);
  // Types a whole text into an editable combo: focus, Text, OnChange.
  void UserSetText(const AnsiString& text);
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& ch) override;

 private:
  void SetItemIndex(int i);
  void SetText(const AnsiString& t);
};

class TListBox : public TWinControl {
 public:
  explicit TListBox(TComponent* AOwner);
  AnsiString ClassName() const override { return "TListBox"; }
  TControlKind ControlKind() const override { return TControlKind::ListBox; }
  Sub<TStringList> Items;
  int ItemIndex = -1;  // no event when written from code
  TProp<bool> Sorted;
  bool MultiSelect = false;
  int Count() const { return Items->Count(); }
  void Clear();
  // ---- user input ----
  void UserSelect(int index);  // focus, ItemIndex, OnClick
  void KeyDown(Word& key, TShiftState shift) override;
  bool WantsKey(Word key, TShiftState shift) const override;
};

class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TComponent* AOwner) : TWinControl(AOwner) {}
  AnsiString ClassName() const override { return "TGroupBox"; }
  TControlKind ControlKind() const override { return TControlKind::GroupBox; }
};
