#include "budget/VersionPptal.h"

#include "app/schema/Versiones.h"

long long VersionMovimientoPptal(const AnsiString& aNumero, const AnsiString& aTipo) {
  return tv::schema::VersionDoc("MP", aNumero.str() + "|" + aTipo.str());
}
