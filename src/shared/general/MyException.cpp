#include "shared/general/MyException.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>

#include "platform/core/Encoding.h"

namespace {

// Copia a lo sumo maxChars caracteres (UTF-8) sin partir un carácter.
void CopiarAcotado(char* dest, size_t destSize, const char* src, int maxChars) {
  std::string_view s = src ? src : "";
  size_t corte = tv::text::ByteOffset(s, maxChars);
  if (corte > s.size()) corte = s.size();
  if (corte >= destSize) corte = destSize - 1;
  std::memcpy(dest, s.data(), corte);
  dest[corte] = '\0';
}

// Texto de fecha de 24 caracteres como el de la biblioteca de C ("Wed Jun 30 21:49:08 1993").
std::string TextoFechaC() {
  static const char* kDias[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* kMeses[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::time_t t = std::time(nullptr);
  std::tm tmLocal{};
  localtime_r(&t, &tmLocal);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s %s %2d %02d:%02d:%02d %d", kDias[tmLocal.tm_wday],
                kMeses[tmLocal.tm_mon], tmLocal.tm_mday, tmLocal.tm_hour, tmLocal.tm_min,
                tmLocal.tm_sec, tmLocal.tm_year + 1900);
  return buf;
}

// Mientras se graba un registro no se registran las excepciones que nazcan de esa
// escritura: así un log que no abre no provoca recursión.
thread_local bool grabandoLog = false;

}  // namespace

void MyException::Asignar(const char* aMsg, int aCod, const char* aSrc, const char* aUsuario) {
  CopiarAcotado(Msg, sizeof Msg, aMsg, kMsgChars);
  Codigo = aCod;
  CopiarAcotado(Source, sizeof Source, aSrc, kSourceChars);
  CopiarAcotado(Usuario, sizeof Usuario, aUsuario, kUsuarioChars);
}

MyException::MyException(const char* aMsg, int aCod, const char* aSrc, const char* aUsuario)
    : std::runtime_error(aMsg ? aMsg : "") {
  Asignar(aMsg, aCod, aSrc, aUsuario);
  GrabarLog();
}

MyException::MyException(const std::string& aMsg, int aCod, const char* aSrc,
                         const char* aUsuario)
    : MyException(aMsg.c_str(), aCod, aSrc, aUsuario) {}

MyException::MyException(const AnsiString& aMsg, int aCod, const char* aSrc,
                         const char* aUsuario)
    : MyException(aMsg.c_str(), aCod, aSrc, aUsuario) {}

MyException::MyException(const MyException& other) : std::runtime_error(other) {
  std::memcpy(Msg, other.Msg, sizeof Msg);
  Codigo = other.Codigo;
  std::memcpy(Usuario, other.Usuario, sizeof Usuario);
  std::memcpy(Source, other.Source, sizeof Source);
}

MyException& MyException::operator=(const MyException& other) {
  if (this != &other) {
    std::runtime_error::operator=(other);
    std::memcpy(Msg, other.Msg, sizeof Msg);
    Codigo = other.Codigo;
    std::memcpy(Usuario, other.Usuario, sizeof Usuario);
    std::memcpy(Source, other.Source, sizeof Source);
  }
  return *this;
}

void MyException::GrabarLog() {
  if (grabandoLog) return;
  std::string registro = "Fecha: " + TextoFechaC() + "\n";
  registro += "Source: ";
  registro += Source;
  registro += "\nMensaje: ";
  registro += Msg;
  registro += "\nCódigo: " + std::to_string(Codigo) + "\n";
  registro += "Usuario: ";
  registro += Usuario;
  registro += "\n";
  grabandoLog = true;
  try {
    WriteToFile("LogError.txt", registro.c_str(), true);
  } catch (const std::exception& e) {
    // El registro se pierde; se avisa una sola vez por proceso.
    static bool avisado = false;
    if (!avisado) {
      avisado = true;
      std::cerr << "No se pudo grabar LogError.txt: " << e.what() << '\n';
    }
  }
  grabandoLog = false;
}

bool WriteToFile(const char* aFile, const char* aCad, bool add) {
  std::FILE* f = std::fopen(aFile, add ? "ab" : "wb");
  if (!f) throw MyException(std::string("Error abriendo el archivo: ") + aFile, 0, "", "");
  // Modo texto de Windows: cada "\n" se escribe como CR LF.
  std::string cp = tv::encoding::Utf8ToCp1252(aCad ? aCad : "");
  std::string salida;
  salida.reserve(cp.size() + 16);
  for (char c : cp) {
    if (c == '\n') salida += '\r';
    salida += c;
  }
  salida.push_back('\0');
  salida += "\r\n";
  // Un disco lleno no puede pasar por un texto grabado.
  bool ok = std::fwrite(salida.data(), 1, salida.size(), f) == salida.size();
  if (std::fflush(f) != 0) ok = false;
  if (std::fclose(f) != 0) ok = false;
  if (!ok) throw MyException(std::string("Error escribiendo el archivo: ") + aFile, 0, "", "");
  return true;
}
