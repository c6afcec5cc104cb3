#include "ledger/DialogosAsiento.h"

#include <memory>

#include "app/DataModule.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "ledger/FrmAsientos.h"
#include "ledger/VersionDocumento.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/general/Utiles.h"

#include "ledger/FrmNuevoTercero.h"

TFrmPreAsientos* FrmPreAsientos = nullptr;
TFrmTercAsiento* FrmTercAsiento = nullptr;
TFrmCodiVeri* FrmCodiVeri = nullptr;
TFrmIngresoCantidad* FrmIngresoCantidad = nullptr;
TFrmDetalle* FrmDetalle = nullptr;

// ---- periodo ----------------------------------------------------------------------------------

TFrmPreAsientos::TFrmPreAsientos(TComponent* Owner) : TForm(Owner) {
  Name = "FrmPreAsientos";
  Caption = "Asientos";
  BorderStyle = bsDialog;
  Position = poScreenCenter;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Mes";
  EdMes = Make<TComboBox>(this, "EdMes");
  EdMes->Style = csDropDownList;
  for (const char* m : {"Enero", "Febrero", "Marzo", "Abril", "Mayo", "Junio", "Julio", "Agosto",
                        "Septiembre", "Octubre", "Noviembre", "Diciembre"})
    EdMes->Items->Add(m);
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "Año:";
  Label2->Visible = false;
  EdAnio = Make<TMaskEdit>(this, "EdAnio");
  EdAnio->EditMask = "0000;1; ";
  EdAnio->MaxLength = 4;
  EdAnio->Visible = false;
  RadioGroup1 = Make<TRadioGroup>(this, "RadioGroup1");
  RadioGroup1->Caption = "Al Asentar Permitir:";
  RadioGroup1->Items->Add("Solo el mes especificado");
  RadioGroup1->Items->Add("Cualquier Mes del Año");
  RadioGroup1->ItemIndex = 0;
  BtnAceptar = Make<TBitBtn>(this, "BtnAceptar");
  BtnAceptar->Kind = bkOK;
  BtnAceptar->Caption = "Aceptar";
  BitBtn2 = Make<TBitBtn>(this, "BitBtn2");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "Salir";

  OnActivate = [this](TObject* s) { FormActivate(s); };
  RadioGroup1->OnClick = [this](TObject* s) { RadioGroup1Click(s); };
  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };
}

void TFrmPreAsientos::FormActivate(TObject*) {
  EdAnio->Text = AnsiString(static_cast<int>(GetAnioActual()));
  EdMes->ItemIndex = GetMesActual() - 1;
}

void TFrmPreAsientos::RadioGroup1Click(TObject*) {
  bool cualquiera = RadioGroup1->ItemIndex == 1;
  EdMes->Enabled = !cualquiera;
  EdAnio->Enabled = !cualquiera;
}

void TFrmPreAsientos::BtnAceptarClick(TObject*) {
  if (!Permisos.GetPermisoGrabar()) {
    Application->MessageBox("No tiene permisos para grabar asientos.", "Error", MB_OK | MB_ICONSTOP);
    return;
  }
  FrmAsientos = new TFrmAsientos(this);
  std::unique_ptr<TFrmAsientos> f(FrmAsientos);
  f->CBMes->ItemIndex = EdMes->ItemIndex;
  // El año sale siempre de la contabilidad abierta.
  f->Anio->Text = AnsiString(static_cast<int>(anioGlobal));
  if (RadioGroup1->ItemIndex == 0) f->CBMes->Enabled = false;
  f->ShowModal();
}

// ---- tercero que no existe --------------------------------------------------------------------

TFrmTercAsiento::TFrmTercAsiento(TComponent* Owner) : TForm(Owner) {
  Name = "FrmTercAsiento";
  Caption = "Terceros";
  BorderStyle = bsDialog;
  Position = poScreenCenter;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Tercero no Existe .";
  RadioButton1 = Make<TRadioButton>(this, "RadioButton1");
  RadioButton1->Caption = "Desea crearlo ahora";
  RadioButton2 = Make<TRadioButton>(this, "RadioButton2");
  RadioButton2->Caption = "Buscar terceros similares";

  RadioButton1->OnClick = [this](TObject* s) { RadioButton1Click(s); };
  RadioButton2->OnClick = [this](TObject* s) { RadioButton2Click(s); };
  // Sin botones: Esc cierra como la caja de cierre, con el número escrito.
  KeyPreview = true;
  OnKeyDown = [this](TObject*, Word& Key, TShiftState Shift) {
    if (Key != VK_ESCAPE || !Shift.Empty()) return;
    Key = 0;
    Close();
  };
}

void TFrmTercAsiento::RadioButton1Click(TObject*) {
  FrmNuevoTercero = new TFrmNuevoTercero(this);
  {
    std::unique_ptr<TFrmNuevoTercero> f(FrmNuevoTercero);
    f->EdCedula->Text = Terc;
    f->ShowModal();
  }
  Terc = DM->TblTerceros->FieldByName("CedulaNit")->AsString;
  Close();
}

void TFrmTercAsiento::RadioButton2Click(TObject*) {
  FrmBuscTabla = new TFrmBuscTabla(this, DM->DSTerceros, "Cedula", "Nombre", "CedulaNit", "Nombre",
                                   false, "");
  std::unique_ptr<TFrmBuscTabla> f(FrmBuscTabla);
  f->ShowModal();
  Terc = f->GetContenido1();
  f.reset();
  Close();
}

// ---- código de verificación -------------------------------------------------------------------

TFrmCodiVeri::TFrmCodiVeri(TComponent* Owner) : TForm(Owner) {
  Name = "FrmCodiVeri";
  Caption = "Codigo de Verificación Cuenta";
  BorderStyle = bsDialog;
  Position = poScreenCenter;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Cuenta:";
  LblCuenta = Make<TLabel>(this, "LblCuenta");
  LblCuenta->Font->Style = TFontStyles{fsBold};
  LblCuenta->Font->Color = clNavy;
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "Escriba el codigo de verificacion de la Cuenta:";
  EdCodiVeri = Make<TEdit>(this, "EdCodiVeri");
  EdCodiVeri->CharCase = ecUpperCase;
  Label3 = Make<TLabel>(this, "Label3");
  Label3->Caption = "F2:para Buscar codigo       Enter:Para salir";
  Label3->Font->Style = TFontStyles{fsBold};
  Label3->Font->Color = clBlue;

  auto teclas = [this](TObject* s, Word& k, TShiftState sh) { FormKeyDown(s, k, sh); };
  OnKeyDown = teclas;
  EdCodiVeri->OnKeyDown = teclas;
  ActiveControl = EdCodiVeri;
}

void TFrmCodiVeri::FormKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key == VK_F2) {
    FrmBuscTabla = new TFrmBuscTabla(this, DM->DSPlan, "Codigo", "Codi Verif", "numecuen", "codiveri",
                                     false, "");
    std::unique_ptr<TFrmBuscTabla> f(FrmBuscTabla);
    f->ShowModal();
    EdCodiVeri->Text = f->GetContenido2();
    Key = 0;
  } else if (Key == VK_RETURN) {
    result = false;
    AnsiString texto = EdCodiVeri->Text;
    if (texto.IsEmpty()) {
      ShowMessage("Digite El codigo Primero");
    } else if (texto == Codigo.UpperCase()) {
      // La caja escribe en mayúsculas: el código guardado se compara igual.
      result = true;
      ModalResult = mrOk;
    } else {
      ShowMessage("Codigo Incorrecto");
    }
    Key = 0;
  }
}

// ---- cantidad ----------------------------------------------------------------------------------

TFrmIngresoCantidad::TFrmIngresoCantidad(TComponent* Owner) : TForm(Owner) {
  Name = "FrmIngresoCantidad";
  Caption = "Ingreso de Cantidades";
  BorderStyle = bsDialog;
  Position = poScreenCenter;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Codigo de Cuenta:";
  LblCuenta = Make<TLabel>(this, "LblCuenta");
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "Cantidad:";
  EdCantidad = Make<TEdit>(this, "EdCantidad");
  LblUnidades = Make<TLabel>(this, "LblUnidades");
  Label3 = Make<TLabel>(this, "Label3");
  Label3->Caption = "Las salidas deben entrarse con signo negativo";
  BitBtn1 = Make<TBitBtn>(this, "BitBtn1");
  BitBtn1->Caption = "Aceptar";
  BitBtn1->Default = true;
  BitBtn2 = Make<TBitBtn>(this, "BitBtn2");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "Cancelar";

  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  ActiveControl = EdCantidad;
}

void TFrmIngresoCantidad::BitBtn1Click(TObject*) {
  if (EdCantidad->Text.get().IsEmpty()) {
    ShowMessage("Ingrese Una Cantidad");
    return;
  }
  Acep = true;
  ModalResult = mrOk;
}

// ---- detalle del documento --------------------------------------------------------------------

TFrmDetalle::TFrmDetalle(TComponent* Owner) : TForm(Owner) {
  Name = "FrmDetalle";
  Caption = "Ingresos del detalle del Comprobante";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  ClientWidth = 460;
  ClientHeight = 240;

  Memo1 = Make<TMemo>(this, "Memo1");
  Memo1->ScrollBars = ssVertical;
  BtnGrabar = Make<TBitBtn>(this, "BtnGrabar");
  BtnGrabar->Caption = "Grabar";
  BtnSalir = Make<TBitBtn>(this, "BtnSalir");
  BtnSalir->Kind = bkCancel;
  BtnSalir->Caption = "Salir";

  BtnGrabar->OnClick = [this](TObject* s) { BtnGrabarClick(s); };
  BtnSalir->OnClick = [this](TObject* s) { BtnSalirClick(s); };
  ActiveControl = Memo1;

  if (FrmAsientos) {
    TTable* m = DM->tblMvtMaestro;
    if (m->Locate("descdocu;numedocu", VarArrayOf({Variant(FrmAsientos->CompDlle),
                                                    Variant(AnsiString(FrmAsientos->EdNumDoc->Text))}))) {
      Memo1->Text = m->FieldByName("DETALLE")->AsString;
      YaExiste = true;
    }
  }
  Memo1->Modified = false;
}

void TFrmDetalle::BtnGrabarClick(TObject*) {
  TFrmAsientos* e = FrmAsientos;
  if (!e) return;
  TDateTime fecha = EncodeDate(StrToInt(e->Anio->Text), e->CBMes->ItemIndex + 1, StrToInt(e->EdDia->Text));
  AnsiString numero = e->EdNumDoc->Text;
  TTable* m = DM->tblMvtMaestro;
  // El editor sigue la versión que deja esta escritura suya, no la toma como de otro puesto.
  tv::db::Transaction tx("Contabilidad");
  long long antes = VersionDeDocumento(Comp, numero);
  if (YaExiste && m->Locate("descdocu;numedocu", VarArrayOf({Variant(e->CompDlle), Variant(numero)})))
    m->Edit();
  else
    m->Append();
  try {
    m->FieldByName("DESCDOCU")->AsString = Comp;
    m->FieldByName("NUMEDOCU")->AsString = numero;
    m->FieldByName("FECHA")->AsDateTime = fecha;
    m->FieldByName("DETALLE")->AsString = Memo1->Text;
    m->Post();
  } catch (...) {
    m->Cancel();
    throw;
  }
  long long despues = VersionDeDocumento(Comp, numero);
  tx.Commit();
  e->EscrituraPropia(Comp, numero, antes, despues);
  ModalResult = mrOk;
}

void TFrmDetalle::BtnSalirClick(TObject*) {
  if (!Memo1->Modified) return;
  if (Application->MessageBox("¿Desea perder lo digitado?", "Cuidado", MB_YESNO | MB_ICONEXCLAMATION) !=
      IDYES) {
    ModalResult = mrNone;
    Memo1->SetFocus();
  }
}
