// The host's own share of a call, done through the same list and value
// services the Xtra uses, reached through their slots as an Xtra reaches
// them: making the list an answer carries, and reading the list an argument
// carries. The call-path figures are measured against it.
#pragma once

#include <cstdint>

#include "director_host.h"
#include "xtra_interfaces.h"

class HostListWork {
 public:
  explicit HostListWork(DirectorHost& host);
  ~HostListWork();
  HostListWork(const HostListWork&) = delete;
  HostListWork& operator=(const HostListWork&) = delete;

  // A list of one integer per byte, let go again.
  void BuildAndRelease(const std::uint8_t* bytes, int count);
  // Every integer of the list, asked for as the Xtra asks for an argument's;
  // their sum, so that nothing of the reading can be left out.
  long SumIntegers(const director::MoaMmValue& list);

 private:
  xtra_view::IMoaMmValue* values_ = nullptr;
  xtra_view::IMoaMmList* lists_ = nullptr;
};
