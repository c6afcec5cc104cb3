#pragma once
// Piezas comunes de los impresos de balances: etiquetas, textos de campos, montos con
// Punto, línea de la entidad y logo de "data.ini".
#include "platform/report/QuickRpt.h"

class TDataSource;

namespace balances {

TQRBand* Banda(TComponent* owner, TQuickRep* rep, TQRBandType tipo, int alto);
TQRLabel* Etiqueta(TComponent* owner, TQRCustomBand* banda, const char* texto, int left, int top,
                   int width = 0, TAlignment alineacion = taLeftJustify);
TQRDBText* Texto(TComponent* owner, TQRCustomBand* banda, const char* campo, int left, int top, int width,
                 TAlignment alineacion = taLeftJustify);
// Un monto: el texto no vacío del campo sale con Punto y dos decimales.
void Monto(TQRCustomLabel* e);
TQRDBText* TextoMonto(TComponent* owner, TQRCustomBand* banda, const char* campo, int left, int top,
                      int width);
TQRDBCalc* Suma(TComponent* owner, TQRCustomBand* banda, const char* campo, int left, int top, int width);
TQRSysData* Pagina(TComponent* owner, TQRCustomBand* banda, int left, int top);
// IEmpresa + "  " + NIT de la configuración de la contabilidad.
AnsiString LineaEntidad();
// Ruta del logo en la sección ACTION del "data.ini" de la sesión ("" sin archivo).
AnsiString RutaLogo();
// Carga el logo; una ruta vacía o ilegible deja la imagen vacía, sin mensaje.
void CargarLogo(TQRImage* imagen, const AnsiString& ruta);
// Títulos y logo de "data.ini"; sin el archivo, el aviso y el impreso sin ellos.
void EncabezadoIni(TQRLabel* t1, TQRLabel* t2, TQRLabel* t3, TQRImage* logo);
// Milímetros a pixels de banda (96 por pulgada).
int MmAPixels(int mm);

}  // namespace balances
