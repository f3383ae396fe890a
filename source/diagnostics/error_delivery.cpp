// How the movie hears of errors besides a method's answer: a property list
// for its XtraError handler, internal faults for its InternalError handler,
// and message boxes while the movie wants them.
#include "diagnostics/bounded_text.h"
#include "host/interface_objects.h"
#include "platform.h"
#include "values/host_services.h"
#include "values/host_text.h"

namespace {

// Director must know of a dialog it did not open (it stops its own
// processing meanwhile) and owns the window the dialog belongs to.
void ShowDialog(IMoaMmWndWin* windows, const char* caption, const char* message) {
  WCHAR wideCaption[256];
  WCHAR wideMessage[1000];
  HostTextToWide(caption, wideCaption, 256);
  HostTextToWide(message, wideMessage, 1000);
  void* parent = nullptr;
  void* cookie = nullptr;
  bool prepared = false;
  if (windows) {
    void* directorInstance = nullptr;
    if (windows->WinGetParent(&directorInstance, &parent) != kMoaErr_NoErr) parent = nullptr;
    prepared = windows->WinPrepareDialogBox(&cookie) == kMoaErr_NoErr;
  }
  MessageBoxW(static_cast<HWND>(parent), wideMessage, wideCaption, MB_OK);
  if (prepared) windows->WinUnprepareDialogBox(cookie);
}

}  // namespace

MoaError MOA_CALL TStdXtra_IMoaMmXScript::InformUserViaCallbackOfUserError(const char* description,
                                                                           const char* help, const char* debug) {
  XtraInstance& instance = *owner;
  ExecutionFlow("InformUserViaCallbackOfUserError", "Enter", 50);
  HostServices* services = instance.hostServices;
  if (services && services->values()) {
    HostValue report(services->values());
    services->NewPropList(report.out());
    services->AddStringProperty(report.get(), "XtraName", "HidBridge");
    services->AddStringProperty(report.get(), "TYPE", "Error");
    services->AddIntegerProperty(report.get(), "Id", instance.instanceId);
    services->AddStringProperty(report.get(), "Description", description);
    services->AddStringProperty(report.get(), "Help", help);
    if (instance.fileLogOn) {
      char text[1024];
      FormatText(text, sizeof text, "<Desc:%s><Help:%s><Debug:%s>", description, help, debug);
      services->LogLine(text, "<*>");
    }
    QueueCallback(instance.xtraErrorHandler, 1, report.get());
  }
  InformUserOfErrorUsingDialog("Error", help, "", debug);
  ExecutionFlow("InformUserViaCallbackOfUserError", "Exit", 50);
  return kMoaErr_NoErr;
}

MoaError MOA_CALL TStdXtra_IMoaMmXScript::InformUserOfErrorUsingDialog(const char* kind, const char* text,
                                                                       const char* detail, const char*) {
  XtraInstance& instance = *owner;
  ExecutionFlow("InformUserOfErrorUsingDialog", "Enter", 50);
  if (instance.showErrorDialogs && !instance.answeringWithError) {
    char caption[256];
    char message[1000];
    FormatText(caption, sizeof caption, "%s:%s", "HidBridge", kind);
    FormatText(message, sizeof message, "%s\n%s", text, detail);
    ShowDialog(instance.hostServices ? instance.hostServices->windows() : nullptr, caption, message);
  }
  if (instance.fileLogOn && instance.hostServices)
    instance.hostServices->LogLine(text, "TStdXtra_IMoaMmXScript::InformUserOfErrorUsingDialog");
  ExecutionFlow("InformUserOfErrorUsingDialog", "Exit", 50);
  return kMoaErr_NoErr;
}

MoaError MOA_CALL TStdXtra_IMoaMmXScript::SendInternalErrorToDirector(const char* text, int32_t code) {
  XtraInstance& instance = *owner;
  ExecutionFlow("SendInternalErrorToDirector", "Enter", 75);
  HostServices* services = instance.hostServices;
  if (IMoaMmValue* values = services ? services->values() : nullptr) {
    HostValue id(values);
    HostValue message(values);
    HostValue number(values);
    values->IntegerToValue(instance.instanceId, id.out());
    values->StringToValue(text, message.out());
    values->IntegerToValue(code, number.out());
    const MoaMmValue args[3] = {*id.get(), *message.get(), *number.get()};
    QueueCallback(instance.internalErrorHandler, 3, args);
    if (instance.fileLogOn) services->LogLine(text, "****InternalError****");
  }
  ExecutionFlow("SendInternalErrorToDirector", "Exit", 75);
  return kMoaErr_NoErr;
}
