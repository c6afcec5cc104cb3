#pragma once
// TObject, TComponent ownership, notify events and string lists.
#include <functional>
#include <memory>
#include <vector>

#include "platform/core/AnsiString.h"

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
  // Class name as the application names it ("TFrmAsientos"); subclasses that matter override.
  virtual AnsiString ClassName() const { return "TObject"; }
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// An owner deletes the components it owns, newest first; a component deleted earlier
// leaves its owner's list.
class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  AnsiString ClassName() const override { return "TComponent"; }

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int i) const;
  TComponent* FindComponent(const AnsiString& name) const;  // case-insensitive
  void InsertComponent(TComponent* c);
  void RemoveComponent(TComponent* c);

  AnsiString Name;
  int Tag = 0;

 private:
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  bool destroying_ = false;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

// Ordered list of strings with an optional object pointer per line.
class TStrings : public TObject {
 public:
  AnsiString ClassName() const override { return "TStrings"; }
  virtual int Count() const = 0;
  virtual const AnsiString& Get(int i) const = 0;
  virtual void Put(int i, const AnsiString& s) = 0;
  virtual TObject* GetObject(int i) const = 0;
  virtual void PutObject(int i, TObject* o) = 0;
  virtual int Add(const AnsiString& s) { return AddObject(s, nullptr); }
  virtual int AddObject(const AnsiString& s, TObject* o) = 0;
  virtual void Insert(int i, const AnsiString& s) = 0;
  virtual void Delete(int i) = 0;
  virtual void Clear() = 0;
  virtual int IndexOf(const AnsiString& s) const;  // case-insensitive, -1 when absent

  const AnsiString& operator[](int i) const { return Get(i); }
  const AnsiString& Strings(int i) const { return Get(i); }
  TObject* Objects(int i) const { return GetObject(i); }
  void AddStrings(const TStrings& other);
  void Assign(const TStrings& other);
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();

  // Lines joined with "\r\n"-free "\n"; setting splits on CR/LF.
  AnsiString Text() const;
  void SetText(const AnsiString& text);
  AnsiString CommaText() const;
  void SetCommaText(const AnsiString& text);
  // name=value lines
  AnsiString Names(int i) const;
  AnsiString Values(const AnsiString& name) const;
  void SetValue(const AnsiString& name, const AnsiString& value);
  int IndexOfName(const AnsiString& name) const;

  // Files are Windows-1252 on disk unless they read as valid UTF-8; EFOpenError /
  // EFCreateError on failure.
  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName) const;

  TNotifyEvent OnChange;

 protected:
  void Changed();
  int updateCount_ = 0;
};

class TStringList : public TStrings {
 public:
  TStringList() = default;
  AnsiString ClassName() const override { return "TStringList"; }
  int Count() const override { return static_cast<int>(items_.size()); }
  const AnsiString& Get(int i) const override;
  void Put(int i, const AnsiString& s) override;
  TObject* GetObject(int i) const override;
  void PutObject(int i, TObject* o) override;
  int AddObject(const AnsiString& s, TObject* o) override;
  void Insert(int i, const AnsiString& s) override;
  void Delete(int i) override;
  void Clear() override;
  int IndexOf(const AnsiString& s) const override;
  bool Find(const AnsiString& s, int& index) const;  // on a sorted list
  void Sort();
  void Exchange(int a, int b);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool v);
  bool CaseSensitive = false;
  TDuplicates Duplicates = dupIgnore;

 private:
  struct Item {
    AnsiString s;
    TObject* o = nullptr;
  };
  int Compare(const AnsiString& a, const AnsiString& b) const;
  std::vector<Item> items_;
  bool sorted_ = false;
};
