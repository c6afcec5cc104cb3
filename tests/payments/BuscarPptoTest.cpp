// Búsqueda presupuestal: fecha, número y texto en cada tabla; el texto se busca tal cual.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "budget/Presupuesto.h"
#include "payments/FrmBuscarPpto.h"
#include "platform/db/DBTables.h"
#include "platform/forms/DBCtrls.h"

using presupuesto::Presupuesto;
using namespace presupuesto::ayuda;

namespace {

class BuscarPpto : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Certificado(1, "2008-03-12", 15, "2.1.15");
    Certificado(2, "2008-03-13", 20, "2.2");
    Certificado(3, "2008-04-01", 30, "2.3");
    Certificado(4, "2008-04-02", 40, "2.4");
    Sql("UPDATE mvtCertDisp SET objetoGasto='Compra de papel' WHERE icd=1");
    Sql("UPDATE mvtCertDisp SET objetoGasto='Pago 12.5% O''Neil', fechaVenc='2008-03-12' WHERE icd=2");
    Sql("UPDATE mvtCertDisp SET objetoGasto='delete x', func=15 WHERE icd=3");
    Sql("UPDATE mvtCertDisp SET objetoGasto='Pago 1235 de otros' WHERE icd=4");
    Registro(7, 1, "2008-03-12", 100);
    Registro(8, 2, "2008-05-01", 100);
    Sql("UPDATE mvtRegPptal SET itercero='800' WHERE irp=8");
    OrdenServicio(1, 7);
    OrdenServicio(2, 8);
    Sql("UPDATE mvtOrdenServicio SET descServicio='ASEO GENERAL', itercero='' WHERE iOrdenServicio=1");
    Sql("UPDATE mvtOrdenServicio SET descServicio='aseo menor', itercero='' WHERE iOrdenServicio=2");
    OrdenSuministro(5, 8);
    Sql("UPDATE mvtOrdenSumiMaestro SET detalle='TONER', itercero='' WHERE iOrdenSuministro=5");
    f.reset(new TfrmBuscarPpto(nullptr));
    f->Show();
  }
  // Primera columna de cada fila hallada, separadas por coma.
  std::string Buscar(const char* texto, int tabla) {
    ui->now(f.get()).set("edTexto", texto).pick("RG", tabla).click("BitBtn1");
    std::string r;
    for (f->Query1->First(); !f->Query1->Eof; f->Query1->Next())
      r += (r.empty() ? "" : ",") + f->Query1->Fields[0]->AsString.str();
    return r;
  }
  std::unique_ptr<TfrmBuscarPpto> f;
};

TEST_F(BuscarPpto, CadaTablaPorFechaNumeroYTexto) {
  struct Caso {
    const char* texto;
    int tabla;
    const char* hallados;
  };
  const Caso casos[] = {
      {"15", 0, "1,3"},            // valor 15, func 15 y rubro que contiene 15
      {"12/03/2008", 0, "1,2"},    // expedido o vencido ese día
      {"12.5", 0, "2"},            // no es número: solo texto, con el punto tal cual
      {"", 0, "1,2,3,4"},          // texto vacío: todas las filas con texto
      {"papel", 0, "1"},           // el objeto se compara en mayúsculas
      {"o'neil", 0, "2"},          // una comilla no rompe la consulta
      {"12.5%", 0, "2"},           // "%" se busca literal
      {"1_35", 0, ""},             // "_" también
      {"delete ", 0, "3"},         // se lista, no se ejecuta
      {"12/03/2008", 1, "7"},
      {"2", 1, "8"},               // icd 2
      {"800", 1, "8"},
      {"aseo", 2, "1"},            // minúscula: solo la descripción en mayúsculas
      {"8", 2, "2"},               // irp
      {"toner", 3, "5"},
  };
  for (const auto& c : casos) EXPECT_EQ(Buscar(c.texto, c.tabla), c.hallados) << c.texto << " en " << c.tabla;
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtCertDisp"), "4");
}

TEST_F(BuscarPpto, LaNotaSigueALasOrdenes) {
  Buscar("aseo", 2);
  EXPECT_EQ(f->DBMemo1->DataField, AnsiString("DescServicio"));
  Buscar("toner", 3);
  EXPECT_EQ(f->DBMemo1->DataField, AnsiString("detalle"));
  Buscar("15", 0);
  EXPECT_EQ(f->DBMemo1->DataField, AnsiString(""));
}

}  // namespace
