#pragma once
// Rejilla de calendario de siete por siete: nombres de los días y días del mes.
#include "platform/core/DateTime.h"
#include "platform/forms/Grids.h"

class TbcCalendar : public TCustomGrid {
 public:
  explicit TbcCalendar(TComponent* AOwner);
  AnsiString ClassName() const override { return "TbcCalendar"; }

  // Año (1), mes (2) y día (3) de la fecha; otro índice da -1.
  int GetDateElement(int Index) const;
  void SetDateElement(int Index, int Value);

  TDateTime CalendarDate() const { return FDate; }
  AnsiString CellText(int ACol, int ARow) const { return GetCellText(ACol, ARow); }
  AnsiString GetCellText(int ACol, int ARow) const;
  // El texto de cada celda es el de GetCellText (la rejilla no se edita).
  AnsiString GetEditText(int ACol, int ARow) override { return GetCellText(ACol, ARow); }
  AnsiString Version() const { return "1.01"; }

  TProp<int> Year;
  TProp<int> Month;
  TProp<int> Day;
  TProp<int> StartOfWeek;      // 0 = domingo ... 6 = sábado
  TProp<bool> UseCurrentDate;
  Sub<TFont> HolidayFont;
  bool ReadOnly = false;
  TNotifyEvent OnChange;

  void SetStartOfWeek(int Value);
  void SetUseCurrentDate(bool Value);
  void SetHolidayFont(const TFont* Value);

  virtual int DaysPerMonth(int AYear, int AMonth) const;
  virtual int DaysThisMonth() const;
  virtual bool IsLeapYear(int AYear) const;
  virtual void UpdateCalendar();
  virtual void Change();

  int MonthOffset() const { return FMonthOffset; }

  void Click() override;

 protected:
  bool SelectCell(int ACol, int ARow) override;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  void SizeChanged() override;

 private:
  void SincronizarPropiedades();
  TDateTime FDate;
  int FMonthOffset = 0;
  int FStartOfWeek = 1;
  bool FUpdating = false;
  bool FUseCurrentDate = true;
};
