#pragma once
// Grabación de un documento del editor de asientos: el registro con sus líneas entra, y en una
// sola transacción de escritura se revisa el cuadre, el número, el permiso y la versión traída,
// se borran las líneas viejas y se escriben las nuevas con su encabezado.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ledger/motor/Resultado.h"

namespace tv::motor {

struct LineaDiario {
  std::string cuenta, tercero, detalle, centroCosto, descComp, numeComp, rubro;
  std::int64_t debito = 0, credito = 0;  // centavos
  double cantidad = 0;                   // unidades, no dinero
};

struct DocumentoManual {
  std::string tipo;
  std::string numeroTraido;  // el documento en mano
  std::string numero;        // el número con que se graba; otro que el traído lo renumera
  std::string fecha;         // ISO "aaaa-mm-dd"
  std::vector<LineaDiario> lineas;
  std::array<std::int64_t, 5> ordenes{};  // op1..op5; 0 deja lo guardado
  std::string usuario;
  long long versionTraida = 0;    // versión guardada al traerlo
  bool encabezadoTraido = false;  // tenía encabezado al traerlo
  bool nuevoTraido = false;       // no tenía líneas ni encabezado al traerlo
  bool puedeModificar = true;     // permiso de modificar asientos guardados
};

// Promete: grabado solo si todas las reglas se cumplen sobre lo guardado dentro de la
// transacción; si no, nada cambió y los errores dicen por qué, con su campo: "lineas" (sin
// montos o descuadrado), "numero" (ocupado, también el de un documento traído nuevo que otro
// grabó entretanto; el siguiente libre en numeroLibre), "permiso" (sin
// permiso de modificar uno guardado) o "" (otro lo grabó después de traerlo). Un límite de los
// libros rehusado al confirmar llega como error con su código; otras fallas del motor de datos
// se lanzan (nada quedó escrito).
Resultado GrabarDocumentoManual(const std::string& baseDatos, const DocumentoManual& d);

}  // namespace tv::motor
