// Dos puestos (dos procesos) sobre un mismo documento: nunca queda un documento hecho con
// líneas de los dos, y lo que otro cambió después de traerlo no se sobrescribe.
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ledger/AsientosFixture.h"
#include "ledger/FrmCambioMasivoCta.h"
#include "ledger/FrmRenumerar.h"
#include "platform/db/OtherProcess.h"
#include "support/Puestos.h"

using ledger::Asientos;
using prueba::Puesto;

namespace {

// Abre en este proceso, como un puesto más, la instalación y los libros del puesto, con el
// editor sobre marzo de 2026.
TFrmAsientos* AbrirPuesto(const Puesto& p) {
  if (!p.AbrirLibros()) return nullptr;
  Permisos.BGrabar = Permisos.BModificar = true;
  auto* ed = new TFrmAsientos(nullptr);
  FrmAsientos = ed;
  ed->CBMes->ItemIndex = 2;
  ed->Anio->Text = "2026";
  ed->Show();
  return ed;
}

void CerrarPuesto(TFrmAsientos* ed) {
  ed->Hide();
  delete ed;
  admin::CerrarContabilidad();
}

class DosPuestos : public Asientos {};

}  // namespace

// Un puesto: abre la instalación de su padre, trae el documento como nuevo, digita sus dos
// líneas y lo graba cuando el otro puesto también las digitó. Sin las variables no hace nada.
TEST(PuestoDeTrabajo, GrabaSuDocumento) {
  auto p = prueba::EstePuesto();
  if (!p) GTEST_SKIP() << "solo como puesto de otra prueba";
  std::string numero = prueba::Variable("TV_PUESTO_NUMERO");
  auto ui = std::make_unique<tv::forms::HeadlessDriver>();
  TFrmAsientos* ed = AbrirPuesto(*p);
  ASSERT_TRUE(ed);
  auto s = [&] { return ui->now(ed); };
  s().set("CBDocumentos", "CE").set("EdNumDoc", numero.c_str()).set("EdDia", "15").click("BtnTraerCrear");
  ASSERT_TRUE(p->Encuentro("traido"));
  std::string detalle = "puesto " + std::to_string(p->numero);
  s().editCell("DBGrid1", 0, 0, "110501").editCell("DBGrid1", 2, 0, detalle.c_str()).editCell("DBGrid1", 6, 0, "100");
  s().editCell("DBGrid1", 0, 1, "111005").editCell("DBGrid1", 2, 1, detalle.c_str()).editCell("DBGrid1", 7, 1, "100");
  ASSERT_TRUE(p->Encuentro("digitado"));
  ui->takeMessages();
  s().click("BtnGrabar");
  std::string mensaje = ui->lastMessage().str();
  // Quien llega segundo graba las mismas líneas, sin digitarlas otra vez, con el número propuesto.
  if (mensaje != "Asiento Registrado") {
    s().click("BtnGrabar");
    mensaje += "|" + ui->lastMessage().str();
  }
  prueba::Marcar(p->Mio("mensaje"), mensaje);
  CerrarPuesto(ed);
}

// Otro puesto: trae un documento guardado, pone la cuenta 110505 en su primera línea y lo graba.
TEST(PuestoDeTrabajo, CambiaLaCuenta) {
  auto p = prueba::EstePuesto();
  if (!p) GTEST_SKIP() << "solo como puesto de otra prueba";
  auto ui = std::make_unique<tv::forms::HeadlessDriver>();
  TFrmAsientos* ed = AbrirPuesto(*p);
  ASSERT_TRUE(ed);
  auto s = [&] { return ui->now(ed); };
  s().set("CBDocumentos", "CE").set("EdNumDoc", prueba::Variable("TV_PUESTO_NUMERO").c_str()).set("EdDia", "15").click("BtnTraerCrear");
  s().editCell("DBGrid1", 0, 0, "110505");
  ui->takeMessages();
  s().click("BtnGrabar");
  EXPECT_EQ(ui->lastMessage(), "Asiento Registrado");
  CerrarPuesto(ed);
}

TEST_F(DosPuestos, ElMismoDocumentoNuevoNuncaQuedaMezcladoYElSegundoTomaElSiguienteLibre) {
  for (int vuelta = 0; vuelta < 3; ++vuelta) {
    std::string numero = std::to_string(900 + 10 * vuelta), siguiente = std::to_string(901 + 10 * vuelta);
    std::string cita = dir + "/cita" + numero;
    EXPECT_TRUE(prueba::DosPuestos("PuestoDeTrabajo.GrabaSuDocumento", {dir, libros, cita},
                                   {"TV_PUESTO_NUMERO=" + numero}))
        << numero;
    auto donde = [](const std::string& n) { return " FROM MVT WHERE descdocu='CE' AND numedocu='" + n + "'"; };
    // Cada número guarda las dos líneas de un solo puesto, y cada puesto quedó en uno.
    EXPECT_EQ(Mvt("SELECT count(*) || '/' || count(DISTINCT detalle)" + donde(numero)), "2/1") << numero;
    EXPECT_EQ(Mvt("SELECT count(*) || '/' || count(DISTINCT detalle)" + donde(siguiente)), "2/1") << numero;
    EXPECT_EQ(Mvt("SELECT count(*) FROM mvtMaestro WHERE numedocu IN ('" + numero + "', '" + siguiente + "')"), "2");
    std::string m1 = prueba::LeerTexto(cita + "/mensaje-1"), m2 = prueba::LeerTexto(cita + "/mensaje-2");
    std::string ganador = Mvt("SELECT substr(min(detalle), 8)" + donde(numero));
    EXPECT_EQ(Mvt("SELECT substr(min(detalle), 8)" + donde(siguiente)), ganador == "1" ? "2" : "1");
    EXPECT_EQ(ganador == "1" ? m1 : m2, "Asiento Registrado");
    EXPECT_EQ(ganador == "1" ? m2 : m1, "Otro usuario grabó el documento CE " + numero +
                                            " mientras se digitaba este. Grabe de nuevo para guardar estas líneas "
                                            "con el número " + siguiente + ".|Asiento Registrado");
  }
}

// Lo que otro puesto u otro programa cambió en un documento después de traerlo, aunque deje
// las mismas filas, cuentas de líneas y sumas, hace que grabarlo se rehúse y queda guardado.
TEST_F(DosPuestos, LoQueOtroCambioTrasTraerloNoSeSobrescribe) {
  struct Caso {
    const char* nombre;
    std::function<bool(const std::string& numero)> cambio;
    std::string guardado;  // consulta sobre el documento que muestra el cambio del otro
    std::string delOtro;   // lo que esa consulta da tras el cambio
  };
  auto sql = [&](const std::string& texto) { return tv::db::testing::RunSqlInOtherProcess(libros, texto) == 0; };
  std::vector<Caso> casos = {
      {"otro puesto lo graba con otra cuenta",
       [&](const std::string& numero) {
         return prueba::TerminaBien(prueba::ArrancarPuesto("PuestoDeTrabajo.CambiaLaCuenta", {dir, libros},
                                                           {"TV_PUESTO_NUMERO=" + numero}));
       },
       "SELECT group_concat(numecuen) FROM (SELECT numecuen FROM MVT WHERE descdocu='CE' AND numedocu='#' ORDER BY rowid)",
       "110505,111005"},
      {"otro programa cambia las líneas",
       [&](const std::string& numero) {
         return sql("UPDATE MVT SET numecuen='110505' WHERE numecuen='110501' AND numedocu='" + numero + "'");
       },
       "SELECT group_concat(numecuen) FROM (SELECT numecuen FROM MVT WHERE descdocu='CE' AND numedocu='#' ORDER BY rowid)",
       "110505,111005"},
      {"otro programa cambia el encabezado",
       [&](const std::string& numero) {
         return sql("UPDATE mvtMaestro SET detalle='del otro' WHERE descdocu='CE' AND numedocu='" + numero + "'");
       },
       "SELECT detalle FROM mvtMaestro WHERE descdocu='CE' AND numedocu='#'", "del otro"},
      // Escritura masiva: una versión por documento, que también rehúsa lo traído antes.
      {"el cambio masivo de cuenta",
       [&](const std::string&) {
         ui->onModal("TfrmCambioMasivoCta")
             .set("edNumeCuen1", "110501")
             .set("edNumeCuen2", "110505")
             .pick("CBDocumentos", " Todos")
             .click("&Hacer el cambio");
         std::unique_ptr<TfrmCambioMasivoCta> f(frmCambioMasivoCta = new TfrmCambioMasivoCta(nullptr));
         f->ShowModal();
         return ui->lastMessage() == "Cambio realizado";
       },
       "SELECT group_concat(numecuen) FROM (SELECT numecuen FROM MVT WHERE descdocu='CE' AND numedocu='#' ORDER BY rowid)",
       "110505,111005"},
      // Renumerado y vuelto a su número: las mismas filas, pero no el documento traído.
      {"renumerado y vuelto a su número",
       [&](const std::string& numero) {
         for (auto [de, a] : {std::pair{numero, "R" + numero}, std::pair{"R" + numero, numero}}) {
           ui->onModal("TFrmRenumerar")
               .set("CBDocumentos", "CE:COMPROBANTE DE EGRESO")
               .set("EdOriginal", de.c_str())
               .set("EdNuevo", a.c_str())
               .click("&Aceptar")
               .click("Salir");
           std::unique_ptr<TFrmRenumerar> f(FrmRenumerar = new TFrmRenumerar(nullptr));
           f->ShowModal();
           FrmRenumerar = nullptr;
           if (ui->lastMessage() != "Cambio de número exitoso") return false;
         }
         return true;
       },
       "SELECT group_concat(numecuen) FROM (SELECT numecuen FROM MVT WHERE descdocu='CE' AND numedocu='#' ORDER BY rowid)",
       "110501,111005"},
  };
  Ejecutar(libros, "INSERT INTO PL (numecuen, nombcuen, naturaleza) VALUES ('110505', 'CAJA MENOR', 'D')");
  Editor();
  int numero = 70;
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    std::string n = std::to_string(numero++);
    auto consulta = [&](std::string q) { return Mvt(q.replace(q.find('#'), 1, n)); };
    // El documento queda al final del diario: grabado otra vez, SQLite repite sus filas.
    Traer("CE", n.c_str());
    Linea(0, "110501", "", "100", "");
    Linea(1, "111005", "", "", "100");
    Grabar();
    ASSERT_EQ(ui->lastMessage(), "Asiento Registrado");
    std::string filas = consulta("SELECT group_concat(rowid) FROM MVT WHERE numedocu='#'");
    Traer("CE", n.c_str());
    Ed().editCell("DBGrid1", 2, 0, "de este puesto");
    ASSERT_TRUE(caso.cambio(n));
    ASSERT_EQ(consulta(caso.guardado), caso.delOtro);
    ui->takeMessages();
    Grabar();
    EXPECT_EQ(Textos(), "Otro usuario grabó este documento después de traerlo. Tráigalo de nuevo para modificarlo.\n");
    EXPECT_EQ(consulta(caso.guardado), caso.delOtro);
    EXPECT_EQ(consulta("SELECT group_concat(rowid) FROM MVT WHERE numedocu='#'"), filas);
    // Traído de nuevo, sí se graba.
    Traer("CE", n.c_str());
    Ed().editCell("DBGrid1", 2, 0, "de este puesto");
    Grabar();
    EXPECT_EQ(ui->lastMessage(), "Asiento Registrado");
  }
}

// Otro programa graba el número del documento nuevo (y el que le sigue) entre traerlo y
// grabarlo: las líneas digitadas se guardan con el siguiente libre al volver a grabar, también
// sin permiso de modificar, y lo del otro queda como lo dejó.
TEST_F(DosPuestos, ElNumeroTomadoEntreTraerYGrabarPasaAlSiguienteLibre) {
  Permisos.BModificar = false;
  Editor();
  Traer("CE", "40");
  Linea(0, "110501", "", "250.5", "", "mio");
  Linea(1, "111005", "", "", "250.5", "mio");
  for (const char* n : {"40", "41"})
    ASSERT_EQ(tv::db::testing::RunSqlInOtherProcess(
                  libros, std::string("INSERT INTO MVT (numecuen, debito, credito, detalle, descdocu, numedocu, fecha) "
                                      "VALUES ('110501', 9, 9, 'del otro', 'CE', '") + n + "', '2026-03-01'); " +
                              "INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor) VALUES ('CE', '" + n +
                              "', '2026-03-01', 9)"),
              0);
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(),
            "Otro usuario grabó el documento CE 40 mientras se digitaba este. Grabe de nuevo para guardar estas "
            "líneas con el número 42.\n");
  EXPECT_EQ(ed->EdNumDoc->Text, "42");
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(), "Asiento Registrado\n");
  EXPECT_EQ(Mvt("SELECT group_concat(numecuen || ':' || printf('%.2f', debito) || ':' || printf('%.2f', credito) || ':' || detalle, ' ') FROM MVT "
                "WHERE descdocu='CE' AND numedocu='42'"),
            "110501:250.50:0.00:mio 111005:0.00:250.50:mio");
  EXPECT_EQ(Mvt("SELECT printf('%.2f', valor) FROM mvtMaestro WHERE descdocu='CE' AND numedocu='42'"), "250.50");
  for (const char* n : {"40", "41"})
    EXPECT_EQ(Mvt(std::string("SELECT group_concat(detalle) || '/' || (SELECT printf('%.2f', valor) FROM mvtMaestro WHERE "
                              "descdocu='CE' AND numedocu='") + n + "') FROM MVT WHERE descdocu='CE' AND numedocu='" + n + "'"),
              "del otro/9.00")
        << n;
}

// Otro proceso que corre SQL sobre los libros (el cliente sqlite3 de cualquiera).
TEST(OtherProcess, RunSql) { tv::db::testing::RunSqlWhenAsked(); }
