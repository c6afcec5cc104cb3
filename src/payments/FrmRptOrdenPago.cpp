#include "payments/FrmRptOrdenPago.h"

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "ledger/motor/DuenoDiario.h"
#include "platform/core/IniFiles.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Dialogs.h"
#include "platform/os/Files.h"
#include "platform/report/QuickRpt.h"
#include "reports/ConsultasComun.h"
#include "shared/general/MontoEscrito.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"

TfrmRptOrdenPago* frmRptOrdenPago = nullptr;

namespace {

const char* const kAlias = "Contabilidad";

AnsiString Config(const char* campo) {
  TTable* t = DM->TblConfigContab;
  if (!t->Active) t->Open();
  t->First();
  return t->IsEmpty() ? AnsiString() : AnsiString(t->FieldByName(campo)->AsString);
}

TQRMemo* Memo(TComponent* owner, TQRCustomBand* banda, const char* nombre, int x, int y, int ancho, int alto) {
  auto* m = new TQRMemo(owner);
  m->Name = nombre;
  m->Left = x;
  m->Top = y;
  m->Width = ancho;
  m->Height = alto;
  m->Parent = banda;
  return m;
}

TQRImage* Imagen(TComponent* owner, TQRCustomBand* banda, const char* nombre, int x, int y, int ancho, int alto) {
  auto* i = new TQRImage(owner);
  i->Name = nombre;
  i->Left = x;
  i->Top = y;
  i->Width = ancho;
  i->Height = alto;
  i->Stretch = true;
  i->Parent = banda;
  return i;
}


}  // namespace

TfrmRptOrdenPago::TfrmRptOrdenPago(TComponent* Owner) : TForm(Owner) {
  Name = "frmRptOrdenPago";
  archivoIni = ArchivoIniSesion();
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = DM->tblMvtOrdenPago;
  queryGral = Make<TQuery>(this, "queryGral");
  DataSource2 = Make<TDataSource>(this, "DataSource2");
  DataSource2->DataSet = queryGral;
  query1 = Make<TQuery>(this, "query1");
  QuickReport1 = Make<TQuickRep>(this, "QuickReport1");
  QuickReport1->DataSource = DataSource2;
  QuickReport1->Page->Orientation = poPortrait;
  QuickReport1->Page->LeftMargin = 0;
  QuickReport1->ReportTitle = "ORDEN DE PAGO";

  qrbTitle = NuevaBanda(this, QuickReport1, rbTitle, 484);
  Image1 = Imagen(this, qrbTitle, "Image1", 10, 0, 105, 105);
  QRLabel11 = NuevaEtiqueta(this, qrbTitle, "QRLabel11", "", 130, 4, 560, false, true);
  QRLabel12 = NuevaEtiqueta(this, qrbTitle, "QRLabel12", "", 130, 26, 560);
  QRLabel13 = NuevaEtiqueta(this, qrbTitle, "QRLabel13", "", 130, 46, 560);
  QRLabel14 = NuevaEtiqueta(this, qrbTitle, "QRLabel14", "", 130, 66, 560);
  for (TQRLabel* l : {QRLabel11, QRLabel12, QRLabel13, QRLabel14}) l->Alignment = taCenter;
  NuevaEtiqueta(this, qrbTitle, "QRLabel1", "ORDEN DE PAGO No.", 20, 116, 0, false, true);
  lblNumero = NuevaEtiqueta(this, qrbTitle, "lblNumero", "", 220, 116, 0, false, true);
  NuevaEtiqueta(this, qrbTitle, "QRLabel2", "REGISTRO PRESUPUESTAL ASOCIADO:", 20, 142);
  lblRegistro = NuevaEtiqueta(this, qrbTitle, "lblRegistro", "", 280, 142);
  NuevaEtiqueta(this, qrbTitle, "QRLabel3", "FECHA DE EXPEDICION:", 20, 162);
  lblFecha = NuevaEtiqueta(this, qrbTitle, "lblFecha", "", 280, 162);
  NuevaEtiqueta(this, qrbTitle, "QRLabel4", "RUBRO PRESUPUESTAL:", 20, 182);
  QRMemo4 = Memo(this, qrbTitle, "QRMemo4", 280, 182, 440, 56);
  NuevaEtiqueta(this, qrbTitle, "QRLabel5", "VALOR SOLICITADO:", 20, 242);
  // La cifra cabe entera hasta -999.999.999.999,99 y sus palabras en cuatro renglones.
  lblValor = NuevaEtiqueta(this, qrbTitle, "lblValor", "", 150, 242, 130, true);
  QRMemo3 = Memo(this, qrbTitle, "QRMemo3", 290, 242, 430, 52);
  NuevaEtiqueta(this, qrbTitle, "QRLabel6", "TERCERO:", 20, 300);
  lblTercero = NuevaEtiqueta(this, qrbTitle, "lblTercero", "", 180, 300);
  QRLabel7 = NuevaEtiqueta(this, qrbTitle, "QRLabel7", "", 320, 300, 400);
  NuevaEtiqueta(this, qrbTitle, "QRLabel8", "OBJETO DEL GASTO:", 20, 320);
  QRMemo1 = Memo(this, qrbTitle, "QRMemo1", 180, 320, 540, 56);
  NuevaEtiqueta(this, qrbTitle, "QRLabel9", "VALOR A PAGAR:", 20, 380);
  QRMemo2 = Memo(this, qrbTitle, "QRMemo2", 180, 380, 540, 52);
  QRLabel21 = NuevaEtiqueta(this, qrbTitle, "QRLabel21", "", 20, 440, 600);

  TQRCustomBand* cab = NuevaBanda(this, QuickReport1, rbColumnHeader, 20);
  NuevaEtiqueta(this, cab, "QRLabel15", "CUENTA", 20, 2, 0, false, true);
  NuevaEtiqueta(this, cab, "QRLabel16", "DESCRIPCION DE LA CUENTA", 130, 2, 0, false, true);
  NuevaEtiqueta(this, cab, "QRLabel17", "DEBITO", 470, 2, 120, true, true);
  NuevaEtiqueta(this, cab, "QRLabel18", "CREDITO", 600, 2, 120, true, true);
  TQRCustomBand* det = NuevaBanda(this, QuickReport1, rbDetail, 17);
  NuevoCampo(this, det, "QRDBText7", DataSource2, "numecuen", 20, 1, 105);
  NuevoCampo(this, det, "QRDBText8", DataSource2, "nombcuen", 130, 1, 330);
  TQRDBText* deb = NuevoCampo(this, det, "QRDBText9", DataSource2, "debito", 470, 1, 120, true);
  TQRDBText* cre = NuevoCampo(this, det, "QRDBText10", DataSource2, "credito", 600, 1, 120, true);
  deb->OnPrint = [](TObject*, AnsiString& v) { v = MontoImpreso(v); };
  cre->OnPrint = [](TObject*, AnsiString& v) { v = MontoImpreso(v); };

  qrbSummary = NuevaBanda(this, QuickReport1, rbSummary, 150);
  Image2 = Imagen(this, qrbSummary, "Image2", 20, 10, 200, 60);
  Image3 = Imagen(this, qrbSummary, "Image3", 260, 10, 200, 60);
  QRLabel28 = NuevaEtiqueta(this, qrbSummary, "QRLabel28", "", 20, 90, 230);
  QRLabel29 = NuevaEtiqueta(this, qrbSummary, "QRLabel29", "", 260, 90, 230);
  QRLabel22 = NuevaEtiqueta(this, qrbSummary, "QRLabel22", "RECIBÍ", 510, 90, 200);
  for (int x : {20, 260}) {
    auto* linea = new TQRShape(this);
    linea->Shape = qrsHorLine;
    linea->Left = x;
    linea->Top = 80;
    linea->Width = 220;
    linea->Height = 4;
    linea->Parent = qrbSummary;
  }
  QRShape1 = new TQRShape(this);
  QRShape1->Name = "QRShape1";
  QRShape1->Shape = qrsHorLine;
  QRShape1->Left = 510;
  QRShape1->Top = 80;
  QRShape1->Width = 200;
  QRShape1->Height = 4;
  QRShape1->Parent = qrbSummary;
  TQRCustomBand* pie = NuevaBanda(this, QuickReport1, rbPageFooter, 20);
  QRLabel31 = NuevaEtiqueta(this, pie, "QRLabel31", "", 20, 2);

  // Las líneas se leen antes de armar el impreso: son sus filas de detalle.
  QuickReport1->BeforePrint = [this](TQuickRep*, bool&) {
    AnsiString tipo = "_OP";
    if (FileExists(archivoIni)) tipo = TIniFile(archivoIni).ReadString("ACTION", "descDocuOP", "_OP");
    HagaSQL(kAlias, queryGral,
            "select pl.nombcuen as nombcuen, mvt.numecuen as numecuen, mvt.debito as debito, mvt.credito as credito "
            "from Mvt left join pl on mvt.numecuen=pl.numecuen where DescDocu=" + TextoSQL(tipo) +
                " and numeDocu=" + TextoSQL(numeDocu) + " order by mvt.numecuen desc");
  };
  qrbTitle->BeforePrint = [this](TQRCustomBand* b, bool& p) { qrbTitleBeforePrint(b, p); };
  qrbSummary->BeforePrint = [this](TQRCustomBand* b, bool& p) { qrbSummaryBeforePrint(b, p); };

  if (FileExists(archivoIni)) {
    TIniFile ini(archivoIni);
    AnsiString logo = ini.ReadString("ACTION", "rutaLogo", "");
    // Una imagen que no carga queda vacía, sin aviso.
    auto Cargar = [](TQRImage* i, const AnsiString& archivo) {
      if (archivo.IsEmpty() || !FileExists(archivo)) return;
      try {
        i->Picture->LoadFromFile(archivo);
      } catch (Exception&) {
      }
    };
    if (!logo.IsEmpty()) Cargar(Image1, RutaDelPrograma(logo));
    Cargar(Image2, PathOrigen + "/images/firmaRectora.bmp");
    Cargar(Image3, PathOrigen + "/images/firmaSecretaria.bmp");
  } else {
    ShowMessage("Debe crear el INI dentro de la carpeta");
  }
}

AnsiString TfrmRptOrdenPago::Campo(const char* campo) {
  TDataSet* d = DataSource1->GetDataSet();
  if (!d || !d->Active || d->IsEmpty()) return AnsiString();
  TField* f = d->FieldByName(campo);
  return f->IsNull ? AnsiString() : AnsiString(f->AsString);
}

void TfrmRptOrdenPago::qrbTitleBeforePrint(TQRCustomBand*, bool&) {
  TIniFile ini(archivoIni);
  QRLabel12->Caption = ini.ReadString("ACTION", "titulo1", "");
  QRLabel13->Caption = ini.ReadString("ACTION", "titulo2", "");
  QRLabel14->Caption = ini.ReadString("ACTION", "titulo3", "");
  GuardarAjustes(archivoIni, [](TIniFile& escribe) { escribe.WriteBool("ACTION", "Exit", false); });
  QRLabel11->Caption = Config("IEmpresa") + " NIT: " + Config("NIT");
  QRLabel31->Caption = "";
  lblNumero->Caption = Campo("iop");
  lblRegistro->Caption = Campo("IRP");
  TDataSet* d = DataSource1->GetDataSet();
  lblFecha->Caption =
      d && d->Active && !d->IsEmpty() && !d->FieldByName("fechaExped")->IsNull
          ? DateToStr(d->FieldByName("fechaExped")->AsDateTime)
          : AnsiString();
  AnsiString tercero = Campo("iTercero");
  lblTercero->Caption = tercero;
  QRLabel7->Caption = tercero.IsEmpty() ? AnsiString() : Tercero(tercero).getNtercero();
  QRMemo1->Lines->SetText(Campo("objetoGasto"));
  AnsiString valor = Campo("Valor");
  QRMemo2->Lines->Clear();
  QRMemo3->Lines->Clear();
  lblValor->Caption = MontoImpreso(valor);
  if (!valor.IsEmpty()) {
    // Las palabras salen del número guardado, nunca de su texto.
    double v = d->FieldByName("Valor")->AsFloat;
    AnsiString letras = MontoEnLetras(v, true);
    QRMemo2->Lines->Add(AnsiString(Punto(v, 2)) + " " + letras);
    QRMemo3->Lines->Add(letras);
  }
  // Rubros del certificado del registro, por la regla de los rubros del certificado.
  QRMemo4->Lines->Clear();
  std::int64_t irp = 0;
  if (tv::motor::NumeroDocumento(AnsiString(Campo("IRP")).str(), irp)) {
    HagaSQL(kAlias, query1,
            "select distinct r.rubro as rubropptal, b.ncuenta as ncuenta from ("
            "select a.icd as icd, c.rubroPptal as rubro from mvtregpptal a join certDispRubros c on c.icd=a.icd "
            "where a.irp=" + AnsiString(std::to_string(irp).c_str()) +
                " union select a.icd, d.rubroPptal from mvtregpptal a join mvtCertDisp d on d.icd=a.icd "
                "where a.irp=" + AnsiString(std::to_string(irp).c_str()) +
                " and d.rubroPptal is not null and d.rubroPptal<>'' and not exists "
                "(select 1 from certDispRubros x where x.icd=a.icd)) r "
                "left join plppto b on b.icuenta=r.rubro and b.tipoCuenta='E' order by r.rubro");
    for (query1->First(); !query1->Eof; query1->Next())
      QRMemo4->Lines->Add(AnsiString(query1->FieldByName("rubropptal")->AsString) + " " +
                          AnsiString(query1->FieldByName("ncuenta")->AsString));
  }
  double cheque = 0;
  QRLabel21->Caption = TryStrToFloat(Campo("valorCheque"), cheque) && cheque > 0
                           ? "CHEQUE #: " + Campo("numeroCheque") + " " + Campo("banco")
                           : AnsiString();
  QRLabel28->Caption = "Rector(a): " + Config("rector");
  QRLabel29->Caption = "Auxiliar administrativo: " + Config("auxiliar");
}

void TfrmRptOrdenPago::qrbSummaryBeforePrint(TQRCustomBand*, bool&) {
  QRLabel22->Caption = printRecibi ? "RECIBÍ" : "";
  QRShape1->Enabled = printRecibi;
}
