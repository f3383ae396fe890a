#include "monitor/callback_queue.h"

#include <new>
#include <utility>

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
  PendingCallback& slot = slots_[used_];
  try {
    slot.args = HostValues::Share(values, args, static_cast<size_t>(argCount));
  } catch (const std::bad_alloc&) {
    result.SetError("Out of memory", XtraResult::kNoCode);
    return result;
  }
  CopyText(slot.handlerName, handlerName);
  ++used_;
  return result;
}

XtraResult CallbackQueue::DeliverPendingCallbacks(IMoaMmValue* values, IMoaDrPlayer* player) {
  XtraResult result;
  result.SetOk();
  while (next_ < used_) {
    // Taken out of its slot first: the handler may file more callbacks, or
    // forget the instance, which drops the rest.
    PendingCallback callback = std::move(slots_[next_++]);
    MoaMmSymbol handler = 0;
    if (values && player && values->StringToSymbol(callback.handlerName, &handler) == kMoaErr_NoErr) {
      HostValue answer(values);
      player->CallHandler(handler, static_cast<MoaLong>(callback.args.size()), callback.args.data(), answer.out());
    }
  }
  used_ = 0;
  next_ = 0;
  return result;
}

void CallbackQueue::DropAll() {
  for (int32_t i = next_; i < used_; ++i) slots_[i].args.reset();
  used_ = 0;
  next_ = 0;
}
