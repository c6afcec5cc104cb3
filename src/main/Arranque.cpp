#include "main/Arranque.h"

#include <exception>
#include <new>

#include "app/DataModule.h"
#include "app/FrmClaveAdmin.h"
#include "budget/motor/LimitesLibros.h"
#include "main/FrmMain.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Forms.h"
#include "platform/forms/UiDriver.h"
#include "platform/os/Regional.h"
#include "platform/os/SingleInstance.h"
#include "shared/general/MyException.h"

namespace {

// Como CreateForm, pero para el módulo de datos: el puntero global queda puesto antes de
// que corra el constructor.
void CrearModulo(TDM** ref) {
  void* mem = ::operator new(sizeof(TDM));
  *ref = static_cast<TDM*>(mem);
  try {
    new (mem) TDM(Application);
  } catch (...) {
    ::operator delete(mem);
    *ref = nullptr;
    throw;
  }
}

}  // namespace

void InstalarCuadroDeExcepciones() {
  Application->OnException = [](TObject*, Exception* E) {
    // Se llama dentro del manejo de la excepción: la original sigue disponible.
    if (std::exception_ptr p = std::current_exception()) {
      try {
        std::rethrow_exception(p);
      } catch (MyException& e) {
        Application->MessageBox(e.Mensaje(), "Error", MB_OK | MB_ICONSTOP);
        return;
      } catch (...) {
      }
    }
    Application->ShowException(E);
  };
}

bool IniciarPrograma() {
  if (!tv::os::AcquireSingleInstance("tallivar-p.exe")) {
    ShowMessage("Ya se está ejecutando el programa. Observe en la barra de tareas.");
    Application->Terminate();
    return false;
  }
  Application->Initialize();
  Application->Title = "Tallivar";
  InstalarCuadroDeExcepciones();
  tv::os::ApplyRegionalSettings();
  // Antes de abrir los libros: toda grabación revisa sus límites al confirmar.
  tv::motor::InstalarLimitesLibros();
  Application->CreateForm(&FrmMain);
  CrearModulo(&DM);
  Application->CreateForm(&frmClaveAdmin);
  return true;
}

void TerminarPrograma() {
  while (Application->ComponentCount() > 0)
    delete Application->Components(Application->ComponentCount() - 1);
}

int EjecutarPrograma() {
  try {
    try {
      if (IniciarPrograma()) Application->Run();
    } catch (const tv::forms::UiScriptError&) {
      throw;
    } catch (MyException& e) {
      ShowMessage(e.Mensaje());
    } catch (Exception& e) {
      Application->ShowException(&e);
    } catch (const std::exception& e) {
      Exception ex(e.what());
      Application->ShowException(&ex);
    }
    TerminarPrograma();
  } catch (MyException& e) {
    ShowMessage(e.Mensaje());
  } catch (Exception& e) {
    Application->ShowException(&e);
  }
  return 0;
}
