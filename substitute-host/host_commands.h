// Host commands of a script: what a Director author does outside Lingo,
// such as letting time pass or plugging in a device.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "director_host.h"
#include "idle_loop.h"
#include "lingo_values.h"
#include "method_catalog.h"
#include "script_instance.h"
#include "script_statement.h"
#include "transcript.h"

// Reads a command's arguments in order; each reader answers false with
// error() set when the next argument is not what it wants.
class CommandArguments {
 public:
  explicit CommandArguments(const std::vector<CommandArgument>& arguments) : arguments_(arguments) {}
  ~CommandArguments();
  CommandArguments(const CommandArguments&) = delete;
  CommandArguments& operator=(const CommandArguments&) = delete;

  bool Word(const char* word);
  // Takes the word when it comes next; no error when it does not.
  bool TakeWord(const char* word);
  // The next argument, word or literal, as written.
  bool AsWritten(const char* what, std::string* text);
  bool Name(const char* what, std::string* name);
  bool Integer(const char* what, int32_t* number);
  bool OptionalInteger(int32_t* number);
  bool String(const char* what, std::string* text);
  bool Bytes(const char* what, std::vector<uint8_t>* bytes);
  // [#key: value, ...] with the keys' names as written.
  bool Properties(const char* what, std::vector<std::pair<std::string, const LingoValue*>>* properties);
  // Takes the next argument when it is a property list; otherwise leaves it
  // for the next reader, with no error.
  bool TakeProperties(std::vector<std::pair<std::string, const LingoValue*>>* properties);
  bool More() const { return next_ < arguments_.size(); }
  // Where the values that Properties hands out keep their elements.
  const LingoValueStore& values() const { return values_; }
  bool End();

  const std::string& error() const { return error_; }
  bool Fail(const std::string& what);

 private:
  const LingoValue* Literal(const char* what);

  const std::vector<CommandArgument>& arguments_;
  size_t next_ = 0;
  LingoValueStore values_;
  std::vector<director::MoaMmValue> read_;
  std::string error_;
};

struct CommandContext {
  CommandArguments& arguments;
  Transcript& transcript;
  IdleLoop& idle;
  const MethodCatalog& catalog;
  DirectorHost& host;
  // The script's object of that name, or null when none is alive.
  std::function<ScriptInstance*(const std::string& name)> instanceNamed;
};

struct CommandInfo {
  const char* name;
  const char* usage;
  // False when the command could not do its work, with arguments.error() set.
  bool (*run)(CommandContext& context);
  // False for what a device does (send): the movie's next idle comes with
  // the next statement, so that a report reaches a listening handler under
  // the statement that waits for it, never by luck under the send.
  bool movieIdlesAfter = true;
};

// Every command of this build: the common ones and the platform's.
std::vector<CommandInfo> HostCommands();
// The device commands: on the stand-in's simulated bus natively, on virtual
// HID devices under Wine.
std::vector<CommandInfo> DeviceCommands();
// Unplugs what the script left plugged in.
void UnplugScriptDevices();

// devicechange <arrival|removecomplete|code> [hid] <"path"|volume>
bool SendDeviceChange(CommandContext& context);
// log ["c:\file.txt"]
bool ShowLog(CommandContext& context);
// file "c:\file.txt" ["line", ...]: writes the file, each line ended in CR LF
bool MakeFile(CommandContext& context);
// folder "c:\folder"
bool MakeFolder(CommandContext& context);
// delete "c:\file.txt": a file, or a folder with all it holds, if there
bool RemovePath(CommandContext& context);
// director 10.1: the Director the host plays from now on
bool PlayDirector(CommandContext& context);
// wait until <object> has <n> packets | <object> stops reading | <handler> is called | <device> is read
bool WaitUntil(CommandContext& context);
// Asks GetStatus, as a movie would, without idling, until the object's
// reader has ended, for at most kLongestWaitSeconds; false if it has not.
bool AwaitStoppedReading(CommandContext& context, ScriptInstance& instance);
// Whether every report the script's device sent has been read and stored by
// the one object that reads it, now waiting in its next read: what a packet
// count cannot tell once DoNotBufferPackets keeps one packet. False with why
// when there is no such device or the platform cannot tell.
bool ScriptDeviceRead(const std::string& name, bool* read, std::string* why);
// Long enough for a loaded machine; only a wait that fails waits it out.
constexpr int kLongestWaitSeconds = 10;
