// Focus and its events, keys, masks, message boxes and the standard controls.
#include <gtest/gtest.h>

#include "platform/forms/Headless.h"
#include "platform/forms/Vcl.h"

using tv::forms::HeadlessDriver;
using tv::forms::UiScriptError;

namespace {

// A form whose controls log their focus, change and click events into `log`.
class TFrmCaptura : public TForm {
 public:
  explicit TFrmCaptura(TComponent* owner) : TForm(owner) {
    Caption = "Captura";
    EdCodigo = Make<TEdit>(this, "EdCodigo");
    EdFecha = Make<TMaskEdit>(this, "EdFecha");
    EdFecha->EditMask = "!99/99/0000;1; ";
    BtnBuscar = Make<TSpeedButton>(this, "BtnBuscar");
    BtnGrabar = Make<TButton>(this, "BtnGrabar");
    BtnGrabar->Caption = "&Grabar";
    BtnGrabar->Default = true;
    BtnSalir = Make<TButton>(this, "BtnSalir");
    BtnSalir->Caption = "&Salir";
    BtnSalir->Cancel = true;
    BtnSalir->ModalResult = mrCancel;
    for (TWinControl* w : {static_cast<TWinControl*>(EdCodigo), static_cast<TWinControl*>(EdFecha),
                           static_cast<TWinControl*>(BtnGrabar)}) {
      w->OnEnter = [this](TObject* s) { log += "enter " + static_cast<TComponent*>(s)->Name + ";"; };
      w->OnExit = [this](TObject* s) { log += "exit " + static_cast<TComponent*>(s)->Name + ";"; };
    }
    EdCodigo->OnChange = [this](TObject*) { log += "change;"; };
    BtnBuscar->OnClick = [this](TObject*) { log += "buscar;"; };
    BtnGrabar->OnClick = [this](TObject*) { log += "grabar;"; };
  }
  AnsiString ClassName() const override { return "TFrmCaptura"; }
  TEdit* EdCodigo;
  TMaskEdit* EdFecha;
  TSpeedButton* BtnBuscar;
  TButton* BtnGrabar;
  TButton* BtnSalir;
  AnsiString log;
};

}  // namespace

TEST(Focus, EnterExitAndClickOrder) {
  HeadlessDriver ui;
  TFrmCaptura f(nullptr);
  ui.onModal("TFrmCaptura")
      .set("EdCodigo", "11")     // already focused: only the change
      .click("BtnBuscar")        // a speed button takes no focus
      .set("EdFecha", "01022024")
      .click("&Grabar")          // the edit is left before the click
      .key(VK_TAB).key(VK_TAB)   // past the last button back to the first control
      .key(VK_RETURN)            // Enter in an edit clicks the default button, no exit
      .key(VK_ESCAPE);
  f.ShowModal();
  EXPECT_EQ(f.log,
            "enter EdCodigo;change;buscar;exit EdCodigo;enter EdFecha;exit EdFecha;enter BtnGrabar;"
            "grabar;exit BtnGrabar;enter EdCodigo;grabar;");
  EXPECT_EQ(f.EdCodigo->Text, "11");
  EXPECT_TRUE(f.EdCodigo->Modified);
  EXPECT_EQ(f.ModalResult, mrCancel);
}

TEST(Focus, ActiveControlGetsTheFocusFirstAndCodeWritesFireOnChange) {
  HeadlessDriver ui;
  TFrmCaptura f(nullptr);
  f.ActiveControl = f.EdFecha;
  f.EdCodigo->Text = "x";  // from code: OnChange, not modified
  EXPECT_EQ(f.log, "change;");
  EXPECT_FALSE(f.EdCodigo->Modified);
  f.EdCodigo->Text = "x";  // same text: nothing
  ui.onModal("TFrmCaptura").run([](TForm& form) {
    EXPECT_EQ(form.FocusedControl()->Name, "EdFecha");
  }).click("BtnSalir");
  f.ShowModal();
  EXPECT_EQ(f.log, "change;enter EdFecha;exit EdFecha;");
}

TEST(Focus, AnExitThatFailsKeepsTheFocusAndStopsTheClick) {
  HeadlessDriver ui;
  TFrmCaptura f(nullptr);
  ui.onModal("TFrmCaptura").set("EdFecha", "0102").click("BtnGrabar").run([](TForm& form) {
    EXPECT_EQ(form.FocusedControl()->Name, "EdFecha");
  }).set("EdFecha", "01022024").click("BtnGrabar").click("BtnSalir");
  f.ShowModal();
  ASSERT_GE(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].Kind, MsgKind::Exception);
  EXPECT_NE(ui.messages()[0].Text.Pos("Valor de entrada no válido"), 0);
  EXPECT_EQ(f.log, "enter EdCodigo;exit EdCodigo;enter EdFecha;exit EdFecha;enter BtnGrabar;grabar;exit BtnGrabar;");
}

// Esc in a modified masked edit gives the typing up and goes no further (the form stays);
// the edit can then be left. Esc in an untouched one reaches the form's cancel button.
TEST(Focus, EscGivesUpAnIncompleteDateAndThenTheEditCanBeLeft) {
  HeadlessDriver ui;
  TFrmCaptura f(nullptr);
  f.EdFecha->Text = "31/12/2024";
  ui.onModal("TFrmCaptura")
      .set("EdFecha", "0101")
      .click("BtnGrabar")
      .key(VK_ESCAPE)
      .run([](TForm& form) {
        auto* ed = static_cast<TFrmCaptura&>(form).EdFecha;
        EXPECT_EQ(form.FocusedControl(), ed);
        EXPECT_EQ(ed->Text, "31/12/2024");
        EXPECT_FALSE(ed->Modified);
        EXPECT_EQ(form.ModalResult, mrNone);
      })
      .click("BtnGrabar")
      .focus("EdFecha")
      .key(VK_ESCAPE);
  f.ShowModal();
  EXPECT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(f.log, "enter EdCodigo;exit EdCodigo;enter EdFecha;exit EdFecha;enter BtnGrabar;grabar;exit BtnGrabar;"
                   "enter EdFecha;");
  EXPECT_EQ(f.ModalResult, mrCancel);
}

TEST(Keys, PreviewShortcutsAcceleratorsAndKeyPress) {
  HeadlessDriver ui;
  TFrmCaptura f(nullptr);
  AnsiString keys;
  f.KeyPreview = true;
  f.OnKeyDown = [&](TObject*, Word& key, TShiftState shift) {
    if (key == VK_F1) { keys += "help;"; key = 0; }
    if (key == 'B' && shift.Contains(ssCtrl)) keys += "ctrl+b;";
  };
  f.EdCodigo->OnKeyDown = [&](TObject*, Word& key, TShiftState) {
    if (key == VK_F1) keys += "edit saw F1;";
    if (key == VK_DELETE) f.EdCodigo->Text = "";
  };
  f.EdCodigo->OnKeyPress = [&](TObject*, char& k) {
    if (k >= 'a' && k <= 'z') k = static_cast<char>(k - 32);
    if (k == '-') k = 0;
  };
  auto* menu = Make<TMainMenu>(&f, "MainMenu1");
  f.Menu = menu;
  auto* nuevo = Make<TMenuItem>(&f, "Nuevo1");
  nuevo->Caption = "&Nuevo";
  nuevo->ShortCut = TextToShortCut("Ctrl+N");
  nuevo->OnClick = [&](TObject*) { keys += "nuevo;"; };
  menu->Items->Add(nuevo);
  ui.onModal("TFrmCaptura")
      .keys("F1")
      .keys("Ctrl+B")
      .keys("Ctrl+N")
      .type("EdCodigo", "ab-c")
      .run([&](TForm&) { EXPECT_EQ(f.EdCodigo->Text, "ABC"); })
      .key("EdCodigo", VK_DELETE)
      .run([&](TForm&) { EXPECT_EQ(f.EdCodigo->Text, ""); })
      .key(VK_END)
      .key('G', TShiftState{ssAlt})  // accelerator of "&Grabar"
      .menu("Nuevo")
      .key('S', TShiftState{ssAlt});
  EXPECT_EQ(f.ShowModal(), mrCancel);
  EXPECT_EQ(keys, "help;ctrl+b;nuevo;nuevo;");
  EXPECT_NE(f.log.Pos("grabar;"), 0);
}

TEST(Mask, EditTextTextAndTyping) {
  HeadlessDriver ui;
  TForm f(nullptr);
  auto* m = Make<TMaskEdit>(&f, "EdMask");
  struct Case {
    const char* mask;
    const char* typed;
    const char* editText;
    const char* text;
  } cases[] = {
      {"!99/99/0000;1; ", "", "  /  /    ", "  /  /    "},
      {"!99/99/0000;1; ", "01022024", "01/02/2024", "01/02/2024"},
      {"!99/99/0000;1; ", "01/02/2024", "01/02/2024", "01/02/2024"},
      {"!99/99/0000;1; ", "3x1/1", "31/1 /    ", "31/1 /    "},
      {"0000;1; ", "20a24", "2024", "2024"},
      {"9,999,999;0; ", "1234567", "1,234,567", "1234567"},
      {"999,999,999,999;0; ", "1234567", "123,456,7  ,   ", "1234567"},
      {"999999.99.99.99.99;1; ", "", "      .  .  .  .  ", "      .  .  .  .  "},
      {">LL-000;0;_", "ab123", "AB-123", "AB123"},
      {"999;0; ", "12", "12 ", "12"},
      {"", "1105101234567890123", "1105101234567890123", "1105101234567890123"},
  };
  f.Show();
  for (const auto& c : cases) {
    m->EditMask = c.mask;
    m->Text = "";
    ui.now(&f).set("EdMask", c.typed);
    EXPECT_EQ(m->EditText, c.editText) << c.mask << " " << c.typed;
    EXPECT_EQ(m->Text, c.text) << c.mask << " " << c.typed;
  }
  m->EditMask = "";  // the account edit: no mask, 18 characters
  m->MaxLength = 18;
  ui.now(&f).set("EdMask", "1105101234567890123");
  EXPECT_EQ(m->Text, "110510123456789012");
}

TEST(Mask, MaskChangesKeepTheValueAndCodeWritesFillFromTheLeft) {
  HeadlessDriver ui;
  TForm f(nullptr);
  auto* m = Make<TMaskEdit>(&f, "edValor");
  m->Text = "1234567.50";
  m->EditMask = "9,999,999;0; ";  // as the grouped-digit masks are chosen by digit count
  EXPECT_EQ(m->EditText, "1,234,567");
  EXPECT_EQ(m->Text, "1234567");
  m->EditMask = "";  // removed on enter so plain numbers are typed
  EXPECT_EQ(m->Text, "1234567");
  m->EditMask = "!99/99/0000;1; ";
  m->Text = "05/03/2024";
  EXPECT_EQ(m->EditText, "05/03/2024");
  m->Text = "05032024";
  EXPECT_EQ(m->EditText, "05/03/2024");
  EXPECT_NO_THROW(m->ValidateEdit());  // not modified by the user
}

TEST(Boxes, KindsCaptionsButtonsAndResults) {
  HeadlessDriver ui;
  ui.answer(mrNo);
  ui.answer("Realmente", IDYES);
  ui.answer(IDCANCEL);
  ui.answerInput("D");
  ui.cancelInput();
  ShowMessage("Información grabada.");
  EXPECT_EQ(MessageDlg("¿Continuar?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0), mrNo);
  EXPECT_EQ(Application->MessageBox("Realmente quiere perder lo digitado?", "Error", MB_YESNO | MB_ICONSTOP), IDYES);
  EXPECT_EQ(MessageBox(nullptr, "¿Guardar?", "Información", MB_YESNOCANCEL | MB_DEFBUTTON2), IDCANCEL);
  EXPECT_EQ(InputBox("Información", "Escriba la naturaleza de la cuenta: D o C", ""), "D");
  EXPECT_EQ(InputBox("Información", "Escriba la naturaleza de la cuenta: D o C", "x"), "x");
  const auto& m = ui.messages();
  ASSERT_EQ(m.size(), 6u);
  EXPECT_EQ(m[0].Kind, MsgKind::ShowMessage);
  EXPECT_EQ(m[0].Caption, "Tallivar");
  EXPECT_EQ(m[0].Buttons, std::vector<AnsiString>{"Aceptar"});
  EXPECT_EQ(m[1].Caption, "Confirmar");
  EXPECT_EQ(m[1].Icon, MsgIcon::Question);
  EXPECT_EQ(m[2].Icon, MsgIcon::Error);
  EXPECT_EQ(m[3].Buttons, (std::vector<AnsiString>{"Sí", "No", "Cancelar"}));
  EXPECT_EQ(m[4].Prompt, "Escriba la naturaleza de la cuenta: D o C");
  EXPECT_EQ(m[5].Result, mrCancel);
  MessageRequest r = MessageBoxRequest("x", "y", MB_YESNOCANCEL | MB_DEFBUTTON2);
  EXPECT_EQ(r.DefaultButton, 1);
  EXPECT_EQ(r.EscapeResult, IDCANCEL);
  // an answer that is not a button of the box fails
  ui.answer(IDOK);
  EXPECT_THROW(Application->MessageBox("?", "Advertencia", MB_YESNO), UiScriptError);
}

TEST(Controls, CodeWritesThatFireEventsAndListsInStep) {
  HeadlessDriver ui;
  TForm f(nullptr);
  AnsiString log;
  auto* ch = Make<TCheckBox>(&f, "chBFiltrada");
  ch->OnClick = [&](TObject*) { log += "check;"; };
  auto* rg = Make<TRadioGroup>(&f, "RadioGroup1");
  rg->Items->Add("Sí");
  rg->Items->Add("No");
  rg->OnClick = [&](TObject*) { log += "rg" + IntToStr(rg->ItemIndex) + ";"; };
  auto* cb = Make<TComboBox>(&f, "CBMes");
  cb->Style = csDropDownList;
  cb->Sorted = true;
  for (const char* s : {"Marzo", " Todos", "Enero"}) cb->Items->Add(s);
  cb->OnChange = [&](TObject*) { log += "cb " + cb->Text.get() + ";"; };
  ch->Checked = true;
  rg->ItemIndex = 1;
  cb->ItemIndex = 0;  // no event from code
  EXPECT_EQ(cb->Text, " Todos");
  cb->Text = "Marzo";
  EXPECT_EQ(cb->ItemIndex, 2);
  cb->Text = "Junio";  // not an item of a drop-down list
  EXPECT_EQ(cb->ItemIndex, -1);
  EXPECT_EQ(cb->Text, "");
  f.Show();
  ui.now(&f).pick("CBMes", "enero").check("chBFiltrada", false).pick("RadioGroup1", "Sí");
  EXPECT_EQ(log, "check;rg1;cb Enero;check;rg0;");
  ui.now(&f).key("chBFiltrada", VK_SPACE);
  EXPECT_TRUE(ch->Checked);
  cb->Items->Clear();
  EXPECT_EQ(cb->ItemIndex, -1);
}

TEST(Controls, UpDownPagesProgressAndStatusBar) {
  HeadlessDriver ui;
  TForm f(nullptr);
  auto* ed = Make<TEdit>(&f, "EdYear");
  int changes = 0;
  ed->OnChange = [&](TObject*) { ++changes; };
  auto* ud = Make<TUpDown>(&f, "UpDown1");
  ud->Min = 0;
  ud->Max = 2200;
  ud->Thousands = false;
  ud->Associate = ed;
  ud->Position = 2000;
  EXPECT_EQ(ed->Text, "2000");
  f.Show();
  ui.now(&f).set("EdYear", "2024").run([&](TForm&) { ud->UserClickButton(true); });
  EXPECT_EQ(ud->Position, 2025);
  EXPECT_EQ(ed->Text, "2025");
  EXPECT_EQ(changes, 4);  // associating, positioning, typing, clicking
  auto* pc = Make<TPageControl>(&f, "PageControl1");
  auto* t1 = Make<TTabSheet>(&f, "TabSheet1");
  t1->Caption = "General";
  t1->PageControl = pc;
  auto* t2 = Make<TTabSheet>(&f, "TabSheet2");
  t2->Caption = "Cuentas";
  t2->PageControl = pc;
  EXPECT_EQ(pc->ActivePage, t1);
  ui.now(&f).pick("PageControl1", "Cuentas");
  EXPECT_EQ(pc->ActivePageIndex(), 1);
  TProgressBar bar(nullptr);
  bar.Min = 1;
  bar.Max = 1000;
  bar.Step = 1;
  bar.Position = 1;
  for (int i = 0; i < 999; ++i) bar.StepIt();
  EXPECT_EQ(bar.Position, 1000);
}

TEST(Keys, PostedKeyRunsAfterTheCurrentEventInTheInnerLoop) {
  HeadlessDriver ui;
  TForm outer(nullptr);
  auto* abrir = Make<TButton>(&outer, "BtnAbrir");
  AnsiString log;
  TForm inner(nullptr);
  inner.Caption = "Interno";
  auto* ed = Make<TEdit>(&inner, "EdCuenta");
  ed->OnKeyDown = [&](TObject*, Word& k, TShiftState) {
    if (k == VK_END) log += "end;";
  };
  auto* ok = Make<TButton>(&inner, "BtnOk");
  ok->ModalResult = mrOk;
  ok->OnClick = [&](TObject*) {
    PostMessage(ed->Handle, WM_KEYDOWN, VK_END, 0);
    log += "click;";
    inner.ModalResult = mrNone;
  };
  abrir->OnClick = [&](TObject*) { inner.ShowModal(); };
  ui.onModal("Interno").click("BtnOk").run([&](TForm&) { EXPECT_EQ(log, "click;end;"); }).close();
  outer.Show();
  ui.now(&outer).click("BtnAbrir");
  EXPECT_EQ(log, "click;end;");
}

// Caret keys select with Shift from the fixed end, Ctrl+A selects all, and typing replaces
// the selection, in plain and masked edits.
TEST(Keys, ShiftAndCtrlASelectAndTypingReplacesTheSelection) {
  HeadlessDriver ui;
  TFrmCaptura f(nullptr);
  f.EdCodigo->Text = "CAJA MENOR";
  f.EdFecha->Text = "31/12/2024";
  ui.onModal("TFrmCaptura")
      .type("EdCodigo", "X")  // entering selects everything
      .run([&](TForm&) { EXPECT_EQ(f.EdCodigo->Text, "X"); })
      .type("EdCodigo", "YZ")
      .key("EdCodigo", VK_HOME, TShiftState{ssShift})
      .key("EdCodigo", VK_RIGHT, TShiftState{ssShift})  // the fixed end stays at the end
      .type("EdCodigo", "W")
      .run([&](TForm&) { EXPECT_EQ(f.EdCodigo->Text, "XW"); })
      .key("EdCodigo", VK_LEFT)
      .key("EdCodigo", VK_END, TShiftState{ssShift})
      .type("EdCodigo", "Q")
      .run([&](TForm&) { EXPECT_EQ(f.EdCodigo->Text, "XQ"); })
      .key("EdCodigo", 'A', TShiftState{ssCtrl})
      .type("EdCodigo", "BANCO")
      .run([&](TForm&) { EXPECT_EQ(f.EdCodigo->Text, "BANCO"); })
      .key("EdFecha", VK_HOME)
      .key("EdFecha", VK_RIGHT)
      .key("EdFecha", VK_RIGHT)
      .key("EdFecha", VK_RIGHT)
      .key("EdFecha", VK_END, TShiftState{ssShift})
      .type("EdFecha", "01")
      .run([&](TForm&) { EXPECT_EQ(f.EdFecha->EditText.get(), "31/01/    "); })
      .key("EdFecha", 'A', TShiftState{ssCtrl})
      .type("EdFecha", "01022025")
      .run([&](TForm&) { EXPECT_EQ(f.EdFecha->Text, "01/02/2025"); })
      .key('S', TShiftState{ssAlt});
  EXPECT_EQ(f.ShowModal(), mrCancel);
}
