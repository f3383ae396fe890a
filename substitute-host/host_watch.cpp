#include "host_watch.h"

#include "host_windows.h"

HostWatch::HostWatch() : thread_(GetCurrentThreadId()) {}

void HostWatch::Misuse(const std::string& what) {
  const std::string misuse = calls_.empty() ? what : calls_.back() + ": " + what;
  if (counts_[misuse]++ == 0) order_.push_back(misuse);
  if (listener_) listener_(misuse);
}

std::vector<std::string> HostWatch::Misuses() const {
  std::vector<std::string> misuses;
  for (const std::string& misuse : order_) {
    const int count = counts_.at(misuse);
    misuses.push_back(count == 1 ? misuse : misuse + " (" + std::to_string(count) + " times)");
  }
  return misuses;
}

std::string HostWatch::SlotName(const InterfaceLayout& layout, int slot) {
  const char* name = slot >= 0 && slot < layout.slotCount ? layout.slotNames[slot] : "beyond the last slot";
  return std::string(layout.name) + " slot " + std::to_string(slot) + " " + name;
}

HostWatch::Call::Call(HostWatch& watch, const InterfaceLayout& layout, int slot) : watch_(watch) {
  watch_.calls_.push_back(SlotName(layout, slot));
  if (GetCurrentThreadId() != watch_.thread_) watch_.Misuse("called on another thread than Director's");
  if (watch_.windowMessages_ > 0 && watch_.contextDepth_ == 0 && !layout.callableFromWindowMessages)
    watch_.Misuse("called from a window message outside PushXtraContext");
}

HostWatch::Call::~Call() { watch_.calls_.pop_back(); }

HostWatch::WindowMessage::WindowMessage(HostWatch& watch) : watch_(watch), contextDepth_(watch.contextDepth_) {
  ++watch_.windowMessages_;
}

HostWatch::WindowMessage::~WindowMessage() {
  --watch_.windowMessages_;
  const int unbalanced = watch_.contextDepth_ - contextDepth_;
  if (unbalanced > 0)
    watch_.Misuse("a window message left " + std::to_string(unbalanced) + " PushXtraContext without PopXtraContext");
}

size_t HostWatch::Own(const std::vector<director::MoaMmValue>& arguments) {
  const size_t owned = owned_.size();
  for (const director::MoaMmValue& argument : arguments) owned_.emplace_back(argument, 0);
  return owned;
}

std::vector<int> HostWatch::Disown(size_t owned) {
  std::vector<int> released;
  for (size_t i = owned; i < owned_.size(); ++i) released.push_back(owned_[i].second < 0 ? -owned_[i].second : 0);
  owned_.resize(owned);
  return released;
}

void HostWatch::ReferenceChanged(const director::MoaMmValue& value, int change) {
  for (auto& [argument, balance] : owned_)
    if (argument.ty == value.ty && argument.it == value.it) balance += change;
}
