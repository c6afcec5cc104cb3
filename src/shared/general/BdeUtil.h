#pragma once
// Revisión de códigos de resultado del motor de datos y sesión de utilidades de tablas.
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "platform/core/AnsiString.h"

// Códigos de 16 bits: byte alto = categoría, byte bajo = código; 0 = éxito.
unsigned short CheckDbiError(unsigned short ErrorValue, const char* FileName, unsigned long LineNo);
unsigned short CheckTUError(unsigned short ErrorValue, const char* FileName, unsigned long LineNo);

// Respuesta de la retrollamada de progreso: que el motor siga con su manejo por defecto.
enum CBRType { cbrUSEDEF = 0, cbrCONTINUE = 1, cbrABORT = 2 };
enum CBType { cbGENPROGRESS = 1 };

struct TUVerifyCallBack {
  int iPercentDone = 0;
  char szMsg[128] = {};
};
struct CURProps {
  char szName[256] = {};
  int iFields = 0;
};

CBRType GenProgressCallBack(CBType ecbType, std::uintptr_t iClientData, void* pCbInfo);

// Sesión de utilidades de tablas: verificar y reconstruir las tablas de una carpeta.
class TBDEUtil {
 public:
  TBDEUtil();
  ~TBDEUtil();
  TBDEUtil(const TBDEUtil&) = delete;
  TBDEUtil& operator=(const TBDEUtil&) = delete;

  bool RegisterCallBack();
  bool UnRegisterCallBack();

  // Abre y cierra la sesión; devuelven el código de resultado.
  unsigned short Abrir();
  unsigned short Cerrar();
  // Verifica una tabla: la revisión rápida de SQLite (páginas y registros bien formados), que
  // se lea entera, que cada índice tenga exactamente sus filas en su orden y que ninguna clave
  // única se repita; en aNivel queda 0 si está sana y 1 si no.
  unsigned short VerificarTabla(const AnsiString& aCarpeta, const AnsiString& aTabla, int& aNivel);
  // Copia la tabla a la carpeta de respaldo (con el nombre aNombreRespaldo; sin copia
  // cuando aNombreRespaldo está vacío, porque el respaldo ya la tiene) y la reconstruye
  // copiando sus filas legibles a una tabla nueva. Quedan contadas las filas que no pasaron: las
  // que repetían una clave única y las que no se pudieron leer. aAviso (si se da) convierte esas
  // cifras en el aviso al usuario, que queda en los libros con la tabla rehecha.
  unsigned short ReconstruirTabla(const AnsiString& aCarpeta, const AnsiString& aTabla,
                                  const AnsiString& aCarpetaRespaldo,
                                  const AnsiString& aNombreRespaldo, int* aRepetidas = nullptr,
                                  int* aIlegibles = nullptr,
                                  const std::function<std::string(int repetidas, int ilegibles)>& aAviso = {});
  // Solo la copia de la tabla al respaldo, para una tabla sana que no se reconstruye.
  unsigned short RespaldarTabla(const AnsiString& aCarpeta, const AnsiString& aTabla,
                                const AnsiString& aCarpetaRespaldo, const AnsiString& aNombreRespaldo);

  TUVerifyCallBack cbInfo;
  CURProps tuProps;
  void* hDb = nullptr;
  unsigned short vhTSes = 0;

 private:
  bool registrada_ = false;
};
