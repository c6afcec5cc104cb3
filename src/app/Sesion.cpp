#include "app/Sesion.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/CfgOV.h"
#include "platform/core/IniFiles.h"
#include "platform/forms/Dialogs.h"
#include "platform/os/Files.h"
#include "platform/os/UseLock.h"

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
bool avisoAjustesDado = false;

namespace {

std::string SinBarraFinal(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

}  // namespace

AnsiString RutaDelPrograma(const AnsiString& ruta) {
  namespace fs = std::filesystem;
  if (ruta.IsEmpty()) return ruta;
  fs::path p(ruta.str());
  if (p.is_relative()) {
    if (PathOrigen.IsEmpty()) return SinBarraFinal(ExpandFileName(ruta).str());
    p = fs::path(PathOrigen.str()) / p;
  }
  return SinBarraFinal(p.lexically_normal().string());
}

AnsiString RutaParaGuardar(const AnsiString& ruta) {
  namespace fs = std::filesystem;
  if (ruta.IsEmpty() || PathOrigen.IsEmpty()) return ruta;
  fs::path p(ruta.str());
  if (p.is_relative()) return ruta;
  fs::path base(SinBarraFinal(fs::path(PathOrigen.str()).lexically_normal().string()));
  fs::path rel = p.lexically_normal().lexically_relative(base);
  // Fuera de la carpeta del programa (o la carpeta misma) queda como está.
  if (rel.empty() || rel == "." || *rel.begin() == "..") return ruta;
  return SinBarraFinal(rel.string());
}

AnsiString ArchivoIniSesion() {
  TcfgOV cfg;
  return (cfg.getUsoPropio() ? PathOrigen : PathCont) + "/data.ini";
}

void GuardarAjustes(const AnsiString& archivo, const std::function<void(TIniFile&)>& escribir) {
  try {
    TIniFile ini(archivo);
    escribir(ini);
  } catch (EFCreateError&) {
    if (avisoAjustesDado) return;
    avisoAjustesDado = true;
    ShowMessage("No se puede escribir el archivo " + archivo +
                ": el programa sigue, pero sus ajustes (periodo de los informes, títulos, preferencias) no se "
                "guardarán.");
  }
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

namespace {
AnsiString RutaUsoMarca() { return PathOrigen + "/marca.uso"; }
void BorrarArchivoMarca(void*) { DeleteFile(RutaMarca()); }
}  // namespace

void BorrarMarca() {
  if (tv::os::HoldsUse(RutaUsoMarca()))
    tv::os::EndUse(RutaUsoMarca(), &BorrarArchivoMarca, nullptr);
  else
    BorrarArchivoMarca(nullptr);
}

bool UsarMarcaSolo() { return tv::os::TakeSoleUse(RutaUsoMarca()); }

void CompartirMarca() { tv::os::ShareUse(RutaUsoMarca()); }
