// The per-instance record. Director allocates it with the size the module
// reports and writes its own base; the create callback makes the rest.
#pragma once

#include "diagnostics/xtra_result.h"
#include "host/input_handler.h"
#include "moa_contract.h"

class HostServices;
class UsbClassBase;

// The Xtra's part of an instance. It is constructed and destroyed on its own,
// behind Director's base, so that no constructor ever writes Director's bytes.
struct XtraInstanceState {
  static constexpr int kHandlerNameSize = 500;

  char replyText[500] = "";
  XtraResult lastResult;
  HostServices* hostServices = nullptr;
  char internalErrorHandler[kHandlerNameSize] = "";
  char xtraErrorHandler[kHandlerNameSize] = "";
  char flowHandler[kHandlerNameSize] = "";
  bool flowTraceOn = false;
  int32_t flowTraceThreshold = 0;
  bool fileLogOn = false;
  IMoaNotificationClient* notificationClient = nullptr;
  bool showErrorDialogs = false;
  UsbClassBase* device = nullptr;
  char monitorChangesHandler[kHandlerNameSize] = "";
  char monitorDeviceHandler[kHandlerNameSize] = "";
  // Hears of HID collections arriving and leaving (MonitorHidDevices).
  char monitorHidHandler[kHandlerNameSize] = "";
  // Hears the open device's input reports (SetInputHandler).
  InputHandlerState input;
  // The device whose events the MonitorDevice handler hears; 0 matches any.
  int32_t monitorVendorId = 0;
  int32_t monitorProductId = 0;
  // Identifies the instance to the movie in its events and error reports.
  int32_t instanceId = 0;
  // The last error the movie was told of, for GetStatus: 0 and "" until one.
  int32_t lastErrorCode = 0;
  char lastErrorText[XtraResult::kTextSize] = "";
  // While a method answers with its own error, that answer is the report:
  // no further message box.
  bool answeringWithError = false;
  // Lingo method calls under way: more than one when the host runs Lingo
  // while a method waits (in a message box). Delivery waits for none.
  int32_t methodCallsRunning = 0;
  // A handler may forget the instance while its callbacks are delivered,
  // or a method while another waits: the device object and the host
  // services then go once the outermost delivery or call is over.
  bool deliveringCallbacks = false;
  bool forgetPending = false;
};

// Director's base comes first: the instance address is also its IMoaUnknown.
struct XtraInstance : MoaInstanceBase, XtraInstanceState {};
