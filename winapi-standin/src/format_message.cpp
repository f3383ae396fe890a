#include <algorithm>
#include <cstring>
#include <map>

#include "faults.h"
#include "standin/kernel.h"

namespace {

// Windows' English texts for the codes the Xtra can meet.
const std::map<DWORD, const char*>& SystemMessages() {
  static const std::map<DWORD, const char*> messages = {
      {ERROR_SUCCESS, "The operation completed successfully.\r\n"},
      {ERROR_INVALID_FUNCTION, "Incorrect function.\r\n"},
      {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified.\r\n"},
      {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified.\r\n"},
      {ERROR_ACCESS_DENIED, "Access is denied.\r\n"},
      {ERROR_INVALID_HANDLE, "The handle is invalid.\r\n"},
      {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command.\r\n"},
      {ERROR_INVALID_DATA, "The data is invalid.\r\n"},
      {ERROR_BAD_COMMAND, "The device does not recognize the command.\r\n"},
      {ERROR_CRC, "Data error (cyclic redundancy check).\r\n"},
      {ERROR_GEN_FAILURE, "A device attached to the system is not functioning.\r\n"},
      {ERROR_SHARING_VIOLATION,
       "The process cannot access the file because it is being used by another process.\r\n"},
      {ERROR_NOT_SUPPORTED, "The request is not supported.\r\n"},
      {ERROR_INVALID_PARAMETER, "The parameter is incorrect.\r\n"},
      {ERROR_INSUFFICIENT_BUFFER, "The data area passed to a system call is too small.\r\n"},
      {ERROR_MOD_NOT_FOUND, "The specified module could not be found.\r\n"},
      {ERROR_PROC_NOT_FOUND, "The specified procedure could not be found.\r\n"},
      {WAIT_TIMEOUT, "The wait operation timed out.\r\n"},
      {ERROR_NO_MORE_ITEMS, "No more data is available.\r\n"},
      {ERROR_MR_MID_NOT_FOUND,
       "The system cannot find message text for message number 0x%1 in the message file for %2.\r\n"},
      {ERROR_OPERATION_ABORTED,
       "The I/O operation has been aborted because of either a thread exit or an application request.\r\n"},
      {ERROR_IO_INCOMPLETE, "Overlapped I/O event is not in a signaled state.\r\n"},
      {ERROR_IO_PENDING, "Overlapped I/O operation is in progress.\r\n"},
      {ERROR_DEVICE_NOT_CONNECTED, "The device is not connected.\r\n"},
      {ERROR_NOT_FOUND, "Element not found.\r\n"},
      {ERROR_TIMEOUT, "This operation returned because the timeout period expired.\r\n"},
      {ERROR_INVALID_USER_BUFFER, "The supplied user buffer is not valid for the requested operation.\r\n"},
  };
  return messages;
}

DWORD Fail(DWORD error) {
  SetLastError(error);
  return 0;
}

}  // namespace

const standin::detail::FaultPoint kFormatMessageWFault{"FormatMessageW"};

// The texts are ASCII, so each character is one UTF-16 unit.
extern "C" DWORD WINAPI FormatMessageW(DWORD dwFlags, LPCVOID, DWORD dwMessageId, DWORD, LPWSTR lpBuffer, DWORD nSize,
                                       va_list*) {
  if (kFormatMessageWFault.Fails()) return 0;
  if (!(dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) || (dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) || !lpBuffer)
    return Fail(ERROR_INVALID_PARAMETER);
  auto found = SystemMessages().find(dwMessageId);
  if (found == SystemMessages().end()) return Fail(ERROR_MR_MID_NOT_FOUND);
  const std::size_t length = std::strlen(found->second);
  if (length + 1 > nSize) return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::copy(found->second, found->second + length + 1, lpBuffer);
  return static_cast<DWORD>(length);
}
