#pragma once
// Partes comunes de los impresos de certificados y registros: títulos y logo de "data.ini",
// firmas de la carpeta del programa y datos de la entidad.
#include "platform/core/AnsiString.h"

class TComponent;
class TQRCustomBand;
class TQRImage;
class TQRLabel;
class TQRMemo;

struct EncabezadoPptal {
  bool hayIni = false;
  AnsiString rutaLogo, titulo1, titulo2, titulo3;
};

// Lee "data.ini" (sección ACTION); sin archivo avisa "Debe crear el INI dentro de la carpeta".
EncabezadoPptal LeerEncabezadoPptal();
// Campo de la fila de configuración de la contabilidad ("" sin filas).
AnsiString ConfigPptal(const char* campo);
// Carga una imagen; un archivo que falta o no se lee la deja vacía.
void CargarImagen(TQRImage* imagen, const AnsiString& ruta);
TQRImage* NuevaImagen(TComponent* owner, TQRCustomBand* banda, const char* nombre, int izq, int arriba, int ancho,
                      int alto);
TQRMemo* NuevoMemo(TComponent* owner, TQRCustomBand* banda, const char* nombre, int izq, int arriba, int ancho,
                   int alto);
void NuevaLinea(TComponent* owner, TQRCustomBand* banda, int izq, int arriba, int ancho);
// Monto con miles y dos decimales ("" cuando el texto está vacío).
AnsiString MontoPptal(const AnsiString& texto);
