// Rejillas sin títulos propios: títulos en español y montos como los lee una persona.
#include <memory>

#include "support/Instalacion.h"
#include "support/Separadores.h"
#include "platform/db/DBTables.h"
#include "platform/forms/DBGrids.h"

using admin::Instalacion;

TEST_F(Instalacion, RejillaSinTitulosMuestraNombresEspanolesYMontosFormateados) {
  Ejecutar(libros, "INSERT INTO pac (icd, m1, m2) VALUES (20260001, 7000000, -1234.5)");
  TTable pac(nullptr);
  pac.DatabaseName = "Contabilidad";
  pac.TableName = "pac.db";
  pac.Open();
  TDataSource ds(nullptr);
  ds.DataSet = &pac;
  TDBGrid grid(nullptr);
  grid.DataSource = &ds;
  auto cols = grid.DisplayColumns();
  ASSERT_GE(cols.size(), 3u);
  EXPECT_EQ(cols[0]->DisplayTitle(), "CDP");
  EXPECT_EQ(cols[1]->DisplayTitle(), "Enero");
  EXPECT_EQ(cols[2]->DisplayTitle(), "Febrero");
  // El número del certificado no es un monto; los meses sí, con dos decimales y a la derecha.
  EXPECT_EQ(grid.PaintCell(0, 0)->LastText(), "20260001");
  EXPECT_EQ(grid.PaintCell(1, 0)->LastText(), prueba::Mostrado("7,000,000.00"));
  EXPECT_EQ(grid.PaintCell(2, 0)->LastText(), prueba::Mostrado("-1,234.50"));
}
