#pragma once
// Instalación nueva con el editor de comprobantes abierto sobre marzo de 2026.
#include <string>

#include "app/DataModule.h"
#include "app/Permisos.h"
#include "ledger/DialogosAsiento.h"
#include "ledger/FrmAsientos.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Vcl.h"
#include "shared/general/Numeros.h"
#include "support/Instalacion.h"
#include "support/Separadores.h"

namespace ledger {

class Asientos : public admin::Instalacion {
 protected:
  void SetUp() override {
    admin::Instalacion::SetUp();
    Permisos.BGrabar = Permisos.BModificar = Permisos.BBorrar = true;
  }
  void TearDown() override {
    if (ed) {
      ed->Hide();
      delete ed;
      ed = nullptr;
    }
    admin::Instalacion::TearDown();
  }

  // Abre el editor como lo deja el diálogo de periodo (mes 03, año de la contabilidad).
  TFrmAsientos* Editor(int mes = 3) {
    ed = new TFrmAsientos(nullptr);
    FrmAsientos = ed;
    ed->CBMes->ItemIndex = mes - 1;
    ed->Anio->Text = "2026";
    ed->Show();
    return ed;
  }
  tv::forms::Script Ed() { return ui->now(ed); }

  // Traer o Crear con el tipo, número y día dados.
  void Traer(const char* tipo, const char* numero, const char* dia = "15") {
    Ed().set("CBDocumentos", tipo).set("EdNumDoc", numero).set("EdDia", dia).click("BtnTraerCrear");
  }
  // Escribe una línea en la fila dada, celda por celda como el usuario; cada salida de
  // columna corre su revisión. Los vacíos no se escriben. Los montos se dan con "." y se
  // teclean con el separador decimal de la prueba.
  void Linea(int fila, const char* cuenta, const char* tercero, const char* debito,
             const char* credito, const char* detalle = "") {
    auto s = Ed();
    s.editCell("DBGrid1", 0, fila, cuenta);
    if (*tercero) s.editCell("DBGrid1", 1, fila, tercero);
    if (*detalle) s.editCell("DBGrid1", 2, fila, detalle);
    if (*debito) s.editCell("DBGrid1", 6, fila, prueba::Tecleado(debito).c_str());
    if (*credito) s.editCell("DBGrid1", 7, fila, prueba::Tecleado(credito).c_str());
  }
  // Un monto escrito con punto ("1500.25"), como lo digita el usuario con su separador.
  static AnsiString Digitado(const char* monto) {
    std::string t = monto;
    for (char& c : t)
      if (c == '.') c = DecimalSeparator;
    return t.c_str();
  }
  // Un monto como lo muestran los totales.
  static std::string Mostrado(double monto) { return Punto(monto, 2); }
  void Grabar() { Ed().click("BtnGrabar"); }

  // Documento guardado directamente en MVT y su encabezado.
  void Guardado(const std::string& tipo, const std::string& numero, const std::string& fecha,
                const std::string& lineas) {
    Ejecutar(libros, "INSERT INTO MVT (numecuen, cedulanit, debito, credito, descdocu, numedocu, fecha) VALUES " +
                         lineas);
    Ejecutar(libros, "INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor) VALUES ('" + tipo + "', '" +
                         numero + "', '" + fecha + "', 0)");
    (void)tipo;
  }
  std::string Mvt(const std::string& sql) { return Valor(libros, sql); }
  std::string Textos() { return ui->messageTexts().str(); }

  TFrmAsientos* ed = nullptr;
};

}  // namespace ledger
