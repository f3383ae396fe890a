// Random script text through the script parser, and as a message table
// through the method catalog: nothing crashes, and every statement the
// parser accepts carries literals that read again, as many as it counted.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "lingo_literals.h"
#include "method_catalog.h"
#include "script_parser.h"

namespace {

using director::MoaMmValue;

void Require(bool condition, const char* what, const std::string& line) {
  if (condition) return;
  std::fprintf(stderr, "%s: %s\n", what, line.c_str());
  std::abort();
}

void CheckArguments(LingoValueStore& values, const LiteralArguments& arguments, const std::string& line) {
  std::vector<MoaMmValue> read;
  std::string error;
  Require(ParseLiterals(values, arguments.text, &read, &error), "accepted arguments do not read", line);
  Require(read.size() == static_cast<size_t>(arguments.count), "arguments miscounted", line);
  for (const MoaMmValue& value : read) values.Release(value);
}

void Check(LingoValueStore& values, const Statement& statement, const std::string& line) {
  if (const auto* call = std::get_if<MethodCall>(&statement)) {
    Require(!call->method.empty(), "call without its name", line);
    Require(call->instance.empty() || call->xtra.empty(), "call on an instance and the Xtra at once", line);
    CheckArguments(values, call->arguments, line);
  } else if (const auto* command = std::get_if<HostCommand>(&statement)) {
    for (const CommandArgument& argument : command->arguments) {
      if (!argument.literal) continue;
      MoaMmValue value = director::kVoidMoaMmValue;
      std::string error;
      Require(ParseLiteral(values, argument.text, &value, &error), "accepted command literal does not read", line);
      values.Release(value);
    }
  } else if (const auto* definition = std::get_if<HandlerDefinition>(&statement)) {
    Require(definition->body && std::holds_alternative<MethodCall>(*definition->body), "handler without a call", line);
    Check(values, *definition->body, line);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ScriptParser parser;
  LingoValueStore values;
  std::stringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    Statement statement;
    std::string error;
    if (parser.Parse(line, &statement, &error))
      Check(values, statement, line);
    else
      Require(error.rfind("column ", 0) == 0, "a refusal without its column", line);
  }
  Require(values.Leaks().empty(), "values left alive", text);

  const MethodCatalog catalog(text);
  for (const MethodEntry& method : catalog.methods())
    Require(catalog.Find(method.name) != nullptr && method.fixedArguments >= 0, "a method it cannot find", method.name);
  return 0;
}
