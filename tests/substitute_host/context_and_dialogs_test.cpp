// The brackets Director asks of an Xtra: PushXtraContext / PopXtraContext
// around calls from its window, WinPrepareDialogBox / WinUnprepareDialogBox
// around its dialogs. The host counts both and names what does not pair up.
#include "test_framework.h"

#include "director_host.h"
#include "host_errors.h"
#include "xtra_side.h"

namespace {

using namespace director;

class Brackets : public testing::Test {
 protected:
  void SetUp() override {
    auto* player = AskHost<xtra_view::IMoaDrPlayer>(host, IID_IMoaDrPlayer);
    xtra_view::IMoaDrMovie* movie = nullptr;
    player->GetActiveMovie(&movie);
    void* asked = nullptr;
    movie->QueryInterface(&IID_IMoaDrMovieContext, &asked);
    context = static_cast<xtra_view::IMoaDrMovieContext*>(asked);
    movie->Release();
    player->Release();
    windows = AskHost<xtra_view::IMoaMmWndWin>(host, IID_IMoaMmWndWin);
  }
  void TearDown() override {
    context->Release();
    windows->Release();
    EXPECT_EQ(host.Leaks(), expectedLeaks);
  }

  DirectorHost host;
  xtra_view::IMoaDrMovieContext* context = nullptr;
  xtra_view::IMoaMmWndWin* windows = nullptr;
  std::vector<std::string> expectedLeaks;
};

TEST_F(Brackets, ContextsNestAndPopInTurn) {
  DrContextState outer{}, inner{};
  EXPECT_EQ(context->PushXtraContext(&outer), kMoaErr_NoErr);
  EXPECT_EQ(context->PushXtraContext(&inner), kMoaErr_NoErr);
  EXPECT_EQ(host.watch().contextDepth(), 2);
  EXPECT_EQ(context->PopXtraContext(&inner), kMoaErr_NoErr);
  EXPECT_EQ(context->PopXtraContext(&outer), kMoaErr_NoErr);
  EXPECT_EQ(host.player().movie().context().pops(), 2);
}

TEST_F(Brackets, APushLeftOpenAPopWithoutPushAndAStrangeStateAreNamed) {
  DrContextState state{}, other{};
  EXPECT_EQ(context->PopXtraContext(&state), kHostErr_BadArgument);
  context->PushXtraContext(&state);
  context->PushXtraContext(&other);
  context->PopXtraContext(&state);
  expectedLeaks = {"PushXtraContext 2 time(s), PopXtraContext 1 time(s)",
                   "misuse: IMoaDrMovieContext slot 4 PopXtraContext: PopXtraContext without PushXtraContext",
                   "misuse: IMoaDrMovieContext slot 4 PopXtraContext: PopXtraContext given a state its "
                   "PushXtraContext did not fill"};
}

TEST_F(Brackets, AWindowMessageMustLeaveTheContextsAsItFoundThem) {
  DrContextState state{};
  {
    const HostWatch::WindowMessage dispatching(host.watch());
    context->PushXtraContext(&state);
  }
  context->PopXtraContext(&state);
  expectedLeaks = {"misuse: a window message left 1 PushXtraContext without PopXtraContext"};
}

TEST_F(Brackets, DialogsArePreparedAndUnpreparedWithTheCookieHandedOut) {
  void* first = nullptr;
  void* second = nullptr;
  EXPECT_EQ(windows->WinPrepareDialogBox(&first), kMoaErr_NoErr);
  EXPECT_EQ(windows->WinPrepareDialogBox(&second), kMoaErr_NoErr);
  EXPECT_NE(first, second);
  EXPECT_EQ(windows->WinUnprepareDialogBox(second), kMoaErr_NoErr);
  EXPECT_EQ(windows->WinUnprepareDialogBox(second), kMoaErr_NoErr);
  EXPECT_EQ(windows->WinUnprepareDialogBox(first), kHostErr_BadArgument);
  windows->WinPrepareDialogBox(&first);
  expectedLeaks = {"WinPrepareDialogBox 3 time(s), WinUnprepareDialogBox 2 time(s)",
                   "misuse: IMoaMmWndWin slot 7 WinUnprepareDialogBox: WinUnprepareDialogBox given a cookie its "
                   "WinPrepareDialogBox did not hand out",
                   "misuse: IMoaMmWndWin slot 7 WinUnprepareDialogBox: WinUnprepareDialogBox without "
                   "WinPrepareDialogBox"};
}

}  // namespace
