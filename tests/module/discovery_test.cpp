// What Director sees of the module through its five exports.
#include "loaded_xtra.h"

namespace {

constexpr MoaID kNotOurClass = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr MoaLong kVersion = 0x02010B40;

using ModuleDiscovery = LoadedXtra;

TEST_F(ModuleDiscovery, ClassInfoListsTheClassThenItsThreeInterfacesThenATerminator) {
  MoaClassInterfaceInfo* info = nullptr;
  ASSERT_EQ(host.module().DllGetClassInfo(host.allocator().object(), &info), kMoaErr_NoErr);
  ASSERT_TRUE(info != nullptr);
  const MoaID expectedInterfaces[] = {IID_IMoaClassFactory, IID_IMoaRegister, IID_IMoaMmXScript,
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
  MoaClassInterfaceInfo* info = reinterpret_cast<MoaClassInterfaceInfo*>(&host);
  host.allocator().FailAllocationAfter(0);
  EXPECT_EQ(host.module().DllGetClassInfo(host.allocator().object(), &info), kMoaErr_OutOfMem);
  EXPECT_TRUE(info == nullptr);
}

TEST_F(ModuleDiscovery, ClassFormOfAnotherClassIsRefusedAndWritesNothing) {
  MoaLong size = -7;
  auto create = reinterpret_cast<ClassCreateProc>(&host);
  auto destroy = reinterpret_cast<ClassDestroyProc>(&host);
  EXPECT_EQ(host.module().DllGetClassForm(&kNotOurClass, &size, &create, &destroy), kMoaErr_BadClass);
  EXPECT_EQ(size, -7);
  EXPECT_TRUE(create == reinterpret_cast<ClassCreateProc>(&host));
  EXPECT_TRUE(destroy == reinterpret_cast<ClassDestroyProc>(&host));
}

TEST_F(ModuleDiscovery, ClassFormOfOurClassGivesAnInstanceLargerThanTheHeader) {
  EXPECT_TRUE(host.instanceSize() > static_cast<MoaLong>(kInstanceBaseBytes));
}

TEST_F(ModuleDiscovery, OnlyTheThreeInterfacesAreServed) {
  HostInstance* instance = host.CreateInstance();
  ASSERT_TRUE(instance != nullptr);
  void* out = nullptr;
  const MoaID classId = host.classId();
  EXPECT_EQ(host.module().DllGetInterface(instance->data(), &classId, &IID_IMoaUnknown, &out), kMoaErr_BadInterface);
  EXPECT_EQ(host.module().DllGetInterface(instance->data(), &classId, &IID_IMoaClassFactory, &out),
            kMoaErr_BadInterface);
  EXPECT_EQ(host.module().DllGetInterface(instance->data(), &classId, &kNotOurClass, &out), kMoaErr_BadInterface);
  EXPECT_EQ(host.module().DllGetInterface(instance->data(), &kNotOurClass, &IID_IMoaRegister, &out),
            kMoaErr_BadInterface);
  for (const MoaID& iid : {IID_IMoaRegister, IID_IMoaMmXScript, IID_IMoaNotificationClient}) {
    ASSERT_EQ(host.module().DllGetInterface(instance->data(), nullptr, &iid, &out), kMoaErr_NoErr);
    xtra::Release(out);
  }
  instance->Release();
}

TEST_F(ModuleDiscovery, ClassObjectsAreNeverServed) {
  void* out = nullptr;
  const MoaID classId = host.classId();
  EXPECT_EQ(host.module().DllGetClassObject(&classId, &IID_IMoaUnknown, &out), kMoaErr_BadClass);
}

using InterfaceReferences = LoadedXtra;

TEST_F(InterfaceReferences, EveryReferenceOfAnInterfaceObjectIsAlsoOneOnItsOwner) {
  HostInstance* instance = host.CreateInstance();
  ASSERT_TRUE(instance != nullptr);
  EXPECT_EQ(instance->references(), 1);

  auto* registrar = Get<IMoaRegister>(instance, IID_IMoaRegister);
  ASSERT_TRUE(registrar != nullptr);
  EXPECT_EQ(instance->references(), 3);
  EXPECT_EQ(host.module().DllCanUnloadNow(), kMoaErr_XtraInUse);

  EXPECT_EQ(xtra::AddRef(registrar), 2u);
  EXPECT_EQ(instance->references(), 4);
  EXPECT_EQ(xtra::Release(registrar), 1u);
  EXPECT_EQ(instance->references(), 3);
  EXPECT_EQ(xtra::Release(registrar), 0u);
  EXPECT_EQ(instance->references(), 1);
  EXPECT_EQ(host.module().DllCanUnloadNow(), kMoaErr_NoErr);
  instance->Release();
  EXPECT_TRUE(instance->disposed());
}

TEST_F(InterfaceReferences, AnyInterfaceReachesAnyOtherThroughItsOwner) {
  HostInstance* instance = host.CreateInstance();
  ASSERT_TRUE(instance != nullptr);
  auto* client = Get<IMoaNotificationClient>(instance, IID_IMoaNotificationClient);
  ASSERT_TRUE(client != nullptr);
  void* script = nullptr;
  ASSERT_EQ(xtra::QueryInterface(client, &IID_IMoaMmXScript, &script), kMoaErr_NoErr);
  EXPECT_EQ(instance->references(), 5);
  xtra::Release(script);
  xtra::Release(client);
  EXPECT_EQ(instance->references(), 1);
  instance->Release();
}

TEST_F(InterfaceReferences, AFactoryWithoutMemoryMakesNothing) {
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
