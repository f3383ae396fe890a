// The module serves one class with three interfaces; every export learns
// about them by walking this one table.
#pragma once

#include "moa_contract.h"

extern const MoaID kHidBridgeClassId;
constexpr MoaLong kHidBridgeClassVersion = 0x02010B40;

using InterfaceFactory = MoaError (*)(void* instance, void** out);

// A visitor returns non-zero to end the walk early with that value.
using ClassVisitor = MoaError (*)(void* context, const MoaID& classId, MoaLong classVersion, MoaLong instanceSize,
                                  MoaClassCreateProc create, MoaClassDestroyProc destroy);
using InterfaceVisitor = MoaError (*)(void* context, const MoaID& classId, MoaLong classVersion,
                                      const MoaID& interfaceId, MoaLong interfaceVersion, InterfaceFactory factory);

MoaError WalkClassTable(const MoaID* classFilter, ClassVisitor visitClass, InterfaceVisitor visitInterface,
                        void* context);
