#include "platform/report/ReportExpr.h"

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <vector>

#include "platform/core/SysUtils.h"

namespace tv::report {

struct ExprNode {
  enum Kind { kNum, kStr, kField, kNeg, kBin, kCopy, kUpper } kind;
  double num = 0;
  std::string text;  // literal or field name
  char op = 0;
  std::vector<std::unique_ptr<ExprNode>> kids;
};

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

double AsNumber(const ExprValue& v) {
  if (v.isNumber) return v.number;
  double d = 0;
  return TryStrToFloat(AnsiString(v.text), d) ? d : 0;
}

class Parser {
 public:
  explicit Parser(const std::string& s) : s_(s) {}

  std::unique_ptr<ExprNode> ParseAll() {
    auto n = ParseSum();
    Skip();
    if (p_ != s_.size()) Fail();
    return n;
  }
  [[noreturn]] void Fail() { throw Exception(AnsiString("Expresión no válida: ") + s_.c_str()); }

  void Skip() {
    while (p_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[p_]))) ++p_;
  }
  bool Eat(char c) {
    Skip();
    if (p_ < s_.size() && s_[p_] == c) { ++p_; return true; }
    return false;
  }
  std::string Ident() {
    Skip();
    size_t b = p_;
    while (p_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[p_])) || s_[p_] == '_' ||
                              s_[p_] == '.' || static_cast<unsigned char>(s_[p_]) >= 0x80))
      ++p_;
    return s_.substr(b, p_ - b);
  }

  std::unique_ptr<ExprNode> ParseSum() {
    auto l = ParseTerm();
    for (;;) {
      char op = Eat('+') ? '+' : Eat('-') ? '-' : 0;
      if (!op) return l;
      l = Bin(op, std::move(l), ParseTerm());
    }
  }
  std::unique_ptr<ExprNode> ParseTerm() {
    auto l = ParseFactor();
    for (;;) {
      char op = Eat('*') ? '*' : Eat('/') ? '/' : 0;
      if (!op) return l;
      l = Bin(op, std::move(l), ParseFactor());
    }
  }
  std::unique_ptr<ExprNode> ParseFactor() {
    Skip();
    if (p_ >= s_.size()) Fail();
    auto n = std::make_unique<ExprNode>();
    char c = s_[p_];
    if (c == '(') {
      ++p_;
      auto inner = ParseSum();
      if (!Eat(')')) Fail();
      return inner;
    }
    if (c == '-') {
      ++p_;
      n->kind = ExprNode::kNeg;
      n->kids.push_back(ParseFactor());
      return n;
    }
    if (c == '\'' || c == '"') {
      ++p_;
      n->kind = ExprNode::kStr;
      while (p_ < s_.size()) {
        if (s_[p_] == c) {
          if (p_ + 1 < s_.size() && s_[p_ + 1] == c) { n->text += c; p_ += 2; continue; }
          break;
        }
        n->text += s_[p_++];
      }
      if (!Eat(c)) Fail();
      return n;
    }
    if (std::isdigit(static_cast<unsigned char>(c))) {
      // from_chars: '.' whatever the process locale (the desktop toolkit sets one)
      n->kind = ExprNode::kNum;
      auto r = std::from_chars(s_.data() + p_, s_.data() + s_.size(), n->num, std::chars_format::fixed);
      p_ = static_cast<size_t>(r.ptr - s_.data());
      return n;
    }
    std::string id = Ident();
    if (id.empty()) Fail();
    if (Eat('(')) {
      std::string f = Upper(id);
      if (f == "COPY") n->kind = ExprNode::kCopy;
      else if (f == "UPPER") n->kind = ExprNode::kUpper;
      else Fail();
      do n->kids.push_back(ParseSum());
      while (Eat(','));
      if (!Eat(')')) Fail();
      if ((n->kind == ExprNode::kCopy && n->kids.size() != 3) || (n->kind == ExprNode::kUpper && n->kids.size() != 1))
        Fail();
      return n;
    }
    n->kind = ExprNode::kField;
    n->text = id;
    return n;
  }
  static std::unique_ptr<ExprNode> Bin(char op, std::unique_ptr<ExprNode> l, std::unique_ptr<ExprNode> r) {
    auto n = std::make_unique<ExprNode>();
    n->kind = ExprNode::kBin;
    n->op = op;
    n->kids.push_back(std::move(l));
    n->kids.push_back(std::move(r));
    return n;
  }

  const std::string& s_;
  size_t p_ = 0;
};

ExprValue Eval(const ExprNode& n, const FieldLookup& fields) {
  switch (n.kind) {
    case ExprNode::kNum: return ExprValue::Num(n.num);
    case ExprNode::kStr: return ExprValue::Str(n.text);
    case ExprNode::kField: {
      ExprValue v;
      std::string name = n.text;
      if (!fields(name, v)) {
        size_t dot = name.rfind('.');  // Table.Field
        if (dot == std::string::npos || !fields(name.substr(dot + 1), v))
          throw Exception(AnsiString("Campo no encontrado en la expresión: ") + name.c_str());
      }
      return v;
    }
    case ExprNode::kNeg: return ExprValue::Num(-AsNumber(Eval(*n.kids[0], fields)));
    case ExprNode::kBin: {
      ExprValue a = Eval(*n.kids[0], fields), b = Eval(*n.kids[1], fields);
      if (n.op == '+' && (!a.isNumber || !b.isNumber)) return ExprValue::Str(ExprText(a) + ExprText(b));
      double x = AsNumber(a), y = AsNumber(b);
      switch (n.op) {
        case '+': return ExprValue::Num(x + y);
        case '-': return ExprValue::Num(x - y);
        case '*': return ExprValue::Num(x * y);
        default: return ExprValue::Num(y == 0 ? 0 : x / y);
      }
    }
    case ExprNode::kCopy: {
      AnsiString s(ExprText(Eval(*n.kids[0], fields)));
      int start = static_cast<int>(AsNumber(Eval(*n.kids[1], fields)));
      int count = static_cast<int>(AsNumber(Eval(*n.kids[2], fields)));
      return ExprValue::Str(s.SubString(start, count).str());
    }
    case ExprNode::kUpper: return ExprValue::Str(AnsiUpperCase(AnsiString(ExprText(Eval(*n.kids[0], fields)))).str());
  }
  return {};
}

}  // namespace

Expression::Expression(const std::string& text) {
  size_t b = text.find_first_not_of(" \t\r\n");
  size_t e = text.find_last_not_of(" \t\r\n");
  std::string t = b == std::string::npos ? "" : text.substr(b, e - b + 1);
  // Aggregates are recognised only as the whole expression.
  std::string head = Upper(t);
  if (head == "COUNT" || head == "COUNT()") {
    aggregate_ = Aggregate::Count;
    return;
  }
  if (head.rfind("SUM", 0) == 0) {
    size_t open = head.find_first_not_of(" \t", 3);
    if (open != std::string::npos && head[open] == '(' && head.back() == ')') {
      aggregate_ = Aggregate::Sum;
      t = t.substr(open + 1, t.size() - open - 2);
    }
  }
  Parser parser(t);
  root_ = parser.ParseAll();
}

Expression::~Expression() = default;
Expression::Expression(Expression&&) noexcept = default;
Expression& Expression::operator=(Expression&&) noexcept = default;

ExprValue Expression::Evaluate(const FieldLookup& fields) const {
  if (!root_) return {};
  return Eval(*root_, fields);
}

std::string ExprText(const ExprValue& v) {
  if (v.isNull) return "";
  if (v.isNumber && v.text.empty()) return FloatToStr(v.number).str();
  return v.text;
}

}  // namespace tv::report
