#include "app/Claves.h"

#include <sodium.h>

#include <memory>

#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"

namespace {

void IniciarSodium() {
  static const bool lista = sodium_init() >= 0;
  if (!lista) throw Exception("No se pudo iniciar la biblioteca de claves");
}

}  // namespace

AnsiString CifrarClave(const AnsiString& clave) {
  IniciarSodium();
  char resumen[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str(resumen, clave.c_str(), clave.str().size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                        crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
    throw Exception("No hay memoria suficiente para cifrar la clave");
  return AnsiString(resumen);
}

bool EsClaveCifrada(const AnsiString& guardada) {
  return guardada.str().rfind("$argon2", 0) == 0 || guardada.str().rfind("$7$", 0) == 0;
}

bool ClaveCoincide(const AnsiString& escrita, const AnsiString& guardada) {
  if (!EsClaveCifrada(guardada)) return escrita == guardada;
  IniciarSodium();
  return crypto_pwhash_str_verify(guardada.c_str(), escrita.c_str(), escrita.str().size()) == 0;
}

AnsiString ComillasSQL(const AnsiString& valor) {
  std::string r = "'";
  for (char c : valor.str()) {
    if (c == '\'') r += '\'';
    r += c;
  }
  return AnsiString(r + "'");
}

AnsiString GuardarClave(const AnsiString& baseDatos, const AnsiString& login, const AnsiString& clave) {
  AnsiString resumen = CifrarClave(clave);
  auto q = std::make_unique<TQuery>(nullptr);
  q->DatabaseName = baseDatos;
  q->SQL->Add("update permisos set PASSWORD=" + ComillasSQL(resumen) +
              " where LOGIN=" + ComillasSQL(login));
  q->ExecSQL();
  return resumen;
}
