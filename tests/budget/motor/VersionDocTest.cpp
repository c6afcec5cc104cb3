// Cada escritura de un documento del presupuesto avanza su versión, también la de otro cliente,
// y un documento borrado y vuelto a crear sigue desde donde iba.
#include <gtest/gtest.h>

#include "app/schema/Versiones.h"
#include "budget/Presupuesto.h"

namespace presupuesto {
namespace {

class VersionDoc : public Presupuesto {};

TEST_F(VersionDoc, AvanzaConCadaEscrituraYNuncaVuelveAEmpezar) {
  using tv::schema::VersionDoc;
  EXPECT_EQ(VersionDoc("CD", "20260001"), 0);
  Certificado(20260001, "2026-02-01", 100, "", {{"2.3.2", 100}});
  long long alta = VersionDoc("CD", "20260001");
  EXPECT_GT(alta, 0);
  Sql("UPDATE certDispRubros SET valor=90 WHERE icd=20260001");
  long long cambio = VersionDoc("CD", "20260001");
  EXPECT_GT(cambio, alta);
  Sql("DELETE FROM certDispRubros WHERE icd=20260001");
  Sql("DELETE FROM mvtCertDisp WHERE icd=20260001");
  long long baja = VersionDoc("CD", "20260001");
  EXPECT_GT(baja, cambio);
  Certificado(20260001, "2026-02-01", 100, "");
  EXPECT_GT(VersionDoc("CD", "20260001"), baja);

  // Cada clase lleva su cuenta: el registro del mismo número no mueve la del certificado.
  long long certificado = VersionDoc("CD", "20260001");
  Registro(20260001, 20260001, "2026-02-02", 50);
  EXPECT_EQ(VersionDoc("CD", "20260001"), certificado);
  EXPECT_GT(VersionDoc("RP", "20260001"), 0);

  Movimiento("5", "ADI", "2026-02-03", {{"2.3.2", "E", 0, 10}});
  EXPECT_GT(VersionDoc("MP", "5|ADI"), 0);
  OrdenPago(77, 20260001, "2026-02-04", 10);
  EXPECT_GT(VersionDoc("OP", "77"), 0);
}

}  // namespace
}  // namespace presupuesto
