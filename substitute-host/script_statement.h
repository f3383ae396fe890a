// One line of an xtrahost script, as read: what to do, not yet checked
// against the Xtra's methods or the instances alive.
#pragma once

#include <memory>
#include <string>
#include <variant>
#include <vector>

// Literal arguments are kept as their text, known to read as Lingo values.
struct LiteralArguments {
  std::string text;  // "1133, 50475"
  int count = 0;
};

// hid = new(xtra "HidBridge")
struct NewInstance {
  std::string name;
  std::string xtra;
};

// OpenById(hid, 1133, 50475), hid.OpenById(1133, 50475), put hid.IsOpen()
struct MethodCall {
  std::string instance;
  std::string method;
  LiteralArguments arguments;
};

// A word of the host command, or a Lingo literal.
struct CommandArgument {
  bool literal = false;
  std::string text;
};

// idle 100, plug pad [#vendorId: 0x046D], send pad [1, 2]
struct HostCommand {
  std::string name;
  std::vector<CommandArgument> arguments;
};

struct HandlerDefinition;

// Nothing to do: an empty or comment-only line.
struct NoStatement {};

using Statement = std::variant<NoStatement, NewInstance, MethodCall, HostCommand, HandlerDefinition>;

// on HidBridge_XtraError forget(hid): a movie handler of one method call.
struct HandlerDefinition {
  std::string handler;
  std::string bodyText;  // as written
  std::shared_ptr<const Statement> body;
};
