#include <regex>

#include "Entorno.h"
#include "shared/general/MyException.h"

using prueba::CarpetaTemporal;
using prueba::LeerBytes;

namespace {
class LogError : public CarpetaTemporal {};

// Registro esperado sin la fecha (que se verifica aparte).
std::string RestoRegistro(const std::string& msg) {
  return "Source: \r\nMensaje: " + msg + "\r\nC\xF3" "digo: 0\r\nUsuario: \r\n" + std::string(1, '\0') +
         "\r\n";
}
}  // namespace

TEST_F(LogError, UnRegistroConBytesExactos) {
  MyException e("Error abriendo el archivo: x.txt", 0, "", "");
  std::string log = LeerBytes(dir / "LogError.txt");
  std::regex fecha(
      "^Fecha: (Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
      "[ 1-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}\r\n");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(log, m, fecha)) << log;
  EXPECT_EQ(m.length(0), 7 + 24 + 2);
  EXPECT_EQ(log.substr(m.length(0)), RestoRegistro("Error abriendo el archivo: x.txt"));
}

TEST_F(LogError, DosExcepcionesDosRegistrosYCopiasSinRegistro) {
  {
    MyException a(std::string("primera"), 0, "", "");
    MyException copia(a);
    MyException otra("segunda");
    otra = a;
    try {
      throw a;
    } catch (MyException& atrapada) {
      EXPECT_STREQ(atrapada.Mensaje(), "primera");
      EXPECT_STREQ(atrapada.what(), "primera");
    }
  }
  std::string log = LeerBytes(dir / "LogError.txt");
  size_t p1 = log.find("Mensaje: primera\r\n");
  size_t p2 = log.find("Mensaje: segunda\r\n");
  ASSERT_NE(p1, std::string::npos);
  ASSERT_NE(p2, std::string::npos);
  EXPECT_LT(p1, p2);
  EXPECT_EQ(log.find("Fecha: ", log.find("Fecha: ", log.find("Fecha: ") + 1) + 1), std::string::npos);
  EXPECT_EQ(log.substr(log.size() - 3), std::string("\0\r\n", 3));
}

TEST_F(LogError, TextosLargosSeCortanAlAnchoDelMiembro) {
  std::string largo(300, 'x');
  std::string usuario(150, 'u');
  std::string fuente(100, 's');
  MyException e(largo, 7, fuente.c_str(), usuario.c_str());
  EXPECT_EQ(std::string(e.Mensaje()), std::string(254, 'x'));
  EXPECT_EQ(std::string(e.Usuario), std::string(99, 'u'));
  EXPECT_EQ(std::string(e.Source), std::string(79, 's'));
  EXPECT_EQ(e.Codigo, 7);
  // Un acento cuenta como un carácter: el corte no parte la letra.
  MyException acentos(std::string(300, 'a') + "ó");
  EXPECT_EQ(std::string(acentos.Mensaje()).size(), 254u);
}

TEST_F(LogError, LogQueNoAbreNoRecursaNiRompe) {
  std::filesystem::create_directory(dir / "LogError.txt");  // una carpeta: fopen falla
  MyException e("sin registro");
  EXPECT_STREQ(e.Mensaje(), "sin registro");
  EXPECT_THROW(WriteToFile("LogError.txt", "x", true), MyException);
}

TEST_F(LogError, WriteToFileSinEspacioNoPasaPorGrabado) {
  try {
    WriteToFile("/dev/full", "texto", true);
    ADD_FAILURE() << "un disco lleno no puede grabar";
  } catch (MyException& e) {
    EXPECT_STREQ(e.Mensaje(), "Error escribiendo el archivo: /dev/full");
  }
}

TEST_F(LogError, WriteToFileReemplazaOAgregaEnWindows1252) {
  prueba::EscribirBytes(dir / "traza.txt", "contenido viejo");
  WriteToFile("traza.txt", "año\nfin", false);
  EXPECT_EQ(LeerBytes(dir / "traza.txt"), std::string("a\xF1o\r\nfin\0\r\n", 11));
  WriteToFile("traza.txt", "otra", true);
  EXPECT_EQ(LeerBytes(dir / "traza.txt"), std::string("a\xF1o\r\nfin\0\r\notra\0\r\n", 18));
}
