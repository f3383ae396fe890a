#include "script_parser.h"

#include <cctype>
#include <cstdlib>

#include "lingo_literals.h"
#include "method_catalog.h"

namespace {

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNamePart(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Words that read as literals, never as names of instances.
bool IsLiteralWord(const std::string& word) {
  const std::string folded = FoldCase(word);
  return folded == "void" || folded == "quote" || folded == "true" || folded == "false";
}

class LineReader {
 public:
  LineReader(LingoValueStore& scratch, const std::string& text) : scratch_(scratch), text_(text) {}

  const std::string& error() const { return error_; }
  bool AtEnd() {
    SkipSpace();
    return position_ >= text_.size();
  }
  bool Take(char c) {
    SkipSpace();
    if (position_ >= text_.size() || text_[position_] != c) return false;
    ++position_;
    return true;
  }
  bool Expect(char c, const std::string& where) { return Take(c) || Fail(std::string("expected ") + c + " " + where); }
  bool ExpectEnd() { return AtEnd() || Fail("unexpected text after the statement"); }

  // A Lingo name, or empty (and nothing taken) when none starts here.
  std::string Name() {
    SkipSpace();
    if (position_ >= text_.size() || !IsNameStart(text_[position_])) return "";
    const size_t start = position_;
    while (position_ < text_.size() && IsNamePart(text_[position_])) ++position_;
    return text_.substr(start, position_ - start);
  }
  // Takes `word` (in any case) when it comes next as a whole name.
  bool TakeWord(const std::string& word) {
    SkipSpace();
    const size_t start = position_;
    if (FoldCase(Name()) == FoldCase(word)) return true;
    position_ = start;
    return false;
  }
  void Unread(size_t position) { position_ = position; }
  // What is left of the line, trimmed; nothing is taken.
  std::string Rest() {
    const size_t start = text_.find_first_not_of(" \t", position_);
    if (start == std::string::npos) return "";
    return text_.substr(start, text_.find_last_not_of(" \t\r") - start + 1);
  }
  size_t position() const { return position_; }

  bool Literal(std::string* text) {
    SkipSpace();
    director::MoaMmValue value = director::kVoidMoaMmValue;
    size_t consumed = 0;
    std::string why;
    if (!ParseLeadingLiteral(scratch_, text_.substr(position_), &value, &consumed, &why))
      return FailAt(position_ + ColumnOf(why), "bad literal: " + why.substr(why.find(": ") + 2));
    scratch_.Release(value);
    *text = text_.substr(position_, consumed);
    position_ += consumed;
    return true;
  }

  // Literals separated by commas up to the closing parenthesis, which is taken.
  bool ArgumentsToClose(LiteralArguments* arguments) {
    if (Take(')')) return true;
    const size_t start = position_;
    do {
      std::string literal;
      if (!Literal(&literal)) return false;
      ++arguments->count;
    } while (Take(','));
    arguments->text = text_.substr(start, position_ - start);
    arguments->text = arguments->text.substr(arguments->text.find_first_not_of(" \t"));
    return Expect(')', "after the arguments");
  }

  bool Fail(const std::string& what) { return FailAt(position_, what); }
  bool FailAt(size_t position, const std::string& what) {
    if (error_.empty()) error_ = "column " + std::to_string(position + 1) + ": " + what;
    return false;
  }
  size_t SkipSpace() {
    while (position_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[position_]))) ++position_;
    return position_;
  }

 private:
  // The literal reader's "column N: ..." counts from where it started.
  static size_t ColumnOf(const std::string& why) { return std::strtoul(why.c_str() + 7, nullptr, 10) - 1; }

  LingoValueStore& scratch_;
  const std::string& text_;
  size_t position_ = 0;
  std::string error_;
};

// xtra "HidBridge", after the word xtra: the name alone.
bool ReadXtraName(LineReader& in, std::string* name) {
  std::string literal;
  if (!in.Literal(&literal)) return false;
  literal = literal.substr(0, literal.find_last_not_of(" \t") + 1);
  if (literal.size() < 2 || literal.front() != '"' || literal.back() != '"' ||
      literal.find('"', 1) != literal.size() - 1)
    return in.Fail("expected the Xtra's name as a string, e.g. xtra \"HidBridge\"");
  *name = literal.substr(1, literal.size() - 2);
  return true;
}

// name = new(xtra "..."), or name = VOID.
bool ReadAssignment(LineReader& in, const std::string& name, Statement* statement) {
  if (IsLiteralWord(name)) return in.Fail(name + " is a Lingo constant, not a name for an instance");
  if (in.TakeWord("VOID")) {
    if (!in.ExpectEnd()) return false;
    *statement = DropReference{name};
    return true;
  }
  NewInstance made{name, ""};
  if (!in.TakeWord("new")) return in.Fail("expected new(xtra \"...\") or VOID after =");
  if (!in.Expect('(', "after new") || !in.TakeWord("xtra")) return in.Fail("expected xtra \"...\" in new(...)");
  if (!ReadXtraName(in, &made.xtra)) return false;
  if (!in.Expect(')', "after the Xtra's name") || !in.ExpectEnd()) return false;
  *statement = std::move(made);
  return true;
}

// Method(instance, ...) with the instance first, as in Lingo; Method(xtra
// "Name", ...) on the Xtra; Method(literals...) for a global handler.
bool ReadCall(LineReader& in, const std::string& method, Statement* statement) {
  MethodCall call{"", method, {}, ""};
  const size_t start = in.SkipSpace();
  const std::string first = in.Name();
  if (FoldCase(first) == "xtra") {
    if (!ReadXtraName(in, &call.xtra)) return false;
  } else if (!first.empty() && !IsLiteralWord(first)) {
    call.instance = first;
  } else {
    in.Unread(start);
    if (!in.ArgumentsToClose(&call.arguments) || !in.ExpectEnd()) return false;
    *statement = std::move(call);
    return true;
  }
  const char* after = call.xtra.empty() ? "after the instance" : "after the Xtra's name";
  if (in.Take(',') ? !in.ArgumentsToClose(&call.arguments) : !in.Expect(')', after)) return false;
  if (!in.ExpectEnd()) return false;
  *statement = std::move(call);
  return true;
}

bool ReadDotCall(LineReader& in, const std::string& instance, Statement* statement) {
  MethodCall call{instance, in.Name(), {}, ""};
  if (call.method.empty()) return in.Fail("expected a method name after .");
  if (!in.Expect('(', "after the method name") || !in.ArgumentsToClose(&call.arguments) || !in.ExpectEnd())
    return false;
  *statement = std::move(call);
  return true;
}

bool ReadCommand(LineReader& in, const std::string& name, Statement* statement) {
  HostCommand command{name, {}};
  while (!in.AtEnd()) {
    std::string word = in.Name();
    if (!word.empty() && !IsLiteralWord(word)) {
      command.arguments.push_back({false, word});
      continue;
    }
    in.Unread(in.position() - word.size());
    std::string literal;
    if (!in.Literal(&literal)) return false;
    command.arguments.push_back({true, literal});
  }
  *statement = std::move(command);
  return true;
}

bool ReadStatement(LineReader& in, Statement* statement) {
  if (in.AtEnd()) {
    *statement = NoStatement{};
    return true;
  }
  const bool put = in.TakeWord("put");
  const size_t start = in.SkipSpace();
  const std::string name = in.Name();
  if (name.empty()) return in.Fail(put ? "expected a method call after put" : "expected a call or a command");
  if (in.Take('=')) return !put ? ReadAssignment(in, name, statement) : in.Fail("put takes a call, not =");
  const bool read = in.Take('.') ? ReadDotCall(in, name, statement)
                   : in.Take('(') ? ReadCall(in, name, statement)
                   : put ? in.FailAt(start, "expected a method call after put")
                         : ReadCommand(in, name, statement);
  if (auto* call = std::get_if<MethodCall>(statement)) call->put = put;
  return read;
}

bool ReadHandlerDefinition(LineReader& in, Statement* statement) {
  HandlerDefinition definition{in.Name(), "", nullptr};
  if (definition.handler.empty()) return in.Fail("expected the handler's name after on");
  definition.bodyText = in.Rest();
  auto body = std::make_shared<Statement>();
  if (!ReadStatement(in, body.get())) return false;
  if (!std::holds_alternative<MethodCall>(*body)) return in.Fail("a handler runs one method call");
  definition.body = std::move(body);
  *statement = std::move(definition);
  return true;
}

// Up to a -- comment outside strings. Leading blanks stay, so that columns
// count from the start of the line as written.
std::string WithoutComment(const std::string& line) {
  bool inString = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') inString = !inString;
    if (!inString && line.compare(i, 2, "--") == 0) return line.substr(0, i);
  }
  return line;
}

}  // namespace

bool ScriptParser::Parse(const std::string& line, Statement* statement, std::string* error) {
  const std::string code = WithoutComment(line);
  LineReader in(scratch_, code);
  const bool read = in.TakeWord("on") ? ReadHandlerDefinition(in, statement) : ReadStatement(in, statement);
  if (!read) *error = in.error();
  return read;
}
