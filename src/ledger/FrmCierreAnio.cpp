#include "ledger/FrmCierreAnio.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <filesystem>

#include "app/Contabilidades.h"
#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "app/schema/Schema.h"
#include "app/schema/Versiones.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/db/Storage.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Files.h"
#include "shared/dialogs/Aviso.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

namespace fs = std::filesystem;

TFrmCierreAnio* FrmCierreAnio = nullptr;

const char* const kTablasMovimiento[14] = {
    "mvt.db",           "mvtmaestro.db",         "mvtcertDisp.db",         "mvtPptal.db",
    "mvtPptalMaestro.db", "mvtOrdenSuministro.db", "mvtOrdenSumiMaestro.db", "mvtOrdenServicio.db",
    "mvtRegPptal.db",   "pac.db",                "mvtOrdenPago.db",        "certDispRubros.db",
    "reintegros.db",    "mvtVersion.db"};

namespace {

// Un saldo que la suma deja en ruido no es saldo.
constexpr double kCero = 1e-9;

bool EsCero(double v) { return std::fabs(v) < kCero; }

double Suma(TQuery* q, const char* campo) {
  TField* f = q->FieldByName(campo);
  return f->IsNull ? 0.0 : f->AsFloat;
}

std::string Minusculas(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

// Las tablas que el año siguiente recibe vacías, por su nombre guardado.
bool EsTablaDeMovimiento(const std::string& guardada) {
  std::string n = Minusculas(guardada);
  for (const char* t : kTablasMovimiento) {
    std::string m = Minusculas(t);
    if (m.size() > 3 && m.compare(m.size() - 3, 3, ".db") == 0) m.resize(m.size() - 3);
    if (n == m) return true;
  }
  return false;
}

bool MismaCarpeta(const AnsiString& a, const AnsiString& b) {
  auto normal = [](const AnsiString& r) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::path(r.str()), ec);
    if (ec) p = fs::absolute(fs::path(r.str()), ec).lexically_normal();
    std::string t = p.string();
    while (t.size() > 1 && t.back() == '/') t.pop_back();
    return t;
  };
  return normal(a) == normal(b);
}

// La contabilidad nueva queda en disco antes de confirmar el cierre en los libros cerrados.
void AsegurarEnDisco(const fs::path& p) {
  int fd = ::open(p.c_str(), O_RDONLY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

TFrmCierreAnio::TFrmCierreAnio(TComponent* Owner) : TForm(Owner) {
  Name = "FrmCierreAnio";
  Caption = "Cerrar Año";
  BorderStyle = bsDialog;
  Position = poScreenCenter;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Este cierre es totalmente automático!";
  Label1->Font->Style = {fsBold};
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "Puede repetirlo cuantas veces quiera sin ninguna acción previa";
  Label3 = Make<TLabel>(this, "Label3");
  Label3->Caption = "inclusive cambiar información y volver a cerrar!";
  Label4 = Make<TLabel>(this, "Label4");
  Label4->Caption = "Cuenta para la utilidad:";
  edCtaUtilidad = Make<TEdit>(this, "edCtaUtilidad");
  Label4->FocusControl = edCtaUtilidad;
  BtnAceptar = Make<TBitBtn>(this, "BtnAceptar");
  BtnAceptar->Kind = bkOK;
  BtnAceptar->Caption = "&Proceder";
  BitBtn1 = Make<TBitBtn>(this, "BitBtn1");
  BitBtn1->Kind = bkCancel;
  BitBtn1->Caption = "Salir";
  Query1 = Make<TQuery>(this, "Query1");
  Query1->DatabaseName = "Contabilidad";

  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };

  edCtaUtilidad->Text = DM->TblConfigContab->FieldByName("Utilidad")->AsString;
  NewPath = PathOrigen + "/" + NContabilidad + IntToStr(anioGlobal + 1);
}

bool TFrmCierreAnio::CrearNuevoDirectorio() {
  if (ExisteArchivo(NewPath.c_str(), 1)) return false;
  // Lo que dejó una corrida interrumpida no sirve: se arma de nuevo.
  AnsiString armado = CarpetaEnArmado();
  tv::db::ReleaseDatabase(armado);
  std::error_code ec;
  fs::remove_all(armado.str(), ec);
  ForceDirectories(armado);
  return true;
}

AnsiString TFrmCierreAnio::CarpetaEnArmado() const { return NewPath + ".parcial"; }

void TFrmCierreAnio::AgregarLinea(TTable* t, const AnsiString& aCuenta, const AnsiString& aTercero,
                                  const AnsiString& aTipo, double aDebito, double aCredito) {
  t->Append();
  t->FieldByName("Fecha")->AsDateTime = FechaCierre;
  t->FieldByName("DescDocu")->AsString = aTipo;
  t->FieldByName("NumeDocu")->AsString = "1";
  t->FieldByName("NumeCuen")->AsString = aCuenta;
  if (!aTercero.IsEmpty()) t->FieldByName("Cedulanit")->AsString = aTercero;
  t->FieldByName("debito")->AsFloat = RoundToCents(aDebito);  // sumas: al centavo
  t->FieldByName("Credito")->AsFloat = RoundToCents(aCredito);
  t->Post();
}

// Pasos del año que se cierra: todo el "CCA" o nada.
void TFrmCierreAnio::CerrarLibros() {
  TAviso aviso;
  tv::db::Transaction tx("Contabilidad");
  DM->TblDocumentos->Refresh();
  if (!DM->TblDocumentos->Locate("codiDocu", Variant(AnsiString("CCA"))))
    HagaSQL("Contabilidad", Query1, "insert into dg (codidocu, nombdocu) values ('CCA', 'Comprobante de cierre anual')");
  HagaSQL("Contabilidad", Query1, "delete from mvt where descDocu='CCA'");
  HagaSQL("Contabilidad", Query1, "delete from mvtmaestro where descDocu='CCA'");

  aviso.Inicie("Calculando utilidad...", true, false, 0, 0, 0);
  HagaSQL("Contabilidad", Query1, "select sum(Credito) as sc, sum(debito) as sd from mvt where numecuen like '4%'");
  double ingresos = Suma(Query1, "sc") - Suma(Query1, "sd");
  HagaSQL("Contabilidad", Query1,
          "select sum(debito) as sd,sum(credito) as sc from mvt where numecuen >='5' and numecuen<'8'");
  double gastos = Suma(Query1, "sd") - Suma(Query1, "sc");
  double utilidad = ingresos - gastos;

  TTable* mvt = DM->TblMovimiento;
  mvt->Refresh();
  // Una pérdida va con valores negativos en los mismos lados.
  AgregarLinea(mvt, CuentaUtilidad, "", "CCA", 0, utilidad);
  AgregarLinea(mvt, "590501", "", "CCA", utilidad, 0);
  HagaSQL("Contabilidad", Query1,
          "insert into mvtmaestro (descdocu, numedocu, fecha, qitems, valor) values ('CCA', '1','" +
              MesDiaAnio(FechaCierre) + "',1," + NumeroSQL(utilidad) + ")");

  aviso.PutMsg("Cancelando cuentas de resultado...");
  TQuery grupos(nullptr);
  HagaSQL("Contabilidad", &grupos,
          AnsiString("select numecuen, sum(debito) as sd ,sum(credito) as sc from mvt ") +
              "where (numecuen>='4' and  numecuen<'8') or numecuen like '0%'" + "group by numecuen");
  for (grupos.First(); !grupos.Eof; grupos.Next()) {
    double saldo = Suma(&grupos, "sd") - Suma(&grupos, "sc");
    if (EsCero(saldo)) continue;
    AnsiString cuenta = grupos.FieldByName("NumeCuen")->AsString;
    if (saldo > 0) AgregarLinea(mvt, cuenta, "", "CCA", 0, saldo);
    else AgregarLinea(mvt, cuenta, "", "CCA", -saldo, 0);
  }
  grupos.Close();

  if (!DM->TblDocumentos->Locate("codiDocu", Variant(AnsiString("CSI"))))
    HagaSQL("Contabilidad", Query1,
            "insert into dg (codidocu, nombdocu) values('CSI','Comprobante de saldos iniciales')");
  tx.Commit();
  aviso.Termine();
}

// La contabilidad del año siguiente se arma en CarpetaEnArmado(): los demás archivos de la
// carpeta, el esquema entero de la base abierta (tablas, índices, disparadores), las filas de
// toda tabla que no sea de movimiento, los tipos "CCA" y "CSI" y los saldos iniciales. Solo ya
// completa y en disco toma el nombre de NewPath, así que NewPath nunca queda a medias.
void TFrmCierreAnio::CopiarContabilidad() {
  AnsiString armado = CarpetaEnArmado();
  std::string base = tv::db::kDatabaseFileName;
  for (const auto& e : fs::directory_iterator(PathCont.str())) {
    std::string nombre = e.path().filename().string();
    if (!e.is_regular_file() || nombre.rfind(base, 0) == 0) continue;
    fs::copy_file(e.path(), fs::path(armado.str()) / nombre, fs::copy_options::overwrite_existing);
  }
  std::string origen = tv::db::ResolveDatabaseFolder("Contabilidad").str() + base;
  {
    auto conn = tv::db::ConnectionFor(armado);
    tv::db::Connection& c = *conn;
    // Un archivo que nadie usa hasta que está completo no necesita bitácora: si algo falla
    // se borra la carpeta entera.
    c.Exec("PRAGMA main.journal_mode=OFF");
    c.Exec("PRAGMA main.synchronous=OFF");
    c.Exec("ATTACH DATABASE " + tv::db::QuoteSqlValue(origen) + " AS viejo");
    // Diferida: la base adjunta solo se lee y no se bloquea.
    c.Exec("BEGIN");
    std::vector<std::pair<std::string, std::string>> indices, resto;
    {
      tv::db::Stmt st = c.Prepare(
          "SELECT type, name, sql FROM viejo.sqlite_master WHERE sql IS NOT NULL AND substr(name, 1, 7) <> 'sqlite_' "
          "AND substr(name, 1, 3) <> 'tv_' ORDER BY rowid");
      std::vector<std::string> tablas;
      while (st.Step()) {
        std::string tipo = st.Column(0).s, nombre = st.Column(1).s, sql = st.Column(2).s;
        if (tipo == "table") {
          c.Exec(sql);
          if (!EsTablaDeMovimiento(nombre)) tablas.push_back(nombre);
        } else if (tipo == "index") {
          indices.emplace_back(nombre, sql);
        } else {
          resto.emplace_back(nombre, sql);
        }
      }
      st = tv::db::Stmt();
      // Tablas vacías de igual definición: SQLite copia las filas tal cual (con su rowid).
      for (const auto& t : tablas)
        c.Exec("INSERT INTO main." + tv::db::QuoteIdent(t) + " SELECT * FROM viejo." + tv::db::QuoteIdent(t));
    }
    {
      // Los contadores AUTOINCREMENT siguen donde iban en el año cerrado (las filas copiadas ya
      // dejaron los suyos, que no recuerdan los números de filas borradas): una fila por tabla y
      // ningún número ya dado. Libros cerrados antes con dos filas para una tabla dan la mayor.
      tv::db::Stmt st = c.Prepare("SELECT 1 FROM main.sqlite_master WHERE name='sqlite_sequence'");
      bool secuencias = st.Step();
      st = tv::db::Stmt();
      if (secuencias) {
        c.Exec("DELETE FROM main.sqlite_sequence");
        c.Exec("INSERT INTO main.sqlite_sequence (name, seq) SELECT name, max(seq) FROM viejo.sqlite_sequence "
               "GROUP BY name");
      }
    }
    {
      tv::db::Stmt st = c.Prepare("PRAGMA viejo.user_version");
      long long version = st.Step() ? st.Column(0).i : 0;
      st = tv::db::Stmt();
      if (version) c.Exec("PRAGMA main.user_version=" + std::to_string(version));
    }
    // Los disparadores actúan sobre lo que el cierre escribe, como en los libros cerrados.
    for (const auto& [nombre, sql] : resto) c.Exec(sql);
    c.Exec("INSERT INTO dg (codidocu, nombdocu) SELECT 'CCA', 'Comprobante de cierre anual' "
           "WHERE NOT EXISTS (SELECT 1 FROM dg WHERE codidocu='CCA')");
    c.Exec("INSERT INTO dg (codidocu, nombdocu) SELECT 'CSI', 'Comprobante de saldos iniciales' "
           "WHERE NOT EXISTS (SELECT 1 FROM dg WHERE codidocu='CSI')");
    {
      // Los saldos iniciales son un documento: una versión, no una por línea.
      tv::schema::EscrituraMasiva masiva(c.Db());
      EscribirCSI(c);
      masiva.AvanzarDiario("descdocu='CSI'");
      masiva.Terminar();
    }
    // Los índices se arman una vez, sobre las filas ya escritas.
    for (const auto& [nombre, sql] : indices) c.Exec(sql);
    {
      // El planificador del año nuevo parte de las mismas estadísticas que el año cerrado.
      tv::db::Stmt st = c.Prepare("SELECT 1 FROM viejo.sqlite_master WHERE name='sqlite_stat1'");
      bool estadisticas = st.Step();
      st = tv::db::Stmt();
      if (estadisticas) {
        c.Exec("ANALYZE main.sqlite_master");
        c.Exec("DELETE FROM main.sqlite_stat1");
        c.Exec("INSERT INTO main.sqlite_stat1 SELECT * FROM viejo.sqlite_stat1");
      }
    }
    c.Exec("COMMIT");
    c.Exec("DETACH DATABASE viejo");
    c.Exec("PRAGMA main.journal_mode=WAL");
  }
  tv::db::ReleaseDatabase(armado);
  tv::schema::CreateBookTables(armado.str());
  tv::db::ReleaseDatabase(armado);
  AsegurarEnDisco(fs::path(armado.str()) / base);
  fs::rename(armado.str(), NewPath.str());
  AsegurarEnDisco(fs::path(NewPath.str()).parent_path());
}

// Saldos iniciales en la base abierta en c (sin transacción propia): se leen de la conexión de
// los libros que se cierran, que ve su "CCA" aún sin confirmar.
void TFrmCierreAnio::EscribirCSI(tv::db::Connection& c) {
  auto libros = tv::db::ConnectionFor("Contabilidad");
  tv::db::Translation tr = tv::db::Translate(
      *libros,
      "select numecuen,cedulanit,sum(debito) as debito,sum(credito) as credito from mvt where "
      "numecuen>='1' and numecuen<'4' group by numecuen,cedulanit ");
  tv::db::Stmt grupos = libros->Prepare(tr.statements.at(0));
  tv::db::Stmt linea = c.PrepareRowWrite(
      "INSERT INTO mvt (Fecha, DescDocu, NumeDocu, NumeCuen, Cedulanit, debito, Credito) "
      "VALUES (?1, 'CSI', '1', ?2, ?3, ?4, ?5)");
  std::string fecha = tv::db::DateTimeToIsoText(FechaCierre, false);
  sqlite3_stmt* g = grupos.get();
  sqlite3_stmt* l = linea.get();
  itemsCSI = 0;
  valorCSI = 0;
  double descuadre = 0;
  while (grupos.Step()) {
    // Saldos sumados: se guardan al centavo, sin colas de la suma binaria.
    double debito = RoundToCents(sqlite3_column_double(g, 2)), credito = RoundToCents(sqlite3_column_double(g, 3));
    // Reset() también borra los parámetros: cada línea los recibe todos.
    sqlite3_bind_text(l, 1, fecha.c_str(), static_cast<int>(fecha.size()), SQLITE_STATIC);
    sqlite3_bind_value(l, 2, sqlite3_column_value(g, 0));
    // Sin tercero, la línea queda sin él (un texto vacío se guarda como nulo).
    if (sqlite3_column_type(g, 1) == SQLITE_NULL || sqlite3_column_bytes(g, 1) == 0) sqlite3_bind_null(l, 3);
    else sqlite3_bind_value(l, 3, sqlite3_column_value(g, 1));
    sqlite3_bind_double(l, 4, debito);
    sqlite3_bind_double(l, 5, credito);
    linea.Step();
    linea.Reset();
    ++itemsCSI;
    valorCSI += debito;
    descuadre += debito - credito;
  }
  c.Touch("mvt");
  c.Exec("delete from mvtmaestro where descDocu='CSI'");
  c.Exec("insert into mvtmaestro (descdocu, numedocu, fecha, qitems, valor,descuadre) values ('CSI', '1','" + fecha +
         "'," + IntToStr(itemsCSI).str() + "," + NumeroSQL(RoundToCents(valorCSI)).str() + "," + NumeroSQL(RoundToCents(descuadre)).str() + ")");
}

void TFrmCierreAnio::AddCSI() {
  auto conn = tv::db::ConnectionFor(NewPath);
  EscribirCSI(*conn);
}

void TFrmCierreAnio::BtnAceptarClick(TObject*) {
  // La ventana queda abierta con su aviso mientras el cierre no termine: solo un cierre hecho la cierra.
  ModalResult = mrNone;
  CuentaUtilidad = edCtaUtilidad->Text;
  DM->TblPlan->Refresh();
  if (CuentaUtilidad.IsEmpty() || !DM->TblPlan->Locate("numecuen", Variant(CuentaUtilidad))) {
    ShowMessage("La cuenta de utilidad no está definida en el plan de cuentas");
    return;
  }
  // El cierre lleva la utilidad también a 590501: sin ella en el plan el balance no cuadraría.
  if (!DM->TblPlan->Locate("numecuen", Variant(AnsiString("590501")))) {
    ShowMessage("La cuenta de cierre 590501 no está definida en el plan de cuentas");
    return;
  }
  // La carpeta nueva lleva el nombre de la contabilidad: nada de rutas dentro de él.
  const std::string& nombre = NContabilidad.str();
  if (nombre.find('/') != std::string::npos || nombre.find('\\') != std::string::npos ||
      nombre.find("..") != std::string::npos) {
    ShowMessage("El nombre de la contabilidad contiene caracteres no permitidos: / \\ o ..");
    return;
  }
  // NewPath se fijó al crear la ventana: tras un cierre es la carpeta de los libros abiertos.
  if (MismaCarpeta(NewPath, PathCont)) {
    ShowMessage("La contabilidad del año siguiente no puede quedar en la carpeta de la contabilidad abierta: " +
                NewPath);
    return;
  }
  AnsiString loginAntes = Login;
  FechaCierre = EncodeDate(anioGlobal, 12, 31);
  TAviso aviso;
  // El bloqueo de escritura del año que se cierra se toma antes de preparar la carpeta en armado
  // y de leer saldos, y dura hasta confirmar el "CCA": otro cierre del mismo año espera (o se le
  // dice que los libros están ocupados) y lo que otro puesto graba queda antes o después del
  // cierre, nunca a medias. Si mientras se esperaba otro puesto creó el año siguiente, se entra a
  // él y se repite sobre lo que dejó.
  for (bool pedirEntrada = true;;) {
    bool nueva = !ExisteArchivo(NewPath.c_str(), 1) && !FileExists(NewPath);
    bool usable =
        nueva || (FileExists(NewPath + "/" + tv::db::kDatabaseFileName) && tv::db::TableExists(NewPath, "mvt"));
    if (!usable) {
      ShowMessage("No se pudo crear la nueva contabilidad en " + NewPath);
      return;
    }
    // Quien no puede entrar a la contabilidad del año siguiente no la cambia.
    if (!nueva && pedirEntrada && !EntrarEnContabilidad(this, NewPath)) return;
    pedirEntrada = nueva;
    bool armando = false, puesta = false;
    try {
      // El "CCA" se confirma solo después de que el año siguiente quedó completo en su lugar:
      // interrumpido antes, los libros cerrados quedan como estaban.
      tv::db::Transaction cierre("Contabilidad");
      if (nueva != (!ExisteArchivo(NewPath.c_str(), 1) && !FileExists(NewPath))) {
        cierre.Rollback();
        continue;
      }
      if (nueva) {
        armando = CrearNuevoDirectorio();
        if (!DirectoryExists(CarpetaEnArmado())) {
          ShowMessage("No se pudo crear la nueva contabilidad en " + NewPath);
          return;
        }
      }
      CerrarLibros();
      aviso.Inicie("Creando CSI en el nuevo año...", true, false, 0, 0, 0);
      if (nueva) {
        CopiarContabilidad();
        puesta = true;
      } else {
        tv::db::Transaction tx(NewPath);
        TQuery q(nullptr);
        HagaSQL(NewPath, &q, "select count(*) as n from dg where codidocu='CSI'");
        if (q.FieldByName("n")->AsInteger == 0)
          HagaSQL(NewPath, Query1, "insert into dg (codidocu, nombdocu) values('CSI','Comprobante de saldos iniciales')");
        tv::schema::EscrituraMasiva masiva(tv::db::ConnectionFor(NewPath)->Db());
        HagaSQL(NewPath, Query1, "delete from mvt where descDocu='CSI'");
        AddCSI();
        masiva.AvanzarDiario("descdocu='CSI'");
        masiva.Terminar();
        tx.Commit();
      }
      cierre.Commit();
    } catch (...) {
      aviso.Termine();
      Login = loginAntes;
      // Una contabilidad nueva sin su "CCA" no queda; la carpeta en armado es de este cierre solo
      // si este la preparó con el bloqueo tomado.
      if (armando) {
        AnsiString armado = CarpetaEnArmado();
        tv::db::ReleaseDatabase(armado);
        std::error_code ec;
        fs::remove_all(armado.str(), ec);
        if (puesta) {
          tv::db::ReleaseDatabase(NewPath);
          fs::remove_all(NewPath.str(), ec);
        }
      }
      for (TTable* t : {DM->TblMovimiento, DM->tblMvtMaestro, DM->TblDocumentos})
        if (t->Active) t->Refresh();
      throw;
    }
    break;
  }

  aviso.PutMsg("Activando nuevo año...");
  unsigned short anioNuevo = static_cast<unsigned short>(anioGlobal + 1);
  TTable* contabs = DM->TblContabs;
  contabs->Refresh();
  if (!contabs->Locate("nContabilidad;anio", VarArrayOf({NContabilidad, static_cast<int>(anioNuevo)}),
                       {loCaseInsensitive})) {
    contabs->Append();
    contabs->FieldByName("NContabilidad")->AsString = NContabilidad;
    // Relativa a la carpeta del programa: una copia de la carpeta abre su propio año nuevo.
    contabs->FieldByName("rutaContabilidad")->AsString = RutaParaGuardar(NewPath);
    contabs->FieldByName("anio")->AsInteger = anioNuevo;
    contabs->FieldByName("activa")->AsString = "S";
    contabs->Post();
  }
  aviso.Termine();
  // La entrada a una contabilidad que ya existía se pidió antes de escribir en ella; una
  // recién hecha tiene los usuarios del año cerrado.
  if (AbrirContabilidad(this, NewPath, NContabilidad, anioNuevo, false))
    ShowMessage("La nueva contabilidad ha sido creada y es la que está usando en este momento.");
  ModalResult = mrOk;
}
