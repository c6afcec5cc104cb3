#pragma once
// Contabilidad pequeña para las consultas: plan y terceros propios, movimiento vacío que
// cada prueba llena con las líneas que muestran el caso.
#include <string>
#include <vector>

#include "support/Instalacion.h"

class TDBGrid;
class TForm;

namespace consultas {

struct Linea {
  std::string cuenta;
  std::string tercero;   // "" = sin tercero (nulo)
  std::string fecha;     // "AAAA-MM-DD"; "" = sin fecha
  std::string debito;    // "" = nulo
  std::string credito;   // "" = nulo
  std::string doc = "CE";
  std::string numero = "1";
  std::string sop = "";
  std::string numSop = "";
  std::string detalle = "";
};

class LibrosConsultas : public admin::Instalacion {
 protected:
  void SetUp() override;
  void Agregar(const std::vector<Linea>& lineas);
  void Encabezado(const std::string& doc, const std::string& numero, const std::string& fecha,
                  const std::string& descuadre = "0");
  // Textos de la rejilla, fila por fila.
  static std::vector<std::vector<std::string>> Filas(TDBGrid* grid);
  static std::string Columna(TDBGrid* grid, int col);  // valores de una columna unidos por "|"
  // Textos como los pinta la rejilla (con sus eventos de dibujo), unidos por "|".
  static std::string Pintada(TDBGrid* grid, int col);
  // Texto de las páginas del último informe mostrado o impreso.
  static std::string TextoInforme();
  static int PaginasInforme();
  void Periodo(TForm& f, const char* desde, const char* hasta);
};

}  // namespace consultas
