// Versión de los documentos contables: toda escritura de sus líneas o de su encabezado la avanza,
// la haga el programa o un cliente de SQLite sin nada del programa; los libros de una versión
// anterior la reciben al abrirse, sin que la apertura espere ni falle por otro puesto.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "app/schema/Schema.h"
#include "app/schema/TestFolder.h"
#include "app/schema/Versiones.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

namespace {

std::string Versiones(sqlite3* db) {
  return tests::QueryOne(db,
                         "SELECT group_concat(descdocu || numedocu || ':' || version, ' ') FROM "
                         "(SELECT * FROM mvtVersion ORDER BY descdocu, numedocu)")
      .value_or("");
}

}  // namespace

TEST(Versiones, CadaEscrituraDeLineasOEncabezadoAvanzaSuDocumento) {
  tests::TempFolder dir;
  tv::schema::CreateBookTables(dir.path());
  // Un cliente cualquiera: sin funciones ni órdenes del programa.
  sqlite3* db = tests::OpenFolder(dir.path());
  struct Paso {
    const char* sql;
    const char* versiones;
  };
  const std::vector<Paso> pasos = {
      {"INSERT INTO MVT (descdocu, numedocu, numecuen, debito) VALUES ('CE', '1', '110501', 5), "
       "('CE', '1', '111005', 0)",
       "CE1:2"},
      // Mismas filas y sumas: solo cambia la cuenta (una escritura por documento tocado).
      {"UPDATE MVT SET numecuen='110505' WHERE numecuen='110501'", "CE1:3"},
      {"INSERT INTO mvtMaestro (descdocu, numedocu, valor) VALUES ('CE', '1', 5)", "CE1:4"},
      {"UPDATE mvtMaestro SET detalle='otro'", "CE1:5"},
      // Columnas que muestra la consulta y nadie escribe: no cambian el documento.
      {"UPDATE mvtMaestro SET ctaPpto='2.1', certDisp=3", "CE1:5"},
      // Renumerar avanza el número viejo y el nuevo.
      {"UPDATE MVT SET numedocu='2' WHERE rowid=1", "CE1:6 CE2:1"},
      {"DELETE FROM MVT WHERE numedocu='1'", "CE1:7 CE2:1"},
      {"DELETE FROM mvtMaestro", "CE1:8 CE2:1"},
      // Borrado y vuelto a crear, el documento no vuelve a una versión que ya tuvo.
      {"INSERT INTO MVT (descdocu, numedocu) VALUES ('CE', '1')", "CE1:9 CE2:1"},
      // Una línea sin documento no deja versión.
      {"INSERT INTO MVT (numecuen) VALUES ('110501'); UPDATE MVT SET debito=1 WHERE descdocu IS NULL", "CE1:9 CE2:1"},
  };
  for (const auto& p : pasos) {
    tests::Exec(db, p.sql);
    EXPECT_EQ(Versiones(db), p.versiones) << p.sql;
  }
  EXPECT_EQ(tests::QueryOne(db, "PRAGMA integrity_check").value_or(""), "ok");
  sqlite3_close(db);
}

// Los documentos de presupuesto y pagos avanzan con cada columna que una grabación escribe; las
// que ninguna escribe no cambian el documento.
TEST(Versiones, DocumentosDePresupuestoAvanzanConLasColumnasQueSeGraban) {
  tests::TempFolder dir;
  tv::schema::CreateBookTables(dir.path());
  sqlite3* db = tests::OpenFolder(dir.path());
  tests::Exec(db, "INSERT INTO mvtCertDisp (icd, valor) VALUES (8, 1); INSERT INTO mvtOrdenServicio (iOrdenServicio, "
                  "valor) VALUES (5, 1); INSERT INTO mvtOrdenSumiMaestro (iOrdenSuministro) VALUES (6); "
                  "INSERT INTO reintegros (cdp, valor) VALUES (7, 1)");
  auto versiones = [&] {
    return tests::QueryOne(db, "SELECT group_concat(clase || clave || ':' || version, ' ') FROM (SELECT * FROM "
                               "docVersion ORDER BY clase)")
        .value_or("");
  };
  ASSERT_EQ(versiones(), "CD8:1 OS5:1 RI7:1 SU6:1");
  const std::vector<std::pair<const char*, const char*>> pasos = {
      {"UPDATE mvtOrdenServicio SET iop=3", "CD8:1 OS5:1 RI7:1 SU6:1"},
      {"UPDATE mvtOrdenServicio SET valor=2", "CD8:1 OS5:2 RI7:1 SU6:1"},
      {"UPDATE mvtOrdenSumiMaestro SET Autorizo='otro'", "CD8:1 OS5:2 RI7:1 SU6:1"},
      {"UPDATE mvtOrdenSumiMaestro SET detalle='otro'", "CD8:1 OS5:2 RI7:1 SU6:2"},
      {"UPDATE reintegros SET iusuario='otro'", "CD8:1 OS5:2 RI7:1 SU6:2"},
      {"UPDATE reintegros SET justificacion='otra'", "CD8:1 OS5:2 RI7:2 SU6:2"},
      {"UPDATE mvtCertDisp SET func=1", "CD8:2 OS5:2 RI7:2 SU6:2"},
  };
  for (const auto& [sql, esperadas] : pasos) {
    tests::Exec(db, sql);
    EXPECT_EQ(versiones(), esperadas) << sql;
  }
  sqlite3_close(db);
}

TEST(Versiones, LibrosAnterioresLasRecibenAlAbrirseSinEsperarAOtroPuesto) {
  tests::TempFolder dir;
  tv::schema::CreateBookTables(dir.path());
  sqlite3* db = tests::OpenFolder(dir.path());
  const char* quitar =
      "DROP TABLE mvtVersion; DROP TRIGGER mvtVersion_MVT_alta; DROP TRIGGER mvtVersion_MVT_cambio; "
      "DROP TRIGGER mvtVersion_MVT_baja; DROP TRIGGER mvtVersion_mvtMaestro_alta; "
      "DROP TRIGGER mvtVersion_mvtMaestro_cambio; DROP TRIGGER mvtVersion_mvtMaestro_baja";
  tests::Exec(db, quitar);
  // Libros de antes de las versiones de los documentos del presupuesto: sin su tabla ni disparadores.
  tests::Exec(db, tests::QueryOne(db, "SELECT group_concat('DROP TRIGGER \"' || name || '\"', '; ') FROM "
                                      "sqlite_master WHERE type='trigger' AND name LIKE 'docVersion%'")
                      .value_or("") +
                      "; DROP TABLE docVersion");
  tests::Exec(db, "PRAGMA journal_mode=WAL");
  sqlite3_busy_timeout(db, 5000);

  // Otro puesto tiene el bloqueo de escritura: la apertura sigue sin ellas y sin esperar.
  sqlite3* otro = tests::OpenFolder(dir.path());
  tests::Exec(otro, "BEGIN IMMEDIATE");
  EXPECT_FALSE(tv::schema::KeepDocumentVersions(db));
  EXPECT_EQ(tests::QueryOne(db, "PRAGMA busy_timeout").value_or(""), "5000");
  tests::Exec(otro, "COMMIT");
  sqlite3_close(otro);

  // Solo para leer: nada que escribir.
  sqlite3* lectura = nullptr;
  std::string archivo = dir.path() + "/" + tv::db::kDatabaseFileName;
  ASSERT_EQ(sqlite3_open_v2(archivo.c_str(), &lectura, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  EXPECT_FALSE(tv::schema::KeepDocumentVersions(lectura));
  sqlite3_close(lectura);
  EXPECT_EQ(tests::QueryOne(db, "SELECT count(*) FROM sqlite_master WHERE name LIKE 'mvtVersion%'").value_or(""), "0");
  EXPECT_EQ(tests::QueryOne(db, "SELECT count(*) FROM sqlite_master WHERE name LIKE 'docVersion%'").value_or(""), "0");

  // Libre: las recibe una vez.
  EXPECT_TRUE(tv::schema::KeepDocumentVersions(db));
  EXPECT_FALSE(tv::schema::KeepDocumentVersions(db));
  tests::Exec(db, "INSERT INTO MVT (descdocu, numedocu) VALUES ('CE', '1')");
  EXPECT_EQ(Versiones(db), "CE1:1");
  tests::Exec(db, "INSERT INTO mvtRegPptal (irp, valor) VALUES (20, 1)");
  EXPECT_EQ(tests::QueryOne(db, "SELECT version FROM docVersion WHERE clase='RP' AND clave='20'").value_or(""), "1");
  sqlite3_close(db);

  // La apertura de la aplicación las pone en los libros que no las tienen.
  db = tests::OpenFolder(dir.path());
  tests::Exec(db, quitar);
  sqlite3_close(db);
  tv::schema::UpgradeBooks(dir.path());
  tv::db::ReleaseDatabase(dir.path().c_str());
  db = tests::OpenFolder(dir.path());
  tests::Exec(db, "UPDATE MVT SET numecuen='110505'");
  EXPECT_EQ(Versiones(db), "CE1:1");

  // Los disparadores de antes (dos escrituras por fila, en toda columna) se cambian al abrir.
  tests::Exec(db, "DROP TRIGGER mvtVersion_MVT_cambio; CREATE TRIGGER mvtVersion_MVT_cambio AFTER UPDATE ON MVT "
                  "BEGIN UPDATE mvtVersion SET version = version + 1 WHERE descdocu = old.descdocu AND numedocu = "
                  "old.numedocu; END");
  EXPECT_TRUE(tv::schema::KeepDocumentVersions(db));
  EXPECT_EQ(tests::QueryOne(db, "SELECT count(*) FROM sqlite_master WHERE type='trigger' AND name LIKE "
                                "'%Version%' AND sql NOT LIKE '%ON CONFLICT%'").value_or(""), "0");
  tests::Exec(db, "UPDATE MVT SET numecuen='110510'");
  EXPECT_EQ(Versiones(db), "CE1:2");
  sqlite3_close(db);
}

// Una escritura masiva avanza una vez cada documento tocado, y solo esos; los disparadores
// quedan y su pausa no pasa de la transacción, ni cuando la escritura falla y se deshace.
TEST(Versiones, EscrituraMasivaAvanzaCadaDocumentoTocadoUnaVez) {
  tests::TempFolder dir;
  tv::schema::CreateBookTables(dir.path());
  sqlite3* db = tests::OpenFolder(dir.path());
  tests::Exec(db, "INSERT INTO MVT (descdocu, numedocu, numecuen) VALUES ('CE', '1', '110505'), ('CE', '1', '110505'), "
                  "('CE', '2', '110505'), ('NC', '1', '240801')");
  ASSERT_EQ(Versiones(db), "CE1:2 CE2:1 NC1:1");
  auto disparadores = [&] {
    return tests::QueryOne(db, "SELECT group_concat(name || sql) || (SELECT count(*) FROM versionPausa) FROM "
                               "(SELECT * FROM sqlite_master WHERE type='trigger' ORDER BY name)")
        .value_or("");
  };
  const std::string antes = disparadores();
  tests::Exec(db, "BEGIN");
  {
    tv::schema::EscrituraMasiva m(db);
    m.AvanzarDiario("numecuen LIKE '110505'");
    tests::Exec(db, "UPDATE MVT SET numecuen='110510' WHERE numecuen LIKE '110505'");
    m.Terminar();
  }
  tests::Exec(db, "COMMIT");
  EXPECT_EQ(Versiones(db), "CE1:3 CE2:2 NC1:1");
  EXPECT_EQ(disparadores(), antes);
  // Falla a mitad, con los disparadores quitados o en pausa: nada cambia y siguen como estaban.
  using Filas = tv::schema::EscrituraMasiva::Filas;
  for (Filas f : {Filas::Diario, Filas::Pocas}) {
    tests::Exec(db, "BEGIN");
    {
      tv::schema::EscrituraMasiva m(db, f);
      m.AvanzarDiario("1");
      tests::Exec(db, "UPDATE MVT SET numecuen='9'");
    }
    tests::Exec(db, "ROLLBACK");
    EXPECT_EQ(Versiones(db), "CE1:3 CE2:2 NC1:1");
    EXPECT_EQ(disparadores(), antes);
  }
  tests::Exec(db, "UPDATE MVT SET numecuen='1' WHERE descdocu='NC'");
  EXPECT_EQ(Versiones(db), "CE1:3 CE2:2 NC1:2");
  // Un documento renumerado en pausa: el número viejo y el nuevo avanzan una vez.
  tests::Exec(db, "BEGIN");
  {
    tv::schema::EscrituraMasiva m(db, Filas::Pocas);
    tests::Exec(db, "UPDATE MVT SET numedocu='9' WHERE descdocu='NC'");
    m.AvanzarDocumento("NC", "1");
    m.AvanzarDocumento("NC", "9");
    m.Terminar();
  }
  tests::Exec(db, "COMMIT");
  EXPECT_EQ(Versiones(db), "CE1:3 CE2:2 NC1:3 NC9:1");
  EXPECT_EQ(disparadores(), antes);
  // Todas: también los documentos de presupuesto.
  tests::Exec(db, "BEGIN");
  {
    tv::schema::EscrituraMasiva m(db, Filas::Todas);
    tests::Exec(db, "INSERT INTO mvtCertDisp (icd, valor) VALUES (7, 1), (8, 1)");
    m.AvanzarTodos();
    m.Terminar();
  }
  tests::Exec(db, "COMMIT");
  EXPECT_EQ(tests::QueryOne(db, "SELECT group_concat(clase || clave || ':' || version) FROM docVersion").value_or(""),
            "CD7:1,CD8:1");
  EXPECT_EQ(Versiones(db), "CE1:4 CE2:3 NC1:3 NC9:2");
  EXPECT_EQ(disparadores(), antes);
  // Una pausa que otro cliente dejó confirmada se quita al abrir.
  tests::Exec(db, "INSERT INTO versionPausa VALUES (1)");
  EXPECT_TRUE(tv::schema::KeepDocumentVersions(db));
  tests::Exec(db, "DELETE FROM MVT WHERE descdocu='NC'");
  EXPECT_EQ(Versiones(db), "CE1:4 CE2:3 NC1:3 NC9:3");
  EXPECT_EQ(disparadores(), antes);
  sqlite3_close(db);
}
