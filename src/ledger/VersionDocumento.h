#pragma once
// Versión guardada de un documento contable: un editor la toma al traerlo y su grabación la
// compara, dentro de su transacción, con la guardada; cualquier escritura de sus líneas o de su
// encabezado la avanza.
#include "platform/core/AnsiString.h"

// Versión del documento en los libros abiertos (0 mientras nada lo cambió).
long long VersionDeDocumento(const AnsiString& tipo, const AnsiString& numero);
