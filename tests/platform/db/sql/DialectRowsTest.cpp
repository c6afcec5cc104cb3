// Statements of the local dialect run through TQuery against a small seeded folder: the
// forms not exercised by the installation's statement table.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

namespace {

const char* kSchema = R"SQL(
CREATE TABLE MVT (descdocu VARCHAR(3), numedocu VARCHAR(10), numecuen VARCHAR(18), cedulanit VARCHAR(18),
  debito NUMERIC, credito NUMERIC, fecha DATE, cantidad NUMERIC, detalle VARCHAR(60), centcost VARCHAR(6),
  rubro VARCHAR(18));
CREATE TABLE PL (numecuen VARCHAR(18), nombcuen VARCHAR(60), cantidad VARCHAR(1));
CREATE TABLE TC (cedulanit VARCHAR(18), nombre VARCHAR(60));
CREATE TABLE mvtMaestro (descdocu VARCHAR(3), numedocu VARCHAR(10), fecha DATE, valor NUMERIC,
  qitems INTEGER, op1 INTEGER, op2 INTEGER, tipoAsiento VARCHAR(1));
CREATE TABLE asientos (numecuen VARCHAR(18), descdocu VARCHAR(3), debito NUMERIC, credito NUMERIC);
CREATE TABLE baltempestados (numecuen VARCHAR(18), debito NUMERIC, credito NUMERIC, saldoDebito NUMERIC,
  saldoCredito NUMERIC, nuevoSaldo NUMERIC);
CREATE TABLE SaldosAntes (numecuen VARCHAR(18), debito NUMERIC, credito NUMERIC);
CREATE TABLE temp (fecha DATE, descdocu VARCHAR(3), numedocu VARCHAR(10), data VARCHAR(18), debito NUMERIC,
  credito NUMERIC);
CREATE TABLE mvtCertDisp (icd INTEGER, rubropptal VARCHAR(18), fechaExped DATE);
CREATE TABLE mvtRegPptal (irp INTEGER, icd INTEGER, itercero VARCHAR(18), valor NUMERIC);
CREATE TABLE mvtOrdenPago (iop INTEGER, irp INTEGER, valor NUMERIC, fechaExped DATE);
CREATE TABLE mvtOrdenServicio (iOrdenServicio INTEGER, irp INTEGER);
CREATE TABLE plPpto (tipoCuenta VARCHAR(1), icuenta VARCHAR(18), ncuenta VARCHAR(124));
CREATE TABLE certDispRubros (icd INTEGER, rubropptal VARCHAR(18), valor NUMERIC);

INSERT INTO MVT VALUES ('CE','1','1105','900',100,0,'2024-01-05',0,'Pago luz','ADM',NULL);
INSERT INTO MVT VALUES ('CE','1','2205','800',0,100,'2024-01-05',2,'PAGO LUZ',NULL,NULL);
INSERT INTO MVT VALUES ('CE','2','1105','900',50,0,'2024-02-01',0,NULL,NULL,NULL);
INSERT INTO MVT VALUES ('IN','1','4105',NULL,0,70,'2024-03-10',-1,'Ingreso',NULL,'1.1');
INSERT INTO MVT VALUES ('IN','1','1105',NULL,70,0,'2024-03-10',0,NULL,NULL,NULL);
INSERT INTO MVT VALUES ('CSI','1','1105',NULL,10,0,'2023-12-31',0,NULL,NULL,NULL);
INSERT INTO PL VALUES ('1','Activo','N'),('1105','Caja','S'),('2205','Proveedores','S'),('4105','Ingresos','S');
INSERT INTO TC VALUES ('900','Proveedor A'),('800','Proveedor B'),(NULL,'sin tercero');
INSERT INTO mvtMaestro VALUES ('CE','1','2024-01-05',100,2,NULL,NULL,'P'),('CE','2','2024-02-01',50,1,NULL,NULL,'P'),
  ('IN','1','2024-03-10',70,2,NULL,NULL,NULL),('CP','1','2024-03-11',100,0,NULL,2,'C');
INSERT INTO asientos VALUES ('1105','CE',10,0),(NULL,'CE',5,0),('2205',NULL,0,5),('4105','CE',0,0);
INSERT INTO baltempestados VALUES ('1',150,0,150,0,150),('11',0,0,0,0,0),('1105',150,0,150,0,0),
  ('4',0,70,0,70,-70),('4105',0,70,0,70,0);
INSERT INTO SaldosAntes VALUES ('1105',10,0),('1110',5,1),('2205',0,3);
INSERT INTO temp VALUES ('2024-01-05','CE','1','1105',100,0),('2024-01-05','CE','1','2205',0,100);
INSERT INTO mvtCertDisp VALUES (1,'2.1.1','2024-01-02'),(2,'2.1.2','2024-01-03');
INSERT INTO mvtRegPptal VALUES (1,1,'900',60),(2,1,'800',40),(3,9,NULL,5);
INSERT INTO mvtOrdenPago VALUES (1,1,60,'2024-01-10'),(2,2,40,'2024-02-10');
INSERT INTO mvtOrdenServicio VALUES (1,1),(2,7),(3,NULL);
INSERT INTO plPpto VALUES ('E','2.1.1','Sueldos'),('E','2.1.2','Honorarios'),('I','1.1','Ingresos-'),('E','2.1.1-','Otro-');
INSERT INTO certDispRubros VALUES (1,'2.1.1',60),(1,'2.1.2',40),(2,'2.1.2',20);
)SQL";

class Dialect : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFormatSettings();
    char tmpl[] = "/tmp/tvdialXXXXXX";
    dir_ = mkdtemp(tmpl);
    dir_ += "/";
    Session->AddStandardAlias("Contabilidad", dir_.c_str(), "PARADOX");
    auto conn = tv::db::ConnectionFor("Contabilidad");
    char* err = nullptr;
    ASSERT_EQ(sqlite3_exec(conn->Db(), kSchema, nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
    conn->SchemaChanged();
    conn->TouchAll();
  }
  void TearDown() override {
    tv::db::ReleaseDatabase("Contabilidad");
    Session->DeleteAlias("Contabilidad");
    std::filesystem::remove_all(dir_);
  }

  // Rows of a statement through TQuery: fields joined by '|', as stored (dates ISO).
  static std::vector<std::string> Open(const std::string& sql, const char* db = "Contabilidad") {
    TQuery q(nullptr);
    q.DatabaseName = db;
    q.SQL->Add(sql.c_str());
    q.Open();
    std::vector<std::string> rows;
    for (q.First(); !q.Eof; q.Next()) {
      std::string row;
      for (int c = 0; c < q.FieldCount; ++c) {
        if (c) row += '|';
        TField* f = q.Fields[c];
        if (f->IsNull) continue;
        row += f->DataType() == ftDate ? DateToIso(f->AsDateTime).str() : f->AsString.str();
      }
      rows.push_back(row);
    }
    return rows;
  }
  static int Exec(const std::string& sql, const char* db = "Contabilidad") {
    TQuery q(nullptr);
    q.DatabaseName = db;
    q.SQL->Add(sql.c_str());
    q.ExecSQL();
    return q.RowsAffected;
  }

  std::string dir_;
};

std::string Num(double d) {
  char buf[32];
  snprintf(buf, sizeof buf, "%g", d);
  return buf;
}

struct Case {
  int row;  // number of the form in the dialect table
  std::string sql;
  std::vector<std::string> expected;
  bool ordered = false;
};

void CheckRows(const Case& c, std::vector<std::string> rows) {
  std::vector<std::string> expected = c.expected;
  if (!c.ordered) {
    std::sort(rows.begin(), rows.end());
    std::sort(expected.begin(), expected.end());
  }
  EXPECT_EQ(rows, expected) << "#" << c.row << ": " << c.sql;
}

TEST_F(Dialect, Selects) {
  const Case cases[] = {
      {3, " select numecuen from pl where numecuen='1'", {"1"}},
      {12, "select * from mvtOrdenPago", {"1|1|60|2024-01-10", "2|2|40|2024-02-10"}},
      {13, "select * from mvtRegPptal where icd=1e+00", {"1|1|900|60", "2|1|800|40"}},
      {16, "select nombcuen from pl where numecuen='1105' and cantidad='S' ", {"Caja"}},
      {19, "select credito from baltempestados where numecuen=\"4\" ", {"70"}},
      {20, "select numecuen from pl where cantidad='S'", {"1105", "2205", "4105"}},
      {21, "select numedocu from mvt where debito =70 or credito=70", {"1", "1"}},
      {22, "select valor from mvtOrdenPago where iop='1' or iop='2'", {"60", "40"}},
      {30, "select Sum(Debito) as sumDeb, sum(Credito) as sumCre from mvt where NumeCuen like'1105%' and "
           "Fecha<'03/01/2024'", {"160|0"}},
      {31, "select Sum(Debito) as Debito, Sum(Credito) as Credito   from SaldosAntes where numecuen  like '11%' ",
       {"15|1"}},
      {32, "select Sum(saldoDebito)as saldoDebito,Sum(saldoCredito) as saldoCredito from balTempEstados where "
           "numecuen  like '_'", {"150|70"}},
      {33, "select sum(Debito) as debito from baltempestados                  where numecuen>=\"2\" and "
           "numecuen like \"_\"", {"0"}},
      {37, "select icuenta from plppto where icuenta like '2.1%-'", {"2.1.1-"}},
      {37, "select icuenta from plppto where icuenta like '%-'", {"2.1.1-"}},
      {49, "select sum(Credito) as sc, sum(debito) as sd from mvt where numecuen like '4%'", {"70|0"}},
      {50, "select sum(MVTMTRO.valor) as pagado from mvtOrdenPago as OP left join mvtmaestro as MVTMTRO on "
           "OP.iop=MVTMTRO.op2", {"100"}},
      {51, "select Sum(Debito-Credito) as SA from mvt where CedulaNIT=\"900\" and NumeCuen= \"1105\" and "
           "Fecha<\"02/01/2024\"", {"100"}},
      {52, "select sum(Credito)-Sum(debito) as cuatro from mvt where         numecuen like \"4%\" and fecha "
           ">=\"01/01/2024\" and fecha<=\"12/31/2024\"", {"70"}},
      {53, "select Fecha, Cantidad as Cant, CedulaNit,descDocu as doc,numeDocu as NumDoc, debito, "
           "credito,detalle from mvt where NumeCuen like '%' and (cantidad<0 or cantidad>0) and "
           "Fecha>=\"01/01/2024\" and Fecha<=\"12/31/2024\" order by fecha",
       {"2024-01-05|2|800|CE|1|0|100|PAGO LUZ", "2024-03-10|-1||IN|1|0|70|Ingreso"}, true},
      {54, "select 'E' as tipoCuenta,'0' as Ingreso, 0 as Aprobado, icd from mvtCertDisp where icd=1",
       {"E|0|0|1"}},
      {56, "select numedocu from mvtmaestro where descdocu='CE' and cast(numedocu as numeric(13))>=2", {"2"}},
      {58, "select numecuen, sum(debito) as Debito, sum(credito) as Credito  from mvt where fecha "
           "<'01/01/2024' group by Numecuen", {"1105|10|0"}},
      {58, "select numecuen, sum(debito) as Debito, sum(credito) as Credito  from mvt where  fecha "
           ">='01/01/2024' and fecha<='12/31/2024' group by Numecuen",
       {"1105|220|0", "2205|0|100", "4105|0|70"}, true},
      {59, "select numecuen,cedulanit,sum(debito) as debito,sum(credito) as credito from mvt where "
           "numecuen>='1' and numecuen<'4' group by numecuen,cedulanit ",
       {"1105||80|0", "1105|900|150|0", "2205|800|0|100"}, true},
      {61, "select descdocu, numedocu, sum(temp.debito) as debito, sum(temp.credito) as credito         "
           "from temp group by descdocu, numedocu ", {"CE|1|100|100"}},
      {62, "select Fecha, numecuen,DescDocu, NumeDocu, Debito, Credito from mvt where CedulaNIT=\"900\" "
           "and Fecha>=\"01/01/2024\" and Fecha<=\"12/31/2024\" group by Fecha, Numecuen,DescDocu,NumeDocu, "
           "Debito, Credito",
       {"2024-01-05|1105|CE|1|100|0", "2024-02-01|1105|CE|2|50|0"}, true},
      {65, "select distinct rubropptal,ncuenta from certDispRubros  as a join plppto as b on "
           "a.rubropptal=b.icuenta ", {"2.1.1|Sueldos", "2.1.2|Honorarios"}},
      {66, "select iop from mvtOrdenPago order by iop desc", {"2", "1"}, true},
      {66, "select icuenta from plppto order by tipocuenta, icuenta", {"2.1.1", "2.1.1-", "2.1.2", "1.1"}, true},
      {67, "select descdocu, numedocu from mvtMaestro where Descdocu=\"CE\" and Fecha>=\"01/01/2024\" and "
           "Fecha<=\"12/31/2024\" and DescDocu is not null order by descDocu, numeDocu",
       {"CE|1", "CE|2"}, true},
      {70, "select fecha, temp.descdocu, temp.numedocu, temp.data, pl.nombcuen,         sum(temp.debito) as "
           "debito, sum(temp.credito) as credito         from temp,pl where temp.data=pl.numecuen group by "
           "fecha, descdocu,         numedocu, data, nombcuen",
       {"2024-01-05|CE|1|1105|Caja|100|0", "2024-01-05|CE|1|2205|Proveedores|0|100"}, true},
      {72, "select a.numecuen, b.tipoAsiento from mvt a left join mvtMaestro as b  on b.descdocu=a.descdocu "
           "and a.numedocu=b.numedocu where b.descdocu='CE' and numedocu='2' and b.tipoAsiento='P'",
       {"1105|P"}},
      {74, "select rubropptal,ncuenta,valor from certDispRubros as a join plppto as b on "
           "b.icuenta=a.rubroPptal and b.tipocuenta='E' where a.icd=1",
       {"2.1.1|Sueldos|60", "2.1.2|Honorarios|40"}},
      {78, "select m.descdocu,m.numedocu,m.cedulanit,t.nombre,m.numecuen,p.nombCuen from mvt as m left join "
           "pl as p on m.numecuen=p.numecuen left join tc as t on m.cedulanit=t.cedulanit where "
           "m.NumeCuen>='2' and m.NumeCuen<='4999' and m.Fecha>='01/01/2024' and m.Fecha<='12/31/2024' "
           "order by m.NumeCuen",
       {"CE|1|800|Proveedor B|2205|Proveedores", "IN|1|||4105|Ingresos"}, true},
      {79, "select CDP.icd, RP.irp, TC.nombre, OP.iop from mvtcertdisp as CDP left join mvtregpptal as RP on "
           "CDP.icd=RP.icd left join tc as TC on RP.itercero=TC.cedulanit left join mvtOrdenPago as OP on "
           "RP.irp=OP.irp where fechaExped>='01/01/2024' and CDP.rubroPptal='2.1.1'",
       {"1|1|Proveedor A|1", "1|2|Proveedor B|2"}},
  };
  for (const auto& c : cases) {
    try {
      CheckRows(c, Open(c.sql));
    } catch (const std::exception& e) {
      ADD_FAILURE() << "#" << c.row << ": " << c.sql << "\n" << e.what();
    }
  }
}

// NOT IN lists rows whose link is empty and ignores empty values in the subquery, so an
// audit never comes back empty because of one null.
TEST_F(Dialect, NotInListsEmptyLinks) {
  CheckRows({44, "select iOrdenServicio, irp from mvtordenServicio where irp not in (select irp from mvtRegPptal)",
             {"2|7", "3|"}},
            Open("select iOrdenServicio, irp from mvtordenServicio where irp not in (select irp from mvtRegPptal)"));
  CheckRows({44, "select irp, icd from mvtRegpptal where icd not in (select itercero from mvtRegPptal)",
             {"1|1", "2|1", "3|9"}},
            Open("select irp, icd from mvtRegpptal where icd not in (select itercero from mvtRegPptal)"));
  CheckRows({44, "", {"1", "3"}},
            Open("select iOrdenServicio from mvtordenServicio where irp in (select irp from mvtRegPptal) or "
                 "mvtordenServicio.irp not in (select irp from mvtRegPptal where irp<7) and irp is null"));
}

TEST_F(Dialect, StatementsThatChangeData) {
  struct Change {
    int row;
    std::vector<std::string> sql;
    int affected;  // RowsAffected of the last statement
    std::string check;
    std::vector<std::string> expected;
  } cases[] = {
      {3, {" delete from asientos where numecuen is null"}, 1, "select count(*) from asientos", {"3"}},
      {84, {"delete  from asientos where numecuen is null or descdocu is null"}, 2,
       "select numecuen from asientos", {"1105", "4105"}},
      {85, {"delete  from asientos where numecuen is null or (debito=0 and credito=0)"}, 2,
       "select numecuen from asientos", {"1105", "2205"}},
      {87, {"delete  from mvt where descDocu=\"CE\" and numedocu=\"1\""}, 2, "select count(*) from mvt", {"4"}},
      {89, {"delete from baltempestados where nuevoSaldo=0"}, 3, "select numecuen from baltempestados", {"1", "4"}},
      {89, {"delete from mvtCertDisp where icd=2"}, 1, "select icd from mvtCertDisp", {"1"}},
      {32, {"delete from baltempestados where numecuen  like '___%'"}, 2, "select numecuen from baltempestados",
       {"1", "11", "4"}},
      {34, {"delete from baltempestados                 where numecuen not like \"____\""}, 3,
       "select numecuen from baltempestados", {"1105", "4105"}},
      {38, {"delete from baltempestados where numecuen >=\"4\""}, 2, "select numecuen from baltempestados",
       {"1", "11", "1105"}},
      {92, {"insert into certDispRubros (icd,rubropptal,valor) values(3,'2.1.1',7.5)"}, 1,
       "select valor from certDispRubros where icd=3", {"7.5"}},
      {100, {"update pl set numecuen='1106' where numecuen='1105' ", "update mvt set numecuen='1106' where "
             "numecuen='1105' "}, 4, "select count(*) from pl where numecuen='1106'", {"1"}},
      {101, {"update  mvt set cedulanit=\"901\" where cedulanit=\"900\""}, 2,
       "select count(*) from mvt where cedulanit='901'", {"2"}},
      {25, {"update mvt set detalle='' where detalle=\"Ingreso\"", "insert into tc (cedulanit, nombre) values "
            "(\"\", 'otro sin id')"}, 1, "select count(*) from mvt where detalle is null", {"4"}},
      {25, {"insert into tc (cedulanit, nombre) values (\"\", 'otro sin id')"}, 1,
       "select count(*) from tc where cedulanit is null", {"2"}},
      {98, {"update mvt set cedulanit='0' where cedulanit is null"}, 3,
       "select count(*) from mvt where cedulanit is null", {"0"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("#" + std::to_string(c.row) + ": " + c.sql.front());
    tv::db::Transaction tx("Contabilidad");
    int n = -1;
    for (const auto& s : c.sql) n = Exec(s);
    EXPECT_EQ(n, c.affected);
    auto conn = tv::db::ConnectionFor("Contabilidad");
    tv::db::Stmt st = conn->Prepare(c.check);
    std::vector<std::string> rows;
    while (st.Step()) {
      tv::db::Cell v = st.Column(0);
      rows.push_back(v.kind == tv::db::Cell::Text ? v.s : Num(v.Number()));
    }
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, c.expected);
  }  // rolled back: every case starts from the seed
}

// A statement on another folder's database (a folder path as database name), and a
// work table created by SQL then opened under another spelling.
TEST_F(Dialect, OtherDatabaseAndWorkTableSpellings) {
  std::string other = dir_ + "nuevo/";
  std::filesystem::create_directory(other);
  Exec("create table mvt (descdocu char(3), numedocu char(10))", other.c_str());
  Exec("insert into mvt (descdocu, numedocu) values ('CSI', '1')", other.c_str());
  Exec("insert into mvt (descdocu, numedocu) values ('CE', '1')", other.c_str());
  EXPECT_EQ(Exec("delete from mvt where descDocu='CSI'", other.c_str()), 1);
  EXPECT_EQ(Open("select count(*) from mvt", other.c_str()), std::vector<std::string>{"1"});
  EXPECT_EQ(Open("select count(*) from mvt"), std::vector<std::string>{"6"});
  tv::db::ReleaseDatabase(other.c_str());

  Exec("create table infPpto (rubro char(18),nrubro char(124),apropiado float,primary key(rubro))");
  TTable t(nullptr);
  t.DatabaseName = dir_.c_str();
  t.TableName = "infPPto.db";
  t.Open();
  t.Append();
  t.FieldByName("RUBRO")->AsString = "2.1";
  t.FieldByName("apropiado")->AsFloat = 3;
  t.Post();
  EXPECT_EQ(t.FieldByName("rubro")->Size(), 18);
  EXPECT_EQ(t.FieldByName("apropiado")->DataType(), ftFloat);
  t.Append();
  t.FieldByName("rubro")->AsString = "2.1";
  EXPECT_THROW(t.Post(), EDBEngineError);  // the table-level key is enforced
  t.Cancel();
  t.Close();
  // the folder as the application keeps it, plus "\infPpto.db"
  EXPECT_TRUE(tv::db::TableFileExists((dir_ + "\\infPpto.db").c_str()));
  EXPECT_TRUE(tv::db::DeleteTableFile((dir_ + "\\infPpto.db").c_str()));
  EXPECT_FALSE(tv::db::TableExists("Contabilidad", "infPpto"));
}

}  // namespace
