// Traer o crear un documento y grabarlo en MVT y mvtMaestro.
#include "ledger/AsientosFixture.h"
#include "platform/forms/DBGrids.h"
#include "support/Separadores.h"

using ledger::Asientos;

namespace {

class Guardar : public Asientos {
 protected:
  // Documento CE 100 de dos líneas, balanceado.
  void DosLineas(const char* debito = "1500.25", const char* credito = "1500.25") {
    Editor();
    Traer("CE", "100");
    Linea(0, "110501", "", debito, "", "Caja");
    Linea(1, "111005", "", "", credito, "Banco");
  }
};

}  // namespace

TEST_F(Guardar, DocumentoNuevoQuedaEnMovimientoYEncabezado) {
  DosLineas();
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(), "Asiento Registrado\n");
  EXPECT_EQ(Mvt("SELECT group_concat(numecuen || '/' || ifnull(cedulanit,'-') || '/' || debito || '/' || credito "
                "|| '/' || fecha || '/' || detalle, ';') FROM (SELECT * FROM MVT WHERE descdocu='CE' AND "
                "numedocu='100' ORDER BY rowid)"),
            "110501/-/1500.25/0/2026-03-15/Caja;111005/-/0/1500.25/2026-03-15/Banco");
  EXPECT_EQ(Mvt("SELECT fecha || '/' || valor || '/' || qitems || '/' || descuadre || '/' || iusuario FROM "
                "mvtMaestro WHERE descdocu='CE' AND numedocu='100'"),
            "2026-03-15/1500.25/2/0/gestordelibro");
  // Siguiente número propuesto, tabla de trabajo vacía y ningún documento en mano.
  EXPECT_EQ(ed->EdNumDoc->Text.get(), "101");
  EXPECT_TRUE(ed->TblAsiento->Active);
  EXPECT_TRUE(ed->TblAsiento->IsEmpty());
  EXPECT_TRUE(ed->DBGrid1->Enabled);
  Linea(0, "110501", "", "5", "");
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(), "Debe completar información para poder grabar.\n");
  EXPECT_EQ(Mvt("SELECT count(*) FROM MVT"), "2");
}

// Grabar en un año ya cerrado se permite, y se dice qué falta: repetir el cierre.
TEST_F(Guardar, EnUnAnioCerradoGrabaYPideRepetirElCierre) {
  Ejecutar(libros, "INSERT INTO MVT (descdocu, numedocu, numecuen, debito, credito, fecha) VALUES "
                   "('CCA', '1', '590501', 0, 0, '2026-12-31')");
  DosLineas();
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(), "Asiento Registrado\nEl año 2026 ya fue cerrado: repita el cierre para que los saldos "
                      "iniciales de 2027 lo incluyan.\n");
  EXPECT_EQ(Mvt("SELECT count(*) FROM MVT WHERE descdocu='CE' AND numedocu='100'"), "2");
}

TEST_F(Guardar, SinTraerPideCompletarYSinLineasNoHayInformacion) {
  Editor();
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "Debe completar información para poder grabar.");
  Traer("CE", "1");
  // Una línea con cuenta y montos en cero se descarta antes de validar.
  Linea(0, "110501", "", "0", "0");
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(), "No hay información para grabar.\n");
}

TEST_F(Guardar, ResumenDeValidacionYRedondeo) {
  struct Caso {
    const char *debito, *credito;
    std::string mensaje;
  };
  for (Caso c : {Caso{"100.004", "100.001", "Asiento Registrado"},
                 Caso{"100.00", "99.99",
                      "\n Saldos desiguales " + prueba::Mostrado("100.00 vs 99.99") +
                          "\n Para grabar debe añadir un asiento ficticio que cuadre el documento."},
                 Caso{"99.996", "100.004", "Asiento Registrado"}}) {
    DosLineas(c.debito, c.credito);
    ui->takeMessages();
    Grabar();
    EXPECT_EQ(ui->lastMessage(), c.mensaje) << c.debito;
    // Un documento que pasó la regla del cuadre guarda descuadre 0.
    if (std::string(c.mensaje) == "Asiento Registrado") {
      EXPECT_EQ(Mvt("SELECT descuadre FROM mvtMaestro"), "0") << c.debito;
    }
    ed->Hide();
    delete ed;
    ed = nullptr;
    Ejecutar(libros, "DELETE FROM MVT");
    Ejecutar(libros, "DELETE FROM mvtMaestro");
  }
}

TEST_F(Guardar, FallaEnLaUltimaEscrituraNoDejaNadaAMedias) {
  Guardado("CE", "100", "2026-03-02", "('110501', NULL, 7, 0, 'CE', '100', '2026-03-02'), "
                                      "('111005', NULL, 0, 7, 'CE', '100', '2026-03-02')");
  Ejecutar(libros, "CREATE TRIGGER falla BEFORE UPDATE ON mvtMaestro BEGIN SELECT RAISE(ABORT, 'disco lleno'); END");
  Editor();
  Traer("CE", "100");
  Ed().editCell("DBGrid1", 6, 0, "9").editCell("DBGrid1", 7, 1, "9");
  ui->takeMessages();
  Grabar();
  ASSERT_FALSE(ui->messages().empty());
  // La regla de los libros que rehúsa la escritura dice su propia frase.
  EXPECT_NE(Textos().find("disco lleno"), std::string::npos) << Textos();
  EXPECT_EQ(Textos().find("Asiento Registrado"), std::string::npos);
  EXPECT_EQ(Mvt("SELECT count(*) || '/' || sum(debito) || '/' || min(fecha) FROM MVT"), "2/7/2026-03-02");
  // Las líneas siguen en el editor para otro intento.
  EXPECT_EQ(ed->TblAsiento->RecordCount, 2);
  EXPECT_TRUE(ed->DBGrid1->Enabled);
  Ejecutar(libros, "DROP TRIGGER falla");
  ui->answer("Fecha original", IDNO);
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "Asiento Registrado");
  EXPECT_EQ(Mvt("SELECT count(*) || '/' || sum(debito) FROM MVT"), "2/9");
}

TEST_F(Guardar, FechaDelDocumentoAlGrabar) {
  Guardado("CE", "100", "2026-03-02", "('110501', NULL, 7, 0, 'CE', '100', '2026-03-02'), "
                                      "('111005', NULL, 0, 7, 'CE', '100', '2026-03-02')");
  Editor();
  // Sin cambiar la fecha no hay pregunta.
  Traer("CE", "100", "1");
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "Asiento Registrado");
  // Cambiar el día pregunta; Sí conserva la fecha guardada en líneas y encabezado.
  Traer("CE", "100");
  Ed().set("EdDia", "20");
  ui->answer("Fecha original del documento=02/03/2026, desea conservarla?", IDYES);
  Grabar();
  EXPECT_EQ(Mvt("SELECT group_concat(DISTINCT fecha) FROM MVT"), "2026-03-02");
  EXPECT_EQ(Mvt("SELECT fecha FROM mvtMaestro"), "2026-03-02");
  // Un día que no forma fecha se rechaza antes de escribir.
  Traer("CE", "100");
  Ed().set("EdDia", "31");
  ed->CBMes->ItemIndex = 1;
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(), "Fecha inválida.\n");
  EXPECT_EQ(Mvt("SELECT count(*) FROM MVT"), "2");
  EXPECT_TRUE(ed->DBGrid1->Enabled);
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Guardar, NumeroCambiadoMueveONoPisaOtroDocumento) {
  Guardado("CE", "100", "2026-03-02", "('110501', NULL, 7, 0, 'CE', '100', '2026-03-02'), "
                                      "('111005', NULL, 0, 7, 'CE', '100', '2026-03-02')");
  Guardado("CE", "200", "2026-03-02", "('110501', NULL, 1, 0, 'CE', '200', '2026-03-02'), "
                                      "('111005', NULL, 0, 1, 'CE', '200', '2026-03-02')");
  Editor();
  Traer("CE", "100", "2");
  Ed().set("EdNumDoc", "200");
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(), "Ya existe un documento con ese tipo y número.\n");
  EXPECT_EQ(Mvt("SELECT group_concat(numedocu || ':' || debito) FROM MVT WHERE debito > 0"), "100:7,200:1");
  // A un número libre el documento se mueve con su encabezado.
  Ed().set("EdNumDoc", "300");
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "Asiento Registrado");
  EXPECT_EQ(Mvt("SELECT group_concat(numedocu || ':' || debito) FROM MVT WHERE debito > 0"), "200:1,300:7");
  EXPECT_EQ(Mvt("SELECT group_concat(numedocu) FROM mvtMaestro ORDER BY numedocu"), "200,300");
  EXPECT_EQ(ed->EdNumDoc->Text.get(), "301");
}

TEST_F(Guardar, OrdenesDePagoYVariosDocumentosEnUnaApertura) {
  Ejecutar(libros, "INSERT INTO mvtOrdenPago (iop, fechaExped) VALUES (12, '2026-03-01')");
  Editor();
  ui->onModal("TFrmBuscTabla").click("BtnRegresar");
  Ed().click("BitBtnRegPPtal1");
  Traer("CP", "1");
  Linea(0, "110501", "", "3", "");
  Linea(1, "111005", "", "", "3");
  Grabar();
  EXPECT_EQ(Mvt("SELECT op1 || '/' || ifnull(op2, 'nulo') FROM mvtMaestro WHERE descdocu='CP'"), "12/nulo");
  // Documentos seguidos, cada uno traído como nuevo, con su propio encabezado.
  for (const char* n : {"1", "2"}) {
    Traer("CE", n);
    Linea(0, "110501", "", "5", "");
    Linea(1, "111005", "", "", "5");
    Grabar();
  }
  EXPECT_EQ(Mvt("SELECT group_concat(descdocu || numedocu || ':' || ifnull(op1, '-')) FROM "
                "(SELECT * FROM mvtMaestro ORDER BY rowid)"),
            "CP1:12,CE1:-,CE2:-");
  EXPECT_EQ(Mvt("SELECT count(*) FROM MVT"), "6");
  // Un encabezado con orden guardada no la pierde cuando la caja queda vacía.
  Traer("CP", "1");
  ed->edOP1->Text = "";
  Ed().editCell("DBGrid1", 6, 0, "4").editCell("DBGrid1", 7, 1, "4");
  Grabar();
  EXPECT_EQ(Mvt("SELECT op1 || '/' || valor FROM mvtMaestro WHERE descdocu='CP'"), "12/4");
}

// El usuario teclea los montos con su separador decimal: "100,50" con coma, "100.50" con punto.
TEST_F(Guardar, MontosTecleadosConElSeparadorDelUsuario) {
  struct Caso {
    const char *decimal, *miles, *numero, *tecleado;
  };
  for (Caso c : {Caso{",", ".", "201", "100,50"}, Caso{".", ",", "202", "100.50"}}) {
    tv::os::SetUserDecimalSeparator(c.decimal);
    tv::os::SetUserThousandSeparator(c.miles);
    tv::os::ApplyRegionalSettings();
    Editor();
    Traer("CE", c.numero);
    Ed().editCell("DBGrid1", 0, 0, "110501").editCell("DBGrid1", 6, 0, c.tecleado);
    Ed().editCell("DBGrid1", 0, 1, "111005").editCell("DBGrid1", 7, 1, c.tecleado);
    EXPECT_EQ(ed->LblDebito->Caption, std::string("100") + c.decimal + "50") << c.tecleado;
    ui->takeMessages();
    Grabar();
    EXPECT_EQ(Textos(), "Asiento Registrado\n") << c.tecleado;
    EXPECT_EQ(Mvt(std::string("SELECT sum(debito) || '/' || sum(credito) FROM MVT WHERE numedocu='") + c.numero + "'"),
              "100.5/100.5")
        << c.tecleado;
    ed->Hide();
    delete ed;
    ed = nullptr;
  }
}
