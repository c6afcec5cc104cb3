#pragma once
// Cierre del año: comprobante de cierre en el año que se cierra, contabilidad del año
// siguiente con sus saldos iniciales y paso del usuario a ella.
#include "platform/core/DateTime.h"
#include "platform/forms/Forms.h"

class TLabel;
class TEdit;
class TBitBtn;
class TQuery;
class TTable;
namespace tv::db {
class Connection;
}

class TFrmCierreAnio : public TForm {
 public:
  explicit TFrmCierreAnio(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmCierreAnio"; }

  TLabel* Label1;
  TLabel* Label2;
  TLabel* Label3;
  TLabel* Label4;
  TEdit* edCtaUtilidad;
  TBitBtn* BtnAceptar;
  TBitBtn* BitBtn1;
  TQuery* Query1;

  AnsiString CuentaUtilidad;
  AnsiString NewPath;     // carpeta de la contabilidad del año siguiente
  TDateTime FechaCierre;  // 31 de diciembre del año que se cierra
  int itemsCSI = 0;
  double valorCSI = 0;

  void BtnAceptarClick(TObject* Sender);
  // Falso cuando NewPath ya existía; si no, deja vacía la carpeta donde se arma.
  bool CrearNuevoDirectorio();
  // Carpeta junto a NewPath donde se arma la contabilidad nueva antes de ponerla en su lugar.
  AnsiString CarpetaEnArmado() const;
  // Comprobante de saldos iniciales en la contabilidad del año siguiente.
  void AddCSI();

 private:
  void CerrarLibros();
  void CopiarContabilidad();
  void EscribirCSI(tv::db::Connection& c);
  void AgregarLinea(TTable* aTabla, const AnsiString& aCuenta, const AnsiString& aTercero,
                    const AnsiString& aTipo, double aDebito, double aCredito);
};

extern TFrmCierreAnio* FrmCierreAnio;

// Tablas de movimiento, y las versiones de sus documentos, que la contabilidad del año
// siguiente recibe vacías.
extern const char* const kTablasMovimiento[14];
