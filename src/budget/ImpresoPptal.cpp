#include "budget/ImpresoPptal.h"

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "platform/core/IniFiles.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Dialogs.h"
#include "platform/os/Files.h"
#include "platform/report/QuickRpt.h"
#include "shared/general/Numeros.h"

EncabezadoPptal LeerEncabezadoPptal() {
  EncabezadoPptal e;
  AnsiString ruta = ArchivoIniSesion();
  if (!FileExists(ruta)) {
    ShowMessage("Debe crear el INI dentro de la carpeta");
    return e;
  }
  TIniFile ini(ruta);
  e.hayIni = true;
  e.rutaLogo = ini.ReadString("ACTION", "rutaLogo", "");
  e.titulo1 = ini.ReadString("ACTION", "titulo1", "");
  e.titulo2 = ini.ReadString("ACTION", "titulo2", "");
  e.titulo3 = ini.ReadString("ACTION", "titulo3", "");
  return e;
}

AnsiString ConfigPptal(const char* campo) {
  TTable* t = DM->TblConfigContab;
  if (!t->Active) t->Open();
  if (t->IsEmpty()) return AnsiString();
  t->First();
  TField* f = t->FieldByName(campo);
  return f->IsNull ? AnsiString() : AnsiString(f->AsString);
}

void CargarImagen(TQRImage* imagen, const AnsiString& ruta) {
  if (ruta.IsEmpty() || !FileExists(ruta)) return;
  try {
    imagen->Picture->LoadFromFile(ruta);
  } catch (...) {
    // Una imagen dañada no detiene el impreso.
  }
}

TQRImage* NuevaImagen(TComponent* owner, TQRCustomBand* banda, const char* nombre, int izq, int arriba, int ancho,
                      int alto) {
  auto* i = new TQRImage(owner);
  i->Name = nombre;
  i->Left = izq;
  i->Top = arriba;
  i->Width = ancho;
  i->Height = alto;
  i->Stretch = true;
  i->Parent = banda;
  return i;
}

TQRMemo* NuevoMemo(TComponent* owner, TQRCustomBand* banda, const char* nombre, int izq, int arriba, int ancho,
                   int alto) {
  auto* m = new TQRMemo(owner);
  m->Name = nombre;
  m->Left = izq;
  m->Top = arriba;
  m->Width = ancho;
  m->Height = alto;
  m->Parent = banda;
  return m;
}

void NuevaLinea(TComponent* owner, TQRCustomBand* banda, int izq, int arriba, int ancho) {
  auto* s = new TQRShape(owner);
  s->Shape = qrsHorLine;
  s->Left = izq;
  s->Top = arriba;
  s->Width = ancho;
  s->Height = 2;
  s->Parent = banda;
}

AnsiString MontoPptal(const AnsiString& texto) {
  AnsiString t = AnsiString(texto).Trim();
  if (t.IsEmpty()) return t;
  double v = 0;
  if (!TryStrToFloat(t, v)) return t;
  return Punto(v, 2);
}
