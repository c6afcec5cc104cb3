#pragma once
// Diálogo modal de búsqueda sobre cualquier conjunto de datos con dos campos llave.
#include <vector>

#include "platform/db/DB.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"

class TFrmBuscTabla : public TForm {
 public:
  TFrmBuscTabla(TComponent* Owner, TDataSource* aDS, const char* aLblCampo1, const char* aLblCampo2,
                const char* aCampo1, const char* aCampo2, bool aBMove, const AnsiString& aFiltro);
  ~TFrmBuscTabla() override;
  AnsiString ClassName() const override { return "TFrmBuscTabla"; }

  AnsiString GetContenido1() const { return Contenido1; }
  AnsiString GetContenido2() const { return Contenido2; }

  TPanel* Panel1;
  TLabel* Label4;
  TLabel* lblFiltro;
  TCheckBox* chBFiltrada;
  TLabel* Label1;
  TBevel* Bevel1;
  TRadioButton* RadioButton1;
  TRadioButton* RadioButton2;
  TGroupBox* GroupBox1;
  TButton* BtnBuscar;
  TLabel* Label2;
  TEdit* EdBusqueda;
  TDBGrid* DBGrid1;
  TStringGrid* StringGrid1;
  TLabel* lblHint;
  TButton* BtnRegresar;
  TButton* BtnSalir;
  TFindDialog* FindDialog1;

  AnsiString Campo1, Campo2;
  AnsiString Contenido1, Contenido2;
  TBookmark Marca;
  bool BMove = false;
  int NumCampo = 0;
  char Campo[30] = {};
  TLocateOptions SearchOptions;
  TDataChangeEvent onDataChange;
  bool ceroRegistros = false;

  bool Validar(const AnsiString& aTexto);
  void FormActivate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void RadioButton1Click(TObject* Sender);
  void RadioButton2Click(TObject* Sender);
  void EdBusquedaChange(TObject* Sender);
  void BtnBuscarClick(TObject* Sender);
  void FindDialog1Find(TObject* Sender);
  void DataSourceDataChange(TObject* Sender, TField* Field);
  void StringGrid1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void chBFiltradaClick(TObject* Sender);
  void BtnRegresarClick(TObject* Sender);
  void BtnSalirClick(TObject* Sender);

 private:
  void ColorearColumnas();
  void Buscar(const AnsiString& aTexto);
  void Restaurar();
  TDataSet* Datos() const { return ds_->GetDataSet(); }
  TDataSource* ds_ = nullptr;
  AnsiString filtroAnterior_;
  bool filtradoAnterior_ = false;
  bool restaurado_ = true;
  std::vector<AnsiString> camposTira_;  // el campo de cada columna de la tira, en su orden
};

extern TFrmBuscTabla* FrmBuscTabla;
