#include "ledger/FrmAsientos.h"

#include <cmath>
#include <memory>

#include "app/DataModule.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "ledger/DialogosAsiento.h"
#include "ledger/FrmSelColorAsientos.h"
#include "ledger/VersionDocumento.h"
#include "platform/db/DBTables.h"
#include "platform/db/PrivateTable.h"
#include "platform/db/sql/Translator.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/os/Launch.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/general/BdeUtil.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

#include "ledger/FrmNuevaCuenta.h"
#include "ledger/FrmModifCuenta.h"
#include "ledger/FrmNuevoTercero.h"

TFrmAsientos* FrmAsientos = nullptr;

namespace {

const char* const kMeses[] = {"01:ENERO",     "02:FEBRERO", "03:MARZO",      "04:ABRIL",
                              "05:MAYO",      "06:JUNIO",   "07:JULIO",      "08:AGOSTO",
                              "09:SEPTIEMBRE", "10:OCTUBRE", "11:NOVIEMBRE", "12:DICIEMBRE"};

// La rejilla del editor recibe Enter: agrega líneas y pasa de columna en vez de pulsar el
// botón por defecto.
class TRejillaAsientos : public TDBGrid {
 public:
  using TDBGrid::TDBGrid;
  bool WantsKey(Word key, TShiftState shift) const override {
    return key == VK_RETURN || TDBGrid::WantsKey(key, shift);
  }
};

TLabel* Etiqueta(TWinControl* padre, const char* nombre, const char* texto) {
  auto* l = Make<TLabel>(padre, nombre);
  l->Caption = texto;
  return l;
}

TBitBtn* Boton(TWinControl* padre, const char* nombre, const char* texto, const char* ayuda) {
  auto* b = Make<TBitBtn>(padre, nombre);
  b->Caption = texto;
  b->Hint = ayuda;
  b->ShowHint = *ayuda != 0;
  return b;
}

TColumn* Columna(TDBGrid* g, const char* campo, const char* titulo, int ancho) {
  TColumn* c = g->Columns->Add();
  c->FieldName = campo;
  c->Title->Caption = titulo;
  c->Width = ancho;
  return c;
}

bool Vacio(TField* f) { return f->IsNull || f->AsString().IsEmpty(); }

}  // namespace

TFrmAsientos::TFrmAsientos(TComponent* Owner) : TForm(Owner) {
  Name = "FrmAsientos";
  Caption = "Asientos";
  Position = poScreenCenter;
  ClientWidth = 800;
  ClientHeight = 580;
  KeyPreview = false;

  // Documento.
  Panel4 = Make<TPanel>(this, "Panel4");
  Panel4->Align = alTop;
  Panel4->Height = 40;
  Label1 = Etiqueta(Panel4, "Label1", "Documento");
  Label1->SetBounds(8, 12, 70, 20);
  CBDocumentos = Make<TComboBox>(Panel4, "CBDocumentos");
  CBDocumentos->Sorted = true;
  CBDocumentos->DropDownCount = 15;
  CBDocumentos->Hint = "Seleccione el tipo de documento para el Asiento o digite su código";
  CBDocumentos->ShowHint = true;
  CBDocumentos->SetBounds(80, 8, 200, 24);
  BitBtn1 = Boton(Panel4, "BitBtn1", "...", "Especificar datos de búsqueda");
  BitBtn1->SetBounds(284, 8, 28, 24);
  Label2 = Etiqueta(Panel4, "Label2", "Numero:");
  Label2->SetBounds(322, 12, 56, 20);
  EdNumDoc = Make<TEdit>(Panel4, "EdNumDoc");
  EdNumDoc->Hint = "Puede ser alfanumérico";
  EdNumDoc->ShowHint = true;
  EdNumDoc->SetBounds(380, 8, 90, 24);
  // El número no puede ser más largo que el del encabezado.
  EdNumDoc->MaxLength = AnchoCampo("mvtMaestro", "numedocu");
  Label3 = Etiqueta(Panel4, "Label3", "Dia:");
  Label3->SetBounds(478, 12, 30, 20);
  EdDia = Make<TEdit>(Panel4, "EdDia");
  EdDia->Hint = "Ingrese el dia con el cual registrará el Asiento";
  EdDia->ShowHint = true;
  EdDia->SetBounds(510, 8, 36, 24);
  CBMes = Make<TComboBox>(Panel4, "CBMes");
  CBMes->Style = csDropDownList;
  CBMes->Hint = "Seleccione el mes con el cual registrará el Asiento";
  CBMes->ShowHint = true;
  CBMes->SetBounds(552, 8, 140, 24);
  for (const char* m : kMeses) CBMes->Items->Add(m);
  Label4 = Etiqueta(Panel4, "Label4", "de");
  Label4->SetBounds(698, 12, 20, 20);
  Anio = Make<TEdit>(Panel4, "Anio");
  Anio->SetBounds(722, 8, 64, 24);

  // Órdenes de pago.
  Panel6 = Make<TPanel>(this, "Panel6");
  Panel6->Align = alTop;
  Panel6->Height = 36;
  TEdit** cajas[5] = {&edOP1, &edOP2, &edOP3, &edOP4, &edOP5};
  TBitBtn** botones[5] = {&BitBtnRegPPtal1, &BitBtnRegPPtal2, &BitBtnRegPPtal3, &BitBtnRegPPtal4,
                          &BitBtnRegPPtal5};
  for (int i = 0; i < 5; ++i) {
    AnsiString n(i + 1);
    LblOP[i] = Make<TLabel>(Panel6, "LblOP" + n);
    LblOP[i]->Caption = "OP" + n + ":";
    LblOP[i]->SetBounds(8 + i * 156, 10, 34, 20);
    *cajas[i] = Make<TEdit>(Panel6, "edOP" + n);
    (*cajas[i])->ReadOnly = true;
    (*cajas[i])->SetBounds(44 + i * 156, 6, 78, 24);
    *botones[i] = Make<TBitBtn>(Panel6, "BitBtnRegPPtal" + n);
    (*botones[i])->Caption = "...";
    (*botones[i])->SetBounds(124 + i * 156, 6, 28, 24);
    (*botones[i])->Hint = "Especificar datos de búsqueda";
    (*botones[i])->ShowHint = true;
    (*botones[i])->Enabled = i == 0;
  }
  Panel7 = Make<TPanel>(this, "Panel7");
  Panel7->Align = alTop;
  Panel7->Height = 36;
  BtnTraerCrear = Make<TButton>(Panel7, "BtnTraerCrear");
  BtnTraerCrear->Caption = "Traer o Crear";
  BtnTraerCrear->Default = true;
  BtnTraerCrear->Hint = "Si el documento existe lo trae, si no lo crea";
  BtnTraerCrear->ShowHint = true;
  BtnTraerCrear->SetBounds(8, 4, 140, 28);

  // Nombres de la línea actual.
  Panel5 = Make<TPanel>(this, "Panel5");
  Panel5->Align = alTop;
  Panel5->Height = 68;
  auto negrita = [](TLabel* l) { l->Font->Style = TFontStyles{fsBold}; };
  auto valor = [](TLabel* l) {
    l->Font->Color = clBlue;
    l->Caption = "*";
  };
  Label5 = Etiqueta(Panel5, "Label5", "Cuenta:");
  negrita(Label5);
  LblNCuenta = Make<TLabel>(Panel5, "LblNCuenta");
  valor(LblNCuenta);
  Label6 = Etiqueta(Panel5, "Label6", "Tercero:");
  negrita(Label6);
  LblNTercero = Make<TLabel>(Panel5, "LblNTercero");
  valor(LblNTercero);
  Label7 = Etiqueta(Panel5, "Label7", "C. Costo:");
  negrita(Label7);
  LblNCCost = Make<TLabel>(Panel5, "LblNCCost");
  valor(LblNCCost);
  Label8 = Etiqueta(Panel5, "Label8", "Comprobante:");
  negrita(Label8);
  LblNSoporte = Make<TLabel>(Panel5, "LblNSoporte");
  valor(LblNSoporte);
  Label9 = Etiqueta(Panel5, "Label9", "kardex:");
  negrita(Label9);
  LblKardex = Make<TLabel>(Panel5, "LblKardex");
  valor(LblKardex);
  lblNRubro = Make<TLabel>(Panel5, "lblNRubro");
  valor(lblNRubro);
  chbEstricto = Make<TCheckBox>(Panel5, "chbEstricto");
  chbEstricto->Caption = "Mostrar advertencias";
  chbEstricto->Checked = true;
  ChBDetalle = Make<TCheckBox>(Panel5, "ChBDetalle");
  ChBDetalle->Caption = "Incluir detalle general";
  Label15 = Etiqueta(Panel5, "Label15", "Símbolo decimal del sistema:");
  Label16 = Etiqueta(Panel5, "Label16", "Punto");
  struct Sitio {
    TControl* c;
    int x, y, w;
  };
  for (Sitio p : {Sitio{Label5, 8, 6, 90}, Sitio{LblNCuenta, 100, 6, 250}, Sitio{Label6, 360, 6, 100},
                  Sitio{LblNTercero, 462, 6, 170}, Sitio{Label7, 8, 26, 90}, Sitio{LblNCCost, 100, 26, 250},
                  Sitio{Label8, 360, 26, 100}, Sitio{LblNSoporte, 462, 26, 170}, Sitio{Label9, 8, 46, 90},
                  Sitio{LblKardex, 100, 46, 120}, Sitio{lblNRubro, 230, 46, 120},
                  Sitio{Label15, 360, 46, 200}, Sitio{Label16, 562, 46, 60},
                  Sitio{chbEstricto, 640, 4, 156}, Sitio{ChBDetalle, 640, 24, 156}})
    p.c->SetBounds(p.x, p.y, p.w, 20);
  // Un nombre largo se corta con puntos suspensivos: el encabezado no se ensancha.
  for (TLabel* l : {LblNCuenta, LblNTercero, LblNCCost, LblNSoporte, LblKardex, lblNRubro}) {
    l->AutoSize = false;
    l->EllipsisPosition = epEndEllipsis;
  }

  // Rejilla sobre la tabla de trabajo.
  TblAsiento = Make<TTable>(this, "TblAsiento");
  TblAsiento->DatabaseName = "Contabilidad";
  TblAsiento->TableName = "asientos.DB";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = TblAsiento;
  dsPlanPpto = Make<TDataSource>(this, "dsPlanPpto");
  dsOrdenPago = Make<TDataSource>(this, "dsOrdenPago");
  dsMaestro = Make<TDataSource>(this, "dsMaestro");
  Query1 = Make<TQuery>(this, "Query1");

  DBGrid1 = Make<TRejillaAsientos>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->DefaultDrawing = false;
  DBGrid1->DataSource = DataSource1;
  Columna(DBGrid1, "NUMECUEN", "Código cuenta", 79);
  Columna(DBGrid1, "CEDULANIT", "Cédula o NIT", 74);
  Columna(DBGrid1, "DETALLE", "Detalle", 235);
  Columna(DBGrid1, "CENTCOST", "C. Costo", 56);
  Columna(DBGrid1, "DESCCOMP", "Sop", 35)->Title->Alignment = taCenter;
  Columna(DBGrid1, "NUMECOMP", "Num Sop", 60)->Title->Alignment = taCenter;
  TColumn* deb = Columna(DBGrid1, "DEBITO", "Débito", 99);
  deb->Alignment = taRightJustify;
  deb->Font->Color = clNavy;
  TColumn* cre = Columna(DBGrid1, "CREDITO", "Crédito", 100);
  cre->Alignment = taRightJustify;
  cre->Font->Color = clRed;

  // Botones.
  Panel3 = Make<TPanel>(this, "Panel3");
  Panel3->Align = alBottom;
  Panel3->Height = 40;
  BtnNuevaCuenta = Boton(Panel3, "BtnNuevaCuenta", "Nueva Cuenta", "Crear una nueva Cuenta");
  BtnActCuenta = Boton(Panel3, "BtnActCuenta", "Act. Cuenta", "Actualizar Datos referentes a una Cuenta");
  BtnActTercero =
      Boton(Panel3, "BtnActTercero", "Act. Tercero", "Actualizar Datos referentes a un Tercero");
  BtnCambiarColor = Boton(Panel3, "BtnCambiarColor", "Colores", "Cambiar colores de trabajo");
  BtnGrabar = Boton(Panel3, "BtnGrabar", "&Grabar", "Registrar el Asiento");
  BtnSalir = Boton(Panel3, "BtnSalir", "&Salir", "");
  BtnSalir->Cancel = true;
  int x = 8;
  for (TBitBtn* bt : {BtnNuevaCuenta, BtnActCuenta, BtnActTercero, BtnCambiarColor, BtnGrabar, BtnSalir}) {
    bt->SetBounds(x, 6, 120, 28);
    x += 130;
  }

  // Totales.
  Panel2 = Make<TPanel>(this, "Panel2");
  Panel2->Align = alBottom;
  Panel2->Height = 30;
  Label10 = Etiqueta(Panel2, "Label10", "Debito:");
  LblDebito = Etiqueta(Panel2, "LblDebito", "0");
  LblDebito->Font->Color = clBlue;
  Label11 = Etiqueta(Panel2, "Label11", "Credito:");
  LblCredito = Etiqueta(Panel2, "LblCredito", "0");
  LblCredito->Font->Color = clRed;
  Label12 = Etiqueta(Panel2, "Label12", "Diferencia:");
  LblDiferencia = Etiqueta(Panel2, "LblDiferencia", "0");
  for (TLabel* l : {LblDebito, LblCredito, LblDiferencia}) {
    l->Alignment = taRightJustify;
    l->AutoSize = false;
  }
  Label10->SetBounds(8, 6, 60, 18);
  LblDebito->SetBounds(70, 6, 130, 18);
  Label11->SetBounds(220, 6, 60, 18);
  LblCredito->SetBounds(282, 6, 130, 18);
  Label12->SetBounds(432, 6, 80, 18);
  LblDiferencia->SetBounds(514, 6, 130, 18);

  // Teclas.
  Panel1 = Make<TPanel>(this, "Panel1");
  Panel1->Align = alBottom;
  Panel1->Height = 26;
  Panel1->Font->Style = TFontStyles{fsBold};
  Panel1->Font->Color = clBlue;
  Panel1->Hint = "Teclas  para mostrar datos durante el proseso del Asiento";
  Panel1->ShowHint = true;
  Panel1->Caption =
      "F2:Cuentas    F3:Terceros    F4:Cento Costos    F5:Soportes    F6:Kárdex   F9:Copiar    "
      "Ctrl+N:Nuevo    Ctrl+B:Borrar    F7:Rubros";

  // Eventos.
  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  auto teclas = [this](TObject* s, Word& k, TShiftState sh) { FormKeyDown(s, k, sh); };
  OnKeyDown = teclas;
  CBDocumentos->OnKeyDown = teclas;
  EdNumDoc->OnKeyDown = teclas;
  EdDia->OnKeyDown = teclas;
  CBMes->OnKeyDown = teclas;
  CBDocumentos->OnExit = [this](TObject* s) { CBDocumentosExit(s); };
  EdNumDoc->OnExit = [this](TObject* s) { EdNumDocExit(s); };
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  for (int i = 0; i < 5; ++i) BotonOP(i)->OnClick = [this](TObject* s) { BitBtnRegPPtal1Click(s); };
  BtnTraerCrear->OnClick = [this](TObject* s) { BtnTraerCrearClick(s); };
  DBGrid1->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { DBGrid1KeyDown(s, k, sh); };
  DBGrid1->OnColExit = [this](TObject* s) { DBGrid1ColExit(s); };
  DBGrid1->OnDrawColumnCell = [this](TObject* s, const TRect& r, int c, TColumn* col, TGridDrawState st) {
    DBGrid1DrawColumnCell(s, r, c, col, st);
  };
  TblAsiento->BeforePost = [this](TDataSet* d) { TblAsientoBeforePost(d); };
  TblAsiento->AfterPost = [this](TDataSet*) { lineasSinGrabar_ = true; };
  TblAsiento->AfterDelete = [this](TDataSet*) { lineasSinGrabar_ = true; };
  DataSource1->OnDataChange = [this](TObject* s, TField* f) { DataSource1DataChange(s, f); };
  BtnNuevaCuenta->OnClick = [this](TObject* s) { BtnNuevaCuentaClick(s); };
  BtnActCuenta->OnClick = [this](TObject* s) { BtnActCuentaClick(s); };
  BtnActTercero->OnClick = [this](TObject* s) { BtnActTerceroClick(s); };
  BtnCambiarColor->OnClick = [this](TObject* s) { BtnCambiarColorClick(s); };
  BtnGrabar->OnClick = [this](TObject* s) { BtnGrabarClick(s); };
  BtnSalir->OnClick = [this](TObject* s) { BtnSalirClick(s); };

  // 1. Tipos de documento; el combo queda sin texto.
  FillCBFromTbl(CBDocumentos, DM->TblDocumentos, "CodiDocu", "NombDocu");
  if (CBDocumentos->Items->Count() > 0) CBDocumentos->ItemIndex = 0;
  CBDocumentos->Text = "";
  // 2. Filas a medio hacer de una sesión anterior. Las líneas de trabajo son de este puesto.
  TablaDeTrabajoPropia();
  HagaSQL("Contabilidad", Query1, "delete  from asientos where numecuen is null or descdocu is null");
  // 3. Fondo de la rejilla.
  DBGrid1->Color = kColorFondoAsientos;
  // 4. Pantalla de 640 puntos.
  if (Screen->Width == 640) {
    for (TControl* c : std::initializer_list<TControl*>{Panel5, Panel2, Panel1, Panel3, DBGrid1})
      c->Width = c->Width - 160;
    DBGrid1->Height = DBGrid1->Height + 120;
    DBGrid1->Columns->Items[2]->Width = 100;
    for (TControl* c : std::initializer_list<TControl*>{Panel2, Panel1, Panel3}) c->Top = c->Top - 120;
  }
  // 5.
  dsPlanPpto->DataSet = DM->tblPlanPpto;
  dsOrdenPago->DataSet = DM->tblMvtOrdenPago;
  dsMaestro->DataSet = DM->tblMvtMaestro;
  CambioCuenta = false;
  exigePpto = false;
  esIngreso = false;
  ActiveControl = CBDocumentos;
}

TFrmAsientos::~TFrmAsientos() {
  if (FrmAsientos == this) FrmAsientos = nullptr;
}

TEdit* TFrmAsientos::CajaOP(int i) const {
  TEdit* const c[5] = {edOP1, edOP2, edOP3, edOP4, edOP5};
  return c[i];
}

TBitBtn* TFrmAsientos::BotonOP(int i) const {
  TBitBtn* const b[5] = {BitBtnRegPPtal1, BitBtnRegPPtal2, BitBtnRegPPtal3, BitBtnRegPPtal4,
                         BitBtnRegPPtal5};
  return b[i];
}

// ---- activación, teclas del formulario y ayuda --------------------------------------------

void TFrmAsientos::FormActivate(TObject*) {
  if (Application->MainForm)
    if (auto* barra = dynamic_cast<TStatusBar*>(Application->MainForm->FindControl("StatusBar1")))
      Caption = barra->SimpleText;
  TTable* cfg = DM->TblConfig;
  if (cfg->Active && !cfg->IsEmpty()) {
    AutoRetIva = cfg->FieldByName("RETEIVA")->AsString;
    AutoRetFue = cfg->FieldByName("RETEFUENTE")->AsString;
  }
  Label16->Caption = DecimalSeparator == ',' ? "Coma" : "Punto";
}

void TFrmAsientos::FormClose(TObject*, TCloseAction&) {
  if (TblAsiento->Active) {
    if (TblAsiento->State == dsEdit || TblAsiento->State == dsInsert) TblAsiento->Post();
    TblAsiento->Close();
  }
}

void TFrmAsientos::AbrirAyuda() {
  AnsiString error;
  AnsiString ruta = PathOrigen + "/help/asientoModificar.html";
  if (!tv::os::OpenHelpPage(ruta, AnsiString(), &error))
    ShowMessage("No se pudo abrir la ayuda " + ruta + ": " + error);
}

void TFrmAsientos::FormKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key == VK_F1) {
    AbrirAyuda();
    Key = 0;
  }
}

// ---- tipo y número del documento ------------------------------------------------------------

AnsiString TFrmAsientos::CodigoDeCombo() const {
  AnsiString texto = CBDocumentos->Text;
  if (texto.Pos(":") > 0) return ExtractString(texto, ':', true);
  return texto.UpperCase();
}

void TFrmAsientos::CBDocumentosExit(TObject*) {
  Comp = CodigoDeCombo();
  TTable* dg = DM->TblDocumentos;
  if (!Comp.IsEmpty() && dg->Locate("CodiDocu", Variant(Comp))) {
    esIngreso = dg->FieldByName("esIngreso")->AsString == "S";
    if (dg->FieldByName("ExigeMvtPptal")->AsString == "S") {
      exigePpto = true;
      Panel6->Visible = !esIngreso;
    } else {
      exigePpto = false;
      Panel4->Height = Panel5->Height;
      Panel6->Visible = false;
    }
  } else if (!Comp.IsEmpty()) {
    ShowMessage("No encuentro el comprobante!");
  }
}

void TFrmAsientos::EdNumDocExit(TObject*) {
  BtnTraerCrear->Default = true;
  BtnGrabar->Default = false;
}

void TFrmAsientos::Buscar(TDataSource* ds, const char* cap1, const char* cap2, const char* campo1,
                          const char* campo2, bool mover, const AnsiString& filtro, AnsiString& c1,
                          AnsiString& c2) {
  FrmBuscTabla = new TFrmBuscTabla(this, ds, cap1, cap2, campo1, campo2, mover, filtro);
  std::unique_ptr<TFrmBuscTabla> f(FrmBuscTabla);
  f->ShowModal();
  c1 = f->GetContenido1();
  c2 = f->GetContenido2();
}

void TFrmAsientos::BitBtn1Click(TObject*) {
  AnsiString tipo, numero;
  Buscar(dsMaestro, "Documento", "Número", "descDocu", "numeDocu", false, "", tipo, numero);
  CBDocumentos->Text = tipo;
  EdNumDoc->Text = numero;
  EdNumDoc->SetFocus();
}

void TFrmAsientos::BitBtnRegPPtal1Click(TObject* Sender) {
  int i = 0;
  while (i < 5 && BotonOP(i) != Sender) ++i;
  if (i == 5) return;
  AnsiString numero, fecha;
  Buscar(dsOrdenPago, "Número", "Fecha", "iop", "fechaExped", false, "", numero, fecha);
  CajaOP(i)->Text = numero;
  // La orden escogida pertenece al documento que se va a traer o grabar.
  opElegida_[i] = true;
  if (i < 4) BotonOP(i + 1)->Enabled = true;
}

// ---- traer o crear ----------------------------------------------------------------------------

void TFrmAsientos::BtnTraerCrearClick(TObject*) {
  AnsiString msg;
  int dia = 0;
  if (EdNumDoc->Text.get().IsEmpty()) msg += "Debe digitar un Numero de Comprobante\n";
  if (EdDia->Text.get().IsEmpty())
    msg += "Debe digitar un Día\n";
  else
    dia = StrToInt(EdDia->Text);
  Comp = CodigoDeCombo();
  TTable* dg = DM->TblDocumentos;
  bool tipoValido = Comp.Length() <= 3 && !Comp.IsEmpty() && dg->Locate("CodiDocu", Variant(Comp));
  if (!tipoValido) {
    msg += "Tipo de  Comprobante inválido\n";
  } else {
    esIngreso = dg->FieldByName("esIngreso")->AsString == "S";
    exigePpto = dg->FieldByName("ExigeMvtPptal")->AsString == "S";
    HagaSQL("Contabilidad", Query1,
            "select numecuen from mvt where descdocu=" + TextoSQL(Comp) +
                " and numedocu=" + TextoSQL(EdNumDoc->Text));
    bool nuevo = Query1->IsEmpty();
    Query1->Close();
    bool sinOP = true;
    for (int i = 0; i < 5; ++i) sinOP = sinOP && CajaOP(i)->Text.get().IsEmpty();
    if (nuevo && exigePpto && !esIngreso && sinOP)
      msg += "Este comprobante requiere certificado de disponibilidad.\n";
    // Columna del rubro para ingresos con presupuesto, una sola vez.
    if (exigePpto && esIngreso && !conRubro_) {
      conRubro_ = true;
      DBGrid1->Columns->Add()->FieldName = "rubro";
      DBGrid1->Width = DBGrid1->Width + 60;
      Width = Width + 60;
      ClientWidth = ClientWidth + 60;
    }
  }
  int anio = StrToInt(Anio->Text);
  int mes = StrToInt(ExtractString(CBMes->Text, ':', true));
  if (!EdDia->Text.get().IsEmpty()) ValidarFecha(anio, mes, dia, msg);
  if (!msg.IsEmpty()) {
    ShowMessage(msg);
    CBDocumentos->Text = msg.Pos("Tipo de  Comprobante inválido") > 0 ? Docu : Comp;
    return;
  }

  // Traer otro documento no borra sin preguntar lo que se escribió y no se ha grabado (traer
  // de nuevo el mismo es volver a lo guardado, como pide el aviso de otro puesto).
  if (lineasSinGrabar_ && !(Comp == Docu && EdNumDoc->Text.get() == NumDoc) && TblAsiento->Active && (!TblAsiento->IsEmpty() || TblAsiento->State == dsInsert) &&
      Application->MessageBox("Las líneas del comprobante " + Docu + " " + NumDoc +
                                  " no se han grabado. ¿Las descarta?",
                              "Advertencia", MB_YESNO | MB_ICONWARNING) != IDYES) {
    CBDocumentos->Text = Docu;
    EdNumDoc->Text = NumDoc;
    return;
  }
  Docu = Comp;
  CBDocumentos->Text = Comp;
  NumDoc = EdNumDoc->Text;
  if (!TblAsiento->Active) {
    TablaDeTrabajoPropia();
    TblAsiento->Open();
  }
  TblAsiento->Filtered = false;
  LimpiarAsiento();
  // Lo guardado al traer: grabar rehúsa si otro puesto lo cambió entretanto.
  versionAlTraer_ = VersionDeDocumento(Docu, NumDoc);
  encabezadoAlTraer_ = ExisteEncabezado(Docu, NumDoc);
  HagaSQL("Contabilidad", Query1,
          "select * from mvt where descdocu=" + TextoSQL(Docu) + " and numedocu=" + TextoSQL(NumDoc));
  FechaOriginal = TDateTime(0.0);
  nuevoAlTraer_ = Query1->IsEmpty() && !encabezadoAlTraer_;
  if (!Query1->IsEmpty()) {
    if (!Permisos.GetPermisoModificar()) {
      Query1->Close();
      Application->MessageBox("No tiene permisos para modificar asientos.", "Error", MB_OK | MB_ICONSTOP);
      // Ningún documento queda en mano: grabar no puede reemplazar el documento negado.
      SoltarDocumento();
      return;
    }
    Query1->First();
    FechaOriginal = Query1->FieldByName("Fecha")->AsDateTime;
    unsigned short a, m, d;
    DecodeDate(FechaOriginal, a, m, d);
    EdDia->Text = AnsiString(static_cast<int>(d));
    CBMes->ItemIndex = m - 1;
    if (!TblAsiento->IsEmpty()) {
      TblAsiento->Filter = "descdocu=" + TextoSQL(Docu) + " and numedocu=" + TextoSQL(NumDoc) +
                           " or descdocu=''";
      TblAsiento->Filtered = true;
    }
    TblAsiento->DisableControls();
    try {
      tv::db::Transaction tx(TblAsiento->DatabaseName);
      for (; !Query1->Eof; Query1->Next()) {
        TblAsiento->Append();
        auto copia = [&](const char* campo) {
          TblAsiento->FieldByName(campo)->AsString = Query1->FieldByName(campo)->AsString;
        };
        auto numero = [&](const char* campo) {
          TField* f = Query1->FieldByName(campo);
          if (f->IsNull) TblAsiento->FieldByName(campo)->Clear();
          else TblAsiento->FieldByName(campo)->AsFloat = f->AsFloat;
        };
        for (const char* c : {"numecuen", "cedulanit", "detalle", "centcost", "desccomp", "numecomp"})
          copia(c);
        numero("debito");
        numero("credito");
        copia("DESCDOCU");
        copia("NUMEDOCU");
        numero("Cantidad");
        copia("rubro");
        TblAsiento->FieldByName("check")->AsBoolean = true;
        TblAsiento->FieldByName("checktercero")->AsBoolean = true;
        TblAsiento->Post();
      }
      tx.Commit();
    } catch (...) {
      TblAsiento->EnableControls();
      Query1->Close();
      throw;
    }
    TblAsiento->EnableControls();
  }
  Query1->Close();
  // 13. Cada documento empieza en la primera columna, no donde quedó el anterior.
  DBGrid1->SelectedIndex = 0;
  if (DBGrid1->CanFocus()) DBGrid1->SetFocus();
  BtnGrabar->Default = true;
  BtnTraerCrear->Default = false;
  TblAsiento->First();
  CambioCuenta = false;
  lineasSinGrabar_ = false;
  // 14. Órdenes de pago del encabezado; sin encabezado solo quedan las escogidas ahora.
  CompDlle = Comp;
  TTable* maestro = DM->tblMvtMaestro;
  if (maestro->Locate("descdocu;numedocu", VarArrayOf({Variant(Docu), Variant(NumDoc)}))) {
    for (int i = 0; i < 5; ++i) {
      TField* f = maestro->FieldByName("OP" + AnsiString(i + 1));
      CajaOP(i)->Text = f->IsNull ? AnsiString() : f->AsString();
      if (i < 4 && !CajaOP(i)->Text.get().IsEmpty()) BotonOP(i + 1)->Enabled = true;
    }
  } else {
    for (int i = 0; i < 5; ++i)
      if (!opElegida_[i]) CajaOP(i)->Text = "";
    for (int i = 1; i < 5; ++i) BotonOP(i)->Enabled = opElegida_[i - 1];
  }
  for (bool& e : opElegida_) e = false;
  // 15.
  if (ChBDetalle->Checked) {
    FrmDetalle = new TFrmDetalle(this);
    std::unique_ptr<TFrmDetalle> f(FrmDetalle);
    f->Comp = Comp;
    f->ShowModal();
  }
}

void TFrmAsientos::SoltarDocumento() {
  Docu = "";
  NumDoc = "";
  if (TblAsiento->Active) TblAsiento->Close();
}

void TFrmAsientos::TablaDeTrabajoPropia() {
  // Cada puesto tiene sus propias líneas de trabajo: nadie más las ve, las borra ni las graba.
  tv::db::UsePrivateTable("Contabilidad", "asientos");
}

void TFrmAsientos::EscrituraPropia(const AnsiString& tipo, const AnsiString& numero, long long antes,
                                   long long despues) {
  if (tipo == Docu && numero == NumDoc && antes == versionAlTraer_) versionAlTraer_ = despues;
}

bool TFrmAsientos::ExisteEncabezado(const AnsiString& tipo, const AnsiString& numero) {
  HagaSQL("Contabilidad", Query1,
          "select descdocu from mvtMaestro where descdocu=" + TextoSQL(tipo) + " and numedocu=" + TextoSQL(numero));
  bool existe = !Query1->IsEmpty();
  Query1->Close();
  return existe;
}

void TFrmAsientos::LimpiarAsiento() {
  if (!TblAsiento->Active) return;
  if (TblAsiento->State == dsEdit || TblAsiento->State == dsInsert) TblAsiento->Cancel();
  if (!TblAsiento->Filtered) {
    // La tabla de trabajo es solo de este puesto: se vacía de una vez.
    HagaSQL("Contabilidad", Query1, "delete  from asientos");
    TblAsiento->Refresh();
    return;
  }
  TblAsiento->DisableControls();
  try {
    tv::db::Transaction tx(TblAsiento->DatabaseName);
    TblAsiento->First();
    while (!TblAsiento->IsEmpty() && !TblAsiento->Eof) TblAsiento->Delete();
    tx.Commit();
  } catch (...) {
    TblAsiento->EnableControls();
    throw;
  }
  TblAsiento->EnableControls();
}

// ---- rejilla -----------------------------------------------------------------------------------

void TFrmAsientos::EscribirLinea(const char* campo, const AnsiString& valor) {
  if (TblAsiento->State != dsEdit && TblAsiento->State != dsInsert) {
    if (TblAsiento->IsEmpty()) TblAsiento->Append();
    else TblAsiento->Edit();
  }
  TblAsiento->FieldByName(campo)->AsString = valor;
  TblAsiento->Post();
}

void TFrmAsientos::Busqueda(Word key) {
  struct Caso {
    Word tecla;
    TDataSource* ds;
    const char *cap1, *cap2, *campo1, *campo2, *linea;
    TLabel* etiqueta;
    bool mover;
    const char* filtro;
  };
  const Caso casos[] = {
      {VK_F2, DM->DSPlan, "Código", "Cuenta", "NumeCuen", "NombCuen", "numecuen", LblNCuenta, false, ""},
      {VK_F3, DM->DSTerceros, "Cedula", "Nombre", "CedulaNit", "Nombre", "cedulanit", LblNTercero, false, ""},
      {VK_F4, DM->DSCCostos, "C. Costos", "Descripción", "codicent", "Nombcent", "centcost", LblNCCost, false, ""},
      {VK_F5, DM->DSSoportes, "Comprobante", "Descripcion", "codiComp", "nombComp", "DescComp", LblNSoporte, false, ""},
      {VK_F7, dsPlanPpto, "Código", "Cuenta", "iCuenta", "nCuenta", "rubro", lblNRubro, true, "TipoCuenta='I'"},
  };
  for (const Caso& c : casos) {
    if (c.tecla != key) continue;
    AnsiString c1, c2;
    Buscar(c.ds, c.cap1, c.cap2, c.campo1, c.campo2, c.mover, c.filtro, c1, c2);
    // Sin escoger nada también se escribe: la celda y la etiqueta quedan vacías.
    EscribirLinea(c.linea, c1);
    c.etiqueta->Caption = c2;
    return;
  }
}

void TFrmAsientos::PedirCantidad() {
  FrmIngresoCantidad = new TFrmIngresoCantidad(this);
  std::unique_ptr<TFrmIngresoCantidad> f(FrmIngresoCantidad);
  f->LblCuenta->Caption = TblAsiento->FieldByName("NUMECUEN")->AsString;
  f->EdCantidad->Text = FloatToStr(TblAsiento->FieldByName("Cantidad")->AsFloat);
  f->LblUnidades->Caption = unidades_;
  f->ShowModal();
  if (f->Acep) EscribirLinea("CANTIDAD", f->EdCantidad->Text);
}

void TFrmAsientos::CopiarDeArriba() {
  int col = DBGrid1->SelectedIndex;
  auto cols = DBGrid1->DisplayColumns();
  if (col < 0 || col >= static_cast<int>(cols.size()) || col > 8) return;
  TField* campo = cols[static_cast<size_t>(col)]->Field();
  if (!campo || TblAsiento->RecNo <= 1) return;
  TBookmark marca = TblAsiento->GetBookmark();
  TblAsiento->Prior();
  AnsiString valor = col == 6 || col == 7 ? FloatToStr(campo->AsFloat) : campo->AsString();
  TblAsiento->GotoBookmark(marca);
  EscribirLinea(campo->FieldName.c_str(), valor);
}

void TFrmAsientos::DBGrid1KeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
  if (!TblAsiento->Active) {
    if (Key == VK_F1) FormKeyDown(Sender, Key, Shift);
    return;
  }
  int col = DBGrid1->SelectedIndex;
  switch (Key) {
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      DBGrid1ColExit(Sender);
      return;  // la rejilla se mueve después
    case VK_RETURN: {
      int ultima = static_cast<int>(DBGrid1->DisplayColumns().size()) - 1;
      if (col == 7) {
        if (TblAsiento->RecNo == TblAsiento->RecordCount) {
          TblAsiento->Append();
          DBGrid1->SelectedIndex = 0;
        }
      } else if (col < ultima) {
        DBGrid1ColExit(Sender);
        DBGrid1->SelectedIndex = col + 1;
      }
      Key = 0;
      return;
    }
    case VK_F2:
    case VK_F3:
    case VK_F4:
    case VK_F5:
    case VK_F7:
      Busqueda(Key);
      Key = 0;
      return;
    case VK_F6:
      PedirCantidad();
      Key = 0;
      return;
    case VK_F9:
      CopiarDeArriba();
      Key = 0;
      return;
    case VK_F1:
      FormKeyDown(Sender, Key, Shift);
      return;
    default: break;
  }
  if (Shift.Contains(ssCtrl) && (Key == 'N' || Key == 'n')) {
    TblAsiento->Append();
    DBGrid1->SelectedIndex = 0;  // la línea nueva empieza por la cuenta
    Key = 0;
  } else if (Shift.Contains(ssCtrl) && (Key == 'B' || Key == 'b')) {
    if (!TblAsiento->IsEmpty() || TblAsiento->State == dsInsert) {
      if (TblAsiento->State == dsInsert) TblAsiento->Cancel();
      else TblAsiento->Delete();
    }
    Key = 0;
  }
}

void TFrmAsientos::DBGrid1DrawColumnCell(TObject*, const TRect& Rect, int DataCol, TColumn* Column,
                                         TGridDrawState State) {
  if (DataCol == 6 || DataCol == 7) {
    TCanvas* c = DBGrid1->Canvas;
    TRect r{Rect.Left - 1, Rect.Top - 1, Rect.Right + 1, Rect.Bottom + 1};
    c->FillRect(r);
    TField* f = Column->Field();
    AnsiString texto = Punto(f ? f->AsFloat() : 0.0, 2);
    c->TextOut(Rect.Right - c->TextWidth(texto) - 2, Rect.Top + 2, texto);
  } else {
    DBGrid1->DefaultDrawColumnCell(Rect, DataCol, Column, State);
  }
}

void TFrmAsientos::DataSource1DataChange(TObject*, TField* Field) {
  if (!TblAsiento->Active) return;
  if (!Field) {
    Totalice();
    ActualizaLabels();
  } else if (Field->FieldName.UpperCase() == "NUMECUEN" && !Vacio(Field)) {
    CambioCuenta = true;
  } else if (!revisandoMonto_ && (Field->FieldName.UpperCase() == "DEBITO" || Field->FieldName.UpperCase() == "CREDITO") &&
             !Field->IsNull && MontoSumable(Field->AsFloat) && RoundToCents(Field->AsFloat) != Field->AsFloat) {
    // Lo digitado o pegado queda al centavo: la suma, lo grabado y lo impreso ven la misma cifra.
    revisandoMonto_ = true;
    Field->AsFloat = RoundToCents(Field->AsFloat);
    revisandoMonto_ = false;
  } else if (!revisandoMonto_ && (Field->FieldName.UpperCase() == "DEBITO" || Field->FieldName.UpperCase() == "CREDITO") &&
             !Field->IsNull && !MontoSumable(Field->AsFloat)) {
    // Un monto que no se puede sumar con sus centavos no entra a la línea.
    revisandoMonto_ = true;
    Field->Clear();
    revisandoMonto_ = false;
    Application->MessageBox("Línea " + AnsiString(TblAsiento->ActiveRow() + 1) + ": el " +
                                (Field->FieldName.UpperCase() == "DEBITO" ? "débito" : "crédito") +
                                " supera el máximo que el programa puede sumar (" + Punto(kMontoMaximo, 2) + ").",
                            "Aviso", MB_OK | MB_ICONEXCLAMATION);
  }
}

// ---- totales y nombres --------------------------------------------------------------------------

void TFrmAsientos::Totalice() {
  HagaSQL("Contabilidad", Query1,
          "select sum(debito) as debito, sum(credito) as credito         from asientos ");
  Deb = Query1->FieldByName("debito")->AsFloat;
  Cred = Query1->FieldByName("credito")->AsFloat;
  Query1->Close();
  LblDebito->Caption = Punto(Deb, 2);
  LblCredito->Caption = Punto(Cred, 2);
  if (Deb >= Cred) {
    Difer = Deb - Cred;
    LblDiferencia->Font->Color = clBlue;
  } else {
    Difer = Cred - Deb;
    LblDiferencia->Font->Color = clRed;
  }
  LblDiferencia->Caption = Punto(Difer, 2);
}

void TFrmAsientos::ActualizaLabels() {
  unidades_ = "";
  TField* cuenta = TblAsiento->FieldByName("NUMECUEN");
  if (Vacio(cuenta)) {
    LblNCuenta->Caption = "nulo";
  } else {
    CuentaPlan = cuenta->AsString;
    if (DM->TblPlan->Locate("numeCuen", Variant(CuentaPlan))) {
      LblNCuenta->Caption = DM->TblPlan->FieldByName("nombcuen")->AsString;
      unidades_ = DM->TblPlan->FieldByName("unidades")->AsString;
    } else {
      LblNCuenta->Caption = "inexistente";
    }
  }
  TField* tercero = TblAsiento->FieldByName("CEDULANIT");
  if (Vacio(tercero)) {
    LblNTercero->Caption = "nulo";
  } else {
    TerceroPlan = tercero->AsString;
    LblNTercero->Caption = DM->TblTerceros->Locate("cedulanit", Variant(TerceroPlan))
                               ? DM->TblTerceros->FieldByName("nombre")->AsString()
                               : AnsiString("inexistente");
  }
  TField* centro = TblAsiento->FieldByName("CENTCOST");
  if (Vacio(centro)) {
    LblNCCost->Caption = "nulo";
  } else {
    CCostoPlan = centro->AsString;
    LblNCCost->Caption = DM->TblCCostos->Locate("codicent", Variant(CCostoPlan))
                             ? DM->TblCCostos->FieldByName("nombcent")->AsString()
                             : AnsiString("inexistente");
  }
  TField* soporte = TblAsiento->FieldByName("DESCCOMP");
  if (!Vacio(soporte)) {
    ComprobantePlan = soporte->AsString;
    LblNSoporte->Caption = DM->TblSoportes->Locate("codiComp", Variant(ComprobantePlan))
                               ? DM->TblSoportes->FieldByName("nombComp")->AsString()
                               : AnsiString("inexistente");
  }
  TField* rubro = TblAsiento->FieldByName("rubro");
  if (Vacio(rubro)) {
    lblNRubro->Caption = "nulo";
  } else {
    TTable* pp = DM->tblPlanPpto;
    lblNRubro->Caption = pp->Locate("tipoCuenta;icuenta", VarArrayOf({Variant("I"), Variant(rubro->AsString())}))
                             ? pp->FieldByName("ncuenta")->AsString()
                             : AnsiString("inexistente");
  }
  LblKardex->Caption = TblAsiento->FieldByName("Cantidad")->AsString + " " + unidades_;
}

// ---- botones -----------------------------------------------------------------------------------

void TFrmAsientos::BtnNuevaCuentaClick(TObject*) {
  FrmNuevaCuenta = new TFrmNuevaCuenta(this);
  std::unique_ptr<TFrmNuevaCuenta> f(FrmNuevaCuenta);
  f->ShowModal();
}

void TFrmAsientos::BtnActCuentaClick(TObject*) {
  FrmModifCuenta = new TFrmModifCuenta(this);
  std::unique_ptr<TFrmModifCuenta> f(FrmModifCuenta);
  f->ShowModal();
}

void TFrmAsientos::BtnActTerceroClick(TObject*) {
  FrmNuevoTercero = new TFrmNuevoTercero(this);
  std::unique_ptr<TFrmNuevoTercero> f(FrmNuevoTercero);
  f->Modif = 1;
  f->ShowModal();
}

void TFrmAsientos::BtnCambiarColorClick(TObject*) {
  FrmSelColorAsientos = new TFrmSelColorAsientos(this);
  std::unique_ptr<TFrmSelColorAsientos> f(FrmSelColorAsientos);
  f->ColorDialog1->Color = DBGrid1->Color;
  f->ColorDialog2->Color = DBGrid1->Columns->Items[0]->Font->Color;
  f->ColorDialog3->Color = DBGrid1->Columns->Items[6]->Font->Color;
  f->ColorDialog4->Color = DBGrid1->Columns->Items[7]->Font->Color;
  f->PintarMuestra();
  f->ShowModal();
  DBGrid1->Color = f->ColorDialog1->Color;
  for (int i = 0; i <= 5; ++i) DBGrid1->Columns->Items[i]->Font->Color = f->ColorDialog2->Color;
  DBGrid1->Columns->Items[6]->Font->Color = f->ColorDialog3->Color;
  DBGrid1->Columns->Items[7]->Font->Color = f->ColorDialog4->Color;
}

// ---- salir ---------------------------------------------------------------------------------------

bool TFrmAsientos::salir() {
  if (TblAsiento->Active && (!TblAsiento->IsEmpty() || TblAsiento->State == dsInsert)) {
    if (Application->MessageBox("¿Termina sin grabar los cambios hechos ahora?", "Información",
                                MB_YESNO | MB_ICONINFORMATION) != IDYES)
      return false;
  }
  Close();
  return true;
}

void TFrmAsientos::BtnSalirClick(TObject*) { salir(); }
