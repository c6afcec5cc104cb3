// Libros en una carpeta de red: mientras un computador los tiene abiertos, otro no entra a
// grabarlos y se le dice cuál los tiene. El otro computador es otro proceso con otro nombre.
#include <stdlib.h>

#include "support/Instalacion.h"
#include "support/Puestos.h"

using admin::Instalacion;

namespace {

TEST(OtroComputador, TieneAbiertosLosLibros) {
  auto p = prueba::EstePuesto();
  if (!p) GTEST_SKIP() << "solo como puesto de otra prueba";
  auto ui = std::make_unique<tv::forms::HeadlessDriver>();
  bool abiertos = p->AbrirLibros();
  prueba::Marcar(p->Archivo("abiertos"), abiertos ? "sí" : ui->messageTexts().str());
  prueba::Esperar(p->Archivo("listo"));
  admin::CerrarContabilidad();
}

TEST_F(Instalacion, LibrosEnRedAbiertosEnOtroComputadorNoSeAbrenYSeDiceCual) {
  admin::CerrarContabilidad();
  tv::db::ReleaseDatabase(libros.c_str());
  setenv("TALLIVAR_NETWORK_FOLDERS", libros.c_str(), 1);
  std::string cita = dir + "/cita";
  std::filesystem::create_directories(cita);
  pid_t otro = prueba::ArrancarPuesto("OtroComputador.TieneAbiertosLosLibros", {dir, libros, cita},
                                      {"TALLIVAR_COMPUTER_NAME=OFICINA2"});
  ASSERT_TRUE(prueba::Esperar(cita + "/abiertos"));
  EXPECT_EQ(prueba::LeerTexto(cita + "/abiertos"), "sí");
  EXPECT_FALSE(admin::AbrirContabilidad(dir, libros));
  ASSERT_EQ(ui->messages().size(), 1u) << ui->messageTexts().c_str();
  EXPECT_EQ(ui->lastMessage(),
            "Los libros están abiertos en el computador OFICINA2: en una carpeta de red solo un computador a la vez "
            "puede grabar.");
  admin::CerrarContabilidad();
  prueba::Marcar(cita + "/listo");
  EXPECT_TRUE(prueba::TerminaBien(otro));
  // Cerrados allá, este computador entra.
  ui = std::make_unique<tv::forms::HeadlessDriver>();
  EXPECT_TRUE(admin::AbrirContabilidad(dir, libros)) << ui->messageTexts().c_str();
  unsetenv("TALLIVAR_NETWORK_FOLDERS");
}

}  // namespace
