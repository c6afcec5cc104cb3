#pragma once
// Versión guardada de un movimiento presupuestal: cada grabación la sube en uno. El editor la
// toma al traer el documento y, dentro de la transacción de la grabación, rehúsa grabar si otro
// puesto lo grabó entretanto.
#include "platform/core/AnsiString.h"

// -1 cuando el documento no tiene encabezado (nuevo); un encabezado de un libro anterior, sin
// versión, vale 0.
int VersionMovimientoPptal(const AnsiString& aNumero, const AnsiString& aTipo);
