// A table copied inside its own file keeps every row, its row ids and its indexes.
#include "DbFixture.h"

namespace {
constexpr int kRows = 3000;
}

TEST_F(DbTest, CopyInTheSameFileKeepsRowsIdsAndIndexes) {
  Sql("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
      "INSERT INTO TC (cedulanit, nombre) SELECT printf('%05d', i), 'n' || i FROM n;"
      "DELETE FROM TC WHERE cedulanit = '00007';");
  auto r = tv::db::BackupTable("Contabilidad", "TC", "Contabilidad", "TC_copia");
  EXPECT_EQ(r.copied, kRows - 1);
  EXPECT_EQ(r.unreadable, 0);
  EXPECT_EQ(Scalar("SELECT count(*) FROM TC_copia a JOIN TC b ON a.rowid = b.rowid AND a.nombre = b.nombre"),
            kRows - 1);
  EXPECT_EQ(Scalar("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND tbl_name = 'TC_copia'"),
            Scalar("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND tbl_name = 'TC'"));
}

TEST_F(DbTest, WorkingCopyWithoutIndexesKeepsRows) {
  Sql("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
      "INSERT INTO TC (cedulanit, nombre) SELECT printf('%05d', i), 'n' || i FROM n;");
  tv::db::CopyTable("Contabilidad", "TC", "Contabilidad", "TC_trabajo", false);
  EXPECT_EQ(Scalar("SELECT count(*) FROM TC_trabajo a JOIN TC b ON a.rowid = b.rowid AND a.nombre = b.nombre"),
            kRows);
  // only the key that comes with the table's definition
  EXPECT_EQ(Scalar("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND tbl_name = 'TC_trabajo' AND "
                   "sql IS NOT NULL"),
            0);
}
