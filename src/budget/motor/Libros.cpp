#include "budget/motor/Libros.h"

#include <sqlite3.h>

#include <cmath>

#include "app/schema/Versiones.h"
#include "budget/motor/LimitesLibros.h"
#include "platform/db/DBTables.h"
#include "shared/motor/Celdas.h"

namespace tv::motor {

namespace {
constexpr const char* kAlias = "Contabilidad";
}


double PesosDe(std::int64_t centavos) { return static_cast<double>(centavos) / 100.0; }

tv::db::Cell NumeroCelda(std::int64_t numero) { return tv::db::Cell::Integer(numero); }
// El monto se guarda en pesos: la columna es numérica de coma flotante en los libros.
tv::db::Cell MontoCelda(std::int64_t centavos) { return tv::db::Cell::Float(PesosDe(centavos)); }
tv::db::Cell TextoCelda(const std::string& texto) { return TextoONulo(texto); }

Libros::Libros() : conn_(tv::db::ConnectionFor(kAlias)) {}

template <class Celdas>
tv::db::Stmt Libros::Preparar(const std::string& sql, const Celdas& p) {
  tv::db::Stmt st = conn_->Prepare(sql);
  int i = 1;
  for (const auto& c : p) st.Bind(i++, c);
  return st;
}

int Libros::Ejecutar(const std::string& sql, std::initializer_list<tv::db::Cell> p) { return EjecutarCon(sql, p); }
int Libros::Ejecutar(const std::string& sql, const std::vector<tv::db::Cell>& p) { return EjecutarCon(sql, p); }

template <class Celdas>
int Libros::EjecutarCon(const std::string& sql, const Celdas& p) {
  tv::db::Stmt st = Preparar(sql, p);
  while (st.Step()) {
  }
  for (const auto& t : conn_->TakeWrittenTables()) conn_->Touch(t);
  return sqlite3_changes(conn_->Db());
}

tv::db::Cell Libros::Valor(const std::string& sql, std::initializer_list<tv::db::Cell> p) {
  tv::db::Stmt st = Preparar(sql, p);
  return st.Step() ? st.Column(0) : tv::db::Cell();
}

std::int64_t Libros::Centavos(const std::string& sql, std::initializer_list<tv::db::Cell> p) {
  return CentavosDe(Valor(sql, p).Number());
}

bool Libros::Existe(const std::string& sql, std::initializer_list<tv::db::Cell> p) {
  tv::db::Stmt st = Preparar(sql, p);
  return st.Step();
}

long long Libros::Version(const std::string& clase, std::int64_t numero) {
  return tv::schema::VersionDoc(conn_->Db(), clase, tv::schema::ClaveDoc(numero));
}

Resultado EnTransaccion(const std::function<void(Libros&, Resultado&)>& escribir) {
  InstalarLimitesLibros();
  Resultado r;
  try {
    tv::db::Transaction tx(kAlias);
    Libros libros;
    escribir(libros, r);
    if (!r.Grabado()) {
      tx.Rollback();
      return r;
    }
    tx.Commit();
  } catch (EDBEngineError& e) {
    if (e.ErrorCode() == DBIERR_RULEVIOL) {
      r.Error("limite", AnsiString(e.Message).str());
      return r;
    }
    throw;
  }
  return r;
}

}  // namespace tv::motor
