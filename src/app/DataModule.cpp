#include "app/DataModule.h"

#include <filesystem>
#include <stdexcept>

#include "app/Permisos.h"
#include "app/Sesion.h"
#include "app/TitulosCampos.h"
#include "app/schema/Schema.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/db/PrivateTable.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Forms.h"
#include "platform/os/Files.h"
#include "shared/dialogs/RepairDialog.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TDM* DM = nullptr;

namespace {
const char* const kAlias = "Contabilidad";
const char* const kAvisoSoloLectura =
    "Los libros de esta contabilidad están en una carpeta o un medio de solo lectura: se pueden "
    "consultar, pero no se puede grabar ningún cambio en ellos.";

namespace fs = std::filesystem;

// Hay libros en la carpeta: su archivo existe, no está vacío y tiene alguna tabla.
bool LibrosPresentes(const std::string& carpeta) {
  std::error_code ec;
  fs::path archivo = fs::path(carpeta) / tv::db::kDatabaseFileName;
  auto tamano = fs::file_size(archivo, ec);
  if (ec || tamano == 0) return false;
  auto conn = tv::db::ConnectionFor(carpeta.c_str());
  tv::db::Stmt st = conn->Prepare("SELECT count(*) FROM sqlite_master WHERE type='table'");
  return st.Step() && st.Column(0).i > 0;
}

// La reparación rehace y completa las tablas con la definición del esquema.
EsquemaReparacion EsquemaDeLaAplicacion() {
  EsquemaReparacion e;
  e.crearTablas = [](sqlite3* db, bool programa) {
    tv::schema::CreateMissingTables(db, programa ? tv::schema::Place::Program : tv::schema::Place::Books);
  };
  e.completar = [](const std::string& carpeta, bool programa) {
    if (programa) tv::schema::UpgradeProgram(carpeta);
    else tv::schema::UpgradeBooks(carpeta);
  };
  return e;
}
}  // namespace

void ConfigurarSesion(const AnsiString& aPath) {
  if (Session->Active) Session->Active = false;
  Session->ConfigMode = cmSession;
  Session->DeleteAlias(kAlias);
  if (!aPath.IsEmpty()) Session->AddStandardAlias(kAlias, aPath, "PARADOX");
  Session->Active = true;
  char usuario = getUserDecimal();
  if (usuario != DecimalSeparator) {
    DecimalSeparator = usuario;
    if (usuario == ',')
      ShowMessage("Su computador está configurado para que use como punto decimal a la coma.");
    else if (usuario != '.')
      ShowMessage(AnsiString("Su computador está configurado para que use como punto decimal a: ") +
                  AnsiString(usuario));
  }
}

TTable* TDM::NuevaTabla(const char* nombre, const char* tabla) {
  auto* t = new TTable(this);
  t->Name = nombre;
  t->TableName = tabla;
  return t;
}

TDataSource* TDM::NuevaFuente(const char* nombre, TTable* tabla) {
  auto* d = new TDataSource(this);
  d->Name = nombre;
  d->DataSet = tabla;
  return d;
}

TDM::TDM(TComponent* Owner) : TComponent(Owner) {
  Name = "DM";
  RegistrarTitulosCampos();
  TblMovimiento = NuevaTabla("TblMovimiento", "MVT.db");
  TblPlan = NuevaTabla("TblPlan", "PL.db");
  DSMovimiento = NuevaFuente("DSMovimiento", TblMovimiento);
  DSPlan = NuevaFuente("DSPlan", TblPlan);
  TblDocumentos = NuevaTabla("TblDocumentos", "DG.db");
  TblTerceros = NuevaTabla("TblTerceros", "TC.db");
  DSTerceros = NuevaFuente("DSTerceros", TblTerceros);
  TblCCostos = NuevaTabla("TblCCostos", "CC.db");
  DSCC = NuevaFuente("DSCC", TblCCostos);
  TblConfig = NuevaTabla("TblConfig", "Config.db");
  DSConfig = NuevaFuente("DSConfig", TblConfig);
  DSCCostos = NuevaFuente("DSCCostos", TblCCostos);
  TblSoportes = NuevaTabla("TblSoportes", "CP.db");
  DSDocumentos = NuevaFuente("DSDocumentos", TblDocumentos);
  TblBal = NuevaTabla("TblBal", "baltempestados.db");
  DSSoportes = NuevaFuente("DSSoportes", TblSoportes);
  TblConfigContab = NuevaTabla("TblConfigContab", "ConfigContab.db");
  TblSaldosAntes = NuevaTabla("TblSaldosAntes", "SaldosAntes.db");
  TblSaldosEntre = NuevaTabla("TblSaldosEntre", "SaldosEntre.db");
  TblTempCajaDiario = NuevaTabla("TblTempCajaDiario", "Temp.db");
  tblMvtMaestro = NuevaTabla("tblMvtMaestro", "mvtMaestro.db");
  tblPlanPpto = NuevaTabla("tblPlanPpto", "PlPpto.db");
  tblMvtPptal = NuevaTabla("tblMvtPptal", "mvtPptal.db");
  tblMvtPptalMaestro = NuevaTabla("tblMvtPptalMaestro", "MvtPptalMaestro.db");
  dsPlanPpto = NuevaFuente("dsPlanPpto", tblPlanPpto);
  TblPermisos = NuevaTabla("TblPermisos", "permisos.db");
  TblContabs = NuevaTabla("TblContabs", "contabs.db");
  tblMvtCertDisp = NuevaTabla("tblMvtCertDisp", "mvtCertDisp");
  tblPAC = NuevaTabla("tblPAC", "pac");
  tblMvtRegPptal = NuevaTabla("tblMvtRegPptal", "mvtRegPptal");
  tblMvtOrdenServicio = NuevaTabla("tblMvtOrdenServicio", "mvtOrdenServicio");
  tblMvtOrdenSuministro = NuevaTabla("tblMvtOrdenSuministro", "mvtOrdenSuministro");
  tblImputPptalCD = NuevaTabla("tblImputPptalCD", "imputPptalCD");
  tblMvtOrdenSumiMaestro = NuevaTabla("tblMvtOrdenSumiMaestro", "mvtOrdenSumiMaestro");
  tblArticulos = NuevaTabla("tblArticulos", "articulos");
  tblAsientosProgCfg = NuevaTabla("tblAsientosProgCfg", "asientosProgCfg");
  tblAsientosProg = NuevaTabla("tblAsientosProg", "asientosprog");
  tblMvtOrdenPago = NuevaTabla("tblMvtOrdenPago", "mvtOrdenPago");
  tblReintegros = NuevaTabla("tblReintegros", "reintegros");
  Query1 = new TQuery(this);
  Query1->Name = "Query1";

  // Arranque abandonado (selector o clave): el módulo no abre nada.
  if (abortar || Application->Terminated()) return;
  repararSiDaniada_ = true;
  InitTablas(PathCont);
  repararSiDaniada_ = false;
  if (daniadaAlAbrir_) RepararAlAbrir();
  if (!tablasAbiertas_) return;
  Permisos.Init();
  if (!TblConfigContab->Active) return;
  TblConfigContab->First();
  NContabilidad = TblConfigContab->FieldByName("NContabilidad")->AsString;
  RevisarMarca();
  AsegurarSinTercero();
  verificarIntegridad();
}

TDM::~TDM() {
  if (DM == this) DM = nullptr;
}

void TDM::InitTablas(AnsiString aPath) {
  tablasAbiertas_ = false;
  ConfigurarSesion(aPath);
  TTable* alias[] = {TblMovimiento, TblPlan, TblDocumentos, TblTerceros, TblCCostos, TblSoportes,
                     TblBal, TblConfigContab, TblSaldosAntes, TblSaldosEntre, TblTempCajaDiario,
                     tblMvtMaestro, tblPlanPpto, tblMvtPptal, tblMvtPptalMaestro, TblPermisos,
                     tblMvtCertDisp, tblPAC, tblMvtRegPptal, tblMvtOrdenServicio,
                     tblMvtOrdenSuministro, tblMvtOrdenSumiMaestro, tblArticulos,
                     tblAsientosProgCfg, tblAsientosProg, tblMvtOrdenPago, tblReintegros};
  for (TTable* t : alias) t->DatabaseName = kAlias;
  TblConfig->DatabaseName = PathOrigen;
  TblContabs->DatabaseName = PathOrigen;
  TblContabs->Filter = "Activa='S'";
  TblContabs->Filtered = true;
  TTable* orden[] = {TblMovimiento, TblSoportes, TblConfigContab, TblPlan, tblPlanPpto,
                     TblTerceros, TblDocumentos, TblCCostos, TblBal, TblSaldosEntre,
                     TblSaldosAntes, tblMvtMaestro, TblTempCajaDiario, TblConfig,
                     tblMvtPptalMaestro, tblMvtPptal, TblPermisos, TblContabs, tblMvtCertDisp,
                     tblMvtRegPptal, tblPAC, tblMvtOrdenServicio, tblMvtOrdenSuministro,
                     tblMvtOrdenSumiMaestro, tblArticulos, tblAsientosProgCfg, tblAsientosProg,
                     tblMvtOrdenPago, tblReintegros};
  try {
    // Unos libros que faltan nunca se reemplazan por unos vacíos.
    if (!LibrosPresentes(aPath.str())) {
      AnsiString nombre = NContabilidad.IsEmpty() ? AnsiString(fs::path(aPath.str()).filename().string()) : NContabilidad;
      throw Exception("No se encuentran los libros de la contabilidad " + nombre + " en " + aPath + ".");
    }
    // Libros y carpeta del programa hechos por una versión anterior se ponen al día antes
    // de abrir sus tablas.
    try {
      tv::schema::UpgradeBooks(aPath.c_str());
      if (!PathOrigen.IsEmpty()) tv::schema::UpgradeProgram(PathOrigen.c_str());
    } catch (const std::runtime_error& e) {
      throw Exception(AnsiString("No se pudo poner al día el esquema de las tablas: ") + e.what());
    }
    soloLectura_ = tv::schema::BooksReadOnly(aPath.c_str());
    // Las tablas de trabajo de los informes viven fuera de unos libros de solo lectura: cada
    // puesto tiene las suyas y los informes se pueden sacar igual.
    if (soloLectura_)
      for (const char* trabajo : {"baltempestados", "SaldosAntes", "SaldosEntre", "Temp"})
        tv::db::UsePrivateTable(kAlias, trabajo);
    for (TTable* t : orden) t->Open();
    tablasAbiertas_ = true;
    // Un solo aviso por libros, aunque se vuelvan a abrir en la misma corrida.
    if (!soloLectura_) {
      avisoSoloLectura_ = "";
    } else if (avisoSoloLectura_ != aPath) {
      avisoSoloLectura_ = aPath;
      ShowMessage(kAvisoSoloLectura);
    }
  } catch (Exception& e) {
    // Libros dañados al arrancar: la reparación los rehace en vez de terminar el programa.
    if (repararSiDaniada_ && tv::db::DatabaseDamaged(aPath)) {
      daniadaAlAbrir_ = true;
      errorAlAbrir_ = e.Message;
      return;
    }
    Application->ShowException(&e);
    Application->Terminate();
  }
}

// Las tablas no abrieron porque el archivo de los libros está dañado: se repara como tras una
// salida sin cierre (si ninguna otra copia del programa lo usa) y se abre otra vez.
void TDM::RepararAlAbrir() {
  daniadaAlAbrir_ = false;
  bool sola = UsarMarcaSolo();
  if (sola) {
    // La marca va antes de reparar: si el programa muere a mitad, la corrida siguiente repara
    // de nuevo y dice lo que quedó fuera.
    EscribirMarca(PathCont);
    CloseTablas();
    RepairDialog = new TRepairDialog(this, PathCont, EsquemaDeLaAplicacion());
    try {
      RepairDialog->Show();
      RepairDialog->BtnReconstruirCarpetaClick(RepairDialog);
    } catch (...) {
      delete RepairDialog;
      CompartirMarca();
      throw;
    }
    delete RepairDialog;
    reparadaAlAbrir_ = true;
  }
  CompartirMarca();
  if (!sola) {
    Exception e(errorAlAbrir_);
    Application->ShowException(&e);
    Application->Terminate();
    return;
  }
  InitTablas(PathCont);
}

void TDM::CloseTablas() {
  TTable* todas[] = {TblMovimiento, TblSoportes, TblConfigContab, TblPlan, tblPlanPpto,
                     TblTerceros, TblDocumentos, TblCCostos, TblBal, TblSaldosEntre,
                     TblSaldosAntes, tblMvtMaestro, TblTempCajaDiario, TblConfig,
                     tblMvtPptalMaestro, tblMvtPptal, TblPermisos, TblContabs, tblMvtCertDisp,
                     tblMvtRegPptal, tblPAC, tblMvtOrdenServicio, tblMvtOrdenSuministro,
                     tblMvtOrdenSumiMaestro, tblArticulos, tblAsientosProgCfg, tblAsientosProg,
                     tblMvtOrdenPago, tblReintegros};
  for (TTable* t : todas) {
    try {
      t->Close();
    } catch (Exception& e) {
      Application->ShowException(&e);
    }
  }
  tablasAbiertas_ = false;
}

void TDM::VacearTablasTemporales() {
  VacearTabla(TblBal, false);
  VacearTabla(TblSaldosAntes, false);
  VacearTabla(TblSaldosEntre, false);
  VacearTabla(TblTempCajaDiario, false);
}

void TDM::RevisarMarca() {
  // Con otra copia del programa corriendo, su marca es de una corrida viva: no se repara
  // nada; se espera, eso sí, a que termine una reparación que esté haciendo.
  bool sola = UsarMarcaSolo();
  if (!sola) CompartirMarca();
  try {
    RevisarMarca(sola);
  } catch (...) {
    if (sola) CompartirMarca();
    throw;
  }
  if (sola) CompartirMarca();
}

void TDM::RevisarMarca(bool sola) {
  if (ExisteMarca() && !sola) {
    marcaDeEstaCorrida = true;
  } else if (ExisteMarca() && !reparadaAlAbrir_) {
    // La corrida anterior no terminó por el cierre: se reconstruye la carpeta que tenía
    // abierta (la de la marca), antes de usar las tablas.
    AnsiString carpeta = CarpetaDeMarca();
    if (carpeta.IsEmpty() || !DirectoryExists(carpeta)) carpeta = PathCont;
    CloseTablas();
    VacearTablasTemporales();
    RepairDialog = new TRepairDialog(this, carpeta, EsquemaDeLaAplicacion());
    try {
      RepairDialog->Show();
      RepairDialog->BtnReconstruirCarpetaClick(RepairDialog);
    } catch (...) {
      delete RepairDialog;
      throw;
    }
    delete RepairDialog;
    InitTablas(PathCont);
    EscribirMarca(PathCont);
    marcaDeEstaCorrida = true;
  } else if (EscribirMarca(PathCont)) {
    marcaDeEstaCorrida = true;
  } else {
    ShowMessage("Error creando marca");
  }
}

void TDM::AsegurarSinTercero() {
  HagaSQL(kAlias, Query1, "select count(*) as cantidad from tc where cedulanit is null");
  int cantidad = Query1->FieldByName("cantidad")->AsInteger;
  Query1->Close();
  if (cantidad == 0 && !soloLectura_) HagaSQL(kAlias, Query1, "insert into tc (nombre) values ('sin tercero')");
  if (TblTerceros->Active) TblTerceros->Refresh();
}

bool TDM::verificarIntegridad() {
  AnsiString anio = AnsiString(static_cast<int>(anioGlobal));
  HagaSQL(kAlias, Query1,
          "select descdocu,numedocu,fecha from mvtmaestro where fecha<'01/01/" + anio +
              "' or fecha>'12/31/" + anio + "'");
  int filas = Query1->RecordCount;
  if (filas == 0) {
    Query1->Close();
    return true;
  }
  Query1->First();
  if (filas == 1 && Query1->FieldByName("descdocu")->AsString == "CSI") {
    Query1->Close();
    return true;
  }
  AnsiString lista;
  for (; !Query1->Eof; Query1->Next()) {
    if (Query1->FieldByName("descdocu")->AsString == "CSI") continue;
    lista += Query1->FieldByName("descdocu")->AsString + " " + Query1->FieldByName("numedocu")->AsString +
             " " + DateToStr(Query1->FieldByName("fecha")->AsDateTime) + "\n";
  }
  Query1->Close();
  ShowMessage("Tiene asientos con fechas menores o mayores que el año contable:\n" + lista);
  return false;
}

void RepararYReabrir(TComponent* Owner, const AnsiString& carpeta, bool automatica) {
  DM->CloseTablas();
  DM->VacearTablasTemporales();
  RepairDialog = new TRepairDialog(Owner, carpeta, EsquemaDeLaAplicacion());
  try {
    if (automatica) {
      RepairDialog->Show();
      RepairDialog->BtnReconstruirCarpetaClick(RepairDialog);
    } else {
      RepairDialog->ShowModal();
    }
  } catch (...) {
    delete RepairDialog;
    RepairDialog = nullptr;
    // El error de la reparación es el que importa; las tablas se reabren si se puede.
    try {
      DM->InitTablas(PathCont);
    } catch (...) {
    }
    throw;
  }
  delete RepairDialog;
  RepairDialog = nullptr;
  DM->InitTablas(PathCont);
}
