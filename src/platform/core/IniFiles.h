#pragma once
// Ini files with Windows profile semantics: case-insensitive sections and keys, a
// missing key gives the default, every write goes to disk at once (creating the file,
// section and key), booleans stored as 1/0, Windows-1252 on disk.
#include "platform/core/Classes.h"

class TIniFile : public TObject {
 public:
  explicit TIniFile(const AnsiString& fileName);
  AnsiString ClassName() const override { return "TIniFile"; }

  const AnsiString& FileName() const { return fileName_; }
  AnsiString ReadString(const AnsiString& section, const AnsiString& key, const AnsiString& def) const;
  // A value that is not a whole number gives the default.
  int ReadInteger(const AnsiString& section, const AnsiString& key, int def) const;
  // Any non-zero number is true; a non-number gives the default.
  bool ReadBool(const AnsiString& section, const AnsiString& key, bool def) const;
  double ReadFloat(const AnsiString& section, const AnsiString& key, double def) const;
  void WriteString(const AnsiString& section, const AnsiString& key, const AnsiString& value);
  void WriteInteger(const AnsiString& section, const AnsiString& key, int value);
  void WriteBool(const AnsiString& section, const AnsiString& key, bool value);
  void WriteFloat(const AnsiString& section, const AnsiString& key, double value);
  void ReadSection(const AnsiString& section, TStrings* keys) const;  // key names only
  void ReadSections(TStrings* sections) const;
  void ReadSectionValues(const AnsiString& section, TStrings* lines) const;  // key=value
  bool SectionExists(const AnsiString& section) const;
  bool ValueExists(const AnsiString& section, const AnsiString& key) const;
  void EraseSection(const AnsiString& section);
  void DeleteKey(const AnsiString& section, const AnsiString& key);

 private:
  AnsiString fileName_;
};
