#pragma once
// Rows for report tests, without a database.
#include <map>
#include <string>
#include <vector>

#include "platform/report/Engine.h"

namespace tv::report::test {

class ListRows : public ReportData {
 public:
  explicit ListRows(std::vector<std::string> columns) : columns_(std::move(columns)) {}
  void AddRow(std::vector<ExprValue> row) { rows_.push_back(std::move(row)); }
  void First() override { pos_ = 0; }
  void Next() override { ++pos_; }
  bool Eof() override { return pos_ >= rows_.size(); }
  bool Prior() override {
    if (pos_ > 0) --pos_;
    return true;
  }
  bool Field(const std::string& name, ExprValue& out) override {
    for (size_t i = 0; i < columns_.size(); ++i)
      if (columns_[i] == name) {
        size_t p = rows_.empty() ? 0 : std::min(pos_, rows_.size() - 1);
        out = rows_.empty() ? ExprValue{} : rows_[p][i];
        return true;
      }
    return false;
  }
  static ExprValue Text(std::string s) { return ExprValue::Str(std::move(s)); }
  static ExprValue Num(double d) { return ExprValue::Num(d); }

 private:
  std::vector<std::string> columns_;
  std::vector<std::vector<ExprValue>> rows_;
  size_t pos_ = 0;
};

}  // namespace tv::report::test
