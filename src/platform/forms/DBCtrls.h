#pragma once
// Data-aware edit, label, memo and navigator.
#include <memory>

#include "platform/db/DB.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"

// Common binding: a data source and a field name; the control shows the field of the
// current row and follows every row and field change.
class TFieldBinding : public TDataLink {
 public:
  explicit TFieldBinding(std::function<void()> refresh) : refresh_(std::move(refresh)) {}
  AnsiString FieldName;
  TField* Field() const;
  void ActiveChanged() override { refresh_(); }
  void DataSetChanged() override { refresh_(); }
  void RecordChanged(TField*) override { refresh_(); }
  void DataSetScrolled() override { refresh_(); }
  void EditingChanged() override {}
  void UpdateData() override {
    if (onUpdate) onUpdate();
  }
  std::function<void()> onUpdate;  // write pending control text before a post

 private:
  std::function<void()> refresh_;
};

class TDBEdit : public TMaskEdit {
 public:
  explicit TDBEdit(TComponent* AOwner);
  ~TDBEdit() override;
  AnsiString ClassName() const override { return "TDBEdit"; }
  TControlKind ControlKind() const override { return TControlKind::DBEdit; }
  TProp<TDataSource*> DataSource;
  TProp<AnsiString> DataField;
  TField* Field() const { return link_->Field(); }
  // Writes a user edit into the field when the edit is left (putting the dataset in
  // edit state); EDatabaseError/EConvertError keep the focus here.
  void UpdateRecord();
  void DoExit() override;
  void UserSetText(const AnsiString& text) override;
  // Gives the typing up: the field's value comes back.
  void Reset() override;

 private:
  void Refresh();
  std::unique_ptr<TFieldBinding> link_;
  bool refreshing_ = false;
};

class TDBText : public TGraphicControl {
 public:
  explicit TDBText(TComponent* AOwner);
  ~TDBText() override;
  AnsiString ClassName() const override { return "TDBText"; }
  TControlKind ControlKind() const override { return TControlKind::DBText; }
  TProp<TDataSource*> DataSource;
  TProp<AnsiString> DataField;
  TAlignment Alignment = taLeftJustify;
  bool WordWrap = false;
  TField* Field() const { return link_->Field(); }
  // The field's display text of the current row ("" without a field).
  AnsiString Text() const;

 private:
  std::unique_ptr<TFieldBinding> link_;
};

class TDBMemo : public TMemo {
 public:
  explicit TDBMemo(TComponent* AOwner);
  ~TDBMemo() override;
  AnsiString ClassName() const override { return "TDBMemo"; }
  TControlKind ControlKind() const override { return TControlKind::DBMemo; }
  TProp<TDataSource*> DataSource;
  TProp<AnsiString> DataField;
  TField* Field() const { return link_->Field(); }
  void DoExit() override;

 private:
  void Refresh();
  std::unique_ptr<TFieldBinding> link_;
  bool refreshing_ = false;
};

enum TNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost,
                    nbCancel, nbRefresh };
using TButtonSet = Set<TNavigateBtn>;
using TNavClickEvent = std::function<void(TObject* Sender, TNavigateBtn Button)>;

class TDBNavigator : public TWinControl {
 public:
  explicit TDBNavigator(TComponent* AOwner);
  ~TDBNavigator() override;
  AnsiString ClassName() const override { return "TDBNavigator"; }
  TControlKind ControlKind() const override { return TControlKind::DBNavigator; }
  TProp<TDataSource*> DataSource;
  TButtonSet VisibleButtons{nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit,
                            nbPost, nbCancel, nbRefresh};
  bool ConfirmDelete = true;
  Sub<TStringList> Hints;  // one per button, in button order
  TNavClickEvent BeforeAction;
  TNavClickEvent OnClick;
  // Whether a button would act now (dataset open, position, state).
  bool ButtonEnabled(TNavigateBtn btn) const;
  // Performs a button's action ("¿Borrar registro?" asked before deleting).
  void BtnClick(TNavigateBtn btn);
  // ---- user input ----
  void UserClickButton(TNavigateBtn btn);

 private:
  std::unique_ptr<TDataLink> link_;
};
