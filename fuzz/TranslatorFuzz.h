#pragma once
// The schema the translator fuzz target and its corpus replay translate against.
#include <strings.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/db/sql/Translator.h"

namespace tv::db::fuzz {

class FuzzSchema : public SchemaLookup {
 public:
  FuzzSchema() {
    using K = ColumnKind;
    tables_["MVT"] = {{"descdocu", K::Text}, {"numedocu", K::Text}, {"numecuen", K::Text},
                      {"cedulanit", K::Text}, {"debito", K::Number}, {"credito", K::Number},
                      {"fecha", K::Date}, {"detalle", K::Text}, {"item", K::Integer}};
    tables_["PL"] = {{"numecuen", K::Text}, {"nombcuen", K::Text}, {"naturaleza", K::Text},
                     {"nivel", K::Integer}, {"activa", K::Logical}};
    tables_["pac"] = {{"icd", K::Number}, {"m1", K::Number}};
  }
  std::optional<std::string> ResolveTable(std::string_view written) const override {
    std::string name = StoredTableName(written);
    for (const auto& [k, v] : tables_)
      if (strcasecmp(k.c_str(), name.c_str()) == 0) return k;
    return std::nullopt;
  }
  std::vector<ColumnInfo> Columns(std::string_view t) const override {
    auto it = tables_.find(std::string(t));
    return it == tables_.end() ? std::vector<ColumnInfo>{} : it->second;
  }

 private:
  std::map<std::string, std::vector<ColumnInfo>> tables_;
};

// One input: translated, or refused with std::invalid_argument; anything else escapes.
inline void TranslateOne(std::string_view text) {
  static const FuzzSchema schema;
  try {
    TranslateLocalSql(text, schema);
  } catch (const std::invalid_argument&) {
  }
}

}  // namespace tv::db::fuzz
