// La ruta del presupuesto sobre una instalación nueva, de punta a punta. Cada paso de la
// cadena (certificado, registro, órdenes, pagos) la extiende.
#include "budget/AsientosPptalFixture.h"
#include "budget/CalculosPptal.h"

using presupuesto::EditorPptal;

namespace {

class RutaPresupuesto : public EditorPptal {};

TEST_F(RutaPresupuesto, ApropiacionYAdicionMuevenLosSaldos) {
  Editor();
  Traer("APR:Apropiación", "AP001", "02/01/2026");
  Linea(0, "1.2.05", "I", "1000000", "");
  Linea(1, "2.1.1.01", "E", "", "600000");
  Linea(2, "2.3.2", "E", "", "400000");
  Grabar();
  EXPECT_EQ(Textos(), "Asiento Presupuestal Registrado\n");
  ui->takeMessages();

  Traer("ADD:Adición", "AD009", "20/02/2026");
  Linea(0, "1.2.10", "I", "250000.50", "");
  Linea(1, "2.1.1.01", "E", "", "250000.50");
  Grabar();
  EXPECT_EQ(Textos(), "Asiento Presupuestal Registrado\n");
  EXPECT_EQ(ed->edNumDoc->Text.get(), "AD010");

  double pagado = -1;
  EXPECT_DOUBLE_EQ(getDisponibilidadRubro("2.1.1.01", "E", &pagado), 850000.50);
  EXPECT_DOUBLE_EQ(pagado, 0);
  EXPECT_DOUBLE_EQ(getDisponibilidadRubro("2.3.2", "E", nullptr), 400000);
  EXPECT_DOUBLE_EQ(getDisponibilidadRubro("1.2.05", "I", nullptr), 1000000);
  EXPECT_DOUBLE_EQ(getDisponibilidadRubro("1.2.10", "I", nullptr), 250000.50);
  EXPECT_DOUBLE_EQ(getPresupuestadoRubro("2.1.1.01", "E", "01/02/2026", "28/02/2026"), 250000.50);
  EXPECT_EQ(Leer("SELECT group_concat(iMvtPptal || tipoMvtPptal || fecha || iUsuario, ',') FROM MvtPptalMaestro"),
            "AP001APR2026-01-02gestordelibro,AD009ADD2026-02-20gestordelibro");
}

}  // namespace
