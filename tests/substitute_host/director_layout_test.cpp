// Director's records, IDs and slot orders as the host lays them out, checked
// against Director's published figures: on 32-bit Windows the exact bytes,
// natively the same fields in the same order at pointer size.
#include "test_framework.h"

#include <cstddef>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "director_host.h"

namespace {

using namespace director;

constexpr size_t kPointer = sizeof(void*);

constexpr size_t Aligned(size_t offset, size_t alignment) { return (offset + alignment - 1) / alignment * alignment; }

TEST(DirectorLayout, TheCallRecordIs28BytesOnWindowsWithTheSelectorAt8AndTheArgumentsAt24) {
  EXPECT_EQ(offsetof(MoaMmCallInfo, methodFlags), kPointer);
  EXPECT_EQ(offsetof(MoaMmCallInfo, methodSelector), kPointer + 4);
  EXPECT_EQ(offsetof(MoaMmCallInfo, resultValue), kPointer + 8);
  EXPECT_EQ(offsetof(MoaMmCallInfo, nargs), kPointer + 16);
  EXPECT_EQ(offsetof(MoaMmCallInfo, pArgs), Aligned(kPointer + 20, kPointer));
  EXPECT_EQ(sizeof(MoaMmCallInfo), Aligned(kPointer + 20, kPointer) + kPointer);
  if (kPointer == 4) {
    EXPECT_EQ(sizeof(MoaMmCallInfo), 28u);
  }
}

TEST(DirectorLayout, TheInstanceBaseIsSixFieldsOf24BytesOnWindows) {
  const size_t offsets[] = {offsetof(InstanceBase, vtable),    offsetof(InstanceBase, magicCookie),
                            offsetof(InstanceBase, pCallback), offsetof(InstanceBase, pCalloc),
                            offsetof(InstanceBase, pClassID),  offsetof(InstanceBase, refCount)};
  for (size_t field = 0; field < 6; ++field) EXPECT_EQ(offsets[field], field * kPointer) << "field" << field;
  EXPECT_EQ(kInstanceBaseBytes, 5 * kPointer + 4);
  if (kPointer == 4) {
    EXPECT_EQ(sizeof(InstanceBase), 24u);
  }
}

TEST(DirectorLayout, ValuesAndClassInfoEntriesKeepTheirSizeOnEveryBuild) {
  EXPECT_EQ(sizeof(MoaMmValue), 8u);
  EXPECT_EQ(offsetof(MoaMmValue, it), 4u);
  EXPECT_EQ(sizeof(MoaClassInterfaceInfo), 40u);
  EXPECT_EQ(offsetof(MoaClassInterfaceInfo, interfaceVersion), 36u);
  EXPECT_EQ(sizeof(DrContextState), 16u);
}

TEST(DirectorLayout, IdsAreDirectorsAsItsDocumentsWriteThem) {
  const std::pair<MoaID, const char*> ids[] = {{IID_IMoaUnknown, "{00000000-0000-0000-C000-000000000046}"},
                                               {IID_IMoaClassFactory, "{00000001-0000-0000-C000-000000000046}"},
                                               {IID_IMoaCallback, "{C00BFC80-3164-101C-9A9C-0000C0DDAA4B}"},
                                               {IID_IMoaCalloc, "{3A698C20-39C3-101C-9A9F-0000C0DDAA4B}"},
                                               {IID_IMoaCache, "{AC3E7803-0002-8FE3-0000-080007160DC3}"},
                                               {IID_IMoaDict, "{AC41A018-0013-4760-0000-08000737AF92}"},
                                               {IID_IMoaMmValue, "{151A5780-32BD-11D0-8151-00AA005F3C08}"},
                                               {IID_IMoaMmList, "{AC96CF98-0045-5C0B-0000-0040105023FB}"},
                                               {IID_IMoaDrPlayer, "{AC401B78-0000-FA7D-0000-0800072C6326}"},
                                               {IID_IMoaDrMovieContext, "{99CD6DF0-49E8-11D2-A66D-00A0C9E73736}"},
                                               {IID_IMoaDrMovie2, "{5B0D82A7-3257-11D0-A222-00A02453444C}"},
                                               {IID_IMoaNotification, "{CA015FDA-3D86-11D0-8125-00059A80E82F}"},
                                               {IID_IMoaMmWndWin, "{D9088161-32BF-11D0-8151-00AA005F3C08}"},
                                               {IID_IMoaMmUtils, "{AC96CF89-0045-5879-0000-0040105023FB}"},
                                               {IID_IMoaMmUtils2, "{3F698780-32BE-11D0-8151-00AA005F3C08}"},
                                               {IID_IMoaAppInfo, "{ACC7E2B8-000A-B4D0-0000-080007160DC3}"},
                                               {IID_IMoaRegister, "{AC3E7803-0002-8FE5-0000-080007160DC3}"},
                                               {IID_IMoaMmXScript, "{AC401FB6-0001-F9B0-0000-0800072C6326}"},
                                               {IID_IMoaNotificationClient, "{E58EE2CC-3D86-11D0-90AC-00059A80E82F}"},
                                               {NID_DrNIdle, "{3B881B5E-3E12-11D0-99A6-00059A80E82F}"}};
  for (const auto& [id, text] : ids) EXPECT_EQ(FormatMoaID(id), text);
}

struct SlotCheck {
  const InterfaceLayout& layout;
  int slots;
  std::vector<std::pair<int, std::string>> named;
};

// On 32-bit Windows the callee pops its parameters: a slot declared with one
// the XDK's caller never pushes would unbalance the caller's stack.
static_assert(std::is_same_v<decltype(&director::IMoaCallbackSlots::MoaGetCache),
                             director::IMoaCache* (director::IMoaCallbackSlots::*)()>,
              "MoaGetCache takes nothing and answers the cache");
static_assert(std::is_same_v<decltype(&director::IMoaCallbackSlots::MoaEndUsingResources),
                             director::MoaError (director::IMoaCallbackSlots::*)(void*, void*)>,
              "the resource pair takes the file reference and the cookie");

TEST(SlotTables, EveryServiceHasEachOfDirectorsSlotsWhereDirectorPutsIt) {
  using namespace director;
  const SlotCheck checks[] = {
      {IMoaCallbackSlots::Layout(), 7, {{0, "QueryInterface"}, {1, "AddRef"}, {2, "Release"}, {4, "MoaGetCache"}}},
      {IMoaCallocSlots::Layout(), 5, {{3, "NRAlloc"}, {4, "NRFree"}}},
      {IMoaCacheSlots::Layout(), 12, {{7, "AddRegistryEntry"}, {11, "GetFileSpecFromFileDict"}}},
      {IMoaDictSlots::Layout(), 12, {{6, "Put"}, {11, "FindKey"}}},
      {IMoaMmValueSlots::Layout(),
       24,
       {{3, "StringToSymbol"},
        {5, "ValueType"},
        {7, "ValueRelease"},
        {12, "ValueToString"},
        {17, "IntegerToValue"},
        {20, "StringToValue"},
        {21, "StringHandleToValue"},
        {23, "RectToValue"}}},
      {IMoaMmListSlots::Layout(),
       13,
       {{3, "NewListValue"},
        {5, "CountElements"},
        {8, "NewPropListValue"},
        {9, "AppendValueToPropList"},
        {12, "GetPropertyNameByIndex"}}},
      {IMoaDrPlayerSlots::Layout(), 15, {{5, "CallHandler"}, {6, "GetActiveMovie"}, {14, "SetGlobalVarValue"}}},
      {IMoaDrMovieSlots::Layout(), 9, {{8, "CallHandler"}}},
      {IMoaDrMovieContextSlots::Layout(), 7, {{3, "PushXtraContext"}, {4, "PopXtraContext"}}},
      {IMoaNotificationSlots::Layout(), 6, {{3, "RegisterNotificationClient"}, {5, "SendNotification"}}},
      {IMoaMmWndWinSlots::Layout(), 8, {{4, "WinGetParent"}, {6, "WinPrepareDialogBox"}, {7, "WinUnprepareDialogBox"}}},
      {IMoaAppInfoSlots::Layout(), 4, {{3, "GetInfo"}}},
  };
  for (const SlotCheck& check : checks) {
    EXPECT_EQ(check.layout.slotCount, check.slots) << check.layout.name;
    for (const auto& [slot, name] : check.named)
      EXPECT_EQ(std::string(check.layout.slotNames[slot]), name) << check.layout.name << slot;
  }
}

}  // namespace
