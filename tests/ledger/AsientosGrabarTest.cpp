// Traer o crear un documento y grabarlo en MVT y mvtMaestro.
#include "ledger/AsientosFixture.h"
#include "platform/forms/DBGrids.h"

using ledger::Asientos;

namespace {

class Guardar : public Asientos {
 protected:
  // Documento CE 100 de dos líneas, balanceado.
  void DosLineas(const char* debito = "1500.25", const char* credito = "1500.25") {
    Editor();
    Traer("CE", "100");
    Linea(0, "110501", "", debito, "", "Caja");
    Linea(1, "111005", "", "", credito, "Banco");
  }
};

}  // namespace

TEST_F(Guardar, DocumentoNuevoQuedaEnMovimientoYEncabezado) {
  DosLineas();
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(), "Asiento Registrado\n");
  EXPECT_EQ(Mvt("SELECT group_concat(numecuen || '/' || ifnull(cedulanit,'-') || '/' || debito || '/' || credito "
                "|| '/' || fecha || '/' || detalle, ';') FROM (SELECT * FROM MVT WHERE descdocu='CE' AND "
                "numedocu='100' ORDER BY rowid)"),
            "110501/-/1500.25/0/2026-03-15/Caja;111005/-/0/1500.25/2026-03-15/Banco");
  EXPECT_EQ(Mvt("SELECT fecha || '/' || valor || '/' || qitems || '/' || descuadre || '/' || iusuario FROM "
                "mvtMaestro WHERE descdocu='CE' AND numedocu='100'"),
            "2026-03-15/1500.25/2/0/gestordelibro");
  // Siguiente número propuesto, tabla de trabajo vacía y ningún documento en mano.
  EXPECT_EQ(ed->EdNumDoc->Text.get(), "101");
  EXPECT_TRUE(ed->TblAsiento->Active);
  EXPECT_TRUE(ed->TblAsiento->IsEmpty());
  EXPECT_TRUE(ed->DBGrid1->Enabled);
  Linea(0, "110501", "", "5", "");
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(), "Debe completar información para poder grabar.\n");
  EXPECT_EQ(Mvt("SELECT count(*) FROM MVT"), "2");
}

TEST_F(Guardar, SinTraerPideCompletarYSinLineasNoHayInformacion) {
  Editor();
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "Debe completar información para poder grabar.");
  Traer("CE", "1");
  // Una línea con cuenta y montos en cero se descarta antes de validar.
  Linea(0, "110501", "", "0", "0");
  ui->takeMessages();
  Grabar();
  EXPECT_EQ(Textos(), "No hay información para grabar.\n");
}

TEST_F(Guardar, ResumenDeValidacionYRedondeo) {
  struct Caso {
    const char *debito, *credito, *mensaje;
  };
  for (Caso c : {Caso{"100.004", "100.001", "Asiento Registrado"},
                 Caso{"100.00", "99.99",
                      "\n Saldos desiguales 100.00 vs 99.99\n Para grabar debe añadir un asiento ficticio "
                      "que cuadre el documento."},
                 Caso{"99.996", "100.004", "Asiento Registrado"}}) {
    DosLineas(c.debito, c.credito);
    ui->takeMessages();
    Grabar();
    EXPECT_EQ(ui->lastMessage(), c.mensaje) << c.debito;
    ed->Hide();
    delete ed;
    ed = nullptr;
    Ejecutar(libros, "DELETE FROM MVT");
    Ejecutar(libros, "DELETE FROM mvtMaestro");
  }
}
