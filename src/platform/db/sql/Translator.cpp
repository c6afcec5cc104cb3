// Local-SQL → SQLite translation: a tokenizer, a pass that finds the scopes and table
// references of the statement, a pass that resolves column references against the
// schema, and an emitter that rewrites the forms SQLite reads differently.
#include "platform/db/sql/Translator.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <map>
#include <stdexcept>

#include "platform/db/Storage.h"

namespace tv::db {

namespace {

enum class T { Word, Number, Str, DStr, Op, LParen, RParen, Comma, Dot, Semi };

struct Tok {
  T t;
  std::string text;  // Str/DStr: the value with the doubled quotes undone
  int depth = 0;     // parenthesis depth (a '(' and its ')' sit at the outer depth)
};

char Up(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool EqNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Up(a[i]) != Up(b[i])) return false;
  return true;
}

std::string Upper(std::string_view s) {
  std::string r(s);
  for (auto& c : r) c = Up(c);
  return r;
}

bool WordStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }
bool WordChar(unsigned char c) { return WordStart(c) || std::isdigit(c) || c == '$' || c == '#'; }

std::vector<Tok> Tokenize(std::string_view s) {
  std::vector<Tok> out;
  out.reserve(s.size() / 4 + 4);
  int depth = 0;
  size_t i = 0;
  const size_t n = s.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
      ++i;
      continue;
    }
    if (c == '\'' || c == '"') {
      char q = static_cast<char>(c);
      std::string v;
      size_t j = i + 1;
      bool closed = false;
      while (j < n) {
        if (s[j] == q) {
          if (j + 1 < n && s[j + 1] == q) {
            v += q;
            j += 2;
            continue;
          }
          closed = true;
          break;
        }
        v += s[j++];
      }
      if (!closed) throw std::invalid_argument("Texto sin cerrar en la sentencia SQL");
      out.push_back({q == '\'' ? T::Str : T::DStr, std::move(v), depth});
      i = j + 1;
      continue;
    }
    if (std::isdigit(c) || (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
      size_t j = i;
      while (j < n && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
      if (j < n && s[j] == '.') {
        ++j;
        while (j < n && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
      }
      if (j < n && (s[j] == 'e' || s[j] == 'E')) {
        size_t k = j + 1;
        if (k < n && (s[k] == '+' || s[k] == '-')) ++k;
        if (k < n && std::isdigit(static_cast<unsigned char>(s[k]))) {
          j = k;
          while (j < n && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
        }
      }
      out.push_back({T::Number, std::string(s.substr(i, j - i)), depth});
      i = j;
      continue;
    }
    if (WordStart(c)) {
      size_t j = i;
      while (j < n && WordChar(static_cast<unsigned char>(s[j]))) ++j;
      out.push_back({T::Word, std::string(s.substr(i, j - i)), depth});
      i = j;
      continue;
    }
    switch (c) {
      case '(':
        out.push_back({T::LParen, "(", depth});
        ++depth;
        ++i;
        continue;
      case ')':
        if (depth == 0) throw std::invalid_argument("Paréntesis sin abrir en la sentencia SQL");
        --depth;
        out.push_back({T::RParen, ")", depth});
        ++i;
        continue;
      case ',': out.push_back({T::Comma, ",", depth}); ++i; continue;
      case '.': out.push_back({T::Dot, ".", depth}); ++i; continue;
      case ';': out.push_back({T::Semi, ";", depth}); ++i; continue;
      default: break;
    }
    static const char* two[] = {"<>", "<=", ">=", "!=", "||", "=="};
    bool matched = false;
    if (i + 1 < n) {
      for (const char* op : two) {
        if (s[i] == op[0] && s[i + 1] == op[1]) {
          out.push_back({T::Op, op, depth});
          i += 2;
          matched = true;
          break;
        }
      }
    }
    if (matched) continue;
    if (std::strchr("=<>+-*/%", static_cast<int>(c)) != nullptr) {
      out.push_back({T::Op, std::string(1, static_cast<char>(c)), depth});
      ++i;
      continue;
    }
    throw std::invalid_argument(std::string("Carácter inesperado en la sentencia SQL: ") +
                                static_cast<char>(c));
  }
  if (depth != 0) throw std::invalid_argument("Paréntesis sin cerrar en la sentencia SQL");
  return out;
}

enum class Clause { None, SelectList, From, On, Where, GroupBy, Having, OrderBy, Set, Values, Other };
enum class Role { None, TableRef, TableExt, AliasDef, Qualifier, ColRef, AliasName, DottedAlias, Skip };

struct TableRef {
  std::string stored;
  std::string alias;  // as written; empty when none
  const std::vector<ColumnInfo>* cols = nullptr;
  bool known = false;
};

struct Scope {
  int parent = -1;
  int depth = 0;
  bool isSelect = false;
  bool compound = false;
  std::vector<TableRef> tables;
  int selectBegin = -1, selectEnd = -1;  // select-list token range
  int groupBegin = -1, groupEnd = -1;    // GROUP BY list range
  bool hasOrderBy = false;
};

struct Ann {
  int scope = 0;
  Clause clause = Clause::None;
  Role role = Role::None;
  int table = -1;       // table index in `tableScope`
  int tableScope = -1;  // scope that owns the table
  const ColumnInfo* col = nullptr;
  bool qualify = false;   // unqualified column shared by joined tables
  bool addAlias = false;  // qualified select item keeps its written name
  bool dateValue = false;
  bool nullValue = false;  // '' written into a text column
  int valuePos = -1;       // position inside VALUES (...)
};

bool IsCompareOp(const Tok& t) {
  return t.t == T::Op && (t.text == "=" || t.text == "<>" || t.text == "!=" || t.text == "<" ||
                          t.text == ">" || t.text == "<=" || t.text == ">=" || t.text == "==");
}

bool IsAliasStopWord(std::string_view w) {
  static const char* words[] = {"WHERE", "JOIN",   "LEFT",  "RIGHT",     "INNER",  "OUTER",
                                "CROSS", "FULL",   "NATURAL", "ON",      "GROUP",  "ORDER",
                                "HAVING", "UNION", "SET",   "VALUES",    "SELECT", "LIMIT",
                                "USING", "EXCEPT", "INTERSECT", "AS",    "FROM",   "INTO"};
  for (const char* k : words)
    if (EqNoCase(w, k)) return true;
  return false;
}

bool IsSqlKeyword(std::string_view w) {
  return sqlite3_keyword_check(w.data(), static_cast<int>(w.size())) != 0;
}

std::string QuoteIdent(std::string_view name) {
  std::string r = "\"";
  for (char c : name) {
    if (c == '"') r += '"';
    r += c;
  }
  r += '"';
  return r;
}

std::string QuoteText(std::string_view v) {
  std::string r = "'";
  for (char c : v) {
    if (c == '\'') r += '\'';
    r += c;
  }
  r += '\'';
  return r;
}

// "mm/dd/yyyy" (any of / - . as separator, blanks around) → "yyyy-mm-dd"; ISO stays.
std::optional<std::string> DateLiteralToIso(std::string_view raw) {
  size_t b = 0, e = raw.size();
  while (b < e && raw[b] == ' ') ++b;
  while (e > b && raw[e - 1] == ' ') --e;
  std::string_view v = raw.substr(b, e - b);
  auto digits = [](std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
      if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
  };
  if (v.size() == 10 && v[4] == '-' && v[7] == '-' && digits(v.substr(0, 4)) &&
      digits(v.substr(5, 2)) && digits(v.substr(8, 2)))
    return std::string(v);
  size_t s1 = v.find_first_of("/-.");
  if (s1 == std::string_view::npos) return std::nullopt;
  size_t s2 = v.find_first_of("/-.", s1 + 1);
  if (s2 == std::string_view::npos) return std::nullopt;
  auto ms = v.substr(0, s1), ds = v.substr(s1 + 1, s2 - s1 - 1), ys = v.substr(s2 + 1);
  if (!digits(ms) || !digits(ds) || !digits(ys) || ms.size() > 2 || ds.size() > 2 || ys.size() > 4)
    return std::nullopt;
  int m = std::stoi(std::string(ms)), d = std::stoi(std::string(ds)), y = std::stoi(std::string(ys));
  if (ys.size() <= 2) y += (y < 50 ? 2000 : 1900);
  static const int mdays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m < 1 || m > 12 || d < 1 || d > mdays[m - 1]) return std::nullopt;
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  if (m == 2 && d == 29 && !leap) return std::nullopt;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
  return std::string(buf);
}

// Strict UTF-8: no overlong forms, surrogates or stray continuation bytes.
bool ValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    int n = c < 0x80 ? 0 : (c >= 0xC2 && c <= 0xDF) ? 1 : (c >= 0xE0 && c <= 0xEF) ? 2 : (c >= 0xF0 && c <= 0xF4) ? 3 : -1;
    if (n < 0) return false;
    std::uint32_t cp = n == 0 ? c : (c & (0x3F >> n));
    for (int k = 1; k <= n; ++k) {
      if (i + static_cast<size_t>(k) >= s.size()) return false;
      auto d = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    if ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += static_cast<size_t>(n) + 1;
  }
  return true;
}

// A LIKE pattern as a GLOB pattern (GLOB compares case-sensitively, like the original).
// SQLite reads every invalid UTF-8 sequence as the same character, so a pattern holding one
// would match texts it does not hold: such a pattern is refused.
std::string LikeToGlob(std::string_view pat, int esc) {
  if (!ValidUtf8(pat)) throw std::invalid_argument("El patrón de LIKE no es texto UTF-8 válido");
  std::string r;
  r.reserve(pat.size() + 4);
  for (size_t i = 0; i < pat.size(); ++i) {
    char c = pat[i];
    if (esc >= 0 && c == static_cast<char>(esc) && i + 1 < pat.size()) {
      char n = pat[++i];
      if (n == '*' || n == '?' || n == '[') {
        r += '[';
        r += n;
        r += ']';
      } else {
        r += n;
      }
      continue;
    }
    switch (c) {
      case '%': r += '*'; break;
      case '_': r += '?'; break;
      case '*': r += "[*]"; break;
      case '?': r += "[?]"; break;
      case '[': r += "[[]"; break;
      default: r += c;
    }
  }
  return r;
}

class Translator {
 public:
  Translator(std::string_view sql, const SchemaLookup& schema) : schema_(schema) {
    toks_ = Tokenize(sql);
    while (!toks_.empty() && toks_.back().t == T::Semi) toks_.pop_back();
    for (const auto& t : toks_)
      if (t.t == T::Semi) throw std::invalid_argument("Solo se admite una sentencia SQL");
    if (toks_.empty() || toks_[0].t != T::Word)
      throw std::invalid_argument("Sentencia SQL vacía o no reconocida");
    ann_.resize(toks_.size());
    verb_ = Upper(toks_[0].text);
  }

  Translation Run() {
    Structure();
    ResolveColumns();
    MarkValues();
    Translation out;
    out.returnsRows = verb_ == "SELECT";
    if (verb_ == "UPDATE") {
      EmitUpdate(out.statements);
    } else if (verb_ == "CREATE" && Next(0, "TABLE")) {
      out.statements.push_back(EmitCreateTable());
    } else if (verb_ == "DROP" && Next(0, "TABLE")) {
      out.statements.push_back("DROP TABLE IF EXISTS " + QuoteIdent(scopes_[0].tables.empty()
                                                                      ? std::string()
                                                                      : scopes_[0].tables[0].stored));
    } else {
      std::string s = Emit(0, static_cast<int>(toks_.size()));
      const Scope& root = scopes_[0];
      if (verb_ == "SELECT" && root.isSelect && !root.compound && root.groupBegin >= 0 &&
          !root.hasOrderBy)
        s += " ORDER BY " + Emit(root.groupBegin, root.groupEnd);
      out.statements.push_back(std::move(s));
    }
    return out;
  }

 private:
  bool IsW(int i, const char* kw) const {
    return i >= 0 && i < static_cast<int>(toks_.size()) && toks_[i].t == T::Word &&
           EqNoCase(toks_[i].text, kw);
  }
  bool Next(int i, const char* kw) const { return IsW(i + 1, kw); }
  int Size() const { return static_cast<int>(toks_.size()); }

  int MatchParen(int open) const {
    int d = toks_[open].depth;
    for (int j = open + 1; j < Size(); ++j)
      if (toks_[j].t == T::RParen && toks_[j].depth == d) return j;
    throw std::invalid_argument("Paréntesis sin cerrar en la sentencia SQL");
  }

  const std::vector<ColumnInfo>* ColumnsOf(const std::string& stored) {
    auto it = colCache_.find(stored);
    if (it == colCache_.end()) it = colCache_.emplace(stored, schema_.Columns(stored)).first;
    return &it->second;
  }

  // Reads a table reference at i; returns the index after it (and after its alias).
  int ReadTable(int i, int scope, bool allowAlias) {
    const Tok& t = toks_[i];
    std::string written = t.text;
    int j = i + 1;
    ann_[i].role = Role::TableRef;
    ann_[i].scope = scope;
    if (t.t == T::Word && j + 1 < Size() && toks_[j].t == T::Dot && toks_[j + 1].t == T::Word &&
        EqNoCase(toks_[j + 1].text, "db")) {
      ann_[j].role = Role::TableExt;
      ann_[j + 1].role = Role::TableExt;
      written += ".db";
      j += 2;
    }
    TableRef ref;
    std::string candidate = StoredTableName(written);
    if (auto r = schema_.ResolveTable(candidate)) {
      ref.stored = *r;
      ref.known = true;
      ref.cols = ColumnsOf(ref.stored);
    } else {
      ref.stored = candidate;
    }
    if (allowAlias && j < Size() && toks_[j].t == T::Word) {
      if (EqNoCase(toks_[j].text, "AS") && j + 1 < Size() && toks_[j + 1].t == T::Word) {
        ann_[j].role = Role::Skip;
        ann_[j + 1].role = Role::AliasDef;
        ref.alias = toks_[j + 1].text;
        j += 2;
      } else if (!IsAliasStopWord(toks_[j].text)) {
        ann_[j].role = Role::AliasDef;
        ref.alias = toks_[j].text;
        j += 1;
      }
    }
    ann_[i].table = static_cast<int>(scopes_[scope].tables.size());
    ann_[i].tableScope = scope;
    scopes_[scope].tables.push_back(std::move(ref));
    return j;
  }

  void Structure() {
    scopes_.push_back(Scope{});
    std::vector<int> stack{0};
    bool expectTable = false;
    bool afterUnion = false;
    Clause clause = Clause::None;
    std::vector<Clause> clauseOf{Clause::None};  // clause per stack entry
    int valuesDepth = -1, valuePos = 0;
    int insertColsOpen = -1;
    if (verb_ == "UPDATE" || verb_ == "INSERT" || verb_ == "DELETE") clause = Clause::Other;
    if (verb_ == "UPDATE") expectTable = true;
    if ((verb_ == "CREATE" || verb_ == "DROP") && Next(0, "TABLE")) expectTable = true;

    for (int i = 0; i < Size(); ++i) {
      const Tok& t = toks_[i];
      while (stack.size() > 1 && t.depth < scopes_[stack.back()].depth) {
        stack.pop_back();
        clauseOf.pop_back();
        clause = clauseOf.back();
      }
      int s = stack.back();
      Scope& sc = scopes_[s];
      ann_[i].scope = s;
      if (ann_[i].role != Role::None) {  // consumed by a table reference
        ann_[i].clause = clause;
        continue;
      }
      const bool atScope = t.depth == sc.depth;
      // A SELECT right after '(' (derived table, subquery) is a scope of its own: its
      // columns resolve against its own FROM before the enclosing ones.
      const bool nestedSelect = t.t == T::Word && !atScope && t.depth > sc.depth &&
                                toks_[i - 1].t == T::LParen && EqNoCase(t.text, "SELECT");
      if (t.t == T::Word && (atScope || nestedSelect)) {
        std::string w = Upper(t.text);
        if (w == "SELECT") {
          if (afterUnion && atScope) {
            int parent = sc.parent;
            Scope ns;
            ns.parent = parent;
            ns.depth = t.depth;
            ns.isSelect = true;
            ns.compound = true;
            sc.compound = true;
            scopes_.push_back(ns);
            stack.back() = static_cast<int>(scopes_.size()) - 1;
            afterUnion = false;
          } else if (s == 0 && !sc.isSelect && verb_ == "SELECT") {
            sc.isSelect = true;
          } else {
            Scope ns;
            ns.parent = s;
            ns.depth = t.depth;
            ns.isSelect = true;
            scopes_.push_back(ns);
            stack.push_back(static_cast<int>(scopes_.size()) - 1);
            clauseOf.push_back(Clause::SelectList);
          }
          s = stack.back();
          ann_[i].scope = s;
          scopes_[s].selectBegin = i + 1;
          clause = Clause::SelectList;
          clauseOf.back() = clause;
          ann_[i].clause = clause;
          expectTable = false;
          continue;
        }
        Scope& cs = scopes_[s];
        auto setClause = [&](Clause c) {
          if (clause == Clause::SelectList && cs.selectEnd < 0) cs.selectEnd = i;
          if (clause == Clause::GroupBy && cs.groupEnd < 0) cs.groupEnd = i;
          clause = c;
          clauseOf.back() = c;
        };
        if (w == "FROM" && verb_ == "DELETE" && s == 0 && !cs.isSelect) {
          setClause(Clause::Other);
          expectTable = true;
        } else if (w == "FROM") {
          setClause(Clause::From);
          expectTable = true;
        } else if (w == "JOIN") {
          setClause(Clause::From);
          expectTable = true;
        } else if (w == "ON" && clause == Clause::From) {
          setClause(Clause::On);
        } else if (w == "WHERE") {
          setClause(Clause::Where);
        } else if (w == "GROUP" && Next(i, "BY")) {
          setClause(Clause::GroupBy);
          cs.groupBegin = i + 2;
        } else if (w == "HAVING") {
          setClause(Clause::Having);
        } else if (w == "ORDER" && Next(i, "BY")) {
          setClause(Clause::OrderBy);
          cs.hasOrderBy = true;
        } else if (w == "UNION" || w == "EXCEPT" || w == "INTERSECT") {
          setClause(Clause::None);
          cs.compound = true;
          afterUnion = true;
        } else if (w == "SET" && verb_ == "UPDATE" && s == 0) {
          setClause(Clause::Set);
        } else if (w == "VALUES" && s == 0) {
          setClause(Clause::Values);
          valuesDepth = t.depth + 1;
          valuePos = 0;
        } else if (w == "INTO" && s == 0) {
          expectTable = true;
        }
        if (expectTable && (w == "FROM" || w == "JOIN" || w == "INTO" || w == "UPDATE" ||
                            w == "TABLE" || w == "EXISTS" || w == "CREATE" || w == "DROP")) {
          ann_[i].clause = clause;
          // DROP TABLE IF EXISTS x
          continue;
        }
        if (expectTable && (w == "IF" || w == "NOT")) continue;
      }
      if (t.t == T::Comma && atScope && (clause == Clause::From)) {
        expectTable = true;
        ann_[i].clause = clause;
        continue;
      }
      if (expectTable && (t.t == T::Word || t.t == T::Str || t.t == T::DStr)) {
        bool alias = !(verb_ == "CREATE" || verb_ == "DROP" || verb_ == "INSERT") || s != 0;
        if (verb_ == "UPDATE" && s == 0) alias = true;
        int j = ReadTable(i, s, alias);
        for (int k = i; k < j; ++k) {
          ann_[k].clause = clause;
          ann_[k].scope = s;
        }
        expectTable = false;
        // INSERT INTO t (cols)
        if (verb_ == "INSERT" && s == 0 && j < Size() && toks_[j].t == T::LParen &&
            insertColsOpen < 0) {
          insertColsOpen = j;
          int close = MatchParen(j);
          for (int k = j + 1; k < close; ++k)
            if (toks_[k].t == T::Word) insertCols_.push_back(k);
        }
        i = j - 1;
        continue;
      }
      if (t.t == T::LParen && (t.text == "(") && clause == Clause::From && atScope &&
          expectTable) {
        expectTable = false;  // derived table: its SELECT opens a scope
      }
      if (clause == Clause::Values && t.depth == valuesDepth && s == 0) {
        if (t.t == T::Comma) {
          ++valuePos;
        } else {
          ann_[i].valuePos = valuePos;
        }
      }
      if (clause == Clause::Values && t.t == T::RParen && t.depth == valuesDepth - 1) valuePos = 0;
      ann_[i].clause = clause;
    }
    for (auto& sc : scopes_) {
      if (sc.isSelect && sc.selectBegin >= 0 && sc.selectEnd < 0) sc.selectEnd = Size();
      if (sc.groupBegin >= 0 && sc.groupEnd < 0) sc.groupEnd = Size();
    }
  }

  // Finds the table a qualifier names in scope s or its parents.
  bool FindQualifier(int s, std::string_view q, int& scopeOut, int& tableOut) {
    for (int cur = s; cur >= 0; cur = scopes_[cur].parent) {
      auto& tabs = scopes_[cur].tables;
      for (size_t k = 0; k < tabs.size(); ++k)
        if (!tabs[k].alias.empty() && EqNoCase(tabs[k].alias, q)) {
          scopeOut = cur;
          tableOut = static_cast<int>(k);
          return true;
        }
      std::string stored = StoredTableName(q);
      auto resolved = schema_.ResolveTable(stored);
      for (size_t k = 0; k < tabs.size(); ++k)
        if (EqNoCase(tabs[k].stored, stored) || (resolved && EqNoCase(tabs[k].stored, *resolved))) {
          scopeOut = cur;
          tableOut = static_cast<int>(k);
          return true;
        }
    }
    return false;
  }

  static const ColumnInfo* FindCol(const TableRef& t, std::string_view name) {
    if (!t.cols) return nullptr;
    for (const auto& c : *t.cols)
      if (EqNoCase(c.name, name)) return &c;
    return nullptr;
  }

  bool IsOutputName(int s, std::string_view name) {
    const Scope& sc = scopes_[s];
    if (sc.selectBegin < 0) return false;
    for (int i = sc.selectBegin; i < sc.selectEnd; ++i) {
      if (toks_[i].depth != sc.depth || toks_[i].t != T::Word) continue;
      if (ann_[i].role == Role::AliasName && EqNoCase(toks_[i].text, name)) return true;
      if (ann_[i].role == Role::ColRef && EqNoCase(toks_[i].text, name)) {
        bool itemStart = i == sc.selectBegin || toks_[i - 1].t == T::Comma ||
                         (toks_[i - 1].t == T::Dot && (i - 2 == sc.selectBegin || toks_[i - 3].t == T::Comma));
        bool itemEnd = i + 1 >= sc.selectEnd || toks_[i + 1].t == T::Comma;
        if (itemStart && itemEnd) return true;
      }
    }
    return false;
  }

  void ResolveColumns() {
    // Aliases of select items first, so ORDER BY can tell them from columns.
    for (int i = 1; i < Size(); ++i) {
      if (toks_[i].t != T::Word || ann_[i].role != Role::None) continue;
      if (IsW(i - 1, "AS") && ann_[i - 1].role == Role::None && !InsideCast(i)) {
        if (i + 2 < Size() && toks_[i + 1].t == T::Dot && toks_[i + 2].t == T::Word) {
          ann_[i].role = Role::DottedAlias;
          ann_[i + 1].role = Role::Skip;
          ann_[i + 2].role = Role::AliasName;
        } else {
          ann_[i].role = Role::AliasName;
        }
      }
    }
    // Qualified references.
    for (int i = 0; i + 2 < Size(); ++i) {
      if (toks_[i].t != T::Word || ann_[i].role != Role::None) continue;
      if (toks_[i + 1].t != T::Dot) continue;
      if (toks_[i + 2].t != T::Word && !(toks_[i + 2].t == T::Op && toks_[i + 2].text == "*"))
        continue;
      int qs = -1, qt = -1;
      if (!FindQualifier(ann_[i].scope, toks_[i].text, qs, qt)) continue;
      ann_[i].role = Role::Qualifier;
      ann_[i].tableScope = qs;
      ann_[i].table = qt;
      if (toks_[i + 2].t == T::Word) {
        ann_[i + 2].role = Role::ColRef;
        ann_[i + 2].tableScope = qs;
        ann_[i + 2].table = qt;
        ann_[i + 2].col = FindCol(scopes_[qs].tables[qt], toks_[i + 2].text);
      }
    }
    // Unqualified references.
    for (int i = 0; i < Size(); ++i) {
      if (toks_[i].t != T::Word || ann_[i].role != Role::None) continue;
      if (i + 1 < Size() && toks_[i + 1].t == T::LParen) continue;  // function
      if (i > 0 && toks_[i - 1].t == T::Dot) continue;
      if (InsideCast(i) && IsW(i - 1, "AS")) continue;
      int s = ann_[i].scope;
      const Scope& sc = scopes_[s];
      std::vector<int> hits;
      for (size_t k = 0; k < sc.tables.size(); ++k)
        if (FindCol(sc.tables[k], toks_[i].text)) hits.push_back(static_cast<int>(k));
      if (hits.empty()) {
        for (int p = sc.parent; p >= 0 && hits.empty(); p = scopes_[p].parent) {
          for (size_t k = 0; k < scopes_[p].tables.size(); ++k)
            if (const ColumnInfo* c = FindCol(scopes_[p].tables[k], toks_[i].text)) {
              ann_[i].role = Role::ColRef;
              ann_[i].col = c;
              ann_[i].tableScope = p;
              ann_[i].table = static_cast<int>(k);
              hits.push_back(static_cast<int>(k));
              break;
            }
        }
        continue;
      }
      if (ann_[i].clause == Clause::OrderBy && (sc.compound || IsOutputName(s, toks_[i].text))) {
        ann_[i].role = Role::ColRef;
        ann_[i].col = FindCol(sc.tables[hits[0]], toks_[i].text);
        continue;
      }
      int chosen = hits[0];
      if (hits.size() > 1) chosen = PreferredTable(s, toks_[i].text, hits);
      ann_[i].role = Role::ColRef;
      ann_[i].tableScope = s;
      ann_[i].table = chosen;
      ann_[i].col = FindCol(sc.tables[chosen], toks_[i].text);
      if (hits.size() > 1) {
        ann_[i].qualify = true;
        if (ann_[i].clause == Clause::SelectList && toks_[i].depth == sc.depth) {
          bool start = i == sc.selectBegin || toks_[i - 1].t == T::Comma ||
                       IsW(i - 1, "DISTINCT");
          bool end = i + 1 >= Size() || toks_[i + 1].t == T::Comma || IsW(i + 1, "FROM");
          ann_[i].addAlias = start && end;
        }
      }
    }
  }

  // The table a select list of the same scope qualifies that column with, else the first.
  int PreferredTable(int s, std::string_view name, const std::vector<int>& hits) {
    const Scope& sc = scopes_[s];
    if (sc.selectBegin >= 0) {
      for (int i = sc.selectBegin; i < sc.selectEnd && i < Size(); ++i) {
        if (ann_[i].role == Role::Qualifier && i + 2 < Size() && ann_[i].tableScope == s &&
            toks_[i + 2].t == T::Word && EqNoCase(toks_[i + 2].text, name) &&
            std::find(hits.begin(), hits.end(), ann_[i].table) != hits.end())
          return ann_[i].table;
      }
    }
    return hits[0];
  }

  bool InsideCast(int i) const {
    int d = toks_[i].depth;
    if (d == 0) return false;
    for (int j = i - 1; j >= 0; --j) {
      if (toks_[j].t == T::LParen && toks_[j].depth == d - 1)
        return j > 0 && toks_[j - 1].t == T::Word && EqNoCase(toks_[j - 1].text, "CAST");
    }
    return false;
  }

  // Column at a comparison operand position: token index of its last word, or -1.
  const ColumnInfo* ColumnBefore(int i) const {
    if (i >= 0 && ann_[i].role == Role::ColRef) return ann_[i].col;
    return nullptr;
  }
  const ColumnInfo* ColumnAfter(int i) const {
    if (i >= Size()) return nullptr;
    if (ann_[i].role == Role::ColRef) return ann_[i].col;
    if (ann_[i].role == Role::Qualifier && i + 2 < Size() && ann_[i + 2].role == Role::ColRef)
      return ann_[i + 2].col;
    return nullptr;
  }

  const ColumnInfo* InsertColumn(int pos) {
    if (scopes_[0].tables.empty()) return nullptr;
    const TableRef& target = scopes_[0].tables[0];
    if (!insertCols_.empty()) {
      if (pos < 0 || pos >= static_cast<int>(insertCols_.size())) return nullptr;
      return FindCol(target, toks_[insertCols_[pos]].text);
    }
    if (!target.cols || pos < 0 || pos >= static_cast<int>(target.cols->size())) return nullptr;
    return &(*target.cols)[pos];
  }

  bool AnyDateColumnNamed(std::string_view name) {
    for (const auto& sc : scopes_)
      for (const auto& t : sc.tables)
        if (const ColumnInfo* c = FindCol(t, name))
          if (c->kind == ColumnKind::Date || c->kind == ColumnKind::DateTime) return true;
    return false;
  }

  static bool IsDateKind(const ColumnInfo* c) {
    return c && (c->kind == ColumnKind::Date || c->kind == ColumnKind::DateTime);
  }
  static bool IsTextKind(const ColumnInfo* c) {
    return c && (c->kind == ColumnKind::Text || c->kind == ColumnKind::Memo);
  }

  void MarkValues() {
    for (int i = 0; i < Size(); ++i) {
      if (toks_[i].t != T::Str && toks_[i].t != T::DStr) continue;
      if (ann_[i].role != Role::None) continue;
      const ColumnInfo* col = nullptr;
      bool assignment = false;
      if (i >= 2 && IsCompareOp(toks_[i - 1])) {
        col = ColumnBefore(i - 2);
        assignment = ann_[i].clause == Clause::Set && toks_[i - 1].text == "=";
      }
      if (!col && i + 2 < Size() && IsCompareOp(toks_[i + 1])) col = ColumnAfter(i + 2);
      bool wholeValue = ann_[i].valuePos >= 0 && (toks_[i - 1].t == T::LParen || toks_[i - 1].t == T::Comma) &&
                        i + 1 < Size() && (toks_[i + 1].t == T::RParen || toks_[i + 1].t == T::Comma);
      if (!col && ann_[i].clause == Clause::Values && wholeValue) {
        col = InsertColumn(ann_[i].valuePos);
        assignment = true;
      }
      if (!col && IsW(i + 1, "AS") && i + 2 < Size() && toks_[i + 2].t == T::Word &&
          AnyDateColumnNamed(toks_[i + 2].text)) {
        ann_[i].dateValue = DateLiteralToIso(toks_[i].text).has_value();
        continue;
      }
      if (IsDateKind(col)) {
        const std::string& v = toks_[i].text;
        bool blank = v.find_first_not_of(' ') == std::string::npos;
        if (blank) {
          if (assignment) ann_[i].nullValue = true;
          continue;
        }
        if (!DateLiteralToIso(v))
          throw std::invalid_argument("Fecha no válida en la sentencia SQL: '" + v + "'");
        ann_[i].dateValue = true;
      } else if (IsTextKind(col) && assignment && toks_[i].text.empty()) {
        ann_[i].nullValue = true;
      }
    }
  }

  // ---- emission ----

  static void Append(std::string& out, std::string_view piece) {
    if (piece.empty()) return;
    if (!out.empty()) {
      char last = out.back();
      char first = piece.front();
      bool glue = last == '(' || last == '.' || last == ' ' || first == ')' || first == ',' ||
                  first == '.';
      if (!glue) out += ' ';
    }
    out += piece;
  }

  std::string TableQualifier(int scope, int table) const {
    const TableRef& t = scopes_[scope].tables[table];
    return QuoteIdent(t.alias.empty() ? t.stored : t.alias);
  }

  // Is the operand ending at i (or starting at i) a text value?
  bool TextOperandEndingAt(int i) const {
    if (i < 0) return false;
    const Tok& t = toks_[i];
    if (t.t == T::Str || t.t == T::DStr) return ann_[i].role == Role::None;
    if (t.t == T::Word && ann_[i].role == Role::ColRef) return IsTextKind(ann_[i].col);
    if (t.t == T::RParen) {
      for (int j = i - 1; j >= 0; --j)
        if (toks_[j].t == T::LParen && toks_[j].depth == t.depth)
          return j > 0 && TextFunction(j - 1);
    }
    return false;
  }
  bool TextOperandStartingAt(int i) const {
    if (i >= Size()) return false;
    const Tok& t = toks_[i];
    if (t.t == T::Str || t.t == T::DStr) return ann_[i].role == Role::None;
    if (t.t == T::Word && i + 1 < Size() && toks_[i + 1].t == T::LParen) return TextFunction(i);
    const ColumnInfo* c = ColumnAfter(i);
    return IsTextKind(c);
  }
  bool TextFunction(int i) const {
    if (toks_[i].t != T::Word) return false;
    std::string w = Upper(toks_[i].text);
    if (w == "SUBSTRING" || w == "SUBSTR" || w == "UPPER" || w == "LOWER" || w == "TRIM" ||
        w == "LTRIM" || w == "RTRIM")
      return true;
    if (w == "CAST") {
      int close = MatchParen(i + 1);
      for (int j = close - 1; j > i; --j)
        if (IsW(j, "AS")) {
          int sz = 0;
          return j + 1 < close && toks_[j + 1].t == T::Word &&
                 KindOfDeclaredType(toks_[j + 1].text, &sz) == ColumnKind::Text;
        }
    }
    return false;
  }

  // Splits [b, e) at top-level words (depth d) among `words`; returns positions.
  std::vector<int> SplitAtWords(int b, int e, int d, std::initializer_list<const char*> words) const {
    std::vector<int> at;
    for (int j = b; j < e; ++j) {
      if (toks_[j].t != T::Word || toks_[j].depth != d) continue;
      for (const char* w : words)
        if (EqNoCase(toks_[j].text, w)) {
          at.push_back(j);
          break;
        }
    }
    return at;
  }

  // `col NOT IN (SELECT …)` or `t.col NOT IN (SELECT …)` starting at i and ending before e:
  // the index of the closing parenthesis, else -1.
  int NotInSubquery(int i, int e) const {
    int n;
    if (ann_[i].role == Role::ColRef) n = i + 1;
    else if (ann_[i].role == Role::Qualifier && i + 2 < Size() && toks_[i + 1].t == T::Dot &&
             ann_[i + 2].role == Role::ColRef)
      n = i + 3;
    else
      return -1;
    if (!IsW(n, "NOT") || !IsW(n + 1, "IN") || n + 3 >= e || toks_[n + 2].t != T::LParen ||
        !IsW(n + 3, "SELECT"))
      return -1;
    int close = MatchParen(n + 2);
    return close < e ? close : -1;
  }

  std::string Emit(int b, int e) {
    std::string out;
    out.reserve(static_cast<size_t>(e - b) * 8);
    for (int i = b; i < e; ++i) {
      const Tok& t = toks_[i];
      const Ann& a = ann_[i];
      if (int close = NotInSubquery(i, e); close >= 0) {
        // An empty link is reported, and a null in the subquery does not hide every row
        // (standard NOT IN answers unknown for both).
        int lhsEnd = a.role == Role::ColRef ? i + 1 : i + 3;
        Append(out, "coalesce(" + Emit(i, lhsEnd) + " NOT IN " + Emit(lhsEnd + 2, close + 1) + ", 1)");
        i = close;
        continue;
      }
      switch (a.role) {
        case Role::TableRef:
          Append(out, QuoteIdent(scopes_[a.tableScope].tables[a.table].stored));
          continue;
        case Role::TableExt:
        case Role::Skip:
          if (a.role == Role::Skip && t.t == T::Word) Append(out, t.text);
          continue;
        case Role::AliasDef:
          Append(out, QuoteIdent(t.text));
          continue;
        case Role::Qualifier:
          Append(out, TableQualifier(a.tableScope, a.table));
          continue;
        case Role::DottedAlias:
          continue;  // "as m.numecuen" is named after its last part
        case Role::AliasName:
          Append(out, QuoteIdent(t.text));
          continue;
        case Role::ColRef: {
          std::string name = (a.qualify || IsSqlKeyword(t.text)) ? QuoteIdent(t.text) : t.text;
          if (a.qualify) {
            Append(out, TableQualifier(a.tableScope, a.table));
            out += '.';
            out += name;
            if (a.addAlias) {
              out += " AS ";
              out += QuoteIdent(t.text);
            }
          } else {
            Append(out, name);
          }
          continue;
        }
        case Role::None:
          break;
      }
      switch (t.t) {
        case T::Str:
        case T::DStr:
          if (a.nullValue)
            Append(out, "NULL");
          else if (a.dateValue)
            Append(out, QuoteText(*DateLiteralToIso(t.text)));
          else
            Append(out, QuoteText(t.text));
          break;
        case T::Op:
          if (t.text == "+" && (TextOperandEndingAt(i - 1) || TextOperandStartingAt(i + 1)))
            Append(out, "||");
          else
            Append(out, t.text);
          break;
        case T::Semi:
          break;
        case T::Number:
          // "0." would glue to a following word; SQLite reads "0.0" the same.
          Append(out, t.text.back() == '.' ? t.text + "0" : t.text);
          break;
        case T::Word: {
          int next = EmitWord(i, out);
          if (next >= 0) i = next;
          break;
        }
        default:
          Append(out, t.text);
      }
    }
    return out;
  }

  // Emits a word that may start a rewritten form; returns the last token consumed or -1.
  int EmitWord(int i, std::string& out) {
    const Tok& t = toks_[i];
    std::string w = Upper(t.text);
    bool call = i + 1 < Size() && toks_[i + 1].t == T::LParen;
    if (call && w == "SUBSTRING") {
      int close = MatchParen(i + 1);
      int d = toks_[i + 1].depth + 1;
      auto parts = SplitAtWords(i + 2, close, d, {"FROM", "FOR"});
      if (parts.empty()) {
        Append(out, "substr(" + Emit(i + 2, close) + ")");
        return close;
      }
      int fromAt = -1, forAt = -1;
      for (int p : parts) {
        if (IsW(p, "FROM")) fromAt = p;
        if (IsW(p, "FOR")) forAt = p;
      }
      std::string x = Emit(i + 2, fromAt >= 0 ? fromAt : (forAt >= 0 ? forAt : close));
      std::string start = fromAt >= 0 ? Emit(fromAt + 1, forAt > fromAt ? forAt : close) : "1";
      std::string r = "substr(" + x + ", " + start;
      if (forAt >= 0) {
        std::string len = Emit(forAt + 1, close);
        bool literal = forAt + 2 == close && toks_[forAt + 1].t == T::Number;
        r += literal ? ", " + len : ", max(" + len + ", 0)";
      }
      r += ")";
      Append(out, r);
      return close;
    }
    if (call && w == "EXTRACT") {
      int close = MatchParen(i + 1);
      int d = toks_[i + 1].depth + 1;
      auto parts = SplitAtWords(i + 2, close, d, {"FROM"});
      if (parts.empty() || toks_[i + 2].t != T::Word)
        throw std::invalid_argument("EXTRACT sin FROM en la sentencia SQL");
      std::string field = Upper(toks_[i + 2].text);
      const char* fmt = field == "YEAR" ? "%Y" : field == "MONTH" ? "%m" : field == "DAY" ? "%d"
                        : field == "HOUR" ? "%H" : field == "MINUTE" ? "%M" : field == "SECOND" ? "%S"
                        : nullptr;
      if (!fmt) throw std::invalid_argument("EXTRACT de un campo desconocido: " + toks_[i + 2].text);
      Append(out, std::string("CAST(strftime('") + fmt + "', " + Emit(parts[0] + 1, close) +
                      ") AS INTEGER)");
      return close;
    }
    if (call && w == "CAST") {
      int close = MatchParen(i + 1);
      int d = toks_[i + 1].depth + 1;
      auto parts = SplitAtWords(i + 2, close, d, {"AS"});
      if (parts.empty()) throw std::invalid_argument("CAST sin AS en la sentencia SQL");
      int as = parts.back();
      std::string typeText;
      for (int j = as + 1; j < close; ++j) typeText += toks_[j].text;
      int size = 0;
      ColumnKind kind = KindOfDeclaredType(typeText, &size);
      std::string expr = Emit(i + 2, as);
      std::string type = kind == ColumnKind::Text || kind == ColumnKind::Memo ? "TEXT"
                         : kind == ColumnKind::Integer                       ? "INTEGER"
                         : kind == ColumnKind::Number                        ? "NUMERIC"
                                                                             : "TEXT";
      std::string r = "CAST(" + expr + " AS " + type + ")";
      if (kind == ColumnKind::Text && size > 0 && typeText.find('(') != std::string::npos)
        r = "substr(" + r + ", 1, " + std::to_string(size) + ")";
      Append(out, r);
      return close;
    }
    if (call && w == "TRIM") {
      int close = MatchParen(i + 1);
      int d = toks_[i + 1].depth + 1;
      auto parts = SplitAtWords(i + 2, close, d, {"FROM"});
      if (parts.empty()) {
        Append(out, "trim(" + Emit(i + 2, close) + ")");
        return close;
      }
      int b = i + 2;
      std::string fn = "trim";
      if (IsW(b, "BOTH")) ++b;
      else if (IsW(b, "LEADING")) { fn = "ltrim"; ++b; }
      else if (IsW(b, "TRAILING")) { fn = "rtrim"; ++b; }
      std::string chars = b < parts[0] ? Emit(b, parts[0]) : "' '";
      Append(out, fn + "(" + Emit(parts[0] + 1, close) + ", " + chars + ")");
      return close;
    }
    if (w == "LIKE") {
      int p = i + 1;
      if (p < Size() && (toks_[p].t == T::Str || toks_[p].t == T::DStr)) {
        int esc = -1;
        int last = p;
        if (IsW(p + 1, "ESCAPE") && p + 2 < Size() &&
            (toks_[p + 2].t == T::Str || toks_[p + 2].t == T::DStr)) {
          if (toks_[p + 2].text.size() != 1)
            throw std::invalid_argument("ESCAPE debe ser un solo carácter");
          esc = static_cast<unsigned char>(toks_[p + 2].text[0]);
          last = p + 2;
        }
        Append(out, "GLOB");
        Append(out, QuoteText(LikeToGlob(toks_[p].text, esc)));
        return last;
      }
      Append(out, t.text);
      return -1;
    }
    // INSERT … SELECT (its SELECT at the top level), not a subquery among the values.
    if (w == "INSERT" && i == 0 && scopes_.size() > 1 && scopes_[1].depth == 0) {
      Append(out, "INSERT OR IGNORE");
      return -1;
    }
    Append(out, t.text);
    return -1;
  }

  struct Assignment {
    int b, e;  // [b, e) whole "col = expr"
    int colTok;
    int rhsB;
  };

  bool RangeMentions(int b, int e, const std::vector<std::string>& names) const {
    for (int j = b; j < e; ++j)
      if (ann_[j].role == Role::ColRef)
        for (const auto& n : names)
          if (EqNoCase(toks_[j].text, n)) return true;
    return false;
  }

  void EmitUpdate(std::vector<std::string>& stmts) {
    int setAt = -1, whereAt = Size();
    for (int i = 0; i < Size(); ++i) {
      if (toks_[i].depth != 0 || ann_[i].scope != 0) continue;
      if (setAt < 0 && IsW(i, "SET") && ann_[i].role == Role::None) setAt = i;
      else if (setAt >= 0 && IsW(i, "WHERE")) {
        whereAt = i;
        break;
      }
    }
    if (setAt < 0 || scopes_[0].tables.empty())
      throw std::invalid_argument("UPDATE sin SET en la sentencia SQL");
    std::string head = Emit(0, setAt) + " SET ";
    std::string where = whereAt < Size() ? " " + Emit(whereAt, Size()) : "";
    std::vector<Assignment> as;
    int b = setAt + 1;
    for (int i = setAt + 1; i <= whereAt; ++i) {
      if (i == whereAt || (toks_[i].t == T::Comma && toks_[i].depth == 0)) {
        if (i > b) {
          int col = b;
          if (b + 2 < i && toks_[b + 1].t == T::Dot) col = b + 2;
          int eq = col + 1;
          if (eq >= i || toks_[eq].t != T::Op || toks_[eq].text != "=")
            throw std::invalid_argument("Asignación no válida en UPDATE");
          as.push_back({b, i, col, eq + 1});
        }
        b = i + 1;
      }
    }
    // Groups: an assignment that reads a column set earlier starts a new statement, so it
    // sees the new value.
    std::vector<std::vector<int>> groups(1);
    std::vector<std::string> assignedInGroup, assignedBefore;
    for (int k = 0; k < static_cast<int>(as.size()); ++k) {
      if (!groups.back().empty() && RangeMentions(as[k].rhsB, as[k].e, assignedInGroup)) {
        for (auto& n : assignedInGroup) assignedBefore.push_back(n);
        assignedInGroup.clear();
        groups.emplace_back();
      }
      groups.back().push_back(k);
      assignedInGroup.push_back(toks_[as[k].colTok].text);
    }
    if (groups.size() > 1 && whereAt < Size() && RangeMentions(whereAt, Size(), assignedBefore)) {
      std::vector<int> all;
      for (auto& g : groups) all.insert(all.end(), g.begin(), g.end());
      groups.assign(1, all);
    }
    const std::string table = QuoteIdent(scopes_[0].tables[0].stored);
    static const char* kShift = "1000000000000";
    for (auto& g : groups) {
      std::string sets;
      std::vector<std::string> shifted;
      for (int k : g) {
        const Assignment& a = as[k];
        const ColumnInfo* col = ann_[a.colTok].col;
        bool numeric = col && (col->kind == ColumnKind::Number || col->kind == ColumnKind::Integer);
        bool selfShift = false;
        if (numeric) {
          bool mentionsSelf = false, addSub = false;
          for (int j = a.rhsB; j < a.e; ++j) {
            if (ann_[j].role == Role::ColRef && EqNoCase(toks_[j].text, toks_[a.colTok].text))
              mentionsSelf = true;
            if (toks_[j].t == T::Op && (toks_[j].text == "+" || toks_[j].text == "-") &&
                toks_[j].depth == 0)
              addSub = true;
          }
          // Only key renumbering ("icd=icd+1 where icd>=n") is shifted.
          selfShift = mentionsSelf && addSub && whereAt < Size() &&
                      RangeMentions(whereAt, Size(), {toks_[a.colTok].text});
        }
        if (!sets.empty()) sets += ", ";
        if (selfShift) {
          // Shift the keys far away first so a unique key never meets a transient duplicate.
          sets += Emit(a.b, a.rhsB) + " (" + Emit(a.rhsB, a.e) + ") + " + kShift;
          shifted.push_back(QuoteIdent(col->name));
        } else {
          sets += Emit(a.b, a.e);
        }
      }
      stmts.push_back(head + sets + where);
      for (const auto& c : shifted)
        stmts.push_back("UPDATE " + table + " SET " + c + " = " + c + " - " + kShift + " WHERE " +
                        c + " >= " + kShift + " / 2");
    }
  }

  std::string EmitCreateTable() {
    // CREATE TABLE name ( defs )
    int open = -1;
    for (int i = 0; i < Size(); ++i)
      if (toks_[i].t == T::LParen) {
        open = i;
        break;
      }
    if (open < 0 || scopes_[0].tables.empty())
      throw std::invalid_argument("CREATE TABLE sin columnas");
    int close = MatchParen(open);
    std::string out = "CREATE TABLE " + QuoteIdent(scopes_[0].tables[0].stored) + " (";
    int b = open + 1;
    bool first = true;
    for (int i = open + 1; i <= close; ++i) {
      if (i != close && !(toks_[i].t == T::Comma && toks_[i].depth == toks_[open].depth + 1)) continue;
      if (i > b) {
        if (!first) out += ", ";
        first = false;
        if (IsW(b, "PRIMARY") || IsW(b, "UNIQUE")) {
          int po = b;
          while (po < i && toks_[po].t != T::LParen) ++po;
          out += IsW(b, "PRIMARY") ? "PRIMARY KEY (" : "UNIQUE (";
          bool f = true;
          for (int j = po + 1; j < i; ++j)
            if (toks_[j].t == T::Word) {
              if (!f) out += ", ";
              f = false;
              out += QuoteIdent(toks_[j].text);
            }
          out += ")";
        } else {
          out += QuoteIdent(toks_[b].text);
          int j = b + 1;
          std::string typeText;
          if (j < i && toks_[j].t == T::Word) {
            typeText = toks_[j].text;
            ++j;
            if (j < i && toks_[j].t == T::LParen) {
              int pc = MatchParen(j);
              for (int k = j; k <= pc; ++k) typeText += toks_[k].text;
              j = pc + 1;
            }
          }
          if (!typeText.empty()) {
            int size = 0;
            ColumnKind kind = KindOfDeclaredType(typeText, &size);
            out += " " + DeclaredType(kind, size);
          }
          if (j < i) out += " " + Emit(j, i);
        }
      }
      b = i + 1;
    }
    out += ")";
    return out;
  }

  const SchemaLookup& schema_;
  std::vector<Tok> toks_;
  std::vector<Ann> ann_;
  std::vector<Scope> scopes_;
  std::vector<int> insertCols_;
  std::string verb_;
  std::map<std::string, std::vector<ColumnInfo>> colCache_;
};

}  // namespace

Translation TranslateLocalSql(std::string_view localSql, const SchemaLookup& schema) {
  // Text the passes cannot make sense of may trip them anywhere (a range run backwards, an
  // index past the end): every such failure is a syntax error of the statement.
  try {
    Translator t(localSql, schema);
    return t.Run();
  } catch (const std::invalid_argument&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    throw std::invalid_argument(std::string("sentencia SQL no reconocida (") + e.what() + ")");
  }
}

std::string QuoteSqlValue(std::string_view value) { return QuoteText(value); }

std::string EscapeSqlText(std::string_view value) {
  std::string r;
  r.reserve(value.size() + 2);
  for (char c : value) {
    if (c == '\'') r += '\'';
    r += c;
  }
  return r;
}

std::string EscapeLikePattern(std::string_view value) {
  std::string r;
  r.reserve(value.size() + 4);
  for (char c : value) {
    if (c == '\\' || c == '%' || c == '_') r += '\\';
    if (c == '\'') r += '\'';
    r += c;
  }
  return r;
}

std::string StoredTableName(std::string_view written) {
  std::string_view s = written;
  while (!s.empty() && (s.front() == ' ' || s.front() == '\'' || s.front() == '"')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\'' || s.back() == '"')) s.remove_suffix(1);
  if (auto slash = s.find_last_of("/\\"); slash != std::string_view::npos) s.remove_prefix(slash + 1);
  if (s.size() > 3 && EqNoCase(s.substr(s.size() - 3), ".db")) s.remove_suffix(3);
  std::string r;
  r.reserve(s.size());
  for (char c : s) {
    unsigned char u = static_cast<unsigned char>(c);
    r += (std::isalnum(u) || c == '_' || u >= 0x80) ? c : '_';
  }
  return r;
}

}  // namespace tv::db
