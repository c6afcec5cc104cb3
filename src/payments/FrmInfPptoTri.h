#pragma once
// Informe presupuestal por trimestre: presupuesto inicial, modificaciones, definitivo, ejecución
// antes del periodo, en él y total (certificados en gastos, recaudos en ingresos), reintegros
// del periodo y saldo por ejecutar. Comparte la tabla de trabajo infPpto con el informe completo.
#include "payments/FrmInfPpto.h"

class TDataSet;

class TfrmInfPptoTri : public TfrmInfPpto {
 public:
  explicit TfrmInfPptoTri(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmInfPptoTri"; }

  void fillTableInfPptoWithRubros();
  void fillMvtCDP();
  void fillMvtPptalReintegros();
  void fillDisponibleCDP();
  void fillIngresos();
  void updateInfPptoWithIngresos(TDataSet* aResultado, const AnsiString& aColumna);

 protected:
  void construir() override;
  AnsiString textoCreacion() override;
  void volcarCSV(const AnsiString& aArchivo) override;
};

extern TfrmInfPptoTri* frmInfPptoTri;
