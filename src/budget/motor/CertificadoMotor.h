#pragma once
// Motor del certificado de disponibilidad. Promete, en una sola transacción de escritura:
// - un certificado nuevo nunca reescribe uno guardado: con su número tomado se rechaza y propone
//   el siguiente libre;
// - uno traído se graba solo si nadie lo grabó después de traerlo (su versión);
// - sus rubros suman su valor, y funcionamiento más inversión también;
// - lo que aumenta en cada rubro cabe en su disponible;
// - certificado, plan mensual (PAC) y rubros se graban juntos, o nada.
// Los límites de los libros (filas no negativas, registros <= certificado, disponible de cada
// rubro) se revisan además al confirmar.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "budget/motor/Libros.h"

namespace tv::motor {

struct RubroCertificadoMonto {
  std::string rubro;
  std::int64_t valor = 0;  // centavos
  bool operator==(const RubroCertificadoMonto& o) const { return rubro == o.rubro && valor == o.valor; }
};

struct Certificado {
  std::int64_t icd = 0;
  std::string fechaExped;  // ISO
  std::string fechaVenc;
  std::string objetoGasto;
  std::int64_t valor = 0;  // centavos
  std::int64_t func = 0;
  std::int64_t inv = 0;
  std::string vigFiscal;
  std::vector<RubroCertificadoMonto> rubros;
  std::array<std::int64_t, 12> pac{};  // centavos de cada mes
};

struct CertificadoTraido {
  bool nuevo = true;
  long long version = 0;  // VersionDoc("CD", icd) al traerlo
};

// Campos de los errores: "icd", "valor", "rubros", "numero", "version", "limite".
Resultado GrabarCertificado(const Certificado& certificado, const CertificadoTraido& traido);

long long VersionCertificado(std::int64_t icd);

}  // namespace tv::motor
