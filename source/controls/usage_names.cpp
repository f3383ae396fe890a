#include "controls/usage_names.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

struct NamedUsage {
  uint16_t usage;
  const char* name;
};

// Collections (Joystick, Keyboard, ...) are named too: a vendor may put such
// a usage on a control.
const NamedUsage kGenericDesktop[] = {
    {0x01, "Pointer"}, {0x02, "Mouse"}, {0x04, "Joystick"}, {0x05, "GamePad"}, {0x06, "Keyboard"},
    {0x07, "Keypad"}, {0x08, "MultiAxisController"}, {0x30, "X"}, {0x31, "Y"}, {0x32, "Z"}, {0x33, "Rx"},
    {0x34, "Ry"}, {0x35, "Rz"}, {0x36, "Slider"}, {0x37, "Dial"}, {0x38, "Wheel"}, {0x39, "HatSwitch"},
    {0x3A, "CountedBuffer"}, {0x3B, "ByteCount"}, {0x3C, "MotionWakeup"}, {0x3D, "Start"}, {0x3E, "Select"},
    {0x40, "Vx"}, {0x41, "Vy"}, {0x42, "Vz"}, {0x43, "Vbrx"}, {0x44, "Vbry"}, {0x45, "Vbrz"}, {0x46, "Vno"},
    {0x47, "FeatureNotification"}, {0x48, "ResolutionMultiplier"}, {0x80, "SystemControl"},
    {0x81, "SystemPowerDown"}, {0x82, "SystemSleep"}, {0x83, "SystemWakeUp"}, {0x84, "SystemContextMenu"},
    {0x85, "SystemMainMenu"}, {0x86, "SystemAppMenu"}, {0x87, "SystemMenuHelp"}, {0x88, "SystemMenuExit"},
    {0x89, "SystemMenuSelect"}, {0x8A, "SystemMenuRight"}, {0x8B, "SystemMenuLeft"}, {0x8C, "SystemMenuUp"},
    {0x8D, "SystemMenuDown"}, {0x90, "DpadUp"}, {0x91, "DpadDown"}, {0x92, "DpadRight"}, {0x93, "DpadLeft"},
};

const NamedUsage kSimulation[] = {
    {0xB0, "Aileron"}, {0xB1, "AileronTrim"}, {0xB2, "AntiTorqueControl"}, {0xB3, "AutopilotEnable"},
    {0xB4, "ChaffRelease"}, {0xB5, "CollectiveControl"}, {0xB6, "DiveBrake"}, {0xB7, "ElectronicCountermeasures"},
    {0xB8, "Elevator"}, {0xB9, "ElevatorTrim"}, {0xBA, "Rudder"}, {0xBB, "Throttle"},
    {0xBC, "FlightCommunications"}, {0xBD, "FlareRelease"}, {0xBE, "LandingGear"}, {0xBF, "ToeBrake"},
    {0xC0, "Trigger"}, {0xC1, "WeaponsArm"}, {0xC2, "WeaponsSelect"}, {0xC3, "WingFlaps"}, {0xC4, "Accelerator"},
    {0xC5, "Brake"}, {0xC6, "Clutch"}, {0xC7, "Shifter"}, {0xC8, "Steering"}, {0xC9, "TurretDirection"},
    {0xCA, "BarrelElevation"}, {0xCB, "DivePlane"}, {0xCC, "Ballast"}, {0xCD, "BicycleCrank"},
    {0xCE, "HandleBars"}, {0xCF, "FrontBrake"}, {0xD0, "RearBrake"},
};

const NamedUsage kGameControls[] = {
    {0x02, "PinballDevice"}, {0x03, "GunDevice"}, {0x20, "PointOfView"}, {0x21, "TurnRightLeft"},
    {0x22, "PitchForwardBackward"}, {0x23, "RollRightLeft"}, {0x24, "MoveRightLeft"},
    {0x25, "MoveForwardBackward"}, {0x26, "MoveUpDown"}, {0x27, "LeanRightLeft"}, {0x28, "LeanForwardBackward"},
    {0x29, "HeightOfPOV"}, {0x2A, "Flipper"}, {0x2B, "SecondaryFlipper"}, {0x2C, "Bump"}, {0x2D, "NewGame"},
    {0x2E, "ShootBall"}, {0x2F, "Player"}, {0x30, "GunBolt"}, {0x31, "GunClip"}, {0x32, "GunSelector"},
    {0x33, "GunSingleShot"}, {0x34, "GunBurst"}, {0x35, "GunAutomatic"}, {0x36, "GunSafety"},
    {0x37, "GamepadFireJump"}, {0x39, "GamepadTrigger"},
};

// Letters, digits and F1 to F12 follow from their places; these are the rest.
const NamedUsage kKeyboard[] = {
    {0x01, "KeyErrorRollOver"}, {0x02, "KeyPOSTFail"}, {0x03, "KeyErrorUndefined"}, {0x28, "KeyEnter"},
    {0x29, "KeyEscape"}, {0x2A, "KeyBackspace"}, {0x2B, "KeyTab"}, {0x2C, "KeySpace"}, {0x2D, "KeyMinus"},
    {0x2E, "KeyEquals"}, {0x2F, "KeyLeftBracket"}, {0x30, "KeyRightBracket"}, {0x31, "KeyBackslash"},
    {0x32, "KeyNonUSHash"}, {0x33, "KeySemicolon"}, {0x34, "KeyApostrophe"}, {0x35, "KeyGraveAccent"},
    {0x36, "KeyComma"}, {0x37, "KeyPeriod"}, {0x38, "KeySlash"}, {0x39, "KeyCapsLock"}, {0x46, "KeyPrintScreen"},
    {0x47, "KeyScrollLock"}, {0x48, "KeyPause"}, {0x49, "KeyInsert"}, {0x4A, "KeyHome"}, {0x4B, "KeyPageUp"},
    {0x4C, "KeyDelete"}, {0x4D, "KeyEnd"}, {0x4E, "KeyPageDown"}, {0x4F, "KeyRightArrow"}, {0x50, "KeyLeftArrow"},
    {0x51, "KeyDownArrow"}, {0x52, "KeyUpArrow"}, {0x53, "KeypadNumLock"}, {0x54, "KeypadSlash"},
    {0x55, "KeypadAsterisk"}, {0x56, "KeypadMinus"}, {0x57, "KeypadPlus"}, {0x58, "KeypadEnter"},
    {0x59, "Keypad1"}, {0x5A, "Keypad2"}, {0x5B, "Keypad3"}, {0x5C, "Keypad4"}, {0x5D, "Keypad5"},
    {0x5E, "Keypad6"}, {0x5F, "Keypad7"}, {0x60, "Keypad8"}, {0x61, "Keypad9"}, {0x62, "Keypad0"},
    {0x63, "KeypadPeriod"}, {0x64, "KeyNonUSBackslash"}, {0x65, "KeyApplication"}, {0x66, "KeyPower"},
    {0x67, "KeypadEquals"}, {0x7F, "KeyMute"}, {0x80, "KeyVolumeUp"}, {0x81, "KeyVolumeDown"},
    {0xE0, "KeyLeftControl"}, {0xE1, "KeyLeftShift"}, {0xE2, "KeyLeftAlt"}, {0xE3, "KeyLeftGUI"},
    {0xE4, "KeyRightControl"}, {0xE5, "KeyRightShift"}, {0xE6, "KeyRightAlt"}, {0xE7, "KeyRightGUI"},
};

const NamedUsage kLeds[] = {
    {0x01, "LEDNumLock"}, {0x02, "LEDCapsLock"}, {0x03, "LEDScrollLock"}, {0x04, "LEDCompose"}, {0x05, "LEDKana"},
    {0x06, "LEDPower"}, {0x07, "LEDShift"}, {0x08, "LEDDoNotDisturb"}, {0x09, "LEDMute"},
    {0x0A, "LEDToneEnable"}, {0x0B, "LEDHighCutFilter"}, {0x0C, "LEDLowCutFilter"}, {0x0D, "LEDEqualizerEnable"},
    {0x0E, "LEDSoundFieldOn"}, {0x0F, "LEDSurroundOn"}, {0x10, "LEDRepeat"}, {0x11, "LEDStereo"},
    {0x12, "LEDSamplingRateDetect"}, {0x13, "LEDSpinning"}, {0x14, "LEDCAV"}, {0x15, "LEDCLV"},
    {0x16, "LEDRecordingFormatDetect"}, {0x17, "LEDOffHook"}, {0x18, "LEDRing"}, {0x19, "LEDMessageWaiting"},
    {0x1A, "LEDDataMode"}, {0x1B, "LEDBatteryOperation"}, {0x1C, "LEDBatteryOK"}, {0x1D, "LEDBatteryLow"},
    {0x1E, "LEDSpeaker"}, {0x1F, "LEDHeadSet"}, {0x20, "LEDHold"}, {0x21, "LEDMicrophone"}, {0x22, "LEDCoverage"},
    {0x23, "LEDNightMode"}, {0x24, "LEDSendCalls"}, {0x25, "LEDCallPickup"}, {0x26, "LEDConference"},
    {0x27, "LEDStandBy"}, {0x28, "LEDCameraOn"}, {0x29, "LEDCameraOff"}, {0x2A, "LEDOnLine"}, {0x2B, "LEDOffLine"},
    {0x2C, "LEDBusy"}, {0x2D, "LEDReady"}, {0x2E, "LEDPaperOut"}, {0x2F, "LEDPaperJam"}, {0x30, "LEDRemote"},
    {0x31, "LEDForward"}, {0x32, "LEDReverse"}, {0x33, "LEDStop"}, {0x34, "LEDRewind"}, {0x35, "LEDFastForward"},
    {0x36, "LEDPlay"}, {0x37, "LEDPause"}, {0x38, "LEDRecord"}, {0x39, "LEDError"},
    {0x3A, "LEDUsageSelectedIndicator"}, {0x3B, "LEDUsageInUseIndicator"}, {0x3C, "LEDUsageMultiModeIndicator"},
    {0x3D, "LEDIndicatorOn"}, {0x3E, "LEDIndicatorFlash"}, {0x3F, "LEDIndicatorSlowBlink"},
    {0x40, "LEDIndicatorFastBlink"}, {0x41, "LEDIndicatorOff"}, {0x42, "LEDFlashOnTime"},
    {0x43, "LEDSlowBlinkOnTime"}, {0x44, "LEDSlowBlinkOffTime"}, {0x45, "LEDFastBlinkOnTime"},
    {0x46, "LEDFastBlinkOffTime"}, {0x47, "LEDUsageIndicatorColor"}, {0x48, "LEDIndicatorRed"},
    {0x49, "LEDIndicatorGreen"}, {0x4A, "LEDIndicatorAmber"}, {0x4B, "LEDGenericIndicator"},
    {0x4C, "LEDSystemSuspend"}, {0x4D, "LEDExternalPowerConnected"},
};

const NamedUsage kConsumer[] = {
    {0x01, "ConsumerControl"}, {0x30, "Power"}, {0x40, "Menu"}, {0xB0, "Play"}, {0xB1, "Pause"}, {0xB2, "Record"},
    {0xB3, "FastForward"}, {0xB4, "Rewind"}, {0xB5, "ScanNextTrack"}, {0xB6, "ScanPreviousTrack"}, {0xB7, "Stop"},
    {0xB8, "Eject"}, {0xB9, "RandomPlay"}, {0xCD, "PlayPause"}, {0xE0, "Volume"}, {0xE2, "Mute"}, {0xE3, "Bass"},
    {0xE4, "Treble"}, {0xE9, "VolumeIncrement"}, {0xEA, "VolumeDecrement"}, {0x183, "ALConsumerControlConfiguration"},
    {0x18A, "ALEmailReader"}, {0x192, "ALCalculator"}, {0x194, "ALLocalMachineBrowser"}, {0x221, "ACSearch"},
    {0x223, "ACHome"}, {0x224, "ACBack"}, {0x225, "ACForward"}, {0x226, "ACStop"}, {0x227, "ACRefresh"},
    {0x22A, "ACBookmarks"},
};

const NamedUsage kDigitizer[] = {
    {0x01, "Digitizer"}, {0x02, "Pen"}, {0x04, "TouchScreen"}, {0x05, "TouchPad"}, {0x20, "Stylus"},
    {0x22, "Finger"}, {0x30, "TipPressure"}, {0x31, "BarrelPressure"}, {0x32, "InRange"}, {0x33, "Touch"},
    {0x34, "Untouch"}, {0x35, "Tap"}, {0x36, "Quality"}, {0x37, "DataValid"}, {0x38, "TransducerIndex"},
    {0x39, "TabletFunctionKeys"}, {0x3A, "ProgramChangeKeys"}, {0x3B, "BatteryStrength"}, {0x3C, "Invert"},
    {0x3D, "XTilt"}, {0x3E, "YTilt"}, {0x3F, "Azimuth"}, {0x40, "Altitude"}, {0x41, "Twist"}, {0x42, "TipSwitch"},
    {0x43, "SecondaryTipSwitch"}, {0x44, "BarrelSwitch"}, {0x45, "Eraser"}, {0x46, "TabletPick"},
    {0x47, "Confidence"}, {0x48, "Width"}, {0x49, "Height"}, {0x51, "ContactIdentifier"}, {0x54, "ContactCount"},
    {0x55, "ContactCountMaximum"}, {0x56, "ScanTime"},
};

// Buttons are all counted: their page has no table.
struct NamedPage {
  uint16_t page;
  const char* name;
  const NamedUsage* first;
  const NamedUsage* last;
};

#define PAGE(number, name, table) \
  { number, name, std::begin(table), std::end(table) }
const NamedPage kPages[] = {
    PAGE(0x01, "GenericDesktop", kGenericDesktop), PAGE(0x02, "Simulation", kSimulation),
    PAGE(0x05, "GameControls", kGameControls),     PAGE(0x07, "Keyboard", kKeyboard),
    PAGE(0x08, "LED", kLeds),                      {0x09, "Button", nullptr, nullptr}    ,
    PAGE(0x0C, "Consumer", kConsumer),             PAGE(0x0D, "Digitizer", kDigitizer),
};
#undef PAGE

constexpr uint16_t kButtonPage = 0x09;
constexpr uint16_t kKeyboardPage = 0x07;

const NamedPage* FindPage(uint16_t page) {
  for (const NamedPage& named : kPages)
    if (named.page == page) return &named;
  return nullptr;
}

std::string Hex(const char* format, unsigned a, unsigned b = 0) {
  char text[16];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

// Usages whose names follow from their place on the page.
std::string CountedName(uint16_t page, uint16_t usage) {
  if (page == kButtonPage && usage >= 1) return "Button" + std::to_string(usage);
  if (page != kKeyboardPage) return "";
  if (usage >= 0x04 && usage <= 0x1D) return std::string("Key") + static_cast<char>('A' + (usage - 0x04));
  if (usage >= 0x1E && usage <= 0x27) return "Key" + std::to_string((usage - 0x1E + 1) % 10);
  if (usage >= 0x3A && usage <= 0x45) return "KeyF" + std::to_string(usage - 0x3A + 1);
  if (usage >= 0x68 && usage <= 0x73) return "KeyF" + std::to_string(usage - 0x68 + 13);
  return "";
}

}  // namespace

std::string UsageName(uint16_t page, uint16_t usage) {
  std::string counted = CountedName(page, usage);
  if (!counted.empty()) return counted;
  if (const NamedPage* named = FindPage(page)) {
    const NamedUsage* found = std::find_if(named->first, named->last,
                                           [usage](const NamedUsage& entry) { return entry.usage == usage; });
    if (found != named->last) return found->name;
  }
  return Hex("U_%04X_%04X", page, usage);
}

std::string PageName(uint16_t page) {
  const NamedPage* named = FindPage(page);
  return named ? named->name : Hex("U_%04X", page);
}

bool SameName(const std::string& a, const std::string& b) {
  const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return fold(x) == fold(y); });
}
