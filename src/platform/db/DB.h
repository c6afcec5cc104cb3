#pragma once
// Datasets, fields, data sources and database errors: the members the application uses,
// over SQLite. Tables and queries are in DBTables.h.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/core/SysUtils.h"
#include "platform/core/Variant.h"

// ---- engine result codes ------------------------------------------------------------
// 16-bit codes: high byte = category, low byte = code within it; 0 = success.
using DBIResult = unsigned short;
inline constexpr DBIResult DBIERR_NONE = 0;
inline constexpr DBIResult DBIERR_BOF = 0x2201;
inline constexpr DBIResult DBIERR_EOF = 0x2202;
inline constexpr DBIResult DBIERR_RECNOTFOUND = 0x2205;
inline constexpr DBIResult DBIERR_READERR = 0x2102;
inline constexpr DBIResult DBIERR_WRITEERR = 0x2103;
inline constexpr DBIResult DBIERR_NODISKSPACE = 0x2104;      // disk or file-size limit full
inline constexpr DBIResult DBIERR_NOTADB = 0x2107;           // the database file is not a database
inline constexpr DBIResult DBIERR_PHYSICALCORRUPT = 0x2105;  // damaged database file
inline constexpr DBIResult DBIERR_OPENFAILED = 0x2106;       // folder or database file not usable
inline constexpr DBIResult DBIERR_KEYVIOL = 0x2601;          // duplicate value of a unique key
inline constexpr DBIResult DBIERR_REQDERR = 0x2604;          // required field missing
inline constexpr DBIResult DBIERR_RECCHANGED = 0x2605;       // row changed or deleted by another user since read
inline constexpr DBIResult DBIERR_RULEVIOL = 0x2606;         // a commit check refused the write (message says why)
inline constexpr DBIResult DBIERR_INVALIDFIELDNAME = 0x2719;
inline constexpr DBIResult DBIERR_NOSUCHTABLE = 0x2729;
inline constexpr DBIResult DBIERR_TABLEEXISTS = 0x2C01;
inline constexpr DBIResult DBIERR_INVALIDHNDL = 0x2706;
inline constexpr DBIResult DBIERR_LOCKED = 0x2801;           // database busy / locked by another process
inline constexpr DBIResult DBIERR_DIRLOCKED = 0x2806;        // another computer writes the folder (message says which)
inline constexpr DBIResult DBIERR_NOACTIVETRAN = 0x2A01;
inline constexpr DBIResult DBIERR_ACTIVETRAN = 0x2A02;
inline constexpr DBIResult DBIERR_TYPEMISMATCH = 0x2E29;
inline constexpr DBIResult DBIERR_QRYSYNTERR = 0x2E03;       // SQL text not understood
inline constexpr DBIResult DBIERR_READONLY = 0x2A0A;         // result set cannot be modified
inline constexpr DBIResult DBIERR_NOTSUPPORTED = 0x3E05;
inline constexpr DBIResult DBIERR_UNKNOWNERR = 0x2B01;

// What a code means to the user and what to do, one Spanish sentence.
AnsiString DBIErrorText(DBIResult code);

// ---- exceptions ---------------------------------------------------------------------
class EDatabaseError : public Exception {
 public:
  using Exception::Exception;
};

class TDBError {
 public:
  DBIResult ErrorCode = 0;
  unsigned char Category = 0;
  unsigned char SubCode = 0;
  int NativeError = 0;  // SQLite result code, when one caused it
  AnsiString Message;
};

// An engine failure: code + message. Errors(0) is the only entry.
class EDBEngineError : public EDatabaseError {
 public:
  EDBEngineError(DBIResult code, const AnsiString& msg, int nativeError = 0);
  int ErrorCount() const { return 1; }
  const TDBError* Errors(int) const { return &error_; }
  DBIResult ErrorCode() const { return error_.ErrorCode; }

 private:
  TDBError error_;
};

// The sentence a window shows for an engine failure: never the SQL text or SQLite's words.
AnsiString DBIUserText(const EDBEngineError& e);

namespace tv::db {
// A write refused because the books themselves cannot be written.
inline constexpr const char* kReadOnlyBooksText =
    "Estos libros están en una carpeta o un medio de solo lectura: se pueden consultar, pero no se puede grabar "
    "ningún cambio.";
}  // namespace tv::db

// ---- small property helpers ------------------------------------------------------------
// Let the application write `Field->AsString = x` and `x = Field->AsString` as it did.
namespace tv::db {
template <class C, class T, T (C::*Get)() const>
class ReadProp {
 public:
  explicit ReadProp(const C* o) : o_(o) {}
  ReadProp(const ReadProp&) = delete;
  ReadProp& operator=(const ReadProp&) = delete;
  operator T() const { return (o_->*Get)(); }
  T operator()() const { return (o_->*Get)(); }

 private:
  const C* o_;
};

template <class C, class T, T (C::*Get)() const, void (C::*Set)(const T&)>
class Prop {
 public:
  explicit Prop(C* o) : o_(o) {}
  Prop(const Prop&) = delete;
  operator T() const { return (o_->*Get)(); }
  T operator()() const { return (o_->*Get)(); }
  Prop& operator=(const T& v) { (o_->*Set)(v); return *this; }
  Prop& operator=(const Prop& p) { (o_->*Set)(p()); return *this; }
  template <class U, U (C::*G2)() const, void (C::*S2)(const U&)>
  Prop& operator=(const Prop<C, U, G2, S2>& p) { (o_->*Set)(T(p())); return *this; }

 private:
  C* o_;
};

// Text property with the common read-only string members.
template <class C, AnsiString (C::*Get)() const, void (C::*Set)(const AnsiString&)>
class StrProp : public Prop<C, AnsiString, Get, Set> {
 public:
  using Base = Prop<C, AnsiString, Get, Set>;
  using Base::Base;
  using Base::operator=;
  StrProp& operator=(const char* v) { Base::operator=(AnsiString(v)); return *this; }
  StrProp& operator=(const StrProp& p) { Base::operator=(p()); return *this; }
  template <AnsiString (C::*G2)() const, void (C::*S2)(const AnsiString&)>
  StrProp& operator=(const StrProp<C, G2, S2>& p) { Base::operator=(p()); return *this; }
  int Length() const { return (*this)().Length(); }
  bool IsEmpty() const { return (*this)().IsEmpty(); }
  AnsiString Trim() const { return (*this)().Trim(); }
  AnsiString UpperCase() const { return (*this)().UpperCase(); }
  AnsiString LowerCase() const { return (*this)().LowerCase(); }
  AnsiString SubString(int start, int count) const { return (*this)().SubString(start, count); }
  int Pos(const AnsiString& s) const { return (*this)().Pos(s); }
  int ToInt() const { return (*this)().ToInt(); }
  double ToDouble() const { return (*this)().ToDouble(); }
  std::string str() const { return (*this)().str(); }
  friend bool operator==(const StrProp& a, const char* b) { return a() == b; }
  friend bool operator==(const StrProp& a, const AnsiString& b) { return a() == b; }
  friend AnsiString operator+(const StrProp& a, const char* b) { return a() + b; }
  friend AnsiString operator+(const char* a, const StrProp& b) { return a + b(); }
  friend AnsiString operator+(const StrProp& a, const AnsiString& b) { return a() + b; }
  friend AnsiString operator+(const AnsiString& a, const StrProp& b) { return a + b(); }
};

struct Cell;  // one stored value (null, integer, real or text)
using Record = std::vector<Cell>;
class Connection;
}  // namespace tv::db

// ---- fields -------------------------------------------------------------------------
enum TFieldType {
  ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency,
  ftDate, ftTime, ftDateTime, ftMemo, ftAutoInc, ftBlob
};

class TDataSet;

// A column of a dataset; reads and writes the dataset's current record. Values written
// while the dataset is not in edit or insert state raise EDatabaseError.
class TField : public TObject {
 public:
  TField(TDataSet* dataSet, const AnsiString& name, TFieldType type, int size, int index);
  AnsiString ClassName() const override;

  AnsiString FieldName;
  TDataSet* DataSet() const { return dataSet_; }
  TFieldType DataType() const { return type_; }
  int Size() const { return size_; }  // declared width of text fields, else 0
  int Index() const { return index_; }
  int FieldNo() const { return index_ + 1; }
  bool ReadOnly = false;
  bool Visible = true;
  int DisplayWidth() const;  // characters a grid column needs by default

  // Getters/setters behind the properties below.
  AnsiString GetAsString() const;
  void SetAsString(const AnsiString& v);  // text → number/date with the program's formats
  int GetAsInteger() const;
  void SetAsInteger(const int& v);
  double GetAsFloat() const;
  void SetAsFloat(const double& v);
  TDateTime GetAsDateTime() const;
  void SetAsDateTime(const TDateTime& v);
  bool GetAsBoolean() const;
  void SetAsBoolean(const bool& v);
  Variant GetValue() const;
  void SetValue(const Variant& v);
  AnsiString GetText() const { return GetAsString(); }
  void SetText(const AnsiString& v) { SetAsString(v); }
  AnsiString GetDisplayText() const;  // as shown by a grid (booleans "True"/"False", dates short)
  bool GetIsNull() const;

  tv::db::StrProp<TField, &TField::GetAsString, &TField::SetAsString> AsString{this};
  tv::db::StrProp<TField, &TField::GetText, &TField::SetText> Text{this};
  tv::db::Prop<TField, int, &TField::GetAsInteger, &TField::SetAsInteger> AsInteger{this};
  tv::db::Prop<TField, double, &TField::GetAsFloat, &TField::SetAsFloat> AsFloat{this};
  tv::db::Prop<TField, double, &TField::GetAsFloat, &TField::SetAsFloat> AsCurrency{this};
  tv::db::Prop<TField, TDateTime, &TField::GetAsDateTime, &TField::SetAsDateTime> AsDateTime{this};
  tv::db::Prop<TField, bool, &TField::GetAsBoolean, &TField::SetAsBoolean> AsBoolean{this};
  tv::db::Prop<TField, Variant, &TField::GetValue, &TField::SetValue> Value{this};
  tv::db::ReadProp<TField, AnsiString, &TField::GetDisplayText> DisplayText{this};
  tv::db::ReadProp<TField, bool, &TField::GetIsNull> IsNull{this};

  void Clear();  // sets null
  void FocusControl() {}

 private:
  void Store(tv::db::Cell&& c);
  TDataSet* dataSet_;
  TFieldType type_;
  int size_;
  int index_;
};

class TStringField : public TField { using TField::TField; public: AnsiString ClassName() const override { return "TStringField"; } };
class TFloatField : public TField { using TField::TField; public: AnsiString ClassName() const override { return "TFloatField"; } };
class TCurrencyField : public TFloatField { using TFloatField::TFloatField; public: AnsiString ClassName() const override { return "TCurrencyField"; } };
class TIntegerField : public TField { using TField::TField; public: AnsiString ClassName() const override { return "TIntegerField"; } };
class TSmallintField : public TIntegerField { using TIntegerField::TIntegerField; public: AnsiString ClassName() const override { return "TSmallintField"; } };
class TDateField : public TField { using TField::TField; public: AnsiString ClassName() const override { return "TDateField"; } };
class TDateTimeField : public TField { using TField::TField; public: AnsiString ClassName() const override { return "TDateTimeField"; } };
class TBooleanField : public TField { using TField::TField; public: AnsiString ClassName() const override { return "TBooleanField"; } };
class TMemoField : public TField { using TField::TField; public: AnsiString ClassName() const override { return "TMemoField"; } };

// The dataset's field list: Fields[i], Fields.Count().
class TFields {
 public:
  explicit TFields(const TDataSet* ds) : ds_(ds) {}
  TField* operator[](int i) const;
  TField* Fields(int i) const { return (*this)[i]; }
  int Count() const;

 private:
  const TDataSet* ds_;
};

// ---- dataset ------------------------------------------------------------------------
enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter };

enum TLocateOption { loCaseInsensitive, loPartialKey };
class TLocateOptions {
 public:
  TLocateOptions() = default;
  TLocateOptions(std::initializer_list<TLocateOption> opts) { for (auto o : opts) *this << o; }
  TLocateOptions& operator<<(TLocateOption o) { bits_ |= 1u << o; return *this; }
  TLocateOptions& operator>>(TLocateOption o) { bits_ &= ~(1u << o); return *this; }
  bool Contains(TLocateOption o) const { return bits_ & (1u << o); }

 private:
  unsigned bits_ = 0;
};

// A remembered row; valid until the row is deleted. FreeBookmark releases nothing.
struct TBookmark {
  std::int64_t id = -1;
  bool valid = false;
  explicit operator bool() const { return valid; }
};

class TDataSource;
using TDataSetNotifyEvent = std::function<void(TDataSet* DataSet)>;

// Common base of tables and queries: a cursor over an ordered list of records.
// Subclasses supply the records; this class keeps the position, state, edit buffer,
// filter, events and notifications.
class TDataSet : public TComponent {
 public:
  using FilterExpr = struct TDataSetFilter;
  explicit TDataSet(TComponent* AOwner);
  ~TDataSet() override;
  AnsiString ClassName() const override { return "TDataSet"; }

  // Open/close
  void Open();
  void Close();
  bool GetActive() const { return state_ != dsInactive; }
  void SetActive(const bool& v) { v ? Open() : Close(); }
  tv::db::Prop<TDataSet, bool, &TDataSet::GetActive, &TDataSet::SetActive> Active{this};

  // Fields
  TFields Fields{this};
  int GetFieldCount() const { return static_cast<int>(fields_.size()); }
  tv::db::ReadProp<TDataSet, int, &TDataSet::GetFieldCount> FieldCount{this};
  TField* FieldByName(const AnsiString& name) const;  // case-insensitive; EDatabaseError when absent
  TField* FindField(const AnsiString& name) const;    // nullptr when absent
  void GetFieldNames(TStrings* list) const;

  // Navigation. Moving away from a modified row posts it.
  void First();
  void Last();
  void Next();
  void Prior();
  int MoveBy(int distance);
  bool GetEof() const;
  bool GetBof() const;
  tv::db::ReadProp<TDataSet, bool, &TDataSet::GetEof> Eof{this};
  tv::db::ReadProp<TDataSet, bool, &TDataSet::GetBof> Bof{this};
  bool IsEmpty() const;
  int GetRecordCount() const;  // rows visible through the filter
  tv::db::ReadProp<TDataSet, int, &TDataSet::GetRecordCount> RecordCount{this};
  int GetRecNo() const;        // 1-based; -1 while inserting or when empty
  void SetRecNo(const int& v);
  tv::db::Prop<TDataSet, int, &TDataSet::GetRecNo, &TDataSet::SetRecNo> RecNo{this};
  virtual void Refresh();

  // State and editing
  TDataSetState GetState() const { return state_; }
  tv::db::ReadProp<TDataSet, TDataSetState, &TDataSet::GetState> State{this};
  void Append();
  void Insert();
  void Edit();
  void Post();
  void Cancel();
  void Delete();
  bool GetModified() const { return modified_; }
  tv::db::ReadProp<TDataSet, bool, &TDataSet::GetModified> Modified{this};
  virtual bool CanModify() const { return false; }
  void CheckBrowseMode();  // posts a modified row, cancels an unmodified one

  // Bookmarks
  TBookmark GetBookmark() const;
  void GotoBookmark(const TBookmark& bm);
  void FreeBookmark(TBookmark& bm) { bm.valid = false; }
  bool BookmarkValid(const TBookmark& bm) const;

  // Search
  bool Locate(const AnsiString& keyFields, const Variant& keyValues, TLocateOptions options = {});
  Variant Lookup(const AnsiString& keyFields, const Variant& keyValues, const AnsiString& resultFields);

  // Filter: `a='x' and b<>2 or c=''` (and binds tighter; '' matches null).
  AnsiString GetFilter() const { return filterText_; }
  void SetFilter(const AnsiString& v);
  bool GetFiltered() const { return filtered_; }
  void SetFiltered(const bool& v);
  tv::db::StrProp<TDataSet, &TDataSet::GetFilter, &TDataSet::SetFilter> Filter{this};
  tv::db::Prop<TDataSet, bool, &TDataSet::GetFiltered, &TDataSet::SetFiltered> Filtered{this};

  // Controls
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return disableCount_ > 0; }

  // Events
  TDataSetNotifyEvent BeforePost;
  TDataSetNotifyEvent AfterPost;
  TDataSetNotifyEvent BeforeDelete;
  TDataSetNotifyEvent AfterDelete;
  TDataSetNotifyEvent BeforeInsert;
  TDataSetNotifyEvent AfterInsert;
  TDataSetNotifyEvent BeforeEdit;
  TDataSetNotifyEvent AfterScroll;
  TDataSetNotifyEvent AfterOpen;
  TDataSetNotifyEvent BeforeClose;
  TDataSetNotifyEvent OnNewRecord;

  // For grids and exports: rows of the current view without moving the cursor.
  // Row indexes are 0-based and include the row being inserted.
  int ViewRowCount() const;
  int ActiveRow() const;  // -1 when empty
  Variant ValueAt(int row, int fieldIndex) const;
  AnsiString DisplayTextAt(int row, int fieldIndex) const;
  // While set (>= 0), fields read this view row instead of the current one, so a grid's
  // drawing events see the row being painted; -1 restores the current row.
  void SetPaintRow(int row) const { paintRow_ = row; }
  int PaintRow() const { return paintRow_; }

  // For exports: when no filter applies, nothing hears each move (no data source, no
  // AfterScroll) and the source can read all its rows in view order in one pass, passes
  // every record of the view to `row`, first to last, and leaves the cursor where First()
  // and Next() until Eof leave it. `row` must not change data. False = nothing was read:
  // walk the rows instead.
  bool ReadAllRowsAtOnce(const std::function<void(const tv::db::Record&)>& row);

  // Internal (fields and data sources).
  const tv::db::Cell& CurrentCell(int fieldIndex) const;
  void WriteCell(int fieldIndex, tv::db::Cell&& value, TField* field);
  void AddDataSource(TDataSource* ds);
  void RemoveDataSource(TDataSource* ds);
  virtual std::shared_ptr<tv::db::Connection> GetConnection() const { return nullptr; }

 protected:
  // --- what a subclass supplies ---
  struct ColumnDef {
    std::string name;
    TFieldType type = ftString;
    int size = 0;
  };
  // Opens the source: fills the column list; EDatabaseError/EDBEngineError on failure.
  virtual void DoOpen(std::vector<ColumnDef>& columns) = 0;
  virtual void DoClose() = 0;
  // Record ids in the dataset's order (without filter).
  virtual void LoadOrder(std::vector<std::int64_t>& ids) = 0;
  // Reads a record; false when it no longer exists. `hint` lists the ids likely read next.
  virtual bool ReadRecord(std::int64_t id, tv::db::Record& out, const std::int64_t* hint, int hintCount) = 0;
  // Visits every record in order (filters); default reads them one by one.
  virtual void ScanAll(const std::function<void(std::int64_t, const tv::db::Record&)>& fn);
  // True when ScanAll visits exactly the rows of the unfiltered view, in view order.
  virtual bool ScanAllIsView() const { return false; }
  virtual std::int64_t DoInsert(const tv::db::Record& rec) { (void)rec; ReadOnlyError(); return -1; }
  virtual void DoUpdate(std::int64_t id, const tv::db::Record& rec, const std::vector<bool>& changed) {
    (void)id; (void)rec; (void)changed; ReadOnlyError();
  }
  virtual void DoDelete(std::int64_t id) { (void)id; ReadOnlyError(); }
  // True when the order may change after the row was written (keyed tables).
  virtual bool OrderDependsOn(const std::vector<bool>& changed) const { (void)changed; return false; }
  // Whether records changed behind the dataset's back since `LoadOrder`; called before access.
  virtual bool SourceChanged() const { return false; }
  virtual void MarkSynced() {}
  virtual void DropCache() {}
  // Ids of records whose fields equal the values exactly (tables answer through SQL);
  // false = let the base scan.
  virtual bool FindExact(const std::vector<int>& fields, const tv::db::Record& values,
                         std::vector<std::int64_t>& ids) {
    (void)fields; (void)values; (void)ids; return false;
  }
  [[noreturn]] void ReadOnlyError() const;
  // Keeping the order up to date in place (tables in key order, no filter): rows compared
  // as the order sorts them, the row changes made through the connection since MarkSynced,
  // and a row as stored now (no cache).
  struct RowNote {
    char op = 0;  // 'i', 'u', 'd'
    std::int64_t id = 0;
    std::shared_ptr<const tv::db::Record> old;  // before an update or delete, when known
  };
  // Visits, in the dataset's order, the rows that may match a case-insensitive or partial
  // search (`wanted` folded when ci) until `visit` returns true; false = let the base scan.
  virtual bool VisitCandidates(const std::vector<int>& fields, const std::vector<std::string>& wanted, bool ci,
                               bool partial, const std::function<bool(std::int64_t)>& visit) {
    (void)fields; (void)wanted; (void)ci; (void)partial; (void)visit; return false;
  }
  virtual bool PlacesInOrder() const { return false; }
  // Sources that read their rows as needed (query results): appends the ids of up to
  // `count` more rows (0 = all the rest); false when none were left.
  virtual bool MoreRows(std::vector<std::int64_t>& ids, size_t count) { (void)ids; (void)count; return false; }
  // The number of rows the whole unfiltered result holds, found without reading the rows
  // not yet read; false when only reading them tells.
  virtual bool CountAllRows(size_t& rows) const { (void)rows; return false; }
  virtual int CompareInOrder(std::int64_t a, const tv::db::Record& ra, std::int64_t b, const tv::db::Record& rb) const {
    (void)ra; (void)rb; return a < b ? -1 : (a > b ? 1 : 0);
  }
  virtual bool RowChangesSinceSync(std::vector<RowNote>& out) const { (void)out; return false; }
  virtual bool ReadFresh(std::int64_t id, tv::db::Record& out) { return ReadRecord(id, out, &id, 1); }
  // The row as the user saw it before an edit or delete (nullptr when none).
  const tv::db::Record* SeenRecord() const { return seen_.get(); }

  // Reloads the order keeping the cursor on the same record when it still exists.
  void Resync();
  void SyncIfChanged() const;
  void BeginNewRecord(bool append);
  void DataEvent(int kind, TField* field = nullptr);  // notifies data sources
  void CreateFields(const std::vector<ColumnDef>& columns);

 private:
  friend class TField;
  friend class TFields;
  void ApplyView(std::int64_t keepId, int fallbackPos);
  int PlaceOf(std::int64_t id, const tv::db::Record& rec);
  int FindRow(std::int64_t id, const tv::db::Record* old);
  int PlaceRow(std::int64_t id);  // inserts the stored row in view_: its index, -1 failed, -2 gone
  bool PatchView();
  void AllRows() const;  // the whole view, for counts and searches
  void ReadOnTo(int pos);  // reads on (paged sources) until view_ holds `pos`, or to the end
  int PosReadingOn(std::int64_t id) const;  // PosOfId, reading on until the id shows
  void LoadCurrent() const;
  void GoTo(int pos, bool scrolled = true);
  bool RecordMatches(const tv::db::Record& rec) const;
  const tv::db::Record* RecordAt(int pos) const;
  int PosOfId(std::int64_t id) const;
  void Scrolled();

  std::vector<std::unique_ptr<TField>> fields_;
  TDataSetState state_ = dsInactive;
  std::vector<std::int64_t> view_;        // record ids in view order
  bool viewSorted_ = true;
  mutable int lastRead_ = -1;             // last position read (read-ahead direction)                // ids ascending: binary search by id
  int pos_ = -1;                          // index in view_ of the current record
  bool bof_ = true, eof_ = true;
  mutable std::unique_ptr<tv::db::Record> cur_;  // current record (copy) or edit buffer
  std::unique_ptr<tv::db::Record> seen_;  // row as read, checked by the post or delete
  mutable bool curLoaded_ = false;
  std::vector<bool> changed_;             // fields changed in the edit buffer
  bool modified_ = false;
  int insertPos_ = -1;                    // where an inserted row shows while unposted
  bool appending_ = false;
  AnsiString filterText_;
  bool filtered_ = false;
  std::shared_ptr<struct TDataSetFilter> filter_;
  int disableCount_ = 0;
  bool pendingChange_ = false;
  std::vector<TDataSource*> sources_;
  mutable bool syncing_ = false;
  mutable int paintRow_ = -1;
};

// ---- data sources -----------------------------------------------------------------
using TDataChangeEvent = std::function<void(TObject* Sender, TField* Field)>;

// Observer of a data source (grids, edits, report texts). Override what you need.
class TDataLink {
 public:
  virtual ~TDataLink();
  TDataSource* DataSource() const { return source_; }
  TDataSet* DataSet() const;
  virtual void ActiveChanged() {}               // opened or closed (or DataSet rebound)
  virtual void DataSetChanged() {}              // contents or order changed
  virtual void RecordChanged(TField* field) { (void)field; }  // field edited; nullptr = row
  virtual void DataSetScrolled() {}             // the cursor moved to another row
  virtual void EditingChanged() {}              // state changed (browse/edit/insert)
  virtual void UpdateData() {}                  // about to post: write pending control text

 private:
  friend class TDataSource;
  TDataSource* source_ = nullptr;
};

class TDataSource : public TComponent {
 public:
  explicit TDataSource(TComponent* AOwner);
  ~TDataSource() override;
  AnsiString ClassName() const override { return "TDataSource"; }

  TDataSet* GetDataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* const& ds);
  tv::db::Prop<TDataSource, TDataSet*, &TDataSource::GetDataSet, &TDataSource::SetDataSet> DataSet{this};
  bool GetEnabled() const { return enabled_; }
  void SetEnabled(const bool& v);
  tv::db::Prop<TDataSource, bool, &TDataSource::GetEnabled, &TDataSource::SetEnabled> Enabled{this};
  TDataSetState GetState() const;
  tv::db::ReadProp<TDataSource, TDataSetState, &TDataSource::GetState> State{this};

  // Fires on every row change (Field == nullptr: scroll, open, refresh, filter toggle,
  // post, delete) and on a field change (Field = the field).
  TDataChangeEvent OnDataChange;
  TNotifyEvent OnStateChange;
  TNotifyEvent OnUpdateData;  // before a post

  void AddDataLink(TDataLink* link);
  void RemoveDataLink(TDataLink* link);

  // Called by the dataset.
  enum class Event { Active, DataSet, Record, Scroll, State, Update };
  void Notify(Event e, TField* field);

 private:
  TDataSet* dataSet_ = nullptr;
  bool enabled_ = true;
  std::vector<TDataLink*> links_;
};
