#include <string>

#include "app/Permisos.h"
#include "app/Sesion.h"
#include "budget/FrmRegPptal.h"
#include "budget/ConFormulario.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Vcl.h"
#include "support/Separadores.h"

namespace {

using presupuesto::Presupuesto;
using namespace presupuesto::ayuda;

// Certificado 1 de 1000 (15/02/2026) sobre dos rubros y el tercero 900.
class RegPptal : public presupuesto::ConFormulario<TfrmRegPptal> {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Permisos.BGrabar = Permisos.BModificar = Permisos.BBorrar = true;
    Certificado(1, "2026-02-15", 1000, "", {{"2.1.1.01", 600}, {"2.1.2.01", 400}});
    Sql("UPDATE mvtCertDisp SET objetoGasto='Papel y tinta' WHERE icd=1");
    Sql("INSERT INTO TC (CedulaNIT, nombre) VALUES ('900', 'Papelería Sur')");
  }
  TfrmRegPptal* Abrir() {
    return AbrirFormulario({DM->tblMvtRegPptal, DM->tblMvtCertDisp, DM->TblTerceros, DM->tblMvtOrdenServicio,
                            DM->tblMvtOrdenSumiMaestro},
                           &frmRegPptal);
  }
  void Certificado1() { F().set("edICD", "1").focus("edIregPptal"); }
  void NumeroRP(const char* n) {
    f->edIregPptal->Text = "";
    F().set("edIregPptal", n).focus("edFechaExp");
  }
  void Monto(TMaskEdit* e, const char* v) {
    e->Text = "";
    if (*v) F().set(e->Name, prueba::Tecleado(v).c_str()).focus("edVigFisc");
  }
  // Registro válido del certificado 1, sin orden.
  void Llenar(const char* valor, const char* fecha = "20/02/2026") {
    Certificado1();
    F().set("edFechaExp", fecha).set("edItercero", "900").pick("rgTipo", 2);
    f->edFunc->Text = "";
    Monto(f->edValor, valor);
    Monto(f->edInv, "0");
  }
};

TEST_F(RegPptal, InicioYPasoDelCertificado) {
  Registro(4, 1, "2026-02-20", 300);
  Abrir();
  EXPECT_EQ(f->edIregPptal->Text, "5");
  EXPECT_EQ(f->Color, static_cast<TColor>(10143652));
  EXPECT_EQ(f->edFechaVenc->Text, "31/12/2026");
  EXPECT_EQ(f->edVigFisc->Text, "2026");
  EXPECT_TRUE(f->Panel2->Visible);
  EXPECT_FALSE(f->Panel1->Visible);
  objetoGasto = "Objeto anterior";
  Certificado1();
  EXPECT_EQ(f->Label9->Caption, "15/02/2026");
  EXPECT_EQ(f->Label10->Caption, "Papel y tinta");
  EXPECT_EQ(f->lblRubroPptal->Caption, "2.1.1.01, 2.1.2.01");
  EXPECT_EQ(f->lblPendientePago->Caption, prueba::Mostrado("700.00"));
  EXPECT_EQ(f->edObjetoGasto->Text, "Objeto anterior");
  Monto(f->edValor, "800");
  EXPECT_EQ(f->lblPendientePago->Caption, "Valor excede lo disponible");
  EXPECT_EQ(f->edFunc->Text, "800");
  f->edICD->Text = "";
  F().set("edICD", "77").focus("edIregPptal");
  EXPECT_EQ(f->Label23->Caption, "CDP Inexistente");
  EXPECT_EQ(f->Label9->Caption + f->lblPendientePago->Caption, "");
  // Un número de certificado que no es número no llega al texto SQL.
  f->edICD->Text = "";
  F().set("edICD", "1 or 1=1").focus("edIregPptal");
  EXPECT_EQ(ui->messages().back().Kind, MsgKind::Exception);
}

// Cerrar pregunta antes de descartar lo digitado sin grabar: "No" deja la ventana con lo
// digitado. Recién abierto, cargado o grabado se cierra sin preguntar.
TEST_F(RegPptal, CerrarConDatosSinGrabarPregunta) {
  Registro(1, 1, "2026-02-20", 600);
  Sql("UPDATE mvtRegPptal SET itercero='900', func=valor, inv=0, vigFiscal='2026', fechaVenc='2026-12-31'");
  Abrir();
  auto cerrar = [&] {
    ui->takeMessages();
    f->Close();
    std::string t = ui->messageTexts().str();
    bool abierta = f->Showing();
    if (!abierta) f->Show();
    return t + (abierta ? "(abierta)" : "(cerrada)");
  };
  EXPECT_EQ(cerrar(), "(cerrada)");
  NumeroRP("1");
  ASSERT_FALSE(f->nuevo);
  EXPECT_EQ(cerrar(), "(cerrada)");
  F().set("edDocAsociado", "Contrato 12");
  const char* pregunta = "Los datos del registro presupuestal 1 no se han grabado. ¿Los descarta?";
  ui->answer(pregunta, IDNO);
  EXPECT_EQ(cerrar(), std::string(pregunta) + "\n(abierta)");
  EXPECT_EQ(ui->messages().at(0).Caption, "Advertencia");
  EXPECT_EQ(f->edDocAsociado->Text, "Contrato 12");
  ui->answer(pregunta, IDYES);
  EXPECT_EQ(cerrar(), std::string(pregunta) + "\n(cerrada)");
  NumeroRP("7");
  Llenar("300");
  Grabar();
  ASSERT_EQ(ui->messages().at(0).Text, "Registro presupuestal adicionado.");
  EXPECT_EQ(cerrar(), "(cerrada)");
}

TEST_F(RegPptal, MensajesDeValidacion) {
  Abrir();
  f->edIregPptal->Text = "";
  for (TCustomEdit* e : std::initializer_list<TCustomEdit*>{f->edFechaExp, f->edFechaVenc, f->edInv, f->edVigFisc})
    e->Text = "";
  Grabar();
  ASSERT_EQ(ui->messages().size(), 1u);
  EXPECT_EQ(ui->messages()[0].Caption, "Error");
  EXPECT_EQ(ui->lastMessage(),
            "Digite el número del registro presupuestal.\n"
            "Digite el número del certificado de disponibilidad.\n"
            "Digite la fecha de expedición.\n"
            "Digite la fecha de vencimiento.\n"
            "Digite el valor.\n"
            "Digite el valor correspondiente al gasto de funcionamiento.\n"
            "La orden de servicios no puede ser cero ni dejarse en blanco.\n"
            "Digite el valor correspondiente al gasto de inversión.\n"
            "Digite el valor correspondiente a la vigencia fiscal.\n"
            "Tercero inexistente.\n");

  struct Caso {
    const char *valor, *func, *inv, *fecha;
    int tipo;
    const char *orden, *mensaje;
  };
  OrdenServicio(3, 0);
  const Caso casos[] = {
      {"1000", "600", "300", "20/02/2026", 2, "", "El valor del gasto no corresponde a la suma de la inversión  mas funcionamiento.\n"},
      {"1000.01", "1000.01", "0", "20/02/2026", 2, "", "Este certificado no tiene dinero para ser comprometido."},
      {"1000", "600", "400", "14/02/2026", 2, "", "La fecha no puede ser menor que la del certificado de disponibilidad.\n"},
      {"100", "100", "0", "20/02/2026", 0, "4", "Orden de servicio inexistente\n"},
      {"100", "100", "0", "20/02/2026", 1, "0", "La orden de suministro no puede ser cero ni dejarse en blanco.\n"},
      {"0.3", "0.1", "0.2", "15/02/2026", 0, "3", ""},
  };
  for (const Caso& c : casos) {
    NumeroRP("9");
    Certificado1();
    F().set("edFechaVenc", "31/12/2026").set("edVigFisc", "2026").set("edItercero", "900");
    f->edFechaExp->Text = c.fecha;
    F().pick("rgTipo", c.tipo);
    if (c.tipo != 2) {
      f->edIorden->Text = c.orden;
    }
    Monto(f->edValor, c.valor);
    Monto(f->edFunc, c.func);
    Monto(f->edInv, c.inv);
    Grabar();
    if (*c.mensaje) {
      EXPECT_EQ(ui->lastMessage(), c.mensaje) << c.valor;
      EXPECT_EQ(Leer("SELECT count(*) FROM mvtRegPptal"), "0");
    } else {
      EXPECT_EQ(ui->messages().at(0).Text, "Registro presupuestal adicionado.");
      EXPECT_EQ(Leer("SELECT irp FROM mvtOrdenServicio WHERE iOrdenServicio=3"), "9");
    }
  }
}

TEST_F(RegPptal, GrabaNuevoYPasaAlSiguiente) {
  Registro(8, 1, "2026-02-20", 100);
  Abrir();
  NumeroRP("7");
  Llenar("500");
  F().set("edDocAsociado", "Contrato 12");
  Grabar();
  ASSERT_EQ(ui->messages().at(0).Text, "Registro presupuestal adicionado.");
  EXPECT_EQ(ui->messages()[0].Caption, "Tallivar");
  EXPECT_EQ(Leer("SELECT irp || '|' || ICD || '|' || FechaExped || '|' || itercero || '|' || valor || '|' || func || "
                 "'|' || inv || '|' || docAsociado FROM mvtRegPptal WHERE irp=7"),
            "7|1|2026-02-20|900|500|500|0|Contrato 12");
  // El 8 existe: se carga como guardado.
  EXPECT_EQ(f->edIregPptal->Text, "8");
  EXPECT_FALSE(f->nuevo);
  EXPECT_EQ(f->Color, clBtnFace);
  EXPECT_EQ(f->edValor->Text, "100");
  EXPECT_EQ(f->rgTipo->ItemIndex, 2);
  EXPECT_TRUE(f->Panel1->Visible);
}

// Número entero y positivo, valor mayor que 0 y fecha del año abierto: cada regla nombra su
// campo y nada se graba.
TEST_F(RegPptal, NumeroEnteroValorPositivoYFechaDelAnio) {
  Abrir();
  const char* entero = "El número del registro presupuestal debe ser un entero mayor que 0.\n";
  struct Caso {
    const char *numero, *valor, *fecha, *mensaje;
  } casos[] = {
      {"-5", "100", "20/02/2026", entero},
      {"0", "100", "20/02/2026", entero},
      {"1,5", "100", "20/02/2026", entero},
      {"1234567890123456", "100", "20/02/2026", "El número del registro presupuestal no puede tener más de 15 cifras.\n"},
      {"7", "-5", "20/02/2026", "El valor debe ser mayor que 0.\n"},
      {"7", "0", "20/02/2026", "El valor debe ser mayor que 0.\n"},
      {"7", "100", "20/12/2025", "La fecha de expedición debe estar en el año 2026.\n"},
  };
  for (const auto& c : casos) {
    Llenar(c.valor, c.fecha);
    f->edIregPptal->Text = c.numero;
    Grabar();
    ASSERT_EQ(ui->messages().size(), 1u) << c.numero << " " << ui->messageTexts().c_str();
    EXPECT_EQ(ui->messages()[0].Caption, "Error");
    EXPECT_NE(ui->lastMessage().Pos(c.mensaje), 0) << c.mensaje << " / " << ui->lastMessage().c_str();
    EXPECT_EQ(Leer("SELECT count(*) FROM mvtRegPptal"), "0");
  }
}

// Un registro llenado como nuevo con el número de uno guardado no lo reescribe: se rechaza y
// se propone el siguiente libre.
TEST_F(RegPptal, NumeroGuardadoEnUnoNuevoSeRechaza) {
  Registro(20260001, 1, "2026-02-16", 100);
  Abrir();
  Llenar("500");
  f->edIregPptal->Text = "20260001";
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "El registro presupuestal 20260001 ya existe. Se propone el número 20260002.");
  EXPECT_EQ(f->edIregPptal->Text, "20260002");
  EXPECT_EQ(Leer("SELECT group_concat(irp || '=' || valor) FROM mvtRegPptal"), "20260001=100");
}

// Llenado como nuevo con el número de uno guardado escrito al final y Enter: se carga el
// guardado, como al salir del campo, y nada se reescribe.
TEST_F(RegPptal, EnterConElNumeroDeUnoGuardadoLoCargaSinReescribirlo) {
  Registro(20260001, 1, "2026-02-16", 100);
  Abrir();
  Llenar("500");
  ui->takeMessages();
  F().focus("edIregPptal").set("edIregPptal", "20260001").keys("Enter");
  EXPECT_EQ(ui->messageTexts(), "");
  EXPECT_FALSE(f->nuevo);
  EXPECT_EQ(f->edValor->Text, "100");
  EXPECT_EQ(Leer("SELECT group_concat(irp || '=' || valor) FROM mvtRegPptal"), "20260001=100");
}

// Otro puesto graba el número propuesto antes del "Grabar": aviso, número siguiente y
// nada escrito; con el número nuevo se graba.
TEST_F(RegPptal, NumeroTomadoPorOtroPuestoProponeElSiguiente) {
  Abrir();
  ASSERT_EQ(f->edIregPptal->Text, "1");
  Llenar("500");
  tv::db::Connection(tv::db::FolderOf(libros.c_str()))
      .Exec("INSERT INTO mvtRegPptal (irp, ICD, FechaExped, valor, itercero) VALUES (1, 1, '2026-02-16', 100, '900')");
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "El registro presupuestal 1 ya fue grabado por otro usuario. Se propone el número 2.");
  EXPECT_EQ(f->edIregPptal->Text, "2");
  EXPECT_TRUE(f->nuevo);
  EXPECT_EQ(Leer("SELECT group_concat(irp || '=' || valor) FROM mvtRegPptal"), "1=100");
  Grabar();
  ASSERT_EQ(ui->messages().at(0).Text, "Registro presupuestal adicionado.");
  EXPECT_EQ(Leer("SELECT group_concat(irp || '=' || valor) FROM (SELECT * FROM mvtRegPptal ORDER BY irp)"),
            "1=100,2=500");
}

TEST_F(RegPptal, ModificarSinPasarseDelCertificado) {
  Registro(1, 1, "2026-02-20", 600);
  Registro(2, 1, "2026-02-20", 400);
  Sql("UPDATE mvtRegPptal SET itercero='900', func=valor, inv=0, vigFiscal='2026', fechaVenc='2026-12-31'");
  Abrir();
  F().set("edICD", "5");
  NumeroRP("1");
  EXPECT_EQ(ui->messages().at(0).Text,
            "Observe que va a cambiar el número del certificado. Este registro pertenece a él.");
  EXPECT_EQ(ui->messages()[0].Caption, "Advertencia");
  EXPECT_EQ(f->edICD->Text, "1");
  EXPECT_EQ(f->edValor->Text, "600");
  EXPECT_EQ(f->lblPendientePago->Caption, prueba::Mostrado("0.00"));
  // El mismo valor pasa; subirlo no, porque el certificado ya no tiene.
  Grabar();
  EXPECT_EQ(ui->messages().at(0).Text, "Registro presupuestal MODIFICADO.");
  NumeroRP("1");
  Monto(f->edValor, "600.01");
  Monto(f->edFunc, "600.01");
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "Este certificado no tiene dinero para ser comprometido.");
  Monto(f->edValor, "550");
  Monto(f->edFunc, "550");
  Grabar();
  EXPECT_EQ(ui->messages().at(0).Text, "Registro presupuestal MODIFICADO.");
  EXPECT_EQ(Leer("SELECT valor FROM mvtRegPptal WHERE irp=1"), "550");
}

TEST_F(RegPptal, CambiarDeOrdenSueltaLaAnterior) {
  Registro(1, 1, "2026-02-20", 600);
  Sql("UPDATE mvtRegPptal SET itercero='900', func=valor, inv=0, vigFiscal='2026', fechaVenc='2026-12-31'");
  OrdenServicio(3, 1);
  OrdenSuministro(4, 0);
  Abrir();
  NumeroRP("1");
  EXPECT_EQ(f->rgTipo->ItemIndex, 0);
  EXPECT_EQ(f->edIorden->Text, "3");
  EXPECT_EQ(f->Label15->Caption, "01/03/2026");
  F().pick("rgTipo", 1);
  f->edIorden->Text = "4";
  Grabar();
  EXPECT_EQ(ui->messages().at(0).Text, "Registro presupuestal MODIFICADO.");
  EXPECT_EQ(Leer("SELECT coalesce(irp, 'nulo') FROM mvtOrdenServicio WHERE iOrdenServicio=3"), "nulo");
  EXPECT_EQ(Leer("SELECT irp FROM mvtOrdenSumiMaestro WHERE iOrdenSuministro=4"), "1");
  // Varias órdenes de suministro: la clase sin número.
  OrdenSuministro(5, 1);
  DM->tblMvtOrdenSumiMaestro->Refresh();
  NumeroRP("1");
  EXPECT_EQ(f->rgTipo->ItemIndex, 1);
  EXPECT_EQ(f->edIorden->Text, "");
  EXPECT_EQ(f->ordenOriginal, 0);
}

// Un error propio del programa al abrir la orden sale en una caja "Error" con su texto y el
// registro sigue abierto.
TEST_F(RegPptal, ErrorPropioAlModificarLaOrdenSaleEnCajaError) {
  Registro(1, 1, "2026-02-20", 600);
  OrdenSuministro(4, 1);
  Sql("INSERT INTO mvtOrdenSuministro (iOrdenSuministro, iArticulo, cantidad, valorUnit) VALUES (4, 'A1', 1, 1e30)");
  Abrir();
  NumeroRP("1");
  F().pick("rgTipo", 1);
  f->edIorden->Text = "4";
  ui->takeMessages();
  ui->onModal("TfrmOrdenSuministro").click("Salir");
  F().click("btnModOrd");
  ASSERT_FALSE(ui->messages().empty());
  EXPECT_EQ(ui->messages().back().Text, "Funcion round(): parámetro 'valor' muy grande.");
  EXPECT_EQ(ui->messages().back().Caption, "Error");
  EXPECT_EQ(ui->messages().back().Icon, MsgIcon::Error);
  EXPECT_TRUE(f->Visible);
}

TEST_F(RegPptal, BotonesDeOrdenAunNoDisponibles) {
  Registro(3, 1, "2026-02-20", 100);
  Abrir();
  f->edIregPptal->Text = "";
  F().click("Nueva");
  EXPECT_EQ(ui->lastMessage(), "Llame primero el número del registro presupuestal al cual pertenece la orden.");
  NumeroRP("3");
  F().pick("rgTipo", 0).set("edIorden", "12a").click("Modificar");
  EXPECT_EQ(ui->lastMessage(), "Las órdenes de servicio o suministro deben ser numéricas.");
  ui->onModal("TfrmOrdenSuministro").click("&Salir");
  F().pick("rgTipo", 1).click("Nueva");
  EXPECT_EQ(ui->unused(), "");
  F().pick("rgTipo", 2);
  EXPECT_FALSE(f->Panel2->Visible);
  EXPECT_TRUE(f->Panel1->Visible);
}

TEST_F(RegPptal, TerceroNuevoSoloSiSeGraba) {
  Abrir();
  F().set("edItercero", "900");
  ui->onModal("TFrmNuevoTercero").click("&Cancelar");
  F().click("btnNuevTerc");
  EXPECT_EQ(f->edItercero->Text, "900");
  ui->onModal("TFrmNuevoTercero").set("EdCedula", "700").set("edApellido1", "ROJAS").set("edNombre1", "LUZ").click(
      "&Aceptar");
  F().click("btnNuevTerc");
  EXPECT_EQ(f->edItercero->Text, "700");
  EXPECT_EQ(f->lblNTercero->Caption, Tercero("700").getNtercero());
  EXPECT_FALSE(AnsiString(f->lblNTercero->Caption).IsEmpty());
  EXPECT_EQ(Leer("SELECT count(*) FROM TC WHERE CedulaNIT='700'"), "1");
}

}  // namespace

namespace {

// Un certificado de ocho cifras llega exacto: su pendiente se muestra y el registro se graba
// sobre él, no sobre el número redondeado.
TEST_F(RegPptal, CertificadoDeOchoCifrasQuedaExacto) {
  Certificado(20260001, "2026-02-15", 1000, "", {{"2.1.1.01", 1000}});
  Certificado(20260000, "2026-02-15", 50, "", {{"2.1.1.01", 50}});
  Abrir();
  NumeroRP("20260001");
  F().set("edICD", "20260001").focus("edIregPptal");
  EXPECT_EQ(f->lblPendientePago->Caption, prueba::Mostrado("1,000.00"));
  F().set("edFechaExp", "20/02/2026").set("edItercero", "900").pick("rgTipo", 2);
  f->edFunc->Text = "";
  Monto(f->edValor, "300.10");
  Monto(f->edInv, "0");
  EXPECT_EQ(f->lblPendientePago->Caption, prueba::Mostrado("699.90"));
  Grabar();
  ASSERT_EQ(ui->messages().at(0).Text, "Registro presupuestal adicionado.");
  EXPECT_EQ(Leer("SELECT ICD || '|' || valor FROM mvtRegPptal WHERE irp=20260001"), "20260001|300.1");
}

// Un registro que otro grabó después de traerlo no se graba encima; traído de nuevo, sí.
TEST_F(RegPptal, GrabadoPorOtroDespuesDeTraerloSeRechaza) {
  Registro(1, 1, "2026-02-20", 600);
  Sql("UPDATE mvtRegPptal SET itercero='900', func=valor, inv=0, vigFiscal='2026', fechaVenc='2026-12-31'");
  Abrir();
  NumeroRP("1");
  Sql("UPDATE mvtRegPptal SET objetoGasto='otro puesto' WHERE irp=1");
  Monto(f->edValor, "500");
  Monto(f->edFunc, "500");
  Grabar();
  ASSERT_EQ(ui->messages().size(), 1u);
  EXPECT_EQ(ui->lastMessage(), "Otro usuario grabó este documento después de traerlo. Tráigalo de nuevo para "
                               "modificarlo.");
  EXPECT_EQ(Leer("SELECT valor FROM mvtRegPptal WHERE irp=1"), "600");
  NumeroRP("1");
  Monto(f->edValor, "500");
  Monto(f->edFunc, "500");
  Grabar();
  EXPECT_EQ(ui->messages().at(0).Text, "Registro presupuestal MODIFICADO.");
  EXPECT_EQ(Leer("SELECT valor FROM mvtRegPptal WHERE irp=1"), "500");
}

}  // namespace
