// The handlers of the Lingo methods, one per selector of the method table.
#pragma once

#include "host/call_context.h"

void HandleNew(CallContext& context);
void HandleForget(CallContext& context);
void HandleGetVersionString(CallContext& context);
void HandleOpenByProductName(CallContext& context);
void HandleOpenById(CallContext& context);
void HandleIsOpen(CallContext& context);
void HandleClose(CallContext& context);
void HandleRead(CallContext& context);
void HandleReadPacket(CallContext& context);
void HandleWrite(CallContext& context);
void HandleNumberOfItemsInReadBuffer(CallContext& context);
void HandleNumberOfPacketsInReadBuffer(CallContext& context);
void HandleDoNotBufferPackets(CallContext& context);
void HandleGetCapabilities(CallContext& context);
void HandleFindUsbDevices(CallContext& context);
void HandleMonitorChanges(CallContext& context);
void HandleMonitorDevice(CallContext& context);
void HandleShowErrorsAsDialogs(CallContext& context);
void HandlePrivateGlobal(CallContext& context);
void HandlePrivateInstance(CallContext& context);
void HandleSetWriteTimeout(CallContext& context);
void HandleWriteReport(CallContext& context);
void HandleSendOutputReport(CallContext& context);
void HandleGetFeatureReport(CallContext& context);
void HandleSetFeatureReport(CallContext& context);
void HandleGetInputReport(CallContext& context);
void HandleFindHidDevices(CallContext& context);
void HandleOpenByPath(CallContext& context);
void HandleGetDeviceInfo(CallContext& context);
void HandleGetStatus(CallContext& context);
void HandleMonitorHidDevices(CallContext& context);
void HandleGetControls(CallContext& context);
void HandleDecodeReport(CallContext& context);
void HandleWriteUsages(CallContext& context);
void HandleSetFeatureUsages(CallContext& context);
void HandleSetInputHandler(CallContext& context);
