// Lingo values to the bytes of an output report, and received bytes back to
// a Lingo list.
#include <cstring>
#include <string>

#include "values/host_services.h"
#include "values/host_value.h"

namespace {

void Append(uint8_t* payload, uint32_t& count, const void* bytes, size_t length) {
  const size_t room = HostServices::kPayloadCapacity - count;
  if (length > room) length = room;
  std::memcpy(payload + count, bytes, length);
  count += static_cast<uint32_t>(length);
}

}  // namespace

// The list reaches `out` only whole: a host that fails one step gets back
// what was made, and `out` stays as it was.
MoaError HostServices::BytesToList(const uint8_t* bytes, int32_t length, MoaMmValue* out) {
  if (!lists_ || !values_) return kMoaErr_BadInterface;
  HostValue list(values_);
  MoaError status = lists_->NewListValue(list.out());
  for (int32_t i = 0; i < length && status == kMoaErr_NoErr; ++i) {
    HostValue item(values_);
    status = values_->IntegerToValue(bytes[i], item.out());
    if (status == kMoaErr_NoErr) status = lists_->AppendValueToList(list.get(), item.get());
  }
  if (status != kMoaErr_NoErr) return status;
  *out = list.release();
  return kMoaErr_NoErr;
}

XtraResult HostServices::ValueToBytes(const MoaMmValue* value, uint8_t* payload, uint32_t& count) {
  XtraResult result;
  result.Clear();
  result.SetOk();
  size_t visited = 0;
  switch (AppendBytes(value, payload, count, 0, visited)) {
    case ByteConversion::Done:
      break;
    case ByteConversion::UnsupportedType:
      result.SetError("Cannot convert this type of parameter", XtraResult::kNoCode);
      break;
    case ByteConversion::UnreadableText:
      result.SetError("The host did not give the text of a string", XtraResult::kNoCode);
      break;
    case ByteConversion::NestedTooDeeply:
      result.SetError("Lists nested too deeply", XtraResult::kNoCode);
      break;
    case ByteConversion::TooManyElements:
      result.SetError("Lists hold too many elements to send", XtraResult::kNoCode);
      break;
  }
  return result;
}

// A plain outcome per element, not a status record: a list of 64 values
// would otherwise copy 64 records of two kilobytes each.
HostServices::ByteConversion HostServices::AppendBytes(const MoaMmValue* value, uint8_t* payload, uint32_t& count,
                                                       int depth, size_t& visited) {
  if (count == kPayloadCapacity) return ByteConversion::Done;
  if (++visited > kMaxVisitedElements) return ByteConversion::TooManyElements;
  MoaLong type = kMoaMmValueType_Void;
  if (values_) values_->ValueType(value, &type);
  switch (type) {
    case kMoaMmValueType_Integer: {
      MoaLong number = 0;
      values_->ValueToInteger(value, &number);
      if (number < 256) {
        const uint8_t low = static_cast<uint8_t>(number & 0xFF);
        Append(payload, count, &low, 1);
      } else {
        const auto bits = static_cast<uint32_t>(number);
        const uint8_t littleEndian[4] = {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                                         static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
        Append(payload, count, littleEndian, sizeof littleEndian);
      }
      return ByteConversion::Done;
    }
    case kMoaMmValueType_String: {
      std::string text;
      if (!ValueString(value, text)) return ByteConversion::UnreadableText;
      Append(payload, count, text.data(), text.size());
      return ByteConversion::Done;
    }
    case kMoaMmValueType_Picture:
      return ByteConversion::Done;
    case kMoaMmValueType_List: {
      ByteConversion outcome = ByteConversion::Done;
      const bool walked = ForEachElement(value, depth, [&](const MoaMmValue& element) {
        // An element that cannot be sent spoils the whole argument.
        outcome = AppendBytes(&element, payload, count, depth + 1, visited);
        return outcome == ByteConversion::Done;
      });
      return walked ? outcome : ByteConversion::NestedTooDeeply;
    }
    default:
      return ByteConversion::UnsupportedType;
  }
}
