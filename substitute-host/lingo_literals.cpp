#include "lingo_literals.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <limits>

using namespace director;

namespace {

// Deeper lists are printed as [...] and refused by the reader, so that
// neither can exhaust the stack.
constexpr int kDeepestNesting = 32;

std::string FormatString(const std::string& text) {
  std::string joined;
  std::string run;
  const auto join = [&joined](const std::string& part) { joined += (joined.empty() ? "" : " & ") + part; };
  for (char c : text) {
    if (c != '"' && c != '\r') {
      run += c;
      continue;
    }
    if (!run.empty()) join('"' + run + '"');
    join(c == '"' ? "QUOTE" : "RETURN");
    run.clear();
  }
  if (!run.empty() || joined.empty()) join('"' + run + '"');
  return joined;
}

std::string FormatFloat(double number) {
  char text[64];
  std::snprintf(text, sizeof text, "%.4f", number);
  return text;
}

std::string Format(const LingoValueStore& values, const MoaMmValue& value, int depth) {
  const LingoValue* found = values.Find(value);
  if (!found) return "<Bad value>";
  switch (found->type) {
    case kMoaMmValueType_Void:
      return "<Void>";
    case kMoaMmValueType_Integer:
      return std::to_string(found->integer);
    case kMoaMmValueType_Symbol:
      return "#" + *values.SymbolName(found->integer);
    case kMoaMmValueType_String:
      return FormatString(ShownText(found->text, values.encoding()));
    case kMoaMmValueType_Picture:
      return "<Picture>";
    case kMoaMmValueType_Float:
      return FormatFloat(found->number);
    case kMoaMmValueType_Object:
      if (found->xtraReference) return "<Xtra \"" + found->text + "\">";
      return "<Object " + found->text + " " + std::to_string(found->integer) + ">";
    default:
      break;
  }
  const bool properties = found->type == kMoaMmValueType_PropList;
  if (found->items.empty()) return properties ? "[:]" : "[]";
  if (depth >= kDeepestNesting) return "[...]";
  std::string text = "[";
  for (size_t i = 0; i < found->items.size(); ++i) {
    if (i > 0) text += ", ";
    if (properties) text += Format(values, found->keys[i], depth + 1) + ": ";
    text += Format(values, found->items[i], depth + 1);
  }
  return text + "]";
}

class LiteralReader {
 public:
  LiteralReader(LingoValueStore& values, const std::string& text) : values_(values), text_(text) {}

  bool ReadAll(std::vector<MoaMmValue>* list) {
    SkipSpace();
    if (AtEnd()) return true;
    do {
      MoaMmValue value = kVoidMoaMmValue;
      if (!ReadValue(&value, 0)) return false;
      list->push_back(value);
      SkipSpace();
    } while (Take(','));
    return ExpectEnd();
  }

  bool ReadOne(MoaMmValue* value) { return ReadValue(value, 0) && ExpectEnd(); }

  bool ReadFirst(MoaMmValue* value, size_t* consumed) {
    if (!ReadValue(value, 0)) return false;
    *consumed = position_;
    return true;
  }

  const std::string& error() const { return error_; }

 private:
  bool Fail(const std::string& what) {
    if (error_.empty()) error_ = "column " + std::to_string(position_ + 1) + ": " + what;
    return false;
  }

  bool AtEnd() const { return position_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[position_]; }
  void SkipSpace() {
    while (!AtEnd() && std::isspace(static_cast<unsigned char>(Peek()))) ++position_;
  }
  bool Take(char c) {
    SkipSpace();
    if (Peek() != c) return false;
    ++position_;
    return true;
  }
  // A word of Lingo, which ignores case.
  bool TakeWord(const char* word) {
    size_t length = 0;
    for (; word[length]; ++length) {
      const size_t at = position_ + length;
      if (at >= text_.size() ||
          std::tolower(static_cast<unsigned char>(text_[at])) != std::tolower(static_cast<unsigned char>(word[length])))
        return false;
    }
    const size_t after = position_ + length;
    if (after < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[after])) || text_[after] == '_'))
      return false;
    position_ = after;
    return true;
  }
  bool ExpectEnd() {
    SkipSpace();
    return AtEnd() || Fail("unexpected text after the value");
  }

  bool ReadValue(MoaMmValue* value, int depth) {
    SkipSpace();
    const char c = Peek();
    if (c == '[') return ReadBracketed(value, depth);
    std::string constant;
    if (c == '"' || TakeCharacterConstant(&constant)) return ReadString(value, constant);
    if (c == '#') return ReadSymbol(value);
    if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) return ReadNumber(value);
    if (TakeWord("TRUE") || TakeWord("FALSE")) {
      *value = values_.Integer(std::tolower(static_cast<unsigned char>(c)) == 't' ? 1 : 0);
      return true;
    }
    if (TakeWord("VOID") || TakeWord("<Void>")) {
      *value = kVoidMoaMmValue;
      return true;
    }
    if (TakeWord("<Picture>")) {
      *value = values_.Picture();
      return true;
    }
    return Fail(AtEnd() ? "expected a value, found the end" : "expected a value");
  }

  // 0x046D: ids as device documentation writes them. Eight digits are a
  // 32-bit pattern, as in C: 0xC0110001 (an NTSTATUS) is negative.
  bool ReadHex(MoaMmValue* value, size_t start, bool negative) {
    position_ += 2;
    const size_t digits = position_;
    while (std::isxdigit(static_cast<unsigned char>(Peek()))) ++position_;
    if (position_ == digits) return Fail("expected a hex digit after 0x");
    const auto pattern =
        static_cast<uint32_t>(std::strtoull(text_.substr(digits, position_ - digits).c_str(), nullptr, 16));
    const long long number = static_cast<int32_t>(pattern);
    return StoreInteger(value, start, negative ? -number : number, position_ - digits <= 8);
  }

  bool StoreInteger(MoaMmValue* value, size_t start, long long number, bool fits) {
    if (!fits || number < std::numeric_limits<MoaLong>::min() || number > std::numeric_limits<MoaLong>::max()) {
      position_ = start;
      return Fail("integer out of range");
    }
    *value = values_.Integer(static_cast<MoaLong>(number));
    return true;
  }

  bool ReadNumber(MoaMmValue* value) {
    const size_t start = position_;
    if (Peek() == '-') ++position_;
    const size_t digits = position_;
    if (text_.compare(position_, 2, "0x") == 0 || text_.compare(position_, 2, "0X") == 0)
      return ReadHex(value, start, digits != start);
    while (std::isdigit(static_cast<unsigned char>(Peek()))) ++position_;
    if (position_ == digits) return Fail("expected a digit");
    if (Peek() == '.') {
      ++position_;
      while (std::isdigit(static_cast<unsigned char>(Peek()))) ++position_;
      *value = values_.Float(std::strtod(text_.substr(start, position_ - start).c_str(), nullptr));
      return true;
    }
    const long long number = std::strtoll(text_.substr(start, position_ - start).c_str(), nullptr, 10);
    return StoreInteger(value, start, number, position_ - digits <= 10);
  }

  // Lingo's constants for the characters a literal cannot hold.
  bool TakeCharacterConstant(std::string* text) {
    if (TakeWord("QUOTE")) {
      *text += '"';
    } else if (TakeWord("RETURN")) {
      *text += '\r';
    } else {
      return false;
    }
    return true;
  }

  // "...", QUOTE and RETURN joined by &. A first piece that was a constant
  // ReadValue has taken into `text` already.
  bool ReadString(MoaMmValue* value, std::string text) {
    bool read = !text.empty() || ReadQuoted(&text);
    while (read && Take('&')) {
      SkipSpace();
      read = Peek() == '"' ? ReadQuoted(&text)
                           : TakeCharacterConstant(&text) || Fail("expected a string, QUOTE or RETURN after &");
    }
    if (!read) return false;
    *value = values_.String(HostText(text, values_.encoding()));
    return true;
  }

  bool ReadQuoted(std::string* text) {
    const size_t close = text_.find('"', position_ + 1);
    if (close == std::string::npos) return Fail("string without its closing quote mark");
    *text += text_.substr(position_ + 1, close - position_ - 1);
    position_ = close + 1;
    return true;
  }

  bool ReadSymbol(MoaMmValue* value) {
    const size_t start = ++position_;
    if (std::isalpha(static_cast<unsigned char>(Peek())) || Peek() == '_')
      while (std::isalnum(static_cast<unsigned char>(Peek())) || Peek() == '_') ++position_;
    if (position_ == start) return Fail("expected a symbol name after #");
    *value = values_.Symbol(text_.substr(start, position_ - start));
    return true;
  }

  bool ReadBracketed(MoaMmValue* value, int depth) {
    if (depth >= kDeepestNesting) return Fail("lists nested deeper than " + std::to_string(kDeepestNesting));
    ++position_;
    if (Take(']')) {
      *value = values_.List();
      return true;
    }
    if (Take(':')) {
      if (!Take(']')) return Fail("expected ] after [:");
      *value = values_.PropList();
      return true;
    }
    MoaMmValue first = kVoidMoaMmValue;
    if (!ReadValue(&first, depth + 1)) return false;
    const bool properties = Take(':');
    MoaMmValue list = properties ? values_.PropList() : values_.List();
    const bool read = properties ? ReadPropertiesAfterKey(list, first, depth) : ReadItemsAfterFirst(list, first, depth);
    if (!read) {
      values_.Release(list);
      return false;
    }
    *value = list;
    return true;
  }

  // Each read value passes its reference to the list.
  void Adopt(const MoaMmValue& list, const MoaMmValue& item) {
    values_.Append(list, item);
    values_.Release(item);
  }

  bool ReadItemsAfterFirst(const MoaMmValue& list, const MoaMmValue& first, int depth) {
    Adopt(list, first);
    while (Take(',')) {
      MoaMmValue item = kVoidMoaMmValue;
      if (!ReadValue(&item, depth + 1)) return false;
      Adopt(list, item);
    }
    return Take(']') || Fail("expected , or ] in the list");
  }

  bool ReadPropertiesAfterKey(const MoaMmValue& list, MoaMmValue key, int depth) {
    for (;;) {
      MoaMmValue item = kVoidMoaMmValue;
      if (!ReadValue(&item, depth + 1)) {
        values_.Release(key);
        return false;
      }
      values_.AppendProperty(list, key, item);
      values_.Release(key);
      values_.Release(item);
      if (!Take(',')) break;
      key = kVoidMoaMmValue;
      if (!ReadValue(&key, depth + 1)) return false;
      if (!Take(':')) {
        values_.Release(key);
        return Fail("expected : after the property");
      }
    }
    return Take(']') || Fail("expected , or ] in the property list");
  }

  LingoValueStore& values_;
  const std::string& text_;
  size_t position_ = 0;
  std::string error_;
};

}  // namespace

std::string FormatLiteral(const LingoValueStore& values, const MoaMmValue& value) { return Format(values, value, 0); }

std::string FormatLiterals(const LingoValueStore& values, const MoaMmValue* list, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += (i > 0 ? ", " : "") + FormatLiteral(values, list[i]);
  return text;
}

bool ParseLiteral(LingoValueStore& values, const std::string& text, MoaMmValue* value, std::string* error) {
  LiteralReader reader(values, text);
  MoaMmValue read = kVoidMoaMmValue;
  if (!reader.ReadOne(&read)) {
    values.Release(read);
    *error = reader.error();
    return false;
  }
  *value = read;
  return true;
}

bool ParseLeadingLiteral(LingoValueStore& values, const std::string& text, MoaMmValue* value, size_t* consumed,
                         std::string* error) {
  LiteralReader reader(values, text);
  MoaMmValue read = kVoidMoaMmValue;
  if (!reader.ReadFirst(&read, consumed)) {
    values.Release(read);
    *error = reader.error();
    return false;
  }
  *value = read;
  return true;
}

bool ParseLiterals(LingoValueStore& values, const std::string& text, std::vector<MoaMmValue>* list,
                   std::string* error) {
  LiteralReader reader(values, text);
  std::vector<MoaMmValue> read;
  if (!reader.ReadAll(&read)) {
    for (const MoaMmValue& value : read) values.Release(value);
    *error = reader.error();
    return false;
  }
  list->insert(list->end(), read.begin(), read.end());
  return true;
}
