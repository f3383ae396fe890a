// Natively the Xtra and the host share the stand-in, whose recorder takes
// the boxes; MessageBoxW's text reaches it as UTF-8 already.
#include "message_boxes.h"
#include "host_windows.h"
#include "standin/control.h"

bool CaptureMessageBoxes(const XtraModule&, MessageBoxSink sink, std::string*) {
  standin::SetMessageBoxHandler([sink = std::move(sink)](const standin::MessageBoxCall& call) {
    sink(call.owner, call.caption, call.text);
    return IDOK;
  });
  return true;
}

void StopCapturingMessageBoxes() { standin::SetMessageBoxHandler(nullptr); }
