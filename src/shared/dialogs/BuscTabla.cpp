#include "shared/dialogs/BuscTabla.h"

#include <cstring>

#include "shared/general/Utiles.h"

TFrmBuscTabla* FrmBuscTabla = nullptr;

TFrmBuscTabla::TFrmBuscTabla(TComponent* Owner, TDataSource* aDS, const char* aLblCampo1,
                             const char* aLblCampo2, const char* aCampo1, const char* aCampo2,
                             bool aBMove, const AnsiString& aFiltro)
    : TForm(Owner) {
  Name = "FrmBuscTabla";
  Caption = "Búsqueda";
  BorderStyle = bsDialog;
  Width = 520;
  Height = 470;
  ClientWidth = 520;
  ClientHeight = 470;

  Panel1 = Make<TPanel>(this, "Panel1");
  Panel1->Align = alTop;
  Panel1->Height = 44;
  Label4 = Make<TLabel>(Panel1, "Label4");
  Label4->Caption = "Registros filtrados con la condición:";
  lblFiltro = Make<TLabel>(Panel1, "lblFiltro");
  chBFiltrada = Make<TCheckBox>(Panel1, "chBFiltrada");
  chBFiltrada->Caption = "Filtro activo";

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Buscar por:";
  Bevel1 = Make<TBevel>(this, "Bevel1");
  RadioButton1 = Make<TRadioButton>(this, "RadioButton1");
  RadioButton1->Caption = "Código";
  RadioButton1->Checked.Raw(true);
  RadioButton2 = Make<TRadioButton>(this, "RadioButton2");
  RadioButton2->Caption = "Nombre";

  GroupBox1 = Make<TGroupBox>(this, "GroupBox1");
  GroupBox1->Caption = "Opciones de búsqueda: ";
  BtnBuscar = Make<TButton>(GroupBox1, "BtnBuscar");
  BtnBuscar->Caption = "Directamente";
  BtnBuscar->Hint = "Especificar datos de búsqueda";
  BtnBuscar->ShowHint = true;
  Label2 = Make<TLabel>(GroupBox1, "Label2");
  Label2->Caption = "Gradualmente";
  EdBusqueda = Make<TEdit>(GroupBox1, "EdBusqueda");
  EdBusqueda->TabOrder = -1;  // primero en el orden de tabulación
  GroupBox1->TabOrder = -1;

  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->ReadOnly = true;
  DBGrid1->Options = DBGrid1->Options - TDBGridOptions{dgEditing};
  DBGrid1->Width = 470;
  DBGrid1->Height = 220;

  StringGrid1 = Make<TStringGrid>(this, "StringGrid1");
  StringGrid1->FixedCols = 0;
  StringGrid1->FixedRows = 1;
  StringGrid1->RowCount = 2;
  StringGrid1->ScrollBars = ssHorizontal;
  StringGrid1->Options = StringGrid1->Options + TGridOptions{goColSizing};
  StringGrid1->Font->Name = "Tahoma";
  StringGrid1->Width = 470;
  StringGrid1->Height = 54;
  lblHint = Make<TLabel>(this, "lblHint");
  lblHint->Font->Style = {fsBold};
  lblHint->WordWrap = true;

  BtnRegresar = Make<TButton>(this, "BtnRegresar");
  BtnRegresar->Caption = "&Aceptar";
  BtnSalir = Make<TButton>(this, "BtnSalir");
  BtnSalir->Caption = "&Salir";
  BtnSalir->Cancel = true;

  FindDialog1 = Make<TFindDialog>(this, "FindDialog1");
  FindDialog1->Options = FindDialog1->Options + TFindOptions{frHideUpDown, frDisableUpDown};

  ActiveControl = EdBusqueda;
  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  RadioButton1->OnClick = [this](TObject* s) { RadioButton1Click(s); };
  RadioButton2->OnClick = [this](TObject* s) { RadioButton2Click(s); };
  EdBusqueda->OnChange = [this](TObject* s) { EdBusquedaChange(s); };
  // Enter en la caja de búsqueda acepta el renglón señalado.
  EdBusqueda->OnKeyDown = [this](TObject*, Word& k, TShiftState sh) {
    if (k != VK_RETURN || !sh.Empty()) return;
    k = 0;
    BtnRegresar->Click();
  };
  BtnBuscar->OnClick = [this](TObject* s) { BtnBuscarClick(s); };
  FindDialog1->OnFind = [this](TObject* s) { FindDialog1Find(s); };
  StringGrid1->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) {
    StringGrid1MouseMove(s, sh, x, y);
  };
  chBFiltrada->OnClick = [this](TObject* s) { chBFiltradaClick(s); };
  BtnRegresar->OnClick = [this](TObject* s) { BtnRegresarClick(s); };
  BtnSalir->OnClick = [this](TObject* s) { BtnSalirClick(s); };

  // 1. Resultados vacíos.
  Contenido1 = "";
  Contenido2 = "";
  ceroRegistros = false;
  ds_ = aDS;
  TDataSet* datos = aDS->DataSet;
  // 2. Sin registros: se avisa y el diálogo queda inerte.
  if (datos->RecordCount == 0) {
    ShowMessage("No existen registros para mostrar.");
    ceroRegistros = true;
    StringGrid1->Visible = false;
    return;
  }
  // 3. El registro actual se recuerda antes de filtrar, para volver a él al cerrar.
  BMove = aBMove;
  Marca = datos->GetBookmark();
  filtroAnterior_ = datos->Filter;
  filtradoAnterior_ = datos->Filtered;
  restaurado_ = false;
  DBGrid1->DataSource = aDS;
  // 4. Filtro.
  if (!aFiltro.IsEmpty()) {
    datos->Filter = aFiltro;
    lblFiltro->Caption = aFiltro;
    datos->Filtered = true;
    chBFiltrada->Checked.Raw(true);
  } else {
    Panel1->Visible = false;
  }
  // 5 y 6. Campos llave y columnas de la rejilla.
  RadioButton1->Caption = aLblCampo1;
  RadioButton2->Caption = aLblCampo2;
  Campo1 = aCampo1;
  Campo2 = aCampo2;
  TColumn* c0 = DBGrid1->Columns->Add();
  c0->FieldName = Campo1;
  c0->Title->Caption = aLblCampo1;
  TColumn* c1 = DBGrid1->Columns->Add();
  c1->FieldName = Campo2;
  c1->Title->Caption = aLblCampo2;
  DBGrid1->Width = c0->DisplayWidth() + c1->DisplayWidth() + 34;
  c0->Color = clAqua;
  // 7. Ventana más ancha cuando la rejilla no cabe.
  if (DBGrid1->Width + 40 > Width) {
    Width = static_cast<int>(0.7 * Screen->Width);
    ClientWidth = Width;
    DBGrid1->Width = static_cast<int>(0.6 * Screen->Width);
    StringGrid1->Width = static_cast<int>(0.6 * Screen->Width);
  }
  // 8.
  NumCampo = 0;
  Position = poScreenCenter;
  // 9. El manejador de cambios del llamador no corre mientras el diálogo está abierto.
  onDataChange = aDS->OnDataChange;
  aDS->OnDataChange = [this](TObject* s, TField* f) { DataSourceDataChange(s, f); };
  // 10. Tira de campos adicionales.
  int extras = 0;
  for (int i = 0; i < datos->FieldCount; ++i) {
    const AnsiString& n = datos->Fields[i]->FieldName;
    if (SameText(n, Campo1) || SameText(n, Campo2)) continue;
    ++extras;
  }
  StringGrid1->ColCount = extras;
  // Sin campos adicionales la tira no tiene columnas que mostrar.
  if (extras == 0) StringGrid1->Visible = false;
  int col = 0;
  camposTira_.clear();
  for (int i = 0; i < datos->FieldCount; ++i) {
    const AnsiString& n = datos->Fields[i]->FieldName;
    if (SameText(n, Campo1) || SameText(n, Campo2)) continue;
    camposTira_.push_back(n);
    StringGrid1->Cells[col++][0] = FieldTitle(n);
  }
}

TFrmBuscTabla::~TFrmBuscTabla() {
  Restaurar();
  if (FrmBuscTabla == this) FrmBuscTabla = nullptr;
}

void TFrmBuscTabla::Restaurar() {
  if (restaurado_) return;
  restaurado_ = true;
  TDataSet* datos = Datos();
  // Se devuelve el filtro que el llamador tenía (texto y estado), no uno vacío.
  if (datos->Filter != filtroAnterior_) datos->Filter = filtroAnterior_;
  if (datos->Filtered != filtradoAnterior_) datos->Filtered = filtradoAnterior_;
  if (!BMove && datos->BookmarkValid(Marca)) datos->GotoBookmark(Marca);
  datos->FreeBookmark(Marca);
  ds_->OnDataChange = onDataChange;
}

void TFrmBuscTabla::ColorearColumnas() {
  if (ceroRegistros || DBGrid1->Columns->Count() < 2) return;
  DBGrid1->Columns->Items[NumCampo]->Color = clAqua;
  DBGrid1->Columns->Items[1 - NumCampo]->Color = Color;
  if (EdBusqueda->Enabled && EdBusqueda->Visible && Showing()) EdBusqueda->SetFocus();
}

void TFrmBuscTabla::FormActivate(TObject* Sender) {
  if (RadioButton2->Checked) RadioButton2Click(Sender);
  DataSourceDataChange(Sender, nullptr);
}

void TFrmBuscTabla::RadioButton1Click(TObject*) {
  if (ceroRegistros) return;
  NumCampo = 0;
  ColorearColumnas();
}

void TFrmBuscTabla::RadioButton2Click(TObject*) {
  if (ceroRegistros) return;
  NumCampo = 1;
  ColorearColumnas();
}

bool TFrmBuscTabla::Validar(const AnsiString& aTexto) {
  if (aTexto.IsEmpty()) return true;
  TColumn* columna = DBGrid1->Columns->Items[NumCampo];
  TField* campo = columna->Field();
  AnsiString msg;
  if (campo) {
    TFieldType t = campo->DataType();
    if ((t == ftSmallint || t == ftInteger || t == ftWord || t == ftFloat || t == ftCurrency) &&
        !IsAllDigit(aTexto.c_str()))
      msg += "Sólo debe haber números.";
    if (t == ftString && campo->Size() > 0 && aTexto.Length() > campo->Size())
      msg += columna->Title->Caption + " muy largo.";
  }
  if (!msg.IsEmpty()) {
    ShowMessage("Debe corregir:\n" + msg);
    return false;
  }
  return true;
}

void TFrmBuscTabla::Buscar(const AnsiString& aTexto) {
  AnsiString campo = RadioButton1->Checked ? Campo1 : Campo2;
  std::strncpy(Campo, campo.c_str(), sizeof Campo - 1);
  Datos()->Locate(campo, aTexto, SearchOptions);
}

void TFrmBuscTabla::EdBusquedaChange(TObject*) {
  if (ceroRegistros) return;
  AnsiString texto = EdBusqueda->Text;
  if (!Validar(texto) || texto.IsEmpty()) return;
  SearchOptions = TLocateOptions{loCaseInsensitive, loPartialKey};
  Buscar(texto);
}

void TFrmBuscTabla::BtnBuscarClick(TObject*) {
  if (ceroRegistros) return;
  FindDialog1->Left = Screen->Width / 3;
  FindDialog1->Top = Top / 2;
  FindDialog1->Execute();
}

void TFrmBuscTabla::FindDialog1Find(TObject*) {
  AnsiString texto = FindDialog1->FindText;
  if (!Validar(texto)) return;
  SearchOptions = TLocateOptions{};
  if (!FindDialog1->Options.Contains(frWholeWord)) SearchOptions << loPartialKey;
  if (!FindDialog1->Options.Contains(frMatchCase)) SearchOptions << loCaseInsensitive;
  AnsiString campo = RadioButton1->Checked ? Campo1 : Campo2;
  std::strncpy(Campo, campo.c_str(), sizeof Campo - 1);
  if (!Datos()->Locate(campo, texto, SearchOptions)) ShowMessage(texto + " No encontrado.");
  FindDialog1->CloseDialog();
}

void TFrmBuscTabla::DataSourceDataChange(TObject*, TField*) {
  if (ceroRegistros) return;
  TDataSet* datos = Datos();
  if (!StringGrid1->Visible || datos->IsEmpty()) {
    for (int c = 0; c < StringGrid1->ColCount; ++c) StringGrid1->Cells[c][1] = "";
    return;
  }
  for (int c = 0; c < StringGrid1->ColCount && c < static_cast<int>(camposTira_.size()); ++c) {
    TField* f = datos->FindField(camposTira_[static_cast<size_t>(c)]);
    if (!f) continue;
    StringGrid1->Cells[c][1] = f->IsNull ? AnsiString("---") : FieldCellText(*f);
  }
}

void TFrmBuscTabla::StringGrid1MouseMove(TObject*, TShiftState, int X, int Y) {
  int col = -1, fila = -1;
  StringGrid1->MouseToCell(X, Y, col, fila);
  if (fila == 1 && col >= 0 && col < StringGrid1->ColCount) lblHint->Caption = StringGrid1->Cells[col][1];
}

void TFrmBuscTabla::chBFiltradaClick(TObject*) {
  if (ceroRegistros) return;
  Datos()->Filtered = static_cast<bool>(chBFiltrada->Checked);
}

void TFrmBuscTabla::BtnRegresarClick(TObject*) {
  if (!ceroRegistros) {
    Contenido1 = Datos()->FieldByName(Campo1)->AsString;
    Contenido2 = Datos()->FieldByName(Campo2)->AsString;
  }
  ModalResult = mrOk;
}

void TFrmBuscTabla::BtnSalirClick(TObject*) { ModalResult = mrCancel; }

void TFrmBuscTabla::FormClose(TObject*, TCloseAction&) {
  if (ceroRegistros) return;
  Restaurar();
}
