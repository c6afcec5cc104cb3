#include "budget/FrmRptRegistroPptal.h"

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "budget/CalculosPptal.h"
#include "budget/Explorado.h"
#include "budget/ImpresoPptal.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Dialogs.h"
#include "platform/report/QuickRpt.h"
#include "reports/ConsultasComun.h"
#include "shared/general/MontoEscrito.h"
#include "shared/general/MyException.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"

TfrmRptRegistroPptal* frmRptRegistroPptal = nullptr;

namespace {

const char* const kAlias = "Contabilidad";

AnsiString Campo(TDataSource* ds, const char* campo) {
  TDataSet* d = ds ? ds->GetDataSet() : nullptr;
  if (!d || !d->Active || d->IsEmpty()) return AnsiString();
  TField* f = d->FieldByName(campo);
  return f->IsNull ? AnsiString() : AnsiString(f->AsString);
}

AnsiString FechaDe(TDataSet* d, const char* campo) {
  if (!d || !d->Active || d->IsEmpty() || d->FieldByName(campo)->IsNull) return AnsiString();
  return DateToStr(d->FieldByName(campo)->AsDateTime);
}

const char* const kMeses[] = {"ENERO", "FEBRERO", "MARZO",      "ABRIL",   "MAYO",      "JUNIO",
                              "JULIO", "AGOSTO",  "SEPTIEMBRE", "OCTUBRE", "NOVIEMBRE", "DICIEMBRE"};

}  // namespace

TfrmRptRegistroPptal::TfrmRptRegistroPptal(TComponent* Owner) : TForm(Owner) {
  Name = "frmRptRegistroPptal";
  Caption = "Registro Pptal";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = DM->tblMvtRegPptal;
  DataSource2 = Make<TDataSource>(this, "DataSource2");
  DataSource2->DataSet = DM->tblPAC;
  queryGral = Make<TQuery>(this, "queryGral");
  queryPAC = Make<TQuery>(this, "queryPAC");
  QuickReport1 = Make<TQuickRep>(this, "QuickReport1");
  QuickReport1->Page->PaperSize = qrpLetter;
  QuickReport1->Page->Orientation = poPortrait;
  QuickReport1->ReportTitle = "REGISTRO PRESUPUESTAL";

  QRBand1 = NuevaBanda(this, QuickReport1, rbTitle, 998);
  TQRCustomBand* t = QRBand1;
  Image1 = NuevaImagen(this, t, "Image1", 10, 0, 80, 80);
  QRLabel11 = NuevaEtiqueta(this, t, "QRLabel11", "", 110, 4, 0, false, true);
  QRLabel46 = NuevaEtiqueta(this, t, "QRLabel46", "", 110, 24);
  QRLabel47 = NuevaEtiqueta(this, t, "QRLabel47", "", 110, 40);
  QRLabel48 = NuevaEtiqueta(this, t, "QRLabel48", "", 110, 56);
  TQRLabel* titulo = NuevaEtiqueta(this, t, "QRLabel1", "REGISTRO PRESUPUESTAL:", 10, 96, 0, false, true);
  titulo->Font->Size = 14;
  lblIrp = NuevaEtiqueta(this, t, "QRDBText1", "", 300, 96, 0, false, true);
  lblIrp->Font->Size = 14;
  const int x = 330;
  NuevaEtiqueta(this, t, "QRLabel2", "FECHA DE EXPEDICION:", 10, 134);
  lblFechaExped = NuevaEtiqueta(this, t, "QRDBText2", "", x, 134);
  NuevaEtiqueta(this, t, "QRLabel3", "FECHA DE VENCIMIENTO:", 10, 152);
  lblFechaVenc = NuevaEtiqueta(this, t, "QRDBText3", "", x, 152);
  NuevaEtiqueta(this, t, "QRLabel4", "No DE CEDULA:", 10, 170);
  lblTercero = NuevaEtiqueta(this, t, "QRDBText7", "", x, 170);
  QRLabel42 = NuevaEtiqueta(this, t, "QRLabel42", "", x + 110, 170);
  NuevaEtiqueta(this, t, "QRLabel5", "No DE DISPONIBILIDAD PRESUPUESTAL A AFECTAR:", 10, 188);
  lblIcd = NuevaEtiqueta(this, t, "QRDBText8", "", x, 188);
  NuevaEtiqueta(this, t, "QRLabel6", "FECHA DEL CDP:", 10, 206);
  QRLabel39 = NuevaEtiqueta(this, t, "QRLabel39", "", x, 206);
  QRLabel29 = NuevaEtiqueta(this, t, "QRLabel29", "No DE LA ORDEN:", 10, 224);
  QRLabel37 = NuevaEtiqueta(this, t, "QRLabel37", "", x, 224);
  NuevaEtiqueta(this, t, "QRLabel7", "TIPO DE ORDEN:", 10, 242);
  QRLabel36 = NuevaEtiqueta(this, t, "QRLabel36", "", x, 242);
  NuevaEtiqueta(this, t, "QRLabel8", "OBJETO DEL GASTO:", 10, 266, 0, false, true);
  QRMemo1 = NuevoMemo(this, t, "QRMemo1", x, 266, 380, 60);
  NuevaEtiqueta(this, t, "QRLabel9", "RUBRO PRESUPUESTAL:", 10, 332, 0, false, true);
  QRMemo2 = NuevoMemo(this, t, "QRMemo2", x, 332, 380, 90);
  NuevaEtiqueta(this, t, "QRLabel10", "VALOR SOLICITADO:", 10, 430, 0, false, true);
  QRDBText6 = NuevaEtiqueta(this, t, "QRDBText6", "", x, 430, 380, false, true);
  QRDBText6->AutoSize = false;
  QRDBText6->WordWrap = true;
  // Cuatro renglones: las palabras del monto más largo caben enteras.
  QRDBText6->Height = 52;
  NuevaEtiqueta(this, t, "QRLabel12", "VIGENCIA FISCAL, AÑO:", 10, 488);
  lblVigencia = NuevaEtiqueta(this, t, "QRDBText5", "", x, 488);
  NuevaEtiqueta(this, t, "QRLabel13", "PROGRAMACION DEL PAC:", 10, 512, 0, false, true);
  auto* marco = new TQRShape(this);
  marco->Left = 200;
  marco->Top = 512;
  marco->Width = 500;
  marco->Height = 132;
  marco->Parent = t;
  for (int lado = 0; lado < 2; ++lado) {
    int mx = 200 + lado * 250;
    NuevaEtiqueta(this, t, "", "MES", mx + 6, 516, 0, false, true);
    NuevaEtiqueta(this, t, "", "VALOR", mx + 150, 516, 0, false, true);
    for (int i = 0; i < 6; ++i) {
      int m = lado * 6 + i;
      NuevaEtiqueta(this, t, "", kMeses[m], mx + 6, 536 + i * 18);
      const std::string nombre = "QRDBText4_" + std::to_string(m + 1);
      meses[m] = NuevaEtiqueta(this, t, nombre.c_str(), "", mx + 120, 536 + i * 18, 124, true);
    }
  }
  qrLblPendComp = NuevaEtiqueta(this, t, "qrLblPendComp", "", 10, 658, 0, false, true);
  NuevaEtiqueta(this, t, "QRLabel14",
                "El presente registro presupuestal se expide en cumplimiento de las normas presupuestales vigentes que",
                10, 688);
  QRLabel33 = NuevaEtiqueta(this, t, "QRLabel33", "", 10, 704);
  NuevaEtiqueta(this, t, "QRLabel15", "modificatorios del mismo.", 10, 720);
  Image2 = NuevaImagen(this, t, "Image2", 40, 758, 200, 90);
  Image3 = NuevaImagen(this, t, "Image3", 420, 758, 200, 90);
  NuevaLinea(this, t, 20, 852, 280);
  NuevaLinea(this, t, 400, 852, 280);
  QRLabel34 = NuevaEtiqueta(this, t, "QRLabel34", "", 20, 858);
  QRLabel35 = NuevaEtiqueta(this, t, "QRLabel35", "", 400, 858);
  QRBand2 = NuevaBanda(this, QuickReport1, rbPageFooter, 20);
  QRLabel31 = NuevaEtiqueta(this, QRBand2, "QRLabel31", "", 10, 2);

  QRBand1->BeforePrint = [this](TQRCustomBand* s, bool& p) { QRBand1BeforePrint(s, p); };
  QRBand2->BeforePrint = [this](TQRCustomBand*, bool&) { QRLabel31->Caption = ""; };

  EncabezadoPptal e = LeerEncabezadoPptal();
  if (e.hayIni) {
    QRLabel46->Caption = e.titulo1;
    QRLabel47->Caption = e.titulo2;
    QRLabel48->Caption = e.titulo3;
    CargarImagen(Image1, RutaDelPrograma(e.rutaLogo));
    CargarImagen(Image2, PathOrigen + "/images/firmaRectora.bmp");
    CargarImagen(Image3, PathOrigen + "/images/firmaSecretaria.bmp");
  }
}

void TfrmRptRegistroPptal::QRBand1BeforePrint(TQRCustomBand*, bool&) {
  TDataSet* rp = DataSource1->GetDataSet();
  QRLabel11->Caption = ConfigPptal("IEmpresa") + " NIT: " + ConfigPptal("NIT");
  lblIrp->Caption = Campo(DataSource1, "irp");
  lblFechaExped->Caption = FechaDe(rp, "FechaExped");
  lblFechaVenc->Caption = FechaDe(rp, "fechaVenc");
  lblTercero->Caption = Campo(DataSource1, "itercero");
  lblIcd->Caption = Campo(DataSource1, "ICD");
  lblVigencia->Caption = Campo(DataSource1, "vigFiscal");
  AnsiString valor = Campo(DataSource1, "Valor");
  QRDBText6->Caption = valor.IsEmpty() ? AnsiString()
                                       : MontoPptal(valor) + " " +
                                             MontoEnLetras(rp->FieldByName("Valor")->AsFloat, false);
  bool hay = rp && rp->Active && !rp->IsEmpty();
  double icd = hay ? rp->FieldByName("ICD")->AsFloat : 0.0;
  double irp = hay ? rp->FieldByName("irp")->AsFloat : 0.0;
  AnsiString c = NumeroSQL(icd);

  // Certificado: sus datos solo cuando se halla exactamente uno.
  QRMemo1->Lines->Clear();
  QRLabel39->Caption = "";
  qrLblPendComp->Caption = "";
  HagaSQL(kAlias, queryGral, "select * from mvtCertDisp where icd=" + c);
  if (queryGral->RecordCount == 1) {
    double valorCD = queryGral->FieldByName("valor")->IsNull ? 0.0 : double(queryGral->FieldByName("valor")->AsFloat);
    QRLabel39->Caption = FechaDe(queryGral, "fechaExped");
    QRMemo1->Lines->SetText(Campo(DataSource1, "objetoGasto"));
    HagaSQL(kAlias, queryGral,
            "select count(*) as cuantos, sum(valor) as comprometido from mvtRegpptal where icd=" + c);
    TField* f = queryGral->FieldByName("comprometido");
    double comprometido = f->IsNull ? 0.0 : double(f->AsFloat);
    AnsiString a = Punto(valorCD, 2);
    AnsiString b = Punto(comprometido, 2);
    AnsiString d = Punto(valorCD - comprometido, 2);
    qrLblPendComp->Caption = "Pendiente por comprometer en el CDP: " + a + " - " + b + "=" + d;
  }

  AnsiString fecha;
  int tipo = 2;
  double orden = hay ? getOrden(irp, fecha, tipo) : 0;
  if (orden < 0) {
    ShowMessage(MensajeVariasOrdenes(orden));
    tipo = orden == -1 ? 0 : 1;
  }
  QRLabel36->Caption = tipo == 0 ? AnsiString("Orden de Servicio")
                       : tipo == 1 ? AnsiString("Orden de Suministro")
                       : tipo == 2 ? Campo(DataSource1, "docAsociado")
                                   : AnsiString();
  if (tipo == 2) {
    QRLabel37->Caption = "";
    QRLabel29->Caption = "";
  } else {
    QRLabel29->Caption = "No DE LA ORDEN:";
    QRLabel37->Caption = orden > 0 ? FloatToStr(orden) : AnsiString();
  }
  QRLabel42->Caption = Tercero(Campo(DataSource1, "itercero")).getNtercero();

  // Rubros del certificado, con la misma regla del cálculo de saldos.
  QRMemo2->Lines->Clear();
  AnsiString traza = "rubros del certificado " + c;
  try {
    WriteToFile((PathOrigen + "/basurilla.txt").c_str(), traza.c_str(), true);
  } catch (...) {
    // El rastro no detiene el impreso.
  }
  if (hay)
    for (const RubroCertificado& r : RubrosDeCertificado(NumeroDocDe(rp->FieldByName("ICD")))) QRMemo2->Lines->Add(r.rubro + " " + getNrubro(r.rubro, "E"));

  // El PAC del certificado del registro; sin PAC, el plan en blanco.
  HagaSQL(kAlias, queryPAC, "select * from pac where icd=" + c);
  for (int m = 0; m < 12; ++m) {
    AnsiString texto;
    if (!queryPAC->IsEmpty()) {
      TField* f = queryPAC->FieldByName("m" + AnsiString(m + 1));
      if (!f->IsNull) texto = f->AsString;
    }
    meses[m]->Caption = MontoPptal(texto);
  }
  QRLabel33->Caption =
      "que regulan la materia, y de conformidad a lo dispuesto en el acuerto de " + ConfigPptal("acuerdo") +
      " y demás acuerdos";
  QRLabel34->Caption = "Rector(a): " + ConfigPptal("rector");
  QRLabel35->Caption = "Auxiliar administrativo: " + ConfigPptal("auxiliar");
}
