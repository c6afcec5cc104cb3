#pragma once
// Entorno común de las pruebas de la biblioteca compartida: carpeta temporal de trabajo
// y configuración regional propia de la prueba.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace prueba {

std::string LeerBytes(const std::filesystem::path& p);
void EscribirBytes(const std::filesystem::path& p, const std::string& bytes);
// Contenido de una entrada de un archivo zip (un libro .xlsx); "" cuando no está.
std::string EntradaZip(const std::filesystem::path& zip, const std::string& nombre);

// Carpeta temporal que es la carpeta de trabajo y la del programa mientras dura la prueba;
// separadores "." decimal y "," de miles, lista ";".
class CarpetaTemporal : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::filesystem::path dir;

 private:
  std::filesystem::path anterior_;
};

}  // namespace prueba
