#include <memory>

#include "Maestros.h"
#include "app/DataModule.h"
#include "ledger/FrmNuevoTercero.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"

using maestros::Linea;

namespace {

class TercerosTest : public maestros::Maestros {
 protected:
  // Abre el diálogo como lo hacen sus llamadores; devuelve iTercero.
  std::string Abrir(int modif, const std::string& cedula = "") {
    auto* f = new TFrmNuevoTercero(nullptr);
    f->Modif = modif;
    if (!cedula.empty()) f->EdCedula->Text = cedula.c_str();
    f->ShowModal();
    std::string id = AnsiString(f->iTercero).str();
    aceptado = f->Aceptado;
    delete f;
    return id;
  }
  bool Ubicar(const std::string& id) {
    return DM->TblTerceros->Locate("CedulaNIT", Variant(AnsiString(id.c_str())));
  }
  bool aceptado = false;
};

TEST_F(TercerosTest, PersonaSinNombresSeRechazaYElDialogoSigueAbierto) {
  ui->onModal("TFrmNuevoTercero").set("EdCedula", "123").click("&Aceptar").click("&Cancelar");
  EXPECT_EQ(Abrir(0), "");
  EXPECT_FALSE(aceptado);
  ASSERT_EQ(ui->messages().size(), 1u);
  EXPECT_EQ(ui->messages()[0].Text,
            "Debe Corregir \nDigite el primer apellido \nDigite el primer nombre \n");
  EXPECT_EQ(Sql("SELECT count(*) FROM TC WHERE CedulaNIT='123'"), "0");
}

TEST_F(TercerosTest, DocumentoVacioSeRechaza) {
  ui->onModal("TFrmNuevoTercero")
      .set("edApellido1", "PEREZ")
      .set("edNombre1", "ANA")
      .click("&Aceptar")
      .click("&Cancelar");
  EXPECT_EQ(Abrir(0), "");
  EXPECT_EQ(ui->lastMessage(), "Debe Corregir \nDigite el documento de identidad \n");
  EXPECT_EQ(Sql("SELECT count(*) FROM TC"), "1");  // solo "sin tercero"
}

TEST_F(TercerosTest, PersonaNuevaComponeNombreYLlenaVacios) {
  ui->onModal("TFrmNuevoTercero")
      .set("EdCedula", "79111")
      .set("edApellido1", "PEÑA")
      .set("edNombre1", "ANA")
      .set("edIGrado", "")
      .pick("cbDpto", "11,BOGOTA")
      .pick("RGIVA", "Sí")
      .click("&Aceptar");
  EXPECT_EQ(Abrir(0), "79111");
  EXPECT_TRUE(aceptado);
  EXPECT_EQ(Sql("SELECT nombre FROM TC WHERE CedulaNIT='79111'"), "PEÑA  ANA ");
  EXPECT_EQ(Sql("SELECT direccion || telefono || grado || grupo || tipoDocumento || dpto FROM TC "
                "WHERE CedulaNIT='79111'"),
            "nonono0" "1" "11");
  EXPECT_EQ(Sql("SELECT autoretiva FROM TC WHERE CedulaNIT='79111'"), "1");
  EXPECT_EQ(Sql("SELECT autoretret FROM TC WHERE CedulaNIT='79111'"), "0");
  // La tabla queda en la fila nueva.
  EXPECT_EQ(AnsiString(DM->TblTerceros->FieldByName("CedulaNIT")->AsString), "79111");
}

TEST_F(TercerosTest, OrganizacionUsaLaRazonSocial) {
  ui->onModal("TFrmNuevoTercero")
      .set("EdCedula", "900")
      .pick("cbTipoDoc", "10:NIT")
      .set("edRazonSocial", "ACME S.A.")
      .click("&Aceptar");
  EXPECT_EQ(Abrir(0), "900");
  EXPECT_EQ(Sql("SELECT nombre || '|' || tipoDocumento FROM TC WHERE CedulaNIT='900'"), "ACME S.A.|10");
}

TEST_F(TercerosTest, DocumentoExistenteAvisaAlSalirYSeRechazaAlGrabar) {
  Tercero("800", "UNO");
  ui->onModal("TFrmNuevoTercero")
      .set("EdCedula", "800")
      .set("edApellido1", "X")
      .set("edNombre1", "Y")
      .click("&Aceptar")
      .click("&Cancelar");
  EXPECT_EQ(Abrir(0), "");
  ASSERT_EQ(ui->messages().size(), 2u);
  EXPECT_EQ(ui->messages()[0].Text, "Nota: Tercero ya Existe.");
  EXPECT_EQ(ui->messages()[1].Text, "Debe Corregir \nDocumento de identidad ya Existe\n");
  EXPECT_EQ(Sql("SELECT nombre FROM TC WHERE CedulaNIT='800'"), "UNO");
}

TEST_F(TercerosTest, ModificarSinTocarConservaLoGuardado) {
  Ejecutar(libros,
           "INSERT INTO TC (CedulaNIT, tipoDocumento, razonSocial, nombre, dpto, ciudad, "
           "autoretiva, autoretret) VALUES ('900', '10', 'ACME', 'ACME', '11', '001', 1, 1)");
  Agregar({.cuenta = "110505", .fecha = "2026-01-10", .debito = 5, .tercero = "900"});
  Refrescar();
  ASSERT_TRUE(Ubicar("900"));
  ui->onModal("TFrmNuevoTercero").click("&Aceptar");
  EXPECT_EQ(Abrir(1), "900");
  EXPECT_EQ(ui->formsShown().size(), 1u);
  EXPECT_EQ(Sql("SELECT tipoDocumento || dpto || ciudad || autoretiva || autoretret || nombre FROM TC "
                "WHERE CedulaNIT='900'"),
            "1011001" "11ACME");
  EXPECT_EQ(Sql("SELECT count(*) FROM MVT WHERE cedulanit='900'"), "1");
}

TEST_F(TercerosTest, CambioAUnDocumentoLibreMueveMovimientoYPresupuesto) {
  Tercero("O'1", "VIEJO");
  Agregar({.cuenta = "110505", .fecha = "2026-01-10", .debito = 5, .tercero = "O'1"});
  Ejecutar(libros, "INSERT INTO mvtRegPptal (irp, itercero) VALUES (1, 'O''1')");
  Ejecutar(libros, "INSERT INTO mvtOrdenPago (iop, itercero) VALUES (1, 'O''1')");
  ASSERT_TRUE(Ubicar("O'1"));
  ui->onModal("TFrmNuevoTercero")
      .set("EdCedula", "NUEVO")
      .set("edApellido1", "A")
      .set("edNombre1", "B")
      .click("&Aceptar");
  EXPECT_EQ(Abrir(1), "NUEVO");
  EXPECT_EQ(Sql("SELECT count(*) FROM TC WHERE CedulaNIT IN ('O''1', 'NUEVO')"), "1");
  EXPECT_EQ(Sql("SELECT cedulanit FROM MVT"), "NUEVO");
  EXPECT_EQ(Sql("SELECT itercero FROM mvtRegPptal"), "NUEVO");
  EXPECT_EQ(Sql("SELECT itercero FROM mvtOrdenPago"), "NUEVO");
}

TEST_F(TercerosTest, UnionPreguntaYConNoNoEscribeNada) {
  Tercero("A1", "PRIMERO");
  Tercero("B2", "SEGUNDO");
  Agregar({.cuenta = "110505", .fecha = "2026-01-10", .debito = 5, .tercero = "A1"});
  Agregar({.cuenta = "110505", .fecha = "2026-01-11", .debito = 7, .tercero = "B2"});
  Ejecutar(libros, "INSERT INTO mvtOrdenServicio (iOrdenServicio, itercero) VALUES (3, 'A1')");
  ASSERT_TRUE(Ubicar("A1"));
  ui->onModal("TFrmNuevoTercero")
      .set("EdCedula", "B2")
      .set("edApellido1", "UNIDO")
      .set("edNombre1", "N")
      .click("&Aceptar")
      .click("&Aceptar");
  ui->answer("¿Desea unir los dos terceros?", IDNO);
  ui->answer("¿Desea unir los dos terceros?", IDYES);
  EXPECT_EQ(Abrir(1), "B2");
  ASSERT_GE(ui->messages().size(), 2u);
  EXPECT_EQ(ui->messages()[0].Text,
            "Ya existe un tercero con el documento B2. ¿Desea unir los dos terceros?");
  EXPECT_EQ(ui->messages()[0].Caption, "Advertencia");
  EXPECT_EQ(Sql("SELECT count(*) FROM TC WHERE CedulaNIT IN ('A1', 'B2')"), "1");
  EXPECT_EQ(Sql("SELECT nombre FROM TC WHERE CedulaNIT='B2'"), "UNIDO  N ");
  EXPECT_EQ(Sql("SELECT count(*) FROM MVT WHERE cedulanit='B2'"), "2");
  EXPECT_EQ(Sql("SELECT itercero FROM mvtOrdenServicio"), "B2");
}

TEST_F(TercerosTest, UnionRechazadaDejaTodoIgual) {
  Tercero("A1", "PRIMERO");
  Tercero("B2", "SEGUNDO");
  ASSERT_TRUE(Ubicar("A1"));
  ui->onModal("TFrmNuevoTercero")
      .set("EdCedula", "B2")
      .set("edApellido1", "UNIDO")
      .set("edNombre1", "N")
      .click("&Aceptar")
      .click("&Cancelar");
  ui->answer("¿Desea unir", IDNO);
  EXPECT_EQ(Abrir(1), "");
  EXPECT_FALSE(aceptado);
  EXPECT_EQ(Sql("SELECT nombre FROM TC WHERE CedulaNIT='A1'"), "PRIMERO");
  EXPECT_EQ(Sql("SELECT nombre FROM TC WHERE CedulaNIT='B2'"), "SEGUNDO");
}

TEST_F(TercerosTest, SinTerceroConservaSuDocumentoVacio) {
  ASSERT_TRUE(DM->TblTerceros->Locate("nombre", Variant(AnsiString("sin tercero"))));
  bool soloLectura = false;
  ui->onModal("TFrmNuevoTercero")
      .run([&](TForm& f) { soloLectura = static_cast<TFrmNuevoTercero&>(f).EdCedula->ReadOnly; })
      .click("&Cancelar");
  EXPECT_EQ(Abrir(1), "");
  EXPECT_TRUE(soloLectura);
}

TEST_F(TercerosTest, CancelarNoDevuelveDocumento) {
  ui->onModal("TFrmNuevoTercero")
      .set("EdCedula", "55")
      .set("edApellido1", "A")
      .set("edNombre1", "B")
      .click("&Cancelar");
  EXPECT_EQ(Abrir(0, "55"), "");
  EXPECT_EQ(Sql("SELECT count(*) FROM TC WHERE CedulaNIT='55'"), "0");
}

}  // namespace
