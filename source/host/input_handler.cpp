#include "host/input_handler.h"

#include "controls/usage_names.h"

namespace {

constexpr InputMode kModes[] = {InputMode::Reports, InputMode::Latest, InputMode::Decoded, InputMode::Changes};

}  // namespace

const char* InputModeName(InputMode mode) {
  switch (mode) {
    case InputMode::Reports: return "reports";
    case InputMode::Latest: return "latest";
    case InputMode::Decoded: return "decoded";
    case InputMode::Changes: return "changes";
  }
  return "reports";
}

bool InputModeNamed(const char* name, InputMode* mode) {
  for (InputMode known : kModes) {
    if (SameName(name, InputModeName(known))) {
      *mode = known;
      return true;
    }
  }
  return false;
}

void InputHandlerState::Reset(size_t droppedNow) {
  toldUnknown = false;
  toldUndecodable = false;
  droppedBefore = droppedNow;
  reportsSinceCall = 0;
  heard.clear();
  ++resets;
}
