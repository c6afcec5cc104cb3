#include "payments/FrmBuscarPpto.h"

#include "platform/db/DBTables.h"
#include "platform/db/sql/Translator.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBCtrls.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "reports/ConsultasComun.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TfrmBuscarPpto* frmBuscarPpto = nullptr;

TfrmBuscarPpto::TfrmBuscarPpto(TComponent* Owner) : TForm(Owner) {
  Name = "frmBuscarPpto";
  Caption = "Buscar en la información presupuestal";
  Position = poScreenCenter;
  Width = 760;
  Height = 520;

  PnlArriba = Make<TPanel>(this, "PnlArriba");
  PnlArriba->Align = alTop;
  PnlArriba->BevelOuter = bvNone;
  PnlArriba->Height = 132;
  Label1 = Make<TLabel>(PnlArriba, "Label1");
  Label1->Caption = "Información a buscar:";
  Label1->SetBounds(8, 10, 150, 16);
  edTexto = Make<TEdit>(PnlArriba, "edTexto");
  edTexto->Hint = "Escriba un valor, una fecha o un texto";
  edTexto->ShowHint = true;
  edTexto->SetBounds(8, 28, 300, 24);
  Label1->FocusControl = edTexto;
  RG = Make<TRadioGroup>(PnlArriba, "RG");
  RG->Caption = "Buscar por:";
  RG->Items->Add("Certificados de disponibilidad");
  RG->Items->Add("Registros presupuestales");
  RG->Items->Add("Ordenes de servicio");
  RG->Items->Add("Ordenes de suministro");
  RG->ItemIndex = 0;
  RG->SetBounds(320, 4, 260, 122);
  BitBtn1 = Make<TBitBtn>(PnlArriba, "BitBtn1");
  BitBtn1->Caption = "&Aceptar";
  BitBtn1->Default = true;
  BitBtn1->SetBounds(600, 20, 110, 28);
  BitBtn2 = Make<TBitBtn>(PnlArriba, "BitBtn2");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "&Cancelar";
  BitBtn2->SetBounds(600, 56, 110, 28);

  DBMemo1 = Make<TDBMemo>(this, "DBMemo1");
  DBMemo1->Align = alBottom;
  DBMemo1->Height = 90;
  DBMemo1->ReadOnly = true;
  DBGrid1 = Make<TDBGrid>(this, "DBGrid1");
  DBGrid1->Align = alClient;
  DBGrid1->ReadOnly = true;
  Query1 = Make<TQuery>(this, "Query1");
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = Query1;
  DBGrid1->DataSource = DataSource1;
  MostrarMontos(DBGrid1, {"valor", "func", "inv", "valorTotal"});
  DBMemo1->DataSource = DataSource1;

  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
}

void TfrmBuscarPpto::clasificar() {
  AnsiString t = edTexto->Text, motivo;
  esFecha_ = ValidarFecha(t, motivo);
  fecha_ = esFecha_ ? MesDiaAnio(t).str() : std::string();
  esNumero_ = IsAllDigit(t.c_str());
  numero_ = t.str();
  // El texto se busca tal cual: sus comillas, "%" y "_" no cambian la consulta.
  patron_ = tv::db::EscapeLikePattern(t.str());
  patronMayus_ = tv::db::EscapeLikePattern(t.UpperCase().str());
}

namespace {
std::string Like(const char* campo, const std::string& patron) {
  return std::string(campo) + " like '%" + patron + "%' escape '\\'";
}
}  // namespace

void TfrmBuscarPpto::buidSQLCertDisp() {
  os << "select * from mvtCertDisp where ";
  if (esFecha_) os << "fechaExped='" << fecha_ << "' or " << "fechaVenc='" << fecha_ << "' or ";
  if (esNumero_) os << "Valor=" << numero_ << " or " << "func=" << numero_ << " or " << "inv=" << numero_ << " or ";
  os << Like("upper(ObjetoGasto)", patronMayus_) << " or " << Like("rubroPptal", patron_);
}

void TfrmBuscarPpto::buidSQLRegPptal() {
  os << "select * from mvtRegPptal where ";
  if (esFecha_) os << "fechaExped='" << fecha_ << "' or " << "fechaVenc='" << fecha_ << "' or ";
  if (esNumero_)
    os << "Valor=" << numero_ << " or " << "func=" << numero_ << " or " << "inv=" << numero_ << " or " << "icd="
       << numero_ << " or ";
  os << Like("itercero", patronMayus_);
}

void TfrmBuscarPpto::buidSQLOrdServ() {
  os << "select * from mvtOrdenServicio where ";
  if (esFecha_) os << "fecha='" << fecha_ << "' or ";
  if (esNumero_) os << "irp=" << numero_ << " or ";
  os << Like("descServicio", patronMayus_) << " or " << Like("itercero", patronMayus_);
}

void TfrmBuscarPpto::buidSQLOrdSum() {
  os << "select * from mvtOrdenSumiMaestro where ";
  if (esFecha_) os << "fecha='" << fecha_ << "' or ";
  if (esNumero_) os << "irp=" << numero_ << " or ";
  os << Like("detalle", patronMayus_) << " or " << Like("itercero", patronMayus_);
}

void TfrmBuscarPpto::BitBtn1Click(TObject*) {
  DBMemo1->DataField = "";
  os.str("");
  os.clear();
  clasificar();
  switch (RG->ItemIndex) {
    case 0: buidSQLCertDisp(); break;
    case 1: buidSQLRegPptal(); break;
    case 2: buidSQLOrdServ(); break;
    case 3: buidSQLOrdSum(); break;
    default: return;
  }
  Query1->Close();
  HagaSQL("Contabilidad", Query1, os.str().c_str());
  if (RG->ItemIndex == 2) DBMemo1->DataField = "DescServicio";
  if (RG->ItemIndex == 3) DBMemo1->DataField = "detalle";
}
