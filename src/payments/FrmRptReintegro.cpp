#include "payments/FrmRptReintegro.h"

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "budget/ImpresoPptal.h"
#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"
#include "platform/report/QuickRpt.h"
#include "reports/ConsultasComun.h"
#include "shared/general/Numeros.h"

TfrmRptReintegro* frmRptReintegro = nullptr;

namespace {
AnsiString Campo(const char* campo) {
  TTable* t = DM->tblReintegros;
  if (!t->Active || t->IsEmpty()) return AnsiString();
  return t->FieldByName(campo)->AsString;
}

// Texto centrado en el ancho de la hoja carta.
TQRLabel* Centrada(TComponent* owner, TQRCustomBand* banda, const char* nombre, int arriba) {
  TQRLabel* l = NuevaEtiqueta(owner, banda, nombre, "", 0, arriba, 720, false, true);
  l->Alignment = taCenter;
  return l;
}
}  // namespace

TfrmRptReintegro::TfrmRptReintegro(TComponent* Owner) : TForm(Owner) {
  Name = "frmRptReintegro";
  QuickRep1 = Make<TQuickRep>(this, "QuickRep1");
  QuickRep1->Page->PaperSize = qrpLetter;
  QuickRep1->Page->Orientation = poPortrait;
  QuickRep1->ReportTitle = "REINTEGRO PRESUPUESTAL";
  TQRCustomBand* t = NuevaBanda(this, QuickRep1, rbTitle, 520);
  QRImage1 = NuevaImagen(this, t, "QRImage1", 10, 4, 90, 80);
  lblTitulo1 = Centrada(this, t, "lblTitulo1", 10);
  lblTitulo2 = Centrada(this, t, "lblTitulo2", 28);
  lblTitulo3 = Centrada(this, t, "lblTitulo3", 46);
  lblEmpresa = Centrada(this, t, "lblEmpresa", 70);
  TQRLabel* titulo = Centrada(this, t, "QRLabel1", 110);
  titulo->Caption = "REINTEGRO PRESUPUESTAL";
  NuevaEtiqueta(this, t, "QRLabel2", "Certificado de disponibilidad:", 20, 150, 0, false, true);
  TQRLabel* cdp = NuevaEtiqueta(this, t, "lblCdp", "", 230, 150);
  NuevaEtiqueta(this, t, "QRLabel3", "Rubro:", 20, 175, 0, false, true);
  TQRLabel* rubro = NuevaEtiqueta(this, t, "lblRubro", "", 230, 175, 480);
  NuevaEtiqueta(this, t, "QRLabel4", "Fecha:", 20, 200, 0, false, true);
  TQRLabel* fecha = NuevaEtiqueta(this, t, "lblFecha", "", 230, 200);
  NuevaEtiqueta(this, t, "QRLabel5", "Valor:", 20, 225, 0, false, true);
  TQRLabel* valor = NuevaEtiqueta(this, t, "lblValor", "", 230, 225);
  NuevaEtiqueta(this, t, "QRLabel6", "Justificación:", 20, 250, 0, false, true);
  QRMemo1 = NuevoMemo(this, t, "QRMemo1", 20, 270, 680, 140);
  NuevaLinea(this, t, 20, 460, 280);
  NuevaLinea(this, t, 400, 460, 280);
  TQRLabel* rector = NuevaEtiqueta(this, t, "lblRector", "", 20, 466);
  TQRLabel* auxiliar = NuevaEtiqueta(this, t, "lblAuxiliar", "", 400, 466);

  t->BeforePrint = [=, this](TQRCustomBand* s, bool& p) {
    TitleBand1BeforePrint(s, p);
    cdp->Caption = Campo("cdp");
    AnsiString codigo = Campo("rubro");
    rubro->Caption = codigo + " " + getNrubro(codigo, "E");
    TTable* r = DM->tblReintegros;
    fecha->Caption = r->Active && !r->IsEmpty() && !r->FieldByName("fecha")->IsNull
                         ? DateToStr(r->FieldByName("fecha")->AsDateTime)
                         : AnsiString();
    valor->Caption = Campo("valor").IsEmpty() ? AnsiString() : AnsiString(Punto(static_cast<double>(r->FieldByName("valor")->AsFloat), 2));
    rector->Caption = "Rector(a): " + ConfigPptal("rector");
    auxiliar->Caption = "Auxiliar administrativo: " + ConfigPptal("auxiliar");
  };

  EncabezadoPptal e = LeerEncabezadoPptal();
  if (e.hayIni) {
    lblTitulo1->Caption = e.titulo1;
    lblTitulo2->Caption = e.titulo2;
    lblTitulo3->Caption = e.titulo3;
    CargarImagen(QRImage1, RutaDelPrograma(e.rutaLogo));
  }
}

void TfrmRptReintegro::TitleBand1BeforePrint(TQRCustomBand*, bool&) {
  lblEmpresa->Caption = ConfigPptal("IEmpresa") + " NIT: " + ConfigPptal("NIT");
  QRMemo1->Lines->SetText(Campo("justificacion"));
}
