#pragma once
// Auditoría del presupuesto: lista los vínculos rotos entre comprobantes, órdenes de pago,
// órdenes de servicio y suministro, registros, certificados y PAC. Solo lee.
#include <vector>

#include "platform/forms/Forms.h"

class TLabel;
class TBitBtn;
class TMemo;
class TQuery;

class TfrmAudPpto : public TForm {
 public:
  explicit TfrmAudPpto(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmAudPpto"; }

  TLabel* Label1;
  TLabel* Label2;
  TLabel* Label3;
  TLabel* Label4;
  TLabel* lblAutomatica;
  TMemo* Memo1;
  TBitBtn* BitBtn1;
  TBitBtn* BitBtn2;
  TQuery* Query1;

  void BitBtn1Click(TObject* Sender);
  void BitBtn2Click(TObject* Sender);
  // Corre las revisiones sin clic (los exploradores tras cada borrado).
  void simularClick();
  // Modo automático: al borde izquierdo, con el aviso y sin botones, sin modal.
  void MostrarAutomatica();

 private:
  void mvtContableInconsistente();
  void ordenesInconsistentes();
  void regPptalesHuerfanos();
  void PAChuerfanos();
  void Linea(const AnsiString& texto);
  std::vector<AnsiString> hallazgos_;
};

extern TfrmAudPpto* frmAudPpto;
