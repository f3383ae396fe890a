#include "kernel_state.h"

#include <sstream>

#include "standin/leaks.h"

namespace standin::detail {

const char* KindName(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::Event: return "event";
    case ObjectKind::Thread: return "thread";
    case ObjectKind::File: return "file";
    case ObjectKind::DeviceInfoSet: return "device info set";
    case ObjectKind::PreparsedData: return "preparsed data";
  }
  return "?";
}

Kernel& TheKernel() {
  static Kernel* kernel = new Kernel;  // never destroyed: detached threads may outlive main
  return *kernel;
}

KernelLock LockKernel() { return KernelLock(TheKernel().mutex); }

HANDLE AddHandle(std::shared_ptr<KernelObject> object) {
  Kernel& kernel = TheKernel();
  const std::uintptr_t value = kernel.nextHandle;
  kernel.nextHandle += 4;
  kernel.handles.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> FindHandle(HANDLE handle) {
  auto& handles = TheKernel().handles;
  auto found = handles.find(reinterpret_cast<std::uintptr_t>(handle));
  return found == handles.end() ? nullptr : found->second;
}

bool RemoveHandle(HANDLE handle) { return TheKernel().handles.erase(reinterpret_cast<std::uintptr_t>(handle)) > 0; }

}  // namespace standin::detail

namespace standin {

std::size_t OpenHandleCount() {
  auto lock = detail::LockKernel();
  return detail::TheKernel().handles.size();
}

std::string DescribeOpenHandles() {
  std::map<std::string, int> counts;
  {
    auto lock = detail::LockKernel();
    for (const auto& [value, object] : detail::TheKernel().handles) ++counts[detail::KindName(object->kind)];
  }
  std::ostringstream text;
  for (const auto& [kind, count] : counts) text << (text.tellp() > 0 ? ", " : "") << count << ' ' << kind;
  return text.str();
}

}  // namespace standin
