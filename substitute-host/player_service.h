// The player, its active movie and the movie's context: the movie's handlers
// as the Xtra calls them, through IMoaDrPlayer::CallHandler (the active
// movie's) or IMoaDrMovie::CallHandler (that movie's; here the same). Every
// call is recorded; a handler that a test or script defined runs, and may
// call back into the Xtra.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host_service.h"
#include "lingo_values.h"
#include "value_services.h"

namespace director {
XDK_SERVICE_CLASS(IMoaDrPlayerSlots, IMoaDrPlayer, IID_IMoaDrPlayer, XDK_IMOADRPLAYER_SLOTS, XDK_NO_UNLISTED, false);
// Director publishes no ID for the movie itself: it answers IMoaUnknown.
XDK_SERVICE_CLASS(IMoaDrMovieSlots, IMoaDrMovie, IID_IMoaUnknown, XDK_IMOADRMOVIE_SLOTS, XDK_IMOADRMOVIE_UNLISTED,
                  false);
XDK_SERVICE_CLASS(IMoaDrMovieContextSlots, IMoaDrMovieContext, IID_IMoaDrMovieContext, XDK_IMOADRMOVIECONTEXT_SLOTS,
                  XDK_NO_UNLISTED, true);
}  // namespace director

struct HandlerCall {
  std::string name;       // as the symbol was first spelled
  std::string arguments;  // as Lingo literals: 1, "A", [2, 3]
};

// Gets the call's arguments (borrowed) and answers its result, which
// carries one reference for the caller; void (or null, taken as void) needs
// none.
using LingoHandler = std::function<director::MoaMmValue(const std::vector<director::MoaMmValue>& arguments)>;

// The movie's handlers, whichever service reaches them.
class MovieHandlers {
 public:
  MovieHandlers(HostWatch& watch, LingoValueStore& values) : values_(values), arguments_(values, watch) {}

  // A call of a handler the movie lacks is recorded too, answers void and
  // kHostErr_NoSuchHandler, as Director refuses it;
  // a refused call answers void and is not recorded.
  director::MoaError Call(director::MoaMmSymbol handler, director::MoaLong count, director::MoaMmValue* args,
                          director::MoaMmValue* result);
  // Lingo handler names ignore case.
  void Define(const std::string& name, LingoHandler handler);
  const std::vector<HandlerCall>& calls() const { return calls_; }
  // Benchmarks time what the Xtra spends, not the host's writing out of
  // every argument: calls are then recorded by name alone.
  void RecordArguments(bool record) { recordArguments_ = record; }

 private:
  LingoValueStore& values_;
  ValueArguments arguments_;
  std::map<std::string, LingoHandler> handlers_;
  std::vector<HandlerCall> calls_;
  bool recordArguments_ = true;
};

// Counts PushXtraContext and PopXtraContext, which must pair up.
class HostMovieContext final : public director::IMoaDrMovieContextSlots {
 public:
  explicit HostMovieContext(HostWatch& hostWatch) : IMoaDrMovieContextSlots(hostWatch) {}

  director::MoaError PushXtraContext(director::DrContextState* state) override;
  director::MoaError PopXtraContext(director::DrContextState* state) override;

  int pushes() const { return pushes_; }
  int pops() const { return pops_; }
  // A Director that cannot enter the movie's context answers every push
  // with an error until told otherwise.
  void RefusePushes(bool refuse) { refusePushes_ = refuse; }

 private:
  int pushes_ = 0;
  int pops_ = 0;
  bool refusePushes_ = false;
};

class HostMovie final : public director::IMoaDrMovieSlots {
 public:
  HostMovie(HostWatch& hostWatch, MovieHandlers& handlers)
      : IMoaDrMovieSlots(hostWatch), handlers_(handlers), context_(hostWatch) {}

  // Also answers IMoaDrMovieContext.
  director::MoaError QueryInterface(const director::MoaID* iid, void** out) override;
  director::MoaError CallHandler(director::MoaMmSymbol name, director::MoaLong count, director::MoaMmValue* args,
                                 director::MoaMmValue* result) override;

  HostMovieContext& context() { return context_; }
  const HostMovieContext& context() const { return context_; }

 private:
  MovieHandlers& handlers_;
  HostMovieContext context_;
};

class HostPlayer final : public director::IMoaDrPlayerSlots {
 public:
  HostPlayer(HostWatch& hostWatch, LingoValueStore& values)
      : IMoaDrPlayerSlots(hostWatch), handlers_(hostWatch, values), movie_(hostWatch, handlers_) {}

  director::MoaError CallHandler(director::MoaMmSymbol name, director::MoaLong count, director::MoaMmValue* args,
                                 director::MoaMmValue* result) override;
  // The caller releases the movie.
  director::MoaError GetActiveMovie(director::IMoaDrMovie** movie) override;

  void Define(const std::string& name, LingoHandler handler) { handlers_.Define(name, std::move(handler)); }
  const std::vector<HandlerCall>& calls() const { return handlers_.calls(); }
  void RecordArguments(bool record) { handlers_.RecordArguments(record); }
  HostMovie& movie() { return movie_; }
  const HostMovie& movie() const { return movie_; }
  // Without a movie, as while Director registers its Xtras, GetActiveMovie
  // hands out nothing.
  void SetMoviePlaying(bool playing) { moviePlaying_ = playing; }

 private:
  MovieHandlers handlers_;
  HostMovie movie_;
  bool moviePlaying_ = true;
};
