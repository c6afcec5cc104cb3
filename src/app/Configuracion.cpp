#include "app/Configuracion.h"

#include <memory>
#include <utility>

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Usuarios.h"
#include "app/Validaciones.h"
#include "platform/core/IniFiles.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Files.h"
#include "shared/dialogs/BuscTabla.h"

TfrmConfigContab* frmConfigContab = nullptr;
TFrmCuentasEsp* FrmCuentasEsp = nullptr;

namespace {

const char* const kSeccion = "ACTION";

TLabel* Etiqueta(TForm* f, const char* nombre, const char* texto, int left, int top, int width) {
  auto* l = Make<TLabel>(f, nombre);
  l->Caption = texto;
  l->SetBounds(left, top + 4, width, 18);
  return l;
}

TEdit* Campo(TForm* f, const char* nombre, int left, int top, int width) {
  auto* e = Make<TEdit>(f, nombre);
  e->SetBounds(left, top, width, 24);
  return e;
}

// Una fila única de configuración lista para escribir (se agrega si la tabla está vacía).
void EditarFilaUnica(TTable* t) {
  t->First();
  if (t->IsEmpty())
    t->Append();
  else
    t->Edit();
}

}  // namespace

// ---- configuración general ------------------------------------------------------------

TfrmConfigContab::TfrmConfigContab(TComponent* Owner) : TForm(Owner) {
  Name = "frmConfigContab";
  Caption = "Configuración general";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  ClientWidth = 760;
  ClientHeight = 480;

  const int xl = 16, wl = 330, xe = 350, we = 260;
  lblUsuario = Etiqueta(this, "lblUsuario", "", xl, 8, 500);
  struct Fila {
    TLabel** etiqueta;
    const char* nombreEtiqueta;
    const char* texto;
    TEdit** campo;
    const char* nombreCampo;
  };
  const Fila filas[] = {
      {&Label1, "Label1", "Clave:", &Edit1, "Edit1"},
      {&Label2, "Label2", "Confirme Clave:", &Edit2, "Edit2"},
      {&Label3, "Label3", "NIT Empresa:", &EdNIT, "EdNIT"},
      {&Label4, "Label4", "Empresa:", &EdEmpresa, "EdEmpresa"},
      {&Label5, "Label5", "Nombre de la contabilidad:", &EdNContabilidad, "EdNContabilidad"},
      {&Label6, "Label6", "Fecha del acuerdo para los cert. de disponibilidad.:", &edAcuerdo, "edAcuerdo"},
      {&Label7, "Label7", "Rector(a):", &edRector, "edRector"},
      {&Label8, "Label8", "Auxiliar administrativa:", &edAuxiliar, "edAuxiliar"},
      {&Label9, "Label9", "Tallivar(a):", &edTallivar, "edTallivar"},
      {&Label10, "Label10", "Ubicación del logo:", &edRutaEscudo, "edRutaEscudo"},
      {&Label11, "Label11", "Título 1:", &edTitulo1, "edTitulo1"},
      {&Label12, "Label12", "Título 2:", &edTitulo2, "edTitulo2"},
      {&Label13, "Label13", "Título 3:", &edTitulo3, "edTitulo3"},
  };
  int top = 36;
  for (const Fila& f : filas) {
    *f.etiqueta = Etiqueta(this, f.nombreEtiqueta, f.texto, xl, top, wl);
    *f.campo = Campo(this, f.nombreCampo, xe, top, we);
    (*f.etiqueta)->FocusControl = *f.campo;
    top += 30;
  }
  Edit1->PasswordChar = '*';
  Edit2->PasswordChar = '*';
  // Cada campo acepta lo que cabe en su columna: nada se corta al grabar.
  for (auto [e, campo] : {std::pair{EdNIT, "NIT"}, {EdEmpresa, "IEmpresa"},
                          {EdNContabilidad, "NContabilidad"}, {edAcuerdo, "acuerdo"},
                          {edRector, "rector"}, {edAuxiliar, "auxiliar"}, {edTallivar, "tallivar"}})
    e->MaxLength = AnchoCampo("ConfigContab", campo);
  edRutaEscudo->Enabled = false;
  edRutaEscudo->Width = 390;
  Image1 = Make<TImage>(this, "Image1");
  Image1->SetBounds(630, 36, 112, 112);
  Image1->Stretch = true;
  Image1->Proportional = true;

  BitBtn1 = Make<TBitBtn>(this, "BitBtn1");
  BitBtn1->Caption = "Buscar escudo";
  BitBtn1->SetBounds(630, 156, 112, 30);
  BtnAceptar = Make<TBitBtn>(this, "BtnAceptar");
  BtnAceptar->Caption = "Aceptar";
  BtnAceptar->Default = true;
  BtnAceptar->SetBounds(260, top + 8, 110, 30);
  BitBtn2 = Make<TBitBtn>(this, "BitBtn2");
  BitBtn2->Caption = "Salir";
  BitBtn2->Cancel = true;
  BitBtn2->ModalResult = mrCancel;
  BitBtn2->SetBounds(390, top + 8, 110, 30);
  OpenDialog1 = Make<TOpenDialog>(this, "OpenDialog1");
  OpenDialog1->Filter = "Mapa de Bits|*.bmp";

  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };

  archivoIni = ArchivoIniSesion();
  lblUsuario->Caption = "El usuario actual es: " + Login;
  TTable* cfg = DM->TblConfigContab;
  cfg->First();
  EdNIT->Text = cfg->FieldByName("NIT")->AsString;
  EdEmpresa->Text = cfg->FieldByName("IEmpresa")->AsString;
  EdNContabilidad->Text = cfg->FieldByName("NContabilidad")->AsString;
  edAcuerdo->Text = cfg->FieldByName("acuerdo")->AsString;
  edRector->Text = cfg->FieldByName("rector")->AsString;
  edAuxiliar->Text = cfg->FieldByName("auxiliar")->AsString;
  edTallivar->Text = cfg->FieldByName("tallivar")->AsString;

  TTable* per = DM->TblPermisos;
  // Las casillas de la clave empiezan vacías: la guardada es un resumen cifrado, no la clave.
  if (per->Locate("LOGIN", Variant(Login))) {
    claveGuardada_ = per->FieldByName("PASSWORD")->AsString;
  } else {
    ShowMessage("Recuperando: El usuario " + Login + " no se encuentra en la tabla de permisos.");
  }

  if (FileExists(archivoIni)) {
    TIniFile ini(archivoIni);
    edRutaEscudo->Text = RutaDelPrograma(ini.ReadString(kSeccion, "rutaLogo", ""));
    edTitulo1->Text = ini.ReadString(kSeccion, "titulo1", "");
    edTitulo2->Text = ini.ReadString(kSeccion, "titulo2", "");
    edTitulo3->Text = ini.ReadString(kSeccion, "titulo3", "");
    try {
      Image1->Picture->LoadFromFile(edRutaEscudo->Text);
    } catch (Exception&) {
      Image1->Picture->Clear();  // sin logo legible no se muestra nada
    }
  } else {
    ShowMessage("Debe crear el INI dentro de la carpeta");
  }
}

void TfrmConfigContab::BitBtn1Click(TObject*) {
  if (!OpenDialog1->Execute()) return;
  AnsiString archivo = OpenDialog1->FileName;
  // Primero la imagen: un archivo que no se puede mostrar da su error y deja el logo anterior.
  Image1->Picture->LoadFromFile(archivo);
  edRutaEscudo->Text = archivo;
  GuardarAjustes(archivoIni, [&](TIniFile& ini) { ini.WriteString(kSeccion, "rutaLogo", RutaParaGuardar(archivo)); });
}

void TfrmConfigContab::BtnAceptarClick(TObject*) {
  TTable* per = DM->TblPermisos;
  TTable* cfg = DM->TblConfigContab;
  bool usuario = per->Locate("LOGIN", Variant(Login));
  if (usuario && AnsiString(Edit1->Text) != AnsiString(Edit2->Text)) {
    ShowMessage("La Clave y la Clave reescrita no coinciden");
    return;
  }
  {
    // La clave y la fila de configuración se graban juntas o ninguna.
    tv::db::Transaction tx(cfg->DatabaseName);
    try {
      // Casillas vacías (sin tocar o vaciadas) conservan la clave: nunca queda una clave
      // vacía; lo escrito la reemplaza.
      bool claveEscrita = !AnsiString(Edit1->Text).IsEmpty() || !AnsiString(Edit2->Text).IsEmpty();
      if (usuario) GrabarClaveEscrita(Login, claveEscrita ? AnsiString(Edit1->Text) : claveGuardada_,
                                      claveGuardada_);
      EditarFilaUnica(cfg);
      struct Cambio {
        TEdit* edit;
        const char* campo;
      };
      const Cambio cambios[] = {{EdNIT, "NIT"},           {EdEmpresa, "IEmpresa"},
                                {EdNContabilidad, "NContabilidad"}, {edAcuerdo, "acuerdo"},
                                {edRector, "rector"},     {edAuxiliar, "auxiliar"},
                                {edTallivar, "tallivar"}};
      for (const Cambio& c : cambios)
        if (c.edit->Modified) cfg->FieldByName(c.campo)->AsString = c.edit->Text;
      cfg->Post();
      tx.Commit();
    } catch (...) {
      if (cfg->State == dsEdit || cfg->State == dsInsert) cfg->Cancel();
      throw;
    }
  }
  if (usuario) {
    per->Refresh();
    per->Locate("LOGIN", Variant(Login));
    claveGuardada_ = per->FieldByName("PASSWORD")->AsString;
    Edit1->Text = "";
    Edit2->Text = "";
    Edit1->Modified = false;
    Edit2->Modified = false;
  } else {
    ShowMessage("Grabando: El usuario " + Login + " no se encuentra en la tabla de permisos.");
  }
  if (EdNContabilidad->Modified) NContabilidad = EdNContabilidad->Text;
  for (TEdit* e : {EdNIT, EdEmpresa, EdNContabilidad, edAcuerdo, edRector, edAuxiliar, edTallivar})
    e->Modified = false;
  GuardarAjustes(archivoIni, [this](TIniFile& ini) {
    ini.WriteString(kSeccion, "titulo1", edTitulo1->Text);
    ini.WriteString(kSeccion, "titulo2", edTitulo2->Text);
    ini.WriteString(kSeccion, "titulo3", edTitulo3->Text);
  });
  ShowMessage("Información grabada.");
}

// ---- cuentas especiales ---------------------------------------------------------------

TFrmCuentasEsp::TFrmCuentasEsp(TComponent* Owner) : TForm(Owner) {
  Name = "FrmCuentasEsp";
  Caption = "Cuentas Especiales";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  ClientWidth = 640;
  ClientHeight = 330;

  Label1 = Etiqueta(this, "Label1", "Defina Una Cuenta:", 16, 8, 160);
  Label2 = Etiqueta(this, "Label2", "Nombre:", 300, 8, 100);
  struct Fila {
    TLabel** titulo;
    const char* nombreTitulo;
    const char* texto;
    TEdit** edit;
    const char* nombreEdit;
    TBitBtn** boton;
    const char* nombreBoton;
    TLabel** nombre;
    const char* nombreNombre;
  };
  const Fila filas[] = {
      {&Label3, "Label3", "Retencion En la Fuente", &EdReteFuente, "EdReteFuente", &BitBtn1,
       "BitBtn1", &LblReteFuente, "LblReteFuente"},
      {&Label4, "Label4", "Retencion de Iva", &EdReteIva, "EdReteIva", &BitBtn2, "BitBtn2",
       &LblReteIva, "LblReteIva"},
      {&Label5, "Label5", "Cuenta de Perdidas al finalizar ejercicio contable", &EdPerdidas,
       "EdPerdidas", &BitBtn3, "BitBtn3", &LblPerdidas, "LblPerdidas"},
      {&Label6, "Label6", "Cuenta de Utilidad al finalizar ejercicio contable", &EdUtilidad,
       "EdUtilidad", &BitBtn4, "BitBtn4", &LblUtilidad, "LblUtilidad"},
  };
  int top = 36;
  for (const Fila& f : filas) {
    *f.titulo = Etiqueta(this, f.nombreTitulo, f.texto, 16, top, 600);
    (*f.titulo)->Font->Style = TFontStyles{fsBold};
    *f.edit = Campo(this, f.nombreEdit, 16, top + 24, 170);
    (*f.edit)->Enabled = false;
    *f.boton = Make<TBitBtn>(this, f.nombreBoton);
    (*f.boton)->Caption = "Buscar";
    (*f.boton)->SetBounds(196, top + 22, 90, 28);
    *f.nombre = Etiqueta(this, f.nombreNombre, "", 300, top + 24, 320);
    top += 64;
  }
  BitBtn5 = Make<TBitBtn>(this, "BitBtn5");
  BitBtn5->Caption = "Aceptar";
  BitBtn5->Default = true;
  BitBtn5->SetBounds(210, top + 8, 100, 30);
  BitBtn6 = Make<TBitBtn>(this, "BitBtn6");
  BitBtn6->Kind = bkCancel;
  BitBtn6->SetBounds(330, top + 8, 100, 30);

  BitBtn1->OnClick = [this](TObject*) { BuscarCuenta(EdReteFuente, LblReteFuente); };
  BitBtn2->OnClick = [this](TObject*) { BuscarCuenta(EdReteIva, LblReteIva); };
  BitBtn3->OnClick = [this](TObject*) { BuscarCuenta(EdPerdidas, LblPerdidas); };
  BitBtn4->OnClick = [this](TObject*) { BuscarCuenta(EdUtilidad, LblUtilidad); };
  BitBtn5->OnClick = [this](TObject* s) { BitBtn5Click(s); };
  OnActivate = [this](TObject* s) { FormActivate(s); };
}

void TFrmCuentasEsp::FormActivate(TObject*) {
  // Solo la primera activación lee lo guardado: volver de una búsqueda no debe borrar
  // lo escogido.
  if (cargado_) return;
  cargado_ = true;
  DM->TblConfig->First();
  DM->TblConfigContab->First();
  EdReteFuente->Text = DM->TblConfig->FieldByName("ReteFuente")->AsString;
  EdReteIva->Text = DM->TblConfig->FieldByName("ReteIva")->AsString;
  EdUtilidad->Text = DM->TblConfigContab->FieldByName("Utilidad")->AsString;
  EdPerdidas->Text = DM->TblConfigContab->FieldByName("Perdida")->AsString;
}

void TFrmCuentasEsp::BuscarCuenta(TEdit* aEdit, TLabel* aLabel) {
  FrmBuscTabla = new TFrmBuscTabla(this, DM->DSPlan, "Código", "Cuenta", "NumeCuen", "NombCuen",
                                   false, "");
  std::unique_ptr<TFrmBuscTabla> dialogo(FrmBuscTabla);
  dialogo->ShowModal();
  // Salir de la búsqueda sin escoger deja la cuenta que estaba.
  if (dialogo->GetContenido1().IsEmpty()) return;
  aEdit->Text = dialogo->GetContenido1();
  aLabel->Caption = dialogo->GetContenido2();
}

void TFrmCuentasEsp::BitBtn5Click(TObject*) {
  TTable* cfg = DM->TblConfig;
  TTable* contab = DM->TblConfigContab;
  // Las cuentas viven en dos bases: se graban las cuatro o ninguna, aun si el programa
  // muere a mitad del grabado o falla la escritura de una de ellas.
  try {
    tv::db::TwoFileTransaction tx(cfg->DatabaseName, contab->DatabaseName);
    EditarFilaUnica(cfg);
    cfg->FieldByName("ReteFuente")->AsString = EdReteFuente->Text;
    cfg->FieldByName("ReteIva")->AsString = EdReteIva->Text;
    cfg->Post();
    EditarFilaUnica(contab);
    contab->FieldByName("Utilidad")->AsString = EdUtilidad->Text;
    contab->FieldByName("Perdida")->AsString = EdPerdidas->Text;
    contab->Post();
    tx.Commit();
  } catch (...) {
    // Las tablas vuelven a mostrar lo que quedó grabado.
    for (TTable* t : {cfg, contab}) {
      if (t->State == dsEdit || t->State == dsInsert) t->Cancel();
      t->Refresh();
    }
    throw;
  }
}
