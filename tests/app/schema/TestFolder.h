#pragma once
// Apoyos de las pruebas del esquema: carpeta temporal y consultas directas a SQLite.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>

#include "platform/db/Storage.h"

namespace tests {

class TempFolder {
 public:
  TempFolder() {
    std::random_device rd;
    path_ = (std::filesystem::temp_directory_path() /
             ("tv_esquema_" + std::to_string(rd()) + std::to_string(rd())))
                .string();
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline sqlite3* OpenFolder(const std::string& folder) {
  sqlite3* db = nullptr;
  sqlite3_open((folder + "/" + tv::db::kDatabaseFileName).c_str(), &db);
  return db;
}

inline void Exec(sqlite3* db, const std::string& sql) {
  char* err = nullptr;
  int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
  EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "") << " en: " << sql;
  sqlite3_free(err);
}

// Primera columna de la primera fila, o nada.
inline std::optional<std::string> QueryOne(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sqlite3_errmsg(db) << " en: " << sql;
    return std::nullopt;
  }
  std::optional<std::string> r;
  if (sqlite3_step(st) == SQLITE_ROW) {
    const unsigned char* v = sqlite3_column_text(st, 0);
    r = v ? reinterpret_cast<const char*>(v) : "";
  }
  sqlite3_finalize(st);
  return r;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace tests
