#include "import_patch.h"

#include <cstring>

namespace {

template <class T>
T* At(HMODULE module, DWORD offset) {
  return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + offset);
}

// The slot through which `descriptor`'s imports call `function`, or null.
IMAGE_THUNK_DATA* FindSlot(HMODULE module, const IMAGE_IMPORT_DESCRIPTOR& descriptor, const char* function) {
  // Without the unbound names a linker may leave only the bound addresses.
  const DWORD names = descriptor.OriginalFirstThunk ? descriptor.OriginalFirstThunk : descriptor.FirstThunk;
  auto* name = At<IMAGE_THUNK_DATA>(module, names);
  auto* slot = At<IMAGE_THUNK_DATA>(module, descriptor.FirstThunk);
  for (; name->u1.AddressOfData; ++name, ++slot) {
    if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) continue;
    const auto* byName = At<IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(name->u1.AddressOfData));
    if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) return slot;
  }
  return nullptr;
}

}  // namespace

bool PatchImport(HMODULE module, const char* dll, const char* function, const void* replacement, std::string* error) {
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
  const auto* nt = At<const IMAGE_NT_HEADERS>(module, static_cast<DWORD>(dos->e_lfanew));
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* descriptor = At<IMAGE_IMPORT_DESCRIPTOR>(module, imports.VirtualAddress);
       imports.VirtualAddress && descriptor->Name; ++descriptor) {
    if (_stricmp(At<const char>(module, descriptor->Name), dll) != 0) continue;
    IMAGE_THUNK_DATA* slot = FindSlot(module, *descriptor, function);
    if (!slot) continue;
    DWORD protection = 0;
    if (!VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection)) {
      *error = std::string("VirtualProtect refused the import slot of ") + function;
      return false;
    }
    slot->u1.Function = reinterpret_cast<DWORD_PTR>(replacement);
    VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
    return true;
  }
  return true;
}
