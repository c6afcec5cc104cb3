#pragma once
// A temporary folder with a few small tables, reached through the alias "Contabilidad".
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

class DbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFormatSettings();
    char tmpl[] = "/tmp/tvdbXXXXXX";
    dir_ = mkdtemp(tmpl);
    dir_ += "/";
    Session->AddStandardAlias("Contabilidad", dir_.c_str(), "PARADOX");
    Sql(
        "CREATE TABLE PL (numecuen VARCHAR(18), nombcuen VARCHAR(60), naturaleza VARCHAR(1), saldo NUMERIC,"
        " nivel INTEGER, fecha DATE, activa BOOLEAN);"
        "CREATE TABLE TC (cedulanit VARCHAR(18) PRIMARY KEY, nombre VARCHAR(60));"
        "CREATE INDEX TC_IdxNombre ON TC (nombre);"
        "CREATE TABLE MVT (descdocu VARCHAR(3), numedocu VARCHAR(10), numecuen VARCHAR(18),"
        " cedulanit VARCHAR(18), debito NUMERIC, credito NUMERIC, fecha DATE);");
  }
  void TearDown() override {
    tv::db::ReleaseDatabase("Contabilidad");
    Session->DeleteAlias("Contabilidad");
    std::filesystem::remove_all(dir_);
  }
  // Plain SQLite statements on the folder's database.
  void Sql(const std::string& sql) {
    char* err = nullptr;
    int rc = sqlite3_exec_wrapper(sql, &err);
    ASSERT_EQ(rc, 0) << (err ? err : "") << "\n" << sql;
  }
  long long Scalar(const std::string& sql) {
    auto conn = tv::db::ConnectionFor("Contabilidad");
    tv::db::Stmt st = conn->Prepare(sql);
    return st.Step() ? st.Column(0).i : -1;
  }
  int sqlite3_exec_wrapper(const std::string& sql, char** err);

  std::string dir_;
};
