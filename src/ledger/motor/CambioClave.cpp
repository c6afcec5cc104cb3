#include "ledger/motor/CambioClave.h"

#include "app/schema/Versiones.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

namespace tv::motor {

void CambiarClaveDocumento(const std::string& baseDatos, const std::string& tipo, const std::string& numero,
                           const std::string& tipoNuevo, const std::string& numeroNuevo) {
  using tv::db::Cell;
  auto conn = tv::db::ConnectionFor(baseDatos.c_str());
  tv::db::Transaction tx(baseDatos.c_str());
  tv::schema::EscrituraMasiva masiva(conn->Db(), tv::schema::EscrituraMasiva::Filas::Pocas);
  for (const char* tabla : {"MVT", "mvtMaestro"}) {
    tv::db::Stmt st = conn->Prepare(std::string("UPDATE ") + tabla +
                                    " SET descdocu=?1, numedocu=?2 WHERE descdocu=?3 AND numedocu=?4");
    st.Bind(1, Cell::String(tipoNuevo));
    st.Bind(2, Cell::String(numeroNuevo));
    st.Bind(3, Cell::String(tipo));
    st.Bind(4, Cell::String(numero));
    st.Step();
  }
  masiva.AvanzarDocumento(tipo, numero);
  masiva.AvanzarDocumento(tipoNuevo, numeroNuevo);
  masiva.Terminar();
  tx.Commit();
}

}  // namespace tv::motor
