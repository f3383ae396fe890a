#include "method_catalog.h"

#include <cctype>
#include <sstream>

namespace {

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

constexpr char kMarkerColumns[] = " \t/+*";

std::string WithoutMarkers(const std::string& line) {
  const size_t start = line.find_first_not_of(kMarkerColumns);
  return start == std::string::npos ? "" : line.substr(start);
}

MethodEntry ReadDeclaration(const std::string& line, int selector) {
  const std::string markers = line.substr(0, line.find_first_not_of(kMarkerColumns));
  const std::string declaration = WithoutMarkers(line);
  MethodEntry entry;
  entry.selector = selector;
  entry.parent = markers.find('+') != std::string::npos;
  entry.global = markers.find('*') != std::string::npos;
  entry.hidden = markers.find('/') != std::string::npos;
  entry.declaration = Trim(declaration.substr(0, declaration.find("--")));
  const size_t nameEnd = entry.declaration.find_first_of(" \t");
  entry.name = entry.declaration.substr(0, nameEnd);
  const std::string arguments = nameEnd == std::string::npos ? "" : entry.declaration.substr(nameEnd);
  std::stringstream list(arguments);
  std::string argument;
  bool first = true;
  while (std::getline(list, argument, ',')) {
    argument = Trim(argument);
    if (argument.empty()) continue;
    if (first && FoldCase(argument).rfind("object ", 0) == 0) {
      first = false;
      continue;
    }
    if (first) entry.takesInstance = false;
    first = false;
    if (argument == "*")
      entry.anyMore = true;
    else
      ++entry.fixedArguments;
  }
  if (first) entry.takesInstance = false;
  return entry;
}

}  // namespace

std::string FoldCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string MethodEntry::ExpectedArguments() const {
  const std::string counted = std::to_string(fixedArguments) + (fixedArguments == 1 ? " argument" : " arguments");
  if (anyMore) return fixedArguments == 0 ? "any number of arguments" : "at least " + counted;
  return fixedArguments == 0 ? "no arguments" : counted;
}

MethodCatalog::MethodCatalog(const std::string& messageTable) {
  std::stringstream lines(messageTable);
  std::string line;
  bool first = true;
  while (std::getline(lines, line)) {
    const std::string declaration = Trim(WithoutMarkers(line));
    if (first) {
      first = false;
      if (FoldCase(declaration).rfind("xtra ", 0) == 0) {
        std::stringstream words(declaration.substr(5));
        words >> xtraName_;
        continue;
      }
    }
    if (declaration.empty() || declaration.rfind("--", 0) == 0) continue;
    methods_.push_back(ReadDeclaration(line, static_cast<int>(methods_.size())));
  }
}

const MethodEntry* MethodCatalog::Find(const std::string& name) const {
  const std::string wanted = FoldCase(name);
  for (const MethodEntry& entry : methods_)
    if (FoldCase(entry.name) == wanted) return &entry;
  return nullptr;
}
