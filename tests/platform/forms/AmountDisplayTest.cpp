// An amount edit shows its figure grouped while it does not have the focus, under either
// regional setting; what was typed stays in Text, and typing sees it plain.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/SysUtils.h"
#include "platform/forms/Headless.h"
#include "platform/forms/Vcl.h"

using tv::forms::HeadlessDriver;

namespace {

class TFrmMonto : public TForm {
 public:
  explicit TFrmMonto(TComponent* owner) : TForm(owner) {
    Caption = "Monto";
    EdValor = Make<TMaskEdit>(this, "EdValor");
    EdValor->AmountDisplay = true;
    EdNota = Make<TEdit>(this, "EdNota");
  }
  AnsiString ClassName() const override { return "TFrmMonto"; }
  TMaskEdit* EdValor;
  TEdit* EdNota;
};

struct Setting {
  char decimal, thousands;
};

class AmountDisplay : public ::testing::TestWithParam<Setting> {
 protected:
  void SetUp() override {
    ResetFormatSettings();
    DecimalSeparator = GetParam().decimal;
    ThousandSeparator = GetParam().thousands;
  }
  void TearDown() override { ResetFormatSettings(); }
  // The case's text with ',' as the decimal and '.' as the thousands written in this setting.
  static std::string In(std::string s) {
    for (char& c : s) c = c == ',' ? GetParam().decimal : c == '.' ? GetParam().thousands : c;
    return s;
  }
};

TEST_P(AmountDisplay, GroupsTheTypedFigure) {
  struct Case {
    const char* typed;
    const char* shown;
  } cases[] = {{"12345678901,25", "12.345.678.901,25"}, {"-1234567,5", "-1.234.567,5"}, {"999", "999"},
               {"1000", "1.000"}, {" 123456 ", "123.456"}, {"0,07", "0,07"},
               // Not a plain figure: left as typed.
               {"", ""}, {"12.345,00", "12.345,00"}, {"12a45", "12a45"}, {"-", "-"}, {",5", ",5"}};
  for (const Case& c : cases)
    EXPECT_EQ(GroupedAmountText(In(c.typed).c_str()).str(), In(c.shown)) << c.typed;
}

TEST_P(AmountDisplay, TheEditShowsItGroupedOnlyWithoutTheFocus) {
  HeadlessDriver ui;
  TFrmMonto f(nullptr);
  std::vector<std::string> seen;
  auto look = [&](TForm&) { seen.push_back(f.EdValor->DisplayText().str()); };
  ui.onModal("TFrmMonto")
      .set("EdValor", In("12345678901,25").c_str())
      .run(look)
      .focus("EdNota")
      .run(look)
      .focus("EdValor")
      .run(look)
      .run([&](TForm&) { f.EdValor->EditMask = "!99/99/0000;1; "; })
      .focus("EdNota")
      .run(look)
      .close();
  f.ShowModal();
  std::vector<std::string> want{In("12345678901,25"), In("12.345.678.901,25"), In("12345678901,25"),
                                f.EdValor->EditText.get().str()};
  EXPECT_EQ(seen, want);
  EXPECT_EQ(f.EdValor->Text.get().str().find(GetParam().thousands), std::string::npos);
  // A plain edit shows what it has.
  f.EdNota->Text = "1234567";
  EXPECT_EQ(f.EdNota->DisplayText(), "1234567");
}

INSTANTIATE_TEST_SUITE_P(Settings, AmountDisplay, ::testing::Values(Setting{',', '.'}, Setting{'.', ','}));

}  // namespace
