#include "budget/FrmAuxiliaresPpto.h"

#include <memory>

#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "budget/CalculosPptal.h"
#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Launch.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/general/Exportar.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"
#include "reports/ConsultasComun.h"

TfrmAuxiliaresPpto* frmAuxiliaresPpto = nullptr;

namespace {
// Los certificados con filas de rubros se leen de certDispRubros; su campo propio no cuenta.
const char* kSinFilasDeRubros = " and not exists (select z.icd from certDispRubros as z where z.icd=a.icd)";
}  // namespace

TfrmAuxiliaresPpto::TfrmAuxiliaresPpto(TComponent* Owner) : TFrmConPeriodo(Owner) {
  Name = "frmAuxiliaresPpto";
  Caption = "Auxiliares del presupuesto";
  Position = poScreenCenter;
  Width = 820;
  Height = 620;

  PnlFiltro = Make<TPanel>(this, "PnlFiltro");
  PnlFiltro->Align = alTop;
  PnlFiltro->BevelOuter = bvNone;
  PnlFiltro->Height = 150;
  Label1 = Make<TLabel>(PnlFiltro, "Label1");
  Label1->Caption = "Cuenta (mayor o auxiliar):";
  EdICuenta = Make<TEdit>(PnlFiltro, "EdICuenta");
  EdICuenta->Text = "%";
  BitBtn1 = Make<TBitBtn>(PnlFiltro, "BitBtn1");
  BitBtn1->Caption = "...";
  BitBtn1->Hint = "Especificar datos de búsqueda";
  BitBtn1->ShowHint = true;
  LblNCuenta = Make<TLabel>(PnlFiltro, "LblNCuenta");
  LblNCuenta->Caption = "*";
  Label1->FocusControl = EdICuenta;
  Label5 = Make<TLabel>(PnlFiltro, "Label5");
  Label5->Caption = "Usar el comodín %. Ejemplos:";
  Label7 = Make<TLabel>(PnlFiltro, "Label7");
  Label7->Caption = "% lista todos los rubros";
  Label8 = Make<TLabel>(PnlFiltro, "Label8");
  Label8->Caption = "%-25 todas las fuentes 25";
  Label9 = Make<TLabel>(PnlFiltro, "Label9");
  Label9->Caption = "20% todos los rubros que empiezan por 20 ";
  CrearPeriodo(PnlFiltro);
  EdFechaInicio->Hint = "Ingrese la fecha inicial";
  EdFechaFinal->Hint = "Ingrese la fecha final";
  for (TControl* c : {static_cast<TControl*>(EdFechaInicio), static_cast<TControl*>(EdFechaFinal)})
    c->ShowHint = true;
  for (TSpeedButton* b : {BtnFechaDesde, BtnFechaHasta}) {
    b->Hint = "De Click aqui para traer la fecha desde el calendario";
    b->ShowHint = true;
  }
  Label6 = Make<TLabel>(PnlFiltro, "Label6");
  Label6->Caption = "";
  Label6->Font->Style = TFontStyles{fsBold};
  LblMesCad = Make<TLabel>(PnlFiltro, "LblMesCad");
  LblMesCad->Caption = "";
  LblMesCad->Font->Style = TFontStyles{fsBold};
  LblMesCad->Font->Color = clNavy;

  // La cuenta y su nombre debajo del periodo; la ayuda del comodín a la derecha.
  Label1->SetBounds(8, 72, 170, 16);
  EdICuenta->SetBounds(180, 68, 160, 24);
  BitBtn1->SetBounds(344, 68, 28, 24);
  LblNCuenta->SetBounds(380, 72, 420, 16);
  Label5->SetBounds(440, 6, 360, 16);
  Label7->SetBounds(452, 24, 348, 16);
  Label8->SetBounds(452, 40, 348, 16);
  Label9->SetBounds(452, 56, 348, 16);
  Label6->SetBounds(8, 100, 500, 18);
  LblMesCad->SetBounds(8, 124, 300, 18);

  PnlBotones = Make<TPanel>(this, "PnlBotones");
  PnlBotones->Align = alBottom;
  PnlBotones->BevelOuter = bvNone;
  PnlBotones->Height = 40;
  BtnAceptar = Make<TBitBtn>(PnlBotones, "BtnAceptar");
  BtnAceptar->Caption = "&Aceptar";
  BtnAceptar->Default = true;
  BtnCancelar = Make<TBitBtn>(PnlBotones, "BtnCancelar");
  BtnCancelar->Kind = bkCancel;
  BtnCancelar->Caption = "&Cancelar";
  btnExportar = Make<TBitBtn>(PnlBotones, "btnExportar");
  btnExportar->Caption = "&Exportar";
  BtnAceptar->SetBounds(8, 6, 100, 28);
  BtnCancelar->SetBounds(116, 6, 100, 28);
  btnExportar->SetBounds(224, 6, 100, 28);

  DBGrid2 = Make<TDBGrid>(this, "DBGrid2");
  DBGrid2->Align = alBottom;
  DBGrid2->Height = 140;
  DBGrid2->ReadOnly = true;
  PnlTotales = Make<TPanel>(this, "PnlTotales");
  PnlTotales->Align = alBottom;
  PnlTotales->BevelOuter = bvNone;
  PnlTotales->Height = 62;
  lblTotalEjecutado = Make<TLabel>(PnlTotales, "lblTotalEjecutado");
  lblReintegrado = Make<TLabel>(PnlTotales, "lblReintegrado");
  lblTotalMovido = Make<TLabel>(PnlTotales, "lblTotalMovido");
  lblTotalEjecutado->SetBounds(8, 4, 500, 16);
  lblReintegrado->SetBounds(8, 22, 500, 16);
  lblTotalMovido->SetBounds(8, 40, 500, 16);
  for (TLabel* l : {lblTotalEjecutado, lblReintegrado, lblTotalMovido}) l->Caption = "";

  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->ReadOnly = true;

  SaveDialog1 = Make<TSaveDialog>(this, "SaveDialog1");
  Query1 = Make<TQuery>(this, "Query1");
  Query2 = Make<TQuery>(this, "Query2");
  queryGral = Make<TQuery>(this, "queryGral");
  DSQuery1 = Make<TDataSource>(this, "DSQuery1");
  DSQuery1->DataSet = Query1;
  DSQuery2 = Make<TDataSource>(this, "DSQuery2");
  DSQuery2->DataSet = Query2;
  DBGrid1->DataSource = DSQuery1;
  MostrarMontos(DBGrid1, {"ingreso", "egreso"});
  DBGrid2->DataSource = DSQuery2;
  MostrarMontos(DBGrid2, {"ingreso", "egreso"});

  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  EdICuenta->OnExit = [this](TObject* s) { EdICuentaExit(s); };
  EdICuenta->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { EdICuentaKeyDown(s, k, sh); };
  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };
  btnExportar->OnClick = [this](TObject* s) { btnExportarClick(s); };
  ActiveControl = EdICuenta;
}

void TfrmAuxiliaresPpto::BitBtn1Click(TObject*) {
  FrmBuscTabla = new TFrmBuscTabla(this, DM->dsPlanPpto, "Código", "Cuenta", "icuenta", "ncuenta", false, "");
  std::unique_ptr<TFrmBuscTabla> f(FrmBuscTabla);
  if (!f->ceroRegistros) {
    f->ShowModal();
    EdICuenta->Text = f->GetContenido1();
    LblNCuenta->Caption = f->GetContenido2();
  }
  FrmBuscTabla = nullptr;
}

void TfrmAuxiliaresPpto::EdICuentaExit(TObject*) {
  TTable* plan = DM->tblPlanPpto;
  if (!plan->Active) plan->Open();
  if (plan->Locate("icuenta", Variant(AnsiString(EdICuenta->Text)), TLocateOptions()))
    LblNCuenta->Caption = plan->FieldByName("Ncuenta")->AsString;
}

void TfrmAuxiliaresPpto::EdICuentaKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key == VK_DELETE) EdICuenta->Text = "";
}

double TfrmAuxiliaresPpto::Suma(const AnsiString& aSQL) {
  HagaSQL("Contabilidad", queryGral, aSQL);
  TField* t = queryGral->FieldByName("total");
  return t->IsNull() ? 0 : t->AsFloat;
}

void TfrmAuxiliaresPpto::BtnAceptarClick(TObject*) {
  AnsiString p = EdICuenta->Text;
  // El patrón sigue siendo patrón (sus % y _ son comodines); solo se doblan sus comillas.
  AnsiString patron = TextoSQL(p);
  HagaSQL("Contabilidad", Query2, " select * from plppto where icuenta like " + patron, true);
  if (Query2->RecordCount() == 1) {
    // Con un solo rubro, su disponible según su propio tipo (ingreso o gasto).
    Query2->First();
    AnsiString rubro = Query2->FieldByName("icuenta")->AsString;
    AnsiString tipo = Query2->FieldByName("tipoCuenta")->AsString;
    Label6->Caption = "Disponible: " + AnsiString(Punto(getDisponibilidadRubro(rubro, tipo == "I" ? "I" : "E", nullptr), 2));
    LblNCuenta->Caption = Query2->FieldByName("Ncuenta")->AsString;
  } else {
    Label6->Caption = "";
  }
  AnsiString inicio = EdFechaInicio->Text, fin = EdFechaFinal->Text;
  if (!ValidarInformes(inicio, fin, p, "", "", true, false, false)) return;
  LblMesCad->Caption = RetornaNombreMes(StrToDate(inicio), StrToDate(fin));

  HagaSQL("Contabilidad", Query2,
          "select icd,rubropptal as Cuenta, 'E' as tipoCuenta,'0' as Ingreso,valor as Egreso from mvtcertdisp as a "
          "where rubropptal like " + patron + kSinFilasDeRubros +
              " union all select icd,rubropptal as Cuenta ,'E' as tipoCuenta,'0' as Ingreso,valor as Egreso "
              "from certdisprubros where rubropptal like " + patron,
          true);
  double ejecutado =
      Suma(" select sum(valor) as total from mvtcertdisp as a where rubropptal like " + patron + kSinFilasDeRubros) +
      Suma("select sum(valor) as total from certdisprubros as a where rubropptal like " + patron);
  lblTotalEjecutado->Caption = AnsiString("Total de la ejecución presupuestal: ") + Punto(ejecutado, 2);
  lblReintegrado->Caption = AnsiString("Reintegros: ") + Punto(getSumaReintegrosRubro(p), 2);
  double movido = Suma("select coalesce(sum(ingreso),0)-coalesce(sum(egreso),0) as total from mvtpptal where icuenta like " + patron);
  lblTotalMovido->Caption = AnsiString("Total del movimiento presupuestal: ") + Punto(movido, 2);

  HagaSQL("Contabilidad", Query1,
          "select a.ImvtPptal, a.TipoMvtPptal, a.Icuenta, a.tipoCuenta, a.ingreso, a.egreso, b.fecha from mvtPptal "
          "as a left join mvtPptalMaestro as b on(a.imvtpptal=b.iMvtPptal and a.tipoMvtPptal=b.tipoMvtPptal) where "
          "ICuenta like " + patron + " and Fecha>='" + MesDiaAnio(inicio) + "' and Fecha<='" + MesDiaAnio(fin) +
              "' order by Fecha",
          true);
}

void TfrmAuxiliaresPpto::btnExportarClick(TObject*) {
  SaveDialog1->FileName = "mvtRubros.csv";
  SaveDialog1->Filter = "CSV archivos (delimitado por coma)|*.csv";
  SaveDialog1->DefaultExt = "*.csv";
  SaveDialog1->Title = "Grabar archivo en formato CSV";
  if (!SaveDialog1->Execute()) return;
  // Dos bloques en un archivo, cada uno con su línea de separador y su encabezado.
  DBToCSV(Query1, SaveDialog1->FileName);
  DBToCSV(Query2, SaveDialog1->FileName, nullptr, 0, true, nullptr, true);
  tv::os::OpenDocument(SaveDialog1->FileName);
}
