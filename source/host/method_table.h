// The Lingo method table that Director registers. The order of its handler
// lines fixes the selector numbers that Call dispatches on.
#pragma once

#include <cstddef>

constexpr size_t kVersionLineSize = 128;

// "xtra HidBridge -- WINTEL version 1.0.11(U)(S) (Release build)\n"
void FormatVersionLine(char (&line)[kVersionLineSize]);

// Room for the version line and the body, as registered.
constexpr size_t kMessageTableSize = 4096;
extern const char kMethodTableBody[];

enum MethodSelector : int {
  kSelectorNew = 0,
  kSelectorForget = 1,
  kSelectorGetVersionString = 2,
  kSelectorOpenByProductName = 3,
  kSelectorOpenById = 4,
  kSelectorIsOpen = 5,
  kSelectorClose = 6,
  kSelectorRead = 7,
  kSelectorReadPacket = 8,
  kSelectorReadReport = 9,
  kSelectorWrite = 10,
  kSelectorNumberOfItemsInReadBuffer = 11,
  kSelectorNumberOfPacketsInReadBuffer = 12,
  kSelectorDoNotBufferPackets = 13,
  kSelectorGetCapabilities = 14,
  kSelectorFindUsbDevices = 15,
  kSelectorMonitorChanges = 16,
  kSelectorMonitorDevice = 17,
  kSelectorShowErrorsAsDialogs = 18,
  kSelectorPrivateGlobal = 19,
  kSelectorPrivateInstance = 20,
  kSelectorSetWriteTimeout = 21,
  kSelectorWriteReport = 22,
  kSelectorSendOutputReport = 23,
  kSelectorGetFeatureReport = 24,
  kSelectorSetFeatureReport = 25,
  kSelectorGetInputReport = 26,
  kSelectorFindHidDevices = 27,
  kSelectorOpenByPath = 28,
  kSelectorGetDeviceInfo = 29,
  kSelectorGetStatus = 30,
  kSelectorMonitorHidDevices = 31,
  kSelectorGetControls = 32,
  kSelectorDecodeReport = 33,
  kSelectorWriteUsages = 34,
  kSelectorSetFeatureUsages = 35,
  kSelectorSetInputHandler = 36,
  // How many methods the table registers; Call dispatches on nothing else.
  kSelectorCount
};
