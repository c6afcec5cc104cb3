// Revisiones de las líneas del editor y teclas de la rejilla.
#include <filesystem>
#include <fstream>

#include "ledger/AsientosFixture.h"
#include "platform/forms/DBGrids.h"
#include "shared/dialogs/BuscTabla.h"
#include "support/Separadores.h"

using ledger::Asientos;

namespace {

class Lineas : public Asientos {
 protected:
  void SetUp() override {
    Asientos::SetUp();
    // Cuentas de prueba: código de verificación, kárdex, centro de costos exigido.
    Ejecutar(libros, "INSERT INTO PL (numecuen, nombcuen, codiveri, Cantidad, unidades, centcost, exigterc) VALUES "
                     "('150101', 'CON CODIGO', 'ab1', 'N', NULL, 'N', NULL), "
                     "('150102', 'CON KARDEX', NULL, 'S', 'UND', 'N', NULL), "
                     "('150103', 'CON CENTRO', NULL, 'N', NULL, 'S', 'N'), "
                     "('1999', 'CUATRO', NULL, NULL, NULL, NULL, NULL), "
                     "('11_5', 'RARA', NULL, NULL, NULL, NULL, NULL)");
    Ejecutar(libros, "INSERT INTO TC (CedulaNIT, nombre, autoretiva, autoretret) VALUES "
                     "('800', 'PROVEEDOR', 0, 0), ('900', 'AUTORRETENEDOR', 1, 1)");
    Ejecutar(libros, "INSERT INTO CC (CodiCent, NombCent) VALUES ('C1', 'ADMINISTRACION')");
    Editor();
    ed->FormActivate(ed);
    Traer("CE", "1");
    ui->takeMessages();
  }
  void Cuenta(int fila, const char* cuenta) {
    Ed().editCell("DBGrid1", 0, fila, cuenta).cell("DBGrid1", 2, fila);
  }
  std::string Campo(const char* campo) { return ed->TblAsiento->FieldByName(campo)->AsString().str(); }
};

}  // namespace

TEST_F(Lineas, CuentaInexistenteYNoAuxiliar) {
  struct Caso {
    const char *cuenta, *avisos;
  };
  for (Caso c : {Caso{"999999", "Codigo de Cuenta Inexistente\n"}, Caso{"1105", "La Cuenta No es Auxiliar\n"},
                 // Cuatro dígitos sin hijas: aquí sí es auxiliar.
                 Caso{"1999", ""},
                 // Los comodines no cuentan: "11_5" no es padre de "1105".
                 Caso{"11_5", ""}}) {
    ui->takeMessages();
    Cuenta(0, c.cuenta);
    EXPECT_EQ(Textos(), c.avisos) << c.cuenta;
    for (auto& m : ui->messages()) EXPECT_EQ(m.Caption, "Aviso");
  }
  // La salida de la cuenta marca la línea con el documento en mano.
  EXPECT_EQ(Campo("DESCDOCU") + "/" + Campo("NUMEDOCU"), "CE/1");
}

TEST_F(Lineas, CodigoDeVerificacionUnaVezYOtraTrasCambiarLaCuenta) {
  // Se escribe en minúsculas; la caja lo pasa a mayúsculas y se compara con el guardado.
  ui->onModal("TFrmCodiVeri").type("EdCodiVeri", "ab2").key("EdCodiVeri", VK_RETURN)
      .set("EdCodiVeri", "").type("EdCodiVeri", "ab1").key("EdCodiVeri", VK_RETURN);
  Cuenta(0, "150101");
  EXPECT_EQ(Textos(), "Codigo Incorrecto\n");
  EXPECT_TRUE(ed->TblAsiento->FieldByName("Check")->AsBoolean);
  ui->takeMessages();
  Ed().cell("DBGrid1", 0, 0).cell("DBGrid1", 2, 0);  // ya aceptado: salir otra vez no pregunta
  EXPECT_EQ(ui->unused(), "");
  ui->onModal("TFrmCodiVeri").close();
  Cuenta(0, "110501");
  Cuenta(0, "150101");
  EXPECT_EQ(Textos(), "Codigo de Verificacion no Admitido\n");
  EXPECT_FALSE(ed->TblAsiento->FieldByName("Check")->AsBoolean);
}

TEST_F(Lineas, CantidadAlSalirDeLaCuentaPeroNoAlGrabar) {
  ui->onModal("TFrmIngresoCantidad")
      .run([](TForm& f) { EXPECT_EQ(static_cast<TFrmIngresoCantidad&>(f).LblUnidades->Caption, "UND"); })
      .click("Aceptar")
      .set("EdCantidad", Digitado("-3.5"))
      .click("Aceptar");
  Cuenta(0, "150102");
  EXPECT_EQ(Textos(), "Ingrese Una Cantidad\n");
  EXPECT_EQ(Campo("Cantidad"), Digitado("-3.5").str());
  // Una cantidad que no es número no cambia la línea.
  ui->onModal("TFrmIngresoCantidad").set("EdCantidad", "tres").click("Aceptar");
  Ed().key("DBGrid1", VK_F6);
  EXPECT_EQ(Campo("Cantidad"), Digitado("-3.5").str());
  EXPECT_EQ(ui->messages().back().Kind, MsgKind::Exception);
  // Una línea cargada con cantidad 0 no pide cantidad al grabar.
  Guardado("CE", "9", "2026-03-15",
           "('150102', NULL, 5, 0, 'CE', '9', '2026-03-15'), ('110501', NULL, 0, 5, 'CE', '9', '2026-03-15')");
  ui->answer("Las líneas del comprobante CE 1 no se han grabado. ¿Las descarta?", IDYES);
  Traer("CE", "9");
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(), "Asiento Registrado\n");
}

TEST_F(Lineas, TerceroExigidoProhibidoYAutorretenedor) {
  struct Caso {
    const char *cuenta, *tercero;
    bool estricto;
    const char* avisos;
  };
  for (Caso c : {Caso{"511114", "", true, "Con esta cuenta debe digitar el tercero.\n"},
                 Caso{"511114", "", false, "Con esta cuenta debe digitar el tercero.\n"},
                 Caso{"150103", "800", true, "Con esta cuenta NO debe digitar el tercero.\n"},
                 Caso{"150103", "800", false, ""},
                 Caso{"243625", "900", true, "El Tercero es AutoRetenedorIVA\n"},
                 Caso{"243605", "900", true, "El Tercero es AutoRetenedor FUENTE\n"},
                 Caso{"243605", "900", false, ""},
                 Caso{"511114", "800", true, ""}}) {
    ed->chbEstricto->Checked = c.estricto;
    Ed().editCell("DBGrid1", 0, 0, c.cuenta).editCell("DBGrid1", 1, 0, c.tercero).cell("DBGrid1", 3, 0);
    ui->takeMessages();
    bool ok = ed->ValidarNumeCuen(1) && ed->ValidarTercero(true);
    EXPECT_EQ(Textos(), c.avisos) << c.cuenta << " " << c.tercero << " " << c.estricto;
    EXPECT_EQ(ok, std::string(c.avisos).empty()) << c.cuenta;
  }
}

TEST_F(Lineas, TerceroInexistenteBuscadoOCreado) {
  // Buscar y salir sin escoger deja la línea sin tercero: con la cuenta que lo exige no pasa.
  ui->onModal("TFrmTercAsiento").click("RadioButton2");
  ui->onModal("TFrmBuscTabla").click("&Salir");
  Ed().editCell("DBGrid1", 0, 0, "511114").editCell("DBGrid1", 1, 0, "777").cell("DBGrid1", 2, 0);
  EXPECT_EQ(Campo("CEDULANIT"), "");
  EXPECT_EQ(Textos(), "Con esta cuenta debe digitar el tercero.\n");
  // Cerrar el diálogo deja el número escrito, que sigue sin existir.
  ui->takeMessages();
  ui->onModal("TFrmTercAsiento").close();
  Ed().editCell("DBGrid1", 1, 0, "777").cell("DBGrid1", 2, 0);
  EXPECT_EQ(Campo("CEDULANIT"), "777");
  ui->onModal("TFrmTercAsiento").close();
  EXPECT_FALSE(ed->ValidarTercero(true));
  // Esc cierra el diálogo como su caja de cierre.
  ui->onModal("TFrmTercAsiento").key(VK_ESCAPE);
  EXPECT_FALSE(ed->ValidarTercero(true));
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Lineas, CentroDeCostosSoporteYAvisosDeClase) {
  struct Caso {
    const char *cuenta, *centro, *avisos;
  };
  for (Caso c : {Caso{"150103", "", "Codigo de C. de Costo Inexistente\n"},
                 Caso{"150103", "C1", ""}, Caso{"110501", "ZZ", "Codigo de C. de Costo Inexistente\n"}}) {
    Ed().editCell("DBGrid1", 0, 0, c.cuenta).editCell("DBGrid1", 3, 0, c.centro).cell("DBGrid1", 4, 0);
    ui->takeMessages();
    ed->ValidarNumeCuen(1);
    ed->ValidarCCostos();
    EXPECT_EQ(Textos(), c.avisos) << c.cuenta << " " << c.centro;
  }
  Ed().editCell("DBGrid1", 3, 0, "").editCell("DBGrid1", 0, 0, "110501").editCell("DBGrid1", 4, 0, "ch")
      .cell("DBGrid1", 5, 0);
  EXPECT_EQ(Campo("DESCCOMP"), "CH");
  ui->takeMessages();
  Ed().editCell("DBGrid1", 4, 0, "XX").cell("DBGrid1", 5, 0);
  EXPECT_EQ(Textos(), "Codigo de Soporte Inexistente\n");
  // Ingreso al débito al salir de la celda; egreso al crédito en cada grabación de la fila.
  ui->takeMessages();
  Ed().editCell("DBGrid1", 4, 0, "").editCell("DBGrid1", 0, 0, "470508").cell("DBGrid1", 2, 0)
      .editCell("DBGrid1", 6, 0, "10");
  ui->takeMessages();
  Ed().cell("DBGrid1", 7, 0);
  EXPECT_EQ(Textos(), "Cuenta de Ingreso en el Débito\n");
  ui->takeMessages();
  Ed().editCell("DBGrid1", 6, 0, "0").editCell("DBGrid1", 7, 0, "10").editCell("DBGrid1", 0, 0, "511114")
      .cell("DBGrid1", 2, 0);
  EXPECT_NE(Textos().find("Cuenta de Egreso en el Crédito"), std::string::npos);
  EXPECT_EQ(Campo("CREDITO"), "10");
  // Sin advertencias no hay avisos de clase.
  ed->chbEstricto->Checked = false;
  ui->takeMessages();
  Ed().editCell("DBGrid1", 7, 0, "11").cell("DBGrid1", 0, 0).cell("DBGrid1", 2, 0);
  EXPECT_EQ(Textos(), "");
}

TEST_F(Lineas, TeclasDeLaRejilla) {
  Linea(0, "110501", "", "1", "");
  Linea(1, "111005", "", "2", "");
  Linea(2, "111006", "", "3", "");
  ui->takeMessages();
  // Una flecha corre la revisión de la columna antes de moverse.
  Ed().editCell("DBGrid1", 0, 1, "999999").key("DBGrid1", VK_DOWN);
  EXPECT_EQ(Textos(), "Codigo de Cuenta Inexistente\n");
  Ed().editCell("DBGrid1", 0, 1, "111005").cell("DBGrid1", 2, 1);
  ui->takeMessages();
  // F9 copia el débito de la fila de arriba; en la primera fila no cambia nada.
  Ed().cell("DBGrid1", 6, 2).key("DBGrid1", VK_F9);
  EXPECT_EQ(Campo("DEBITO"), "2");
  Ed().cell("DBGrid1", 6, 0).key("DBGrid1", VK_F9);
  EXPECT_EQ(Campo("DEBITO"), "1");
  // F2 sin escoger vacía la cuenta y su nombre.
  ui->onModal("TFrmBuscTabla").click("&Salir");
  Ed().cell("DBGrid1", 2, 0).key("DBGrid1", VK_F2);
  EXPECT_EQ(Campo("NUMECUEN"), "");
  EXPECT_EQ(ed->LblNCuenta->Caption, "");
  // Enter en el crédito de una fila anterior no hace nada; en la última agrega una fila.
  Ed().cell("DBGrid1", 7, 1).key("DBGrid1", VK_RETURN);
  EXPECT_EQ(ed->DBGrid1->SelectedIndex.get(), 7);
  EXPECT_EQ(ed->TblAsiento->RecNo(), 2);
  Ed().cell("DBGrid1", 7, 2).key("DBGrid1", VK_RETURN);
  EXPECT_EQ(ed->TblAsiento->State(), dsInsert);
  EXPECT_EQ(ed->DBGrid1->SelectedIndex.get(), 0);
  // Enter en otra columna pasa a la siguiente.
  Ed().cell("DBGrid1", 2, 1).key("DBGrid1", VK_RETURN);
  EXPECT_EQ(ed->DBGrid1->SelectedIndex.get(), 3);
  // Ctrl+B borra sin preguntar; Ctrl+N agrega.
  int filas = ed->TblAsiento->RecordCount;
  Ed().key("DBGrid1", 'B', {ssCtrl});
  EXPECT_EQ(ed->TblAsiento->RecordCount, filas - 1);
  EXPECT_EQ(ui->unused(), "");
  Ed().key("DBGrid1", 'N', {ssCtrl});
  EXPECT_EQ(ed->TblAsiento->State(), dsInsert);
  // F1 abre la ayuda del editor.
  std::filesystem::create_directories(dir + "/help");
  std::ofstream(dir + "/help/asientoModificar.html") << "<html></html>";
  Ed().key("DBGrid1", VK_F1);
  ASSERT_FALSE(ui->launches().empty());
  EXPECT_NE(ui->launches().back().target.str().find("asientoModificar.html"), std::string::npos);
}

TEST_F(Lineas, TotalesYColorDeLaDiferencia) {
  Linea(0, "110501", "", "100", "");
  Ed().editCell("DBGrid1", 0, 1, "111005");
  EXPECT_EQ(ed->LblDebito->Caption, Mostrado(100));
  EXPECT_EQ(ed->LblDiferencia->Caption, Mostrado(100));
  EXPECT_EQ(ed->LblDiferencia->Font->Color, clBlue);
  Linea(1, "111005", "", "", "150.5");
  Ed().cell("DBGrid1", 0, 0);
  EXPECT_EQ(ed->LblCredito->Caption, Mostrado(150.5));
  EXPECT_EQ(ed->LblDiferencia->Caption, Mostrado(50.5));
  EXPECT_EQ(ed->LblDiferencia->Font->Color, clRed);
  EXPECT_EQ(ed->LblNCuenta->Caption, "CAJA PRINCIPAL");
  EXPECT_EQ(ed->LblNTercero->Caption, "nulo");
}
