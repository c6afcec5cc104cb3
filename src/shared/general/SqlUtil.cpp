#include "shared/general/SqlUtil.h"

#include <cctype>

#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/StdCtrls.h"

bool EsSentenciaDeAccion(const std::string& aSQL) {
  size_t i = 0;
  while (i < aSQL.size() && (std::isspace(static_cast<unsigned char>(aSQL[i])) || aSQL[i] == '('))
    ++i;
  std::string palabra;
  while (i < aSQL.size() && std::isalpha(static_cast<unsigned char>(aSQL[i])))
    palabra += static_cast<char>(std::toupper(static_cast<unsigned char>(aSQL[i++])));
  return palabra == "INSERT" || palabra == "UPDATE" || palabra == "DELETE" ||
         palabra == "CREATE" || palabra == "ALTER" || palabra == "DROP";
}

void HagaSQL(const AnsiString& aAlias, TQuery* aQuery, const std::string& aSQL, bool UsaGrid,
             const AnsiString& /*aLogFile*/, const AnsiString& /*aMsg*/) {
  aQuery->Close();
  aQuery->SQL->Clear();
  aQuery->SQL->Add(AnsiString(aSQL));
  aQuery->DatabaseName = aAlias;
  aQuery->Prepare();
  // La clase de sentencia se decide por su primera palabra: un texto de búsqueda con
  // "delete " dentro de un LIKE sigue siendo una consulta que lista filas.
  if (EsSentenciaDeAccion(aSQL)) {
    aQuery->ExecSQL();
    if (UsaGrid) aQuery->Active = true;
  } else {
    aQuery->Open();
  }
}

void HagaSQL(const AnsiString& aAlias, TQuery* aQuery, const char* aSQL, bool UsaGrid,
             const AnsiString& aLogFile, const AnsiString& aMsg) {
  HagaSQL(aAlias, aQuery, std::string(aSQL ? aSQL : ""), UsaGrid, aLogFile, aMsg);
}

void HagaSQL(const AnsiString& aAlias, TQuery* aQuery, const AnsiString& aSQL, bool UsaGrid,
             const AnsiString& aLogFile, const AnsiString& aMsg) {
  HagaSQL(aAlias, aQuery, aSQL.str(), UsaGrid, aLogFile, aMsg);
}

namespace {
// Devuelve la tabla a su estado de exclusividad y actividad al salir, haya o no error.
class RestaurarTabla {
 public:
  explicit RestaurarTabla(TTable* t) : t_(t), activa_(t->Active), exclusiva_(t->Exclusive) {}
  ~RestaurarTabla() {
    try {
      if (t_->Exclusive != exclusiva_) {
        if (t_->Active) t_->Close();
        t_->Exclusive = exclusiva_;
      }
      if (static_cast<bool>(t_->Active) != activa_) t_->Active = activa_;
    } catch (EDBEngineError& e) {
      ShowMessage(DBIUserText(e));
    } catch (...) {
    }
  }

 private:
  TTable* t_;
  bool activa_;
  bool exclusiva_;
};
}  // namespace

void VacearTabla(TTable* aTabla, bool PorCiclo) {
  RestaurarTabla restaurar(aTabla);
  try {
    if (!PorCiclo) {
      if (!aTabla->Exclusive) {
        aTabla->Close();
        aTabla->Exclusive = true;
      }
      aTabla->EmptyTable();
    } else {
      aTabla->First();
      int n = aTabla->RecordCount;
      for (int i = 0; i < n; ++i) aTabla->Delete();
    }
  } catch (EDBEngineError& e) {
    ShowMessage(DBIUserText(e));
  }
}

void FillCBFromTbl(TComboBox* aCB, TDataSet* aTbl, const char* aField1, const char* aField2) {
  bool conSegundo = aField2 && *aField2;
  auto texto = [&]() {
    AnsiString t = aTbl->FieldByName(aField1)->AsString;
    if (conSegundo) t += AnsiString(":") + aTbl->FieldByName(aField2)->AsString();
    return t;
  };
  aTbl->First();
  if (aTbl->IsEmpty()) return;
  aCB->Text = texto();
  int n = aTbl->RecordCount;
  for (int i = 0; i < n; ++i) {
    AnsiString t = texto();
    bool existe = false;
    for (int j = 0; j < aCB->Items->Count() && !existe; ++j) existe = aCB->Items->Get(j) == t;
    if (!existe) aCB->Items->Add(t);
    aTbl->Next();
  }
}

AnsiString MesDiaAnio(const AnsiString& aFecha) {
  TDateTime d;
  if (!TryStrToDate(aFecha, d)) {
    // Este texto termina dentro de las comillas de un texto SQL: sus comillas se doblan.
    std::string texto;
    for (char c : aFecha.str()) {
      if (c == '\'') texto += '\'';
      texto += c;
    }
    return "Fecha inválida: " + AnsiString(texto) + "\n";
  }
  return FormatDateTime("mm/dd/yyyy", d);
}

AnsiString MesDiaAnio(TDateTime aFecha) { return FormatDateTime("mm/dd/yyyy", aFecha); }

bool ValidarFecha(const AnsiString& aFecha, AnsiString& aMsg) {
  if (aFecha.IsEmpty()) {
    aMsg = "Fecha vacía.\n";
    return false;
  }
  try {
    StrToDateTime(aFecha);
  } catch (const EConvertError&) {
    aMsg = "Fecha inválida: " + aFecha + "\n";
    return false;
  }
  return true;
}

bool ValidarFecha(int aAnio, int aMes, int aDia, AnsiString& aMsg) {
  TDateTime d;
  if (!TryEncodeDate(aAnio, aMes, aDia, d)) {
    aMsg = "Fecha inválida.\n";
    return false;
  }
  return true;
}
