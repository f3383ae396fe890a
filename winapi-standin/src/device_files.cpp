#include <cstring>

#include "device_file.h"
#include "faults.h"
#include "ntstatus.h"
#include "standin/files.h"
#include "standin/kernel.h"
#include "text_conversions.h"
#include "waitable.h"

using namespace standin::detail;

namespace {

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// With the kernel locked: the open file if it was opened with `access` (0:
// any) and its device is connected; otherwise null with the last error set.
std::shared_ptr<DeviceFile> UsableFile(HANDLE handle, DWORD access) {
  auto file = Find<DeviceFile>(handle);
  if (!file) SetLastError(ERROR_INVALID_HANDLE);
  else if (access != 0 && !(file->access & access)) SetLastError(ERROR_ACCESS_DENIED);
  else if (!file->device->connected) SetLastError(file->device->RemovalError());
  else return file;
  return nullptr;
}

// Answers what the read claims to have given.
DWORD TakeReport(DeviceFile& file, void* buffer) {
  const Report& report = file.input->reports.front();
  std::memcpy(buffer, report.data(), report.size());
  const DWORD length = file.device->ClaimedReadBytes(report.size());
  file.input->reports.pop_front();
  return length;
}

BOOL ReadOverlapped(DeviceFile& file, void* buffer, LPDWORD read, OVERLAPPED& overlapped) {
  SimulatedDevice& device = *file.device;
  if (auto event = Find<Event>(overlapped.hEvent)) event->set = false;
  if (!file.input->reports.empty()) {
    const DWORD length = TakeReport(file, buffer);
    CompleteOverlapped(overlapped, STATUS_SUCCESS, length);
    if (read) *read = length;
    return TRUE;
  }
  overlapped.Internal = static_cast<ULONG_PTR>(STATUS_PENDING);
  overlapped.InternalHigh = 0;
  device.pendingReads.push_back({{&file, GetCurrentThreadId(), &overlapped}, static_cast<BYTE*>(buffer)});
  return Fail(ERROR_IO_PENDING);
}

BOOL ReadSynchronously(KernelLock& lock, DeviceFile& file, void* buffer, LPDWORD read) {
  SimulatedDevice& device = *file.device;
  BlockUntil(lock, [&] { return !file.input->reports.empty() || !device.connected; });
  if (!device.connected) return Fail(device.RemovalError());
  *read = TakeReport(file, buffer);
  return TRUE;
}

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;

// Both ways round: each open's access must be shared by the other.
bool SharesWith(DWORD access, DWORD share, const DeviceFile& other) {
  const auto allows = [](DWORD shareMode, DWORD wanted) {
    return (!(wanted & GENERIC_READ) || (shareMode & FILE_SHARE_READ)) &&
           (!(wanted & GENERIC_WRITE) || (shareMode & FILE_SHARE_WRITE));
  };
  return !(other.access & kReadWrite) || (allows(other.share, access) && allows(share, other.access));
}

// With the kernel locked.
bool SharingAllows(const SimulatedDevice& device, DWORD access, DWORD share) {
  if (!(access & kReadWrite)) return true;
  for (const auto& [value, object] : TheKernel().handles) {
    if (object->kind != ObjectKind::File) continue;
    const auto& other = static_cast<const DeviceFile&>(*object);
    if (other.device.get() == &device && !SharesWith(access, share, other)) return false;
  }
  return true;
}

}  // namespace

namespace standin::detail {

std::shared_ptr<SimulatedDevice> ConnectedDeviceOf(HANDLE handle) {
  auto file = UsableFile(handle, 0);
  return file ? file->device : nullptr;
}

std::shared_ptr<DeviceFile> ConnectedFileOf(HANDLE handle) { return UsableFile(handle, 0); }

// Windows resets the event as a request starts; one that ends at once sets
// it again, so only one that waits shows the reset. A synchronous caller
// waits for a stalled device, however long that takes.
BOOL TakeRequest(KernelLock& lock, DeviceFile& file, std::function<DWORD(SimulatedDevice&)> take, LPDWORD moved,
                 LPOVERLAPPED overlapped) {
  SimulatedDevice& device = *file.device;
  if (file.overlapped && device.outputStalled) {
    if (auto event = Find<Event>(overlapped->hEvent)) event->set = false;
    overlapped->Internal = static_cast<ULONG_PTR>(STATUS_PENDING);
    overlapped->InternalHigh = 0;
    device.pendingWrites.push_back({{&file, GetCurrentThreadId(), overlapped}, std::move(take)});
    return Fail(ERROR_IO_PENDING);
  }
  BlockUntil(lock, [&] { return !device.outputStalled || !device.connected; });
  if (!device.connected) return Fail(device.RemovalError());
  const DWORD length = take(device);
  if (overlapped) CompleteOverlapped(*overlapped, STATUS_SUCCESS, length);
  if (moved) *moved = length;
  return TRUE;
}

}  // namespace standin::detail

namespace {

// Opens device interface paths only; any other path is not found.
HANDLE OpenDeviceFile(const std::string& path, DWORD dwDesiredAccess, DWORD dwShareMode, DWORD dwFlagsAndAttributes) {
  if (path.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  auto lock = LockKernel();
  auto device = FindPresentDevice(path);
  if (!device) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  if (device->traits.systemOwned && (dwDesiredAccess & kReadWrite)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  if (!SharingAllows(*device, dwDesiredAccess, dwShareMode)) {
    SetLastError(ERROR_SHARING_VIOLATION);
    return INVALID_HANDLE_VALUE;
  }
  const bool overlapped = (dwFlagsAndAttributes & FILE_FLAG_OVERLAPPED) != 0;
  SetLastError(ERROR_SUCCESS);
  return AddHandle(std::make_shared<DeviceFile>(std::move(device), dwDesiredAccess, dwShareMode, overlapped));
}

}  // namespace

const FaultPoint kCreateFileAFault{"CreateFileA"};

extern "C" HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                     LPSECURITY_ATTRIBUTES, DWORD, DWORD dwFlagsAndAttributes, HANDLE) {
  if (kCreateFileAFault.Fails()) return INVALID_HANDLE_VALUE;
  return OpenDeviceFile(lpFileName ? lpFileName : "", dwDesiredAccess, dwShareMode, dwFlagsAndAttributes);
}

const FaultPoint kCreateFileWFault{"CreateFileW"};

extern "C" HANDLE WINAPI CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                     LPSECURITY_ATTRIBUTES, DWORD, DWORD dwFlagsAndAttributes, HANDLE) {
  if (kCreateFileWFault.Fails()) return INVALID_HANDLE_VALUE;
  return OpenDeviceFile(Utf8FromWide(lpFileName), dwDesiredAccess, dwShareMode, dwFlagsAndAttributes);
}

const FaultPoint kReadFileFault{"ReadFile"};

// Like the HID class driver: each read returns one whole input report, and a
// buffer too small for one is refused.
extern "C" BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                                LPOVERLAPPED lpOverlapped) {
  if (kReadFileFault.Fails()) return FALSE;
  auto lock = LockKernel();
  auto file = UsableFile(hFile, GENERIC_READ);
  if (!file) return FALSE;
  const DWORD length = file->device->InputLength();
  if (!lpBuffer || length == 0 || nNumberOfBytesToRead < length) return Fail(ERROR_INVALID_USER_BUFFER);
  file->input->reads = true;
  if (file->overlapped) {
    if (!lpOverlapped) return Fail(ERROR_INVALID_PARAMETER);
    return ReadOverlapped(*file, lpBuffer, lpNumberOfBytesRead, *lpOverlapped);
  }
  if (!lpNumberOfBytesRead) return Fail(ERROR_INVALID_PARAMETER);
  const BOOL done = ReadSynchronously(lock, *file, lpBuffer, lpNumberOfBytesRead);
  if (done && lpOverlapped) CompleteOverlapped(*lpOverlapped, STATUS_SUCCESS, *lpNumberOfBytesRead);
  return done;
}

const FaultPoint kWriteFileFault{"WriteFile"};

// Output reports complete at once unless the device is stalled. As under
// Wine, an empty write is an invalid user buffer and any other length but the
// device's output report length (none at all for a mouse) an invalid
// parameter, as is a report ID the collection does not declare.
extern "C" BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                                 LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
  if (kWriteFileFault.Fails()) return FALSE;
  auto lock = LockKernel();
  auto file = UsableFile(hFile, GENERIC_WRITE);
  if (!file) return FALSE;
  if (!lpBuffer || nNumberOfBytesToWrite == 0) return Fail(ERROR_INVALID_USER_BUFFER);
  const auto* bytes = static_cast<const std::uint8_t*>(lpBuffer);
  if (nNumberOfBytesToWrite != file->device->OutputLength() ||
      !DeclaresReportId(file->device->traits.outputReportIds, bytes[0]))
    return Fail(ERROR_INVALID_PARAMETER);
  if (file->overlapped ? !lpOverlapped : !lpNumberOfBytesWritten) return Fail(ERROR_INVALID_PARAMETER);
  Report report(bytes, bytes + nNumberOfBytesToWrite);
  return TakeRequest(
      lock, *file,
      [report](SimulatedDevice& device) {
        TakeOutputReport(device, report);
        return static_cast<DWORD>(report.size());
      },
      lpNumberOfBytesWritten, lpOverlapped);
}
