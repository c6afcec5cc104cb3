// Las rejillas que muestran campos de las tablas los titulan en español y muestran los montos
// como los lee una persona, nunca el nombre del campo tal cual.
#include <memory>
#include <string>

#include "app/DataModule.h"
#include "budget/FrmExplAsientosPptal.h"
#include "budget/FrmExplOrdenServ.h"
#include "budget/FrmInformePptal.h"
#include "budget/Presupuesto.h"
#include "ledger/FrmTablas.h"
#include "platform/db/DBTables.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Grids.h"
#include "platform/forms/Vcl.h"
#include "shared/dialogs/BuscTabla.h"
#include "support/Separadores.h"

namespace {

// Un nombre de campo tal cual: empieza en minúscula o lleva una mayúscula tras una minúscula
// ("numero", "esIngreso", "ExigeMvtPptal").
bool Crudo(const std::string& t) {
  if (t.empty() || (t[0] >= 'a' && t[0] <= 'z')) return true;
  for (size_t i = 1; i < t.size(); ++i)
    if (t[i] >= 'A' && t[i] <= 'Z' && t[i - 1] >= 'a' && t[i - 1] <= 'z') return true;
  return false;
}

std::string Crudos(TDBGrid* g) {
  std::string r;
  for (TColumn* c : g->DisplayColumns())
    if (Crudo(c->DisplayTitle().str())) r += (r.empty() ? "" : ",") + c->DisplayTitle().str();
  return r;
}

class TitulosRejillas : public presupuesto::Presupuesto {};

}  // namespace

TEST_F(TitulosRejillas, ComprobantesExploradoresYResumen) {
  Movimiento("1", "APR", "2026-01-05", {{"2.1.1.01", "E", 0, 1000}, {"1.2.05", "I", 1000, 0}}, "Apropiacion");
  Sql("INSERT INTO TC (cedulaNit, nombre) VALUES ('800', 'Proveedor Uno')");
  Sql("INSERT INTO mvtOrdenServicio (iOrdenServicio, Fecha, itercero, descServicio, irp, valor) VALUES "
      "(4, '2026-03-01', '800', 'Aseo', 7, 1500)");
  for (TTable* t : {DM->TblDocumentos, DM->tblMvtPptalMaestro}) t->Refresh();
  {
    TFrmTablas f(nullptr);
    f.Tabla = Documentos;
    f.Show();
    EXPECT_EQ(Crudos(f.DS), "") << "Comprobantes";
    f.Hide();
  }
  {
    // El explorador se abre sobre la tabla del módulo de datos tal como otra ventana la dejó.
    DM->tblMvtPptalMaestro->Close();
    DM->tblMvtPptalMaestro->Open();
    TfrmExplAsientosPptal f(nullptr);
    f.Show();
    EXPECT_EQ(Crudos(f.DBGrid1), "") << "explorador de movimientos";
    f.Hide();
  }
  {
    frmExplOrdenServ = new TfrmExplOrdenServ(nullptr);
    std::unique_ptr<TfrmExplOrdenServ> f(frmExplOrdenServ);
    f->Show();
    ui->now(f.get()).set("EdFechaInicio", "01/03/2026").set("EdFechaFinal", "31/03/2026").click("btnMostrar");
    EXPECT_EQ(Crudos(f->DBGrid1), "") << "explorador de órdenes de servicio";
    f->Hide();
    frmExplOrdenServ = nullptr;
  }
  {
    frmInformePptal = new TfrmInformePptal(nullptr);
    std::unique_ptr<TfrmInformePptal> f(frmInformePptal);
    f->Show();
    ui->now(f.get()).pick("rgTipoCuentas", "Egreso").set("EdFechaInicio", "01/01/2026").set("EdFechaFinal", "31/12/2026")
        .click("BtnAceptar");
    ASSERT_TRUE(f->Query1->Active);
    EXPECT_EQ(Crudos(f->DBGrid1), "") << "resumen";
    f->Hide();
    frmInformePptal = nullptr;
  }
}

// La tira de abajo de la búsqueda de certificados: títulos en español y montos agrupados.
TEST_F(TitulosRejillas, TiraDeLaBusquedaDeCertificados) {
  Certificado(7, "2026-02-01", 1234567.5, "2.1.1.01");
  Sql("UPDATE mvtCertDisp SET objetoGasto='Papel', fechaVenc='2026-12-31'");
  TTable t(nullptr);
  t.DatabaseName = "Contabilidad";
  t.TableName = "mvtCertDisp";
  t.Open();
  TDataSource ds(nullptr);
  ds.DataSet = &t;
  std::string titulos, valor;
  ui->onModal("TFrmBuscTabla").run([&](TForm& f) {
    auto* g = static_cast<TFrmBuscTabla&>(f).StringGrid1;
    for (int c = 0; c < g->ColCount; ++c) {
      std::string titulo = g->Cells[c][0].str();
      if (Crudo(titulo)) titulos += (titulos.empty() ? "" : ",") + titulo;
      if (titulo == "Valor") valor = g->Cells[c][1].str();
    }
  }).close();
  FrmBuscTabla = new TFrmBuscTabla(nullptr, &ds, "Número", "Fecha", "icd", "fechaExped", true, "");
  std::unique_ptr<TFrmBuscTabla> dialogo(FrmBuscTabla);
  FrmBuscTabla->ShowModal();
  FrmBuscTabla = nullptr;
  EXPECT_EQ(titulos, "");
  EXPECT_EQ(valor, prueba::Mostrado("1,234,567.50"));
  EXPECT_EQ(ui->unused(), "");
}
