#pragma once
// El dueño de un documento del diario: lo escribe solo quien lo hizo. Un documento es del editor
// de asientos (manual), del asiento de una orden de pago (`_OP n`, la orden que lo nombra) o de
// un comprobante programado (`CE n`, encabezado hecho con plantilla que ninguna orden nombra).
// Todo se lee en la conexión dada: dentro de la transacción de escritura es lo último guardado.
#include <cstdint>
#include <string>
#include "shared/motor/Centavos.h"

namespace tv::db {
class Connection;
}

namespace tv::motor {

enum class ClaseDueno { Libre, Manual, OrdenPago, Programado };

struct DuenoDiario {
  ClaseDueno clase = ClaseDueno::Libre;
  std::int64_t orden = 0;  // número de la orden de pago cuando clase es OrdenPago
};

// Quién es dueño de (tipo, numero): Libre cuando no hay líneas ni encabezado.
DuenoDiario DuenoDe(tv::db::Connection& conn, const std::string& tipo, const std::string& numero);

// Verdadero cuando el documento tiene líneas o encabezado.
bool DocumentoExiste(tv::db::Connection& conn, const std::string& tipo, const std::string& numero);

// El primer número después de `numero` (la numeración del editor: prefijo de letras y dígitos)
// sin líneas ni encabezado; "" cuando el número no da siguiente.
std::string SiguienteNumeroLibre(tv::db::Connection& conn, const std::string& tipo, const std::string& numero);

// Borra líneas y encabezado del documento (en la transacción del llamador).
void BorrarDocumento(tv::db::Connection& conn, const std::string& tipo, const std::string& numero);

// Versión guardada del documento (0 mientras nada lo cambió).
long long VersionDiario(tv::db::Connection& conn, const std::string& tipo, const std::string& numero);

// Un monto en centavos como el número que se guarda.
double MontoDe(std::int64_t centavos);
// Un número de documento escrito (dígitos, con blancos alrededor) como entero exacto de 64 bits;
// falso si no lo es o no cabe.
bool NumeroDocumento(const std::string& texto, std::int64_t& numero);

}  // namespace tv::motor
