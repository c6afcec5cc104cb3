#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

using namespace tv::db;

TBatchMove::TBatchMove(TComponent* AOwner) : TComponent(AOwner) {}

void TBatchMove::Execute() {
  moved_ = 0;
  if (!Source || !Destination) throw EDatabaseError(Name + ": Source and destination are required");
  if (!Source->GetActive()) Source->Open();
  if (Mode == batCopy) {
    if (Destination->GetActive()) Destination->Close();
    if (TableExists(Destination->DatabaseName, Destination->TableName)) {
      Destination->EmptyTable();
    } else {
      // a destination created from the source's fields
      std::string sql = "CREATE TABLE " + QuoteIdent(BareTableName(Destination->TableName.str())) + " (";
      std::vector<std::string> seen;
      for (int k = 0; k < Source->GetFieldCount(); ++k) {
        TField* f = Source->Fields[k];
        std::string lower = Lower(f->FieldName.str());
        if (std::find(seen.begin(), seen.end(), lower) != seen.end()) continue;
        seen.push_back(lower);
        ColumnKind kind = ColumnKind::Text;
        switch (f->DataType()) {
          case ftFloat: case ftCurrency: kind = ColumnKind::Number; break;
          case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: kind = ColumnKind::Integer; break;
          case ftDate: kind = ColumnKind::Date; break;
          case ftDateTime: case ftTime: kind = ColumnKind::DateTime; break;
          case ftBoolean: kind = ColumnKind::Logical; break;
          case ftMemo: case ftBlob: kind = ColumnKind::Memo; break;
          default: break;
        }
        sql += (seen.size() > 1 ? ", " : "") + QuoteIdent(f->FieldName.str()) + " " + DeclaredType(kind, f->Size());
      }
      ConnectionFor(Destination->DatabaseName)->Exec(sql + ")");
    }
  } else if (Mode != batAppend) {
    throw EDatabaseError(Name + ": only append and copy modes are supported");
  }
  if (!Destination->GetActive()) Destination->Open();
  // destination field ← first source field of the same name
  std::vector<std::pair<TField*, TField*>> map;
  for (int k = 0; k < Destination->GetFieldCount(); ++k) {
    TField* d = Destination->Fields[k];
    if (TField* s = Source->FindField(d->FieldName)) map.emplace_back(d, s);
  }
  Transaction tx(Destination->DatabaseName);
  Source->DisableControls();
  Destination->DisableControls();
  try {
    Source->First();
    while (!Source->GetEof() && (RecordCount <= 0 || moved_ < RecordCount)) {
      Destination->Append();
      for (auto& [d, s] : map) d->SetValue(s->GetValue());
      Destination->Post();
      ++moved_;
      Source->Next();
    }
  } catch (...) {
    if (Destination->GetState() == dsInsert) Destination->Cancel();
    Source->EnableControls();
    Destination->EnableControls();
    throw;
  }
  tx.Commit();
  Source->EnableControls();
  Destination->EnableControls();
}
