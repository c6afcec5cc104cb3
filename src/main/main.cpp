// Punto de entrada: el arranque real corre dentro del frente de escritorio.
#include "main/Arranque.h"
#include "gui/Gui.h"
#include "platform/os/Process.h"

int main(int argc, char** argv) {
  tv::os::InitCommandLine(argc, argv);
  return tv::gui::RunApplication(argc, argv, [] { EjecutarPrograma(); });
}
