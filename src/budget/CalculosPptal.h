#pragma once
// Cálculos de la cadena presupuestal: números siguientes, saldos pendientes de
// certificados y registros, órdenes de un registro y saldos de rubros. Son el único lugar
// donde se calculan estas cifras; no guardan estado: cada llamada lee las tablas.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/core/AnsiString.h"
#include "platform/core/DateTime.h"
#include "platform/core/SysUtils.h"

// ---- Numeración y pendientes --------------------------------------------------------------
double getLastCertDisp();   // número más alto de certificado (con su fracción); 0 sin filas
double getLastRegPptal();   // número más alto de registro, redondeado; 0 sin filas
double getLastOrdenPago();  // número más alto de orden de pago, redondeado; 0 sin filas
// El error es la clave repetida de una fila nueva porque otro puesto grabó ese número después
// de que el formulario lo propuso (la tabla ya tiene una fila con él).
bool EsNumeroTomado(const Exception& e, const char* tabla, const char* campo, double numero);
// Borra la orden de suministro en que está DM->tblMvtOrdenSumiMaestro y sus renglones.
void borrarOrdenSuministro(double aOrdenSuministro);
void borrarOrdenServicio(double aOrdenServicio);
// Valor del certificado menos sus registros (ubicado: el valor sale de la fila actual de
// DM->tblMvtCertDisp).
double getCompromisoPendiente(double aICD, bool ubicado);
// Valor del registro menos sus órdenes de pago (ubicado: fila actual de DM->tblMvtRegPptal).
double getPagoPendienteRP(double aIRP, bool ubicado);
// Lo que el registro aIRP tiene sin pagar más lo que la orden guardada aIOP ya le paga (nada
// cuando la orden no es de ese registro): hasta dónde puede llegar esa orden al modificarse.
double getPendienteParaOrden(double aIRP, double aIOP);
// Orden que cuelga del registro: número (0 ninguna, -1 varias de servicio, -2 varias de
// suministro), fecha como texto cuando se halla una y tipo (0 servicio, 1 suministro,
// 2 ninguna). No muestra nada: quien la llama muestra MensajeVariasOrdenes.
double getOrden(double airp, AnsiString& aFecha, int& atipoOrden);
// El aviso de un resultado -1 o -2 de getOrden; vacío para los demás.
AnsiString MensajeVariasOrdenes(double aOrden);
// El valor del comprobante de pago está entre la suma de sus órdenes y 1.3 veces esa suma.
bool validaCP_OP(const AnsiString& aCP);
// La misma regla sobre cifras ya leídas.
bool CPCuadraConOP(double valorCP, double sumaOP);

// ---- Rubros de un certificado -------------------------------------------------------------
struct RubroCertificado {
  AnsiString rubro;
  double valor = 0;          // monto del rubro en el certificado
  double participacion = 0;  // fracción del certificado que le toca al rubro
};
// Los rubros de un certificado: sus filas de certDispRubros cuando tiene alguna; si no, su
// propio rubroPptal con el valor del certificado (cuando no está vacío); si no, ninguno.
std::vector<RubroCertificado> RubrosDeCertificado(std::int64_t aICD);

// ---- Saldos de rubros ---------------------------------------------------------------------
// Fechas en texto día/mes/año; las ventanas incluyen ambos extremos.
double getDisponibilidadRubro(const AnsiString& aRubro, const AnsiString& aTipo, double* aPagado);
double getApropiadoRubro(const AnsiString& aRubro, const AnsiString& aTipo,
                         const AnsiString& aFechaInicial, const AnsiString& aFechaFinal);
double getPresupuestadoRubro(const AnsiString& aRubro, const AnsiString& aTipo,
                             const AnsiString& aFechaInicial, const AnsiString& aFechaFinal);
double getComprometidoRubro(const AnsiString& aRubro, const AnsiString& aTipo,
                            const AnsiString& aFechaInicial, const AnsiString& aFechaFinal);
double getComprometidoRubro(const AnsiString& aRubro, const AnsiString& aFechaInicial,
                            const AnsiString& aFechaFinal);
double getSeparadoRubro(const AnsiString& aRubro, const AnsiString& aFechaInicial,
                        const AnsiString& aFechaFinal);
double getSumaOPRubro(const AnsiString& aRubro);
double getSumaOPRubro(const AnsiString& aRubro, TDateTime aFecha1, TDateTime aFecha2);
double getSumaCPRubro(const AnsiString& aRubro, TDateTime aFecha1, TDateTime aFecha2);
double getSumaReintegrosRubro(const AnsiString& aRubro);

// ---- Saldos de todos los rubros ------------------------------------------------------------
// Las cifras de getSeparadoRubro, getComprometidoRubro (código y dos fechas), getSumaOPRubro y
// getSumaCPRubro de cada rubro en dos ventanas a la vez (antes del periodo y el periodo), con
// consultas agrupadas en lugar de una por rubro. Un rubro ausente vale 0 en ambas.
struct MontoVentanas {
  double antes = 0, periodo = 0;
};
using CadenaPorRubro = std::map<std::string, MontoVentanas>;
CadenaPorRubro getSeparadoRubros(const AnsiString& aAntesDesde, const AnsiString& aAntesHasta,
                                 const AnsiString& aDesde, const AnsiString& aHasta);
CadenaPorRubro getComprometidoRubros(const AnsiString& aAntesDesde, const AnsiString& aAntesHasta,
                                     const AnsiString& aDesde, const AnsiString& aHasta);
CadenaPorRubro getSumaOPRubros(TDateTime aAntesDesde, TDateTime aAntesHasta, TDateTime aDesde, TDateTime aHasta);
CadenaPorRubro getSumaCPRubros(TDateTime aAntesDesde, TDateTime aAntesHasta, TDateTime aDesde, TDateTime aHasta);

// ---- Plan de rubros -----------------------------------------------------------------------
// Un rubro es hoja cuando ningún otro de su tipo queda debajo: con punto, ningún código del
// tipo empieza por el código seguido de "."; sin punto, ningún otro código del tipo empieza
// por él.
bool EsRubroHoja(const AnsiString& aCuenta, const AnsiString& aTipoCuenta);

// ---- Límites de la cadena al grabar ---------------------------------------------------------
// Se llaman dentro de la transacción de la grabación, que tiene el candado de escritura de la
// contabilidad: cuentan las cifras guardadas (también lo que otro puesto acaba de grabar), nunca
// una cifra que el formulario leyó antes. Sin transacción abierta lanzan una excepción.
// Devuelven los mensajes de lo que no cabe; vacío cuando todo cabe. Un documento guardado que se
// modifica solo se revisa en lo que aumenta sobre lo que ya tenía.

// Monto que un certificado pide en un rubro.
struct MontoRubro {
  AnsiString rubro;
  double valor = 0;
};
// La línea de un rubro sin disponible: lo que se pide (todo, o solo el aumento de un
// certificado guardado) y lo que el rubro tiene disponible.
AnsiString FraseSinDisponible(const AnsiString& aRubro, double aPedido, bool aAumento, double aDisponible);
// El traslado que saca aMonto del rubro de egreso aRubro: "No tiene fondos para hacer el
// traslado. El rubro de donde saca (código) solo tiene " y el disponible, cuando no alcanza. Se
// llama con el documento que se reescribe ya borrado: su propio traslado no se cuenta dos veces.
AnsiString RevisarLimiteTraslado(const AnsiString& aRubro, double aMonto);
