#include "Entorno.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdint>

#include "platform/core/SysUtils.h"
#include "platform/os/Process.h"
#include "platform/os/Regional.h"
#include "support/Separadores.h"

namespace prueba {

std::string LeerBytes(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

void EscribirBytes(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream f(p, std::ios::binary);
  f << bytes;
}

namespace {
uint32_t Le(const std::string& b, size_t p, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[p + i]);
  return v;
}

// inflate de la zlib ya cargada por la biblioteca de hojas de cálculo.
std::string Inflar(const std::string& datos, size_t tamano) {
  void* z = ::dlopen("libz.so.1", RTLD_NOW);
  if (!z) return "";
  using InitFn = int (*)(z_stream*, int, const char*, int);
  using InflateFn = int (*)(z_stream*, int);
  auto init = reinterpret_cast<InitFn>(::dlsym(z, "inflateInit2_"));
  auto inflar = reinterpret_cast<InflateFn>(::dlsym(z, "inflate"));
  auto fin = reinterpret_cast<int (*)(z_stream*)>(::dlsym(z, "inflateEnd"));
  std::string salida(tamano, '\0');
  z_stream st{};
  st.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(datos.data()));
  st.avail_in = static_cast<uInt>(datos.size());
  st.next_out = reinterpret_cast<Bytef*>(salida.data());
  st.avail_out = static_cast<uInt>(salida.size());
  init(&st, -15, ZLIB_VERSION, static_cast<int>(sizeof(z_stream)));
  inflar(&st, Z_FINISH);
  fin(&st);
  return salida;
}
}  // namespace

std::string EntradaZip(const std::filesystem::path& zip, const std::string& nombre) {
  std::string b = LeerBytes(zip);
  size_t fin = b.rfind(std::string("PK\x05\x06", 4));
  if (fin == std::string::npos) return "";
  size_t p = Le(b, fin + 16, 4);
  int entradas = static_cast<int>(Le(b, fin + 10, 2));
  for (int e = 0; e < entradas; ++e) {
    uint32_t metodo = Le(b, p + 10, 2), comprimido = Le(b, p + 20, 4), tamano = Le(b, p + 24, 4);
    uint32_t nlen = Le(b, p + 28, 2), xlen = Le(b, p + 30, 2), clen = Le(b, p + 32, 2);
    uint32_t local = Le(b, p + 42, 4);
    if (b.compare(p + 46, nlen, nombre) == 0) {
      size_t datos = local + 30 + Le(b, local + 26, 2) + Le(b, local + 28, 2);
      std::string crudo = b.substr(datos, comprimido);
      return metodo == 0 ? crudo : Inflar(crudo, tamano);
    }
    p += 46 + nlen + xlen + clen;
  }
  return "";
}

namespace {
// Ninguna prueba lee la configuración regional del usuario que corre las pruebas.
class ConfiguracionAislada : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string ruta = "/tmp/tv_shared_cfg_" + std::to_string(::getpid());
    ::setenv("TALLIVAR_CONFIG_DIR", ruta.c_str(), 1);
  }
};
[[maybe_unused]] ::testing::Environment* const entorno =
    ::testing::AddGlobalTestEnvironment(new ConfiguracionAislada);
}  // namespace

void CarpetaTemporal::SetUp() {
  char plantilla[] = "/tmp/tv_shared_XXXXXX";
  dir = ::mkdtemp(plantilla);
  anterior_ = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  ::setenv("TALLIVAR_CONFIG_DIR", (dir / "config").c_str(), 1);
  ResetFormatSettings();
  SeparadoresDePrueba();
  tv::os::SetUserListSeparator(";");
  tv::os::ApplyRegionalSettings();
  tv::os::SetProgramDirForTests(dir.string());
}

void CarpetaTemporal::TearDown() {
  tv::os::SetProgramDirForTests("");
  std::filesystem::current_path(anterior_);
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

}  // namespace prueba
