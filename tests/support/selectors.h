// The selector of each Lingo method, in the order of the method table's
// handler lines, as Director numbers them.
#pragma once

enum Selector {
  kNew = 0,
  kForget = 1,
  kGetVersionString = 2,
  kOpenByProductName = 3,
  kOpenById = 4,
  kIsOpen = 5,
  kClose = 6,
  kRead = 7,
  kReadPacket = 8,
  kReadReport = 9,
  kWrite = 10,
  kNumberOfItemsInReadBuffer = 11,
  kNumberOfPacketsInReadBuffer = 12,
  kDoNotBufferPackets = 13,
  kGetCapabilities = 14,
  kFindUsbDevices = 15,
  kMonitorChanges = 16,
  kMonitorDevice = 17,
  kShowErrorsAsDialogs = 18,
  kPrivateGlobal = 19,
  kPrivateInstance = 20,
  kSetWriteTimeout = 21,
};
