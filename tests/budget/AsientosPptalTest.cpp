#include <filesystem>
#include <fstream>

#include "budget/AsientosPptalFixture.h"
#include "budget/CalculosPptal.h"
#include "platform/db/DBTables.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/Numeros.h"
#include "support/Separadores.h"

using presupuesto::EditorPptal;

namespace {

const char* const kDosRubros =
    "              Siempre deben ser dos rubros:\n"
    "              En adición: se aumenta en un ingreso y también en un egreso.\n"
    "              En Reducción: se disminuye en un ingreso y también en un egreso.\n"
    "              Traslado: Se quita de un egreso para aumentarlo en otro.\n";

class Asientos : public EditorPptal {
 protected:
  void SetUp() override {
    EditorPptal::SetUp();
    Movimiento("AP1", "APR", "2026-01-02", {{"1.2.05", "I", 1000, 0}, {"2.1.1.01", "E", 0, 300}, {"2.3.2", "E", 0, 700}},
               "Inicial");
    Editor();
  }
  std::string Lineas(const char* numero, const char* tipo) {
    return Leer("SELECT group_concat(x, ',') FROM (SELECT icuenta || tipoCuenta || ':' || "
                "coalesce(CAST(ingreso AS REAL), 'nulo') || '/' || coalesce(CAST(egreso AS REAL), 'nulo') AS x "
                "FROM mvtPptal WHERE iMvtPptal='" + std::string(numero) + "' AND tipoMvtPptal='" + tipo +
                "' ORDER BY 1)");
  }
};

TEST_F(Asientos, MensajesDeLaValidacion) {
  struct Caso {
    const char* tipo;
    std::vector<Renglon> lineas;
    std::string mensaje;
  };
  using prueba::Mostrado;
  const Caso casos[] = {
      {"ADD:Adición", {{"1.2.05", "I", 100, 0}}, "DOS\n Saldos desiguales " + Mostrado("100.00 vs 0.00")},
      {"ADD:Adición", {{"1.2.05", "I", 100, 0}, {"2.3.2", "E", 0, 100.01}}, "\n Saldos desiguales " + Mostrado("100.00 vs 100.01")},
      {"ADD:Adición", {{"1.2.05", "I", 100, 0}, {"1.2.05", "I", 0, 50}, {"2.3.2", "E", 0, 50}},
       "1.2.05I se encuentra repetida.\n"},
      {"ADD:Adición", {{"1.2.05", "I", 100, 0}, {"9.9", "E", 0, 100}}, "Rubro 9.9 tipo de rubro: E es inexistente.\n"},
      {"ADD:Adición", {{"1.2.05", "I", 100, 0}, {"2.1.1", "E", 0, 100}}, "El rubro 2.1.1 no es auxiliar.\n"},
      {"TRA:Traslado", {{"2.3.2", "E", 0, -500}, {"1.2.05", "I", 500, 0}},
       "Solo puede hacer traslado entre rubros de egreso.\n\n Saldos desiguales " + Mostrado("500.00 vs -500.00")},
      {"TRA:Traslado", {{"2.1.1.01", "E", 0, -500}, {"2.3.2", "E", 0, 500}},
       "No tiene fondos para hacer el traslado. El rubro de donde saca (2.1.1.01) solo tiene " + Mostrado("300.00") + "\n"},
      {"TRA:Traslado", {{"2.1.1.01", "E", 0, 100}, {"2.3.2", "E", -100, 0}},
       "No se ha podido detectar correctamente de cual rubro se esta sacando el dinero.\n"
       "\n Saldos desiguales " + Mostrado("-100.00 vs 100.00")},
  };
  int n = 0;
  for (const Caso& c : casos) {
    std::string numero = "X" + std::to_string(++n);
    Traer(c.tipo, numero.c_str());
    int fila = 0;
    for (const auto& r : c.lineas) {
      Linea(fila++, r.codigo.c_str(), r.tipo.c_str(), r.ingreso ? std::to_string(r.ingreso).c_str() : "",
            r.egreso ? std::to_string(r.egreso).c_str() : "");
    }
    ui->takeMessages();
    Grabar();
    std::string esperado = c.mensaje;
    if (esperado.rfind("DOS", 0) == 0) esperado = kDosRubros + esperado.substr(3);
    EXPECT_EQ(ui->lastMessage(), esperado) << numero;
    EXPECT_EQ(ui->messages().size(), 1u) << numero;
    EXPECT_EQ(Leer("SELECT count(*) FROM MvtPptalMaestro WHERE iMvtPptal='" + numero + "'"), "0") << numero;
    EXPECT_TRUE(ed->DBGrid1->Enabled);
    ui->answer("Realmente quiere perder lo digitado?", IDYES);
  }
}

// Un documento fechado fuera del año abierto no se graba.
TEST_F(Asientos, FechaFueraDelAnioSeRechaza) {
  Traer("ADD:Adición", "AD9", "15/12/2025");
  Linea(0, "1.2.05", "I", "100", "");
  Linea(1, "2.3.2", "E", "", "100");
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(), "La fecha debe estar en el año 2026.\n\n");
  EXPECT_EQ(Leer("SELECT count(*) FROM MvtPptalMaestro WHERE iMvtPptal='AD9'"), "0");
  ui->answer("Realmente quiere perder lo digitado?", IDYES);
}

// Los fondos de un traslado se miden al grabar, sin el documento que se reescribe: el traslado
// guardado se vuelve a grabar, y sacar un centavo más de lo que el rubro tiene no.
TEST_F(Asientos, LosFondosDeUnTrasladoSeMidenSinElMismo) {
  Movimiento("TR1", "TRA", "2026-02-01", {{"2.1.1.01", "E", 0, -300}, {"2.3.2", "E", 0, 300}}, "Traslado");
  ASSERT_NEAR(getDisponibilidadRubro("2.1.1.01", "E", nullptr), 0, 1e-9);
  Traer("TRA:Traslado", "TR1");
  Ed().set("edDetalle", "Traslado corregido");
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "Asiento Presupuestal Registrado");
  Traer("TRA:Traslado", "TR1");
  Linea(0, "2.1.1.01", "E", "", "-300.01");
  Linea(1, "2.3.2", "E", "", "300.01");
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "No tiene fondos para hacer el traslado. El rubro de donde saca (2.1.1.01) solo tiene " +
                                   prueba::Mostrado("300.00") + "\n");
  EXPECT_EQ(Lineas("TR1", "TRA"), "2.1.1.01E:0.0/-300.0,2.3.2E:0.0/300.0");
  EXPECT_EQ(Leer("SELECT detalle FROM MvtPptalMaestro WHERE iMvtPptal='TR1'"), "Traslado corregido");
  EXPECT_EQ(ed->tblAsientoPptal->RecordCount, 2);
}

TEST_F(Asientos, RedondeoYMismoCodigoConOtroTipo) {
  Rubro("I", "2.3.2", "INGRESO CON EL CODIGO DE UN EGRESO");
  DM->tblPlanPpto->Refresh();
  Traer("ADD:Adición", "AD1");
  Linea(0, "2.3.2", "I", "100.004", "");
  Linea(1, "2.3.2", "E", "", "100.001");
  Grabar();
  EXPECT_EQ(Textos(), "Asiento Presupuestal Registrado\n");
  // Lo tecleado queda al centavo: el chequeo y lo grabado ven la misma cifra.
  EXPECT_EQ(Lineas("AD1", "ADD"), "2.3.2E:nulo/100.0,2.3.2I:100.0/nulo");
}

TEST_F(Asientos, RechazosAntesDeValidar) {
  Ed().click("&Grabar");
  Ed().set("edFecha", "15/03/2026").click("Traer o Crear");
  Ed().pick("cbTipoMvtPptal", "RED:Reducción").set("edNumDoc", "R1");
  ed->edFecha->Text = "";  // el usuario borra la fecha
  Ed().click("Traer o Crear");
  Ed().set("edFecha", "15/03/2026").click("Traer o Crear");
  Ed().click("&Grabar");
  Linea(0, "2.3.2", "E", "0", "0");
  Ed().click("&Grabar");
  EXPECT_EQ(Textos(),
            "Debe completar información para poder grabar.\n"
            "Debe digitar un Numero de documento\n"
            "Debe escribir la fecha.\n"
            "No hay información para grabar.\n"
            "No hay información para grabar.\n");
  Permisos.BGrabar = false;
  ui->takeMessages();
  Grabar();
  ASSERT_EQ(ui->messages().size(), 1u);
  EXPECT_EQ(ui->messages()[0].Text, "No tiene permisos para grabar asientos.");
  EXPECT_EQ(ui->messages()[0].Caption, "Error");
}

TEST_F(Asientos, TraerUnGuardadoYConservarSuFecha) {
  Traer("APR:Apropiación", "AP1", "10/03/2026");
  EXPECT_EQ(ed->edFecha->Text.get(), "02/01/2026");
  EXPECT_EQ(ed->edDetalle->Text.get(), "Inicial");
  EXPECT_EQ(ed->tblAsientoPptal->RecordCount, 3);
  EXPECT_EQ(ed->lblIngreso->Caption, prueba::Mostrado("1,000.00"));
  EXPECT_EQ(ed->lblEgreso->Caption, prueba::Mostrado("1,000.00"));
  // Se cambia la fecha: al grabar pregunta si conserva la original.
  Ed().set("edFecha", "10/03/2026");
  Linea(3, "2.1.2.01", "E", "", "5");
  Linea(4, "1.2.10", "I", "5", "");
  ui->answer("Fecha original del documento=02/01/2026, desea conservarla?", IDYES);
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "Asiento Presupuestal Registrado");
  EXPECT_EQ(Leer("SELECT fecha FROM MvtPptalMaestro WHERE iMvtPptal='AP1'"), "2026-01-02");
  EXPECT_EQ(Lineas("AP1", "APR"), "1.2.05I:1000.0/0.0,1.2.10I:5.0/nulo,2.1.1.01E:0.0/300.0,2.1.2.01E:nulo/5.0,"
                                  "2.3.2E:0.0/700.0");
  EXPECT_EQ(ed->edNumDoc->Text.get(), "AP2");
  EXPECT_FALSE(ed->tblAsientoPptal->Active);
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Asientos, SinPermisoDeModificarNoSeReescribe) {
  Permisos.BModificar = false;
  Traer("APR:Apropiación", "AP1", "10/03/2026");
  EXPECT_EQ(ed->edDetalle->Text.get(), "Inicial");
  EXPECT_EQ(ed->tblAsientoPptal->RecordCount, 0);
  Linea(0, "1.2.10", "I", "5", "");
  Linea(1, "2.1.2.01", "E", "", "5");
  Grabar();
  ASSERT_EQ(ui->messages().size(), 2u);
  EXPECT_EQ(ui->messages()[0].Text, "No tiene permisos para modificar asientos.");
  EXPECT_EQ(ui->messages()[1].Text, "No tiene permisos para modificar asientos.");
  EXPECT_EQ(ui->messages()[1].Caption, "Error");
  EXPECT_EQ(Lineas("AP1", "APR"), "1.2.05I:1000.0/0.0,2.1.1.01E:0.0/300.0,2.3.2E:0.0/700.0");
  // Un documento nuevo sí se graba.
  ui->takeMessages();
  ui->answer("Realmente quiere perder lo digitado?", IDYES);
  Traer("APR:Apropiación", "AP2");
  Linea(0, "1.2.10", "I", "5", "");
  Linea(1, "2.1.2.01", "E", "", "5");
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "Asiento Presupuestal Registrado");
}

TEST_F(Asientos, UnaFallaAlGrabarDejaElDocumentoYLosRenglones) {
  Traer("APR:Apropiación", "AP1");
  Linea(3, "1.2.10", "I", "5", "");
  Linea(4, "2.1.2.01", "E", "", "5");
  Sql("CREATE TRIGGER falla BEFORE INSERT ON MvtPptalMaestro BEGIN SELECT RAISE(ABORT, 'disco lleno'); END");
  ui->answer(IDNO);
  Grabar();
  EXPECT_NE(Textos().find("disco lleno"), std::string::npos);
  EXPECT_EQ(Textos().find("Registrado"), std::string::npos);
  EXPECT_EQ(Lineas("AP1", "APR"), "1.2.05I:1000.0/0.0,2.1.1.01E:0.0/300.0,2.3.2E:0.0/700.0");
  EXPECT_EQ(Leer("SELECT count(*) FROM MvtPptalMaestro"), "1");
  EXPECT_TRUE(ed->tblAsientoPptal->Active);
  EXPECT_EQ(ed->tblAsientoPptal->RecordCount, 5);
  EXPECT_TRUE(ed->DBGrid1->Enabled);
}

TEST_F(Asientos, TeclasDeLaRejillaYTotales) {
  // Los totales empiezan con los separadores del usuario.
  for (TLabel* l : {ed->lblIngreso, ed->lblEgreso, ed->lblDiferencia}) EXPECT_EQ(l->Caption, prueba::Mostrado("0.00"));
  Traer("RED:Reducción", "R1");
  Linea(0, "2.3.2", "E", "", "-40");
  // Enter en el egreso del último renglón agrega otro y vuelve a la primera columna.
  Ed().cell("DBGrid1", 3, 0).key("DBGrid1", VK_RETURN);
  EXPECT_EQ(ed->DBGrid1->SelectedIndex, 0);
  EXPECT_EQ(ed->tblAsientoPptal->State, dsInsert);
  // F2 escribe el rubro escogido y su tipo.
  ASSERT_TRUE(DM->tblPlanPpto->Locate("tipoCuenta;iCuenta", VarArrayOf({Variant("I"), Variant("1.2.05")})));
  ui->onModal("TFrmBuscTabla").click("BtnRegresar");
  Ed().key("DBGrid1", VK_F2);
  EXPECT_EQ(ed->tblAsientoPptal->FieldByName("icuenta")->AsString(), "1.2.05");
  EXPECT_EQ(ed->tblAsientoPptal->FieldByName("tipoCuenta")->AsString(), "I");
  EXPECT_EQ(ed->LblNCuenta->Caption, "RENDIMIENTOS FINANCIEROS");
  Ed().editCell("DBGrid1", 2, 1, "-30").key("DBGrid1", VK_UP).key("DBGrid1", VK_DOWN);
  EXPECT_EQ(ed->lblDiferencia->Caption, prueba::Mostrado("10.00"));
  EXPECT_EQ(ed->lblDiferencia->Font->Color, clBlue);
  Ed().cell("DBGrid1", 0, 0);
  EXPECT_EQ(ed->LblNCuenta->Caption, "ADQUISICIÓN DE BIENES Y SERVICIOS DE INVERSIÓN");
  // Ctrl+N agrega, Ctrl+B borra el renglón actual.
  Ed().cell("DBGrid1", 0, 1).keys("Ctrl+B");
  EXPECT_EQ(ed->tblAsientoPptal->RecordCount, 1);
  EXPECT_EQ(ed->lblDiferencia->Caption, prueba::Mostrado("40.00"));
  Ed().cell("DBGrid1", 0, 0).key("DBGrid1", VK_DOWN);
  Ed().editCell("DBGrid1", 0, 0, "7.7").cell("DBGrid1", 1, 0);
  Ed().cell("DBGrid1", 0, 0).keys("Ctrl+N");
  EXPECT_EQ(ed->tblAsientoPptal->State, dsInsert);
  // F1 abre la ayuda en la sección de cada control.
  std::filesystem::create_directories(dir + "/help");
  std::ofstream(dir + "/help/asientoPresupuestal.html") << "<html></html>";
  Ed().key("DBGrid1", VK_F1).key("cbTipoMvtPptal", VK_F1).key("edFecha", VK_F1).key("edDetalle", VK_F1);
  ASSERT_EQ(ui->launches().size(), 4u);
  const char* anclas[] = {"#grid", "#cbTipoMvtPptal", "#edFecha", ""};
  for (int i = 0; i < 4; ++i) {
    std::string url = ui->launches()[static_cast<size_t>(i)].target.str();
    EXPECT_NE(url.find("asientoPresupuestal.html"), std::string::npos) << url;
    if (*anclas[i]) EXPECT_NE(url.find(anclas[i]), std::string::npos) << url;
    else EXPECT_EQ(url.find('#'), std::string::npos) << url;
  }
}

TEST_F(Asientos, CerrarConRenglonesPregunta) {
  Traer("ADD:Adición", "A1");
  Linea(0, "2.3.2", "E", "", "1");
  ui->answer("¿Realmente desea salir?", IDNO);
  EXPECT_FALSE(ed->CloseQuery());
  ui->answer("¿Realmente desea salir?", IDYES);
  EXPECT_TRUE(ed->CloseQuery());
  EXPECT_EQ(ui->messages()[0].Caption, "Información");
}

}  // namespace

namespace {

// Enter en la columna del tipo deja la letra tecleada (el plan puede estar en otro rubro);
// un tipo vacío se toma del rubro de la línea. Los totales siguen a cada línea grabada, sin
// flechas de por medio. Ctrl+N lleva a la primera columna; Esc deja el renglón nuevo y el
// siguiente cierra el editor.
// Otro rubro escrito sobre el de una línea trae su tipo; el tipo de la línea solo se queda
// cuando el rubro nuevo también lo tiene.
TEST_F(Asientos, ReescribirElRubroTraeSuTipo) {
  Traer("ADD:Adición", "A8");
  Ed().editCell("DBGrid1", 0, 0, "1.2.05").editCell("DBGrid1", 1, 0, "I").key("DBGrid1", VK_RETURN);
  EXPECT_EQ(ed->tblAsientoPptal->FieldByName("tipoCuenta")->AsString(), "I");
  Ed().editCell("DBGrid1", 0, 0, "2.3.2").cell("DBGrid1", 2, 0);
  EXPECT_EQ(ed->tblAsientoPptal->FieldByName("tipoCuenta")->AsString(), "E");
  Ed().editCell("DBGrid1", 0, 0, "1.2.05").cell("DBGrid1", 3, 0);
  EXPECT_EQ(ed->tblAsientoPptal->FieldByName("tipoCuenta")->AsString(), "I");
}

TEST_F(Asientos, TipoTecleadoTotalesCtrlNYEsc) {
  Traer("ADD:Adición", "A9");
  ASSERT_TRUE(DM->tblPlanPpto->Locate("tipoCuenta;iCuenta", VarArrayOf({Variant("E"), Variant("2.3.2")})));
  Ed().editCell("DBGrid1", 0, 0, "1.2.05").editCell("DBGrid1", 1, 0, "I").key("DBGrid1", VK_RETURN);
  EXPECT_EQ(ed->tblAsientoPptal->FieldByName("tipoCuenta")->AsString(), "I");
  EXPECT_EQ(ed->DBGrid1->SelectedIndex, 2);
  Ed().editCell("DBGrid1", 2, 0, "4000000").key("DBGrid1", VK_RETURN).key("DBGrid1", VK_RETURN);
  EXPECT_EQ(ed->lblIngreso->Caption, AnsiString(Punto(4000000, 2)));
  EXPECT_EQ(ed->DBGrid1->SelectedIndex, 0);
  ASSERT_TRUE(DM->tblPlanPpto->Locate("tipoCuenta;iCuenta", VarArrayOf({Variant("I"), Variant("1.2.05")})));
  Ed().editCell("DBGrid1", 0, 1, "2.3.2").editCell("DBGrid1", 1, 1, "E").key("DBGrid1", VK_RETURN);
  EXPECT_EQ(ed->tblAsientoPptal->FieldByName("tipoCuenta")->AsString(), "E");
  Ed().editCell("DBGrid1", 3, 1, "6000000").cell("DBGrid1", 0, 0);  // el renglón se graba al dejarlo
  EXPECT_EQ(ed->lblEgreso->Caption, AnsiString(Punto(6000000, 2)));
  EXPECT_EQ(ed->lblDiferencia->Caption, AnsiString(Punto(-2000000, 2)));
  Ed().cell("DBGrid1", 2, 0).keys("Ctrl+N");
  EXPECT_EQ(ed->DBGrid1->SelectedIndex, 0);
  EXPECT_EQ(ed->tblAsientoPptal->State, dsInsert);
  // El primer Esc deja el renglón nuevo; el segundo llega al editor.
  Ed().key("DBGrid1", VK_ESCAPE);
  EXPECT_TRUE(ed->Showing());
  EXPECT_EQ(ed->tblAsientoPptal->State, dsBrowse);
  ui->answer("Realmente desea salir", IDYES);
  Ed().key("DBGrid1", VK_ESCAPE);
  EXPECT_FALSE(ed->Showing());
}

}  // namespace

namespace {

// Un documento borrado y vuelto a crear por otro cliente después de traerlo no se graba encima:
// su versión nunca vuelve a empezar, aunque el contador del encabezado sí.
TEST_F(Asientos, BorradoYCreadoDeNuevoPorOtroSeRechaza) {
  Movimiento("AD7", "ADD", "2026-03-01", {{"1.2.05", "I", 100, 0}, {"2.3.2", "E", 0, 100}});
  Traer("ADD:Adición", "AD7");
  Sql("DELETE FROM mvtPptal WHERE iMvtPptal='AD7'");
  Sql("DELETE FROM MvtPptalMaestro WHERE iMvtPptal='AD7'");
  Movimiento("AD7", "ADD", "2026-03-01", {{"1.2.05", "I", 40, 0}, {"2.3.2", "E", 0, 40}});
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(), "Otro usuario grabó este documento después de traerlo. Tráigalo de nuevo para modificarlo.\n");
  EXPECT_EQ(Leer("SELECT sum(ingreso) FROM mvtPptal WHERE iMvtPptal='AD7'"), "40");
  // Traído de nuevo (lo digitado se descarta), la primera grabación pasa.
  ui->answer("Realmente quiere perder lo digitado?", IDYES);
  Traer("ADD:Adición", "AD7");
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(), "Asiento Presupuestal Registrado\n");
}

}  // namespace
