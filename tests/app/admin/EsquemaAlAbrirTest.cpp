// Una contabilidad hecha por una versión anterior se pone al día cuando el módulo de datos
// la abre, y sigue funcionando.
#include "support/Instalacion.h"

#include "app/Sesion.h"

namespace admin {
namespace {

using EsquemaAlAbrir = Instalacion;

TEST_F(EsquemaAlAbrir, LaContabilidadAnteriorGanaSusIndicesYColumnas) {
  DM->CloseTablas();
  Ejecutar(libros, "drop index MVT_Cuenta");
  Ejecutar(libros, "alter table mvtMaestro drop column tipoAsiento");
  Ejecutar(libros, "insert into MVT (numecuen, debito, descdocu, numedocu) values ('110505', 5, 'CE', '1')");
  DM->InitTablas(PathCont);
  ASSERT_TRUE(DM->TablasAbiertas()) << ui->messageTexts().c_str();
  EXPECT_EQ(Valor(libros, "select count(*) from sqlite_master where type='index' and name='MVT_Cuenta'"), "1");
  EXPECT_EQ(Valor(libros, "select count(*) from pragma_table_info('mvtMaestro') where name='tipoAsiento'"), "1");
  DM->tblMvtMaestro->Append();
  DM->tblMvtMaestro->FieldByName("descdocu")->AsString = "CE";
  DM->tblMvtMaestro->FieldByName("numedocu")->AsString = "1";
  DM->tblMvtMaestro->FieldByName("tipoAsiento")->AsString = "P";
  DM->tblMvtMaestro->Post();
  EXPECT_EQ(Valor(libros, "select tipoAsiento from mvtMaestro where numedocu='1'"), "P");
  EXPECT_EQ(Valor(libros, "select sum(debito) from MVT"), "5");
}

}  // namespace
}  // namespace admin
