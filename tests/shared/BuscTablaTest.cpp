#include <memory>

#include "BaseDatos.h"
#include "platform/forms/Headless.h"
#include "shared/dialogs/BuscTabla.h"
#include "support/Separadores.h"

using prueba::BaseDatos;

namespace {

class Busqueda : public BaseDatos {
 protected:
  void SetUp() override {
    BaseDatos::SetUp();
    Cuentas();
    tabla = std::make_unique<TTable>(nullptr);
    tabla->DatabaseName = "Contabilidad";
    tabla->TableName = "PL.db";
    tabla->Open();
    fuente = std::make_unique<TDataSource>(nullptr);
    fuente->DataSet = tabla.get();
    fuente->OnDataChange = [this](TObject*, TField*) { ++cambiosDelLlamador; };
  }
  void TearDown() override {
    fuente.reset();
    tabla.reset();
    BaseDatos::TearDown();
  }
  TFrmBuscTabla* Crear(bool mover, const AnsiString& filtro = "") {
    FrmBuscTabla = new TFrmBuscTabla(nullptr, fuente.get(), "Código", "Nombre", "numecuen",
                                     "nombcuen", mover, filtro);
    return FrmBuscTabla;
  }
  AnsiString Actual() { return tabla->FieldByName("numecuen")->AsString; }

  std::unique_ptr<TTable> tabla;
  std::unique_ptr<TDataSource> fuente;
  int cambiosDelLlamador = 0;
};

TFrmBuscTabla& Dlg(TForm& f) { return static_cast<TFrmBuscTabla&>(f); }

}  // namespace

TEST_F(Busqueda, AceptarSinMoverDevuelveLlavesYVuelveAlRegistro) {
  tv::forms::HeadlessDriver ui;
  ASSERT_EQ(Actual(), "1105");
  Crear(false);
  EXPECT_EQ(FrmBuscTabla->Caption, "Búsqueda");
  EXPECT_FALSE(FrmBuscTabla->Panel1->Visible);
  EXPECT_EQ(FrmBuscTabla->RadioButton1->Caption, "Código");
  EXPECT_EQ(FrmBuscTabla->DBGrid1->Columns->Count(), 2);
  EXPECT_EQ(FrmBuscTabla->DBGrid1->Columns->Items[0]->Color, clAqua);
  EXPECT_EQ(FrmBuscTabla->StringGrid1->ColCount, 3);
  EXPECT_EQ(FrmBuscTabla->StringGrid1->Cells[0][0], "saldo");
  ui.onModal("TFrmBuscTabla")
      .run([](TForm& f) {
        EXPECT_EQ(Dlg(f).StringGrid1->Cells[0][1], prueba::Tecleado("1500.5"));
      })
      .check("RadioButton2")
      .type("EdBusqueda", "prov")
      .run([this](TForm& f) {
        EXPECT_EQ(Actual(), "2205");
        EXPECT_EQ(Dlg(f).NumCampo, 1);
        EXPECT_EQ(Dlg(f).DBGrid1->Columns->Items[1]->Color, clAqua);
        EXPECT_EQ(Dlg(f).StringGrid1->Cells[0][1], "---");  // saldo nulo
        EXPECT_EQ(Dlg(f).StringGrid1->Cells[1][1], "31/01/2024");
      })
      .click("&Aceptar");
  EXPECT_EQ(FrmBuscTabla->ShowModal(), mrOk);
  EXPECT_EQ(FrmBuscTabla->GetContenido1(), "2205");
  EXPECT_EQ(FrmBuscTabla->GetContenido2(), "Proveedores");
  EXPECT_EQ(Actual(), "1105");
  EXPECT_EQ(cambiosDelLlamador, 0);  // el manejador del llamador no corre con el diálogo abierto
  fuente->OnDataChange(nullptr, nullptr);
  EXPECT_EQ(cambiosDelLlamador, 1);
  delete FrmBuscTabla;
  EXPECT_EQ(ui.unused(), "");
}

TEST_F(Busqueda, SalirConMoverDejaElRegistroYResultadosVacios) {
  tv::forms::HeadlessDriver ui;
  Crear(true);
  ui.onModal("TFrmBuscTabla").type("EdBusqueda", "111").click("&Salir");
  EXPECT_EQ(FrmBuscTabla->ShowModal(), mrCancel);
  EXPECT_EQ(FrmBuscTabla->GetContenido1(), "");
  EXPECT_EQ(FrmBuscTabla->GetContenido2(), "");
  EXPECT_EQ(Actual(), "1110");
  delete FrmBuscTabla;
}

TEST_F(Busqueda, FiltroPropioYFiltroPrevioDelLlamador) {
  tv::forms::HeadlessDriver ui;
  tabla->Filter = "nivel=4";
  tabla->Filtered = true;
  ASSERT_EQ(tabla->RecordCount, 2);
  Crear(false, "numecuen='9999'");  // no deja registros: el diálogo abre igual
  EXPECT_TRUE(FrmBuscTabla->Panel1->Visible);
  EXPECT_EQ(FrmBuscTabla->lblFiltro->Caption, "numecuen='9999'");
  EXPECT_TRUE(FrmBuscTabla->chBFiltrada->Checked);
  ui.onModal("TFrmBuscTabla")
      .run([this](TForm&) { EXPECT_EQ(tabla->RecordCount, 0); })
      .check("chBFiltrada", false)
      .run([this](TForm&) { EXPECT_EQ(tabla->RecordCount, 3); })
      .close();
  FrmBuscTabla->ShowModal();
  delete FrmBuscTabla;
  // Se devuelve el filtro que el llamador tenía.
  EXPECT_EQ(tabla->Filter, "nivel=4");
  EXPECT_TRUE(tabla->Filtered);
  EXPECT_EQ(tabla->RecordCount, 2);
}

TEST_F(Busqueda, ValidacionDelTextoBuscado) {
  tv::forms::HeadlessDriver ui;
  Exec("CREATE TABLE Num (codigo INTEGER, nombre VARCHAR(4))");
  Exec("INSERT INTO Num VALUES (10, 'diez'), (20, 'ente')");
  tabla->Close();
  tabla->TableName = "Num";
  tabla->Open();
  FrmBuscTabla = new TFrmBuscTabla(nullptr, fuente.get(), "Número", "Nombre", "codigo", "nombre",
                                   false, "");
  EXPECT_FALSE(FrmBuscTabla->StringGrid1->Visible);  // solo los dos campos llave
  ui.onModal("TFrmBuscTabla")
      .type("EdBusqueda", "2")
      .run([this](TForm&) { EXPECT_EQ(tabla->FieldByName("codigo")->AsInteger, 20); })
      .set("EdBusqueda", "2a")
      .set("EdBusqueda", "-2")
      .check("RadioButton2")
      .set("EdBusqueda", "enterado")
      .click("&Salir");
  FrmBuscTabla->ShowModal();
  auto mensajes = ui.messages();
  ASSERT_EQ(mensajes.size(), 3u);
  EXPECT_EQ(mensajes[0].Text, "Debe corregir:\nSólo debe haber números.");
  EXPECT_EQ(mensajes[1].Text, "Debe corregir:\nSólo debe haber números.");
  EXPECT_EQ(mensajes[2].Text, "Debe corregir:\nNombre muy largo.");
  delete FrmBuscTabla;
}

TEST_F(Busqueda, BusquedaDirecta) {
  tv::forms::HeadlessDriver ui;
  Crear(true);
  ui.onModal("TFrmBuscTabla")
      .click("Directamente")
      .find("2205")
      .run([this](TForm& f) {
        EXPECT_EQ(Actual(), "2205");
        EXPECT_FALSE(Dlg(f).FindDialog1->Showing());
      })
      .click("Directamente")
      .find("99", TFindOptions{frDown})
      .check("RadioButton2")
      .click("Directamente")
      .find("bancos; \"central\"", TFindOptions{frWholeWord})
      .run([this](TForm&) { EXPECT_EQ(Actual(), "1110"); })
      .click("Directamente")
      .find("bancos", TFindOptions{frWholeWord, frMatchCase})
      .click("&Aceptar");
  FrmBuscTabla->ShowModal();
  EXPECT_EQ(FrmBuscTabla->GetContenido1(), "1110");
  ASSERT_EQ(ui.messages().size(), 2u);
  EXPECT_EQ(ui.messages()[0].Text, "99 No encontrado.");
  EXPECT_EQ(ui.messages()[1].Text, "bancos No encontrado.");
  delete FrmBuscTabla;
}

TEST_F(Busqueda, SinRegistros) {
  tv::forms::HeadlessDriver ui;
  Exec("DELETE FROM PL");
  tabla->Refresh();
  Crear(false);
  EXPECT_TRUE(FrmBuscTabla->ceroRegistros);
  EXPECT_EQ(ui.lastMessage(), "No existen registros para mostrar.");
  ui.onModal("TFrmBuscTabla").type("EdBusqueda", "x").click("&Aceptar");
  EXPECT_EQ(FrmBuscTabla->ShowModal(), mrOk);
  EXPECT_EQ(FrmBuscTabla->GetContenido1(), "");
  delete FrmBuscTabla;
  cambiosDelLlamador = 0;
  fuente->OnDataChange(nullptr, nullptr);  // el manejador del llamador sigue en su sitio
  EXPECT_EQ(cambiosDelLlamador, 1);
}

TEST_F(Busqueda, PistaDeLaTiraDeCampos) {
  tv::forms::HeadlessDriver ui;
  Crear(false);
  ui.onModal("TFrmBuscTabla")
      .run([](TForm& f) {
        TStringGrid* g = Dlg(f).StringGrid1;
        TRect r = g->CellRect(1, 1);
        g->UserMouseMove(r.Left + 2, r.Top + 2);
        EXPECT_EQ(Dlg(f).lblHint->Caption, "05/03/2024");
        TRect t = g->CellRect(2, 0);
        g->UserMouseMove(t.Left + 2, t.Top + 2);
        EXPECT_EQ(Dlg(f).lblHint->Caption, "05/03/2024");
      })
      .close();
  FrmBuscTabla->ShowModal();
  delete FrmBuscTabla;
}

// Enter en la caja de búsqueda acepta el renglón señalado, como "&Aceptar".
TEST_F(Busqueda, EnterEnLaCajaDeBusquedaAcepta) {
  tv::forms::HeadlessDriver ui;
  Crear(false);
  ui.onModal("TFrmBuscTabla").check("RadioButton2").type("EdBusqueda", "prov").key("EdBusqueda", VK_RETURN);
  EXPECT_EQ(FrmBuscTabla->ShowModal(), mrOk);
  EXPECT_EQ(FrmBuscTabla->GetContenido1(), "2205");
  delete FrmBuscTabla;
  EXPECT_EQ(ui.unused(), "");
}
