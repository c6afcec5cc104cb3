#include <cstring>

#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

AnsiString DBIErrorText(DBIResult code) {
  switch (code) {
    case DBIERR_NONE: return "Operation succeeded.";
    case DBIERR_BOF: return "At beginning of table.";
    case DBIERR_EOF: return "At end of table.";
    case DBIERR_RECNOTFOUND: return "Record not found.";
    case DBIERR_READERR: return "Read failure.";
    case DBIERR_WRITEERR: return "Write failure.";
    case DBIERR_NODISKSPACE: return "Insufficient disk space.";
    case DBIERR_NOTADB: return "The database file is not a database.";
    case DBIERR_PHYSICALCORRUPT: return "Corrupt table/index header.";
    case DBIERR_OPENFAILED: return "Cannot open the database.";
    case DBIERR_KEYVIOL: return "Key violation.";
    case DBIERR_REQDERR: return "Field value required.";
    case DBIERR_RECCHANGED: return "Otro usuario modificó o borró el registro; vuelva a leerlo.";
    case DBIERR_RULEVIOL: return "Los libros no permiten esta grabación.";
    case DBIERR_INVALIDFIELDNAME: return "Invalid field name.";
    case DBIERR_NOSUCHTABLE: return "Table does not exist.";
    case DBIERR_TABLEEXISTS: return "Table already exists.";
    case DBIERR_INVALIDHNDL: return "Invalid handle to the function.";
    case DBIERR_LOCKED: return "Record locked by another user.";
    case DBIERR_NOACTIVETRAN: return "No active transaction.";
    case DBIERR_ACTIVETRAN: return "A user transaction is already in progress.";
    case DBIERR_TYPEMISMATCH: return "Type mismatch in expression.";
    case DBIERR_QRYSYNTERR: return "Invalid use of keyword or syntax error.";
    case DBIERR_READONLY: return "Dataset is read-only.";
    case DBIERR_NOTSUPPORTED: return "Capability not supported.";
    default: return "General SQL error.";
  }
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
