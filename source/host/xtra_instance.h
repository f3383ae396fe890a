// The per-instance record. The host allocates it with the size the module
// reports and fills the header; the create callback fills the rest.
#pragma once

#include "diagnostics/xtra_result.h"
#include "host/moa_contract.h"

class HostServices;
class UsbClassPC;

struct XtraInstance : MoaInstanceHeader {
  static constexpr int kHandlerNameSize = 500;

  char replyText[500];
  XtraResult lastResult;
  HostServices* hostServices;
  char internalErrorHandler[kHandlerNameSize];
  char xtraErrorHandler[kHandlerNameSize];
  char flowHandler[kHandlerNameSize];
  bool flowTraceOn;
  int32_t flowTraceThreshold;
  bool fileLogOn;
  IMoaNotificationClient* notificationClient;
  bool showErrorDialogs;
  UsbClassPC* device;
  char monitorChangesHandler[kHandlerNameSize];
  char monitorDeviceHandler[kHandlerNameSize];
  // The device whose events the MonitorDevice handler hears; 0 matches any.
  int32_t monitorVendorId;
  int32_t monitorProductId;
  // Identifies the instance to the movie in its events and error reports.
  int32_t instanceId;
  // While a method answers with its own error, that answer is the report:
  // no further message box.
  bool answeringWithError;
  // Lingo method calls under way: more than one when the host runs Lingo
  // while a method waits (in a message box). Delivery waits for none.
  int32_t methodCallsRunning;
  // A handler may forget the instance while its callbacks are delivered,
  // or a method while another waits: the device object and the host
  // services then go once the outermost delivery or call is over.
  bool deliveringCallbacks;
  bool forgetPending;
};
