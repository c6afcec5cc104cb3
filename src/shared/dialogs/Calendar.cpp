#include "shared/dialogs/Calendar.h"

#include "platform/core/SysUtils.h"
#include "shared/general/Utiles.h"

TFrmCalendar* FrmCalendar = nullptr;

TFrmCalendar::TFrmCalendar(TComponent* Owner) : TForm(Owner) {
  Name = "FrmCalendar";
  Caption = "Calendario";
  BorderStyle = bsDialog;
  BorderIcons = {biSystemMenu};
  ClientWidth = 178;
  // Más alto que el diseño original: las siete filas de la rejilla caben sin desplazarse
  // con las fuentes del escritorio.
  ClientHeight = 216;
  Width = 178;
  Height = 216;

  CBMes = Make<TComboBox>(this, "CBMes");
  CBMes->Style = csDropDownList;
  CBMes->SetBounds(0, 4, 100, 21);
  for (int i = 0; i < 12; ++i) CBMes->Items->Add(LongMonthNames[i]);

  EdYear = Make<TEdit>(this, "EdYear");
  EdYear->ReadOnly = true;
  EdYear->SetBounds(104, 4, 55, 21);

  UpDown1 = Make<TUpDown>(this, "UpDown1");
  UpDown1->SetBounds(159, 4, 16, 21);
  UpDown1->Min = 0;
  UpDown1->Max = 2200;
  UpDown1->Thousands = false;
  UpDown1->Wrap = false;
  UpDown1->Associate = EdYear;
  UpDown1->Position = 2000;

  bcCalendar1 = Make<TbcCalendar>(this, "bcCalendar1");
  bcCalendar1->SetBounds(0, 32, 177, 150);
  bcCalendar1->HolidayFont->Color = clRed;
  bcCalendar1->ShowHint = true;

  Button1 = Make<TButton>(this, "Button1");
  Button1->Caption = "Aceptar";
  Button1->Font->Style = {fsBold};
  Button1->SetBounds(52, 188, 75, 24);

  // La lista de meses muestra el nombre largo del mes según la configuración del usuario.
  CBMes->OnChange = [this](TObject* s) { CBMesChange(s); };
  EdYear->OnChange = [this](TObject* s) { EdYearChange(s); };
  Button1->OnClick = [this](TObject* s) { Button1Click(s); };
  bcCalendar1->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { bcCalendar1KeyDown(s, k, sh); };
  OnActivate = [this](TObject* s) { FormActivate(s); };

  // Se abre bajo el control "EdFecha" del dueño, cuando lo tiene.
  if (Owner) {
    for (int i = 0; i < Owner->ComponentCount(); ++i) {
      auto* c = dynamic_cast<TControl*>(Owner->Components(i));
      if (c && c->Name == "EdFecha") {
        auto* dueno = dynamic_cast<TControl*>(Owner);
        int izq = dueno ? dueno->Left : 0, arriba = dueno ? dueno->Top : 0;
        Left = izq + c->Left + c->Width;
        Top = arriba + c->Top + c->Height;
        break;
      }
    }
  }
  year = 0;
  month = 0;
}

void TFrmCalendar::PonerTitulo() {
  Caption = CBMes->Text + " " + EdYear->Text;
}

void TFrmCalendar::FormActivate(TObject*) {
  if (year == 0) year = GetAnioActual();
  if (month == 0) month = GetMesActual();
  CBMes->ItemIndex = month - 1;
  bcCalendar1->Month = month;
  // El año se fija también cuando el texto ya era ese (el cambio de texto no avisa).
  bcCalendar1->Year = year;
  EdYear->Text = IntToStr(year);
  PonerTitulo();
}

void TFrmCalendar::EdYearChange(TObject*) {
  int anio = EdYear->Text.ToIntDef(0);
  if (anio > 0) bcCalendar1->Year = anio;
  PonerTitulo();
}

void TFrmCalendar::CBMesChange(TObject*) {
  bcCalendar1->Month = CBMes->ItemIndex + 1;
  month = static_cast<unsigned short>(bcCalendar1->GetDateElement(2));
  PonerTitulo();
}

void TFrmCalendar::Button1Click(TObject*) { Close(); }

void TFrmCalendar::bcCalendar1KeyDown(TObject*, Word& Key, TShiftState) {
  if (Key == VK_RETURN || Key == VK_ESCAPE) Close();
}

void TFrmCalendar::GetDateAsString(TCustomEdit* Receiver) {
  TDateTime fecha = EncodeDate(bcCalendar1->GetDateElement(1), bcCalendar1->GetDateElement(2),
                               bcCalendar1->GetDateElement(3));
  // Día y mes siempre con dos dígitos, en el orden del formato del usuario.
  const AnsiString f = ShortDateFormat;
  if (f == "d/MM/yyyy" || f == "dd/M/yyyy" || f == "d/M/yyyy" || f == "dd/MM/yyyy")
    ShortDateFormat = "dd/MM/yyyy";
  else if (f == "MM/d/yyyy" || f == "M/dd/yyyy" || f == "M/d/yyyy" || f == "MM/dd/yyyy")
    ShortDateFormat = "MM/dd/yyyy";
  else if (f == "yyyy/MM/d" || f == "yyyy/M/dd" || f == "yyyy/M/d" || f == "yyyy/MM/dd")
    ShortDateFormat = "yyyy/MM/dd";
  Receiver->Text = DateToStr(fecha);
}
