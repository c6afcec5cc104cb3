// Tab order through containers, memo lines through files, mouse-move hints and painting.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platform/forms/Headless.h"
#include "platform/forms/Vcl.h"

using tv::forms::HeadlessDriver;

namespace {
AnsiString Order(TForm& f) {
  AnsiString s;
  for (TWinControl* w : f.TabSequence()) s += w->Name + ",";
  return s;
}
}  // namespace

TEST(TabOrder, ContainersKeepTheirChildrenTogetherAndWritesRenumber) {
  HeadlessDriver ui;
  TForm f(nullptr);
  auto* ed1 = Make<TEdit>(&f, "Ed1");
  auto* gb = Make<TGroupBox>(&f, "GroupBox1");
  auto* btn = Make<TButton>(gb, "BtnBuscar");
  auto* edb = Make<TEdit>(gb, "EdBusqueda");
  auto* ok = Make<TButton>(&f, "BtnOk");
  (void)ed1, (void)btn, (void)ok;
  EXPECT_EQ(Order(f), "Ed1,GroupBox1,BtnBuscar,EdBusqueda,BtnOk,");

  // "first in tab order" as the lookup dialog writes it
  edb->TabOrder = -1;
  gb->TabOrder = -1;
  EXPECT_EQ(Order(f), "GroupBox1,EdBusqueda,BtnBuscar,Ed1,BtnOk,");
  EXPECT_EQ(edb->TabOrder, 0);
  EXPECT_EQ(ed1->TabOrder, 1);
  ok->TabOrder = 0;  // moves before the others, which shift up
  EXPECT_EQ(Order(f), "BtnOk,GroupBox1,EdBusqueda,BtnBuscar,Ed1,");
  gb->TabOrder = 99;  // clamps to the last place
  EXPECT_EQ(Order(f), "BtnOk,Ed1,GroupBox1,EdBusqueda,BtnBuscar,");

  // Tab walks into the group box and back out; the group box takes no focus itself
  f.Show();
  ui.now(&f).key(VK_TAB).key(VK_TAB).key(VK_TAB);
  EXPECT_EQ(f.FocusedControl(), btn);
  ui.now(&f).key(VK_TAB);
  EXPECT_EQ(f.FocusedControl(), ok);
  ui.now(&f).key(VK_TAB, TShiftState{ssShift});
  EXPECT_EQ(f.FocusedControl(), btn);
  gb->Enabled = false;  // a disabled container takes its children out
  ui.now(&f).key(VK_TAB, TShiftState{ssShift});
  EXPECT_EQ(f.FocusedControl(), ed1);
  ui.now(&f).key(VK_TAB);
  EXPECT_EQ(f.FocusedControl(), ok);
}

TEST(Memo, LinesLoadAndSaveKeepTheTextInStep) {
  HeadlessDriver ui;
  TForm f(nullptr);
  auto* memo = Make<TMemo>(&f, "Memo1");
  int changes = 0;
  memo->OnChange = [&](TObject*) { ++changes; };
  std::string path = (std::filesystem::temp_directory_path() / "tv_memo_lines.txt").string();
  {
    FILE* fp = fopen(path.c_str(), "w");
    ASSERT_TRUE(fp);
    fputs("800100,PROVEEDOR UNO\n79500,JUAN PEREZ\n", fp);
    fclose(fp);
  }
  memo->Lines->LoadFromFile(path.c_str());
  EXPECT_EQ(memo->Lines->Count(), 2);
  EXPECT_TRUE(memo->Text.get().Pos("JUAN PEREZ") > 0);
  EXPECT_EQ(changes, 1);
  memo->Lines->Add("total");
  EXPECT_EQ(memo->Lines->Count(), 3);
  memo->Text = "a\nb";
  EXPECT_EQ(memo->Lines->Count(), 2);
  EXPECT_EQ(memo->Lines->Strings(1), "b");
  memo->Lines->SaveToFile(path.c_str());
  TStringList back;
  back.LoadFromFile(path.c_str());
  EXPECT_EQ(back.Count(), 2);
  EXPECT_EQ(back[0], "a");
  memo->Lines->Clear();
  EXPECT_EQ(memo->Text, "");
  std::filesystem::remove(path);
}

TEST(Events, MouseMoveStatusHintPaintAndCursor) {
  HeadlessDriver ui;
  TForm f(nullptr);
  auto* sb = Make<TStatusBar>(&f, "StatusBar1");
  sb->SimplePanel = true;
  auto* btn = Make<TButton>(&f, "BtnInforme");
  btn->Hint = "Genera el informe";
  btn->OnMouseMove = [&](TObject* s, TShiftState, int, int) {
    sb->SimpleText = static_cast<TControl*>(s)->Hint;
  };
  AnsiString painted;
  f.OnPaint = [&](TObject*) {
    f.Canvas->Font->Color = clNavy;
    f.Canvas->TextOut(4, 4, "Usuario: admin");
    painted = "yes";
  };
  f.Show();
  btn->UserMouseMove(3, 3);
  EXPECT_EQ(sb->SimpleText, "Genera el informe");
  TCanvas* c = f.PaintForm();
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(painted, "yes");
  EXPECT_EQ(c->LastText(), "Usuario: admin");
  EXPECT_EQ(c->TextColor(), clNavy);

  Screen->Cursor = crHourGlass;
  EXPECT_EQ(Screen->Cursor, crHourGlass);
  Screen->Cursor = crDefault;
  EXPECT_EQ(Application->Title, "Tallivar");
}

TEST(Edits, TypingFollowsCaseLengthAndEditableCombosKeepFreeText) {
  HeadlessDriver ui;
  TForm f(nullptr);
  auto* cod = Make<TEdit>(&f, "EdCodiVeri");
  cod->CharCase = ecUpperCase;
  cod->MaxLength = 3;
  auto* clave = Make<TEdit>(&f, "EdClave");
  clave->PasswordChar = '*';
  auto* cb = Make<TComboBox>(&f, "cbTipoDoc");
  cb->Style = csDropDown;
  cb->DropDownCount = 15;
  cb->Items->Add("1:CE");
  cb->Items->Add("2:IN");
  f.Show();
  ui.now(&f).set("EdCodiVeri", "abcd").set("EdClave", "vorb");
  EXPECT_EQ(cod->Text, "ABC");
  EXPECT_TRUE(cod->Modified);
  EXPECT_EQ(clave->Text, "vorb");
  cod->Text = "xyz";  // a write from code clears the edited mark
  EXPECT_FALSE(cod->Modified);
  cb->Text = "CE";  // an editable combo keeps a text that is no item
  EXPECT_EQ(cb->Text, "CE");
  EXPECT_EQ(cb->ItemIndex, -1);
  cb->ItemIndex = 1;
  EXPECT_EQ(cb->Text, "2:IN");
}

// Enter in a memo breaks the line; Ctrl+Enter presses the form's default button instead.
TEST(Memo, EnterBreaksTheLineAndCtrlEnterPressesTheDefaultButton) {
  HeadlessDriver ui;
  TForm f(nullptr);
  auto* memo = Make<TMemo>(&f, "Memo1");
  auto* ok = Make<TButton>(&f, "BtnOk");
  ok->Default = true;
  int pulsado = 0;
  ok->OnClick = [&](TObject*) { ++pulsado; };
  f.Show();
  ui.now(&f).type("Memo1", "Linea uno").key("Memo1", VK_RETURN).type("Memo1", "Linea dos");
  EXPECT_EQ(pulsado, 0);
  ASSERT_EQ(memo->Lines->Count(), 2);
  EXPECT_EQ(memo->Lines->Strings(1), "Linea dos");
  ui.now(&f).key("Memo1", VK_RETURN, TShiftState{ssCtrl});
  EXPECT_EQ(pulsado, 1);
  EXPECT_EQ(memo->Lines->Count(), 2);
}
