#pragma once
// Contabilidad con datos presupuestales y un formulario abierto a la vez (`f`), que se cierra
// al terminar cada prueba.
#include <initializer_list>
#include <string>

#include "budget/Presupuesto.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Headless.h"
#include "platform/forms/Vcl.h"

namespace presupuesto {

template <class Form>
class ConFormulario : public Presupuesto {
 protected:
  void TearDown() override {
    Cerrar();
    Presupuesto::TearDown();
  }
  // Relee las tablas que la prueba sembró por SQL y abre un formulario nuevo de la clase dada;
  // `global`, la variable del programa que lo nombra, queda puesta antes de mostrarlo.
  template <class Clase = Form>
  Clase* AbrirFormulario(std::initializer_list<TTable*> releer, Clase** global = nullptr) {
    for (TTable* t : releer) t->Refresh();
    auto* nuevo = new Clase(nullptr);
    if (global) *global = nuevo;
    f = nuevo;
    f->Show();
    return nuevo;
  }
  void Cerrar() {
    if (!f) return;
    f->Hide();
    delete f;
    f = nullptr;
  }
  tv::forms::Script F() { return ui->now(f); }
  // "&Grabar" con los mensajes anteriores descartados; devuelve el último mensaje.
  std::string Grabar() {
    ui->takeMessages();
    F().click("&Grabar");
    return ui->lastMessage().str();
  }

  Form* f = nullptr;
};

}  // namespace presupuesto
