#pragma once
// Contabilidad pequeña para los balances: un plan de cuatro niveles y pocos documentos
// de diciembre de 2025 a febrero de 2026. El periodo de prueba es enero de 2026.
#include <string>
#include <vector>

#include "reports/FrmBalances.h"
#include "support/Instalacion.h"

namespace balances_test {

struct Fila {
  std::string cuenta;
  double saldoDebito, saldoCredito, debito, credito, nuevoDebito, nuevoCredito, nuevoSaldo;
};

class Balances : public admin::Instalacion {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Una línea del diario ("yyyy-mm-dd").
  void Linea(const std::string& fecha, const std::string& docu, const std::string& numero,
             const std::string& cuenta, double debito, double credito);
  void Cuenta(const std::string& codigo, const std::string& nombre);
  // La ventana del informe, sin mostrarla, con el periodo de enero y FormActivate hecho.
  TFrmBalances* Ventana(int llamado);
  // Corre "&Procesar" en la ventana.
  void Procesar(TFrmBalances* f);
  // Filas de baltempestados en su orden.
  std::vector<Fila> Filas();
  std::vector<std::string> Codigos();
  const Fila* Buscar(const std::vector<Fila>& filas, const std::string& cuenta);

  TFrmBalances* ventana_ = nullptr;
};

}  // namespace balances_test
