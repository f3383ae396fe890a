// The compact text in which the log shows a callback's argument values.
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "diagnostics/bounded_text.h"
#include "values/host_services.h"

namespace {

void AppendText(char* text, size_t& length, const char* format, const char* piece) {
  if (length + 1 >= HostServices::kLogTextCapacity) return;
  FormatText(text + length, HostServices::kLogTextCapacity - length, format, piece);
  length += std::strlen(text + length);
}

}  // namespace

XtraResult HostServices::ValueToLogText(const MoaMmValue* value, char* text, size_t& length) {
  XtraResult result;
  result.Clear();
  result.SetOk();
  AppendLogText(value, text, length, 0);
  return result;
}

void HostServices::AppendLogText(const MoaMmValue* value, char* text, size_t& length, int depth) {
  MoaLong type = kMoaMmValueType_Void;
  if (values_) values_->ValueType(value, &type);
  switch (type) {
    case kMoaMmValueType_Integer: {
      MoaLong number = 0;
      values_->ValueToInteger(value, &number);
      char digits[16];
      std::snprintf(digits, sizeof digits, "%d", static_cast<int>(number));
      AppendText(text, length, "<%s>", digits);
      break;
    }
    case kMoaMmValueType_String: {
      // The log is no reason to fail a callback: a text without the memory
      // to read it is logged as cut.
      std::string piece;
      try {
        ValueString(value, piece);
      } catch (const std::bad_alloc&) {
        piece = "...";
      }
      AppendText(text, length, "<%s>", piece.c_str());
      break;
    }
    case kMoaMmValueType_List:
    case kMoaMmValueType_PropList:
      ForEachElement(value, depth, [&](const MoaMmValue& element) {
        AppendLogText(&element, text, length, depth + 1);
        return length + 1 < kLogTextCapacity;
      });
      break;
    default:
      break;
  }
}
