// What a device interface path tells by itself, read in any letter case:
// "\\?\hid#vid_046d&pid_c52b&mi_01&col02#..." names vendor 0x046D, product
// 0xC52B and USB interface 1.
#pragma once

#include <cstdint>

// False, ids untouched, when the path names no vendor id.
bool ParseVidPid(const char* path, int32_t* vendorId, int32_t* productId);
// -1 when the path names no interface.
int32_t InterfaceNumberOf(const char* path);
