#include "reports/FrmBalances.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Launch.h"
#include "reports/FrmMessage.h"
#include "shared/dialogs/Calendar.h"
#include "shared/general/Exportar.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"

TFrmBalances* FrmBalances = nullptr;

namespace {

constexpr const char* kAlias = "Contabilidad";
constexpr const char* kMascaraFecha = "!99/99/0000;1; ";

TLabel* Etiqueta(TWinControl* padre, TForm* f, const char* nombre, const char* texto, int left, int top,
                 int width) {
  auto* l = Make<TLabel>(f, nombre);
  l->Parent = padre;
  l->Caption = texto;
  l->SetBounds(left, top + 4, width, 18);
  return l;
}

// Cifra de un resumen: etiqueta y valor alineado a la derecha.
TLabel* Cifra(TPanel* p, TForm* f, const char* nombre, int top) {
  auto* l = Make<TLabel>(f, nombre);
  l->Parent = p;
  l->AutoSize = false;
  l->Alignment = taRightJustify;
  l->Caption = Punto(0.0, 2);
  l->SetBounds(96, top + 4, 120, 18);
  return l;
}

const char* PaginaAyuda(int aLlamado) {
  switch (aLlamado) {
    case 1: return "inf_balgeneral.html";
    case 2: return "inf_balprueba.html";
    case 3: return "inf_pyg.html";
    case 4: return "inf_cajadiario.html";
    case 5: return "inf_maybalance.html";
  }
  return "index.html";
}

// Celda de monto: rectángulo ampliado un pixel y el texto a la derecha.
void DibujarMonto(TCanvas* c, const TRect& r, TField* campo) {
  if (!campo) return;
  AnsiString texto = Punto(campo->AsFloat, 2);
  c->FillRect(Rect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1));
  c->TextOut(r.Right - c->TextWidth(texto) - 2, r.Top + 2, texto);
}

}  // namespace

TFrmBalances::TFrmBalances(TComponent* Owner) : TForm(Owner) {
  Name = "FrmBalances";
  Caption = "Balance";
  Position = poScreenCenter;
  KeyPreview = false;
  ClientWidth = 900;
  ClientHeight = 620;

  auto* cabecera = Make<TPanel>(this, "PanelCabecera");
  cabecera->Align = alTop;
  cabecera->Height = 232;
  cabecera->BevelOuter = bvNone;
  Label1 = Etiqueta(cabecera, this, "Label1", "Fecha de Corte Inicial:", 12, 8, 140);
  EdFechaInicio = Make<TMaskEdit>(this, "EdFechaInicio");
  EdFechaInicio->Parent = cabecera;
  EdFechaInicio->EditMask = kMascaraFecha;
  EdFechaInicio->SetBounds(156, 8, 96, 24);
  BtnFechaDesde = Make<TButton>(this, "BtnFechaDesde");
  BtnFechaDesde->Parent = cabecera;
  BtnFechaDesde->Caption = "...";
  BtnFechaDesde->SetBounds(256, 8, 28, 24);
  Label2 = Etiqueta(cabecera, this, "Label2", "Fecha de Corte Final:", 12, 40, 140);
  EdFechaFinal = Make<TMaskEdit>(this, "EdFechaFinal");
  EdFechaFinal->Parent = cabecera;
  EdFechaFinal->EditMask = kMascaraFecha;
  EdFechaFinal->SetBounds(156, 40, 96, 24);
  BitBtn3 = Make<TButton>(this, "BitBtn3");
  BitBtn3->Parent = cabecera;
  BitBtn3->Caption = "...";
  BitBtn3->SetBounds(256, 40, 28, 24);
  Label1->FocusControl = EdFechaInicio;
  Label2->FocusControl = EdFechaFinal;

  GroupBox1 = Make<TGroupBox>(this, "GroupBox1");
  GroupBox1->Parent = cabecera;
  GroupBox1->Caption = "Selecione Cuentas:";
  GroupBox1->SetBounds(300, 4, 180, 114);
  RBDos = Make<TRadioButton>(this, "RBDos");
  RBDos->Parent = GroupBox1;
  RBDos->Caption = "Dos Digitos";
  RBDos->SetBounds(12, 20, 150, 20);
  RBCuatro = Make<TRadioButton>(this, "RBCuatro");
  RBCuatro->Parent = GroupBox1;
  RBCuatro->Caption = "Cuatro Digitos";
  RBCuatro->SetBounds(12, 42, 150, 20);
  // En el marco con los otros niveles; FormActivate lo saca cuando el marco se oculta.
  RBSeis = Make<TRadioButton>(this, "RBSeis");
  RBSeis->Parent = GroupBox1;
  RBSeis->Caption = "Seis dígitos";
  RBSeis->SetBounds(12, 64, 150, 20);
  RBTodo = Make<TRadioButton>(this, "RBTodo");
  RBTodo->Parent = GroupBox1;
  RBTodo->Caption = "Detallado";
  RBTodo->SetBounds(12, 86, 150, 20);
  RBDos->Checked = true;

  chbSaldosIguales = Make<TCheckBox>(this, "chbSaldosIguales");
  chbSaldosIguales->Parent = cabecera;
  chbSaldosIguales->Caption = "Mostrar saldos iguales como cero";
  chbSaldosIguales->SetBounds(500, 8, 300, 20);
  chbSaldosIguales->Checked = true;
  chbSaldosCero = Make<TCheckBox>(this, "chbSaldosCero");
  chbSaldosCero->Parent = cabecera;
  chbSaldosCero->Caption = "Mostrar los saldos que están en  cero";
  chbSaldosCero->SetBounds(500, 30, 300, 20);
  chbExpress = Make<TCheckBox>(this, "chbExpress");
  chbExpress->Parent = cabecera;
  chbExpress->Caption = "Breve y rápido";
  chbExpress->SetBounds(500, 52, 300, 20);
  ChBCierre = Make<TCheckBox>(this, "ChBCierre");
  ChBCierre->Parent = cabecera;
  ChBCierre->Caption = "Simular Cierre ";
  ChBCierre->SetBounds(500, 74, 300, 20);
  ChBCierre->Visible = false;
  RGComprobante = Make<TRadioGroup>(this, "RGComprobante");
  RGComprobante->Parent = cabecera;
  RGComprobante->Caption = "Listar Por:";
  RGComprobante->Items->Add("Cuentas");
  RGComprobante->Items->Add("Comprobantes");
  RGComprobante->Columns = 2;
  RGComprobante->ItemIndex = 0;
  RGComprobante->SetBounds(12, 72, 272, 50);
  RGComprobante->Visible = false;

  Panel1 = Make<TPanel>(this, "Panel1");
  Panel1->Parent = cabecera;
  Panel1->Caption = "";
  Panel1->BevelOuter = bvLowered;
  Panel1->SetBounds(8, 128, 600, 100);
  auto* titulo = Etiqueta(Panel1, this, "LblOpciones", "Opciones de impresión", 8, 0, 200);
  titulo->Font->Style = {fsBold};
  Label3 = Etiqueta(Panel1, this, "Label3", "Título del Informe:", 8, 22, 130);
  edTitulo = Make<TEdit>(this, "edTitulo");
  edTitulo->Parent = Panel1;
  edTitulo->SetBounds(140, 22, 200, 24);
  Label4 = Etiqueta(Panel1, this, "Label4", "Fecha de impresión:", 352, 22, 130);
  edFechaImp = Make<TEdit>(this, "edFechaImp");
  edFechaImp->Parent = Panel1;
  edFechaImp->SetBounds(484, 22, 108, 24);
  Label5 = Etiqueta(Panel1, this, "Label5", "Margen izquierda (mm):", 8, 48, 150);
  edMargen = Make<TEdit>(this, "edMargen");
  edMargen->Parent = Panel1;
  edMargen->Text = "0";
  edMargen->SetBounds(160, 48, 40, 24);
  Label6 = Etiqueta(Panel1, this, "Label6", "Margen superior (mm):", 212, 48, 150);
  edMargenSup = Make<TEdit>(this, "edMargenSup");
  edMargenSup->Parent = Panel1;
  edMargenSup->Text = "0";
  edMargenSup->SetBounds(364, 48, 40, 24);
  chbVistaPrevia = Make<TCheckBox>(this, "chbVistaPrevia");
  chbVistaPrevia->Parent = Panel1;
  chbVistaPrevia->Caption = "Mostrar vista previa";
  chbVistaPrevia->SetBounds(420, 50, 170, 20);
  chbVistaPrevia->Checked = true;
  btnFuente = Make<TButton>(this, "btnFuente");
  btnFuente->Parent = Panel1;
  btnFuente->Caption = "Personalizar tipo Letra";
  btnFuente->SetBounds(8, 74, 170, 24);
  btnFuente->Visible = false;
  lblTipoLetra = Etiqueta(Panel1, this, "lblTipoLetra", "Predeterminada (Arial 8)", 186, 74, 250);
  lblTipoLetra->Visible = false;

  PG = Make<TPanel>(this, "PG");
  PG->Parent = cabecera;
  PG->BevelOuter = bvLowered;
  PG->SetBounds(620, 128, 240, 100);
  PG->Visible = false;
  Etiqueta(PG, this, "LblResumenPG", "Resumen", 8, 0, 100)->Font->Style = {fsBold};
  Label7 = Etiqueta(PG, this, "Label7", "Ingresos", 8, 22, 84);
  LblIngresos = Cifra(PG, this, "LblIngresos", 22);
  Label8 = Etiqueta(PG, this, "Label8", "Egresos", 8, 46, 84);
  LblEgresos = Cifra(PG, this, "LblEgresos", 46);
  Label9 = Etiqueta(PG, this, "Label9", "Utilidad", 8, 70, 84);
  LblUtilidad = Cifra(PG, this, "LblUtilidad", 70);
  BG = Make<TPanel>(this, "BG");
  BG->Parent = cabecera;
  BG->BevelOuter = bvLowered;
  BG->SetBounds(620, 128, 240, 100);
  BG->Visible = false;
  Etiqueta(BG, this, "LblResumenBG", "Resumen", 8, 0, 100)->Font->Style = {fsBold};
  Label10 = Etiqueta(BG, this, "Label10", "Activo", 8, 22, 84);
  LblActivo = Cifra(BG, this, "LblActivo", 22);
  Label11 = Etiqueta(BG, this, "Label11", "Pasivo", 8, 46, 84);
  LblPasivoPatrimonio = Cifra(BG, this, "LblPasivoPatrimonio", 46);
  Label12 = Etiqueta(BG, this, "Label12", "Patrimonio", 8, 70, 84);
  LblPat = Cifra(BG, this, "LblPat", 70);

  StatusBar = Make<TStatusBar>(this, "StatusBar");
  StatusBar->Align = alBottom;
  StatusBar->SimplePanel = true;
  PanelBotones = Make<TPanel>(this, "PanelBotones");
  PanelBotones->Align = alBottom;
  PanelBotones->Height = 48;
  PanelBotones->BevelOuter = bvNone;
  BtnInforme = Make<TBitBtn>(this, "BtnInforme");
  BtnInforme->Parent = PanelBotones;
  BtnInforme->Caption = "&Procesar";
  BtnInforme->Default = true;
  BtnInforme->SetBounds(230, 8, 100, 32);
  btnImprimir = Make<TBitBtn>(this, "btnImprimir");
  btnImprimir->Parent = PanelBotones;
  btnImprimir->Caption = "Imprimir";
  btnImprimir->Enabled = false;
  btnImprimir->SetBounds(340, 8, 100, 32);
  btnExportar = Make<TBitBtn>(this, "btnExportar");
  btnExportar->Parent = PanelBotones;
  btnExportar->Caption = "Exportar";
  btnExportar->SetBounds(450, 8, 100, 32);
  BitBtn1 = Make<TBitBtn>(this, "BitBtn1");
  BitBtn1->Parent = PanelBotones;
  BitBtn1->Kind = bkCancel;
  BitBtn1->Caption = "Salir";
  BitBtn1->SetBounds(560, 8, 100, 32);

  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->Enabled = false;
  DBGrid1->Color = clBtnFace;
  DBGrid1->ReadOnly = true;
  struct Col {
    const char* campo;
    const char* titulo;
  };
  for (Col c : {Col{"Numecuen", "Codigo"}, Col{"NombCuen", "Nombre Cuenta"}, Col{"SaldoDebito", "S. Debito"},
                Col{"SaldoCredito", "S. Credito"}, Col{"Pasasaldo", "Saldo "}, Col{"Debito", "Mov Debito"},
                Col{"Credito", "Mov Credito"}, Col{"NuevoDebito", "N. Debito"},
                Col{"NuevoCredito", "N. Credito"}, Col{"Nuevosaldo", "Diferencia"}}) {
    TColumn* col = DBGrid1->Columns->Add();
    col->FieldName = c.campo;
    col->Title->Caption = c.titulo;
    col->Width = col->Index() < 2 ? (col->Index() == 0 ? 80 : 220) : 90;
  }
  dbGridCajaDiarioComprobante = Make<TDBGrid>(this, "dbGridCajaDiarioComprobante");
  dbGridCajaDiarioComprobante->Align = alClient;
  dbGridCajaDiarioComprobante->ReadOnly = true;
  dbGridCajaDiarioComprobante->Visible = false;

  Query1 = Make<TQuery>(this, "Query1");
  Query2 = Make<TQuery>(this, "Query2");
  Query3 = Make<TQuery>(this, "Query3");
  queryGral = Make<TQuery>(this, "queryGral");
  QueryCierre1 = Make<TQuery>(this, "QueryCierre1");
  QueryCierre2 = Make<TQuery>(this, "QueryCierre2");
  BatchMove1 = Make<TBatchMove>(this, "BatchMove1");
  BatchMove1->Mode = batAppend;
  BatchMove2 = Make<TBatchMove>(this, "BatchMove2");
  BatchMove2->Mode = batAppend;
  TblTemp2 = Make<TTable>(this, "TblTemp2");
  TblTemp2->TableName = "temp2.db";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = DM->TblBal;
  DSTemp2 = Make<TDataSource>(this, "DSTemp2");
  DSTemp2->DataSet = TblTemp2;
  SaveDialog1 = Make<TSaveDialog>(this, "SaveDialog1");
  FontDialog1 = Make<TFontDialog>(this, "FontDialog1");

  EdFechaInicio->Text = FechasInf.GFechaInicial;
  EdFechaFinal->Text = FechasInf.GFechaFinal;
  CajaDiario_Comprobante = false;
  letraPersonalizada = false;

  OnActivate = [this](TObject* s) { FormActivate(s); };
  KeyPreview = true;
  OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { FormKeyDown(s, k, sh); };
  BtnFechaDesde->OnClick = [this](TObject* s) { BtnFechaDesdeClick(s); };
  BitBtn3->OnClick = [this](TObject* s) { BitBtn3Click(s); };
  RGComprobante->OnClick = [this](TObject* s) { RGComprobanteClick(s); };
  BtnInforme->OnClick = [this](TObject* s) { BtnInformeClick(s); };
  btnImprimir->OnClick = [this](TObject* s) { btnImprimirClick(s); };
  btnExportar->OnClick = [this](TObject* s) { btnExportarClick(s); };
  btnFuente->OnClick = [this](TObject* s) { btnFuenteClick(s); };
  DBGrid1->OnDrawColumnCell = [this](TObject* s, const TRect& r, int dc, TColumn* c, TGridDrawState st) {
    DBGrid1DrawColumnCell(s, r, dc, c, st);
  };
  dbGridCajaDiarioComprobante->OnDrawColumnCell = [this](TObject* s, const TRect& r, int dc, TColumn* c,
                                                         TGridDrawState st) {
    dbGridCajaDiarioComprobanteDrawColumnCell(s, r, dc, c, st);
  };
  // "Seis dígitos" vive fuera del marco de los otros niveles: la elección sigue siendo una.
  for (TRadioButton* rb : {RBDos, RBCuatro, RBTodo}) {
    rb->OnClick = [this, rb](TObject*) {
      if (rb->Checked) RBSeis->Checked = false;
    };
  }
  RBSeis->OnClick = [this](TObject*) {
    if (RBSeis->Checked)
      for (TRadioButton* rb : {RBDos, RBCuatro, RBTodo}) rb->Checked = false;
  };

  OnMouseMove = [this](TObject*, TShiftState, int, int) {
    StatusBar->SimpleText = Caption + " Presione F1 para obtener Ayuda";
  };
  Hint(EdFechaInicio, "Ingrese la fecha inicial o de click en el boton de al lado");
  Hint(EdFechaFinal, "Ingrese la fecha final o de click en el boton de al lado");
  Hint(BtnFechaDesde, "De Click para traer la fecha inicial desde el calendario");
  Hint(BitBtn3, "De Click para traer la fecha final desde el calendario");
  Hint(RBDos, "Generar Informe mostrando solo cuentas de dos Digitos");
  Hint(RBCuatro, "Generar Informe mostrando solo cuentas de cuatro Digitos");
  Hint(RBTodo, "Generar Informe mostrando todas las cuentas");
  Hint(RBSeis, "Generar Informe mostrando todas las cuentas");
  Hint(BG, "Totales Activo Pasivo Patrimonio");
  Hint(PG, "Totales Ingresos Egresos Utilidad");
  Hint(ChBCierre, "Para Generar la Utilidad o Perdida del Periodo en el Balance");
  Hint(BtnInforme, "Generar Informe");
  ActiveControl = EdFechaInicio;
}

TFrmBalances::~TFrmBalances() {
  // La rejilla suelta la tabla del módulo de datos antes de que la fuente desaparezca.
  DBGrid1->DataSource = nullptr;
  dbGridCajaDiarioComprobante->DataSource = nullptr;
}

void TFrmBalances::Hint(TControl* aControl, const char* aTexto) {
  AnsiString texto = aTexto;
  aControl->OnMouseMove = [this, texto](TObject*, TShiftState, int, int) { StatusBar->SimpleText = texto; };
}

void TFrmBalances::FormActivate(TObject*) {
  switch (Llamado) {
    case 1:
    case 3:
      Panel1->Visible = false;
      break;
    case 2:
      lblTipoLetra->Visible = true;
      btnFuente->Visible = true;
      break;
    case 4:
    case 5:
      RBDos->Visible = false;
      RBCuatro->Visible = false;
      RBTodo->Visible = false;
      // "Seis dígitos" sigue a la vista donde estaba el marco.
      if (RBSeis->Parent != GroupBox1->Parent) {
        RBSeis->Parent = GroupBox1->Parent;
        RBSeis->SetBounds(GroupBox1->Left + 12, GroupBox1->Top + 20, 150, 20);
      }
      GroupBox1->Visible = false;
      break;
  }
}

void TFrmBalances::FormKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key != VK_F1) return;
  AnsiString ruta = PathOrigen + "/help/" + PaginaAyuda(Llamado);
  AnsiString error;
  if (!tv::os::OpenHelpPage(ruta, AnsiString(), &error))
    ShowMessage("No se pudo abrir la ayuda " + ruta + ": " + error);
}

void TFrmBalances::BtnFechaDesdeClick(TObject*) {
  FrmCalendar = new TFrmCalendar(this);
  std::unique_ptr<TFrmCalendar> f(FrmCalendar);
  f->year = anioGlobal;
  f->ShowModal();
  f->GetDateAsString(EdFechaInicio);
}

void TFrmBalances::BitBtn3Click(TObject*) {
  FrmCalendar = new TFrmCalendar(this);
  std::unique_ptr<TFrmCalendar> f(FrmCalendar);
  f->ShowModal();
  f->GetDateAsString(EdFechaFinal);
}

void TFrmBalances::RGComprobanteClick(TObject*) { CajaDiario_Comprobante = RGComprobante->ItemIndex == 1; }

void TFrmBalances::btnFuenteClick(TObject*) {
  if (FontDialog1->Execute()) {
    letraPersonalizada = true;
    lblTipoLetra->Caption = FontDialog1->Font->Name + " " + IntToStr(FontDialog1->Font->Size);
  } else {
    letraPersonalizada = false;
  }
}

void TFrmBalances::OcultarColumnas(std::initializer_list<int> aColumnas, int aAncho) {
  for (int i : aColumnas) DBGrid1->Columns->Items[i]->Width = aAncho;
}

// Cada columna de montos a la vista cabe su cifra más ancha: la menor (con signo) o la mayor.
void TFrmBalances::AnchoDeMontos() {
  TCanvas* c = DBGrid1->Canvas.get();
  for (int i = 2; i < DBGrid1->Columns->Count(); ++i) {
    TColumn* col = DBGrid1->Columns->Items[i];
    if (col->Width <= 1) continue;
    TField* f = DM->TblBal->FindField(col->FieldName);
    if (!f) continue;
    HagaSQL(kAlias, queryGral,
            "select min(" + col->FieldName + "), max(" + col->FieldName + ") from baltempestados");
    c->Font->Assign(col->Font.get());
    int ancho = 0;
    for (int k = 0; k < 2; ++k) ancho = std::max(ancho, c->TextWidth(Punto(queryGral->Fields[k]->AsFloat, 2)));
    queryGral->Close();
    col->Width = std::max(90, ancho + 8);
  }
}

void TFrmBalances::BtnInformeClick(TObject*) {
  btnImprimir->Enabled = true;
  btnExportar->Enabled = true;
  if (!ValidarInformes(EdFechaInicio->Text, EdFechaFinal->Text, "", "", "", false, false, false)) return;

  FrmMessage = new TFrmMessage(this);
  // La ventana de avance se va en todo camino, también cuando la corrida falla.
  std::unique_ptr<TFrmMessage> avance(FrmMessage);
  FrmMessage->PBar->Position = 0;
  TTable* bal = DM->TblBal;
  utilidadSimulada_ = 0;
  sumas_ = SumasClase{};
  try {
    // Una corrida entra entera o deja las tablas de trabajo como las dejó la anterior.
    tv::db::Transaction tx(bal->DatabaseName);
    HagaSQL(kAlias, Query1, "delete from baltempestados");
    bal->Refresh();
    if (Llamado == 4 && CajaDiario_Comprobante) {
      CajaDiarioComprobante();
    } else {
      LlenarBalTempEstados();
      PasoDelInforme();
    }
    tx.Commit();
  } catch (...) {
    if (bal->State != dsBrowse && bal->Active) bal->Cancel();
    for (TTable* t : {bal, DM->TblSaldosAntes, DM->TblSaldosEntre, DM->TblTempCajaDiario})
      if (t->Active) t->Refresh();
    if (TblTemp2->Active) TblTemp2->Refresh();
    throw;
  }
  bal->Refresh();
  if (Llamado == 4 && CajaDiario_Comprobante) return;
  FrmMessage->Close();
  AnchoDeMontos();
  DBGrid1->DataSource = DataSource1;
  DBGrid1->Enabled = true;
  DBGrid1->Color = clWhite;
  DBGrid1->Visible = true;
  dbGridCajaDiarioComprobante->Visible = false;
}

void TFrmBalances::PasoDelInforme() {
  TTable* bal = DM->TblBal;
  switch (Llamado) {
    case 1:
      OcultarColumnas({2, 3, 4, 5, 6, 7, 8});
      HagaSQL(kAlias, Query1, "delete from baltempestados where numecuen >=\"4\"");
      bal->Refresh();
      if (ChBCierre->Checked) {
        SimulaCierre();
      } else if (!bal->Locate("Numecuen", Variant(AnsiString("3")))) {
        bal->Append();
        bal->FieldByName("Numecuen")->AsString = "3";
        bal->FieldByName("NombCuen")->AsString = "PATRIMONIO";
        bal->FieldByName("NuevoSaldo")->AsFloat = 0;
        bal->Post();
      }
      MostrarEcuacionContable();
      break;
    case 2:
      if (RBDos->Checked)
        HagaSQL(kAlias, Query1, "delete from baltempestados where numecuen  like '___%'");
      else if (RBCuatro->Checked)
        HagaSQL(kAlias, Query1, "delete from baltempestados where numecuen  like '_____%'");
      else if (RBSeis->Checked)
        HagaSQL(kAlias, Query1, "delete from baltempestados where numecuen  like '_______%'");
      bal->Refresh();
      OcultarColumnas({4, 9});
      break;
    case 3: {
      OcultarColumnas({2, 3, 4, 7, 8, 9});
      // Ingresos al crédito, lo demás al débito: cada fila queda en un solo lado.
      HagaSQL(kAlias, Query1,
              "update baltempestados set Credito=Credito-Debito, Debito=0 where numecuen like '4%'");
      HagaSQL(kAlias, Query1,
              "update baltempestados set Debito=Debito-Credito, Credito=0 where numecuen not like '4%'");
      bal->Refresh();
      // Las cifras salen de las sumas de las clases, no de una fila: valen sin filas de clase.
      double ingresos = sumas_.creEntre[4] - sumas_.debEntre[4];
      double egresos = 0;
      for (int c = 5; c <= 7; ++c) egresos += sumas_.debEntre[c] - sumas_.creEntre[c];
      LblIngresos->Caption = Punto(ingresos, 2);
      LblEgresos->Caption = Punto(egresos, 2);
      LblUtilidad->Caption = Punto(ingresos - egresos, 2);
      PG->Visible = true;
      break;
    }
    case 4:
      break;
    case 5:
      OcultarColumnas({4, 9}, 1);
      break;
  }
}

void TFrmBalances::SimulaCierre() {
  double ingresos = sumas_.creEntre[4] - sumas_.debEntre[4];
  double egresos = 0;
  for (int c = 5; c <= 7; ++c) egresos += sumas_.debEntre[c] - sumas_.creEntre[c];
  double u = ingresos - egresos;
  utilidadSimulada_ = u;
  TTable* bal = DM->TblBal;
  auto agregar = [bal](const AnsiString& codigo, const char* nombre, double saldo) {
    bal->Append();
    bal->FieldByName("Numecuen")->AsString = codigo;
    bal->FieldByName("NombCuen")->AsString = nombre;
    bal->FieldByName("NuevoSaldo")->AsFloat = saldo;
    bal->Post();
  };
  struct Fila {
    const char* codigo;
    const char* nombre;
  };
  for (Fila f : {Fila{"3", "PATRIMONIO"}, Fila{"3505", "EXCEDENTES Y/O PERDIDAS"},
                 Fila{"35", "RESULTADOS DEL EJERCICIO"}}) {
    if (bal->Locate("Numecuen", Variant(AnsiString(f.codigo)))) {
      bal->Edit();
      bal->FieldByName("NuevoSaldo")->AsFloat = bal->FieldByName("NuevoSaldo")->AsFloat - u;
      bal->Post();
    } else {
      agregar(f.codigo, f.nombre, -u);
    }
  }
  TTable* cfg = DM->TblConfigContab;
  if (!cfg->Active) cfg->Open();
  cfg->First();
  AnsiString cuenta = cfg->IsEmpty() ? AnsiString() : cfg->FieldByName(u >= 0 ? "Utilidad" : "Perdida")->AsString;
  cuenta = cuenta.Trim();
  if (cuenta.IsEmpty()) {
    ShowMessage(u >= 0 ? "La cuenta de utilidad no está configurada."
                       : "La cuenta de pérdida no está configurada.");
    return;
  }
  if (bal->Locate("Numecuen", Variant(cuenta))) {
    bal->Edit();
    bal->FieldByName("NuevoSaldo")->AsFloat = -u;
    bal->Post();
  } else {
    agregar(cuenta, u >= 0 ? "EXCEDENTES" : "PERDIDAS", -u);
  }
}

void TFrmBalances::MostrarEcuacionContable() {
  auto saldo = [this](int c) {
    return sumas_.debAntes[c] + sumas_.debEntre[c] - sumas_.creAntes[c] - sumas_.creEntre[c];
  };
  double activo = saldo(1);
  double pasivo = -saldo(2);
  double patrimonio = -saldo(3);
  if (ChBCierre->Checked) patrimonio += utilidadSimulada_;
  LblActivo->Caption = Punto(activo, 2);
  LblPasivoPatrimonio->Caption = Punto(pasivo, 2);
  LblPat->Caption = Punto(patrimonio, 2);
  BG->Visible = true;
}

void TFrmBalances::CajaDiarioComprobante() {
  TTable* temp = DM->TblTempCajaDiario;
  AnsiString desde = MesDiaAnio(EdFechaInicio->Text);
  AnsiString hasta = MesDiaAnio(EdFechaFinal->Text);
  HagaSQL(kAlias, Query1, "delete from temp");
  // Las líneas del periodo pasan a Temp en una sola sentencia, con la cuenta cortada a seis y
  // en orden de fecha: las líneas de cada día quedan seguidas y se agrupan día por día.
  HagaSQL(kAlias, Query1,
          "insert into temp (fecha, DescDocu, numedocu, Data, debito, credito) select fecha,DescDocu, numedocu, "
          "SUBSTRING(numecuen from 1 for 6), debito, credito from mvt where fecha>=\"" + desde +
              "\" and Fecha<=\"" + hasta + "\" order by fecha");
  if (!temp->Active) temp->Open();
  temp->Refresh();
  auto conn = tv::db::ConnectionFor(kAlias);
  using tv::db::Cell;
  enum { kFecha, kDescDocu, kNumeDocu, kData, kNombCuen, kDebito, kCredito };
  // Texto de un valor como lo da un campo de consulta (nulo = "").
  auto texto = [](const Cell& c, TFieldType tipo) -> std::string {
    if (c.kind == Cell::Text && tipo == ftString) return c.s;
    return tv::db::CellText(c, tipo, false).str();
  };
  // Totales de cada comprobante con todas sus líneas, también las de cuentas fuera del plan.
  // Con la misma clave de texto que el encabezado: un comprobante nulo y uno vacío son el
  // mismo y vale el último en el orden de la consulta.
  std::map<std::pair<std::string, std::string>, std::pair<double, double>> totales;
  {
    tv::db::Stmt q = conn->Prepare(
        "SELECT descdocu, numedocu, sum(debito), sum(credito) FROM Temp "
        "GROUP BY descdocu, numedocu ORDER BY descdocu, numedocu");
    while (q.Step())
      totales[{texto(q.Column(0), ftString), texto(q.Column(1), ftString)}] = {q.Column(2).Number(),
                                                                              q.Column(3).Number()};
  }
  // Nombre de cada cuenta del plan: las líneas de cuentas que no están no se listan.
  std::unordered_map<std::string, Cell> plan;
  {
    tv::db::Stmt q = conn->Prepare("SELECT numecuen, nombcuen FROM PL WHERE numecuen IS NOT NULL");
    while (q.Step()) plan.emplace(q.Column(0).s, q.Column(1));
  }

  // Filas de temp2 de a kLote por sentencia: una sentencia por fila costaba más que la fila.
  // temp2 se vacía al llegar la primera fila: sin filas que mostrar queda como estaba.
  constexpr int kLote = 64;
  auto insercion = [&conn](int filas) {
    std::string sql = "INSERT INTO temp2 (fecha, descdocu, numedocu, data, nombcuen, debito, credito) VALUES ";
    for (int r = 0; r < filas; ++r) sql += r ? ",(?,?,?,?,?,?,?)" : "(?,?,?,?,?,?,?)";
    return conn->Prepare(sql);
  };
  tv::db::Stmt lote;
  std::vector<Cell> pendientes(kLote * 7);
  int enLote = 0;
  auto vaciar = [&](tv::db::Stmt& st) {
    for (int k = 0; k < enLote * 7; ++k) {
      const Cell& c = pendientes[static_cast<size_t>(k)];
      st.Bind(k + 1, c.kind == Cell::Text && c.s.empty() ? Cell() : c);
    }
    st.Step();
    st.Reset();
    enLote = 0;
  };
  // La fila siguiente, vacía; el lote lleno va a la base.
  auto siguiente = [&]() -> Cell* {
    if (!lote.get()) {
      if (!TblTemp2->Active) {
        TblTemp2->DatabaseName = temp->DatabaseName;
        TblTemp2->Open();
      }
      HagaSQL(kAlias, Query1, "delete from temp2");
      TblTemp2->Refresh();
      lote = insercion(kLote);
    }
    if (enLote == kLote) vaciar(lote);
    Cell* v = &pendientes[static_cast<size_t>(enLote++) * 7];
    for (int k = 0; k < 7; ++k) v[k] = Cell();
    return v;
  };
  auto totalesDe = [&](const std::pair<std::string, std::string>& docu) {
    auto it = totales.find(docu);
    Cell* v = siguiente();
    v[kNombCuen] = Cell::String("Totales");
    v[kDebito] = Cell::Float(it == totales.end() ? 0 : it->second.first);
    v[kCredito] = Cell::Float(it == totales.end() ? 0 : it->second.second);
  };
  // Encabezado al cambiar de comprobante entre filas seguidas, con los totales del anterior.
  bool hayAnterior = false;
  std::pair<std::string, std::string> anterior;
  auto comprobante = [&](const Cell& descdocu, const Cell& numedocu, const Cell& fecha) {
    std::pair<std::string, std::string> docu{texto(descdocu, ftString), texto(numedocu, ftString)};
    if (hayAnterior && docu == anterior) return;
    if (hayAnterior) totalesDe(anterior);
    siguiente()[kNombCuen] = Cell::String(docu.first + "  " + docu.second + "  de: " + texto(fecha, ftDate));
    anterior = std::move(docu);
    hayAnterior = true;
  };

  // Las filas de cuentas salen de agrupar las líneas por fecha, comprobante y cuenta, en ese
  // orden. Temp está en orden de fecha, así que cada día se agrupa solo, en memoria, sin ordenar
  // el periodo entero. El orden es el de SQLite (nulo primero, texto byte a byte) y el orden
  // estable deja las líneas de cada grupo como están en Temp.
  auto comparar = [](const Cell& a, const Cell& b) -> int {
    auto rango = [](const Cell& c) { return c.kind == Cell::Null ? 0 : c.kind == Cell::Text ? 2 : 1; };
    if (rango(a) != rango(b)) return rango(a) < rango(b) ? -1 : 1;
    if (a.kind == Cell::Text) return a.s.compare(b.s);
    if (a.kind == Cell::Null) return 0;
    return a.Number() < b.Number() ? -1 : a.Number() > b.Number() ? 1 : 0;
  };
  struct Linea {
    std::int64_t id;
    Cell descdocu, numedocu, data, debito, credito;
    const Cell* nombre;
  };
  std::vector<Linea> dia;
  std::vector<size_t> orden;
  Cell fechaDia;
  // Sumas de un grupo de varias líneas (pocos): las hace SQLite sobre esas líneas en el orden
  // de Temp, con su propia aritmética.
  std::map<size_t, tv::db::Stmt> sumasDe;
  auto sumar = [&](size_t desde, size_t hasta, Cell& debito, Cell& credito) {
    size_t n = hasta - desde;
    const Linea& una = dia[orden[desde]];
    auto simple = [](const Cell& c) { return c.kind != Cell::Text; };
    if (n == 1 && simple(una.debito) && simple(una.credito)) {
      // sum() de un solo valor: el entero tal cual, el real sumado a 0.0, el nulo nulo.
      auto suma = [](const Cell& c) { return c.kind == Cell::Real ? Cell::Float(0.0 + c.d) : c; };
      debito = suma(una.debito);
      credito = suma(una.credito);
      return;
    }
    auto it = sumasDe.find(n);
    if (it == sumasDe.end()) {
      std::string sql = "SELECT sum(debito), sum(credito) FROM Temp WHERE rowid IN (";
      for (size_t k = 0; k < n; ++k) sql += k ? ",?" : "?";
      it = sumasDe.emplace(n, conn->Prepare(sql + ")")).first;
    }
    tv::db::Stmt& q = it->second;
    for (size_t k = 0; k < n; ++k) q.Bind(static_cast<int>(k + 1), Cell::Integer(dia[orden[desde + k]].id));
    q.Step();
    debito = q.Column(0);
    credito = q.Column(1);
    q.Reset();
  };
  auto agruparDia = [&]() {
    orden.resize(dia.size());
    for (size_t k = 0; k < orden.size(); ++k) orden[k] = k;
    auto clave = [&](size_t a, size_t b) {
      const Linea& x = dia[a];
      const Linea& y = dia[b];
      if (int c = comparar(x.descdocu, y.descdocu)) return c;
      if (int c = comparar(x.numedocu, y.numedocu)) return c;
      return comparar(x.data, y.data);
    };
    std::stable_sort(orden.begin(), orden.end(), [&](size_t a, size_t b) { return clave(a, b) < 0; });
    for (size_t i = 0; i < orden.size();) {
      size_t j = i + 1;
      while (j < orden.size() && clave(orden[i], orden[j]) == 0) ++j;
      const Linea& l = dia[orden[i]];
      comprobante(l.descdocu, l.numedocu, fechaDia);
      Cell debito, credito;
      sumar(i, j, debito, credito);
      Cell* v = siguiente();
      v[kFecha] = fechaDia;
      v[kDescDocu] = l.descdocu;
      v[kNumeDocu] = l.numedocu;
      v[kData] = l.data;
      v[kNombCuen] = *dia[orden[j - 1]].nombre;
      v[kDebito] = std::move(debito);
      v[kCredito] = std::move(credito);
      i = j;
    }
    dia.clear();
  };
  {
    tv::db::Stmt lineas =
        conn->Prepare("SELECT rowid, fecha, descdocu, numedocu, data, debito, credito FROM Temp ORDER BY rowid");
    while (lineas.Step()) {
      Cell data = lineas.Column(4);
      if (data.kind != Cell::Text) continue;
      auto cuenta = plan.find(data.s);
      if (cuenta == plan.end()) continue;
      Cell fecha = lineas.Column(1);
      if (!dia.empty() && comparar(fecha, fechaDia) != 0) {
        if (comparar(fecha, fechaDia) < 0) throw EDatabaseError("Las líneas de Temp no están en orden de fecha.");
        agruparDia();
      }
      if (dia.empty()) fechaDia = std::move(fecha);
      dia.push_back(Linea{lineas.Column(0).i, lineas.Column(2), lineas.Column(3), std::move(data), lineas.Column(5),
                          lineas.Column(6), &cuenta->second});
    }
    if (!dia.empty()) agruparDia();
  }
  if (!hayAnterior) {
    ShowMessage("No Hay Información para mostrar.");
    return;
  }
  totalesDe(anterior);
  if (enLote > 0) {
    tv::db::Stmt resto = insercion(enLote);
    vaciar(resto);
  }
  TblTemp2->Refresh();
  TblTemp2->First();

  dbGridCajaDiarioComprobante->DataSource = DSTemp2;
  dbGridCajaDiarioComprobante->Columns->Clear();
  struct Col {
    const char* campo;
    int ancho;
  };
  for (Col c : {Col{"data", 30}, Col{"nombcuen", 260}, Col{"debito", 90}, Col{"credito", 90}}) {
    TColumn* col = dbGridCajaDiarioComprobante->Columns->Add();
    col->FieldName = c.campo;
    col->Width = c.ancho;
  }
  dbGridCajaDiarioComprobante->Visible = true;
  DBGrid1->Visible = false;
}

void TFrmBalances::DBGrid1DrawColumnCell(TObject*, const TRect& Rect, int DataCol, TColumn* Column,
                                         TGridDrawState) {
  bool propia = false;
  switch (Llamado) {
    case 1: propia = DataCol == 9; break;
    case 2:
    case 3:
    case 5: propia = DataCol == 2 || DataCol == 3 || (DataCol >= 5 && DataCol <= 8); break;
    case 4: propia = DataCol == 5 || DataCol == 6; break;
  }
  if (!propia) return;
  DibujarMonto(DBGrid1->Canvas, Rect, Column->Field());
}

void TFrmBalances::dbGridCajaDiarioComprobanteDrawColumnCell(TObject*, const TRect& Rect, int, TColumn* Column,
                                                             TGridDrawState) {
  AnsiString campo = Column->FieldName.LowerCase();
  if (campo != "debito" && campo != "credito") return;
  TField* descdocu = TblTemp2->FindField("descdocu");
  TField* nombre = TblTemp2->FindField("nombcuen");
  bool encabezado = descdocu && descdocu->IsNull && nombre && nombre->AsString != "Totales";
  if (encabezado) return;
  DibujarMonto(dbGridCajaDiarioComprobante->Canvas, Rect, Column->Field());
}

void TFrmBalances::btnExportarClick(TObject*) {
  TTable* bal = DM->TblBal;
  if (!bal->Active || bal->IsEmpty()) {
    ShowMessage("No hay información para exportar. \nPrimero genere el informe pulsando el botón aceptar.");
    return;
  }
  const char* nombre = "balance.csv";
  std::vector<const char*> campos{"Numecuen", "NombCuen", "SaldoDebito", "SaldoCredito",
                                  "Debito",   "Credito",  "NuevoDebito", "NuevoCredito"};
  switch (Llamado) {
    case 1: nombre = "balance.csv"; campos = {"Numecuen", "NombCuen", "NuevoSaldo"}; break;
    case 2: nombre = "balancePrueba.csv"; break;
    case 3: nombre = "PyG.csv"; campos = {"Numecuen", "NombCuen", "NuevoSaldo"}; break;
    case 4: nombre = "CajaDiario.csv"; break;
    case 5: nombre = "MayorBalance.csv"; break;
  }
  SaveDialog1->Filter = "CSV archivos (delimitado por coma)|*.csv";
  SaveDialog1->Title = "Grabar archivo en formato CSV";
  SaveDialog1->FileName = nombre;
  SaveDialog1->FilterIndex = 1;
  if (!SaveDialog1->Execute()) return;
  TStringList lista;
  for (const char* c : campos) lista.Add(c);
  DBToCSV(bal, SaveDialog1->FileName, &lista, 0, true, nullptr, false);
  ShowMessage("Exportación terminada.");
}
