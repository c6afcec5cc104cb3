#pragma once
// Impresos del resumen presupuestal: gastos (oficio horizontal) e ingresos (carta
// horizontal), agrupados por rubro con un bloque de cierre por rubro.
#include <map>

#include "platform/forms/Forms.h"

class TDataSource;
class TQuickRep;
class TQRCustomBand;
class TQRLabel;
class TQRMemo;

// Cifras de cierre de un rubro, de las funciones de saldos.
struct CierreRubroPptal {
  double movimientoAnterior = 0;    // presupuestado antes del periodo
  double certificadosAnterior = 0;  // gasto: certificados antes del periodo
  double registrosAnterior = 0;     // gasto: registros; ingreso: ejecutado antes del periodo
  double certificadosPeriodo = 0;
  double certificadosSaldo = 0;
  double disponible = 0;
};

class TfrmRepInformePptal : public TForm {
 public:
  // aIngreso: el impreso de ingresos; si no, el de gastos.
  TfrmRepInformePptal(TComponent* Owner, bool aIngreso = false);
  AnsiString ClassName() const override { return ingreso_ ? "TfrmRepInformePptal_i" : "TfrmRepInformePptal"; }

  AnsiString fechaInicial, fechaFinal, rubro;
  TDataSource* DataSource1;
  TQuickRep* QuickReport1;
  TQRMemo* QRMemo1;

  // Cifras del rubro, calculadas una vez por rubro mientras viva el impreso.
  const CierreRubroPptal& Cierre(const AnsiString& aRubro);
  int calculos = 0;  // rubros calculados

 private:
  void CrearBandas();
  bool ingreso_;
  std::map<AnsiString, CierreRubroPptal> cierres_;
  AnsiString rubroGrupo_;
  double sumaAprobado_ = 0, sumaEjecutado_ = 0;
};

class TfrmRepInformePptal_i : public TfrmRepInformePptal {
 public:
  explicit TfrmRepInformePptal_i(TComponent* Owner) : TfrmRepInformePptal(Owner, true) {}
};

// Alto de la línea según el objeto del gasto o el concepto del ingreso.
int AltoLineaResumen(const AnsiString& aTexto, bool aIngreso);

extern TfrmRepInformePptal* frmRepInformePptal;
extern TfrmRepInformePptal_i* frmRepInformePptal_i;
