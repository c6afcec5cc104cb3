#pragma once
// Impresos en las pruebas: el texto que queda en el PDF, los textos que se imprimen cortados
// y la tabla de montos que todo impreso con montos en palabras debe escribir bien.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/os/Regional.h"
#include "platform/report/Prepared.h"
#include "platform/report/Render.h"

namespace impresos {

// La tabla de montos en palabras, con los blancos seguidos como uno (así los deja el PDF):
// del cero a los más anchos que caben en una columna de montos.
struct MontoPalabras {
  double monto;
  const char* palabras;
};
inline const std::vector<MontoPalabras>& MontosDePrueba() {
  static const std::vector<MontoPalabras> m = {
      {0, "CERO"},
      {0.5, "CERO PUNTO CINCUENTA"},
      {1, "UN"},
      {1500.5, "UN MIL QUINIENTOS PUNTO CINCUENTA"},
      {1000000, "UN MILLON"},
      {1234567.89, "UN MILLON DOSCIENTOS TREINTA Y CUATRO MIL QUINIENTOS SESENTA Y SIETE PUNTO OCHENTA Y NUEVE"},
      {2001000000, "DOS MIL UN MILLONES"},
      {-250.75, "MENOS DOSCIENTOS CINCUENTA PUNTO SETENTA Y CINCO"},
      {99999999999.99, "NOVENTA Y NUEVE MIL NOVECIENTOS NOVENTA Y NUEVE MILLONES NOVECIENTOS NOVENTA Y NUEVE MIL "
                       "NOVECIENTOS NOVENTA Y NUEVE PUNTO NOVENTA Y NUEVE"},
      {-999999999999.99, "MENOS NOVECIENTOS NOVENTA Y NUEVE MIL NOVECIENTOS NOVENTA Y NUEVE MILLONES NOVECIENTOS "
                         "NOVENTA Y NUEVE MIL NOVECIENTOS NOVENTA Y NUEVE PUNTO NOVENTA Y NUEVE"},
      {-777777777777.77, "MENOS SETECIENTOS SETENTA Y SIETE MIL SETECIENTOS SETENTA Y SIETE MILLONES SETECIENTOS "
                         "SETENTA Y SIETE MIL SETECIENTOS SETENTA Y SIETE PUNTO SETENTA Y SIETE"},
      // el más ancho que acepta el diario
      {9999999999999.99, "NUEVE BILLONES NOVECIENTOS NOVENTA Y NUEVE MIL NOVECIENTOS NOVENTA Y NUEVE MILLONES "
                         "NOVECIENTOS NOVENTA Y NUEVE MIL NOVECIENTOS NOVENTA Y NUEVE PUNTO NOVENTA Y NUEVE"},
  };
  return m;
}

// Deja al usuario con decimal "," y miles "." o con decimal "." y miles ",".
inline void Separadores(const char* decimal) {
  bool coma = std::string(decimal) == ",";
  tv::os::SetUserDecimalSeparator(coma ? "," : ".");
  tv::os::SetUserThousandSeparator(coma ? "." : ",");
  tv::os::ApplyRegionalSettings();
}

// Los blancos seguidos, los saltos de renglón y los de página cuentan como un blanco.
inline std::string Blancos(const std::string& s) {
  std::string r;
  for (char c : s) {
    bool blanco = c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f';
    if (blanco) {
      if (!r.empty() && r.back() != ' ') r += ' ';
    } else {
      r += c;
    }
  }
  while (!r.empty() && r.back() == ' ') r.pop_back();
  return r;
}

// Escribe el PDF y lee su texto con pdftotext, en el orden en que el PDF lo dibuja.
inline std::string TextoPdf(const tv::report::PreparedReport& r, const std::string& archivo) {
  tv::report::SavePdf(r, archivo);
  std::string out;
  FILE* f = popen(("pdftotext -raw -enc UTF-8 '" + archivo + "' -").c_str(), "r");
  if (!f) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  pclose(f);
  return Blancos(out);
}

// Como TextoPdf, solo lo que se ve a la izquierda de `derecha` (pt): lo que pasa el margen
// derecho queda fuera, como en el papel.
inline std::string TextoPdfHasta(const tv::report::PreparedReport& r, const std::string& archivo, double derecha) {
  tv::report::SavePdf(r, archivo);
  std::string out;
  std::string cmd = "pdftotext -raw -enc UTF-8 -r 72 -x 0 -y 0 -W " + std::to_string(static_cast<int>(std::ceil(derecha))) +
                    " -H " + std::to_string(static_cast<int>(std::ceil(r.height))) + " '" + archivo + "' -";
  FILE* f = popen(cmd.c_str(), "r");
  if (!f) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  pclose(f);
  return Blancos(out);
}

// Mientras vive, anota los textos que el motor imprime cortados o fuera de su banda.
class Cortes {
 public:
  Cortes() : antes_(tv::report::SetOverflowRecorder(&lista)) {}
  ~Cortes() {
    tv::report::SetOverflowRecorder(antes_);
    // Lo anotado aquí también cuenta para quien vigilaba antes.
    if (antes_) antes_->insert(antes_->end(), lista.begin(), lista.end());
  }
  Cortes(const Cortes&) = delete;
  Cortes& operator=(const Cortes&) = delete;
  std::string Texto() const {
    std::string r;
    for (const auto& o : lista)
      r += o.element + ": \"" + o.text + "\" necesita " + std::to_string(o.width) + " pt, tiene " +
           std::to_string(o.room) + "\n";
    return r;
  }
  std::vector<tv::report::Overflow> lista;

 private:
  std::vector<tv::report::Overflow>* antes_;
};

}  // namespace impresos

namespace impresos {

// Vigila cada prueba del binario que la registra: un texto impreso cortado o fuera de su
// banda la hace fallar. Se registra una vez por binario (VigilanciaImpresos.cpp).
class VigilaCortes : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo&) override {
    lista_.clear();
    tv::report::SetOverflowRecorder(&lista_);
  }
  void OnTestEnd(const ::testing::TestInfo&) override {
    tv::report::SetOverflowRecorder(nullptr);
    std::string texto;
    for (const auto& o : lista_) texto += o.element + ": \"" + o.text + "\"\n";
    EXPECT_TRUE(lista_.empty()) << "Textos impresos cortados:\n" << texto;
  }
  static bool Registrar() {
    ::testing::UnitTest::GetInstance()->listeners().Append(new VigilaCortes);
    return true;
  }

 private:
  std::vector<tv::report::Overflow> lista_;
};

}  // namespace impresos
