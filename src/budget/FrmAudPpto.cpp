#include "budget/FrmAudPpto.h"

#include <cmath>
#include <memory>
#include <set>
#include <string>

#include "budget/CalculosPptal.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/SqlUtil.h"

TfrmAudPpto* frmAudPpto = nullptr;

namespace {
const char* const kAlias = "Contabilidad";

AnsiString Texto(TQuery* q, const char* campo) { return q->FieldByName(campo)->AsString; }
bool Vacio(TQuery* q, const char* campo) { return Texto(q, campo).IsEmpty(); }
}  // namespace

TfrmAudPpto::TfrmAudPpto(TComponent* Owner) : TForm(Owner) {
  Name = "frmAudPpto";
  Caption = "Auditoría presupuesto";
  Position = poScreenCenter;
  Width = 640;
  Height = 460;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Muestra que comprobantes están relacionados con OP inexistentes,.";
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Caption = "Cuales ordenes de servicio y de suministro no están asociadas a un registro presupuestal.";
  Label3 = Make<TLabel>(this, "Label3");
  Label3->Caption = "Cuales registros presupuestales no estan asociados a ningún Certificado de disponibilidad.";
  Label4 = Make<TLabel>(this, "Label4");
  Label4->Caption = "y cuales PAC están asociados a certificados de disponibilidad inexistentes.";
  lblAutomatica = Make<TLabel>(this, "lblAutomatica");
  lblAutomatica->Caption = "Auditoría al presupuesto ejecutada automáticamente";
  lblAutomatica->Font->Size = 14;
  lblAutomatica->Font->Color = clMaroon;
  lblAutomatica->Visible = false;
  Memo1 = Make<TMemo>(this, "Memo1");
  Memo1->ScrollBars = ssVertical;
  Memo1->ReadOnly = true;
  BitBtn1 = Make<TBitBtn>(this, "BitBtn1");
  BitBtn1->Caption = "&Mostrar";
  BitBtn1->Default = true;
  BitBtn2 = Make<TBitBtn>(this, "BitBtn2");
  BitBtn2->Kind = bkCancel;
  BitBtn2->Caption = "&Cancelar";
  Query1 = Make<TQuery>(this, "Query1");

  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };
}

void TfrmAudPpto::Linea(const AnsiString& texto) { hallazgos_.push_back(texto); }

void TfrmAudPpto::BitBtn1Click(TObject*) {
  // Los hallazgos pasan a la memo de una vez (también los hallados antes de un error).
  hallazgos_.clear();
  Memo1->Lines->Clear();
  auto volcar = [this] {
    std::string texto;
    for (const auto& h : hallazgos_) texto += h.str() + "\n";
    Memo1->Lines->SetText(texto.c_str());
  };
  try {
    mvtContableInconsistente();
    ordenesInconsistentes();
    regPptalesHuerfanos();
    PAChuerfanos();
  } catch (...) {
    volcar();
    throw;
  }
  volcar();
}

void TfrmAudPpto::simularClick() { BitBtn1Click(this); }

void TfrmAudPpto::BitBtn2Click(TObject*) { Close(); }

void TfrmAudPpto::MostrarAutomatica() {
  Left = 0;
  lblAutomatica->Visible = true;
  BitBtn1->Visible = false;
  BitBtn2->Visible = false;
  Show();
  simularClick();
}

void TfrmAudPpto::mvtContableInconsistente() {
  // Con SQL en lugar de recorrer las tablas del módulo de datos: sus cursores no se mueven.
  std::set<double> ordenes;
  HagaSQL(kAlias, Query1, "select iop from mvtOrdenPago");
  for (Query1->First(); !Query1->Eof; Query1->Next())
    if (!Query1->FieldByName("iop")->IsNull) ordenes.insert(Query1->FieldByName("iop")->AsFloat);
  HagaSQL(kAlias, Query1,
          "select descdocu, numedocu, op1, op2, op3, op4, op5 from mvtmaestro");
  for (Query1->First(); !Query1->Eof; Query1->Next()) {
    for (int k = 1; k <= 5; ++k) {
      AnsiString campo = AnsiString("op") + AnsiString(k);
      TField* f = Query1->FieldByName(campo);
      if (f->IsNull) continue;
      double n = std::trunc(static_cast<double>(f->AsFloat));
      if (!ordenes.count(n))
        Linea(Texto(Query1, "descdocu") + Texto(Query1, "numedocu") + " tiene " + campo + "=" + f->AsString +
              " que no existe");
    }
  }
  // La regla de validaCP_OP en una sola consulta: sin órdenes que encontrar, el valor del
  // comprobante cuenta como 0 y el comprobante cuadra (un "CP" sin órdenes es válido).
  HagaSQL(kAlias, Query1,
          "select b.numedocu, b.valor, (select sum(a.valor) from mvtOrdenPago as a "
          "where a.iop in (b.op1,b.op2,b.op3,b.op4,b.op5)) as suma, (select count(*) from mvtOrdenPago as a "
          "where a.iop in (b.op1,b.op2,b.op3,b.op4,b.op5)) as ordenes from mvtmaestro as b where b.descdocu='CP'");
  for (Query1->First(); !Query1->Eof; Query1->Next()) {
    bool conOrdenes = Query1->FieldByName("ordenes")->AsInteger > 0;
    double valor = conOrdenes ? static_cast<double>(Query1->FieldByName("valor")->AsFloat) : 0.0;
    double suma = Query1->FieldByName("suma")->AsFloat;
    if (!CPCuadraConOP(valor, suma))
      Linea("El valor del comprobante de pago " + Texto(Query1, "numedocu") +
            " es demasiado pequeño o demasiado grande en relación a sus órdenes de pago asociadas");
  }
}

void TfrmAudPpto::ordenesInconsistentes() {
  // "not exists" y no "not in": un nulo en la subconsulta no oculta nada y las órdenes sin
  // registro también salen.
  HagaSQL(kAlias, Query1,
          "select iOrdenServicio, irp from mvtordenServicio as o where o.irp is null or "
          "not exists (select r.irp from mvtRegPptal as r where r.irp=o.irp)");
  for (Query1->First(); !Query1->Eof; Query1->Next()) {
    if (Vacio(Query1, "irp"))
      Linea("La orden se servicio " + Texto(Query1, "iOrdenServicio") + " no está asociada a un registro presupuestal.");
    else
      Linea("La orden se servicio " + Texto(Query1, "iOrdenServicio") + " está asociada a un registro presupuestal " +
            Texto(Query1, "irp") + " que no existe o ha sido borrado.");
  }
  HagaSQL(kAlias, Query1,
          "select iOrdenSuministro, irp from mvtordenSumiMaestro as o where o.irp is null or "
          "not exists (select r.irp from mvtRegPptal as r where r.irp=o.irp)");
  for (Query1->First(); !Query1->Eof; Query1->Next()) {
    if (Vacio(Query1, "irp"))
      Linea("La orden se suministro " + Texto(Query1, "iOrdenSuministro") +
            " no está asociada a un registro presupuestal.");
    else
      Linea("La orden se suministro " + Texto(Query1, "iOrdenSuministro") +
            " está asociada a un registro presupuestal " + Texto(Query1, "irp") + " que no existe o ha sido borrado.");
  }
  HagaSQL(kAlias, Query1, "select irp, count(*) as cuantas from mvtOrdenServicio group by irp having count(*)>1");
  for (Query1->First(); !Query1->Eof; Query1->Next())
    Linea("El registro presupuestal " + Texto(Query1, "irp") + " está asociado a " + Texto(Query1, "cuantas") +
          " órdenes de servicio.");
}

void TfrmAudPpto::regPptalesHuerfanos() {
  HagaSQL(kAlias, Query1,
          "select irp, icd from mvtRegpptal as r where r.icd is null or "
          "not exists (select c.icd from mvtCertDisp as c where c.icd=r.icd)");
  for (Query1->First(); !Query1->Eof; Query1->Next()) {
    if (Vacio(Query1, "icd"))
      Linea("El registro presupuestal " + Texto(Query1, "irp") + " no está asociada a un certificado de disponibilidad.");
    else
      Linea("El registro presupuestal " + Texto(Query1, "irp") + " está asociada a un certificado de disponibilidad " +
            Texto(Query1, "icd") + " que no existe o ha sido borrado.");
  }
}

void TfrmAudPpto::PAChuerfanos() {
  HagaSQL(kAlias, Query1,
          "select icd from pac as p where p.icd is null or "
          "not exists (select c.icd from mvtCertDisp as c where c.icd=p.icd)");
  for (Query1->First(); !Query1->Eof; Query1->Next()) {
    if (Vacio(Query1, "icd"))
      Linea("Existe PAC que no tiene asociado el CD.");
    else
      Linea("El PAC asociado al CD=" + Texto(Query1, "icd") + " tiene el problema que ese CD no existe o ha sido borrado.");
  }
}
