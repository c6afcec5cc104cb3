// String and data-aware grids: selection, cell exit, editing, drawing colours.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/db/DBTables.h"
#include "platform/forms/Headless.h"
#include "platform/forms/Vcl.h"

using tv::forms::HeadlessDriver;

TEST(StringGrid, SelectVetoEditAndDrawing) {
  HeadlessDriver ui;
  TForm f(nullptr);
  auto* g = Make<TStringGrid>(&f, "stgPAC");
  g->ColCount = 3;
  g->RowCount = 4;
  g->Options << goEditing;
  g->Cells[1][0] = "Mes";
  g->Cells[1][2] = "Febrero";
  AnsiString log;
  g->OnSelectCell = [&](TObject*, int c, int r, bool& can) {
    can = c != 2;
    log += "select " + IntToStr(c) + "," + IntToStr(r) + ";";
  };
  g->OnSetEditText = [&](TObject*, int c, int r, const AnsiString& v) {
    log += "set " + IntToStr(c) + "," + IntToStr(r) + "=" + v + ";";
  };
  g->OnDrawCell = [&](TObject*, int c, int r, const TRect& rect, TGridDrawState st) {
    if (c == 1 && !st.Contains(gdFixed)) {
      g->Canvas->Brush->Color = clAqua;
      g->Canvas->Font->Color = clNavy;
      g->Canvas->FillRect(rect);
      g->Canvas->TextOut(rect.Right - g->Canvas->TextWidth(g->Cells[c][r]) - 2, rect.Top + 2, g->Cells[c][r]);
    }
  };
  f.Show();
  ui.now(&f).cell("stgPAC", 2, 1).cell("stgPAC", 1, 2).editCell("stgPAC", 1, 3, "120");
  EXPECT_EQ(g->Col, 1);
  EXPECT_EQ(g->Row, 3);
  EXPECT_EQ(g->Cells[1][3], "120");
  EXPECT_EQ(log, "select 2,1;select 1,2;select 1,3;set 1,3=120;");
  TCanvas* cv = g->PaintCell(1, 2);
  EXPECT_EQ(cv->BackgroundColor(), clAqua);
  EXPECT_EQ(cv->TextColor(), clNavy);
  EXPECT_EQ(cv->LastText(), "Febrero");
  EXPECT_EQ(g->PaintCell(1, 0)->BackgroundColor(), clBtnFace);  // fixed row
  EXPECT_THROW(g->Cells[3][0], EOutOfRange);
}

namespace {

// A folder with a small table of accounts, shown in a form with a data-aware grid.
class DbGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFormatSettings();
    char tmpl[] = "/tmp/tvformsXXXXXX";
    dir_ = mkdtemp(tmpl);
    Exec("CREATE TABLE PL (numecuen VARCHAR(18) PRIMARY KEY, nombcuen VARCHAR(60), saldo NUMERIC)");
    const char* rows[][3] = {{"1105", "Caja", "100"}, {"1110", "Bancos", "-50"}, {"2205", "Proveedores", "0"}};
    for (auto& r : rows)
      Exec(std::string("INSERT INTO PL (numecuen, nombcuen, saldo) VALUES ('") + r[0] + "', '" + r[1] + "', " + r[2] + ")");
    form_ = new TForm(nullptr);
    form_->Caption = "Plan";
    edit_ = Make<TEdit>(form_, "EdBusqueda");
    table_ = Make<TTable>(form_, "tblPL");
    table_->DatabaseName = dir_.c_str();
    table_->TableName = "PL.db";
    ds_ = Make<TDataSource>(form_, "DataSource1");
    ds_->DataSet = table_;
    grid_ = Make<TDBGrid>(form_, "DBGrid1");
    ds_->OnDataChange = [this](TObject*, TField* f) { log_ += f ? "field;" : "row;"; };
    table_->Open();
    grid_->DataSource = ds_;
    log_ = "";
  }
  void TearDown() override {
    delete form_;
    std::filesystem::remove_all(dir_);
  }
  void Exec(const std::string& sql) {
    TQuery q(nullptr);
    q.DatabaseName = dir_.c_str();
    q.SQL->Add(sql.c_str());
    q.ExecSQL();
  }
  HeadlessDriver ui_;
  std::string dir_;
  TForm* form_ = nullptr;
  TEdit* edit_ = nullptr;
  TTable* table_ = nullptr;
  TDataSource* ds_ = nullptr;
  TDBGrid* grid_ = nullptr;
  AnsiString log_;
};

}  // namespace

TEST_F(DbGridTest, DefaultColumnsShowEveryFieldWithoutCopyingRows) {
  auto cols = grid_->DisplayColumns();
  ASSERT_EQ(cols.size(), 3u);
  EXPECT_EQ(cols[1]->FieldName, "nombcuen");
  EXPECT_EQ(cols[1]->DisplayTitle(), "nombcuen");
  EXPECT_EQ(grid_->DisplayRowCount(), 3);
  EXPECT_EQ(grid_->DisplayText(1, 1), "Bancos");
  EXPECT_EQ(grid_->CurrentDisplayRow(), 0);
  // titles set by index survive; adding columns replaces the defaults
  grid_->Columns->Items[1]->Title->Caption = "Nombre";
  table_->Close();
  table_->Open();
  EXPECT_EQ(grid_->Columns->Items[1]->DisplayTitle(), "Nombre");
  TColumn* c = grid_->Columns->Add();
  c->FieldName = "saldo";
  c->Title->Caption = "Saldo";
  ASSERT_EQ(grid_->DisplayColumns().size(), 1u);
  EXPECT_EQ(grid_->DisplayText(0, 0), "100");
}

TEST_F(DbGridTest, RowsFollowTheCursorAndCellsFireExitAndEnter) {
  AnsiString cols;
  grid_->OnColExit = [&](TObject*) { cols += "exit" + IntToStr(grid_->SelectedIndex) + ";"; };
  grid_->OnColEnter = [&](TObject*) { cols += "enter" + IntToStr(grid_->SelectedIndex) + ";"; };
  grid_->OnExit = [&](TObject*) { cols += "grid exit;"; };
  form_->Show();
  ui_.now(form_).row("DBGrid1", 2);
  EXPECT_EQ(table_->FieldByName("numecuen")->AsString, "2205");
  EXPECT_EQ(log_, "row;");
  ui_.now(form_).cell("DBGrid1", 1, 0).keys("Right").keys("Down").keys("Up").focus("EdBusqueda");
  EXPECT_EQ(table_->RecNo, 1);
  EXPECT_EQ(grid_->SelectedIndex, 2);
  EXPECT_EQ(cols, "exit0;enter1;exit1;enter2;grid exit;");
  // the dataset moving moves the grid
  table_->Last();
  EXPECT_EQ(grid_->CurrentDisplayRow(), 2);
}

TEST_F(DbGridTest, EditingPostsOnRowChangeAndAppendsBelowTheLastRow) {
  form_->Show();
  ui_.now(form_).editCell("DBGrid1", 1, 0, "Caja general");
  EXPECT_EQ(table_->State, dsEdit);
  EXPECT_EQ(grid_->DisplayText(1, 0), "Caja general");
  ui_.now(form_).keys("Down");
  EXPECT_EQ(table_->State, dsBrowse);
  TQuery q(nullptr);
  q.DatabaseName = dir_.c_str();
  q.SQL->Add("SELECT nombcuen FROM PL WHERE numecuen = '1105'");
  q.Open();
  EXPECT_EQ(q.FieldByName("nombcuen")->AsString, "Caja general");
  // typing one row past the end starts a new row; leaving it unmodified cancels it
  ui_.now(form_).keys("Ctrl+End").keys("Down");
  EXPECT_EQ(table_->State, dsInsert);
  EXPECT_EQ(grid_->DisplayRowCount(), 4);
  ui_.now(form_).keys("Up");
  EXPECT_EQ(table_->State, dsBrowse);
  EXPECT_EQ(grid_->DisplayRowCount(), 3);
  ui_.now(form_).editCell("DBGrid1", 0, 3, "2408").editCell("DBGrid1", 1, 3, "IVA").row("DBGrid1", 0);
  EXPECT_EQ(table_->RecordCount, 4);
  // Ctrl+Delete asks first
  ui_.answer("Borrar", mrCancel);
  ui_.answer("Borrar", mrOk);
  ui_.now(form_).keys("Ctrl+Del").keys("Ctrl+Del");
  EXPECT_EQ(table_->RecordCount, 3);
  // a read-only column takes no text
  grid_->Columns->Items[0]->ReadOnly = true;
  ui_.now(form_).editCell("DBGrid1", 0, 0, "9999");
  EXPECT_EQ(table_->State, dsBrowse);
  // an empty table: the column clicked in its blank row is where its first row starts
  for (table_->First(); !table_->IsEmpty();) table_->Delete();
  ui_.now(form_).cell("DBGrid1", 1, 0);
  EXPECT_EQ(grid_->SelectedIndex, 1);
  ui_.now(form_).editCell("DBGrid1", 1, 0, "Bancos");
  EXPECT_EQ(table_->State, dsInsert);
  EXPECT_EQ(table_->FieldByName("nombcuen")->AsString, "Bancos");
}

// Esc in an editable grid gives up what is in edit first (the changed row, then a new row);
// only an Esc with nothing in edit reaches the close button. A form closed while a row is in
// edit drops it: the next move of the table never posts it.
TEST_F(DbGridTest, EscGivesUpTheEditBeforeClosingAndClosingDropsTheEdit) {
  auto* cerrar = Make<TBitBtn>(form_, "BtnCerrar");
  cerrar->Kind = bkClose;
  form_->Show();
  ui_.now(form_).editCell("DBGrid1", 1, 0, "Lo que abandoné").keys("Esc");
  EXPECT_TRUE(form_->Showing());
  EXPECT_EQ(table_->State, dsBrowse);
  EXPECT_EQ(grid_->DisplayText(1, 0), "Caja");
  ui_.now(form_).keys("Ctrl+End").keys("Down");
  ASSERT_EQ(table_->State, dsInsert);
  ui_.now(form_).keys("Esc");
  EXPECT_TRUE(form_->Showing());
  EXPECT_EQ(table_->State, dsBrowse);
  EXPECT_EQ(grid_->DisplayRowCount(), 3);
  ui_.now(form_).keys("Esc");
  EXPECT_FALSE(form_->Showing());

  form_->Show();
  ui_.now(form_).editCell("DBGrid1", 1, 1, "Abandonado").close();
  EXPECT_FALSE(form_->Showing());
  EXPECT_EQ(table_->State, dsBrowse);
  table_->First();
  table_->Next();
  EXPECT_EQ(table_->State, dsBrowse);
  TQuery q(nullptr);
  q.DatabaseName = dir_.c_str();
  q.SQL->Add("SELECT nombcuen FROM PL WHERE numecuen = '1110'");
  q.Open();
  EXPECT_EQ(q.FieldByName("nombcuen")->AsString, "Bancos");

  // A modal form given up drops its edit too; one accepted leaves it to the caller.
  auto* aceptar = Make<TButton>(form_, "BtnAceptar");
  aceptar->ModalResult = mrOk;
  ui_.onModal("Plan").editCell("DBGrid1", 1, 2, "Dejado").click("BtnCerrar");
  form_->ShowModal();
  EXPECT_EQ(table_->State, dsBrowse);
  ui_.onModal("Plan").editCell("DBGrid1", 1, 2, "Aceptado").click("BtnAceptar");
  EXPECT_EQ(form_->ShowModal(), mrOk);
  EXPECT_EQ(table_->State, dsEdit);
  EXPECT_EQ(table_->FieldByName("nombcuen")->AsString, "Aceptado");
}

TEST_F(DbGridTest, DrawingEventsSeeThePaintedRowAndColoursReadBack) {
  grid_->DefaultDrawing = false;
  grid_->OnDrawColumnCell = [&](TObject*, const TRect& rect, int dataCol, TColumn* col, TGridDrawState) {
    TCanvas* cv = grid_->Canvas;
    double saldo = table_->FieldByName("saldo")->AsFloat;
    cv->Brush->Color = saldo < 0 ? clRed : clWindow;
    cv->Font->Color = dataCol == 2 ? clNavy : clWindowText;
    cv->FillRect(Rect(rect.Left - 1, rect.Top - 1, rect.Right + 1, rect.Bottom + 1));
    AnsiString t = col->Field()->AsString;
    cv->TextOut(rect.Right - cv->TextWidth(t) - 2, rect.Top + 2, t);
  };
  TCanvas* cv = grid_->PaintCell(2, 1);  // not the current row
  EXPECT_EQ(cv->BackgroundColor(), clRed);
  EXPECT_EQ(cv->TextColor(), clNavy);
  EXPECT_EQ(cv->LastText(), "-50");
  EXPECT_EQ(table_->RecNo, 1);  // painting does not move the cursor
  EXPECT_EQ(grid_->PaintCell(1, 0)->BackgroundColor(), clWindow);
  EXPECT_EQ(grid_->PaintCell(1, 0)->LastText(), "Caja");
}

TEST_F(DbGridTest, DataAwareEditTextAndNavigator) {
  auto* ed = Make<TDBEdit>(form_, "EdNombre");
  ed->DataSource = ds_;
  ed->DataField = "nombcuen";
  auto* txt = Make<TDBText>(form_, "LblCodigo");
  txt->DataSource = ds_;
  txt->DataField = "numecuen";
  auto* nav = Make<TDBNavigator>(form_, "DBNavigator1");
  nav->DataSource = ds_;
  nav->ConfirmDelete = false;
  EXPECT_EQ(ed->Text, "Caja");
  EXPECT_EQ(txt->Caption, "1105");
  EXPECT_FALSE(nav->ButtonEnabled(nbPrior));
  form_->Show();
  nav->UserClickButton(nbNext);
  EXPECT_EQ(ed->Text, "Bancos");
  EXPECT_EQ(txt->Caption, "1110");
  ui_.now(form_).set("EdNombre", "Bancos nacionales").focus("EdBusqueda");
  EXPECT_EQ(table_->State, dsEdit);
  nav->UserClickButton(nbPost);
  EXPECT_EQ(table_->FieldByName("nombcuen")->AsString, "Bancos nacionales");
  // a post without leaving the edit writes its text first
  ui_.now(form_).set("EdNombre", "Bancos del país");
  table_->Edit();
  table_->Post();
  EXPECT_EQ(table_->FieldByName("nombcuen")->AsString, "Bancos del país");
}

// Handlers swallow keys by zeroing them: Ctrl+Delete deletes nothing, Down on the last
// row starts no new row.
TEST_F(DbGridTest, KeyDownHandlerSwallowsCtrlDeleteAndDownOnTheLastRow) {
  grid_->OnKeyDown = [&](TObject*, Word& key, TShiftState shift) {
    if (key == VK_DELETE && shift.Contains(ssCtrl)) key = 0;
    if (key == VK_DOWN && table_->RecNo == table_->RecordCount) key = 0;
  };
  form_->Show();
  ui_.now(form_).row("DBGrid1", 0).keys("Ctrl+Del");
  EXPECT_EQ(table_->RecordCount, 3);
  ui_.now(form_).keys("Ctrl+End").keys("Down");
  EXPECT_EQ(table_->State, dsBrowse);
  EXPECT_EQ(grid_->DisplayRowCount(), 3);
  EXPECT_EQ(table_->RecNo, 3);
}

// Enter in an editable grid ends the cell and moves to the next one, at the end of a row to
// the first column of the next; the form's default button is not pressed. A grid that
// does not edit leaves Enter to the default button.
TEST(StringGrid, EnterMovesToTheNextCellAndNeverPressesTheDefaultButton) {
  HeadlessDriver ui;
  TForm f(nullptr);
  auto* g = Make<TStringGrid>(&f, "Grid");
  g->ColCount = 3;
  g->RowCount = 3;
  g->Options << goEditing;
  auto* ok = Make<TButton>(&f, "BtnAceptar");
  ok->Default = true;
  int pressed = 0;
  ok->OnClick = [&](TObject*) { ++pressed; };
  f.Show();
  ui.now(&f).editCell("Grid", 1, 1, "750").key("Grid", VK_RETURN);
  EXPECT_EQ(g->Cells[1][1], "750");
  EXPECT_EQ(g->Col, 2);
  EXPECT_EQ(g->Row, 1);
  ui.now(&f).key("Grid", VK_RETURN);
  EXPECT_EQ(g->Col, 1);
  EXPECT_EQ(g->Row, 2);
  EXPECT_FALSE(g->EditorMode);
  EXPECT_EQ(pressed, 0);
  g->Options >> goEditing;
  ui.now(&f).key("Grid", VK_RETURN);
  EXPECT_EQ(pressed, 1);
  f.Hide();
}
