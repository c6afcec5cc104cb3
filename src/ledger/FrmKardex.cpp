#include "ledger/FrmKardex.h"

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "platform/db/DBTables.h"
#include "platform/db/sql/Translator.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/QuickRpt.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/dialogs/Calendar.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"

TFrmKardex* FrmKardex = nullptr;
TFrmRepKardex* FrmRepKardex = nullptr;

namespace {

AnsiString EntreComillas(const AnsiString& s) { return "\"" + s + "\""; }

// Códigos que empiezan por el texto, como LIKE 'texto%', pero en un rango que el índice de
// cuentas del movimiento puede recorrer sin leer todo el año.
AnsiString CondicionPrefijo(const AnsiString& codigo) {
  std::string desde = codigo.str();
  AnsiString cond = "NumeCuen like '" + AnsiString(tv::db::EscapeLikePattern(desde)) + "%' escape '\\'";
  std::string hasta = desde;
  while (!hasta.empty() && static_cast<unsigned char>(hasta.back()) == 0xFF) hasta.pop_back();
  if (hasta.empty()) return cond;
  hasta.back() = static_cast<char>(static_cast<unsigned char>(hasta.back()) + 1);
  return cond + " and NumeCuen>=" + TextoSQL(desde.c_str()) + " and NumeCuen<" + TextoSQL(hasta.c_str());
}

TLabel* Rotulo(TComponent* owner, const char* nombre, const char* texto) {
  auto* l = Make<TLabel>(owner, nombre);
  l->Caption = texto;
  return l;
}

TLabel* Cifra(TComponent* owner, const char* nombre) {
  auto* l = Make<TLabel>(owner, nombre);
  l->Caption = "0.0";
  l->AutoSize = false;
  l->Width = 110;
  l->Alignment = taRightJustify;
  return l;
}

}  // namespace

TFrmKardex::TFrmKardex(TComponent* Owner) : TForm(Owner) {
  Name = "FrmKardex";
  Caption = "Kardex";
  Position = poScreenCenter;
  ClientWidth = 820;
  ClientHeight = 540;

  auto* Panel1 = Make<TPanel>(this, "Panel1");
  Panel1->Align = alTop;
  Panel1->Height = 170;
  Label1 = Rotulo(Panel1, "Label1", "Cuenta en la que maneja kárdex (puede especificar  cualquier nivel)");
  EdICuenta = Make<TEdit>(Panel1, "EdICuenta");
  EdICuenta->MaxLength = 18;
  EdICuenta->Width = 150;
  Label1->FocusControl = EdICuenta;
  BitBtn1 = Make<TBitBtn>(Panel1, "BitBtn1");
  BitBtn1->Caption = "...";
  BitBtn1->Hint = "Especificar datos de búsqueda";
  BitBtn1->ShowHint = true;
  LblNCuenta = Rotulo(Panel1, "LblNCuenta", "");
  LblNCuenta->AutoSize = false;
  LblNCuenta->Width = 360;
  GroupBox1 = Make<TGroupBox>(Panel1, "GroupBox1");
  GroupBox1->Caption = "Fechas: ";
  Label2 = Rotulo(GroupBox1, "Label2", "Desde:");
  EdFechaInicio = Make<TMaskEdit>(GroupBox1, "EdFechaInicio");
  EdFechaInicio->EditMask = "!99/99/0000;1; ";
  BtnFechaDesde = Make<TBitBtn>(GroupBox1, "BtnFechaDesde");
  BtnFechaDesde->Caption = "...";
  Label3 = Rotulo(GroupBox1, "Label3", "Hasta:");
  EdFechaFinal = Make<TMaskEdit>(GroupBox1, "EdFechaFinal");
  EdFechaFinal->EditMask = "!99/99/0000;1; ";
  BtnFechaHasta = Make<TBitBtn>(GroupBox1, "BtnFechaHasta");
  BtnFechaHasta->Caption = "...";
  Label2->FocusControl = EdFechaInicio;
  Label3->FocusControl = EdFechaFinal;
  BtnAceptar = Make<TBitBtn>(Panel1, "BtnAceptar");
  BtnAceptar->Caption = "&Aceptar";
  BtnAceptar->Default = true;
  BtnCancelar = Make<TBitBtn>(Panel1, "BtnCancelar");
  BtnCancelar->Kind = bkCancel;
  BtnCancelar->Caption = "&Cancelar";
  BtnInforme = Make<TBitBtn>(Panel1, "BtnInforme");
  BtnInforme->Caption = "&Informe";
  BtnInforme->Enabled = false;

  auto* Panel2 = Make<TPanel>(this, "Panel2");
  Panel2->Align = alBottom;
  Panel2->Height = 34;
  LblVienen = Rotulo(Panel2, "LblVienen", "Vienen:");
  LblIVienen = Cifra(Panel2, "LblIVienen");
  LblEntradas = Rotulo(Panel2, "LblEntradas", "Entradas:");
  LblIEntradas = Cifra(Panel2, "LblIEntradas");
  LblSalidas = Rotulo(Panel2, "LblSalidas", "Salidas:");
  LblISalidas = Cifra(Panel2, "LblISalidas");
  LblSaldo = Rotulo(Panel2, "LblSaldo", "Saldo:");
  LblISaldo = Cifra(Panel2, "LblISaldo");
  for (TLabel* l : {LblVienen, LblIVienen, LblEntradas, LblIEntradas, LblSalidas, LblISalidas,
                    LblSaldo, LblISaldo})
    l->Visible = false;
  LblResultado = Rotulo(this, "LblResultado", "No Hay informacion para mostrar aun");
  LblResultado->Align = alTop;
  LblResultado->Visible = false;
  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->ReadOnly = true;
  DBGrid1->Visible = false;

  Query1 = Make<TQuery>(this, "Query1");
  DSQuery1 = Make<TDataSource>(this, "DSQuery1");
  QueryPlan = Make<TQuery>(this, "QueryPlan");
  DSPlan = Make<TDataSource>(this, "DSPlan");
  DSPlan->DataSet = QueryPlan;
  QueryCifras = Make<TQuery>(this, "QueryCifras");

  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  EdICuenta->OnExit = [this](TObject* s) { EdICuentaExit(s); };
  EdICuenta->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { EdICuentaKeyDown(s, k, sh); };
  BtnFechaDesde->OnClick = [this](TObject* s) { BtnFechaDesdeClick(s); };
  BtnFechaHasta->OnClick = [this](TObject* s) { BtnFechaDesdeClick(s); };
  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };
  BtnInforme->OnClick = [this](TObject* s) { BtnInformeClick(s); };
  DBGrid1->OnDrawColumnCell = [this](TObject* s, const TRect& r, int dc, TColumn* c, TGridDrawState st) {
    DBGrid1DrawColumnCell(s, r, dc, c, st);
  };

  HagaSQL("Contabilidad", QueryPlan, "select * from pl where cantidad='S'");
  EdFechaInicio->Text = FechasInf.GFechaInicial;
  EdFechaFinal->Text = FechasInf.GFechaFinal;
}

void TFrmKardex::MostrarNombre(const AnsiString& codigo) {
  Variant nombre = DM->TblPlan->Lookup("NumeCuen", Variant(codigo), "NombCuen");
  if (!nombre.IsNull()) LblNCuenta->Caption = nombre.AsString();
}

void TFrmKardex::BitBtn1Click(TObject*) {
  auto* busca = new TFrmBuscTabla(this, DSPlan, "Código", "Cuenta", "NumeCuen", "NombCuen", false, "");
  try {
    busca->ShowModal();
    EdICuenta->Text = busca->GetContenido1();
    LblNCuenta->Caption = busca->GetContenido2();
  } catch (...) {
    delete busca;
    throw;
  }
  delete busca;
}

void TFrmKardex::EdICuentaExit(TObject*) { MostrarNombre(EdICuenta->Text); }

void TFrmKardex::EdICuentaKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key == VK_DELETE) {
    EdICuenta->Text = "";
    Key = 0;
  }
}

void TFrmKardex::BtnFechaDesdeClick(TObject* Sender) {
  auto* cal = new TFrmCalendar(this);
  try {
    cal->year = static_cast<unsigned short>(anioGlobal);
    cal->ShowModal();
    cal->GetDateAsString(Sender == BtnFechaDesde ? EdFechaInicio : EdFechaFinal);
  } catch (...) {
    delete cal;
    throw;
  }
  delete cal;
}

// Las cuatro cifras en una sentencia que recorre solo las líneas del prefijo por el índice de
// cuenta; las fechas se miran fila a fila. Cada suma es una columna con su propio tipo.
void TFrmKardex::Cifras(const AnsiString& d, const AnsiString& h, double cifras[4]) {
  auto suma = [](const AnsiString& condicion, const char* nombre) {
    return "sum(case when " + condicion + " then Cantidad end) as " + nombre;
  };
  TQuery q(nullptr);
  HagaSQL("Contabilidad", &q,
          "select " + suma("Fecha<" + d, "Vienen") + ", " +
              suma("Cantidad>0 and Fecha>=" + d + " and Fecha<=" + h, "Entradas") + ", " +
              suma("Cantidad<0 and Fecha>=" + d + " and Fecha<=" + h, "Salidas") + ", " + suma("Fecha<=" + h, "Saldo") +
              " from mvt where " + CondicionPrefijo(EdICuenta->Text));
  const char* nombres[] = {"Vienen", "Entradas", "Salidas", "Saldo"};
  for (int i = 0; i < 4; ++i) cifras[i] = q.IsEmpty() ? 0.0 : double(q.FieldByName(nombres[i])->AsFloat);
}

void TFrmKardex::BtnAceptarClick(TObject*) {
  BtnInforme->Enabled = false;
  AnsiString codigo = EdICuenta->Text;
  AnsiString desde = EdFechaInicio->Text, hasta = EdFechaFinal->Text;
  if (!ValidarInformes(desde, hasta, codigo, "", "", true, false, false)) return;
  MostrarNombre(codigo);
  TLabel* cifras[] = {LblVienen, LblIVienen, LblEntradas, LblIEntradas,
                      LblSalidas, LblISalidas, LblSaldo, LblISaldo};
  for (TLabel* l : cifras) l->Visible = false;
  DBGrid1->Visible = false;
  DBGrid1->DataSource = nullptr;
  LblResultado->Visible = false;

  AnsiString d = EntreComillas(MesDiaAnio(desde)), h = EntreComillas(MesDiaAnio(hasta));
  double cifra[4];
  Cifras(d, h, cifra);
  LblIVienen->Caption = Punto(cifra[0], 1);
  LblIEntradas->Caption = Punto(cifra[1], 1);
  LblISalidas->Caption = Punto(cifra[2], 1);
  LblISaldo->Caption = Punto(cifra[3], 1);

  HagaSQL("Contabilidad", Query1,
          "select Fecha, Cantidad as Cant, CedulaNit,descDocu as doc,"
          "numeDocu as NumDoc, debito, credito,detalle from mvt where " + CondicionPrefijo(codigo) +
              // el signo + deja las fechas fuera del índice: se recorre el prefijo por el de cuenta
              " and (cantidad<0 or cantidad>0) and +Fecha>=" + d + " and +Fecha<=" + h + " order by fecha",
          true);
  for (TLabel* l : cifras) l->Visible = true;
  if (Query1->IsEmpty()) {
    LblResultado->Visible = true;
    return;
  }
  DSQuery1->DataSet = Query1;
  DBGrid1->DataSource = DSQuery1;
  DBGrid1->Visible = true;
  BtnInforme->Enabled = true;
}

void TFrmKardex::DBGrid1DrawColumnCell(TObject*, const TRect& Rect, int DataCol, TColumn* Column,
                                       TGridDrawState) {
  if ((DataCol != 1 && DataCol != 5 && DataCol != 6) || !Column->Field()) return;
  TCanvas* c = DBGrid1->Canvas.get();
  AnsiString s = Column->Field()->IsNull ? AnsiString() : AnsiString(Punto(Column->Field()->AsFloat, 1));
  c->FillRect(Rect);
  c->TextOut(Rect.Right - c->TextWidth(s) - 2, Rect.Top + 2, s);
}

void TFrmKardex::BtnInformeClick(TObject*) {
  FrmRepKardex = new TFrmRepKardex(this);
  try {
    FrmRepKardex->ICuenta = EdICuenta->Text;
    FrmRepKardex->NCuenta = LblNCuenta->Caption;
    FrmRepKardex->FechaDesde = EdFechaInicio->Text;
    FrmRepKardex->FechaHasta = EdFechaFinal->Text;
    FrmRepKardex->Vienen = LblIVienen->Caption;
    FrmRepKardex->Entradas = LblIEntradas->Caption;
    FrmRepKardex->Salidas = LblISalidas->Caption;
    FrmRepKardex->Saldo = LblISaldo->Caption;
    FrmRepKardex->QuickRep1->Preview();
  } catch (...) {
    delete FrmRepKardex;
    FrmRepKardex = nullptr;
    throw;
  }
  delete FrmRepKardex;
  FrmRepKardex = nullptr;
}

// ---- informe impreso -------------------------------------------------------------------

namespace {

TQRBand* Banda(TComponent* owner, const char* nombre, TQuickRep* rep, TQRBandType tipo, int alto) {
  auto* b = Make<TQRBand>(owner, nombre);
  b->Parent = rep;
  b->BandType = tipo;
  b->Height = alto;
  return b;
}

template <class T>
T* Poner(TComponent* owner, const char* nombre, TQRBand* banda, int left, int top, int width,
         const char* texto = nullptr) {
  T* e = Make<T>(owner, nombre);
  e->Parent = banda;
  e->Left = left;
  e->Top = top;
  e->Width = width;
  if constexpr (std::is_same_v<T, TQRLabel>) {
    if (texto) e->Caption = texto;
  }
  return e;
}

}  // namespace

TFrmRepKardex::TFrmRepKardex(TComponent* Owner) : TForm(Owner) {
  Name = "FrmRepKardex";
  Caption = "Reporte de Kardex";
  auto* kardex = dynamic_cast<TFrmKardex*>(Owner);
  if (!kardex) kardex = FrmKardex;
  QuickRep1 = Make<TQuickRep>(this, "QuickRep1");
  QuickRep1->DataSource = kardex ? kardex->DSQuery1 : nullptr;
  QuickRep1->Page->PaperSize = qrpDefault;
  QuickRep1->Page->Orientation = poPortrait;
  QuickRep1->ReportTitle = "Reporte de Kardex";

  const int ancho = 720;
  TitleBand1 = Banda(this, "TitleBand1", QuickRep1, rbTitle, 76);
  QRLblEmpresa = Poner<TQRLabel>(this, "QRLblEmpresa", TitleBand1, 0, 0, ancho);
  QRLblEmpresa->AutoSize = false;
  QRLblEmpresa->Alignment = taCenter;
  QRLblEmpresa->Font->Style = {fsBold};
  QRLblEmpresa->Font->Size = 11;
  Poner<TQRLabel>(this, "QRLabel1", TitleBand1, 0, 26, 200, "Informe de kardex válido desde:");
  QRLblPeriodo = Poner<TQRLabel>(this, "QRLblPeriodo", TitleBand1, 205, 26, 300);
  Poner<TQRLabel>(this, "QRLabel2", TitleBand1, 0, 48, 120, "Cuenta analizada:");
  QRLblCuenta = Poner<TQRLabel>(this, "QRLblCuenta", TitleBand1, 125, 48, 500);

  ColumnHeaderBand1 = Banda(this, "ColumnHeaderBand1", QuickRep1, rbColumnHeader, 20);
  for (auto [nombre, left, width, texto] :
       {std::tuple{"QRLabel3", 0, 80, "Fecha"}, std::tuple{"QRLabel4", 85, 100, "Cedula Nit"},
        std::tuple{"QRLabel5", 190, 380, "Detalle"}, std::tuple{"QRLabel6", 575, 145, "CANTIDAD ENTRADA"}}) {
    auto* l = Poner<TQRLabel>(this, nombre, ColumnHeaderBand1, left, 2, width, texto);
    l->Font->Style = {fsBold};
    if (left == 575) {
      l->AutoSize = false;
      l->Alignment = taRightJustify;
    }
  }
  DetailBand1 = Banda(this, "DetailBand1", QuickRep1, rbDetail, 17);
  auto dato = [&](const char* nombre, const char* campo, int left, int width) {
    auto* d = Poner<TQRDBText>(this, nombre, DetailBand1, left, 0, width);
    d->DataSource = QuickRep1->DataSource;
    d->DataField = campo;
    d->AutoSize = false;
    return d;
  };
  QRDBFecha = dato("QRDBFecha", "FECHA", 0, 80);
  QRDBCedula = dato("QRDBCedula", "CEDULANIT", 85, 100);
  QRDBDetalle = dato("QRDBDetalle", "detalle", 190, 380);
  CantidadPrint = dato("CantidadPrint", "Cant", 575, 145);
  CantidadPrint->Alignment = taRightJustify;
  CantidadPrint->OnPrint = [](TObject*, AnsiString& v) {
    if (!v.IsEmpty()) v = Punto(v, 2);
  };

  SummaryBand1 = Banda(this, "SummaryBand1", QuickRep1, rbSummary, 90);
  TQRLabel** cifras[] = {&QRLblVienen, &QRLblEntradas, &QRLblSalidas, &QRLblSaldo};
  const char* rotulos[] = {"Vienen:", "Entradas:", "Salidas:", "Saldo:"};
  const char* nombres[] = {"QRLblVienen", "QRLblEntradas", "QRLblSalidas", "QRLblSaldo"};
  for (int i = 0; i < 4; ++i) {
    AnsiString n = "QRLabelR" + AnsiString(i + 1);
    Poner<TQRLabel>(this, n.c_str(), SummaryBand1, 470, 4 + i * 20, 90, rotulos[i]);
    *cifras[i] = Poner<TQRLabel>(this, nombres[i], SummaryBand1, 575, 4 + i * 20, 145);
    (*cifras[i])->AutoSize = false;
    (*cifras[i])->Alignment = taRightJustify;
  }

  TTable* cfg = DM->TblConfigContab;
  QRLblEmpresa->Caption =
      cfg->FieldByName("IEmpresa")->AsString + "        NIT: " + cfg->FieldByName("Nit")->AsString;
  // Los textos los pone quien abre el informe después de crearlo.
  QuickRep1->BeforePrint = [this](TQuickRep*, bool&) {
    QRLblPeriodo->Caption = FechaDesde + "  hasta:  " + FechaHasta;
    QRLblCuenta->Caption = ICuenta + "  " + NCuenta;
    QRLblVienen->Caption = Vienen;
    QRLblEntradas->Caption = Entradas;
    QRLblSalidas->Caption = Salidas;
    QRLblSaldo->Caption = Saldo;
  };
}
