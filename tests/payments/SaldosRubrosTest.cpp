// Saldo de rubros: tabla rehecha al abrir, códigos completos, saldos y archivo.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "budget/CalculosPptal.h"
#include "budget/Presupuesto.h"
#include "payments/FrmSaldosRubros.h"
#include "platform/db/DBTables.h"
#include "platform/forms/DBGrids.h"
#include "support/Separadores.h"

using presupuesto::Presupuesto;
using namespace presupuesto::ayuda;

namespace {

class SaldosRubros : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Sql("DELETE FROM PlPpto");  // sin el plan de ejemplo
  }
  std::string Exportar() {
    std::string csv = dir + "/saldos.csv";
    auto f = std::make_unique<TfrmSaldosRubros>(nullptr);
    f->Show();
    ui->answerDialog(csv.c_str());
    ui->now(f.get()).click("BtnAceptar");
    return LeerArchivo(csv);
  }
};

TEST_F(SaldosRubros, LosRubrosPadreMuestranLaSumaDeSusHojas) {
  Rubro("E", "2.9", "Padre");
  Rubro("E", "2.9.1", "Hoja uno");
  Rubro("E", "2.9.2", "Padre intermedio");
  Rubro("E", "2.9.2.1", "Hoja dos");
  Movimiento("1", "APR", "2026-01-02", {{"2.9.1", "E", 0, 100}, {"2.9.2.1", "E", 0, 50}});
  Certificado(1, "2026-02-01", 20.25, "2.9.2.1");
  Exportar();
  EXPECT_EQ(Leer("SELECT group_concat(icuenta || '=' || disponible, ' ') FROM saldoRubros"),
            "2.9=129.75 2.9.1=100 2.9.2=29.75 2.9.2.1=29.75");
}

TEST_F(SaldosRubros, PrimeraAperturaCodigosCompletosYSinMovimientoEnCero) {
  const std::string largo = "2.1.2.02.01.0001.9";  // 18 caracteres
  Rubro("E", largo, "Largo");
  Rubro("E", "2.1.2.02.01.0002", "Otro con el mismo comienzo");
  Rubro("E", "Q", "Quieto");
  Rubro("I", "I1", "Ingreso");
  Movimiento("1", "APR", "2026-01-02", {{largo, "E", 0, 900}, {"2.1.2.02.01.0002", "E", 0, 10}});
  Certificado(1, "2026-02-01", 250.5, largo);
  EXPECT_EQ(Leer("SELECT count(*) FROM sqlite_master WHERE name='saldoRubros'"), "0");
  std::string csv = Exportar();
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
  EXPECT_EQ(Leer("SELECT group_concat(icuenta || '=' || disponible, ' ') FROM saldoRubros"),
            largo + "=649.5 2.1.2.02.01.0002=10 Q=0");
  EXPECT_DOUBLE_EQ(getDisponibilidadRubro(largo.c_str(), "E", nullptr), 649.5);
  {
    // En la ventana el saldo se ve con dos decimales y los separadores del usuario.
    auto f = std::make_unique<TfrmSaldosRubros>(nullptr);
    f->Show();
    ASSERT_TRUE(f->tblSaldoRubros->Locate("icuenta", Variant(largo.c_str())));
    EXPECT_EQ(f->DBGrid2->PaintCell(3, f->tblSaldoRubros->RecNo - 1)->LastText(), prueba::Mostrado("649.50"));
    EXPECT_EQ(f->DBGrid2->Columns->Items[3]->Alignment, taRightJustify);
  }
  EXPECT_NE(csv.find("tipoCuenta;icuenta;ncuenta;fuente;disponible"), std::string::npos) << csv;
  EXPECT_NE(csv.find("E;" + largo + ";Largo;;" + prueba::Tecleado("649.5")), std::string::npos) << csv;
  ASSERT_FALSE(ui->launches().empty());

  // Una tabla vieja con el código angosto se rehace al abrir.
  Sql("DROP TABLE saldoRubros");
  Sql("CREATE TABLE saldoRubros (tipoCuenta char(1),icuenta char(12), ncuenta char(124),fuente char(129), "
      "disponible float)");
  Exportar();
  EXPECT_EQ(Leer("SELECT count(*) FROM saldoRubros WHERE icuenta=" + Q(largo)), "1");
}

TEST_F(SaldosRubros, PlanSinEgresosDaSoloSeparadorYEncabezado) {
  Rubro("I", "I1", "Ingreso");
  std::string csv = Exportar();
  EXPECT_EQ(csv, "sep=;\r\ntipoCuenta;icuenta;ncuenta;fuente;disponible;\r\n");
}

}  // namespace
