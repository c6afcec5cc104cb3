#include "budget/Explorado.h"

#include <string>

#include "ledger/motor/DuenoDiario.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Dialogs.h"

std::int64_t NumeroDocDe(TField* f) {
  if (!f || f->IsNull) return 0;
  std::int64_t n = 0;
  if (tv::motor::NumeroDocumento(f->AsString.str(), n)) return n;
  return static_cast<std::int64_t>(f->AsFloat);
}

AnsiString TextoEntero(std::int64_t n) { return AnsiString(std::to_string(n).c_str()); }

bool Hecho(const tv::motor::Resultado& r) {
  if (r.errores.empty()) return true;
  ShowMessage(r.Texto().c_str());
  return false;
}
