#include "app/Sesion.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/CfgOV.h"
#include "platform/os/Files.h"

AnsiString PathOrigen;
AnsiString PathCont;
AnsiString NContabilidad;
unsigned short anioGlobal = 0;
AnsiString Login;
GFechas FechasInf;
AnsiString objetoGasto;
unsigned short mesGlobal = 0;
bool abortar = false;
const float baseRound = 0.5f;
bool marcaDeEstaCorrida = false;

AnsiString ArchivoIniSesion() {
  TcfgOV cfg;
  return (cfg.getUsoPropio() ? PathOrigen : PathCont) + "/data.ini";
}

AnsiString RutaMarca() { return PathOrigen + "/marca"; }

bool ExisteMarca() { return FileExists(RutaMarca()); }

AnsiString CarpetaDeMarca() {
  std::ifstream in(RutaMarca().str(), std::ios::binary);
  if (!in) return AnsiString();
  std::ostringstream s;
  s << in.rdbuf();
  std::string texto = s.str();
  while (!texto.empty() && (texto.back() == '\n' || texto.back() == '\r')) texto.pop_back();
  return AnsiString(texto);
}

bool EscribirMarca(const AnsiString& carpeta) {
  // Se escribe aparte y se renombra encima, para que nunca quede una marca a medias.
  std::string tmp = RutaMarca().str() + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out << carpeta.str() << "\n";
    out.flush();
    if (!out) {
      DeleteFile(AnsiString(tmp));
      return false;
    }
  }
  if (std::rename(tmp.c_str(), RutaMarca().c_str()) != 0) {
    DeleteFile(AnsiString(tmp));
    return false;
  }
  return true;
}

void BorrarMarca() { DeleteFile(RutaMarca()); }
