#pragma once
// Las órdenes que un usuario cuelga de un registro por su panel: la ventana modal que abre
// "Nueva" queda preparada aquí y la prueba pulsa el botón y revisa lo que quiera.
#include <utility>

#include "budget/FrmOrdenSuministro.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Headless.h"

namespace presupuesto {

// Orden de servicio 1 del 06/02/2026 para el tercero 900 por 50000.
inline void PrepararOrdenServicio(tv::forms::HeadlessDriver& ui) {
  ui.onModal("TfrmOrdenServicios")
      .set("edIordenServicio", "1")
      .set("edFecha", "06/02/2026")
      .set("edItercero", "900")
      .set("edValor", "50000")
      .set("Memo1", "Mantenimiento")
      .click("&Grabar");
}

// Orden de suministro 1 del 07/02/2026 para el tercero 900: 10 de P01 y 2 de T02 a 1000.
inline void PrepararOrdenSuministro(tv::forms::HeadlessDriver& ui) {
  ui.onModal("TfrmOrdenSuministro")
      .set("edIordenSuministro", "1")
      .set("edFecha", "07/02/2026")
      .set("edItercero", "900")
      .set("edDetalle", "Papeleria")
      .run([](TForm& o) {
        TTable* t = static_cast<TfrmOrdenSuministro&>(o).tblTemp;
        for (auto [art, cant] : {std::pair<const char*, double>{"P01", 10}, {"T02", 2}}) {
          t->Append();
          t->FieldByName("iArticulo")->AsString = art;
          t->FieldByName("cantidad")->AsFloat = cant;
          t->FieldByName("valorUnit")->AsFloat = 1000;
          t->Post();
        }
      })
      .click("&Grabar");
}

}  // namespace presupuesto
