// Desktop smoke tests: real windows under Xvfb, driven by simulated mouse and keyboard.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <wx/cmndata.h>
#include <wx/filedlg.h>
#include <wx/grid.h>
#include <wx/uiaction.h>
#include <wx/wx.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Driver.h"
#include "gui/Gui.h"
#include "gui/Preview.h"
#include "gui/Waits.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Vcl.h"
#include "platform/report/ReportUi.h"
#include "shared/dialogs/RepairDialog.h"

namespace {

using tv::gui::Pump;
using tv::gui::WidgetOf;

class GuiEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static char arg0[] = "test_gui";
    static char* argv[] = {arg0, nullptr};
    ASSERT_TRUE(tv::gui::Initialize(1, argv)) << "no display";
    // A failed toolkit check is a test failure, not a dialog that waits for a click.
    wxSetAssertHandler([](const wxString& file, int line, const wxString& func, const wxString& cond,
                          const wxString& msg) {
      ADD_FAILURE() << "wx assertion " << cond.utf8_str() << " in " << func.utf8_str() << " (" << file.utf8_str()
                    << ":" << line << ") " << msg.utf8_str();
    });
  }
  void TearDown() override { tv::gui::Shutdown(); }
};
const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

// Steps that run one after another from timers, inside whatever loop is running (the
// form's modal loop or a message box's), as a user would act on the screen.
class Steps {
 public:
  Steps& then(std::function<void()> fn, int delayMs = 150) {
    steps_.push_back({std::move(fn), delayMs, nullptr});
    return *this;
  }
  // Holds the script until the model has caught up (e.g. focus moved), so a loaded
  // machine can't reorder simulated input against deferred focus changes.
  Steps& until(std::function<bool()> cond) {
    steps_.push_back({[] {}, 30, std::move(cond)});
    return *this;
  }
  void start() {
    timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Next(); });
    timer_.StartOnce(steps_.empty() ? 10 : steps_[0].delay + 300);
    // A script that gets stuck must not hang the run.
    watchdog_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
      ADD_FAILURE() << "the script did not finish (step " << next_ << ")";
      Application->Terminate();
    });
    watchdog_.StartOnce(waits::Deadline(30000));
  }
  bool done() const { return next_ >= steps_.size(); }
  ~Steps() {
    timer_.Stop();
    watchdog_.Stop();
  }

 private:
  void Next() {
    if (next_ >= steps_.size()) return;
    // A person's next action comes after the handler, not inside it.
    if (!waits::Acting::MayAct()) {
      timer_.StartOnce(30);
      return;
    }
    if (steps_[next_].cond && !steps_[next_].cond()) {
      timer_.StartOnce(30);
      return;
    }
    size_t i = next_++;
    if (next_ < steps_.size()) timer_.StartOnce(steps_[next_].delay);
    waits::Acting acting;
    steps_[i].fn();
  }
  struct Step {
    std::function<void()> fn;
    int delay;
    std::function<bool()> cond;
  };
  std::vector<Step> steps_;
  size_t next_ = 0;
  wxTimer timer_;
  wxTimer watchdog_;
};

void ClickAt(wxPoint p) {
  wxUIActionSimulator sim;
  sim.MouseMove(p);
  wxMilliSleep(20);
  sim.MouseClick();
}

void Click(wxWindow* w) {
  ASSERT_TRUE(w);
  wxRect r = w->GetScreenRect();
  ClickAt(wxPoint(r.x + std::min(r.width / 2, 30), r.y + r.height / 2));
}

void Type(const char* text) { wxUIActionSimulator().Text(text); }
void Key(int key, int modifiers = wxMOD_NONE) { wxUIActionSimulator().Char(key, modifiers); }

// Saves the screen when TV_SCREENSHOTS names a folder (for looking at the layout).
void Screenshot(const std::string& name) {
  const char* dir = std::getenv("TV_SCREENSHOTS");
  if (!dir || !*dir) return;
  Pump(100);
  std::string cmd = "import -window root '" + std::string(dir) + "/" + name + ".png'";
  if (std::system(cmd.c_str()) != 0) ADD_FAILURE() << "screenshot failed";
}

wxWindow* FindTop(const wxString& name) {
  for (wxWindow* w : wxTopLevelWindows)
    if (w->GetName() == name && w->IsShown()) return w;
  return nullptr;
}

// The form's window is on the screen and has the keyboard: simulated input reaches it.
bool Ready(TForm* f) {
  wxTopLevelWindow* t = tv::gui::WindowOf(f);
  return t && t->IsShownOnScreen() && t->IsActive();
}

wxButton* FindButton(wxWindow* parent, const wxString& label) {
  for (wxWindow* c : parent->GetChildren())
    if (auto* b = dynamic_cast<wxButton*>(c); b && wxStripMenuCodes(b->GetLabel()) == label) return b;
  return nullptr;
}

// A dialog with one control of most kinds, built the way the application builds forms.
class TFrmPrueba : public TForm {
 public:
  explicit TFrmPrueba(TComponent* AOwner) : TForm(AOwner) {
    Name = "FrmPrueba";
    Caption = "Prueba de controles";
    BorderStyle = bsDialog;
    Position = poScreenCenter;
    LblNombre = Make<TLabel>(this, "LblNombre");
    LblNombre->Caption = "&Nombre:";
    EdNombre = Make<TEdit>(this, "EdNombre");
    EdNombre->Width = 220;
    LblFecha = Make<TLabel>(this, "LblFecha");
    LblFecha->Caption = "Fecha:";
    EdFecha = Make<TMaskEdit>(this, "EdFecha");
    EdFecha->EditMask = "!99/99/0000;1; ";
    ChkActiva = Make<TCheckBox>(this, "ChkActiva");
    ChkActiva->Caption = "Cuenta &activa";
    LblTipo = Make<TLabel>(this, "LblTipo");
    LblTipo->Caption = "Tipo:";
    CbTipo = Make<TComboBox>(this, "CbTipo");
    CbTipo->Style = csDropDownList;
    CbTipo->Items->Add("Débito");
    CbTipo->Items->Add("Crédito");
    CbTipo->Items->Add("Ambos");
    CbTipo->ItemIndex = 0;
    CbTipo->OnChange = [this](TObject*) { ++cambiosTipo; };
    RgNaturaleza = Make<TRadioGroup>(this, "RgNaturaleza");
    RgNaturaleza->Caption = "Naturaleza";
    RgNaturaleza->Items->Add("Débito");
    RgNaturaleza->Items->Add("Crédito");
    RgNaturaleza->Columns = 2;
    RgNaturaleza->ItemIndex = 0;
    Grid = Make<TStringGrid>(this, "Grid");
    Grid->ColCount = 3;
    Grid->RowCount = 4;
    Grid->FixedCols = 0;
    Grid->Options << goEditing;
    Grid->ColWidths[0] = 80;
    Grid->ColWidths[1] = 200;
    Grid->ColWidths[2] = 100;
    Grid->Cells[0][0] = "Código";
    Grid->Cells[1][0] = "Descripción";
    Grid->Cells[2][0] = "Valor";
    Grid->Cells[0][1] = "1105";
    Grid->Cells[1][1] = "Caja general";
    Grid->Cells[2][1] = "1.500,00";
    Grid->OnDrawCell = [this](TObject*, int c, int r, const TRect& rc, TGridDrawState st) {
      // Amounts right-aligned in blue, as the application's drawing events do.
      if (c != 2 || r == 0 || st.Contains(gdSelected)) return;
      TCanvas* cv = Grid->Canvas;
      cv->Brush->Color = clWhite;
      cv->Font->Color = clBlue;
      cv->FillRect(rc);
      AnsiString t = Grid->Cells[c][r];
      cv->TextOut(rc.Right - cv->TextWidth(t) - 2, rc.Top + 2, t);
    };
    Memo = Make<TMemo>(this, "Memo");
    Memo->Lines->Add("Observaciones con acentos: año, señal, ítem.");
    BtnPreguntar = Make<TButton>(this, "BtnPreguntar");
    BtnPreguntar->Caption = "&Preguntar";
    BtnPreguntar->Hint = "Hace una pregunta";
    BtnPreguntar->ShowHint = true;
    BtnPreguntar->OnClick = [this](TObject*) {
      respuesta = Application->MessageBox("¿Desea continuar?", "Advertencia", MB_YESNO | MB_ICONQUESTION);
    };
    BtnAceptar = Make<TButton>(this, "BtnAceptar");
    BtnAceptar->Caption = "&Aceptar";
    BtnAceptar->Default = true;
    BtnAceptar->ModalResult = mrOk;
    BtnCancelar = Make<TButton>(this, "BtnCancelar");
    BtnCancelar->Caption = "&Cancelar";
    BtnCancelar->Cancel = true;
    BtnCancelar->ModalResult = mrCancel;
    StatusBar = Make<TStatusBar>(this, "StatusBar");
    StatusBar->SimplePanel = true;
    StatusBar->SimpleText = "Listo";
  }
  TLabel *LblNombre, *LblFecha, *LblTipo;
  TEdit* EdNombre;
  TMaskEdit* EdFecha;
  TCheckBox* ChkActiva;
  TComboBox* CbTipo;
  TRadioGroup* RgNaturaleza;
  TStringGrid* Grid;
  TMemo* Memo;
  TButton *BtnPreguntar, *BtnAceptar, *BtnCancelar;
  TStatusBar* StatusBar;
  int cambiosTipo = 0;
  int respuesta = 0;
};

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override { Application->ResetForTests(); }
  void TearDown() override { Pump(50); }
};

TEST_F(GuiTest, TypesTicksPicksAndEditsCellThroughTheScreen) {
  auto form = std::make_unique<TFrmPrueba>(nullptr);
  Steps s;
  s.until([&] { return Ready(form.get()); })
      .then([&] { Screenshot("form"); }, 200)
      .then([&] { Click(WidgetOf(form->EdNombre)); })
      .until([&] { return form->ActiveControl == form->EdNombre; })
      .then([&] { Type("Caja menor"); })
      .then([&] { Click(WidgetOf(form->EdFecha)); })
      .until([&] { return form->ActiveControl == form->EdFecha; })
      .then([&] { Key(WXK_HOME); })
      .then([&] { Type("3112x2024"); })  // the letter is refused by the mask
      .then([&] { Click(WidgetOf(form->ChkActiva)); })
      .until([&] { return form->ActiveControl == form->ChkActiva; })
      .then([&] { Key(WXK_TAB); })  // to the drop-down list
      .until([&] { return form->ActiveControl == form->CbTipo; })
      .then([&] { Key(WXK_DOWN); })  // picks the next item
      .then([&] {
        auto* g = static_cast<wxGrid*>(WidgetOf(form->Grid));
        wxRect r = g->CellToRect(2, 1);  // row 2, column 1
        wxPoint p = g->GetGridWindow()->ClientToScreen(r.GetPosition() + wxPoint(10, r.height / 2));
        ClickAt(p);
      })
      .until([&] { return form->ActiveControl == form->Grid; })
      .then([&] { Type("Bancos"); })
      .then([&] { Key(WXK_DOWN); })  // leaves the cell: the text goes to the model
      .then([&] { Screenshot("form-filled"); })
      .then([&] { Click(WidgetOf(form->BtnAceptar)); }, 250);
  s.start();
  TModalResult r = form->ShowModal();
  EXPECT_TRUE(s.done());
  EXPECT_EQ(r, mrOk);
  EXPECT_EQ(form->EdNombre->Text.get(), "Caja menor");
  EXPECT_TRUE(form->EdNombre->Modified);
  EXPECT_EQ(form->EdFecha->Text.get(), "31/12/2024");
  EXPECT_TRUE(form->ChkActiva->Checked);
  EXPECT_EQ(form->CbTipo->ItemIndex, 1);
  EXPECT_EQ(form->CbTipo->Text.get(), "Crédito");
  EXPECT_EQ(form->cambiosTipo, 1);
  EXPECT_EQ(form->Grid->Cells[1][2], "Bancos");
}

TEST_F(GuiTest, AnswersAMessageBoxAndClosesTheDialogWithEsc) {
  auto form = std::make_unique<TFrmPrueba>(nullptr);
  std::vector<wxString> labels;
  wxString caption;
  Steps s;
  s.until([&] { return Ready(form.get()); })
      .then([&] { Click(WidgetOf(form->BtnPreguntar)); })
      .until([] { return FindTop("tvMessageBox") != nullptr; })
      .then([&] {
        wxWindow* box = FindTop("tvMessageBox");
        ASSERT_TRUE(box) << "no message box";
        caption = static_cast<wxTopLevelWindow*>(box)->GetTitle();
        for (wxWindow* c : box->GetChildren())
          if (auto* b = dynamic_cast<wxButton*>(c)) labels.push_back(b->GetLabel());
        Screenshot("messagebox");
        Click(FindButton(box, "No"));
      }, 300)
      .until([] { return FindTop("tvMessageBox") == nullptr; })
      .then([&] {
        // Text typed into the edit shows there, set from the model too.
        form->EdNombre->Text = "Señal ñandú";
        Application->AfterEvent();
      })
      .then([&] { Key(WXK_ESCAPE); }, 200);
  s.start();
  TModalResult r = form->ShowModal();
  EXPECT_EQ(r, mrCancel);
  EXPECT_EQ(caption, "Advertencia");
  EXPECT_EQ(labels, (std::vector<wxString>{wxString::FromUTF8("Sí"), "No"}));
  EXPECT_EQ(form->respuesta, IDNO);
}

TEST_F(GuiTest, ModelChangesShowAtOnceAndTimersFire) {
  auto form = std::make_unique<TFrmPrueba>(nullptr);
  auto* timer = Make<TTimer>(form.get(), "Timer1");
  timer->Interval = 50;
  int ticks = 0;
  timer->OnTimer = [&](TObject*) {
    ++ticks;
    form->StatusBar->SimpleText = "Tic " + IntToStr(ticks);
    form->LblNombre->Caption = "Cambiado";
    if (ticks == 3) {
      timer->Enabled = false;
      form->ModalResult = mrAbort;  // a timer closes the modal form
    }
  };
  wxString status, label;
  form->OnClose = [&](TObject*, TCloseAction&) {
    status = static_cast<wxStatusBar*>(WidgetOf(form->StatusBar))->GetStatusText();
    label = static_cast<wxStaticText*>(WidgetOf(form->LblNombre))->GetLabel();
  };
  EXPECT_EQ(form->ShowModal(), mrAbort);
  EXPECT_EQ(ticks, 3);
  // The widgets showed the state of the second tick when the third one closed the form.
  EXPECT_EQ(status, "Tic 2");
  EXPECT_EQ(label, "Cambiado");
}

// A wait window shown inside a long handler: a repaint asked for after longer than a frame of
// work shows the bar where the model has it.
TEST_F(GuiTest, ProgressBarFollowsTheModelInsideALongHandler) {
  auto owner = std::make_unique<TForm>(nullptr);
  auto* espera = new TForm(owner.get());
  espera->Caption = "Espera";
  espera->ClientWidth = 259;
  espera->ClientHeight = 119;
  auto* lbl = Make<TLabel>(espera, "Label1");
  lbl->SetBounds(16, 20, 227, 28);
  auto* bar = Make<TProgressBar>(espera, "PBar");
  bar->SetBounds(16, 70, 227, 20);
  std::vector<std::pair<int, int>> seen;
  Steps s;
  s.then([&] {
    // The long handler: no event loop runs but for the repaints it asks for.
    espera->Show();
    bar->Max = 8;
    for (int i = 1; i <= 8; ++i) {
      wxMilliSleep(60);  // the work of one item
      bar->Position = i;
      lbl->Caption = IntToStr(i * 3);
      espera->Repaint();
      auto* g = static_cast<wxGauge*>(WidgetOf(bar));
      seen.emplace_back(g->GetValue(), g->GetRange());
    }
    espera->Close();
  });
  s.start();
  for (int i = 0; i < 1000 && !s.done(); ++i) Pump(20);
  ASSERT_EQ(seen.size(), 8u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(seen[i], std::make_pair(i + 1, 8)) << i;
}

// A wait window asked to repaint for every item of a quick loop (the trial balance walks
// thousands of accounts) is drawn about once a frame, not once an item, and shows the last
// state as soon as the handler ends.
TEST_F(GuiTest, WaitWindowRepaintedPerItemOfAQuickLoopDrawsOncePerFrame) {
  auto form = std::make_unique<TFrmPrueba>(nullptr);
  auto* espera = new TForm(form.get());
  espera->ClientWidth = 259;
  espera->ClientHeight = 119;
  auto* lbl = Make<TLabel>(espera, "Label1");
  lbl->SetBounds(16, 20, 227, 28);
  auto* bar = Make<TProgressBar>(espera, "PBar");
  bar->SetBounds(16, 70, 227, 20);
  auto* procesar = Make<TButton>(form.get(), "BtnProcesar");
  procesar->Parent = form.get();
  procesar->SetBounds(8, 8, 80, 24);
  constexpr int kItems = 2000;
  int dibujados = 0;
  procesar->OnClick = [&](TObject*) {
    espera->Show();
    bar->Max = kItems;
    for (int i = 1; i <= kItems; ++i) {
      bar->Position = i;
      lbl->Caption = IntToStr(i);
      espera->Repaint();
      if (static_cast<wxGauge*>(WidgetOf(bar))->GetValue() == i) ++dibujados;
    }
  };
  int valor = 0;
  wxString texto;
  Steps s;
  s.then([&] { procesar->UserClick(); })
      .then([&] {
        valor = static_cast<wxGauge*>(WidgetOf(bar))->GetValue();
        texto = static_cast<wxStaticText*>(WidgetOf(lbl))->GetLabel();
        form->ModalResult = mrOk;
        Application->AfterEvent();
      });
  s.start();
  form->ShowModal();
  EXPECT_GE(dibujados, 1);
  EXPECT_LT(dibujados, kItems / 10);
  EXPECT_EQ(valor, kItems);
  EXPECT_EQ(texto, wxString::Format("%d", kItems));
}

// A grid's last column is stretched to the grid's width: an amount the model right-aligns in
// its narrower cell is drawn against the right edge of the wider one, not pulled into the middle.
TEST_F(GuiTest, RightAlignedTextStaysRightInAStretchedCell) {
  const int ancho = 600, alto = 24;
  for (const char* monto : {"0,00", "1.500.000,00"}) {
    TCanvas cv;
    cv.Brush->Color = clWhite;
    cv.FillRect(Rect(0, 0, 90, 20));
    cv.TextOut(90 - cv.TextWidth(monto) - 2, 2, monto);
    wxBitmap bmp(ancho, alto);
    {
      wxMemoryDC dc(bmp);
      dc.SetBackground(*wxWHITE_BRUSH);
      dc.Clear();
      tv::gui::ReplayCanvas(dc, cv, Rect(0, 0, 90, 20), wxRect(0, 0, ancho, alto), true);
    }
    wxImage img = bmp.ConvertToImage();
    int izquierda = ancho, derecha = -1;
    for (int x = 0; x < ancho; ++x)
      for (int y = 0; y < alto; ++y)
        if (img.GetRed(x, y) < 128) {
          izquierda = std::min(izquierda, x);
          derecha = std::max(derecha, x);
        }
    EXPECT_GT(derecha, ancho - 12) << monto;
    EXPECT_GT(izquierda, ancho / 2) << monto;
  }
}

// A name wider than its cell, in a column the grid narrowed to fit the window, keeps its start in
// view: only its end is cut.
TEST_F(GuiTest, TextWiderThanItsNarrowedCellKeepsItsStart) {
  const char* nombre = "PATRIMONIO DE LAS ENTIDADES DE GOBIERNO";
  TCanvas cv;
  cv.Brush->Color = clWhite;
  cv.FillRect(Rect(0, 0, 220, 20));
  cv.TextOut(2, 2, nombre);
  ASSERT_GT(cv.TextWidth(nombre), 220);
  const int ancho = int(220 * tv::gui::Scale() * 0.8), alto = 24;
  auto tinta = [&](bool replay) {
    wxBitmap bmp(ancho, alto);
    {
      wxMemoryDC dc(bmp);
      dc.SetBackground(*wxWHITE_BRUSH);
      dc.Clear();
      if (replay) {
        tv::gui::ReplayCanvas(dc, cv, Rect(0, 0, 220, 20), wxRect(0, 0, ancho, alto), true);
      } else {
        // The same text as a left-aligned cell draws it, by hand.
        dc.SetFont(tv::gui::ToWx(*cv.Font));
        dc.SetTextForeground(*wxBLACK);
        dc.DrawText(tv::gui::W(nombre), int(std::lround(2 * tv::gui::Scale())), (alto - dc.GetCharHeight()) / 2);
      }
    }
    wxImage img = bmp.ConvertToImage();
    std::vector<int> columnas;
    for (int x = 0; x < ancho; ++x) {
      int n = 0;
      for (int y = 0; y < alto; ++y) n += img.GetRed(x, y) < 128;
      columnas.push_back(n);
    }
    return columnas;
  };
  EXPECT_EQ(tinta(true), tinta(false));
}

// A form larger than the screen keeps its window on the screen and scrolls: a control beyond
// the corner comes into view when it takes the focus, whole and clickable.
TEST_F(GuiTest, FormLargerThanTheScreenScrollsToTheFocusedControl) {
  auto form = std::make_unique<TForm>(nullptr);
  form->Caption = "Formulario grande";
  form->Position = poScreenCenter;
  wxSize disp = wxGetDisplaySize();
  form->ClientWidth = Screen->Width * 2;  // the screen in the model's units
  form->ClientHeight = Screen->Height * 2;
  auto* cerca = Make<TEdit>(form.get(), "EdCerca");
  cerca->SetBounds(10, 10, 120, 24);
  auto* lejos = Make<TEdit>(form.get(), "EdLejos");
  lejos->SetBounds(form->ClientWidth - 140, form->ClientHeight - 40, 120, 24);
  auto* salir = Make<TButton>(form.get(), "BtnSalir");
  salir->Caption = "Salir";
  salir->ModalResult = mrOk;
  salir->SetBounds(form->ClientWidth - 100, form->ClientHeight - 80, 80, 28);
  bool onScreen = false, shown = false;
  Steps s;
  s.until([&] { return WidgetOf(lejos) && WidgetOf(lejos)->IsShownOnScreen(); })
      .then([&] {
        wxTopLevelWindow* top = tv::gui::WindowOf(form.get());
        onScreen = wxRect(wxPoint(0, 0), disp).Contains(top->GetScreenRect());
        lejos->SetFocus();
        Application->AfterEvent();
      })
      .until([&] { return wxWindow::FindFocus() == WidgetOf(lejos); })
      .then([&] {
        wxWindow* ed = WidgetOf(lejos);
        wxRect visible(wxPoint(0, 0), ed->GetParent()->GetClientSize());
        shown = visible.Contains(ed->GetRect());
        Click(WidgetOf(salir));
      });
  s.start();
  EXPECT_EQ(form->ShowModal(), mrOk) << "the button beyond the corner was reached and pressed";
  EXPECT_TRUE(onScreen);
  EXPECT_TRUE(shown);
}

// A grid of a million rows scrolls to its end at once: the table reads the model on demand.
TEST_F(GuiTest, MillionRowGridScrollsToTheEnd) {
  auto form = std::make_unique<TForm>(nullptr);
  form->Caption = "Rejilla grande";
  form->Width = 500;
  form->Height = 400;
  auto* g = Make<TDrawGrid>(form.get(), "Big");
  g->Align = alClient;
  g->ColCount = 2;
  g->FixedCols = 0;
  g->RowCount = 1000000;
  g->OnDrawCell = [g](TObject*, int c, int r, const TRect& rc, TGridDrawState) {
    g->Canvas->TextOut(rc.Left + 2, rc.Top + 2, c == 0 ? IntToStr(r) : AnsiString("fila"));
  };
  Steps s;
  s.until([&] { return Ready(form.get()); })
      .then([&] { Click(WidgetOf(g)); })
      .until([&] { return form->ActiveControl == g; })
      .then([&] { Key(WXK_END, wxMOD_CONTROL); })
      .until([&] { return g->Row.get() == 999999; })
      .then([&] { Screenshot("biggrid"); })
      .then([&] { form->ModalResult = mrOk; Application->AfterEvent(); });
  s.start();
  wxStopWatch sw;
  form->ShowModal();
  EXPECT_EQ(g->Row.get(), 999999);
  auto* view = static_cast<wxGrid*>(WidgetOf(g));
  (void)view;
  EXPECT_LT(sw.Time(), waits::Deadline(20000));
}

}  // namespace

namespace {

// A data-aware grid over a small table: the typed text reaches the table when the row is left.
TEST_F(GuiTest, EditsACellOfATableThroughItsGrid) {
  char tmpl[] = "/tmp/tvguiXXXXXX";
  std::string dir = mkdtemp(tmpl);
  auto exec = [&](const std::string& sql) {
    TQuery q(nullptr);
    q.DatabaseName = dir.c_str();
    q.SQL->Add(sql.c_str());
    q.ExecSQL();
  };
  exec("CREATE TABLE PL (numecuen VARCHAR(18) PRIMARY KEY, nombcuen VARCHAR(60), saldo NUMERIC)");
  exec("INSERT INTO PL VALUES ('1105', 'Caja', 100)");
  exec("INSERT INTO PL VALUES ('1110', 'Bancos', -50)");
  exec("INSERT INTO PL VALUES ('2205', 'Proveedores', 0)");
  {
    auto form = std::make_unique<TForm>(nullptr);
    form->Caption = "Plan de cuentas";
    auto* table = Make<TTable>(form.get(), "tblPL");
    table->DatabaseName = dir.c_str();
    table->TableName = "PL.db";
    auto* ds = Make<TDataSource>(form.get(), "DataSource1");
    ds->DataSet = table;
    auto* grid = Make<TDBGrid>(form.get(), "DBGrid1");
    table->Open();
    grid->DataSource = ds;
    TColumn* c0 = grid->Columns->Add();
    c0->FieldName = "numecuen";
    c0->Title->Caption = "Cuenta";
    c0->Width = 70;
    TColumn* c1 = grid->Columns->Add();
    c1->FieldName = "nombcuen";
    c1->Title->Caption = "Nombre";
    c1->Width = 200;
    TColumn* c2 = grid->Columns->Add();
    c2->FieldName = "saldo";
    c2->Title->Caption = "Saldo";
    c2->Alignment = taRightJustify;
    c2->Width = 90;
    grid->OnDrawColumnCell = [grid](TObject*, const TRect& r, int col, TColumn* column, TGridDrawState st) {
      // Negative balances in red, drawn by the handler as the application does.
      if (col != 2 || st.Contains(gdSelected) || column->Field()->AsFloat >= 0) return;
      grid->Canvas->Font->Color = clRed;
      grid->DefaultDrawColumnCell(r, col, column, st);
    };
    auto* ok = Make<TButton>(form.get(), "BtnAceptar");
    ok->Caption = "&Aceptar";
    ok->ModalResult = mrOk;
    Steps s;
    s.until([&] { return Ready(form.get()); });
    s.then([&] {
       auto* g = static_cast<wxGrid*>(WidgetOf(grid));
       wxRect r = g->CellToRect(1, 1);
       ClickAt(g->GetGridWindow()->ClientToScreen(r.GetPosition() + wxPoint(10, r.height / 2)));
     }, 200)
        .then([&] { Type("Bancos Nacionales"); })
        .then([&] { Key(WXK_DOWN); })  // leaves the row: the grid posts it
        .then([&] { Screenshot("dbgrid"); })
        .then([&] { Click(WidgetOf(ok)); }, 200);
    s.start();
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(table->ActiveRow(), 2);
  }
  TQuery q(nullptr);
  q.DatabaseName = dir.c_str();
  q.SQL->Add("SELECT nombcuen FROM PL WHERE numecuen = '1110'");
  q.Open();
  EXPECT_EQ(q.FieldByName("nombcuen")->AsString, "Bancos Nacionales");
  q.Close();
  std::filesystem::remove_all(dir);
}

}  // namespace

namespace {

// The main window: menu bar, tool buttons in a top panel, a logo and the status bar; a
// shortcut runs its menu item and the quit item ends the application's loop.
class TFrmPrincipalPrueba : public TForm {
 public:
  explicit TFrmPrincipalPrueba(TComponent* AOwner) : TForm(AOwner) {
    Name = "FrmPrincipal";
    Caption = "Tallivar";
    Color = clWhite;
    MainMenu1 = Make<TMainMenu>(this, "MainMenu1");
    Menu = MainMenu1;
    auto item = [](TMenuItem* parent, const char* caption, TNotifyEvent fn = nullptr) {
      auto* m = new TMenuItem(parent);
      m->Caption = caption;
      m->OnClick = std::move(fn);
      parent->Add(m);
      return m;
    };
    TMenuItem* archivo = item(MainMenu1->Items, "&Archivo");
    item(archivo, "&Nuevo comprobante", [this](TObject*) { ++nuevos; })->ShortCut = TextToShortCut("Ctrl+N");
    item(archivo, "-");
    TMenuItem* oculto = item(archivo, "Oculto");
    oculto->Visible = false;
    item(archivo, "&Salir", [this](TObject*) { Close(); });
    TMenuItem* titulo = item(MainMenu1->Items, "Presupuesto");
    titulo->Enabled = false;
    item(MainMenu1->Items, "A&yuda");
    Panel1 = Make<TPanel>(this, "Panel1");
    Panel1->Align = alTop;
    Panel1->Height = 28;
    for (const char* cap : {"Comprobantes", "Terceros", "Balance", "Salir"}) {
      auto* sb = Make<TSpeedButton>(Panel1, AnsiString("Sb") + cap);
      sb->Caption = cap;
      sb->Hint = AnsiString(cap) + "|Abre " + cap;
      sb->ShowHint = true;
      sb->OnClick = [this](TObject*) { ++botones; };
    }
    Logo = Make<TImage>(this, "Logo");
    Logo->Align = alClient;
    Logo->Center = true;
    StatusBar1 = Make<TStatusBar>(this, "StatusBar1");
    StatusBar1->SimplePanel = true;
    StatusBar1->SimpleText = "Contabilidad: Prueba 2024";
  }
  TMainMenu* MainMenu1;
  TPanel* Panel1;
  TImage* Logo;
  TStatusBar* StatusBar1;
  int nuevos = 0, botones = 0;
};
TFrmPrincipalPrueba* FrmPrincipalPrueba = nullptr;

TEST_F(GuiTest, MainWindowRunsMenuShortcutsAndToolButtonsUntilQuit) {
  std::string logo = std::filesystem::temp_directory_path() / ("tvlogo" + std::to_string(getpid()) + ".png");
  {
    wxImage img(120, 60);
    img.SetRGB(wxRect(0, 0, 120, 60), 30, 90, 160);
    img.SaveFile(logo, wxBITMAP_TYPE_PNG);
  }
  Application->CreateForm(&FrmPrincipalPrueba);
  FrmPrincipalPrueba->Logo->Picture->LoadFromFile(logo.c_str());
  Steps s;
  s.until([&] { return Ready(FrmPrincipalPrueba); })
      .then([&] { Key('N', wxMOD_CONTROL); })
      .until([&] { return FrmPrincipalPrueba->nuevos == 1; })
      .then([&] { Click(WidgetOf(FrmPrincipalPrueba->Panel1->Controls(1))); })
      .until([&] { return FrmPrincipalPrueba->botones == 1; })
      .then([&] { Screenshot("mainwindow"); })
      .then([&] {
        // The quit item of the menu, as the user's click on it would run it.
        FrmPrincipalPrueba->MainMenu1->Items->Items(0)->Items(3)->UserClick();
      });
  s.start();
  Application->Run();
  EXPECT_TRUE(s.done());
  EXPECT_EQ(FrmPrincipalPrueba->nuevos, 1);
  EXPECT_EQ(FrmPrincipalPrueba->botones, 1);
  wxWindow* top = tv::gui::WindowOf(FrmPrincipalPrueba);
  ASSERT_TRUE(top);
  EXPECT_EQ(top->GetSize(), wxGetDisplaySize());
  auto* bar = static_cast<wxFrame*>(top)->GetMenuBar();
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->GetMenuCount(), 3u);
  EXPECT_FALSE(bar->IsEnabledTop(1));
  EXPECT_EQ(bar->GetMenu(0)->GetMenuItemCount(), 3u);  // the hidden item is left out
  EXPECT_TRUE(bar->GetMenu(0)->FindItemByPosition(0)->GetItemLabel().EndsWith("\tCtrl+N"));
  delete FrmPrincipalPrueba;
  std::filesystem::remove(logo);
}

}  // namespace

namespace {

// The report preview pages through the prepared pages and closes with Esc.
TEST_F(GuiTest, ReportPreviewShowsPagesAndCloses) {
  tv::report::PreparedReport rep;
  rep.title = "Balance de prueba";
  for (int p = 1; p <= 2; ++p) {
    tv::report::PreparedPage page;
    tv::report::TextItem t;
    t.box = {72, 72, 300, 14};
    t.clip = t.box;
    t.text = "Página " + std::to_string(p) + " del balance";
    t.font.size = 12;
    page.items.emplace_back(std::in_place_type<tv::report::TextItem>, std::move(t));
    tv::report::ShapeItem line;
    line.box = {72, 90, 468, 0};
    line.kind = tv::report::ShapeKind::HorLine;
    page.items.emplace_back(std::in_place_type<tv::report::ShapeItem>, line);
    rep.pages.push_back(std::move(page));
  }
  wxString label;
  auto readLabel = [&] {
    if (wxWindow* pv = FindTop("tvPreview"))
      for (wxWindow* c : pv->GetChildren())
        if (auto* st = dynamic_cast<wxStaticText*>(c); st && st->GetLabel().StartsWith("P")) label = st->GetLabel();
    return label;
  };
  Steps s;
  // The key goes to the preview once it has the keyboard.
  s.until([&] {
     auto* pv = static_cast<wxTopLevelWindow*>(FindTop("tvPreview"));
     wxWindow* f = wxWindow::FindFocus();
     return pv && pv->IsActive() && (!f || f == pv || pv->IsDescendant(f)) && readLabel().StartsWith(wxString::FromUTF8("Página 1"));
   })
      .then([&] { Key(WXK_PAGEDOWN); })
      .until([&] { return readLabel() != wxString::FromUTF8("Página 1 de 2"); })
      .then([&] { Screenshot("preview"); })
      .then([&] { Key(WXK_ESCAPE); });
  s.start();
  tv::report::CurrentReportUi().Preview(rep, rep.title);
  EXPECT_TRUE(s.done());
  EXPECT_EQ(label, wxString::FromUTF8("Página 2 de 2"));
}

}  // namespace

namespace {

// A table of accounts in a temporary folder, for the data-aware controls.
struct TablaPrueba {
  TablaPrueba() {
    char tmpl[] = "/tmp/tvguiXXXXXX";
    dir = mkdtemp(tmpl);
    for (const char* sql : {"CREATE TABLE PL (numecuen VARCHAR(18) PRIMARY KEY, naturaleza VARCHAR(1), nombcuen VARCHAR(60))",
                            "INSERT INTO PL VALUES ('1105', 'D', 'Caja')",
                            "INSERT INTO PL VALUES ('1110', 'D', 'Bancos')",
                            "INSERT INTO PL VALUES ('2205', 'C', 'Proveedores')"}) {
      TQuery q(nullptr);
      q.DatabaseName = dir.c_str();
      q.SQL->Add(sql);
      q.ExecSQL();
    }
  }
  ~TablaPrueba() { std::filesystem::remove_all(dir); }
  std::string dir;
};

std::vector<wxRadioButton*> ShownRadios(wxWindow* parent) {
  std::vector<wxRadioButton*> out;
  for (wxWindow* c : parent->GetChildren())
    if (auto* r = dynamic_cast<wxRadioButton*>(c); r && r->IsShown()) out.push_back(r);
  return out;
}

// Navigator buttons with their hints, the ellipsis button and pick list of grid columns, a
// radio group with no item chosen, and the form's own painting.
TEST_F(GuiTest, NavigatorEllipsisPickListRadioGroupAndFormPaint) {
  TablaPrueba datos;
  auto form = std::make_unique<TForm>(nullptr);
  form->Caption = "Cuentas";
  auto* table = Make<TTable>(form.get(), "tblPL");
  table->DatabaseName = datos.dir.c_str();
  table->TableName = "PL.db";
  auto* ds = Make<TDataSource>(form.get(), "DataSource1");
  ds->DataSet = table;
  auto* nav = Make<TDBNavigator>(form.get(), "DBNavigator1");
  nav->DataSource = ds;
  nav->VisibleButtons = {nbFirst, nbPrior, nbNext, nbLast, nbRefresh};
  for (const char* h : {"Primero", "Anterior", "Siguiente", "Último", "Insertar", "Borrar", "Editar", "Grabar",
                        "Cancelar", "Refrescar"})
    nav->Hints->Add(h);
  nav->ShowHint = true;
  auto* grid = Make<TDBGrid>(form.get(), "DBGrid1");
  table->Open();
  grid->DataSource = ds;
  TColumn* c0 = grid->Columns->Add();
  c0->FieldName = "numecuen";
  c0->Width = 90;
  c0->ButtonStyle = cbsEllipsis;
  TColumn* c1 = grid->Columns->Add();
  c1->FieldName = "naturaleza";
  c1->Width = 60;
  c1->PickList->Add("D");
  c1->PickList->Add("C");
  TColumn* c2 = grid->Columns->Add();
  c2->FieldName = "nombcuen";
  c2->Width = 160;
  int botonCelda = 0;
  grid->OnEditButtonClick = [&](TObject*) { ++botonCelda; };
  auto* rg = Make<TRadioGroup>(form.get(), "RGTipo");
  rg->Caption = "Tipo";
  rg->Items->Add("Mayor");
  rg->Items->Add("Auxiliar");
  rg->ItemIndex = -1;
  auto* ok = Make<TButton>(form.get(), "BtnAceptar");
  ok->Caption = "&Aceptar";
  ok->ModalResult = mrOk;
  int pintadas = 0;
  form->OnPaint = [&](TObject*) {
    ++pintadas;
    form->Canvas->Brush->Color = clNavy;
    form->Canvas->FillRect(Rect(0, 0, 6, 6));
  };

  std::vector<wxString> pickItems;
  auto clickCell = [&](int row, int col) {
    auto* g = static_cast<wxGrid*>(WidgetOf(grid));
    wxRect r = g->CellToRect(row, col);
    ClickAt(g->GetGridWindow()->ClientToScreen(g->CalcScrolledPosition(r.GetPosition() + wxPoint(8, r.height / 2))));
  };
    std::vector<wxString> tips;
  bool firstEnabled = true, nextEnabled = false;
  std::vector<bool> radiosOn;
  bool pickList = false, ellipsisPlainText = false;
  Steps s;
  s.until([&] { return Ready(form.get()); });
  s.then([&] {
     auto* nv = WidgetOf(nav);
     ASSERT_TRUE(nv);
     for (wxWindow* c : nv->GetChildren())
       if (auto* b = dynamic_cast<wxButton*>(c)) tips.push_back(b->GetToolTipText());
     firstEnabled = nv->FindWindow("nav0")->IsEnabled();
     nextEnabled = nv->FindWindow("nav2")->IsEnabled();
     for (auto* r : ShownRadios(WidgetOf(rg))) radiosOn.push_back(r->GetValue());
     auto* g = static_cast<wxGrid*>(WidgetOf(grid));
     wxGridCellEditor* e1 = g->GetCellEditor(0, 1);
     pickList = dynamic_cast<wxGridCellChoiceEditor*>(e1) != nullptr;
     e1->DecRef();
     wxGridCellEditor* e2 = g->GetCellEditor(0, 2);
     ellipsisPlainText = dynamic_cast<wxGridCellChoiceEditor*>(e2) == nullptr;
     e2->DecRef();
     Screenshot("navigator");
   }, 300)
      .then([&] { Click(WidgetOf(nav)->FindWindow("nav2")); })  // next record
      .then([&] {
        // The button sits at the right end of the current cell (row 1, column 0 now).
        auto* g = static_cast<wxGrid*>(WidgetOf(grid));
        wxRect r = g->CellToRect(1, 0);
        ClickAt(g->GetGridWindow()->ClientToScreen(g->CalcScrolledPosition(wxPoint(r.GetRight() - 4, r.y + r.height / 2))));
      }, 200)
      .then([&] { Screenshot("navigator-after"); }, 200)
      .then([&] { clickCell(1, 1); })  // the pick-list column of the current row
      .then([&] { clickCell(1, 1); }, 700)  // a second click opens its editor
      .then([&] {
        auto* g = static_cast<wxGrid*>(WidgetOf(grid));
        wxGridCellEditor* ed = g->GetCellEditor(1, 1);
        if (g->IsCellEditControlShown())
          if (auto* co = dynamic_cast<wxComboBox*>(ed->GetControl())) {
            for (unsigned i = 0; i < co->GetCount(); ++i) pickItems.push_back(co->GetString(i));
            co->SetSelection(1);  // "C", as picking it from the list does
          }
        ed->DecRef();
        Screenshot("picklist");
      }, 400)
      .then([&] { Key(WXK_RETURN); })
      .then([&] { Screenshot("picklist-after"); }, 300)
      .then([&] { Click(WidgetOf(ok)); }, 300);
  s.start();
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_TRUE(s.done());
  EXPECT_EQ(tips, (std::vector<wxString>{"Primero", "Anterior", "Siguiente", wxString::FromUTF8("Último"), "Refrescar"}));
  EXPECT_FALSE(firstEnabled);  // on the first record
  EXPECT_TRUE(nextEnabled);
  EXPECT_EQ(radiosOn, (std::vector<bool>{false, false}));
  EXPECT_TRUE(pickList);
  EXPECT_TRUE(ellipsisPlainText);
  EXPECT_EQ(table->ActiveRow(), 1);
  EXPECT_EQ(botonCelda, 1);
  EXPECT_EQ(pickItems, (std::vector<wxString>{"D", "C"}));
  table->First();
  table->Next();
  EXPECT_EQ(table->FieldByName("naturaleza")->AsString, "C");
  EXPECT_GT(pintadas, 0);
}

// A find dialog whose model goes away (or whose window goes with its form) leaves nothing
// behind.
TEST_F(GuiTest, FindDialogGoesWithItsModelAndItsForm) {
  auto form = std::make_unique<TForm>(nullptr);
  form->Caption = "Buscar";
  auto* ok = Make<TButton>(form.get(), "BtnAceptar");
  ok->Caption = "&Aceptar";
  ok->ModalResult = mrOk;
  auto* find = new TFindDialog(nullptr);
  auto* find2 = Make<TFindDialog>(form.get(), "FindDialog2");
  bool shownFirst = false, goneFirst = false, shownSecond = false;
  Steps s;
  s.then([&] {
     find->Execute();
     shownFirst = waits::PumpUntil([] { return FindTop("tvFind") != nullptr; });
     delete find;
     goneFirst = waits::PumpUntil([] { return FindTop("tvFind") == nullptr; });
     find2->Execute();
     shownSecond = waits::PumpUntil([] { return FindTop("tvFind") != nullptr; });
   }, 200)
      .then([&] { ok->UserClick(); });  // the find dialog may cover the button on screen
  s.start();
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_TRUE(shownFirst);
  EXPECT_TRUE(goneFirst);
  EXPECT_TRUE(shownSecond);
  form.reset();  // the second dialog is still up: it goes with the form
  EXPECT_TRUE(waits::PumpUntil([] { return FindTop("tvFind") == nullptr; }));
}

}  // namespace

namespace {

// Controls placed by the form: a caption longer on the desktop pushes the field after it,
// the fields of the same column stay aligned, and labels sit at their field's middle.
TEST_F(GuiTest, PlacedControlsMoveAlongWhenANeighbourGrows) {
  auto form = std::make_unique<TForm>(nullptr);
  form->Caption = "Tercero";
  form->BorderStyle = bsDialog;
  auto label = [&](const char* name, const char* caption, int top) {
    auto* l = Make<TLabel>(form.get(), name);
    l->Caption = caption;
    l->SetBounds(8, top, 0, 0);
    return l;
  };
  auto edit = [&](const char* name, int top) {
    auto* e = Make<TEdit>(form.get(), name);
    e->SetBounds(60, top, 120, 21);
    return e;
  };
  TLabel* l1 = label("Label1", "Nombre completo del tercero:", 8);
  TEdit* e1 = edit("EdNombre", 8);
  label("Label2", "NIT:", 40);
  TEdit* e2 = edit("EdNit", 40);
  auto* b = Make<TButton>(form.get(), "BtnBuscar");
  b->Caption = "Buscar";
  b->SetBounds(184, 8, 60, 25);
  auto* ok = Make<TButton>(form.get(), "BtnAceptar");
  ok->Caption = "&Aceptar";
  ok->ModalResult = mrOk;
  ok->SetBounds(184, 72, 60, 25);
  wxRect rl1, re1, re2, rb;
  Steps s;
  s.then([&] {
     rl1 = WidgetOf(l1)->GetRect();
     re1 = WidgetOf(e1)->GetRect();
     re2 = WidgetOf(e2)->GetRect();
     rb = WidgetOf(b)->GetRect();
     Screenshot("placed");
   }, 200)
      .then([&] { Click(WidgetOf(ok)); });
  s.start();
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_GT(re1.x, rl1.GetRight());
  EXPECT_EQ(re1.x, re2.x);
  EXPECT_GT(rb.x, re1.GetRight());
  EXPECT_LE(std::abs((rl1.y + rl1.height / 2) - (re1.y + re1.height / 2)), 1);
}

}  // namespace

TEST_F(GuiTest, PrintingUsesTheReportsOwnPaper) {
  struct Case {
    double w, h;  // points
    wxPaperSize id;
    wxSize customMm;
  };
  const Case cases[] = {
      {612, 792, wxPAPER_LETTER, {}},
      {1008, 612, wxPAPER_LEGAL, {}},  // legal landscape
      {595.28, 841.89, wxPAPER_A4, {}},
      {280 * 72 / 25.4, 350 * 72 / 25.4, wxPAPER_NONE, {280, 350}},  // custom sheet
  };
  for (const Case& c : cases) {
    tv::report::PreparedReport r;
    r.width = c.w;
    r.height = c.h;
    wxPrintData data;
    tv::gui::SetPaper(data, r);
    EXPECT_EQ(data.GetPaperId(), c.id) << c.w << "x" << c.h;
    if (c.id == wxPAPER_NONE) {
      EXPECT_EQ(data.GetPaperSize(), c.customMm);
    }
  }
}

namespace {

// The repair dialog shows the full path of the table in work: a long path must not take
// the width of the progress bar nor lie over it.
TEST_F(GuiTest, RepairDialogKeepsItsBarWhenTheTablePathIsLong) {
  const std::string carpeta = (std::filesystem::temp_directory_path() / "tv-gui-reparar").string();
  std::filesystem::create_directories(carpeta);
  auto form = std::make_unique<TRepairDialog>(nullptr, carpeta.c_str());
  wxRect barra, ruta, lista;
  Steps s;
  s.then([&] {
     // As the repair does: the table path, then an immediate repaint.
     form->LblNTabla->Caption = AnsiString(carpeta + "/una/carpeta/con/un/nombre/bastante/largo/TEMP2.DB");
     form->Repaint();
   }, 200)
      .then([&] {
        barra = WidgetOf(form->ProgressBar1)->GetRect();
        ruta = WidgetOf(form->LblNTabla)->GetRect();
        lista = WidgetOf(form->MessageLB)->GetRect();
        Screenshot("reparar");
      })
      .then([&] { Click(WidgetOf(form->ExitBtn)); });
  s.start();
  form->ShowModal();
  EXPECT_TRUE(s.done());
  EXPECT_GE(barra.width, lista.width - 2);
  EXPECT_FALSE(barra.Intersects(ruta));
  EXPECT_GT(ruta.width, 0);
  std::filesystem::remove_all(carpeta);
}

// gettext of the toolkit beneath wx (the file chooser and print dialog are GTK's own).
extern "C" const char* g_dgettext(const char* domain, const char* msgid);

TEST_F(GuiTest, ToolkitDialogsSpeakSpanish) {
  EXPECT_EQ(wxGetTranslation("Cancel"), wxString::FromUTF8("Cancelar"));
  EXPECT_EQ(wxGetTranslation("Find"), wxString::FromUTF8("Buscar"));
  EXPECT_STREQ(g_dgettext("gtk30", "_Cancel"), "_Cancelar");
  EXPECT_STREQ(g_dgettext("gtk30", "_Open"), "_Abrir");
}

// The file chooser is GTK's own window, outside wx's list of windows: reached through GTK.
struct TvGList {
  void* data;
  TvGList* next;
  TvGList* prev;
};
template <class F>
F Gtk(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

TEST_F(GuiTest, FileChooserTakesAStaleFilterIndexAndFitsTheScreen) {
  TComponent owner(nullptr);
  auto* d = new TOpenDialog(&owner);
  d->Filter = "Mapa de Bits|*.bmp";
  d->FilterIndex = 3;  // left by a former dialog with more filters
  wxRect r;
  bool seen = false;
  // The chooser once it shows and GTK has sized it (its size settles after it maps).
  auto fits = [] {
    bool ok = false;
    auto all = Gtk<TvGList* (*)()>("gtk_window_list_toplevels")();
    for (TvGList* l = all; l; l = l->next) {
      const char* t = Gtk<const char* (*)(void*)>("gtk_window_get_title")(l->data);
      if (!t || std::string(t) != "Abrir" || !Gtk<int (*)(void*)>("gtk_widget_get_visible")(l->data)) continue;
      wxRect q;
      Gtk<void (*)(void*, int*, int*)>("gtk_window_get_position")(l->data, &q.x, &q.y);
      Gtk<void (*)(void*, int*, int*)>("gtk_window_get_size")(l->data, &q.width, &q.height);
      ok = wxRect(wxGetClientDisplayRect()).Contains(q);
    }
    Gtk<void (*)(TvGList*)>("g_list_free")(all);
    return ok;
  };
  Steps s;
  s.until([&, end = wxGetLocalTimeMillis() + waits::Deadline(5000)] { return fits() || wxGetLocalTimeMillis() > end; });
  s.then([&] {
    auto all = Gtk<TvGList* (*)()>("gtk_window_list_toplevels")();
    for (TvGList* l = all; l; l = l->next) {
      const char* t = Gtk<const char* (*)(void*)>("gtk_window_get_title")(l->data);
      if (!t || std::string(t) != "Abrir" || !Gtk<int (*)(void*)>("gtk_widget_get_visible")(l->data)) continue;
      Gtk<void (*)(void*, int*, int*)>("gtk_window_get_position")(l->data, &r.x, &r.y);
      Gtk<void (*)(void*, int*, int*)>("gtk_window_get_size")(l->data, &r.width, &r.height);
      seen = true;
      Screenshot("selector-de-archivos");
      Gtk<void (*)(void*, int)>("gtk_dialog_response")(l->data, -6);  // cancel
    }
    Gtk<void (*)(TvGList*)>("g_list_free")(all);
  });
  s.start();
  EXPECT_FALSE(d->Execute());
  EXPECT_TRUE(seen);
  EXPECT_TRUE(wxRect(wxGetClientDisplayRect()).Contains(r))
      << r.x << "," << r.y << " " << r.width << "x" << r.height;
}

// The preview's own save-as chooser fits a small screen too (GTK's default is taller than 768).
TEST_F(GuiTest, PreviewSaveAsPdfFitsTheScreen) {
  tv::report::PreparedReport rep;
  rep.title = "Balance";
  rep.pages.emplace_back();
  // The chooser once it shows and GTK has sized it (its size settles after it maps).
  auto chooser = [](wxRect* out) {
    void* found = nullptr;
    auto all = Gtk<TvGList* (*)()>("gtk_window_list_toplevels")();
    for (TvGList* l = all; l; l = l->next) {
      const char* t = Gtk<const char* (*)(void*)>("gtk_window_get_title")(l->data);
      if (!t || std::string(t) != "Guardar como PDF" || !Gtk<int (*)(void*)>("gtk_widget_get_visible")(l->data))
        continue;
      found = l->data;
      if (out) {
        Gtk<void (*)(void*, int*, int*)>("gtk_window_get_position")(l->data, &out->x, &out->y);
        Gtk<void (*)(void*, int*, int*)>("gtk_window_get_size")(l->data, &out->width, &out->height);
      }
    }
    Gtk<void (*)(TvGList*)>("g_list_free")(all);
    return found;
  };
  wxRect r;
  void* seen = nullptr;
  Steps s;
  s.until([] { return FindTop("tvPreview") != nullptr; })
      .then([&] {
        wxWindow* pv = FindTop("tvPreview");
        for (wxWindow* c : pv->GetChildren())
          if (auto* b = dynamic_cast<wxButton*>(c); b && b->GetLabel() == "&Guardar PDF") {
            // Clicked from the loop, as the chooser runs its own modal loop.
            pv->CallAfter([b] {
              wxCommandEvent e(wxEVT_BUTTON, b->GetId());
              e.SetEventObject(b);
              b->ProcessWindowEvent(e);
            });
          }
      })
      .until([&] { return chooser(nullptr) != nullptr; })
      // GTK sizes the chooser again after it maps: wait until it fits, or give up after a while.
      .until([&, end = wxGetLocalTimeMillis() + waits::Deadline(3000)] {
        wxRect q;
        return (chooser(&q) && wxRect(wxGetClientDisplayRect()).Contains(q)) || wxGetLocalTimeMillis() > end;
      })
      .then([&] {
        seen = chooser(&r);
        if (seen) Gtk<void (*)(void*, int)>("gtk_dialog_response")(seen, -6);  // cancel
      })
      .until([&] { return chooser(nullptr) == nullptr; })
      .then([&] { Key(WXK_ESCAPE); });
  s.start();
  tv::report::CurrentReportUi().Preview(rep, rep.title);
  EXPECT_TRUE(s.done());
  EXPECT_TRUE(seen);
  EXPECT_TRUE(wxRect(wxGetClientDisplayRect()).Contains(r)) << r.x << "," << r.y << " " << r.width << "x" << r.height;
}

TEST_F(GuiTest, RepairDialogShowsItsFinishingLabelWhenDone) {
  char tmpl[] = "/tmp/tvguiXXXXXX";
  std::string carpeta = mkdtemp(tmpl);
  {
    TQuery q(nullptr);
    q.DatabaseName = carpeta.c_str();
    q.SQL->Add("CREATE TABLE MVT (numedocu VARCHAR(15))");
    q.ExecSQL();
  }
  tv::db::ReleaseDatabase(carpeta.c_str());
  auto form = std::make_unique<TRepairDialog>(nullptr, carpeta.c_str());
  bool fin = false;
  Steps s;
  s.until([&] { return Ready(form.get()); })
      .then([&] { Click(WidgetOf(form->BtnReconstruirCarpeta)); })
      .until([] { return FindTop("tvMessageBox") != nullptr; })
      .then([&] {
        wxWindow* w = WidgetOf(form->LblFin);
        fin = w && w->IsShownOnScreen() && w->GetSize().x > 0;
        Screenshot("reparacion-finalizada");
        Key(WXK_RETURN);
      }, 300);
  s.start();
  form->ShowModal();
  EXPECT_TRUE(s.done());
  EXPECT_TRUE(fin);
  form.reset();
  tv::db::ReleaseDatabase(carpeta.c_str());
  std::filesystem::remove_all(carpeta);
}

TEST_F(GuiTest, LastGridColumnTakesTheFreeWidth) {
  char tmpl[] = "/tmp/tvguiXXXXXX";
  std::string dir = mkdtemp(tmpl);
  {
    TQuery q(nullptr);
    q.DatabaseName = dir.c_str();
    q.SQL->Add("CREATE TABLE contabs (NContabilidad VARCHAR(10), anio INTEGER)");
    q.ExecSQL();
  }
  {
    auto form = std::make_unique<TForm>(nullptr);
    form->Caption = "Contabilidades";
    form->BorderStyle = bsDialog;
    form->ClientWidth = 420;
    form->ClientHeight = 240;
    auto* table = Make<TTable>(form.get(), "tbl");
    table->DatabaseName = dir.c_str();
    table->TableName = "contabs";
    auto* ds = Make<TDataSource>(form.get(), "DataSource1");
    ds->DataSet = table;
    auto* grid = Make<TDBGrid>(form.get(), "DBGrid1");
    grid->SetBounds(12, 12, 396, 200);
    grid->DataSource = ds;
    grid->Options = TDBGridOptions{dgTitles, dgColLines, dgRowLines, dgRowSelect};
    for (auto [campo, ancho] : {std::pair{"NContabilidad", 120}, {"anio", 60}}) {
      TColumn* c = grid->Columns->Add();
      c->FieldName = campo;
      c->Width = ancho;
    }
    table->Open();
    int derecha = 0, ancho = 0;
    Steps s;
    s.then([&] {
       auto* g = dynamic_cast<wxGrid*>(WidgetOf(grid));
       ASSERT_TRUE(g);
       derecha = g->GetRowLabelSize() + g->GetColSize(0) + g->GetColSize(1);
       ancho = g->GetGridWindow()->GetClientSize().x + g->GetRowLabelSize();
     }, 400)
        .then([&] { form->ModalResult = mrCancel; Application->AfterEvent(); });
    s.start();
    form->ShowModal();
    EXPECT_TRUE(s.done());
    EXPECT_GE(derecha, ancho - 2);
    EXPECT_LE(derecha, ancho);
  }
  tv::db::ReleaseDatabase(dir.c_str());
  std::filesystem::remove_all(dir);
}

}  // namespace
