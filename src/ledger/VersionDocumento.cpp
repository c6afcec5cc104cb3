#include "ledger/VersionDocumento.h"

#include "app/schema/Versiones.h"
#include "platform/db/Engine.h"

long long VersionDeDocumento(const AnsiString& tipo, const AnsiString& numero) {
  auto conn = tv::db::ConnectionFor("Contabilidad");
  std::string tabla = tv::schema::kTablaVersiones;
  // Libros en que aún no hay versiones (abiertos solo para leer): ningún cambio registrado.
  tv::db::Stmt hay = conn->Prepare("SELECT 1 FROM sqlite_master WHERE type='table' AND name='" + tabla + "'");
  if (!hay.Step()) return 0;
  hay = tv::db::Stmt();
  tv::db::Stmt st =
      conn->Prepare("SELECT version FROM \"" + tabla + "\" WHERE descdocu=?1 AND numedocu=?2");
  st.Bind(1, tv::db::Cell::String(tipo.str()));
  st.Bind(2, tv::db::Cell::String(numero.str()));
  return st.Step() ? st.Column(0).i : 0;
}
