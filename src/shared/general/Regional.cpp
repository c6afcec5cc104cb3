// Configuración regional del usuario y carpeta del programa.
#include "platform/os/Process.h"
#include "platform/os/Regional.h"
#include "shared/general/Utiles.h"

namespace {
char Primero(const AnsiString& s, char defecto) { return s.IsEmpty() ? defecto : s.c_str()[0]; }
}  // namespace

char getUserDecimal() { return Primero(tv::os::GetUserDecimalSeparator(), ','); }
char getSystemSeparator() { return Primero(tv::os::GetUserListSeparator(), ';'); }
char getSystemSeparatorDigits() { return Primero(tv::os::GetUserThousandSeparator(), '.'); }
AnsiString getSystemShortDate() { return tv::os::GetUserShortDateFormat(); }
void setSystemShortDate(const char* aFormat) { tv::os::SetUserShortDateFormat(aFormat); }

AnsiString GetExeDir() {
  AnsiString dir = tv::os::GetExeDir();
  while (dir.ByteLength() > 1 && dir.str().back() == '/') dir.str().pop_back();
  return dir;
}
