// Deja lista la carpeta del programa: tablas, data.ini, municipios, imágenes y la
// contabilidad inicial. Solo agrega lo que falta.
#include <exception>
#include <iostream>

#include "app/schema/Schema.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "uso: tallivar-instalar <carpeta del programa>\n";
    return 2;
  }
  try {
    tv::schema::InstallProgramFolder(argv[1]);
  } catch (const std::exception& e) {
    std::cerr << "tallivar-instalar: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
