#pragma once
// Ayudas compartidas de fechas, textos, archivos, configuración regional y municipios.
#include <string>

#include "platform/core/AnsiString.h"
#include "platform/core/DateTime.h"

class TControl;
class TForm;
class TStringList;

// ---- fechas ----
void GetAnioMesDiaActual(unsigned short& aAnio, unsigned short& aMes, unsigned short& aDia);
unsigned short GetAnioActual();
unsigned short GetMesActual();
bool EsBisiesto(unsigned short aAnio);
unsigned short GetLastDia(unsigned short aAnio, unsigned short aMes);
std::string GetNameMes(unsigned short aMes);
AnsiString RetornaNombreMes(TDateTime F_Inicial, TDateTime F_Final);

// ---- textos ----
char* ExtractString(const char* Cadena, char Separador, char* CadenaNueva, bool BLeft);
AnsiString ExtractString(const AnsiString& aString, char Separador, bool BLeft);
// Código de un ítem "código:nombre" de un combo: lo que precede al primer ":"; sin ":",
// el texto entero tal como se escribió, sin blancos a los lados.
AnsiString CodigoDeItem(const AnsiString& aItem);
AnsiString FillStringR(const AnsiString& aString, int aCount, char Relleno);
bool IsAllDigit(const char* aCadena);
bool IsNumber(const char* aCadena);
void Centra(TControl* Obj);
// Vacía las cajas de edición simples cuyo nombre empieza por "ed", salvo las dos nombradas.
void limpiarEdits(TForm* aForm, const AnsiString& aEditName, const AnsiString& aEditName2);

// ---- archivos y carpetas ----
AnsiString GetExeDir();
bool ExisteArchivo(const char* aFile, int aTipo);
bool ExisteDirectorio(const char* aDirectorio);
void CopiarFile(const std::string& aFileIn, const std::string& aFileOut);
void CopiarFileWin(const char* aSource, const char* aDest);
// Copia los archivos que cumplen el patrón origen a la carpeta destino; -1 si algo falló.
int CopiarFiles(const char* origen, const char* destino);

// ---- configuración regional del usuario ----
char getUserDecimal();
char getSystemSeparator();
char getSystemSeparatorDigits();
AnsiString getSystemShortDate();
void setSystemShortDate(const char* aFormat);

// ---- municipios ----
void getMunicipios(const AnsiString& aDpto, TStringList* aMpios);
