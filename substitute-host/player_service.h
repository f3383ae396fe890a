// The player service: the movie's handlers as the Xtra calls them. Every
// call is recorded; a handler that a test or script defined runs, and may
// call back into the Xtra.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host_object.h"
#include "lingo_values.h"

struct HandlerCall {
  std::string name;       // as the symbol was first spelled
  std::string arguments;  // as Lingo literals: 1, "A", [2, 3]
};

// Gets the call's arguments (borrowed) and answers its result, which
// carries one reference for the caller (void needs none).
using LingoHandler = std::function<MoaMmValue(const std::vector<MoaMmValue>& arguments)>;

class HostPlayer : public HostObject<IMoaMmPlayer> {
 public:
  explicit HostPlayer(LingoValueStore& values);

  // A call of a handler the movie lacks is recorded too and answers void;
  // a refused call answers void and is not recorded.
  MoaError MOA_CALL CallHandler(MoaMmSymbol handler, MoaLong argCount, MoaMmValue* args,
                                MoaMmValue* result) override;
  MoaError MOA_CALL GetActiveMovie(IMoaUnknown** movie) override;

  // Lingo handler names ignore case.
  void Define(const std::string& name, LingoHandler handler);
  const std::vector<HandlerCall>& calls() const { return calls_; }
  const HostObject<IMoaUnknown>& movie() const { return movie_; }

 private:
  LingoValueStore& values_;
  HostObject<IMoaUnknown> movie_;
  std::map<std::string, LingoHandler> handlers_;
  std::vector<HandlerCall> calls_;
};
