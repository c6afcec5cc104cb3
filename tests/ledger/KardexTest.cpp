#include "Maestros.h"
#include "app/DataModule.h"
#include "ledger/FrmCentroCostos.h"
#include "ledger/FrmKardex.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "support/Separadores.h"

using maestros::Linea;

namespace {

// ---- kárdex ----------------------------------------------------------------------------

class KardexTest : public maestros::Maestros {
 protected:
  void SetUp() override {
    Maestros::SetUp();
    if (HasFatalFailure()) return;
    Ejecutar(libros, "UPDATE PL SET Cantidad='S' WHERE numecuen IN ('110505', '110510')");
    Refrescar();
    Agregar({.cuenta = "110505", .fecha = "2026-01-05", .debito = 1, .cantidad = "10"});
    Agregar({.cuenta = "110505", .fecha = "2026-02-01", .debito = 1, .cantidad = "5", .tercero = "800"});
    Agregar({.cuenta = "110510", .fecha = "2026-02-10", .credito = 1, .cantidad = "-3"});
    Agregar({.cuenta = "110510", .fecha = "2026-02-15", .debito = 1, .cantidad = "0"});
    Agregar({.cuenta = "110505", .fecha = "2026-02-20", .debito = 1});
    Agregar({.cuenta = "110505", .fecha = "2026-02-28", .debito = 1, .cantidad = "2.3"});
    Agregar({.cuenta = "110505", .fecha = "2026-03-05", .debito = 1, .cantidad = "100"});
    Agregar({.cuenta = "111005", .fecha = "2026-02-05", .debito = 1, .cantidad = "7"});
  }
  struct Tarjeta {
    std::string vienen, entradas, salidas, saldo, nombre;
    std::vector<std::string> fechas;
    bool informe = false, resultado = false, rejilla = false;
  };
  Tarjeta Correr(const char* cuenta, const char* desde, const char* hasta) {
    Tarjeta t;
    ui->onModal("TFrmKardex")
        .set("EdICuenta", cuenta)
        .set("EdFechaInicio", desde)
        .set("EdFechaFinal", hasta)
        .click("&Aceptar")
        .run([&](TForm& f) {
          auto& k = static_cast<TFrmKardex&>(f);
          t.vienen = k.LblIVienen->Caption.str();
          t.entradas = k.LblIEntradas->Caption.str();
          t.salidas = k.LblISalidas->Caption.str();
          t.saldo = k.LblISaldo->Caption.str();
          t.nombre = k.LblNCuenta->Caption.str();
          t.informe = k.BtnInforme->Enabled;
          t.resultado = k.LblResultado->Visible;
          t.rejilla = k.DBGrid1->Visible;
          if (t.rejilla)
            for (int r = 0; r < k.DBGrid1->DisplayRowCount(); ++r)
              t.fechas.push_back(k.DBGrid1->DisplayText(0, r).str() + " " + k.DBGrid1->DisplayText(1, r).str());
        })
        .click("&Cancelar");
    auto* f = new TFrmKardex(nullptr);
    f->ShowModal();
    delete f;
    return t;
  }
};

TEST_F(KardexTest, PadreConDosSubcuentas) {
  Tarjeta t = Correr("1105", "01/02/2026", "28/02/2026");
  EXPECT_EQ(t.vienen, prueba::Mostrado("10.0"));
  EXPECT_EQ(t.entradas, prueba::Mostrado("7.3"));
  EXPECT_EQ(t.salidas, prueba::Mostrado("-3.0"));
  EXPECT_EQ(t.saldo, prueba::Mostrado("14.3"));
  EXPECT_EQ(t.nombre, "Cuenta 1105");
  EXPECT_TRUE(t.rejilla);
  EXPECT_FALSE(t.resultado);
  EXPECT_TRUE(t.informe);
  // Sin las cantidades cero ni vacías; la línea del último día entra.
  ASSERT_EQ(t.fechas.size(), 3u);
  EXPECT_EQ(t.fechas[0].substr(0, 10), "01/02/2026");
  EXPECT_EQ(t.fechas[2].substr(0, 10), "28/02/2026");
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
}

TEST_F(KardexTest, PeriodoSinLineasMuestraLoQueViene) {
  Tarjeta t = Correr("1105", "01/04/2026", "30/04/2026");
  EXPECT_EQ(t.vienen, prueba::Mostrado("114.3"));
  EXPECT_EQ(t.entradas, prueba::Mostrado("0.0"));
  EXPECT_EQ(t.salidas, prueba::Mostrado("0.0"));
  EXPECT_EQ(t.saldo, prueba::Mostrado("114.3"));
  EXPECT_TRUE(t.resultado);
  EXPECT_FALSE(t.rejilla);
  EXPECT_FALSE(t.informe);
}

TEST_F(KardexTest, CodigoConComodinesNoCoincideConOtros) {
  Tarjeta t = Correr("11_5", "01/01/2026", "31/12/2026");
  EXPECT_EQ(t.saldo, prueba::Mostrado("0.0"));
  EXPECT_TRUE(t.resultado);
}

TEST_F(KardexTest, FechaMalaNoCalcula) {
  Tarjeta t = Correr("1105", "31/02/2026", "28/02/2026");
  EXPECT_FALSE(ui->messages().empty());
  EXPECT_FALSE(t.informe);
  EXPECT_FALSE(t.rejilla);
}

TEST_F(KardexTest, InformeImpreso) {
  ui->onModal("TFrmKardex")
      .set("EdICuenta", "1105")
      .set("EdFechaInicio", "01/02/2026")
      .set("EdFechaFinal", "28/02/2026")
      .click("&Aceptar")
      .click("&Informe")
      .click("&Cancelar");
  auto* f = new TFrmKardex(nullptr);
  f->ShowModal();
  delete f;
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
}

// ---- centros de costo ------------------------------------------------------------------

class CentroCostosTest : public maestros::Maestros {
 protected:
  void SetUp() override {
    Maestros::SetUp();
    if (HasFatalFailure()) return;
    Ejecutar(libros, "INSERT INTO CC (CodiCent, NombCent) VALUES ('ADM', 'Administración'), ('VEN', 'Ventas')");
    Refrescar();
    // Un grupo solo de créditos va primero en el orden del agrupamiento.
    Agregar({.cuenta = "110510", .fecha = "2026-02-05", .credito = 40, .centcost = "ADM", .docu = "AA", .numero = "0"});
    Agregar({.cuenta = "110505", .fecha = "2026-02-01", .debito = 100, .centcost = "ADM", .numero = "1"});
    Agregar({.cuenta = "110505", .fecha = "2026-02-03", .debito = 50, .centcost = "ADM", .numero = "1"});
    Agregar({.cuenta = "999999", .fecha = "2026-02-03", .debito = 30, .centcost = "ADM", .numero = "2"});
    Agregar({.cuenta = "110505", .fecha = "2026-02-28", .debito = 10, .centcost = "VEN", .numero = "4"});
    Agregar({.cuenta = "110505", .fecha = "2026-02-10", .debito = 999, .numero = "5"});
    Agregar({.cuenta = "110505", .fecha = "2026-03-01", .debito = 1000, .centcost = "ADM", .numero = "6"});
  }
  struct Resultado {
    std::vector<std::string> filas;
    std::string total;
    bool rejilla = false;
  };
  Resultado Correr(const char* centro, const char* desde = "01/02/2026", const char* hasta = "28/02/2026") {
    Resultado r;
    ui->onModal("TFrmCentroCostos")
        .pick("CBCCostos", centro)
        .set("EdFechaInicio", desde)
        .set("EdFechaFinal", hasta)
        .click("&Aceptar")
        .run([&](TForm& f) {
          auto& c = static_cast<TFrmCentroCostos&>(f);
          r.rejilla = c.DBGrid1->Visible;
          r.total = c.LblTotal->Visible ? c.LblTotal->Caption.str() : "";
          if (!r.rejilla) return;
          TQuery* q = c.Query1;
          for (q->First(); !q->Eof; q->Next()) {
            std::string fila;
            for (int i = 0; i < q->FieldCount; ++i) fila += AnsiString(q->Fields[i]->AsString).str() + "|";
            r.filas.push_back(fila);
          }
        })
        .click("Cancelar");
    auto* f = new TFrmCentroCostos(nullptr);
    f->ShowModal();
    delete f;
    return r;
  }
};

TEST_F(CentroCostosTest, TodosSumaPorDocumentoYCuenta) {
  Resultado r = Correr("Todos");
  EXPECT_TRUE(r.rejilla);
  EXPECT_EQ(r.filas, (std::vector<std::string>{"ADM|AA|0|110510|Cuenta 110510|0|",
                                               "ADM|CE|1|110505|Cuenta 110505|150|",
                                               "VEN|CE|4|110505|Cuenta 110505|10|"}));
  EXPECT_EQ(r.total, prueba::Mostrado("190.00"));
}

TEST_F(CentroCostosTest, UnCentro) {
  Resultado r = Correr("ADM:Administración");
  EXPECT_EQ(r.filas.size(), 2u);
  EXPECT_EQ(r.total, prueba::Mostrado("180.00"));
  r = Correr("VEN:Ventas", "01/03/2026", "31/03/2026");
  EXPECT_FALSE(r.rejilla);
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
}

TEST_F(CentroCostosTest, FechaMalaNoConsulta) {
  Resultado r = Correr("Todos", "30/02/2026");
  EXPECT_FALSE(r.rejilla);
  ASSERT_EQ(ui->messages().size(), 1u);
  EXPECT_NE(ui->messages()[0].Text.Pos("30/02/2026"), 0);
}

}  // namespace
