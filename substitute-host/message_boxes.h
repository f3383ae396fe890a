// The loaded Xtra's message boxes come to the host instead of the screen,
// answered OK: natively through the stand-in, on Windows by redirecting the
// Xtra's import of MessageBoxW.
#pragma once

#include <functional>
#include <string>

#include "xtra_module.h"

// Caption and text in UTF-8, and the window the Xtra named as the box's owner.
using MessageBoxSink = std::function<void(const void* owner, const std::string& caption, const std::string& text)>;

// From now on until StopCapturingMessageBoxes. False with error when the
// Xtra's imports cannot be redirected.
bool CaptureMessageBoxes(const XtraModule& module, MessageBoxSink sink, std::string* error);
void StopCapturingMessageBoxes();
