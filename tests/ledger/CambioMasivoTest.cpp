// Cambio masivo de una cuenta en el movimiento: validación, sustitución con y sin comodín,
// por tipo de documento, y la vista previa sobre la copia del movimiento.
#include <memory>
#include <string>

#include "ledger/DocumentosFixture.h"
#include "ledger/FrmCambioMasivoCta.h"
#include "platform/forms/DBGrids.h"

namespace {

class CambioMasivo : public ledger::Documentos {
 protected:
  void SetUp() override {
    Documentos::SetUp();
    Lineas();
  }
  void Lineas() {
    Linea("CE", "1", "110505", 0, 10);
    Linea("CE", "1", "111005", 10, 0);
    Linea("IN", "1", "110505", 5, 0);
    Linea("IN", "1", "1105", 0, 5);
    Linea("NC", "1", "0361010", 1, 0);
    Linea("NC", "1", "2205", 0, 1);
  }
  void Usar(const std::function<void(tv::forms::Script&)>& guion, bool hacer = false) {
    auto& s = ui->onModal("TfrmCambioMasivoCta");
    guion(s);
    s.click(hacer ? "&Hacer el cambio" : "&Salir");
    frmCambioMasivoCta = new TfrmCambioMasivoCta(nullptr);
    std::unique_ptr<TfrmCambioMasivoCta> f(frmCambioMasivoCta);
    f->ShowModal();
  }
  std::string Cuentas(const std::string& tabla) {
    std::string r;
    TQuery q(nullptr);
    HagaSQL("Contabilidad", &q, "select descdocu, numecuen from " + tabla + " order by rowid");
    for (q.First(); !q.Eof; q.Next())
      r += std::string(q.FieldByName("descdocu")->AsString().str()) + ":" + q.FieldByName("numecuen")->AsString().str() + " ";
    return r;
  }
  static constexpr const char* kAntes = "CE:110505 CE:111005 IN:110505 IN:1105 NC:0361010 NC:2205 ";
};

TEST_F(CambioMasivo, ValidacionJuntaUnaLineaPorReglaYNoCambiaNada) {
  const std::string patronMal = "El patrón de cuenta a cambiar debe ser XXXX... o XXXX...%\n";
  struct Caso {
    const char* patron;
    const char* nuevo;
    std::string mensaje;
  };
  for (const Caso& c : {
           Caso{"", "", "La cuenta(s) que desea cambiar está vacío.\nEl código de cuenta nuevo está vacío.\n"
                        "El código de cuenta nuevo debe tener solo dígitos.\n"},
           Caso{"11%", "12A", "El código de cuenta nuevo debe tener solo dígitos.\n"},
           Caso{"1%05", "12", patronMal},
           Caso{"1a%b", "12", patronMal + patronMal + "El comodín % en el patrón de cuenta a cambiar debe ir al final\n"},
           Caso{"11a", "12", "El comodín % en el patrón de cuenta a cambiar debe ir al final\n"},
           Caso{"%", "12", patronMal},
           Caso{"11%", "1234567890123456789", "El código de cuenta nuevo no puede tener más de 18 dígitos.\n"},
       }) {
    Usar([&](tv::forms::Script& s) {
      s.set("edNumeCuen1", c.patron).set("edNumeCuen2", c.nuevo).click("Ver resultados sin hacer el cambio");
    });
    auto m = ui->takeMessages();
    ASSERT_EQ(m.size(), 1u) << c.patron;
    EXPECT_EQ(m[0].Text, c.mensaje) << c.patron << " / " << c.nuevo;
    EXPECT_EQ(Cuentas("mvt"), kAntes);
  }
  EXPECT_FALSE(tv::db::TableExists("Contabilidad", "copiaMvt"));
}

TEST_F(CambioMasivo, ComodinSuperponeElCodigoYSinComodinLoIgualaExacto) {
  struct Caso {
    const char* patron;
    const char* nuevo;
    const char* tipo;
    const char* despues;
  };
  for (const Caso& c : {
           Caso{"11%", "12", " Todos", "CE:120505 CE:121005 IN:120505 IN:1205 NC:0361010 NC:2205 "},
           Caso{"1105", "12", " Todos", "CE:110505 CE:111005 IN:110505 IN:12 NC:0361010 NC:2205 "},
           Caso{"036%", "0371", " Todos", "CE:110505 CE:111005 IN:110505 IN:1105 NC:0371010 NC:2205 "},
           Caso{"1105%", "1110", "CE:COMPROBANTE DE EGRESO",
                "CE:111005 CE:111005 IN:110505 IN:1105 NC:0361010 NC:2205 "},
       }) {
    Sql("delete from mvt");
    Lineas();
    Usar([&](tv::forms::Script& s) {
      s.set("edNumeCuen1", c.patron).set("edNumeCuen2", c.nuevo).pick("CBDocumentos", c.tipo);
    }, true);
    EXPECT_EQ(ui->lastMessage(), "Cambio realizado");
    EXPECT_EQ(Cuentas("mvt"), c.despues) << c.patron;
  }
}

TEST_F(CambioMasivo, VistaPreviaCambiaSoloLaCopiaYLaMuestra) {
  Usar([&](tv::forms::Script& s) {
    s.run([](TForm& f) {
      // Al abrir, la grilla muestra todo el movimiento.
      EXPECT_EQ(static_cast<TfrmCambioMasivoCta&>(f).DBGrid1->DisplayRowCount(), 6);
    });
    s.set("edNumeCuen1", "11%").set("edNumeCuen2", "12").click("Ver resultados sin hacer el cambio");
    s.run([](TForm& f) {
      auto& c = static_cast<TfrmCambioMasivoCta&>(f);
      EXPECT_EQ(c.nameTblTarget, "copiaMvt.db");
      EXPECT_EQ(c.DBGrid1->DisplayRowCount(), 4);  // las líneas que quedaron con "12"
    });
    // Una segunda vista previa parte de nuevo del movimiento.
    s.set("edNumeCuen1", "0%").set("edNumeCuen2", "9").click("Ver resultados sin hacer el cambio");
  });
  EXPECT_EQ(ui->messageTexts(), "");
  EXPECT_EQ(Cuentas("mvt"), kAntes);
  EXPECT_EQ(Cuentas("copiaMvt"), "CE:110505 CE:111005 IN:110505 IN:1105 NC:9361010 NC:2205 ");
}

}  // namespace
