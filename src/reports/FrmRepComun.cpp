#include "reports/FrmRepComun.h"

#include <cmath>

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "platform/core/IniFiles.h"
#include "platform/os/Files.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Dialogs.h"
#include "shared/general/Numeros.h"

namespace balances {

TQRBand* Banda(TComponent* owner, TQuickRep* rep, TQRBandType tipo, int alto) {
  auto* b = new TQRBand(owner);
  b->Parent = rep;
  b->BandType = tipo;
  b->Height = alto;
  return b;
}

TQRLabel* Etiqueta(TComponent* owner, TQRCustomBand* banda, const char* texto, int left, int top, int width,
                   TAlignment alineacion) {
  auto* l = new TQRLabel(owner);
  l->Parent = banda;
  l->Caption = texto;
  l->Left = left;
  l->Top = top;
  l->Alignment = alineacion;
  if (width > 0) {
    l->AutoSize = false;
    l->Width = width;
  }
  return l;
}

TQRDBText* Texto(TComponent* owner, TQRCustomBand* banda, const char* campo, int left, int top, int width,
                 TAlignment alineacion) {
  auto* t = new TQRDBText(owner);
  t->Parent = banda;
  t->DataField = campo;
  t->Left = left;
  t->Top = top;
  t->Width = width;
  t->AutoSize = false;
  t->Alignment = alineacion;
  return t;
}

void Monto(TQRCustomLabel* e) {
  e->OnPrint = [](TObject*, AnsiString& valor) {
    // El valor como número: el texto de un campo no siempre trae decimales.
    double v;
    if (!valor.IsEmpty() && TryStrToFloat(valor, v)) valor = Punto(v, 2);
  };
}

TQRDBText* TextoMonto(TComponent* owner, TQRCustomBand* banda, const char* campo, int left, int top, int width) {
  TQRDBText* t = Texto(owner, banda, campo, left, top, width, taRightJustify);
  Monto(t);
  return t;
}

TQRDBCalc* Suma(TComponent* owner, TQRCustomBand* banda, const char* campo, int left, int top, int width) {
  auto* s = new TQRDBCalc(owner);
  s->Parent = banda;
  s->DataField = campo;
  s->Left = left;
  s->Top = top;
  s->Width = width;
  s->AutoSize = false;
  s->Alignment = taRightJustify;
  Monto(s);
  return s;
}

TQRSysData* Pagina(TComponent* owner, TQRCustomBand* banda, int left, int top) {
  Etiqueta(owner, banda, "Pagina:", left, top);
  auto* p = new TQRSysData(owner);
  p->Parent = banda;
  p->Data = qrsPageNumber;
  p->Left = left + 45;
  p->Top = top;
  return p;
}

AnsiString LineaEntidad() {
  TTable* t = DM->TblConfigContab;
  if (!t->Active) t->Open();
  t->First();
  if (t->IsEmpty()) return "  ";
  return t->FieldByName("IEmpresa")->AsString + "  " + t->FieldByName("NIT")->AsString;
}

AnsiString RutaLogo() {
  AnsiString ini = ArchivoIniSesion();
  if (!FileExists(ini)) return "";
  return TIniFile(ini).ReadString("ACTION", "rutaLogo", "");
}

void CargarLogo(TQRImage* imagen, const AnsiString& ruta) {
  if (ruta.IsEmpty()) return;
  try {
    imagen->Picture->LoadFromFile(ruta);
  } catch (...) {
    imagen->Picture->Clear();
  }
}

// Títulos y logo de "data.ini"; sin el archivo, el aviso y el impreso sin ellos.
void EncabezadoIni(TQRLabel* t1, TQRLabel* t2, TQRLabel* t3, TQRImage* logo) {
  AnsiString ini = ArchivoIniSesion();
  if (!FileExists(ini)) {
    ShowMessage("Debe crear el INI dentro de la carpeta");
    return;
  }
  TIniFile f(ini);
  t1->Caption = f.ReadString("ACTION", "titulo1", "");
  t2->Caption = f.ReadString("ACTION", "titulo2", "");
  t3->Caption = f.ReadString("ACTION", "titulo3", "");
  CargarLogo(logo, f.ReadString("ACTION", "rutaLogo", ""));
}

int MmAPixels(int mm) { return static_cast<int>(std::lround(mm * 96.0 / 25.4)); }

}  // namespace balances
