#include "reports/FrmLibroAuxiliar.h"

#include <memory>

#include "app/Validaciones.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/QuickRpt.h"
#include "shared/general/Exportar.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"

TfrmLibroAuxiliar* frmLibroAuxiliar = nullptr;
TfrmRptLibroAuxiliar* frmRptLibroAuxiliar = nullptr;

TfrmLibroAuxiliar::TfrmLibroAuxiliar(TComponent* Owner) : TFrmConPeriodo(Owner) {
  Name = "frmLibroAuxiliar";
  Caption = "Libro Auxiliar";
  Position = poScreenCenter;
  Width = 760;
  Height = 540;

  PnlFiltro = Make<TPanel>(this, "PnlFiltro");
  PnlFiltro->Align = alTop;
  PnlFiltro->BevelOuter = bvNone;
  CrearPeriodo(PnlFiltro);
  Label1 = Make<TLabel>(PnlFiltro, "Label1");
  Label1->Caption = "Cuenta Inicial";
  EdICuenta = Make<TEdit>(PnlFiltro, "EdICuenta");
  BtnCuenta1 = Make<TSpeedButton>(PnlFiltro, "BtnCuenta1");
  BtnCuenta1->Caption = "...";
  BtnCuenta1->Hint = "Especificar datos de búsqueda";
  BtnCuenta1->ShowHint = true;
  LblNCuenta = Make<TLabel>(PnlFiltro, "LblNCuenta");
  LblNCuenta->Caption = "*";
  Label2 = Make<TLabel>(PnlFiltro, "Label2");
  Label2->Caption = "Cuenta Final";
  EdICuenta2 = Make<TEdit>(PnlFiltro, "EdICuenta2");
  BtnCuenta2 = Make<TSpeedButton>(PnlFiltro, "BtnCuenta2");
  BtnCuenta2->Caption = "...";
  BtnCuenta2->Hint = "Especificar datos de búsqueda";
  BtnCuenta2->ShowHint = true;
  LblNCuenta2 = Make<TLabel>(PnlFiltro, "LblNCuenta2");
  LblNCuenta2->Caption = "*";
  Label1->FocusControl = EdICuenta;
  Label2->FocusControl = EdICuenta2;
  LblResultado = Make<TLabel>(PnlFiltro, "LblResultado");
  LblResultado->Caption = "No Hay informacion para mostrar.";
  LblResultado->Font->Color = clRed;
  LblResultado->Visible = false;

  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->ReadOnly = true;

  PnlBotones = Make<TPanel>(this, "PnlBotones");
  PnlBotones->Align = alBottom;
  PnlBotones->BevelOuter = bvNone;
  BtnAceptar = Make<TBitBtn>(PnlBotones, "BtnAceptar");
  BtnAceptar->Caption = "&Aceptar";
  BtnAceptar->Default = true;
  BtnCancelar = Make<TBitBtn>(PnlBotones, "BtnCancelar");
  BtnCancelar->Kind = bkCancel;
  BtnCancelar->Caption = "&Cancelar";
  btnExportar = Make<TBitBtn>(PnlBotones, "btnExportar");
  btnExportar->Caption = "Exportar";
  SaveDialog1 = Make<TSaveDialog>(this, "SaveDialog1");
  Query1 = Make<TQuery>(this, "Query1");
  DSQuery1 = Make<TDataSource>(this, "DSQuery1");
  DSQuery1->DataSet = Query1;
  DBGrid1->DataSource = DSQuery1;

  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };
  BtnCuenta1->OnClick = [this](TObject* s) { BtnCuenta1Click(s); };
  BtnCuenta2->OnClick = [this](TObject* s) { BtnCuenta1Click(s); };
  btnExportar->OnClick = [this](TObject* s) { btnExportarClick(s); };
}

void TfrmLibroAuxiliar::BtnCuenta1Click(TObject* Sender) {
  auto* c = dynamic_cast<TComponent*>(Sender);
  if (c && c->Name == "BtnCuenta1")
    BuscarCuenta(this, EdICuenta, LblNCuenta);
  else
    BuscarCuenta(this, EdICuenta2, LblNCuenta2);
}

void TfrmLibroAuxiliar::BtnAceptarClick(TObject*) {
  // Un periodo inválido no llega a la sentencia.
  AnsiString msg;
  if (!validarFechas(EdFechaInicio->Text, EdFechaFinal->Text, msg)) {
    ShowMessage(msg);
    return;
  }
  AnsiString desde = AnsiString(EdICuenta->Text), hasta = AnsiString(EdICuenta2->Text);
  AnsiString cond1 = desde.IsEmpty() ? AnsiString() : "m.NumeCuen>=" + TextoSQL(desde) + " and ";
  AnsiString cond2 = hasta.IsEmpty() ? AnsiString() : "m.NumeCuen<=" + TextoSQL(hasta) + " and ";
  HagaSQL("Contabilidad", Query1,
          "select substring(m.numecuen from 1 for 6) as numecuen, p.nombCuen, m.debito, m.credito, "
          "m.fecha,m.cedulanit from mvt as m left join pl as p on m.numeCuen=p.numeCuen where " +
              cond1 + cond2 + " m.Fecha>='" + MesDiaAnio(EdFechaInicio->Text) + "' and m.Fecha<='" +
              MesDiaAnio(EdFechaFinal->Text) + "' order by m.NumeCuen,m.fecha",
          true);
  if (Query1->IsEmpty()) {
    DBGrid1->Visible = false;
    LblResultado->Visible = true;
    LblNCuenta->Visible = true;
    LblNCuenta2->Visible = true;
    return;
  }
  DBGrid1->Visible = true;
  LblResultado->Visible = false;
  LblNCuenta->Visible = false;
  LblNCuenta2->Visible = false;
  frmRptLibroAuxiliar = new TfrmRptLibroAuxiliar(this);
  std::unique_ptr<TfrmRptLibroAuxiliar> r(frmRptLibroAuxiliar);
  r->QuickRep1->Preview();
  frmRptLibroAuxiliar = nullptr;
}

void TfrmLibroAuxiliar::btnExportarClick(TObject*) {
  if (!Query1->Active || Query1->IsEmpty()) {
    ShowMessage("No hay información para exportar. \nPrimero genere el informe pulsando el botón aceptar.");
    return;
  }
  SaveDialog1->Filter = "CSV archivos (delimitado por coma)|*.csv";
  SaveDialog1->DefaultExt = "*.csv";
  SaveDialog1->Title = "Grabar archivo en formato CSV";
  SaveDialog1->FileName = "libroAuxiliar.csv";
  if (!SaveDialog1->Execute()) return;
  DBToCSV(Query1, SaveDialog1->FileName);
  ShowMessage("Exportación terminada.");
}

TfrmRptLibroAuxiliar::TfrmRptLibroAuxiliar(TComponent* Owner) : TForm(Owner) {
  Name = "frmRptLibroAuxiliar";
  TDataSource* ds = frmLibroAuxiliar ? frmLibroAuxiliar->DSQuery1 : nullptr;
  QuickRep1 = Make<TQuickRep>(this, "QuickRep1");
  QuickRep1->DataSource = ds;
  QuickRep1->Page->PaperSize = qrpDefault;
  QuickRep1->Page->Orientation = poPortrait;
  QuickRep1->ReportTitle = "LIBRO AUXILIAR";

  TQRCustomBand* titulo = NuevaBanda(this, QuickRep1, rbTitle, 64);
  NuevaEtiqueta(this, titulo, "QRLabel1", "LIBRO AUXILIAR", 280, 2, 0, false, true);
  NuevaEtiqueta(this, titulo, "QRLabel2", EmpresaConNit("        NIT: ", "Nit"), 10, 24, 0, false, true);
  auto* fecha = new TQRSysData(this);
  fecha->Name = "QRSysData2";
  fecha->Data = qrsDate;
  fecha->Left = 10;
  fecha->Top = 44;
  fecha->Parent = titulo;
  TQRCustomBand* cab = NuevaBanda(this, QuickRep1, rbPageHeader, 20);
  NuevaEtiqueta(this, cab, "QRLabel3", "Página:", 620, 2);
  auto* pagina = new TQRSysData(this);
  pagina->Name = "QRSysData1";
  pagina->Data = qrsPageNumber;
  pagina->Left = 670;
  pagina->Top = 2;
  pagina->Parent = cab;
  TQRCustomBand* cols = NuevaBanda(this, QuickRep1, rbColumnHeader, 24);
  // Montos con cabida para 9.999.999.999.999,99 en negrita (las sumas).
  int x[] = {10, 70, 290, 370, 466, 600};
  const char* tit[] = {"Cuenta", "Descripción", "Fecha", "Tercero", "Débito", "Crédito"};
  for (int i = 0; i < 6; ++i) NuevaEtiqueta(this, cols, "", tit[i], x[i], 2, i >= 4 ? 132 : 0, i >= 4, true);
  auto* linea = new TQRShape(this);
  linea->Name = "QRShape1";
  linea->Shape = qrsHorLine;
  linea->Left = 10;
  linea->Top = 20;
  linea->Width = 722;
  linea->Height = 2;
  linea->Parent = cols;
  TQRCustomBand* det = NuevaBanda(this, QuickRep1, rbDetail, 18);
  NuevoCampo(this, det, "QRDBText1", ds, "numecuen", x[0], 2, 58);
  NuevoCampo(this, det, "QRDBText2", ds, "nombcuen", x[1], 2, 215);
  NuevoCampo(this, det, "QRDBText5", ds, "fecha", x[2], 2, 75);
  NuevoCampo(this, det, "QRDBText6", ds, "cedulanit", x[3], 2, 95);
  for (auto* t : {NuevoCampo(this, det, "QRDBText3", ds, "debito", x[4], 2, 132, true),
                  NuevoCampo(this, det, "QRDBText4", ds, "credito", x[5], 2, 132, true)})
    t->OnPrint = [](TObject*, AnsiString& v) { v = MontoImpreso(v); };
  // Grupo sin bandas por los seis primeros caracteres de la cuenta: no cambia el papel.
  auto* grupo = new TQRGroup(this);
  grupo->Name = "QRGroup1";
  grupo->Expression = "COPY(numecuen,1,6)";
  grupo->Height = 0;
  grupo->Enabled = false;
  grupo->Parent = QuickRep1;
  TQRCustomBand* sum = NuevaBanda(this, QuickRep1, rbSummary, 24);
  for (auto [campo, izq] : {std::pair<const char*, int>{"debito", x[4]}, {"credito", x[5]}}) {
    auto* s = new TQRExpr(this);
    s->Expression = AnsiString("SUM(") + campo + ")";
    s->Left = izq;
    s->Top = 4;
    s->AutoSize = false;
    s->Width = 132;
    s->Alignment = taRightJustify;
    s->Font->Style = TFontStyles{fsBold};
    s->OnPrint = [](TObject*, AnsiString& v) { v = MontoImpreso(v); };
    s->Parent = sum;
  }
}
