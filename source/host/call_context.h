// What a method handler works on: the instance, its script object and the
// host's call record, with the argument and answer conversions they share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

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
  // A string argument's whole text, however long; false, with the text
  // empty, for a missing argument or another type. Throws std::bad_alloc.
  bool StringArgument(int index, std::string& text) const;

  // Whether the argument is there and of that Lingo type.
  bool ArgumentIs(int index, MoaLong type) const;
  // Methods added since the first release check their arguments: each of
  // these answers a wrong one with an error naming it, and returns false.
  bool ReportIdArgument(int index, uint8_t* reportId);
  // The bytes of arguments `first` on, converted as Write converts them;
  // errors count the arguments after the object from 1.
  bool PayloadArguments(int first, uint8_t* payload, uint32_t& count);

  void AnswerInteger(int32_t number);
  void AnswerString(const char* text);
  // "Ok (in:3 sent:9)": bytes given, bytes the device took.
  void AnswerSent(uint32_t given, int32_t sent);
  // An error the Xtra finds itself, answered as AnswerStatus answers.
  void AnswerError(const char* message);
  // Keeps the instance's error listener: a record copied from a device
  // operation has none.
  void StoreResult(const XtraResult& result);
  // Answers the status text of the instance's record; an error also goes to
  // the movie's XtraError handler, once, and is remembered for GetStatus.
  void AnswerStatus();
  // An error beside an answer that cannot carry it (a list): the movie hears
  // of it through its XtraError handler, and GetStatus remembers it. Of
  // these only a device search shows a box too: the opens and the searches
  // are the errors ShowErrorsAsDialogs shows.
  enum class Box { DeviceSearch, None };
  void ReportBesideAnswer(const XtraResult& result, Box box);
  void RememberError(const char* message, int32_t code);

 private:
  // An error in the instance's record is remembered for GetStatus and goes
  // to the movie's XtraError handler.
  void ReportLastError();
};

// For GetStatus: the last error the movie was told of.
void RememberError(XtraInstance& instance, const char* message, int32_t code);

// While it lives, errors the instance reports show no message box: the movie
// hears of them through its XtraError handler alone.
class DialogsSuppressed {
 public:
  explicit DialogsSuppressed(XtraInstance& instance);
  ~DialogsSuppressed();
  DialogsSuppressed(const DialogsSuppressed&) = delete;
  DialogsSuppressed& operator=(const DialogsSuppressed&) = delete;

 private:
  XtraInstance& instance_;
  const bool before_;
};
