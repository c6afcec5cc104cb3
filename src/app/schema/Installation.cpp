// Instalación de la carpeta del programa y de la contabilidad inicial. Solo crea lo que
// falta, así que volver a correrla nunca borra datos del usuario.
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/schema/Schema.h"
#include "app/schema/Versiones.h"
#include "platform/core/Encoding.h"
#include "platform/db/Engine.h"
#include "platform/db/Storage.h"

namespace tv::schema::seed {
extern const std::string_view codigosMunicipios_txt;
extern const std::string_view semilla_plan_cuentas_csv;
extern const std::string_view semilla_rubros_csv;
extern const std::string_view semilla_tipos_documento_csv;
extern const std::string_view semilla_tipos_soporte_csv;
}  // namespace tv::schema::seed

namespace tv::schema {

namespace {

namespace fs = std::filesystem;
using Row = std::vector<std::optional<std::string>>;

class Db {
 public:
  explicit Db(const std::string& folder) {
    std::string path = (fs::path(folder) / tv::db::kDatabaseFileName).string();
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) {
      std::string msg = db_ ? sqlite3_errmsg(db_) : "sin memoria";
      sqlite3_close(db_);
      throw std::runtime_error("No se pudo abrir " + path + ": " + msg);
    }
  }
  ~Db() { sqlite3_close(db_); }
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;
  sqlite3* get() const { return db_; }

  void Exec(const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &err) != SQLITE_OK) {
      std::string msg = err ? err : "error de SQLite";
      sqlite3_free(err);
      throw std::runtime_error(msg);
    }
  }

  // Inserta filas; un texto vacío o ausente queda nulo, como en el motor.
  void Insert(const std::string& table, const std::vector<std::string>& cols,
              const std::vector<Row>& rows) {
    std::string sql = "INSERT INTO \"" + table + "\" (";
    std::string marks;
    for (size_t i = 0; i < cols.size(); ++i) {
      sql += (i ? ", \"" : "\"") + cols[i] + "\"";
      marks += i ? ", ?" : "?";
    }
    sql += ") VALUES (" + marks + ")";
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
      throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " en: " + sql);
    for (const auto& r : rows) {
      sqlite3_reset(st);
      for (size_t i = 0; i < cols.size(); ++i) {
        if (i < r.size() && r[i] && !r[i]->empty())
          sqlite3_bind_text(st, static_cast<int>(i + 1), r[i]->c_str(), -1, SQLITE_TRANSIENT);
        else
          sqlite3_bind_null(st, static_cast<int>(i + 1));
      }
      if (sqlite3_step(st) != SQLITE_DONE) {
        std::string msg = sqlite3_errmsg(db_);
        sqlite3_finalize(st);
        throw std::runtime_error(msg + " en: " + sql);
      }
    }
    sqlite3_finalize(st);
  }

 private:
  sqlite3* db_ = nullptr;
};

// Crea las tablas del lugar que falten y las llena con sus datos iniciales en una sola
// transacción: una instalación interrumpida deja la base como estaba y la siguiente
// corrida la completa; una tabla ya creada nunca se vuelve a llenar.
template <class Sembrar>
void CrearYSembrar(Db& db, Place place, Sembrar sembrar) {
  db.Exec("BEGIN IMMEDIATE");
  try {
    std::vector<std::string> created;
    for (const auto& t : AllTables()) {
      if (t.place != place || t.createdBySql) continue;
      sqlite3_stmt* st = nullptr;
      sqlite3_prepare_v2(db.get(), "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE",
                         -1, &st, nullptr);
      sqlite3_bind_text(st, 1, t.name.c_str(), -1, SQLITE_TRANSIENT);
      bool exists = sqlite3_step(st) == SQLITE_ROW;
      sqlite3_finalize(st);
      if (exists) continue;
      db.Exec(CreateTableSql(t).c_str());
      for (const auto& ix : CreateIndexSql(t)) db.Exec(ix.c_str());
      created.push_back(t.name);
    }
    sembrar(created);
    db.Exec("COMMIT");
  } catch (...) {
    sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

// Filas de un CSV separado por ';' con una línea de títulos.
std::vector<Row> Csv(std::string_view text) {
  std::vector<Row> rows;
  bool header = true;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    if (header) {
      header = false;
      continue;
    }
    Row r;
    size_t b = 0;
    while (true) {
      size_t sep = line.find(';', b);
      r.emplace_back(std::string(line.substr(b, sep == std::string_view::npos ? sep : sep - b)));
      if (sep == std::string_view::npos) break;
      b = sep + 1;
    }
    rows.push_back(std::move(r));
  }
  return rows;
}

bool Contains(const std::vector<std::string>& v, std::string_view name) {
  for (const auto& s : v)
    if (s == name) return true;
  return false;
}

void WriteFileIfMissing(const fs::path& path, const std::string& bytes) {
  if (fs::exists(path)) return;
  fs::path tmp = path;
  tmp += ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary);
    out << bytes;
    if (!out) throw std::runtime_error("No se pudo escribir " + path.string());
  }
  fs::rename(tmp, path);
}

void SeedBooks(Db& db, const std::vector<std::string>& created) {
  if (Contains(created, "DG"))
    db.Insert("DG", {"CodiDocu", "NombDocu", "ExigeMvtPptal", "esIngreso"},
              Csv(seed::semilla_tipos_documento_csv));
  if (Contains(created, "CP"))
    db.Insert("CP", {"CodiComp", "NombComp"}, Csv(seed::semilla_tipos_soporte_csv));
  if (Contains(created, "TC")) db.Insert("TC", {"CedulaNIT", "nombre"}, {{std::nullopt, "sin tercero"}});
  if (Contains(created, "permisos"))
    db.Insert("permisos", {"LOGIN", "NUSUARIO", "PASSWORD", "BModificar", "BGrabar", "BBorrar"},
              {{"gestordelibro", "Administrador", std::nullopt, "1", "1", "1"}});
  if (Contains(created, "ConfigContab"))
    db.Insert("ConfigContab",
              {"NContabilidad", "IEmpresa", "NIT", "Utilidad", "Perdida", "encabezado1"},
              {{kStarterBooksName, "ENTIDAD PÚBLICA DE EJEMPLO", "800000000-1", "311001",
                "311002", "EJECUCIÓN PRESUPUESTAL"}});
  if (Contains(created, "PL")) {
    std::vector<Row> rows;
    for (auto& r : Csv(seed::semilla_plan_cuentas_csv)) {
      r.resize(6);
      // numecuen, nombcuen, Cantidad, centcost, naturaleza, exigterc, rubro, tipoRubro
      rows.push_back({r[0], r[1], "N", "N", r[2], r[3], r[4], r[5]});
    }
    db.Insert("PL",
              {"numecuen", "nombcuen", "Cantidad", "centcost", "naturaleza", "exigterc", "rubro",
               "tipoRubro"},
              rows);
  }
  if (Contains(created, "PlPpto"))
    db.Insert("PlPpto", {"tipoCuenta", "iCuenta", "nCuenta", "fuente"},
              Csv(seed::semilla_rubros_csv));
}

// La contabilidad inicial y el logo se anotan relativos a la carpeta del programa: una
// copia de la carpeta abre su propia contabilidad y su propio logo.
void SeedProgram(Db& db, const std::vector<std::string>& created, const std::string& booksFolder) {
  if (Contains(created, "contabs"))
    db.Insert("contabs", {"NContabilidad", "rutaContabilidad", "anio", "Activa"},
              {{kStarterBooksName, fs::path(booksFolder).filename().string(),
                std::to_string(kStarterYear), "S"}});
  if (Contains(created, "Config"))
    db.Insert("Config", {"ReteFuente", "ReteIva"}, {{"243605", "243625"}});
  if (Contains(created, "cfgOV")) db.Insert("cfgOV", {"usoPropio"}, {{"1"}});
}

std::string DataIni() {
  std::string logo = "images/logo.bmp";
  std::string text =
      "[ACTION]\n"
      "FechaInicio=STR\n"
      "FechaFinal=STR\n"
      "Exit=1\n"
      "Date=\n"
      "Time=\n"
      "User=\n"
      "LastCont=\n"
      "rutaLogo=" + logo + "\n"
      "titulo1=ENTIDAD PÚBLICA DE EJEMPLO\n"
      "titulo2=NIT 800000000-1\n"
      "titulo3=\n"
      "impCompPref=0\n"
      "descDocuOP=_OP\n"
      "banco=\n"
      "printRecibiOP=1\n"
      "\n"
      "[ALGORITMO]\n"
      "exigirOpAsociada=1\n";
  return tv::encoding::Utf8ToCp1252(text);
}

// Un logotipo pequeño de 24 bits: franjas amarilla, azul y roja con un borde.
std::string LogoBmp() {
  const int w = 96, h = 48;
  const int rowBytes = (w * 3 + 3) & ~3;
  const int dataSize = rowBytes * h;
  std::string b(54 + dataSize, '\0');
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  auto put16 = [&](int at, uint16_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, 54 + dataSize);
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  put16(26, 1);
  put16(28, 24);
  put32(34, dataSize);
  put32(38, 2835);
  put32(42, 2835);
  for (int y = 0; y < h; ++y) {      // filas de abajo hacia arriba
    for (int x = 0; x < w; ++x) {
      unsigned char r, g, bl;
      int fromTop = h - 1 - y;
      if (x < 2 || y < 2 || x >= w - 2 || y >= h - 2) {
        r = g = bl = 40;
      } else if (fromTop < h / 2) {
        r = 252; g = 209; bl = 22;
      } else if (fromTop < h * 3 / 4) {
        r = 0; g = 56; bl = 147;
      } else {
        r = 206; g = 17; bl = 38;
      }
      int at = 54 + y * rowBytes + x * 3;
      b[at] = static_cast<char>(bl);
      b[at + 1] = static_cast<char>(g);
      b[at + 2] = static_cast<char>(r);
    }
  }
  return b;
}

}  // namespace

void InstallProgramFolder(const std::string& programFolder) {
  fs::path folder = fs::absolute(programFolder).lexically_normal();
  if (folder.has_filename() == false) folder = folder.parent_path();
  fs::create_directories(folder);
  fs::create_directories(folder / "images");
  fs::path books = StarterBooksFolder(folder.string());

  {
    Db db(folder.string());
    CrearYSembrar(db, Place::Program, [&](const std::vector<std::string>& created) {
      SeedProgram(db, created, books.string());
    });
  }
  // La contabilidad inicial solo se crea si su carpeta aún no existe o le faltan tablas.
  fs::create_directories(books);
  {
    Db db(books.string());
    CrearYSembrar(db, Place::Books, [&](const std::vector<std::string>& created) { SeedBooks(db, created); });
    KeepDocumentVersions(db.get());
  }
  WriteFileIfMissing(folder / "data.ini", DataIni());
  WriteFileIfMissing(folder / "codigosMunicipios.txt",
                     tv::encoding::Utf8ToCp1252(seed::codigosMunicipios_txt));
  WriteFileIfMissing(folder / "images" / "logo.bmp", LogoBmp());
}

void CreateFreshInstallation(const std::string& folder) { InstallProgramFolder(folder); }

}  // namespace tv::schema
