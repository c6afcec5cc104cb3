// Reintegros: registro con sus reglas, borrado según el disponible y corrección revisada.
#include <gtest/gtest.h>

#include <memory>

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "budget/Presupuesto.h"
#include "payments/FrmReintegros.h"
#include "platform/db/DBTables.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/report/Render.h"
#include "platform/report/ReportUi.h"
#include "support/Separadores.h"
#include "platform/core/SysUtils.h"
#include "platform/forms/DBGrids.h"

using presupuesto::Presupuesto;
using namespace presupuesto::ayuda;

namespace {

class Reintegros : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Rubro("E", "G", "Gasto");
    Rubro("I", "I1", "Ingreso");
    Movimiento("1", "APR", "2026-01-02", {{"G", "E", 0, 100}});
    Certificado(1, "2026-02-01", 100, "G");  // todo lo apropiado ya separado
    f.reset(new TfrmReintegros(nullptr));
    f->Show();
  }
  void Nuevo(const char* rubro, const char* valor, const char* fecha = "15/03/2026") {
    ui->now(f.get()).click("btnNuevo").set("edRubro", rubro).set("edValor", prueba::Tecleado(valor).c_str()).set("edFecha", fecha)
        .set("Memo1", "Devolución").click("btnGrabar");
  }
  std::unique_ptr<TfrmReintegros> f;
};

TEST_F(Reintegros, ReglasDeUnoNuevo) {
  struct Caso {
    const char* rubro;
    const char* valor;
    const char* fecha;
    const char* mensaje;
  };
  const Caso casos[] = {
      {"G", "0", "15/03/2026", "El valor debe ser mayor que cero.\n"},
      {"G", "-5", "15/03/2026", "El valor debe ser mayor que cero.\n"},
      {"", "", "15/03/2026", "Debe digitar el rubro.\nDebe digitar el valor.\n"},
      {"I1", "5", "15/03/2026", "El rubro I1 no es un rubro de egreso.\n"},
      {"X", "5", "15/03/2026", "El rubro X no es un rubro de egreso.\n"},
  };
  for (const auto& c : casos) {
    ui->takeMessages();
    Nuevo(c.rubro, c.valor, c.fecha);
    ASSERT_EQ(ui->messages().size(), 1u) << c.rubro << c.valor;
    EXPECT_EQ(ui->messages()[0].Text, c.mensaje);
  }
  ui->takeMessages();
  Nuevo("G", "5", "31/02/2026");
  EXPECT_EQ(ui->messages().size(), 1u);
  EXPECT_EQ(Leer("SELECT count(*) FROM reintegros"), "0");

  ui->takeMessages();
  Nuevo("G", "25.5");
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
  EXPECT_EQ(Leer("SELECT cdp || '|' || rubro || '|' || valor || '|' || iusuario || '|' || justificacion || '|' || "
                 "fecha FROM reintegros"),
            "0|G|25.5|" + std::string(Login.c_str()) + "|Devolución|2026-03-15");
  EXPECT_FALSE(f->Panel1->Visible);
  // En la lista el valor se ve como todo monto.
  auto columnas = f->DBGrid1->DisplayColumns();
  int col = -1;
  for (size_t i = 0; i < columnas.size(); ++i)
    if (SameText(columnas[i]->FieldName, "valor")) col = static_cast<int>(i);
  ASSERT_GE(col, 0);
  EXPECT_EQ(f->DBGrid1->PaintCell(col, 0)->LastText(), prueba::Mostrado("25.50"));
}

TEST_F(Reintegros, BorrarSoloSiElDineroNoSeUso) {
  Nuevo("G", "30");
  // Disponible 30 = valor: se puede borrar.
  ui->now(f.get()).click("btnBorrar");
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
  EXPECT_EQ(Leer("SELECT count(*) FROM reintegros"), "0");
  // Un centavo usado: se niega.
  Nuevo("G", "30");
  Certificado(2, "2026-03-20", 0.01, "G");
  ui->now(f.get()).click("btnBorrar");
  ASSERT_EQ(ui->messages().size(), 1u);
  EXPECT_EQ(ui->messages()[0].Text,
            "No puede borrar porque ya hizo uso de ese reintegro y utilizó ese dinero en alguna otra transacción");
  EXPECT_EQ(Leer("SELECT count(*) FROM reintegros"), "1");
}

// Ctrl+Supr en la lista no borra un reintegro cuyo dinero ya se usó.
TEST_F(Reintegros, CtrlSuprDeLaListaNoBorra) {
  Nuevo("G", "30");
  Certificado(2, "2026-03-20", 0.01, "G");
  ui->takeMessages();
  ui->answer("Borrar", mrOk);
  ui->now(f.get()).key("DBGrid1", VK_DELETE, TShiftState{ssCtrl});
  EXPECT_EQ(Leer("SELECT count(*) FROM reintegros"), "1");
  EXPECT_NE(ui->unused(), "");
}

TEST_F(Reintegros, CorreccionRevisada) {
  Nuevo("G", "30");
  Certificado(2, "2026-03-20", 20, "G");  // se usaron 20 de los 30
  f.reset(new TfrmReintegros(nullptr));  // tras grabar, la nota vuelve al abrir de nuevo
  f->Show();
  TTable* t = DM->tblReintegros;
  t->First();
  // Bajar a 25 deja 5 disponibles: pasa.
  t->Edit();
  t->FieldByName("valor")->AsFloat = 25;
  ui->now(f.get()).set("Memo2", "Corregido").click("btnGrabMod");
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
  EXPECT_EQ(Leer("SELECT valor || '|' || justificacion FROM reintegros"), "25|Corregido");
  // Bajar a 10 dejaría -10: se niega y no se guarda.
  t->Edit();
  t->FieldByName("valor")->AsFloat = 10;
  ui->now(f.get()).click("btnGrabMod");
  ASSERT_EQ(ui->messages().size(), 1u);
  EXPECT_EQ(ui->messages()[0].Text,
            "No puede modificar el reintegro porque ya hizo uso de ese dinero en alguna otra transacción");
  EXPECT_EQ(Leer("SELECT valor FROM reintegros"), "25");
  // Un valor en cero se niega como uno nuevo.
  ui->takeMessages();
  t->Edit();
  t->FieldByName("valor")->AsFloat = 0;
  ui->now(f.get()).click("btnGrabMod");
  ASSERT_EQ(ui->messages().size(), 1u);
  EXPECT_EQ(ui->messages()[0].Text, "El valor debe ser mayor que cero.\n");
  EXPECT_EQ(Leer("SELECT valor FROM reintegros"), "25");
}

// Otro puesto escribió un reintegro después de que esta ventana los trajo: la corrección se
// rehúsa con la frase de todo documento, la lista se lee de nuevo y la siguiente pasa.
TEST_F(Reintegros, CorreccionSobreLoQueOtroCambioSeTraeDeNuevo) {
  Nuevo("G", "30");
  f.reset(new TfrmReintegros(nullptr));
  f->Show();
  Sql("UPDATE reintegros SET justificacion='Del otro puesto'");
  TTable* t = DM->tblReintegros;
  t->First();
  t->Edit();
  t->FieldByName("valor")->AsFloat = 40;
  ui->takeMessages();
  ui->now(f.get()).set("Memo2", "Corregido").click("btnGrabMod");
  ASSERT_EQ(ui->messages().size(), 1u);
  EXPECT_EQ(ui->messages()[0].Text,
            "Otro usuario grabó este documento después de traerlo. Tráigalo de nuevo para modificarlo.");
  EXPECT_EQ(Leer("SELECT valor || '|' || justificacion FROM reintegros"), "30|Del otro puesto");
  EXPECT_EQ(AnsiString(f->Memo2->Text).Trim(), "Del otro puesto");
  t->Edit();
  t->FieldByName("valor")->AsFloat = 40;
  ui->takeMessages();
  ui->now(f.get()).set("Memo2", "Corregido").click("btnGrabMod");
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
  EXPECT_EQ(Leer("SELECT valor || '|' || justificacion FROM reintegros"), "40|Corregido");
}

TEST_F(Reintegros, ImpresoConNombreSoloParaRubroDeEgreso) {
  Nuevo("G", "1234.5");
  DM->tblReintegros->First();
  ui->now(f.get()).click("btnImprimir");
  auto* r = tv::report::HeadlessUi().Last();
  ASSERT_NE(r, nullptr);
  std::string texto = tv::report::DumpText(r->report);
  tv::report::SavePdf(r->report, dir + "/reintegro.pdf");
  for (std::string s : std::initializer_list<std::string>{"REINTEGRO PRESUPUESTAL", "G Gasto", prueba::Mostrado("1,234.50"), "15/03/2026", "Devolución", "Rector(a): "})
    EXPECT_NE(texto.find(s), std::string::npos) << s << "\n" << texto;
  // Un código que no es de egreso sale sin nombre.
  Sql("UPDATE reintegros SET rubro='I1'");
  DM->tblReintegros->Refresh();
  ui->now(f.get()).click("btnImprimir");
  texto = tv::report::DumpText(tv::report::HeadlessUi().Last()->report);
  EXPECT_EQ(texto.find("Ingreso"), std::string::npos) << texto;
}

}  // namespace
