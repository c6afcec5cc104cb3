#pragma once
// Lo que los exploradores del presupuesto hacen con documentos ya guardados: borrarlos y correr
// su numeración. Cada operación promete, en una sola transacción de escritura:
// - el documento elegido sigue en la versión con que la lista lo trajo; si no, nada cambia y el
//   error "version" lo dice (kDocumentoModificado);
// - el documento sale completo (encabezado, renglones y lo que es solo suyo), o nada;
// - la numeración corre junto con todo lo que lleva el número, sin que dos documentos compartan
//   uno a mitad de camino; bajarla exige que el número de abajo esté libre (error "numero").
// Los límites de los libros se revisan al confirmar; uno que no cabe vuelve como error "limite".
#include <cstdint>
#include <map>
#include <string>

#include "budget/motor/Libros.h"

namespace tv::motor {

// La versión de cada documento de la clase ("CD", "RP", "OS", "SU", "MP") que alguna escritura
// tocó, por su clave; las demás valen 0. Leída antes que la lista, lo que la lista muestra nunca
// es más viejo que su versión.
using VersionesLeidas = std::map<std::string, long long>;
VersionesLeidas VersionesDeClase(const std::string& clase);
long long VersionLeida(const VersionesLeidas& v, std::int64_t numero);
long long VersionLeida(const VersionesLeidas& v, const std::string& clave);
// La versión guardada de un documento, para una lista que muestra la fila de una tabla compartida:
// se lee cada vez que la fila cambia o se trae de nuevo.
long long VersionGuardada(const std::string& clase, const std::string& clave);
// La clave de un movimiento presupuestal: número y tipo.
std::string ClaveMovimiento(const std::string& numero, const std::string& tipo);

// Certificado con sus rubros y su PAC; sus registros quedan (la auditoría los lista).
Resultado BorrarCertificado(std::int64_t icd, long long versionTraida);
// Solo el registro: sus órdenes quedan libres para otro.
Resultado BorrarRegistro(std::int64_t irp, long long versionTraida);
Resultado BorrarOrdenServicio(std::int64_t numero, long long versionTraida);
// Encabezado y renglones.
Resultado BorrarOrdenSuministro(std::int64_t numero, long long versionTraida);
// Encabezado y renglones del movimiento de ese número y tipo; un rubro que quedaría sin
// disponible lo impide al confirmar.
Resultado BorrarMovimiento(const std::string& numero, const std::string& tipo, long long versionTraida);

enum class Numerado { Certificado, Registro, OrdenServicio, OrdenSuministro };
// Corre en `paso` (+1 abre un hueco en `desde`, -1 lo cierra justo debajo) los números de los
// documentos desde `desde`, que es el elegido, con lo que lleva su número: el certificado su PAC,
// sus rubros y el enlace de sus registros; el registro el de sus órdenes de pago, de servicio y de
// suministro; la orden de suministro sus renglones.
Resultado CorrerNumeracion(Numerado documento, std::int64_t desde, int paso, long long versionTraida);

}  // namespace tv::motor
