#pragma once
// Internal: the small expression language of report expressions and group keys.
//   field names (optionally Table.Field), 'text' and numeric literals, + - * / and
//   parentheses, COPY(text, start, count), UPPER(text), and as the whole expression
//   SUM(expr) or COUNT, which aggregate over the detail rows.
#include <functional>
#include <memory>
#include <string>

namespace tv::report {

struct ExprValue {
  bool isNumber = false;
  bool isNull = false;
  double number = 0;
  std::string text;  // for fields: the displayed text (numbers too)
  static ExprValue Num(double d) { ExprValue v; v.isNumber = true; v.number = d; return v; }
  static ExprValue Str(std::string s) { ExprValue v; v.text = std::move(s); return v; }
};

// Looks a field up by name; false when the data has no such field.
using FieldLookup = std::function<bool(const std::string& name, ExprValue& out)>;

struct ExprNode;

class Expression {
 public:
  // Throws Exception with a message naming the expression when it does not parse.
  explicit Expression(const std::string& text);
  ~Expression();
  Expression(Expression&&) noexcept;
  Expression& operator=(Expression&&) noexcept;

  enum class Aggregate { None, Sum, Count };
  Aggregate aggregate() const { return aggregate_; }
  // Value of a plain expression (or of the inner expression of SUM).
  ExprValue Evaluate(const FieldLookup& fields) const;

 private:
  std::unique_ptr<ExprNode> root_;
  Aggregate aggregate_ = Aggregate::None;
};

// Text of a value as a report prints it: a field as displayed, a computed number in the
// general format, null as empty.
std::string ExprText(const ExprValue& v);

}  // namespace tv::report
