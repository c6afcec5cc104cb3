// Definición de las tablas de una contabilidad y de la carpeta del programa.
//
// Anchos de texto elegidos donde las tablas no los fijan (tomados de los campos de edición
// que los llenan, o de los textos con que se copian a otras tablas):
//
//   campo                                   ancho  origen
//   códigos de cuenta (numecuen, rubro...)     18  código de cuenta / rubro de 18 dígitos
//   nombres (nombcuen, nombre, NombDocu...)    60  nombre de cuenta de 60
//   cedulanit, itercero                        18  itercero char(18) de la información exógena
//   descdocu, CodiDocu, CodiComp, desccomp      3  código de tipo de documento o soporte de 3
//   CodiCent, centcost                         10  código de centro de costos de 10
//   numedocu, numecomp                         15  número de documento leído en 15 caracteres
//   detalle de MVT y asientos, Detalle        254  detalle de comprobante de 254
//   objetoGasto, docAsociado, acuerdo         254  campos de edición de 254
//   apellidos y nombres de terceros            15  apellido1..nombre2 char(15) de la exógena
//   razonSocial, razonComercial                60  razonsocial char(60) de la exógena
//   direccion 60, telefono 20, ciudad 5, dpto 2, grado 10, grupo 10
//   LOGIN, iusuario                            20
//   PASSWORD                                  128  resumen cifrado de la clave (argon2id)
//   NContabilidad                              10  nombre de la contabilidad de 10
//   rutaContabilidad                          255  ruta completa
//   iMvtPptal 10, vigFiscal 10, numeroCheque 20, banco 60, tipo 3, unidades 10, codiveri 10
//   fuente                                    129  fuente char(129) del saldo de rubros
//   IEmpresa 100, NIT 20, encabezado1..3 100, títulos y firmantes 60
#include "app/schema/Schema.h"

#include <sqlite3.h>

#include <cctype>
#include <stdexcept>

#include "app/schema/Versiones.h"
#include "platform/db/Engine.h"
#include "platform/db/Storage.h"

namespace tv::schema {

namespace {

constexpr ColumnKind T = ColumnKind::Text;
constexpr ColumnKind N = ColumnKind::Number;
constexpr ColumnKind I = ColumnKind::Integer;
constexpr ColumnKind D = ColumnKind::Date;
constexpr ColumnKind L = ColumnKind::Logical;
constexpr ColumnKind M = ColumnKind::Memo;

bool EqNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

TableDef Books(std::string name, std::vector<FieldDef> fields, std::vector<std::string> key = {},
               std::vector<IndexDef> indexes = {}) {
  TableDef t;
  t.name = std::move(name);
  t.fields = std::move(fields);
  t.key = std::move(key);
  t.indexes = std::move(indexes);
  return t;
}

TableDef Work(std::string name, std::vector<FieldDef> fields, std::vector<std::string> key = {}) {
  TableDef t = Books(std::move(name), std::move(fields), std::move(key));
  t.work = true;
  return t;
}

TableDef BySql(TableDef t) {
  t.createdBySql = true;
  return t;
}

TableDef Program(std::string name, std::vector<FieldDef> fields) {
  TableDef t = Books(std::move(name), std::move(fields));
  t.place = Place::Program;
  return t;
}

// Líneas de comprobante, comunes a MVT y a la tabla de trabajo del editor.
std::vector<FieldDef> LineasComprobante(bool conFecha) {
  std::vector<FieldDef> f = {
      {"numecuen", T, 18}, {"cedulanit", T, 18}, {"detalle", T, 254}, {"centcost", T, 10},
      {"desccomp", T, 3},  {"numecomp", T, 15},  {"debito", N, 0},    {"credito", N, 0},
      {"Cantidad", N, 0},  {"rubro", T, 18},     {"descdocu", T, 3},  {"numedocu", T, 15},
  };
  if (conFecha) f.push_back({"fecha", D, 0});
  return f;
}

std::vector<TableDef> BuildTables() {
  std::vector<TableDef> t;
  // Libro diario y maestros.
  t.push_back(Books("MVT", LineasComprobante(true), {},
                    {{"MVT_Documento", {"descdocu", "numedocu"}},
                     // Cubre las sumas por cuenta de los balances sin volver a las filas.
                     {"MVT_Cuenta", {"numecuen", "fecha", "debito", "credito"}},
                     {"MVT_Tercero", {"cedulanit"}},
                     {"MVT_Fecha", {"fecha"}},
                     {"MVT_Rubro", {"rubro", "fecha"}}}));
  t.push_back(Books("mvtMaestro",
                    {{"descdocu", T, 3}, {"numedocu", T, 15}, {"fecha", D, 0}, {"valor", N, 0},
                     {"op1", N, 0}, {"op2", N, 0}, {"op3", N, 0}, {"op4", N, 0}, {"op5", N, 0},
                     {"qitems", I, 0}, {"descuadre", N, 0}, {"iusuario", T, 20},
                     {"tipoAsiento", T, 1}, {"detalle", M, 0},
                     // Columnas que muestra la consulta de documentos; nadie las escribe.
                     {"ctaPpto", T, 18}, {"certDisp", N, 0}, {"Ejecucion", N, 0}},
                    {}, {{"mvtMaestro_Documento", {"descdocu", "numedocu"}},
                         {"mvtMaestro_Fecha", {"fecha"}},
                         // Órdenes de pago que cancela un comprobante: una unión por campo.
                         {"mvtMaestro_Op1", {"op1"}}, {"mvtMaestro_Op2", {"op2"}},
                         {"mvtMaestro_Op3", {"op3"}}, {"mvtMaestro_Op4", {"op4"}},
                         {"mvtMaestro_Op5", {"op5"}}}));
  t.push_back(Books("PL",
                    {{"numecuen", T, 18}, {"nombcuen", T, 60}, {"Cantidad", T, 1},
                     {"unidades", T, 10}, {"centcost", T, 1}, {"exigterc", T, 1},
                     {"codiveri", T, 10}, {"naturaleza", T, 1}, {"rubro", T, 18},
                     {"tipoRubro", T, 1}},
                    {"numecuen"}));
  t.push_back(Books("TC",
                    {{"CedulaNIT", T, 18}, {"digitoVerificacion", T, 1}, {"tipoDocumento", T, 2},
                     {"apellido1", T, 15}, {"apellido2", T, 15}, {"nombre1", T, 15},
                     {"nombre2", T, 15}, {"razonSocial", T, 60}, {"razonComercial", T, 60},
                     {"nombre", T, 60}, {"direccion", T, 60}, {"telefono", T, 20},
                     {"ciudad", T, 5}, {"dpto", T, 2}, {"autoretiva", L, 0},
                     {"autoretret", L, 0}, {"grado", T, 10}, {"grupo", T, 10}},
                    {"CedulaNIT"}, {{"IdxNombre", {"nombre"}, "ES"}}));
  t.push_back(Books("CC", {{"CodiCent", T, 10}, {"NombCent", T, 60}}, {},
                    {{"CC_Codigo", {"CodiCent"}}}));
  t.push_back(Books("DG",
                    {{"CodiDocu", T, 3}, {"NombDocu", T, 60}, {"ExigeMvtPptal", T, 1},
                     {"esIngreso", T, 1}},
                    {}, {{"DG_Codigo", {"CodiDocu"}}}));
  t.push_back(Books("CP", {{"CodiComp", T, 3}, {"NombComp", T, 60}}, {},
                    {{"CP_Codigo", {"CodiComp"}}}));
  t.push_back(Books("ConfigContab",
                    {{"NContabilidad", T, 10}, {"IEmpresa", T, 100}, {"NIT", T, 20},
                     {"acuerdo", T, 254}, {"rector", T, 60}, {"auxiliar", T, 60},
                     {"tallivar", T, 60}, {"Utilidad", T, 18}, {"Perdida", T, 18},
                     {"NCargo1", T, 60}, {"NCargo2", T, 60}, {"NCargo3", T, 60},
                     {"ICargo1", T, 60}, {"ICargo2", T, 60}, {"ICargo3", T, 60},
                     {"encabezado1", T, 100}, {"encabezado2", T, 100}, {"encabezado3", T, 100}}));
  t.push_back(Books("permisos",
                    {{"LOGIN", T, 20}, {"NUSUARIO", T, 60}, {"PASSWORD", T, 128},
                     {"BModificar", L, 0}, {"BGrabar", L, 0}, {"BBorrar", L, 0}},
                    {}, {{"permisos_Login", {"LOGIN"}}}));
  // Tablas de trabajo del editor de comprobantes y de los balances.
  {
    auto f = LineasComprobante(false);
    for (auto& c : f) {
      std::string up;
      for (char ch : c.name) up += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      if (c.name != "Cantidad" && c.name != "rubro") c.name = up;
    }
    f.push_back({"Check", L, 0});
    f.push_back({"CheckTercero", L, 0});
    t.push_back(Work("asientos", f));
  }
  t.push_back(Work("baltempestados",
                   {{"Numecuen", T, 18}, {"NombCuen", T, 60}, {"SaldoDebito", N, 0},
                    {"SaldoCredito", N, 0}, {"Pasasaldo", N, 0}, {"Debito", N, 0},
                    {"Credito", N, 0}, {"NuevoDebito", N, 0}, {"NuevoCredito", N, 0},
                    {"NuevoSaldo", N, 0}}));
  t.push_back(Work("SaldosAntes", {{"numecuen", T, 18}, {"Debito", N, 0}, {"Credito", N, 0}}));
  t.push_back(Work("SaldosEntre", {{"numecuen", T, 18}, {"Debito", N, 0}, {"Credito", N, 0}}));
  t.push_back(Work("Temp",
                   {{"fecha", D, 0}, {"DescDocu", T, 3}, {"numedocu", T, 15}, {"Data", T, 18},
                    {"debito", N, 0}, {"credito", N, 0}}));
  t.push_back(Work("temp2",
                   {{"fecha", D, 0}, {"descdocu", T, 20}, {"numedocu", T, 15}, {"data", T, 18},
                    {"nombcuen", T, 60}, {"debito", N, 0}, {"credito", N, 0}}));
  t.push_back(BySql(Work("infExogena",
                         {{"itercero", T, 18}, {"ntercero", T, 60}, {"cuenta", T, 18},
                          {"ncuenta", T, 150}, {"valor", N, 0}, {"digitoVerificacion", T, 1},
                          {"tipoDocumento", T, 3}, {"apellido1", T, 15}, {"apellido2", T, 15},
                          {"nombre1", T, 15}, {"nombre2", T, 15}, {"razonsocial", T, 60},
                          {"direccion", T, 30}, {"ciudad", T, 15}, {"dpto", T, 2}})));

  // Presupuesto y pagos.
  t.push_back(Books("PlPpto",
                    {{"iCuenta", T, 18}, {"nCuenta", T, 60}, {"tipoCuenta", T, 1},
                     {"fuente", T, 129}},
                    {"tipoCuenta", "iCuenta"}));
  t.push_back(Books("mvtPptal",
                    {{"iMvtPptal", T, 10}, {"tipoMvtPptal", T, 3}, {"icuenta", T, 18},
                     {"tipoCuenta", T, 1}, {"ingreso", N, 0}, {"egreso", N, 0},
                     {"cuentaDebito", T, 18}, {"cuentaCredito", T, 18}},
                    {}, {{"mvtPptal_Movimiento", {"iMvtPptal", "tipoMvtPptal"}},
                         {"mvtPptal_RubroTipo", {"icuenta", "tipoCuenta"}},
                         // Los nulos de los montos se buscan sin recorrer la tabla.
                         {"mvtPptal_Ingreso", {"ingreso"}}, {"mvtPptal_Egreso", {"egreso"}}}));
  t.push_back(Books("MvtPptalMaestro",
                    {{"iMvtPptal", T, 10}, {"tipoMvtPptal", T, 3}, {"fecha", D, 0},
                     {"detalle", T, 254}, {"iUsuario", T, 20},
                     // Veces que se ha grabado: un puesto no graba encima de lo que otro grabó
                     // después de traerlo.
                     {"version", I, 0}},
                    {}, {{"MvtPptalMaestro_Movimiento", {"iMvtPptal", "tipoMvtPptal"}}}));
  t.push_back(Work("asientoPptal",
                   {{"icuenta", T, 18}, {"tipoCuenta", T, 1}, {"ingreso", N, 0},
                    {"egreso", N, 0}, {"cuentaDebito", T, 18}, {"cuentaCredito", T, 18},
                    {"check", L, 0}}));
  t.push_back(Books("mvtCertDisp",
                    {{"icd", N, 0}, {"FechaExped", D, 0}, {"fechaVenc", D, 0},
                     {"objetoGasto", T, 254}, {"valor", N, 0}, {"func", N, 0}, {"inv", N, 0},
                     {"vigFiscal", T, 10}, {"rubroPptal", T, 18}},
                    {"icd"}, {{"mvtCertDisp_Rubro", {"rubroPptal"}}}));
  t.push_back(Books("certDispRubros", {{"icd", N, 0}, {"rubroPptal", T, 18}, {"valor", N, 0}},
                    {}, {{"certDispRubros_Cdp", {"icd"}}, {"certDispRubros_Rubro", {"rubroPptal"}}}));
  {
    std::vector<FieldDef> f = {{"icd", N, 0}};
    for (int m = 1; m <= 12; ++m) f.push_back({"m" + std::to_string(m), N, 0});
    t.push_back(Books("pac", f, {"icd"}));
  }
  t.push_back(Books("mvtRegPptal",
                    {{"irp", N, 0}, {"FechaExped", D, 0}, {"fechaVenc", D, 0},
                     {"itercero", T, 18}, {"ICD", N, 0}, {"valor", N, 0}, {"func", N, 0},
                     {"inv", N, 0}, {"vigFiscal", T, 10}, {"objetoGasto", T, 254},
                     {"docAsociado", T, 254}},
                    {"irp"}, {{"mvtRegPptal_Cdp", {"ICD"}}}));
  t.push_back(Books("mvtOrdenServicio",
                    {{"iOrdenServicio", N, 0}, {"Fecha", D, 0}, {"itercero", T, 18},
                     {"descServicio", M, 0}, {"irp", N, 0}, {"valor", N, 0}, {"iop", N, 0}},
                    {"iOrdenServicio"}, {{"mvtOrdenServicio_Rp", {"irp"}}}));
  t.push_back(Books("mvtOrdenSumiMaestro",
                    {{"iOrdenSuministro", N, 0}, {"Fecha", D, 0}, {"itercero", T, 18},
                     {"detalle", T, 200}, {"qItems", I, 0}, {"valorTotal", N, 0},
                     {"irp", N, 0}, {"Autorizo", T, 60}},
                    {"iOrdenSuministro"}, {{"mvtOrdenSumiMaestro_Rp", {"irp"}}}));
  t.push_back(Books("mvtOrdenSuministro",
                    {{"iOrdenSuministro", N, 0}, {"iArticulo", T, 12}, {"cantidad", N, 0},
                     {"valorUnit", N, 0}},
                    {}, {{"mvtOrdenSuministro_Orden", {"iOrdenSuministro"}}}));
  t.push_back(Books("articulos", {{"iArticulo", T, 12}, {"nArticulo", T, 60}}, {"iArticulo"}));
  t.push_back(Books("mvtOrdenPago",
                    {{"iop", N, 0}, {"FechaExped", D, 0}, {"fechaVenc", D, 0},
                     {"itercero", T, 18}, {"IRP", N, 0}, {"valor", N, 0}, {"numeDocu", T, 15},
                     {"descdocu", T, 3}, {"iAstoProg", I, 0}, {"objetoGasto", T, 254},
                     {"valorCheque", N, 0}, {"numeroCheque", T, 20}, {"banco", T, 60},
                     {"valorEfectivo", N, 0}},
                    {"iop"}, {{"mvtOrdenPago_Rp", {"IRP"}}}));
  t.push_back(Books("reintegros",
                    {{"cdp", N, 0}, {"rubro", T, 18}, {"valor", N, 0}, {"justificacion", M, 0},
                     {"fecha", D, 0}, {"iusuario", T, 20}},
                    {}, {{"reintegros_Rubro", {"rubro"}}}));
  t.push_back(Books("asientosProgCfg",
                    {{"iAstoProg", I, 0}, {"nAstoProg", T, 60}, {"descDocu", T, 3},
                     {"requiereTercero", T, 1}, {"Detalle", T, 254}},
                    {"iAstoProg"}));
  t.push_back(Books("asientosprog",
                    {{"iAstoProg", I, 0}, {"numeCuen", T, 18}, {"naturaleza", T, 1},
                     {"rubro", T, 18}},
                    {}, {{"asientosprog_Plantilla", {"iAstoProg"}}}));
  t.push_back(Books("retenciones",
                    {{"cuenta", T, 18}, {"nombre", T, 60}, {"base", N, 0}, {"porcentaje", N, 0},
                     {"tipo", T, 3}, {"porcentajeNoDeclara", N, 0}, {"redondeoPeso", L, 0},
                     {"redondeoMiles", L, 0}, {"fechaInicio", D, 0}, {"fechaFinal", D, 0}}));
  // Declarada por el módulo de datos; ningún formulario la abre.
  t.push_back(Books("imputPptalCD", {{"icd", N, 0}, {"rubroPptal", T, 18}, {"valor", N, 0}}));
  {
    std::vector<FieldDef> f = {{"rubro", T, 18}, {"nrubro", T, 124}};
    for (const char* c : {"apropiado", "adicionado", "Reducido", "trasladoMas", "trasladoMenos",
                          "apropiadoReal", "cdpAntes", "cdpMvt", "cdpHastaFecha", "disponibleCDP",
                          "rpAntes", "rpMvt", "rpHastaFecha", "odpAntes", "odpMvt",
                          "odpHastaFecha", "cpAntes", "cpMvt", "cpHastaFecha"})
      f.push_back({c, N, 0});
    t.push_back(BySql(Work("infPpto", f, {"rubro"})));
  }
  t.push_back(BySql(Work("saldoRubros",
                         {{"tipoCuenta", T, 1}, {"icuenta", T, 18}, {"ncuenta", T, 124},
                          {"fuente", T, 129}, {"disponible", N, 0}})));

  // Carpeta del programa.
  t.push_back(Program("contabs",
                      {{"NContabilidad", T, 10}, {"rutaContabilidad", T, 255}, {"anio", I, 0},
                       {"Activa", T, 1}}));
  t.push_back(Program("Config", {{"ReteFuente", T, 18}, {"ReteIva", T, 18}}));
  t.push_back(Program("cfgOV", {{"usoPropio", L, 0}}));
  return t;
}

std::string Quote(std::string_view name) {
  std::string r = "\"";
  for (char c : name) {
    if (c == '"') r += '"';
    r += c;
  }
  return r + "\"";
}

bool TableExists(sqlite3* db, const std::string& name) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE",
                     -1, &st, nullptr);
  sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
  bool found = sqlite3_step(st) == SQLITE_ROW;
  sqlite3_finalize(st);
  return found;
}

std::vector<std::string> CreateInFolder(const std::string& folder, Place place) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path += '/';
  path += tv::db::kDatabaseFileName;
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
    std::string msg = db ? sqlite3_errmsg(db) : "sin memoria";
    sqlite3_close(db);
    throw std::runtime_error("No se pudo abrir " + path + ": " + msg);
  }
  try {
    auto created = CreateMissingTables(db, place);
    if (place == Place::Books) KeepDocumentVersions(db);
    sqlite3_close(db);
    return created;
  } catch (...) {
    sqlite3_close(db);
    throw;
  }
}

}  // namespace

const FieldDef* TableDef::Field(std::string_view fieldName) const {
  for (const auto& f : fields)
    if (EqNoCase(f.name, fieldName)) return &f;
  return nullptr;
}

const std::vector<TableDef>& AllTables() {
  static const std::vector<TableDef> tables = [] {
    auto t = BuildTables();
    for (const auto& d : t)
      for (const auto& ix : d.indexes)
        if (!ix.collate.empty()) tv::db::SetIndexQueryCollation(ix.name, ix.collate);
    return t;
  }();
  return tables;
}

const TableDef* FindTable(std::string_view name) {
  std::string stored = tv::db::StoredTableName(name);
  for (const auto& t : AllTables())
    if (EqNoCase(t.name, stored)) return &t;
  return nullptr;
}

std::string CreateTableSql(const TableDef& table) {
  std::string sql = "CREATE TABLE " + Quote(table.name) + " (";
  for (size_t i = 0; i < table.fields.size(); ++i) {
    const auto& f = table.fields[i];
    if (i) sql += ", ";
    sql += Quote(f.name) + " " + tv::db::DeclaredType(f.kind, f.size);
  }
  if (!table.key.empty()) {
    sql += ", PRIMARY KEY (";
    for (size_t i = 0; i < table.key.size(); ++i) sql += (i ? ", " : "") + Quote(table.key[i]);
    sql += ")";
  }
  return sql + ")";
}

namespace {
std::string IndexSql(const IndexDef& ix, const std::string& table) {
  std::string sql = "CREATE INDEX " + Quote(ix.name) + " ON " + Quote(table) + " (";
  for (size_t i = 0; i < ix.fields.size(); ++i)
    sql += (i ? ", " : "") + Quote(ix.fields[i]);
  return sql + ")";
}
}  // namespace

std::vector<std::string> CreateIndexSql(const TableDef& table) {
  std::vector<std::string> out;
  for (const auto& ix : table.indexes) out.push_back(IndexSql(ix, table.name));
  return out;
}

namespace {

std::vector<std::string> CreateMissingTablesInTransaction(sqlite3* db, Place place, bool includeSqlCreated = false) {
  std::vector<std::string> created;
  for (const auto& t : AllTables()) {
    if (t.place != place || (t.createdBySql && !includeSqlCreated)) continue;
    if (TableExists(db, t.name)) continue;
    ExecSql(db, CreateTableSql(t));
    for (const auto& ix : CreateIndexSql(t)) ExecSql(db, ix);
    created.push_back(t.name);
  }
  return created;
}

}  // namespace

namespace {

struct InstalledColumn {
  std::string name;
  std::string declared;
};

std::vector<InstalledColumn> InstalledColumns(sqlite3* db, const std::string& table) {
  std::vector<InstalledColumn> out;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, ("PRAGMA table_info(" + Quote(table) + ")").c_str(), -1, &st, nullptr) != SQLITE_OK)
    throw std::runtime_error(std::string(sqlite3_errmsg(db)) + " al leer las columnas de " + table);
  while (sqlite3_step(st) == SQLITE_ROW) {
    auto text = [&](int i) {
      const unsigned char* t = sqlite3_column_text(st, i);
      return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
    };
    out.push_back({text(1), text(2)});
  }
  sqlite3_finalize(st);
  return out;
}

bool IndexExists(sqlite3* db, const std::string& name) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type='index' AND name=?1 COLLATE NOCASE", -1, &st,
                     nullptr);
  sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
  bool found = sqlite3_step(st) == SQLITE_ROW;
  sqlite3_finalize(st);
  return found;
}

// Un índice al día existe y no lleva orden propio: uno hecho con el orden español guardado
// ("COLLATE ES", que otro cliente de SQLite no conoce) se rehace simple.
bool IndexCurrent(sqlite3* db, const IndexDef& ix) {
  if (!IndexExists(db, ix.name)) return false;
  sqlite3_stmt* st = nullptr;
  bool simple = true;
  if (sqlite3_prepare_v2(db, ("PRAGMA index_xinfo(" + Quote(ix.name) + ")").c_str(), -1, &st, nullptr) == SQLITE_OK)
    while (sqlite3_step(st) == SQLITE_ROW) {
      const unsigned char* orden = sqlite3_column_text(st, 4);
      if (sqlite3_column_int(st, 5) != 0 && orden &&
          sqlite3_stricmp(reinterpret_cast<const char*>(orden), "BINARY") != 0)
        simple = false;
    }
  sqlite3_finalize(st);
  return simple;
}

std::string StoredName(sqlite3* db, const std::string& name) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE", -1, &st,
                     nullptr);
  sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
  std::string out = name;
  if (sqlite3_step(st) == SQLITE_ROW) out = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
  sqlite3_finalize(st);
  return out;
}

// Lo que le falta a una tabla instalada frente a su definición.
struct Diferencia {
  std::vector<const FieldDef*> faltan;      // columnas que se añaden
  std::vector<std::string> angostas;        // textos más angostos que su definición
  bool reconstruir = false;                 // un ancho o una clave que ALTER no puede dar
};

Diferencia Comparar(sqlite3* db, const TableDef& t, const std::string& stored) {
  Diferencia d;
  auto cols = InstalledColumns(db, stored);
  for (const auto& f : t.fields) {
    const InstalledColumn* c = nullptr;
    for (const auto& ic : cols)
      if (EqNoCase(ic.name, f.name)) c = &ic;
    if (!c) {
      d.faltan.push_back(&f);
      for (const auto& k : t.key)
        if (EqNoCase(k, f.name)) d.reconstruir = true;
      continue;
    }
    if (f.kind != ColumnKind::Text || f.size <= 0) continue;
    int size = 0;
    if (tv::db::KindOfDeclaredType(c->declared, &size) == ColumnKind::Text && size > 0 && size < f.size) {
      d.angostas.push_back(f.name + "(" + std::to_string(f.size) + ")");
      d.reconstruir = true;
    }
  }
  return d;
}

// Copia la tabla en una nueva con la definición vigente: mismas filas, mismos identificadores.
void Reconstruir(sqlite3* db, const TableDef& t, const std::string& stored) {
  auto cols = InstalledColumns(db, stored);
  std::string comunes;
  for (const auto& f : t.fields)
    for (const auto& c : cols)
      if (EqNoCase(c.name, f.name)) comunes += ", " + Quote(f.name);
  std::string temporal = t.name + "__nueva";
  ExecSql(db, "DROP TABLE IF EXISTS " + Quote(temporal));
  TableDef copia = t;
  copia.name = temporal;
  ExecSql(db, CreateTableSql(copia));
  ExecSql(db, "INSERT INTO " + Quote(temporal) + " (rowid" + comunes + ") SELECT rowid" + comunes + " FROM " +
               Quote(stored));
  ExecSql(db, "DROP TABLE " + Quote(stored));
  ExecSql(db, "ALTER TABLE " + Quote(temporal) + " RENAME TO " + Quote(t.name));
}

}  // namespace

// Estadísticas del planificador: sin ellas SQLite elige el índice de fecha para las sumas
// por cuenta y lee línea por línea. Se rehacen cuando faltan o cuando el diario creció a más
// del doble de las líneas que contaron; el análisis lee una muestra acotada de cada índice.
bool KeepStatistics(sqlite3* db) {
  if (sqlite3_db_readonly(db, "main") != 0 || !TableExists(db, "MVT")) return false;
  auto entero = [db](const char* sql) -> long long {
    sqlite3_stmt* st = nullptr;
    long long v = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
      v = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return v;
  };
  long long lineas = entero("SELECT coalesce(max(rowid), 0) FROM MVT");
  long long contadas = -1;
  if (TableExists(db, "sqlite_stat1"))
    contadas = entero("SELECT max(CAST(stat AS INTEGER)) FROM sqlite_stat1 WHERE tbl = 'MVT' COLLATE NOCASE");
  if (lineas < 1000 || (contadas > 0 && lineas <= 2 * contadas)) return false;
  // Con la escritura tomada por otro puesto no se espera: las estadísticas quedan para después.
  if (!tv::db::TryBeginImmediate(db)) return false;
  try {
    ExecSql(db, "PRAGMA analysis_limit=1000; ANALYZE; COMMIT");
  } catch (...) {
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
  return true;
}

std::vector<std::string> UpgradeSchema(sqlite3* db, Place place) {
  std::vector<std::string> cambios;
  // Unos libros que no se pueden escribir se leen como están; se ponen al día cuando se pueda.
  if (sqlite3_db_readonly(db, "main") != 0) return cambios;
  // Primero se mira sin escribir: un libro al día no toma la escritura.
  struct Pendiente {
    const TableDef* t;
    std::string stored;
    Diferencia d;
    std::vector<std::string> indices;
  };
  std::vector<Pendiente> pendientes;
  bool faltanTablas = false;
  for (const auto& t : AllTables()) {
    if (t.place != place || t.createdBySql) continue;
    if (!TableExists(db, t.name)) {
      faltanTablas = true;
      continue;
    }
    Pendiente p{&t, StoredName(db, t.name), {}, {}};
    p.d = Comparar(db, t, p.stored);
    for (const auto& ix : t.indexes)
      if (!IndexCurrent(db, ix)) p.indices.push_back(ix.name);
    if (!p.d.faltan.empty() || p.d.reconstruir || !p.indices.empty()) pendientes.push_back(std::move(p));
  }
  if (!faltanTablas && pendientes.empty()) return cambios;
  // Tablas y columnas hacen falta para abrir; los índices solo aceleran, y no esperan a otro
  // puesto que esté escribiendo.
  bool soloIndices = !faltanTablas;
  for (const auto& p : pendientes)
    if (!p.d.faltan.empty() || p.d.reconstruir) soloIndices = false;
  if (soloIndices) {
    if (!tv::db::TryBeginImmediate(db)) return cambios;
  } else {
    ExecSql(db, "BEGIN IMMEDIATE");
  }
  try {
    for (const auto& t : CreateMissingTablesInTransaction(db, place)) cambios.push_back(t);
    for (const auto& p : pendientes) {
      const TableDef& t = *p.t;
      if (p.d.reconstruir) {
        Reconstruir(db, t, p.stored);
        for (const auto& a : p.d.angostas) cambios.push_back(t.name + "." + a);
        for (const auto* f : p.d.faltan) cambios.push_back(t.name + "." + f->name);
        for (const auto& sql : CreateIndexSql(t)) ExecSql(db, sql);
        for (const auto& ix : t.indexes) cambios.push_back(t.name + ":" + ix.name);
        continue;
      }
      for (const auto* f : p.d.faltan) {
        ExecSql(db, "ALTER TABLE " + Quote(p.stored) + " ADD COLUMN " + Quote(f->name) + " " +
                     tv::db::DeclaredType(f->kind, f->size));
        cambios.push_back(t.name + "." + f->name);
      }
      for (const auto& ix : t.indexes) {
        if (IndexCurrent(db, ix)) continue;
        if (IndexExists(db, ix.name)) ExecSql(db, "DROP INDEX " + Quote(ix.name));
        ExecSql(db, IndexSql(ix, p.stored));
        cambios.push_back(t.name + ":" + ix.name);
      }
    }
    ExecSql(db, "COMMIT");
  } catch (...) {
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
  return cambios;
}

namespace {

std::vector<std::string> UpgradeFolder(const std::string& folder, Place place) {
  auto conn = tv::db::ConnectionFor(folder.c_str());
  auto cambios = UpgradeSchema(conn->Db(), place);
  if (place == Place::Books) KeepStatistics(conn->Db());
  bool versiones = place == Place::Books && KeepDocumentVersions(conn->Db());
  if (!cambios.empty() || versiones) {
    conn->SchemaChanged();
    conn->TouchAll();
  }
  return cambios;
}

}  // namespace

std::vector<std::string> UpgradeBooks(const std::string& folder) { return UpgradeFolder(folder, Place::Books); }
bool BooksReadOnly(const std::string& folder) {
  return sqlite3_db_readonly(tv::db::ConnectionFor(folder.c_str())->Db(), "main") != 0;
}
std::vector<std::string> UpgradeProgram(const std::string& folder) {
  return UpgradeFolder(folder, Place::Program);
}

void ExecSql(sqlite3* db, const std::string& sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : "error de SQLite";
    sqlite3_free(err);
    throw std::runtime_error(msg + " en: " + sql);
  }
}

std::vector<std::string> CreateMissingTables(sqlite3* db, Place place, bool includeSqlCreated) {
  std::vector<std::string> created;
  ExecSql(db, "BEGIN IMMEDIATE");
  try {
    created = CreateMissingTablesInTransaction(db, place, includeSqlCreated);
    ExecSql(db, "COMMIT");
  } catch (...) {
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
  return created;
}

std::vector<std::string> CreateBookTables(const std::string& folder) {
  return CreateInFolder(folder, Place::Books);
}

std::vector<std::string> CreateProgramTables(const std::string& folder) {
  return CreateInFolder(folder, Place::Program);
}

std::string StarterBooksFolder(const std::string& programFolder) {
  std::string f = programFolder;
  while (f.size() > 1 && f.back() == '/') f.pop_back();
  return f + "/" + kStarterBooksName + std::to_string(kStarterYear);
}

}  // namespace tv::schema
