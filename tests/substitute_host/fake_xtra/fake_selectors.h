// The fake Xtra's handler lines, in selector order: what its dispatch
// switches on and what the host's tests call.
#pragma once

enum FakeSelector {
  kFakeNew = 0,
  kFakeForget = 1,
  kFakeVersion = 2,
  kFakeEcho = 3,
  kFakeMake = 4,
  kFakeInspect = 5,
  kFakeTell = 6,
  kFakeTellMovie = 7,
  kFakeBox = 8,
  kFakeListen = 9,
  kFakeIdles = 10,
  kFakeScribble = 11,
  kFakeReleaseArgument = 12,
  kFakeAppInfo = 13,
};
