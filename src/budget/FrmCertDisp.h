#pragma once
// Certificado de disponibilidad presupuestal: número, fechas, objeto, valor con su reparto
// entre funcionamiento e inversión, rubros con su monto y plan mensual de caja (PAC).
#include <cstdint>
#include <vector>

#include "platform/forms/Forms.h"

class TLabel;
class TEdit;
class TMaskEdit;
class TButton;
class TBitBtn;
class TStringGrid;
class TQuery;
class TDataSource;
class TfrmExpCertDisp;
struct MontoRubro;

// Rubro y valor que el certificado cargado ya tiene separado en una fila de la rejilla.
struct oldDatosGrid {
  AnsiString rubro;
  double valor = 0;
};

class TfrmCertDisp : public TForm {
 public:
  explicit TfrmCertDisp(TComponent* Owner);
  ~TfrmCertDisp() override;
  AnsiString ClassName() const override { return "TfrmCertDisp"; }

  TLabel* Label1;
  TEdit* edIcertDisp;
  TBitBtn* BitBtn4;
  TLabel* lblAvisoDecimal;
  TLabel* Label2;
  TMaskEdit* edFechaExp;
  TButton* btnFechaExp;
  TLabel* Label3;
  TMaskEdit* edFechaVenc;
  TButton* btnFechaVenc;
  TLabel* Label4;
  TEdit* edObjetoGasto;
  TLabel* Label6;
  TMaskEdit* edValor;
  TLabel* Label7;
  TMaskEdit* edFunc;
  TLabel* Label8;
  TMaskEdit* edInv;
  TLabel* Label9;
  TEdit* edVigFisc;
  TLabel* Label12;
  TLabel* Label13;
  TStringGrid* stgPAC;
  TLabel* Label5;
  TStringGrid* sgOtrosRubros;
  TButton* btnAddOtroRubro;
  TButton* btnDeleteOtroRubro;
  TBitBtn* btnAceptar;
  TBitBtn* btnExplorar;
  TBitBtn* btnImprimir;
  TBitBtn* btnCancelar;
  TQuery* queryGral;
  TDataSource* dsCertDisp;
  TfrmExpCertDisp* explorador = nullptr;  // compañero sin modal, vive con el formulario

  bool nuevo = true;
  int countOtrosRubros = 0;
  // Una entrada por fila de la rejilla de rubros (la 0 es la de títulos).
  std::vector<oldDatosGrid> old;

  void initNuevo();
  bool validar();
  double getValorOtrosRubros();

  void edIcertDispExit(TObject* Sender);
  void BitBtn4Click(TObject* Sender);
  void btnFechaExpClick(TObject* Sender);
  void edValorEnter(TObject* Sender);
  void edFuncEnter(TObject* Sender);
  void edInvEnter(TObject* Sender);
  void edValorExit(TObject* Sender);
  void btnAddOtroRubroClick(TObject* Sender);
  void btnDeleteOtroRubroClick(TObject* Sender);
  void btnAceptarClick(TObject* Sender);
  void btnExplorarClick(TObject* Sender);
  void btnImprimirClick(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);

 private:
  std::int64_t numero_ = 0;  // número del certificado que se graba
  long long versionTraida_ = 0;  // versión del certificado al traerlo
  void EncabezadosPAC();
  void EncabezadosRubros();
  void VaciarRubros();
  void CargarCertificado();
  void EscribirNumero(const AnsiString& texto);
  std::vector<MontoRubro> MontosRubros();
  void LeerDisponibles();
};

extern TfrmCertDisp* frmCertDisp;
