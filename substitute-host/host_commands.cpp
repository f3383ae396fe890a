#include "host_commands.h"

#include <cctype>

#include "console_commands.h"
#include "lingo_literals.h"

using namespace director;

CommandArguments::~CommandArguments() {
  for (const MoaMmValue& value : read_) values_.Release(value);
}

bool CommandArguments::Fail(const std::string& what) {
  if (error_.empty()) error_ = what;
  return false;
}

bool CommandArguments::TakeWord(const char* word) {
  if (!More() || arguments_[next_].literal || FoldCase(arguments_[next_].text) != FoldCase(word)) return false;
  ++next_;
  return true;
}

bool CommandArguments::Word(const char* word) { return TakeWord(word) || Fail(std::string("expected ") + word); }

bool CommandArguments::AsWritten(const char* what, std::string* text) {
  if (!More()) return Fail(std::string("expected ") + what);
  *text = arguments_[next_++].text;
  return true;
}

bool CommandArguments::Name(const char* what, std::string* name) {
  if (!More() || arguments_[next_].literal) return Fail(std::string("expected ") + what);
  *name = arguments_[next_++].text;
  return true;
}

const LingoValue* CommandArguments::Literal(const char* what) {
  if (!More() || !arguments_[next_].literal) {
    Fail(std::string("expected ") + what);
    return nullptr;
  }
  MoaMmValue value = kVoidMoaMmValue;
  std::string why;
  if (!ParseLiteral(values_, arguments_[next_++].text, &value, &why)) {
    Fail(why);
    return nullptr;
  }
  read_.push_back(value);
  return values_.Find(value);
}

bool CommandArguments::Integer(const char* what, int32_t* number) {
  const LingoValue* value = Literal(what);
  if (!value) return false;
  if (value->type != kMoaMmValueType_Integer) return Fail(std::string("expected ") + what + ", an integer");
  *number = value->integer;
  return true;
}

bool CommandArguments::OptionalInteger(int32_t* number) {
  return !More() || !arguments_[next_].literal || Integer("an integer", number);
}

bool CommandArguments::String(const char* what, std::string* text) {
  const LingoValue* value = Literal(what);
  if (!value) return false;
  if (value->type != kMoaMmValueType_String) return Fail(std::string("expected ") + what + ", a string");
  *text = value->text;
  return true;
}

bool CommandArguments::Bytes(const char* what, std::vector<uint8_t>* bytes) {
  const LingoValue* list = Literal(what);
  if (!list) return false;
  if (list->type != kMoaMmValueType_List) return Fail(std::string("expected ") + what + ", a list of bytes");
  for (const MoaMmValue& item : list->items) {
    const LingoValue* byte = values_.Find(item);
    if (byte->type != kMoaMmValueType_Integer || byte->integer < 0 || byte->integer > 255)
      return Fail(std::string("expected ") + what + " of integers from 0 to 255");
    bytes->push_back(static_cast<uint8_t>(byte->integer));
  }
  return true;
}

bool CommandArguments::Properties(const char* what,
                                  std::vector<std::pair<std::string, const LingoValue*>>* properties) {
  const LingoValue* list = Literal(what);
  if (!list) return false;
  if (list->type != kMoaMmValueType_PropList) return Fail(std::string("expected ") + what + ", a property list");
  for (size_t i = 0; i < list->items.size(); ++i) {
    const LingoValue* key = values_.Find(list->keys[i]);
    if (key->type != kMoaMmValueType_Symbol) return Fail(std::string("expected symbols as the keys of ") + what);
    properties->emplace_back(*values_.SymbolName(key->integer), values_.Find(list->items[i]));
  }
  return true;
}

bool CommandArguments::TakeProperties(std::vector<std::pair<std::string, const LingoValue*>>* properties) {
  const size_t at = next_;
  const std::string error = error_;
  if (Properties("", properties)) return true;
  next_ = at;
  error_ = error;
  properties->clear();
  return false;
}

bool CommandArguments::End() { return !More() || Fail("unexpected " + arguments_[next_].text); }

namespace {

bool Idle(CommandContext& context) {
  int32_t milliseconds = 0;
  if (!context.arguments.OptionalInteger(&milliseconds) || !context.arguments.End()) return false;
  if (milliseconds < 0) return context.arguments.Fail("time cannot run backwards");
  context.idle.For(milliseconds);
  return true;
}

bool ListMethods(CommandContext& context) {
  if (!context.arguments.End()) return false;
  for (const MethodEntry& method : context.catalog.methods())
    context.transcript.Note(std::to_string(method.selector) + ": " + method.declaration);
  return true;
}

}  // namespace

bool PlayDirector(CommandContext& context) {
  std::string version;
  if (!context.arguments.AsWritten("a version such as 11.5 or 10.1", &version) || !context.arguments.End())
    return false;
  if (version.empty() || !std::isdigit(static_cast<unsigned char>(version[0])))
    return context.arguments.Fail("expected a version such as 11.5 or 10.1");
  context.host.PlayDirector(version);
  return true;
}

std::vector<CommandInfo> HostCommands() {
  std::vector<CommandInfo> commands = {
      {"idle", "idle [milliseconds]", Idle},
      {"wait", "wait until <object> has <n> packets | <object> stops reading | <handler> is called | <device> is read",
       WaitUntil},
      {"methods", "methods", ListMethods},
      {"devicechange", "devicechange arrival|removecomplete|<code> [hid] \"<device path>\"|volume", SendDeviceChange},
      {"log", "log [\"c:\\file.txt\"]", ShowLog},
      {"file", "file \"c:\\file.txt\" [\"line\", ...]", MakeFile},
      {"folder", "folder \"c:\\folder\"", MakeFolder},
      {"delete", "delete \"c:\\file.txt\"", RemovePath},
      {"director", "director <version, e.g. 10.1>", PlayDirector},
  };
  for (const CommandInfo& command : DeviceCommands()) commands.push_back(command);
  for (const CommandInfo& command : ConsoleCommands()) commands.push_back(command);
  return commands;
}
