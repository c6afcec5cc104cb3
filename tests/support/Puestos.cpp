#include "support/Puestos.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "support/Instalacion.h"
#include "support/SelfProcess.h"

namespace fs = std::filesystem;

namespace prueba {

bool Puesto::Encuentro(const std::string& paso) const {
  Marcar(Mio(paso));
  return Esperar(DelOtro(paso));
}

bool Puesto::AbrirLibros() const { return admin::AbrirContabilidad(dir, libros); }

pid_t ArrancarPuesto(const std::string& prueba, const Puesto& puesto, const std::vector<std::string>& variables) {
  std::vector<std::string> todas = {"TV_PUESTO_DIR=" + puesto.dir, "TV_PUESTO_LIBROS=" + puesto.libros,
                                    "TV_PUESTO_CITA=" + puesto.cita, "TV_PUESTO=" + std::to_string(puesto.numero)};
  todas.insert(todas.end(), variables.begin(), variables.end());
  return tv::testing::StartSelf(prueba, todas);
}

bool TerminaBien(pid_t pid) { return tv::testing::WaitExit(pid) == 0; }

bool DosPuestos(const std::string& prueba, const Puesto& puestos, const std::vector<std::string>& variables) {
  fs::create_directories(puestos.cita);
  pid_t pids[2];
  for (int n = 1; n <= 2; ++n) {
    Puesto p = puestos;
    p.numero = n;
    pids[n - 1] = ArrancarPuesto(prueba, p, variables);
  }
  bool bien = TerminaBien(pids[0]);
  return TerminaBien(pids[1]) && bien;
}

std::optional<Puesto> EstePuesto() {
  const char* dir = std::getenv("TV_PUESTO_DIR");
  if (!dir) return std::nullopt;
  return Puesto{dir, Variable("TV_PUESTO_LIBROS"), Variable("TV_PUESTO_CITA"), std::atoi(Variable("TV_PUESTO").c_str())};
}

std::string Variable(const char* nombre) {
  const char* v = std::getenv(nombre);
  return v ? v : "";
}

bool Esperar(const std::string& archivo) {
  auto limite = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  while (!fs::exists(archivo) && std::chrono::steady_clock::now() < limite)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return fs::exists(archivo);
}

void Marcar(const std::string& archivo, const std::string& texto) {
  std::ofstream(archivo + ".tmp") << texto;
  fs::rename(archivo + ".tmp", archivo);
}

std::string LeerTexto(const std::string& archivo) {
  std::ifstream f(archivo);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

}  // namespace prueba
