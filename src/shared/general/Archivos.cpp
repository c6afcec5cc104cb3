// Copias de archivos, existencia de archivos y carpetas, y lista de municipios.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/core/SysUtils.h"
#include "platform/forms/Dialogs.h"
#include "platform/os/Files.h"
#include "shared/general/MyException.h"
#include "shared/general/Utiles.h"

namespace fs = std::filesystem;

namespace {

// Rutas que cumplen un patrón con comodines en el nombre (carpeta + máscara).
std::vector<std::string> Coincidencias(const char* patron) {
  fs::path p(patron);
  std::string carpeta = p.parent_path().string();
  std::vector<std::string> r;
  for (const AnsiString& nombre :
       tv::os::ListFolder(carpeta.empty() ? "." : carpeta, p.filename().string(), tv::os::EntryKind::Any))
    r.push_back(carpeta.empty() ? nombre.str() : carpeta + "/" + nombre.str());
  return r;
}

bool EsArchivoSimple(const std::string& ruta) {
  struct stat st{};
  return ::stat(ruta.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

bool ExisteArchivo(const char* aFile, int aTipo) {
  for (const std::string& ruta : Coincidencias(aFile))
    if (aTipo != 0 || EsArchivoSimple(ruta)) return true;
  return false;
}

bool ExisteDirectorio(const char* aDirectorio) {
  struct stat st{};
  return ::stat(aDirectorio, &st) == 0;
}

void CopiarFile(const std::string& aFileIn, const std::string& aFileOut) {
  std::FILE* in = std::fopen(aFileIn.c_str(), "rb");
  if (!in)
    throw MyException("En el origen, error abriendo " + aFileIn + ":\n" + std::strerror(errno), 0,
                      "", "");
  // Se copia aparte y se renombra al final: una copia fallida no deja el destino a medias
  // ni borra el que había.
  std::string temporal = aFileOut + ".tmp~";
  std::FILE* out = std::fopen(temporal.c_str(), "wb");
  if (!out) {
    int e = errno;
    std::fclose(in);
    throw MyException("En el destino, error abriendo " + aFileOut + ":\n" + std::strerror(e), 0,
                      "", "");
  }
  // Los errores de lectura, escritura y cierre también se informan: una copia a medias
  // no puede pasar por buena.
  char buf[512];
  std::string error;
  for (;;) {
    size_t leidos = std::fread(buf, 1, sizeof buf, in);
    if (leidos < sizeof buf && std::ferror(in)) {
      error = "En el origen, error leyendo " + aFileIn + ":\n" + std::strerror(errno);
      break;
    }
    if (leidos > 0 && std::fwrite(buf, 1, leidos, out) != leidos) {
      error = "En el destino, error escribiendo " + aFileOut + ":\n" + std::strerror(errno);
      break;
    }
    if (leidos < sizeof buf) break;
  }
  std::fclose(in);
  if (std::fclose(out) != 0 && error.empty())
    error = "En el destino, error cerrando " + aFileOut + ":\n" + std::strerror(errno);
  if (error.empty() && std::rename(temporal.c_str(), aFileOut.c_str()) != 0)
    error = "En el destino, error escribiendo " + aFileOut + ":\n" + std::strerror(errno);
  if (!error.empty()) {
    std::remove(temporal.c_str());
    throw MyException(error, 0, "", "");
  }
}

void CopiarFileWin(const char* aSource, const char* aDest) {
  std::error_code ec;
  fs::copy_file(aSource, aDest, fs::copy_options::overwrite_existing, ec);
  if (ec) throw MyException(ec.message() + "\n" + " " + aSource, 0, "", "");
}

int CopiarFiles(const char* origen, const char* destino) {
  if (!ExisteDirectorio(destino)) {
    if (::mkdir(destino, 0777) != 0) {
      ShowMessage(AnsiString("Error creando directorio destino: ") + destino + " " +
                  std::strerror(errno));
      return -1;
    }
  }
  std::vector<std::string> archivos;
  for (const std::string& ruta : Coincidencias(origen))
    if (EsArchivoSimple(ruta)) archivos.push_back(ruta);
  if (archivos.empty()) {
    ShowMessage(AnsiString("Error en la ruta origen:") + origen + std::strerror(ENOENT));
    return -1;
  }
  std::string carpetaOrigen = fs::path(origen).parent_path().string();
  for (const std::string& ruta : archivos) {
    std::string nombre = fs::path(ruta).filename().string();
    std::string fuente = carpetaOrigen.empty() ? nombre : carpetaOrigen + "/" + nombre;
    try {
      CopiarFile(fuente, std::string(destino) + "/" + nombre);
    } catch (MyException& e) {
      ShowMessage(e.Mensaje());
      return -1;
    }
  }
  return 0;
}

void getMunicipios(const AnsiString& aDpto, TStringList* aMpios) {
  TStringList lineas;
  lineas.LoadFromFile(GetExeDir() + "/codigosMunicipios.txt");
  for (int i = 0; i < lineas.Count(); ++i) {
    const AnsiString& linea = lineas[i];
    if (linea.SubString(5, 2) != aDpto) continue;
    const std::string& s = linea.str();
    size_t c1 = s.find(',');
    if (c1 == std::string::npos) continue;
    size_t c2 = s.find(',', c1 + 1);
    std::string nombre = s.substr(c1 + 1, c2 == std::string::npos ? std::string::npos : c2 - c1 - 1);
    aMpios->Add(linea.SubString(1, 3) + AnsiString(nombre));
  }
}
