#pragma once
// Contabilidad nueva con ayudas para sembrar datos presupuestales: rubros, movimientos,
// certificados, registros, órdenes, comprobantes de pago y reintegros. Las fechas van en
// texto ISO ("2026-03-05"), como se guardan.
#include <string>
#include <utility>
#include <vector>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/Validaciones.h"
#include "support/Instalacion.h"

namespace presupuesto {

class Presupuesto : public admin::Instalacion {
 protected:
  void Sql(const std::string& sql) { Ejecutar(libros, sql); }
  std::string Leer(const std::string& sql) { return Valor(libros, sql); }
  double Numero(const std::string& sql);

  void Rubro(const std::string& tipo, const std::string& codigo, const std::string& nombre = "Rubro");
  // Documento de movimiento con encabezado; cada renglón: código, tipo, ingreso, egreso.
  struct Renglon {
    std::string codigo, tipo;
    double ingreso = 0, egreso = 0;
  };
  void Movimiento(const std::string& numero, const std::string& tipoMvt, const std::string& fecha,
                  const std::vector<Renglon>& renglones, const std::string& detalle = "");
  // Certificado con su campo propio (rubroPropio, "" = nulo) y sus filas de rubros.
  void Certificado(double icd, const std::string& fecha, double valor, const std::string& rubroPropio,
                   const std::vector<std::pair<std::string, double>>& rubros = {});
  void Registro(double irp, double icd, const std::string& fecha, double valor);
  void OrdenPago(double iop, double irp, const std::string& fecha, double valor);
  void OrdenServicio(double numero, double irp, const std::string& fecha = "2026-03-01");
  void OrdenSuministro(double numero, double irp, const std::string& fecha = "2026-03-01");
  // Encabezado de comprobante (tipo CP por omisión) con sus órdenes op1..op5 (0 = nulo).
  void Comprobante(const std::string& numero, const std::string& fecha, double valor, std::vector<double> ops,
                   const std::string& tipo = "CP");
  void Reintegro(const std::string& rubro, double valor);
  // Renglón del diario que nombra un rubro de ingreso.
  void LineaDiario(const std::string& rubro, const std::string& fecha, double debito, double credito);
  // La única plantilla de asiento: la 7 "Pago servicios" del documento "_OP", con el gasto 510505
  // al débito y el banco 111005 (y, con retención, 236540) al crédito.
  void PlantillaDePago(bool retencion = true);
};

namespace ayuda {
inline std::string Q(const std::string& s) { return TextoSQL(s.c_str()).str(); }
inline std::string Nm(double v) { return NumeroSQL(v).str(); }
inline std::string NuloOCero(double v) { return v == 0 ? "NULL" : Nm(v); }
// Contenido entero de un archivo escrito por el programa (CSV, listados).
inline std::string LeerArchivo(const std::string& ruta) {
  std::ifstream in(ruta, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}
}  // namespace ayuda
using namespace ayuda;

inline double Presupuesto::Numero(const std::string& sql) {
  std::string v = Leer(sql);
  return v.empty() || v == "<null>" ? 0 : std::strtod(v.c_str(), nullptr);
}

inline void Presupuesto::Rubro(const std::string& tipo, const std::string& codigo, const std::string& nombre) {
  Sql("INSERT INTO PlPpto (iCuenta, nCuenta, tipoCuenta) VALUES (" + Q(codigo) + ", " + Q(nombre) + ", " + Q(tipo) +
      ")");
}

inline void Presupuesto::Movimiento(const std::string& numero, const std::string& tipoMvt, const std::string& fecha,
                             const std::vector<Renglon>& renglones, const std::string& detalle) {
  Sql("INSERT INTO MvtPptalMaestro (iMvtPptal, tipoMvtPptal, fecha, detalle, iUsuario) VALUES (" + Q(numero) + ", " +
      Q(tipoMvt) + ", " + Q(fecha) + ", " + Q(detalle) + ", 'admin')");
  for (const auto& r : renglones)
    Sql("INSERT INTO mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) VALUES (" + Q(numero) +
        ", " + Q(tipoMvt) + ", " + Q(r.codigo) + ", " + Q(r.tipo) + ", " + Nm(r.ingreso) + ", " + Nm(r.egreso) + ")");
}

inline void Presupuesto::Certificado(double icd, const std::string& fecha, double valor, const std::string& rubroPropio,
                              const std::vector<std::pair<std::string, double>>& rubros) {
  Sql("INSERT INTO mvtCertDisp (icd, FechaExped, valor, rubroPptal) VALUES (" + Nm(icd) + ", " + Q(fecha) + ", " +
      Nm(valor) + ", " + (rubroPropio.empty() ? std::string("NULL") : Q(rubroPropio)) + ")");
  for (const auto& [rubro, monto] : rubros)
    Sql("INSERT INTO certDispRubros (icd, rubroPptal, valor) VALUES (" + Nm(icd) + ", " + Q(rubro) + ", " + Nm(monto) +
        ")");
}

inline void Presupuesto::Registro(double irp, double icd, const std::string& fecha, double valor) {
  Sql("INSERT INTO mvtRegPptal (irp, ICD, FechaExped, valor, itercero) VALUES (" + Nm(irp) + ", " + Nm(icd) + ", " +
      Q(fecha) + ", " + Nm(valor) + ", '')");
}

inline void Presupuesto::OrdenPago(double iop, double irp, const std::string& fecha, double valor) {
  Sql("INSERT INTO mvtOrdenPago (iop, IRP, FechaExped, valor) VALUES (" + Nm(iop) + ", " + Nm(irp) + ", " + Q(fecha) +
      ", " + Nm(valor) + ")");
}

inline void Presupuesto::OrdenServicio(double numero, double irp, const std::string& fecha) {
  Sql("INSERT INTO mvtOrdenServicio (iOrdenServicio, irp, Fecha, valor) VALUES (" + Nm(numero) + ", " +
      NuloOCero(irp) + ", " + Q(fecha) + ", 0)");
}

inline void Presupuesto::OrdenSuministro(double numero, double irp, const std::string& fecha) {
  Sql("INSERT INTO mvtOrdenSumiMaestro (iOrdenSuministro, irp, Fecha, valorTotal) VALUES (" + Nm(numero) + ", " +
      NuloOCero(irp) + ", " + Q(fecha) + ", 0)");
}

inline void Presupuesto::Comprobante(const std::string& numero, const std::string& fecha, double valor,
                              std::vector<double> ops, const std::string& tipo) {
  ops.resize(5, 0);
  std::string sql = "INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor, op1, op2, op3, op4, op5) VALUES (" +
                    Q(tipo) + ", " + Q(numero) + ", " + Q(fecha) + ", " + Nm(valor);
  for (double op : ops) sql += ", " + NuloOCero(op);
  Sql(sql + ")");
}

inline void Presupuesto::Reintegro(const std::string& rubro, double valor) {
  Sql("INSERT INTO reintegros (rubro, valor, fecha) VALUES (" + Q(rubro) + ", " + Nm(valor) + ", '2026-01-01')");
}

inline void Presupuesto::LineaDiario(const std::string& rubro, const std::string& fecha, double debito, double credito) {
  Sql("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito, credito, rubro) VALUES ('41050501', 'RC', '1', " +
      Q(fecha) + ", " + Nm(debito) + ", " + Nm(credito) + ", " + Q(rubro) + ")");
}

inline void Presupuesto::PlantillaDePago(bool retencion) {
  Sql("DELETE FROM asientosProg");
  Sql("DELETE FROM asientosProgCfg");
  Sql("INSERT INTO asientosProgCfg (iAstoProg, nAstoProg, descDocu) VALUES (7, 'Pago servicios', '_OP')");
  Sql(std::string("INSERT OR IGNORE INTO PL (numecuen, nombcuen) VALUES ('51', 'Gastos'), ('5105', 'Personal'), "
                  "('510505', 'Sueldos'), ('111005', 'Bancos')") +
      (retencion ? ", ('236540', 'Retenciones')" : ""));
  Sql(std::string("INSERT INTO asientosProg (iAstoProg, numeCuen, naturaleza) VALUES (7, '510505', 'D'), "
                  "(7, '111005', 'C')") +
      (retencion ? ", (7, '236540', 'C')" : ""));
}

}  // namespace presupuesto
