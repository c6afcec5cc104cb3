#pragma once
// Motor de las órdenes de servicio y de suministro. Promete, en una sola transacción de
// escritura:
// - una orden nueva (o una traída que cambia de número) nunca reescribe otra guardada: con su
//   número tomado se rechaza y propone el siguiente libre;
// - una traída se graba solo si nadie la grabó después de traerla (su versión);
// - el registro presupuestal al que pertenece está grabado: una orden nunca queda colgada de un
//   número de registro que aún no existe;
// - la de suministro guarda sus renglones y su total con el encabezado, o nada.
#include <cstdint>
#include <string>
#include <vector>

#include "budget/motor/Libros.h"

namespace tv::motor {

// Lo que el formulario trajo: nada para una orden nueva.
struct OrdenTraida {
  bool nueva = true;
  std::int64_t numero = 0;  // el número con que se trajo
  long long version = 0;    // su versión al traerla
  std::int64_t irp = 0;     // el registro que tenía (0 ninguno)
};

struct OrdenServicio {
  std::int64_t numero = 0;
  std::string fecha;  // ISO
  std::string tercero;
  std::string descripcion;
  std::int64_t irp = 0;    // 0: sin registro
  std::int64_t valor = 0;  // centavos
};

struct RenglonSuministro {
  std::string articulo;
  double cantidad = 0;
  std::int64_t valorUnit = 0;  // centavos
};

struct OrdenSuministro {
  std::int64_t numero = 0;
  std::string fecha;  // ISO
  std::string tercero;
  std::string detalle;
  std::int64_t irp = 0;
  std::vector<RenglonSuministro> renglones;
};

// Campos de los errores: "numero", "tercero", "valor", "renglones", "irp", "version", "limite".
Resultado GrabarOrdenServicio(const OrdenServicio& orden, const OrdenTraida& traida);
Resultado GrabarOrdenSuministro(const OrdenSuministro& orden, const OrdenTraida& traida);

// La versión guardada de la orden ("OS" servicio, "SU" suministro) para traerla.
long long VersionOrden(const std::string& clase, std::int64_t numero);
// El total de los renglones en centavos: cada renglón redondeado al centavo.
std::int64_t TotalSuministro(const std::vector<RenglonSuministro>& renglones);

}  // namespace tv::motor
