#include "payments/FrmRptAsientoProgramado.h"

#include "app/DataModule.h"
#include "platform/db/DBTables.h"
#include "platform/report/QuickRpt.h"
#include "shared/general/Numeros.h"

TfrmRptAsientoProgramado* frmRptAsientoProgramado = nullptr;
TfrmRptTirilla* frmRptTirilla = nullptr;

namespace {

template <class T>
T* Poner(TComponent* owner, const AnsiString& nombre, TQRCustomBand* banda, int left, int top, int width,
         int height = 17) {
  T* e = Make<T>(owner, nombre);
  e->Parent = banda;
  e->Left = left;
  e->Top = top;
  e->Width = width;
  e->Height = height;
  return e;
}

TQRLabel* Texto(TComponent* owner, const AnsiString& nombre, TQRCustomBand* banda, int left, int top, int width,
                const AnsiString& texto = "", bool negrita = false) {
  auto* l = Poner<TQRLabel>(owner, nombre, banda, left, top, width);
  l->AutoSize = false;
  l->Caption = texto;
  if (negrita) l->Font->Style = {fsBold};
  return l;
}

TQRShape* Raya(TComponent* owner, const AnsiString& nombre, TQRCustomBand* banda, int left, int top, int width,
               int height, TQRShapeType tipo) {
  auto* s = Poner<TQRShape>(owner, nombre, banda, left, top, width, height);
  s->Shape = tipo;
  return s;
}

void Empresa(TQRLabel* nombre, TQRLabel* nit) {
  TTable* cfg = DM->TblConfigContab;
  if (cfg->IsEmpty()) return;
  nombre->Caption = cfg->FieldByName("IEmpresa")->AsString;
  nit->Caption = cfg->FieldByName("NIT")->AsString;
}

}  // namespace

TfrmRptAsientoProgramado::TfrmRptAsientoProgramado(TComponent* Owner) : TForm(Owner) {
  Name = "frmRptAsientoProgramado";
  Caption = "Comprobante a doble cuadro";
  QuickRep1 = Make<TQuickRep>(this, "QuickRep1");
  QuickRep1->Page->PaperSize = qrpLetter;
  QuickRep1->Page->Orientation = poPortrait;
  QuickRep1->ReportTitle = "Comprobante";
  // Carta menos márgenes de 10 mm: unos 740 puntos; cada copia ocupa la mitad.
  const int ancho = 360, paso = 376;
  TitleBand1 = Make<TQRBand>(this, "TitleBand1");
  TitleBand1->Parent = QuickRep1;
  TitleBand1->BandType = rbTitle;
  TitleBand1->Height = 720;
  QRLblEmpresa = Texto(this, "QRLblEmpresa", TitleBand1, 0, 0, 560, "", true);
  QRLblEmpresa->Font->Size = 11;
  QRLblNit = Texto(this, "QRLblNit", TitleBand1, 0, 20, 300);
  QRLblFechaImp = Texto(this, "QRLblFechaImp", TitleBand1, paso + ancho - 150, 0, 150);
  QRLblFechaImp->Alignment = taRightJustify;
  for (int k = 0; k < 2; ++k) {
    Copia& c = copias[k];
    const int x = k * paso;
    const AnsiString s = IntToStr(k + 1);
    Raya(this, "QRShapeCopia" + s, TitleBand1, x, 44, ancho, 670, qrsRectangle);
    c.fecha = Texto(this, "QRLblFecha" + s, TitleBand1, x + 6, 50, ancho - 12);
    c.tercero = Texto(this, "QRLblTercero" + s, TitleBand1, x + 6, 68, ancho - 12);
    c.nombre = Texto(this, "QRLblNTercero" + s, TitleBand1, x + 6, 86, ancho - 12);
    c.grado = Texto(this, "QRLblGrado" + s, TitleBand1, x + 6, 104, 170);
    c.grupo = Texto(this, "QRLblGrupo" + s, TitleBand1, x + 180, 104, ancho - 186);
    c.documento = Texto(this, "QRLblDocumento" + s, TitleBand1, x + 6, 122, ancho - 12, "", true);
    c.plantilla = Texto(this, "QRLblPlantilla" + s, TitleBand1, x + 6, 140, ancho - 12);
    // Cuadro de renglones: títulos y 13 casillas.
    const int top = 164, alto = 20;
    Raya(this, "QRShapeCuadro" + s, TitleBand1, x + 6, top, ancho - 12, alto * (kRenglones + 1), qrsRectangle);
    // La columna de valores cabe -9.999.999.999.999,99.
    Raya(this, "QRShapeDiv" + s, TitleBand1, x + ancho - 140, top, 1, alto * (kRenglones + 1), qrsVertLine);
    Texto(this, "QRLblTitDetalle" + s, TitleBand1, x + 10, top + 2, 200, "Detalle", true);
    Texto(this, "QRLblTitValor" + s, TitleBand1, x + ancho - 136, top + 2, 126, "Valor", true)->Alignment =
        taRightJustify;
    for (int i = 0; i < kRenglones; ++i) {
      const int y = top + alto * (i + 1);
      const AnsiString r = s + "_" + IntToStr(i + 1);
      Raya(this, "QRShapeRen" + r, TitleBand1, x + 6, y, ancho - 12, 1, qrsHorLine);
      c.detalle[i] = Texto(this, "QRLblDet" + r, TitleBand1, x + 10, y + 2, ancho - 154);
      c.valor[i] = Texto(this, "QRLblVal" + r, TitleBand1, x + ancho - 136, y + 2, 126);
      c.valor[i]->Alignment = taRightJustify;
    }
    const int abajo = top + alto * (kRenglones + 1) + 10;
    Texto(this, "QRLblObs" + s, TitleBand1, x + 6, abajo, 150, "OBSERVACIONES:", true);
    c.observaciones = Poner<TQRMemo>(this, "QRMemoObs" + s, TitleBand1, x + 6, abajo + 18, ancho - 12, 120);
    c.total = Texto(this, "QRLblTotal" + s, TitleBand1, x + 6, abajo + 146, ancho - 16, "", true);
    c.total->Alignment = taRightJustify;
    Raya(this, "QRShapeFirma" + s, TitleBand1, x + 60, abajo + 230, ancho - 120, 1, qrsHorLine);
    auto* firma = Texto(this, "QRLblFirma" + s, TitleBand1, x + 60, abajo + 234, ancho - 120, "FIRMA Y SELLO", true);
    firma->Alignment = taCenter;
  }
  Empresa(QRLblEmpresa, QRLblNit);
}

TfrmRptTirilla::TfrmRptTirilla(TComponent* Owner) : TForm(Owner) {
  Name = "frmRptTirilla";
  Caption = "Comprobante tipo registradora";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  QuickRep1 = Make<TQuickRep>(this, "QuickRep1");
  QuickRep1->DataSource = DataSource1;
  QuickRep1->ReportTitle = "Comprobante";
  QuickRep1->Page->PaperSize = qrpCustom;
  QuickRep1->Page->Width = 800;  // rollo de 80 mm
  QuickRep1->Page->LeftMargin = 4;
  QuickRep1->Page->RightMargin = 4;
  QuickRep1->Page->TopMargin = 4;
  QuickRep1->Page->BottomMargin = 4;
  const int ancho = 270;  // 72 mm útiles

  TitleBand1 = Make<TQRBand>(this, "TitleBand1");
  TitleBand1->Parent = QuickRep1;
  TitleBand1->BandType = rbTitle;
  TitleBand1->Height = 200;
  QRLblEmpresa = Texto(this, "QRLblEmpresa", TitleBand1, 0, 0, ancho, "", true);
  QRLblNit = Texto(this, "QRLblNit", TitleBand1, 0, 18, ancho);
  QRLblFecha = Texto(this, "QRLblFecha", TitleBand1, 0, 40, ancho);
  QRLblPlantilla = Texto(this, "QRLblPlantilla", TitleBand1, 0, 58, ancho);
  QRLblDocumento = Texto(this, "QRLblDocumento", TitleBand1, 0, 76, ancho, "", true);
  QRLabel1 = Texto(this, "QRLabel1", TitleBand1, 0, 100, ancho, "Recibido de:", true);
  QRLblTercero = Texto(this, "QRLblTercero", TitleBand1, 0, 118, ancho);
  QRLblNTercero = Texto(this, "QRLblNTercero", TitleBand1, 0, 136, ancho);
  QRLabel2 = Texto(this, "QRLabel2", TitleBand1, 0, 166, ancho, "POR CONCEPTO DE:", true);

  DetailBand1 = Make<TQRBand>(this, "DetailBand1");
  DetailBand1->Parent = QuickRep1;
  DetailBand1->BandType = rbDetail;
  DetailBand1->Height = 18;
  QRDBNombre = Poner<TQRDBText>(this, "QRDBNombre", DetailBand1, 0, 0, ancho - 134);
  QRDBNombre->AutoSize = false;
  QRDBNombre->DataSource = DataSource1;
  QRDBNombre->DataField = "nombcuen";
  // Cabe -9.999.999.999.999,99.
  QRDBCredito = Poner<TQRDBText>(this, "QRDBCredito", DetailBand1, ancho - 128, 0, 128);
  QRDBCredito->AutoSize = false;
  QRDBCredito->Alignment = taRightJustify;
  QRDBCredito->DataSource = DataSource1;
  QRDBCredito->DataField = "credito";
  // La caja (cuentas 11) y las de orden (0) dejan su renglón en blanco.
  auto enBlanco = [this](TObject*, AnsiString& v) {
    TDataSet* d = DataSource1->DataSet;
    if (!d) return;
    AnsiString cuenta = d->FieldByName("numecuen")->AsString;
    if (cuenta.SubString(1, 2) == "11" || cuenta.SubString(1, 1) == "0") v = "";
  };
  QRDBNombre->OnPrint = enBlanco;
  QRDBCredito->OnPrint = [enBlanco](TObject* s, AnsiString& v) {
    double monto = 0;
    if (!v.Trim().IsEmpty() && TryStrToFloat(v, monto)) v = Punto(monto, 2);
    enBlanco(s, v);
  };

  SummaryBand1 = Make<TQRBand>(this, "SummaryBand1");
  SummaryBand1->Parent = QuickRep1;
  SummaryBand1->BandType = rbSummary;
  SummaryBand1->Height = 30;
  QRLblTotal = Texto(this, "QRLblTotal", SummaryBand1, 0, 6, ancho, "", true);
  QRLblTotal->Alignment = taRightJustify;
  for (TQRLabel* l : {QRLblEmpresa, QRLblNit, QRLblFecha, QRLblPlantilla, QRLblDocumento, QRLabel1, QRLblTercero,
                      QRLblNTercero, QRLabel2, QRLblTotal})
    l->Font->Name = "Arial";
  QRDBNombre->Font->Name = "Arial";
  QRDBCredito->Font->Name = "Arial";
  Empresa(QRLblEmpresa, QRLblNit);
}
