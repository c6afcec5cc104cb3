#pragma once
// Consultas y validaciones compartidas por los formularios: parámetros de informes,
// cuentas auxiliares, numeración de documentos, máscaras de montos y nombres de cuentas,
// rubros y terceros.
#include "platform/core/AnsiString.h"

class TMaskEdit;
class TDataSet;

// Ancho de un campo de texto según el esquema (tabla con o sin ".db"); 0 cuando no es
// texto o no existe. Los campos de edición que llenan un campo lo usan de límite.
int AnchoCampo(const AnsiString& tabla, const AnsiString& campo);

// Máscara vacía de una cuenta ("      .  .  .  .  "): cuenta como cuenta vacía.
inline constexpr const char* kCuentaVacia = "      .  .  .  .  ";

// Revisa las fechas (la final solo si la inicial es válida), las cuentas y el tercero
// pedidos; con fechas válidas recuerda el periodo en FechasInf. Los errores se muestran
// juntos en un solo mensaje. Verdadero cuando todo pasó.
bool ValidarInformes(AnsiString aFechaInicial, AnsiString aFechaFinal, AnsiString aCuenta1,
                     AnsiString aCuenta2, AnsiString aITercero, bool aBCuenta1, bool aBCuenta2,
                     bool aBITercero);
// Las dos fechas de ValidarInformes sin mostrar nada: el motivo se agrega a msg.
bool validarFechas(AnsiString aFechaInicial, AnsiString aFechaFinal, AnsiString& msg);
// Igual, para quien no necesita el motivo.
bool validarFechas(AnsiString aFechaInicial, AnsiString aFechaFinal);

// Cuenta que recibe movimientos: más de cuatro caracteres y ningún otro código empieza por ella.
bool EsAuxiliar(AnsiString aNumeCuen);
// Regla de tercero de la fila actual de DM->TblPlan: 0 libre, 1 exigido ("S"), 2 prohibido ("N").
int getInfCuentaTerc();
// Siguiente número de documento: conserva el prefijo alfabético y los ceros a la izquierda.
// "" cuando lo que sigue al prefijo no son solo dígitos.
AnsiString IncNumeDocu(AnsiString aNumDocu);
// Máscara numérica con separadores de miles según los dígitos enteros del texto.
void ajustarMaskEdit(TMaskEdit* aMaskEdit);
// 1 + la mayor parte entera del campo en todas las filas (1 sin filas).
int getConsecutivoFromStrings(TDataSet* aDataSet, AnsiString aField);
// Nombre de la cuenta, o "Cuenta inexistente.".
AnsiString getNcuenta(AnsiString aNumeCuen);
// Nombre del rubro presupuestal del tipo dado ("I" o "E"), o "".
AnsiString getNrubro(AnsiString aRubro, AnsiString aTipo);

// Número para un texto SQL escrito exacto: los enteros sin decimales, exponente ni
// redondeo a seis cifras; los demás con punto decimal y sin ceros sobrantes.
AnsiString NumeroSQL(double aValor);
// Texto entre comillas simples para un texto SQL, con las comillas internas dobladas.
AnsiString TextoSQL(const AnsiString& aValor);

// Registro de un tercero de TC.db; solo el identificador se llena al construirlo.
class Tercero {
 public:
  explicit Tercero(AnsiString aItercero);
  // Nombre del tercero ("" si no existe); deja DM->TblTerceros en la fila encontrada.
  AnsiString getNtercero();

  AnsiString itercero;
  AnsiString cedula;
  short digVer = 0;
  short tipoDoc = 0;
  AnsiString nombre;
  bool socio = false;
  AnsiString direccion, telefono, ciudad;
  bool autoRetIva = false, autoRetRteFte = false;
  AnsiString apellido1, apellido2, nombre1, nombre2;
  AnsiString razonSocial, razonComercial;
};
