#include "ledger/FrmNuevoTercero.h"

#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TFrmNuevoTercero* FrmNuevoTercero = nullptr;

namespace {

const char* const kTiposDoc[] = {"1:Cédula",        "2:Tarjeta identidad",
                                 "3:Cédula extranjería", "5:Registro civil",
                                 "6:NIP",           "7:NUIP",
                                 "8:Dado por la institución", "9:Certificado cabildo",
                                 "10:NIT"};

const char* const kDptos[] = {
    "05,ANTIOQUIA", "08,ATLANTICO",  "11,BOGOTA",       "13,BOLIVAR",        "15,BOYACA",
    "17,CALDAS",    "18,CAQUETA",    "19,CAUCA",        "20,CESAR",          "23,CORDOBA",
    "25,CUNDINAMARCA", "27,CHOCO",   "41,HUILA",        "44,GUAJIRA",        "47,MAGDALENA",
    "50,META",      "52,NARIÑO",     "54,N DE SANTANDER", "63,QUINDIO",      "66,RISARALDA",
    "68,SANTANDER", "70,SUCRE",      "73,TOLIMA",       "76,VALLE DEL CAUCA", "81,ARAUCA",
    "85,CASANARE",  "86,PUTUMAYO",   "88,SAN ANDRES",   "91,AMAZONAS",       "94,GUAINIA",
    "95,GUAVIARE",  "97,VAUPES",     "99,VICHADA"};

// Tablas cuyo campo itercero nombra a un tercero, además del movimiento.
const char* const kTablasItercero[] = {"mvtRegPptal", "mvtOrdenServicio", "mvtOrdenSumiMaestro",
                                       "mvtOrdenPago"};

TLabel* Rotulo(TComponent* owner, const char* nombre, const char* texto) {
  auto* l = Make<TLabel>(owner, nombre);
  l->Caption = texto;
  return l;
}

TEdit* Casilla(TComponent* owner, const char* nombre, TLabel* rotulo, int ancho = 200) {
  auto* e = Make<TEdit>(owner, nombre);
  e->Width = ancho;
  rotulo->FocusControl = e;
  return e;
}

TRadioGroup* GrupoSiNo(TComponent* owner, const char* nombre, const char* titulo) {
  auto* g = Make<TRadioGroup>(owner, nombre);
  g->Caption = titulo;
  g->Columns = 2;
  g->Items->Add("Sí");
  g->Items->Add("No");
  g->ItemIndex = 1;
  return g;
}

AnsiString NoSiVacio(const AnsiString& s) { return s.IsEmpty() ? AnsiString("no") : s; }

// Entrada del combo que empieza por el código; -1 cuando ninguna.
int EntradaQueEmpiezaPor(TComboBox* cb, const AnsiString& codigo) {
  if (codigo.IsEmpty()) return -1;
  for (int i = 0; i < cb->Items->Count(); ++i)
    if ((*cb->Items)[i].Pos(codigo) == 1) return i;
  return -1;
}

bool ExisteTercero(const AnsiString& id) {
  return !DM->TblTerceros->Lookup("CedulaNIT", Variant(id), "CedulaNIT").IsNull();
}

}  // namespace

TFrmNuevoTercero::TFrmNuevoTercero(TComponent* Owner) : TForm(Owner) {
  Name = "FrmNuevoTercero";
  Caption = "Nuevo Tercero";
  BorderStyle = bsDialog;
  Position = poScreenCenter;

  Label1 = Rotulo(this, "Label1", "Nro. identidad:");
  EdCedula = Casilla(this, "EdCedula", Label1, 150);
  Label2 = Rotulo(this, "Label2", "Tipo Doc.:");
  cbTipoDoc = Make<TComboBox>(this, "cbTipoDoc");
  cbTipoDoc->Width = 200;
  for (const char* t : kTiposDoc) cbTipoDoc->Items->Add(t);
  cbTipoDoc->ItemIndex = 0;
  Label2->FocusControl = cbTipoDoc;
  Label3 = Rotulo(this, "Label3", "Dígito verificación:");
  edDigVer = Casilla(this, "edDigVer", Label3, 30);
  Label4 = Rotulo(this, "Label4", "Primer nombre:");
  edNombre1 = Casilla(this, "edNombre1", Label4);
  Label5 = Rotulo(this, "Label5", "Segundo nombre:");
  edNombre2 = Casilla(this, "edNombre2", Label5);
  Label6 = Rotulo(this, "Label6", "Primer Apellido:");
  edApellido1 = Casilla(this, "edApellido1", Label6);
  Label7 = Rotulo(this, "Label7", "Segundo Apellido:");
  edApellido2 = Casilla(this, "edApellido2", Label7);
  Label8 = Rotulo(this, "Label8", "Razón social:");
  edRazonSocial = Casilla(this, "edRazonSocial", Label8, 360);
  Label9 = Rotulo(this, "Label9", "Razón comercial:");
  edRazonComercial = Casilla(this, "edRazonComercial", Label9, 360);
  Label10 = Rotulo(this, "Label10", "Direccion:");
  EdDireccion = Casilla(this, "EdDireccion", Label10, 360);
  Label11 = Rotulo(this, "Label11", "Telefono:");
  EdTelefono = Casilla(this, "EdTelefono", Label11, 150);
  Label12 = Rotulo(this, "Label12", "Departamento:");
  cbDpto = Make<TComboBox>(this, "cbDpto");
  cbDpto->Style = csDropDownList;
  cbDpto->Width = 200;
  for (const char* d : kDptos) cbDpto->Items->Add(d);
  Label12->FocusControl = cbDpto;
  Label13 = Rotulo(this, "Label13", "Ciudad:");
  cbCiudad = Make<TComboBox>(this, "cbCiudad");
  cbCiudad->Style = csDropDownList;
  cbCiudad->Width = 200;
  Label13->FocusControl = cbCiudad;
  Label14 = Rotulo(this, "Label14", "Grado:");
  edIGrado = Casilla(this, "edIGrado", Label14, 60);
  edIGrado->Text = "0";
  Label15 = Rotulo(this, "Label15", "Grupo:");
  edIGrupo = Casilla(this, "edIGrupo", Label15, 60);
  edIGrupo->Text = "0";
  RGIVA = GrupoSiNo(this, "RGIVA", "AutoRetenedor IVA");
  RGFuente = GrupoSiNo(this, "RGFuente", "AutoRetenedor Fuente");
  BtnAceptar = Make<TBitBtn>(this, "BtnAceptar");
  BtnAceptar->Caption = "&Aceptar";
  BtnAceptar->Default = true;
  BitBtn2 = Make<TBitBtn>(this, "BitBtn2");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "&Cancelar";
  Query1 = Make<TQuery>(this, "Query1");

  OnActivate = [this](TObject* s) { FormActivate(s); };
  EdCedula->OnExit = [this](TObject* s) { EdCedulaExit(s); };
  edRazonSocial->OnEnter = [this](TObject* s) { edRazonSocialEnter(s); };
  cbCiudad->OnEnter = [this](TObject* s) { cbCiudadEnter(s); };
  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };
}

// Lo que va antes de ":"; un tipo escrito sin ":" vale entero.
AnsiString TFrmNuevoTercero::TipoDoc() const {
  AnsiString texto = cbTipoDoc->Text;
  int p = texto.Pos(":");
  return p > 0 ? texto.SubString(1, p - 1) : texto.Trim();
}

void TFrmNuevoTercero::FormActivate(TObject*) {
  if (Modif != 1) return;
  Caption = "Modificar Tercero";
  TTable* t = DM->TblTerceros;
  auto campo = [t](const char* n) -> AnsiString { return t->FieldByName(n)->AsString; };
  EdCedula->Text = campo("cedulanit");
  edApellido1->Text = campo("apellido1");
  edApellido2->Text = campo("apellido2");
  edNombre1->Text = campo("nombre1");
  edNombre2->Text = campo("nombre2");
  EdDireccion->Text = campo("direccion");
  EdTelefono->Text = campo("telefono");
  edDigVer->Text = campo("digitoVerificacion");
  edRazonSocial->Text = campo("razonSocial");
  edRazonComercial->Text = campo("razonComercial");
  edIGrupo->Text = campo("grupo");
  edIGrado->Text = campo("grado");
  SalvaCedula = campo("cedulanit");
  // La fila "sin tercero" conserva su documento vacío.
  EdCedula->ReadOnly = SalvaCedula.IsEmpty();

  AnsiString tipo = campo("tipoDocumento");
  int i = EntradaQueEmpiezaPor(cbTipoDoc, tipo + ":");
  if (i >= 0)
    cbTipoDoc->ItemIndex = i;
  else
    cbTipoDoc->Text = tipo;
  salvaDpto = campo("dpto");
  salvaCiudad = campo("ciudad");
  cbDpto->ItemIndex = EntradaQueEmpiezaPor(cbDpto, salvaDpto);
  cbCiudadEnter(cbCiudad);
  RGFuente->ItemIndex = t->FieldByName("autoretret")->AsBoolean ? 0 : 1;
  RGIVA->ItemIndex = t->FieldByName("autoretiva")->AsBoolean ? 0 : 1;
}

void TFrmNuevoTercero::EdCedulaExit(TObject*) {
  if (Modif == 1) return;
  AnsiString id = EdCedula->Text;
  if (!id.IsEmpty() && ExisteTercero(id)) ShowMessage("Nota: Tercero ya Existe.");
}

void TFrmNuevoTercero::edRazonSocialEnter(TObject*) {
  if (!edRazonSocial->Text.get().IsEmpty()) return;
  edRazonSocial->Text = edNombre1->Text + " " + edNombre2->Text + " " + edApellido1->Text + " " +
                        edApellido2->Text;
}

void TFrmNuevoTercero::cbCiudadEnter(TObject*) {
  // Al rehacer la lista se conserva la ciudad ya escogida (o la guardada).
  AnsiString antes = cbCiudad->ItemIndex >= 0 ? cbCiudad->Text.get().SubString(1, 3) : salvaCiudad;
  cbCiudad->Items->Clear();
  cbCiudad->ItemIndex = -1;
  if (cbDpto->ItemIndex < 0) return;
  getMunicipios(cbDpto->Text.get().SubString(1, 2), cbCiudad->Items.get());
  cbCiudad->ItemIndex = EntradaQueEmpiezaPor(cbCiudad, antes);
}

bool TFrmNuevoTercero::Validar() {
  AnsiString msg;
  AnsiString id = EdCedula->Text;
  bool cambioId = Modif == 1 && id != SalvaCedula;
  if (id.IsEmpty() && (Modif != 1 || cambioId)) msg += "Digite el documento de identidad \n";
  if (Modif != 1 && !id.IsEmpty() && ExisteTercero(id)) msg += "Documento de identidad ya Existe\n";
  if (TipoDoc() != "10") {
    if (edApellido1->Text.get().IsEmpty()) msg += "Digite el primer apellido \n";
    if (edNombre1->Text.get().IsEmpty()) msg += "Digite el primer nombre \n";
  } else if (edRazonSocial->Text.get().IsEmpty()) {
    msg += "Digite la razón Social \n";
  }
  if (msg.IsEmpty()) return true;
  ShowMessage("Debe Corregir \n" + msg);
  return false;
}

void TFrmNuevoTercero::llenarCampos() {
  TTable* t = DM->TblTerceros;
  auto poner = [t](const char* n, const AnsiString& v) { t->FieldByName(n)->AsString = v; };
  bool nit = TipoDoc() == "10";
  poner("CedulaNIT", EdCedula->Text);
  poner("digitoVerificacion", edDigVer->Text);
  poner("tipoDocumento", TipoDoc());
  poner("apellido1", edApellido1->Text);
  poner("apellido2", edApellido2->Text);
  poner("nombre1", edNombre1->Text);
  poner("nombre2", edNombre2->Text);
  poner("nombre", nit ? AnsiString(edRazonSocial->Text)
                      : edApellido1->Text + " " + edApellido2->Text + " " + edNombre1->Text + " " +
                            edNombre2->Text);
  poner("direccion", NoSiVacio(EdDireccion->Text));
  poner("telefono", NoSiVacio(EdTelefono->Text));
  // Sin entrada escogida se conserva el código guardado.
  poner("ciudad", cbCiudad->ItemIndex >= 0 ? cbCiudad->Text.get().SubString(1, 3)
                                           : (Modif == 1 ? salvaCiudad : AnsiString()));
  poner("dpto", cbDpto->ItemIndex >= 0 ? cbDpto->Text.get().SubString(1, 2)
                                       : (Modif == 1 ? salvaDpto : AnsiString()));
  poner("razonSocial", edRazonSocial->Text);
  poner("razonComercial", edRazonComercial->Text);
  t->FieldByName("autoretiva")->AsBoolean = RGIVA->ItemIndex == 0;
  t->FieldByName("autoretret")->AsBoolean = RGFuente->ItemIndex == 0;
  poner("grado", NoSiVacio(edIGrado->Text));
  poner("grupo", NoSiVacio(edIGrupo->Text));
  t->Post();
}

void TFrmNuevoTercero::BtnAceptarClick(TObject*) {
  Aceptado = false;
  if (!Validar()) return;
  TTable* t = DM->TblTerceros;
  AnsiString id = EdCedula->Text;
  bool cambioId = Modif == 1 && id != SalvaCedula;
  bool unir = cambioId && ExisteTercero(id);
  if (unir &&
      Application->MessageBox("Ya existe un tercero con el documento " + id +
                                  ". ¿Desea unir los dos terceros?",
                              "Advertencia", MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
    return;
  TBookmark marca = t->GetBookmark();
  try {
    // La fila, el cambio de documento en los movimientos y la unión van juntos.
    tv::db::Transaction tx(t->DatabaseName);
    if (Modif != 1) {
      t->Append();
    } else {
      if (unir) t->Locate("CedulaNIT", Variant(id));
      t->Edit();
    }
    llenarCampos();
    if (cambioId) {
      AnsiString donde = " where cedulanit=" + TextoSQL(SalvaCedula);
      HagaSQL("Contabilidad", Query1, "update  mvt set cedulanit=" + TextoSQL(id) + donde);
      donde = " where itercero=" + TextoSQL(SalvaCedula);
      for (const char* tabla : kTablasItercero)
        HagaSQL("Contabilidad", Query1,
                AnsiString("update ") + tabla + " set itercero=" + TextoSQL(id) + donde);
    }
    if (unir) {
      t->GotoBookmark(marca);
      t->Delete();
    }
    tx.Commit();
  } catch (Exception& e) {
    if (t->State == dsInsert || t->State == dsEdit) t->Cancel();
    t->Refresh();
    Application->ShowException(&e);
    return;
  }
  Aceptado = true;
  iTercero = id;
  ModalResult = mrOk;
}
