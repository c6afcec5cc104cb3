#pragma once
// Lo que comparten los motores de los documentos del presupuesto: el resultado de una
// grabación (lo grabado o los errores, cada uno con su campo), los montos en centavos y las
// sentencias con parámetros sobre la contabilidad abierta, dentro de una transacción de
// escritura cuyo cierre revisa los límites de los libros.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/db/Engine.h"
#include "shared/motor/Centavos.h"
#include "shared/motor/Resultado.h"

namespace tv::motor {

double PesosDe(std::int64_t centavos);
// Un número de documento como se guarda en una columna numérica.
tv::db::Cell NumeroCelda(std::int64_t numero);
tv::db::Cell MontoCelda(std::int64_t centavos);
tv::db::Cell TextoCelda(const std::string& texto);  // vacío = nulo, como guarda la tabla

// Sentencias con parámetros ("?") sobre la contabilidad abierta.
class Libros {
 public:
  Libros();
  int Ejecutar(const std::string& sql, std::initializer_list<tv::db::Cell> p = {});
  int Ejecutar(const std::string& sql, const std::vector<tv::db::Cell>& p);
  // Primera columna de la primera fila; nula sin filas.
  tv::db::Cell Valor(const std::string& sql, std::initializer_list<tv::db::Cell> p = {});
  // Una suma o un monto en pesos, en centavos (nulo = 0).
  std::int64_t Centavos(const std::string& sql, std::initializer_list<tv::db::Cell> p = {});
  bool Existe(const std::string& sql, std::initializer_list<tv::db::Cell> p = {});
  // Versión guardada de un documento (VersionDoc) dentro de la transacción.
  long long Version(const std::string& clase, std::int64_t numero);
  tv::db::Connection& Conexion() { return *conn_; }

 private:
  std::shared_ptr<tv::db::Connection> conn_;
  template <class Celdas>
  tv::db::Stmt Preparar(const std::string& sql, const Celdas& p);
  template <class Celdas>
  int EjecutarCon(const std::string& sql, const Celdas& p);
};

// Corre `escribir` en una transacción de escritura tomada al empezar. Con errores en el resultado
// la deshace; sin ellos la confirma. Un límite de los libros que la confirmación rechaza vuelve
// como error del campo "limite" con sus frases. Otra falla de la base se lanza como
// EDBEngineError (el número de un documento se revisa dentro de la transacción, que ya tiene el
// candado de escritura: ningún otro puesto lo toma entre la revisión y la escritura).
Resultado EnTransaccion(const std::function<void(Libros&, Resultado&)>& escribir);

}  // namespace tv::motor
