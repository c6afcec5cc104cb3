#pragma once
// Estado de la sesión visible para todos los formularios, el archivo "data.ini" y la
// marca de salida no limpia.
#include <functional>

#include "platform/core/AnsiString.h"

class TIniFile;

// Periodo del último informe: dos fechas "dd/MM/yyyy" o "STR" cuando "data.ini" no tenía.
struct GFechas {
  AnsiString GFechaInicial;
  AnsiString GFechaFinal;
};

extern AnsiString PathOrigen;     // carpeta del programa, sin barra final
extern AnsiString PathCont;       // carpeta de la contabilidad abierta, sin barra final
extern AnsiString NContabilidad;  // nombre de la contabilidad abierta
extern unsigned short anioGlobal;  // año fiscal de la contabilidad abierta
extern AnsiString Login;          // usuario que entró
extern GFechas FechasInf;
extern AnsiString objetoGasto;    // objeto del último documento presupuestal
extern unsigned short mesGlobal;  // mes del último calendario de los documentos presupuestales
extern bool abortar;              // el usuario salió del selector de contabilidades
extern const float baseRound;     // base de redondeo (0.5)

// Rutas guardadas en las tablas y en "data.ini": lo que está dentro de la carpeta del
// programa se guarda relativo a ella, para que una copia de la carpeta use sus propios
// archivos. RutaDelPrograma da la ruta completa (sin barra final) de una guardada;
// RutaParaGuardar, la forma en que se guarda una ruta completa.
AnsiString RutaDelPrograma(const AnsiString& ruta);
AnsiString RutaParaGuardar(const AnsiString& ruta);

// Ruta de "data.ini" según la regla de instalación: carpeta del programa cuando
// cfgOV.usoPropio es verdadero, carpeta de la contabilidad abierta si no.
AnsiString ArchivoIniSesion();
// Escribe en un archivo de ajustes ("data.ini") lo que `escribir` le pone. Un archivo que no se
// puede escribir (carpeta del programa de solo lectura) no detiene el programa: la primera vez
// en la corrida se avisa que los ajustes no se guardarán, y se sigue.
void GuardarAjustes(const AnsiString& archivo, const std::function<void(TIniFile&)>& escribir);
// Verdadero cuando esta corrida ya avisó que no puede guardar los ajustes.
extern bool avisoAjustesDado;

// ---- marca de salida no limpia ----
// Archivo "marca" de la carpeta del programa; guarda la carpeta de la contabilidad que
// estaba abierta.
AnsiString RutaMarca();
bool ExisteMarca();
// Carpeta guardada en la marca ("" cuando no la hay o no guarda ninguna).
AnsiString CarpetaDeMarca();
// Escribe la marca con la carpeta dada; false cuando no se pudo.
bool EscribirMarca(const AnsiString& carpeta);
// Borra la marca; si otras copias del programa siguen usando la carpeta del programa, la
// deja para ellas.
void BorrarMarca();
// Cada copia del programa que corre sobre la carpeta del programa tiene tomado el archivo
// "marca.uso" mientras corre. UsarMarcaSolo: verdadero cuando ninguna otra copia que corre lo
// tiene (la marca que haya quedó de una salida no limpia); queda tomado solo por esta copia
// hasta CompartirMarca, que también espera a la copia que esté reparando.
bool UsarMarcaSolo();
void CompartirMarca();
// Verdadero cuando esta corrida llegó al paso de la marca: solo entonces el cierre la borra.
extern bool marcaDeEstaCorrida;
