// A person at the keyboard: real key events (XTest) into real widgets under a window manager.
// Every step waits for what it needs on the screen or in the model, never for a fixed time.
#include <gtest/gtest.h>
#include <wx/grid.h>
#include <wx/uiaction.h>
#include <wx/wx.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Gui.h"
#include "gui/Survey.h"
#include "gui/Waits.h"
#include "platform/forms/Vcl.h"
#include "shared/dialogs/Calendar.h"

namespace {

using survey::TopmostTitle;

using tv::gui::WidgetOf;

// Steps run one after another from a timer inside whatever loop is running; a step may wait
// for a condition first. A condition that never holds fails the test instead of hanging it.
class Script {
 public:
  Script& then(std::function<void()> fn) {
    steps_.push_back({std::move(fn), nullptr, {}});
    return *this;
  }
  Script& until(std::function<bool()> cond, std::string what) {
    steps_.push_back({[] {}, std::move(cond), std::move(what)});
    return *this;
  }
  void start() {
    timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Next(); });
    timer_.StartOnce(50);
    watchdog_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
      ADD_FAILURE() << "waited in vain for: " << waiting_;
      failed_ = true;
      // Whatever is open goes, so the test ends.
      for (wxWindow* w : wxTopLevelWindows)
        if (auto* d = dynamic_cast<wxDialog*>(w); d && d->IsModal() && d->GetName() == "tvMessageBox")
          d->EndModal(wxID_CANCEL);
      Application->Terminate();
    });
    Arm();
  }
  bool done() const { return next_ >= steps_.size() && !failed_; }
  ~Script() {
    timer_.Stop();
    watchdog_.Stop();
  }

 private:
  void Arm() {
    // Generous: a loaded machine is slow, but a wait that never ends is a failure.
    watchdog_.StartOnce(waits::Deadline(20000));
  }
  void Next() {
    if (failed_ || next_ >= steps_.size()) return;
    // A person acts once the handler (or the step before) is over.
    if (!waits::Acting::MayAct()) {
      timer_.StartOnce(20);
      return;
    }
    Step& s = steps_[next_];
    if (s.cond && !s.cond()) {
      waiting_ = s.what;
      timer_.StartOnce(20);
      return;
    }
    ++next_;
    Arm();
    timer_.StartOnce(20);
    waits::Acting acting;
    s.fn();
  }
  struct Step {
    std::function<void()> fn;
    std::function<bool()> cond;
    std::string what;
  };
  std::vector<Step> steps_;
  size_t next_ = 0;
  bool failed_ = false;
  std::string waiting_;
  wxTimer timer_, watchdog_;
};

void Type(const char* text) { wxUIActionSimulator().Text(text); }
void Key(int key, int modifiers = wxMOD_NONE) { wxUIActionSimulator().Char(key, modifiers); }

void ClickCell(TStringGrid* g, int col, int row) {
  auto* grid = dynamic_cast<wxGrid*>(WidgetOf(g));
  ASSERT_TRUE(grid);
  wxRect r = grid->CellToRect(row, col);
  wxUIActionSimulator sim;
  sim.MouseMove(grid->GetGridWindow()->ClientToScreen(r.GetPosition() + wxPoint(8, r.height / 2)));
  sim.MouseClick();
}

wxTextCtrl* TextOf(TControl* c) { return dynamic_cast<wxTextCtrl*>(WidgetOf(c)); }

// The edit's widget shows this selection (a caret when from == to).
bool Selected(TControl* c, long from, long to) {
  wxTextCtrl* t = TextOf(c);
  long a = -1, b = -1;
  if (t) t->GetSelection(&a, &b);
  return a == from && b == to;
}

// The widget that has the keyboard focus belongs to this control.
bool HasFocus(TControl* c) {
  wxWindow* w = WidgetOf(c);
  wxWindow* f = wxWindow::FindFocus();
  if (!w || !f) return false;
  if (auto* g = dynamic_cast<wxGrid*>(w)) w = g->GetGridWindow();
  return f == w || w->IsDescendant(f);
}

bool Showing(TForm* f) {
  auto* t = tv::gui::WindowOf(f);
  return t && t->IsShown() && t->IsActive();
}

class FrmTeclas : public TForm {
 public:
  explicit FrmTeclas(TComponent* AOwner) : TForm(AOwner) {
    Name = "FrmTeclas";
    Caption = "Teclado";
    BorderStyle = bsDialog;
    Position = poScreenCenter;
    EdNombre = Make<TEdit>(this, "EdNombre");
    EdNombre->Width = 220;
    EdNombre->Text = "CAJA MENOR";
    EdFecha = Make<TMaskEdit>(this, "EdFecha");
    EdFecha->EditMask = "!99/99/0000;1; ";
    EdFecha->Text = "31/12/2024";
    EdValor = Make<TEdit>(this, "EdValor");
    EdValor->Text = "1000000";
    Memo = Make<TMemo>(this, "Memo");
    Memo->Lines->Add("Nota");
    Grid = Make<TStringGrid>(this, "Grid");
    Grid->ColCount = 2;
    Grid->RowCount = 3;
    Grid->FixedCols = 0;
    Grid->Options << goEditing;
    Grid->Cells[0][0] = "Rubro";
    Grid->Cells[1][0] = "Valor";
    Grid->Cells[0][1] = "2.1";
    Grid->Cells[1][1] = "500";
    BtnAceptar = Make<TButton>(this, "BtnAceptar");
    BtnAceptar->Caption = "&Aceptar";
    BtnAceptar->Default = true;
    BtnAceptar->ModalResult = mrOk;
    BtnAceptar->OnClick = [this](TObject*) { ++aceptados; };
    BtnCancelar = Make<TButton>(this, "BtnCancelar");
    BtnCancelar->Caption = "&Cancelar";
    BtnCancelar->Cancel = true;
    BtnCancelar->ModalResult = mrCancel;
  }
  TEdit* EdNombre;
  TMaskEdit* EdFecha;
  TEdit* EdValor;
  TMemo* Memo;
  TStringGrid* Grid;
  TButton *BtnAceptar, *BtnCancelar;
  int aceptados = 0;
};

class KeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override { Application->ResetForTests(); }
  void TearDown() override { tv::gui::Pump(50); }
};

// Text shown selected is replaced by what is typed: on entering with Tab, after Ctrl+A,
// after Shift+Home/End/arrows, in plain and masked edits.
TEST_F(KeyboardTest, TypingReplacesTheSelectedText) {
  auto f = std::make_unique<FrmTeclas>(nullptr);
  AnsiString nombre1, fecha1, valor1, nombre2, nombre3, fecha2, valor2;
  Script s;
  s.until([&] { return Showing(f.get()) && HasFocus(f->EdNombre); }, "the form with the name focused")
      .then([&] { Type("CAJA"); })  // the name came selected with the form
      // The name held "CAJA MENOR": four letters typed over it, or more, are a new text.
      .until([&] { return f->EdNombre->Text.get() != "CAJA MENOR" && TextOf(f->EdNombre)->GetValue().length() >= 4; },
             "the typed name")
      .then([&] { nombre1 = f->EdNombre->Text; })
      .then([&] { Key(WXK_TAB); })
      .until([&] { return HasFocus(f->EdFecha); }, "the date focused by Tab")
      .then([&] { Type("01012025"); })
      .until([&] { return f->EdFecha->Text.get().Pos("2025") > 0; }, "the typed date")
      .then([&] { fecha1 = f->EdFecha->Text; })
      .then([&] { Key(WXK_TAB); })
      .until([&] { return HasFocus(f->EdValor); }, "the amount focused by Tab")
      .then([&] { Type("5"); })
      .until([&] { return f->EdValor->Text.get().Pos("5") > 0; }, "the typed amount")
      .then([&] { valor1 = f->EdValor->Text; })
      // Back to the name; Ctrl+A after moving the caret selects everything again.
      .then([&] { Key(WXK_TAB, wxMOD_SHIFT); })
      .until([&] { return HasFocus(f->EdFecha); }, "the date focused by Shift+Tab")
      .then([&] { Key(WXK_TAB, wxMOD_SHIFT); })
      .until([&] { return HasFocus(f->EdNombre); }, "the name focused by Shift+Tab")
      .then([&] { Key(WXK_END); })
      .then([&] { Key('A', wxMOD_CONTROL); })
      .then([&] { Type("BANCOS"); })
      .until([&] { return f->EdNombre->Text.get().Pos("BANCOS") > 0; }, "the name typed after Ctrl+A")
      .then([&] { nombre2 = f->EdNombre->Text; })
      // Shift+Home from the end selects back to the start; Shift+Left gives one back.
      .then([&] { Key(WXK_END); })
      .then([&] { Key(WXK_HOME, wxMOD_SHIFT); })
      .then([&] { Key(WXK_RIGHT, wxMOD_SHIFT); })  // still from the end: now all but the first letter
      .then([&] { Type("X"); })
      .until([&] { return f->EdNombre->Text.get().Pos("X") > 0; }, "the name typed after Shift+Home")
      .then([&] { nombre3 = f->EdNombre->Text; })
      // A masked edit: Shift+End from the day selects the rest.
      .then([&] { Key(WXK_TAB); })
      .until([&] { return HasFocus(f->EdFecha); }, "the date focused again")
      .then([&] { Key(WXK_HOME); })
      .until([&] { return Selected(f->EdFecha, 0, 0); }, "the caret at the start of the date")
      .then([&] { Key(WXK_RIGHT); })
      .then([&] { Key(WXK_RIGHT); })
      .then([&] { Key(WXK_RIGHT); })
      .until([&] { return Selected(f->EdFecha, 3, 3); }, "the caret after the day")
      .then([&] { Key(WXK_END, wxMOD_SHIFT); })
      .until([&] { return Selected(f->EdFecha, 3, 10); }, "the rest of the date selected")
      .then([&] { Type("0"); })
      .until([&] { return f->EdFecha->Text.get() != fecha1; }, "the date changed after Shift+End")
      .then([&] { fecha2 = f->EdFecha->Text; })
      .then([&] { Type("12026"); })
      .until([&] { return f->EdFecha->Text.get().Pos("2026") > 0; }, "the date completed")
      .then([&] { Key(WXK_TAB); })
      .until([&] { return HasFocus(f->EdValor); }, "the amount focused again")
      .then([&] { Type("7"); })
      .until([&] { return f->EdValor->Text.get().Pos("7") > 0; }, "the amount typed again")
      .then([&] { valor2 = f->EdValor->Text; })
      .then([&] { Key(WXK_ESCAPE); });
  s.start();
  f->ShowModal();
  EXPECT_TRUE(s.done());
  EXPECT_EQ(nombre1, "CAJA");
  EXPECT_EQ(fecha1, "01/01/2025");
  EXPECT_EQ(valor1, "5");
  EXPECT_EQ(nombre2, "BANCOS");
  EXPECT_EQ(nombre3, "BX");
  EXPECT_EQ(fecha2, "01/0 /    ");
  EXPECT_EQ(f->EdFecha->Text.get(), "01/01/2026");
  EXPECT_EQ(valor2, "7");
}

// Enter in a grid cell ends the edit and moves on; it never presses the default button.
// Enter in a plain edit still does.
TEST_F(KeyboardTest, EnterInAGridCellMovesOnAndInAnEditPressesTheDefaultButton) {
  auto f = std::make_unique<FrmTeclas>(nullptr);
  AnsiString valor;
  int colTrasEnter = -1, filaTrasEnter = -1;
  Script s;
  s.until([&] { return Showing(f.get()) && HasFocus(f->EdNombre); }, "the form")
      .then([&] { ClickCell(f->Grid, 1, 1); })
      .until([&] { return HasFocus(f->Grid) && f->Grid->Col == 1 && f->Grid->Row == 1; }, "the value cell")
      .then([&] { Type("750"); })
      .until([&] { return static_cast<wxGrid*>(WidgetOf(f->Grid))->IsCellEditControlShown(); }, "the cell editor")
      .then([&] { Key(WXK_RETURN); })
      .until([&] { return f->Grid->Cells[1][1] != "500"; }, "the typed value in the cell")
      .until([&] { return f->Grid->Row == 2; }, "the next cell")
      .then([&] {
        valor = f->Grid->Cells[1][1];
        colTrasEnter = f->Grid->Col;
        filaTrasEnter = f->Grid->Row;
      })
      .then([&] { Key(WXK_RETURN); })  // Enter on a cell not being edited moves on too
      .until([&] { return f->Grid->Col == 1; }, "the cell on the right")
      .then([&] { Key(WXK_ESCAPE); });
  s.start();
  EXPECT_EQ(f->ShowModal(), mrCancel);
  EXPECT_TRUE(s.done());
  EXPECT_EQ(valor, "750");
  EXPECT_EQ(colTrasEnter, 0);
  EXPECT_EQ(filaTrasEnter, 2);
  EXPECT_EQ(f->aceptados, 0);

  auto g = std::make_unique<FrmTeclas>(nullptr);
  Script s2;
  s2.until([&] { return Showing(g.get()) && HasFocus(g->EdNombre); }, "the second form")
      .then([&] { Key(WXK_RETURN); });
  s2.start();
  EXPECT_EQ(g->ShowModal(), mrOk);
  EXPECT_TRUE(s2.done());
  EXPECT_EQ(g->aceptados, 1);
}

wxTopLevelWindow* MessageBoxShown() {
  for (wxWindow* w : wxTopLevelWindows)
    if (w->GetName() == "tvMessageBox" && w->IsShown()) return static_cast<wxTopLevelWindow*>(w);
  return nullptr;
}

// An OK-kind button closes its form after the click handler, also when the handler ran
// another modal form and then a message box; that box comes on top, with the focus, and
// Enter answers it rather than pressing the button again.
TEST_F(KeyboardTest, OkButtonClosesItsFormAfterABoxThatComesOnTopWithTheFocus) {
  auto f = std::make_unique<FrmTeclas>(nullptr);
  auto otra = std::make_unique<FrmTeclas>(nullptr);
  otra->Caption = "Otra ventana";
  int respuestas = 0;
  f->BtnAceptar->OnClick = [&](TObject*) {
    ++f->aceptados;
    otra->ShowModal();
    Application->MessageBox("La tarea ha terminado.", "Aviso de prueba", MB_OK);
    ++respuestas;
  };
  bool activa = false, foco = false;
  std::string arriba;
  Script s;
  s.until([&] { return Showing(f.get()) && HasFocus(f->EdNombre); }, "the form")
      .then([&] { Key(WXK_RETURN); })
      .until([&] { return Showing(otra.get()) && HasFocus(otra->EdNombre); }, "the other form")
      .then([&] { Key(WXK_RETURN); })
      .until([&] { return MessageBoxShown() && MessageBoxShown()->IsActive(); }, "the message box active")
      .then([&] { tv::gui::Pump(100); })  // whatever the toolkit had queued runs first
      .then([&] {
        wxTopLevelWindow* box = MessageBoxShown();
        activa = box && box->IsActive();
        wxWindow* fw = wxWindow::FindFocus();
        foco = box && fw && (fw == box || box->IsDescendant(fw));
        arriba = TopmostTitle();
      })
      .then([&] { Key(WXK_RETURN); });
  s.start();
  EXPECT_EQ(f->ShowModal(), mrOk);
  EXPECT_TRUE(s.done());
  EXPECT_TRUE(activa);
  EXPECT_TRUE(foco);
  EXPECT_EQ(arriba, "Aviso de prueba");
  EXPECT_EQ(respuestas, 1);
  EXPECT_EQ(f->aceptados, 1);
  EXPECT_EQ(otra->aceptados, 1);
}

// A word selected by a double-click is replaced by what is typed next.
TEST_F(KeyboardTest, TypingReplacesAWordSelectedByADoubleClick) {
  auto f = std::make_unique<FrmTeclas>(nullptr);
  Script s;
  s.until([&] { return Showing(f.get()) && HasFocus(f->EdNombre); }, "the form")
      .then([&] {
        // Over the second word of "CAJA MENOR".
        wxTextCtrl* t = TextOf(f->EdNombre);
        wxPoint p = t->ClientToScreen(wxPoint(t->GetTextExtent("CAJA ME").x + 4, t->GetClientSize().y / 2));
        wxUIActionSimulator sim;
        sim.MouseMove(p);
        sim.MouseDblClick();
      })
      .until([&] {
        long from = 0, to = 0;
        TextOf(f->EdNombre)->GetSelection(&from, &to);
        return from == 5 && to == 10;
      }, "the second word selected")
      .then([&] { Type("MAYOR"); })
      .until([&] { return f->EdNombre->Text.get().Pos("Y") > 0; }, "the typed word")
      .then([&] { Key(WXK_ESCAPE); });
  s.start();
  f->ShowModal();
  EXPECT_TRUE(s.done());
  EXPECT_EQ(f->EdNombre->Text.get(), "CAJA MAYOR");
}

// A form whose OK-kind button's handler shows a box, while model events (a timer) keep
// running inside the box's loop, still closes once the box is answered.
TEST_F(KeyboardTest, OkButtonClosesItsFormWhenItsEndCameInsideABoxsLoop) {
  auto f = std::make_unique<FrmTeclas>(nullptr);
  auto* timer = Make<TTimer>(f.get(), "Timer1");
  timer->Interval = 40;
  int ticks = 0, ticksConCaja = 0;
  bool caja = false;
  timer->OnTimer = [&](TObject*) {
    ++ticks;
    if (caja) ++ticksConCaja;
  };
  f->BtnAceptar->OnClick = [&](TObject*) {
    caja = true;
    Application->MessageBox("Grabado.", "Aviso de prueba", MB_OK);
    caja = false;
  };
  Script s;
  s.until([&] { return Showing(f.get()) && HasFocus(f->EdNombre); }, "the form")
      .then([&] { Key(WXK_RETURN); })
      .until([&] { return MessageBoxShown() && MessageBoxShown()->IsActive() && ticksConCaja >= 3; },
             "the box, with the timer running under it")
      .then([&] { Key(WXK_RETURN); });
  s.start();
  EXPECT_EQ(f->ShowModal(), mrOk);
  EXPECT_TRUE(s.done());
  EXPECT_FALSE(caja);
}


void ClickButton(TControl* b) {
  wxWindow* w = WidgetOf(b);
  ASSERT_TRUE(w);
  wxUIActionSimulator sim;
  sim.MouseMove(w->GetScreenRect().GetPosition() + w->GetSize() / 2);
  sim.MouseClick();
}

bool Editing(TCustomGrid* g) {
  auto* grid = dynamic_cast<wxGrid*>(WidgetOf(g));
  return grid && grid->IsCellEditControlShown();
}

// A button pressed by its accelerator, or clicked, while a cell is being typed acts on the
// typed text: the edit ends first, as leaving the cell would, and no editor is left open.
TEST_F(KeyboardTest, AButtonOrShortcutEndsTheCellEditFirst) {
  for (bool raton : {false, true}) {
    SCOPED_TRACE(raton ? "clicked" : "Alt+A");
    auto f = std::make_unique<FrmTeclas>(nullptr);
    AnsiString visto = "-";
    bool editorAbierto = true;
    f->BtnAceptar->OnClick = [&](TObject*) {
      visto = f->Grid->Cells[1][1];
      editorAbierto = Editing(f->Grid);
    };
    Script s;
    s.until([&] { return Showing(f.get()) && HasFocus(f->EdNombre); }, "the form")
        .then([&] { ClickCell(f->Grid, 1, 1); })
        .until([&] { return HasFocus(f->Grid) && f->Grid->Col == 1 && f->Grid->Row == 1; }, "the value cell")
        .then([&] { Type("750"); })
        .until([&] { return Editing(f->Grid); }, "the cell editor")
        .then([&] {
          if (raton)
            ClickButton(f->BtnAceptar);
          else
            Key('a', wxMOD_ALT);
        });
    s.start();
    EXPECT_EQ(f->ShowModal(), mrOk);
    EXPECT_TRUE(s.done());
    EXPECT_EQ(visto, "750");
    EXPECT_FALSE(editorAbierto);
  }
}

// Esc in a cell being typed drops the typed text and leaves the form open; the next Esc
// reaches the cancel button.
TEST_F(KeyboardTest, EscInACellDropsTheTypedTextAndOnlyTheNextOneCloses) {
  auto f = std::make_unique<FrmTeclas>(nullptr);
  bool abierta = false;
  AnsiString tras;
  Script s;
  s.until([&] { return Showing(f.get()) && HasFocus(f->EdNombre); }, "the form")
      .then([&] { ClickCell(f->Grid, 1, 1); })
      .until([&] { return HasFocus(f->Grid) && f->Grid->Col == 1 && f->Grid->Row == 1; }, "the value cell")
      .then([&] { Type("999"); })
      .until([&] { return Editing(f->Grid); }, "the cell editor")
      .then([&] { Key(WXK_ESCAPE); })
      .until([&] { return !Editing(f->Grid); }, "the editor closed")
      .then([&] { tv::gui::Pump(100); })  // whatever the toolkit had queued runs first
      .then([&] {
        abierta = Showing(f.get());
        tras = f->Grid->Cells[1][1];
      })
      .then([&] { Key(WXK_ESCAPE); });
  s.start();
  EXPECT_EQ(f->ShowModal(), mrCancel);
  EXPECT_TRUE(s.done());
  EXPECT_TRUE(abierta);
  EXPECT_EQ(tras, "500");
  EXPECT_EQ(f->Grid->Cells[1][1], "500");
}

// A multi-line box takes Enter as a new line; Ctrl+Enter presses the default button.
TEST_F(KeyboardTest, AMultiLineBoxTakesEnterAndCtrlEnterPressesTheDefaultButton) {
  auto f = std::make_unique<FrmTeclas>(nullptr);
  f->Memo->Text = "Nota";
  Script s;
  s.until([&] { return Showing(f.get()) && HasFocus(f->EdNombre); }, "the form")
      .then([&] { ClickButton(f->Memo); })
      .until([&] { return HasFocus(f->Memo); }, "the memo focused")
      .then([&] { Key(WXK_END, wxMOD_CONTROL); })
      .then([&] { Key(WXK_RETURN); })
      .then([&] { Type("Linea dos"); })
      .until([&] { return f->Memo->Text.get().Pos("dos") > 0; }, "the second line typed")
      .then([&] { Key(WXK_RETURN, wxMOD_CONTROL); });
  s.start();
  EXPECT_EQ(f->ShowModal(), mrOk);
  EXPECT_TRUE(s.done());
  EXPECT_EQ(f->aceptados, 1);
  ASSERT_EQ(f->Memo->Lines->Count(), 2);
  EXPECT_EQ(f->Memo->Lines->Strings(0), "Nota");
  EXPECT_EQ(f->Memo->Lines->Strings(1), "Linea dos");
}

// The drop-down list of a combo is showing (GTK looked up at run time).
bool ListOpen(TControl* c) {
  using Get = void (*)(void*, const char*, ...);
  static auto get = reinterpret_cast<Get>(dlsym(RTLD_DEFAULT, "g_object_get"));
  wxWindow* w = WidgetOf(c);
  int shown = 0;
  if (get && w && w->GetHandle()) get(w->GetHandle(), "popup-shown", &shown, nullptr);
  return shown != 0;
}

class FrmMenus : public TForm {
 public:
  explicit FrmMenus(TComponent* AOwner) : TForm(AOwner) {
    Name = "FrmMenus";
    Caption = "Menús";
    Position = poScreenCenter;
    Width = 420;
    Height = 220;
    auto* menu = Make<TMainMenu>(this, "MainMenu1");
    Menu = menu;
    auto* archivo = new TMenuItem(menu);
    archivo->Caption = "&Archivo";
    menu->Items->Add(archivo);
    auto* uno = new TMenuItem(menu);
    uno->Caption = "&Uno";
    uno->OnClick = [this](TObject*) { ++unos; };
    archivo->Add(uno);
    auto* ver = new TMenuItem(menu);
    ver->Caption = "&Ver";
    menu->Items->Add(ver);
    auto* dos = new TMenuItem(menu);
    dos->Caption = "&Dos";
    dos->OnClick = [this](TObject*) { ++doses; };
    ver->Add(dos);
    Nombre = Make<TEdit>(this, "Nombre");
    Nombre->SetBounds(8, 8, 200, 24);
    Lista = Make<TComboBox>(this, "Lista");
    Lista->Style = csDropDownList;
    Lista->SetBounds(8, 40, 200, 24);
    for (const char* i : {"Debito", "Credito", "Neto"}) Lista->Items->Add(i);
    Lista->ItemIndex = 0;
    BtnCancelar = Make<TButton>(this, "BtnCancelar");
    BtnCancelar->Caption = "Cancelar";
    BtnCancelar->Cancel = true;
    BtnCancelar->ModalResult = mrCancel;
    BtnCancelar->SetBounds(8, 80, 90, 26);
  }
  TEdit* Nombre;
  TComboBox* Lista;
  TButton* BtnCancelar;
  int unos = 0, doses = 0;
};

// The menu bar works from the keyboard: F10 and Alt+letter open it, arrows move in it,
// Enter chooses and Esc leaves it. A drop-down list opens with Alt+Down and chooses with
// arrows and typed letters.
TEST_F(KeyboardTest, MenusAndDropDownListsWorkFromTheKeyboard) {
  auto f = std::make_unique<FrmMenus>(nullptr);
  int abiertos = 0, cerrados = 0;
  int listaTrasAltAbajo = -1, listaTrasFlecha = -1;
  AnsiString nombre;
  Script s;
  s.until([&] { return Showing(f.get()) && HasFocus(f->Nombre); }, "the form")
      .then([&] {
        tv::gui::WindowOf(f.get())->Bind(wxEVT_MENU_OPEN, [&](wxMenuEvent& e) {
          e.Skip();
          ++abiertos;
        });
        tv::gui::WindowOf(f.get())->Bind(wxEVT_MENU_CLOSE, [&](wxMenuEvent& e) {
          e.Skip();
          ++cerrados;
        });
      })
      .then([&] { Key(WXK_F10); })
      .until([&] { return abiertos > 0; }, "a menu opened by F10")
      .then([&] { Key(WXK_ESCAPE); })
      .until([&] { return cerrados > 0; }, "the menu closed by Esc")
      .until([&] { return HasFocus(f->Nombre) && tv::gui::WindowOf(f.get())->IsActive(); }, "the form again")
      .then([&] { Type("Z"); })
      .until([&] { return f->Nombre->Text.get().Pos("Z") > 0; }, "a letter typed after the menu")
      .then([&] { Key(WXK_F10); })
      .until([&] { return abiertos > 1; }, "the menu opened again by F10")
      .then([&] { Key(WXK_DOWN); })
      .then([&] { Key(WXK_RETURN); })
      .until([&] { return f->unos == 1; }, "the first item chosen with Down and Enter")
      .then([&] { Key('v', wxMOD_ALT); })
      .until([&] { return abiertos > 2; }, "the second menu opened by Alt+V")
      .then([&] { Key(WXK_DOWN); })
      .then([&] { Key(WXK_RETURN); })
      .until([&] { return f->doses == 1; }, "its item chosen")
      .until([&] { return tv::gui::WindowOf(f.get())->IsActive(); }, "the form active again")
      .then([&] { Key(WXK_TAB); })
      .until([&] { return HasFocus(f->Lista); }, "the list focused")
      .then([&] { Key(WXK_DOWN, wxMOD_ALT); })
      .until([&] { return ListOpen(f->Lista); }, "the list opened by Alt+Down")
      .then([&] { Key(WXK_DOWN); })
      .then([&] { Key(WXK_RETURN); })
      .until([&] { return !ListOpen(f->Lista) && f->Lista->ItemIndex == 1; }, "the second item chosen in the list")
      .then([&] { listaTrasAltAbajo = f->Lista->ItemIndex; })
      .until([&] { return tv::gui::WindowOf(f.get())->IsActive() && HasFocus(f->Lista); }, "the list's form again")
      .then([&] { Key(WXK_DOWN); })
      .until([&] { return f->Lista->ItemIndex == 2; }, "the third item chosen with Down")
      .then([&] { listaTrasFlecha = f->Lista->ItemIndex; })
      .then([&] { Type("d"); })
      .until([&] { return f->Lista->ItemIndex == 0; }, "the item chosen by its first letter")
      .then([&] { nombre = f->Nombre->Text; })
      .then([&] { Key(WXK_ESCAPE); });
  s.start();
  EXPECT_EQ(f->ShowModal(), mrCancel);
  EXPECT_TRUE(s.done());
  EXPECT_EQ(f->unos, 1);
  EXPECT_EQ(f->doses, 1);
  EXPECT_EQ(listaTrasAltAbajo, 1);
  EXPECT_EQ(listaTrasFlecha, 2);
  EXPECT_EQ(nombre.Pos("Z"), 1);
}

// Letters choose inside the open list of the calendar's months as in the closed one: the next
// month starting with the letter, round past the end; Enter takes it.
TEST_F(KeyboardTest, LettersChooseInsideAnOpenDropDownList) {
  auto f = std::make_unique<TFrmCalendar>(nullptr);
  f->year = 2024;
  f->month = 1;
  TComboBox* cb = f->CBMes;
  int trasMm = -1, trasD = -1, trasE = -1;
  AnsiString textoMm;
  auto abrir = [&](Script& s) {
    s.until([&] { return tv::gui::WindowOf(f.get())->IsActive(); }, "the calendar active")
        .then([&] { cb->SetFocus(); })
        .until([&] { return HasFocus(cb); }, "the month list focused")
        .then([&] { Key(WXK_DOWN, wxMOD_ALT); })
        .until([&] { return ListOpen(cb); }, "the month list open");
  };
  Script s;
  s.until([&] { return Showing(f.get()) && cb->ItemIndex == 0; }, "the calendar in January");
  abrir(s);
  s.then([&] { Type("m"); })
      .then([&] { Type("M"); })
      .then([&] { Key(WXK_RETURN); })
      .until([&] { return !ListOpen(cb) && cb->ItemIndex != 0; }, "a month taken with Enter")
      .then([&] {
        trasMm = cb->ItemIndex;
        textoMm = cb->Text;
      });
  abrir(s);
  s.then([&] { Type("d"); })
      .then([&] { Key(WXK_RETURN); })
      .until([&] { return !ListOpen(cb) && cb->ItemIndex != trasMm; }, "December taken with Enter")
      .then([&] { trasD = cb->ItemIndex; });
  abrir(s);
  s.then([&] { Type("e"); })
      .then([&] { Key(WXK_RETURN); })
      .until([&] { return !ListOpen(cb) && cb->ItemIndex != trasD; }, "January taken past the end")
      .then([&] { trasE = cb->ItemIndex; })
      .then([&] { f->Button1->UserClick(); });
  s.start();
  f->ShowModal();
  EXPECT_TRUE(s.done());
  EXPECT_EQ(trasMm, 4);  // March, then May
  EXPECT_EQ(textoMm, LongMonthNames[4]);
  EXPECT_EQ(trasD, 11);
  EXPECT_EQ(trasE, 0);
  EXPECT_EQ(f->month, 1);
}

void ClickOn(TControl* c) {
  wxWindow* w = WidgetOf(c);
  ASSERT_TRUE(w);
  wxUIActionSimulator sim;
  sim.MouseMove(w->GetScreenRect().GetPosition() + w->GetSize() / 2);
  sim.MouseClick();
}

// An incomplete date never traps: clicking away says so once and leaves the keyboard in the
// date (the box answered with Enter or with Esc); Esc in the date gives the typing up, and the
// button then works.
TEST_F(KeyboardTest, AnIncompleteDateSaysSoOnceAndEscGivesTheTypingUp) {
  auto f = std::make_unique<FrmTeclas>(nullptr);
  int cajas = 0;
  wxWindow* vista = nullptr;  // the last box counted
  wxTimer contador;
  contador.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    wxTopLevelWindow* b = MessageBoxShown();
    if (b && b != vista) ++cajas;
    vista = b;
  });
  contador.Start(10);
  std::string texto;
  auto enLaFecha = [&] {
    return !MessageBoxShown() && Showing(f.get()) && HasFocus(f->EdFecha) && f->FocusedControl() == f->EdFecha;
  };
  Script s;
  s.until([&] { return Showing(f.get()) && HasFocus(f->EdNombre); }, "the form")
      .then([&] { Key(WXK_TAB); })
      .until([&] { return HasFocus(f->EdFecha); }, "the date focused")
      .then([&] { Type("0101"); })
      .until([&] { return f->EdFecha->Text.get() == "01/01/    "; }, "the incomplete date")
      .then([&] { ClickOn(f->BtnAceptar); })
      .until([&] { return MessageBoxShown() && MessageBoxShown()->IsActive(); }, "the box")
      .then([&] { texto = static_cast<const char*>(MessageBoxShown()->GetTitle().utf8_str()); })
      .then([&] { Key(WXK_RETURN); })
      .until(enLaFecha, "the keyboard back in the date after Enter")
      .then([&] { tv::gui::Pump(300); })  // whatever the toolkit had queued runs first
      .until(enLaFecha, "the keyboard still in the date")
      .then([&] { ClickOn(f->BtnAceptar); })
      .until([&] { return MessageBoxShown() && MessageBoxShown()->IsActive(); }, "the box again")
      .then([&] { Key(WXK_ESCAPE); })
      .until(enLaFecha, "the keyboard back in the date after Esc")
      .then([&] { tv::gui::Pump(300); })
      .until(enLaFecha, "the keyboard still in the date after Esc")
      .then([&] { Key(WXK_ESCAPE); })
      .until([&] { return f->EdFecha->Text.get() == "31/12/2024"; }, "the date given up")
      .then([&] { ClickOn(f->BtnAceptar); });
  s.start();
  EXPECT_EQ(f->ShowModal(), mrOk);
  contador.Stop();
  EXPECT_TRUE(s.done());
  EXPECT_EQ(cajas, 2);
  EXPECT_EQ(f->aceptados, 1);
  EXPECT_EQ(f->EdFecha->Text.get(), "31/12/2024");
}

// The X window of a top-level window, and the window it is marked as belonging to.
unsigned long Xid(wxWindow* w) {
  using GetWindow = void* (*)(void*);
  using GetXid = unsigned long (*)(void*);
  static auto window = reinterpret_cast<GetWindow>(dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
  static auto xid = reinterpret_cast<GetXid>(dlsym(RTLD_DEFAULT, "gdk_x11_window_get_xid"));
  void* gw = w && w->GetHandle() && window ? window(w->GetHandle()) : nullptr;
  return gw && xid ? xid(gw) : 0;
}
unsigned long TransientFor(wxWindow* w) {
  unsigned long id = Xid(w), owner = 0;
  if (!id) return 0;
  std::string cmd = "xprop -id " + std::to_string(id) + " WM_TRANSIENT_FOR";
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[256];
    while (fgets(buf, sizeof buf, p))
      if (const char* h = strstr(buf, "# 0x")) owner = strtoul(h + 2, nullptr, 16);
    pclose(p);
  }
  return owner;
}

// A form opened from another belongs to it, and so does a message box: a click on the owner
// leaves the window it opened on top, with the keyboard.
TEST_F(KeyboardTest, WindowsOpenedFromAFormBelongToItAndStayAboveIt) {
  auto f = std::make_unique<FrmTeclas>(nullptr);
  auto otra = std::make_unique<FrmTeclas>(nullptr);
  otra->Caption = "Otra ventana";
  f->BtnAceptar->OnClick = [&](TObject*) { otra->ShowModal(); };
  otra->BtnAceptar->OnClick = [&](TObject*) { Application->MessageBox("Hecho.", "Caja de prueba", MB_OK); };
  unsigned long duenoOtra = 1, xidF = 0, duenoCaja = 1, xidOtra = 0;
  std::string arriba;
  Script s;
  s.until([&] { return Showing(f.get()) && HasFocus(f->EdNombre); }, "the form")
      .then([&] { Key(WXK_RETURN); })
      .until([&] { return Showing(otra.get()) && HasFocus(otra->EdNombre); }, "the other form")
      .then([&] {
        duenoOtra = TransientFor(tv::gui::WindowOf(otra.get()));
        xidF = Xid(tv::gui::WindowOf(f.get()));
      })
      // Moved aside, as by its title bar, so that the owner shows beside it.
      .then([&] { tv::gui::WindowOf(otra.get())->Move(0, 0); })
      .until([&] { return tv::gui::WindowOf(otra.get())->GetScreenPosition().x < 100; }, "the other form moved")
      .then([&] {
        // A point of the owner the other form leaves uncovered.
        wxRect r = tv::gui::WindowOf(f.get())->GetScreenRect();
        wxUIActionSimulator sim;
        sim.MouseMove(r.GetRight() - 8, r.GetBottom() - 8);
        sim.MouseClick();
      })
      .then([&] { tv::gui::Pump(300); })
      .then([&] { arriba = TopmostTitle(); })
      .until([&] { return Showing(otra.get()); }, "the other form active again")
      .then([&] { Key(WXK_RETURN); })
      .until([&] { return MessageBoxShown() && MessageBoxShown()->IsActive(); }, "the box")
      .then([&] {
        duenoCaja = TransientFor(MessageBoxShown());
        xidOtra = Xid(tv::gui::WindowOf(otra.get()));
      })
      .then([&] { Key(WXK_RETURN); });  // both forms close with their OK buttons
  s.start();
  EXPECT_EQ(f->ShowModal(), mrOk);
  EXPECT_TRUE(s.done());
  EXPECT_NE(xidF, 0u);
  EXPECT_EQ(duenoOtra, xidF);
  EXPECT_EQ(arriba, "Otra ventana");
  EXPECT_EQ(duenoCaja, xidOtra);
}

}  // namespace
