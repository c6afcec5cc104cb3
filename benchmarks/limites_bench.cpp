// Lo que cuesta la revisión de los límites al confirmar: cada documento presupuestal grabado en
// su transacción sobre los libros compartidos, con la revisión (arg 1) y sin ella (arg 0). El
// documento se borra después, fuera de la medida, para que cada vuelta grabe sobre lo mismo.
#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

#include "budget/CalculosPptal.h"
#include "budget/motor/LimitesLibros.h"
#include "common/LibrosBench.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

namespace {

// Dos rubros de gasto con disponible de sobra, para que ninguna vuelta sea rehusada.
struct Rubros {
  std::string a, b;
};

const Rubros* Preparar(benchmark::State& state) {
  static Rubros r;
  static bool listo = false;
  if (!listo) {
    if (!tv::bench::AbrirComoElPrograma()) {
      state.SkipWithError("no se abrieron los libros");
      return nullptr;
    }
    tv::motor::InstalarLimitesLibros();
    double mejor = 0, segundo = 0;
    for (const auto& c : tv::bench::RubrosGasto()) {
      double d = getDisponibilidadRubro(c.c_str(), "E", nullptr);
      if (d > mejor) {
        segundo = mejor;
        r.b = r.a;
        mejor = d;
        r.a = c;
      } else if (d > segundo) {
        segundo = d;
        r.b = c;
      }
    }
    if (segundo < 1000) {
      state.SkipWithError("ningún rubro con disponible");
      return nullptr;
    }
    listo = true;
  }
  return &r;
}

void EnTransaccion(const std::vector<std::string>& sentencias) {
  tv::db::Transaction tx("Contabilidad");
  auto conn = tv::db::ConnectionFor("Contabilidad");
  for (const auto& s : sentencias) conn->Exec(s);
  tx.Commit();
}

void Medir(benchmark::State& state, const std::vector<std::string>& antes, const std::vector<std::string>& grabar,
           const std::vector<std::string>& deshacer) {
  bool revisar = state.range(0) == 1;
  {
    tv::db::SuspendCommitChecks sin;
    EnTransaccion(antes);
  }
  for (auto _ : state) {
    if (revisar) {
      EnTransaccion(grabar);
    } else {
      tv::db::SuspendCommitChecks sin;
      EnTransaccion(grabar);
    }
    state.PauseTiming();
    {
      tv::db::SuspendCommitChecks sin;
      EnTransaccion(deshacer);
    }
    state.ResumeTiming();
  }
  tv::db::SuspendCommitChecks sin;
  EnTransaccion({"DELETE FROM mvtOrdenPago WHERE iop=990000001", "DELETE FROM mvtRegPptal WHERE irp=990000001",
                 "DELETE FROM certDispRubros WHERE icd=990000001", "DELETE FROM mvtCertDisp WHERE icd=990000001"});
  state.SetLabel(revisar ? "con revisión" : "sin revisión");
}

std::string Q(const std::string& s) { return "'" + s + "'"; }

void BM_Certificado(benchmark::State& state) {
  const Rubros* r = Preparar(state);
  if (!r) return;
  Medir(state, {},
        {"INSERT INTO mvtCertDisp (icd, FechaExped, valor, objetoGasto) VALUES (990000001, '2026-06-01', 10, 'b')",
         "INSERT INTO certDispRubros (icd, rubroPptal, valor) VALUES (990000001, " + Q(r->a) + ", 6)",
         "INSERT INTO certDispRubros (icd, rubroPptal, valor) VALUES (990000001, " + Q(r->b) + ", 4)"},
        {"DELETE FROM certDispRubros WHERE icd=990000001", "DELETE FROM mvtCertDisp WHERE icd=990000001"});
}
BENCHMARK(BM_Certificado)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_Registro(benchmark::State& state) {
  const Rubros* r = Preparar(state);
  if (!r) return;
  Medir(state,
        {"INSERT INTO mvtCertDisp (icd, FechaExped, valor, objetoGasto) VALUES (990000001, '2026-06-01', 10, 'b')",
         "INSERT INTO certDispRubros (icd, rubroPptal, valor) VALUES (990000001, " + Q(r->a) + ", 10)"},
        {"INSERT INTO mvtRegPptal (irp, ICD, FechaExped, valor, itercero) VALUES (990000001, 990000001, "
         "'2026-06-02', 8, '')"},
        {"DELETE FROM mvtRegPptal WHERE irp=990000001"});
}
BENCHMARK(BM_Registro)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_OrdenDePago(benchmark::State& state) {
  const Rubros* r = Preparar(state);
  if (!r) return;
  Medir(state,
        {"INSERT INTO mvtCertDisp (icd, FechaExped, valor, objetoGasto) VALUES (990000001, '2026-06-01', 10, 'b')",
         "INSERT INTO certDispRubros (icd, rubroPptal, valor) VALUES (990000001, " + Q(r->a) + ", 10)",
         "INSERT INTO mvtRegPptal (irp, ICD, FechaExped, valor, itercero) VALUES (990000001, 990000001, "
         "'2026-06-02', 8, '')"},
        {"INSERT INTO mvtOrdenPago (iop, IRP, FechaExped, valor) VALUES (990000001, 990000001, '2026-06-03', 5)"},
        {"DELETE FROM mvtOrdenPago WHERE iop=990000001"});
}
BENCHMARK(BM_OrdenDePago)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Un traslado de un rubro a otro: encabezado y dos renglones.
void BM_Traslado(benchmark::State& state) {
  const Rubros* r = Preparar(state);
  if (!r) return;
  Medir(state, {},
        {"INSERT INTO MvtPptalMaestro (iMvtPptal, tipoMvtPptal, fecha, detalle, iUsuario) VALUES ('B990000001', "
         "'TRA', '2026-06-01', 'b', 'admin')",
         "INSERT INTO mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) VALUES "
         "('B990000001', 'TRA', " + Q(r->a) + ", 'E', 0, -10)",
         "INSERT INTO mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) VALUES "
         "('B990000001', 'TRA', " + Q(r->b) + ", 'E', 0, 10)"},
        {"DELETE FROM mvtPptal WHERE iMvtPptal='B990000001'", "DELETE FROM MvtPptalMaestro WHERE iMvtPptal='B990000001'"});
}
BENCHMARK(BM_Traslado)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
