// Retención en la fuente: reglas por cuenta, cálculo sobre la base y llenado de las líneas.
#include <memory>

#include "app/Sesion.h"
#include "payments/RteFte.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Grids.h"
#include "support/Instalacion.h"

namespace admin {
namespace {

class RteFte : public Instalacion {
 protected:
  void SetUp() override {
    Instalacion::SetUp();
    Ejecutar(libros,
             "insert into retenciones (cuenta, nombre, base, porcentaje, tipo, porcentajeNoDeclara, redondeoPeso, "
             "redondeoMiles) values "
             "('243605', 'Servicios', 1000000, 4, 'ser', 6, 0, 0), "
             "('243608', 'Compras', 500000, 2.5, 'COM', 3.5, 1, 0), "
             "('243625', 'IVA', 0, 15, 'IVA', 15, 0, 1), "
             "('243690', 'ICA', 0, 0.4, 'ICA', 0.4, 0, 0), "
             "('243695', 'Estampilla', 0, 2, '', 2, 1, 1), "
             "('249090', 'Doble', 0, 1, 'SER', 1, 0, 0), "
             "('249090', 'Doble otra', 0, 2, 'SER', 2, 0, 0), "
             "('24''36', 'Con comilla', 0, 10, 'SER', 10, 0, 0)");
  }
  double Calcular(const char* cuenta, double base, bool declara) {
    stRteFte r;
    if (!esCuentaRteFte(cuenta, r, declara)) return -1;
    return calculaRteFte(cuenta, base, r);
  }
};

TEST_F(RteFte, CalculoPorReglaYBase) {
  struct Caso {
    const char* cuenta;
    double base;
    bool declara;
    double esperado;
  } casos[] = {
      {"243605", 1000000, true, 40000},     // base igual al tope: se retiene
      {"243605", 999999, true, 0},          // bajo el tope: nada
      {"243605", 1000000, false, 60000},    // no declarante: su tasa
      {"243608", 1234567, true, 30864},     // redondeo a pesos (30864.175)
      {"243625", 83333, true, 12000},       // a miles: 12499.95 → 12000
      {"243625", 83334, true, 13000},       // 12500.1 → 13000
      {"243690", 1000000, true, 4000},      // 0,4 % exacto, sin colas
      {"243690", 1234.56, true, 4.94},      // sin redondeo pedido: al centavo
      {"243695", 1234567, true, 24691},     // los dos redondeos: gana el de pesos
      {"249090", 1000000, true, -1},        // dos reglas para la cuenta: ninguna
      {"110505", 1000000, true, -1},        // sin regla
      {"24'36", 100, true, 10},             // la comilla no rompe la consulta
      {"x' or '1'='1", 100, true, -1},
  };
  for (const auto& c : casos) EXPECT_DOUBLE_EQ(Calcular(c.cuenta, c.base, c.declara), c.esperado) << c.cuenta << " " << c.base;
  stRteFte r;
  ASSERT_TRUE(esCuentaRteFte("243605", r, true));
  EXPECT_EQ(r.tipo, "SER");
  EXPECT_EQ(r.nombre, "Servicios");
  EXPECT_DOUBLE_EQ(r.porcentajeUsado, 4);
}

class PutRteFte : public RteFte {
 protected:
  void SetUp() override {
    RteFte::SetUp();
    grid.reset(new TStringGrid(nullptr));
    grid->ColCount = 4;
    grid->RowCount = 6;
    const char* cuentas[] = {"Cuenta", "510505", "243605", "243608", "243625", "243690"};
    for (int i = 0; i < 6; ++i) {
      grid->Cells[0][i] = cuentas[i];
      grid->Cells[3][i] = "7";
    }
  }
  std::vector<std::string> Valores() {
    std::vector<std::string> v;
    for (int i = 1; i < grid->RowCount; ++i) v.push_back(grid->Cells[3][i].str());
    return v;
  }
  std::unique_ptr<TStringGrid> grid;
};

TEST_F(PutRteFte, LlenaLasLineasConReglaSegunSuBase) {
  ui->onModal("TfrmBeforeRteFte")
      .run([](TForm& f) {
        auto& d = static_cast<TfrmBeforeRteFte&>(f);
        EXPECT_EQ(d.RadioGroup1->ItemIndex, 1);  // "No" de entrada
      })
      .set("edIVA", "190000")
      .set("edServicios", "1000000")
      .set("edCompras", "")
      .click("btnCalcular");
  putRteFte(grid.get());
  // Servicios no declarante 6 %; compras bajo el tope; IVA 15 % a miles; ICA sobre el total.
  EXPECT_EQ(Valores(), (std::vector<std::string>{"7", "60000", "0", "29000", "4000"}));
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(PutRteFte, DeclaranteUsaSuTasa) {
  ui->onModal("TfrmBeforeRteFte").pick("RadioGroup1", "Si").set("edServicios", "1000000").click("btnCalcular");
  putRteFte(grid.get());
  EXPECT_EQ(Valores()[1], "40000");
}

TEST_F(PutRteFte, CerrarSinContinuarNoTocaLaRejilla) {
  ui->onModal("TfrmBeforeRteFte").set("edServicios", "1000000").close();
  putRteFte(grid.get());
  EXPECT_EQ(Valores(), (std::vector<std::string>(5, "7")));
}

TEST_F(PutRteFte, UnaCifraQueNoEsNumeroDejaElDialogoAbierto) {
  ui->onModal("TfrmBeforeRteFte")
      .set("edIVA", "diez")
      .set("edServicios", "1000000")
      .click("btnCalcular")
      .run([](TForm& f) { EXPECT_TRUE(f.Showing()); })
      .set("edIVA", "0")
      .click("btnCalcular");
  putRteFte(grid.get());
  EXPECT_NE(ui->messageTexts().Pos("diez"), 0) << ui->messageTexts().c_str();
  EXPECT_EQ(Valores()[1], "60000");
}

TEST_F(RteFte, ElEditorDeReglasMuestraLaTablaYGuardaLaFilaEnEdicion) {
  ui->onModal("TfrmRetenciones")
      .run([](TForm& f) {
        auto& r = static_cast<TfrmRetenciones&>(f);
        EXPECT_EQ(r.tblRetenciones->RecordCount, 8);
        r.tblRetenciones->Append();
        r.tblRetenciones->FieldByName("cuenta")->AsString = "236540";
        r.tblRetenciones->FieldByName("porcentaje")->AsFloat = 1.5;
      })
      .close();
  std::unique_ptr<TfrmRetenciones> f(new TfrmRetenciones(nullptr));
  f->ShowModal();
  f.reset();
  EXPECT_EQ(Valor(libros, "select porcentaje from retenciones where cuenta='236540'"), "1.500000");
}

}  // namespace
}  // namespace admin
