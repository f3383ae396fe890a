// Host service objects as the Xtra sees them: a pointer to a table of plain
// functions, one per slot in Director's order, each taking the object first.
// The Xtra's C++ virtual calls land on them on both ABIs. Every slot of an
// interface is present; a slot the host does not serve records the call as a
// misuse and refuses it with the stack left right.
//
// An interface is declared once, as a list of slots (xdk_layouts.h); the
// macros below make from it a class with one virtual function per slot and
// the slot table that calls them. A service derives from that class and
// overrides the slots it serves.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <type_traits>

#include "director_ids.h"
#include "host_errors.h"
#include "host_watch.h"
#include "xdk_layouts.h"

using SlotFunction = void (*)();

class HostService {
 public:
  HostService(HostWatch& hostWatch, const InterfaceLayout& layout, const director::MoaID& iid,
              const SlotFunction* slots);
  virtual ~HostService() = default;
  HostService(const HostService&) = delete;
  HostService& operator=(const HostService&) = delete;

  // Answers this interface and IMoaUnknown.
  virtual director::MoaError QueryInterface(const director::MoaID* iid, void** out);
  director::MoaUlong AddRef() {
    referenced_ = true;
    return static_cast<director::MoaUlong>(++references_);
  }
  director::MoaUlong Release() { return static_cast<director::MoaUlong>(--references_); }
  // The Xtra held a reference and gave back its last: a call through the
  // interface now uses what Director may already have freed.
  bool LetGo() const { return referenced_ && references_ <= 0; }

  // References handed out and not yet released: the host's objects live as
  // long as the host, and count only so that tests see the Xtra balance them.
  int references() const { return references_; }
  const InterfaceLayout& layout() const { return layout_; }
  const director::MoaID& iid() const { return iid_; }
  HostWatch& watch() const { return watch_; }
  // What the Xtra holds: the address of the slot table pointer.
  void* door() { return &door_; }

  template <class Service>
  static Service& Behind(void* door) {
    return static_cast<Service&>(*static_cast<Door*>(door)->service);
  }

 protected:
  // The answer of a slot this host does not serve.
  template <class Ret>
  Ret NotServed() {
    watch_.Misuse("not a service this host offers");
    if constexpr (std::is_pointer_v<Ret> || std::is_void_v<Ret>)
      return Ret();
    else
      return kHostErr_NotServed;
  }

 private:
  struct Door {
    const SlotFunction* slots;
    HostService* service;
  };

  HostWatch& watch_;
  const InterfaceLayout& layout_;
  director::MoaID iid_;
  Door door_;
  int references_ = 0;
  bool referenced_ = false;
};

// Text and its terminator into the Xtra's buffer, which must hold both; a
// shorter one is an error and is left holding the empty text.
director::MoaError AnswerText(const std::string& text, char* buffer, director::MoaLong size);

// The plain function at slot `Slot` that serves a call with `Method`.
template <auto Method, int Slot>
struct SlotStub;

template <class Service, class Ret, class... Args, Ret (Service::*Method)(Args...), int Slot>
struct SlotStub<Method, Slot> {
  static Ret XDK_CALL Call(void* door, Args... args) {
    Service& service = HostService::Behind<Service>(door);
    const HostWatch::Call call(service.watch(), service.layout(), Slot);
    if (Slot > 2 && service.LetGo()) service.watch().Misuse("a call after the Xtra's last Release of this interface");
    return (service.*Method)(args...);
  }
};

// A slot whose parameters Director does not publish: recorded, and then the
// process ends on 32-bit Windows, where returning would leave the caller's
// stack unknown.
void UnlistedSlotCalled(void* door, int slot);
template <int Slot>
director::MoaError XDK_CALL UnlistedSlot(void* door) {
  UnlistedSlotCalled(door, Slot);
  return kHostErr_NotServed;
}

template <class... Args>
void Unused(const Args&...) {}

constexpr bool SlotsInOrder(const int* numbers, int count) {
  for (int i = 0; i < count; ++i)
    if (numbers[i] != i) return false;
  return true;
}

#define XDK_VIRTUAL_SLOT(slot, name, ret, params, args) \
  virtual ret name params {                             \
    Unused args;                                        \
    return NotServed<ret>();                            \
  }
#define XDK_SLOT_NUMBER(slot, ...) slot,
#define XDK_SLOT_NAME(slot, name, ...) #name,
#define XDK_UNLISTED_NUMBER(slot) slot,
#define XDK_UNLISTED_NAME(slot) "(parameters unpublished)",
#define XDK_SLOT_ENTRY(slot, name, ...) \
  table[slot] = reinterpret_cast<SlotFunction>(&SlotStub<&Self::name, slot>::Call);
#define XDK_UNLISTED_ENTRY(slot) table[slot] = reinterpret_cast<SlotFunction>(&UnlistedSlot<slot>);

// The class `Class` with a virtual function for each slot of `SLOTS`, the
// interface `Interface` (answering QueryInterface for `iid`), and its table.
// Slots without published parameters (`UNLISTED`) come before the others.
#define XDK_SERVICE_CLASS(Class, Interface, iid, SLOTS, UNLISTED, fromWindowMessages)                             \
  class Class : public HostService {                                                                            \
   public:                                                                                                      \
    explicit Class(HostWatch& hostWatch) : HostService(hostWatch, Layout(), iid, Slots()) {}                   \
    director::Interface* object() { return static_cast<director::Interface*>(door()); }                        \
    static const InterfaceLayout& Layout() {                                                                   \
      static constexpr const char* kNames[] = {"QueryInterface", "AddRef", "Release",                          \
                                               UNLISTED(XDK_UNLISTED_NAME) SLOTS(XDK_SLOT_NAME)};              \
      static const InterfaceLayout layout{#Interface, kNames, kSlotCount, fromWindowMessages};                  \
      return layout;                                                                                           \
    }                                                                                                          \
    SLOTS(XDK_VIRTUAL_SLOT)                                                                                     \
                                                                                                               \
   private:                                                                                                     \
    using Self = Class;                                                                                        \
    static constexpr int kSlotNumbers[] = {0, 1, 2, UNLISTED(XDK_UNLISTED_NUMBER) SLOTS(XDK_SLOT_NUMBER)};     \
    static constexpr int kSlotCount = static_cast<int>(std::size(kSlotNumbers));                               \
    static_assert(SlotsInOrder(kSlotNumbers, kSlotCount), #Interface ": every slot, once, in order");           \
    static const SlotFunction* Slots() {                                                                       \
      static const std::array<SlotFunction, kSlotCount> kTable = [] {                                          \
        std::array<SlotFunction, kSlotCount> table{};                                                          \
        table[0] = reinterpret_cast<SlotFunction>(&SlotStub<&HostService::QueryInterface, 0>::Call);           \
        table[1] = reinterpret_cast<SlotFunction>(&SlotStub<&HostService::AddRef, 1>::Call);                   \
        table[2] = reinterpret_cast<SlotFunction>(&SlotStub<&HostService::Release, 2>::Call);                  \
        SLOTS(XDK_SLOT_ENTRY)                                                                                  \
        UNLISTED(XDK_UNLISTED_ENTRY)                                                                           \
        return table;                                                                                          \
      }();                                                                                                     \
      return kTable.data();                                                                                    \
    }                                                                                                          \
  }
