#include "faults.h"

#include <map>
#include <mutex>
#include <set>
#include <stdexcept>

#include "standin/faults.h"
#include "standin/kernel.h"

namespace standin {
namespace {

struct Fault {
  std::uint32_t error;
  unsigned skip;
  unsigned times;
};

std::mutex gMutex;
std::map<std::string, Fault>& Faults() {
  static auto* faults = new std::map<std::string, Fault>;
  return *faults;
}

// Filled as the library loads, by the FaultPoints beside the functions.
std::set<std::string>& Fallible() {
  static auto* names = new std::set<std::string>;
  return *names;
}

}  // namespace

std::vector<std::string> FallibleFunctions() { return {Fallible().begin(), Fallible().end()}; }

void FailNext(const std::string& function, std::uint32_t error, unsigned skip, unsigned times) {
  if (!Fallible().count(function))
    throw std::invalid_argument("no function checks for a fault named " + function);
  if (times == 0) throw std::invalid_argument("a fault must fire at least once");
  std::lock_guard lock(gMutex);
  Faults()[function] = {error, skip, times};
}

void ClearFaults() {
  std::lock_guard lock(gMutex);
  Faults().clear();
}

std::vector<std::string> PendingFaults() {
  std::lock_guard lock(gMutex);
  std::vector<std::string> pending;
  for (const auto& [name, fault] : Faults()) pending.push_back(name);
  return pending;
}

namespace detail {

FaultPoint::FaultPoint(const char* function) : function_(function) { Fallible().insert(function); }

std::optional<std::uint32_t> FaultPoint::Take() const {
  std::lock_guard lock(gMutex);
  auto found = Faults().find(function_);
  if (found == Faults().end()) return std::nullopt;
  Fault& fault = found->second;
  if (fault.skip > 0) {
    --fault.skip;
    return std::nullopt;
  }
  const std::uint32_t error = fault.error;
  if (--fault.times == 0) Faults().erase(found);
  return error;
}

bool FaultPoint::Fails() const {
  auto error = Take();
  if (error) SetLastError(*error);
  return error.has_value();
}

}  // namespace detail
}  // namespace standin
