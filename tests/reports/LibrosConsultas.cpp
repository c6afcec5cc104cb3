#include "reports/LibrosConsultas.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/forms/DBGrids.h"
#include "platform/forms/Mask.h"
#include "platform/report/Render.h"
#include "platform/report/ReportUi.h"

namespace consultas {

namespace {
std::string Txt(const std::string& v) {
  if (v.empty()) return "NULL";
  std::string r = "'";
  for (char c : v) r += c == '\'' ? std::string("''") : std::string(1, c);
  return r + "'";
}
std::string Num(const std::string& v) { return v.empty() ? "NULL" : v; }
}  // namespace

void LibrosConsultas::SetUp() {
  admin::Instalacion::SetUp();
  Ejecutar(libros, "DELETE FROM MVT");
  Ejecutar(libros, "DELETE FROM mvtMaestro");
  Ejecutar(libros, "DELETE FROM PL");
  Ejecutar(libros, "DELETE FROM TC WHERE CedulaNIT IS NOT NULL");
  Ejecutar(libros,
           "INSERT INTO PL (numecuen, nombcuen) VALUES ('11','Disponible'),('1105','Caja'),"
           "('110505','Caja general'),('11050501','Caja principal'),('11050502','Caja menor'),"
           "('2408','Impuesto a las ventas'),('240801','IVA generado'),('2436','Retención en la fuente'),"
           "('243605','Retención servicios'),('2410','Otra cuenta'),('5105','Gastos de personal'),"
           "('510506','Sueldos')");
  Ejecutar(libros,
           "INSERT INTO TC (CedulaNIT, nombre, digitoVerificacion, tipoDocumento, apellido1, nombre1, "
           "razonSocial, direccion, ciudad, dpto) VALUES "
           "('800','Ñandú Ltda','7','31',NULL,NULL,'Ñandú Ltda','Calle 1','001','05'),"
           "('900','Nube S.A.','3','31',NULL,NULL,'Nube S.A.','Carrera 2','001','05'),"
           "('100','Pérez Ana','','13','Pérez','Ana',NULL,'Calle 3','002','11')");
  Ejecutar(libros, "UPDATE ConfigContab SET IEmpresa='Colegio Prueba', NIT='890.1'");
  DM->TblPlan->Refresh();
  DM->TblTerceros->Refresh();
}

void LibrosConsultas::Agregar(const std::vector<Linea>& lineas) {
  for (const auto& l : lineas)
    Ejecutar(libros,
             "INSERT INTO MVT (numecuen, cedulanit, fecha, debito, credito, descdocu, numedocu, "
             "desccomp, numecomp, detalle) VALUES (" +
                 Txt(l.cuenta) + "," + Txt(l.tercero) + "," + Txt(l.fecha) + "," + Num(l.debito) + "," +
                 Num(l.credito) + "," + Txt(l.doc) + "," + Txt(l.numero) + "," + Txt(l.sop) + "," +
                 Txt(l.numSop) + "," + Txt(l.detalle) + ")");
}

void LibrosConsultas::Encabezado(const std::string& doc, const std::string& numero,
                                 const std::string& fecha, const std::string& descuadre) {
  Ejecutar(libros, "INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor, qitems, descuadre) VALUES (" +
                       Txt(doc) + "," + Txt(numero) + "," + Txt(fecha) + ",0,0," + descuadre + ")");
}

std::vector<std::vector<std::string>> LibrosConsultas::Filas(TDBGrid* grid) {
  std::vector<std::vector<std::string>> r;
  int cols = static_cast<int>(grid->DisplayColumns().size());
  for (int f = 0; f < grid->DisplayRowCount(); ++f) {
    std::vector<std::string> fila;
    for (int c = 0; c < cols; ++c) fila.push_back(grid->DisplayText(c, f).str());
    r.push_back(fila);
  }
  return r;
}

std::string LibrosConsultas::Columna(TDBGrid* grid, int col) {
  std::string r;
  for (int f = 0; f < grid->DisplayRowCount(); ++f) {
    if (f) r += "|";
    r += grid->DisplayText(col, f).str();
  }
  return r;
}

std::string LibrosConsultas::Pintada(TDBGrid* grid, int col) {
  std::string r;
  for (int f = 0; f < grid->DisplayRowCount(); ++f) {
    if (f) r += "|";
    r += grid->PaintCell(col, f)->LastText().str();
  }
  return r;
}

std::string LibrosConsultas::TextoInforme() {
  auto* last = tv::report::HeadlessUi().Last();
  if (!last) return std::string();
  // Con TV_REPORTS_PDF cada informe leído queda también en PDF para mirarlo.
  if (const char* carpeta = std::getenv("TV_REPORTS_PDF")) {
    static int n = 0;
    std::string nombre = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    tv::report::SavePdf(last->report, std::string(carpeta) + "/" + nombre + "_" + std::to_string(++n) + ".pdf");
  }
  return tv::report::DumpText(last->report);
}

int LibrosConsultas::PaginasInforme() {
  auto* last = tv::report::HeadlessUi().Last();
  return last ? last->report.PageCount() : 0;
}

void LibrosConsultas::Periodo(TForm& f, const char* desde, const char* hasta) {
  ui->now(&f).set("EdFechaInicio", desde).set("EdFechaFinal", hasta);
}

}  // namespace consultas
