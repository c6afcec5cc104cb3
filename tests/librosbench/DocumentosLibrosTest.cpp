// Los documentos generados en los libros de las pruebas de rendimiento se traen al editor y se
// graban tal como están: nada que el editor rechace (terceros donde la cuenta no los admite) y
// las mismas líneas después de grabar.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>

#include "app/DataModule.h"
#include "app/Permisos.h"
#include "common/LibrosBench.h"
#include "ledger/FrmAsientos.h"
#include "platform/db/DBTables.h"
#include "platform/db/Storage.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Headless.h"

namespace {

std::string Lineas(const std::string& tipo, const std::string& numero) {
  sqlite3* db = nullptr;
  std::string ruta = tv::bench::LibrosBench().libros + "/" + tv::db::kDatabaseFileName;
  std::string r;
  if (sqlite3_open_v2(ruta.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return "?";
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT group_concat(l, ';') FROM (SELECT numecuen || '/' || ifnull(cedulanit, '-') || '/' || "
                     "debito || '/' || credito || '/' || fecha AS l FROM MVT WHERE descdocu=?1 AND numedocu=?2 "
                     "ORDER BY 1)",
                     -1, &st, nullptr);
  sqlite3_bind_text(st, 1, tipo.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(st, 2, numero.c_str(), -1, SQLITE_TRANSIENT);
  if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0))
    r = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
  sqlite3_finalize(st);
  sqlite3_close(db);
  return r;
}

TEST(DocumentosLibros, CadaTipoGeneradoSeTraeYSeGrabaTalCual) {
  ASSERT_TRUE(tv::bench::AbrirComoElPrograma());
  Permisos.BGrabar = Permisos.BModificar = Permisos.BBorrar = true;
  auto& ui = tv::bench::Pantalla();
  // Un documento de cada tipo del diario: CE, IN, NC, _OP y CP, en meses distintos.
  for (int d : {0, 6001, 12502, 25003, 49004}) {
    std::string tipo = tv::bench::TipoDocumento(d), numero = tv::bench::NumeroDocumento(d);
    SCOPED_TRACE(tipo + " " + numero);
    std::string antes = Lineas(tipo, numero);
    ASSERT_FALSE(antes.empty());
    std::string fecha = antes.substr(antes.rfind('/') + 1);  // aaaa-mm-dd de la última línea
    int mes = std::stoi(fecha.substr(5, 2));
    auto ed = std::make_unique<TFrmAsientos>(nullptr);
    FrmAsientos = ed.get();
    ed->CBMes->ItemIndex = mes - 1;
    ed->Anio->Text = "2026";
    ed->Show();
    ui.takeMessages();
    ui.now(ed.get())
        .set("CBDocumentos", tipo.c_str())
        .set("EdNumDoc", numero.c_str())
        .set("EdDia", fecha.substr(8, 2).c_str())
        .click("BtnTraerCrear");
    EXPECT_EQ(ui.messageTexts(), "");
    ASSERT_EQ(ed->TblAsiento->GetRecordCount(), 20);
    ui.takeMessages();
    ui.now(ed.get()).click("BtnGrabar");
    auto mensajes = ui.takeMessages();
    ASSERT_FALSE(mensajes.empty());
    EXPECT_EQ(mensajes[0].Text, "Asiento Registrado");
    EXPECT_EQ(Lineas(tipo, numero), antes);
    ed->Hide();
    ed.reset();
    FrmAsientos = nullptr;
  }
}

}  // namespace
