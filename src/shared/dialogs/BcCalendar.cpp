#include "shared/dialogs/BcCalendar.h"

#include "platform/core/SysUtils.h"

TbcCalendar::TbcCalendar(TComponent* AOwner)
    : TCustomGrid(AOwner),
      Year([this](const int& v) { SetDateElement(1, v); }),
      Month([this](const int& v) { SetDateElement(2, v); }),
      Day([this](const int& v) { SetDateElement(3, v); }),
      StartOfWeek([this](const int& v) { SetStartOfWeek(v); }, 1),
      UseCurrentDate([this](const bool& v) { SetUseCurrentDate(v); }, true) {
  FStartOfWeek = 1;
  HolidayFont->Color = clRed;
  FUseCurrentDate = true;
  FixedCols = 0;
  FixedRows = 1;
  ColCount = 7;
  RowCount = 7;
  ScrollBars = ssNone;
  Options = (Options - TGridOptions{goRangeSelect}) + TGridOptions{goDrawFocusSelected};
  FDate = Date();
  UpdateCalendar();
}

int TbcCalendar::GetDateElement(int Index) const {
  unsigned short a, m, d;
  DecodeDate(FDate, a, m, d);
  switch (Index) {
    case 1: return a;
    case 2: return m;
    case 3: return d;
    default: return -1;
  }
}

void TbcCalendar::SetDateElement(int Index, int Value) {
  if (Value < 1) return;
  unsigned short a, m, d;
  DecodeDate(FDate, a, m, d);
  int anio = a, mes = m, dia = d;
  switch (Index) {
    case 1:
      if (Value == anio) return;
      anio = Value;
      if (dia > DaysPerMonth(anio, mes)) dia = DaysPerMonth(anio, mes);
      break;
    case 2:
      if (Value > 12 || Value == mes) return;
      mes = Value;
      if (dia > DaysPerMonth(anio, mes)) dia = DaysPerMonth(anio, mes);
      break;
    case 3:
      if (Value > DaysThisMonth() || Value == dia) return;
      dia = Value;
      break;
    default:
      return;
  }
  FDate = EncodeDate(anio, mes, dia);
  FUseCurrentDate = false;
  UseCurrentDate.Raw(false);
  UpdateCalendar();
  Change();
}

AnsiString TbcCalendar::GetCellText(int ACol, int ARow) const {
  if (ARow == 0) return ShortDayNames[(FStartOfWeek + ACol) % 7];
  int dia = FMonthOffset + ACol + 7 * (ARow - 1);
  if (dia < 1 || dia > DaysThisMonth()) return "";
  return IntToStr(dia);
}

int TbcCalendar::DaysPerMonth(int AYear, int AMonth) const {
  static const int kDias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (AMonth < 1 || AMonth > 12) return 0;
  int r = kDias[AMonth - 1];
  if (AMonth == 2 && IsLeapYear(AYear)) ++r;
  return r;
}

int TbcCalendar::DaysThisMonth() const { return DaysPerMonth(GetDateElement(1), GetDateElement(2)); }

bool TbcCalendar::IsLeapYear(int AYear) const {
  return AYear % 4 == 0 && (AYear % 100 != 0 || AYear % 400 == 0);
}

void TbcCalendar::SincronizarPropiedades() {
  Year.Raw(GetDateElement(1));
  Month.Raw(GetDateElement(2));
  Day.Raw(GetDateElement(3));
}

void TbcCalendar::UpdateCalendar() {
  struct Bandera {
    bool& b;
    explicit Bandera(bool& x) : b(x) { b = true; }
    ~Bandera() { b = false; }
  } actualizando(FUpdating);
  int anio = GetDateElement(1), mes = GetDateElement(2), dia = GetDateElement(3);
  int c = (DayOfWeek(EncodeDate(anio, mes, 1)) - FStartOfWeek + 7) % 7;
  FMonthOffset = 2 - c;
  if (FMonthOffset == 2) FMonthOffset = -5;
  SetCurrentCell((dia - FMonthOffset) % 7, (dia - FMonthOffset) / 7 + 1);
  SincronizarPropiedades();
  Invalidate();
}

void TbcCalendar::Change() {
  if (OnChange) OnChange(this);
}

void TbcCalendar::Click() {
  TCustomGrid::Click();
  AnsiString texto = GetCellText(Col, Row);
  if (!texto.IsEmpty()) SetDateElement(3, texto.ToInt());
}

bool TbcCalendar::SelectCell(int ACol, int ARow) {
  if (ReadOnly && !FUpdating) return false;
  if (GetCellText(ACol, ARow).IsEmpty()) return false;
  return TCustomGrid::SelectCell(ACol, ARow);
}

void TbcCalendar::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  AnsiString texto = GetCellText(ACol, ARow);
  if (ARow > 0 && !texto.IsEmpty()) {
    int columnaFestiva = FStartOfWeek == 1 ? 6 : FStartOfWeek == 0 ? 0 : -1;
    if (columnaFestiva >= 0) {
      if (ACol == columnaFestiva)
        Canvas->Font->Color = HolidayFont->Color;
      else if (AState.Contains(gdSelected))
        Canvas->Font->Color = clWhite;
      else
        Canvas->Font->Color = clBlack;
    }
  }
  int x = ARect.Left + (ARect.Width() - Canvas->TextWidth(texto)) / 2;
  int y = ARect.Top + (ARect.Height() - Canvas->TextHeight(texto)) / 2;
  Canvas->TextRect(ARect, x, y, texto);
}

void TbcCalendar::SizeChanged() {
  DefaultColWidth = (Width - 6 * GridLineWidth) / 7;
  DefaultRowHeight = (Height - 6 * GridLineWidth) / 7;
}

void TbcCalendar::SetStartOfWeek(int Value) {
  StartOfWeek.Raw(Value);
  if (Value == FStartOfWeek) return;
  FStartOfWeek = Value;
  UpdateCalendar();
}

void TbcCalendar::SetUseCurrentDate(bool Value) {
  UseCurrentDate.Raw(Value);
  if (Value == FUseCurrentDate) return;
  FUseCurrentDate = Value;
  if (Value) {
    FDate = Date();
    UpdateCalendar();
  }
}

void TbcCalendar::SetHolidayFont(const TFont* Value) {
  HolidayFont->Assign(Value);
  Invalidate();
}
