#include "shared/general/BdeUtil.h"

#include <cstdio>
#include <vector>

#include "platform/db/DBTables.h"
#include "platform/forms/Dialogs.h"

namespace {

unsigned short siguienteSesion = 0;

// Ejecuta una operación del motor y devuelve su código; los errores del motor quedan
// registrados para DbiGetErrorInfo.
template <class F>
unsigned short Resultado(F&& operacion) {
  try {
    operacion();
    return DBIERR_NONE;
  } catch (EDBEngineError& e) {
    return e.ErrorCode();
  } catch (EDatabaseError&) {
    return DBIERR_UNKNOWNERR;
  }
}

AnsiString PieArchivo(const AnsiString& texto, const char* FileName, unsigned long LineNo) {
  return AnsiString::Format("%s\r\n    FileName: '%s'  Line Number: %i", texto.c_str(),
                            FileName ? FileName : "", static_cast<int>(LineNo));
}

}  // namespace

unsigned short CheckDbiError(unsigned short ErrorValue, const char* FileName, unsigned long LineNo) {
  if (ErrorValue == 0) return 0;
  DBIErrInfo info;
  DbiGetErrorInfo(true, info);
  if (ErrorValue == DBIERR_RULEVIOL && info.iError == ErrorValue) {
    // Un límite de los libros: la frase ya dice qué clave y con qué cifras; nada técnico.
    AnsiString frase = info.szErrCode;
    for (const char* contexto : info.szContext)
      if (contexto[0]) frase = frase + "\n" + contexto;
    ShowMessage(frase);
    return ErrorValue;
  }
  unsigned categoria = ErrorValue >> 8, codigo = ErrorValue & 0xFF;
  AnsiString texto;
  if (info.iError == ErrorValue) {
    texto = AnsiString::Format("  ERROR %i - Cat:Code = [%xh:%xh]\r\n    %s", ErrorValue, categoria,
                               codigo, info.szErrCode);
    for (const char* contexto : info.szContext)
      if (contexto[0]) texto = AnsiString::Format("%s\r\n    %s", texto.c_str(), contexto);
  } else {
    char mensaje[256] = {};
    DbiGetErrorString(ErrorValue, mensaje);
    texto = AnsiString::Format("  ERROR %i - Cat:Code = [%xh:%xh]\r\n    %s", ErrorValue, categoria,
                               codigo, mensaje);
  }
  texto = PieArchivo(texto, FileName, LineNo);
  MessageBeep(MB_ICONEXCLAMATION);
  MessageBox(GetFocus(), texto, "TUtility -- BDE Error", MB_ICONWARNING | MB_OK);
  return ErrorValue;
}

unsigned short CheckTUError(unsigned short ErrorValue, const char* FileName, unsigned long LineNo) {
  if (ErrorValue == 0) return 0;
  // El mensaje propio de la utilidad: el del último error cuando es de este código.
  DBIErrInfo info;
  DbiGetErrorInfo(true, info);
  AnsiString mensaje;
  if (info.iError == ErrorValue && info.szErrCode[0]) {
    mensaje = info.szErrCode;
  } else {
    char buf[256] = {};
    DbiGetErrorString(ErrorValue, buf);
    mensaje = buf;
  }
  MessageBeep(MB_ICONEXCLAMATION);
  MessageBox(GetFocus(), PieArchivo(mensaje, FileName, LineNo), "TUtility -- TU Error",
             MB_ICONWARNING | MB_OK);
  return ErrorValue;
}

CBRType GenProgressCallBack(CBType, std::uintptr_t, void*) { return cbrUSEDEF; }

TBDEUtil::TBDEUtil() {
  hDb = nullptr;
  CheckTUError(Abrir(), "\\src\\shared\\general\\bdeutil", __LINE__);
}

TBDEUtil::~TBDEUtil() { Cerrar(); }

unsigned short TBDEUtil::Abrir() {
  vhTSes = ++siguienteSesion;
  if (vhTSes == 0) vhTSes = ++siguienteSesion;
  return DBIERR_NONE;
}

unsigned short TBDEUtil::Cerrar() {
  vhTSes = 0;
  return DBIERR_NONE;
}

bool TBDEUtil::RegisterCallBack() {
  // El motor propio no tiene retrollamadas de progreso: el registro siempre se acepta.
  cbInfo = TUVerifyCallBack{};
  registrada_ = true;
  return CheckDbiError(DBIERR_NONE, "\\src\\shared\\general\\bdeutil", __LINE__) == 0;
}

bool TBDEUtil::UnRegisterCallBack() {
  registrada_ = false;
  return CheckDbiError(DBIERR_NONE, "\\src\\shared\\general\\bdeutil", __LINE__) == 0;
}

unsigned short TBDEUtil::VerificarTabla(const AnsiString& aCarpeta, const AnsiString& aTabla,
                                         int& aNivel) {
  aNivel = 0;
  return Resultado([&] {
    if (!tv::db::TableExists(aCarpeta, aTabla))
      throw EDBEngineError(DBIERR_NOSUCHTABLE, "Table does not exist: " + aTabla);
    aNivel = tv::db::TableSound(aCarpeta, aTabla) ? 0 : 1;
  });
}

unsigned short TBDEUtil::ReconstruirTabla(const AnsiString& aCarpeta, const AnsiString& aTabla,
                                           const AnsiString& aCarpetaRespaldo,
                                           const AnsiString& aNombreRespaldo, int* aRepetidas,
                                           int* aIlegibles,
                                           const std::function<std::string(int, int)>& aAviso) {
  unsigned short r = aNombreRespaldo.IsEmpty() ? DBIERR_NONE
                                               : RespaldarTabla(aCarpeta, aTabla, aCarpetaRespaldo, aNombreRespaldo);
  if (r != DBIERR_NONE) return r;
  return Resultado([&] {
    std::function<std::string(const tv::db::RebuildResult&)> aviso;
    if (aAviso) aviso = [&](const tv::db::RebuildResult& x) { return aAviso(x.skipped, x.unreadable); };
    tv::db::RebuildResult r = tv::db::RebuildTable(aCarpeta, aTabla, aviso);
    if (aRepetidas) *aRepetidas = r.skipped;
    if (aIlegibles) *aIlegibles = r.unreadable;
  });
}

unsigned short TBDEUtil::RespaldarTabla(const AnsiString& aCarpeta, const AnsiString& aTabla,
                                         const AnsiString& aCarpetaRespaldo, const AnsiString& aNombreRespaldo) {
  return Resultado([&] {
    tv::db::CopyTable(aCarpeta, aTabla, aCarpetaRespaldo, aNombreRespaldo);
    tv::db::ReleaseDatabase(aCarpetaRespaldo);
  });
}
