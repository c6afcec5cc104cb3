#pragma once
// Piezas comunes de las consultas, libros y listados: el periodo con sus calendarios, las
// búsquedas de cuentas y terceros, la ayuda, los montos de las rejillas y los textos SQL.
#include <initializer_list>

#include "platform/forms/Forms.h"

class TGroupBox;
class TLabel;
class TMaskEdit;
class TSpeedButton;
class TBitBtn;
class TCustomEdit;
class TDBGrid;
class TStringGrid;
class TColumn;
class TDataSource;
class TQuickRep;
class TQRCustomBand;
class TQRLabel;
class TQRDBText;
struct TRect;

// Condición "campo like '<prefijo>%' escape '\'" con los comodines del prefijo escapados.
AnsiString CondicionPrefijo(const AnsiString& aCampo, const AnsiString& aPrefijo);
// Abre una página de la ayuda ("x.htm" se sirve como "x.html").
void AbrirPaginaAyuda(const AnsiString& aPagina);
// Nombre e identificación de la entidad para los encabezados impresos.
AnsiString EmpresaConNit(const char* aSeparador, const char* aCampoNit = "NIT");
// Pinta un monto alineado a la derecha sobre la celda (y un pixel alrededor).
void DibujarMonto(TDBGrid* aGrid, const TRect& aRect, const AnsiString& aTexto);
// Celda de monto de una rejilla de texto: el número escrito se ve con dos decimales y los
// separadores del usuario, a la derecha; un texto que no es número se ve tal cual.
void DibujarCeldaMonto(TStringGrid* aGrid, int aCol, int aRow, const TRect& aRect);
// Las columnas de la rejilla cuyos campos se nombran se ven como todo monto.
void MostrarMontos(TDBGrid* aGrid, std::initializer_list<const char*> aCampos);
// Ventana de la cuenta (plan) o del tercero; escribe código y nombre en los controles.
void BuscarCuenta(TComponent* aOwner, TCustomEdit* aCodigo, TLabel* aNombre);
void BuscarTercero(TComponent* aOwner, TCustomEdit* aCodigo, TLabel* aNombre);
// Calendario del año fiscal; la fecha escogida va al control dado.
void TraerFecha(TComponent* aOwner, TCustomEdit* aDestino);
// Fecha del periodo recordado, o vacía cuando "data.ini" no guardaba ninguna.
AnsiString FechaRecordada(bool aInicial);

// Formulario con el grupo "Fechas: " (EdFechaInicio, EdFechaFinal y sus calendarios).
class TFrmConPeriodo : public TForm {
 public:
  explicit TFrmConPeriodo(TComponent* Owner) : TForm(Owner) {}

  TGroupBox* GBFechas = nullptr;
  TLabel* LblDesde = nullptr;
  TMaskEdit* EdFechaInicio = nullptr;
  TSpeedButton* BtnFechaDesde = nullptr;
  TLabel* LblHasta = nullptr;
  TMaskEdit* EdFechaFinal = nullptr;
  TSpeedButton* BtnFechaHasta = nullptr;

  void BtnFechaDesdeClick(TObject* Sender);

 protected:
  // Crea el grupo en el orden del formulario, con el periodo recordado.
  void CrearPeriodo(TWinControl* aPadre);
};

// ---- impresos ----
TQRCustomBand* NuevaBanda(TComponent* aOwner, TQuickRep* aRep, int aTipo, int aAlto);
TQRLabel* NuevaEtiqueta(TComponent* aOwner, TQRCustomBand* aBanda, const char* aNombre,
                        const AnsiString& aTexto, int aLeft, int aTop, int aWidth = 0,
                        bool aDerecha = false, bool aNegrita = false);
TQRDBText* NuevoCampo(TComponent* aOwner, TQRCustomBand* aBanda, const char* aNombre,
                      TDataSource* aDS, const char* aCampo, int aLeft, int aTop, int aWidth,
                      bool aDerecha = false);
// Texto de un monto impreso: vacío sigue vacío; si no, Punto con dos decimales.
AnsiString MontoImpreso(const AnsiString& aTexto);
