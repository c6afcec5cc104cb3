// A memo's lines follow text the user pastes or types.
#include <gtest/gtest.h>

#include "platform/forms/Headless.h"
#include "platform/forms/Vcl.h"

using tv::forms::HeadlessDriver;

TEST(MemoLines, FollowTextPastedOrTypedByTheUser) {
  HeadlessDriver ui;
  TForm f(nullptr);
  auto* memo = Make<TMemo>(&f, "Memo1");
  int cambios = 0;
  AnsiString vistas;
  memo->OnChange = [&](TObject*) {
    ++cambios;
    vistas = memo->Lines->Count() > 0 ? memo->Lines->Strings(memo->Lines->Count() - 1) : AnsiString();
  };
  f.Show();
  ui.now(&f).set("Memo1", "24%\n2436");
  ASSERT_EQ(memo->Lines->Count(), 2);
  EXPECT_EQ(AnsiString(memo->Lines->Strings(1)), "2436");
  EXPECT_EQ(vistas, "2436") << "OnChange already sees the new lines";
  ui.now(&f).type("Memo1", "5");
  EXPECT_EQ(AnsiString(memo->Lines->Strings(memo->Lines->Count() - 1)), "24365");
  EXPECT_GE(cambios, 2);
}
