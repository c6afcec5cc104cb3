// Report rows read from a data set.
#include "platform/db/DB.h"
#include "platform/report/Engine.h"

namespace tv::report {
namespace {

bool IsNumeric(TFieldType t) {
  switch (t) {
    case ftSmallint: case ftInteger: case ftWord: case ftFloat: case ftCurrency: case ftAutoInc: return true;
    default: return false;
  }
}

class DataSetData : public ReportData {
 public:
  explicit DataSetData(TDataSet* ds) : ds_(ds) {
    if (!ds_->GetActive()) ds_->Open();
  }
  void First() override { ds_->First(); }
  void Next() override { ds_->Next(); }
  bool Eof() override { return ds_->GetEof(); }
  bool Prior() override {
    ds_->Prior();
    return true;
  }
  bool Field(const std::string& name, ExprValue& out) override { return ReadDataSetField(ds_, name, out); }

 private:
  TDataSet* ds_;
};

}  // namespace

std::unique_ptr<ReportData> DataSetRows(TDataSet* ds) { return std::make_unique<DataSetData>(ds); }

TDataSet* DataSetOf(TDataSource* src) { return src ? src->GetDataSet() : nullptr; }

bool ReadDataSetField(TDataSet* ds, const std::string& name, ExprValue& out) {
  TField* f = ds->FindField(AnsiString(name));
  if (!f) return false;
  out = ExprValue();
  if (!ds->GetActive() || ds->IsEmpty() || f->GetIsNull()) {
    out.isNull = true;
    out.isNumber = IsNumeric(f->DataType());
    return true;
  }
  out.text = f->GetDisplayText().str();
  if (IsNumeric(f->DataType())) {
    out.isNumber = true;
    out.number = f->GetAsFloat();
  }
  return true;
}

}  // namespace tv::report
