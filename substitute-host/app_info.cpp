#include "app_info.h"

#include <cstdlib>

using namespace director;

MoaError HostAppInfo::GetInfo(MoaLong what, char* buffer, MoaLong size) {
  std::string answer;
  switch (what) {
    case kMoaAppInfo_SerialNumber:
    case kMoaAppInfo_Organization:
      break;
    case kMoaAppInfo_RunMode:
      answer = "Author";
      break;
    case kMoaAppInfo_UserName:
      answer = "Substitute Host";
      break;
    case kMoaAppInfo_AppFileSpec:
      watch().Misuse("the application's file reference, which is no string");
      return kHostErr_WrongType;
    case kMoaAppInfo_ProductName:
      answer = "Director";
      break;
    case kMoaAppInfo_ProductVersion:
    case kMoaAppInfo_BuildVersion:
      answer = productVersion_;
      break;
    case kMoaAppInfo_UILanguage:
    case kMoaAppInfo_OSLanguage:
      answer = "English";
      break;
    default:
      return kMoaErr_NoSuchKey;
  }
  return AnswerText(answer, buffer, size);
}

TextEncoding HostAppInfo::EncodingOf(const std::string& productVersion) {
  return std::atoi(productVersion.c_str()) >= 11 ? TextEncoding::kUtf8 : TextEncoding::kWindows1252;
}
