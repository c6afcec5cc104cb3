#include <memory>

#include "BaseDatos.h"
#include "platform/forms/Headless.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/SqlUtil.h"

using prueba::BaseDatos;

namespace {
class SqlUtil : public BaseDatos {
 protected:
  void SetUp() override {
    BaseDatos::SetUp();
    Cuentas();
    q = std::make_unique<TQuery>(nullptr);
  }
  void TearDown() override {
    q.reset();
    BaseDatos::TearDown();
  }
  std::unique_ptr<TQuery> q;
};
}  // namespace

TEST(ClaseDeSentencia, PrimeraPalabra) {
  struct Caso { const char* sql; bool accion; };
  for (Caso c : {Caso{"insert into PL values ('1')", true}, Caso{"INSERT\ninto PL", true},
                 Caso{"  Update PL set saldo=0", true}, Caso{"DELETE FROM PL", true},
                 Caso{"create table x (a int)", true}, Caso{"ALTER TABLE x ADD b INT", true},
                 Caso{"drop table x", true},
                 Caso{"select * from PL where nombcuen like '%delete %'", false},
                 Caso{"SELECT 'INSERT ' FROM PL", false}, Caso{"", false},
                 Caso{"deleted", false}})
    EXPECT_EQ(EsSentenciaDeAccion(c.sql), c.accion) << c.sql;
}

TEST_F(SqlUtil, ConsultaConPalabraDeAccionSigueListandoFilas) {
  Exec("UPDATE PL SET nombcuen = 'para delete de prueba' WHERE numecuen = '1105'");
  HagaSQL("Contabilidad", q.get(), "select * from PL where nombcuen like '%delete %'");
  ASSERT_TRUE(q->Active);
  EXPECT_EQ(q->RecordCount, 1);
  EXPECT_EQ(q->FieldByName("numecuen")->AsString, "1105");
  EXPECT_EQ(q->DatabaseName, "Contabilidad");
  EXPECT_EQ(q->SQL->Count(), 1);
}

TEST_F(SqlUtil, AccionesSeEjecutanEnLasTresFormas) {
  HagaSQL("Contabilidad", q.get(), "insert into PL (numecuen, nombcuen) values ('3105', 'Capital')");
  HagaSQL("Contabilidad", q.get(), std::string("UPDATE PL SET saldo = 7 WHERE numecuen = '3105'"),
          false, "", "");
  HagaSQL("Contabilidad", q.get(), AnsiString("DELETE FROM PL WHERE numecuen = '1110'"));
  EXPECT_EQ(Escalar("SELECT count(*) FROM PL"), 3);
  EXPECT_EQ(Escalar("SELECT saldo FROM PL WHERE numecuen = '3105'"), 7);
  // Texto largo (más de 2048 caracteres) sin búfer fijo.
  std::string largo = "select * from PL where numecuen <> '" + std::string(3000, 'x') + "'";
  HagaSQL("Contabilidad", q.get(), largo.c_str(), false, "", "");
  EXPECT_EQ(q->RecordCount, 3);
}

TEST_F(SqlUtil, ErroresDelMotorLleganAlLlamador) {
  EXPECT_THROW(HagaSQL("Contabilidad", q.get(), "select * from NoExiste"), EDBEngineError);
  EXPECT_THROW(HagaSQL("Contabilidad", q.get(), "insert into PL (numecuen) values ('1105')"),
               EDBEngineError);
}

TEST_F(SqlUtil, VacearTablaEnBloqueYPorCicloRestauraElEstado) {
  TTable t(nullptr);
  t.DatabaseName = "Contabilidad";
  t.TableName = "PL.db";
  VacearTabla(&t, false);
  EXPECT_FALSE(t.Active);
  EXPECT_FALSE(t.Exclusive);
  EXPECT_EQ(Escalar("SELECT count(*) FROM PL"), 0);
  Cuentas();
  t.Open();
  VacearTabla(&t, false);
  EXPECT_TRUE(t.Active);
  EXPECT_FALSE(t.Exclusive);
  EXPECT_EQ(t.RecordCount, 0);
  Cuentas();
  t.Refresh();
  VacearTabla(&t, true);
  EXPECT_EQ(Escalar("SELECT count(*) FROM PL"), 0);
  VacearTabla(&t, true);  // tabla vacía: nada que borrar
  EXPECT_TRUE(t.Active);
}

TEST_F(SqlUtil, VacearTablaConErrorAvisaYRestaura) {
  tv::forms::HeadlessDriver ui;
  TTable t(nullptr);
  t.DatabaseName = "Contabilidad";
  t.TableName = "NoExiste.db";
  VacearTabla(&t, false);
  EXPECT_FALSE(t.Active);
  EXPECT_FALSE(t.Exclusive);
  ASSERT_EQ(ui.messages().size(), 1u);
}

TEST_F(SqlUtil, FillCBFromTblSinRepetidos) {
  tv::forms::HeadlessDriver ui;
  Exec("CREATE TABLE DG (codigo VARCHAR(3), nombre VARCHAR(20))");
  Exec("INSERT INTO DG VALUES ('CE', 'Egreso'), ('CE', 'Egreso'), ('NC', 'Nota')");
  TTable t(nullptr);
  t.DatabaseName = "Contabilidad";
  t.TableName = "DG.db";
  t.Open();
  TForm f(nullptr);
  auto* cb = Make<TComboBox>(&f, "CBDoc");
  cb->Items->Add("previo");
  FillCBFromTbl(cb, &t, "codigo", "nombre");
  ASSERT_EQ(cb->Items->Count(), 3);
  EXPECT_EQ(cb->Items->Get(1), "CE:Egreso");
  EXPECT_EQ(cb->Items->Get(2), "NC:Nota");
  EXPECT_EQ(cb->Text, "CE:Egreso");
  auto* cb2 = Make<TComboBox>(&f, "CBSolo");
  FillCBFromTbl(cb2, &t, "codigo", "");
  ASSERT_EQ(cb2->Items->Count(), 2);
  EXPECT_EQ(cb2->Items->Get(1), "NC");
}

TEST(FechasSQL, MesDiaAnioYValidarFecha) {
  ResetFormatSettings();
  EXPECT_EQ(MesDiaAnio(AnsiString("05/03/2021")), "03/05/2021");
  EXPECT_EQ(MesDiaAnio(AnsiString("")), "Fecha inválida: \n");
  EXPECT_EQ(MesDiaAnio(AnsiString("31/02/2021")), "Fecha inválida: 31/02/2021\n");
  // El mensaje va a parar entre comillas de un texto SQL: no puede cerrarlas.
  EXPECT_EQ(MesDiaAnio(AnsiString("1' or '1'='1")), "Fecha inválida: 1'' or ''1''=''1\n");
  EXPECT_EQ(MesDiaAnio(EncodeDate(2024, 12, 1)), "12/01/2024");

  AnsiString msg = "previo";
  EXPECT_TRUE(ValidarFecha(AnsiString("05/03/2021"), msg));
  EXPECT_TRUE(ValidarFecha(AnsiString("05/03/2021 10:30"), msg));
  EXPECT_EQ(msg, "previo");
  EXPECT_FALSE(ValidarFecha(AnsiString("31/02/2021"), msg));
  EXPECT_EQ(msg, "Fecha inválida: 31/02/2021\n");
  EXPECT_FALSE(ValidarFecha(AnsiString(""), msg));
  EXPECT_EQ(msg, "Fecha vacía.\n");
  EXPECT_FALSE(ValidarFecha(2021, 2, 29, msg));
  EXPECT_EQ(msg, "Fecha inválida.\n");
  msg = "x";
  EXPECT_TRUE(ValidarFecha(2020, 2, 29, msg));
  EXPECT_EQ(msg, "x");
}
