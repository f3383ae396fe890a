#include "monitor/callback_queue.h"

#include <new>

#include "diagnostics/bounded_text.h"

XtraResult CallbackQueue::Enqueue(IMoaMmValue* values, const char* handlerName, int32_t argCount,
                                  const MoaMmValue* args) {
  XtraResult result;
  result.SetOk();
  if (used_ == kSlots) {
    result.SetError("Out of callback slots", XtraResult::kNoCode);
    return result;
  }
  if (argCount < 0 || !values) {
    result.SetError("Cannot file a callback without its arguments", XtraResult::kNoCode);
    return result;
  }
  MoaMmValue* copies = nullptr;
  if (argCount > 0) {
    copies = new (std::nothrow) MoaMmValue[static_cast<size_t>(argCount)];
    if (!copies) {
      result.SetError("Out of memory", XtraResult::kNoCode);
      return result;
    }
    for (int32_t i = 0; i < argCount; ++i) {
      values->ValueAddRef(&args[i]);
      copies[i] = args[i];
    }
  }
  PendingCallback& slot = slots_[used_++];
  CopyText(slot.handlerName, handlerName);
  slot.argCount = argCount;
  slot.args = copies;
  return result;
}

XtraResult CallbackQueue::DeliverPendingCallbacks(IMoaMmValue* values, IMoaDrPlayer* player) {
  XtraResult result;
  result.SetOk();
  for (int32_t i = 0; i < used_; ++i) {
    // Taken out of its slot first: the handler may file more callbacks, or
    // forget the instance, which drops the rest.
    PendingCallback callback = slots_[i];
    slots_[i].args = nullptr;
    slots_[i].argCount = 0;
    MoaMmSymbol handler = 0;
    if (values && player && values->StringToSymbol(callback.handlerName, &handler) == kMoaErr_NoErr) {
      MoaMmValue answer = kVoidMoaMmValue;
      if (player->CallHandler(handler, callback.argCount, callback.args, &answer) == kMoaErr_NoErr)
        values->ValueRelease(&answer);
    }
    ReleaseSlot(values, callback);
  }
  used_ = 0;
  return result;
}

void CallbackQueue::DropAll(IMoaMmValue* values) {
  for (int32_t i = 0; i < used_; ++i) ReleaseSlot(values, slots_[i]);
  used_ = 0;
}

void CallbackQueue::ReleaseSlot(IMoaMmValue* values, PendingCallback& slot) {
  for (int32_t i = 0; values && i < slot.argCount; ++i) values->ValueRelease(&slot.args[i]);
  delete[] slot.args;
  slot.args = nullptr;
  slot.argCount = 0;
}
