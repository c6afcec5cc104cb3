#include "platform/forms/DBCtrls.h"

#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Forms.h"

TField* TFieldBinding::Field() const {
  TDataSet* ds = DataSet();
  if (!ds || !ds->GetActive() || FieldName.IsEmpty()) return nullptr;
  return ds->FindField(FieldName);
}

namespace {
void Rebind(TDataLink* link, TDataSource* ds) {
  if (link->DataSource()) link->DataSource()->RemoveDataLink(link);
  if (ds) ds->AddDataLink(link);
  link->ActiveChanged();
}

// Writes a control's text into its field, putting the dataset in edit state.
void WriteField(TField* f, const AnsiString& text) {
  TDataSet* ds = f->DataSet();
  if (ds->GetState() == dsBrowse) {
    if (ds->IsEmpty())
      ds->Append();
    else
      ds->Edit();
  }
  f->SetText(text);
}
}  // namespace

// ---- TDBEdit -------------------------------------------------------------------------------
TDBEdit::TDBEdit(TComponent* AOwner)
    : TMaskEdit(AOwner),
      DataSource([this](TDataSource* const& ds) {
        DataSource.Raw(ds);
        Rebind(link_.get(), ds);
      }, nullptr),
      DataField([this](const AnsiString& f) {
        DataField.Raw(f);
        link_->FieldName = f;
        Refresh();
      }),
      link_(std::make_unique<TFieldBinding>([this] { Refresh(); })) {
  link_->onUpdate = [this] { UpdateRecord(); };
}

TDBEdit::~TDBEdit() = default;

void TDBEdit::Refresh() {
  if (refreshing_) return;
  refreshing_ = true;
  TField* f = Field();
  try {
    Text = f ? f->GetText() : AnsiString();
  } catch (...) {
    refreshing_ = false;
    throw;
  }
  Modified = false;
  refreshing_ = false;
}

void TDBEdit::UpdateRecord() {
  if (!Modified || refreshing_) return;
  TField* f = Field();
  if (!f) return;
  ValidateEdit();
  refreshing_ = true;
  try {
    WriteField(f, Text);
  } catch (...) {
    refreshing_ = false;
    throw;
  }
  refreshing_ = false;
  Modified = false;
}

void TDBEdit::Reset() {
  if (!Field()) {
    TMaskEdit::Reset();
    return;
  }
  Refresh();
  SelStart = 0;
  SelLength = DisplayText().Length();
}

void TDBEdit::DoExit() {
  UpdateRecord();
  TMaskEdit::DoExit();
}

void TDBEdit::UserSetText(const AnsiString& text) {
  TField* f = Field();
  if (f && (f->ReadOnly || !f->DataSet()->CanModify())) return;
  TMaskEdit::UserSetText(text);
}

// ---- TDBText -------------------------------------------------------------------------------
TDBText::TDBText(TComponent* AOwner)
    : TGraphicControl(AOwner),
      DataSource([this](TDataSource* const& ds) {
        DataSource.Raw(ds);
        Rebind(link_.get(), ds);
      }, nullptr),
      DataField([this](const AnsiString& f) {
        DataField.Raw(f);
        link_->FieldName = f;
        Caption = Text();
      }),
      link_(std::make_unique<TFieldBinding>([this] { Caption = Text(); })) {}

TDBText::~TDBText() = default;

AnsiString TDBText::Text() const {
  TField* f = Field();
  return f ? f->GetDisplayText() : AnsiString();
}

// ---- TDBMemo -------------------------------------------------------------------------------
TDBMemo::TDBMemo(TComponent* AOwner)
    : TMemo(AOwner),
      DataSource([this](TDataSource* const& ds) {
        DataSource.Raw(ds);
        Rebind(link_.get(), ds);
      }, nullptr),
      DataField([this](const AnsiString& f) {
        DataField.Raw(f);
        link_->FieldName = f;
        Refresh();
      }),
      link_(std::make_unique<TFieldBinding>([this] { Refresh(); })) {
  link_->onUpdate = [this] {
    if (!Modified || refreshing_) return;
    if (TField* f = Field()) {
      refreshing_ = true;
      try {
        WriteField(f, Text);
      } catch (...) {
        refreshing_ = false;
        throw;
      }
      refreshing_ = false;
      Modified = false;
    }
  };
}

TDBMemo::~TDBMemo() = default;

void TDBMemo::Refresh() {
  if (refreshing_) return;
  refreshing_ = true;
  TField* f = Field();
  Text = f ? f->GetText() : AnsiString();
  Modified = false;
  refreshing_ = false;
}

void TDBMemo::DoExit() {
  link_->UpdateData();
  TMemo::DoExit();
}

// ---- TDBNavigator ----------------------------------------------------------------------------
TDBNavigator::TDBNavigator(TComponent* AOwner)
    : TWinControl(AOwner),
      DataSource([this](TDataSource* const& ds) {
        DataSource.Raw(ds);
        Rebind(link_.get(), ds);
      }, nullptr),
      link_(std::make_unique<TDataLink>()) {
  Width = 240;
  Height = 25;
}

TDBNavigator::~TDBNavigator() = default;

bool TDBNavigator::ButtonEnabled(TNavigateBtn btn) const {
  TDataSet* ds = link_->DataSet();
  if (!ds || !ds->GetActive() || !VisibleButtons.Contains(btn)) return false;
  bool browse = ds->GetState() == dsBrowse;
  int row = ds->ActiveRow(), n = ds->ViewRowCount();
  switch (btn) {
    case nbFirst: case nbPrior: return row > 0;
    case nbNext: case nbLast: return row >= 0 && row < n - 1;
    case nbInsert: return ds->CanModify();
    case nbDelete: return ds->CanModify() && !ds->IsEmpty();
    case nbEdit: return ds->CanModify() && browse && !ds->IsEmpty();
    case nbPost: case nbCancel: return !browse;
    case nbRefresh: return true;
  }
  return false;
}

void TDBNavigator::BtnClick(TNavigateBtn btn) {
  if (!ButtonEnabled(btn)) return;
  if (BeforeAction) BeforeAction(this, btn);
  TDataSet* ds = link_->DataSet();
  switch (btn) {
    case nbFirst: ds->First(); break;
    case nbPrior: ds->Prior(); break;
    case nbNext: ds->Next(); break;
    case nbLast: ds->Last(); break;
    case nbInsert: ds->Insert(); break;
    case nbDelete:
      if (!ConfirmDelete || MessageDlg("¿Borrar registro?", mtConfirmation, mbOKCancel, 0) == mrOk)
        ds->Delete();
      break;
    case nbEdit: ds->Edit(); break;
    case nbPost: ds->Post(); break;
    case nbCancel: ds->Cancel(); break;
    case nbRefresh: ds->Refresh(); break;
  }
  if (OnClick) OnClick(this, btn);
}

namespace {
// The focusable grid of the form that shows this data source.
TDBGrid* GridShowing(TWinControl* parent, TDataSource* ds) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (auto* g = dynamic_cast<TDBGrid*>(c); g && g->DataSource.get() == ds && g->CanFocus()) return g;
    if (auto* w = dynamic_cast<TWinControl*>(c))
      if (TDBGrid* g = GridShowing(w, ds)) return g;
  }
  return nullptr;
}
}  // namespace

void TDBNavigator::UserClickButton(TNavigateBtn btn) {
  DispatchEvent([&] {
    if (!IsShowing()) return;
    BtnClick(btn);
    // The buttons take no focus: the row just inserted is typed into at once, so the grid
    // that shows it takes the keys, from its first editable column.
    TDataSet* ds = link_->DataSet();
    TForm* f = ParentForm();
    if (btn != nbInsert || !ds || ds->GetState() != dsInsert || !f) return;
    TDBGrid* g = GridShowing(f, DataSource.get());
    if (!g) return;
    int n = static_cast<int>(g->DisplayColumns().size());
    for (int c = 0; c < n; ++c)
      if (g->CanEditCell(c, 0)) {
        g->SelectedIndex = c;
        break;
      }
    f->FocusControl(g);
  });
}
