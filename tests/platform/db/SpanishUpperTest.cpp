// Spanish letters in upper(): the same rule in SQL and in SpanishUpper.
#include "DbFixture.h"

TEST_F(DbTest, UpperMapsSpanishLettersInSqlAndInCode) {
  EXPECT_EQ(tv::db::SpanishUpper("peña ágil, útil: güero éxito ímpetu ó"), "PEÑA ÁGIL, ÚTIL: GÜERO ÉXITO ÍMPETU Ó");
  EXPECT_EQ(tv::db::SpanishUpper("ÑANDÚ 12%"), "ÑANDÚ 12%");
  Sql("INSERT INTO TC VALUES ('1', 'Peña Ñuñez'); INSERT INTO TC VALUES ('2', 'PENA');");
  TQuery q(nullptr);
  q.DatabaseName = "Contabilidad";
  q.SQL->SetText("select cedulanit from TC where upper(nombre) like '%PEÑA%'");
  q.Open();
  ASSERT_EQ(q.RecordCount, 1);
  EXPECT_EQ(q.FieldByName("cedulanit")->AsString(), "1");
  EXPECT_EQ(Scalar("SELECT upper(NULL) IS NULL"), 1);
}
