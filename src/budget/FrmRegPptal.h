#pragma once
// Registro presupuestal: compromete parte de un certificado de disponibilidad con un
// tercero; puede colgar de una orden de servicio o de suministro o solo describir el
// documento que lo respalda.
#include <cstdint>

#include "platform/forms/Forms.h"

class TLabel;
class TEdit;
class TMaskEdit;
class TButton;
class TBitBtn;
class TPanel;
class TRadioGroup;
class TQuery;
class TDataSource;
class TfrmExplRegPptal;

class TfrmRegPptal : public TForm {
 public:
  explicit TfrmRegPptal(TComponent* Owner);
  ~TfrmRegPptal() override;
  AnsiString ClassName() const override { return "TfrmRegPptal"; }

  TLabel* Label1;
  TEdit* edICD;
  TButton* btnLintCertDisp;
  TButton* btnRegistros;
  TLabel* Label23;
  TLabel* Label2;
  TLabel* Label9;
  TLabel* Label3;
  TLabel* Label10;
  TLabel* Label4;
  TLabel* lblRubroPptal;
  TLabel* Label5;
  TLabel* lblPendientePago;
  TLabel* Label6;
  TEdit* edIregPptal;
  TButton* btnLintRegPptal;
  TLabel* Label7;
  TMaskEdit* edFechaExp;
  TButton* btnFechaExp;
  TLabel* Label8;
  TMaskEdit* edFechaVenc;
  TButton* btnFechaVenc;
  TLabel* Label11;
  TEdit* edItercero;
  TButton* btnLintCedula;
  TButton* btnNuevTerc;
  TLabel* lblNTercero;
  TLabel* Label12;
  TMaskEdit* edValor;
  TLabel* Label13;
  TMaskEdit* edFunc;
  TLabel* Label14;
  TMaskEdit* edInv;
  TLabel* Label16;
  TEdit* edVigFisc;
  TLabel* Label17;
  TEdit* edObjetoGasto;
  TRadioGroup* rgTipo;
  TPanel* Panel2;
  TLabel* Label18;
  TEdit* edIorden;
  TButton* btnLintOrden;
  TLabel* Label19;
  TLabel* Label15;
  TButton* btnNuevaOrdenServ;
  TButton* btnModOrd;
  TPanel* Panel1;
  TLabel* Label20;
  TEdit* edDocAsociado;
  TBitBtn* btnAceptar;
  TBitBtn* btnNavegar;
  TBitBtn* btnImprimir;
  TBitBtn* btnCancelar;
  TQuery* queryGral;
  TDataSource* dsTerceros;
  TDataSource* dsCertDisp;
  TDataSource* dsRegPptal;
  TfrmExplRegPptal* explorador = nullptr;  // compañero sin modal, vive con el formulario

  std::int64_t icd = 0;
  bool nuevo = true;
  std::int64_t comprPend = 0;      // centavos
  std::int64_t valorOriginal = 0;  // centavos
  std::int64_t ordenOriginal = 0;
  int tipoOrdenOriginal = 0;
  long long versionTraida = 0;  // versión del registro al traerlo

  void initNuevo();
  bool validar();
  // Lo que queda del certificado con el registro por aValor (centavos).
  std::int64_t getPendientePago(std::int64_t aValor);

  void edICDExit(TObject* Sender);
  void edIregPptalExit(TObject* Sender);
  void edValorEnter(TObject* Sender);
  void edFuncEnter(TObject* Sender);
  void edInvEnter(TObject* Sender);
  void edFuncExit(TObject* Sender);
  void edValorExit(TObject* Sender);
  void edObjetoGastoEnter(TObject* Sender);
  void edIterceroExit(TObject* Sender);
  void btnAceptarClick(TObject* Sender);
  void btnFechaExpClick(TObject* Sender);
  void btnLintCedulaClick(TObject* Sender);
  void btnLintCertDispClick(TObject* Sender);
  void btnLintRegPptalClick(TObject* Sender);
  void btnNuevTercClick(TObject* Sender);
  void btnNavegarClick(TObject* Sender);
  void btnRegistrosClick(TObject* Sender);
  void btnImprimirClick(TObject* Sender);
  void rgTipoClick(TObject* Sender);
  void btnLintOrdenClick(TObject* Sender);
  void btnNuevaOrdenServClick(TObject* Sender);
  void btnModOrdClick(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormCloseQuery(TObject* Sender, bool& CanClose);

 private:
  // Lo digitado en los campos que se graban, para preguntar antes de descartarlo al salir.
  AnsiString Digitado() const;
  void TomarDigitado();
  AnsiString digitadoGuardado_;
  void Colorear(TColor color);
  void PasoCertificado();
  void LeerPendienteCertificado();
  void MostrarPendiente();
  std::int64_t ValorDigitadoCentavos();
};

extern TfrmRegPptal* frmRegPptal;
