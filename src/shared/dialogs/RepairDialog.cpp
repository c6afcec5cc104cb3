#include "shared/dialogs/RepairDialog.h"

#include <algorithm>

#include "platform/core/IniFiles.h"
#include "platform/db/DBTables.h"
#include "platform/db/Storage.h"
#include "platform/forms/Dialogs.h"
#include "platform/os/Files.h"
#include "platform/os/Process.h"

TRepairDialog* RepairDialog = nullptr;

namespace {
const char* const kFuente = "\\src\\shared\\dialogs\\repairdialog";
}

TRepairDialog::TRepairDialog(TComponent* Owner, const AnsiString& aRuta) : TForm(Owner) {
  Name = "RepairDialog";
  Caption = "Reparación de la información";
  Position = poScreenCenter;
  BorderStyle = bsDialog;
  ClientWidth = 420;
  ClientHeight = 250;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Carpeta a reparar:";
  Label2 = Make<TLabel>(this, "Label2");
  Label2->Font->Style = {fsBold};
  Label3 = Make<TLabel>(this, "Label3");
  Label3->Caption = "Tabla:";
  LblNTabla = Make<TLabel>(this, "LblNTabla");
  MessageLB = Make<TListBox>(this, "MessageLB");
  // La barra va después de la lista: junto a la ruta de la tabla, una ruta larga la
  // dejaba sin ancho.
  ProgressBar1 = Make<TProgressBar>(this, "ProgressBar1");
  LblFin = Make<TLabel>(this, "LblFin");
  LblFin->Caption = "Reparación de tablas finalizada!";
  LblFin->Font->Style = {fsBold};
  LblFin->Font->Color = clGreen;
  LblFin->Visible = false;
  BtnReconstruirCarpeta = Make<TButton>(this, "BtnReconstruirCarpeta");
  BtnReconstruirCarpeta->Caption = "Iniciar reparación";
  ExitBtn = Make<TButton>(this, "ExitBtn");
  ExitBtn->Caption = "No reparar ahora";

  BtnReconstruirCarpeta->OnClick = [this](TObject* s) { BtnReconstruirCarpetaClick(s); };
  ExitBtn->OnClick = [this](TObject* s) { ExitBtnClick(s); };

  RutaTablas = aRuta;
  Label2->Caption = aRuta;
  BDEUtil = std::make_unique<TBDEUtil>();
  Excepciones = std::make_unique<TStringList>();
  buf = GetCurrentDir();
  TIniFile ini("TUtil32.ini");
  ini.ReadSection("EXCEPCIONES", Excepciones.get());
}

TRepairDialog::~TRepairDialog() {
  SetCurrentDir(buf);
  if (RepairDialog == this) RepairDialog = nullptr;
}

void TRepairDialog::ClearBars() { MessageLB->Items->Clear(); }

bool TRepairDialog::IsTableExcepcion(const AnsiString& aTabla) const {
  AnsiString nombre = AnsiUpperCase(ExtractFileName(aTabla));
  for (int i = 0; i < Excepciones->Count(); ++i)
    if (AnsiUpperCase(Excepciones->Get(i)) == nombre) return true;
  return false;
}

void TRepairDialog::BtnReconstruirCarpetaClick(TObject*) {
  if (!SetCurrentDir(RutaTablas)) {
    ShowMessage("No se cambio al directorio: " + RutaTablas);
    return;
  }
  // Tablas de respuesta que deja el SQL local: archivos y tablas "_qsq*".
  for (const AnsiString& f : tv::os::ListFolder(RutaTablas, "_qsq*.db"))
    DeleteFile(IncludeTrailingPathDelimiter(RutaTablas) + f);
  bool hayBase = FileExists(IncludeTrailingPathDelimiter(RutaTablas) + tv::db::kDatabaseFileName);
  std::vector<AnsiString> tablas;
  if (hayBase) {
    for (const AnsiString& t : tv::db::TableNames(RutaTablas)) {
      if (t.UpperCase().SubString(1, 4) == "_QSQ")
        tv::db::DropTable(RutaTablas, t);
      else
        tablas.push_back(t);
    }
  }
  if (tablas.empty()) {
    ShowMessage("No hay tablas en el directorio especificado.");
    return;
  }
  std::vector<AnsiString> lista;
  for (const AnsiString& t : tablas) {
    AnsiString nombre = AnsiUpperCase(t) + ".DB";
    if (nombre == "CONFIG.DB") continue;
    lista.push_back(IncludeTrailingPathDelimiter(RutaTablas) + nombre);
  }
  ProgressBar1->Min = 0;
  ProgressBar1->Max = static_cast<int>(lista.size());
  ProgressBar1->Step = 1;
  for (size_t i = 0; i < lista.size(); ++i) {
    ProgressBar1->Position = static_cast<int>(i) + 1;
    LblNTabla->Caption = lista[i];
    Repaint();
    if (!IsTableExcepcion(lista[i])) RebuildTable(lista[i].c_str());
  }
  LblFin->Visible = true;
  ShowMessage("Reparación de tablas finalizada.");
  Close();
  if (ParamCount() > 0) Application->Terminate();
}

void TRepairDialog::RebuildTable(const char* aTable) {
  Screen->Cursor = crHourGlass;
  ClearBars();
  AnsiString ruta = aTable;
  AnsiString carpeta = ExcludeTrailingPathDelimiter(ExtractFilePath(ruta));
  AnsiString archivo = ExtractFileName(ruta);
  AnsiString tabla = ChangeFileExt(archivo, "");

  CheckTUError(BDEUtil->Cerrar(), kFuente, __LINE__);
  CheckTUError(BDEUtil->Abrir(), kFuente, __LINE__);
  if (!BDEUtil->RegisterCallBack()) {
    MessageLB->Items->Add("Verificación fallida.");
  } else {
    int nivel = 0;
    if (CheckTUError(BDEUtil->VerificarTabla(carpeta, tabla, nivel), kFuente, __LINE__) == 0) {
      AnsiString respaldo = IncludeTrailingPathDelimiter(carpeta) + "BackupReparacion" +
                            FormatDateTime("yyyy_mm_dd", Date());
      ForceDirectories(respaldo);
      // Un respaldo anterior del mismo día no se sobrescribe: se agrega un sufijo.
      AnsiString nombre = tabla;
      bool hayRespaldo =
          FileExists(IncludeTrailingPathDelimiter(respaldo) + tv::db::kDatabaseFileName);
      for (int n = 2; hayRespaldo && tv::db::TableExists(respaldo, nombre); ++n)
        nombre = tabla + "_" + IntToStr(n);
      unsigned short r = BDEUtil->ReconstruirTabla(carpeta, tabla, respaldo, nombre);
      if (CheckTUError(r, kFuente, __LINE__) == 0)
        ClearBars();
      else
        MessageLB->Items->Add("Error reparando la tabla " + ruta);
    }
  }
  BDEUtil->UnRegisterCallBack();
  Screen->Cursor = crDefault;
}

void TRepairDialog::ExitBtnClick(TObject*) {
  Close();
  Application->Terminate();
}
