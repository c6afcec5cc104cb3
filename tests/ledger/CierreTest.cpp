// Cierre del año: "CCA" en el año cerrado, contabilidad del año siguiente con "CSI" y paso
// del usuario a ella; repetible, y sin medio documento ni media carpeta cuando algo falla.
#include <filesystem>
#include <fstream>
#include <string>

#include "app/Contabilidades.h"
#include "app/Sesion.h"
#include "ledger/DocumentosFixture.h"
#include "ledger/FrmCierreAnio.h"
#include "platform/forms/Dialogs.h"
#include "shared/dialogs/Aviso.h"
#include "platform/os/Files.h"

namespace fs = std::filesystem;

namespace {

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
  void Cerrar(const std::string& cuenta = "311001") {
    ui->onModal("TFrmCierreAnio").set("edCtaUtilidad", cuenta).click("&Proceder");
    FrmCierreAnio = new TFrmCierreAnio(nullptr);
    std::unique_ptr<TFrmCierreAnio> f(FrmCierreAnio);
    if (NContabilidad == "Ejemplo") {
      EXPECT_EQ(f->NewPath, nuevo.c_str());
    }
    f->ShowModal();
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
  Cerrar();
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

TEST_F(Cierre, RechazosAntesDeEscribir) {
  Movimiento();
  Cerrar("999999");
  NContabilidad = "../Ejemplo";
  Cerrar();
  NContabilidad = "Ejemplo";
  std::ofstream(nuevo) << "no es carpeta";
  Cerrar();
  fs::remove(nuevo);
  fs::create_directories(nuevo);  // carpeta sin contabilidad
  Cerrar();
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

TEST_F(Cierre, UnaFallaNoDejaMedioDocumentoNiMediaCarpetaYRepetirCompleta) {
  Movimiento();
  // Falla en el encabezado de "CCA": nada del cierre queda.
  Ejecutar(libros, "CREATE TRIGGER falla BEFORE INSERT ON mvtMaestro WHEN NEW.descdocu='CCA' "
                   "BEGIN SELECT RAISE(ABORT, 'disco lleno'); END");
  Cerrar();
  EXPECT_EQ(Valor(libros, "select count(*) from mvt where descdocu='CCA'"), "0");
  EXPECT_EQ(Valor(libros, "select count(*) from dg where codidocu='CCA'"), "0");
  EXPECT_FALSE(fs::exists(nuevo));
  // Falla en el encabezado de "CSI" del año nuevo (el disparador viaja con la copia).
  Ejecutar(libros, "DROP TRIGGER falla");
  Ejecutar(libros, "CREATE TRIGGER falla BEFORE INSERT ON mvtMaestro WHEN NEW.descdocu='CSI' "
                   "BEGIN SELECT RAISE(ABORT, 'disco lleno'); END");
  Cerrar();
  EXPECT_FALSE(fs::exists(nuevo));
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

}  // namespace
