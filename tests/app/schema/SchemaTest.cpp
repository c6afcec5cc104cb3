// La instalación nueva trae cada tabla y campo de las tablas de una contabilidad y de la
// carpeta del programa, con sus datos iniciales, y reinstalar no toca datos existentes.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/schema/Schema.h"
#include "platform/db/DBTables.h"
#include "platform/db/Storage.h"
#include "app/schema/TestFolder.h"

namespace fs = std::filesystem;
using tv::db::ColumnKind;

namespace {

struct Expected {
  const char* table;
  std::vector<std::pair<const char*, ColumnKind>> fields;
};

constexpr ColumnKind T = ColumnKind::Text, N = ColumnKind::Number, I = ColumnKind::Integer,
                     D = ColumnKind::Date, L = ColumnKind::Logical, M = ColumnKind::Memo;

// Tablas y campos tal como los describen las tablas de la contabilidad.
const std::vector<Expected>& BookTables() {
  static const std::vector<Expected> t = {
      {"MVT", {{"numecuen", T}, {"cedulanit", T}, {"detalle", T}, {"centcost", T}, {"desccomp", T},
               {"numecomp", T}, {"debito", N}, {"credito", N}, {"Cantidad", N}, {"rubro", T},
               {"descdocu", T}, {"numedocu", T}, {"fecha", D}}},
      {"mvtMaestro", {{"descdocu", T}, {"numedocu", T}, {"fecha", D}, {"valor", N}, {"op1", N},
                      {"op2", N}, {"op3", N}, {"op4", N}, {"op5", N}, {"qitems", I},
                      {"descuadre", N}, {"iusuario", T}, {"tipoAsiento", T}, {"detalle", M}}},
      {"PL", {{"numecuen", T}, {"nombcuen", T}, {"Cantidad", T}, {"unidades", T}, {"centcost", T},
              {"exigterc", T}, {"codiveri", T}, {"naturaleza", T}, {"rubro", T}, {"tipoRubro", T}}},
      {"TC", {{"CedulaNIT", T}, {"digitoVerificacion", T}, {"tipoDocumento", T}, {"apellido1", T},
              {"apellido2", T}, {"nombre1", T}, {"nombre2", T}, {"razonSocial", T},
              {"razonComercial", T}, {"nombre", T}, {"direccion", T}, {"telefono", T},
              {"ciudad", T}, {"dpto", T}, {"autoretiva", L}, {"autoretret", L}, {"grado", T},
              {"grupo", T}}},
      {"CC", {{"CodiCent", T}, {"NombCent", T}}},
      {"DG", {{"CodiDocu", T}, {"NombDocu", T}, {"ExigeMvtPptal", T}, {"esIngreso", T}}},
      {"CP", {{"CodiComp", T}, {"NombComp", T}}},
      {"ConfigContab", {{"NContabilidad", T}, {"IEmpresa", T}, {"NIT", T}, {"acuerdo", T},
                        {"rector", T}, {"auxiliar", T}, {"tallivar", T}, {"Utilidad", T},
                        {"Perdida", T}, {"NCargo1", T}, {"NCargo2", T}, {"NCargo3", T},
                        {"ICargo1", T}, {"ICargo2", T}, {"ICargo3", T}, {"encabezado1", T},
                        {"encabezado2", T}, {"encabezado3", T}}},
      {"permisos", {{"LOGIN", T}, {"NUSUARIO", T}, {"PASSWORD", T}, {"BModificar", L},
                    {"BGrabar", L}, {"BBorrar", L}}},
      {"asientos", {{"NUMECUEN", T}, {"CEDULANIT", T}, {"DETALLE", T}, {"CENTCOST", T},
                    {"DESCCOMP", T}, {"NUMECOMP", T}, {"DEBITO", N}, {"CREDITO", N},
                    {"DESCDOCU", T}, {"NUMEDOCU", T}, {"Cantidad", N}, {"rubro", T},
                    {"Check", L}, {"CheckTercero", L}}},
      {"baltempestados", {{"Numecuen", T}, {"NombCuen", T}, {"SaldoDebito", N},
                          {"SaldoCredito", N}, {"Pasasaldo", N}, {"Debito", N}, {"Credito", N},
                          {"NuevoDebito", N}, {"NuevoCredito", N}, {"NuevoSaldo", N}}},
      {"SaldosAntes", {{"numecuen", T}, {"Debito", N}, {"Credito", N}}},
      {"SaldosEntre", {{"numecuen", T}, {"Debito", N}, {"Credito", N}}},
      {"Temp", {{"fecha", D}, {"DescDocu", T}, {"numedocu", T}, {"Data", T}, {"debito", N},
                {"credito", N}}},
      {"temp2", {{"fecha", D}, {"descdocu", T}, {"numedocu", T}, {"data", T}, {"nombcuen", T},
                 {"debito", N}, {"credito", N}}},
      {"PlPpto", {{"iCuenta", T}, {"nCuenta", T}, {"tipoCuenta", T}, {"fuente", T}}},
      {"mvtPptal", {{"iMvtPptal", T}, {"tipoMvtPptal", T}, {"icuenta", T}, {"tipoCuenta", T},
                    {"ingreso", N}, {"egreso", N}, {"cuentaDebito", T}, {"cuentaCredito", T}}},
      {"MvtPptalMaestro", {{"iMvtPptal", T}, {"tipoMvtPptal", T}, {"fecha", D}, {"detalle", T},
                           {"iUsuario", T}, {"version", I}}},
      {"asientoPptal", {{"icuenta", T}, {"tipoCuenta", T}, {"ingreso", N}, {"egreso", N},
                        {"cuentaDebito", T}, {"cuentaCredito", T}, {"check", L}}},
      {"mvtCertDisp", {{"icd", N}, {"FechaExped", D}, {"fechaVenc", D}, {"objetoGasto", T},
                       {"valor", N}, {"func", N}, {"inv", N}, {"vigFiscal", T},
                       {"rubroPptal", T}}},
      {"certDispRubros", {{"icd", N}, {"rubroPptal", T}, {"valor", N}}},
      {"pac", {{"icd", N}, {"m1", N}, {"m2", N}, {"m3", N}, {"m4", N}, {"m5", N}, {"m6", N},
               {"m7", N}, {"m8", N}, {"m9", N}, {"m10", N}, {"m11", N}, {"m12", N}}},
      {"mvtRegPptal", {{"irp", N}, {"FechaExped", D}, {"fechaVenc", D}, {"itercero", T},
                       {"ICD", N}, {"valor", N}, {"func", N}, {"inv", N}, {"vigFiscal", T},
                       {"objetoGasto", T}, {"docAsociado", T}}},
      {"mvtOrdenServicio", {{"iOrdenServicio", N}, {"Fecha", D}, {"itercero", T},
                            {"descServicio", M}, {"irp", N}, {"valor", N}}},
      {"mvtOrdenSumiMaestro", {{"iOrdenSuministro", N}, {"Fecha", D}, {"itercero", T},
                               {"detalle", T}, {"qItems", I}, {"valorTotal", N}, {"irp", N}}},
      {"mvtOrdenSuministro", {{"iOrdenSuministro", N}, {"iArticulo", T}, {"cantidad", N},
                              {"valorUnit", N}}},
      {"articulos", {{"iArticulo", T}, {"nArticulo", T}}},
      {"mvtOrdenPago", {{"iop", N}, {"FechaExped", D}, {"fechaVenc", D}, {"itercero", T},
                        {"IRP", N}, {"valor", N}, {"numeDocu", T}, {"descdocu", T},
                        {"iAstoProg", I}, {"objetoGasto", T}, {"valorCheque", N},
                        {"numeroCheque", T}, {"banco", T}, {"valorEfectivo", N}}},
      {"reintegros", {{"cdp", N}, {"rubro", T}, {"valor", N}, {"justificacion", M}, {"fecha", D},
                      {"iusuario", T}}},
      {"asientosProgCfg", {{"iAstoProg", I}, {"nAstoProg", T}, {"descDocu", T},
                           {"requiereTercero", T}, {"Detalle", T}}},
      {"asientosprog", {{"iAstoProg", I}, {"numeCuen", T}, {"naturaleza", T}, {"rubro", T}}},
      {"retenciones", {{"cuenta", T}, {"nombre", T}, {"base", N}, {"porcentaje", N}, {"tipo", T},
                       {"porcentajeNoDeclara", N}, {"redondeoPeso", L}, {"redondeoMiles", L},
                       {"fechaInicio", D}, {"fechaFinal", D}}},
      {"imputPptalCD", {}},
  };
  return t;
}

const std::vector<Expected>& ProgramTables() {
  static const std::vector<Expected> t = {
      {"contabs", {{"NContabilidad", T}, {"rutaContabilidad", T}, {"anio", I}, {"Activa", T}}},
      {"Config", {{"ReteFuente", T}, {"ReteIva", T}}},
      {"cfgOV", {{"usoPropio", L}}},
  };
  return t;
}

struct Col {
  std::string name;
  std::string type;
};

// Columnas guardadas de una tabla, buscada sin distinguir mayúsculas.
std::map<std::string, Col> StoredColumns(sqlite3* db, const std::string& table) {
  std::map<std::string, Col> out;
  sqlite3_stmt* st = nullptr;
  std::string sql = "PRAGMA table_info(\"" + table + "\")";
  sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
  while (sqlite3_step(st) == SQLITE_ROW) {
    std::string name = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
    std::string lower = name;
    for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    out[lower] = {name, reinterpret_cast<const char*>(sqlite3_column_text(st, 2))};
  }
  sqlite3_finalize(st);
  return out;
}

void CheckTables(const std::string& folder, const std::vector<Expected>& tables) {
  sqlite3* db = tests::OpenFolder(folder);
  for (const auto& e : tables) {
    SCOPED_TRACE(e.table);
    ASSERT_TRUE(tests::QueryOne(db, std::string("select name from sqlite_master where type='table' "
                                                "and name='") + e.table + "'")
                    .has_value())
        << "falta la tabla " << e.table;
    auto cols = StoredColumns(db, e.table);
    for (const auto& [name, kind] : e.fields) {
      std::string lower = name;
      for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      auto it = cols.find(lower);
      ASSERT_NE(it, cols.end()) << e.table << "." << name;
      EXPECT_EQ(it->second.name, name) << "nombre guardado de " << e.table << "." << name;
      int size = 0;
      EXPECT_EQ(tv::db::KindOfDeclaredType(it->second.type, &size), kind) << e.table << "." << name;
      if (kind == T) {
        EXPECT_GT(size, 0) << e.table << "." << name;
      }
    }
  }
  sqlite3_close(db);
}

}  // namespace

TEST(Instalacion, TraeCadaTablaYCampoDeLaContabilidadYDelPrograma) {
  tests::TempFolder tmp;
  tv::schema::CreateFreshInstallation(tmp.path());
  CheckTables(tv::schema::StarterBooksFolder(tmp.path()), BookTables());
  CheckTables(tmp.path(), ProgramTables());
}

TEST(Instalacion, AnchosFijadosEIdentidades) {
  tests::TempFolder tmp;
  tv::schema::CreateFreshInstallation(tmp.path());
  sqlite3* db = tests::OpenFolder(tv::schema::StarterBooksFolder(tmp.path()));
  struct W { const char* table; const char* field; int size; } widths[] = {
      {"MVT", "numecuen", 18}, {"PL", "numecuen", 18}, {"PL", "nombcuen", 60}, {"TC", "dpto", 2},
      {"TC", "digitoVerificacion", 1}, {"ConfigContab", "NContabilidad", 10},
      {"mvtMaestro", "tipoAsiento", 1}, {"PlPpto", "iCuenta", 18}, {"PlPpto", "nCuenta", 60},
      {"PlPpto", "tipoCuenta", 1}, {"mvtPptal", "tipoMvtPptal", 3}, {"mvtCertDisp", "objetoGasto", 254},
      {"mvtRegPptal", "docAsociado", 254}, {"mvtOrdenSumiMaestro", "detalle", 200},
      {"mvtOrdenSuministro", "iArticulo", 12}, {"articulos", "iArticulo", 12}};
  for (const auto& w : widths) {
    auto cols = StoredColumns(db, w.table);
    std::string lower = w.field;
    for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    int size = 0;
    tv::db::KindOfDeclaredType(cols[lower].type, &size);
    EXPECT_EQ(size, w.size) << w.table << "." << w.field;
  }
  // Identidades únicas: el plan presupuestal por (tipo, código) y los terceros por id.
  EXPECT_NE(sqlite3_exec(db, "insert into PlPpto (tipoCuenta,iCuenta) values ('E','2')", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, "insert into PlPpto (tipoCuenta,iCuenta) values ('I','2')", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, "insert into TC (CedulaNIT,nombre) values ('900','A')", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  EXPECT_NE(sqlite3_exec(db, "insert into TC (CedulaNIT,nombre) values ('900','B')", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  // El índice por nombre de terceros que usa el explorador.
  EXPECT_TRUE(tests::QueryOne(db, "select name from sqlite_master where type='index' and "
                                  "name='IdxNombre' and tbl_name='TC'")
                  .has_value());
  sqlite3_close(db);
}

TEST(Instalacion, DatosInicialesDeLaContabilidad) {
  tests::TempFolder tmp;
  tv::schema::CreateFreshInstallation(tmp.path());
  std::string books = tv::schema::StarterBooksFolder(tmp.path());
  sqlite3* db = tests::OpenFolder(books);
  for (const char* code : {"CE", "IN", "CP", "_OP"})
    EXPECT_EQ(tests::QueryOne(db, std::string("select count(*) from DG where CodiDocu='") + code + "'"),
              "1")
        << code;
  EXPECT_EQ(tests::QueryOne(db, "select count(*) from CP where CodiComp='CH'"), "1");
  EXPECT_EQ(tests::QueryOne(db, "select nombre from TC where CedulaNIT is null"), "sin tercero");
  EXPECT_EQ(tests::QueryOne(db, "select count(*) from TC"), "1");
  EXPECT_EQ(tests::QueryOne(db, "select BModificar||BGrabar||BBorrar from permisos where "
                                "LOGIN='gestordelibro' and PASSWORD is null"),
            "111");
  EXPECT_EQ(tests::QueryOne(db, "select count(*) from ConfigContab"), "1");
  EXPECT_EQ(tests::QueryOne(db, "select NContabilidad from ConfigContab"), "Ejemplo");
  // Clases 1 a 5 con cuentas auxiliares (más de cuatro dígitos y sin hijas).
  for (const char* cls : {"1", "2", "3", "4", "5"}) {
    SCOPED_TRACE(cls);
    EXPECT_TRUE(tests::QueryOne(db, std::string("select numecuen from PL where numecuen='") + cls + "'"));
    EXPECT_NE(tests::QueryOne(db, std::string("select count(*) from PL a where a.numecuen like '") +
                                      cls + "%' and length(a.numecuen)>4 and not exists (select 1 "
                                            "from PL b where b.numecuen like a.numecuen||'_%')"),
              "0");
  }
  // Cada rubro que enlaza el plan de cuentas existe en el plan presupuestal.
  EXPECT_EQ(tests::QueryOne(db, "select count(*) from PL where rubro is not null and not exists "
                                "(select 1 from PlPpto where iCuenta=PL.rubro and "
                                "tipoCuenta=PL.tipoRubro)"),
            "0");
  EXPECT_NE(tests::QueryOne(db, "select count(*) from PlPpto where tipoCuenta='I'"), "0");
  EXPECT_NE(tests::QueryOne(db, "select count(*) from PlPpto where tipoCuenta='E'"), "0");
  EXPECT_EQ(tests::QueryOne(db, "select count(*) from MVT"), "0");
  EXPECT_EQ(tests::QueryOne(db, "select count(*) from mvtMaestro"), "0");
  // Las tablas que crean los informes por SQL no vienen instaladas.
  EXPECT_FALSE(tests::QueryOne(db, "select name from sqlite_master where name='infPpto'"));
  sqlite3_close(db);

  sqlite3* prog = tests::OpenFolder(tmp.path());
  EXPECT_EQ(tests::QueryOne(prog, "select NContabilidad||'|'||rutaContabilidad||'|'||anio||'|'||Activa "
                                  "from contabs"),
            "Ejemplo|Ejemplo2026|2026|S");  // relativa a la carpeta del programa
  EXPECT_EQ(tests::QueryOne(prog, "select count(*) from Config"), "1");
  EXPECT_EQ(tests::QueryOne(prog, "select usoPropio from cfgOV"), "1");
  sqlite3_close(prog);
}

TEST(Instalacion, ArchivosDeLaCarpetaDelPrograma) {
  tests::TempFolder tmp;
  tv::schema::CreateFreshInstallation(tmp.path());
  std::string ini = tests::ReadFile(tmp.path() + "/data.ini");
  for (const char* key : {"[ACTION]", "FechaInicio=", "FechaFinal=", "Exit=", "Date=", "Time=",
                          "User=", "LastCont=", "rutaLogo=", "titulo1=", "titulo2=", "titulo3=",
                          "impCompPref=0", "descDocuOP=_OP", "banco=", "printRecibiOP=1",
                          "[ALGORITMO]", "exigirOpAsociada=1"})
    EXPECT_NE(ini.find(key), std::string::npos) << key;
  EXPECT_NE(ini.find("P\xDA" "BLICA"), std::string::npos) << "data.ini en Windows-1252";

  // Municipios: código en 1-3, departamento en 5-6, nombre entre la primera y la segunda coma.
  std::istringstream lines(tests::ReadFile(tmp.path() + "/codigosMunicipios.txt"));
  std::map<std::string, std::string> capitals;
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    ++count;
    ASSERT_GE(line.size(), 8u) << line;
    EXPECT_NE(line[3], ',') << line;
    size_t c1 = line.find(','), c2 = line.find(',', c1 + 1);
    ASSERT_NE(c2, std::string::npos) << line;
    capitals[line.substr(4, 2) + line.substr(0, 3)] = line.substr(c1 + 1, c2 - c1 - 1);
  }
  EXPECT_GE(count, 33);
  EXPECT_EQ(capitals["05001"], "MEDELL\xCDN");
  EXPECT_EQ(capitals["11001"], "BOGOT\xC1 D.C.");
  EXPECT_EQ(capitals["76001"], "CALI");
  EXPECT_EQ(capitals["99001"], "PUERTO CARRE\xD1O");
  for (const char* dpto : {"05", "08", "11", "13", "15", "17", "18", "19", "20", "23", "25", "27",
                           "41", "44", "47", "50", "52", "54", "63", "66", "68", "70", "73", "76",
                           "81", "85", "86", "88", "91", "94", "95", "97", "99"}) {
    bool found = false;
    for (const auto& [k, v] : capitals) found = found || k.substr(0, 2) == dpto;
    EXPECT_TRUE(found) << dpto;
  }
  std::string bmp = tests::ReadFile(tmp.path() + "/images/logo.bmp");
  ASSERT_GT(bmp.size(), 54u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
}

TEST(Instalacion, ReinstalarSoloCompletaLoQueFalta) {
  tests::TempFolder tmp;
  tv::schema::CreateFreshInstallation(tmp.path());
  std::string books = tv::schema::StarterBooksFolder(tmp.path());
  sqlite3* db = tests::OpenFolder(books);
  tests::Exec(db, "insert into MVT (numecuen, debito, descdocu, numedocu) values ('110501', 5, 'CE', '1')");
  tests::Exec(db, "delete from DG where CodiDocu='NC'");
  tests::Exec(db, "drop table retenciones");
  sqlite3_close(db);
  {
    std::ofstream ini(tmp.path() + "/data.ini", std::ios::binary | std::ios::trunc);
    ini << "[ACTION]\nbanco=MIO\n";
  }
  sqlite3* prog = tests::OpenFolder(tmp.path());
  tests::Exec(prog, "update contabs set Activa='N'");
  sqlite3_close(prog);

  tv::schema::InstallProgramFolder(tmp.path());

  db = tests::OpenFolder(books);
  EXPECT_EQ(tests::QueryOne(db, "select count(*) from MVT"), "1");
  EXPECT_EQ(tests::QueryOne(db, "select count(*) from DG where CodiDocu='NC'"), "0");
  EXPECT_TRUE(tests::QueryOne(db, "select name from sqlite_master where name='retenciones'"));
  EXPECT_EQ(tests::QueryOne(db, "select count(*) from TC"), "1");
  sqlite3_close(db);
  prog = tests::OpenFolder(tmp.path());
  EXPECT_EQ(tests::QueryOne(prog, "select count(*)||Activa from contabs"), "1N");
  sqlite3_close(prog);
  EXPECT_EQ(tests::ReadFile(tmp.path() + "/data.ini"), "[ACTION]\nbanco=MIO\n");
}

TEST(Esquema, DdlDeUnaTablaConClaveEIndices) {
  const auto* t = tv::schema::FindTable("'PlPpto.db'");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(tv::schema::CreateTableSql(*t),
            "CREATE TABLE \"PlPpto\" (\"iCuenta\" VARCHAR(18), \"nCuenta\" VARCHAR(60), "
            "\"tipoCuenta\" VARCHAR(1), \"fuente\" VARCHAR(129), PRIMARY KEY (\"tipoCuenta\", "
            "\"iCuenta\"))");
  const auto* mvt = tv::schema::FindTable("mvt");
  ASSERT_NE(mvt, nullptr);
  auto ix = tv::schema::CreateIndexSql(*mvt);
  ASSERT_FALSE(ix.empty());
  EXPECT_EQ(ix[0], "CREATE INDEX \"MVT_Documento\" ON \"MVT\" (\"descdocu\", \"numedocu\")");
  EXPECT_EQ(tv::schema::FindTable("nada"), nullptr);
}

// Un libro escrito por una versión anterior: sin el índice de cuentas, con un detalle más
// angosto, sin una columna y sin una tabla. Se pone al día al abrirse, sin perder filas ni
// identificadores, y una segunda vez no cambia nada.
TEST(Esquema, UnLibroAnteriorSePoneAlDiaAlAbrirse) {
  tests::TempFolder tmp;
  sqlite3* db = tests::OpenFolder(tmp.path());
  tests::Exec(db,
              "CREATE TABLE MVT (numecuen VARCHAR(18), cedulanit VARCHAR(18), detalle VARCHAR(40), "
              "centcost VARCHAR(10), desccomp VARCHAR(3), numecomp VARCHAR(15), debito NUMERIC, "
              "credito NUMERIC, Cantidad NUMERIC, descdocu VARCHAR(3), numedocu VARCHAR(15), fecha DATE)");
  tests::Exec(db, "CREATE INDEX MVT_Documento ON MVT (descdocu, numedocu)");
  tests::Exec(db, "CREATE TABLE mvtMaestro (descdocu VARCHAR(3), numedocu VARCHAR(15), fecha DATE)");
  tests::Exec(db, "INSERT INTO MVT (rowid, numecuen, detalle, debito, descdocu, numedocu, fecha) VALUES "
                  "(7, '110505', 'Pago de O''Neil', 10.5, 'CE', '1', '2026-03-01'), "
                  "(9, '250505', 'otra', 0, 'CE', '1', '2026-03-01')");
  tests::Exec(db, "INSERT INTO mvtMaestro VALUES ('CE', '1', '2026-03-01')");
  tests::Exec(db, "CREATE TABLE MvtPptalMaestro (iMvtPptal VARCHAR(10), tipoMvtPptal VARCHAR(3), fecha DATE, "
                  "detalle VARCHAR(254), iUsuario VARCHAR(20))");
  tests::Exec(db, "INSERT INTO MvtPptalMaestro VALUES ('AP1', 'APR', '2026-01-02', 'Inicial', 'admin')");
  sqlite3_close(db);

  auto cambios = tv::schema::UpgradeBooks(tmp.path());
  auto tiene = [&](const std::string& c) { return std::find(cambios.begin(), cambios.end(), c) != cambios.end(); };
  EXPECT_TRUE(tiene("MVT.detalle(254)"));
  EXPECT_TRUE(tiene("MVT.rubro"));
  EXPECT_TRUE(tiene("MVT:MVT_Cuenta"));
  EXPECT_TRUE(tiene("mvtMaestro.tipoAsiento"));
  EXPECT_TRUE(tiene("mvtMaestro:mvtMaestro_Fecha"));
  EXPECT_TRUE(tiene("PlPpto"));
  EXPECT_TRUE(tiene("MvtPptalMaestro.version"));

  db = tests::OpenFolder(tmp.path());
  EXPECT_EQ(tests::QueryOne(db, "select group_concat(rowid || ':' || numecuen || ':' || detalle, '|') from MVT"),
            "7:110505:Pago de O'Neil|9:250505:otra");
  EXPECT_EQ(tests::QueryOne(db, "select type from pragma_table_info('MVT') where name='detalle'"), "VARCHAR(254)");
  for (const char* ix : {"MVT_Documento", "MVT_Cuenta", "MVT_Tercero", "MVT_Fecha", "mvtMaestro_Documento"})
    EXPECT_TRUE(tests::QueryOne(db, std::string("select name from sqlite_master where type='index' and name='") +
                                        ix + "'"))
        << ix;
  EXPECT_EQ(tests::QueryOne(db, "select count(*) || (max(tipoAsiento) is null) from mvtMaestro"), "11");
  EXPECT_EQ(tests::QueryOne(db, "select detalle || (version is null) from MvtPptalMaestro"), "Inicial1");
  sqlite3_close(db);

  EXPECT_TRUE(tv::schema::UpgradeBooks(tmp.path()).empty());
  // Una instalación nueva ya está al día.
  tests::TempFolder nueva;
  tv::schema::CreateFreshInstallation(nueva.path());
  EXPECT_TRUE(tv::schema::UpgradeBooks(tv::schema::StarterBooksFolder(nueva.path())).empty());
  EXPECT_TRUE(tv::schema::UpgradeProgram(nueva.path()).empty());
  tv::db::ReleaseDatabase(tmp.path());
  tv::db::ReleaseDatabase(tv::schema::StarterBooksFolder(nueva.path()));
  tv::db::ReleaseDatabase(nueva.path());
}
