// Números de documento como enteros exactos de 64 bits: lo que el usuario escribe, el siguiente
// libre y los mensajes que los nombran, sin redondeos de coma flotante.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "budget/NumeroDocumento.h"
#include "budget/Presupuesto.h"

namespace presupuesto {
namespace {

class NumeroDoc : public Presupuesto {};

TEST_F(NumeroDoc, TextoSiguienteYMensajesExactos) {
  struct Caso {
    const char* texto;
    std::int64_t numero;
    const char* error;
  } casos[] = {
      {"20260001", 20260001, ""},
      {" 000999999999999999 ", 999999999999999, ""},
      {"1000000000000000", 0, "El número no puede tener más de 15 cifras.\n"},
      {"2026.5", 0, "El número debe ser un entero mayor que 0.\n"},
      {"0", 0, "El número debe ser un entero mayor que 0.\n"},
      {"", 0, ""},
  };
  for (const Caso& c : casos) {
    std::int64_t n = -1;
    EXPECT_EQ(ErrorNumeroDoc("El número", c.texto, n).str(), c.error) << c.texto;
    EXPECT_EQ(n, c.numero) << c.texto;
  }
  EXPECT_EQ(TextoNumeroDoc(999999999999999).str(), "999999999999999");

  Registro(202600000000009, 1, "2026-02-02", 10);
  EXPECT_EQ(SiguienteNumeroDoc(kNumRegistro), 202600000000010);
  EXPECT_EQ(MensajeNumeroExistente(kNumRegistro, 202600000000009, "202600000000010").str(),
            "El registro presupuestal 202600000000009 ya existe. Se propone el número 202600000000010.");
  EXPECT_THROW(ExigirNumeroLibre(kNumRegistro, 202600000000009), ENumeroTomado);
  EXPECT_NO_THROW(ExigirNumeroLibre(kNumRegistro, 202600000000008));
}

}  // namespace
}  // namespace presupuesto
