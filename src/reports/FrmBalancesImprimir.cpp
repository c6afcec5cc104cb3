// Impresión de los cinco balances con sus formas de bandas.
#include <memory>

#include "app/DataModule.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "reports/FrmBalances.h"
#include "reports/FrmDatosInforme.h"
#include "reports/FrmModImpresion.h"
#include "reports/FrmRep.h"
#include "reports/FrmRepCajaDiario.h"
#include "reports/FrmRepComun.h"
#include "reports/FrmRptBalancePrueba.h"
#include "reports/FrmRptMayorBalance.h"
#include "shared/general/SqlUtil.h"

namespace {

void Mostrar(TQuickRep* rep, bool vistaPrevia) {
  if (vistaPrevia)
    rep->Preview();
  else
    rep->Print();
}

// Firmas del diálogo de firmantes que abrió la ventana, cuando lo hay.
void Firmas(TFrmRep* f, TComponent* dueno) {
  auto* datos = dynamic_cast<TFrmDatosInforme*>(dueno);
  if (!datos) return;
  f->Q1->Caption = datos->Edit2->Text;
  f->Q2->Caption = datos->Edit4->Text;
  f->Q3->Caption = datos->Edit6->Text;
  f->N1->Caption = datos->Edit1->Text;
  f->N2->Caption = datos->Edit3->Text;
  f->N3->Caption = datos->Edit5->Text;
  for (TQRLabel* l : {f->Q1, f->Q2, f->Q3, f->N1, f->N2, f->N3}) l->Enabled = true;
}

}  // namespace

void TFrmBalances::btnImprimirClick(TObject*) {
  if (edMargen->Text.get().IsEmpty()) edMargen->Text = "0";
  if (edMargenSup->Text.get().IsEmpty()) edMargenSup->Text = "0";
  int margen = StrToInt(edMargen->Text);
  AnsiString sup = edMargenSup->Text;
  // "Margen superior (mm)": una banda en blanco de esos milímetros.
  int alto = sup == "0" ? 0 : balances::MmAPixels(StrToInt(sup));
  bool vista = chbVistaPrevia->Checked;
  AnsiString ini = EdFechaInicio->Text, fin = EdFechaFinal->Text;
  AnsiString alias = "Contabilidad";

  if (Llamado == 4 && CajaDiario_Comprobante) {
    PrintCajaDiarioComprobante();
    return;
  }
  switch (Llamado) {
    case 1:
    case 3:
    case 4: {
      if (Llamado == 4) {
        HagaSQL(alias, Query2, "delete from baltempestados                 where numecuen not like \"____\"");
        DM->TblBal->Refresh();
      }
      FrmRep = new TFrmRep(this);
      std::unique_ptr<TFrmRep> f(FrmRep);
      if (Llamado == 1) {
        f->BalGeneral = true;
        for (TQRPrintable* e : std::initializer_list<TQRPrintable*>{f->LSDebito, f->TSDebito, f->LSCredito, f->TSCredito,
                                                                    f->LDebito, f->TDebito, f->LCredito, f->TCredito,
                                                                    f->LNDebito, f->TNDebito})
          e->Enabled = false;
        // El saldo, a 10 puntos, cabe entero hasta -999.999.999.999,99 (con su signo).
        for (TQRCustomLabel* e : std::initializer_list<TQRCustomLabel*>{f->LNCredito, f->TNCredito}) {
          e->Left = 568;
          e->Width = 150;
        }
        f->LNCredito->Caption = "Saldo";
        f->TNCredito->DataField = "nuevosaldo";
        f->QRDBText2->Width = 400;
        f->TNCredito->Font->Size = 10;
        f->QRDBText1->Font->Size = 9;
        f->QRDBText2->Font->Size = 9;
        Firmas(f.get(), Owner());
        f->Act->Caption = LblActivo->Caption;
        f->Pas->Caption = LblPasivoPatrimonio->Caption;
        f->Pat->Caption = LblPat->Caption;
        f->FInicial = "";
        f->FFinal = fin;
        f->LblTitulo->Caption = "BALANCE GENERAL AL " + fin;
      } else {
        for (TQRPrintable* e : std::initializer_list<TQRPrintable*>{f->LSDebito, f->TSDebito, f->LSCredito, f->TSCredito,
                                                                    f->LNDebito, f->TNDebito, f->LNCredito, f->TNCredito})
          e->Enabled = false;
        f->FInicial = ini;
        f->FFinal = fin;
      }
      if (Llamado == 3) {
        // Columnas a 10 puntos con cabida para el monto más ancho; cada título sobre sus cifras,
        // todos alineados a la derecha.
        for (TQRCustomLabel* e : std::initializer_list<TQRCustomLabel*>{f->LDebito, f->TDebito}) {
          e->Left = 420;
          e->Width = 150;
        }
        for (TQRCustomLabel* e : std::initializer_list<TQRCustomLabel*>{f->LCredito, f->TCredito}) {
          e->Left = 580;
          e->Width = 150;
        }
        for (TQRPrintable* e : std::initializer_list<TQRPrintable*>{f->TDebito, f->TCredito, f->QRDBText1})
          e->Font->Size = 10;
        // El nombre ocupa hasta la columna de débitos: 200 cortaba los nombres largos.
        f->QRDBText2->Width = f->LDebito->Left - f->QRDBText2->Left - 8;
        f->QRDBText2->Font->Size = 9;
        f->Ind->Caption = "Ingresos";
        f->QRLabel5->Caption = "Egresos";
        f->QRLabel6->Caption = "Excedente";
        f->Act->Caption = LblIngresos->Caption;
        f->Pas->Caption = LblEgresos->Caption;
        f->Pat->Caption = LblUtilidad->Caption;
        f->LblTitulo->Caption = "P Y G ENTRE " + ini + " Y " + fin;
        Firmas(f.get(), Owner());
      }
      if (Llamado == 4) {
        FrmModImpresion = new TFrmModImpresion(this);
        bool grande;
        {
          std::unique_ptr<TFrmModImpresion> papel(FrmModImpresion);
          papel->ShowModal();
          grande = papel->RBHojaAncha->Checked;
        }
        if (grande) {
          f->QuickReport1->Page->PaperSize = qrpCustom;
          f->QuickReport1->Page->Length = 2800;
          f->QuickReport1->Page->Width = 3500;
        } else {
          f->QuickReport1->Page->PaperSize = qrpLetter;
        }
        // Débitos y créditos con sus sumas debajo, con cabida para el monto más ancho.
        // Caben también con un margen izquierdo de 20 mm.
        for (TQRCustomLabel* e : std::initializer_list<TQRCustomLabel*>{f->LDebito, f->TDebito}) {
          e->Left = 420;
          e->Width = 130;
        }
        for (TQRCustomLabel* e : std::initializer_list<TQRCustomLabel*>{f->LCredito, f->TCredito}) {
          e->Left = 565;
          e->Width = 130;
        }
        f->QRDBText2->Width = f->QRDBText2->Width + 60;
        f->LblTitulo->Caption = "CAJA DIARIO ENTRE " + ini + " Y " + fin + " POR RESUMEN";
        f->Act->Caption = "SUMAS IGUALES";
        f->Act->Left = 200;
        f->Act->Width = 220;
        f->Act->Alignment = taLeftJustify;
        for (TQRPrintable* e : std::initializer_list<TQRPrintable*>{f->Ind, f->QRLabel5, f->Pas, f->QRLabel6, f->Pat})
          e->Enabled = false;
        f->QRDBCalc1->Left = f->TDebito->Left;
        f->QRDBCalc1->Width = f->TDebito->Width;
        f->QRDBCalc2->Left = f->TCredito->Left;
        f->QRDBCalc2->Width = f->TCredito->Width;
        f->QRDBCalc1->Enabled = true;
        f->QRDBCalc2->Enabled = true;
        f->QuickReport1->Page->LeftMargin = margen;
        f->QRBandMargen->Height = alto;
      }
      Mostrar(f->QuickReport1, vista);
      break;
    }
    case 2: {
      FrmRptBalancePrueba = new TFrmRptBalancePrueba(this);
      std::unique_ptr<TFrmRptBalancePrueba> f(FrmRptBalancePrueba);
      f->express = chbExpress->Checked;
      f->LblTitulo->Caption = edTitulo->Text.get().IsEmpty()
                                  ? "BALANCE DE PRUEBA ENTRE " + ini + " Y " + fin
                                  : edTitulo->Text.get() + " " + ini + " Y " + fin;
      f->LblM1->Caption = ini;
      f->LblM3->Caption = fin;
      f->QRLabel13->Caption = edFechaImp->Text;
      if (letraPersonalizada)
        for (TQRDBText* t : {f->QRDBText1, f->QRDBText2, f->QRDBText3, f->QRDBText5, f->QRDBText6, f->QRDBText7})
          t->Font->Assign(FontDialog1->Font.get());
      f->QuickReport1->Page->LeftMargin = margen;
      f->QRBand5->Height = alto;
      Mostrar(f->QuickReport1, vista);
      break;
    }
    case 5: {
      HagaSQL(alias, Query2, "delete from baltempestados             where numecuen not like \"____\"");
      DM->TblBal->Refresh();
      FrmRptMayorBalance = new TFrmRptMayorBalance(this);
      std::unique_ptr<TFrmRptMayorBalance> f(FrmRptMayorBalance);
      f->LblTitulo->Caption = "MAYOR Y BALANCE ENTRE " + ini + " Y " + fin;
      f->LblM1->Caption = ini;
      f->LblM3->Caption = fin;
      f->QuickReport1->Page->LeftMargin = margen;
      f->QRBand5->Height = alto;
      Mostrar(f->QuickReport1, vista);
      break;
    }
  }
}

void TFrmBalances::PrintCajaDiarioComprobante() {
  AnsiString sup = edMargenSup->Text;
  int alto = sup == "0" || sup.IsEmpty() ? 0 : balances::MmAPixels(StrToInt(sup));
  FrmRepCajaDiario = new TFrmRepCajaDiario(this);
  std::unique_ptr<TFrmRepCajaDiario> f(FrmRepCajaDiario);
  f->DataSource1->DataSet = TblTemp2;
  f->LblTitulo->Caption = EdFechaInicio->Text.get() + " a " + EdFechaFinal->Text.get();
  f->QRBand3->Height = alto;
  // "Margen izquierda (mm)", como en los demás libros.
  f->Report->Page->LeftMargin = StrToInt(edMargen->Text.get().IsEmpty() ? AnsiString("0") : AnsiString(edMargen->Text));
  Mostrar(f->Report, chbVistaPrevia->Checked);
}
