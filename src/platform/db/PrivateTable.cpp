#include "platform/db/PrivateTable.h"

#include "platform/db/Engine.h"

namespace tv::db {

bool UsePrivateTable(const AnsiString& databaseName, const std::string& table) {
  auto conn = ConnectionFor(databaseName);
  std::string bare = BareTableName(table);
  {
    Stmt st = conn->Prepare("SELECT 1 FROM temp.sqlite_master WHERE type='table' AND lower(name)=lower(?1)");
    st.Bind(1, Cell::String(bare));
    if (st.Step()) return true;
  }
  std::string sql;
  {
    Stmt st = conn->Prepare("SELECT sql FROM main.sqlite_master WHERE type='table' AND lower(name)=lower(?1)");
    st.Bind(1, Cell::String(bare));
    if (!st.Step()) return false;
    sql = st.Column(0).s;
  }
  // "CREATE TABLE x (...)" as stored by SQLite: the same columns, in the temp schema.
  const std::string head = "CREATE TABLE";
  if (sql.compare(0, head.size(), head) != 0) return false;
  sql = "CREATE TEMP TABLE" + sql.substr(head.size());
  conn->Exec(sql);
  // The temporary table now answers for the name: cursors and cached layouts start again.
  conn->SchemaChanged();
  conn->TouchAll();
  return true;
}

}  // namespace tv::db
