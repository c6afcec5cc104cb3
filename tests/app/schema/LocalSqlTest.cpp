// Tabla de sentencias reales del dialecto local, traducidas y ejecutadas sobre una
// contabilidad recién instalada con algunos movimientos.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>

#include "app/schema/Schema.h"
#include "app/schema/TestFolder.h"
#include "platform/db/sql/SqliteSchema.h"

namespace {

const char* kSeed = R"SQL(
insert into TC (CedulaNIT, nombre, dpto) values ('800100', 'PROVEEDOR UNO', '05');
insert into TC (CedulaNIT, nombre) values ('79500', 'JUAN PEREZ');
insert into MVT (numecuen, cedulanit, detalle, centcost, debito, credito, descdocu, numedocu, fecha) values
 ('511114', '800100', 'Compra papeleria', 'ADM', 100, null, 'CE', '1', '2026-01-15'),
 ('240101', '800100', null, null, null, 100, 'CE', '1', '2026-01-15');
insert into MVT (numecuen, cedulanit, desccomp, numecomp, debito, credito, descdocu, numedocu, fecha) values
 ('240101', '800100', null, null, 100, null, 'CE', '2', '2026-02-10'),
 ('111005', null, 'CH', '55', null, 100, 'CE', '2', '2026-02-10');
insert into MVT (numecuen, cedulanit, detalle, rubro, debito, credito, descdocu, numedocu, fecha) values
 ('111005', null, null, null, 500, null, 'IN', '1', '2026-03-05'),
 ('470508', '79500', 'transferencia sgp', '1.1.02.06.001', null, 500, 'IN', '1', '2026-03-05'),
 ('111005', null, null, null, 1000, null, 'CSI', '1', '2025-12-31'),
 ('310506', null, null, null, null, 1000, 'CSI', '1', '2025-12-31');
insert into mvtMaestro (descdocu, numedocu, fecha, valor, qitems, op1) values
 ('CE', '1', '2026-01-15', 100, 2, null), ('CE', '2', '2026-02-10', 100, 2, null),
 ('IN', '1', '2026-03-05', 500, 2, null), ('CSI', '1', '2025-12-31', 1000, 2, null),
 ('CP', '1', '2026-03-10', 100, 0, 1);
insert into mvtCertDisp (icd, FechaExped, valor, objetoGasto) values
 (1, '2026-01-10', 300, 'Papeleria'), (2, '2026-02-01', 200, 'Aseo');
insert into certDispRubros (icd, rubroPptal, valor) values (1, '2.1.2.02.01', 300), (2, '2.1.2.02.02', 200);
insert into mvtRegPptal (irp, ICD, itercero, valor, FechaExped) values (1, 1, '800100', 100, '2026-01-12');
insert into mvtOrdenPago (iop, IRP, valor, descdocu, numeDocu, FechaExped) values (1, 1, 100, '_OP', '1', '2026-01-15');
insert into mvtOrdenServicio (iOrdenServicio, irp, valor) values (5, 9, 10);
insert into mvtOrdenSuministro (iOrdenSuministro, iArticulo, cantidad, valorUnit) values (7, 'A1', 2, 10), (7, 'A2', 0, 5);
insert into pac (icd) values (1), (2), (3);
insert into mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) values
 ('1', 'APR', '2.1.2.02.01', 'E', 0, 1000), ('1', 'APR', '1.1.02.06.001', 'I', 1000, null);
insert into MvtPptalMaestro (iMvtPptal, tipoMvtPptal, fecha, detalle) values ('1', 'APR', '2026-01-02', 'Presupuesto inicial');
insert into PlPpto (tipoCuenta, iCuenta, nCuenta) values ('I', '2.1.2.02.01', 'CODIGO REPETIDO');
)SQL";

struct Case {
  Case(const char* n, std::vector<std::string> s, std::vector<std::string> e, std::string c = "",
       bool o = false)
      : name(n), statements(std::move(s)), expected(std::move(e)), check(std::move(c)), ordered(o) {}
  const char* name;
  std::vector<std::string> statements;  // dialecto local, en orden
  std::vector<std::string> expected;    // filas de `check` (o de la última sentencia)
  std::string check;                    // consulta directa a SQLite; vacía: la última sentencia
  bool ordered;                         // el orden de las filas cuenta
};

class LocalSql : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new tests::TempFolder;
    tv::schema::CreateFreshInstallation(folder_->path());
    db_ = tests::OpenFolder(tv::schema::StarterBooksFolder(folder_->path()));
    tests::Exec(db_, kSeed);
  }
  static void TearDownTestSuite() {
    sqlite3_close(db_);
    delete folder_;
  }

  static std::vector<std::string> Rows(const std::string& sql, std::vector<std::string>* names = nullptr) {
    std::vector<std::string> rows;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sqlite3_errmsg(db_) << " en: " << sql;
      return rows;
    }
    if (names)
      for (int c = 0; c < sqlite3_column_count(st); ++c) names->push_back(sqlite3_column_name(st, c));
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
      std::string row;
      for (int c = 0; c < sqlite3_column_count(st); ++c) {
        if (c) row += '|';
        const unsigned char* v = sqlite3_column_text(st, c);
        if (v) row += reinterpret_cast<const char*>(v);
      }
      rows.push_back(row);
    }
    if (rc != SQLITE_DONE) ADD_FAILURE() << sqlite3_errmsg(db_) << " en: " << sql;
    sqlite3_finalize(st);
    return rows;
  }

  // Traduce y ejecuta; devuelve las filas de la última sentencia traducida.
  static std::vector<std::string> Run(const std::string& local, std::vector<std::string>* names = nullptr) {
    tv::db::SqliteSchemaLookup schema(db_);
    tv::db::Translation t = tv::db::TranslateLocalSql(local, schema);
    std::vector<std::string> rows;
    for (const auto& s : t.statements) rows = Rows(s, names);
    return rows;
  }

  void Check(const Case& c) {
    SCOPED_TRACE(c.name);
    tests::Exec(db_, "SAVEPOINT caso");
    std::vector<std::string> rows;
    try {
      for (const auto& s : c.statements) rows = Run(s);
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
    }
    if (!c.check.empty()) rows = Rows(c.check);
    std::vector<std::string> expected = c.expected;
    if (!c.ordered) {
      std::sort(rows.begin(), rows.end());
      std::sort(expected.begin(), expected.end());
    }
    EXPECT_EQ(rows, expected);
    tests::Exec(db_, "ROLLBACK TO caso");
    tests::Exec(db_, "RELEASE caso");
  }

  static tests::TempFolder* folder_;
  static sqlite3* db_;
};

tests::TempFolder* LocalSql::folder_ = nullptr;
sqlite3* LocalSql::db_ = nullptr;

TEST_F(LocalSql, ConsultasDeUnaTabla) {
  const Case cases[] = {
      {"fechas fuera del año",
       {"select descdocu,numedocu,fecha from mvtmaestro where fecha<'01/01/2026' or fecha>'12/31/2026'"},
       {"CSI|1|2025-12-31"}},
      {"tercero sin id", {"select count(*) as cantidad from tc where cedulanit is null"}, {"1"}},
      {"texto entre comillas simples", {"select nombcuen from pl where numeCuen='110501'"}, {"CAJA PRINCIPAL"}},
      {"valores entre comillas dobles",
       {"select numecuen, credito from Mvt where DescDocu=\"CE\"  and Numedocu=\"2\""},
       {"240101|", "111005|100"}},
      {"literal pegado a group by, suma nula",
       {"select numecuen, sum(debito) as sd ,sum(credito) as sc from mvt where (numecuen>='4' and  "
        "numecuen<'8') or numecuen like '0%'group by numecuen"},
       {"470508||500", "511114|100|"}, "", true},
      {"like con prefijo", {"select numecuen from pl where numeCuen like '1105%'"}, {"1105", "110501"}},
      {"like distingue mayúsculas",
       {"select numecuen from PL where nombcuen like \"caja%\""}, {}},
      {"like contiene, minúsculas", {"select numecuen from mvt where detalle like '%papel%'"}, {"511114"}},
      {"like contiene, mayúsculas", {"select numecuen from mvt where detalle like '%PAPEL%'"}, {}},
      {"upper y like", {"select numecuen from mvt where upper(detalle) like '%PAPEL%'"}, {"511114"}},
      {"like con _", {"select numecuen from pl where numecuen  like '_'"}, {"1", "2", "3", "4", "5"}},
      {"not like",
       {"select count(*) from pl where numecuen not like \"____\""},
       Rows("select count(*) from PL where length(numecuen)<>4")},
      {"like con punto y comillas dobles",
       {"select icuenta from plPpto where icuenta like \"2.1.2.%\" and tipoCuenta='E'"},
       {"2.1.2.01", "2.1.2.02", "2.1.2.02.01", "2.1.2.02.02"}},
      {"fechas entre comillas simples",
       {"select iop from mvtOrdenPago where FechaExped>='01/01/2026' and FechaExped<='01/31/2026'"},
       {"1"}},
      {"fechas entre comillas dobles e is not null",
       {"select Sum(Debito) as Total          from mvt where Centcost is not null          and "
        "Fecha>=\"01/01/2026\" and Fecha<=\"12/31/2026\" "},
       {"100"}},
      {"paréntesis anidados con or is null",
       {"select Sum(debito) as sumDebito, sum(credito) as sumCredito from mvt where DescDocu=\"CE\" "
        "and ((Fecha>=\"01/01/2026\" and Fecha<=\"01/31/2026\") or fecha is null)"},
       {"100|100"}},
      {"substring, columna repetida y order by alias",
       {"select fecha,DescDocu, numedocu, SUBSTRING(numecuen from 1 for 6)         as Data, debito, "
        "credito, fecha from mvt where fecha>=\"03/01/2026\" and Fecha<=\"03/31/2026\" order by "
        "DescDocu, numedocu, Data"},
       {"2026-03-05|IN|1|111005|500||2026-03-05", "2026-03-05|IN|1|470508||500|2026-03-05"}, "", true},
      {"count y group by sin order by",
       {"select descdocu, numedocu, fecha, sum(debito) as valor, count(*) as qitems from mvt group "
        "by descdocu, numedocu, fecha"},
       {"CE|1|2026-01-15|100|2", "CE|2|2026-02-10|100|2", "CSI|1|2025-12-31|1000|2",
        "IN|1|2026-03-05|500|2"},
       "", true},
      {"having", {"select descdocu, numedocu, sum(debito) as debito, sum(credito) as credito from mvt "
                  "group by descdocu, numedocu having sum(debito)-sum(credito)>0.1 or "
                  "sum(credito)-sum(debito)>0.1"}, {}},
      {"tabla con extensión",
       {"select numedocu from mvt.db where numecuen like '1110%' and descDocu='IN' order by "
        "descDocu,numedocu,numecuen"},
       {"1"}},
      {"extract", {"select count(*) from mvt where extract(year from fecha)=2025"}, {"2"}},
      {"in con subconsulta", {"select numecuen,nombcuen from pl where numecuen in (select numecuen from mvt)"},
       Rows("select numecuen, nombcuen from PL where numecuen in (select numecuen from MVT)")},
      {"not in", {"select iOrdenServicio, irp from mvtordenServicio where irp not in (select irp from mvtRegPptal)"},
       {"5|9"}},
  };
  for (const auto& c : cases) Check(c);
}

TEST_F(LocalSql, ConsultasConVariasTablas) {
  const Case cases[] = {
      {"alias con punto y fechas con blanco final",
       {"select substring(numecuen from 1 for 4) as m.numecuen, p.nombCuen, m.debito, m.credito, "
        "m.fecha,m.cedulanit from mvt as m  left join pl as p on m.numeCuen=p.numeCuen where "
        "NumeCuen>='1' and NumeCuen<='2' and   m.Fecha>='01/01/2026 ' and m.Fecha<='12/31/2026 ' "
        "order by m.NumeCuen,fecha"},
       {"1110|CUENTA CORRIENTE||100|2026-02-10|", "1110|CUENTA CORRIENTE|500||2026-03-05|"}, "", true},
      {"join con coma y group by sin calificar",
       {"select mvt.Centcost, mvt.DescDocu, mvt.NumeDocu,mvt.numecuen,  pl.nombcuen,Sum(mvt.Debito) "
        "as Total from mvt,pl where CentCost=\"ADM\" and Fecha>=\"01/01/2026\" and "
        "Fecha<=\"12/31/2026\" and pl.numecuen=mvt.numecuen  group by "
        "CentCost,DescDocu,NumeDocu,numecuen, nombcuen"},
       {"ADM|CE|1|511114|MATERIALES Y SUMINISTROS|100"}},
      {"join con coma y pareja de nulos",
       {"select descdocu,numedocu,fecha,cedulanit,nombre,numecuen,nombCuen, desccomp, "
        "numecomp,debito,credito,detalle from mvt a, pl b, tc c where a.numeCuen=b.numeCuen and "
        "Fecha>=\"02/01/2026\" and Fecha<=\"02/28/2026\" and (a.cedulanit=c.cedulanit or "
        "a.cedulanit is null and c.cedulanit is null) order by NumeCuen "},
       {"CE|2|2026-02-10||sin tercero|111005|CUENTA CORRIENTE|CH|55||100|",
        "CE|2|2026-02-10|800100|PROVEEDOR UNO|240101|BIENES Y SERVICIOS|||100||"},
       "", true},
      {"join y left join con where sin calificar",
       {"select tc.cedulanit, tc.nombre,mvt.numecuen,pl.nombcuen, sum(mvt.Debito) as Debitos, "
        "sum(mvt.Credito) as Creditos from mvt join tc on mvt.cedulanit=tc.cedulanit left join pl "
        "on pl.numecuen=mvt.numecuen where numeCuen like '2401%' and mvt.Fecha>='01/01/2026' and "
        "mvt.Fecha<='12/31/2026' group by tc.nombre,tc.cedulanit,mvt.numecuen,pl.nombcuen order by "
        "mvt.numecuen,tc.nombre"},
       {"800100|PROVEEDOR UNO|240101|BIENES Y SERVICIOS|100|100"}},
      {"left join con columna de select sin calificar",
       {"select numecuen,Fecha , detalle, CedulaNit ,nombre, DescDocu, NumeDocu, DescComp , NumeComp "
        ", Debito, Credito from mvt left join tc on mvt.cedulanit=tc.cedulanit where NumeCuen like "
        "\"1110%\" and Fecha>=\"01/01/2026\" and Fecha<=\"12/31/2026\" order by numecuen,Fecha, "
        "descdocu,numedocu,DescComp,numeComp"},
       {"111005|2026-02-10||||CE|2|CH|55||100", "111005|2026-03-05||||IN|1|||500|"}, "", true},
      {"on con or sobre cinco columnas y columnas de la segunda tabla",
       {"select a.iop,a.valor as valorOP,b.descdocu,b.numedocu,b.valor \t\tfrom mvtOrdenPago as a "
        "\t\tjoin mvtmaestro as b \t\ton a.iop=op1 or iop=op2 or iop=op3 or iop=op4 or iop=op5 "
        "\t\twhere descdocu='CP' and numedocu='1'"},
       {"1|100|CP|1|100"}},
      {"tabla calificada por su nombre aunque tiene alias",
       {"select sum(rp.valor) as comprometido from mvtRegPptal as rp join certDispRubros as cdr on "
        "rp.icd=cdr.icd where certDispRubros.rubroPptal='2.1.2.02.01'"},
       {"100"}},
      {"union con order by de la primera parte",
       {"select icd, valor from mvtCertDisp where icd=1 union select irp, valor from mvtRegPptal "
        "order by icd"},
       {"1|100", "1|300"}, "", true},
      {"fecha constante en una unión",
       {"select icd, FechaExped from mvtCertDisp where icd=1 union select 0 as icd, '01/01/2008' as "
        "fechaExped from mvtCertDisp where icd=1"},
       {"0|2008-01-01", "1|2026-01-10"}},
      {"asterisco calificado",
       {"select pl.nombcuen,mvt.* from Mvt join pl on mvt.numecuen=pl.numecuen where DescDocu='CE' "
        "and numeDocu='1' order by numecuen desc"},
       Rows("select PL.nombcuen, MVT.* from MVT join PL on MVT.numecuen=PL.numecuen where "
            "MVT.descdocu='CE' and MVT.numedocu='1' order by MVT.numecuen desc"),
       "", true},
      {"join con dos condiciones y group by",
       {"select icuenta as rubro,sum(egreso)-sum(ingreso) as valor from mvtPptal AS a join "
        "mvtPptalMaestro as b on a.iMvtPptal=b.iMvtpptal and a.tipoMvtPptal=b.tipoMvtPptal where "
        "tipoMvtPptal='APR' and b.fecha<='12/31/2026' group by icuenta "},
       {"1.1.02.06.001|", "2.1.2.02.01|1000"}},
      {"on entre paréntesis",
       {"select irp from MvtregPptal as a join mvtCertDisp as b on (a.icd=b.icd) where irp=1"}, {"1"}},
  };
  for (const auto& c : cases) Check(c);
}

TEST_F(LocalSql, SentenciasQueCambianDatos) {
  const std::string tmpName = "/tmp/tv_lineas_ab1.db";
  const Case cases[] = {
      {"tercero por defecto", {"insert into tc (nombre) values ('sin tercero')"}, {"2"},
       "select count(*) from TC where CedulaNIT is null"},
      {"fecha mm/dd/yyyy en insert",
       {"insert into mvtmaestro (descdocu, numedocu, fecha, qitems, valor) values ('CCA', "
        "'1','12/31/2026',1,150.00)"},
       {"2026-12-31|150"}, "select fecha, valor from mvtMaestro where descdocu='CCA'"},
      {"fecha cero",
       {"insert into mvtmaestro (descdocu,numedocu,fecha,valor,qitems) values ('CE','7', "
        "'12/30/1899',0,0)"},
       {"1899-12-30"}, "select fecha from mvtMaestro where numedocu='7'"},
      {"texto vacío queda nulo",
       {"insert into mvt (numecuen, cedulanit, descdocu, numedocu) values ('110501', '', 'CE', '8')"},
       {"1"}, "select count(*) from MVT where numedocu='8' and cedulanit is null"},
      {"delete en mayúsculas con comillas dobles",
       {"DELETE  from Mvt where DescDocu=\"CE\"  and Numedocu=\"1\""}, {"0"},
       "select count(*) from MVT where descdocu='CE' and numedocu='1'"},
      {"update con blanco inicial y comillas dobles",
       {" update mvt set numedocu=\"9\" where descdocu=\"CE\" and numedocu=\"2\""}, {"2"},
       "select count(*) from MVT where descdocu='CE' and numedocu='9'"},
      {"concatenación con + y substring",
       {"update mvt.db set numecuen='1105'+substring(numecuen from 5 for 14) where numecuen like '111005%'"},
       {"3"}, "select count(*) from MVT where numecuen='110505'"},
      {"renumerar una clave sin duplicados transitorios",
       {"update pac set icd=icd+1 where icd>=2"}, {"1", "3", "4"}, "select icd from pac order by icd", true},
      {"update con casts",
       {"update mvtOrdenPago set iop=iop+1,numedocu=cast((cast(numedocu as numeric(13))+1) as "
        "char(13)) where iop>=1"},
       {"2|2"}, "select iop, numeDocu from mvtOrdenPago"},
      {"nulos a cero", {"update mvtpptal set egreso=0 where egreso is null"}, {"0"},
       "select count(*) from mvtPptal where egreso is null"},
      {"informe presupuestal: clave, distinct y valor nuevo",
       {"create table infPpto (rubro char(18),nrubro char(124),apropiado float,apropiadoReal float,"
        "cdpHastaFecha  float,disponibleCDP float,primary key(rubro))",
        "insert into infPpto (rubro,nrubro) select distinct icuenta,ncuenta from mvtpptal  as a join "
        "plppto as b on a.icuenta=b.icuenta ",
        "update infPpto set apropiadoreal=0,apropiado=0,cdpHastaFecha=0",
        "update infPpto set apropiadoreal=1000 ",
        "update infPpto set cdpHastaFecha=300,disponibleCDP=apropiadoReal-cdpHastaFecha  where rubro "
        "='2.1.2.02.01'"},
       {"1.1.02.06.001|1000|0|", "2.1.2.02.01|1000|300|700"},
       "select rubro, apropiadoReal, cdpHastaFecha, disponibleCDP from infPpto"},
      {"información exógena",
       {"create table infExogena (itercero char(18),ntercero char(60),cuenta char(18),ncuenta "
        "char(150), valor float,digitoVerificacion char(1), tipoDocumento char(3), apellido1 "
        "char(15), apellido2 char(15), nombre1 char(15), nombre2 char(15), razonsocial char(60), "
        "direccion char(30),ciudad char(15),dpto char(2))",
        "insert into infExogena (cuenta,ncuenta,itercero,ntercero,dpto,valor)select "
        "numecuen,nombcuen, cedulanit, nombre,dpto,sum(debito) as valor from mvt left join tc on "
        "tc.cedulanit=mvt.cedulanit left join pl on pl.numecuen=mvt.numecuen where numecuen like "
        "'5%' and fecha<='12/31/2026' and fecha>='01/01/2026' group by "
        "numecuen,nombcuen,cedulanit,nombre,dpto "},
       {"511114|MATERIALES Y SUMINISTROS|800100|PROVEEDOR UNO|05|100"},
       "select cuenta, ncuenta, itercero, ntercero, dpto, valor from infExogena"},
      {"tabla de trabajo con nombre de archivo",
       {"CREATE TABLE '" + tmpName +
            "' (iOrdenSuministro INT, iArticulo CHAR(12),cantidad NUMERIC ,valorUnit NUMERIC, "
            "subTotal NUMERIC)",
        " insert into '" + tmpName +
            "' (IordenSuministro,iarticulo, cantidad, valorUnit, subTotal) Select iOrdenSuministro, "
            "iarticulo, cantidad,valorunit,cantidad*valorunit from mvtOrdenSuministro where "
            "iOrdenSuministro='7'",
        " update '" + tmpName + "' set iOrdenSuministro=8",
        " delete from  '" + tmpName + "' where cantidad=0. or cantidad is null"},
       {"8|A1|2|10|20"}, "select * from tv_lineas_ab1"},
      {"saldo de rubros",
       {"create table saldoRubros (tipoCuenta char(1),icuenta char(18), ncuenta char(124),fuente "
        "char(129), disponible float)",
        "insert into saldoRubros (tipoCuenta, icuenta, disponible) values ('E', '2.1.2.02.01', 7.5)"},
       {"E|2.1.2.02.01|7.5"}, "select tipoCuenta, icuenta, disponible from saldoRubros"},
  };
  for (const auto& c : cases) Check(c);
}

TEST_F(LocalSql, ValoresTecleadosNoCambianLaSentencia) {
  tests::Exec(db_, "SAVEPOINT caso");
  tests::Exec(db_, "insert into TC (CedulaNIT, nombre) values ('1', 'O''Neil'), ('2', '100%_ SAS'), ('3', '1000 SAS')");
  EXPECT_EQ(Run("select cedulanit from tc where nombre=" + tv::db::QuoteSqlValue("O'Neil")),
            std::vector<std::string>{"1"});
  EXPECT_EQ(Run("select cedulanit from tc where nombre='" + tv::db::EscapeSqlText("O'Neil") + "'"),
            std::vector<std::string>{"1"});
  EXPECT_EQ(Run("select cedulanit from tc where nombre like '" + tv::db::EscapeLikePattern("100%_") +
                "%' escape '\\'"),
            std::vector<std::string>{"2"});
  EXPECT_EQ(Run("select count(*) from tc where nombre like '100%'"), std::vector<std::string>{"2"});
  tests::Exec(db_, "ROLLBACK TO caso");
  tests::Exec(db_, "RELEASE caso");
}

TEST_F(LocalSql, NombreDeLaColumnaConPunto) {
  std::vector<std::string> names;
  Run("select substring(numecuen from 1 for 6) as m.numecuen, p.nombCuen from mvt as m left join "
      "pl as p on m.numeCuen=p.numeCuen",
      &names);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0], "numecuen");
  names.clear();
  Run("select descdocu,numecuen,nombCuen from mvt a, pl b where a.numeCuen=b.numeCuen", &names);
  // Una columna sin alias se llama como el campo guardado.
  EXPECT_EQ(names, (std::vector<std::string>{"descdocu", "numecuen", "nombcuen"}));
}

}  // namespace
