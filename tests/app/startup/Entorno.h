#pragma once
// Entorno de las pruebas del arranque: una instalación nueva en una carpeta temporal, la
// configuración regional y el candado de una sola copia propios de la prueba, y el
// conductor sin ventanas que hace de usuario.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/forms/Headless.h"

namespace arranque {

namespace fs = std::filesystem;

class Entorno : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // SQL directo sobre la base de una carpeta (datos de prueba y comprobaciones).
  static void Sql(const fs::path& carpeta, const std::string& sql);
  static std::optional<std::string> Valor(const fs::path& carpeta, const std::string& sql);
  static int Cuenta(const fs::path& carpeta, const std::string& sql);
  static std::string Leer(const fs::path& archivo);
  static std::string Ini(const fs::path& archivo, const char* clave);

  // Deja el proceso como recién iniciado para otra corrida del programa.
  void NuevaCorrida();
  // Guiones de los pasos del arranque.
  void Presentacion();
  void Escoger(int fila = 0);
  tv::forms::Script& Entrar(const std::string& usuario, const std::string& clave);
  // Usuario de la contabilidad inicial con clave cifrada y derechos dados.
  void CrearUsuario(const std::string& login, const std::string& clave, bool modificar = true,
                    bool grabar = true, bool borrar = true);
  // Arranque completo hasta la ventana principal (IniciarPrograma + ciclo); el guion de la
  // ventana principal la cierra cuando se da cerrar.
  bool Correr(bool cerrar = true);

  fs::path dir, prog, libros, config;
  std::unique_ptr<tv::forms::HeadlessDriver> ui;

 private:
  fs::path cwd_;
};

}  // namespace arranque
