// Revisiones de una línea del editor de comprobantes y grabación del documento.
#include <cmath>
#include <memory>

#include "app/AnioCerrado.h"
#include "app/DataModule.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "ledger/DialogosAsiento.h"
#include "ledger/FrmAsientos.h"
#include "ledger/VersionDocumento.h"
#include "ledger/motor/DuenoDiario.h"
#include "platform/db/DBTables.h"
#include "platform/db/sql/Translator.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "shared/general/BdeUtil.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

namespace {

void Aviso(const AnsiString& texto) {
  Application->MessageBox(texto, "Aviso", MB_OK | MB_ICONEXCLAMATION);
}

bool Vacio(TField* f) { return f->IsNull || f->AsString().IsEmpty(); }

// Escribe un campo de la fila actual y la graba; un valor que no se convierte deja la fila
// como estaba.
void Escribir(TTable* t, const char* campo, const AnsiString& valor) {
  if (t->State != dsEdit && t->State != dsInsert) t->Edit();
  try {
    t->FieldByName(campo)->AsString = valor;
  } catch (...) {
    t->Cancel();
    throw;
  }
  t->Post();
}

// Una marca que ya tiene ese valor no se vuelve a grabar.
void EscribirLogico(TTable* t, const char* campo, bool valor) {
  TField* f = t->FieldByName(campo);
  if (!f->IsNull && f->AsBoolean == valor && t->State == dsBrowse) return;
  if (t->State != dsEdit && t->State != dsInsert) t->Edit();
  t->FieldByName(campo)->AsBoolean = valor;
  t->Post();
}

}  // namespace

// ---- revisiones de la línea -------------------------------------------------------------------

bool TFrmAsientos::EsCuentaAuxiliar(const AnsiString& ICuenta) {
  if (validando_) {
    auto it = auxiliares_.find(ICuenta.str());
    if (it != auxiliares_.end()) return it->second;
  }
  // Los comodines de LIKE en el código no cuentan: "11_5" no es padre de "1105".
  HagaSQL("Contabilidad", Query1,
          "select numecuen from PL where numecuen like '" + tv::db::EscapeLikePattern(ICuenta.str()) +
              "%' escape '\\'");
  bool auxiliar = Query1->RecordCount <= 1;
  Query1->Close();
  if (validando_) auxiliares_[ICuenta.str()] = auxiliar;
  return auxiliar;
}

bool TFrmAsientos::ValidarNumeCuen(int Llamado) {
  BCCosto = BCantidad = BAutoRetIva = BAutoRetFue = false;
  AnsiString codigo = TblAsiento->FieldByName("numecuen")->AsString;
  TTable* plan = DM->TblPlan;
  // Durante la validación las cuentas del documento ya se leyeron de una vez.
  auto leida = validando_ ? cuentas_.find(codigo.str()) : cuentas_.end();
  CuentaLeida c;
  if (leida != cuentas_.end()) {
    c = leida->second;
  } else {
    if (codigo.IsEmpty() || !plan->Locate("numecuen", Variant(codigo))) {
      Aviso("Codigo de Cuenta Inexistente");
      return false;
    }
    c = {plan->FieldByName("nombcuen")->AsString, plan->FieldByName("centcost")->AsString,
         plan->FieldByName("Cantidad")->AsString, plan->FieldByName("codiveri")->AsString,
         plan->FieldByName("Unidades")->AsString, getInfCuentaTerc()};
  }
  AnsiString nombre = c.nombre;
  LblNCuenta->Caption = nombre;
  if (!EsCuentaAuxiliar(codigo)) {
    Aviso("La Cuenta No es Auxiliar");
    return false;
  }
  flagTercero = c.flagTercero;
  // Solo "S" marca la cuenta; "N" quiere decir que no se exige.
  BCCosto = c.centcost == "S";
  BCantidad = c.cantidad == "S";
  BAutoRetIva = codigo == AutoRetIva;
  BAutoRetFue = codigo == AutoRetFue;
  AnsiString verificacion = c.codiveri;
  AnsiString unidades = c.unidades;
  if (Llamado == 0 && CambioCuenta) {
    EscribirLogico(TblAsiento, "Check", false);
    CambioCuenta = false;
  }
  if (!verificacion.IsEmpty() && !TblAsiento->FieldByName("Check")->AsBoolean) {
    FrmCodiVeri = new TFrmCodiVeri(this);
    std::unique_ptr<TFrmCodiVeri> f(FrmCodiVeri);
    f->LblCuenta->Caption = nombre;
    f->Codigo = verificacion;
    f->ShowModal();
    if (!f->result) {
      Aviso("Codigo de Verificacion no Admitido");
      return false;
    }
  }
  EscribirLogico(TblAsiento, "Check", true);
  if (Llamado == 0 && BCantidad && TblAsiento->FieldByName("Cantidad")->AsFloat == 0) {
    FrmIngresoCantidad = new TFrmIngresoCantidad(this);
    std::unique_ptr<TFrmIngresoCantidad> f(FrmIngresoCantidad);
    f->LblUnidades->Caption = unidades;
    f->LblCuenta->Caption = codigo;
    f->ShowModal();
    if (f->Acep) Escribir(TblAsiento, "CANTIDAD", f->EdCantidad->Text);
  }
  return true;
}

bool TFrmAsientos::ValidarTercero(bool Forzar) {
  if (!Forzar && TblAsiento->FieldByName("CheckTercero")->AsBoolean) return true;
  // Reglas de la cuenta sobre el tercero y, si existe, las del tercero mismo.
  auto revisar = [this](const AnsiString& id) -> bool {
    if (id.IsEmpty() && flagTercero == 1) {
      Aviso("Con esta cuenta debe digitar el tercero.");
      return false;
    }
    if (chbEstricto->Checked && !id.IsEmpty() && flagTercero == 2) {
      Aviso("Con esta cuenta NO debe digitar el tercero.");
      return false;
    }
    if (id.IsEmpty()) return true;
    AnsiString nombre;
    auto it = validando_ ? terceros_.find(id.str()) : terceros_.end();
    if (it != terceros_.end()) {
      nombre = it->second.nombre;
      EsRetIva = it->second.retIva;
      EsRetFue = it->second.retFuente;
    } else {
      TTable* tc = DM->TblTerceros;
      if (!tc->Locate("cedulanit", Variant(id))) return false;
      nombre = tc->FieldByName("nombre")->AsString;
      EsRetIva = tc->FieldByName("AutoRetIva")->AsBoolean;
      EsRetFue = tc->FieldByName("AutoRetRet")->AsBoolean;
    }
    if (chbEstricto->Checked && BAutoRetIva && EsRetIva) {
      Aviso("El Tercero es AutoRetenedorIVA");
      return false;
    }
    if (chbEstricto->Checked && BAutoRetFue && EsRetFue) {
      Aviso("El Tercero es AutoRetenedor FUENTE");
      return false;
    }
    LblNTercero->Caption = nombre;
    EscribirLogico(TblAsiento, "CheckTercero", true);
    return true;
  };
  AnsiString id = TblAsiento->FieldByName("cedulanit")->AsString;
  // Los blancos de los lados no hacen otro tercero.
  if (id.Trim() != id) {
    id = id.Trim();
    Escribir(TblAsiento, "cedulanit", id);
  }
  if (id.IsEmpty() || (validando_ && terceros_.count(id.str())) || DM->TblTerceros->Locate("cedulanit", Variant(id)))
    return revisar(id);
  FrmTercAsiento = new TFrmTercAsiento(this);
  std::unique_ptr<TFrmTercAsiento> f(FrmTercAsiento);
  f->Terc = id;
  f->ShowModal();
  Escribir(TblAsiento, "cedulanit", f->Terc);
  f.reset();
  // El tercero que quedó se revisa otra vez, sin volver a abrir el diálogo.
  return revisar(TblAsiento->FieldByName("cedulanit")->AsString);
}

bool TFrmAsientos::ValidarCCostos() {
  TField* campo = TblAsiento->FieldByName("centcost");
  AnsiString centro = Vacio(campo) ? AnsiString() : campo->AsString();
  if (!BCCosto && centro.IsEmpty()) return true;
  if (centro.IsEmpty() || !DM->TblCCostos->Locate("codicent", Variant(centro))) {
    Aviso("Codigo de C. de Costo Inexistente");
    return false;
  }
  LblNCCost->Caption = DM->TblCCostos->FieldByName("nombcent")->AsString;
  return true;
}

bool TFrmAsientos::ValidarSoportes() {
  TField* campo = TblAsiento->FieldByName("desccomp");
  if (Vacio(campo)) return true;
  AnsiString codigo = campo->AsString().UpperCase();
  if (!DM->TblSoportes->Locate("codiComp", Variant(codigo))) {
    Aviso("Codigo de Soporte Inexistente");
    return false;
  }
  LblNSoporte->Caption = DM->TblSoportes->FieldByName("nombComp")->AsString;
  Escribir(TblAsiento, "desccomp", codigo);
  return true;
}

void TFrmAsientos::DBGrid1ColExit(TObject*) {
  if (!TblAsiento->Active || (TblAsiento->IsEmpty() && TblAsiento->State != dsInsert)) return;
  TField* cuenta = TblAsiento->FieldByName("numecuen");
  if (!Vacio(cuenta)) ValCuenta = cuenta->AsString;
  switch (DBGrid1->SelectedIndex) {
    case 0:
      ValidarNumeCuen(0);
      if (TblAsiento->State != dsEdit && TblAsiento->State != dsInsert) TblAsiento->Edit();
      TblAsiento->FieldByName("DescDocu")->AsString = Comp;
      TblAsiento->FieldByName("numedocu")->AsString = EdNumDoc->Text;
      TblAsiento->Post();
      break;
    case 1: ValidarTercero(true); break;
    case 3: ValidarCCostos(); break;
    case 4: ValidarSoportes(); break;
    case 6:
      if (chbEstricto->Checked && !ValCuenta.IsEmpty() && ValCuenta.SubString(1, 1) == "4" &&
          TblAsiento->FieldByName("Debito")->AsFloat > 0)
        Aviso("Cuenta de Ingreso en el Débito");
      break;
    default: break;
  }
}

void TFrmAsientos::TblAsientoBeforePost(TDataSet*) {
  if (!chbEstricto->Checked) return;
  TField* cuenta = TblAsiento->FieldByName("numecuen");
  if (Vacio(cuenta)) return;
  ValCuenta = cuenta->AsString;
  if (ValCuenta.SubString(1, 1) == "5" && TblAsiento->FieldByName("Credito")->AsFloat > 0)
    Aviso("Cuenta de Egreso en el Crédito");
}

// ---- grabación ----------------------------------------------------------------------------------

bool TFrmAsientos::Validar() {
  bool valido = true;
  AnsiString listas[4];
  validando_ = true;
  // Los terceros del documento se leen de una vez, por el índice de TC.
  terceros_.clear();
  HagaSQL("Contabilidad", Query1,
          "select cedulanit, nombre, autoretiva, autoretret from TC where cedulanit in "
          "(select cedulanit from asientos)");
  for (Query1->First(); !Query1->Eof; Query1->Next())
    terceros_[Query1->FieldByName("cedulanit")->AsString().str()] = {
        Query1->FieldByName("nombre")->AsString, Query1->FieldByName("autoretiva")->AsBoolean,
        Query1->FieldByName("autoretret")->AsBoolean};
  Query1->Close();
  // Si cada cuenta del documento es auxiliar, en una sola consulta: cuántos códigos del plan
  // empiezan con ella (el rango de textos que la tienen de prefijo, por el índice del plan).
  auxiliares_.clear();
  cuentas_.clear();
  HagaSQL("Contabilidad", Query1,
          "select a.numecuen as cuenta, a.nombcuen, a.centcost, a.Cantidad, a.codiveri, a.unidades, a.exigterc, "
          "(select count(*) from (select 1 from PL p where p.numecuen >= a.numecuen and p.numecuen < a.numecuen "
          "|| char(1114111) limit 2)) as n from PL a where a.numecuen in (select numecuen from asientos)");
  for (Query1->First(); !Query1->Eof; Query1->Next()) {
    std::string cuenta = Query1->FieldByName("cuenta")->AsString().str();
    auxiliares_[cuenta] = Query1->FieldByName("n")->AsInteger <= 1;
    AnsiString exige = Query1->FieldByName("exigterc")->AsString;
    cuentas_[cuenta] = {Query1->FieldByName("nombcuen")->AsString, Query1->FieldByName("centcost")->AsString,
                        Query1->FieldByName("Cantidad")->AsString, Query1->FieldByName("codiveri")->AsString,
                        Query1->FieldByName("unidades")->AsString, exige == "S" ? 1 : exige == "N" ? 2 : 0};
  }
  Query1->Close();
  try {
    // Sin transacción: las marcas van a la tabla de trabajo de este puesto, y los diálogos
    // de las revisiones no deben retener los libros de los demás puestos.
    TblAsiento->DisableControls();
    int linea = 0;
    try {
      for (TblAsiento->First(); !TblAsiento->Eof; TblAsiento->Next()) {
        ++linea;
        AnsiString n = ", " + AnsiString(linea);
        if (!ValidarNumeCuen(1)) valido = false, listas[0] += n;
        if (!ValidarTercero(true)) valido = false, listas[1] += n;
        if (!ValidarCCostos()) valido = false, listas[2] += n;
        if (!ValidarSoportes()) valido = false, listas[3] += n;
      }
    } catch (...) {
      TblAsiento->EnableControls();
      throw;
    }
    TblAsiento->EnableControls();
  } catch (...) {
    validando_ = false;
    throw;
  }
  validando_ = false;
  const char* titulos[4] = {" Cuenta Invalida en la(s) linea(s)    : ",
                            "\n Tercero Invalido en la(s) linea(s)   : ",
                            "\n C. Costos Invalido en la(s) linea(s) : ",
                            "\n Soporte Invalido en la(s) linea(s)   : "};
  AnsiString resumen;
  for (int i = 0; i < 4; ++i)
    if (!listas[i].IsEmpty()) resumen += titulos[i] + listas[i];
  // Se suman las líneas como se grabarán: cada una al centavo.
  HagaSQL("Contabilidad", Query1,
          "select sum(centavos(debito)) as debito, sum(centavos(credito)) as credito from asientos");
  valorDocumento = round(Query1->FieldByName("debito")->AsFloat, 2, baseRound);
  valorCredito = round(Query1->FieldByName("credito")->AsFloat, 2, baseRound);
  Query1->Close();
  if (!(std::fabs(valorDocumento) <= kTotalMaximo && std::fabs(valorCredito) <= kTotalMaximo)) {
    // Más allá no se suman los centavos con exactitud.
    valido = false;
    resumen += "\n Los totales del documento superan el máximo que el programa puede sumar.";
  }
  if (valorDocumento != valorCredito) {
    valido = false;
    AnsiString debitos = Punto(valorDocumento, 2);
    AnsiString creditos = Punto(valorCredito, 2);
    resumen += "\n Saldos desiguales " + debitos + " vs " + creditos +
               "\n Para grabar debe añadir un asiento ficticio que cuadre el documento.";
  }
  if (!valido) ShowMessage(resumen);
  return valido;
}

bool TFrmAsientos::FechaDeCajas(TDateTime& fecha) const {
  int anio = StrToInt(Anio->Text);
  int mes = StrToInt(ExtractString(CBMes->Text, ':', true));
  int dia = StrToInt(EdDia->Text);
  return TryEncodeDate(anio, mes, dia, fecha);
}

tv::motor::DocumentoManual TFrmAsientos::Registro() {
  tv::motor::DocumentoManual d;
  d.tipo = Docu.str();
  d.numeroTraido = NumDoc.str();
  d.numero = AnsiString(EdNumDoc->Text).str();
  d.fecha = FormatDateTime("yyyy-mm-dd", Fecha).str();
  d.usuario = Login.str();
  d.versionTraida = versionAlTraer_;
  d.encabezadoTraido = encabezadoAlTraer_;
  d.nuevoTraido = nuevoAlTraer_;
  d.puedeModificar = Permisos.GetPermisoModificar();
  for (int i = 0; i < 5; ++i) {
    AnsiString op = AnsiString(CajaOP(i)->Text).Trim();
    std::int64_t n = 0;
    if (tv::motor::NumeroDocumento(op.str(), n)) d.ordenes[i] = n;
  }
  // Las líneas de trabajo en su orden, cada monto al centavo como se grabará.
  HagaSQL("Contabilidad", Query1,
          "select numecuen, cedulanit, detalle, centcost, desccomp, numecomp, debito, credito, Cantidad, rubro "
          "from asientos");
  auto texto = [this](const char* c) {
    TField* f = Query1->FieldByName(c);
    return f->IsNull ? std::string() : f->AsString().str();
  };
  for (Query1->First(); !Query1->Eof; Query1->Next()) {
    tv::motor::LineaDiario l;
    l.cuenta = texto("numecuen");
    l.tercero = texto("cedulanit");
    l.detalle = texto("detalle");
    l.centroCosto = texto("centcost");
    l.descComp = texto("desccomp");
    l.numeComp = texto("numecomp");
    l.rubro = texto("rubro");
    l.debito = tv::motor::CentavosDe(Query1->FieldByName("debito")->AsFloat);
    l.credito = tv::motor::CentavosDe(Query1->FieldByName("credito")->AsFloat);
    l.cantidad = Query1->FieldByName("Cantidad")->AsFloat;
    d.lineas.push_back(std::move(l));
  }
  Query1->Close();
  return d;
}

void TFrmAsientos::BtnGrabarClick(TObject*) {
  if (!TblAsiento->Active || Docu.IsEmpty()) {
    ShowMessage("Debe completar información para poder grabar.");
    return;
  }
  if (TblAsiento->State == dsInsert && !TblAsiento->Modified) TblAsiento->Cancel();
  else if (TblAsiento->State == dsEdit || TblAsiento->State == dsInsert) TblAsiento->Post();
  // Totales y nombres se actualizan una vez al final, no tras cada paso de la grabación.
  TblAsiento->DisableControls();
  try {
    GrabarDocumento();
  } catch (...) {
    TblAsiento->EnableControls();
    throw;
  }
  TblAsiento->EnableControls();
}

void TFrmAsientos::GrabarDocumento() {
  HagaSQL("Contabilidad", Query1,
          "delete  from asientos where numecuen is null or (debito=0 and credito=0)");
  TblAsiento->Refresh();
  // Un documento sin ningún monto tampoco tiene qué grabar.
  HagaSQL("Contabilidad", Query1, "select count(*) as n from asientos where debito<>0 or credito<>0");
  bool conMontos = Query1->FieldByName("n")->AsInteger > 0;
  Query1->Close();
  if (TblAsiento->IsEmpty() || !conMontos) {
    ShowMessage("No hay información para grabar.");
    return;
  }
  DBGrid1->Enabled = false;
  bool grabado = false;
  try {
    if (Validar()) grabado = Grabar();
  } catch (...) {
    DBGrid1->Enabled = true;
    ChBDetalle->Checked = false;
    FechaOriginal = TDateTime(0.0);
    throw;
  }
  DBGrid1->Enabled = true;
  ChBDetalle->Checked = false;
  FechaOriginal = TDateTime(0.0);
  if (grabado) TblAsiento->First();
}

bool TFrmAsientos::Grabar() {
  AnsiString numero = EdNumDoc->Text;
  // La fecha se revisa antes de escribir nada.
  if (!FechaDeCajas(Fecha)) {
    ShowMessage("Fecha inválida.");
    return false;
  }
  if (double(FechaOriginal) != 0 && double(FechaOriginal) != double(Fecha)) {
    AnsiString t = AnsiString::Format("Fecha original del documento=%s, desea conservarla?",
                                      FormatDateTime("dd/MM/yyyy", FechaOriginal).c_str());
    if (Application->MessageBox(t, "Advertencia", MB_YESNO | MB_ICONEXCLAMATION) == IDYES)
      Fecha = FechaOriginal;
  }
  tv::motor::Resultado r;
  try {
    r = tv::motor::GrabarDocumentoManual("Contabilidad", Registro());
  } catch (Exception& e) {
    DM->tblMvtMaestro->Refresh();
    TblAsiento->Refresh();
    Application->ShowException(&e);
    return false;
  }
  if (!r.grabado) {
    // Nada quedó escrito: las líneas siguen en el editor para otro intento.
    if (r.Tiene("numero") && !r.numeroLibre.empty()) {
      EdNumDoc->Text = r.numeroLibre.c_str();
      // El número traído nuevo lo tomó otro: el documento en mano pasa al libre propuesto, y
      // el siguiente "Grabar" guarda las mismas líneas como un documento nuevo.
      if (nuevoAlTraer_ && VersionDeDocumento(Docu, NumDoc) != versionAlTraer_) {
        NumDoc = r.numeroLibre.c_str();
        versionAlTraer_ = VersionDeDocumento(Docu, NumDoc);
        encabezadoAlTraer_ = ExisteEncabezado(Docu, NumDoc);
        nuevoAlTraer_ = !encabezadoAlTraer_;
      }
    }
    if (r.codigo != 0) {
      CheckDbiError(r.codigo, "asientos", __LINE__);
    } else if (r.Tiene("permiso")) {
      Application->MessageBox(r.Texto().c_str(), "Error", MB_OK | MB_ICONSTOP);
    } else {
      ShowMessage(r.Texto().c_str());
    }
    DM->tblMvtMaestro->Refresh();
    TblAsiento->Refresh();
    return false;
  }
  LimpiarAsiento();
  lineasSinGrabar_ = false;
  DM->tblMvtMaestro->Refresh();
  ShowMessage("Asiento Registrado");
  AvisarSiAnioCerrado(Fecha);
  EdNumDoc->Text = IncNumeDocu(numero);
  // Tras grabar no queda documento en mano: el siguiente empieza con "Traer o Crear".
  Docu = "";
  NumDoc = "";
  return true;
}
