#pragma once
// Exportación de conjuntos de datos: archivo delimitado, listado de texto y hoja de cálculo.
#include "platform/core/AnsiString.h"

class TDataSet;
class TStringList;

// Archivo delimitado (Windows-1252, CR LF): "sep=" + separador, encabezado y filas.
void DBToCSV(TDataSet* aDataSet, const AnsiString& aFile, TStringList* aCampos = nullptr,
             char aSepDecimal = 0, bool paraExcel = true, TStringList* aTitulos = nullptr,
             bool add = false);
// Listado de texto con columnas alineadas y filas numeradas (a lo sumo aNumRec + 1 filas).
void DataSetToTxtNice(const AnsiString& aMsg, TDataSet* aDataSet, const AnsiString& aFile,
                      bool Add, int aNumRec, int rigthLess);
// Libro .xlsx con la hoja "Exportación"; se guarda donde el usuario elige y se abre.
void exportarToExcel(TDataSet* adataset);

// Un valor de un archivo delimitado: entre comillas (con las internas dobladas) cuando
// lleva el separador, comillas o saltos de línea.
AnsiString CampoDelimitado(const AnsiString& aValor, char aSeparador);
