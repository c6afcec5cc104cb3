// Búsqueda de líneas por soporte, detalle (sin distinguir mayúsculas, también en español) y valor.
#include <memory>
#include <string>

#include "ledger/DocumentosFixture.h"
#include "ledger/FrmBuscar.h"

namespace {

class Buscar : public ledger::Documentos {
 protected:
  void SetUp() override {
    Documentos::SetUp();
    auto linea = [&](const char* soporte, const char* detalle, double d, double c) {
      Sql("insert into mvt (descdocu, numedocu, numecuen, numecomp, detalle, debito, credito) values ('NC','1','110505'," +
          std::string(TextoSQL(soporte).c_str()) + "," + TextoSQL(detalle).c_str() + "," + NumeroSQL(d).c_str() + "," +
          NumeroSQL(c).c_str() + ")");
    };
    linea("F-100", "PAGO de servicios", 1500, 0);
    linea("F-101", "Pago parcial", 0, 1500);
    linea("R-7", "pago total", 1500.5, 0);
    linea("", "Pagó la peña", 10, 0);
    linea("X%1", "100% cumplido", 20, 0);
    linea("X_2", "UPDATE mvt set debito=0", 30, 0);
    linea("O'1", "delete  from Mvt de O'Neil", 40, 0);
  }
  // Filas de cada búsqueda, en orden; -1 cuando no se buscó.
  std::vector<int> Buscando(const std::vector<std::pair<const char*, std::string>>& busquedas) {
    std::vector<int> filas;
    auto& s = ui->onModal("TfrmBuscar");
    for (auto& [modo, texto] : busquedas) {
      s.pick("RG", modo).set("edTexto", texto.c_str()).run([&filas](TForm& f) {
        auto& b = static_cast<TfrmBuscar&>(f);
        b.Query1->Close();
      });
      s.click("&Aceptar").run([&filas](TForm& f) {
        auto& b = static_cast<TfrmBuscar&>(f);
        filas.push_back(b.Query1->Active ? b.Query1->RecordCount : -1);
      });
    }
    s.click("&Cancelar");
    frmBuscar = new TfrmBuscar(nullptr);
    std::unique_ptr<TfrmBuscar> f(frmBuscar);
    f->ShowModal();
    return filas;
  }
};

TEST_F(Buscar, PorSoporteDetalleYValor) {
  auto filas = Buscando({{"Número de soporte", "F-10"},
                         {"Número de soporte", ""},
                         {"Número de soporte", "%"},
                         {"Número de soporte", "_"},
                         {"Número de soporte", "o'1"},
                         {"Número de soporte", "O'1"},
                         {"Detalle", "pago"},
                         {"Detalle", ""},
                         {"Detalle", "PEÑA"},
                         {"Detalle", "update "},
                         {"Detalle", "DELETE "},
                         {"Detalle", "o'neil"},
                         {"Débito o Crédito", "1500"},
                         {"Débito o Crédito", "1500.50"},
                         {"Débito o Crédito", "1.500"},
                         {"Débito o Crédito", ""}});
  EXPECT_EQ(filas, (std::vector<int>{2, 7, 1, 1, 0, 1, 3, 7, 1, 1, 1, 1, 2, -1, -1, -1}));
  auto m = ui->messages();
  ASSERT_EQ(m.size(), 3u);
  for (auto& x : m) {
    EXPECT_EQ(x.Text, "Debe digitar un valor numérico");
    EXPECT_EQ(x.Caption, "Error");
  }
  // Buscar nunca cambia el movimiento.
  EXPECT_EQ(Libros("select count(*) from mvt where debito=30"), "1");
  EXPECT_EQ(Libros("select count(*) from mvt"), "7");
}

}  // namespace
