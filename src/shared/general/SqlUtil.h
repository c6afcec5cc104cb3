#pragma once
// Punto único de entrada de SQL y ayudas sobre tablas, combos y fechas para SQL.
#include <string>

#include "platform/core/AnsiString.h"
#include "platform/core/DateTime.h"

class TQuery;
class TTable;
class TDataSet;
class TComboBox;

// Carga el texto en la consulta, la apunta al alias y la ejecuta (INSERT, UPDATE, DELETE,
// CREATE, ALTER o DROP como primera palabra) o la abre (cualquier otra). Con UsaGrid, una
// sentencia ejecutada deja además la consulta activa. aLogFile y aMsg no se usan.
void HagaSQL(const AnsiString& aAlias, TQuery* aQuery, const char* aSQL, bool UsaGrid = false,
             const AnsiString& aLogFile = AnsiString(), const AnsiString& aMsg = AnsiString());
void HagaSQL(const AnsiString& aAlias, TQuery* aQuery, const std::string& aSQL,
             bool UsaGrid = false, const AnsiString& aLogFile = AnsiString(),
             const AnsiString& aMsg = AnsiString());
void HagaSQL(const AnsiString& aAlias, TQuery* aQuery, const AnsiString& aSQL,
             bool UsaGrid = false, const AnsiString& aLogFile = AnsiString(),
             const AnsiString& aMsg = AnsiString());
// true cuando la primera palabra del texto es de una sentencia que cambia datos o estructura.
bool EsSentenciaDeAccion(const std::string& aSQL);

// Borra todas las filas: en bloque (PorCiclo false) o fila por fila.
void VacearTabla(TTable* aTabla, bool PorCiclo);
// Agrega al combo los valores distintos de aField1 (":" aField2 cuando se da).
void FillCBFromTbl(TComboBox* aCB, TDataSet* aTbl, const char* aField1, const char* aField2);

// Fecha como "mm/dd/yyyy", la forma de las fechas dentro de los textos SQL.
AnsiString MesDiaAnio(const AnsiString& aFecha);
AnsiString MesDiaAnio(TDateTime aFecha);
bool ValidarFecha(const AnsiString& aFecha, AnsiString& aMsg);
bool ValidarFecha(int aAnio, int aMes, int aDia, AnsiString& aMsg);
