#include "controls/control.h"

const char* KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Input: return "input";
    case ControlKind::Output: return "output";
    case ControlKind::Feature: return "feature";
  }
  return "";
}

const char* TypeName(ControlType type) {
  switch (type) {
    case ControlType::Button: return "button";
    case ControlType::Value: return "value";
    case ControlType::Array: return "array";
  }
  return "";
}
