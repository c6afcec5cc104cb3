// Punto de entrada provisional: abre la ventana principal vacía a través del frente de escritorio
// hasta que llegue el arranque real.
#include "gui/Gui.h"
#include "platform/forms/Vcl.h"

namespace {
class TFrmPrincipal : public TForm {
 public:
  explicit TFrmPrincipal(TComponent* AOwner) : TForm(AOwner) {
    Caption = "Tallivar";
    Name = "FrmPrincipal";
    StatusBar1 = Make<TStatusBar>(this, "StatusBar1");
    StatusBar1->SimplePanel = true;
    StatusBar1->SimpleText = "Tallivar";
  }
  TStatusBar* StatusBar1;
};
TFrmPrincipal* FrmPrincipal = nullptr;
}  // namespace

int main(int argc, char** argv) {
  return tv::gui::RunApplication(argc, argv, [] {
    Application->Initialize();
    Application->Title = "Tallivar";
    Application->CreateForm(&FrmPrincipal);
    Application->Run();
  });
}
