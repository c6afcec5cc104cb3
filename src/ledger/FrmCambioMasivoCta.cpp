#include "ledger/FrmCambioMasivoCta.h"

#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "app/schema/Versiones.h"
#include "platform/db/Engine.h"
#include "platform/db/DBTables.h"
#include "platform/db/sql/Translator.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TfrmCambioMasivoCta* frmCambioMasivoCta = nullptr;

namespace {

const char* const kTodos = " Todos";
const char* const kCopia = "copiaMvt.db";

bool EsDigito(char c) { return c >= '0' && c <= '9'; }

// Patrón de LIKE para un prefijo escrito por el usuario, con el comodín o sin él.
AnsiString Patron(const AnsiString& aPrefijo, const AnsiString& aComodin) {
  return "'" + AnsiString(tv::db::EscapeLikePattern(aPrefijo.str())) + aComodin + "' escape '\\'";
}

}  // namespace

TfrmCambioMasivoCta::TfrmCambioMasivoCta(TComponent* Owner) : TForm(Owner) {
  Name = "frmCambioMasivoCta";
  Caption = "Cambio masivo de una cuenta en el movimiento";
  Position = poScreenCenter;
  ClientWidth = 760;
  ClientHeight = 520;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Patrón de la cuenta a cambiar:";
  edNumeCuen1 = Make<TEdit>(this, "edNumeCuen1");
  edNumeCuen1->MaxLength = 51;
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "por:";
  edNumeCuen2 = Make<TEdit>(this, "edNumeCuen2");
  Label1->FocusControl = edNumeCuen1;
  Label2->FocusControl = edNumeCuen2;
  Label3 = Make<TLabel>(this, "Label3");
  Label3->Caption = "Cambiar 111005 por la 111010, cambiará en el movimiento todas las cuentas 111005 por 111010";
  Label4 = Make<TLabel>(this, "Label4");
  Label4->Caption = "AYUDA:";
  Label4->Font->Style = {fsBold};
  Label5 = Make<TLabel>(this, "Label5");
  Label5->Caption = "El caracter % es el comodín y significa \"lo que sea\"";
  Label6 = Make<TLabel>(this, "Label6");
  Label6->Caption = "Cambiar las cuentas 036% por la cuenta 0371, cambiará por ejemplo la cuenta";
  Label7 = Make<TLabel>(this, "Label7");
  Label7->Caption = "036";
  Label7->Font->Style = {fsBold};
  Label8 = Make<TLabel>(this, "Label8");
  Label8->Caption = "1010 por la cuenta 0371010 en todo el movimiento y así sucesivamente";
  Label9 = Make<TLabel>(this, "Label9");
  Label9->Caption = "En los comprobantes siguientes:";
  CBDocumentos = Make<TComboBox>(this, "CBDocumentos");
  CBDocumentos->Style = csDropDownList;
  CBDocumentos->Sorted = true;
  Label9->FocusControl = CBDocumentos;
  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->ReadOnly = true;
  btnAceptar = Make<TBitBtn>(this, "btnAceptar");
  btnAceptar->Caption = "&Hacer el cambio";
  btnAceptar->ModalResult = mrOk;
  btnOnlyVer = Make<TBitBtn>(this, "btnOnlyVer");
  btnOnlyVer->Caption = "Ver resultados sin hacer el cambio";
  btnSalir = Make<TBitBtn>(this, "btnSalir");
  btnSalir->Kind = bkCancel;
  btnSalir->Caption = "&Salir";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  tblDummy = Make<TTable>(this, "tblDummy");
  tblDummy->DatabaseName = "Contabilidad";
  Query1 = Make<TQuery>(this, "Query1");
  Query1->DatabaseName = "Contabilidad";
  Query2 = Make<TQuery>(this, "Query2");
  Query2->DatabaseName = "Contabilidad";
  DBGrid1->DataSource = DataSource1;

  CBDocumentos->OnChange = [this](TObject* s) { CBDocumentosChange(s); };
  edNumeCuen1->OnExit = [this](TObject* s) { CBDocumentosChange(s); };
  btnOnlyVer->OnClick = [this](TObject* s) { btnOnlyVerClick(s); };
  btnAceptar->OnClick = [this](TObject* s) { btnAceptarClick(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };

  CBDocumentos->Items->Add(kTodos);
  FillCBFromTbl(CBDocumentos, DM->TblDocumentos, "CodiDocu", "NombDocu");
  CBDocumentos->ItemIndex = CBDocumentos->Items->IndexOf(kTodos);
  DataSource1->DataSet = DM->TblMovimiento;
  nameTblTarget = "mvt.db";
}

AnsiString TfrmCambioMasivoCta::Prefijo() const {
  const std::string& p = edNumeCuen1->Text.get().str();
  return AnsiString(p.substr(0, p.find('%')));
}

AnsiString TfrmCambioMasivoCta::Comodin() const {
  return edNumeCuen1->Text.get().str().find('%') != std::string::npos ? "%" : "";
}

AnsiString TfrmCambioMasivoCta::TipoEscogido() const {
  AnsiString item = CBDocumentos->Text;
  return item == kTodos ? AnsiString() : CodigoDeItem(item).SubString(1, 79);
}

bool TfrmCambioMasivoCta::validar() {
  AnsiString patron = edNumeCuen1->Text, nuevo = edNumeCuen2->Text;
  AnsiString msg;
  if (patron.IsEmpty()) msg += "La cuenta(s) que desea cambiar está vacío.\n";
  if (nuevo.IsEmpty()) msg += "El código de cuenta nuevo está vacío.\n";
  if (!IsAllDigit(nuevo.c_str())) msg += "El código de cuenta nuevo debe tener solo dígitos.\n";
  int ancho = DM->TblMovimiento->FieldByName("numecuen")->Size();
  if (nuevo.Length() > ancho)
    msg += "El código de cuenta nuevo no puede tener más de " + IntToStr(ancho) + " dígitos.\n";
  const std::string& p = patron.str();
  for (size_t i = 0; i + 1 < p.size(); ++i)
    if (!EsDigito(p[i])) msg += "El patrón de cuenta a cambiar debe ser XXXX... o XXXX...%\n";
  if (!p.empty() && !EsDigito(p.back()) && p.back() != '%')
    msg += "El comodín % en el patrón de cuenta a cambiar debe ir al final\n";
  // "%" solo cambiaría todas las cuentas.
  if (p == "%") msg += "El patrón de cuenta a cambiar debe ser XXXX... o XXXX...%\n";
  if (msg.IsEmpty()) return true;
  ShowMessage(msg);
  return false;
}

void TfrmCambioMasivoCta::cambiarCuentas() {
  AnsiString nuevo = edNumeCuen2->Text;
  AnsiString comodin = Comodin();
  int ancho = DM->TblMovimiento->FieldByName("numecuen")->Size();
  int inicio = nuevo.Length() + 1, cuantos = ancho - nuevo.Length();
  // Con comodín cada código conserva sus caracteres desde la posición inicio; sin él el
  // código queda igual al nuevo.
  AnsiString valor = comodin.IsEmpty()
                         ? TextoSQL(nuevo)
                         : TextoSQL(nuevo) + "+substring(numecuen from " + IntToStr(inicio) + " for " +
                               IntToStr(cuantos) + ")";
  AnsiString donde = "numecuen like " + Patron(Prefijo(), comodin);
  if (CBDocumentos->Text.get() != kTodos) donde += " and descDocu=" + TextoSQL(TipoEscogido());
  AnsiString sql = "update " + nameTblTarget + " set numecuen=" + valor + " where " + donde;
  if (nameTblTarget != "mvt.db") {
    HagaSQL("Contabilidad", Query1, sql);
  } else {
    // Una versión por documento cambiado, no una por línea.
    tv::db::Transaction tx("Contabilidad");
    tv::schema::EscrituraMasiva masiva(tv::db::ConnectionFor("Contabilidad")->Db());
    masiva.AvanzarDiario(donde.str());
    HagaSQL("Contabilidad", Query1, sql);
    masiva.Terminar();
    tx.Commit();
  }

  tblDummy->Close();
  tblDummy->DatabaseName = "Contabilidad";
  tblDummy->TableName = nameTblTarget;
  tblDummy->Open();
  DataSource1->DataSet = tblDummy;
  mostrarCuentas(nameTblTarget, nuevo);
}

void TfrmCambioMasivoCta::mostrarCuentas(const AnsiString& aNameTbl, const AnsiString& aSubcuenta) {
  bool todos = CBDocumentos->Text.get() == kTodos;
  bool conPatron = !edNumeCuen1->Text.get().IsEmpty();
  AnsiString sql = "select * from " + aNameTbl;
  if (conPatron) sql += " where numecuen like " + Patron(aSubcuenta, Comodin());
  if (!todos) sql += AnsiString(conPatron ? " and" : " where") + " descDocu=" + TextoSQL(TipoEscogido());
  sql += todos ? " order by descdocu,numedocu,numecuen" : " order by descDocu,numedocu,numecuen";
  HagaSQL("Contabilidad", Query2, sql);
  DataSource1->DataSet = Query2;
}

void TfrmCambioMasivoCta::CBDocumentosChange(TObject*) { mostrarCuentas("mvt.db", Prefijo()); }

void TfrmCambioMasivoCta::btnOnlyVerClick(TObject*) {
  nameTblTarget = kCopia;
  if (!validar()) return;
  // La copia y su cambio juntos; la grilla suelta la copia vieja antes de reemplazarla.
  DataSource1->DataSet = nullptr;
  tblDummy->Close();
  Query2->Close();
  tv::db::Transaction tx("Contabilidad");
  try {
    // La copia solo se muestra y se recorre una vez: sin índices.
    tv::db::CopyTable("Contabilidad", "mvt.db", "Contabilidad", kCopia, false);
  } catch (Exception& e) {
    ShowMessage(e.Message);
  }
  tblDummy->DatabaseName = "Contabilidad";
  tblDummy->TableName = kCopia;
  DataSource1->DataSet = tblDummy;
  tblDummy->Open();
  cambiarCuentas();
  tx.Commit();
}

void TfrmCambioMasivoCta::btnAceptarClick(TObject*) {
  nameTblTarget = "mvt.db";
  if (!validar()) return;
  cambiarCuentas();
  if (DM->TblMovimiento->Active) DM->TblMovimiento->Refresh();
  ShowMessage("Cambio realizado");
}

void TfrmCambioMasivoCta::FormClose(TObject*, TCloseAction&) { tblDummy->Close(); }
