#include "shared/general/Exportar.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "platform/core/Encoding.h"
#include "platform/db/DB.h"
#include "platform/db/Engine.h"
#include "platform/forms/Dialogs.h"
#include "platform/os/Files.h"
#include "platform/os/Launch.h"
#include "shared/dialogs/Aviso.h"
#include "shared/general/Utiles.h"

namespace {

// Archivo de texto para personas: UTF-8 del programa a Windows-1252 y "\n" a CR LF.
// Un archivo nuevo se escribe aparte y reemplaza al anterior solo al terminar bien: una
// exportación que falla a medias no deja un archivo cortado ni borra el que había.
class ArchivoTexto {
 public:
  ArchivoTexto(const AnsiString& nombre, bool agregar)
      : destino_(nombre.str()), temporal_(agregar ? "" : destino_ + ".tmp"),
        f_(std::fopen(agregar ? destino_.c_str() : temporal_.c_str(), agregar ? "ab" : "wb")) {}
  ~ArchivoTexto() {
    if (!f_) return;
    std::fclose(f_);
    if (!temporal_.empty()) std::remove(temporal_.c_str());
  }
  bool Abierto() const { return f_ != nullptr; }
  void Linea(const std::string& utf8) {
    // Una línea solo ASCII es la misma en los dos juegos de caracteres.
    bool ascii = std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
      std::fwrite(utf8.data(), 1, utf8.size(), f_);
      std::fwrite("\r\n", 1, 2, f_);
      return;
    }
    std::string cp = tv::encoding::Utf8ToCp1252(utf8);
    cp += "\r\n";
    std::fwrite(cp.data(), 1, cp.size(), f_);
  }
  // Falso si algo no se pudo escribir.
  bool Terminar() {
    bool ok = !std::ferror(f_);
    if (std::fclose(f_) != 0) ok = false;
    f_ = nullptr;
    if (temporal_.empty()) return ok;
    if (ok && std::rename(temporal_.c_str(), destino_.c_str()) == 0) return true;
    std::remove(temporal_.c_str());
    return false;
  }

 private:
  std::string destino_;
  std::string temporal_;
  std::FILE* f_;
};

std::string AlinearDerecha(const AnsiString& s, int ancho) {
  int faltan = ancho - s.Length();
  return faltan > 0 ? std::string(static_cast<size_t>(faltan), ' ') + s.str() : s.str();
}

bool AlineadoADerecha(TFieldType t) {
  return t == ftSmallint || t == ftInteger || t == ftBoolean || t == ftFloat || t == ftDate;
}

bool PideComillas(std::string_view v, char sep) {
  for (char c : v)
    if (c == sep || c == '"' || c == '\r' || c == '\n') return true;
  return false;
}

// Agrega el valor a la línea, entre comillas cuando las pide.
void AgregarDelimitado(std::string& linea, std::string_view v, char sep) {
  if (!PideComillas(v, sep)) {
    linea.append(v);
    return;
  }
  linea += '"';
  for (char c : v) {
    if (c == '"') linea += '"';
    linea += c;
  }
  linea += '"';
}

}  // namespace

AnsiString CampoDelimitado(const AnsiString& aValor, char aSeparador) {
  const std::string& v = aValor.str();
  if (!PideComillas(v, aSeparador)) return aValor;
  std::string r;
  AgregarDelimitado(r, v, aSeparador);
  return AnsiString(r);
}

void DBToCSV(TDataSet* aDataSet, const AnsiString& aFile, TStringList* aCampos, char aSepDecimal,
             bool /*paraExcel*/, TStringList* aTitulos, bool add) {
  char sep = getSystemSeparator();
  char decimal = aSepDecimal ? aSepDecimal : DecimalSeparator;
  ArchivoTexto f(aFile, add);
  if (!f.Abierto()) {
    MessageBox(nullptr, "No se puede crear " + aFile, "Error", MB_ICONERROR);
    return;
  }
  bool abierto = false;
  if (!aDataSet->Active) {
    aDataSet->Open();
    abierto = true;
  }
  std::vector<TField*> campos;
  if (aCampos) {
    for (int i = 0; i < aCampos->Count(); ++i) campos.push_back(aDataSet->FieldByName(aCampos->Get(i)));
  } else {
    for (int i = 0; i < aDataSet->FieldCount; ++i) campos.push_back(aDataSet->Fields[i]);
  }
  f.Linea(std::string("sep=") + sep);
  std::string encabezado;
  for (size_t i = 0; i < campos.size(); ++i) {
    AnsiString titulo = aTitulos && static_cast<int>(i) < aTitulos->Count() ? aTitulos->Get(static_cast<int>(i))
                        : aCampos ? aCampos->Get(static_cast<int>(i))
                                  : campos[i]->FieldName;
    encabezado += CampoDelimitado(titulo, sep).str() + sep;
  }
  f.Linea(encabezado);
  // Cada celda se lee una vez; los textos de un campo de texto van tal cual, sin copias.
  std::vector<TFieldType> tipos;
  std::vector<size_t> columnas;
  for (TField* c : campos) {
    tipos.push_back(c->DataType());
    columnas.push_back(static_cast<size_t>(c->Index()));
  }
  std::string linea, valor;
  auto escribir = [&](auto&& celdaDe) {
    linea.clear();
    for (size_t i = 0; i < campos.size(); ++i) {
      if (i > 0) linea += sep;
      const tv::db::Cell& celda = celdaDe(i);
      if (celda.IsNull()) continue;
      if (tipos[i] == ftString && celda.kind == tv::db::Cell::Text) {
        AgregarDelimitado(linea, celda.s, sep);
        continue;
      }
      valor = tv::db::CellText(celda, tipos[i], false).str();
      if (tipos[i] == ftFloat) {
        size_t coma = valor.find(',');
        if (coma != std::string::npos) valor[coma] = decimal;
      }
      AgregarDelimitado(linea, valor, sep);
    }
    f.Linea(linea);
  };
  // Una tabla que nadie mira se lee de una pasada; si no, fila por fila.
  static const tv::db::Cell nula;
  bool leidas = aDataSet->ReadAllRowsAtOnce([&](const tv::db::Record& r) {
    escribir([&](size_t i) -> const tv::db::Cell& { return columnas[i] < r.size() ? r[columnas[i]] : nula; });
  });
  while (!leidas && !aDataSet->Eof) {
    escribir([&](size_t i) -> const tv::db::Cell& { return aDataSet->CurrentCell(static_cast<int>(columnas[i])); });
    aDataSet->Next();
  }
  if (abierto) aDataSet->Close();
  if (!f.Terminar()) MessageBox(nullptr, "No se puede crear " + aFile, "Error", MB_ICONERROR);
}

void DataSetToTxtNice(const AnsiString& aMsg, TDataSet* aDataSet, const AnsiString& aFile, bool Add,
                      int aNumRec, int rigthLess) {
  ArchivoTexto f(aFile, Add);
  if (!f.Abierto()) {
    MessageBox(nullptr, "DataSetToTxtNice: No se puede crear Archivo", "Error", MB_ICONERROR);
    return;
  }
  f.Linea(aMsg.str());
  f.Linea("");
  bool abierto = false;
  if (!aDataSet->Active) {
    aDataSet->Open();
    abierto = true;
  }
  int nCampos = aDataSet->FieldCount - rigthLess;
  std::string encabezado = "\t";
  for (int i = 0; i < nCampos; ++i) {
    TField* c = aDataSet->Fields[i];
    encabezado += (c->Size() > 0 ? FillStringR(c->FieldName, c->Size(), ' ').str()
                                 : AlinearDerecha(c->FieldName, 13)) +
                  "\t";
  }
  f.Linea(encabezado);
  aDataSet->First();
  for (int fila = 0; !aDataSet->Eof && fila <= aNumRec; ++fila) {
    char numero[16];
    std::snprintf(numero, sizeof numero, "%03d", fila + 1);
    std::string linea = std::string(numero) + "\t";
    for (int i = 0; i < nCampos; ++i) {
      TField* c = aDataSet->Fields[i];
      if (c->IsNull) {
        linea += std::string(static_cast<size_t>(c->Size()), ' ');
      } else if (c->DataType() == ftString) {
        linea += FillStringR(c->AsString(), c->Size(), ' ').str();
      } else if (AlineadoADerecha(c->DataType())) {
        linea += AlinearDerecha(c->AsString(), 13);
      } else {
        linea += c->AsString().str();
      }
      linea += "\t";
    }
    f.Linea(linea);
    aDataSet->Next();
  }
  if (abierto) aDataSet->Close();
  if (!f.Terminar())
    MessageBox(nullptr, "DataSetToTxtNice: No se puede crear Archivo", "Error", MB_ICONERROR);
}

void exportarToExcel(TDataSet* adataset) {
  AnsiString carpeta = GetCurrentDir();
  std::unique_ptr<TSaveDialog> dialogo(new TSaveDialog(nullptr));
  dialogo->Filter = "Archivos Excel|*.xls;*.xlsx";
  if (!dialogo->Execute()) return;
  // Se escribe el formato .xlsx: el nombre lleva esa extensión.
  AnsiString archivo = dialogo->FileName;
  if (ExtractFileExt(archivo).LowerCase() != ".xlsx")
    archivo = ExtractFileExt(archivo).LowerCase() == ".xls" ? ChangeFileExt(archivo, ".xlsx")
                                                            : archivo + ".xlsx";
  TAviso aviso;
  // La ventana de espera no queda abierta si la exportación falla a medio camino.
  struct CerrarAviso {
    TAviso& a;
    ~CerrarAviso() { a.Termine(); }
  } cerrar{aviso};
  aviso.Inicie("Realizando la exportación...", true, true, 1, adataset->RecordCount, 1);
  lxw_workbook* libro = workbook_new(archivo.c_str());
  if (!libro) {
    throw EOleException("No se pudo crear el libro " + archivo);
  }
  aviso.PutMsg("Excel activado.");
  lxw_worksheet* hoja = workbook_add_worksheet(libro, "Exportación");
  aviso.PutMsg("Hojas creadas en Excel.");
  aviso.PutMsg("Rango tipo texto activados");
  for (int i = 0; i < adataset->FieldCount; ++i)
    worksheet_write_string(hoja, 0, static_cast<lxw_col_t>(i), adataset->Fields[i]->FieldName.c_str(), nullptr);
  lxw_row_t fila = 1;
  for (adataset->First(); !adataset->Eof; adataset->Next()) {
    for (int j = 0; j < adataset->FieldCount; ++j) {
      TField* c = adataset->Fields[j];
      if (!c->IsNull)
        worksheet_write_string(hoja, fila, static_cast<lxw_col_t>(j), c->AsString().c_str(), nullptr);
    }
    ++fila;
    aviso.IncrProgBar();
  }
  aviso.PutMsg("Exportación finalizada.");
  SetCurrentDir(carpeta);
  aviso.Termine();
  lxw_error error = workbook_close(libro);
  if (error != LXW_NO_ERROR)
    throw EOleException("No se pudo guardar " + archivo + ": " + lxw_strerror(error));
  tv::os::OpenDocument(archivo);
}
