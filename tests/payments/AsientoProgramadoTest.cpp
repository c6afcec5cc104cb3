// Comprobantes desde plantillas: aplicación de la plantilla, chequeo, grabación y llamado.
#include "impresos/Impresos.h"
#include "shared/general/Numeros.h"
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "app/DataModule.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "ledger/FrmNuevoTercero.h"
#include "payments/RteFte.h"
#include "payments/FrmAsientoProgramado.h"
#include "platform/forms/Grids.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/Buttons.h"
#include "platform/report/ReportUi.h"
#include "platform/report/Render.h"
#include "support/Instalacion.h"
#include "support/Separadores.h"

namespace admin {
namespace {

class AsientoProgramado : public Instalacion {
 protected:
  void SetUp() override {
    Instalacion::SetUp();
    Ejecutar(libros, "insert into asientosProgCfg (iAstoProg, nAstoProg, descDocu, requiereTercero) values "
                     "(1, 'Pago', 'CE', 'S')");
    Ejecutar(libros, "insert into asientosProg (iAstoProg, numeCuen, naturaleza) values (1, '250505', 'D'), "
                     "(1, '110505', 'C'), (1, '110505', 'C')");
    Ejecutar(libros, "insert into TC (cedulaNit, nombre) values ('900', 'Proveedor')");
    DM->tblAsientosProgCfg->Refresh();
    DM->TblTerceros->Refresh();
  }
  static TFrmAsientoProgramado& F(TForm& f) { return static_cast<TFrmAsientoProgramado&>(f); }
  void Abrir() {
    std::unique_ptr<TFrmAsientoProgramado> f(new TFrmAsientoProgramado(nullptr));
    FrmAsientoProgramado = f.get();
    f->ShowModal();
  }
  // Débito a la primera fila, créditos a la segunda y tercera.
  static void Llenar(TForm& f, const char* d, const char* c1, const char* c2) {
    auto* g = F(f).SGAsiento;
    // Los montos se teclean con el separador decimal de la prueba.
    g->UserEditCell(3, 1, prueba::Tecleado(d).c_str());
    g->UserEditCell(3, 2, prueba::Tecleado(c1).c_str());
    g->UserEditCell(3, 3, prueba::Tecleado(c2).c_str());
    F(f).edFecha->Text = "05/03/2026";
    F(f).edItercero->Text = "900";
  }
};

TEST_F(AsientoProgramado, GrabaLineasYEncabezadoYLlamaDeVuelta) {
  ui->onModal("TFrmAsientoProgramado")
      .run([](TForm& f) {
        EXPECT_EQ(F(f).descDocu, "CE");
        EXPECT_EQ(F(f).edNumeDocu->Text.get(), "1");
        EXPECT_EQ(F(f).SGAsiento->RowCount.get(), 4);
        EXPECT_EQ(F(f).SGAsiento->ColCount.get(), 4);
        Llenar(f, "1000", "600", "400");
        F(f).edCheque->Text = "77";
        EXPECT_EQ(F(f).lblSumaCredito->Caption, "Suma Crédito " + prueba::Mostrado("1,000.00"));
        EXPECT_EQ(F(f).lblTotal->Caption, prueba::Mostrado("1,000.00"));
      })
      .click("BtnGrabar")
      .run([](TForm& f) {
        EXPECT_TRUE(F(f).btnImprimir->Enabled);
        EXPECT_EQ(F(f).lblTotal->Caption, prueba::Mostrado("1,000.00"));  // el total, sin rótulo, tras el chequeo
      })
      .click("btnSiguiente")
      .run([](TForm& f) {
        EXPECT_EQ(F(f).edNumeDocu->Text.get(), "2");
        EXPECT_EQ(F(f).SGAsiento->Cells[3][1], "");
        // Llamar de vuelta el 1: cada línea a su fila, en orden.
        F(f).edNumeDocu->Text = "1";
        F(f).edNumeDocuExit(nullptr);
        EXPECT_EQ(F(f).SGAsiento->Cells[3][2], "600");
        EXPECT_EQ(F(f).SGAsiento->Cells[3][3], "400");
        EXPECT_EQ(F(f).edCheque->Text.get(), "77");
        EXPECT_EQ(F(f).lblTotal->Caption, prueba::Mostrado("1,000.00"));
      })
      .click("BtnSalir");
  Abrir();
  EXPECT_EQ(Valor(libros, "select group_concat(numecuen || ':' || coalesce(debito, '-') || ':' || "
                          "coalesce(credito, '-') || ':' || cedulanit || ':' || desccomp || numecomp, ',') from mvt "
                          "where descdocu='CE'"),
            "250505:1000:-:900:CH77,110505:-:600:900:CH77,110505:-:400:900:CH77");
  EXPECT_EQ(Valor(libros, "select tipoAsiento || numedocu || ':' || valor || ':' || qitems || ':' || fecha from "
                          "mvtMaestro where descdocu='CE'"),
            "P1:1000:4:2026-03-05");
  EXPECT_EQ(ui->lastMessage(), "Asiento Registrado");
}

TEST_F(AsientoProgramado, ChequeoAntesDeGrabar) {
  struct Caso {
    const char *d, *c1, *c2, *tercero, *ops;
    std::string texto;
  };
  using prueba::Mostrado;
  for (Caso c : {Caso{"1000", "999.50", "", "900", "",
                      "La suma de débitos: " + Mostrado("1,000.00") + " no es igual a la de créditos: " + Mostrado("999.50") + "\n"},
                 Caso{"", "0.4", "", "900", "",
                      "La suma de débitos: " + Mostrado("0.00") + " no es igual a la de créditos: " + Mostrado("0.40") + "\n"},
                 Caso{"", "", "", "900", "", "No ha colocado ningún valor en el débito ni en el crédito\n"},
                 Caso{"10", "10", "", "nadie", "", "Tercero inexistente.\n"},
                 Caso{"10", "10", "", "900", "1x", "Las órdenes de pago deben ser números enteros.\n"}}) {
    ui->onModal("TFrmAsientoProgramado")
        .run([c](TForm& f) {
          Llenar(f, c.d, c.c1, c.c2);
          F(f).edItercero->Text = c.tercero;
          F(f).edOP1->Text = c.ops;
        })
        .click("BtnGrabar")
        .click("BtnSalir");
    Abrir();
    EXPECT_EQ(ui->lastMessage(), c.texto) << c.d << "/" << c.c1;
    EXPECT_EQ(Valor(libros, "select count(*) from mvt where descdocu='CE'"), "0");
  }
}

TEST_F(AsientoProgramado, NoReemplazaUnAsientoManual) {
  Ejecutar(libros, "insert into mvtMaestro (descdocu, numedocu, valor) values ('CE', '1', 5)");
  Ejecutar(libros, "insert into mvt (descdocu, numedocu, numecuen, debito) values ('CE', '1', '110505', 5)");
  ui->onModal("TFrmAsientoProgramado")
      .run([](TForm& f) {
        Llenar(f, "10", "10", "");
        F(f).edNumeDocu->Text = "1";
      })
      .click("BtnGrabar")
      .run([this](TForm& f) {
        EXPECT_EQ(ui->lastMessage(),
                  "Existe un asiento hecho manualmente que debe llamar por la opción \"Asientos manuales\"");
        EXPECT_FALSE(F(f).btnImprimir->Enabled);
      })
      .click("BtnSalir");
  Abrir();
  EXPECT_EQ(Valor(libros, "select count(*) || ':' || sum(debito) from mvt where descdocu='CE'"), "1:5");
}


TEST_F(AsientoProgramado, OrdenesDePagoYComprobanteRepetido) {
  // Tipo que exige órdenes; órdenes por 60 y 40.
  Ejecutar(libros, "update DG set ExigeMvtPptal='S' where CodiDocu='CE'");
  Ejecutar(libros, "insert into mvtOrdenPago (iop, valor) values (5, 60), (6, 40)");
  DM->TblDocumentos->Refresh();
  struct Caso {
    bool exigir;
    const char* valor;
    const char* op1;
    bool pregunta;
  };
  for (Caso c : {Caso{true, "90", "5", true}, Caso{true, "90", "", false}, Caso{true, "90", "6", false},
                 Caso{true, "100", "6", false}, Caso{true, "120", "6", true}, Caso{true, "70", "6", true},
                 Caso{false, "120", "", false}, Caso{false, "70", "6", true}}) {
    ui->takeMessages();
    int grabados = std::stoi(Valor(libros, "select count(*) from mvtMaestro"));
    ui->answer("no concuerda", IDNO);
    ui->onModal("TFrmAsientoProgramado")
        .run([c](TForm& f) {
          F(f).exigirOpAsociada = c.exigir;
          Llenar(f, c.valor, c.valor, "");
          F(f).edOP1->Text = c.op1;
          if (std::string(c.op1) == "6") F(f).edOP2->Text = "5";  // 6 y 5 suman 100
        })
        .click("BtnGrabar")
        .click("BtnSalir");
    Abrir();
    bool pregunto = false;
    for (auto& m : ui->messages()) pregunto = pregunto || m.Text.Pos("no concuerda") > 0;
    EXPECT_EQ(pregunto, c.pregunta) << c.exigir << " " << c.valor << " " << c.op1;
    bool grabo = std::stoi(Valor(libros, "select count(*) from mvtMaestro")) > grabados;
    bool esperado = !c.pregunta && (std::string(c.op1) != "" || !c.exigir);
    EXPECT_EQ(grabo, esperado) << c.exigir << " " << c.valor << " " << c.op1 << ui->messageTexts().c_str();
    Ejecutar(libros, "delete from mvtMaestro");
    Ejecutar(libros, "delete from mvt");
  }
  // Otro comprobante del mismo tipo y valor: la pregunta lo nombra; "No" no graba.
  Ejecutar(libros, "insert into mvtMaestro (descdocu, numedocu, valor, tipoAsiento) values ('CE', '7', 100, 'P')");
  ui->answer("mismo valor", IDNO);
  ui->onModal("TFrmAsientoProgramado")
      .run([](TForm& f) {
        F(f).exigirOpAsociada = false;
        Llenar(f, "100", "100", "");
      })
      .click("BtnGrabar")
      .click("BtnSalir");
  Abrir();
  EXPECT_EQ(ui->lastMessage(), "Posible comprobante repetido.\n");
  EXPECT_EQ(Valor(libros, "select count(*) from mvtMaestro"), "1");
}

TEST_F(AsientoProgramado, FalloAlEscribirDejaElDocumentoAnterior) {
  Ejecutar(libros, "insert into mvtMaestro (descdocu, numedocu, valor, tipoAsiento) values ('CE', '1', 3, 'P')");
  Ejecutar(libros, "insert into mvt (descdocu, numedocu, numecuen, debito) values ('CE', '1', '250505', 3)");
  Ejecutar(libros, "create trigger falla before insert on mvtMaestro begin select raise(abort, 'disco lleno'); end");
  ui->onModal("TFrmAsientoProgramado")
      .run([](TForm& f) {
        Llenar(f, "10", "10", "");
        F(f).edNumeDocu->Text = "1";
      })
      .click("BtnGrabar")
      .run([](TForm& f) { EXPECT_FALSE(F(f).btnImprimir->Enabled); })
      .click("BtnSalir");
  Abrir();
  EXPECT_EQ(ui->messageTexts().Pos("Asiento Registrado"), 0);
  EXPECT_EQ(Valor(libros, "select count(*) || ':' || sum(debito) from mvt where descdocu='CE'"), "1:3");
  EXPECT_EQ(Valor(libros, "select count(*) from mvtMaestro"), "1");
}

TEST_F(AsientoProgramado, LlamadoPorBusquedaPideClaveEnCadaGrabacionYBorrado) {
  Ejecutar(libros, "insert into mvtMaestro (descdocu, numedocu, valor, tipoAsiento, fecha) values "
                   "('CE', '3', 10, 'P', '2026-03-05'), ('CE', '4', 8, 'P', '2026-03-05')");
  Ejecutar(libros, "insert into mvt (descdocu, numedocu, numecuen, debito, credito, fecha) values "
                   "('CE', '3', '250505', 10, null, '2026-03-05'), ('CE', '3', '110505', null, 10, '2026-03-05'), "
                   "('CE', '4', '999999', 8, null, '2026-03-05')");
  Permisos.BBorrar = true;
  ui->onModal("TFrmBuscTabla").type("EdBusqueda", "3").click("&Aceptar");
  ui->onModal("TfrmClaveAdmin").click("BitBtn2");  // primera grabación: cancelada
  ui->onModal("TfrmClaveAdmin").run([](TForm& f) {
    EXPECT_EQ(f.FindControl("edPassword")->Caption, "");  // vacía en cada uso
  }).click("BitBtn2");
  ui->answer("mismo valor", IDYES);
  ui->answer("mismo valor", IDYES);
  ui->answer("Está seguro", IDYES);
  ui->onModal("TFrmAsientoProgramado")
      .click("BitBtn3")
      .run([](TForm& f) {
        EXPECT_TRUE(F(f).confirmarGrabar);
        EXPECT_EQ(F(f).edNumeDocu->Text.get(), "3");
        EXPECT_EQ(F(f).SGAsiento->Cells[3][1], "10");
        EXPECT_EQ(F(f).SGAsiento->Cells[3][2], "10");
        F(f).edItercero->Text = "900";
      })
      .click("BtnGrabar")
      .click("BtnGrabar")
      .run([](TForm& f) {
        // Un comprobante con cuentas que la plantilla no tiene no se llama.
        F(f).edNumeDocu->Text = "4";
        F(f).edNumeDocuExit(nullptr);
        EXPECT_EQ(F(f).SGAsiento->Cells[0][1], "250505");
      })
      .click("BtnBorrar")
      .click("BtnSalir");
  Abrir();
  auto m = ui->messageTexts();
  EXPECT_GT(m.Pos("escoja el asiento programado con que se hizo"), 0);
  EXPECT_EQ(ui->lastMessage(), "Asiento borrado!");
  EXPECT_EQ(Valor(libros, "select group_concat(numedocu) from mvtMaestro"), "3");
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(AsientoProgramado, AgregarCuentaConSuNaturaleza) {
  ui->onModal("TFrmBuscTabla").type("EdBusqueda", "110501").click("&Aceptar");
  ui->answerInput("d");
  ui->onModal("TFrmBuscTabla").type("EdBusqueda", "110501").click("&Aceptar");
  ui->answerInput("D");
  ui->onModal("TFrmAsientoProgramado")
      .click("btnAddCuenta")
      .run([this](TForm& f) {
        EXPECT_EQ(ui->lastMessage(), "Especifique la naturaleza de la cuenta como C o D.");
        EXPECT_EQ(F(f).SGAsiento->RowCount.get(), 4);
      })
      .click("btnAddCuenta")
      .run([](TForm& f) {
        EXPECT_EQ(F(f).SGAsiento->RowCount.get(), 5);
        EXPECT_EQ(F(f).SGAsiento->Cells[2][4], "D");
      })
      .click("BtnSalir");
  Abrir();
  EXPECT_EQ(Valor(libros, "select naturaleza from asientosProg where numeCuen not in ('250505', '110505')"), "D");
}

TEST_F(AsientoProgramado, ImpresionTradicionalConYSinDetalle) {
  tv::report::HeadlessUi().Clear();
  ui->onModal("TFrmAsientoProgramado")
      .run([](TForm& f) { Llenar(f, "1500", "1000", "500"); })
      .click("BtnGrabar")
      .click("btnImprimir")
      .run([this](TForm& f) {
        EXPECT_FALSE(F(f).btnImprimir->Enabled);
        EXPECT_EQ(F(f).edNumeDocu->Text.get(), "2");
        EXPECT_EQ(F(f).iTercero, "900");
        // Con detalle en el encabezado: "Pagado a:" y el total en letras.
        Ejecutar(libros, "update mvtMaestro set detalle='Pago de arriendo'");
        F(f).edNumeDocu->Text = "1";
        F(f).impTradicional();
      })
      .click("BtnSalir");
  Abrir();
  auto& vistas = tv::report::HeadlessUi().shown;
  ASSERT_EQ(vistas.size(), 2u);
  std::string sin = tv::report::DumpText(vistas[0].report), con = tv::report::DumpText(vistas[1].report);
  EXPECT_NE(sin.find("Proveedor"), std::string::npos) << sin;
  EXPECT_NE(con.find("Pagado a:"), std::string::npos) << con;
  EXPECT_NE(con.find("La suma de:"), std::string::npos) << con;
  EXPECT_NE(con.find("Pago de arriendo"), std::string::npos) << con;
}

TEST_F(AsientoProgramado, DobleCuadroYTirilla) {
  Ejecutar(libros, "insert into PL (numecuen, nombcuen) values ('110505', 'Caja general'), "
                   "('250505', 'Retenciones por pagar')");
  tv::report::HeadlessUi().Clear();
  ui->answer("solo imprime 13 renglones", IDNO);
  ui->answer("solo imprime 13 renglones", IDYES);
  ui->onModal("TFrmAsientoProgramado")
      .run([](TForm& f) {
        Llenar(f, "1500", "", "1500");
        F(f).grado = "no";
      })
      .click("BtnGrabar")
      .run([](TForm& f) {
        F(f).impDobleCuadro();  // casilla 2 en blanco
        F(f).impTirilla();      // la caja sale en blanco
        auto* g = F(f).SGAsiento;
        g->RowCount = 16;
        for (int r = 4; r < 16; ++r) {
          g->Cells[0][r] = "250505";
          g->Cells[1][r] = "Renglón " + IntToStr(r);
          g->Cells[2][r] = "D";
          g->Cells[3][r] = "1";
        }
        F(f).impDobleCuadro();  // 14 renglones: "No" no imprime
        F(f).impDobleCuadro();  // "Sí" imprime las 13 casillas
      })
      .click("BtnSalir");
  Abrir();
  auto& vistas = tv::report::HeadlessUi().shown;
  ASSERT_EQ(vistas.size(), 3u);
  std::string doble = tv::report::DumpText(vistas[0].report);
  EXPECT_NE(doble.find("Grado: no"), std::string::npos) << doble;
  EXPECT_NE(doble.find(Punto(1500, 2)), std::string::npos) << doble;
  EXPECT_NE(doble.find("TOTAL: " + std::string(Punto(1500, 2))), std::string::npos) << doble;
  std::string tirilla = tv::report::DumpText(vistas[1].report);
  EXPECT_EQ(tirilla.find("Caja general"), std::string::npos) << tirilla;
  EXPECT_NE(tirilla.find("TOTAL: " + std::string(Punto(1500, 2))), std::string::npos) << tirilla;
  EXPECT_NEAR(vistas[1].report.width, 800 / 254.0 * 72, 1);
  std::string lleno = tv::report::DumpText(vistas[2].report);
  EXPECT_NE(lleno.find("Renglón 13"), std::string::npos);
  EXPECT_EQ(lleno.find("Renglón 14"), std::string::npos);
}

// Las cifras de los dos formatos propios salen con dos decimales y los separadores del
// usuario, enteras, en el PDF; el valor se teclea como lo teclea cada usuario.
TEST_F(AsientoProgramado, DobleCuadroYTirillaConDosDecimales) {
  Ejecutar(libros, "insert into asientosProg (iAstoProg, numeCuen, naturaleza) values (1, '410505', 'C')");
  Ejecutar(libros, "insert into PL (numecuen, nombcuen) values ('110505', 'Caja general'), "
                   "('250505', 'Retenciones por pagar'), ('410505', 'Ingresos')");
  for (const char* sep : {",", "."}) {
    SCOPED_TRACE(sep);
    impresos::Separadores(sep);
    tv::report::HeadlessUi().Clear();
    std::string d = std::string(sep);
    ui->onModal("TFrmAsientoProgramado")
        .run([d](TForm& f) {
          // Tecleado con el separador de esta vuelta, no con el de la corrida.
          auto* g = F(f).SGAsiento;
          g->UserEditCell(3, 1, ("1500" + d + "5").c_str());
          g->UserEditCell(3, 2, "");
          g->UserEditCell(3, 3, "500");
          F(f).edFecha->Text = "05/03/2026";
          F(f).edItercero->Text = "900";
          F(f).SGAsiento->UserEditCell(3, 4, ("1000" + d + "5").c_str());
        })
        .click("BtnGrabar")
        .run([](TForm& f) {
          impresos::Cortes cortes;
          F(f).impDobleCuadro();
          F(f).impTirilla();
          EXPECT_TRUE(cortes.lista.empty()) << cortes.Texto();
        })
        .click("BtnSalir");
    Abrir();
    EXPECT_EQ(ui->unused(), "");
    auto& vistas = tv::report::HeadlessUi().shown;
    ASSERT_EQ(vistas.size(), 2u) << ui->messageTexts().c_str();
    std::string doble = impresos::TextoPdf(vistas[0].report, dir + "/doble.pdf");
    std::string tirilla = impresos::TextoPdf(vistas[1].report, dir + "/tirilla.pdf");
    std::string total = "TOTAL: " + std::string(Punto(1500.5, 2));
    for (const std::string& s : {std::string(Punto(1500.5, 2)), std::string(Punto(1000.5, 2)), total})
      EXPECT_NE(doble.find(s), std::string::npos) << s << "\n" << doble;
    for (const std::string& s : {"Ingresos " + std::string(Punto(1000.5, 2)), total})
      EXPECT_NE(tirilla.find(s), std::string::npos) << s << "\n" << tirilla;
    Ejecutar(libros, "delete from mvt");
    Ejecutar(libros, "delete from mvtMaestro");
  }
}

// El comprobante tecleado con miles y con tres decimales queda al centavo en el chequeo, en lo
// grabado y en el impreso: líneas, sumas y palabras del valor pagado dicen la misma cifra.
TEST_F(AsientoProgramado, MontosConMilesYTresDecimalesQuedanAlCentavo) {
  struct Caso {
    const char *d, *c1, *c2;
  };
  for (Caso c : {Caso{"1,090.74", "453.79", "636.945"}, Caso{"1090.735", "453.79", "636.945"}}) {
    SCOPED_TRACE(c.d);
    tv::report::HeadlessUi().Clear();
    ui->onModal("TFrmAsientoProgramado")
        .run([c](TForm& f) {
          auto* g = F(f).SGAsiento;
          g->UserEditCell(3, 1, prueba::Mostrado(c.d).c_str());
          g->UserEditCell(3, 2, prueba::Mostrado(c.c1).c_str());
          g->UserEditCell(3, 3, prueba::Mostrado(c.c2).c_str());
          F(f).edFecha->Text = "05/03/2026";
          F(f).edItercero->Text = "900";
          EXPECT_EQ(F(f).lblSumaDebito->Caption, "Suma Débito: " + prueba::Mostrado("1,090.74"));
          EXPECT_EQ(F(f).lblSumaCredito->Caption, "Suma Crédito " + prueba::Mostrado("1,090.74"));
        })
        .click("BtnGrabar")
        .click("btnImprimir")
        .click("BtnSalir");
    Abrir();
    EXPECT_NE(ui->messageTexts().Pos("Asiento Registrado"), 0) << ui->messageTexts().c_str();
    EXPECT_EQ(Valor(libros, "select group_concat(coalesce(debito, '-') || ':' || coalesce(credito, '-'), ',') "
                            "from mvt where descdocu='CE'"),
              "1090.74:-,-:453.79,-:636.95");
    EXPECT_EQ(Valor(libros, "select printf('%.17g', valor) from mvtMaestro where descdocu='CE'"), "1090.74");
    auto& vistas = tv::report::HeadlessUi().shown;
    ASSERT_EQ(vistas.size(), 1u);
    std::string t = impresos::TextoPdf(vistas[0].report, dir + "/centavos.pdf");
    std::string total = prueba::Mostrado("1,090.74");
    for (const std::string& s : {prueba::Mostrado(" 453.79"), prueba::Mostrado(" 636.95"), " " + total,
                                 "SUMAS IGUALES " + total + " " + total,
                                 std::string("VALOR PAGADO: UN MIL NOVENTA PUNTO SETENTA Y CUATRO")})
      EXPECT_NE(t.find(s), std::string::npos) << s << "\n" << t;
    EXPECT_EQ(t.find("636,94"), std::string::npos) << t;
    EXPECT_EQ(t.find("636.94"), std::string::npos) << t;
    Ejecutar(libros, "delete from mvt");
    Ejecutar(libros, "delete from mvtMaestro");
  }
}

// El monto más ancho que acepta el diario, tecleado con miles, sale entero en las casillas de
// valor del doble cuadro y de la tirilla.
TEST_F(AsientoProgramado, DobleCuadroYTirillaConElMontoMasAncho) {
  Ejecutar(libros, "insert into asientosProg (iAstoProg, numeCuen, naturaleza) values (1, '410505', 'C')");
  Ejecutar(libros, "insert into PL (numecuen, nombcuen) values ('110505', 'Caja general'), "
                   "('250505', 'Retenciones por pagar'), ('410505', 'Ingresos')");
  tv::report::HeadlessUi().Clear();
  ui->onModal("TFrmAsientoProgramado")
      .run([](TForm& f) {
        auto* g = F(f).SGAsiento;
        g->UserEditCell(3, 1, prueba::Mostrado("9,999,999,999,999.99").c_str());
        g->UserEditCell(3, 4, prueba::Mostrado("9,999,999,999,999.99").c_str());
        F(f).edFecha->Text = "05/03/2026";
        F(f).edItercero->Text = "900";
        F(f).impDobleCuadro();
      })
      .click("BtnGrabar")
      .run([](TForm& f) { F(f).impTirilla(); })
      .click("BtnSalir");
  Abrir();
  auto& vistas = tv::report::HeadlessUi().shown;
  ASSERT_EQ(vistas.size(), 2u) << ui->messageTexts().c_str();
  std::string cifra = prueba::Mostrado("9,999,999,999,999.99");
  std::string doble = impresos::TextoPdf(vistas[0].report, dir + "/doble_ancho.pdf");
  std::string tirilla = impresos::TextoPdf(vistas[1].report, dir + "/tirilla_ancho.pdf");
  EXPECT_NE(doble.find("Retenciones por pagar " + cifra), std::string::npos) << doble;
  EXPECT_NE(doble.find("Ingresos " + cifra), std::string::npos) << doble;
  EXPECT_NE(tirilla.find("Ingresos " + cifra), std::string::npos) << tirilla;
}

TEST_F(AsientoProgramado, CambiarConsecutivoTrasLaClave) {
  AnsiString antes = Permisos.claveAdmin;
  Permisos.claveAdmin = "jefe";
  ui->onModal("TfrmClaveAdmin").set("edPassword", "jefe").click("BitBtn1");
  ui->onModal("TfrmClaveAdmin").set("edPassword", "jefe").click("BitBtn2");
  ui->onModal("TFrmAsientoProgramado")
      .run([](TForm& f) { EXPECT_FALSE(F(f).edNumeDocu->Enabled); })
      .click("btnCamCons")
      .run([](TForm& f) { EXPECT_TRUE(F(f).edNumeDocu->Enabled); })
      .click("btnCamCons")
      .run([](TForm& f) { EXPECT_FALSE(F(f).edNumeDocu->Enabled); })
      .click("BtnSalir");
  Abrir();
  Permisos.claveAdmin = antes;
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(AsientoProgramado, FormatoEscogidoQuedaParaLaProximaVez) {
  ui->onModal("TFrmAsientoProgramado").pick("RadioGroup1", 2).close();
  Abrir();
  ui->onModal("TFrmAsientoProgramado")
      .run([](TForm& f) { EXPECT_EQ(F(f).RadioGroup1->ItemIndex.get(), 2); })
      .click("BtnSalir");
  Abrir();
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(AsientoProgramado, BusquedaDePlantillaLaAplica) {
  Ejecutar(libros, "insert into asientosProgCfg (iAstoProg, nAstoProg, descDocu) values (2, 'Recaudo', 'IN')");
  Ejecutar(libros, "insert into asientosProg (iAstoProg, numeCuen, naturaleza, rubro) values (2, '110505', 'D', ''), "
                   "(2, '410505', 'C', '1.2.05')");
  Ejecutar(libros, "insert into mvtMaestro (descdocu, numedocu) values ('IN', 'IN0099'), ('IN', '41')");
  DM->tblAsientosProgCfg->Refresh();
  ui->onModal("TFrmBuscTabla").type("EdBusqueda", "IN").click("&Aceptar");
  ui->onModal("TFrmBuscTabla").click("&Salir");
  ui->onModal("TFrmAsientoProgramado")
      .click("BitBtn2")
      .run([](TForm& f) {
        EXPECT_EQ(F(f).cbAsientosProg->Text.get(), "2:Recaudo");
        EXPECT_EQ(F(f).descDocu, "IN");
        EXPECT_EQ(F(f).edNumeDocu->Text.get(), "42");  // "IN0099" no es de esta numeración
        EXPECT_EQ(F(f).SGAsiento->ColCount.get(), 5);
        EXPECT_EQ(F(f).SGAsiento->Cells[4][0], "Rubro");
      })
      .click("BitBtn2")
      .run([](TForm& f) { EXPECT_EQ(F(f).descDocu, "IN"); })
      .click("BtnSalir");
  Abrir();
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(AsientoProgramado, RutaDeLaCuentaSeleccionada) {
  // Del plan inicial: 11, 1105, 110501, 25, 2511 y 251101.
  Ejecutar(libros, "delete from asientosProg");
  Ejecutar(libros, "insert into asientosProg (iAstoProg, numeCuen, naturaleza) values (1, '251101', 'C'), "
                   "(1, '11050101', 'D'), (1, '11059901', 'D'), (1, '99887766', 'D')");
  struct Caso {
    int fila;
    const char* ruta;
  };
  ui->onModal("TFrmAsientoProgramado")
      .run([](TForm& f) {
        for (Caso c : {Caso{2, "EFECTIVO Y EQUIVALENTES AL EFECTIVO - CAJA - CAJA PRINCIPAL"},
                       Caso{3, "EFECTIVO Y EQUIVALENTES AL EFECTIVO - CAJA"},  // 110599 no es cuenta
                       Caso{4, " - "},
                       // Seis caracteres: solo los prefijos de 2 y 4, aunque la cuenta exista.
                       Caso{1, "BENEFICIOS A LOS EMPLEADOS - BENEFICIOS A LOS EMPLEADOS A CORTO PLAZO"}}) {
          F(f).SGAsiento->UserSelectCell(3, c.fila);
          EXPECT_EQ(F(f).Label9->Caption, c.ruta) << F(f).SGAsiento->Cells[0][c.fila].c_str();
        }
      })
      .click("BtnSalir");
  Abrir();
}

TEST_F(AsientoProgramado, BusquedaDeOrdenesLlenaLaPrimeraCasillaVacia) {
  Ejecutar(libros, "insert into mvtOrdenPago (iop, valor) values (11, 100), (12, 200), (13, 300), (14, 400), "
                   "(15, 500), (16, 600)");
  DM->tblMvtOrdenPago->Refresh();
  ui->onModal("TFrmBuscTabla").type("EdBusqueda", "13").click("&Salir");  // sin escoger: nada
  for (const char* op : {"11", "13", "14", "15", "16"})
    ui->onModal("TFrmBuscTabla").type("EdBusqueda", op).click("&Aceptar");
  auto ops = [](TForm& f) {
    std::string t;
    for (TEdit* e : {F(f).edOP1, F(f).edOP2, F(f).edOP3, F(f).edOP4, F(f).edOP5}) t += e->Text.get().str() + "|";
    return t;
  };
  ui->onModal("TFrmAsientoProgramado")
      .set("edOP2", "12")
      .click("BitBtn5")
      .run([&](TForm& f) { EXPECT_EQ(ops(f), "|12||||"); })
      .click("BitBtn5")
      .run([&](TForm& f) {
        EXPECT_EQ(ops(f), "11|12||||");
        EXPECT_EQ(F(f).lblSumaOP->Caption, prueba::Mostrado("300.00 menos los descuentos debe ser el valor del pago"));
      })
      .click("BitBtn5")
      .click("BitBtn5")
      .click("BitBtn5")
      .click("BitBtn5")  // la sexta no tiene casilla
      .run([&](TForm& f) {
        EXPECT_EQ(ops(f), "11|12|13|14|15|");
        EXPECT_EQ(F(f).lblSumaOP->Caption, prueba::Mostrado("1,500.00 menos los descuentos debe ser el valor del pago"));
      })
      .click("BtnSalir");
  Abrir();
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(AsientoProgramado, NuevoTerceroLlevaElDocumentoEscritoYQuedaParaGrabar) {
  ui->onModal("TFrmNuevoTercero")
      .run([](TForm& f) { EXPECT_EQ(static_cast<TFrmNuevoTercero&>(f).EdCedula->Text.get(), "700"); })
      .set("edApellido1", "ROJAS")
      .set("edNombre1", "LUZ")
      .click("&Aceptar");
  ui->onModal("TFrmAsientoProgramado")
      .run([](TForm& f) { Llenar(f, "50", "30", "20"); })
      .set("edItercero", "700")
      .click("btnNuevoTercero")
      .click("BtnGrabar")  // el chequeo ya encuentra el tercero nuevo
      .click("BtnSalir");
  Abrir();
  EXPECT_EQ(Valor(libros, "select count(*) from TC where cedulaNit='700'"), "1");
  EXPECT_EQ(ui->lastMessage(), "Asiento Registrado");
  EXPECT_EQ(Valor(libros, "select group_concat(distinct cedulanit) from mvt where descdocu='CE'"), "700");
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(AsientoProgramado, ErroresDelEditorDeRetencionesSeMuestranYNoCambianLasReglas) {
  Ejecutar(libros, "insert into retenciones (cuenta, nombre, base, porcentaje, tipo) values "
                   "('243605', 'Servicios', 0, 4, 'SER')");
  Ejecutar(libros, "create trigger falla before update on retenciones when new.porcentaje = 5 "
                   "begin select raise(abort, 'disco lleno'); end");
  auto errores = [this] {
    std::string t;
    for (auto& m : ui->takeMessages())
      if (m.Kind == MsgKind::Exception) t += m.Text.str() + "\n";
    return t;
  };
  // Una letra en el porcentaje: el error de conversión y la regla como estaba.
  ui->onModal("TfrmRetenciones").editCell("DBGrid1", 3, 0, "x").close();
  // Una escritura que falla al cerrar: su mensaje, el editor sigue abierto y se cancela.
  ui->onModal("TfrmRetenciones")
      .editCell("DBGrid1", 3, 0, "5")
      .close()
      .run([](TForm& f) {
        EXPECT_TRUE(f.Showing());
        static_cast<TfrmRetenciones&>(f).tblRetenciones->Cancel();
      })
      .close();
  ui->onModal("TFrmAsientoProgramado")
      .click("btnConfRteFte")
      .run([&](TForm&) {
        std::string e = errores();
        EXPECT_NE(e.find("'x' no es un valor numérico válido"), std::string::npos) << e;
        EXPECT_EQ(Valor(libros, "select printf('%g', porcentaje) from retenciones"), "4");
      })
      .click("btnConfRteFte")
      .run([&](TForm&) {
        std::string e = errores();
        EXPECT_NE(e.find("disco lleno"), std::string::npos) << e;
        EXPECT_EQ(Valor(libros, "select printf('%g', porcentaje) from retenciones"), "4");
        // Sin la tabla el editor no abre: su error y el comprobante sigue.
        Ejecutar(libros, "drop table retenciones");
      })
      .click("btnConfRteFte")
      .run([&](TForm& f) {
        std::string e = errores();
        EXPECT_NE(e.find("retenciones"), std::string::npos) << e;
        Llenar(f, "10", "10", "");
      })
      .click("BtnGrabar")
      .click("BtnSalir");
  Abrir();
  EXPECT_EQ(ui->lastMessage(), "Asiento Registrado");
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(AsientoProgramado, DataIniAusenteOIncompleto) {
  // El tipo exige órdenes de pago; se graba sin ninguna.
  Ejecutar(libros, "update DG set ExigeMvtPptal='S' where CodiDocu='CE'");
  DM->TblDocumentos->Refresh();
  const std::string ini = ArchivoIniSesion().str();
  struct Caso {
    const char* contenido;  // nullptr: no existe
    const char* aviso;
    bool exigir;
    int formato;
  };
  for (Caso c : {Caso{nullptr, "Debe crear el INI dentro de la carpeta", false, 0},
                 Caso{"[ACTION]\ntitulo1=X\n", "", true, 0},
                 Caso{"[ACTION]\nimpCompPref=2\n[ALGORITMO]\nexigirOpAsociada=0\n", "", false, 2}}) {
    std::remove(ini.c_str());
    if (c.contenido) std::ofstream(ini) << c.contenido;
    ui->takeMessages();
    Ejecutar(libros, "delete from mvtMaestro");
    Ejecutar(libros, "delete from mvt");
    std::string aviso;
    ui->onModal("TFrmAsientoProgramado")
        .run([&](TForm& f) {
          for (auto& m : ui->takeMessages()) aviso += m.Text.str();
          EXPECT_EQ(F(f).exigirOpAsociada, c.exigir);
          EXPECT_EQ(F(f).RadioGroup1->ItemIndex.get(), c.formato);
          Llenar(f, "10", "10", "");
        })
        .click("BtnGrabar")
        .click("BtnSalir");
    Abrir();
    EXPECT_EQ(aviso, c.aviso) << (c.contenido ? c.contenido : "(sin archivo)");
    EXPECT_EQ(Valor(libros, "select count(*) from mvtMaestro"), c.exigir ? "0" : "1") << ui->messageTexts().c_str();
  }
}

}  // namespace
}  // namespace admin
