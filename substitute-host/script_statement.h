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

// OpenById(hid, 1133, 50475), hid.OpenById(1133, 50475), put hid.IsOpen(),
// GetVersionString(xtra "HidBridge"), PrivateGlobal()
struct MethodCall {
  std::string instance;  // empty for a call on the Xtra or a global call
  std::string method;
  LiteralArguments arguments;
  std::string xtra;  // the Xtra named as argument 0 of a parent handler's call
  bool put = false;  // "put ...": Director's message window shows the answer
};

// hid = VOID: the script lets go of the object.
struct DropReference {
  std::string name;
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

using Statement = std::variant<NoStatement, NewInstance, MethodCall, HostCommand, HandlerDefinition, DropReference>;

// on HidBridge_XtraError forget(hid): a movie handler of one method call.
struct HandlerDefinition {
  std::string handler;
  std::string bodyText;  // as written
  std::shared_ptr<const Statement> body;
};
