#pragma once
// Daños de los libros para las pruebas de la reparación: se hacen con SQLite directo o
// escribiendo bytes en el archivo, sin pasar por el programa.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include "platform/db/Engine.h"

namespace danios {

inline void Sql(const std::string& folder, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open((folder + "/" + tv::db::kDatabaseFileName).c_str(), &db);
  char* err = nullptr;
  int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
  EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "") << sql;
  sqlite3_free(err);
  sqlite3_close(db);
}

inline long long Una(const std::string& folder, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open((folder + "/" + tv::db::kDatabaseFileName).c_str(), &db);
  sqlite3_stmt* st = nullptr;
  long long n = -1;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
    n = sqlite3_column_int64(st, 0);
  sqlite3_finalize(st);
  sqlite3_close(db);
  return n;
}

// Bytes [desde, hasta) del archivo de la base reemplazados por basura.
inline void Ensuciar(const std::string& folder, long desde, long hasta) {
  std::fstream f(folder + "/" + tv::db::kDatabaseFileName, std::ios::in | std::ios::out | std::ios::binary);
  f.seekp(desde);
  for (long k = desde; k < hasta; ++k) f.put(static_cast<char>((k * 7919) & 0xff));
}

// Quita el índice del catálogo, corre `sql` (que así no lo toca) y lo devuelve: el índice
// queda sin las filas agregadas o con las borradas.
inline void SinIndice(const std::string& l, const std::string& indice, const std::string& sql) {
  std::string archivo = l + "/" + tv::db::kDatabaseFileName;
  sqlite3* db = nullptr;
  sqlite3_open(archivo.c_str(), &db);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT rootpage, sql FROM sqlite_master WHERE name = ?1", -1, &st, nullptr);
  sqlite3_bind_text(st, 1, indice.c_str(), -1, SQLITE_TRANSIENT);
  ASSERT_EQ(sqlite3_step(st), SQLITE_ROW) << indice;
  int raiz = sqlite3_column_int(st, 0);
  std::string def = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
  std::string tabla;
  sqlite3_finalize(st);
  sqlite3_prepare_v2(db, "SELECT tbl_name FROM sqlite_master WHERE name = ?1", -1, &st, nullptr);
  sqlite3_bind_text(st, 1, indice.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_step(st);
  tabla = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
  sqlite3_finalize(st);
  sqlite3_exec(db, ("PRAGMA writable_schema = ON; DELETE FROM sqlite_master WHERE name = '" + indice + "';").c_str(),
               nullptr, nullptr, nullptr);
  sqlite3_close(db);
  Sql(l, sql);
  Sql(l, "PRAGMA writable_schema = ON; INSERT INTO sqlite_master VALUES ('index', '" + indice + "', '" + tabla + "', " +
             std::to_string(raiz) + ", '" + def + "')");
}

// La página `pagina` del archivo en ceros.
inline void EnCeros(const std::string& l, long pagina) {
  std::fstream f(l + "/" + tv::db::kDatabaseFileName, std::ios::in | std::ios::out | std::ios::binary);
  f.seekp((pagina - 1) * 4096);
  for (int k = 0; k < 4096; ++k) f.put('\0');
}

inline long Hoja(const std::string& l, const std::string& nombre, int cual) {
  return static_cast<long>(Una(l, "SELECT pageno FROM dbstat WHERE name='" + nombre +
                                      "' AND pagetype='leaf' ORDER BY pageno LIMIT 1 OFFSET " + std::to_string(cual)));
}

// El encabezado del primer registro de una hoja de MVT dice más bytes de los que tiene.
inline void RegistroMalFormado(const std::string& l) {
  long pagina = Hoja(l, "MVT", 5);
  std::fstream f(l + "/" + tv::db::kDatabaseFileName, std::ios::in | std::ios::out | std::ios::binary);
  long base = (pagina - 1) * 4096;
  unsigned char p[2];
  f.seekg(base + 8);
  f.read(reinterpret_cast<char*>(p), 2);
  long celda = base + (p[0] << 8 | p[1]);
  // largo del registro y número de fila (varint de uno a varios bytes), luego el largo del encabezado
  f.seekg(celda);
  unsigned char b[16];
  f.read(reinterpret_cast<char*>(b), sizeof b);
  int k = 0;
  for (int v = 0; v < 2; ++v)
    while (b[k++] & 0x80) {
    }
  f.seekp(celda + k);
  f.put(static_cast<char>(0x7f));
}

// Otro proceso escribe filas que quedan solo en el registro de escritura anticipada y termina
// sin cerrar la base.
inline void RegistroSinVolcar(const std::string& l) {
  Sql(l, "PRAGMA journal_mode=WAL");
  pid_t hijo = fork();
  if (hijo == 0) {
    sqlite3* db = nullptr;
    sqlite3_open((l + "/" + tv::db::kDatabaseFileName).c_str(), &db);
    sqlite3_exec(db,
                 "PRAGMA wal_autocheckpoint=0; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE "
                 "i<100) INSERT INTO MVT (descdocu, numedocu, numecuen, detalle, debito) SELECT 'CE', 5000 + i, "
                 "'110505', 'En el registro ' || i, i FROM n",
                 nullptr, nullptr, nullptr);
    _exit(0);
  }
  int estado = 0;
  waitpid(hijo, &estado, 0);
}

}  // namespace danios
