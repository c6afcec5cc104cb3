#include "budget/FrmRptOrdenServicio.h"

#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "budget/FrmExplOrdenServ.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Mask.h"
#include "platform/report/QuickRpt.h"
#include "reports/ConsultasComun.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"

TfrmRptOrdenServicio* frmRptOrdenServicio = nullptr;
TfrmListOrdServ* frmListOrdServ = nullptr;

namespace {
AnsiString Campo(TDataSource* ds, const char* campo) {
  TDataSet* d = ds ? ds->GetDataSet() : nullptr;
  if (!d || !d->Active || d->IsEmpty()) return AnsiString();
  return d->FieldByName(campo)->AsString;
}

AnsiString Config(const char* campo) {
  TTable* t = DM->TblConfigContab;
  if (!t->Active) t->Open();
  t->First();
  return t->FieldByName(campo)->AsString;
}

AnsiString NombreTercero(const AnsiString& id) {
  // Consulta propia: el impreso no mueve la tabla de terceros del módulo de datos.
  TQuery q(nullptr);
  HagaSQL("Contabilidad", &q, "select nombre from TC where cedulaNit=" + TextoSQL(id));
  return q.IsEmpty() ? AnsiString() : q.FieldByName("nombre")->AsString;
}
}  // namespace

int AltoDescripcionOrden(const AnsiString& aTexto) {
  int n = aTexto.Length();
  return n < 38 ? 17 : n * 17 / 38;
}

TfrmRptOrdenServicio::TfrmRptOrdenServicio(TComponent* Owner) : TForm(Owner) {
  Name = "frmRptOrdenServicio";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  QuickReport1 = Make<TQuickRep>(this, "QuickReport1");
  QuickReport1->Page->PaperSize = qrpLetter;
  QuickReport1->Page->Orientation = poPortrait;
  QuickReport1->ReportTitle = "ORDEN DE SERVICIO";
  // Sin conjunto de datos propio: la banda de título sale una vez con la fila actual.
  TQRCustomBand* t = NuevaBanda(this, QuickReport1, rbTitle, 420);
  TQRLabel* empresa = NuevaEtiqueta(this, t, "QRLabel1", "", 20, 10, 0, false, true);
  TQRLabel* numero = NuevaEtiqueta(this, t, "QRLabel2", "", 20, 50, 0, false, true);
  TQRLabel* fecha = NuevaEtiqueta(this, t, "QRLabel3", "", 400, 50);
  TQRLabel* tercero = NuevaEtiqueta(this, t, "QRLabel4", "", 20, 80);
  NuevaEtiqueta(this, t, "QRLabel5", "SERVICIO:", 20, 110, 0, false, true);
  auto* memo = new TQRMemo(this);
  memo->Name = "QRMemo1";
  memo->Left = 20;
  memo->Top = 130;
  memo->Width = 680;
  memo->Height = 150;
  memo->Parent = t;
  TQRLabel* valor = NuevaEtiqueta(this, t, "QRLabel6", "", 20, 290);
  TQRLabel* rector = NuevaEtiqueta(this, t, "QRLabel7", "", 20, 380);
  TQRLabel* auxiliar = NuevaEtiqueta(this, t, "QRLabel8", "", 380, 380);
  TQRCustomBand* pie = NuevaBanda(this, QuickReport1, rbPageFooter, 20);
  NuevaEtiqueta(this, pie, "QRLabel9", "", 20, 2);
  t->BeforePrint = [=, this](TQRCustomBand*, bool&) {
    empresa->Caption = Config("IEmpresa") + "  " + Config("NIT");
    numero->Caption = "ORDEN DE SERVICIO: " + Campo(DataSource1, "iordenServicio");
    fecha->Caption = "FECHA: " + Campo(DataSource1, "fecha");
    AnsiString id = Campo(DataSource1, "itercero");
    tercero->Caption = "TERCERO: " + id + " " + NombreTercero(id);
    memo->Lines->SetText(Campo(DataSource1, "descServicio"));
    valor->Caption = "Valor: " + (Campo(DataSource1, "valor").IsEmpty()
                                       ? AnsiString()
                                       : AnsiString(Punto(DataSource1->GetDataSet()->FieldByName("valor")->AsFloat, 2)));
    rector->Caption = "Rector(a): " + Config("rector");
    auxiliar->Caption = "Auxiliar administrativo: " + Config("auxiliar");
  };
}

TfrmListOrdServ::TfrmListOrdServ(TComponent* Owner) : TForm(Owner) {
  Name = "frmListOrdServ";
  Caption = "Listado de órdenes de servicio";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  if (frmExplOrdenServ) DataSource1->DataSet = frmExplOrdenServ->Query1;
  QuickRep1 = Make<TQuickRep>(this, "QuickRep1");
  QuickRep1->DataSource = DataSource1;
  QuickRep1->Page->PaperSize = qrpLetter;
  QuickRep1->Page->Orientation = poPortrait;
  QuickRep1->ReportTitle = "Listado de órdenes de servicio";

  TQRCustomBand* t = NuevaBanda(this, QuickRep1, rbTitle, 50);
  NuevaEtiqueta(this, t, "QRLabel1", EmpresaConNit("        NIT: ", "Nit"), 10, 4, 0, false, true);
  AnsiString desde = frmExplOrdenServ ? AnsiString(frmExplOrdenServ->EdFechaInicio->Text) : AnsiString();
  AnsiString hasta = frmExplOrdenServ ? AnsiString(frmExplOrdenServ->EdFechaFinal->Text) : AnsiString();
  NuevaEtiqueta(this, t, "QRLabel2", "ORDENES DE SERVICIO desde " + desde + " hasta " + hasta, 10, 26, 0, false,
                true);
  TQRCustomBand* cab = NuevaBanda(this, QuickRep1, rbColumnHeader, 20);
  const int x[] = {10, 60, 140, 230, 420, 490};
  const char* tit[] = {"Nro.", "Fecha", "Céd - NIT", "Nombre", "Reg. Pptal.", "Servicio"};
  for (int i = 0; i < 6; ++i) NuevaEtiqueta(this, cab, "", tit[i], x[i], 2, 0, false, true);
  TQRCustomBand* det = NuevaBanda(this, QuickRep1, rbDetail, 17);
  NuevoCampo(this, det, "QRDBText1", DataSource1, "iOrdenServicio", x[0], 1, 48);
  NuevoCampo(this, det, "QRDBText2", DataSource1, "fecha", x[1], 1, 78);
  NuevoCampo(this, det, "QRDBText3", DataSource1, "itercero", x[2], 1, 88);
  lblNombre = NuevaEtiqueta(this, det, "lblNombre", "", x[3], 1, 185);
  NuevoCampo(this, det, "QRDBText4", DataSource1, "irp", x[4], 1, 68);
  QRMemo1 = new TQRMemo(this);
  QRMemo1->Name = "QRMemo1";
  QRMemo1->Left = x[5];
  QRMemo1->Top = 0;
  QRMemo1->Width = 230;
  QRMemo1->Height = 17;
  QRMemo1->Parent = det;
  det->BeforePrint = [this](TQRCustomBand* b, bool&) {
    AnsiString texto = Campo(DataSource1, "descServicio");
    QRMemo1->Lines->SetText(texto);
    QRMemo1->Height = AltoDescripcionOrden(texto);
    b->Height = QRMemo1->Height;
    lblNombre->Caption = NombreTercero(Campo(DataSource1, "itercero"));
  };
}
