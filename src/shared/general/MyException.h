#pragma once
// Excepción propia del programa; cada construcción (salvo la copia) deja un registro
// en "LogError.txt" de la carpeta de trabajo.
#include <stdexcept>
#include <string>

#include "platform/core/AnsiString.h"

class MyException : public std::runtime_error {
 public:
  // Anchos en caracteres de los miembros (sin contar el NUL final).
  static constexpr int kMsgChars = 254;
  static constexpr int kUsuarioChars = 99;
  static constexpr int kSourceChars = 79;

  MyException(const char* aMsg, int aCod = 0, const char* aSrc = "", const char* aUsuario = "");
  MyException(const std::string& aMsg, int aCod = 0, const char* aSrc = "",
              const char* aUsuario = "");
  MyException(const AnsiString& aMsg, int aCod = 0, const char* aSrc = "",
              const char* aUsuario = "");
  MyException(const MyException& other);
  MyException& operator=(const MyException& other);
  ~MyException() override = default;

  char* Mensaje() { return Msg; }
  const char* Mensaje() const { return Msg; }
  void GrabarLog();

  // Los textos se guardan en UTF-8: cada carácter ocupa hasta 4 bytes.
  char Msg[kMsgChars * 4 + 1] = {};
  int Codigo = 0;
  char Usuario[kUsuarioChars * 4 + 1] = {};
  char Source[kSourceChars * 4 + 1] = {};

 private:
  void Asignar(const char* aMsg, int aCod, const char* aSrc, const char* aUsuario);
};

// Escribe el texto, un byte NUL y un fin de línea (CR LF) en el archivo, en Windows-1252.
// Con add agrega al final; sin add reemplaza el contenido. Lanza MyException si no abre.
bool WriteToFile(const char* aFile, const char* aCad, bool add);
