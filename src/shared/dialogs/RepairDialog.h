#pragma once
// Diálogo que verifica y reconstruye las tablas de una carpeta, con respaldo fechado.
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/forms/ComCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/BdeUtil.h"

struct sqlite3;

// Lo que la reparación sabe del esquema de la aplicación: lo da quien abre el diálogo. Sin él
// se rehace solo lo que el archivo dañado aún describe.
struct EsquemaReparacion {
  // Crea en la base nueva las tablas de la definición (programa: la carpeta del programa).
  std::function<void(sqlite3*, bool programa)> crearTablas;
  // Agrega a la carpeta las tablas, columnas e índices que le falten.
  std::function<void(const std::string& carpeta, bool programa)> completar;
};

class TRepairDialog : public TForm {
 public:
  TRepairDialog(TComponent* Owner, const AnsiString& aRuta, EsquemaReparacion aEsquema = {});
  ~TRepairDialog() override;
  AnsiString ClassName() const override { return "TRepairDialog"; }

  TLabel* Label1;
  TLabel* Label2;
  TLabel* Label3;
  TLabel* LblNTabla;
  TProgressBar* ProgressBar1;
  TListBox* MessageLB;
  TLabel* LblFin;
  TButton* BtnReconstruirCarpeta;
  TButton* ExitBtn;

  void BtnReconstruirCarpetaClick(TObject* Sender);
  void ExitBtnClick(TObject* Sender);
  bool IsTableExcepcion(const AnsiString& aTabla) const;
  void RebuildTable(const char* aTable);
  void ClearBars();
  void RehacerBase(const std::vector<AnsiString>& tablas);
  void Terminar();
  void RespaldarCarpeta(const std::vector<AnsiString>& lista);

  AnsiString buf;  // carpeta de trabajo al construir el diálogo
  // Tablas (en mayúsculas) que el respaldo del día ya tiene de esta reparación, y las que la
  // verificación dio por sanas y no se tocaron.
  std::set<std::string> respaldadas;
  std::set<std::string> sanas;
  // Tablas que no quedaron sanas al rehacerlas en su lugar: se rescatan del archivo entero.
  std::set<std::string> sinReconstruir;
  std::unique_ptr<TBDEUtil> BDEUtil;
  AnsiString RutaTablas;
  std::unique_ptr<TStringList> Excepciones;
  EsquemaReparacion esquema;
};

extern TRepairDialog* RepairDialog;
