#include "ledger/FrmVerImprimir.h"

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "ledger/FrmVerImp.h"
#include "platform/core/IniFiles.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Dialogs.h"
#include "platform/os/Files.h"
#include "platform/report/QuickRpt.h"
#include "shared/general/MontoEscrito.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TFrmVerImprimir* FrmVerImprimir = nullptr;
TFrmRepAsientosconDetalle* FrmRepAsientosconDetalle = nullptr;

namespace {

TQRBand* Banda(TComponent* owner, const char* nombre, TQuickRep* rep, TQRBandType tipo, int alto) {
  auto* b = Make<TQRBand>(owner, nombre);
  b->Parent = rep;
  b->BandType = tipo;
  b->Height = alto;
  return b;
}

template <class T>
T* Poner(TComponent* owner, const char* nombre, TQRCustomBand* banda, int left, int top, int width,
         int height = 17) {
  T* e = Make<T>(owner, nombre);
  e->Parent = banda;
  e->Left = left;
  e->Top = top;
  e->Width = width;
  e->Height = height;
  return e;
}

TQRLabel* Rotulo(TComponent* owner, const char* nombre, TQRCustomBand* banda, int left, int top,
                 const AnsiString& texto, bool negrita = false) {
  auto* l = Poner<TQRLabel>(owner, nombre, banda, left, top, 100);
  l->Caption = texto;
  if (negrita) l->Font->Style = {fsBold};
  return l;
}

TQRShape* Linea(TComponent* owner, const char* nombre, TQRCustomBand* banda, int left, int top,
                int width, bool vertical = false, int height = 1) {
  auto* s = Poner<TQRShape>(owner, nombre, banda, left, top, vertical ? 1 : width,
                            vertical ? height : 1);
  s->Shape = vertical ? qrsVertLine : qrsHorLine;
  return s;
}

// Débitos, créditos y sumas se muestran con separador de miles y dos decimales, siempre
// desde el número (el texto del campo puede traer menos decimales), al centavo como se
// suman las palabras del valor pagado.
void ConPunto(TObject*, AnsiString& Value) {
  double v = 0;
  if (!Value.Trim().IsEmpty() && TryStrToFloat(Value, v)) Value = Punto(RoundToCents(v), 2);
}

// Las firmas no se instalan: una imagen que no carga queda vacía, sin aviso.
void CargarImagen(TQRImage* imagen, const AnsiString& archivo) {
  imagen->Picture->Clear();
  if (archivo.IsEmpty()) return;
  try {
    imagen->Picture->LoadFromFile(archivo);
  } catch (Exception&) {
    imagen->Picture->Clear();
  }
}

}  // namespace

// ---- comprobante corriente -------------------------------------------------------------

TFrmVerImprimir::TFrmVerImprimir(TComponent* Owner) : TForm(Owner) {
  Construir();
  init();
}

TFrmVerImprimir::TFrmVerImprimir(TComponent* Owner, TDataSet* aDataSet) : TForm(Owner) {
  Construir();
  DataSource1->DataSet = aDataSet;
  init();
}

void TFrmVerImprimir::Construir() {
  Name = "FrmVerImprimir";
  Caption = "Comprobante";
  Query1 = Make<TQuery>(this, "Query1");
  Query1->DatabaseName = "Contabilidad";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = Query1;
  QuickReport1 = Make<TQuickRep>(this, "QuickReport1");
  QuickReport1->DataSource = DataSource1;
  QuickReport1->Page->PaperSize = qrpLetter;
  QuickReport1->Page->Orientation = poLandscape;
  QuickReport1->ShowPrintDialog = true;
  QuickReport1->ReportTitle = "Comprobante";

  const int ancho = 960;
  QRBand1 = Banda(this, "QRBand1", QuickReport1, rbPageHeader, 262);
  Image1 = Poner<TQRImage>(this, "Image1", QRBand1, 0, 0, 120, 80);
  QRLabel3 = Poner<TQRLabel>(this, "QRLabel3", QRBand1, 130, 0, ancho - 260, 22);
  QRLabel3->AutoSize = false;
  QRLabel3->Alignment = taCenter;
  QRLabel3->Font->Size = 12;
  QRLabel3->Font->Style = {fsBold};
  QRLabel33 = Poner<TQRLabel>(this, "QRLabel33", QRBand1, 130, 24, ancho - 260);
  QRLabel34 = Poner<TQRLabel>(this, "QRLabel34", QRBand1, 130, 42, ancho - 260);
  QRLabel35 = Poner<TQRLabel>(this, "QRLabel35", QRBand1, 130, 60, ancho - 260);
  for (TQRLabel* t : {QRLabel33, QRLabel34, QRLabel35}) {
    t->AutoSize = false;
    t->Alignment = taCenter;
  }
  QRLabel2 = Rotulo(this, "QRLabel2", QRBand1, 0, 92, "Fecha:", true);
  QRDBText1 = Poner<TQRDBText>(this, "QRDBText1", QRBand1, 60, 92, 100);
  QRDBText1->DataField = "fecha";
  QRLabel4 = Rotulo(this, "QRLabel4", QRBand1, 200, 92, "Documento:", true);
  LD = Poner<TQRLabel>(this, "LD", QRBand1, 290, 92, 280);
  QRLabel6 = Rotulo(this, "QRLabel6", QRBand1, 590, 92, "Numero:", true);
  LN = Poner<TQRLabel>(this, "LN", QRBand1, 660, 92, 100);
  QRLabel22 = Poner<TQRLabel>(this, "QRLabel22", QRBand1, 780, 92, 180);
  QRShape1 = Linea(this, "QRShape1", QRBand1, 0, 114, ancho);
  QRLabel9 = Rotulo(this, "QRLabel9", QRBand1, 0, 120, "BENEFICIARIO O PROVEEDOR:", true);
  QRLabel10 = Rotulo(this, "QRLabel10", QRBand1, 0, 142, "Identificación:");
  QRLabel14 = Poner<TQRLabel>(this, "QRLabel14", QRBand1, 100, 142, 200);
  QRLabel11 = Rotulo(this, "QRLabel11", QRBand1, 0, 162, "Nombre:");
  QRLabel15 = Poner<TQRLabel>(this, "QRLabel15", QRBand1, 100, 162, 500);
  QRLabel12 = Rotulo(this, "QRLabel12", QRBand1, 0, 182, "Dirección:");
  QRLabel16 = Poner<TQRLabel>(this, "QRLabel16", QRBand1, 100, 182, 500);
  QRShape2 = Linea(this, "QRShape2", QRBand1, 0, 206, ancho);
  QRShape3 = Linea(this, "QRShape3", QRBand1, 0, 212, ancho);
  QRLabel13 = Rotulo(this, "QRLabel13", QRBand1, 0, 220, "Cuenta", true);
  QRLabel17 = Rotulo(this, "QRLabel17", QRBand1, 130, 220, "Detalle", true);
  QRLabel18 = Rotulo(this, "QRLabel18", QRBand1, 705, 220, "Debito", true);
  QRLabel19 = Rotulo(this, "QRLabel19", QRBand1, 860, 220, "Credito", true);
  for (TQRLabel* t : {QRLabel18, QRLabel19}) {
    t->AutoSize = false;
    t->Alignment = taRightJustify;
  }
  QRShape4 = Linea(this, "QRShape4", QRBand1, 0, 242, ancho);

  QRBand2 = Banda(this, "QRBand2", QuickReport1, rbDetail, 54);
  QRDBText2 = Poner<TQRDBText>(this, "QRDBText2", QRBand2, 0, 0, 125);
  QRDBText2->DataField = "numecuen";
  QRLabel5 = Poner<TQRLabel>(this, "QRLabel5", QRBand2, 130, 0, 520);
  QRLabel7 = Poner<TQRLabel>(this, "QRLabel7", QRBand2, 130, 17, 520);
  QRLabel8 = Poner<TQRLabel>(this, "QRLabel8", QRBand2, 130, 34, 520);
  // Columnas de montos con cabida para -9.999.999.999.999,99 en negrita (las sumas).
  QRDBText3 = Poner<TQRDBText>(this, "QRDBText3", QRBand2, 655, 0, 150);
  QRDBText3->DataField = "Debito";
  QRDBText4 = Poner<TQRDBText>(this, "QRDBText4", QRBand2, 810, 0, 150);
  QRDBText4->DataField = "credito";

  QRBand3 = Banda(this, "QRBand3", QuickReport1, rbSummary, 200);
  QRLabel23 = Rotulo(this, "QRLabel23", QRBand3, 540, 4, "SUMAS IGUALES", true);
  QRExpr1 = Poner<TQRDBCalc>(this, "QRExpr1", QRBand3, 655, 4, 150);
  QRExpr1->DataField = "Debito";
  QRExpr2 = Poner<TQRDBCalc>(this, "QRExpr2", QRBand3, 810, 4, 150);
  QRExpr2->DataField = "Credito";
  for (TQRCustomLabel* t : std::initializer_list<TQRCustomLabel*>{QRDBText3, QRDBText4, QRExpr1, QRExpr2}) {
    t->AutoSize = false;
    t->Alignment = taRightJustify;
    t->OnPrint = ConPunto;
  }
  QRExpr1->Font->Style = {fsBold};
  QRExpr2->Font->Style = {fsBold};
  QRLabel21 = Poner<TQRLabel>(this, "QRLabel21", QRBand3, 0, 30, ancho, 34);
  QRLabel21->AutoSize = false;
  QRLabel21->WordWrap = true;
  Image2 = Poner<TQRImage>(this, "Image2", QRBand3, 20, 70, 220, 90);
  Image3 = Poner<TQRImage>(this, "Image3", QRBand3, 330, 70, 220, 90);
  for (TQRImage* i : {Image2, Image3}) i->Stretch = true;
  QRShape5 = Linea(this, "QRShape5", QRBand3, 20, 164, 220);
  QRLabel24 = Rotulo(this, "QRLabel24", QRBand3, 20, 168, "Ordenador del gasto");
  QRShape7 = Linea(this, "QRShape7", QRBand3, 330, 164, 220);
  QRLabel25 = Rotulo(this, "QRLabel25", QRBand3, 330, 168, "Tesorero");
  QRShape6 = Linea(this, "QRShape6", QRBand3, 660, 164, 280);
  QRLabel20 = Rotulo(this, "QRLabel20", QRBand3, 660, 168, "Recibí a satisfacción");

  QRBand4 = Banda(this, "QRBand4", QuickReport1, rbPageFooter, 20);
  QRLabel1 = Poner<TQRLabel>(this, "QRLabel1", QRBand4, 0, 0, 400);

  QuickReport1->BeforePrint = [this](TQuickRep* s, bool& p) { QuickReport1BeforePrint(s, p); };
  QRBand2->BeforePrint = [this](TQRCustomBand* s, bool& p) { QRBand2BeforePrint(s, p); };
  QRBand3->BeforePrint = [this](TQRCustomBand* s, bool& p) { QRBand3BeforePrint(s, p); };
  QRLabel21->OnPrint = [this](TObject* s, AnsiString& v) { QRLabel21Print(s, v); };
  QRLabel20->OnPrint = [this](TObject* s, AnsiString& v) { QRLabel20Print(s, v); };
}

void TFrmVerImprimir::Limpiar() {
  QRLabel14->Caption = "*";
  QRLabel15->Caption = "*";
  QRLabel16->Caption = "*";
  QRLabel22->Caption = "";
  QRShape6->Enabled = true;
  valor = 0;
}

void TFrmVerImprimir::init() {
  Limpiar();
  AnsiString archivoIni = ArchivoIniSesion();
  if (!FileExists(archivoIni)) {
    ShowMessage("Debe crear el INI dentro de la carpeta");
  } else {
    TIniFile ini(archivoIni);
    AnsiString logo = ini.ReadString("ACTION", "rutaLogo", "");
    QRLabel33->Caption = ini.ReadString("ACTION", "titulo1", "");
    QRLabel34->Caption = ini.ReadString("ACTION", "titulo2", "");
    QRLabel35->Caption = ini.ReadString("ACTION", "titulo3", "");
    CargarImagen(Image1, logo);
    CargarImagen(Image2, PathOrigen + "/images/firmaRectora.bmp");
    CargarImagen(Image3, PathOrigen + "/images/firmaSecretaria.bmp");
    valor = 0;
    TTable* cfg = DM->TblConfigContab;
    QRLabel3->Caption = cfg->FieldByName("IEmpresa")->AsString + " NIT " + cfg->FieldByName("NIT")->AsString;
    QRLabel1->Caption = "";
  }
  valor = 0;
}

void TFrmVerImprimir::QuickReport1BeforePrint(TQuickRep*, bool&) {
  HagaSQL("Contabilidad", Query1,
          "select * from Mvt where DescDocu=" + TextoSQL(descDocu) + "  and Numedocu=" + TextoSQL(numeDocu));
  DataSource1->DataSet = Query1;
  valor = 0;
}

void TFrmVerImprimir::QRBand2BeforePrint(TQRCustomBand*, bool&) {
  TDataSet* ds = DataSource1->DataSet;
  QRLabel5->Caption = "";
  QRLabel7->Caption = "";
  QRLabel8->Caption = "";
  // El valor pagado suma los créditos a caja como se imprimen: al centavo.
  if (ds->FieldByName("numecuen")->AsString.SubString(1, 2) == "11")
    valor += RoundToCents(ds->FieldByName("credito")->AsFloat);
  AnsiString detalle = ds->FieldByName("detalle")->AsString;
  // La línea ocupa los renglones que su detalle necesita: un comprobante corto cabe en una hoja.
  int renglones = detalle.Length() <= 100 ? 1 : (detalle.Length() <= 200 ? 2 : 3);
  QRBand2->Height = 20 + 17 * (renglones - 1);
  QRLabel7->Enabled = renglones >= 2;
  QRLabel8->Enabled = renglones >= 3;
  if (detalle.Length() <= 100) {
    QRLabel5->Caption = detalle;
  } else {
    QRLabel5->Caption = detalle.SubString(1, 100);
    QRLabel7->Caption = detalle.SubString(101, 100);
    QRLabel8->Caption = detalle.SubString(201, 100);
  }
}

void TFrmVerImprimir::QRBand3BeforePrint(TQRCustomBand*, bool&) {
  // La raya de "Recibí a satisfacción" solo en comprobantes de egreso y de pago.
  QRShape6->Enabled = descDocu == "CE" || descDocu == "CP";
}

void TFrmVerImprimir::QRLabel21Print(TObject*, AnsiString& Value) {
  AnsiString tipo = LD->Caption.SubString(1, 2);
  if ((tipo == "CE" || tipo == "CP") && valor != 0)
    Value = "VALOR PAGADO: " + MontoEnLetras(valor, false);
  else
    Value = "";
}

void TFrmVerImprimir::QRLabel20Print(TObject*, AnsiString& Value) {
  if (descDocu != "CE" && descDocu != "CP") Value = "";
}

// ---- comprobante con detalle -----------------------------------------------------------

TFrmRepAsientosconDetalle::TFrmRepAsientosconDetalle(TComponent* Owner) : TForm(Owner) {
  Name = "FrmRepAsientosconDetalle";
  Caption = "Comprobante con detalle";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  if (FrmVerImp) DataSource1->DataSet = FrmVerImp->Query1;
  QuickReport1 = Make<TQuickRep>(this, "QuickReport1");
  QuickReport1->DataSource = DataSource1;
  QuickReport1->Page->PaperSize = qrpLetter;
  QuickReport1->Page->Orientation = poPortrait;
  QuickReport1->ShowPrintDialog = true;
  QuickReport1->ReportTitle = "Comprobante";

  const int ancho = 720;
  QRBand1 = Banda(this, "QRBand1", QuickReport1, rbTitle, 172);
  QRLabel3 = Poner<TQRLabel>(this, "QRLabel3", QRBand1, 0, 0, ancho, 22);
  QRLabel3->AutoSize = false;
  QRLabel3->Alignment = taCenter;
  QRLabel3->Font->Size = 12;
  QRLabel3->Font->Style = {fsBold};
  LD = Poner<TQRLabel>(this, "LD", QRBand1, 0, 34, 380);
  LD->Font->Style = {fsBold};
  QRLabel1 = Rotulo(this, "QRLabel1", QRBand1, 520, 34, "Nº:", true);
  LN = Poner<TQRLabel>(this, "LN", QRBand1, 560, 34, 160);
  QRLabel2 = Rotulo(this, "QRLabel2", QRBand1, 0, 60, "Fecha:", true);
  QRDBFecha = Poner<TQRDBText>(this, "QRDBFecha", QRBand1, 60, 60, 100);
  QRDBFecha->DataField = "fecha";
  QRLblNMes = Poner<TQRLabel>(this, "QRLblNMes", QRBand1, 180, 60, 120);
  QRLblModo = Poner<TQRLabel>(this, "QRLblModo", QRBand1, 0, 86, 100);
  QRLblModo->Font->Style = {fsBold};
  QRLblTercero = Poner<TQRLabel>(this, "QRLblTercero", QRBand1, 110, 86, 600);
  QRLabel16 = Rotulo(this, "QRLabel16", QRBand1, 0, 112, "La suma de:", true);
  // Cuatro renglones: las palabras del monto más largo caben enteras.
  QRLblNumLetras = Poner<TQRLabel>(this, "QRLblNumLetras", QRBand1, 110, 112, 600, 56);
  QRLblNumLetras->AutoSize = false;
  QRLblNumLetras->WordWrap = true;
  // Ocultas salvo que quien imprime las muestre.
  QRLabel16->Enabled = false;
  QRLblNumLetras->Enabled = false;

  QRBand4 = Banda(this, "QRBand4", QuickReport1, rbColumnHeader, 160);
  QRShape1 = Linea(this, "QRShape1", QRBand4, 0, 0, 1, true, 160);
  QRShape2 = Linea(this, "QRShape2", QRBand4, 110, 0, 1, true, 160);
  QRShape3 = Linea(this, "QRShape3", QRBand4, 420, 0, 1, true, 160);
  QRShape4 = Linea(this, "QRShape4", QRBand4, 570, 0, 1, true, 160);
  QRShape5 = Linea(this, "QRShape5", QRBand4, 719, 0, 1, true, 160);
  QRLabel4 = Rotulo(this, "QRLabel4", QRBand4, 6, 4, "Cuenta", true);
  QRLabel5 = Rotulo(this, "QRLabel5", QRBand4, 116, 4, "Detalle", true);
  QRLabel6 = Rotulo(this, "QRLabel6", QRBand4, 426, 4, "Debito", true);
  QRLabel7 = Rotulo(this, "QRLabel7", QRBand4, 576, 4, "Credito", true);
  QRMemo1 = Poner<TQRMemo>(this, "QRMemo1", QRBand4, 116, 26, 298, 80);

  QRBand2 = Banda(this, "QRBand2", QuickReport1, rbDetail, 20);
  QRDBText1 = Poner<TQRDBText>(this, "QRDBText1", QRBand2, 6, 2, 100);
  QRDBText1->DataField = "numecuen";
  QRDBText2 = Poner<TQRDBText>(this, "QRDBText2", QRBand2, 116, 2, 298);
  QRDBText2->DataField = "detalle";
  QRDBText2->AutoSize = false;
  // Columnas de montos con cabida para -9.999.999.999.999,99 en negrita (las sumas).
  QRDBText3 = Poner<TQRDBText>(this, "QRDBText3", QRBand2, 424, 2, 142);
  QRDBText3->DataField = "Debito";
  QRDBText4 = Poner<TQRDBText>(this, "QRDBText4", QRBand2, 574, 2, 142);
  QRDBText4->DataField = "credito";
  QRShape6 = Linea(this, "QRShape6", QRBand2, 0, 0, 1, true, 20);
  QRShape7 = Linea(this, "QRShape7", QRBand2, 110, 0, 1, true, 20);
  QRShape8 = Linea(this, "QRShape8", QRBand2, 420, 0, 1, true, 20);
  QRShape9 = Linea(this, "QRShape9", QRBand2, 570, 0, 1, true, 20);
  QRShape10 = Linea(this, "QRShape10", QRBand2, 719, 0, 1, true, 20);

  QRBand3 = Banda(this, "QRBand3", QuickReport1, rbSummary, 150);
  QRLabel8 = Rotulo(this, "QRLabel8", QRBand3, 310, 6, "SUMAS IGUALES", true);
  QRExpr1 = Poner<TQRDBCalc>(this, "QRExpr1", QRBand3, 424, 6, 142);
  QRExpr1->DataField = "Debito";
  QRExpr2 = Poner<TQRDBCalc>(this, "QRExpr2", QRBand3, 574, 6, 142);
  QRExpr2->DataField = "Credito";
  for (TQRCustomLabel* t : std::initializer_list<TQRCustomLabel*>{QRDBText3, QRDBText4, QRExpr1, QRExpr2}) {
    t->AutoSize = false;
    t->Alignment = taRightJustify;
    t->OnPrint = ConPunto;
  }
  QRExpr1->Font->Style = {fsBold};
  QRExpr2->Font->Style = {fsBold};
  QRLabel9 = Rotulo(this, "QRLabel9", QRBand3, 0, 50, "Firma:");
  QRLabel10 = Rotulo(this, "QRLabel10", QRBand3, 60, 50, "_____________________");
  QRLabel11 = Rotulo(this, "QRLabel11", QRBand3, 0, 110, "Preparado por:");
  QRLabel12 = Rotulo(this, "QRLabel12", QRBand3, 250, 110, "Revisado por:");
  QRLabel13 = Rotulo(this, "QRLabel13", QRBand3, 500, 110, "Aprobado por:");
  QRLabel10->Width = 200;

  TTable* cfg = DM->TblConfigContab;
  QRLabel3->Caption = cfg->FieldByName("IEmpresa")->AsString;

  QRBand4->BeforePrint = [this](TQRCustomBand* s, bool& p) { QRBand4BeforePrint(s, p); };
  QRDBFecha->OnPrint = [this](TObject*, AnsiString& v) { Fecha = v; };
  QRLblNMes->OnPrint = [this](TObject*, AnsiString& v) {
    TDateTime d;
    unsigned short a = 0, m = 0, dia = 0;
    if (TryStrToDate(Fecha, d)) DecodeDate(d, a, m, dia);
    v = m ? AnsiString(GetNameMes(m)) : AnsiString();
  };
  QRLblTercero->OnPrint = [this](TObject*, AnsiString& v) { v = Tercero; };
  QRLblNumLetras->OnPrint = [this](TObject*, AnsiString& v) { v = MontoEnLetras(SumaEnLetras, false); };
}

void TFrmRepAsientosconDetalle::QRBand4BeforePrint(TQRCustomBand*, bool&) {
  // El memo crece con sus líneas; la banda y sus rayas lo siguen.
  int alto = (QRMemo1->Lines->Count() + 4) * 16;
  QRMemo1->Height = alto;
  QRBand4->Height = alto + 80;
  for (TQRShape* s : {QRShape1, QRShape2, QRShape3, QRShape4, QRShape5}) s->Height = alto + 80;
}
