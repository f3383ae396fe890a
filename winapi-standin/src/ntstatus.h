// The kernel's status codes that the stand-in leaves in OVERLAPPED.Internal,
// as Windows does, and the last errors they become.
#pragma once

#include "standin/win_errors.h"

namespace standin::detail {

constexpr NTSTATUS STATUS_SUCCESS = 0;
constexpr NTSTATUS STATUS_INVALID_PARAMETER = static_cast<NTSTATUS>(0xC000000D);
constexpr NTSTATUS STATUS_DELETE_PENDING = static_cast<NTSTATUS>(0xC0000056);
constexpr NTSTATUS STATUS_DEVICE_NOT_CONNECTED = static_cast<NTSTATUS>(0xC000009D);
constexpr NTSTATUS STATUS_CANCELLED = static_cast<NTSTATUS>(0xC0000120);

inline DWORD ErrorFromStatus(NTSTATUS status) {
  switch (status) {
    case STATUS_SUCCESS: return ERROR_SUCCESS;
    case STATUS_CANCELLED: return ERROR_OPERATION_ABORTED;
    case STATUS_DEVICE_NOT_CONNECTED: return ERROR_DEVICE_NOT_CONNECTED;
    case STATUS_DELETE_PENDING: return ERROR_ACCESS_DENIED;
    default: return ERROR_GEN_FAILURE;
  }
}

}  // namespace standin::detail
