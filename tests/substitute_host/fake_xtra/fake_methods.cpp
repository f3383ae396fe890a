// The Lingo methods: each uses one part of Director's interface.
#include <cstring>
#include <string>

#include "fake_selectors.h"
#include "fake_xtra.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include "winapi_standin.h"
#endif

namespace fake {

using namespace xtra_view;

const char kMessageTable[] =
    "xtra FakeXtra -- for the substitute host's own tests\n"
    "new object me\n"
    "/ forget object me\n"
    "+ Version object me -- the product version Director gives\n"
    "* Echo * -- argument 0 and the others, as a list\n"
    "Make object me, string kind -- a value made the named way\n"
    "Inspect object me, value -- [#type: ValueType, #count: CountElements]\n"
    "Tell object me, string handler, * -- the movie's handler, through the player\n"
    "TellMovie object me, string handler -- the same through the active movie, in its context\n"
    "Box object me, string text, integer prepared -- a message box, prepared and parented or not\n"
    "Listen object me, integer inContext -- a window whose WM_USER calls the movie's FromWindow\n"
    "Idles object me -- [notifications, the last ms since the one before]\n"
    "Scribble object me -- writes Director's magic cookie\n"
    "ReleaseArgument object me, value -- releases an argument, which is the caller's\n"
    "AppInfo object me, integer what, integer size -- GetInfo's answer, or its status\n";

namespace {

constexpr MoaLong kLongestIdleGap = 100;
constexpr char kWindowClass[] = "FAKEXTRA_WND";
FakeInstance* gListener = nullptr;
HWND gWindow = nullptr;

MoaMmValue& Argument(MoaMmCallInfo* info, int index) { return info->pArgs[index]; }

MoaMmValue MakeList(FakeInstance* me, std::initializer_list<MoaMmValue> items) {
  MoaMmValue list = kVoidMoaMmValue;
  me->lists->NewListValue(&list);
  for (MoaMmValue item : items) {
    me->lists->AppendValueToList(&list, &item);
    me->values->ValueRelease(&item);
  }
  return list;
}

void AddProperty(FakeInstance* me, MoaMmValue* list, const char* name, MoaMmValue item) {
  MoaMmValue key = kVoidMoaMmValue;
  me->values->SymbolToValue(Symbol(me, name), &key);
  me->lists->AppendValueToPropList(list, &key, &item);
  me->values->ValueRelease(&key);
  me->values->ValueRelease(&item);
}

MoaMmValue MakeKind(FakeInstance* me, const std::string& kind) {
  MoaMmValue made = kVoidMoaMmValue;
  if (kind == "integer") return MakeInteger(me, 42);
  if (kind == "string") return MakeString(me, "Pad");
  if (kind == "utf-8") return MakeString(me, "Pad \xC3\xA9 \xE2\x82\xAC");
  if (kind == "float") me->values->FloatToValue(1.5, &made);
  if (kind == "symbol") me->values->SymbolToValue(Symbol(me, "pad"), &made);
  if (kind == "list") return MakeList(me, {MakeInteger(me, 1), MakeString(me, "two")});
  if (kind == "props") {
    me->lists->NewPropListValue(&made);
    AddProperty(me, &made, "a", MakeInteger(me, 1));
  }
  if (kind == "null") return kNullMoaMmValue;
  if (kind == "null to the host") return MakeInteger(me, me->lists->CountElements(&kNullMoaMmValue));
  return made;
}

MoaMmValue Inspect(FakeInstance* me, const MoaMmValue& value) {
  MoaLong type = -1;
  me->values->ValueType(&value, &type);
  MoaMmValue answer = kVoidMoaMmValue;
  me->lists->NewPropListValue(&answer);
  AddProperty(me, &answer, "type", MakeInteger(me, type));
  AddProperty(me, &answer, "count", MakeInteger(me, me->lists->CountElements(&value)));
  return answer;
}

// As the window procedure must: every call into Director inside the context.
MoaMmValue TellMovie(FakeInstance* me, const char* handler) {
  IMoaDrMovie* movie = nullptr;
  if (me->player->GetActiveMovie(&movie) != kMoaErr_NoErr) return MakeString(me, "no movie");
  void* context = nullptr;
  movie->QueryInterface(&IID_IMoaDrMovieContext, &context);
  DrContextState state{};
  static_cast<IMoaDrMovieContext*>(context)->PushXtraContext(&state);
  MoaMmValue result = kVoidMoaMmValue;
  movie->CallHandler(Symbol(me, handler), 0, nullptr, &result);
  static_cast<IMoaDrMovieContext*>(context)->PopXtraContext(&state);
  static_cast<IMoaDrMovieContext*>(context)->Release();
  movie->Release();
  return result;
}

std::basic_string<WCHAR> Wide(const std::string& text) { return std::basic_string<WCHAR>(text.begin(), text.end()); }

void Box(FakeInstance* me, const std::string& text, bool prepared) {
  void* instance = nullptr;
  void* parent = nullptr;
  me->windows->WinGetParent(&instance, &parent);
  void* cookie = nullptr;
  if (prepared) me->windows->WinPrepareDialogBox(&cookie);
  MessageBoxW(prepared ? static_cast<HWND>(parent) : nullptr, Wide(text).c_str(), Wide("FakeXtra").c_str(), MB_OK);
  if (prepared) me->windows->WinUnprepareDialogBox(cookie);
}

LRESULT CALLBACK ListeningWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_USER || !gListener) return DefWindowProcA(window, message, wParam, lParam);
  FakeInstance* me = gListener;
  DrContextState state{};
  if (me->listenInContext) me->context->PushXtraContext(&state);
  me->player->CallHandler(Symbol(me, "FromWindow"), 0, nullptr, nullptr);
  if (me->listenInContext) me->context->PopXtraContext(&state);
  return 0;
}

void Listen(FakeInstance* me, bool inContext) {
  me->listenInContext = inContext;
  gListener = me;
  if (gWindow) return;
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &ListeningWindow;
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExA(&windowClass);
  gWindow = CreateWindowExA(0, kWindowClass, kWindowClass, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
}

MoaMmValue AppInfo(FakeInstance* me, MoaLong what, MoaLong size) {
  char buffer[64] = "unset";
  const MoaError status = me->appInfo->GetInfo(what, buffer, size < 64 ? size : 64);
  return status == kMoaErr_NoErr ? MakeString(me, buffer) : MakeInteger(me, status);
}

MoaLong Integer(FakeInstance* me, const MoaMmValue& value) {
  MoaLong number = 0;
  me->values->ValueToInteger(&value, &number);
  return number;
}

}  // namespace

std::string Text(FakeInstance* me, const MoaMmValue& value) {
  char buffer[256] = "";
  me->values->ValueToString(&value, buffer, sizeof buffer);
  return buffer;
}

MoaMmValue MakeString(FakeInstance* me, const std::string& text) {
  MoaMmValue value = kVoidMoaMmValue;
  me->values->StringToValue(text.c_str(), &value);
  return value;
}

MoaMmValue MakeInteger(FakeInstance* me, MoaLong number) {
  MoaMmValue value = kVoidMoaMmValue;
  me->values->IntegerToValue(number, &value);
  return value;
}

MoaMmSymbol Symbol(FakeInstance* me, const char* name) {
  MoaMmSymbol symbol = 0;
  me->values->StringToSymbol(name, &symbol);
  return symbol;
}

void Start(FakeInstance* me) {
  void* client = nullptr;
  me->unknown()->QueryInterface(&IID_IMoaNotificationClient, &client);
  me->client = static_cast<IMoaNotificationClient*>(client);
  me->notification->RegisterNotificationClient(me->client, &NID_DrNIdle, &kLongestIdleGap, me);
  IMoaDrMovie* movie = nullptr;
  if (me->player->GetActiveMovie(&movie) != kMoaErr_NoErr) return;
  void* context = nullptr;
  movie->QueryInterface(&IID_IMoaDrMovieContext, &context);
  me->context = static_cast<IMoaDrMovieContext*>(context);
  movie->Release();
}

void Stop(FakeInstance* me) {
  if (gListener == me) {
    // The class goes with the window: a module loaded again must not find
    // a class whose procedure lies in its unloaded predecessor.
    DestroyWindow(gWindow);
    UnregisterClassA(kWindowClass, nullptr);
    gWindow = nullptr;
    gListener = nullptr;
  }
  if (me->context) me->context->Release();
  me->context = nullptr;
  if (!me->client) return;
  me->notification->UnregisterNotificationClient(me->client, &NID_DrNIdle, &kLongestIdleGap);
  me->client->Release();
  me->client = nullptr;
}

MoaError Dispatch(FakeInstance* me, MoaMmCallInfo* info) {
  MoaMmValue& result = info->resultValue;
  switch (info->methodSelector) {
    case kFakeNew:
      Start(me);
      break;
    case kFakeForget:
      Stop(me);
      break;
    case kFakeVersion:
      result = AppInfo(me, kMoaAppInfo_ProductVersion, 64);
      break;
    case kFakeEcho:
      result = MakeList(me, {});
      for (MoaLong i = 0; i < info->nargs; ++i) me->lists->AppendValueToList(&result, &Argument(info, i));
      break;
    case kFakeMake:
      result = MakeKind(me, Text(me, Argument(info, 1)));
      break;
    case kFakeInspect:
      result = Inspect(me, Argument(info, 1));
      break;
    case kFakeTell:
      me->player->CallHandler(Symbol(me, Text(me, Argument(info, 1)).c_str()), info->nargs - 2, info->pArgs + 2,
                              &result);
      break;
    case kFakeTellMovie:
      result = TellMovie(me, Text(me, Argument(info, 1)).c_str());
      break;
    case kFakeBox:
      Box(me, Text(me, Argument(info, 1)), Integer(me, Argument(info, 2)) != 0);
      break;
    case kFakeListen:
      Listen(me, Integer(me, Argument(info, 1)) != 0);
      break;
    case kFakeIdles:
      result = MakeList(me, {MakeInteger(me, me->idleCalls), MakeInteger(me, me->idleGap)});
      break;
    case kFakeScribble:
      me->base.magicCookie = me;
      break;
    case kFakeReleaseArgument:
      me->values->ValueRelease(&Argument(info, 1));
      break;
    case kFakeAppInfo:
      result = AppInfo(me, Integer(me, Argument(info, 1)), Integer(me, Argument(info, 2)));
      break;
    default:
      break;
  }
  return kMoaErr_NoErr;
}

}  // namespace fake
