// What a method handler works on: the instance, its script object and the
// host's call record, with the argument and answer conversions they share.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/interface_objects.h"

struct CallContext {
  XtraInstance& instance;
  TStdXtra_IMoaMmXScript& script;
  MoaMmCallInfo& call;

  // A missing argument, or one that is not an integer, reads as 0.
  int32_t IntegerArgument(int index, bool* converted = nullptr) const;
  // A missing argument, or one that is not a string, reads as the empty
  // text; the text is cut to fit the buffer.
  bool TextArgument(int index, char* buffer, size_t size) const;

  void AnswerInteger(int32_t number);
  void AnswerString(const char* text);
  // Keeps the instance's error listener: a record copied from a device
  // operation has none.
  void StoreResult(const XtraResult& result);
  // Answers the status text of the instance's record; an error also goes to
  // the movie's XtraError handler, once.
  void AnswerStatus();
};
