#include "common/LibrosBench.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <random>
#include <stdexcept>
#include <vector>

#include "app/DataModule.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "app/schema/Schema.h"
#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"
#include "platform/db/Storage.h"
#include "platform/forms/Headless.h"
#include "platform/os/Process.h"
#include "platform/os/Regional.h"

namespace fs = std::filesystem;

namespace tv::bench {

namespace {

const char* const kTipos[] = {"CE", "IN", "NC", "_OP", "CP"};
constexpr int kLineasPorDocumento = kLineas / kDocumentos;
constexpr int kAnio = tv::schema::kStarterYear;

void Exec(sqlite3* db, const std::string& sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string m = err ? err : "?";
    sqlite3_free(err);
    throw std::runtime_error(m + " en: " + sql);
  }
}

// Inserción preparada con valores posicionales (texto, número o nulo).
class Ins {
 public:
  Ins(sqlite3* db, const std::string& sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st_, nullptr) != SQLITE_OK)
      throw std::runtime_error(std::string(sqlite3_errmsg(db)) + " en: " + sql);
  }
  ~Ins() { sqlite3_finalize(st_); }
  Ins& t(int i, const std::string& v) {
    sqlite3_bind_text(st_, i, v.c_str(), -1, SQLITE_TRANSIENT);
    return *this;
  }
  Ins& n(int i, double v) {
    sqlite3_bind_double(st_, i, v);
    return *this;
  }
  void Run() {
    if (sqlite3_step(st_) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
    sqlite3_reset(st_);
    sqlite3_clear_bindings(st_);
  }

 private:
  sqlite3* db_;
  sqlite3_stmt* st_ = nullptr;
};

std::string Fecha(int diaDelAnio) {  // 0..359, meses de 30 días acotados a 28
  char b[11];
  std::snprintf(b, sizeof b, "%04d-%02d-%02d", kAnio, diaDelAnio / 30 % 12 + 1, diaDelAnio % 28 + 1);
  return b;
}

char Naturaleza(char clase) { return (clase == '2' || clase == '3' || clase == '4') ? 'C' : 'D'; }

void Plan(sqlite3* db) {
  Exec(db, "DELETE FROM PL");
  Ins ins(db, "INSERT INTO PL (numecuen, nombcuen, Cantidad, centcost, exigterc, naturaleza) VALUES (?,?,'N','N',?,?)");
  int aux = 0;
  for (char clase = '1'; clase <= '7'; ++clase) {
    std::string c(1, clase);
    ins.t(1, c).t(2, "CLASE " + c).t(3, "N").t(4, std::string(1, Naturaleza(clase))).Run();
    for (int g = 1; g <= 4; ++g) {
      std::string grupo = c + std::to_string(g);
      ins.t(1, grupo).t(2, "GRUPO " + grupo).t(3, "N").t(4, std::string(1, Naturaleza(clase))).Run();
      for (int k = 5; k <= 12; ++k) {
        char cuenta[8];
        std::snprintf(cuenta, sizeof cuenta, "%s%02d", grupo.c_str(), k);
        ins.t(1, cuenta).t(2, std::string("CUENTA ") + cuenta).t(3, "N").t(4, std::string(1, Naturaleza(clase))).Run();
        for (int s = 0; s < 9 && aux < kCuentasAuxiliares; ++s, ++aux) {
          std::string sub = CuentaAuxiliar(aux);
          ins.t(1, sub).t(2, "SUBCUENTA " + sub).t(3, aux % 3 == 0 ? "S" : "N")
              .t(4, std::string(1, Naturaleza(clase))).Run();
        }
      }
    }
  }
}

void Terceros(sqlite3* db) {
  Ins ins(db, "INSERT INTO TC (CedulaNIT, tipoDocumento, nombre, razonSocial, direccion, ciudad, dpto, autoretiva, autoretret) "
              "VALUES (?,?,?,?,?,'001','11',0,0)");
  for (int i = 0; i < kTerceros; ++i) {
    std::string nombre = "TERCERO " + std::to_string(i);
    ins.t(1, Tercero(i)).t(2, i % 4 == 0 ? "31" : "13").t(3, nombre).t(4, nombre)
        .t(5, "CALLE " + std::to_string(i % 200)).Run();
  }
}

void Movimiento(sqlite3* db) {
  Ins lin(db, "INSERT INTO MVT (numecuen, cedulanit, detalle, centcost, desccomp, numecomp, debito, credito, "
              "Cantidad, descdocu, numedocu, fecha) VALUES (?,?,?,NULL,'CH',?,?,?,0,?,?,?)");
  Ins cab(db, "INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor, qitems, descuadre, iusuario, tipoAsiento, detalle) "
              "VALUES (?,?,?,?,?,0,'gestordelibro','M',?)");
  std::mt19937 rng(42);
  for (int d = 0; d < kDocumentos; ++d) {
    std::string tipo = TipoDocumento(d), num = NumeroDocumento(d), fecha = Fecha(d * 360 / kDocumentos);
    double total = 0;
    for (int k = 0; k < kLineasPorDocumento; k += 2) {
      double valor = static_cast<double>(rng() % 10000000) / 100.0;
      total += valor;
      for (int lado = 0; lado < 2; ++lado) {
        lin.t(1, CuentaAuxiliar(static_cast<int>(rng() % kCuentasAuxiliares)))
            .t(2, Tercero(static_cast<int>(rng() % kTerceros)))
            .t(3, "Detalle de la línea " + std::to_string(k + lado + 1))
            .t(4, std::to_string(d + 1))
            .n(5, lado == 0 ? valor : 0)
            .n(6, lado == 0 ? 0 : valor)
            .t(7, tipo).t(8, num).t(9, fecha).Run();
      }
    }
    cab.t(1, tipo).t(2, num).t(3, fecha).n(4, total).n(5, kLineasPorDocumento)
        .t(6, "Documento " + tipo + " " + num).Run();
  }
}

// Rubros anidados: 2 (gastos) y 1 (ingresos), con hojas de cuatro niveles.
std::vector<std::pair<std::string, std::string>> Rubros(sqlite3* db) {
  Exec(db, "DELETE FROM PlPpto");
  Ins ins(db, "INSERT INTO PlPpto (iCuenta, nCuenta, tipoCuenta, fuente) VALUES (?,?,?,?)");
  std::vector<std::pair<std::string, std::string>> hojas;  // tipo, código
  for (const auto& [tipo, raiz, grupos] : {std::tuple<const char*, const char*, int>{"I", "1", 5},
                                           std::tuple<const char*, const char*, int>{"E", "2", 30}}) {
    ins.t(1, raiz).t(2, std::string("RUBRO ") + raiz).t(3, tipo).t(4, "").Run();
    for (int g = 1; g <= grupos; ++g) {
      std::string cg = std::string(raiz) + "." + std::to_string(g);
      ins.t(1, cg).t(2, "RUBRO " + cg).t(3, tipo).t(4, "").Run();
      for (int s = 1; s <= 10; ++s) {
        char c[32];
        std::snprintf(c, sizeof c, "%s.%02d", cg.c_str(), s);
        ins.t(1, c).t(2, std::string("RUBRO ") + c).t(3, tipo).t(4, "RECURSOS PROPIOS").Run();
        hojas.emplace_back(tipo, c);
      }
    }
  }
  return hojas;
}

void Presupuesto(sqlite3* db) {
  auto hojas = Rubros(db);
  std::mt19937 rng(7);
  Ins cab(db, "INSERT INTO MvtPptalMaestro (iMvtPptal, tipoMvtPptal, fecha, detalle, iUsuario) VALUES (?,?,?,?,'gestordelibro')");
  Ins lin(db, "INSERT INTO mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) VALUES (?,?,?,?,?,?)");
  // Apropiación inicial de cada hoja y, cada mes, una adición, una reducción y un traslado.
  cab.t(1, "1").t(2, "APR").t(3, Fecha(0)).t(4, "Apropiación inicial").Run();
  for (const auto& [tipo, c] : hojas) {
    double v = 100000000.0 + (rng() % 1000) * 100000.0;
    lin.t(1, "1").t(2, "APR").t(3, c).t(4, tipo).n(5, tipo == "I" ? v : 0).n(6, tipo == "E" ? v : 0).Run();
  }
  for (int mes = 0; mes < 12; ++mes) {
    for (const char* mov : {"ADD", "RED", "TRA"}) {
      std::string n = std::to_string(mes + 1);
      cab.t(1, n).t(2, mov).t(3, Fecha(mes * 30 + 5)).t(4, std::string(mov) + " del mes " + n).Run();
      for (int k = 0; k < 10; ++k) {
        const auto& [tipo, c] = hojas[rng() % hojas.size()];
        double v = (rng() % 1000 + 1) * 10000.0;
        bool credito = std::string(mov) == "TRA" && k % 2 == 1;
        lin.t(1, n).t(2, mov).t(3, c).t(4, tipo).n(5, credito ? v : 0).n(6, credito ? 0 : v).Run();
      }
    }
  }
  // Cadena de compromisos: certificados con sus rubros y PAC, registros y órdenes de pago.
  std::vector<std::string> gastos;
  for (const auto& [tipo, c] : hojas)
    if (tipo == "E") gastos.push_back(c);
  Ins cdp(db, "INSERT INTO mvtCertDisp (icd, FechaExped, fechaVenc, objetoGasto, valor, func, inv, vigFiscal, rubroPptal) "
              "VALUES (?,?,?,?,?,?,0,?,?)");
  Ins cdr(db, "INSERT INTO certDispRubros (icd, rubroPptal, valor) VALUES (?,?,?)");
  Ins pac(db, "INSERT INTO pac (icd, m1) VALUES (?,?)");
  std::vector<double> valorCdp(kCertificados + 1);
  for (int i = 1; i <= kCertificados; ++i) {
    int rubros = 1 + static_cast<int>(rng() % 3);
    double total = 0;
    std::string primero;
    for (int r = 0; r < rubros; ++r) {
      const std::string& c = gastos[rng() % gastos.size()];
      if (r == 0) primero = c;
      double v = (rng() % 500 + 1) * 10000.0;
      total += v;
      cdr.n(1, i).t(2, c).n(3, v).Run();
    }
    valorCdp[i] = total;
    std::string f = Fecha((i - 1) * 360 / kCertificados);
    cdp.n(1, i).t(2, f).t(3, f).t(4, "Objeto del certificado " + std::to_string(i)).n(5, total).n(6, total)
        .t(7, std::to_string(kAnio)).t(8, primero).Run();
    pac.n(1, i).n(2, total).Run();
  }
  Ins rp(db, "INSERT INTO mvtRegPptal (irp, FechaExped, fechaVenc, itercero, ICD, valor, func, inv, vigFiscal, objetoGasto) "
             "VALUES (?,?,?,?,?,?,?,0,?,?)");
  std::vector<double> valorRp(kRegistros + 1);
  for (int i = 1; i <= kRegistros; ++i) {
    int icd = i * kCertificados / kRegistros;
    double v = valorCdp[icd] * 0.8;
    valorRp[i] = v;
    std::string f = Fecha(std::min(359, (icd - 1) * 360 / kCertificados + 3));
    rp.n(1, i).t(2, f).t(3, f).t(4, Tercero(static_cast<int>(rng() % kTerceros))).n(5, icd).n(6, v).n(7, v)
        .t(8, std::to_string(kAnio)).t(9, "Registro " + std::to_string(i)).Run();
  }
  Ins op(db, "INSERT INTO mvtOrdenPago (iop, FechaExped, fechaVenc, itercero, IRP, valor, numeDocu, descdocu, objetoGasto, "
             "valorCheque, valorEfectivo) VALUES (?,?,?,?,?,?,?,'_OP',?,?,0)");
  for (int i = 1; i <= kOrdenesPago; ++i) {
    int irp = i * kRegistros / kOrdenesPago;
    double v = valorRp[irp] * 0.9;
    std::string f = Fecha(std::min(359, (irp - 1) * 360 / kRegistros + 6));
    op.n(1, i).t(2, f).t(3, f).t(4, Tercero(static_cast<int>(rng() % kTerceros))).n(5, irp).n(6, v)
        .t(7, std::to_string(i)).t(8, "Orden de pago " + std::to_string(i)).n(9, v).Run();
  }
}

bool Completa(const std::string& libros) {
  std::string db = libros + "/" + tv::db::kDatabaseFileName;
  if (!fs::exists(db) || !fs::exists(libros + "/.bench-completa")) return false;
  return true;
}

void Generar(const Libros& l) {
  tv::schema::CreateFreshInstallation(l.programa);
  sqlite3* db = nullptr;
  std::string ruta = l.libros + "/" + tv::db::kDatabaseFileName;
  if (sqlite3_open(ruta.c_str(), &db) != SQLITE_OK) throw std::runtime_error("no se pudo abrir " + ruta);
  try {
    Exec(db, "PRAGMA journal_mode=WAL");
    Exec(db, "BEGIN IMMEDIATE");
    Exec(db, "DELETE FROM MVT");
    Exec(db, "DELETE FROM mvtMaestro");
    Plan(db);
    Terceros(db);
    Movimiento(db);
    Presupuesto(db);
    Exec(db, "COMMIT");
    Exec(db, "ANALYZE");
    Exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
  } catch (...) {
    sqlite3_close(db);
    throw;
  }
  sqlite3_close(db);
  std::FILE* f = std::fopen((l.libros + "/.bench-completa").c_str(), "w");
  if (f) std::fclose(f);
}

}  // namespace

std::string CuentaAuxiliar(int i) {
  // 9 subcuentas por cuenta de cuatro dígitos: clase, grupo 1..4, cuenta 05..12.
  int cuenta = i / 9, sub = i % 9 + 1;
  int clase = cuenta / 32 + 1, grupo = cuenta % 32 / 8 + 1, k = cuenta % 8 + 5;
  char b[16];
  std::snprintf(b, sizeof b, "%d%d%02d%02d", clase, grupo, k, sub);
  return b;
}

std::string Tercero(int i) { return std::to_string(800000000 + i); }
std::string TipoDocumento(int d) { return kTipos[d % 5]; }
std::string NumeroDocumento(int d) { return std::to_string(d / 5 + 1); }

const Libros& LibrosBench() {
  static Libros l = [] {
    Libros r;
    const char* env = std::getenv("TALLIVAR_BENCH_BOOKS");
    std::string base;
    if (env && *env) {
      base = env;
      fs::create_directories(base);
    } else {
      char tmpl[] = "/tmp/tvlibrosbenchXXXXXX";
      base = mkdtemp(tmpl);
    }
    r.programa = (fs::absolute(base) / "prog").string();
    r.libros = tv::schema::StarterBooksFolder(r.programa);
    if (!Completa(r.libros)) {
      std::error_code ec;
      fs::remove_all(r.programa, ec);
      std::fprintf(stderr, "Generando los libros de las pruebas de rendimiento en %s...\n", r.programa.c_str());
      Generar(r);
    }
    return r;
  }();
  return l;
}

bool AbrirComoElPrograma() {
  const Libros& l = LibrosBench();
  static std::unique_ptr<tv::forms::HeadlessDriver> ui;
  if (!ui) ui = std::make_unique<tv::forms::HeadlessDriver>();
  if (DM) return DM->TablasAbiertas();
  std::string cfg = l.programa + "/../cfg";
  fs::create_directories(cfg);
  ::setenv("TALLIVAR_CONFIG_DIR", cfg.c_str(), 1);
  tv::os::SetUserDecimalSeparator(".");
  tv::os::SetUserThousandSeparator(",");
  tv::os::SetUserShortDateFormat("dd/MM/yyyy");
  tv::os::ApplyRegionalSettings();
  // Una corrida anterior de las pruebas nunca cierra como el programa: su marca haría
  // reparar un millón de líneas al abrir.
  std::error_code ec;
  fs::remove(l.programa + "/marca", ec);
  fs::current_path(l.programa);
  tv::os::SetProgramDirForTests(l.programa.c_str());
  PathOrigen = l.programa.c_str();
  PathCont = l.libros.c_str();
  NContabilidad = tv::schema::kStarterBooksName;
  anioGlobal = tv::schema::kStarterYear;
  Login = kLoginAdministrador;
  abortar = false;
  Permisos = TPermisos();
  void* mem = ::operator new(sizeof(TDM));
  DM = static_cast<TDM*>(mem);
  new (mem) TDM(nullptr);
  ui->takeMessages();
  fs::remove(l.programa + "/marca", ec);
  return DM->TablasAbiertas();
}

}  // namespace tv::bench
