// La cadena completa de un compromiso sobre una instalación nueva, por los formularios como
// la haría el contador: apropiación y adición, certificado de dos rubros, registro, órdenes
// de servicio y de suministro, orden de pago con su asiento y retención, comprobante de
// pago, recaudo, reintegro, los informes y la auditoría.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/DataModule.h"
#include "budget/AsientosPptalFixture.h"
#include "budget/CalculosPptal.h"
#include "budget/FrmArticulos.h"
#include "budget/FrmCertDisp.h"
#include "budget/FrmInformePptal.h"
#include "budget/FrmOrdenSuministro.h"
#include "budget/FrmRegPptal.h"
#include "budget/OrdenesPorPanel.h"
#include "payments/FrmAsientoProgramado.h"
#include "budget/FrmAudPpto.h"
#include "payments/FrmInfPpto.h"
#include "payments/FrmInfPptoTri.h"
#include "payments/FrmOrdenPago.h"
#include "payments/FrmReintegros.h"
#include "payments/FrmSaldosRubros.h"
#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"
#include "platform/forms/DBCtrls.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Grids.h"
#include "platform/forms/StdCtrls.h"
#include "support/Separadores.h"

using presupuesto::EditorPptal;
using namespace presupuesto::ayuda;

namespace {

// Una cifra como la escribe el archivo: sin ceros de sobra.
std::string Cifra(double v) {
  std::ostringstream s;
  s.precision(15);
  s << v;
  return s.str();
}

// Lo que cada rubro debe mostrar al final del camino, calculado a mano:
// certificado 400000 = 300000 (2.1.1.01, 3/4) + 100000 (2.3.2, 1/4); registro 200000;
// orden de pago 100000 con retención del 4 %, comprobante por el neto 96000; reintegro de
// 10000 en 2.3.2; recaudo de 300000 en 1.2.05.
struct Esperado {
  const char* rubro;
  const char* tipo;
  double apropiado, adicionado, definitivo;
  double reservado, comprometido, ordenado, pagado, reintegrado, recaudado;
  double disponible;  // gastos: definitivo - reservado + reintegrado; ingresos: definitivo - recaudado
};
const Esperado kEsperados[] = {
    {"2.1.1.01", "E", 600000, 200000, 800000, 300000, 150000, 75000, 72000, 0, 0, 500000},
    {"2.3.2", "E", 400000, 0, 400000, 100000, 50000, 25000, 24000, 10000, 0, 310000},
    {"1.2.05", "I", 1000000, 200000, 1200000, 0, 0, 0, 0, 0, 300000, 900000},
};

class RutaCompleta : public EditorPptal {
 protected:
  void Refrescar() {
    for (TTable* t : {DM->tblMvtCertDisp, DM->tblPAC, DM->tblMvtRegPptal, DM->tblMvtOrdenPago, DM->TblTerceros,
                      DM->tblAsientosProgCfg, DM->tblAsientosProg, DM->TblPlan, DM->TblMovimiento,
                      DM->tblMvtMaestro, DM->tblMvtOrdenServicio, DM->tblMvtOrdenSumiMaestro, DM->tblArticulos,
                      DM->TblDocumentos, DM->tblReintegros})
      if (t->Active) t->Refresh();
  }
  std::string Mensajes() {
    std::string s;
    for (const auto& m : ui->messages()) s += m.Text.str() + "|";
    ui->takeMessages();
    return s;
  }
  double Col(const std::string& rubro, const std::string& col) {
    return Numero("SELECT " + col + " FROM infPpto WHERE rubro=" + Q(rubro));
  }
  // Un comprobante desde su plantilla: montos por fila de la rejilla.
  void Comprobante(const char* plantilla, const char* fecha, const char* op,
                   std::vector<std::pair<int, const char*>> montos) {
    ui->onModal("TFrmAsientoProgramado")
        .pick("cbAsientosProg", plantilla)
        .set("edFecha", fecha)
        .set("edItercero", "900")
        .set("edDetalle", "Ruta")
        .set("edOP1", op)
        .run([montos](TForm& f) {
          auto* g = static_cast<TFrmAsientoProgramado&>(f).SGAsiento;
          for (auto [fila, monto] : montos) g->UserEditCell(3, fila, monto);
        })
        .click("BtnGrabar")
        .click("BtnSalir");
    std::unique_ptr<TFrmAsientoProgramado> f(new TFrmAsientoProgramado(nullptr));
    FrmAsientoProgramado = f.get();
    f->ShowModal();
  }
};

TEST_F(RutaCompleta, DeLaApropiacionALaAuditoria) {
  // Lo que ningún formulario de la cadena crea: el tercero, las plantillas de la orden de
  // pago, del comprobante de pago y del recaudo, y la regla de retención por servicios.
  Sql("INSERT INTO TC (CedulaNIT, nombre) VALUES ('900', 'Papelería Sur')");
  Sql("DELETE FROM asientosProg");
  Sql("DELETE FROM asientosProgCfg");
  Sql("INSERT INTO asientosProgCfg (iAstoProg, nAstoProg, descDocu, requiereTercero) VALUES "
      "(7, 'Orden de servicios', '_OP', 'S'), (8, 'Pago de órdenes', 'CP', 'S'), (9, 'Recaudo', 'IN', 'S')");
  Sql("INSERT INTO asientosProg (iAstoProg, numeCuen, naturaleza, rubro) VALUES "
      "(7, '511115', 'D', NULL), (7, '240101', 'C', NULL), (7, '243605', 'C', NULL), "
      "(8, '240101', 'D', NULL), (8, '111005', 'C', NULL), "
      "(9, '111006', 'D', NULL), (9, '480201', 'C', '1.2.05')");
  Sql("INSERT INTO retenciones (cuenta, nombre, base, porcentaje, tipo, porcentajeNoDeclara, redondeoPeso, "
      "redondeoMiles) VALUES ('243605', 'Servicios', 50000, 4, 'SER', 6, 0, 0)");
  Refrescar();

  // 1. Apropiación de dos rubros de gasto y uno de ingreso; adición sobre 2.1.1.01.
  Editor();
  Traer("APR:Apropiación", "AP001", "02/01/2026");
  Linea(0, "1.2.05", "I", "1000000", "");
  Linea(1, "2.1.1.01", "E", "", "600000");
  Linea(2, "2.3.2", "E", "", "400000");
  Grabar();
  ASSERT_EQ(Textos(), "Asiento Presupuestal Registrado\n");
  ui->takeMessages();
  Traer("ADD:Adición", "AD001", "20/02/2026");
  Linea(0, "1.2.05", "I", "200000", "");
  Linea(1, "2.1.1.01", "E", "", "200000");
  Grabar();
  ASSERT_EQ(Textos(), "Asiento Presupuestal Registrado\n");
  ui->takeMessages();
  ed->Hide();
  delete ed;
  ed = nullptr;

  // 2. Certificado de 400000 sobre los dos rubros de gasto.
  Refrescar();
  {
    std::unique_ptr<TfrmCertDisp> cd(new TfrmCertDisp(nullptr));
    cd->Show();
    auto C = [&] { return ui->now(cd.get()); };
    for (const char* rubro : {"2.1.1.01", "2.3.2"}) {
      ui->onModal("TFrmBuscTabla").type("EdBusqueda", rubro).click("&Aceptar");
      C().click("btnAddOtroRubro");
    }
    C().set("edFechaExp", "01/02/2026").set("edObjetoGasto", "Dotación").set("edValor", "400000").focus("edVigFisc");
    C().editCell("sgOtrosRubros", 3, 1, "300000").editCell("sgOtrosRubros", 3, 2, "100000").click("&Grabar");
    ASSERT_EQ(ui->lastMessage(), "Certificado de disponibilidad grabado.");
    cd->Close();
  }
  EXPECT_EQ(Leer("SELECT group_concat(rubroPptal || '=' || valor, ',') FROM (SELECT * FROM certDispRubros "
                 "WHERE icd=1 ORDER BY rubroPptal)"),
            "2.1.1.01=300000,2.3.2=100000");

  // 3. Registro de la mitad del certificado para el tercero 900.
  Refrescar();
  {
    std::unique_ptr<TfrmRegPptal> rp(new TfrmRegPptal(nullptr));
    rp->Show();
    auto R = [&] { return ui->now(rp.get()); };
    R().set("edICD", "1").focus("edIregPptal");
    EXPECT_EQ(rp->lblPendientePago->Caption, prueba::Mostrado("400,000.00"));
    R().set("edFechaExp", "05/02/2026").set("edItercero", "900").pick("rgTipo", 2);
    R().set("edValor", "200000").focus("edVigFisc").set("edInv", "0").focus("edVigFisc");
    ui->takeMessages();
    R().click("&Grabar");
    ASSERT_EQ(ui->messages().at(0).Text, "Registro presupuestal adicionado.");
    ui->takeMessages();
    rp->Close();
  }

  // 4. Los artículos por su rejilla; una orden de servicio y una de suministro de dos
  //    renglones cuelgan del registro por su panel de órdenes.
  {
    auto a = std::make_unique<TfrmArticulos>(nullptr);
    a->Show();
    const char* articulos[][2] = {{"P01", "Papel"}, {"T02", "Tinta"}};
    for (auto& art : articulos) {
      a->DBNavigator1->BtnClick(nbInsert);
      ui->now(a.get()).editCell("DBGrid1", 0, 0, art[0]).editCell("DBGrid1", 1, 0, art[1]);
      a->DBNavigator1->BtnClick(nbPost);
    }
  }
  EXPECT_EQ(Leer("SELECT count(*) FROM articulos"), "2");
  Refrescar();
  {
    std::unique_ptr<TfrmRegPptal> rp(new TfrmRegPptal(nullptr));
    rp->Show();
    auto R = [&] { return ui->now(rp.get()); };
    rp->edIregPptal->Text = "";
    R().set("edIregPptal", "1").focus("edFechaExp");
    R().pick("rgTipo", 0);
    presupuesto::PrepararOrdenServicio(*ui);
    R().click("Nueva");
    R().pick("rgTipo", 1);
    presupuesto::PrepararOrdenSuministro(*ui);
    R().click("Nueva");
    rp->Hide();
  }
  EXPECT_EQ(Leer("SELECT irp || ',' || valor || ',' || itercero FROM mvtOrdenServicio"), "1,50000,900");
  EXPECT_EQ(Leer("SELECT irp || ',' || qItems || ',' || valorTotal FROM mvtOrdenSumiMaestro"), "1,2,12000");
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtOrdenSuministro WHERE iOrdenSuministro=1"), "2");

  // 5. Orden de pago por 100000 sobre el registro; la retención la calcula el asistente.
  Refrescar();
  {
    std::unique_ptr<TfrmOrdenPago> op(new TfrmOrdenPago(nullptr));
    frmOrdenPago = op.get();
    op->Show();
    auto O = [&] { return ui->now(op.get()); };
    EXPECT_EQ(op->cbAsientosProg->Text, "7:Orden de servicios");
    O().set("edIRP", "1").focus("edFechaExp");
    EXPECT_EQ(op->lblPendientePagoRP->Caption, prueba::Mostrado("200,000.00"));
    O().set("edFechaExp", "10/04/2026").set("edItercero", "900").set("edValor", "100000");
    O().set("edObjetoGasto", "Mantenimiento de equipos");
    O().editCell("SGAsiento", 3, 1, "100000");
    ui->onModal("TfrmBeforeRteFte").pick("RadioGroup1", "Si").set("edServicios", "100000").click("btnCalcular");
    O().click("btnRteFte");
    EXPECT_EQ(op->SGAsiento->Cells[3][3], "4000");
    O().editCell("SGAsiento", 3, 2, "96000");
    ui->takeMessages();
    O().click("&Grabar");
    ASSERT_EQ(Mensajes(), "Orden de pago grabada.|");
    op->Close();
    frmOrdenPago = nullptr;
  }
  EXPECT_EQ(Leer("SELECT iop || '|' || IRP || '|' || valor || '|' || FechaExped || '|' || itercero FROM "
                 "mvtOrdenPago"),
            "1|1|100000|2026-04-10|900");
  EXPECT_EQ(Leer("SELECT group_concat(numecuen || ':' || coalesce(debito, '') || ':' || coalesce(credito, ''), ',') "
                 "FROM (SELECT * FROM MVT WHERE descdocu='_OP' AND numedocu='1' ORDER BY rowid)"),
            "511115:100000:,240101::96000,243605::4000");

  // 6. Comprobante de pago por el neto, que cancela la orden 1.
  Refrescar();
  Comprobante("8:Pago de órdenes", "20/04/2026", "1", {{1, "96000"}, {2, "96000"}});
  ASSERT_EQ(ui->lastMessage(), "Asiento Registrado") << ui->messageTexts().c_str();
  EXPECT_EQ(Leer("SELECT descdocu || numedocu || '|' || valor || '|' || op1 || '|' || fecha FROM mvtMaestro "
                 "WHERE descdocu='CP'"),
            "CP1|96000|1|2026-04-20");
  EXPECT_TRUE(validaCP_OP("1"));

  // Recaudo del rubro de ingreso por su plantilla con rubro.
  Comprobante("9:Recaudo", "15/04/2026", "", {{1, "300000"}, {2, "300000"}});
  ASSERT_EQ(ui->lastMessage(), "Asiento Registrado") << ui->messageTexts().c_str();
  EXPECT_EQ(Leer("SELECT group_concat(numecuen || ':' || coalesce(rubro, 'nulo'), ',') FROM (SELECT * FROM MVT "
                 "WHERE descdocu='IN' ORDER BY rowid)"),
            "111006:nulo,480201:1.2.05");
  ui->takeMessages();

  // 7. Reintegro de 10000 al rubro 2.3.2.
  Refrescar();
  {
    std::unique_ptr<TfrmReintegros> r(new TfrmReintegros(nullptr));
    r->Show();
    ui->now(r.get())
        .click("btnNuevo")
        .set("edRubro", "2.3.2")
        .set("edValor", "10000")
        .set("edFecha", "25/04/2026")
        .set("Memo1", "Devolución de anticipo")
        .click("btnGrabar");
    ASSERT_EQ(Mensajes(), "");
  }
  EXPECT_EQ(Leer("SELECT rubro || '|' || valor || '|' || fecha FROM reintegros"), "2.3.2|10000|2026-04-25");

  // 8a. Informe completo del segundo trimestre: la cadena anterior cae en "Antes".
  Refrescar();
  std::string csvCompleto = dir + "/completo.csv";
  {
    auto f = std::make_unique<TfrmInfPpto>(nullptr);
    f->Show();
    ui->answerDialog(csvCompleto.c_str());
    ui->now(f.get()).set("edFechaInicial", "01/04/2026").set("edFechaFinal", "30/06/2026").click("btnExportar");
    ASSERT_EQ(Mensajes(), "");
  }
  std::string completo = LeerArchivo(csvCompleto);
  for (const auto& e : kEsperados) {
    SCOPED_TRACE(std::string("completo ") + e.rubro);
    const std::pair<const char*, double> columnas[] = {
        {"apropiado", e.apropiado},       {"adicionado", e.adicionado},  {"Reducido", 0},
        {"apropiadoReal", e.definitivo},  {"cdpAntes", e.reservado},     {"cdpMvt", 0},
        {"cdpHastaFecha", e.reservado},   {"disponibleCDP", e.definitivo - e.reservado},
        {"rpAntes", e.comprometido},      {"rpMvt", 0},                  {"rpHastaFecha", e.comprometido},
        {"odpAntes", 0},                  {"odpMvt", e.ordenado},        {"odpHastaFecha", e.ordenado},
        {"cpAntes", 0},                   {"cpMvt", e.pagado},           {"cpHastaFecha", e.pagado},
    };
    std::string linea = "\n" + std::string(e.rubro) + ";";
    size_t desde = completo.find(linea);
    ASSERT_NE(desde, std::string::npos) << completo;
    for (auto [col, v] : columnas) EXPECT_DOUBLE_EQ(Col(e.rubro, col), v) << col;
    // En el archivo, tras el nombre: las 19 cifras con el traslado en cero.
    std::string esperada = ";" + Cifra(e.apropiado) + ";" + Cifra(e.adicionado) + ";0;0;0;" + Cifra(e.definitivo) +
                           ";" + Cifra(e.reservado) + ";0;" + Cifra(e.reservado) + ";" +
                           Cifra(e.definitivo - e.reservado) + ";" + Cifra(e.comprometido) + ";0;" +
                           Cifra(e.comprometido) + ";0;" + Cifra(e.ordenado) + ";" + Cifra(e.ordenado) + ";0;" +
                           Cifra(e.pagado) + ";" + Cifra(e.pagado);
    std::string fila = completo.substr(desde + 1, completo.find('\n', desde + 1) - desde - 1);
    if (!fila.empty() && fila.back() == '\r') fila.pop_back();
    EXPECT_NE(fila.find(esperada), std::string::npos) << fila << "\n" << esperada;
  }

  // 8b. Informe trimestral del mismo periodo: reintegros y recaudo del trimestre.
  std::string csvTri = dir + "/trimestre.csv";
  {
    auto f = std::make_unique<TfrmInfPptoTri>(nullptr);
    f->Show();
    ui->answerDialog(csvTri.c_str());
    ui->now(f.get()).set("edFechaInicial", "01/04/2026").set("edFechaFinal", "30/06/2026").click("btnExportar");
    ASSERT_EQ(Mensajes(), "");
  }
  std::string trimestre = LeerArchivo(csvTri);
  for (const auto& e : kEsperados) {
    SCOPED_TRACE(std::string("trimestral ") + e.rubro);
    const bool gasto = std::string(e.tipo) == "E";
    double antes = gasto ? e.reservado : 0, mvt = gasto ? 0 : e.recaudado;
    const std::pair<const char*, double> columnas[] = {
        {"apropiadoReal", e.definitivo}, {"cdpAntes", antes},           {"cdpMvt", mvt},
        {"cdpHastaFecha", antes + mvt},  {"reintegros", e.reintegrado}, {"disponibleCDP", e.disponible},
    };
    for (auto [col, v] : columnas) EXPECT_DOUBLE_EQ(Col(e.rubro, col), v) << col;
    std::string cola = ";" + Cifra(e.definitivo) + ";" + Cifra(antes) + ";" + Cifra(mvt) + ";" + Cifra(antes + mvt) +
                       ";" + Cifra(e.reintegrado) + ";" + Cifra(e.disponible);
    size_t desde = trimestre.find("\n" + std::string(e.rubro) + ";");
    ASSERT_NE(desde, std::string::npos) << trimestre;
    std::string fila = trimestre.substr(desde + 1, trimestre.find('\n', desde + 1) - desde - 1);
    EXPECT_NE(fila.find(cola), std::string::npos) << fila << "\n" << cola;
  }

  // 8c. Saldo de rubros: el disponible de cada rubro de gasto.
  std::string csvSaldos = dir + "/saldos.csv";
  {
    auto f = std::make_unique<TfrmSaldosRubros>(nullptr);
    f->Show();
    ui->answerDialog(csvSaldos.c_str());
    ui->now(f.get()).click("BtnAceptar");
    ASSERT_EQ(Mensajes(), "");
  }
  std::string saldos = LeerArchivo(csvSaldos);
  for (const auto& e : kEsperados) {
    if (std::string(e.tipo) != "E") continue;
    SCOPED_TRACE(std::string("saldos ") + e.rubro);
    EXPECT_DOUBLE_EQ(Numero("SELECT disponible FROM saldoRubros WHERE icuenta=" + Q(e.rubro)), e.disponible);
    size_t desde = saldos.find("E;" + std::string(e.rubro) + ";");
    ASSERT_NE(desde, std::string::npos) << saldos;
    std::string fila = saldos.substr(desde, saldos.find('\n', desde) - desde);
    while (!fila.empty() && (fila.back() == '\r' || fila.back() == ';')) fila.pop_back();
    std::string cola = ";" + Cifra(e.disponible);
    EXPECT_EQ(fila.substr(fila.size() - std::min(fila.size(), cola.size())), cola) << fila;
  }
  // Los dos rubros hoja con saldo, y sus cuatro rubros padre con la suma de ellos.
  EXPECT_EQ(Leer("SELECT count(*) FROM saldoRubros WHERE disponible<>0"), "6");

  // 8d. Resumen presupuestal del año, de gastos y de ingresos: lo aprobado y lo ejecutado
  //     de cada rubro (en gastos, la orden pagada repartida según la parte del rubro).
  for (const char* tipo : {"Egreso", "Ingreso"}) {
    auto inf = std::make_unique<TfrmInformePptal>(nullptr);
    inf->Show();
    ui->now(inf.get())
        .set("EdFechaInicio", "01/01/2026")
        .set("EdFechaFinal", "31/12/2026")
        .pick("rgTipoCuentas", tipo)
        .click("BtnAceptar");
    ASSERT_EQ(Mensajes(), "");
    std::map<std::string, std::pair<double, double>> porRubro;
    for (inf->Query1->First(); !inf->Query1->Eof; inf->Query1->Next()) {
      auto& s = porRubro[inf->Query1->FieldByName("rubroPptal")->AsString.str()];
      s.first += inf->Query1->FieldByName("Aprobado")->AsFloat;
      s.second += inf->Query1->FieldByName("ejecutado")->AsFloat;
    }
    std::map<std::string, std::pair<double, double>> esperado;
    for (const auto& e : kEsperados)
      if ((std::string(e.tipo) == "E") == (std::string(tipo) == "Egreso"))
        esperado[e.rubro] = {e.definitivo, std::string(e.tipo) == "E" ? e.ordenado : e.recaudado};
    EXPECT_EQ(porRubro, esperado) << tipo;
  }

  // Las funciones de saldos, solo como contraprueba de lo anterior.
  for (const auto& e : kEsperados) {
    SCOPED_TRACE(std::string("saldos por función ") + e.rubro);
    double pagado = -1;
    EXPECT_DOUBLE_EQ(getDisponibilidadRubro(e.rubro, e.tipo, &pagado), e.disponible);
    if (std::string(e.tipo) != "E") continue;
    EXPECT_DOUBLE_EQ(pagado, e.ordenado);
    EXPECT_DOUBLE_EQ(getSeparadoRubro(e.rubro, "01/01/2026", "31/12/2026"), e.reservado);
    EXPECT_DOUBLE_EQ(getComprometidoRubro(e.rubro, "E", "01/01/2026", "31/12/2026"), e.comprometido);
    EXPECT_DOUBLE_EQ(getSumaCPRubro(e.rubro, TDateTime(0.0), StrToDate("31/12/2026")), e.pagado);
    EXPECT_DOUBLE_EQ(getSumaReintegrosRubro(e.rubro), e.reintegrado);
  }
  EXPECT_DOUBLE_EQ(getPagoPendienteRP(1, false), 100000);
  EXPECT_DOUBLE_EQ(getCompromisoPendiente(1, false), 200000);

  // 9. La auditoría no encuentra nada.
  {
    auto aud = std::make_unique<TfrmAudPpto>(nullptr);
    aud->simularClick();
    EXPECT_EQ(aud->Memo1->Lines->Text().str(), "");
  }
  EXPECT_EQ(ui->unused(), "");
}

}  // namespace
