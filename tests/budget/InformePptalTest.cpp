// Resumen presupuestal: movimientos y ejecuciones por rubro, rubros de certificados por sus
// partes, filas iguales que no se pierden, rangos, ingresos y exportación.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "budget/FrmInformePptal.h"
#include "budget/Presupuesto.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"

using presupuesto::Presupuesto;

namespace {

class InformePptal : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Movimiento("1", "APR", "2026-01-05",
               {{"2.1.1.01", "E", 0, 1000}, {"2.1.2.01", "E", 0, 900}, {"2.1.3.01", "E", 0, 800}, {"1.2.05", "I", 5000, 0}},
               "Apropiacion");
    Sql("UPDATE mvtPptal SET ingreso=NULL WHERE icuenta='2.1.3.01'");
    // Certificado de tres rubros pagado por un comprobante del periodo.
    Certificado(1, "2026-02-01", 600, "", {{"2.1.1.01", 300}, {"2.1.2.01", 200}, {"2.1.3.01", 100}});
    Registro(1, 1, "2026-02-02", 600);
    OrdenPago(1, 1, "2026-03-01", 300);
    Comprobante("10", "2026-03-05", 300, {1});
    // Certificado de un rubro: dos órdenes iguales en un comprobante son dos filas.
    Certificado(2, "2026-02-03", 100, "2.1.1.01");
    Registro(2, 2, "2026-02-04", 100);
    OrdenPago(2, 2, "2026-03-08", 80);
    OrdenPago(3, 2, "2026-03-08", 80);
    Comprobante("11", "2026-03-10", 160, {2, 3});
    // Sin comprobante, o con uno fuera del periodo: sin fila.
    OrdenPago(4, 2, "2026-03-09", 5);
    OrdenPago(5, 2, "2026-03-09", 6);
    Comprobante("12", "2027-01-10", 6, {5});
    LineaDiario("1.2.05", "2026-02-01", 0, 700);
    frmInformePptal = new TfrmInformePptal(nullptr);
    f.reset(frmInformePptal);
    f->Show();
  }
  void TearDown() override {
    f.reset();
    frmInformePptal = nullptr;
    Presupuesto::TearDown();
  }
  void Correr(const char* tipo, const char* r1 = "", const char* r2 = "", const char* desde = "01/01/2026",
              const char* hasta = "31/12/2026") {
    ui->now(f.get()).pick("rgTipoCuentas", tipo).set("EdFechaInicio", desde).set("EdFechaFinal", hasta)
        .set("edRubroInicial", r1).set("edRubroFinal", r2).click("BtnAceptar");
  }
  // Filas: rubro aprobado/comprometido/ejecutado.
  std::string Filas() {
    std::string s;
    TQuery* q = f->Query1;
    if (!q->Active) return "<cerrada>";
    for (q->First(); !q->Eof; q->Next()) {
      char b[160];
      std::snprintf(b, sizeof b, "%s %g/%g/%g", q->FieldByName("rubroPptal")->AsString.str().c_str(),
                    static_cast<double>(q->FieldByName("Aprobado")->AsFloat),
                    static_cast<double>(q->FieldByName("Comprometido")->AsFloat),
                    static_cast<double>(q->FieldByName("ejecutado")->AsFloat));
      s += (s.empty() ? "" : "|") + std::string(b);
    }
    return s;
  }
  std::unique_ptr<TfrmInformePptal> f;
};

TEST_F(InformePptal, PartesDelGastoYDelIngresoConRangos) {
  struct Caso {
    const char *tipo, *r1, *r2, *desde, *filas;
  } casos[] = {
      {"Egreso", "", "", "01/01/2026",
       "2.1.1.01 1000/0/0|2.1.1.01 0/300/150|2.1.1.01 0/100/80|2.1.1.01 0/100/80|2.1.2.01 900/0/0|"
       "2.1.2.01 0/200/100|2.1.3.01 800/0/0|2.1.3.01 0/100/50"},
      {"Egreso", "2.1.2", "2.1.3.01", "01/01/2026", "2.1.2.01 900/0/0|2.1.2.01 0/200/100|2.1.3.01 800/0/0|2.1.3.01 0/100/50"},
      // Solo el final: desde abajo entra todo.
      {"Egreso", "", "2.1.1.99", "01/01/2026", "2.1.1.01 1000/0/0|2.1.1.01 0/300/150|2.1.1.01 0/100/80|2.1.1.01 0/100/80"},
      {"Egreso", "", "", "01/03/2026", "2.1.1.01 0/300/150|2.1.1.01 0/100/80|2.1.1.01 0/100/80|2.1.2.01 0/200/100|2.1.3.01 0/100/50"},
      {"Ingreso", "", "", "01/01/2026", "1.2.05 5000/0/0|1.2.05 0/0/700"},
      {"Ingreso", "1.3", "1.9", "01/01/2026", ""},
      // Comillas y palabras de acción en el rango siguen siendo texto.
      {"Egreso", "x' or 1=1 --", "DELETE FROM mvtPptal", "01/01/2026", ""},
  };
  for (const auto& c : casos) {
    Correr(c.tipo, c.r1, c.r2, c.desde);
    EXPECT_EQ(Filas(), c.filas) << c.tipo << " " << c.r1 << "-" << c.r2 << " " << c.desde;
  }
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtPptal"), "4");
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtPptal WHERE ingreso IS NULL OR egreso IS NULL"), "0");
  EXPECT_EQ(f->tipoCuentas, "E");
}

TEST_F(InformePptal, ColumnasYFilasDeMovimiento) {
  Correr("Egreso", "2.1.2.01", "2.1.2.01");
  TQuery* q = f->Query1;
  std::string nombres;
  for (int i = 0; i < q->FieldCount; ++i) nombres += q->Fields[i]->FieldName.str() + ",";
  EXPECT_EQ(nombres,
            "fecha,descdocu,numero,rubroPptal,tipoCuenta,objetoGasto,icd,irp,fechaExped,itercero,nombre,Aprobado,"
            "Comprometido,ejecutado,");
  q->First();
  EXPECT_EQ(q->FieldByName("descdocu")->AsString, "APR");
  EXPECT_EQ(q->FieldByName("fechaExped")->AsString, "01/01/2008");
  EXPECT_EQ(q->FieldByName("itercero")->AsString, AnsiString(std::string(18, ' ').c_str()));
  q->Next();
  EXPECT_EQ(q->FieldByName("descdocu")->AsString, "CP");
  EXPECT_EQ(q->FieldByName("numero")->AsString, "10");
  EXPECT_TRUE(f->BtnInforme->Enabled);
  EXPECT_TRUE(std::filesystem::exists("basura.txt"));
}

TEST_F(InformePptal, FechaMalaNoCorreYExportaSusCampos) {
  ui->now(f.get()).click("btnExportar");
  EXPECT_EQ(ui->lastMessage(),
            "No hay información para exportar. \nPrimero genere el informe pulsando el botón aceptar.");
  Correr("Egreso", "", "", "31/02/2026");
  EXPECT_FALSE(f->Query1->Active);
  EXPECT_FALSE(f->BtnInforme->Enabled);
  Correr("Ingreso");
  std::string csv = dir + "/resumen.csv";
  ui->answerDialog(csv.c_str());
  ui->now(f.get()).click("btnExportar");
  EXPECT_EQ(ui->lastMessage(), "Exportación terminada.");
  std::ifstream in(csv, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  EXPECT_NE(ss.str().find("fecha;descDocu;numero;objetoGasto;rubroPptal;irp;fechaExped;itercero;nombre;aprobado;"
                          "ejecutado;"),
            std::string::npos)
      << ss.str();
  EXPECT_NE(ss.str().find(";700"), std::string::npos) << ss.str();
}

}  // namespace
