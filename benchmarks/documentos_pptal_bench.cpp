// La grabación de cada documento del presupuesto por su motor (certificado, registro, orden de
// servicio y de suministro, traslado) sobre una copia de los libros compartidos, con la revisión de los
// límites al confirmar (Arg 1) y sin ella (Arg 0, tv::db::SuspendCommitChecks): la revisión no
// debe llevar la grabación más allá de 1,5 veces.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "budget/motor/CertificadoMotor.h"
#include "budget/motor/LimitesLibros.h"
#include "budget/motor/MovimientoMotor.h"
#include "budget/motor/OrdenesMotor.h"
#include "budget/motor/RegistroMotor.h"
#include "app/schema/Versiones.h"
#include "common/LibrosBench.h"
#include "platform/db/Engine.h"

namespace {

using namespace tv::motor;

// Una copia propia de los libros, borrada al salir: las grabaciones no tocan los compartidos.
struct Copia {
  std::string carpeta;
  ~Copia() {
    std::error_code e;
    if (!carpeta.empty()) std::filesystem::remove_all(carpeta, e);
  }
};

bool Abrir(benchmark::State& state) {
  static Copia copia;
  static bool abiertos = [] {
    const char* tmp = std::getenv("TMPDIR");
    copia.carpeta = std::string(tmp && *tmp ? tmp : "/tmp") + "/tallivar-bench-docpptal-" +
                    std::to_string(static_cast<long>(::getpid()));
    return tv::bench::AbrirComoElPrograma(tv::bench::CopiarLibros(copia.carpeta), false);
  }();
  if (!abiertos) state.SkipWithError("no se abrieron los libros");
  InstalarLimitesLibros();
  return abiertos;
}

std::string Texto(Libros& l, const std::string& sql) {
  tv::db::Cell c = l.Valor(sql);
  return c.IsNull() ? std::string() : c.kind == tv::db::Cell::Text ? c.s : std::to_string(c.Number());
}

// Corre `grabar` (que devuelve el resultado y deja lista la versión siguiente) con o sin la revisión.
template <class F>
void Medir(benchmark::State& state, F grabar) {
  bool conRevision = state.range(0) == 1;
  for (auto _ : state) {
    std::optional<tv::db::SuspendCommitChecks> sin;
    if (!conRevision) sin.emplace();
    Resultado res = grabar();
    if (!res.Grabado()) {
      state.SkipWithError(res.Texto().c_str());
      return;
    }
  }
  state.SetLabel(conRevision ? "con revisión" : "sin revisión");
}

void BM_GrabarRegistro(benchmark::State& state) {
  if (!Abrir(state)) return;
  Libros l;
  const std::int64_t irp = 100;
  RegistroPptal r;
  r.irp = irp;
  r.icd = static_cast<std::int64_t>(l.Valor("select ICD from mvtRegPptal where irp=100").Number());
  r.fechaExped = r.fechaVenc = Texto(l, "select FechaExped from mvtRegPptal where irp=100");
  r.tercero = Texto(l, "select itercero from mvtRegPptal where irp=100");
  r.valor = r.func = l.Centavos("select valor from mvtRegPptal where irp=100");
  r.vigFiscal = "2026";
  r.objetoGasto = "Registro 100";
  RegistroTraido t{false, LeerVersionRegistro(irp).version, TipoOrden::Descrito, 0};
  Medir(state, [&] {
    Resultado res = GrabarRegistro(r, t);
    t.version = res.version;
    return res;
  });
}
BENCHMARK(BM_GrabarRegistro)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_GrabarCertificado(benchmark::State& state) {
  if (!Abrir(state)) return;
  Libros l;
  const std::int64_t icd = 11;  // con sus filas de rubros
  Certificado c;
  c.icd = icd;
  c.fechaExped = c.fechaVenc = Texto(l, "select FechaExped from mvtCertDisp where icd=11");
  c.objetoGasto = "Objeto del certificado 11";
  c.valor = c.func = l.Centavos("select valor from mvtCertDisp where icd=11");
  c.vigFiscal = "2026";
  tv::db::Stmt filas = l.Conexion().Prepare("select rubroPptal, valor from certDispRubros where icd=11");
  while (filas.Step()) c.rubros.push_back({filas.Column(0).s, CentavosDe(filas.Column(1).Number())});
  c.pac[0] = c.valor;
  CertificadoTraido t{false, VersionCertificado(icd)};
  Medir(state, [&] {
    Resultado res = GrabarCertificado(c, t);
    t.version = res.version;
    return res;
  });
}
BENCHMARK(BM_GrabarCertificado)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// El mismo certificado bajando y subiendo un centavo de su primer rubro: cada grabación
// reescribe sus filas y la revisión mide los rubros.
void BM_GrabarCertificadoCambiaRubro(benchmark::State& state) {
  if (!Abrir(state)) return;
  Libros l;
  Certificado c;
  c.icd = 21;
  c.fechaExped = c.fechaVenc = Texto(l, "select FechaExped from mvtCertDisp where icd=21");
  c.objetoGasto = "Objeto del certificado 21";
  c.valor = c.func = l.Centavos("select valor from mvtCertDisp where icd=21");
  c.vigFiscal = "2026";
  tv::db::Stmt filas = l.Conexion().Prepare("select rubroPptal, valor from certDispRubros where icd=21");
  while (filas.Step()) c.rubros.push_back({filas.Column(0).s, CentavosDe(filas.Column(1).Number())});
  CertificadoTraido t{false, VersionCertificado(c.icd)};
  int paso = -1;
  Medir(state, [&] {
    c.rubros[0].valor += paso;
    c.valor += paso;
    c.func += paso;
    c.pac[0] = c.valor;
    paso = -paso;
    Resultado res = GrabarCertificado(c, t);
    t.version = res.version;
    return res;
  });
}
BENCHMARK(BM_GrabarCertificadoCambiaRubro)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_GrabarOrdenServicio(benchmark::State& state) {
  if (!Abrir(state)) return;
  Libros l;
  OrdenServicio o{5,
                  Texto(l, "select Fecha from mvtOrdenServicio where iOrdenServicio=5"),
                  Texto(l, "select itercero from mvtOrdenServicio where iOrdenServicio=5"),
                  "Servicio 5",
                  static_cast<std::int64_t>(l.Valor("select irp from mvtOrdenServicio where iOrdenServicio=5").Number()),
                  l.Centavos("select valor from mvtOrdenServicio where iOrdenServicio=5")};
  OrdenTraida t{false, 5, VersionOrden("OS", 5), o.irp};
  Medir(state, [&] {
    Resultado res = GrabarOrdenServicio(o, t);
    t.version = res.version;
    return res;
  });
}
BENCHMARK(BM_GrabarOrdenServicio)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_GrabarOrdenSuministro(benchmark::State& state) {
  if (!Abrir(state)) return;
  Libros l;
  OrdenSuministro o;
  o.numero = 7;
  o.fecha = Texto(l, "select Fecha from mvtOrdenSumiMaestro where iOrdenSuministro=7");
  o.tercero = Texto(l, "select itercero from mvtOrdenSumiMaestro where iOrdenSuministro=7");
  o.detalle = "Suministro 7";
  o.irp = static_cast<std::int64_t>(l.Valor("select irp from mvtOrdenSumiMaestro where iOrdenSuministro=7").Number());
  tv::db::Stmt filas =
      l.Conexion().Prepare("select iArticulo, cantidad, valorUnit from mvtOrdenSuministro where iOrdenSuministro=7");
  while (filas.Step())
    o.renglones.push_back({filas.Column(0).s, filas.Column(1).Number(), CentavosDe(filas.Column(2).Number())});
  OrdenTraida t{false, 7, VersionOrden("SU", 7), o.irp};
  Medir(state, [&] {
    Resultado res = GrabarOrdenSuministro(o, t);
    t.version = res.version;
    return res;
  });
}
BENCHMARK(BM_GrabarOrdenSuministro)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Un traslado entre dos rubros grabado de nuevo: sale y entra completo, y la revisión mide los
// dos rubros.
void BM_GrabarTraslado(benchmark::State& state) {
  if (!Abrir(state)) return;
  Libros l;
  MovimientoPptal m;
  m.numero = "2";
  m.tipo = "TRA";
  m.fecha = Texto(l, "select fecha from MvtPptalMaestro where iMvtPptal='2' and tipoMvtPptal='TRA'");
  m.detalle = "TRA 2";
  m.usuario = "gestordelibro";
  tv::db::Stmt filas = l.Conexion().Prepare(
      "select icuenta, tipoCuenta, ingreso, egreso from mvtPptal where iMvtPptal='2' and tipoMvtPptal='TRA'");
  while (filas.Step())
    m.renglones.push_back({filas.Column(0).s, filas.Column(1).s, CentavosDe(filas.Column(2).Number()),
                           CentavosDe(filas.Column(3).Number()), "", ""});
  long long version = tv::schema::VersionDoc(l.Conexion().Db(), "MP", "2|TRA");
  Medir(state, [&] {
    Resultado res = GrabarMovimiento(m, version);
    version = res.version;
    return res;
  });
}
BENCHMARK(BM_GrabarTraslado)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
