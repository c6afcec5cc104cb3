// Informe presupuestal completo sobre los libros generados de las pruebas de rendimiento (2.000
// rubros, un año de certificados, registros, órdenes y comprobantes): invariantes de cada fila,
// ninguna columna nula y totales de la cadena que cuadran al centavo con los documentos.
// Sin TALLIVAR_BENCH_BOOKS los libros se generan en una carpeta temporal (un minuto o menos) que
// se borra al terminar.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "common/LibrosBench.h"
#include "payments/FrmInfPpto.h"
#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"
#include "platform/db/Storage.h"
#include "shared/general/SqlUtil.h"

namespace fs = std::filesystem;

namespace {

// La construcción de la tabla, sin el diálogo del archivo, como la corre el programa.
struct Informe : TfrmInfPpto {
  Informe() : TfrmInfPpto(nullptr) {}
  void Correr(TDateTime desde, TDateTime hasta) {
    fechaInicial = desde;
    fechaFinal = hasta;
    tv::db::Transaction tx("Contabilidad");
    if (tv::db::TableExists("Contabilidad", "infPpto")) HagaSQL("Contabilidad", queryGral, "drop table infPpto");
    construir();
    tx.Commit();
  }
};

// Lectura directa de los libros (otra conexión: ve lo que el informe confirmó).
class Libros {
 public:
  Libros() {
    std::string ruta = tv::bench::LibrosBench().libros + "/" + tv::db::kDatabaseFileName;
    if (sqlite3_open_v2(ruta.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) db_ = nullptr;
  }
  ~Libros() { sqlite3_close(db_); }
  bool Abiertos() const { return db_ != nullptr; }
  double Numero(const std::string& sql) const {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sqlite3_errmsg(db_) << " en: " << sql;
      return -1;
    }
    double v = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_double(st, 0) : -1;
    sqlite3_finalize(st);
    return v;
  }

 private:
  sqlite3* db_ = nullptr;
};

// Documentos de certificados cuyos rubros están todos en el plan (filas de certDispRubros o,
// sin filas, el rubro propio).
const char* const kCertificadosDelPlan =
    "select c.icd from mvtCertDisp as c where "
    "(exists (select 1 from certDispRubros as r where r.icd=c.icd) and not exists (select 1 from certDispRubros as r "
    "where r.icd=c.icd and r.rubroPptal not in (select iCuenta from PlPpto))) "
    "or (not exists (select 1 from certDispRubros as r where r.icd=c.icd) and c.rubroPptal in "
    "(select iCuenta from PlPpto))";

const char* const kConOrdenes =
    "(m.op1 is not null or m.op2 is not null or m.op3 is not null or m.op4 is not null or m.op5 is not null)";

class InfPptoLibros : public ::testing::Test {
 protected:
  static void TearDownTestSuite() {
    // Los libros de una carpeta temporal no se quedan en el disco.
    if (temporal.empty()) return;
    std::error_code ec;
    fs::current_path(fs::temp_directory_path(), ec);
    fs::remove_all(temporal, ec);
  }
  static void Abrir() {
    const char* env = std::getenv("TALLIVAR_BENCH_BOOKS");
    fs::path base = fs::path(tv::bench::LibrosBench().programa).parent_path();
    if (!(env && *env) && base.filename().string().rfind("tvlibrosbench", 0) == 0) temporal = base;
    ASSERT_TRUE(tv::bench::AbrirComoElPrograma());
    ASSERT_FALSE(tv::bench::RubrosGasto().empty());
  }
  static inline fs::path temporal;

  // Una corrida del informe y su revisión completa contra los documentos hasta `hasta`.
  void Revisar(TDateTime desde, TDateTime hasta) {
    if (!informe) informe = std::make_unique<Informe>();
    informe->Correr(desde, hasta);
    const std::string fin = "'" + FormatDateTime("yyyy-mm-dd", hasta).str() + "'";
    SCOPED_TRACE("hasta " + fin);
    Libros l;
    ASSERT_TRUE(l.Abiertos());

    // Una fila por código del plan con certificados o movimientos.
    EXPECT_EQ(l.Numero("select count(*) from infPpto"),
              l.Numero("select count(*) from (select rubroPptal as c from mvtCertDisp union select rubroPptal from "
                       "certDispRubros union select icuenta from mvtPptal) where c in (select iCuenta from PlPpto)"));
    EXPECT_GT(l.Numero("select count(*) from infPpto"), 1999);
    EXPECT_EQ(l.Numero("select count(*) from infPpto where rubro is null or nrubro is null or apropiado is null or "
                       "adicionado is null or Reducido is null or trasladoMas is null or trasladoMenos is null or "
                       "apropiadoReal is null or cdpAntes is null or cdpMvt is null or cdpHastaFecha is null or "
                       "disponibleCDP is null or rpAntes is null or rpMvt is null or rpHastaFecha is null or "
                       "odpAntes is null or odpMvt is null or odpHastaFecha is null or cpAntes is null or "
                       "cpMvt is null or cpHastaFecha is null"),
              0);
    EXPECT_EQ(l.Numero("select count(*) from infPpto where "
                       "abs(apropiadoReal-(apropiado+adicionado-Reducido+trasladoMas-trasladoMenos))>0.001 "
                       "or abs(cdpHastaFecha-cdpAntes-cdpMvt)>0.001 or abs(rpHastaFecha-rpAntes-rpMvt)>0.001 "
                       "or abs(odpHastaFecha-odpAntes-odpMvt)>0.001 or abs(cpHastaFecha-cpAntes-cpMvt)>0.001 "
                       "or abs(disponibleCDP-(apropiadoReal-cdpHastaFecha))>0.001"),
              0);

    const std::string certificados = std::string("(") + kCertificadosDelPlan + ")";
    const std::string registros = "(select rp.irp from mvtRegPptal as rp where rp.icd in " + certificados + ")";
    const std::string ordenes = "(select op.iop from mvtOrdenPago as op where op.irp in " + registros + ")";
    struct Total {
      const char* columna;
      std::string documentos;
    };
    std::string comprobantes =
        "select sum(m.valor) from mvtMaestro as m where m.descdocu='CP' and m.fecha<=" + fin + " and " + kConOrdenes;
    for (int k = 1; k <= 5; ++k) {
      std::string c = "m.op" + std::to_string(k);
      comprobantes += " and (" + c + " is null or " + c + " in " + ordenes + ")";
    }
    const Total totales[] = {
        {"cdpHastaFecha", "select sum(valor) from mvtCertDisp where fechaExped>='1980-01-01' and fechaExped<=" + fin +
                              " and icd in " + certificados},
        {"rpHastaFecha",
         "select sum(valor) from mvtRegPptal where fechaExped<=" + fin + " and irp in " + registros},
        {"odpHastaFecha",
         "select sum(valor) from mvtOrdenPago where fechaExped<=" + fin + " and iop in " + ordenes},
        {"cpHastaFecha", comprobantes},
    };
    for (const auto& t : totales) {
      double documentos = l.Numero(t.documentos);
      EXPECT_GT(documentos, 0) << t.columna;
      EXPECT_NEAR(l.Numero(std::string("select sum(") + t.columna + ") from infPpto"), documentos, 0.005)
          << t.columna;
    }
    // Los comprobantes que no entran en la cuenta de arriba no tocan ninguna orden del plan.
    EXPECT_EQ(l.Numero(std::string("select count(*) from mvtMaestro as m where m.descdocu<>'CP' and ") + kConOrdenes),
              0);
  }

  std::unique_ptr<Informe> informe;
};

TEST_F(InfPptoLibros, InvariantesYTotalesQueCuadranConLosDocumentos) {
  ASSERT_NO_FATAL_FAILURE(Abrir());
  Revisar(EncodeDate(2026, 1, 1), EncodeDate(2026, 12, 31));
  Revisar(EncodeDate(2026, 4, 1), EncodeDate(2026, 6, 30));
}

}  // namespace
