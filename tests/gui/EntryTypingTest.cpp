// Lo que un usuario nuevo teclea en las rejillas de captura, en el escritorio: una rejilla
// vacía recibe la primera línea sin Ctrl+N, desde la columna en que se hace clic; los totales
// del movimiento presupuestal siguen a un valor corregido y se limpian al grabar; tras "+" del
// navegador lo tecleado va a la línea nueva, columna por columna; "Salir" del registro
// presupuestal pregunta antes de descartar lo no grabado.
#include <wx/grid.h>
#include <wx/uiaction.h>

#include <chrono>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "budget/FrmAsientosPptal.h"
#include "budget/FrmOrdenSuministro.h"
#include "budget/FrmRegPptal.h"
#include "gui/Navigator.h"
#include "gui/Survey.h"
#include "ledger/DialogosAsiento.h"
#include "ledger/FrmAsientos.h"
#include "payments/RteFte.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBCtrls.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/Numeros.h"

namespace survey {
namespace {

void Type(const char* text) { wxUIActionSimulator().Text(text); }
void Key(int key) { wxUIActionSimulator().Char(key); }

void ClickWindow(wxWindow* w) {
  wxRect r = w->GetScreenRect();
  wxUIActionSimulator sim;
  sim.MouseMove(r.GetPosition() + wxPoint(r.width / 2, r.height / 2));
  wxMilliSleep(20);
  sim.MouseClick();
}

void ClickNav(TDBNavigator* n, TNavigateBtn b) {
  auto* v = dynamic_cast<tv::gui::NavigatorView*>(tv::gui::WidgetOf(n));
  ASSERT_TRUE(v);
  ASSERT_TRUE(v->ButtonOf(b));
  ClickWindow(v->ButtonOf(b));
}

// El texto del editor abierto en la celda actual de la rejilla; nada cuando no hay editor.
std::string EnCelda(TCustomGrid* g) {
  auto* grid = dynamic_cast<wxGrid*>(tv::gui::WidgetOf(g));
  if (!grid || !grid->IsCellEditControlShown()) return "<sin editor>";
  wxGridCellEditor* e = grid->GetCellEditor(grid->GetGridCursorRow(), grid->GetGridCursorCol());
  std::string v = e->GetValue().utf8_string();
  e->DecRef();
  return v;
}

bool Enfocado(TForm* f, TWinControl* c) {
  wxWindow* w = tv::gui::WidgetOf(c);
  wxWindow* foco = wxWindow::FindFocus();
  return f->ActiveControl == c && w && foco && (foco == w || w->IsDescendant(foco));
}

// Un guion por ventana: cada paso espera lo que necesita y luego actúa, como una persona.
struct Paso {
  std::string espera;
  std::function<bool(TForm*)> listo;
  std::function<void(TForm*)> hacer;
};

Pilot::Action Guion(std::vector<Paso>& pasos, size_t& paso, std::function<void(TForm*)> fin) {
  using Reloj = std::chrono::steady_clock;
  auto desde = std::make_shared<Reloj::time_point>(Reloj::now());
  auto lugar = std::make_shared<wxRect>();
  return [&pasos, &paso, fin, desde, lugar](TForm* f) {
    // El primer clic espera la ventana en pantalla, activa y quieta: un gestor de ventanas
    // cargado la coloca tarde, y un clic antes cae fuera de ella.
    if (paso == 0) {
      wxTopLevelWindow* t = tv::gui::WindowOf(f);
      bool lista = t && t->IsShownOnScreen() && t->IsActive() && t->GetScreenRect() == *lugar;
      if (t) *lugar = t->GetScreenRect();
      if (!lista) {
        if (Reloj::now() - *desde < std::chrono::milliseconds(waits::Deadline(20000))) return true;
        ADD_FAILURE() << "la ventana no quedó quieta en pantalla";
        fin(f);
        return false;
      }
    }
    if (paso < pasos.size()) {
      Paso& p = pasos[paso];
      if (p.listo && !p.listo(f)) {
        if (Reloj::now() - *desde < std::chrono::milliseconds(waits::Deadline(20000))) return true;
        wxWindow* foco = wxWindow::FindFocus();
        ADD_FAILURE() << "esperaba en vano, paso " << paso << ": " << p.espera << " (foco en "
                      << (foco ? foco->GetClassInfo()->GetClassName() : L"nada") << ", control activo "
                      << (f->ActiveControl ? f->ActiveControl->Name.str() : std::string("ninguno")) << ")";
        fin(f);
        return false;
      }
      ++paso;
      *desde = Reloj::now();
      p.hacer(f);
      return true;
    }
    fin(f);
    return false;
  };
}

std::string Valor(const std::string& libros, const std::string& sql) {
  tv::db::Stmt st = tv::db::ConnectionFor(libros.c_str())->Prepare(sql);
  if (!st.Step()) return "<nada>";
  tv::db::Cell c = st.Column(0);
  return c.kind == tv::db::Cell::Null ? std::string("<null>") : c.s;
}

// ---- Movimiento presupuestal ---------------------------------------------------------------

TEST_F(SurveyTest, BudgetMovementTotalsFollowAnEditedLineAndClearAfterSaving) {
  NoLayoutChecks keys;  // the layout is for the survey tests
  std::deque<std::function<void(TForm*)>> steps{MenuStep("AdicioReduccin1")};
  auto ed = [](TForm* f) { return static_cast<TfrmAsientosPptal*>(f); };
  auto rejilla = [ed](TForm* f) { return ed(f)->DBGrid1; };
  auto escrito = [&](const char* t) {
    return [rejilla, t](TForm* f) { return EnCelda(rejilla(f)) == t; };
  };
  auto columna = [ed](int c) { return [ed, c](TForm* f) { return ed(f)->DBGrid1->SelectedIndex == c; }; };
  auto escribir = [](const char* t) { return [t](TForm*) { Type(t); }; };
  auto enter = [](TForm*) { Key(WXK_RETURN); };
  std::string rubroPrimera, ingresoCorregido, egresoAntes, estadoCorregido, ingresoFinal, egresoFinal;
  std::string ingresoGrabado, egresoGrabado, diferenciaGrabado, numeroGrabado, rubroGrabado, nuevaLinea;
  bool primeraSinCtrlN = false;
  std::vector<Paso> pasos = {
      {"", nullptr, [ed](TForm* f) { ClickOn(ed(f)->edNumDoc); }},
      {"foco en el número", [ed](TForm* f) { return Enfocado(f, ed(f)->edNumDoc); }, escribir("A7")},
      {"A7", [ed](TForm* f) { return AnsiString(ed(f)->edNumDoc->Text) == "A7"; },
       [ed](TForm* f) { ClickOn(ed(f)->edFecha); }},
      {"foco en la fecha", [ed](TForm* f) { return Enfocado(f, ed(f)->edFecha); }, [](TForm*) { Key(WXK_HOME); }},
      {"", nullptr, escribir("15032026")},
      {"la fecha", [ed](TForm* f) { return AnsiString(ed(f)->edFecha->Text) == "15/03/2026"; },
       [ed](TForm* f) { ClickOn(ed(f)->BtnTraerCrear); }},
      // Documento nuevo: se escribe en la rejilla vacía, sin Ctrl+N.
      {"la rejilla del documento nuevo",
       [ed](TForm* f) { return ed(f)->tblAsientoPptal->GetActive() && Enfocado(f, ed(f)->DBGrid1); },
       escribir("1.2.05")},
      {"1.2.05 en la celda", escrito("1.2.05"), enter},
      {"el tipo", columna(1),
       [&](TForm* f) {
         primeraSinCtrlN = ed(f)->tblAsientoPptal->GetState() == dsInsert &&
                           ed(f)->tblAsientoPptal->FieldByName("icuenta")->AsString() == "1.2.05";
         rubroPrimera = ed(f)->LblNCuenta->Caption.str();
         Type("I");
       }},
      {"I en la celda", escrito("I"), enter},
      {"el ingreso", columna(2), escribir("4000000")},
      {"4000000 en la celda", escrito("4000000"), enter},
      {"el egreso", columna(3), enter},
      {"la segunda línea", columna(0), escribir("2.3.2")},
      {"2.3.2 en la celda", escrito("2.3.2"), enter},
      {"el tipo", columna(1), escribir("E")},
      {"E en la celda", escrito("E"), enter},
      {"el ingreso", columna(2), enter},
      {"el egreso", columna(3), escribir("4000000")},
      {"4000000 en la celda", escrito("4000000"), enter},
      // El ingreso de la primera línea, ya grabada, se corrige: los totales lo siguen.
      {"la tercera línea", columna(0), [rejilla](TForm* f) { ClickCell(rejilla(f), 2, 0); }},
      {"el ingreso de la primera línea",
       [ed](TForm* f) { return ed(f)->DBGrid1->SelectedIndex == 2 && ed(f)->tblAsientoPptal->RecNo == 1; },
       escribir("5000000")},
      {"5000000 en la celda", escrito("5000000"), enter},
      {"el egreso de la primera línea", columna(3),
       [&](TForm* f) {
         estadoCorregido = ed(f)->tblAsientoPptal->GetState() == dsEdit ? "editando" : "otro";
         ingresoCorregido = ed(f)->lblIngreso->Caption.str();
         egresoAntes = ed(f)->lblEgreso->Caption.str();
         ClickCell(rejilla(f), 3, 1);
       }},
      {"el egreso de la segunda línea",
       [ed](TForm* f) { return ed(f)->DBGrid1->SelectedIndex == 3 && ed(f)->tblAsientoPptal->RecNo == 2; },
       escribir("5000000")},
      {"5000000 en la celda", escrito("5000000"), enter},
      {"la línea siguiente", columna(0),
       [&](TForm* f) {
         ingresoFinal = ed(f)->lblIngreso->Caption.str();
         egresoFinal = ed(f)->lblEgreso->Caption.str();
         ClickOn(ed(f)->BtnGrabar);
       }},
      // Grabado: la rejilla queda vacía, sin totales, y se propone el número siguiente.
      {"el documento grabado", [ed](TForm* f) { return !ed(f)->tblAsientoPptal->GetActive(); },
       [&](TForm* f) {
         ingresoGrabado = ed(f)->lblIngreso->Caption.str();
         egresoGrabado = ed(f)->lblEgreso->Caption.str();
         diferenciaGrabado = ed(f)->lblDiferencia->Caption.str();
         numeroGrabado = AnsiString(ed(f)->edNumDoc->Text).str();
         rubroGrabado = ed(f)->LblNCuenta->Caption.str();
         ClickOn(ed(f)->BtnTraerCrear);
       }},
      // En el documento siguiente se empieza por el ingreso, con un clic en su celda.
      {"la rejilla del documento siguiente",
       [ed](TForm* f) { return ed(f)->tblAsientoPptal->GetActive() && Enfocado(f, ed(f)->DBGrid1); },
       [rejilla](TForm* f) { ClickCell(rejilla(f), 2, 0); }},
      {"el ingreso de la rejilla vacía", columna(2), escribir("700")},
      {"700 en la celda", escrito("700"), enter},
      {"el egreso", columna(3),
       [&](TForm* f) {
         TTable* t = ed(f)->tblAsientoPptal;
         if (t->GetState() == dsInsert)
           nuevaLinea = "[" + t->FieldByName("icuenta")->AsString().str() + "] " +
                        FloatToStr(t->FieldByName("ingreso")->AsFloat).str() + " " + ed(f)->lblIngreso->Caption.str();
       }},
  };
  size_t paso = 0;
  std::map<std::string, Pilot::Action> actions;
  actions["TfrmAsientosPptal"] = Guion(pasos, paso, [](TForm* f) {
    auto* e = static_cast<TfrmAsientosPptal*>(f);
    if (e->tblAsientoPptal->GetActive() && e->tblAsientoPptal->GetState() == dsInsert) e->tblAsientoPptal->Cancel();
    Cancel(f);
  });
  RunSurvey(std::move(steps), {}, actions);
  EXPECT_EQ(paso, pasos.size());
  std::string cero = Punto(0.0, 2), cuatro = Punto(4000000.0, 2), cinco = Punto(5000000.0, 2);
  EXPECT_TRUE(primeraSinCtrlN) << "la primera línea no empezó al escribir en la rejilla vacía";
  EXPECT_FALSE(rubroPrimera.empty());
  EXPECT_NE(rubroPrimera, "inexistente");
  EXPECT_EQ(estadoCorregido, "editando");
  EXPECT_EQ(ingresoCorregido, cinco) << "los totales no siguieron al ingreso corregido";
  EXPECT_EQ(egresoAntes, cuatro);
  EXPECT_EQ(ingresoFinal, cinco);
  EXPECT_EQ(egresoFinal, cinco);
  EXPECT_EQ(ingresoGrabado, cero);
  EXPECT_EQ(egresoGrabado, cero);
  EXPECT_EQ(diferenciaGrabado, cero);
  EXPECT_EQ(rubroGrabado, "");
  EXPECT_EQ(numeroGrabado, "A8");
  EXPECT_EQ(nuevaLinea, std::string("[] 700 ") + Punto(700.0, 2));
  EXPECT_EQ(Valor(libros_, "SELECT sum(ingreso) || '/' || sum(egreso) || '/' || count(*) FROM mvtPptal "
                           "WHERE iMvtPptal = 'A7' AND tipoMvtPptal = 'ADD'"),
            "5000000/5000000/2");
}

// ---- Comprobante contable --------------------------------------------------------------------

TEST_F(SurveyTest, TypingIntoAnEmptyJournalGridStartsTheFirstLine) {
  NoLayoutChecks keys;  // the layout is for the survey tests
  std::deque<std::function<void(TForm*)>> steps{MenuStep("Documentos1")};
  std::map<std::string, Pilot::Action> actions;
  actions["TFrmPreAsientos"] = [](TForm* f) {
    ClickOn(static_cast<TFrmPreAsientos*>(f)->BtnAceptar);
    return false;
  };
  auto ed = [](TForm* f) { return static_cast<TFrmAsientos*>(f); };
  std::string cuenta, vacia;
  int filas = -1, columna = -1;
  std::vector<Paso> pasos = {
      {"", nullptr, [ed](TForm* f) { ClickOn(ed(f)->CBDocumentos); }},
      {"foco en el tipo", [ed](TForm* f) { return Enfocado(f, ed(f)->CBDocumentos); }, [](TForm*) { Type("CE"); }},
      {"", nullptr, [ed](TForm* f) { ClickOn(ed(f)->EdNumDoc); }},
      {"foco en el número", [ed](TForm* f) { return Enfocado(f, ed(f)->EdNumDoc); }, [](TForm*) { Type("502"); }},
      {"502", [ed](TForm* f) { return ed(f)->EdNumDoc->Text.get() == "502"; },
       [ed](TForm* f) { ClickOn(ed(f)->EdDia); }},
      {"foco en el día", [ed](TForm* f) { return Enfocado(f, ed(f)->EdDia); }, [](TForm*) { Type("12"); }},
      {"12", [ed](TForm* f) { return ed(f)->EdDia->Text.get() == "12"; },
       [ed](TForm* f) { ClickOn(ed(f)->BtnTraerCrear); }},
      {"la rejilla vacía del documento",
       [ed](TForm* f) { return ed(f)->TblAsiento->GetActive() && Enfocado(f, ed(f)->DBGrid1); },
       [&](TForm* f) {
         vacia = ed(f)->TblAsiento->IsEmpty() ? "vacía" : "con líneas";
         Type("110501");
       }},
      {"110501 en la celda", [ed](TForm* f) { return EnCelda(ed(f)->DBGrid1) == "110501"; },
       [](TForm*) { Key(WXK_TAB); }},
      {"la columna siguiente", [ed](TForm* f) { return ed(f)->DBGrid1->SelectedIndex == 1; },
       [&](TForm* f) {
         filas = ed(f)->DBGrid1->DisplayRowCount();
         cuenta = ed(f)->TblAsiento->FieldByName("numecuen")->AsString().str();
         columna = ed(f)->DBGrid1->SelectedIndex;
       }},
  };
  size_t paso = 0;
  actions["TFrmAsientos"] = Guion(pasos, paso, [](TForm* f) { Cancel(f); });
  RunSurvey(std::move(steps), {}, actions);
  EXPECT_EQ(paso, pasos.size());
  EXPECT_EQ(vacia, "vacía");
  EXPECT_EQ(filas, 1);
  EXPECT_EQ(cuenta, "110501");
  EXPECT_EQ(columna, 1);
}

// ---- "+" del navegador en las rejillas de montos ----------------------------------------------

// En la orden de suministro el foco está en otro campo, o en la última columna de la rejilla
// con un valor a medio escribir, cuando se pulsa "+": lo tecleado después va a la línea nueva,
// desde el artículo, y el valor a medio escribir queda en su propia línea.
TEST_F(SurveyTest, SupplyOrderLinesTypedAfterPlusKeepTheirColumns) {
  NoLayoutChecks keys;  // the layout is for the survey tests
  std::deque<std::function<void(TForm*)>> steps;
  steps.push_back([](TForm* f) {
    std::unique_ptr<TfrmOrdenSuministro> o(new TfrmOrdenSuministro(f));
    frmOrdenSuministro = o.get();
    o->setNuevo(true);
    o->ShowModal();
    frmOrdenSuministro = nullptr;
  });
  auto os = [](TForm* f) { return static_cast<TfrmOrdenSuministro*>(f); };
  auto escrito = [os](const char* t) { return [os, t](TForm* f) { return EnCelda(os(f)->DBGrid2) == t; }; };
  auto columna = [os](int c) { return [os, c](TForm* f) { return os(f)->DBGrid2->SelectedIndex == c; }; };
  auto escribir = [](const char* t) { return [t](TForm*) { Type(t); }; };
  auto tab = [](TForm*) { Key(WXK_TAB); };
  auto nuevaLinea = [os](int filas) {
    return [os, filas](TForm* f) {
      return os(f)->tblTemp->GetState() == dsInsert && os(f)->DBGrid2->DisplayRowCount() == filas &&
             Enfocado(f, os(f)->DBGrid2) && os(f)->DBGrid2->SelectedIndex == 0;
    };
  };
  std::set<std::string> lineas;
  std::vector<Paso> pasos = {
      {"", nullptr, [os](TForm* f) { ClickOn(os(f)->edDetalle); }},
      {"foco en el detalle", [os](TForm* f) { return Enfocado(f, os(f)->edDetalle); },
       [os](TForm* f) { ClickNav(os(f)->DBNavigator1, nbInsert); }},
      {"la primera línea nueva", nuevaLinea(1), escribir("P01")},
      {"P01 en la celda", escrito("P01"), tab},
      {"la cantidad", columna(1), escribir("3")},
      {"3 en la celda", escrito("3"), tab},
      {"el valor unitario", columna(2), escribir("1000")},
      {"1000 en la celda", escrito("1000"), [os](TForm* f) { ClickNav(os(f)->DBNavigator1, nbInsert); }},
      {"la segunda línea nueva", nuevaLinea(2), escribir("T02")},
      {"T02 en la celda", escrito("T02"), tab},
      {"la cantidad", columna(1), escribir("5")},
      {"5 en la celda", escrito("5"), tab},
      {"el valor unitario", columna(2), escribir("2000")},
      {"2000 en la celda", escrito("2000"), tab},
      {"el subtotal", columna(3), [os](TForm* f) { ClickNav(os(f)->DBNavigator1, nbPost); }},
      {"la línea grabada", [os](TForm* f) { return os(f)->tblTemp->GetState() == dsBrowse; },
       [&](TForm* f) {
         TTable* t = os(f)->tblTemp;
         for (t->First(); !t->Eof; t->Next())
           lineas.insert(t->FieldByName("iArticulo")->AsString().str() + "/" +
                         FloatToStr(t->FieldByName("cantidad")->AsFloat).str() + "/" +
                         FloatToStr(t->FieldByName("valorUnit")->AsFloat).str() + "/" +
                         FloatToStr(t->FieldByName("subTotal")->AsFloat).str());
       }},
  };
  size_t paso = 0;
  std::map<std::string, Pilot::Action> actions;
  actions["TfrmOrdenSuministro"] = Guion(pasos, paso, [](TForm* f) { Cancel(f); });
  RunSurvey(std::move(steps), {}, actions);
  EXPECT_EQ(paso, pasos.size());
  EXPECT_EQ(lineas, (std::set<std::string>{"P01/3/1000/3000", "T02/5/2000/10000"}));
}

// En el editor de reglas de retención, con el cursor en la base de una regla guardada, "+"
// empieza la regla nueva por su cuenta.
TEST_F(SurveyTest, WithholdingRuleTypedAfterPlusStartsAtItsAccount) {
  NoLayoutChecks keys;  // the layout is for the survey tests
  std::deque<std::function<void(TForm*)>> steps;
  steps.push_back([this](TForm* f) {
    tv::db::ConnectionFor(libros_.c_str())
        ->Exec("INSERT INTO retenciones (cuenta, nombre, base, porcentaje, tipo) "
               "VALUES ('236540', 'Compras', 1000000, 2.5, 'COM')");
    std::unique_ptr<TfrmRetenciones> r(new TfrmRetenciones(f));
    frmRetenciones = r.get();
    r->ShowModal();
    frmRetenciones = nullptr;
  });
  auto re = [](TForm* f) { return static_cast<TfrmRetenciones*>(f); };
  auto escrito = [re](const char* t) { return [re, t](TForm* f) { return EnCelda(re(f)->DBGrid1) == t; }; };
  std::vector<Paso> pasos = {
      {"la regla guardada", [re](TForm* f) { return re(f)->DBGrid1->DisplayRowCount() >= 1; },
       [re](TForm* f) { ClickCell(re(f)->DBGrid1, 2, 0); }},
      {"la base de la regla", [re](TForm* f) { return re(f)->DBGrid1->SelectedIndex == 2 && Enfocado(f, re(f)->DBGrid1); },
       [re](TForm* f) { ClickNav(re(f)->DBNavigator1, nbInsert); }},
      {"la regla nueva",
       [re](TForm* f) { return re(f)->tblRetenciones->GetState() == dsInsert && re(f)->DBGrid1->SelectedIndex == 0; },
       [](TForm*) { Type("236525"); }},
      {"236525 en la celda", escrito("236525"), [](TForm*) { Key(WXK_TAB); }},
      {"el nombre", [re](TForm* f) { return re(f)->DBGrid1->SelectedIndex == 1; }, [](TForm*) { Type("Servicios"); }},
      {"Servicios en la celda", escrito("Servicios"), [](TForm*) { Key(WXK_TAB); }},
      {"la base", [re](TForm* f) { return re(f)->DBGrid1->SelectedIndex == 2; }, [](TForm*) { Type("150000"); }},
      {"150000 en la celda", escrito("150000"), [re](TForm* f) { ClickNav(re(f)->DBNavigator1, nbPost); }},
      {"la regla grabada", [re](TForm* f) { return re(f)->tblRetenciones->GetState() == dsBrowse; },
       [](TForm*) {}},
  };
  size_t paso = 0;
  std::map<std::string, Pilot::Action> actions;
  actions["TfrmRetenciones"] = Guion(pasos, paso, [](TForm* f) { Cancel(f); });
  RunSurvey(std::move(steps), {}, actions);
  EXPECT_EQ(paso, pasos.size());
  EXPECT_EQ(Valor(libros_, "SELECT group_concat(cuenta || '/' || ifnull(nombre, '-') || '/' || ifnull(base, '-'), ';') "
                           "FROM (SELECT * FROM retenciones ORDER BY cuenta)"),
            "236525/Servicios/150000;236540/Compras/1000000");
}

// ---- Registro presupuestal -----------------------------------------------------------------

// "&Salir" con su tecla: el botón puede quedar bajo el borde de una pantalla baja.
void Salir() { wxUIActionSimulator().Char('s', wxMOD_ALT); }

// "Salir" sin nada digitado cierra; con datos sin grabar pregunta: "No" deja la ventana
// abierta con lo digitado, "Sí" la cierra.
TEST_F(SurveyTest, LeavingTheBudgetRegisterWithUnsavedDataAsksFirst) {
  NoLayoutChecks keys;  // the layout is for the survey tests
  std::deque<std::function<void(TForm*)>> steps{MenuStep("Registropresupuestal1"),
                                                MenuStep("Registropresupuestal1")};
  auto rp = [](TForm* f) { return static_cast<TfrmRegPptal*>(f); };
  std::vector<std::string> preguntas;
  std::deque<std::string> respuestas{"No", "Sí"};
  wxTopLevelWindow* contestada = nullptr;
  auto caja = [&](wxTopLevelWindow* box) {
    if (box == contestada) return true;  // ya contestada: se está cerrando
    if (!box->IsActive()) return true;   // aparece enseguida encima
    std::string texto;
    for (wxWindow* c : box->GetChildren())
      if (auto* st = dynamic_cast<wxStaticText*>(c)) texto = st->GetLabel().utf8_string();
    preguntas.push_back(box->GetTitle().utf8_string() + ": " + texto);
    std::string respuesta = respuestas.empty() ? "" : respuestas.front();
    if (!respuestas.empty()) respuestas.pop_front();
    for (wxWindow* c : box->GetChildren())
      if (auto* b = dynamic_cast<wxButton*>(c); b && b->GetLabel().utf8_string() == respuesta) {
        contestada = box;
        ClickWindow(b);
        return true;
      }
    return false;  // sin respuesta prevista: la del piloto
  };
  int aperturas = 0;
  bool abiertaTrasNo = false;
  std::string textoTrasNo;
  std::vector<Paso> pasos = {
      {"", nullptr, [rp](TForm* f) { ClickOn(rp(f)->edObjetoGasto); }},
      {"foco en el objeto del gasto", [rp](TForm* f) { return Enfocado(f, rp(f)->edObjetoGasto); },
       [](TForm*) { Type("Papeleria de oficina"); }},
      {"lo digitado", [rp](TForm* f) { return AnsiString(rp(f)->edObjetoGasto->Text) == "Papeleria de oficina"; },
       [](TForm*) { Salir(); }},
      {"la respuesta No", [&](TForm*) { return preguntas.size() == 1 && respuestas.size() == 1; },
       [&](TForm* f) {
         contestada = nullptr;
         abiertaTrasNo = f->Showing();
         textoTrasNo = AnsiString(rp(f)->edObjetoGasto->Text).str();
         Salir();
       }},
  };
  size_t paso = 0;
  auto guion = Guion(pasos, paso, [](TForm*) {});
  std::map<std::string, Pilot::Action> actions;
  actions["TfrmRegPptal"] = [&](TForm* f) {
    if (paso == 0 && aperturas == 0) {
      if (wxTopLevelWindow* t = tv::gui::WindowOf(f); !t || !t->IsActive()) return true;
      ++aperturas;
      Salir();  // primera apertura: nada digitado
      return false;
    }
    if (aperturas == 1) ++aperturas;  // la segunda apertura, la del guion
    return guion(f);
  };
  RunSurvey(std::move(steps), {}, actions, caja);
  EXPECT_EQ(aperturas, 2);
  EXPECT_EQ(paso, pasos.size());
  std::string pregunta = "Advertencia: Los datos del registro presupuestal ";
  ASSERT_EQ(preguntas.size(), 2u) << (preguntas.empty() ? "" : preguntas[0]);
  for (const std::string& p : preguntas) {
    EXPECT_EQ(p.rfind(pregunta, 0), 0u) << p;
    EXPECT_NE(p.find(" no se han grabado. ¿Los descarta?"), std::string::npos) << p;
  }
  EXPECT_TRUE(abiertaTrasNo);
  EXPECT_EQ(textoTrasNo, "Papeleria de oficina");
  EXPECT_TRUE(respuestas.empty());
}

}  // namespace
}  // namespace survey
