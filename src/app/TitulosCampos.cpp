#include "app/TitulosCampos.h"

#include <string>
#include <unordered_map>

#include "platform/core/SysUtils.h"
#include "platform/forms/DBGrids.h"
#include "shared/general/Numeros.h"

namespace {

const std::unordered_map<std::string, const char*>& Titulos() {
  // Claves en minúsculas: los campos llegan con la mayúscula que traiga cada consulta.
  static const std::unordered_map<std::string, const char*> t = {
      // plan de cuentas, movimiento y documentos
      {"numecuen", "Cuenta"}, {"nombcuen", "Nombre de la cuenta"}, {"naturaleza", "Naturaleza"},
      {"exigterc", "Exige tercero"}, {"centcost", "Centro de costo"}, {"cantidad", "Cantidad"},
      {"unidades", "Unidades"}, {"codiveri", "Código de verificación"}, {"rubro", "Rubro"},
      {"tiporubro", "Tipo de rubro"}, {"descdocu", "Documento"}, {"numedocu", "Número"}, {"fecha", "Fecha"},
      {"cedulanit", "Cédula o NIT"}, {"detalle", "Detalle"}, {"debito", "Débito"}, {"credito", "Crédito"},
      {"desccomp", "Soporte"}, {"numecomp", "Número de soporte"}, {"qitems", "Líneas"}, {"valor", "Valor"},
      {"descuadre", "Descuadre"}, {"op1", "OP 1"}, {"op2", "OP 2"}, {"op3", "OP 3"}, {"op4", "OP 4"},
      {"op5", "OP 5"}, {"saldodebito", "Saldo débito"}, {"saldocredito", "Saldo crédito"},
      {"nuevodebito", "Nuevo débito"}, {"nuevocredito", "Nuevo crédito"}, {"nuevosaldo", "Nuevo saldo"},
      {"codidocu", "Código"}, {"nombdocu", "Nombre"}, {"codicomp", "Código"}, {"nombcomp", "Nombre"},
      {"codicent", "Código"}, {"nombcent", "Nombre"}, {"ntercero", "Tercero"}, {"data", "Dato"},
      {"exigemvtpptal", "Requiere orden de pago"}, {"esingreso", "Es ingreso"}, {"numero", "Número"},
      {"tercero", "Tercero"},
      // terceros
      {"nombre", "Nombre"}, {"nombre1", "Primer nombre"}, {"nombre2", "Segundo nombre"},
      {"apellido1", "Primer apellido"}, {"apellido2", "Segundo apellido"}, {"razonsocial", "Razón social"},
      {"razoncomercial", "Razón comercial"}, {"direccion", "Dirección"}, {"telefono", "Teléfono"},
      {"ciudad", "Ciudad"}, {"dpto", "Departamento"}, {"digitoverificacion", "Dígito de verificación"},
      {"tipodocumento", "Tipo de documento"},
      // presupuesto
      {"icuenta", "Código"}, {"ncuenta", "Nombre"}, {"tipocuenta", "Tipo"}, {"fuente", "Fuente"},
      {"nrubro", "Nombre del rubro"}, {"disponible", "Disponible"}, {"imvtpptal", "Número"},
      {"tipomvtpptal", "Tipo"}, {"ingreso", "Ingreso"}, {"egreso", "Egreso"}, {"cuentadebito", "Cuenta débito"},
      {"cuentacredito", "Cuenta crédito"}, {"icd", "CDP"}, {"cdp", "CDP"}, {"fechaexped", "Fecha de expedición"},
      {"fechavenc", "Fecha de vencimiento"}, {"objetogasto", "Objeto del gasto"}, {"func", "Funcionamiento"},
      {"inv", "Inversión"}, {"vigfiscal", "Vigencia fiscal"}, {"rubropptal", "Rubro"}, {"irp", "Registro"},
      {"itercero", "Tercero"}, {"iop", "Orden de pago"}, {"iordenservicio", "Orden de servicio"},
      {"descservicio", "Descripción del servicio"}, {"iordensuministro", "Orden de suministro"},
      {"valortotal", "Valor total"}, {"valorunit", "Valor unitario"}, {"iarticulo", "Código"},
      {"narticulo", "Artículo"}, {"justificacion", "Justificación"}, {"iusuario", "Usuario"},
      {"ejecucion", "Ejecución"}, {"aprobado", "Aprobado"}, {"comprometido", "Comprometido"},
      {"ejecutado", "Ejecutado"}, {"ctappto", "Rubro"}, {"docasociado", "Documento asociado"},
      {"certdisp", "CDP"}, {"iastoprog", "Asiento programado"}, {"nastoprog", "Nombre"},
      {"tipoasiento", "Tipo de asiento"}, {"requieretercero", "Requiere tercero"}, {"pasasaldo", "Pasa saldo"},
      // retenciones
      {"cuenta", "Cuenta"}, {"base", "Base"}, {"porcentaje", "Porcentaje"}, {"tipo", "Tipo"},
      {"porcentajenodeclara", "Porcentaje no declarante"}, {"redondeopeso", "Redondeo al peso"},
      {"redondeomiles", "Redondeo a miles"}, {"fechainicio", "Desde"}, {"fechafinal", "Hasta"},
      {"retefuente", "Retención en la fuente"}, {"reteiva", "Retención de IVA"}, {"numerocheque", "Cheque"},
      {"valorcheque", "Valor del cheque"}, {"valorefectivo", "Valor en efectivo"}, {"banco", "Banco"},
      // plan mensual de caja
      {"m1", "Enero"}, {"m2", "Febrero"}, {"m3", "Marzo"}, {"m4", "Abril"}, {"m5", "Mayo"}, {"m6", "Junio"},
      {"m7", "Julio"}, {"m8", "Agosto"}, {"m9", "Septiembre"}, {"m10", "Octubre"}, {"m11", "Noviembre"},
      {"m12", "Diciembre"},
  };
  return t;
}

bool Monto(const std::string& campo) {
  static const char* const montos[] = {
      "valor", "func", "inv", "debito", "credito", "ingreso", "egreso", "disponible", "valortotal", "valorunit",
      "saldodebito", "saldocredito", "nuevodebito", "nuevocredito", "nuevosaldo", "descuadre", "valorcheque",
      "valorefectivo", "retefuente", "reteiva", "ejecucion", "saldo", "total"};
  for (const char* m : montos)
    if (campo == m) return true;
  // plan mensual de caja: m1 .. m12
  if (campo.size() >= 2 && campo.size() <= 3 && campo[0] == 'm') {
    for (size_t i = 1; i < campo.size(); ++i)
      if (campo[i] < '0' || campo[i] > '9') return false;
    int mes = std::stoi(campo.substr(1));
    return mes >= 1 && mes <= 12;
  }
  return false;
}

}  // namespace

bool EsCampoMonto(const AnsiString& aCampo) { return Monto(LowerCase(aCampo).str()); }

AnsiString TituloCampo(const AnsiString& aCampo) {
  auto it = Titulos().find(LowerCase(aCampo).str());
  return it == Titulos().end() ? AnsiString() : AnsiString(it->second);
}

void RegistrarTitulosCampos() {
  SetFieldTitles(&TituloCampo);
  SetAmountCells([](const TField& f, AnsiString& texto) {
    if ((f.DataType() != ftFloat && f.DataType() != ftCurrency) || !EsCampoMonto(f.FieldName)) return false;
    texto = Punto(f.GetAsFloat(), 2);
    return true;
  });
}
