#pragma once
// Selector de fecha modal: lista de meses, año con flechas y rejilla del mes.
#include "platform/forms/ComCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "shared/dialogs/BcCalendar.h"

class TFrmCalendar : public TForm {
 public:
  explicit TFrmCalendar(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmCalendar"; }

  TComboBox* CBMes;
  TEdit* EdYear;
  TUpDown* UpDown1;
  TbcCalendar* bcCalendar1;
  TButton* Button1;

  // Año y mes con que abre (0 = el actual); al cerrar, month queda en el mes mostrado.
  unsigned short year = 0;
  unsigned short month = 0;

  // Escribe la fecha elegida en el formato de fecha corta con día y mes de dos dígitos.
  void GetDateAsString(TCustomEdit* Receiver);

  void FormActivate(TObject* Sender);
  void EdYearChange(TObject* Sender);
  void CBMesChange(TObject* Sender);
  void Button1Click(TObject* Sender);
  void bcCalendar1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);

 private:
  void PonerTitulo();
};

extern TFrmCalendar* FrmCalendar;
