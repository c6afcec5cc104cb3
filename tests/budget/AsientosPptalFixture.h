#pragma once
// Editor de movimientos presupuestales abierto sobre una contabilidad nueva con todos los
// permisos; el plan inicial trae los rubros hoja 2.1.1.01, 2.1.2.01, 2.3.2 (egreso) y
// 1.2.05, 1.2.10 (ingreso).
#include <memory>
#include <string>

#include "app/Permisos.h"
#include "budget/FrmAsientosPptal.h"
#include "budget/Presupuesto.h"
#include "platform/forms/Vcl.h"
#include "support/Separadores.h"

namespace presupuesto {

class EditorPptal : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Permisos.BGrabar = Permisos.BModificar = Permisos.BBorrar = true;
    DM->tblPlanPpto->Refresh();
  }
  void TearDown() override {
    if (ed) {
      ed->Hide();
      delete ed;
      ed = nullptr;
    }
    Presupuesto::TearDown();
  }
  TfrmAsientosPptal* Editor() {
    ed = new TfrmAsientosPptal(nullptr);
    frmAsientosPptal = ed;
    ed->Show();
    return ed;
  }
  tv::forms::Script Ed() { return ui->now(ed); }
  // tipo: "APR:Apropiación", "ADD:Adición", "RED:Reducción" o "TRA:Traslado".
  void Traer(const char* tipo, const char* numero, const char* fecha = "15/03/2026") {
    Ed().pick("cbTipoMvtPptal", tipo).set("edNumDoc", numero).set("edFecha", fecha).click("Traer o Crear");
  }
  // Renglón escrito celda por celda; los vacíos no se escriben.
  void Linea(int fila, const char* rubro, const char* tipo, const char* ingreso, const char* egreso) {
    auto s = Ed();
    s.editCell("DBGrid1", 0, fila, rubro).editCell("DBGrid1", 1, fila, tipo);
    // Los montos se dan con "." y se teclean con el separador decimal de la prueba.
    if (*ingreso) s.editCell("DBGrid1", 2, fila, prueba::Tecleado(ingreso).c_str());
    if (*egreso) s.editCell("DBGrid1", 3, fila, prueba::Tecleado(egreso).c_str());
  }
  void Grabar() { Ed().click("&Grabar"); }
  std::string Textos() { return ui->messageTexts().str(); }

  TfrmAsientosPptal* ed = nullptr;
};

}  // namespace presupuesto
