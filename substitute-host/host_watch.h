// What the host watches the Xtra for while it serves it: calls Director would
// not survive or would answer differently. Each misuse is recorded once, with
// how often it happened, and passed on to a listener as it happens. Director
// serves the Xtra on its main thread alone: the thread that made the watch.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "director_abi.h"

// One interface as the host serves it, for naming a call in a misuse.
struct InterfaceLayout {
  const char* name;
  const char* const* slotNames;
  int slotCount;
  // The movie context may be called from a window procedure: that is what
  // it is for.
  bool callableFromWindowMessages = false;
};

class HostWatch {
 public:
  HostWatch();
  HostWatch(const HostWatch&) = delete;
  HostWatch& operator=(const HostWatch&) = delete;

  // Prefixed with the host service call being served, when there is one.
  void Misuse(const std::string& what);
  // "what" or "what (N times)", in the order first seen.
  std::vector<std::string> Misuses() const;
  void SetListener(std::function<void(const std::string& misuse)> listener) { listener_ = std::move(listener); }

  // A call of the Xtra's into the host, for as long as it is being served.
  class Call {
   public:
    Call(HostWatch& watch, const InterfaceLayout& layout, int slot);
    ~Call();
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

   private:
    HostWatch& watch_;
  };

  // While the host dispatches a window message to the Xtra's window, every
  // call into the host must come inside PushXtraContext / PopXtraContext,
  // and the message must leave the contexts as it found them.
  class WindowMessage {
   public:
    explicit WindowMessage(HostWatch& watch);
    ~WindowMessage();
    WindowMessage(const WindowMessage&) = delete;
    WindowMessage& operator=(const WindowMessage&) = delete;

   private:
    HostWatch& watch_;
    int contextDepth_;
  };

  // The arguments of a call into the Xtra are its caller's: the Xtra may
  // take references of its own and give them back, no more. Owned from
  // Own() until Disown(), which answers each argument's references
  // released beyond those the Xtra took.
  size_t Own(const std::vector<director::MoaMmValue>& arguments);
  std::vector<int> Disown(size_t owned);
  // The Xtra added (+1) or released (-1) a reference through the value service.
  void ReferenceChanged(const director::MoaMmValue& value, int change);

  void ContextPushed() { ++contextDepth_; }
  void ContextPopped() { --contextDepth_; }
  int contextDepth() const { return contextDepth_; }

  static std::string SlotName(const InterfaceLayout& layout, int slot);

 private:
  std::vector<std::string> calls_;                           // innermost last
  std::vector<std::pair<director::MoaMmValue, int>> owned_;  // with the Xtra's balance of references
  std::vector<std::string> order_;
  std::map<std::string, int> counts_;
  std::function<void(const std::string&)> listener_;
  int windowMessages_ = 0;
  int contextDepth_ = 0;
  unsigned long thread_;
};
