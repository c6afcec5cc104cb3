#pragma once
// Contabilidad pequeña para los maestros: un plan corto, unos terceros y líneas de
// movimiento escritas directamente en la base.
#include <string>

#include "support/Instalacion.h"

namespace maestros {

struct Linea {
  std::string cuenta;
  std::string fecha;  // aaaa-mm-dd
  double debito = 0;
  double credito = 0;
  std::string cantidad = "NULL";  // texto SQL
  std::string centcost{};
  std::string tercero{};
  std::string docu = "CE";
  std::string numero = "1";
  std::string comp{};
};

class Maestros : public admin::Instalacion {
 protected:
  void SetUp() override;
  // Plan: 1, 11, 1105, 110505, 110510, 1110, 111005, 4, 41, 4105, 410505.
  void PlanCorto();
  void Agregar(const Linea& l);
  void Tercero(const std::string& id, const std::string& nombre);
  // Vuelve a leer las tablas del módulo de datos tras escribir por fuera.
  void Refrescar();
  std::string Sql(const std::string& sql) { return Valor(libros, sql); }
};

}  // namespace maestros
