#pragma once
// Motor del registro presupuestal: compromete parte de un certificado con un tercero y puede
// colgar de una orden de servicio o de suministro. Promete, en una sola transacción de escritura:
// - un registro nuevo nunca reescribe uno guardado: con su número tomado se rechaza y propone
//   el siguiente libre;
// - uno traído se graba solo si nadie lo grabó después de traerlo (su versión);
// - el certificado existe y lo que aumenta el registro cabe en lo que el certificado tiene sin
//   comprometer;
// - la orden que nombra existe; la que tenía lo suelta al pasar a otra, y la nueva lo toma.
// Los límites de los libros se revisan además al confirmar, sobre todas las claves tocadas.
#include <cstdint>
#include <string>

#include "budget/motor/Libros.h"

namespace tv::motor {

enum class TipoOrden { Servicio = 0, Suministro = 1, Descrito = 2 };

struct RegistroPptal {
  std::int64_t irp = 0;
  std::int64_t icd = 0;
  std::string fechaExped;  // ISO "2026-03-05"
  std::string fechaVenc;
  std::string tercero;
  std::int64_t valor = 0;  // centavos
  std::int64_t func = 0;
  std::int64_t inv = 0;
  std::string vigFiscal;
  std::string objetoGasto;
  std::string docAsociado;
  TipoOrden tipoOrden = TipoOrden::Descrito;
  std::int64_t orden = 0;  // número de la orden con tipo Servicio o Suministro
};

// Lo que el formulario trajo: nada para un registro nuevo.
struct RegistroTraido {
  bool nuevo = true;
  long long version = 0;  // VersionDoc("RP", irp) al traerlo
  TipoOrden tipoOrden = TipoOrden::Descrito;
  std::int64_t orden = 0;  // orden que tenía (0 ninguna)
};

// Campos de los errores: "irp", "icd", "valor", "tercero", "orden", "version", "limite", "numero".
Resultado GrabarRegistro(const RegistroPptal& registro, const RegistroTraido& traido);

// Lo que el registro guardado tiene y que el formulario muestra al traerlo.
struct RegistroGuardado {
  bool existe = false;
  long long version = 0;
};
RegistroGuardado LeerVersionRegistro(std::int64_t irp);

}  // namespace tv::motor
