// Builds one Lingo list, nested lists and property lists inside, for a
// method's answer: every step after the first that fails does nothing, and
// the target gets the list only whole.
#pragma once

#include <cstdint>
#include <vector>

#include "moa_contract.h"
#include "platform.h"
#include "values/host_text.h"
#include "values/host_value.h"

class HostServices;

class ListBuilder {
 public:
  enum class Shape { List, PropList };

  ListBuilder(HostServices& services, Shape outer);
  ListBuilder(const ListBuilder&) = delete;
  ListBuilder& operator=(const ListBuilder&) = delete;

  // Each adds to the innermost open list: as its next element, or under
  // `name` when that is a property list.
  void Open(Shape shape, const char* name = nullptr);
  void Close();
  void Integer(const char* name, int32_t number);
  void String(const char* name, const char* text);
  // A string as Windows gives it, in Director's encoding.
  template <size_t Units>
  void DeviceString(const char* name, const WCHAR (&text)[Units]) {
    char converted[3 * Units];  // UTF-8 takes at most three bytes a unit
    WideToHostText(text, converted, sizeof converted);
    String(name, converted);
  }
  void Symbol(const char* name, const char* symbol);
  // A list of byte values, as ReadPacket answers a report.
  void Bytes(const char* name, const uint8_t* bytes, size_t length);
  void Void(const char* name);

  // Closes what is open and hands the list to `target`, unless a step
  // failed: then the list is let go and `target` left as it was. Answers the
  // first failed step's status.
  MoaError HandTo(MoaMmValue* target);

 private:
  struct OpenList {
    HostValue value;
    Shape shape;
  };
  void Add(const char* name, HostValue& item);
  void Check(MoaError status);

  HostServices& services_;
  std::vector<OpenList> open_;
  // The names the inner open lists go under, one per list but the outer.
  std::vector<const char*> names_;
  MoaError status_ = kMoaErr_NoErr;
};
