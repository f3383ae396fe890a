// What an object's input handler hears, and what its calls remember from one
// idle to the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "device/input_buffer.h"

enum class InputMode { Reports, Latest, Decoded, Changes };

// #reports, #latest, #decoded, #changes.
const char* InputModeName(InputMode mode);
// Letter case does not count, as in Lingo's symbols.
bool InputModeNamed(const char* name, InputMode* mode);

// A control's value as #changes compares it: what DecodeReport would answer.
struct ControlValue {
  int shape = 0;
  int32_t number = 0;
  std::vector<std::string> usages;
  std::vector<int32_t> numbers;
  bool operator==(const ControlValue& other) const {
    return shape == other.shape && number == other.number && usages == other.usages && numbers == other.numbers;
  }
  bool operator!=(const ControlValue& other) const { return !(*this == other); }
};

struct InputHandlerState {
  static constexpr size_t kNameSize = 256;

  char name[kNameSize] = "";  // "" while no handler hears input
  InputMode mode = InputMode::Reports;
  // Each told once per SetInputHandler, not at every idle; a handler the
  // movie lacks also pauses delivery until the next SetInputHandler.
  bool toldUnknown = false;
  bool toldUndecodable = false;
  // The buffer's drop count when the last call was made.
  size_t droppedBefore = 0;
  // #changes: reports consumed without a call since the last one, and every
  // control's value as the movie last heard it, by report ID and name (two
  // reports may each hold a control of one name).
  size_t reportsSinceCall = 0;
  std::map<std::pair<uint8_t, std::string>, ControlValue> heard;
  // The device session `heard` belongs to (UsbClassBase::DeviceSession).
  uint32_t heardSession = 0;
  // Counts the Resets: a handler that sets another handler or mode during
  // its own call must not have the call it ends overwrite the fresh start.
  uint32_t resets = 0;
  // The reports of the input call under way: they leave the buffer once it
  // is made, or at once when its handler reads the buffer.
  InputBuffer::Copied lent;

  // A new handler or mode starts afresh.
  void Reset(size_t droppedNow);
};
