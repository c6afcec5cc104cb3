#include "reports/ConsultasComun.h"

#include <vector>

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Grids.h"
#include "platform/db/sql/Translator.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Launch.h"
#include "platform/report/QuickRpt.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/dialogs/Calendar.h"
#include "shared/general/Numeros.h"

AnsiString CondicionPrefijo(const AnsiString& aCampo, const AnsiString& aPrefijo) {
  return aCampo + " like '" + AnsiString(tv::db::EscapeLikePattern(aPrefijo.str())) +
         "%' escape '\\'";
}

void AbrirPaginaAyuda(const AnsiString& aPagina) {
  AnsiString pagina = aPagina;
  if (pagina.str().size() > 4 && pagina.str().substr(pagina.str().size() - 4) == ".htm")
    pagina += "l";
  AnsiString ruta = PathOrigen + "/help/" + pagina;
  AnsiString error;
  if (!tv::os::OpenHelpPage(ruta, AnsiString(), &error))
    ShowMessage("No se pudo abrir la ayuda " + ruta + ": " + error);
}

AnsiString EmpresaConNit(const char* aSeparador, const char* aCampoNit) {
  TTable* t = DM->TblConfigContab;
  if (!t->Active) t->Open();
  t->First();
  return t->FieldByName("IEmpresa")->AsString + aSeparador + t->FieldByName(aCampoNit)->AsString;
}

void DibujarMonto(TDBGrid* aGrid, const TRect& aRect, const AnsiString& aTexto) {
  TCanvas* c = aGrid->Canvas.get();
  c->FillRect(TRect{aRect.Left - 1, aRect.Top - 1, aRect.Right + 1, aRect.Bottom + 1});
  c->TextOut(aRect.Right - c->TextWidth(aTexto) - 2, aRect.Top + 2, aTexto);
}

void DibujarCeldaMonto(TStringGrid* aGrid, int aCol, int aRow, const TRect& aRect) {
  AnsiString texto = AnsiString(aGrid->Cells[aCol][aRow]).Trim();
  double v = 0;
  if (!texto.IsEmpty() && TryStrToFloat(texto, v)) texto = Punto(v, 2);
  TCanvas* c = aGrid->Canvas.get();
  c->FillRect(TRect{aRect.Left, aRect.Top, aRect.Right, aRect.Bottom});
  c->TextOut(aRect.Right - c->TextWidth(texto) - 2, aRect.Top + 2, texto);
}

void MostrarMontos(TDBGrid* aGrid, std::initializer_list<const char*> aCampos) {
  std::vector<AnsiString> campos(aCampos.begin(), aCampos.end());
  aGrid->OnDrawColumnCell = [aGrid, campos](TObject*, const TRect& r, int, TColumn* c, TGridDrawState) {
    TField* f = c ? c->Field() : nullptr;
    if (!f || f->IsNull) return;
    for (const AnsiString& campo : campos)
      if (SameText(campo, f->FieldName)) {
        DibujarMonto(aGrid, r, Punto(f->AsFloat, 2));
        return;
      }
  };
}

namespace {
void Buscar(TComponent* aOwner, TDataSource* aDS, const char* aTit1, const char* aTit2,
            const char* aCampo1, const char* aCampo2, TCustomEdit* aCodigo, TLabel* aNombre) {
  FrmBuscTabla = new TFrmBuscTabla(aOwner, aDS, aTit1, aTit2, aCampo1, aCampo2, false, "");
  std::unique_ptr<TFrmBuscTabla> f(FrmBuscTabla);
  f->ShowModal();
  aCodigo->Text = f->GetContenido1();
  if (aNombre) aNombre->Caption = f->GetContenido2();
  FrmBuscTabla = nullptr;
}
}  // namespace

void BuscarCuenta(TComponent* aOwner, TCustomEdit* aCodigo, TLabel* aNombre) {
  Buscar(aOwner, DM->DSPlan, "Código", "Cuenta", "NumeCuen", "NombCuen", aCodigo, aNombre);
}

void BuscarTercero(TComponent* aOwner, TCustomEdit* aCodigo, TLabel* aNombre) {
  Buscar(aOwner, DM->DSTerceros, "Cedula", "Nombre", "CedulaNit", "Nombre", aCodigo, aNombre);
}

void TraerFecha(TComponent* aOwner, TCustomEdit* aDestino) {
  FrmCalendar = new TFrmCalendar(aOwner);
  std::unique_ptr<TFrmCalendar> f(FrmCalendar);
  f->year = anioGlobal;
  f->ShowModal();
  f->GetDateAsString(aDestino);
  FrmCalendar = nullptr;
}

AnsiString FechaRecordada(bool aInicial) {
  AnsiString f = aInicial ? FechasInf.GFechaInicial : FechasInf.GFechaFinal;
  return f == "STR" ? AnsiString() : f;
}

void TFrmConPeriodo::CrearPeriodo(TWinControl* aPadre) {
  GBFechas = Make<TGroupBox>(aPadre, "GBFechas");
  GBFechas->Caption = "Fechas: ";
  LblDesde = Make<TLabel>(GBFechas, "LblDesde");
  LblDesde->Caption = "Desde:";
  EdFechaInicio = Make<TMaskEdit>(GBFechas, "EdFechaInicio");
  EdFechaInicio->EditMask = "!99/99/0000;1; ";
  EdFechaInicio->MaxLength = 10;
  BtnFechaDesde = Make<TSpeedButton>(GBFechas, "BtnFechaDesde");
  BtnFechaDesde->Caption = "...";
  LblHasta = Make<TLabel>(GBFechas, "LblHasta");
  LblHasta->Caption = "Hasta:";
  EdFechaFinal = Make<TMaskEdit>(GBFechas, "EdFechaFinal");
  EdFechaFinal->EditMask = "!99/99/0000;1; ";
  EdFechaFinal->MaxLength = 10;
  BtnFechaHasta = Make<TSpeedButton>(GBFechas, "BtnFechaHasta");
  BtnFechaHasta->Caption = "...";
  LblDesde->FocusControl = EdFechaInicio;
  LblHasta->FocusControl = EdFechaFinal;
  // Las dos fechas en una línea, cada una con su calendario al lado.
  GBFechas->SetBounds(8, 4, 420, 56);
  LblDesde->SetBounds(10, 26, 44, 16);
  EdFechaInicio->SetBounds(58, 22, 100, 24);
  BtnFechaDesde->SetBounds(162, 22, 28, 24);
  LblHasta->SetBounds(212, 26, 44, 16);
  EdFechaFinal->SetBounds(260, 22, 100, 24);
  BtnFechaHasta->SetBounds(364, 22, 28, 24);

  BtnFechaDesde->OnClick = [this](TObject* s) { BtnFechaDesdeClick(s); };
  BtnFechaHasta->OnClick = [this](TObject* s) { BtnFechaDesdeClick(s); };

  EdFechaInicio->Text = FechaRecordada(true);
  EdFechaFinal->Text = FechaRecordada(false);
}

void TFrmConPeriodo::BtnFechaDesdeClick(TObject* Sender) {
  auto* c = dynamic_cast<TComponent*>(Sender);
  bool desde = c && c->Name == "BtnFechaDesde";
  TraerFecha(this, desde ? EdFechaInicio : EdFechaFinal);
}

TQRCustomBand* NuevaBanda(TComponent* aOwner, TQuickRep* aRep, int aTipo, int aAlto) {
  TQRCustomBand* b;
  if (aTipo == rbGroupHeader)
    b = new TQRGroup(aOwner);
  else {
    b = new TQRBand(aOwner);
    b->BandType = static_cast<TQRBandType>(aTipo);
  }
  b->Height = aAlto;
  b->Parent = aRep;
  return b;
}

TQRLabel* NuevaEtiqueta(TComponent* aOwner, TQRCustomBand* aBanda, const char* aNombre,
                        const AnsiString& aTexto, int aLeft, int aTop, int aWidth, bool aDerecha,
                        bool aNegrita) {
  auto* l = new TQRLabel(aOwner);
  if (aNombre && *aNombre) l->Name = aNombre;
  l->Caption = aTexto;
  l->Left = aLeft;
  l->Top = aTop;
  if (aWidth > 0) {
    l->AutoSize = false;
    l->Width = aWidth;
  }
  if (aDerecha) l->Alignment = taRightJustify;
  if (aNegrita) l->Font->Style = TFontStyles{fsBold};
  if (aBanda) l->Parent = aBanda;
  return l;
}

TQRDBText* NuevoCampo(TComponent* aOwner, TQRCustomBand* aBanda, const char* aNombre,
                      TDataSource* aDS, const char* aCampo, int aLeft, int aTop, int aWidth,
                      bool aDerecha) {
  auto* t = new TQRDBText(aOwner);
  if (aNombre && *aNombre) t->Name = aNombre;
  t->DataSource = aDS;
  t->DataField = aCampo;
  t->Left = aLeft;
  t->Top = aTop;
  t->AutoSize = false;
  t->Width = aWidth;
  if (aDerecha) t->Alignment = taRightJustify;
  t->Parent = aBanda;
  return t;
}

AnsiString MontoImpreso(const AnsiString& aTexto) {
  if (aTexto.Trim().IsEmpty()) return AnsiString();
  double v = 0;
  if (!TryStrToFloat(aTexto, v)) return aTexto;
  return Punto(v, 2);
}
