#include <sqlite3.h>

#include <cstring>
#include <string>
#include <tuple>

#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

// What the user reads: what happened and what to do, in one sentence.
AnsiString DBIErrorText(DBIResult code) {
  switch (code) {
    case DBIERR_NONE: return "Operación terminada.";
    case DBIERR_BOF: return "Ya está en el primer registro.";
    case DBIERR_EOF: return "Ya está en el último registro.";
    case DBIERR_RECNOTFOUND: return "No se encontró el registro: vuelva a buscarlo.";
    case DBIERR_READERR:
      return "No se pudo leer el archivo de los libros (falla del disco o de la red): revise el medio y vuelva a "
             "intentarlo.";
    case DBIERR_WRITEERR:
      return "No se pudo escribir en el archivo de los libros (falla del disco o de la red): revise el medio y "
             "vuelva a intentarlo.";
    case DBIERR_NODISKSPACE: return "El disco está lleno: libere espacio y vuelva a grabar.";
    case DBIERR_NOTADB:
      return "El archivo de los libros no es una base de datos: restaure la copia de seguridad de la contabilidad.";
    case DBIERR_PHYSICALCORRUPT:
      return "El archivo de los libros está dañado: salga del programa y vuelva a entrar para repararlo, o "
             "restaure la copia de seguridad.";
    case DBIERR_OPENFAILED:
      return "No se pueden abrir los libros: revise que la carpeta exista y que se pueda leer.";
    case DBIERR_KEYVIOL: return "Ya existe un registro con esa clave: cambie la clave y vuelva a grabar.";
    case DBIERR_REQDERR: return "Falta un dato obligatorio: complételo y vuelva a grabar.";
    case DBIERR_RECCHANGED: return "Otro usuario modificó o borró el registro; vuelva a leerlo.";
    case DBIERR_RULEVIOL: return "Los libros no permiten esta grabación.";
    case DBIERR_INVALIDFIELDNAME: return "Los libros no tienen un campo que se pidió: repare las tablas.";
    case DBIERR_NOSUCHTABLE: return "Los libros no tienen una tabla que se pidió: repare las tablas.";
    case DBIERR_TABLEEXISTS: return "La tabla ya existe.";
    case DBIERR_INVALIDHNDL: return "La tabla no está abierta: ciérrela y vuelva a abrirla.";
    case DBIERR_LOCKED:
      return "Otro puesto está grabando en estos libros: espere un momento y vuelva a intentarlo.";
    case DBIERR_DIRLOCKED:
      return "Otro computador tiene abiertos estos libros: en una carpeta de red solo un computador a la vez puede "
             "grabar.";
    case DBIERR_NOACTIVETRAN: return "No hay una grabación en curso.";
    case DBIERR_ACTIVETRAN: return "Ya hay una grabación en curso: termínela antes de empezar otra.";
    case DBIERR_TYPEMISMATCH: return "Un dato no es del tipo que se esperaba: revise lo escrito.";
    case DBIERR_QRYSYNTERR: return "La consulta no se pudo hacer: revise los datos que escribió.";
    case DBIERR_READONLY: return "Estos datos son de solo lectura: no se pueden cambiar.";
    case DBIERR_NOTSUPPORTED: return "Esta operación no se puede hacer aquí.";
    default: return "Falló la operación con los libros: vuelva a intentarlo.";
  }
}

AnsiString DBIUserText(const EDBEngineError& e) {
  const TDBError* info = e.Errors(0);
  // The books' limits already say, in Spanish, which key and with what figures; a folder held
  // by another computer names it.
  if (info->ErrorCode == DBIERR_RULEVIOL || info->ErrorCode == DBIERR_DIRLOCKED) return info->Message;
  if (info->ErrorCode == DBIERR_READONLY && (info->NativeError & 0xff) == SQLITE_READONLY)
    return tv::db::kReadOnlyBooksText;
  // A missing table or field is named, so whoever repairs the books knows which one.
  for (auto [code, marker, before] :
       {std::tuple{DBIERR_NOSUCHTABLE, "no such table: ", "Los libros no tienen la tabla "},
        std::tuple{DBIERR_NOSUCHTABLE, "\nTable: ", "Los libros no tienen la tabla "},
        std::tuple{DBIERR_INVALIDFIELDNAME, "no such column: ", "Los libros no tienen el campo "}}) {
    if (info->ErrorCode != code) continue;
    std::string m = info->Message.str();
    size_t at = m.find(marker);
    if (at == std::string::npos) continue;
    at += std::strlen(marker);
    std::string name = m.substr(at, m.find('\n', at) - at);
    return AnsiString(before) + name.c_str() + ": repare las tablas.";
  }
  return DBIErrorText(info->ErrorCode);
}

EDBEngineError::EDBEngineError(DBIResult code, const AnsiString& msg, int nativeError) : EDatabaseError(msg) {
  error_.ErrorCode = code;
  error_.Category = static_cast<unsigned char>(code >> 8);
  error_.SubCode = static_cast<unsigned char>(code & 0xff);
  error_.NativeError = nativeError;
  error_.Message = msg;
}

namespace tv::db {
namespace {
DBIErrInfo& Last() {
  static DBIErrInfo info;
  return info;
}
void CopyText(char* dst, const std::string& s) {
  std::strncpy(dst, s.c_str(), 255);
  dst[255] = 0;
}
}  // namespace

void RecordError(DBIResult code, const std::string& message, const std::string& context) {
  DBIErrInfo& e = Last();
  e = DBIErrInfo();
  e.iError = code;
  // first line = message; following lines become context entries
  size_t nl = message.find('\n');
  CopyText(e.szErrCode, message.substr(0, nl));
  int k = 0;
  while (nl != std::string::npos && k < 4) {
    size_t next = message.find('\n', nl + 1);
    CopyText(e.szContext[k++], message.substr(nl + 1, next == std::string::npos ? std::string::npos : next - nl - 1));
    nl = next;
  }
  if (!context.empty() && k < 4) CopyText(e.szContext[k], context);
}

void ThrowEngine(DBIResult code, const std::string& message, int native) {
  RecordError(code, message);
  throw EDBEngineError(code, message, native);
}

}  // namespace tv::db

DBIResult DbiGetErrorInfo(bool, DBIErrInfo& info) {
  info = tv::db::Last();
  return DBIERR_NONE;
}

DBIResult DbiGetErrorString(DBIResult code, char* buf) {
  if (buf) tv::db::CopyText(buf, DBIErrorText(code).str());
  return DBIERR_NONE;
}
