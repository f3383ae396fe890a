// The Lingo methods an Xtra declares in the message table it registers:
// names, selectors (the order of the handler lines) and argument counts, so
// that a host learns them from the Xtra instead of keeping a copy.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct MethodEntry {
  std::string name;
  int selector = 0;
  // Arguments after `object me`; with `*` at least this many, else exactly.
  int fixedArguments = 0;
  bool anyMore = false;
  // False for a handler whose declaration has no `object me`.
  bool takesInstance = true;
  // The markers before the name: + a parent handler (argument 0 is the Xtra
  // reference), * a global one, / hidden from the movie's lists.
  bool parent = false;
  bool global = false;
  bool hidden = false;
  std::string declaration;  // the line without its markers and comment

  bool Accepts(int arguments) const { return anyMore ? arguments >= fixedArguments : arguments == fixedArguments; }
  // "no arguments", "2 arguments", "at least 1 argument", ...
  std::string ExpectedArguments() const;
};

class MethodCatalog {
 public:
  MethodCatalog() = default;
  // The first line, "xtra <Name>", names the Xtra; lines starting with --
  // are comments; every other line declares the next selector's handler,
  // after markers among "+*/" in its first columns.
  explicit MethodCatalog(const std::string& messageTable);

  const std::string& xtraName() const { return xtraName_; }
  const std::vector<MethodEntry>& methods() const { return methods_; }
  // Lingo ignores the case of handler names.
  const MethodEntry* Find(const std::string& name) const;

 private:
  std::string xtraName_;
  std::vector<MethodEntry> methods_;
};

// "abc" for "ABC": handler, instance and command names ignore case.
std::string FoldCase(std::string text);
