#include "shared/dialogs/RepairDialog.h"

#include <algorithm>
#include <utility>

#include "platform/core/IniFiles.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/db/RepairStep.h"
#include "platform/db/Storage.h"
#include "platform/forms/Dialogs.h"
#include "platform/os/Files.h"
#include "platform/os/Process.h"

TRepairDialog* RepairDialog = nullptr;

namespace {
const char* const kFuente = "\\src\\shared\\dialogs\\repairdialog";
}

TRepairDialog::TRepairDialog(TComponent* Owner, const AnsiString& aRuta, EsquemaReparacion aEsquema)
    : TForm(Owner), esquema(std::move(aEsquema)) {
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
  // Una base dañada (catálogo ilegible, páginas dañadas, archivo cortado) se rehace entera
  // con la definición del esquema y todas las filas que aún se leen.
  bool daniada = false;
  if (hayBase) {
    try {
      for (const AnsiString& t : tv::db::TableNames(RutaTablas)) {
        if (t.UpperCase().SubString(1, 4) == "_QSQ")
          tv::db::DropTable(RutaTablas, t);
        else
          tablas.push_back(t);
      }
      // un índice dañado lo arregla la reconstrucción de cada tabla; una tabla que no se
      // lee entera, no
      auto conn = tv::db::ConnectionFor(RutaTablas);
      for (const AnsiString& t : tablas) {
        tv::db::Stmt st = conn->Prepare("SELECT * FROM " + tv::db::QuoteIdent(t.str()));
        while (st.Step()) {
        }
      }
    } catch (const EDatabaseError&) {
      daniada = true;
    }
  }
  if (daniada) {
    RehacerBase(tablas);
    return;
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
  RespaldarCarpeta(lista);
  tv::db::RepairStep("backup");
  ProgressBar1->Min = 0;
  ProgressBar1->Max = static_cast<int>(lista.size());
  ProgressBar1->Step = 1;
  sinReconstruir.clear();
  for (size_t i = 0; i < lista.size(); ++i) {
    ProgressBar1->Position = static_cast<int>(i) + 1;
    LblNTabla->Caption = lista[i];
    Repaint();
    if (!IsTableExcepcion(lista[i])) RebuildTable(lista[i].c_str());
  }
  // Una tabla que no se pudo rehacer en su lugar (o que sigue dañada) se rescata del archivo
  // entero: la base se rehace con todas las filas que aún se leen.
  for (const AnsiString& t : tablas)
    if (!sanas.count(AnsiUpperCase(t).str()) && !IsTableExcepcion(t + ".DB") && !tv::db::TableSound(RutaTablas, t))
      sinReconstruir.insert(AnsiUpperCase(t).str());
  if (!sinReconstruir.empty()) {
    RehacerBase(tablas);
    return;
  }
  // Las tablas y columnas que falten se crean con la definición del esquema (solo en una
  // carpeta instalada: contabilidad o carpeta del programa).
  try {
    if (esquema.completar) {
      if (tv::db::TableExists(RutaTablas, "contabs")) esquema.completar(RutaTablas.str(), true);
      else if (tv::db::TableExists(RutaTablas, "ConfigContab")) esquema.completar(RutaTablas.str(), false);
    }
  } catch (const std::exception& e) {
    MessageLB->Items->Add(AnsiString("No se pudo completar el esquema: ") + e.what());
  }
  Terminar();
}

// Rehace el archivo de la base: las tablas del esquema (y las propias de la carpeta) con
// todas las filas legibles; el archivo dañado queda en la carpeta de respaldo.
void TRepairDialog::RehacerBase(const std::vector<AnsiString>& tablas) {
  AnsiString carpeta = IncludeTrailingPathDelimiter(RutaTablas);
  bool programa = FileExists(carpeta + "data.ini");
  for (const AnsiString& t : tablas)
    if (t.LowerCase() == "contabs") programa = true;
  std::string respaldo = (carpeta + "BackupReparacion" + FormatDateTime("yyyy_mm_dd", Date()) + "/" +
                          "tablas_daniada_" + FormatDateTime("hhnnss", Now()) + ".sqlite").str();
  Screen->Cursor = crHourGlass;
  ClearBars();
  LblNTabla->Caption = carpeta + tv::db::kDatabaseFileName;
  try {
    // Lo perdido se dice con la cifra de cada tabla y el lugar del archivo dañado; el aviso
    // queda en el archivo nuevo, así una reparación interrumpida lo deja para la siguiente.
    auto aviso = [&](const std::vector<tv::db::SalvagedTable>& rehechas) {
      std::string texto, vacias;
      for (const auto& t : rehechas) {
        if (!t.damaged) continue;
        // La cifra es aproximada: lo que no se leyó no se puede contar con certeza.
        if (t.copied == 0 && t.unreadable == 0)
          vacias += (vacias.empty() ? "" : ", ") + t.name;
        else
          texto += t.name + ": " + std::to_string(t.copied) + " filas recuperadas, " +
                   (t.unreadable > 0 ? "unas " + std::to_string(t.unreadable) + " perdidas"
                                     : std::string("otras perdidas sin poder contarlas")) +
                   ".\n";
      }
      if (!vacias.empty()) texto += "Tablas que no se pudieron leer, rehechas vacías: " + vacias + ".\n";
      if (!texto.empty()) texto += "El archivo dañado quedó en: " + respaldo;
      return texto;
    };
    auto rehechas = tv::db::RebuildDatabaseFile(
        RutaTablas, respaldo,
        [&](sqlite3* db) {
          if (esquema.crearTablas) esquema.crearTablas(db, programa);
        },
        aviso);
    ProgressBar1->Max = static_cast<int>(rehechas.size());
    ProgressBar1->Position = ProgressBar1->Max;
    for (const auto& t : rehechas) {
      if (!t.error.empty())
        MessageLB->Items->Add(AnsiString(t.name) + ": no se pudo leer");
      else if (t.recreated)
        MessageLB->Items->Add(AnsiString(t.name) + ": creada de nuevo, vacía");
      else if (t.unreadable > 0)
        MessageLB->Items->Add(AnsiString(t.name) + ": " + IntToStr(t.copied) + " filas recuperadas, " +
                              IntToStr(t.unreadable) + " no se pudieron leer");
    }
  } catch (const Exception& e) {
    MessageLB->Items->Add("Error reconstruyendo la base: " + e.Message);
  }
  Screen->Cursor = crDefault;
  Terminar();
}

// "finalizada" solo cuando cada tabla vuelve a leerse entera; si no, se nombran las que no.
void TRepairDialog::Terminar() {
  std::vector<AnsiString> fallidas;
  try {
    // Las tablas que la verificación ya dio por sanas y no se tocaron no se revisan de nuevo.
    for (const AnsiString& t : tv::db::TableNames(RutaTablas))
      if (!sanas.count(AnsiUpperCase(t).str()) && !tv::db::TableSound(RutaTablas, t)) fallidas.push_back(t);
  } catch (const EDatabaseError&) {
    fallidas.push_back(tv::db::kDatabaseFileName);
  }
  // Lo que quedó fuera se dice tabla por tabla, con el lugar del respaldo: "finalizada" a secas
  // solo cuando no se perdió nada. Los avisos están en los libros, también los de una
  // reparación que no llegó a decirlos.
  AnsiString perdido;
  bool hayAvisos = false;
  try {
    for (const std::string& a : tv::db::RepairNotes(RutaTablas)) {
      perdido += (perdido.IsEmpty() ? "" : "\n") + AnsiString(a);
      hayAvisos = true;
    }
  } catch (const EDatabaseError&) {
  }
  if (fallidas.empty() && perdido.IsEmpty()) {
    LblFin->Visible = true;
    ShowMessage("Reparación de tablas finalizada.");
  } else if (fallidas.empty()) {
    ShowMessage("Reparación de tablas terminada con pérdidas.\n" + perdido);
  } else {
    AnsiString lista;
    for (const AnsiString& t : fallidas) lista += (lista.IsEmpty() ? "" : ", ") + t;
    ShowMessage("No se pudieron restaurar las tablas: " + lista + "." + (perdido.IsEmpty() ? "" : "\n" + perdido));
  }
  // Dichos una vez: la próxima reparación no los repite.
  if (hayAvisos) {
    try {
      tv::db::ClearRepairNotes(RutaTablas);
    } catch (const EDatabaseError&) {
    }
  }
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
      // Una tabla que el respaldo de la carpeta ya tiene no se copia otra vez; un respaldo
      // anterior del mismo día no se sobrescribe: se agrega un sufijo.
      AnsiString nombre = tabla;
      if (respaldadas.count(AnsiUpperCase(tabla).str())) {
        nombre = "";
      } else {
        bool hayRespaldo = FileExists(IncludeTrailingPathDelimiter(respaldo) + tv::db::kDatabaseFileName);
        for (int n = 2; hayRespaldo && tv::db::TableExists(respaldo, nombre); ++n) nombre = tabla + "_" + IntToStr(n);
      }
      // Una tabla sana queda como está: reconstruirla daría las mismas filas y los mismos índices.
      // Lo que la tabla nueva no conservó se dice con su cifra y dónde quedó la original.
      AnsiString copia = nombre.IsEmpty() ? tabla : nombre;
      auto aviso = [&](int repetidas, int ilegibles) -> std::string {
        if (repetidas == 0 && ilegibles == 0) return "";
        AnsiString detalle;
        if (repetidas > 0) detalle = IntToStr(repetidas) + " con una clave única repetida";
        if (ilegibles > 0) detalle += (detalle.IsEmpty() ? "" : ", ") + IntToStr(ilegibles) + " que no se pudieron leer";
        return (tabla + ": " + IntToStr(repetidas + ilegibles) + " filas quedaron fuera (" + detalle +
                "); la tabla original quedó como " + copia + " en " + IncludeTrailingPathDelimiter(respaldo) +
                tv::db::kDatabaseFileName + ".")
            .str();
      };
      unsigned short r = 0;
      if (nivel != 0)
        r = BDEUtil->ReconstruirTabla(carpeta, tabla, respaldo, nombre, nullptr, nullptr, aviso);
      else if (!nombre.IsEmpty())
        r = BDEUtil->RespaldarTabla(carpeta, tabla, respaldo, nombre);
      if (r == 0) {
        ClearBars();
        if (nivel == 0) sanas.insert(AnsiUpperCase(tabla).str());
      } else {
        // sin mensaje aquí: la tabla se rescata luego del archivo entero
        MessageLB->Items->Add("Error reparando la tabla " + ruta);
      }
    }
  }
  BDEUtil->UnRegisterCallBack();
  Screen->Cursor = crDefault;
}

// El respaldo fechado de la carpeta, cuando aún no existe: una copia de la base entera (sin
// las tablas que no se reparan) hecha de una vez, mucho más rápida que copiar tabla por tabla.
// Si ya hay respaldo del día, cada tabla se copia a él con sufijo al repararla.
void TRepairDialog::RespaldarCarpeta(const std::vector<AnsiString>& lista) {
  respaldadas.clear();
  AnsiString respaldo = IncludeTrailingPathDelimiter(RutaTablas) + "BackupReparacion" +
                        FormatDateTime("yyyy_mm_dd", Date());
  if (FileExists(IncludeTrailingPathDelimiter(respaldo) + tv::db::kDatabaseFileName)) return;
  std::set<std::string> reparar;
  for (const AnsiString& t : lista)
    if (!IsTableExcepcion(t)) reparar.insert(AnsiUpperCase(ChangeFileExt(ExtractFileName(t), "")).str());
  bool hecho = false;
  try {
    ForceDirectories(respaldo);
    tv::db::BackupDatabase(RutaTablas, respaldo);
    for (const AnsiString& t : tv::db::TableNames(respaldo)) {
      std::string clave = AnsiUpperCase(t).str();
      if (reparar.count(clave))
        respaldadas.insert(clave);
      else
        tv::db::DropTable(respaldo, t);
    }
    hecho = true;
  } catch (const EDatabaseError&) {
  }
  tv::db::ReleaseDatabase(respaldo);
  if (!hecho) {
    // sin copia entera, cada tabla se copia al repararla
    respaldadas.clear();
    for (const char* sufijo : {"", "-wal", "-shm"})
      DeleteFile(IncludeTrailingPathDelimiter(respaldo) + tv::db::kDatabaseFileName + sufijo);
  }
}

void TRepairDialog::ExitBtnClick(TObject*) {
  Close();
  Application->Terminate();
}
