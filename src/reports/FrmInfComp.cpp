#include "reports/FrmInfComp.h"

#include <cmath>
#include <memory>

#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/QuickRpt.h"
#include "reports/FrmRepInfComp.h"
#include "shared/dialogs/Aviso.h"
#include "shared/general/MyException.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TFrmInfComp* FrmInfComp = nullptr;

namespace {
// Diferencia por debajo de la cual las sumas se tienen por iguales (ruido de la suma).
constexpr double kRuidoSuma = 1e-9;
}  // namespace

TFrmInfComp::TFrmInfComp(TComponent* Owner) : TFrmConPeriodo(Owner) {
  Name = "FrmInfComp";
  Caption = "Comprobantes";
  Position = poScreenCenter;
  Width = 900;
  Height = 600;

  PnlFiltro = Make<TPanel>(this, "PnlFiltro");
  PnlFiltro->Align = alTop;
  PnlFiltro->BevelOuter = bvNone;
  Label3 = Make<TLabel>(PnlFiltro, "Label3");
  Label3->Caption = "Tipo de documento:";
  CBDocumentos = Make<TComboBox>(PnlFiltro, "CBDocumentos");
  CBDocumentos->Style = csDropDownList;
  CBDocumentos->Sorted = true;
  Label3->FocusControl = CBDocumentos;
  CrearPeriodo(PnlFiltro);
  chbFecha = Make<TCheckBox>(PnlFiltro, "chbFecha");
  chbFecha->Caption = "Ordenar por fecha";
  LblResult = Make<TLabel>(PnlFiltro, "LblResult");
  LblResult->Caption = "";
  LblResult->Font->Color = clRed;

  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->ReadOnly = true;
  const char* campos[] = {"Fecha", "DescDocu", "NumeDocu", "iusuario", "valor",
                          "descuadre", "ctaPpto", "certDisp", "Ejecucion", "QItems"};
  const char* titulos[] = {"Fecha", "Doc", "Número", "Grabado por", "Valor",
                           "Descuadre", "Cta Ppto", "Cert Disp", "Ejecucion", "No Rengl."};
  for (int i = 0; i < 10; ++i) {
    TColumn* c = DBGrid1->Columns->Add();
    c->FieldName = campos[i];
    c->Title->Caption = titulos[i];
  }

  PnlTotales = Make<TPanel>(this, "PnlTotales");
  PnlTotales->Align = alBottom;
  PnlTotales->BevelOuter = bvNone;
  Label4 = Make<TLabel>(PnlTotales, "Label4");
  Label4->Caption = "Total comprobantes:";
  LblT = Make<TLabel>(PnlTotales, "LblT");
  LblT->Caption = "0";
  Label5 = Make<TLabel>(PnlTotales, "Label5");
  Label5->Caption = "Suma débito:";
  lblSumaDebito = Make<TLabel>(PnlTotales, "lblSumaDebito");
  lblSumaDebito->Caption = "0";
  Label6 = Make<TLabel>(PnlTotales, "Label6");
  Label6->Caption = "Suma Crédito:";
  lblSumaCredito = Make<TLabel>(PnlTotales, "lblSumaCredito");
  lblSumaCredito->Caption = "0";
  PnlTotales->Height = 32;
  int x = 8;
  for (TLabel* l : {Label4, LblT, Label5, lblSumaDebito, Label6, lblSumaCredito}) {
    l->AutoSize = false;
    l->SetBounds(x, 8, 120, 18);
    x += 124;
  }

  Panel1 = Make<TPanel>(this, "Panel1");
  Panel1->Align = alBottom;
  Panel1->Height = 160;
  Panel1->Visible = false;
  lblSumasDesiguales = Make<TLabel>(Panel1, "lblSumasDesiguales");
  lblSumasDesiguales->Caption = "";
  lblSumasDesiguales->Color = clRed;
  lblSumasDesiguales->Transparent = false;
  Label7 = Make<TLabel>(Panel1, "Label7");
  Label7->Caption = "Asientos descuadrados:";
  DBGrid2 = Make<TDBGrid>(Panel1, "DBGrid2");
  DBGrid2->ReadOnly = true;

  PnlBotones = Make<TPanel>(this, "PnlBotones");
  PnlBotones->Align = alBottom;
  PnlBotones->BevelOuter = bvNone;
  BtnAceptar = Make<TBitBtn>(PnlBotones, "BtnAceptar");
  BtnAceptar->Caption = "&Aceptar";
  BtnAceptar->Default = true;
  BitBtn4 = Make<TBitBtn>(PnlBotones, "BitBtn4");
  BitBtn4->Kind = bkCancel;
  BitBtn4->Caption = "Cancelar";
  BtnInforme = Make<TBitBtn>(PnlBotones, "BtnInforme");
  BtnInforme->Caption = "&Informe";
  BtnInforme->Enabled = false;

  Query1 = Make<TQuery>(this, "Query1");
  Query2 = Make<TQuery>(this, "Query2");
  Query3 = Make<TQuery>(this, "Query3");
  DSQuery1 = Make<TDataSource>(this, "DSQuery1");
  DSQuery1->DataSet = Query1;
  dsQuery2 = Make<TDataSource>(this, "dsQuery2");
  dsQuery2->DataSet = Query2;
  DBGrid1->DataSource = DSQuery1;
  DBGrid2->DataSource = dsQuery2;

  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };
  BtnInforme->OnClick = [this](TObject* s) { BtnInformeClick(s); };
  DBGrid1->OnDrawColumnCell = [this](TObject* s, const TRect& r, int c, TColumn* col, TGridDrawState st) {
    DBGrid1DrawColumnCell(s, r, c, col, st);
  };
  auto ayuda = [this](TObject* s, Word& k, TShiftState) { EdFechaInicioKeyDown(s, k); };
  EdFechaInicio->OnKeyDown = ayuda;
  EdFechaFinal->OnKeyDown = ayuda;
  CBDocumentos->OnKeyDown = ayuda;
  DBGrid1->OnKeyDown = ayuda;

  CBDocumentos->Items->Add(" Todos");
  try {
    FillCBFromTbl(CBDocumentos, DM->TblDocumentos, "CodiDocu", "NombDocu");
  } catch (MyException& e) {
    ShowMessage(e.Mensaje());
  }
  CBDocumentos->ItemIndex = 0;
}

int TFrmInfComp::SincronizarEncabezados() {
  // Los nulos se comparan como iguales para no crear otra vez el encabezado de un documento
  // sin tipo o número.
  // "is" compara así y busca en el índice del encabezado una sola vez por documento.
  const char* sinEncabezado =
      "not exists (select descdocu from mvtmaestro where "
      "mvtmaestro.descdocu is mvt.descdocu and mvtmaestro.numedocu is mvt.numedocu)";
  // Los documentos sin encabezado salen del índice del documento sin leer las filas; sólo las
  // líneas de esos documentos se leen para agrupar por fecha.
  HagaSQL("Contabilidad", Query3,
          AnsiString("select m.descdocu as descdocu, m.numedocu as numedocu, m.fecha as fecha, "
                     "sum(m.debito) as valor, count(*) as qitems from "
                     "(select descdocu, numedocu from mvt group by descdocu, numedocu having ") +
              sinEncabezado +
              ") f, mvt m where m.descdocu is f.descdocu and m.numedocu is f.numedocu "
              "group by m.descdocu, m.numedocu, m.fecha order by m.descdocu, m.numedocu, m.fecha");
  if (Query3->IsEmpty()) return 0;
  TAviso aviso;
  aviso.Inicie("Sincronizando...", true, false, 0, 0, 0);
  int creados = 0;
  try {
    tv::db::Transaction tr("Contabilidad");
    TQuery ins(nullptr);
    // Varios encabezados por sentencia: una sentencia por documento costaba más que la consulta.
    constexpr int kFilasPorInsert = 200;
    AnsiString filas;
    auto inserte = [&] {
      if (filas.IsEmpty()) return;
      HagaSQL("Contabilidad", &ins, "insert into mvtmaestro (descdocu,numedocu,fecha,valor,qitems) values " + filas);
      filas = "";
    };
    bool primero = true;
    AnsiString tipoAnt, numeroAnt;
    bool tipoNuloAnt = false, numeroNuloAnt = false;
    for (Query3->First(); !Query3->Eof; Query3->Next()) {
      TField* tipo = Query3->FieldByName("descdocu");
      TField* numero = Query3->FieldByName("numedocu");
      TField* fecha = Query3->FieldByName("fecha");
      // El primer grupo de cada documento es el de su fecha más temprana.
      bool mismo = !primero && tipo->IsNull == tipoNuloAnt && numero->IsNull == numeroNuloAnt &&
                   tipo->AsString == tipoAnt && numero->AsString == numeroAnt;
      primero = false;
      tipoAnt = tipo->AsString;
      numeroAnt = numero->AsString;
      tipoNuloAnt = tipo->IsNull;
      numeroNuloAnt = numero->IsNull;
      if (mismo) continue;
      TDateTime f = fecha->IsNull ? TDateTime(0.0) : fecha->AsDateTime;
      double valor = std::round(Query3->FieldByName("valor")->AsFloat * 100.0) / 100.0;
      int items = Query3->FieldByName("qitems")->AsInteger;
      filas += AnsiString(filas.IsEmpty() ? "" : ",") + "(" + TextoSQL(tipo->AsString) + "," +
               TextoSQL(numero->AsString) + ", '" + MesDiaAnio(f) + "'," + NumeroSQL(valor) + "," +
               NumeroSQL(items) + ")";
      if (++creados % kFilasPorInsert == 0) inserte();
    }
    inserte();
    tr.Commit();
  } catch (...) {
    aviso.Termine();
    throw;
  }
  aviso.Termine();
  DM->tblMvtMaestro->Refresh();
  return creados;
}

void TFrmInfComp::BtnAceptarClick(TObject*) {
  if (!ValidarInformes(EdFechaInicio->Text, EdFechaFinal->Text, "", "", "", false, false, false))
    return;
  BtnInforme->Enabled = false;

  HagaSQL("Contabilidad", Query2, "select count(*) as n from mvt");
  if (Query2->FieldByName("n")->AsInteger == 0) {
    LblResult->Caption = "No hay información para mostrar";
    Panel1->Visible = false;
    return;
  }
  SincronizarEncabezados();

  AnsiString inicio = MesDiaAnio(EdFechaInicio->Text);
  AnsiString fin = MesDiaAnio(EdFechaFinal->Text);
  AnsiString orden = chbFecha->Checked ? " order by fecha" : " order by descDocu, numeDocu";
  bool todos = CBDocumentos->ItemIndex <= 0;
  AnsiString codigo = TextoSQL(CodigoDeItem(CBDocumentos->Text));
  AnsiString periodo = "Fecha>=\"" + inicio + "\" and Fecha<=\"" + fin + "\"";
  HagaSQL("Contabilidad", Query1,
          "select * from mvtMaestro where " + (todos ? AnsiString() : "Descdocu=" + codigo + " and ") +
              periodo + " and DescDocu is not null" + orden);
  if (Query1->IsEmpty()) {
    LblT->Caption = "0";
    LblResult->Caption = "No hay información para mostrar";
    lblSumaCredito->Caption = "0";
    lblSumaDebito->Caption = "0";
    Panel1->Visible = false;
    return;
  }
  BtnInforme->Enabled = true;
  LblResult->Caption = "";
  LblT->Caption = IntToStr(Query1->RecordCount);

  AnsiString sumas = "select Sum(debito) as sumDebito, sum(credito) as sumCredito from mvt where ";
  if (todos)
    sumas += "(" + periodo + " ) or fecha is null";
  else
    sumas += "DescDocu=" + codigo + " and ((" + periodo + ") or fecha is null)";
  HagaSQL("Contabilidad", Query2, sumas);
  double debitos = Query2->FieldByName("sumDebito")->AsFloat;
  double creditos = Query2->FieldByName("sumCredito")->AsFloat;
  lblSumaDebito->Caption = Punto(debitos, 2);
  lblSumaCredito->Caption = Punto(creditos, 2);
  if (std::fabs(debitos - creditos) > kRuidoSuma) {
    Panel1->Visible = true;
    lblSumasDesiguales->Caption = AnsiString("SUMAS DESIGUALES EN:") + Punto(debitos - creditos, 2);
  } else {
    Panel1->Visible = false;
  }
  // Un documento con un solo lado (la otra suma nula) también está descuadrado.
  HagaSQL("Contabilidad", Query2,
          "select descdocu, numedocu, sum(debito) as debito, sum(credito) as credito from mvt "
          "group by descdocu, numedocu having "
          "abs(coalesce(sum(debito),0)-coalesce(sum(credito),0))>0.1");
}

void TFrmInfComp::DBGrid1DrawColumnCell(TObject*, const TRect& Rect, int DataCol, TColumn* Column,
                                        TGridDrawState State) {
  TCanvas* c = DBGrid1->Canvas.get();
  // Redondeo a entero con las mitades al par: 0.5 no marca, 0.6 sí.
  if (std::nearbyint(Query1->FieldByName("descuadre")->AsFloat) != 0) {
    c->Brush->Color = clRed;
    c->Font->Color = clWindowText;
    DBGrid1->DefaultDrawColumnCell(Rect, DataCol, Column, State);
  }
  TField* f = Column->Field();
  if (DataCol == 4 && f) DibujarMonto(DBGrid1, Rect, f->IsNull ? AnsiString() : AnsiString(Punto(f->AsFloat, 2)));
}

void TFrmInfComp::BtnInformeClick(TObject*) {
  FrmRepInfComp = new TFrmRepInfComp(this, 2);
  std::unique_ptr<TFrmRepInfComp> f(FrmRepInfComp);
  f->ICuenta->Caption = "Tipo de Documento";
  f->NCuenta->Caption = CBDocumentos->Text;
  f->FInicio->Caption = EdFechaInicio->Text;
  f->FFinal->Caption = EdFechaFinal->Text;
  f->L2->Caption = "Documento";
  f->L3->Caption = "Numero de Documento";
  f->LComprobantes->Caption = lblSumaDebito->Caption;
  f->QuickRep1->Preview();
  FrmRepInfComp = nullptr;
}

void TFrmInfComp::EdFechaInicioKeyDown(TObject*, Word& Key) {
  if (Key == VK_F1) AbrirPaginaAyuda("inf_documentos.htm");
}
