// Counting the rows of a dataset: a source that can count its result without reading it
// (a query still streaming) is asked first, so a count holds no rows.
#include <algorithm>

#include "platform/db/DB.h"

int TDataSet::GetRecordCount() const {
  if (state_ == dsInactive) throw EDatabaseError("Cannot perform this operation on a closed dataset");
  SyncIfChanged();
  size_t all = 0;
  if (!filtered_ && state_ == dsBrowse && CountAllRows(all)) return static_cast<int>(std::max(all, view_.size()));
  AllRows();
  return static_cast<int>(view_.size());
}
