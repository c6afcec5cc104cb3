#pragma once
// Instalación nueva en una carpeta temporal, con la contabilidad inicial abierta por el
// módulo de datos y el manejador sin ventanas para guiar los formularios.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/DataModule.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Headless.h"

namespace admin {

// Abre en este proceso la carpeta del programa y la contabilidad inicial de `libros` como al
// entrar el administrador: los separadores guardados, la sesión y el módulo de datos (DM).
// Verdadero cuando las tablas abrieron.
bool AbrirContabilidad(const std::string& dir, const std::string& libros);
void CerrarContabilidad();

class Instalacion : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Crea otra contabilidad (copia de la inicial) en la lista de contabilidades.
  std::string OtraContabilidad(const std::string& nombre, int anio, const std::string& activa = "S");
  // Ejecuta una sentencia y devuelve la primera columna de la primera fila ("" sin filas,
  // "<null>" cuando es nula).
  std::string Valor(const std::string& baseDatos, const std::string& sql);
  void Ejecutar(const std::string& baseDatos, const std::string& sql);

  std::unique_ptr<tv::forms::HeadlessDriver> ui;
  std::string dir;     // carpeta del programa
  std::string libros;  // carpeta de la contabilidad inicial

 private:
  std::filesystem::path anterior_;
};

}  // namespace admin
