// Borrar, renumerar y renombrar documentos contables enteros.
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "ledger/DocumentosFixture.h"
#include "ledger/FrmBorrarAsiento.h"
#include "ledger/FrmRenombrar.h"
#include "ledger/FrmRenumerar.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/Dialogs.h"
#include "shared/dialogs/Aviso.h"
#include "shared/general/Numeros.h"

namespace {

class Mantenimiento : public ledger::Documentos {
 protected:
  void SetUp() override {
    Documentos::SetUp();
    Linea("CE", "15", "510506", 100, 0, "", "Gasto");
    Linea("CE", "15", "110505", 0, 100, "", "Caja");
    Encabezado("CE", "15", 100);
    Linea("CE", "16", "510506", 7, 0);
    Encabezado("CE", "16", 7);
    Linea("CP", "9", "510506", 5, 0);
    Encabezado("CP", "9", 5);
  }

  template <class T>
  void Usar(T*& global, const char* clase, const std::function<void(tv::forms::Script&)>& guion) {
    auto& s = ui->onModal(clase);
    guion(s);
    s.click("Salir");
    global = new T(nullptr);
    std::unique_ptr<T> f(global);
    f->ShowModal();
  }
  int Lineas(const std::string& tipo, const std::string& num) {
    return Cuenta("select count(*) from mvt where descdocu='" + tipo + "' and numedocu='" + num + "'");
  }
  int Encabezados(const std::string& tipo, const std::string& num) {
    return Cuenta("select count(*) from mvtMaestro where descdocu='" + tipo + "' and numedocu='" + num + "'");
  }
};

TEST_F(Mantenimiento, BorrarPreguntaConEncabezadoYBorraLineasEncabezadoYTrabajo) {
  Sql("insert into asientos (DESCDOCU, NUMEDOCU, NUMECUEN, DEBITO) values ('CE', '15', '510506', 100)");
  Linea("CE", "17", "510506", 3, 0);  // sin encabezado
  // el valor se lee como todo monto: dos decimales y los separadores en uso
  const std::string pregunta = "Realmente desea borrar a CE 15 con un valor de " + std::string(Punto(100.0, 2)) + "?";
  ui->answer(pregunta.c_str(), IDNO);
  ui->answer(pregunta.c_str(), IDYES);
  Usar(FrmBorrarAsiento, "TFrmBorrarAsiento", [](tv::forms::Script& s) {
    s.pick("CBDocumentos", "CE:COMPROBANTE DE EGRESO").set("EdDocumentos", "").click("Aceptar");
    s.set("EdDocumentos", "15").click("Aceptar");  // "No": nada cambia
    s.click("Aceptar");
    s.set("EdDocumentos", "17").click("Aceptar");  // sin encabezado: sin pregunta
    s.set("EdDocumentos", "88").click("Aceptar");
  });
  std::vector<std::string> textos;
  for (auto& m : ui->messages()) textos.push_back(m.Text.c_str());
  EXPECT_EQ(textos, (std::vector<std::string>{"Por favor Ingrese un Numero de Documento",
                                              pregunta,
                                              pregunta,
                                              "Documento Borrado", "Documento Borrado", "Documento no existe."}));
  EXPECT_EQ(ui->messages()[1].Caption, "Advertencia");
  EXPECT_EQ(Lineas("CE", "15"), 0);
  EXPECT_EQ(Encabezados("CE", "15"), 0);
  EXPECT_EQ(Cuenta("select count(*) from asientos"), 0);
  EXPECT_EQ(Lineas("CE", "17"), 0);
  EXPECT_EQ(Lineas("CE", "16"), 1);
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Mantenimiento, BorrarConF1AbreSuAyudaYEstadoConElRaton) {
  std::filesystem::create_directories(dir + "/help");
  std::ofstream(dir + "/help/Asientoborrar.html") << "<html></html>";
  Usar(FrmBorrarAsiento, "TFrmBorrarAsiento", [](tv::forms::Script& s) {
    s.key("EdDocumentos", VK_F1);
    s.run([](TForm& f) {
      auto& b = static_cast<TFrmBorrarAsiento&>(f);
      b.btnAceptar->OnMouseMove(&b, {}, 1, 1);
      EXPECT_EQ(b.StatusBar->SimpleText, "Borrar Asiento");
      b.OnMouseMove(&b, {}, 1, 1);
      EXPECT_EQ(b.StatusBar->SimpleText, "Borrar Asiento: Para obtener ayuda persione F1");
    });
  });
  ASSERT_EQ(ui->launches().size(), 1u);
  EXPECT_NE(ui->launches()[0].target.Pos("Asientoborrar.html"), 0);
}

TEST_F(Mantenimiento, RenumerarValidaYMueveLineasYEncabezado) {
  Usar(FrmRenumerar, "TFrmRenumerar", [](tv::forms::Script& s) {
    s.set("CBDocumentos", "CE:COMPROBANTE DE EGRESO").set("EdOriginal", "").set("EdNuevo", "").click("&Aceptar");
    s.set("EdOriginal", "15").set("EdNuevo", "16").click("&Aceptar");  // el destino existe
    s.set("EdOriginal", "16").set("EdNuevo", "16").click("&Aceptar");  // su propio número: nada cambia
    s.set("EdOriginal", "15").set("EdNuevo", "O'30").click("&Aceptar");
  });
  auto m = ui->messages();
  ASSERT_EQ(m.size(), 4u) << ui->messageTexts().c_str();
  EXPECT_EQ(m[2].Text, "Cambio de número exitoso");
  m.erase(m.begin() + 2);
  EXPECT_EQ(m[0].Text, "Documento  original inexistente\nNúmero original indefinido\nNúmero nuevo indefinido\n");
  EXPECT_EQ(m[0].Caption, "Error");
  EXPECT_EQ(m[1].Text, "Documento destino ya existe\n");
  EXPECT_EQ(m[2].Text, "Cambio de número exitoso");
  EXPECT_EQ(m[2].Caption, "Información");
  EXPECT_EQ(Lineas("CE", "15"), 0);
  EXPECT_EQ(Encabezados("CE", "15"), 0);
  EXPECT_EQ(Lineas("CE", "O''30"), 2);
  EXPECT_EQ(Encabezados("CE", "O''30"), 1);
  EXPECT_EQ(Lineas("CE", "16"), 1);
  EXPECT_EQ(FrmAviso, nullptr);
}

TEST_F(Mantenimiento, RenombrarCambiaSoloEseDocumentoYRechazaDestinos) {
  Linea("CP", "16", "510506", 1, 0);
  Usar(FrmRenombrar, "TFrmRenombrar", [](tv::forms::Script& s) {
    s.set("CBDocOrig", "CE:COMPROBANTE DE EGRESO").set("EdNumOrig", "15").set("CBDocNuevo", "").click("&Aceptar");
    s.set("EdNumOrig", "16").set("CBDocNuevo", "CP:COMPROBANTE DE PAGO").click("&Aceptar");  // CP 16 existe
    s.set("EdNumOrig", "16").set("CBDocNuevo", "CE").click("&Aceptar");  // el mismo tipo
    s.set("EdNumOrig", "15").set("CBDocNuevo", "ZZ").click("&Aceptar");  // tipo que no existe
    s.set("EdNumOrig", "15").set("CBDocNuevo", "CP:COMPROBANTE DE PAGO").click("&Aceptar");
  });
  auto m = ui->messages();
  ASSERT_EQ(m.size(), 5u) << ui->messageTexts().c_str();
  EXPECT_EQ(m[0].Text, "Tipo nuevo indefinido\n");
  EXPECT_EQ(m[1].Text, "Documento destino ya existe\n");
  EXPECT_EQ(m[2].Text, "Cambio de nombre exitoso");
  EXPECT_EQ(m[3].Text, "Tipo nuevo inexistente\n");
  EXPECT_EQ(m[4].Text, "Cambio de nombre exitoso");
  EXPECT_EQ(Lineas("CE", "15"), 0);
  EXPECT_EQ(Encabezados("CE", "15"), 0);
  EXPECT_EQ(Lineas("CP", "15"), 2);
  EXPECT_EQ(Encabezados("CP", "15"), 1);
  EXPECT_EQ(Lineas("CE", "16"), 1);
  EXPECT_EQ(Lineas("CP", "9"), 1);
}

TEST_F(Mantenimiento, UnaFallaEnElEncabezadoDejaLasLineasComoEstaban) {
  Ejecutar(libros,
           "CREATE TRIGGER falla BEFORE UPDATE ON mvtMaestro BEGIN SELECT RAISE(ABORT, 'disco lleno'); END");
  Usar(FrmRenumerar, "TFrmRenumerar", [](tv::forms::Script& s) {
    s.set("CBDocumentos", "CE:COMPROBANTE DE EGRESO").set("EdOriginal", "15").set("EdNuevo", "40").click("&Aceptar");
  });
  ASSERT_EQ(ui->messages().size(), 1u);
  EXPECT_EQ(ui->messages()[0].Kind, MsgKind::Exception);
  EXPECT_EQ(Lineas("CE", "15"), 2);
  EXPECT_EQ(Lineas("CE", "40"), 0);
  EXPECT_EQ(FrmAviso, nullptr);
}

}  // namespace
