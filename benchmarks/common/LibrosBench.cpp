#include "common/LibrosBench.h"

#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/DataModule.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "app/schema/Schema.h"
#include "app/schema/Versiones.h"
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
constexpr int kSubcuentasPorClase = 4 * 8 * 9;  // grupos, cuentas y subcuentas

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
  sqlite3_stmt* Stmt() { return st_; }
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
  char b[16];
  std::snprintf(b, sizeof b, "%04d-%02d-%02d", kAnio, diaDelAnio / 30 % 12 + 1, diaDelAnio % 28 + 1);
  return b;
}

// Una de cada tres subcuentas pide tercero; las demás no lo admiten.
bool ExigeTercero(int aux) { return aux % 3 == 0; }

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
          ins.t(1, sub).t(2, "SUBCUENTA " + sub).t(3, ExigeTercero(aux) ? "S" : "N")
              .t(4, std::string(1, Naturaleza(clase))).Run();
        }
      }
    }
  }
  // La cuenta de cierre a la que el cierre lleva la utilidad, con su grupo y su cuenta.
  for (const char* c : {"59", "5905", "590501"})
    ins.t(1, c).t(2, std::string("CIERRE ") + c).t(3, "N").t(4, "D").Run();
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
        int cuenta = static_cast<int>(rng() % kCuentasAuxiliares);
        int tercero = static_cast<int>(rng() % kTerceros);
        // Ni gasto (clase 5) en el crédito ni ingreso (clase 4) en el débito: van a la clase 1.
        char clase = CuentaAuxiliar(cuenta)[0];
        if ((clase == '5' && lado == 1) || (clase == '4' && lado == 0)) cuenta %= kSubcuentasPorClase;
        lin.t(1, CuentaAuxiliar(cuenta));
        // Tercero solo donde la cuenta lo pide: el documento se puede traer y grabar tal cual.
        if (ExigeTercero(cuenta)) lin.t(2, Tercero(tercero));
        lin.t(3, "Detalle de la línea " + std::to_string(k + lado + 1))
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

// Código de la hoja k de un árbol: raíz, grupo, subgrupo y hoja; una de cada diez lleva
// sufijo de fuente "-nn" y otra de cada diez va además sin puntos.
std::string CodigoHoja(const char* raiz, int grupo, int sub, int hoja, int k) {
  char c[32];
  if (k % 10 == 7)
    std::snprintf(c, sizeof c, "%s%d%02d%03d-%02d", raiz, grupo, sub, hoja, 10 + k % 50);
  else if (k % 10 == 3)
    std::snprintf(c, sizeof c, "%s.%d.%02d.%03d-%02d", raiz, grupo, sub, hoja, 10 + k % 50);
  else
    std::snprintf(c, sizeof c, "%s.%d.%02d.%03d", raiz, grupo, sub, hoja);
  return c;
}

// Plan de rubros: por tipo una raíz, grupos, subgrupos de diez hojas cada uno.
void Rubros(sqlite3* db, std::vector<std::string>& gastos, std::vector<std::string>& ingresos) {
  Exec(db, "DELETE FROM PlPpto");
  Ins ins(db, "INSERT INTO PlPpto (iCuenta, nCuenta, tipoCuenta, fuente) VALUES (?,?,?,?)");
  for (const auto& [tipo, raiz, hojas, destino] :
       {std::tuple<const char*, const char*, int, std::vector<std::string>*>{"E", "2", kRubrosGasto, &gastos},
        std::tuple<const char*, const char*, int, std::vector<std::string>*>{"I", "1", kRubrosIngreso, &ingresos}}) {
    ins.t(1, raiz).t(2, std::string("RUBRO ") + raiz).t(3, tipo).t(4, "").Run();
    int subgrupos = hojas / 10, porGrupo = 20;
    for (int sg = 0; sg < subgrupos; ++sg) {
      int grupo = sg / porGrupo + 1, sub = sg % porGrupo + 1;
      char cg[16], cs[24];
      std::snprintf(cg, sizeof cg, "%s.%d", raiz, grupo);
      std::snprintf(cs, sizeof cs, "%s.%02d", cg, sub);
      if (sub == 1) ins.t(1, cg).t(2, std::string("RUBRO ") + cg).t(3, tipo).t(4, "").Run();
      ins.t(1, cs).t(2, std::string("RUBRO ") + cs).t(3, tipo).t(4, "").Run();
      for (int h = 1; h <= 10; ++h) {
        int k = static_cast<int>(destino->size());
        std::string c = CodigoHoja(raiz, grupo, sub, h, k);
        ins.t(1, c).t(2, "RUBRO " + c).t(3, tipo).t(4, k % 2 ? "SGP" : "RECURSOS PROPIOS").Run();
        destino->push_back(c);
      }
    }
  }
}

std::vector<std::string>& Gastos() {
  static std::vector<std::string> v;
  return v;
}
std::vector<std::string>& Ingresos() {
  static std::vector<std::string> v;
  return v;
}

// Un año de presupuesto, determinista: movimientos, certificados (la mayoría con sus filas de
// rubros, algunos antiguos solo con su rubro propio), PAC, registros, órdenes de servicio y de
// suministro, órdenes de pago con su comprobante contable, comprobantes de pago y reintegros,
// y unos pocos vínculos rotos para la auditoría.
void Presupuesto(sqlite3* db) {
  auto& gastos = Gastos();
  auto& ingresos = Ingresos();
  gastos.clear();
  ingresos.clear();
  Rubros(db, gastos, ingresos);
  std::mt19937 rng(7);
  auto gasto = [&] { return gastos[rng() % gastos.size()]; };
  auto ingreso = [&] { return ingresos[rng() % ingresos.size()]; };

  Ins cab(db, "INSERT INTO MvtPptalMaestro (iMvtPptal, tipoMvtPptal, fecha, detalle, iUsuario) VALUES (?,?,?,?,'gestordelibro')");
  Ins lin(db, "INSERT INTO mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) VALUES (?,?,?,?,?,?)");
  cab.t(1, "1").t(2, "APR").t(3, Fecha(0)).t(4, "Apropiación inicial").Run();
  double totalGasto = 0;
  for (const auto& c : gastos) {
    double v = 2000000000.0 + (rng() % 1000) * 1000000.0;
    totalGasto += v;
    lin.t(1, "1").t(2, "APR").t(3, c).t(4, "E").n(5, 0).n(6, v).Run();
  }
  for (size_t i = 0; i < ingresos.size(); ++i)
    lin.t(1, "1").t(2, "APR").t(3, ingresos[i]).t(4, "I").n(5, totalGasto / ingresos.size()).n(6, 0).Run();
  const char* tipos[] = {"ADD", "RED", "TRA"};
  for (int d = 1; d < kMovimientosPptal; ++d) {
    std::string tipo = tipos[d % 3], n = std::to_string(d / 3 + 1);
    cab.t(1, n).t(2, tipo).t(3, Fecha((d * 360 / kMovimientosPptal) % 360)).t(4, tipo + " " + n).Run();
    double v = (rng() % 1000 + 1) * 10000.0;
    if (tipo == "TRA") {
      lin.t(1, n).t(2, tipo).t(3, gasto()).t(4, "E").n(5, 0).n(6, -v).Run();
      lin.t(1, n).t(2, tipo).t(3, gasto()).t(4, "E").n(5, 0).n(6, v).Run();
    } else {
      double signo = tipo == "ADD" ? 1 : -1;
      lin.t(1, n).t(2, tipo).t(3, ingreso()).t(4, "I").n(5, signo * v).n(6, 0).Run();
      lin.t(1, n).t(2, tipo).t(3, gasto()).t(4, "E").n(5, 0).n(6, signo * v / 2).Run();
      lin.t(1, n).t(2, tipo).t(3, gasto()).t(4, "E").n(5, 0).n(6, signo * v / 2).Run();
    }
  }

  Ins cdp(db, "INSERT INTO mvtCertDisp (icd, FechaExped, fechaVenc, objetoGasto, valor, func, inv, vigFiscal, rubroPptal) "
              "VALUES (?,?,?,?,?,?,0,?,?)");
  Ins cdpSinRubro(db, "INSERT INTO mvtCertDisp (icd, FechaExped, fechaVenc, objetoGasto, valor, func, inv, vigFiscal) "
                      "VALUES (?,?,?,?,?,?,0,?)");
  Ins cdr(db, "INSERT INTO certDispRubros (icd, rubroPptal, valor) VALUES (?,?,?)");
  Ins pac(db, "INSERT INTO pac (icd, m1) VALUES (?,?)");
  std::vector<double> valorCdp(kCertificados + 1);
  std::vector<int> diaCdp(kCertificados + 1);
  for (int i = 1; i <= kCertificados; ++i) {
    int dia = (i - 1) * 360 / kCertificados;
    std::string f = Fecha(dia), objeto = "Objeto del certificado " + std::to_string(i);
    diaCdp[i] = dia;
    if (i % 10 == 0) {  // antiguo: un rubro, por su campo propio
      double v = (rng() % 500 + 1) * 10000.0;
      valorCdp[i] = v;
      cdp.n(1, i).t(2, f).t(3, f).t(4, objeto).n(5, v).n(6, v).t(7, std::to_string(kAnio)).t(8, gasto()).Run();
    } else {
      int rubros = 1 + static_cast<int>(rng() % 5);
      double total = 0;
      for (int r = 0; r < rubros; ++r) {
        double v = (rng() % 500 + 1) * 10000.0;
        total += v;
        cdr.n(1, i).t(2, gasto()).n(3, v).Run();
      }
      valorCdp[i] = total;
      cdpSinRubro.n(1, i).t(2, f).t(3, f).t(4, objeto).n(5, total).n(6, total).t(7, std::to_string(kAnio)).Run();
    }
    pac.n(1, i).n(2, valorCdp[i]).Run();
  }

  Ins rp(db, "INSERT INTO mvtRegPptal (irp, FechaExped, fechaVenc, itercero, ICD, valor, func, inv, vigFiscal, objetoGasto) "
             "VALUES (?,?,?,?,?,?,?,0,?,?)");
  std::vector<double> valorRp(kRegistros + 1);
  std::vector<int> diaRp(kRegistros + 1);
  for (int i = 1; i <= kRegistros; ++i) {
    int icd = (i - 1) * kCertificados / kRegistros + 1;
    double v = valorCdp[icd] * 0.4;
    valorRp[i] = v;
    diaRp[i] = std::min(359, diaCdp[icd] + 3);
    std::string f = Fecha(diaRp[i]);
    rp.n(1, i).t(2, f).t(3, f).t(4, Tercero(static_cast<int>(rng() % kTerceros))).n(5, icd).n(6, v).n(7, v)
        .t(8, std::to_string(kAnio)).t(9, "Registro " + std::to_string(i)).Run();
  }

  Ins os(db, "INSERT INTO mvtOrdenServicio (iOrdenServicio, Fecha, itercero, descServicio, irp, valor) VALUES (?,?,?,?,?,?)");
  for (int i = 1; i <= kOrdenesServicio; ++i) {
    int irp = (i - 1) * kRegistros / (kOrdenesServicio + kOrdenesSuministro) + 1;
    os.n(1, i).t(2, Fecha(diaRp[irp])).t(3, Tercero(i)).t(4, "Servicio " + std::to_string(i)).n(5, irp)
        .n(6, valorRp[irp]).Run();
  }
  Ins osm(db, "INSERT INTO mvtOrdenSumiMaestro (iOrdenSuministro, Fecha, itercero, detalle, qItems, valorTotal, irp) "
              "VALUES (?,?,?,?,?,?,?)");
  Ins osl(db, "INSERT INTO mvtOrdenSuministro (iOrdenSuministro, iArticulo, cantidad, valorUnit) VALUES (?,?,?,?)");
  for (int i = 1; i <= kOrdenesSuministro; ++i) {
    int irp = (kOrdenesServicio + i - 1) * kRegistros / (kOrdenesServicio + kOrdenesSuministro) + 1;
    int items = 1 + static_cast<int>(rng() % 3);
    for (int k = 0; k < items; ++k) osl.n(1, i).t(2, "ART" + std::to_string(k + 1)).n(3, 1).n(4, valorRp[irp] / items).Run();
    osm.n(1, i).t(2, Fecha(diaRp[irp])).t(3, Tercero(i)).t(4, "Suministro " + std::to_string(i)).n(5, items)
        .n(6, valorRp[irp]).n(7, irp).Run();
  }

  Ins op(db, "INSERT INTO mvtOrdenPago (iop, FechaExped, fechaVenc, itercero, IRP, valor, numeDocu, descdocu, objetoGasto, "
             "valorCheque, valorEfectivo) VALUES (?,?,?,?,?,?,?,'_OP',?,?,0)");
  Ins jcab(db, "INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor, qitems, descuadre, iusuario, tipoAsiento, detalle) "
               "VALUES (?,?,?,?,3,0,'gestordelibro','P',?)");
  Ins jlin(db, "INSERT INTO MVT (numecuen, cedulanit, detalle, debito, credito, Cantidad, descdocu, numedocu, fecha) "
               "VALUES (?,?,?,?,?,0,?,?,?)");
  std::vector<double> valorOp(kOrdenesPago + 1);
  std::vector<int> diaOp(kOrdenesPago + 1);
  for (int i = 1; i <= kOrdenesPago; ++i) {
    int irp = (i - 1) * kRegistros / kOrdenesPago + 1;
    double v = valorRp[irp] * 0.45;
    valorOp[i] = v;
    diaOp[i] = std::min(359, diaRp[irp] + 6);
    std::string f = Fecha(diaOp[i]), num = "OP" + std::to_string(i), tercero = Tercero(static_cast<int>(rng() % kTerceros));
    op.n(1, i).t(2, f).t(3, f).t(4, tercero).n(5, irp).n(6, v).t(7, num).t(8, "Orden de pago " + std::to_string(i))
        .n(9, v).Run();
    jcab.t(1, "_OP").t(2, num).t(3, f).n(4, v).t(5, "Orden de pago " + std::to_string(i)).Run();
    // Cuentas que piden tercero: el de la orden.
    jlin.t(1, CuentaAuxiliar(1500 + 3 * (i % 33))).t(2, tercero).t(3, "Causación").n(4, v).n(5, 0).t(6, "_OP").t(7, num)
        .t(8, f).Run();
    jlin.t(1, CuentaAuxiliar(300 + 3 * (i % 17))).t(2, tercero).t(3, "Por pagar").n(4, 0).n(5, v).t(6, "_OP").t(7, num)
        .t(8, f).Run();
  }

  // Comprobantes de pago: de una a cinco órdenes seguidas; uno de cada veinte no cuadra.
  Ins cp(db, "INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor, op1, op2, op3, op4, op5, qitems, descuadre, "
             "iusuario, tipoAsiento, detalle) VALUES ('CP',?,?,?,?,?,?,?,?,3,0,'gestordelibro','P',?)");
  int siguiente = 1;
  for (int j = 1; j <= kComprobantesPago; ++j) {
    int r = static_cast<int>(rng() % 100);
    int k = r < 55 ? 1 : r < 85 ? 2 : r < 93 ? 3 : r < 97 ? 4 : 5;
    double suma = 0;
    int dia = 0;
    cp.t(1, "P" + std::to_string(j));
    for (int m = 0; m < 5; ++m) {
      if (m < k) {
        int orden = (siguiente - 1) % kOrdenesPago + 1;
        ++siguiente;
        suma += valorOp[orden];
        dia = std::max(dia, diaOp[orden]);
        cp.n(4 + m, orden);
      } else {
        sqlite3_bind_null(cp.Stmt(), 4 + m);
      }
    }
    cp.t(2, Fecha(std::min(359, dia + 2))).n(3, j % 20 == 0 ? suma * 1.5 : suma).t(9, "Pago " + std::to_string(j)).Run();
  }

  Ins re(db, "INSERT INTO reintegros (cdp, rubro, valor, justificacion, fecha, iusuario) VALUES (?,?,?,?,?,'gestordelibro')");
  for (int i = 1; i <= kReintegros; ++i)
    re.n(1, i).t(2, gasto()).n(3, (rng() % 100 + 1) * 1000.0).t(4, "Reintegro " + std::to_string(i))
        .t(5, Fecha(i * 360 / (kReintegros + 1))).Run();

  // Vínculos rotos que la auditoría debe mostrar.
  Exec(db, "INSERT INTO mvtOrdenServicio (iOrdenServicio, Fecha, irp, valor) VALUES (900001, '2026-06-01', 999999, 1)");
  Exec(db, "INSERT INTO mvtOrdenSumiMaestro (iOrdenSuministro, Fecha, irp, valorTotal) VALUES (900001, '2026-06-01', NULL, 1)");
  Exec(db, "INSERT INTO mvtRegPptal (irp, FechaExped, ICD, valor) VALUES (900001, '2026-06-01', 999999, 1)");
  Exec(db, "INSERT INTO pac (icd, m1) VALUES (999999, 1)");
  Exec(db, "INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor, op1) VALUES ('CP', 'P999999', '2026-06-01', 1, 999999)");
}

bool Completa(const std::string& libros) {
  std::string db = libros + "/" + tv::db::kDatabaseFileName;
  if (!fs::exists(db) || !fs::exists(libros + "/.bench-completa-3")) return false;
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
    {
      // Una versión por documento generado, no una por fila.
      tv::schema::EscrituraMasiva masiva(db, tv::schema::EscrituraMasiva::Filas::Todas);
      Exec(db, "DELETE FROM MVT");
      Exec(db, "DELETE FROM mvtMaestro");
      Plan(db);
      Terceros(db);
      Movimiento(db);
      Presupuesto(db);
      masiva.AvanzarTodos();
      masiva.Terminar();
    }
    Exec(db, "COMMIT");
    Exec(db, "ANALYZE");
    Exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
  } catch (...) {
    sqlite3_close(db);
    throw;
  }
  sqlite3_close(db);
  std::FILE* f = std::fopen((l.libros + "/.bench-completa-3").c_str(), "w");
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

namespace {
// Las hojas, de los libros ya generados cuando se reutilizan.
void LeerHojas() {
  if (!Gastos().empty()) return;
  sqlite3* db = nullptr;
  std::string ruta = LibrosBench().libros + "/" + tv::db::kDatabaseFileName;
  if (sqlite3_open_v2(ruta.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return;
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT tipoCuenta, iCuenta FROM PlPpto WHERE fuente<>'' ORDER BY rowid", -1, &st, nullptr);
  while (st && sqlite3_step(st) == SQLITE_ROW) {
    std::string tipo = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    (tipo == "E" ? Gastos() : Ingresos()).emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
}
}  // namespace

const std::vector<std::string>& RubrosGasto() {
  LeerHojas();
  return Gastos();
}
const std::vector<std::string>& RubrosIngreso() {
  LeerHojas();
  return Ingresos();
}
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

namespace {
// Cada cuenta por la cadena de sus prefijos, para que ledger acumule la misma jerarquía.
std::string Cadena(const std::string& c) {
  std::string r;
  for (size_t n : {size_t(1), size_t(2), size_t(4), size_t(6), size_t(8)}) {
    if (n > c.size()) break;
    if (!r.empty()) r += ':';
    r += c.substr(0, n);
    if (n == c.size()) return r;
  }
  if (c.size() > 8 || (c.size() != 1 && c.size() != 2 && c.size() != 4 && c.size() != 6)) r += ":" + c;
  return r;
}

}  // namespace

std::string DiarioLedger() {
  std::string ruta = LibrosBench().libros + "/ledger.journal";
  if (std::filesystem::exists(ruta)) return ruta;
  sqlite3* db = nullptr;
  std::string base = LibrosBench().libros + "/" + tv::db::kDatabaseFileName;
  if (sqlite3_open_v2(base.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return "";
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT descdocu, numedocu, fecha, numecuen, debito, credito FROM MVT "
                     "ORDER BY descdocu, numedocu, rowid",
                     -1, &st, nullptr);
  std::ofstream out(ruta + ".tmp");
  std::string docu;
  char buf[64];
  while (sqlite3_step(st) == SQLITE_ROW) {
    std::string d = std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) + " " +
                    reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
    if (d != docu) {
      std::string fecha = reinterpret_cast<const char*>(sqlite3_column_text(st, 2));
      for (char& c : fecha)
        if (c == '-') c = '/';
      out << "\n" << fecha << " " << d << "\n";
      docu = d;
    }
    double v = sqlite3_column_double(st, 4) - sqlite3_column_double(st, 5);
    std::snprintf(buf, sizeof buf, "%.2f", v);
    out << "    " << Cadena(reinterpret_cast<const char*>(sqlite3_column_text(st, 3))) << "  " << buf << "\n";
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  out.close();
  std::filesystem::rename(ruta + ".tmp", ruta);
  return ruta;
}

bool AbrirComoElPrograma() { return AbrirComoElPrograma(LibrosBench(), false); }

tv::forms::HeadlessDriver& Pantalla() {
  static tv::forms::HeadlessDriver ui;
  return ui;
}

bool AbrirComoElPrograma(const Libros& l, bool conMarca, std::vector<std::string>* mensajes) {
  tv::forms::HeadlessDriver* ui = &Pantalla();
  if (DM) return DM->TablasAbiertas();
  std::string cfg = l.programa + "/../cfg";
  fs::create_directories(cfg);
  ::setenv("TALLIVAR_CONFIG_DIR", cfg.c_str(), 1);
  // Las pruebas sobre estos libros corren con los separadores de TALLIVAR_TEST_DECIMAL
  // ("," por omisión, el predeterminado del programa, o ".").
  const char* decimal = std::getenv("TALLIVAR_TEST_DECIMAL");
  const bool punto = decimal != nullptr && std::string(decimal) == ".";
  tv::os::SetUserDecimalSeparator(punto ? "." : ",");
  tv::os::SetUserThousandSeparator(punto ? "," : ".");
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
  if (conMarca && !EscribirMarca(PathCont)) return false;
  ui->takeMessages();
  void* mem = ::operator new(sizeof(TDM));
  DM = static_cast<TDM*>(mem);
  new (mem) TDM(nullptr);
  for (const auto& m : ui->takeMessages())
    if (mensajes) mensajes->push_back(m.Text.str());
  fs::remove(l.programa + "/marca", ec);
  return DM->TablasAbiertas();
}

Libros CopiarLibros(const std::string& destino) {
  const Libros& origen = LibrosBench();
  std::error_code ec;
  fs::remove_all(destino, ec);
  Libros copia;
  copia.programa = (fs::absolute(destino) / "prog").lexically_normal().string();
  copia.libros = tv::schema::StarterBooksFolder(copia.programa);
  fs::create_directories(copia.programa);
  // Sin el diario de ledger ni respaldos de reparaciones anteriores.
  for (auto it = fs::recursive_directory_iterator(origen.programa); it != fs::recursive_directory_iterator(); ++it) {
    std::string nombre = it->path().filename().string();
    if (nombre.rfind("BackupReparacion", 0) == 0 || nombre.rfind("ledger.journal", 0) == 0) {
      if (it->is_directory()) it.disable_recursion_pending();
      continue;
    }
    fs::path hacia = fs::path(copia.programa) / fs::relative(it->path(), origen.programa);
    if (it->is_directory())
      fs::create_directories(hacia);
    else
      fs::copy_file(it->path(), hacia, fs::copy_options::overwrite_existing);
  }
  return copia;
}

double MemoriaPrivadaMB() {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return 0;
  char linea[256];
  double kb = 0;
  while (std::fgets(linea, sizeof linea, f))
    if (std::sscanf(linea, "RssAnon: %lf", &kb) == 1) break;
  std::fclose(f);
  return kb / 1024.0;
}

struct PicoPrivado::Estado {
  std::atomic<bool> fin{false};
  std::atomic<double> pico{0};
  std::thread hilo;
};

PicoPrivado::PicoPrivado() : e_(new Estado) {
  e_->pico = MemoriaPrivadaMB();
  e_->hilo = std::thread([e = e_] {
    while (!e->fin) {
      double m = MemoriaPrivadaMB();
      if (m > e->pico) e->pico = m;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
}

PicoPrivado::~PicoPrivado() {
  e_->fin = true;
  e_->hilo.join();
  delete e_;
}

double PicoPrivado::MB() const {
  double m = MemoriaPrivadaMB();
  return m > e_->pico ? m : e_->pico.load();
}

}  // namespace tv::bench
