// IMoaAppInfo: what Director tells of itself. The product version decides
// how Director encodes its strings: UTF-8 from 11 on, the ANSI code page
// before.
#pragma once

#include <string>

#include "host_service.h"
#include "text_encoding.h"

namespace director {
XDK_SERVICE_CLASS(IMoaAppInfoSlots, IMoaAppInfo, IID_IMoaAppInfo, XDK_IMOAAPPINFO_SLOTS, XDK_NO_UNLISTED, false);
}  // namespace director

class HostAppInfo final : public director::IMoaAppInfoSlots {
 public:
  static constexpr char kDefaultVersion[] = "11.5";

  explicit HostAppInfo(HostWatch& hostWatch) : IMoaAppInfoSlots(hostWatch) {}

  // 0x80040013 for a key Director does not know; the buffer must hold the
  // answer and its terminator.
  director::MoaError GetInfo(director::MoaLong what, char* buffer, director::MoaLong size) override;

  const std::string& productVersion() const { return productVersion_; }
  // "10.1", "11.5", "8.5", ...
  void SetProductVersion(std::string version) { productVersion_ = std::move(version); }
  // The encoding a Director of that version speaks.
  static TextEncoding EncodingOf(const std::string& productVersion);

 private:
  std::string productVersion_ = kDefaultVersion;
};
