#include "app/AnioCerrado.h"

#include <string>

#include "platform/db/Engine.h"
#include "platform/forms/Dialogs.h"

bool AnioCerrado(int anio) {
  auto conn = tv::db::ConnectionFor("Contabilidad");
  std::string a = std::to_string(anio);
  // El cierre confirma su "CCA" en los libros del año solo cuando el año siguiente quedó completo.
  tv::db::Stmt st = conn->Prepare("SELECT 1 FROM MVT WHERE descdocu='CCA' AND fecha>='" + a + "-01-01' AND fecha<='" + a +
                                  "-12-31' LIMIT 1");
  return st.Step();
}

void AvisarSiAnioCerrado(const TDateTime& fecha) {
  unsigned short anio = 0, mes = 0, dia = 0;
  DecodeDate(fecha, anio, mes, dia);
  if (!AnioCerrado(anio)) return;
  ShowMessage(Format("El año %d ya fue cerrado: repita el cierre para que los saldos iniciales de %d lo incluyan.", anio,
                     anio + 1));
}
