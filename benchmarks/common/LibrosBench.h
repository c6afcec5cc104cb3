#pragma once
// Libros de las pruebas de rendimiento: una instalación completa cuya contabilidad inicial
// se llena con un año de trabajo de una entidad grande. Todas las pruebas de rendimiento de la
// aplicación corren sobre ellos.
#include <string>
#include <vector>

namespace tv::forms {
class HeadlessDriver;
}

namespace tv::bench {

// Tamaños de lo generado.
inline constexpr int kCuentasAuxiliares = 2000;   // subcuentas que reciben movimiento
inline constexpr int kTerceros = 100000;
inline constexpr int kDocumentos = 50000;
inline constexpr int kLineas = 1000000;           // 20 por documento
// Presupuesto de un año: rubros y cien mil documentos presupuestales.
inline constexpr int kRubrosGasto = 1600;         // hojas de egreso
inline constexpr int kRubrosIngreso = 400;        // hojas de ingreso
inline constexpr int kMovimientosPptal = 10000;   // APR, ADD, RED y TRA
inline constexpr int kCertificados = 20000;
inline constexpr int kRegistros = 25000;
inline constexpr int kOrdenesServicio = 6000;
inline constexpr int kOrdenesSuministro = 4000;
inline constexpr int kOrdenesPago = 20000;       // cada una con su comprobante "_OP"
inline constexpr int kComprobantesPago = 12000;  // "CP" que cancelan de una a cinco órdenes
inline constexpr int kReintegros = 3000;

struct Libros {
  std::string programa;  // carpeta del programa (contabs, Config, data.ini...)
  std::string libros;    // carpeta de la contabilidad llena
};

// La instalación generada: en la carpeta que nombra TALLIVAR_BENCH_BOOKS (y reutilizada
// cuando ya está completa), o en una carpeta temporal hecha una vez por proceso.
const Libros& LibrosBench();

// Código de la subcuenta auxiliar i (0 ≤ i < kCuentasAuxiliares), de la clase 1 a la 7.
std::string CuentaAuxiliar(int i);
// Documento de identidad del tercero i (0 ≤ i < kTerceros).
std::string Tercero(int i);
// Tipo y número del documento d (0 ≤ d < kDocumentos); sus líneas son las 20 que siguen a
// d * 20.
std::string TipoDocumento(int d);
std::string NumeroDocumento(int d);

// Rubros hoja de egreso y de ingreso del presupuesto generado.
const std::vector<std::string>& RubrosGasto();
const std::vector<std::string>& RubrosIngreso();

// Abre la instalación como el programa: sesión, alias y módulo de datos con la contabilidad
// llena, usuario administrador. Devuelve falso si algo falló.
bool AbrirComoElPrograma();
// Lo mismo sobre otra instalación (una copia de los libros); con `conMarca` la marca de una
// salida sin cierre queda puesta antes de abrir, como tras un programa terminado a la fuerza.
// Los mensajes mostrados al abrir quedan en `mensajes` cuando se pide.
bool AbrirComoElPrograma(const Libros& l, bool conMarca, std::vector<std::string>* mensajes = nullptr);
// La pantalla sin ventanas en la que abre AbrirComoElPrograma: sus mensajes y sus diálogos.
tv::forms::HeadlessDriver& Pantalla();
// El diario de ledger con las líneas del libro (cada cuenta con la cadena de sus prefijos),
// escrito una vez junto a los libros; "" si no se pudo escribir.
std::string DiarioLedger();

// Copia de la instalación generada en la carpeta `destino` (lo que hubiera allí se borra).
Libros CopiarLibros(const std::string& destino);

// Memoria propia del proceso (páginas anónimas, sin las de archivos mapeados que comparte
// con la caché del sistema), en MB.
double MemoriaPrivadaMB();
// El mayor valor de MemoriaPrivadaMB mientras vive el objeto, muestreado cada milisegundo.
class PicoPrivado {
 public:
  PicoPrivado();
  ~PicoPrivado();
  double MB() const;  // el pico hasta ahora
 private:
  struct Estado;
  Estado* e_;
};

}  // namespace tv::bench
