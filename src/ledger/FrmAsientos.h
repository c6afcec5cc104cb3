#pragma once
// Editor de comprobantes contables: trae o crea un documento, edita sus líneas en la tabla
// de trabajo asientos, revisa cada línea y graba el documento en MVT y mvtMaestro.
#include <map>
#include <string>

#include "ledger/motor/DocumentoManual.h"
#include "platform/core/DateTime.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/Grids.h"

class TPanel;
class TLabel;
class TComboBox;
class TEdit;
class TBitBtn;
class TButton;
class TCheckBox;
class TDBGrid;
class TColumn;
class TTable;
class TQuery;
class TDataSource;
class TField;
class TDataSet;

class TFrmAsientos : public TForm {
 public:
  explicit TFrmAsientos(TComponent* Owner);
  ~TFrmAsientos() override;
  AnsiString ClassName() const override { return "TFrmAsientos"; }

  // Documento.
  TPanel* Panel4;
  TLabel* Label1;
  TComboBox* CBDocumentos;
  TBitBtn* BitBtn1;
  TLabel* Label2;
  TEdit* EdNumDoc;
  TLabel* Label3;
  TEdit* EdDia;
  TComboBox* CBMes;
  TLabel* Label4;
  TEdit* Anio;
  // Órdenes de pago.
  TPanel* Panel6;
  TLabel* LblOP[5];
  TEdit* edOP1;
  TEdit* edOP2;
  TEdit* edOP3;
  TEdit* edOP4;
  TEdit* edOP5;
  TBitBtn* BitBtnRegPPtal1;
  TBitBtn* BitBtnRegPPtal2;
  TBitBtn* BitBtnRegPPtal3;
  TBitBtn* BitBtnRegPPtal4;
  TBitBtn* BitBtnRegPPtal5;
  TPanel* Panel7;
  TButton* BtnTraerCrear;
  // Nombres de la línea actual.
  TPanel* Panel5;
  TLabel* Label5;
  TLabel* LblNCuenta;
  TLabel* Label6;
  TLabel* LblNTercero;
  TLabel* Label7;
  TLabel* LblNCCost;
  TLabel* Label8;
  TLabel* LblNSoporte;
  TLabel* Label9;
  TLabel* LblKardex;
  TLabel* lblNRubro;
  TCheckBox* chbEstricto;
  TCheckBox* ChBDetalle;
  TLabel* Label15;
  TLabel* Label16;
  TDBGrid* DBGrid1;
  // Botones, totales y teclas.
  TPanel* Panel3;
  TBitBtn* BtnNuevaCuenta;
  TBitBtn* BtnActCuenta;
  TBitBtn* BtnActTercero;
  TBitBtn* BtnCambiarColor;
  TBitBtn* BtnGrabar;
  TBitBtn* BtnSalir;
  TPanel* Panel2;
  TLabel* Label10;
  TLabel* LblDebito;
  TLabel* Label11;
  TLabel* LblCredito;
  TLabel* Label12;
  TLabel* LblDiferencia;
  TPanel* Panel1;

  TTable* TblAsiento;
  TDataSource* DataSource1;
  TDataSource* dsPlanPpto;
  TDataSource* dsOrdenPago;  // búsqueda de órdenes de pago
  TDataSource* dsMaestro;    // búsqueda de documentos
  TQuery* Query1;

  // Estado entre eventos.
  AnsiString Docu;
  AnsiString NumDoc;
  AnsiString Comp;
  AnsiString CompDlle;
  TDateTime FechaOriginal;
  TDateTime Fecha;
  double valorDocumento = 0;
  double valorCredito = 0;  // total crédito redondeado por la validación
  double Deb = 0, Cred = 0, Difer = 0;
  AnsiString ValCuenta;
  AnsiString CuentaPlan, TerceroPlan, CCostoPlan, ComprobantePlan;
  AnsiString AutoRetIva, AutoRetFue;
  bool BCCosto = false, BCantidad = false, BAutoRetIva = false, BAutoRetFue = false;
  bool EsRetIva = false, EsRetFue = false;
  int flagTercero = 0;
  bool CambioCuenta = false;
  // Líneas de trabajo tocadas desde que se trajo o se grabó el documento.
  bool lineasSinGrabar_ = false;
  bool exigePpto = false;
  bool esIngreso = false;

  // Eventos.
  void FormActivate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void CBDocumentosExit(TObject* Sender);
  void EdNumDocExit(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
  void BitBtnRegPPtal1Click(TObject* Sender);
  void BtnTraerCrearClick(TObject* Sender);
  void DBGrid1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void DBGrid1ColExit(TObject* Sender);
  void TblAsientoBeforePost(TDataSet* DataSet);
  void DBGrid1DrawColumnCell(TObject* Sender, const TRect& Rect, int DataCol, TColumn* Column,
                             TGridDrawState State);
  void DataSource1DataChange(TObject* Sender, TField* Field);
  void BtnNuevaCuentaClick(TObject* Sender);
  void BtnActCuentaClick(TObject* Sender);
  void BtnActTerceroClick(TObject* Sender);
  void BtnCambiarColorClick(TObject* Sender);
  void BtnGrabarClick(TObject* Sender);
  void BtnSalirClick(TObject* Sender);

  // Operaciones propias.
  void Totalice();
  void ActualizaLabels();
  void LimpiarAsiento();
  bool salir();
  // Revisiones de una línea.
  bool ValidarNumeCuen(int Llamado);
  bool ValidarTercero(bool Forzar);
  bool ValidarCCostos();
  bool ValidarSoportes();
  bool EsCuentaAuxiliar(const AnsiString& ICuenta);
  // Grabación.
  bool Validar();
  // El documento en mano como registro del motor: líneas de trabajo, número, fecha y versión.
  tv::motor::DocumentoManual Registro();
  // Una escritura de este mismo editor sobre el documento en mano (el detalle del encabezado)
  // que pasó la versión de antes a despues: si partió de la traída, no cuenta como de otro.
  void EscrituraPropia(const AnsiString& tipo, const AnsiString& numero, long long antes, long long despues);

 private:
  TEdit* CajaOP(int i) const;
  TBitBtn* BotonOP(int i) const;
  AnsiString CodigoDeCombo() const;
  void Buscar(TDataSource* ds, const char* cap1, const char* cap2, const char* campo1,
              const char* campo2, bool mover, const AnsiString& filtro, AnsiString& c1,
              AnsiString& c2);
  void Busqueda(Word key);
  void EscribirLinea(const char* campo, const AnsiString& valor);
  void CopiarDeArriba();
  void PedirCantidad();
  // Fecha del documento según las cajas; falso cuando no forman una fecha.
  bool FechaDeCajas(TDateTime& fecha) const;
  void AbrirAyuda();
  // Quita el documento en mano (tras grabar o tras un permiso negado).
  void SoltarDocumento();
  // Escritura del documento validado en una transacción; verdadero cuando quedó grabado.
  bool Grabar();
  void GrabarDocumento();  // el clic de Grabar una vez revisado que hay documento en mano
  void TablaDeTrabajoPropia();
  bool ExisteEncabezado(const AnsiString& tipo, const AnsiString& numero);

  long long versionAlTraer_ = 0;    // versión guardada del documento en mano al traerlo
  bool encabezadoAlTraer_ = false;  // el documento en mano tenía encabezado al traerlo
  bool nuevoAlTraer_ = false;       // el documento en mano no tenía líneas ni encabezado al traerlo
  bool revisandoMonto_ = false;

  bool opElegida_[5] = {false, false, false, false, false};
  bool conRubro_ = false;
  AnsiString unidades_;  // unidades de la última cuenta buscada
  std::map<std::string, bool> auxiliares_;  // EsCuentaAuxiliar durante una validación
  struct TerceroLeido {
    AnsiString nombre;
    bool retIva = false, retFuente = false;
  };
  std::map<std::string, TerceroLeido> terceros_;  // terceros del documento durante una validación
  struct CuentaLeida {
    AnsiString nombre, centcost, cantidad, codiveri, unidades;
    int flagTercero = 0;
  };
  std::map<std::string, CuentaLeida> cuentas_;  // cuentas del documento durante una validación
  bool validando_ = false;
};

extern TFrmAsientos* FrmAsientos;

// Mayor monto de una línea: con quince cifras un double guarda los centavos exactos.
inline constexpr double kMontoMaximo = 9999999999999.99;
// Mayor total de un documento que conserva los centavos (2^53 centavos).
inline constexpr double kTotalMaximo = 90071992547409.91;
// Un monto finito que no pasa del máximo.
inline bool MontoSumable(double v) { return v >= -kMontoMaximo && v <= kMontoMaximo; }
