#include "host/script_instance.h"

#include <new>

#include "diagnostics/bounded_text.h"

namespace {

int32_t gNextInstanceId = 1;

}  // namespace

MoaError MOA_CALL XtraInstanceCreate(void* data) {
  auto* header = static_cast<MoaInstanceHeader*>(data);
  const MoaInstanceHeader filledByHost = *header;
  auto* instance = new (data) XtraInstance();
  static_cast<MoaInstanceHeader&>(*instance) = filledByHost;

  instance->showErrorDialogs = true;
  CopyText(instance->internalErrorHandler, "HidBridge_InternalError");
  CopyText(instance->xtraErrorHandler, "HidBridge_XtraError");
  CopyText(instance->flowHandler, "HidBridge_XtraFlow");
  instance->lastResult.SetOk();
  CopyText(instance->replyText, "Ok");
  instance->flowTraceThreshold = 50;
  instance->instanceId = gNextInstanceId++;
  return kMoaErr_NoErr;
}

void MOA_CALL XtraInstanceDestroy(void* data) {
  static_cast<XtraInstance*>(data)->~XtraInstance();
}
