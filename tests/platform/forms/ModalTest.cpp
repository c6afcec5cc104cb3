// Modal loops, scripted answers, timers and quit through the headless driver.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/forms/Vcl.h"
#include "platform/forms/Headless.h"

using tv::forms::HeadlessDriver;
using tv::forms::UiScriptError;

namespace {

// A small dialog: an edit, OK and Cancel buttons, a log of its events.
class TFrmDialogo : public TForm {
 public:
  explicit TFrmDialogo(TComponent* owner) : TForm(owner) {
    Name = "FrmDialogo";
    Caption = "Diálogo";
    EdNombre = Make<TEdit>(this, "EdNombre");
    BtnAceptar = Make<TButton>(this, "BtnAceptar");
    BtnAceptar->Caption = "&Aceptar";
    BtnAceptar->ModalResult = mrOk;
    BtnAceptar->Default = true;
    BtnCancelar = Make<TButton>(this, "BtnCancelar");
    BtnCancelar->Caption = "&Cancelar";
    BtnCancelar->ModalResult = mrCancel;
    BtnCancelar->Cancel = true;
    OnCreate = [this](TObject*) { log += "create;"; };
    OnShow = [this](TObject*) { log += "show;"; };
    OnActivate = [this](TObject*) { log += "activate;"; };
    OnClose = [this](TObject*, TCloseAction&) { log += "close;"; };
  }
  AnsiString ClassName() const override { return "TFrmDialogo"; }
  TEdit* EdNombre;
  TButton* BtnAceptar;
  TButton* BtnCancelar;
  AnsiString log;
};

// An outer form whose button opens the dialog and asks a question.
class TFrmExterno : public TForm {
 public:
  explicit TFrmExterno(TComponent* owner) : TForm(owner) {
    Caption = "Externo";
    BtnAbrir = Make<TButton>(this, "BtnAbrir");
    BtnAbrir->Caption = "Abrir";
    BtnAbrir->OnClick = [this](TObject*) {
      TFrmDialogo dlg(this);
      resultado = dlg.ShowModal();
      nombre = dlg.EdNombre->Text;
      if (Application->MessageBox("¿Grabar?", "Advertencia", MB_YESNO | MB_ICONEXCLAMATION) == IDYES)
        grabado = true;
    };
    OnActivate = [this](TObject*) { ++activaciones; };
  }
  AnsiString ClassName() const override { return "TFrmExterno"; }
  TButton* BtnAbrir;
  int resultado = -1;
  AnsiString nombre;
  bool grabado = false;
  int activaciones = 0;
};

}  // namespace

TEST(Modal, NestedFormsPlayTheirScriptsAndBoxAnswers) {
  HeadlessDriver ui;
  ui.onModal("TFrmExterno").click("Abrir").close();
  ui.onModal("Diálogo").set("EdNombre", "Ana").click("&Aceptar");
  ui.answer("Grabar", IDYES);
  auto* ext = new TFrmExterno(Application);
  EXPECT_EQ(ext->ShowModal(), mrCancel);
  EXPECT_EQ(ext->resultado, mrOk);
  EXPECT_EQ(ext->nombre, "Ana");
  EXPECT_TRUE(ext->grabado);
  // activated when shown and again when the dialog closed
  EXPECT_EQ(ext->activaciones, 2);
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].Caption, "Advertencia");
  EXPECT_EQ(ui.messages()[0].Icon, MsgIcon::Warning);
  EXPECT_EQ(ui.messages()[0].Buttons, (std::vector<AnsiString>{"Sí", "No"}));
  EXPECT_EQ(ui.unused(), "");
}

TEST(Modal, FormEventsRunInOrderAndCreateOnlyOnce) {
  HeadlessDriver ui;
  TFrmDialogo dlg(nullptr);
  ui.onModal("TFrmDialogo").key(VK_ESCAPE);
  ui.onModal("TFrmDialogo").key(VK_RETURN);
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
  EXPECT_EQ(dlg.ShowModal(), mrOk);  // a hidden form is shown again
  EXPECT_EQ(dlg.log, "create;show;activate;close;show;activate;close;");
}

TEST(Modal, CloseQueryVetoKeepsTheFormOpen) {
  HeadlessDriver ui;
  TFrmDialogo dlg(nullptr);
  dlg.OnCloseQuery = [&](TObject*, bool& can) {
    can = !dlg.EdNombre->Text.IsEmpty();
    if (!can) ShowMessage("Falta el nombre");
  };
  ui.onModal("TFrmDialogo").click("BtnAceptar").set("EdNombre", "x").click("BtnAceptar");
  EXPECT_EQ(dlg.ShowModal(), mrOk);
  EXPECT_EQ(ui.messageTexts(), "Falta el nombre\n");
}

TEST(Modal, HandlerMayResetModalResultToStayOpen) {
  HeadlessDriver ui;
  TFrmDialogo dlg(nullptr);
  int clicks = 0;
  dlg.BtnAceptar->OnClick = [&](TObject*) {
    if (++clicks == 1) dlg.ModalResult = mrNone;
  };
  ui.onModal("TFrmDialogo").click("BtnAceptar").click("BtnAceptar");
  EXPECT_EQ(dlg.ShowModal(), mrOk);
  EXPECT_EQ(clicks, 2);
}

TEST(Modal, UnexpectedFormOrBoxFailsWithADescription) {
  HeadlessDriver ui;
  TFrmDialogo dlg(nullptr);
  dlg.EdNombre->Text = "Pepe";
  try {
    dlg.ShowModal();
    FAIL() << "no failure";
  } catch (const UiScriptError& e) {
    std::string what = e.what();
    EXPECT_NE(what.find("Unexpected modal form TFrmDialogo"), std::string::npos) << what;
    EXPECT_NE(what.find("EdNombre = \"Pepe\""), std::string::npos) << what;
  }
  EXPECT_FALSE(dlg.Showing());
  EXPECT_THROW(Application->MessageBox("¿Seguro?", "Advertencia", MB_YESNO), UiScriptError);
  // a box with one button needs no answer
  EXPECT_EQ(Application->MessageBox("Listo", "Información", MB_OK | MB_ICONINFORMATION), IDOK);
}

TEST(Modal, ScriptLeftOverOrFormStillOpenFail) {
  HeadlessDriver ui;
  TFrmDialogo dlg(nullptr);
  ui.onModal("TFrmDialogo").set("EdNombre", "x");
  EXPECT_THROW(dlg.ShowModal(), UiScriptError);
  ui.onModal("TFrmDialogo").click("BtnAceptar").set("EdNombre", "y");
  EXPECT_THROW(dlg.ShowModal(), UiScriptError);
  EXPECT_NE(ui.failure(), "");
}

TEST(Modal, TimerClosesTheModalForm) {
  HeadlessDriver ui;
  TFrmDialogo splash(nullptr);
  auto* timer = Make<TTimer>(&splash, "Timer1");
  timer->Interval = 1500;
  timer->OnTimer = [&](TObject*) { splash.Close(); };
  ui.onModal("TFrmDialogo").timers();
  EXPECT_EQ(splash.ShowModal(), mrCancel);
  // a disabled timer does not fire
  timer->Enabled = false;
  int fired = 0;
  timer->OnTimer = [&](TObject*) { ++fired; };
  ui.fireTimers();
  EXPECT_EQ(fired, 0);
}

TEST(Modal, TerminateEndsEveryModalLoopWhateverCloseQuerySays) {
  HeadlessDriver ui;
  TFrmExterno* ext = new TFrmExterno(Application);
  ext->OnCloseQuery = [](TObject*, bool& can) { can = false; };
  ui.onModal("TFrmExterno").click("Abrir");
  ui.answer(IDNO);  // the handler goes on after the inner loop ends
  ui.onModal("TFrmDialogo").run([](TForm& f) {
    f.OnCloseQuery = [](TObject*, bool& can) { can = false; };
    Application->Terminate();
    f.Close();
  });
  EXPECT_EQ(ext->ShowModal(), mrCancel);
  EXPECT_EQ(ext->resultado, mrCancel);
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(ui.unused(), "");
}

TEST(Modal, ExceptionInAHandlerShowsTheErrorBoxAndTheLoopGoesOn) {
  HeadlessDriver ui;
  TFrmDialogo dlg(nullptr);
  dlg.BtnAceptar->OnClick = [](TObject*) { throw EConvertError("'x' no es un número"); };
  ui.onModal("TFrmDialogo").click("BtnAceptar");
  EXPECT_EQ(dlg.ShowModal(), mrOk);  // the result was set before the handler ran
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].Kind, MsgKind::Exception);
  EXPECT_EQ(ui.messages()[0].Text, "'x' no es un número.");
  EXPECT_EQ(ui.messages()[0].Caption, "Tallivar");
}

namespace {
struct TFrmPrincipal : TForm {
  TFrmPrincipal* seen = nullptr;
  bool created = false;
  explicit TFrmPrincipal(TComponent* o);
};
TFrmPrincipal* FrmPrincipal = nullptr;
TFrmPrincipal::TFrmPrincipal(TComponent* o) : TForm(o) {
  seen = FrmPrincipal;
  OnCreate = [this](TObject*) { created = true; };
}
}  // namespace

TEST(Modal, CreateFormAssignsThePointerBeforeTheConstructor) {
  HeadlessDriver ui;
  Application->CreateForm(&FrmPrincipal);
  EXPECT_EQ(FrmPrincipal->seen, FrmPrincipal);
  EXPECT_TRUE(FrmPrincipal->created);
  EXPECT_EQ(Application->MainForm, FrmPrincipal);
}

namespace {
// A main window with a menu whose items open a dialog, open help and quit.
class TFrmVentana : public TForm {
 public:
  explicit TFrmVentana(TComponent* o) : TForm(o) {
    Caption = "TALLIVAR-P";
    MainMenu1 = Make<TMainMenu>(this, "MainMenu1");
    Menu = MainMenu1;
    auto* archivo = Make<TMenuItem>(this, "Archivo1");
    archivo->Caption = "&Archivo";
    MainMenu1->Items->Add(archivo);
    auto* abrir = Make<TMenuItem>(this, "Abrir1");
    abrir->Caption = "&Abrir...";
    abrir->OnClick = [this](TObject*) {
      auto* dlg = new TFrmDialogo(this);
      dlg->OnClose = [](TObject*, TCloseAction& a) { a = caFree; };
      dlg->ShowModal();
      ++abiertos;
    };
    archivo->Add(abrir);
    auto* ayuda = Make<TMenuItem>(this, "Ayuda1");
    ayuda->Caption = "A&yuda";
    ayuda->OnClick = [](TObject*) {
      std::string page = std::filesystem::temp_directory_path() / "tv_forms_ayuda.html";
      std::ofstream(page) << "<html></html>";
      tv::os::OpenHelpPage(page, "plan");
    };
    archivo->Add(ayuda);
    auto* salir = Make<TMenuItem>(this, "Salir1");
    salir->Caption = "&Salir";
    salir->OnClick = [this](TObject*) { Close(); };
    archivo->Add(salir);
    OnClose = [this](TObject*, TCloseAction&) { cerrado = true; };
  }
  AnsiString ClassName() const override { return "TFrmVentana"; }
  TMainMenu* MainMenu1;
  int abiertos = 0;
  bool cerrado = false;
};
TFrmVentana* FrmVentana = nullptr;
}  // namespace

TEST(Modal, RunPlaysTheMainFormUntilItCloses) {
  HeadlessDriver ui;
  Application->CreateForm(&FrmVentana);
  ui.onModal("TFrmVentana").menu("Archivo|Abrir...").menu("Archivo|Ayuda").menu("Archivo|Salir");
  ui.onModal("TFrmDialogo").key(VK_RETURN);
  Application->Run();
  EXPECT_EQ(FrmVentana->abiertos, 1);
  EXPECT_TRUE(FrmVentana->cerrado);
  EXPECT_TRUE(Application->Terminated());
  ASSERT_EQ(ui.launches().size(), 1u);
  EXPECT_EQ(ui.launches()[0].kind, tv::os::LaunchKind::HelpPage);
  // the released dialog is gone: only the main window is left
  EXPECT_EQ(Screen->FormCount(), 1);
  EXPECT_EQ(ui.unused(), "");
}

TEST(Modal, QuitBeforeRunEndsEverythingAtOnce) {
  HeadlessDriver ui;
  Application->CreateForm(&FrmVentana);
  Application->Terminate();
  TFrmDialogo dlg(nullptr);
  EXPECT_EQ(dlg.ShowModal(), mrCancel);  // no script needed: the loop ends as it starts
  Application->Run();
  EXPECT_FALSE(FrmVentana->Showing());
}
