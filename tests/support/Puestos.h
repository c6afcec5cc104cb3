#pragma once
// Puestos de trabajo sobre los mismos libros: cada puesto es otro proceso, este mismo binario
// con solo la prueba que hace de puesto, sobre la instalación de la prueba que lo arranca. Los
// puestos se citan por archivos en una carpeta: cada uno deja el suyo al llegar a un paso y
// espera el del otro.
#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace prueba {

// Lo que un puesto recibe de la prueba que lo arranca.
struct Puesto {
  std::string dir;     // carpeta del programa
  std::string libros;  // carpeta de la contabilidad
  std::string cita;    // carpeta de la cita ("" sin cita)
  int numero = 0;      // 1 o 2 entre dos puestos; 0 para uno solo

  // Un archivo de la cita.
  std::string Archivo(const std::string& nombre) const { return cita + "/" + nombre; }
  // El archivo de la cita de este puesto ("mensaje" es "mensaje-1" en el puesto 1) y el del otro.
  std::string Mio(const std::string& nombre) const { return Archivo(nombre + "-" + std::to_string(numero)); }
  std::string DelOtro(const std::string& nombre) const { return Archivo(nombre + "-" + std::to_string(3 - numero)); }
  // Llega a un paso y espera al otro puesto en el mismo paso.
  bool Encuentro(const std::string& paso) const;
  // Abre en este proceso la instalación y los libros (ver admin::AbrirContabilidad).
  bool AbrirLibros() const;
};

// ---- Del lado de la prueba ----

// Arranca un puesto con la prueba `prueba` ("Grupo.Nombre") de este binario; `variables`
// ("NOMBRE=valor") son las propias de esa prueba. Devuelve su pid (-1 si no arrancó).
pid_t ArrancarPuesto(const std::string& prueba, const Puesto& puesto, const std::vector<std::string>& variables = {});
// Espera el fin de un puesto: verdadero cuando terminó bien.
bool TerminaBien(pid_t pid);
// Arranca a la vez los puestos 1 y 2 con la misma cita (creada aquí) y espera a los dos;
// verdadero cuando los dos terminaron bien.
bool DosPuestos(const std::string& prueba, const Puesto& puestos, const std::vector<std::string>& variables = {});

// ---- Del lado del puesto ----

// El puesto que esta prueba es; nada cuando corre sola y no como puesto de otra.
std::optional<Puesto> EstePuesto();
// Una variable propia de la prueba del puesto ("" cuando falta).
std::string Variable(const char* nombre);

// ---- La cita ----

// Espera a que exista un archivo de la cita (plazo holgado para una máquina cargada).
bool Esperar(const std::string& archivo);
// Deja un archivo de la cita con su texto, entero de una vez.
void Marcar(const std::string& archivo, const std::string& texto = "listo");
// El texto de un archivo de la cita ("" cuando no existe).
std::string LeerTexto(const std::string& archivo);

}  // namespace prueba
