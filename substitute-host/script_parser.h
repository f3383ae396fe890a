// Reads the lines of an xtrahost script: Lingo's own call syntax with
// literals as arguments, -- comments, and host commands.
//
//   hid = new(xtra "HidBridge")          make an instance and name it
//   put hid.OpenById(0x046D, 0xC52B)     call a method (put is optional)
//   OpenById(hid, 1133, 50475)           the same in the other spelling
//   GetVersionString(xtra "HidBridge")   a parent handler, on the Xtra
//   PrivateGlobal()                      a global handler
//   hid = VOID                           let go of the instance
//   idle 100                             a host command: a word, then words
//                                        and literals
//   on HidBridge_XtraError forget(hid)   a movie handler of one call
#pragma once

#include <string>

#include "lingo_values.h"
#include "script_statement.h"

class ScriptParser {
 public:
  // False with error (naming the column, from 1) when the line does not read.
  bool Parse(const std::string& line, Statement* statement, std::string* error);

 private:
  // Only to prove that literals read; nothing stays alive in it.
  LingoValueStore scratch_;
};
