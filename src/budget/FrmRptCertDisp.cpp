#include "budget/FrmRptCertDisp.h"

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "budget/CalculosPptal.h"
#include "budget/Explorado.h"
#include "budget/ImpresoPptal.h"
#include "platform/db/DBTables.h"
#include "platform/report/QuickRpt.h"
#include "reports/ConsultasComun.h"
#include "shared/general/Numeros.h"

TfrmRptCertDisp* frmRptCertDisp = nullptr;

namespace {

AnsiString Campo(TDataSource* ds, const char* campo) {
  TDataSet* d = ds ? ds->GetDataSet() : nullptr;
  if (!d || !d->Active || d->IsEmpty()) return AnsiString();
  TField* f = d->FieldByName(campo);
  return f->IsNull ? AnsiString() : AnsiString(f->AsString);
}

const char* const kMeses[] = {"ENERO", "FEBRERO", "MARZO",      "ABRIL",   "MAYO",      "JUNIO",
                              "JULIO", "AGOSTO",  "SEPTIEMBRE", "OCTUBRE", "NOVIEMBRE", "DICIEMBRE"};

}  // namespace

TfrmRptCertDisp::TfrmRptCertDisp(TComponent* Owner) : TForm(Owner) {
  Name = "frmRptCertDisp";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = DM->tblMvtCertDisp;
  DataSource2 = Make<TDataSource>(this, "DataSource2");
  queryGral = Make<TQuery>(this, "queryGral");
  QuickReport1 = Make<TQuickRep>(this, "QuickReport1");
  QuickReport1->Page->PaperSize = qrpLetter;
  QuickReport1->Page->Orientation = poPortrait;
  QuickReport1->ReportTitle = "CERTIFICADO DE DISPONIBILIDAD";

  QRBand1 = NuevaBanda(this, QuickReport1, rbTitle, 960);
  TQRCustomBand* t = QRBand1;
  Image1 = NuevaImagen(this, t, "Image1", 10, 0, 80, 80);
  QRLabel11 = NuevaEtiqueta(this, t, "QRLabel11", "", 110, 4, 0, false, true);
  QRLabel33 = NuevaEtiqueta(this, t, "QRLabel33", "", 110, 24);
  QRLabel34 = NuevaEtiqueta(this, t, "QRLabel34", "", 110, 40);
  QRLabel35 = NuevaEtiqueta(this, t, "QRLabel35", "", 110, 56);
  TQRLabel* titulo = NuevaEtiqueta(this, t, "QRLabel1", "CERTIFICADO DE DISPONIBILIDAD No.", 10, 100, 0, false, true);
  titulo->Font->Size = 14;
  lblNumero = NuevaEtiqueta(this, t, "QRDBText1", "", 420, 100, 0, false, true);
  lblNumero->Font->Size = 14;
  NuevaEtiqueta(this, t, "QRLabel2", "FECHA DE EXPEDICION:", 10, 140);
  lblFechaExped = NuevaEtiqueta(this, t, "QRDBText2", "", 200, 140);
  NuevaEtiqueta(this, t, "QRLabel3", "FECHA DE VENCIMIENTO:", 10, 160);
  lblFechaVenc = NuevaEtiqueta(this, t, "QRDBText3", "", 200, 160);
  NuevaEtiqueta(this, t, "QRLabel4", "FECHA DE IMPRESIÓN:", 10, 180);
  QRLabel36 = NuevaEtiqueta(this, t, "QRLabel36", "", 200, 180);
  NuevaEtiqueta(this, t, "QRLabel5", "OBJETO DEL GASTO:", 10, 210, 0, false, true);
  QRMemo1 = NuevoMemo(this, t, "QRMemo1", 200, 210, 500, 60);
  NuevaEtiqueta(this, t, "QRLabel6", "RUBROS PRESUPUESTALES:", 10, 280, 0, false, true);
  QRMemo3 = NuevoMemo(this, t, "QRMemo3", 200, 280, 500, 150);
  NuevaEtiqueta(this, t, "QRLabel7", "VALOR SOLICITADO:", 10, 440, 0, false, true);
  QRDBText6 = NuevaEtiqueta(this, t, "QRDBText6", "", 200, 440, 0, false, true);
  NuevaEtiqueta(this, t, "QRLabel8", "PROGRAMACION DEL PAC:", 10, 470, 0, false, true);
  // Cuadro del plan: dos mitades de seis meses.
  auto* marco = new TQRShape(this);
  marco->Left = 200;
  marco->Top = 470;
  marco->Width = 500;
  marco->Height = 132;
  marco->Parent = t;
  for (int lado = 0; lado < 2; ++lado) {
    int x = 200 + lado * 250;
    NuevaEtiqueta(this, t, "", "MES", x + 6, 474, 0, false, true);
    NuevaEtiqueta(this, t, "", "VALOR", x + 150, 474, 0, false, true);
    for (int i = 0; i < 6; ++i) {
      int m = lado * 6 + i;
      NuevaEtiqueta(this, t, "", kMeses[m], x + 6, 494 + i * 18);
      const std::string nombre = "QRDBText4_" + std::to_string(m + 1);
      meses[m] = NuevaEtiqueta(this, t, nombre.c_str(), "", x + 140, 494 + i * 18, 100, true);
    }
  }
  NuevaEtiqueta(this, t, "QRLabel9", "VIGENCIA FISCAL, AÑO:", 10, 620, 0, false, true);
  lblVigencia = NuevaEtiqueta(this, t, "QRDBText5", "", 200, 620);
  QRMemo2 = NuevoMemo(this, t, "QRMemo2", 10, 650, 690, 60);
  Image2 = NuevaImagen(this, t, "Image2", 40, 740, 200, 90);
  Image3 = NuevaImagen(this, t, "Image3", 420, 740, 200, 90);
  NuevaLinea(this, t, 20, 834, 280);
  NuevaLinea(this, t, 400, 834, 280);
  QRLabel28 = NuevaEtiqueta(this, t, "QRLabel28", "", 20, 840);
  QRLabel29 = NuevaEtiqueta(this, t, "QRLabel29", "", 400, 840);
  QRBand2 = NuevaBanda(this, QuickReport1, rbPageFooter, 20);
  QRLabel31 = NuevaEtiqueta(this, QRBand2, "QRLabel31", "", 10, 2);

  QRBand1->BeforePrint = [this](TQRCustomBand* s, bool& p) { QRBand1BeforePrint(s, p); };

  EncabezadoPptal e = LeerEncabezadoPptal();
  if (e.hayIni) {
    QRLabel33->Caption = e.titulo1;
    QRLabel34->Caption = e.titulo2;
    QRLabel35->Caption = e.titulo3;
    CargarImagen(Image1, RutaDelPrograma(e.rutaLogo));
    CargarImagen(Image2, PathOrigen + "/images/firmaRectora.bmp");
    CargarImagen(Image3, PathOrigen + "/images/firmaSecretaria.bmp");
  }
}

void TfrmRptCertDisp::QRBand1BeforePrint(TQRCustomBand*, bool&) {
  QRLabel11->Caption = ConfigPptal("IEmpresa") + " NIT: " + ConfigPptal("NIT");
  QRLabel31->Caption = "";
  lblNumero->Caption = Campo(DataSource1, "icd");
  TDataSet* cd = DataSource1->GetDataSet();
  bool hay = cd && cd->Active && !cd->IsEmpty();
  auto Fecha = [&](const char* c) {
    return hay && !cd->FieldByName(c)->IsNull ? DateToStr(cd->FieldByName(c)->AsDateTime) : AnsiString();
  };
  lblFechaExped->Caption = Fecha("fechaExped");
  lblFechaVenc->Caption = Fecha("fechaVenc");
  QRLabel36->Caption = DateToStr(Date());
  QRMemo1->Lines->Clear();
  QRMemo1->Lines->SetText(Campo(DataSource1, "objetoGasto"));
  QRMemo2->Lines->Clear();
  QRMemo2->Lines->Add(
      "El presente certificado de disponibilidad presupuestal se expide en cumplimiento de las normas presupuestales "
      "vigentes que regulan la materia, y de  conformidad a lo dispuesto en el acuerdo " +
      ConfigPptal("acuerdo") + " y demás acuerdos modificatorios del mismo.");
  QRMemo3->Lines->Clear();
  if (hay) {
    for (const RubroCertificado& r : RubrosDeCertificado(NumeroDocDe(cd->FieldByName("icd")))) {
      double disponible = getDisponibilidadRubro(r.rubro, "E", nullptr);
      QRMemo3->Lines->Add(r.rubro + " " + getNrubro(r.rubro, "E") + " $" + Punto(r.valor, 2));
      QRMemo3->Lines->Add(r.rubro + " Disponibilidad a la fecha de impresión: " + " $" + Punto(disponible, 2));
    }
  }
  QRDBText6->Caption = MontoPptal(Campo(DataSource1, "Valor"));
  for (int m = 0; m < 12; ++m)
    meses[m]->Caption = MontoPptal(Campo(DataSource2, ("m" + std::to_string(m + 1)).c_str()));
  lblVigencia->Caption = Campo(DataSource1, "vigFiscal");
  QRLabel28->Caption = "Rector(a): " + ConfigPptal("rector");
  QRLabel29->Caption = "Auxiliar administrativo: " + ConfigPptal("auxiliar");
}
