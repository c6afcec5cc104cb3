#include "reports/FrmExogena.h"

#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"
#include "platform/db/sql/Translator.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Launch.h"
#include "reports/ConsultasComun.h"
#include "shared/general/Exportar.h"
#include "shared/general/SqlUtil.h"

TfrmExogena* frmExogena = nullptr;

namespace {

AnsiString ArchivoCuentas() { return PathOrigen + "/cuentasExogena.txt"; }

// Columnas que se llenan, en el orden del insert; los textos se cortan al ancho de la tabla.
const char* kColumnas =
    "insert into infExogena (cuenta,ncuenta,itercero,ntercero,digitoVerificacion,tipoDocumento,"
    "apellido1,apellido2,nombre1,nombre2,razonsocial,direccion,ciudad,dpto,valor) ";

// Suma primero las líneas por cuenta y tercero y luego busca el nombre de la cuenta y los datos
// del tercero una vez por grupo (ambos son llaves de su tabla, así que los grupos no cambian).
AnsiString Seleccion(const char* aSuma, const AnsiString& aCondicionCuenta, const AnsiString& aCondicionFecha) {
  return AnsiString(
             "select substring(m.numecuen from 1 for 18), substring(pl.nombcuen from 1 for 150), "
             "substring(m.cedulanit from 1 for 18), substring(tc.nombre from 1 for 60), "
             "substring(tc.digitoVerificacion from 1 for 1), substring(tc.tipoDocumento from 1 for 3), "
             "substring(tc.apellido1 from 1 for 15), substring(tc.apellido2 from 1 for 15), "
             "substring(tc.nombre1 from 1 for 15), substring(tc.nombre2 from 1 for 15), "
             "substring(tc.razonsocial from 1 for 60), substring(tc.direccion from 1 for 30), "
             "substring(tc.ciudad from 1 for 15), substring(tc.dpto from 1 for 2), m.valor from "
             "(select mvt.numecuen as numecuen, mvt.cedulanit as cedulanit, ") +
         aSuma + " as valor from mvt where " + aCondicionCuenta + " and " + aCondicionFecha +
         " group by mvt.numecuen, mvt.cedulanit) m left join tc on tc.cedulanit=m.cedulanit "
         "left join pl on pl.numecuen=m.numecuen order by m.numecuen, m.cedulanit";
}

}  // namespace

TfrmExogena::TfrmExogena(TComponent* Owner) : TForm(Owner) {
  Name = "frmExogena";
  Caption = "Información exógena";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  Width = 460;
  Height = 420;

  GroupBox1 = Make<TGroupBox>(this, "GroupBox1");
  GroupBox1->Caption = "Fechas: ";
  GroupBox1->Align = alTop;
  Label1 = Make<TLabel>(GroupBox1, "Label1");
  Label1->Caption = "Desde:";
  edFechaInicial = Make<TMaskEdit>(GroupBox1, "edFechaInicial");
  edFechaInicial->EditMask = "!99/99/0000;1; ";
  edFechaInicial->Hint = "Ingrese la fecha inicial";
  edFechaInicial->ShowHint = true;
  btnFechaDesde = Make<TSpeedButton>(GroupBox1, "btnFechaDesde");
  btnFechaDesde->Caption = "...";
  btnFechaDesde->Hint = "De Click aqui para traer la fecha desde el calendario";
  btnFechaDesde->ShowHint = true;
  Label2 = Make<TLabel>(GroupBox1, "Label2");
  Label2->Caption = "Hasta:";
  edFechaFinal = Make<TMaskEdit>(GroupBox1, "edFechaFinal");
  edFechaFinal->EditMask = "!99/99/0000;1; ";
  edFechaFinal->Hint = "Ingrese la fecha final";
  edFechaFinal->ShowHint = true;
  btnFechaHasta = Make<TSpeedButton>(GroupBox1, "btnFechaHasta");
  btnFechaHasta->Caption = "...";
  btnFechaHasta->Hint = "De Click aqui para traer la fecha desde el calendario";
  btnFechaHasta->ShowHint = true;
  Label1->FocusControl = edFechaInicial;
  Label2->FocusControl = edFechaFinal;
  Label3 = Make<TLabel>(this, "Label3");
  Label3->Caption = "Cuentas de impuestos a mostrar";
  Label3->Align = alTop;
  Memo1 = Make<TMemo>(this, "Memo1");
  Memo1->ScrollBars = ssBoth;
  Memo1->WordWrap = false;
  Memo1->Align = alClient;
  Label3->FocusControl = Memo1;
  PnlBotones = Make<TPanel>(this, "PnlBotones");
  PnlBotones->Align = alBottom;
  PnlBotones->BevelOuter = bvNone;
  btnAgrupado = Make<TBitBtn>(PnlBotones, "btnAgrupado");
  btnAgrupado->Caption = "&Exportar";
  btnAgrupado->Default = true;
  btnAgrupado->ModalResult = mrOk;
  btnCancelar = Make<TBitBtn>(PnlBotones, "btnCancelar");
  btnCancelar->Kind = bkCancel;
  btnCancelar->Caption = "&Cancelar";
  queryGral = Make<TQuery>(this, "queryGral");
  tblInfExogena = Make<TTable>(this, "tblInfExogena");
  SaveDialog1 = Make<TSaveDialog>(this, "SaveDialog1");

  btnFechaDesde->OnClick = [this](TObject* s) { btnFechaDesdeClick(s); };
  btnFechaHasta->OnClick = [this](TObject* s) { btnFechaDesdeClick(s); };
  btnAgrupado->OnClick = [this](TObject* s) { btnAgrupadoClick(s); };

  fechaInicial = TDateTime(0.0);
  fechaFinal = TDateTime(0.0);
  edFechaInicial->Text = FechaRecordada(true);
  edFechaFinal->Text = FechaRecordada(false);
  try {
    Memo1->Lines->LoadFromFile(ArchivoCuentas());
  } catch (...) {
    // Sin lista guardada la lista empieza vacía.
  }
}

void TfrmExogena::btnFechaDesdeClick(TObject* Sender) {
  auto* c = dynamic_cast<TComponent*>(Sender);
  TraerFecha(this, c && c->Name == "btnFechaDesde" ? edFechaInicial : edFechaFinal);
}

void TfrmExogena::btnAgrupadoClick(TObject*) {
  fechaInicial = StrToDate(edFechaInicial->Text);
  fechaFinal = StrToDate(edFechaFinal->Text);
  tblInfExogena->Close();
  try {
    HagaSQL("Contabilidad", queryGral, "drop table infExogena");
  } catch (Exception&) {
    ShowMessage("No puedo borrar la tabla con la información exógena:" + PathCont);
    return;
  }
  AnsiString msg;
  if (!validarFechas(edFechaInicial->Text, edFechaFinal->Text, msg)) {
    ShowMessage(msg);
    return;
  }
  // La tabla se crea y se llena entera o no queda.
  {
    tv::db::Transaction tr("Contabilidad");
    crearTablaInfExogena();
    fillTableInfExogena();
    tr.Commit();
  }
  tblInfExogena->DatabaseName = PathCont;
  tblInfExogena->TableName = "infExogena.db";
  tblInfExogena->Open();
  Memo1->Lines->SaveToFile(ArchivoCuentas());

  SaveDialog1->Filter = "CSV archivos (delimitado por coma)|*.csv";
  SaveDialog1->DefaultExt = "*.csv";
  SaveDialog1->Title = "Grabar archivo en formato CSV";
  SaveDialog1->FileName = "informeExogena.csv";
  if (SaveDialog1->Execute()) {
    DBToCSV(tblInfExogena, SaveDialog1->FileName);
    tv::os::OpenDocument(SaveDialog1->FileName);
  }
}

void TfrmExogena::crearTablaInfExogena() {
  HagaSQL("Contabilidad", queryGral,
          AnsiString("create table infExogena (") + "itercero char(18)," + "ntercero char(60)," +
              "cuenta char(18)," + "ncuenta char(150), " + "valor float," + "digitoVerificacion char(1), " +
              "tipoDocumento char(3), " + "apellido1 char(15), " + "apellido2 char(15), " +
              "nombre1 char(15), " + "nombre2 char(15), " + "razonsocial char(60), " +
              "direccion char(30)," + "ciudad char(15)," + "dpto char(2)" + ")");
}

void TfrmExogena::fillTableInfExogena() {
  AnsiString ini = MesDiaAnio(fechaInicial), fin = MesDiaAnio(fechaFinal);
  AnsiString periodo = "mvt.fecha<='" + fin + "' and mvt.fecha>='" + ini + "'";
  HagaSQL("Contabilidad", queryGral, kColumnas + Seleccion("sum(mvt.debito)", "mvt.numecuen like '5%'", periodo));
  for (int i = 0; i < Memo1->Lines->Count(); ++i) {
    AnsiString patron = Memo1->Lines->Strings(i);
    if (patron.Trim().IsEmpty()) continue;
    // El patrón es del usuario: su "%" sigue siendo comodín; solo se doblan las comillas.
    AnsiString cond = "mvt.numecuen like '" + AnsiString(tv::db::EscapeSqlText(patron.str())) + "'";
    HagaSQL("Contabilidad", queryGral, kColumnas + Seleccion("sum(mvt.credito)", cond, periodo));
  }
}
