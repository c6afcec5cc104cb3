// Entradas malas en el editor de comprobantes, el permiso de modificar al grabar y un
// documento que otro puesto cambió después de traerlo.
#include <cmath>

#include "ledger/AsientosFixture.h"
#include "platform/core/SysUtils.h"
#include "platform/forms/DBGrids.h"
#include "shared/general/Numeros.h"

using ledger::Asientos;

namespace {

class Entrada : public Asientos {
 protected:
  // Un monto con el separador decimal en uso.
  static AnsiString Monto(double v) { return FloatToStr(v); }
  TField* Campo(const char* nombre) { return ed->TblAsiento->FieldByName(nombre); }
};

}  // namespace

TEST_F(Entrada, MontoQueNoEsNumeroDejaLaCeldaVaciaYSinMontosNoSeGraba) {
  // Un separador de miles después del decimal no es un número en ninguna configuración.
  AnsiString revuelto = AnsiString("1") + DecimalSeparator + "234" + ThousandSeparator + "56";
  for (AnsiString malo : {AnsiString("abc"), AnsiString("1e309"), revuelto}) {
    Editor();
    Traer("CE", "7");
    Linea(0, "110501", "", malo.c_str(), "");
    Linea(1, "111005", "", "", malo.c_str());
    EXPECT_FALSE(ui->messages().empty()) << malo.str();
    ed->TblAsiento->First();
    EXPECT_TRUE(Campo("DEBITO")->IsNull) << malo.str();
    ed->TblAsiento->Next();
    EXPECT_TRUE(Campo("CREDITO")->IsNull) << malo.str();
    ui->takeMessages();
    Grabar();
    EXPECT_EQ(Textos(), "No hay información para grabar.\n") << malo.str();
    EXPECT_EQ(Mvt("SELECT count(*) FROM MVT"), "0");
    EXPECT_EQ(Mvt("SELECT count(*) FROM mvtMaestro"), "0");
    ed->Hide();
    delete ed;
    ed = nullptr;
  }
}

TEST_F(Entrada, MontoQueNoSePuedeSumarSeRehusaAlDigitarloNombrandoLaLinea) {
  Editor();
  Traer("CE", "8");
  Linea(0, "110501", "", Monto(kMontoMaximo).c_str(), "");
  ui->takeMessages();
  struct Caso {
    int fila, col;
    AnsiString texto, mensaje;
  };
  AnsiString maximo = Punto(kMontoMaximo, 2);
  for (const Caso& c :
       {Caso{1, 7, "99999999999999999999999", "Línea 2: el crédito supera el máximo que el programa puede sumar (" + maximo + ")."},
        Caso{1, 7, AnsiString("9999999999999999") + DecimalSeparator + "99",
             "Línea 2: el crédito supera el máximo que el programa puede sumar (" + maximo + ")."},
        Caso{0, 6, "-99999999999999999999999", "Línea 1: el débito supera el máximo que el programa puede sumar (" + maximo + ")."}}) {
    Ed().editCell("DBGrid1", 0, 1, "111005").editCell("DBGrid1", c.col, c.fila, c.texto);
    // Cambiar de fila y volver no muestra nada más.
    Ed().row("DBGrid1", 0).row("DBGrid1", 1).row("DBGrid1", 0);
    auto vistos = ui->takeMessages();
    ASSERT_EQ(vistos.size(), 1u) << c.texto.str() << "\n" << ui->messageTexts().str();
    EXPECT_EQ(vistos[0].Text, c.mensaje);
    EXPECT_EQ(vistos[0].Caption, "Aviso");
  }
  // El débito de la primera línea quedó vacío; el máximo guarda sus centavos.
  Linea(0, "110501", "", Monto(kMontoMaximo).c_str(), "");
  Linea(1, "111005", "", "", Monto(kMontoMaximo).c_str());
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(), "Asiento Registrado\n");
  EXPECT_EQ(Mvt("SELECT printf('%.2f', sum(debito)) || '/' || printf('%.2f', sum(credito)) FROM MVT"),
            "9999999999999.99/9999999999999.99");
}

TEST_F(Entrada, CajasYCeldasTomanElAnchoDeSuCampoYElTerceroSinBlancos) {
  Editor();
  EXPECT_EQ(ed->EdNumDoc->MaxLength, 15);
  Ed().type("EdNumDoc", "12345678901234567890");
  EXPECT_EQ(ed->EdNumDoc->Text.get(), "123456789012345");
  Ejecutar(libros, "INSERT INTO TC (CedulaNIT, nombre) VALUES ('901', 'Proveedor')");
  Traer("CE", "123456789012345");
  Linea(0, "110501", "  901 ", "10", "", std::string(5000, 'd').c_str());
  Ed().editCell("DBGrid1", 5, 0, std::string(40, '7').c_str());
  Linea(1, "111005", "", "", "10");
  ed->TblAsiento->First();
  EXPECT_EQ(Campo("CEDULANIT")->AsString().str(), "901");
  EXPECT_EQ(Campo("DETALLE")->AsString().Length(), 254);
  EXPECT_EQ(Campo("NUMECOMP")->AsString().Length(), 15);
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "Asiento Registrado");
  EXPECT_EQ(Mvt("SELECT cedulanit || '/' || length(detalle) || '/' || length(numecomp) || '/' || numedocu FROM MVT "
                "WHERE numecuen='110501'"),
            "901/254/15/123456789012345");
  EXPECT_EQ(Mvt("SELECT numedocu FROM mvtMaestro"), "123456789012345");
}

TEST_F(Entrada, SinPermisoDeModificarNoSeReemplazaUnDocumentoDeSoloEncabezado) {
  Ejecutar(libros, "INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor, iusuario) VALUES "
                   "('CE', '40', '2026-03-02', 77, 'otro')");
  Permisos.BModificar = false;
  Editor();
  Traer("CE", "40");
  Linea(0, "110501", "", "5", "");
  Linea(1, "111005", "", "", "5");
  ui->takeMessages();
  Grabar();
  auto vistos = ui->takeMessages();
  ASSERT_EQ(vistos.size(), 1u);
  EXPECT_EQ(vistos[0].Text, "No tiene permisos para modificar asientos.");
  EXPECT_EQ(vistos[0].Caption, "Error");
  EXPECT_EQ(Mvt("SELECT count(*) FROM MVT"), "0");
  EXPECT_EQ(Mvt("SELECT valor || '/' || iusuario FROM mvtMaestro"), "77/otro");
  // Un documento nuevo con su detalle escrito al traerlo sí se graba sin ese permiso.
  ed->ChBDetalle->Checked = true;
  ui->onModal("TFrmDetalle").set("Memo1", "Nuevo").click("Grabar");
  ui->answer("Las líneas del comprobante CE 40 no se han grabado. ¿Las descarta?", IDYES);
  Traer("CE", "41");
  Linea(0, "110501", "", "5", "");
  Linea(1, "111005", "", "", "5");
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "Asiento Registrado");
  EXPECT_EQ(Mvt("SELECT detalle || '/' || valor FROM mvtMaestro WHERE numedocu='41'"), "Nuevo/5");
}

TEST_F(Entrada, DocumentoQueOtroPuestoGraboDespuesDeTraerloNoSeSobrescribe) {
  Editor();
  Traer("CE", "50");
  Linea(0, "110501", "", "5", "");
  Linea(1, "111005", "", "", "5");
  // Otro puesto graba el mismo documento mientras tanto.
  Guardado("CE", "50", "2026-03-03", "('110501', NULL, 9, 0, 'CE', '50', '2026-03-03'), "
                                     "('111005', NULL, 0, 9, 'CE', '50', '2026-03-03')");
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(), "Otro usuario grabó el documento CE 50 mientras se digitaba este. Grabe de nuevo para "
                      "guardar estas líneas con el número 51.\n");
  EXPECT_EQ(ed->EdNumDoc->Text, "51");
  EXPECT_EQ(Mvt("SELECT group_concat(debito || '/' || credito, ';') FROM MVT"), "9/0;0/9");
  EXPECT_EQ(ed->TblAsiento->RecordCount, 2);
  // Traído de nuevo (las líneas propuestas para el 51 se descartan), se modifica.
  ui->answer("Las líneas del comprobante CE 51 no se han grabado. ¿Las descarta?", IDYES);
  Traer("CE", "50", "3");
  Linea(0, "110501", "", "6", "");
  Linea(1, "111005", "", "", "6");
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(), "Asiento Registrado\n");
  EXPECT_EQ(Mvt("SELECT group_concat(debito || '/' || credito, ';') FROM MVT"), "6/0;0/6");
}

TEST_F(Entrada, TotalesQueNoGuardanSusCentavosNoSeGraban) {
  Editor();
  Traer("CE", "9");
  // Diez débitos y diez créditos al máximo de una línea pasan de lo que se suma con centavos.
  for (int i = 0; i < 20; ++i)
    Linea(i, i < 10 ? "110501" : "111005", "", i < 10 ? Monto(kMontoMaximo).c_str() : "",
          i < 10 ? "" : Monto(kMontoMaximo).c_str());
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(), "\n Los totales del documento superan el máximo que el programa puede sumar.\n");
  EXPECT_EQ(Mvt("SELECT count(*) FROM MVT"), "0");
  EXPECT_EQ(ed->TblAsiento->RecordCount, 20);
}

// Los montos se teclean como se muestran (con miles) y quedan al centavo sobre lo tecleado;
// un documento de antes con tres decimales se graba también al centavo.
TEST_F(Entrada, MontosConMilesYMasDeDosDecimalesQuedanAlCentavo) {
  Editor();
  Traer("CE", "9");
  Ed().editCell("DBGrid1", 0, 0, "110501").editCell("DBGrid1", 6, 0, prueba::Mostrado("1,090.735").c_str());
  Ed().editCell("DBGrid1", 0, 1, "111005").editCell("DBGrid1", 7, 1, prueba::Mostrado("453.79").c_str());
  Ed().editCell("DBGrid1", 0, 2, "111005").editCell("DBGrid1", 7, 2, prueba::Mostrado("636.945").c_str());
  Ed().editCell("DBGrid1", 0, 3, "110501").editCell("DBGrid1", 6, 3, prueba::Mostrado("1,500,000.50").c_str());
  Ed().editCell("DBGrid1", 0, 4, "111005").editCell("DBGrid1", 7, 4, prueba::Mostrado("1,500,000.5").c_str());
  Ed().row("DBGrid1", 0);
  ui->takeMessages();
  EXPECT_EQ(ed->LblDebito->Caption, Mostrado(1501091.24));
  EXPECT_EQ(ed->LblCredito->Caption, Mostrado(1501091.24));
  Grabar();
  EXPECT_EQ(Textos(), "Asiento Registrado\n");
  EXPECT_EQ(Mvt("SELECT group_concat(x, ';') FROM (SELECT debito || '/' || credito AS x FROM MVT ORDER BY x)"),
            "0/1500000.5;0/453.79;0/636.95;1090.74/0;1500000.5/0");

  Guardado("CE", "10", "2026-03-15",
           "('110501', '', 1090.735, 0, 'CE', '10', '2026-03-15'), ('111005', '', 0, 453.79, 'CE', '10', "
           "'2026-03-15'), ('111005', '', 0, 636.945, 'CE', '10', '2026-03-15')");
  Traer("CE", "10");
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(), "Asiento Registrado\n");
  EXPECT_EQ(Mvt("SELECT group_concat(x, ';') FROM (SELECT debito || '/' || credito AS x FROM MVT WHERE "
                "numedocu='10' ORDER BY x)"),
            "0/453.79;0/636.95;1090.74/0");
}
