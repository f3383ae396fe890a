/* Each device reads what it is from its hardware key, written by whoever
 * plugged it in, so that one driver plays every device a test needs. */
#include "device.h"

/* The value's data, cut to `capacity`; its length, or 0 if it is missing or
 * of another type. */
static ULONG query_value(HANDLE key, const WCHAR *name, ULONG type, void *data, ULONG capacity) {
  union {
    KEY_VALUE_PARTIAL_INFORMATION info;
    UCHAR storage[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + VHID_MAX_DESCRIPTOR];
  } value;
  UNICODE_STRING value_name;
  ULONG length;
  RtlInitUnicodeString(&value_name, name);
  if (!NT_SUCCESS(ZwQueryValueKey(key, &value_name, KeyValuePartialInformation, &value, sizeof value, &length)) ||
      value.info.Type != type)
    return 0;
  length = value.info.DataLength < capacity ? value.info.DataLength : capacity;
  memcpy(data, value.info.Data, length);
  return length;
}

static USHORT query_word(HANDLE key, const WCHAR *name) {
  ULONG number = 0;
  query_value(key, name, REG_DWORD, &number, sizeof number);
  return (USHORT)number;
}

static void query_string(HANDLE key, const WCHAR *name, WCHAR *text) {
  ULONG length = query_value(key, name, REG_SZ, text, VHID_MAX_STRING * sizeof(WCHAR));
  text[length / sizeof(WCHAR)] = 0;
}

void vhid_read_configuration(struct vhid_device *device, DEVICE_OBJECT *pdo) {
  HANDLE key;
  device->attributes.Size = sizeof device->attributes;
  if (!NT_SUCCESS(IoOpenDeviceRegistryKey(pdo, PLUGPLAY_REGKEY_DEVICE, KEY_READ, &key))) return;
  device->attributes.VendorID = query_word(key, L"VendorID");
  device->attributes.ProductID = query_word(key, L"ProductID");
  device->attributes.VersionNumber = query_word(key, L"VersionNumber");
  device->descriptor_length =
      query_value(key, L"ReportDescriptor", REG_BINARY, device->descriptor, sizeof device->descriptor);
  query_string(key, L"Manufacturer", device->strings[VHID_MANUFACTURER]);
  query_string(key, L"Product", device->strings[VHID_PRODUCT]);
  query_string(key, L"SerialNumber", device->strings[VHID_SERIAL_NUMBER]);
  ZwClose(key);
}
