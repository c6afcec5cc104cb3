#include "budget/VersionPptal.h"

#include <memory>

#include "app/Validaciones.h"
#include "platform/db/DBTables.h"
#include "shared/general/SqlUtil.h"

int VersionMovimientoPptal(const AnsiString& aNumero, const AnsiString& aTipo) {
  std::unique_ptr<TQuery> q(new TQuery(nullptr));
  HagaSQL("Contabilidad", q.get(),
          "select coalesce(max(version),0) as version, count(*) as n from MvtPptalMaestro where iMvtPptal=" +
              TextoSQL(aNumero) + " and tipoMvtPptal=" + TextoSQL(aTipo));
  if (q->FieldByName("n")->AsInteger == 0) return -1;
  return q->FieldByName("version")->AsInteger;
}
