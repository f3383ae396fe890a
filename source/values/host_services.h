// Director's value, list, player, notification and window services as one
// script instance (or one result builder) holds them, with the conversions
// between Lingo values and the Xtra's integers, texts, bytes and property
// lists.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "diagnostics/xtra_result.h"
#include "moa_contract.h"
#include "monitor/callback_queue.h"
#include "values/host_value.h"

class HostServices {
 public:
  // Room for the payload of the longest report a HID device can have.
  static constexpr uint32_t kPayloadCapacity = 65535;
  static constexpr size_t kLogTextCapacity = 32768;
  static constexpr size_t kLogFileNameSize = 256;

  // Binds the host's services at once; a service the host lacks stays
  // missing and what needs it does nothing.
  explicit HostServices(IMoaCallback* callback);
  // Drops pending callbacks (their values go back to the host), then lets go
  // of every host service.
  ~HostServices();
  HostServices(const HostServices&) = delete;
  HostServices& operator=(const HostServices&) = delete;

  XtraResult BindHost();
  XtraResult ReleaseHost();
  // The active movie's context, kept for calls into Director that Director
  // did not start (see DirectorContextScope). Director has no movie while it
  // registers the Xtra, so this waits for Lingo's new.
  void BindMovieContext();

  MoaError MakeSymbol(const char* name, MoaMmValue* out);
  MoaError NewPropList(MoaMmValue* out);
  MoaError AddProperty(MoaMmValue* propList, const MoaMmValue* key, const MoaMmValue* item);
  MoaError AddValueProperty(MoaMmValue* propList, const char* name, const MoaMmValue* item);
  MoaError AddIntegerProperty(MoaMmValue* propList, const char* name, int32_t number);
  MoaError AddStringProperty(MoaMmValue* propList, const char* name, const char* text);

  // A string value's text, ended inside `buffer` (a host that cuts a text
  // may not end it); false, with the text empty, when the host gives none.
  bool ValueText(const MoaMmValue* value, char* buffer, size_t size);
  // A symbol's name or a string's text, as Lingo writes a property list's
  // keys, ended inside `buffer`; false, with the text empty, for any other
  // value.
  bool NameOf(const MoaMmValue& value, char* buffer, size_t size);
  // A string value's whole text, however long; false, with the text empty,
  // when the host gives none. Throws std::bad_alloc.
  bool ValueString(const MoaMmValue* value, std::string& text);

  MoaError BytesToList(const uint8_t* bytes, int32_t length, MoaMmValue* out);
  // Appends the bytes of an integer, string or (nested) list to a payload of
  // kPayloadCapacity bytes; what would not fit is cut, and the walk ends as
  // soon as the payload is full or too many elements were visited (lists
  // may share or contain themselves).
  XtraResult ValueToBytes(const MoaMmValue* value, uint8_t* payload, uint32_t& count);
  // Appends a compact text of the value (lists flattened, keys left out) to
  // a text of kLogTextCapacity characters; what would not fit is cut.
  XtraResult ValueToLogText(const MoaMmValue* value, char* text, size_t& length);

  // The process-wide log, opened with this object's file name.
  XtraResult SetLogFileName(const char* name);
  const char* logFileName() const { return logFileName_; }
  XtraResult OpenLog();
  XtraResult CloseLog();
  XtraResult LogLine(const char* message, const char* tag);
  XtraResult LogCallbackArguments(int32_t argCount, const MoaMmValue* args);

  IMoaMmValue* values() const { return values_; }
  IMoaMmList* lists() const { return lists_; }
  IMoaDrPlayer* player() const { return player_; }
  IMoaNotification* notification() const { return notification_; }
  IMoaMmWndWin* windows() const { return windows_; }
  IMoaDrMovieContext* movieContext() const { return movieContext_; }
  CallbackQueue& callbacks() { return callbacks_; }

 private:
  enum class ByteConversion { Done, UnsupportedType, UnreadableText, NestedTooDeeply, TooManyElements };
  ByteConversion AppendBytes(const MoaMmValue* value, uint8_t* payload, uint32_t& count, int depth,
                             size_t& visited);
  void AppendLogText(const MoaMmValue* value, char* text, size_t& length, int depth);
  template <class Service>
  Service* Acquire(const MoaID& iid);
  // Visits a list's elements in order, each borrowed for the visit, until a
  // visit answers false; false, visiting nothing, past the depth that nesting
  // may reach.
  template <class Visit>
  bool ForEachElement(const MoaMmValue* list, int depth, Visit visit);
  static constexpr int kMaxListDepth = 64;
  // Lists that fill a payload with one byte per element visit about twice
  // as many values, themselves included; a walk past this sends nothing.
  static constexpr size_t kMaxVisitedElements = 4 * kPayloadCapacity;

  IMoaCallback* callback_;
  IMoaMmValue* values_ = nullptr;
  IMoaMmList* lists_ = nullptr;
  IMoaDrPlayer* player_ = nullptr;
  IMoaNotification* notification_ = nullptr;
  IMoaMmWndWin* windows_ = nullptr;
  IMoaDrMovieContext* movieContext_ = nullptr;
  CallbackQueue callbacks_;
  XtraResult result_;
  char logFileName_[kLogFileNameSize] = "c:\\xtralog.txt";
};

template <class Visit>
inline bool HostServices::ForEachElement(const MoaMmValue* list, int depth, Visit visit) {
  if (depth >= kMaxListDepth || !lists_) return false;
  const MoaLong elements = lists_->CountElements(list);
  for (MoaLong position = 1; position <= elements; ++position) {
    HostValue element(values_);
    if (lists_->GetValueByIndex(list, position, element.out()) != kMoaErr_NoErr) continue;
    if (!visit(*element.get())) break;
  }
  return true;
}
