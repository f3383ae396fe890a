// What Director sees of the module through its five exports.
#include "loaded_xtra.h"

namespace {

constexpr MoaID kNotOurClass = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr MoaLong kVersion = 0x02010B40;

using ModuleDiscovery = LoadedXtra;

TEST_F(ModuleDiscovery, ClassInfoListsTheClassThenItsThreeInterfacesThenATerminator) {
  ASSERT_TRUE(loaded);
  MoaClassInterfaceInfo* info = nullptr;
  ASSERT_EQ(host.module().DllGetClassInfo(&host.allocator(), &info), kMoaErr_NoErr);
  ASSERT_TRUE(info != nullptr);
  const MoaID expectedInterfaces[] = {IID_IMoaUnknown, IID_IMoaRegister, IID_IMoaMmXScript,
                                      IID_IMoaNotificationClient};
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(SameMoaID(info[i].classId, info[0].classId)) << "entry" << i;
    EXPECT_EQ(info[i].classVersion, kVersion) << "entry" << i;
    EXPECT_TRUE(SameMoaID(info[i].interfaceId, expectedInterfaces[i])) << "entry" << i;
    EXPECT_EQ(info[i].interfaceVersion, i == 0 ? 1 : kVersion) << "entry" << i;
  }
  EXPECT_TRUE(SameMoaID(info[4].classId, MoaID{}));
  EXPECT_TRUE(SameMoaID(info[4].interfaceId, MoaID{}));
  host.allocator().NRFree(info);
}

TEST_F(ModuleDiscovery, ClassInfoWithoutMemoryAnswersOutOfMemoryAndNoArray) {
  ASSERT_TRUE(loaded);
  MoaClassInterfaceInfo* info = reinterpret_cast<MoaClassInterfaceInfo*>(&host);
  host.allocator().FailAllocationAfter(0);
  EXPECT_EQ(host.module().DllGetClassInfo(&host.allocator(), &info), kMoaErr_OutOfMem);
  EXPECT_TRUE(info == nullptr);
}

TEST_F(ModuleDiscovery, ClassFormOfAnotherClassIsRefusedAndWritesNothing) {
  ASSERT_TRUE(loaded);
  MoaLong size = -7;
  auto create = reinterpret_cast<MoaClassCreateProc>(&host);
  auto destroy = reinterpret_cast<MoaClassDestroyProc>(&host);
  EXPECT_EQ(host.module().DllGetClassForm(&kNotOurClass, &size, &create, &destroy), kMoaErr_BadClass);
  EXPECT_EQ(size, -7);
  EXPECT_TRUE(create == reinterpret_cast<MoaClassCreateProc>(&host));
  EXPECT_TRUE(destroy == reinterpret_cast<MoaClassDestroyProc>(&host));
}

TEST_F(ModuleDiscovery, ClassFormOfOurClassGivesAnInstanceLargerThanTheHeader) {
  ASSERT_TRUE(loaded);
  EXPECT_TRUE(host.instanceSize() > static_cast<MoaLong>(sizeof(MoaInstanceHeader)));
}

TEST_F(ModuleDiscovery, OnlyTheThreeInterfacesAreServed) {
  ASSERT_TRUE(loaded);
  HostInstance* instance = host.CreateInstance();
  ASSERT_TRUE(instance != nullptr);
  void* out = nullptr;
  const MoaID classId = host.classId();
  EXPECT_EQ(host.module().DllGetInterface(instance->data(), &classId, &IID_IMoaUnknown, &out), kMoaErr_BadInterface);
  EXPECT_EQ(host.module().DllGetInterface(instance->data(), &classId, &kNotOurClass, &out), kMoaErr_BadInterface);
  EXPECT_EQ(host.module().DllGetInterface(instance->data(), &kNotOurClass, &IID_IMoaRegister, &out),
            kMoaErr_BadInterface);
  for (const MoaID& iid : {IID_IMoaRegister, IID_IMoaMmXScript, IID_IMoaNotificationClient}) {
    ASSERT_EQ(host.module().DllGetInterface(instance->data(), nullptr, &iid, &out), kMoaErr_NoErr);
    static_cast<IMoaUnknown*>(out)->Release();
  }
  instance->Release();
}

TEST_F(ModuleDiscovery, ClassObjectsAreNeverServed) {
  ASSERT_TRUE(loaded);
  void* out = nullptr;
  const MoaID classId = host.classId();
  EXPECT_EQ(host.module().DllGetClassObject(&classId, &IID_IMoaUnknown, &out), kMoaErr_BadClass);
}

using InterfaceReferences = LoadedXtra;

TEST_F(InterfaceReferences, EveryReferenceOfAnInterfaceObjectIsAlsoOneOnItsOwner) {
  ASSERT_TRUE(loaded);
  HostInstance* instance = host.CreateInstance();
  ASSERT_TRUE(instance != nullptr);
  EXPECT_EQ(instance->references(), 1);

  auto* registrar = Get<IMoaRegister>(instance, IID_IMoaRegister);
  ASSERT_TRUE(registrar != nullptr);
  EXPECT_EQ(instance->references(), 3);
  EXPECT_EQ(host.module().DllCanUnloadNow(), kMoaErr_CantUnloadNow);

  EXPECT_EQ(registrar->AddRef(), 2u);
  EXPECT_EQ(instance->references(), 4);
  EXPECT_EQ(registrar->Release(), 1u);
  EXPECT_EQ(instance->references(), 3);
  EXPECT_EQ(registrar->Release(), 0u);
  EXPECT_EQ(instance->references(), 1);
  EXPECT_EQ(host.module().DllCanUnloadNow(), kMoaErr_NoErr);
  instance->Release();
  EXPECT_TRUE(instance->disposed());
}

TEST_F(InterfaceReferences, AnyInterfaceReachesAnyOtherThroughItsOwner) {
  ASSERT_TRUE(loaded);
  HostInstance* instance = host.CreateInstance();
  ASSERT_TRUE(instance != nullptr);
  auto* client = Get<IMoaNotificationClient>(instance, IID_IMoaNotificationClient);
  ASSERT_TRUE(client != nullptr);
  void* script = nullptr;
  ASSERT_EQ(client->QueryInterface(&IID_IMoaMmXScript, &script), kMoaErr_NoErr);
  EXPECT_EQ(instance->references(), 5);
  static_cast<IMoaMmXScript*>(script)->Release();
  client->Release();
  EXPECT_EQ(instance->references(), 1);
  instance->Release();
}

TEST_F(InterfaceReferences, AFactoryWithoutMemoryMakesNothing) {
  ASSERT_TRUE(loaded);
  HostInstance* instance = host.CreateInstance();
  ASSERT_TRUE(instance != nullptr);
  host.allocator().FailAllocationAfter(0);
  void* out = instance;
  EXPECT_EQ(instance->QueryInterface(&IID_IMoaMmXScript, &out), kMoaErr_OutOfMem);
  EXPECT_TRUE(out == nullptr);
  EXPECT_EQ(instance->references(), 1);
  EXPECT_EQ(host.module().DllCanUnloadNow(), kMoaErr_NoErr);
  instance->Release();
}

}  // namespace
