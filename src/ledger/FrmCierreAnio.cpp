#include "ledger/FrmCierreAnio.h"

#include <cmath>
#include <filesystem>

#include "app/Contabilidades.h"
#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "app/schema/Schema.h"
#include "platform/db/DBTables.h"
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

const char* const kTablasMovimiento[13] = {
    "mvt.db",           "mvtmaestro.db",         "mvtcertDisp.db",         "mvtPptal.db",
    "mvtPptalMaestro.db", "mvtOrdenSuministro.db", "mvtOrdenSumiMaestro.db", "mvtOrdenServicio.db",
    "mvtRegPptal.db",   "pac.db",                "mvtOrdenPago.db",        "certDispRubros.db",
    "reintegros.db"};

namespace {

// Un saldo que la suma deja en ruido no es saldo.
constexpr double kCero = 1e-9;

bool EsCero(double v) { return std::fabs(v) < kCero; }

double Suma(TQuery* q, const char* campo) {
  TField* f = q->FieldByName(campo);
  return f->IsNull ? 0.0 : f->AsFloat;
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
  ForceDirectories(NewPath);
  return true;
}

void TFrmCierreAnio::AgregarLinea(TTable* t, const AnsiString& aCuenta, const AnsiString& aTercero,
                                  const AnsiString& aTipo, double aDebito, double aCredito) {
  t->Append();
  t->FieldByName("Fecha")->AsDateTime = FechaCierre;
  t->FieldByName("DescDocu")->AsString = aTipo;
  t->FieldByName("NumeDocu")->AsString = "1";
  t->FieldByName("NumeCuen")->AsString = aCuenta;
  if (!aTercero.IsEmpty()) t->FieldByName("Cedulanit")->AsString = aTercero;
  t->FieldByName("debito")->AsFloat = aDebito;
  t->FieldByName("Credito")->AsFloat = aCredito;
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

// Copia coherente de la base de la contabilidad abierta y de los demás archivos de su
// carpeta; la copia recibe vacías las tablas de movimiento.
void TFrmCierreAnio::CopiarContabilidad() {
  tv::db::BackupDatabase("Contabilidad", NewPath);
  std::string base = tv::db::kDatabaseFileName;
  for (const auto& e : fs::directory_iterator(PathCont.str())) {
    std::string nombre = e.path().filename().string();
    if (!e.is_regular_file() || nombre.rfind(base, 0) == 0) continue;
    fs::copy_file(e.path(), fs::path(NewPath.str()) / nombre, fs::copy_options::overwrite_existing);
  }
  tv::schema::CreateBookTables(NewPath.str());
  for (const char* nombre : kTablasMovimiento) {
    TTable t(this);
    t.DatabaseName = NewPath;
    t.TableName = nombre;
    t.Exclusive = true;
    VacearTabla(&t, false);
    t.Close();
  }
  TQuery q(nullptr);
  for (const char* nombre : kTablasMovimiento) {
    HagaSQL(NewPath, &q, AnsiString("select count(*) as n from \"") + nombre + "\"");
    if (q.FieldByName("n")->AsInteger != 0)
      throw Exception(AnsiString("No se pudo vaciar la tabla ") + nombre + " en " + NewPath);
  }
}

void TFrmCierreAnio::AddCSI() {
  TTable* nuevo = new TTable(this);
  std::unique_ptr<TTable> borrar(nuevo);
  nuevo->DatabaseName = NewPath;
  nuevo->TableName = "mvt.db";
  nuevo->Open();
  TQuery grupos(nullptr);
  HagaSQL("Contabilidad", &grupos,
          "select numecuen,cedulanit,sum(debito) as debito,sum(credito) as credito from mvt where "
          "numecuen>='1' and numecuen<'4' group by numecuen,cedulanit ");
  itemsCSI = 0;
  valorCSI = 0;
  double descuadre = 0;
  for (grupos.First(); !grupos.Eof; grupos.Next()) {
    double debito = Suma(&grupos, "debito"), credito = Suma(&grupos, "credito");
    AgregarLinea(nuevo, grupos.FieldByName("numecuen")->AsString, grupos.FieldByName("cedulanit")->AsString,
                 "CSI", debito, credito);
    ++itemsCSI;
    valorCSI += debito;
    descuadre += debito - credito;
  }
  grupos.Close();
  nuevo->Close();
  borrar.reset();
  HagaSQL(NewPath, Query1, "delete from mvtmaestro where descDocu='CSI'");
  HagaSQL(NewPath, Query1,
          "insert into mvtmaestro (descdocu, numedocu, fecha, qitems, valor,descuadre) values ('CSI', '1','" +
              MesDiaAnio(FechaCierre) + "'," + IntToStr(itemsCSI) + "," + NumeroSQL(valorCSI) + "," +
              NumeroSQL(descuadre) + ")");
}

void TFrmCierreAnio::BtnAceptarClick(TObject*) {
  CuentaUtilidad = edCtaUtilidad->Text;
  DM->TblPlan->Refresh();
  if (CuentaUtilidad.IsEmpty() || !DM->TblPlan->Locate("numecuen", Variant(CuentaUtilidad))) {
    ShowMessage("La cuenta de utilidad no está definida en el plan de cuentas");
    return;
  }
  // La carpeta nueva lleva el nombre de la contabilidad: nada de rutas dentro de él.
  const std::string& nombre = NContabilidad.str();
  if (nombre.find('/') != std::string::npos || nombre.find('\\') != std::string::npos ||
      nombre.find("..") != std::string::npos) {
    ShowMessage("El nombre de la contabilidad contiene caracteres no permitidos: / \\ o ..");
    return;
  }
  bool nueva = CrearNuevoDirectorio();
  bool usable = nueva ? DirectoryExists(NewPath)
                      : FileExists(NewPath + "/" + tv::db::kDatabaseFileName) && tv::db::TableExists(NewPath, "mvt");
  if (!usable) {
    ShowMessage("No se pudo crear la nueva contabilidad en " + NewPath);
    return;
  }

  FechaCierre = EncodeDate(anioGlobal, 12, 31);
  TAviso aviso;
  try {
    CerrarLibros();
    aviso.Inicie("Creando CSI en el nuevo año...", true, false, 0, 0, 0);
    if (nueva) CopiarContabilidad();
    tv::db::Transaction tx(NewPath);
    TQuery q(nullptr);
    HagaSQL(NewPath, &q, "select count(*) as n from dg where codidocu='CSI'");
    if (q.FieldByName("n")->AsInteger == 0)
      HagaSQL(NewPath, Query1, "insert into dg (codidocu, nombdocu) values('CSI','Comprobante de saldos iniciales')");
    HagaSQL(NewPath, Query1, "delete from mvt where descDocu='CSI'");
    AddCSI();
    tx.Commit();
  } catch (...) {
    aviso.Termine();
    // Una carpeta nueva que no quedó completa no queda.
    if (nueva) {
      tv::db::ReleaseDatabase(NewPath);
      std::error_code ec;
      fs::remove_all(NewPath.str(), ec);
    }
    for (TTable* t : {DM->TblMovimiento, DM->tblMvtMaestro, DM->TblDocumentos})
      if (t->Active) t->Refresh();
    throw;
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
  // Una copia recién hecha tiene los usuarios del año cerrado; una carpeta que ya existía
  // pide la entrada como al cambiar de contabilidad.
  if (AbrirContabilidad(this, NewPath, NContabilidad, anioNuevo, !nueva))
    ShowMessage("La nueva contabilidad ha sido creada y es la que está usando en este momento.");
}
