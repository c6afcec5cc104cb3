// A dataset over a source read in pages (a table in row-id order, a streamed query) holds
// only the ids read so far; whatever needs a row beyond them reads on first, so that every
// operation gives what the whole order gives.
#include <algorithm>

#include "platform/db/Engine.h"

void TDataSet::AllRows() const {
  if (state_ == dsInactive || filtered_) return;
  auto* self = const_cast<TDataSet*>(this);
  while (self->MoreRows(self->view_, 0)) {
  }
}

void TDataSet::ReadOnTo(int pos) {
  if (state_ == dsInactive || filtered_ || pos < static_cast<int>(view_.size())) return;
  size_t from = view_.size();
  MoreRows(view_, static_cast<size_t>(pos) + 1 - view_.size());
  if (viewSorted_ && from > 0 && view_.size() > from)
    viewSorted_ = std::is_sorted(view_.begin() + static_cast<std::ptrdiff_t>(from - 1), view_.end());
}

int TDataSet::PosReadingOn(std::int64_t id) const {
  int p = PosOfId(id);
  if (p >= 0 || state_ == dsInactive || filtered_) return p;
  auto* self = const_cast<TDataSet*>(this);
  for (;;) {
    size_t from = view_.size();
    if (!self->MoreRows(self->view_, 4096)) return -1;
    auto it = std::find(view_.begin() + static_cast<std::ptrdiff_t>(from), view_.end(), id);
    if (self->viewSorted_ && from > 0)
      self->viewSorted_ = std::is_sorted(view_.begin() + static_cast<std::ptrdiff_t>(from - 1), view_.end());
    if (it != view_.end()) return static_cast<int>(it - view_.begin());
  }
}

// ---- bookmarks -----------------------------------------------------------------------------
TBookmark TDataSet::GetBookmark() const {
  TBookmark b;
  SyncIfChanged();
  if (state_ != dsInactive && pos_ >= 0 && pos_ < static_cast<int>(view_.size())) {
    b.id = view_[static_cast<size_t>(pos_)];
    b.valid = true;
  }
  return b;
}

bool TDataSet::BookmarkValid(const TBookmark& bm) const {
  SyncIfChanged();
  return bm.valid && PosReadingOn(bm.id) >= 0;
}

void TDataSet::GotoBookmark(const TBookmark& bm) {
  CheckBrowseMode();
  SyncIfChanged();
  int p = bm.valid ? PosReadingOn(bm.id) : -1;
  if (p < 0) tv::db::ThrowEngine(DBIERR_RECNOTFOUND, "Record/key deleted.");
  bof_ = eof_ = false;
  GoTo(p);
}
