#pragma once
// Versión guardada de un movimiento presupuestal: la de todo documento del presupuesto
// (docVersion, clase "MP"), que avanza con cada escritura de su encabezado o de sus renglones,
// también la de otro cliente, y nunca vuelve a empezar. El editor la toma al traer el documento
// y, dentro de la transacción de la grabación, rehúsa grabar si otro puesto lo grabó entretanto.
#include "platform/core/AnsiString.h"

// 0 cuando nada ha escrito el documento.
long long VersionMovimientoPptal(const AnsiString& aNumero, const AnsiString& aTipo);
