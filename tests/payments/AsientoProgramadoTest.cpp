// Comprobantes desde plantillas: aplicación de la plantilla, chequeo, grabación y llamado.
#include <memory>

#include "app/DataModule.h"
#include "payments/FrmAsientoProgramado.h"
#include "platform/forms/Grids.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/Buttons.h"
#include "support/Instalacion.h"

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
    g->UserEditCell(3, 1, d);
    g->UserEditCell(3, 2, c1);
    g->UserEditCell(3, 3, c2);
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
        EXPECT_EQ(F(f).lblSumaCredito->Caption, "Suma Crédito 1000");
      })
      .click("BtnGrabar")
      .run([](TForm& f) { EXPECT_TRUE(F(f).btnImprimir->Enabled); })
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
    const char *d, *c1, *c2, *tercero, *ops, *texto;
  };
  for (Caso c : {Caso{"1000", "999.50", "", "900", "", "La suma de débitos: 1000 no es igual a la de créditos: 999.5\n"},
                 Caso{"", "0.4", "", "900", "", "La suma de débitos: 0 no es igual a la de créditos: 0.4\n"},
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

}  // namespace
}  // namespace admin
