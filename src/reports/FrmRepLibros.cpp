#include "reports/FrmRepLibros.h"

#include <filesystem>

#include "app/Sesion.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Dialogs.h"
#include "platform/report/QuickRpt.h"
#include "reports/ConsultasComun.h"
#include "reports/FrmLibros.h"
#include "shared/general/Numeros.h"

TFrmRepTercUnaCta* FrmRepTercUnaCta = nullptr;
TFrmRepTercTodasCtas* FrmRepTercTodasCtas = nullptr;
TFrmRepTercMovUnaCta* FrmRepTercMovUnaCta = nullptr;
TFrmRepAuxiliares* FrmRepAuxiliares = nullptr;

void TFrmRepLibro::CrearInforme(TDataSource* aDS, bool aHorizontal, bool aDialogo) {
  ds_ = aDS;
  QuickRep1 = Make<TQuickRep>(this, "QuickRep1");
  QuickRep1->DataSource = aDS;
  QuickRep1->Page->PaperSize = qrpLetter;
  QuickRep1->Page->Orientation = aHorizontal ? poLandscape : poPortrait;
  QuickRep1->ShowPrintDialog = aDialogo;
}

TQRDBText* TFrmRepLibro::Monto(TQRCustomBand* b, const char* aNombre, const char* aCampo, int aLeft) {
  TQRDBText* t = NuevoCampo(this, b, aNombre, ds_, aCampo, aLeft, 2, 100, true);
  t->OnPrint = [](TObject*, AnsiString& v) { v = MontoImpreso(v); };
  return t;
}

namespace {
TDataSource* ListadoDe(TFrmLibro* f) { return f ? f->DSQuery1 : nullptr; }
}  // namespace

// ---- un tercero en una cuenta: carta horizontal con diálogo de impresión ----

TFrmRepTercUnaCta::TFrmRepTercUnaCta(TComponent* Owner) : TFrmRepLibro(Owner) {
  Name = "FrmRepTercUnaCta";
  CrearInforme(ListadoDe(FrmTercUnaCta), true, true);
  NuevaBanda(this, QuickRep1, rbPageHeader, 10);
  TQRCustomBand* titulo = NuevaBanda(this, QuickRep1, rbTitle, 130);
  QRLabel2 = NuevaEtiqueta(this, titulo, "QRLabel2", EmpresaConNit("        NIT: "), 10, 4, 0, false, true);
  NuevaEtiqueta(this, titulo, "QRLabel1", "TERCEROS UNA CUENTA", 400, 24, 0, false, true);
  ICuenta = NuevaEtiqueta(this, titulo, "ICuenta", "", 10, 46);
  NCuenta = NuevaEtiqueta(this, titulo, "NCuenta", "", 140, 46);
  ITercero = NuevaEtiqueta(this, titulo, "ITercero", "", 10, 64);
  NTercero = NuevaEtiqueta(this, titulo, "NTercero", "", 140, 64);
  FechaDesc = NuevaEtiqueta(this, titulo, "FechaDesc", "", 10, 82);
  // Montos con cabida para 9.999.999.999.999,99 en negrita (los totales).
  int x[] = {10, 85, 380, 428, 528, 572, 692, 828};
  const char* cab[] = {"Fecha", "Detalle", "Comp", "NumC", "Sop", "NumS", "DEBITO", "CREDITO"};
  for (int i = 0; i < 8; ++i)
    NuevaEtiqueta(this, titulo, "", cab[i], x[i], 108, i >= 6 ? 132 : 0, i >= 6, true);
  TQRCustomBand* det = NuevaBanda(this, QuickRep1, rbDetail, 18);
  NuevoCampo(this, det, "QRDBText1", ds_, "FECHA", x[0], 2, 80);
  NuevoCampo(this, det, "QRDBText2", ds_, "detalle", x[1], 2, 290);
  NuevoCampo(this, det, "QRDBText3", ds_, "DESCDocu", x[2], 2, 45);
  NuevoCampo(this, det, "QRDBText4", ds_, "NUMEdocu", x[3], 2, 95);
  NuevoCampo(this, det, "QRDBText5", ds_, "DESCComp", x[4], 2, 40);
  NuevoCampo(this, det, "QRDBText6", ds_, "NUMEComp", x[5], 2, 112);
  ADEBITO = NuevoCampo(this, det, "ADEBITO", ds_, "DEBITO", x[6], 2, 132, true);
  ACREDITO = NuevoCampo(this, det, "ACREDITO", ds_, "CREDITO", x[7], 2, 132, true);
  TQRCustomBand* sum = NuevaBanda(this, QuickRep1, rbSummary, 26);
  NuevaEtiqueta(this, sum, "QRLabel20", "Total", 640, 6, 0, false, true);
  LDebito = NuevaEtiqueta(this, sum, "LDebito", "", x[6], 6, 132, true, true);
  LCredito = NuevaEtiqueta(this, sum, "LCredito", "", x[7], 6, 132, true, true);
  ADEBITO->OnPrint = [this](TObject* s, AnsiString& v) { ADEBITOPrint(s, v); };
  ACREDITO->OnPrint = [this](TObject* s, AnsiString& v) { ACREDITOPrint(s, v); };
}

void TFrmRepTercUnaCta::ADEBITOPrint(TObject*, AnsiString& Value) { Value = MontoImpreso(Value); }
void TFrmRepTercUnaCta::ACREDITOPrint(TObject*, AnsiString& Value) { Value = MontoImpreso(Value); }

// ---- un tercero en todas las cuentas: papel por omisión, horizontal ----

TFrmRepTercTodasCtas::TFrmRepTercTodasCtas(TComponent* Owner) : TFrmRepLibro(Owner) {
  Name = "FrmRepTercTodasCtas";
  CrearInforme(ListadoDe(FrmTercTodasCtas), true, false);
  QuickRep1->Page->PaperSize = qrpDefault;
  TQRCustomBand* titulo = NuevaBanda(this, QuickRep1, rbTitle, 112);
  QRLabel3 = NuevaEtiqueta(this, titulo, "QRLabel3", EmpresaConNit("        NIT: "), 10, 4, 0, false, true);
  NuevaEtiqueta(this, titulo, "QRLabel1", "TERCEROS TODAS LAS CUENTAS:", 380, 24, 0, false, true);
  ITercero = NuevaEtiqueta(this, titulo, "ITercero", "", 10, 46);
  NTercero = NuevaEtiqueta(this, titulo, "NTercero", "", 140, 46);
  FechaDesc = NuevaEtiqueta(this, titulo, "FechaDesc", "", 10, 64);
  // Montos con cabida para 9.999.999.999.999,99 en negrita (los totales).
  int x[] = {10, 85, 380, 428, 528, 572, 692, 828};
  const char* cab[] = {"Fecha", "Detalle", "Comp", "NumC", "Sop", "NumS", "DEBITO", "CREDITO"};
  for (int i = 0; i < 8; ++i)
    NuevaEtiqueta(this, titulo, "", cab[i], x[i], 90, i >= 6 ? 132 : 0, i >= 6, true);
  TQRCustomBand* det = NuevaBanda(this, QuickRep1, rbDetail, 18);
  NuevoCampo(this, det, "QRDBText1", ds_, "FECHA", x[0], 2, 80);
  NuevoCampo(this, det, "QRDBText2", ds_, "detalle", x[1], 2, 290);
  NuevoCampo(this, det, "QRDBText3", ds_, "DESCDOCU", x[2], 2, 45);
  NuevoCampo(this, det, "QRDBText4", ds_, "NumeDocu", x[3], 2, 95);
  NuevoCampo(this, det, "QRDBText5", ds_, "DESCCOMP", x[4], 2, 40);
  NuevoCampo(this, det, "QRDBText6", ds_, "NUMECOMP", x[5], 2, 112);
  ADEBITO = NuevoCampo(this, det, "ADEBITO", ds_, "DEBITO", x[6], 2, 132, true);
  ACREDITO = NuevoCampo(this, det, "ACREDITO", ds_, "CREDITO", x[7], 2, 132, true);
  TQRCustomBand* sum = NuevaBanda(this, QuickRep1, rbSummary, 26);
  NuevaEtiqueta(this, sum, "QRLabel20", "Totales", 640, 6, 0, false, true);
  LDebito = NuevaEtiqueta(this, sum, "LDebito", "", x[6], 6, 132, true, true);
  LCredito = NuevaEtiqueta(this, sum, "LCredito", "", x[7], 6, 132, true, true);
  ADEBITO->OnPrint = [this](TObject* s, AnsiString& v) { ADEBITOPrint(s, v); };
  ACREDITO->OnPrint = [this](TObject* s, AnsiString& v) { ACREDITOPrint(s, v); };
}

void TFrmRepTercTodasCtas::ADEBITOPrint(TObject*, AnsiString& Value) { Value = MontoImpreso(Value); }
void TFrmRepTercTodasCtas::ACREDITOPrint(TObject*, AnsiString& Value) { Value = MontoImpreso(Value); }

// ---- saldos de todos los terceros en una cuenta: carta vertical ----

TFrmRepTercMovUnaCta::TFrmRepTercMovUnaCta(TComponent* Owner) : TFrmRepLibro(Owner) {
  Name = "FrmRepTercMovUnaCta";
  CrearInforme(ListadoDe(FrmTercMovUnaCta), false, false);
  // Fuera de toda banda: se llenan pero no se imprimen.
  ICuenta = NuevaEtiqueta(this, nullptr, "ICuenta", "", 0, 0);
  NCuenta = NuevaEtiqueta(this, nullptr, "NCuenta", "", 0, 0);
  FechaDesc = NuevaEtiqueta(this, nullptr, "FechaDesc", "", 0, 0);
  TQRCustomBand* cab = NuevaBanda(this, QuickRep1, rbPageHeader, 112);
  QRLabel11 = NuevaEtiqueta(this, cab, "QRLabel11", EmpresaConNit("        NIT: "), 10, 4, 0, false, true);
  NuevaEtiqueta(this, cab, "QRLabel1", "SALDOS DE TODOS LOS TERCEROS EN UNA CUENTA", 150, 24, 0, false, true);
  QRLabel7 = NuevaEtiqueta(this, cab, "QRLabel7", "", 10, 46);
  QRLabel8 = NuevaEtiqueta(this, cab, "QRLabel8", "", 130, 46);
  QRLabel9 = NuevaEtiqueta(this, cab, "QRLabel9", "", 10, 64);
  NuevaEtiqueta(this, cab, "QRLabel2", "Cuenta", 10, 90, 0, false, true);
  NuevaEtiqueta(this, cab, "QRLabel3", "Cedula Nit", 110, 90, 0, false, true);
  NuevaEtiqueta(this, cab, "QRLabel4", "Tercero", 230, 90, 0, false, true);
  NuevaEtiqueta(this, cab, "QRLabel5", "Débitos-Créditos", 560, 90, 130, true, true);
  TQRCustomBand* det = NuevaBanda(this, QuickRep1, rbDetail, 18);
  NuevoCampo(this, det, "QRDBText1", ds_, "numecuen", 10, 2, 95);
  NuevoCampo(this, det, "QRDBText2", ds_, "CedulaNit", 110, 2, 115);
  NuevoCampo(this, det, "QRDBText3", ds_, "Nombre", 230, 2, 320);
  QRLabel12 = NuevaEtiqueta(this, det, "QRLabel12", "", 560, 2, 130, true);
  TQRCustomBand* sum = NuevaBanda(this, QuickRep1, rbSummary, 66);
  NuevaEtiqueta(this, sum, "QRLabel13", "Total Debitos", 400, 4, 0, false, true);
  LblDeb = NuevaEtiqueta(this, sum, "LblDeb", "", 560, 4, 130, true);
  NuevaEtiqueta(this, sum, "QRLabel14", "TotalCreditos", 400, 22, 0, false, true);
  LblCred = NuevaEtiqueta(this, sum, "LblCred", "", 560, 22, 130, true);
  NuevaEtiqueta(this, sum, "QRLabel15", "Diferencia", 400, 40, 0, false, true);
  LblDif = NuevaEtiqueta(this, sum, "LblDif", "", 560, 40, 130, true);
  QRLabel12->OnPrint = [this](TObject* s, AnsiString& v) { QRLabel12Print(s, v); };
}

void TFrmRepTercMovUnaCta::QRLabel12Print(TObject*, AnsiString& Value) {
  TDataSet* filas = ds_ ? ds_->GetDataSet() : nullptr;
  if (!filas) return;
  Value = Punto(filas->FieldByName("debitos")->AsFloat - filas->FieldByName("creditos")->AsFloat, 2);
}

// ---- auxiliares: carta horizontal, grupo por cuenta ----

TFrmRepAuxiliares::TFrmRepAuxiliares(TComponent* Owner) : TFrmRepLibro(Owner) {
  Name = "FrmRepAuxiliares";
  CrearInforme(ListadoDe(FrmAuxiliares), true, true);
  TQRCustomBand* cab = NuevaBanda(this, QuickRep1, rbPageHeader, 20);
  NuevaEtiqueta(this, cab, "QRLabel1", "Pág.:", 890, 2);
  QRSysData1 = new TQRSysData(this);
  QRSysData1->Name = "QRSysData1";
  QRSysData1->Data = qrsPageNumber;
  QRSysData1->Left = 925;
  QRSysData1->Top = 2;
  QRSysData1->Parent = cab;
  TQRCustomBand* titulo = NuevaBanda(this, QuickRep1, rbTitle, 100);
  Image1 = new TQRImage(this);
  Image1->Name = "Image1";
  Image1->Left = 10;
  Image1->Top = 0;
  Image1->Width = 90;
  Image1->Height = 90;
  Image1->Stretch = true;
  Image1->Parent = titulo;
  QRLabel10 = NuevaEtiqueta(this, titulo, "QRLabel10", "", 120, 4, 0, false, true);
  NuevaEtiqueta(this, titulo, "QRLabel2", "AUXILIARES:", 120, 26, 0, false, true);
  FechaDesc = NuevaEtiqueta(this, titulo, "FechaDesc", "", 220, 26);
  LblMes = NuevaEtiqueta(this, titulo, "LblMes", "", 480, 26, 0, false, true);
  ICuenta = NuevaEtiqueta(this, titulo, "ICuenta", "", 120, 48);
  NCuenta = NuevaEtiqueta(this, titulo, "NCuenta", "", 240, 48);
  auto* grupo = static_cast<TQRGroup*>(NuevaBanda(this, QuickRep1, rbGroupHeader, 24));
  grupo->Name = "QRGroup1";
  grupo->Expression = "numecuen";
  // Montos con cabida para 9.999.999.999.999,99 en negrita (los totales).
  int x[] = {10, 75, 150, 240, 390, 550, 594, 692, 828};
  const char* tit[] = {"Cuenta", "Fecha", "Cedula Nit", "Tercero", "Detalle", "Comp", "NumC", "DEBITO", "CREDITO"};
  for (int i = 0; i < 9; ++i) NuevaEtiqueta(this, grupo, "", tit[i], x[i], 6, i >= 7 ? 132 : 0, i >= 7, true);
  TQRCustomBand* det = NuevaBanda(this, QuickRep1, rbDetail, 18);
  NuevoCampo(this, det, "QRDBText1", ds_, "numecuen", x[0], 2, 62);
  NuevoCampo(this, det, "QRDBText2", ds_, "FECHA", x[1], 2, 72);
  NuevoCampo(this, det, "QRDBText3", ds_, "CEDULANIT", x[2], 2, 85);
  NuevoCampo(this, det, "QRDBText4", ds_, "nombre", x[3], 2, 145);
  NuevoCampo(this, det, "QRDBText5", ds_, "detalle", x[4], 2, 155);
  NuevoCampo(this, det, "QRDBText6", ds_, "DESCDOCU", x[5], 2, 40);
  NuevoCampo(this, det, "QRDBText7", ds_, "NUMEDOCU", x[6], 2, 95);
  Debito = NuevoCampo(this, det, "Debito", ds_, "DEBITO", x[7], 2, 132, true);
  Credito = NuevoCampo(this, det, "Credito", ds_, "CREDITO", x[8], 2, 132, true);
  TQRCustomBand* sum = NuevaBanda(this, QuickRep1, rbSummary, 84);
  NuevaEtiqueta(this, sum, "QRLabel20", "Saldo Anterior:", 640, 6, 0, false, true);
  LblSaldoAnterior = NuevaEtiqueta(this, sum, "LblSaldoAnterior", "", x[8], 6, 132, true);
  NuevaEtiqueta(this, sum, "QRLabel21", "Suma Debito:", 640, 24, 0, false, true);
  LDebito = NuevaEtiqueta(this, sum, "LDebito", "", x[8], 24, 132, true);
  NuevaEtiqueta(this, sum, "QRLabel22", "Suma Credito:", 640, 42, 0, false, true);
  LCredito = NuevaEtiqueta(this, sum, "LCredito", "", x[8], 42, 132, true);
  NuevaEtiqueta(this, sum, "QRLabel23", "Saldo Actual:", 640, 60, 0, false, true);
  Saldo = NuevaEtiqueta(this, sum, "Saldo", "", x[8], 60, 132, true, true);
  TQRCustomBand* pie = NuevaBanda(this, QuickRep1, rbPageFooter, 20);
  qrlFooter = NuevaEtiqueta(this, pie, "qrlFooter", "", 10, 2);
  Debito->OnPrint = [this](TObject* s, AnsiString& v) { DebitoPrint(s, v); };
  Credito->OnPrint = [this](TObject* s, AnsiString& v) { CreditoPrint(s, v); };

  AnsiString ini = ArchivoIniSesion();
  if (!std::filesystem::exists(ini.str())) {
    ShowMessage("Debe crear el INI dentro de la carpeta");
    return;
  }
  TIniFile datos(ini);
  AnsiString logo = datos.ReadString("ACTION", "rutaLogo", "");
  try {
    if (!logo.IsEmpty()) Image1->Picture->LoadFromFile(logo);
  } catch (...) {
    // Un logo que no se puede leer deja el espacio en blanco.
  }
  QRLabel10->Caption = EmpresaConNit("  ");
  qrlFooter->Caption = "";
}

void TFrmRepAuxiliares::DebitoPrint(TObject*, AnsiString& Value) { Value = MontoImpreso(Value); }
void TFrmRepAuxiliares::CreditoPrint(TObject*, AnsiString& Value) { Value = MontoImpreso(Value); }
