// Cierre del año: "CCA" en el año cerrado, contabilidad del año siguiente con "CSI" y paso
// del usuario a ella; repetible, y sin medio documento ni media carpeta cuando algo falla.
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/Claves.h"
#include "app/Permisos.h"
#include "app/Contabilidades.h"
#include "app/Sesion.h"
#include "ledger/DocumentosFixture.h"
#include "ledger/FrmCierreAnio.h"
#include "platform/forms/Dialogs.h"
#include "shared/dialogs/Aviso.h"
#include "platform/os/Files.h"

namespace fs = std::filesystem;

namespace {

constexpr bool kQueda = true;  // la ventana sigue abierta tras "Proceder"

class Cierre : public ledger::Documentos {
 protected:
  void SetUp() override {
    Documentos::SetUp();
    nuevo = dir + "/Ejemplo2027";
  }
  void TearDown() override {
    tv::db::ReleaseDatabase(nuevo.c_str());
    Documentos::TearDown();
  }
  // "Proceder"; un cierre que no termina deja la ventana abierta con su aviso (`queda`), y se
  // sale con "Salir". Devuelve mrOk si el cierre la cerró.
  TModalResult Cerrar(const std::string& cuenta = "311001", bool queda = false) {
    auto& s = ui->onModal("TFrmCierreAnio").set("edCtaUtilidad", cuenta).click("&Proceder");
    if (queda) s.click("Salir");
    FrmCierreAnio = new TFrmCierreAnio(nullptr);
    std::unique_ptr<TFrmCierreAnio> f(FrmCierreAnio);
    if (NContabilidad == "Ejemplo") {
      EXPECT_EQ(f->NewPath, nuevo.c_str());
    }
    return f->ShowModal();
  }
  // Año con ingresos 1000 y gastos 400, un tercero en bancos, cuentas de orden y de clases 8 y 9.
  void Movimiento() {
    Linea("IN", "1", "110505", 1000, 0, "900");
    Linea("IN", "1", "416005", 0, 1000, "900");
    Linea("CE", "1", "510506", 400, 0, "901");
    Linea("CE", "1", "111005", 0, 400, "901");
    Linea("NC", "1", "111005", 250.10, 0, "900");
    Linea("NC", "1", "110505", 0, 250.10, "900");
    Linea("NC", "2", "010101", 30, 0);
    Linea("NC", "2", "020202", 0, 30);
    Linea("NC", "3", "810101", 70, 0);
    Linea("NC", "3", "910101", 0, 70);
  }
  std::string Nuevo(const std::string& sql) { return Valor(nuevo, sql); }
  double Numero(const std::string& base, const std::string& sql) { return std::stod(Valor(base, sql)); }

  std::string nuevo;
};

TEST_F(Cierre, UtilidadCancelaResultadosYAbreElAnioSiguiente) {
  Movimiento();
  // Saldo de ruido de la suma: no da línea.
  Linea("CE", "2", "520101", 0.1, 0);
  Linea("CE", "2", "520101", 0.2, 0);
  Linea("CE", "2", "520101", 0, 0.3);
  Ejecutar(libros, "ANALYZE");
  EXPECT_EQ(Cerrar(), mrOk);
  EXPECT_EQ(ui->messageTexts(), "La nueva contabilidad ha sido creada y es la que está usando en este momento.\n");

  // "CCA" en el año cerrado.
  auto cca = [&](const std::string& cuenta, const char* campo) {
    return Valor(libros, std::string("select ") + campo + " from mvt where descdocu='CCA' and numecuen='" + cuenta + "'");
  };
  EXPECT_EQ(cca("311001", "credito || ' ' || debito"), "600 0");
  EXPECT_EQ(Valor(libros, "select credito || ' ' || debito from mvt where descdocu='CCA' and numecuen='590501' order by debito desc"),
            "0 600");
  for (const char* cuenta : {"416005", "510506", "590501", "010101", "020202"})
    EXPECT_NEAR(Numero(libros, std::string("select sum(debito)-sum(credito) from mvt where numecuen='") + cuenta + "'"),
                0, 1e-9)
        << cuenta;
  EXPECT_EQ(Valor(libros, "select count(*) from mvt where descdocu='CCA' and (numecuen like '8%' or numecuen like '9%' or numecuen like '1%')"), "0");
  EXPECT_EQ(Valor(libros, "select count(*) from mvt where descdocu='CCA'"), "7");
  EXPECT_NEAR(Numero(libros, "select sum(debito)-sum(credito) from mvt where descdocu='CCA'"), 0, 1e-9);
  EXPECT_EQ(Valor(libros, "select qitems || ' ' || valor || ' ' || fecha from mvtmaestro where descdocu='CCA'"),
            "1 600 2026-12-31");

  // El año siguiente: solo "CSI", una línea por cuenta y tercero de las clases 1 a 3.
  EXPECT_EQ(Nuevo("select count(*) from mvt where descdocu<>'CSI'"), "0");
  EXPECT_EQ(Nuevo("select count(*) from mvtmaestro where descdocu<>'CSI'"), "0");
  EXPECT_EQ(Nuevo("select debito || ' ' || credito from mvt where numecuen='110505' and cedulanit='900'"),
            "1000 250.1");
  EXPECT_EQ(Nuevo("select debito || ' ' || credito from mvt where numecuen='111005' and cedulanit='900'"),
            "250.1 0");
  EXPECT_EQ(Nuevo("select debito || ' ' || credito from mvt where numecuen='111005' and cedulanit='901'"),
            "0 400");
  EXPECT_EQ(Nuevo("select credito || ' ' || debito from mvt where numecuen='311001'"), "600 0");
  EXPECT_EQ(Nuevo("select count(*) from mvt where numecuen >= '4' or numecuen < '1'"), "0");
  EXPECT_EQ(Nuevo("select count(*) from mvt"), "4");
  // Los saldos iniciales son un documento de una versión, y los disparadores de versión pasan.
  EXPECT_EQ(Nuevo("select group_concat(descdocu || numedocu || ':' || version) from mvtVersion"), "CSI1:1");
  EXPECT_EQ(Nuevo("select group_concat(name) from (select name from sqlite_master where type='trigger' order by name)"),
            Valor(libros, "select group_concat(name) from (select name from sqlite_master where type='trigger' order by name)"));
  EXPECT_EQ(Nuevo("select count(*) from mvt where fecha='2026-12-31' and numedocu='1'"), "4");
  EXPECT_EQ(Nuevo("select quote(numecuen)||quote(cedulanit)||quote(detalle)||quote(centcost)||quote(desccomp)||"
                  "quote(numecomp)||quote(debito)||quote(credito)||quote(Cantidad)||quote(rubro)||quote(descdocu)||"
                  "quote(numedocu)||quote(fecha) from mvt where numecuen='311001'"),
            "'311001'NULLNULLNULLNULLNULL0600NULLNULL'CSI''1''2026-12-31'");
  // Lo demás pasa entero: las filas de cada tabla que no es de movimiento, y los índices.
  for (const AnsiString& t : tv::db::TableNames(libros.c_str())) {
    std::string n = t.c_str();
    std::string filas = Valor(libros, "select count(*) from \"" + n + "\"");
    bool movimiento = false;
    for (const char* m : kTablasMovimiento)
      movimiento = movimiento || strcasecmp((n + ".db").c_str(), m) == 0;
    if (!movimiento) {
      EXPECT_EQ(Nuevo("select count(*) from \"" + n + "\""), filas) << n;
    }
  }
  EXPECT_EQ(Nuevo("select count(*) from sqlite_master where type='index'"),
            Valor(libros, "select count(*) from sqlite_master where type='index'"));
  // Las estadísticas del planificador pasan con el libro; el anterior puede ganar filas
  // después, al cerrarse su conexión.
  std::string nuevas = Nuevo("select group_concat(tbl || idx || stat, ';') from sqlite_stat1");
  std::string viejas = ";" + Valor(libros, "select group_concat(tbl || idx || stat, ';') from sqlite_stat1") + ";";
  EXPECT_NE(nuevas.find("MVT_Cuenta"), std::string::npos) << nuevas;
  for (size_t i = 0, j; i < nuevas.size(); i = j + 1) {
    j = nuevas.find(';', i);
    if (j == std::string::npos) j = nuevas.size();
    EXPECT_NE(viejas.find(";" + nuevas.substr(i, j - i) + ";"), std::string::npos) << nuevas.substr(i, j - i);
  }
  EXPECT_EQ(Nuevo("select qitems || ' ' || valor || ' ' || fecha from mvtmaestro"), "4 1250.1 2026-12-31");
  EXPECT_NEAR(Numero(nuevo, "select descuadre from mvtmaestro"), 0, 1e-9);
  EXPECT_EQ(Nuevo("select count(*) from dg where codidocu in ('CSI', 'CCA')"), "2");
  EXPECT_EQ(Nuevo("select count(*) from PL"), Valor(libros, "select count(*) from PL"));
  EXPECT_EQ(Nuevo("select count(*) from permisos"), "1");

  // El programa sigue en el año nuevo.
  EXPECT_EQ(PathCont, nuevo.c_str());
  EXPECT_EQ(anioGlobal, 2027);
  EXPECT_EQ(NContabilidad, "Ejemplo");
  EXPECT_EQ(DM->TblMovimiento->RecordCount, 4);
  // La carpeta del año nuevo queda relativa a la del programa, como la lee el selector.
  AnsiString guardada = Valor(dir, "select rutaContabilidad from contabs where anio=2027").c_str();
  EXPECT_EQ(guardada, "Ejemplo2027");
  EXPECT_EQ(RutaDelPrograma(guardada), nuevo.c_str());
  EXPECT_EQ(CarpetaDeMarca(), nuevo.c_str());
  EXPECT_TRUE(fs::exists(nuevo + "/tablas.sqlite"));
}

TEST_F(Cierre, PerdidaConValoresNegativosEnLosMismosLados) {
  Linea("IN", "1", "110505", 150, 0);
  Linea("IN", "1", "416005", 0, 150);
  Linea("CE", "1", "510506", 400, 0);
  Linea("CE", "1", "110505", 0, 400);
  Cerrar();
  EXPECT_EQ(Valor(libros, "select credito || ' ' || debito from mvt where descdocu='CCA' and numecuen='311001'"),
            "-250 0");
  EXPECT_EQ(Valor(libros, "select debito || ' ' || credito from mvt where descdocu='CCA' and numecuen='590501'"),
            "-250 0");
  EXPECT_EQ(Valor(libros, "select valor from mvtmaestro where descdocu='CCA'"), "-250");
}

TEST_F(Cierre, RepetirReemplazaCcaYCsiYConservaLoDemasDelAnioSiguiente) {
  Movimiento();
  Cerrar();
  ui->takeMessages();
  // Un documento propio del año nuevo, luego de vuelta al año cerrado con un cambio.
  Linea("CE", "5", "510506", 10, 0, "", "", "2027-01-10");
  ASSERT_TRUE(AbrirContabilidad(nullptr, libros.c_str(), "Ejemplo", 2026, false));
  Linea("IN", "2", "110505", 100, 0, "900");
  Linea("IN", "2", "416005", 0, 100, "900");
  ui->onModal("TFrmClave").set("EdPassword", "").click("&Aceptar");
  ui->onModal("TFrmNuevaClave").set("EdClave", "x").set("EdConfirmar", "x").click("&Aceptar");
  Cerrar();
  EXPECT_EQ(ui->lastMessage(), "La nueva contabilidad ha sido creada y es la que está usando en este momento.");
  EXPECT_EQ(Valor(libros, "select count(*) from mvtmaestro where descdocu='CCA'"), "1");
  EXPECT_EQ(Valor(libros, "select credito || '' from mvt where descdocu='CCA' and numecuen='311001'"), "700");
  EXPECT_EQ(Nuevo("select count(*) from mvt where descdocu='CE' and numedocu='5'"), "1");
  EXPECT_EQ(Nuevo("select count(*) from mvtmaestro where descdocu='CSI'"), "1");
  EXPECT_EQ(Nuevo("select debito || '' from mvt where descdocu='CSI' and numecuen='110505' and cedulanit='900'"), "1100");
  EXPECT_EQ(Nuevo("select count(*) from dg where codidocu='CSI'"), "1");
  EXPECT_EQ(Valor(dir, "select count(*) from contabs where anio=2027"), "1");
  EXPECT_EQ(anioGlobal, 2027);
}

// Un contador AUTOINCREMENT pasa al año siguiente como iba (con los números de filas borradas),
// en una sola fila: el año nuevo no vuelve a dar un número que el cerrado ya dio.
TEST_F(Cierre, LosContadoresSiguenDondeIbanEnElAnioSiguiente) {
  Movimiento();
  Ejecutar(libros, "CREATE TABLE contador (id INTEGER PRIMARY KEY AUTOINCREMENT, x)");
  Ejecutar(libros, "INSERT INTO contador (x) VALUES (1), (2), (3)");
  Ejecutar(libros, "DELETE FROM contador WHERE id=3");
  Cerrar();
  ASSERT_EQ(ui->lastMessage(), "La nueva contabilidad ha sido creada y es la que está usando en este momento.");
  EXPECT_EQ(Nuevo("SELECT count(*) || '/' || max(seq) FROM sqlite_sequence WHERE name='contador'"), "1/3");
  Ejecutar(nuevo, "INSERT INTO contador (x) VALUES (4)");
  EXPECT_EQ(Nuevo("SELECT group_concat(id) FROM contador"), "1,2,4");
}

TEST_F(Cierre, RechazosAntesDeEscribir) {
  Movimiento();
  // Cada rechazo deja la ventana abierta con su aviso.
  EXPECT_EQ(Cerrar("999999", kQueda), mrCancel);
  NContabilidad = "../Ejemplo";
  EXPECT_EQ(Cerrar("311001", kQueda), mrCancel);
  NContabilidad = "Ejemplo";
  std::ofstream(nuevo) << "no es carpeta";
  EXPECT_EQ(Cerrar("311001", kQueda), mrCancel);
  fs::remove(nuevo);
  fs::create_directories(nuevo);  // carpeta sin contabilidad
  EXPECT_EQ(Cerrar("311001", kQueda), mrCancel);
  std::vector<std::string> textos;
  for (auto& m : ui->messages()) textos.push_back(m.Text.c_str());
  EXPECT_EQ(textos, (std::vector<std::string>{
                        "La cuenta de utilidad no está definida en el plan de cuentas",
                        "El nombre de la contabilidad contiene caracteres no permitidos: / \\ o ..",
                        "No se pudo crear la nueva contabilidad en " + nuevo,
                        "No se pudo crear la nueva contabilidad en " + nuevo}));
  EXPECT_EQ(Valor(libros, "select count(*) from mvt where descdocu='CCA'"), "0");
  EXPECT_EQ(Valor(libros, "select count(*) from dg where codidocu in ('CCA','CSI')"), "0");
  EXPECT_FALSE(fs::exists(nuevo + "/tablas.sqlite"));
  EXPECT_FALSE(fs::exists(dir + "/Ejemplo"));
  EXPECT_EQ(anioGlobal, 2026);
}

// La utilidad también va a 590501: un plan sin ella no cuadraría el balance del año.
TEST_F(Cierre, SinLaCuentaDeCierreEnElPlanSeAvisaAntesDeEscribir) {
  Movimiento();
  Sql("delete from pl where numecuen='590501'");
  Refrescar();
  EXPECT_EQ(Cerrar("311001", kQueda), mrCancel);  // la ventana sigue abierta con el aviso
  ASSERT_EQ(ui->messages().size(), 1u);
  EXPECT_EQ(ui->messages()[0].Text, "La cuenta de cierre 590501 no está definida en el plan de cuentas");
  EXPECT_EQ(Valor(libros, "select count(*) from mvt where descdocu='CCA'"), "0");
  EXPECT_FALSE(fs::exists(nuevo + "/tablas.sqlite"));
}

TEST_F(Cierre, UnaFallaNoDejaMedioDocumentoNiMediaCarpetaYRepetirCompleta) {
  Movimiento();
  // Falla en el encabezado de "CCA": nada del cierre queda.
  Ejecutar(libros, "CREATE TRIGGER falla BEFORE INSERT ON mvtMaestro WHEN NEW.descdocu='CCA' "
                   "BEGIN SELECT RAISE(ABORT, 'disco lleno'); END");
  EXPECT_EQ(Cerrar("311001", kQueda), mrCancel);
  EXPECT_EQ(Valor(libros, "select count(*) from mvt where descdocu='CCA'"), "0");
  EXPECT_EQ(Valor(libros, "select count(*) from dg where codidocu='CCA'"), "0");
  EXPECT_FALSE(fs::exists(nuevo));
  // Falla en el encabezado de "CSI" del año nuevo (el disparador viaja con la copia).
  Ejecutar(libros, "DROP TRIGGER falla");
  Ejecutar(libros, "CREATE TRIGGER falla BEFORE INSERT ON mvtMaestro WHEN NEW.descdocu='CSI' "
                   "BEGIN SELECT RAISE(ABORT, 'disco lleno'); END");
  EXPECT_EQ(Cerrar("311001", kQueda), mrCancel);
  EXPECT_FALSE(fs::exists(nuevo));
  EXPECT_FALSE(fs::exists(nuevo + ".parcial"));
  // Sin año siguiente tampoco queda el "CCA" de esta corrida.
  EXPECT_EQ(Valor(libros, "select count(*) from mvt where descdocu='CCA'"), "0");
  EXPECT_EQ(Valor(libros, "select count(*) from mvtmaestro where descdocu='CCA'"), "0");
  EXPECT_EQ(Valor(dir, "select count(*) from contabs where anio=2027"), "0");
  EXPECT_EQ(anioGlobal, 2026);
  EXPECT_EQ(PathCont, libros.c_str());
  int errores = 0;
  for (auto& m : ui->messages()) errores += m.Kind == MsgKind::Exception;
  EXPECT_EQ(errores, 2) << ui->messageTexts().c_str();
  EXPECT_EQ(FrmAviso, nullptr);

  Ejecutar(libros, "DROP TRIGGER falla");
  ui->takeMessages();
  Cerrar();
  EXPECT_EQ(ui->messageTexts(), "La nueva contabilidad ha sido creada y es la que está usando en este momento.\n");
  EXPECT_EQ(Valor(libros, "select count(*) from mvtmaestro where descdocu='CCA'"), "1");
  EXPECT_EQ(Valor(libros, "select count(*) from mvt where descdocu='CCA'"), "7");
  EXPECT_EQ(Nuevo("select count(*) from mvt where descdocu='CSI'"), "4");
  EXPECT_EQ(anioGlobal, 2027);
}

TEST_F(Cierre, OtraVezDesdeElAnioNuevoConLaMismaVentanaSeRechaza) {
  Movimiento();
  FrmCierreAnio = new TFrmCierreAnio(nullptr);
  std::unique_ptr<TFrmCierreAnio> f(FrmCierreAnio);
  f->edCtaUtilidad->Text = "311001";
  f->BtnAceptarClick(nullptr);
  ASSERT_EQ(anioGlobal, 2027);
  ui->takeMessages();
  std::string csi = Nuevo("select group_concat(numecuen || ':' || debito || ':' || credito) from mvt");
  // La ventana sigue abierta y su carpeta del año siguiente es ahora la de los libros abiertos.
  f->BtnAceptarClick(nullptr);
  EXPECT_EQ(ui->messageTexts(),
            ("La contabilidad del año siguiente no puede quedar en la carpeta de la contabilidad abierta: " + nuevo +
             "\n")
                .c_str());
  EXPECT_EQ(Nuevo("select group_concat(numecuen || ':' || debito || ':' || credito) from mvt"), csi);
  EXPECT_EQ(Nuevo("select count(*) from mvtmaestro where descdocu<>'CSI'"), "0");
  EXPECT_EQ(Valor(dir, "select count(*) from contabs where anio=2028"), "0");
  EXPECT_EQ(anioGlobal, 2027);
  EXPECT_EQ(PathCont, nuevo.c_str());
}

TEST_F(Cierre, SinEntrarAlAnioSiguienteNoSeEscribeNada) {
  Movimiento();
  Cerrar();
  ui->takeMessages();
  GuardarClave(nuevo.c_str(), "gestordelibro", "clave");
  ASSERT_TRUE(AbrirContabilidad(nullptr, libros.c_str(), "Ejemplo", 2026, false));
  Linea("IN", "2", "110505", 100, 0, "900");
  Linea("IN", "2", "416005", 0, 100, "900");
  auto foto = [&] {
    return Nuevo("select group_concat(descdocu || numecuen || ':' || debito || ':' || credito) from mvt") + "/" +
           Nuevo("select group_concat(descdocu || qitems || ':' || valor) from mvtmaestro") + "/" +
           Nuevo("select group_concat(codidocu) from dg") + "/" +
           Valor(libros, "select group_concat(numecuen || ':' || debito || ':' || credito) from mvt where descdocu='CCA'") +
           "/" + Valor(dir, "select count(*) from contabs");
  };
  std::string antes = foto();
  // Una clave equivocada tres veces, y luego "Cancelar".
  auto& clave = ui->onModal("TFrmClave");
  for (int i = 0; i < 3; ++i) clave.set("EdPassword", "mala").click("&Aceptar");
  Cerrar("311001", kQueda);
  ui->onModal("TFrmClave").click("&Cancelar");
  Cerrar("311001", kQueda);
  EXPECT_EQ(foto(), antes);
  EXPECT_EQ(anioGlobal, 2026);
  EXPECT_EQ(PathCont, libros.c_str());
  EXPECT_EQ(Login, kLoginAdministrador);
  ui->takeMessages();
  // Quien entra sí cierra otra vez.
  ui->onModal("TFrmClave").set("EdPassword", "clave").click("&Aceptar");
  Cerrar();
  EXPECT_EQ(ui->lastMessage(), "La nueva contabilidad ha sido creada y es la que está usando en este momento.");
  EXPECT_EQ(Nuevo("select debito || '' from mvt where descdocu='CSI' and numecuen='110505' and cedulanit='900'"), "1100");
  EXPECT_EQ(anioGlobal, 2027);
}

namespace {

// Todo lo guardado en la base de una carpeta, sin depender del orden de las filas: el esquema y
// cada fila de cada tabla salvo las versiones de los documentos, que cuentan escrituras y no
// contenido; "(sin base)" cuando no hay.
std::string Volcado(const std::string& carpeta) {
  std::string archivo = carpeta + "/tablas.sqlite";
  if (!fs::exists(archivo)) return "(sin base)";
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(archivo.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return "(no abre)";
  }
  auto filas = [&](const std::string& sql) {
    std::vector<std::string> r;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) return std::vector<std::string>{"(error)"};
    while (sqlite3_step(st) == SQLITE_ROW) {
      std::string f;
      for (int i = 0; i < sqlite3_column_count(st); ++i) {
        const unsigned char* t = sqlite3_column_text(st, i);
        f += std::to_string(sqlite3_column_type(st, i)) + ":" + (t ? reinterpret_cast<const char*>(t) : "") + "|";
      }
      r.push_back(f);
    }
    sqlite3_finalize(st);
    std::sort(r.begin(), r.end());
    return r;
  };
  std::string out;
  for (const auto& f : filas("SELECT type, name, sql FROM sqlite_master WHERE name NOT LIKE 'sqlite_stat%'"))
    out += f + "\n";
  for (const auto& t : filas("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_stat%' "
                              "AND name <> 'mvtVersion'")) {
    std::string nombre = t.substr(t.find(':') + 1);
    nombre.pop_back();
    out += "== " + nombre + "\n";
    for (const auto& f : filas("SELECT * FROM \"" + nombre + "\"")) out += f + "\n";
  }
  sqlite3_close(db);
  return out;
}

}  // namespace

// Cada cierre corre en un proceso nuevo que se mata en un punto al azar; otro proceso nuevo lo
// repite. El año cerrado y el siguiente quedan como tras un cierre sin interrupción, y nunca hay
// "CCA" sin el año siguiente completo ni un año siguiente a medias.
TEST_F(Cierre, MatadoEnCualquierPuntoLaRepeticionDejaLoMismoQueUnCierreSinInterrupcion) {
  Movimiento();
  for (int i = 0; i < 40; ++i) Linea("NC", std::to_string(10 + i), i % 2 ? "110505" : "111005", 5 + i, 0, std::to_string(800 + i));
  Linea("NC", "99", "110505", 0, 990);
  GuardarClave(libros.c_str(), Login, "clave");
  DM->CloseTablas();
  tv::db::ReleaseDatabase(libros.c_str());
  tv::db::ReleaseDatabase(dir.c_str());
  fs::path limpia = fs::path(dir).parent_path() / "limpia";
  fs::copy(dir, limpia, fs::copy_options::recursive);
  auto restaurar = [&] {
    fs::remove_all(dir);
    fs::copy(limpia, dir, fs::copy_options::recursive);
  };
  // El cierre con la ventana real, en un proceso nuevo; sale con 0 cuando terminó.
  auto cerrarEnHijo = [&] {
    pid_t pid = fork();
    if (pid == 0) {
      int rc = 3;
      try {
        DM->InitTablas(libros.c_str());
        ui->onModal("TFrmClave").set("EdPassword", "clave").click("&Aceptar");
        Cerrar();
        rc = anioGlobal == 2027 &&
                     ui->lastMessage() == "La nueva contabilidad ha sido creada y es la que está usando en este momento."
                 ? 0
                 : 2;
      } catch (...) {
      }
      _exit(rc);
    }
    return pid;
  };
  auto esperar = [](pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
  };
  auto todo = [&] { return Volcado(libros) + "\n#####\n" + Volcado(nuevo) + "\n#####\n" + Volcado(dir); };
  auto cca = [&] {
    sqlite3* db = nullptr;
    bool hay = false;
    if (sqlite3_open_v2((libros + "/tablas.sqlite").c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
      sqlite3_stmt* st = nullptr;
      if (sqlite3_prepare_v2(db, "SELECT count(*) FROM mvt WHERE descdocu='CCA'", -1, &st, nullptr) == SQLITE_OK &&
          sqlite3_step(st) == SQLITE_ROW)
        hay = sqlite3_column_int(st, 0) > 0;
      sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return hay;
  };

  // La referencia, tres veces: la más corta mide el cierre en una máquina ocupada.
  long long duracion = 0;
  std::string referencia;
  int st = 0;
  for (int i = 0; i < 3; ++i) {
    restaurar();
    auto t0 = std::chrono::steady_clock::now();
    st = esperar(cerrarEnHijo());
    long long d = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0).count();
    duracion = i ? std::min(duracion, d) : d;
    ASSERT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << st;
    std::string r = todo();
    if (i) {
      ASSERT_EQ(r, referencia);
    }
    referencia = r;
  }
  ASSERT_NE(referencia.find("3:CSI|"), std::string::npos);
  const std::string nuevaCompleta = Volcado(nuevo);
  RecordProperty("duracion_us", static_cast<int>(duracion));

  std::mt19937 rng(7);
  const int kMuertes = 200;
  int aMedias = 0, sinAnioNuevo = 0, conNueva = 0;
  for (int k = 0; k < kMuertes; ++k) {
    restaurar();
    pid_t pid = cerrarEnHijo();
    // Las muertes caen sobre el arranque y el cierre; el final del proceso no escribe nada.
    usleep(static_cast<useconds_t>(rng() % static_cast<unsigned>(duracion * 4 / 5 + 1)));
    kill(pid, SIGKILL);
    esperar(pid);
    // Lo que dejó el proceso muerto: el año siguiente entero o nada, y "CCA" solo con él.
    bool hayNueva = fs::exists(nuevo);
    if (hayNueva) {
      ++conNueva;
      std::string n = Volcado(nuevo);
      // Completo: lo mismo que el cierre sin interrupción salvo, a lo sumo, su entrada.
      EXPECT_NE(n.find("3:CSI|"), std::string::npos) << "muerte " << k;
      EXPECT_EQ(std::count(n.begin(), n.end(), '\n'), std::count(nuevaCompleta.begin(), nuevaCompleta.end(), '\n'))
          << "muerte " << k;
    } else {
      EXPECT_FALSE(cca()) << "muerte " << k;
    }
    if (fs::exists(nuevo + ".parcial")) ++aMedias;
    if (!hayNueva) ++sinAnioNuevo;
    st = esperar(cerrarEnHijo());
    ASSERT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << "muerte " << k << ": " << st;
    ASSERT_EQ(todo(), referencia) << "muerte " << k;
    EXPECT_FALSE(fs::exists(nuevo + ".parcial"));
  }
  // Las muertes cayeron a lo largo del cierre, no todas antes ni todas después.
  EXPECT_GT(sinAnioNuevo, 0);
  EXPECT_GT(conNueva, 0);
  RecordProperty("muertes_con_carpeta_a_medias", aMedias);
  RecordProperty("muertes_sin_anio_nuevo", sinAnioNuevo);
  RecordProperty("muertes_con_anio_nuevo", conNueva);
  fs::remove_all(limpia);
}

}  // namespace
