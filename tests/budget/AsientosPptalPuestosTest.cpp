// Dos puestos (dos procesos) en el editor de movimientos presupuestales de la misma
// contabilidad: cada uno edita y graba solo sus renglones, y ninguno graba encima de lo que el
// otro grabó después de que él trajo el documento.
#include <memory>
#include <string>

#include "budget/AsientosPptalFixture.h"
#include "budget/CalculosPptal.h"
#include "support/Puestos.h"

namespace {

using prueba::Esperar;
using prueba::LeerTexto;
using prueba::Marcar;

class AsientosPptalPuestos : public presupuesto::EditorPptal {
 protected:
  // Corre los dos puestos de una escena y devuelve sus mensajes finales.
  std::pair<std::string, std::string> Escena(const std::string& escena, const std::string& numero) {
    std::string cita = dir + "/cita-" + escena + numero;
    EXPECT_TRUE(prueba::DosPuestos("PuestoPptal.EditaSuMovimiento", {dir, libros, cita},
                                   {"TV_PPTAL_ESCENA=" + escena, "TV_PPTAL_NUMERO=" + numero}))
        << escena << numero;
    return {LeerTexto(cita + "/mensaje-1"), LeerTexto(cita + "/mensaje-2")};
  }
  std::string Renglones(const std::string& numero, const std::string& tipo) {
    return Leer("SELECT group_concat(icuenta || ':' || CAST(coalesce(ingreso, 0) AS REAL) || '/' || CAST(coalesce(egreso, 0) AS REAL), ',') "
                "FROM (SELECT * FROM mvtPptal WHERE iMvtPptal=" + presupuesto::ayuda::Q(numero) +
                " AND tipoMvtPptal=" + presupuesto::ayuda::Q(tipo) + " ORDER BY icuenta)");
  }
};

}  // namespace

// Un puesto. "mezcla": el 1 trae un documento nuevo y digita sus renglones; el 2, mientras
// tanto, trae otro, digita los suyos y graba; luego graba el 1. "version": los dos traen el mismo
// documento guardado y cambian sus montos; graba el 2 y después el 1. Sin las variables no
// hace nada.
TEST(PuestoPptal, EditaSuMovimiento) {
  auto p = prueba::EstePuesto();
  if (!p) GTEST_SKIP() << "solo como puesto de otra prueba";
  std::string escena = prueba::Variable("TV_PPTAL_ESCENA"), numero = prueba::Variable("TV_PPTAL_NUMERO");
  auto ui = std::make_unique<tv::forms::HeadlessDriver>();
  ASSERT_TRUE(p->AbrirLibros());
  Permisos.BGrabar = Permisos.BModificar = true;
  auto* ed = new TfrmAsientosPptal(nullptr);
  frmAsientosPptal = ed;
  ed->Show();
  auto s = [&] { return ui->now(ed); };
  auto Traer = [&](const char* tipo, const std::string& doc) {
    s().pick("cbTipoMvtPptal", tipo).set("edNumDoc", doc.c_str()).set("edFecha", "15/03/2026").click("Traer o Crear");
  };
  auto Grabar = [&] {
    ui->takeMessages();
    s().click("&Grabar");
    Marcar(p->Mio("mensaje"), ui->messageTexts().str());
  };
  if (escena == "mezcla") {
    if (p->numero == 1) {
      Traer("ADD:Adición", "A" + numero);
      s().editCell("DBGrid1", 0, 0, "1.2.05").editCell("DBGrid1", 1, 0, "I").editCell("DBGrid1", 2, 0, "100");
      s().editCell("DBGrid1", 0, 1, "2.1.1.01").editCell("DBGrid1", 1, 1, "E").editCell("DBGrid1", 3, 1, "100");
      Marcar(p->Archivo("digitado-1"));
      ASSERT_TRUE(Esperar(p->Archivo("mensaje-2")));
      Grabar();
    } else {
      ASSERT_TRUE(Esperar(p->Archivo("digitado-1")));
      Traer("ADD:Adición", "B" + numero);
      s().editCell("DBGrid1", 0, 0, "1.2.10").editCell("DBGrid1", 1, 0, "I").editCell("DBGrid1", 2, 0, "70");
      s().editCell("DBGrid1", 0, 1, "2.1.2.01").editCell("DBGrid1", 1, 1, "E").editCell("DBGrid1", 3, 1, "70");
      Grabar();
    }
  } else if (escena == "traslado") {
    // Los dos sacan los mismos 100 del rubro de origen, cada uno en su documento.
    Traer("TRA:Traslado", "T" + numero + "-" + std::to_string(p->numero));
    std::string origen = "2.8." + numero;
    s().editCell("DBGrid1", 0, 0, origen.c_str()).editCell("DBGrid1", 1, 0, "E").editCell("DBGrid1", 3, 0, "-100");
    s().editCell("DBGrid1", 0, 1, "2.1.2.01").editCell("DBGrid1", 1, 1, "E").editCell("DBGrid1", 3, 1, "100");
    ASSERT_TRUE(p->Encuentro("digitado"));
    Grabar();
  } else {
    // Renglones traídos en orden de tipo y código: el de egreso primero.
    Traer("APR:Apropiación", "V" + numero);
    std::string monto = p->numero == 1 ? "200" : "300";
    s().editCell("DBGrid1", 3, 0, monto.c_str()).editCell("DBGrid1", 2, 1, monto.c_str());
    ASSERT_TRUE(p->Encuentro("traido"));
    if (p->numero == 1) ASSERT_TRUE(Esperar(p->Archivo("mensaje-2")));
    Grabar();
  }
  ed->Hide();
  delete ed;
  admin::CerrarContabilidad();
}

TEST_F(AsientosPptalPuestos, CadaPuestoGrabaSoloSusRenglones) {
  for (int vuelta = 1; vuelta <= 3; ++vuelta) {
    std::string n = std::to_string(vuelta);
    auto [m1, m2] = Escena("mezcla", n);
    EXPECT_EQ(m2, "Asiento Presupuestal Registrado\n") << n;
    EXPECT_EQ(m1, "Asiento Presupuestal Registrado\n") << n;
    EXPECT_EQ(Renglones("B" + n, "ADD"), "1.2.10:70.0/0.0,2.1.2.01:0.0/70.0") << n;
    EXPECT_EQ(Renglones("A" + n, "ADD"), "1.2.05:100.0/0.0,2.1.1.01:0.0/100.0") << n;
  }
}

TEST_F(AsientosPptalPuestos, NoGrabaEncimaDeLoQueOtroGraboDespuesDeTraerlo) {
  for (int vuelta = 1; vuelta <= 3; ++vuelta) {
    std::string n = std::to_string(vuelta);
    Movimiento("V" + n, "APR", "2026-01-02", {{"2.1.1.01", "E", 0, 100}, {"1.2.05", "I", 100, 0}}, "Inicial");
    auto [m1, m2] = Escena("version", n);
    EXPECT_EQ(m2, "Asiento Presupuestal Registrado\n") << n;
    EXPECT_EQ(m1, "Otro usuario grabó este documento después de traerlo. Tráigalo de nuevo para modificarlo.\n")
        << n;
    EXPECT_EQ(Renglones("V" + n, "APR"), "1.2.05:300.0/0.0,2.1.1.01:0.0/300.0") << n;
    EXPECT_EQ(Leer("SELECT count(*) || '|' || version FROM MvtPptalMaestro WHERE iMvtPptal='V" + n + "'"), "1|1");
  }
}

TEST_F(AsientosPptalPuestos, DosTrasladosDeLosMismosFondos) {
  for (int vuelta = 1; vuelta <= 3; ++vuelta) {
    std::string n = std::to_string(vuelta), origen = "2.8." + n;
    Rubro("E", origen);
    Movimiento("F" + n, "APR", "2026-01-02", {{"1.2.05", "I", 100, 0}, {origen, "E", 0, 100}});
    auto [m1, m2] = Escena("traslado", n);
    const std::string exito = "Asiento Presupuestal Registrado\n",
                      rechazo = "No tiene fondos para hacer el traslado. El rubro de donde saca (" + origen +
                                ") solo tiene " + prueba::Mostrado("0.00") + "\n\n";
    EXPECT_TRUE((m1 == exito && m2 == rechazo) || (m2 == exito && m1 == rechazo)) << m1 << " / " << m2;
    EXPECT_EQ(Leer("SELECT count(*) FROM MvtPptalMaestro WHERE tipoMvtPptal='TRA' AND iMvtPptal LIKE 'T" + n +
                   "-%'"),
              "1");
    EXPECT_NEAR(getDisponibilidadRubro(origen.c_str(), "E", nullptr), 0, 1e-9);
  }
}
