// Punto de entrada provisional: abre una ventana vacía hasta que llegue el arranque real.
#include "gui/Placeholder.h"

int main(int argc, char** argv) { return tallivar::gui::RunPlaceholder(argc, argv); }
