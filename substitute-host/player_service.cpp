#include "player_service.h"

#include <cstring>

#include "lingo_literals.h"
#include "method_catalog.h"

using namespace director;

MoaError MovieHandlers::Call(MoaMmSymbol handler, MoaLong count, MoaMmValue* args, MoaMmValue* result) {
  if (result) *result = kVoidMoaMmValue;
  const std::string* name = values_.SymbolName(handler);
  if (!name) return kHostErr_BadSymbol;
  if (count < 0 || (count > 0 && !args)) return kHostErr_BadArgument;
  const std::vector<MoaMmValue> arguments(args, args + count);
  for (const MoaMmValue& argument : arguments) {
    MoaError status = kMoaErr_NoErr;
    if (!arguments_.Find(&argument, &status)) return status;
  }

  calls_.push_back({*name, recordArguments_ ? FormatLiterals(values_, arguments.data(), arguments.size()) : ""});
  // A copy: the handler may define or redefine handlers while it runs.
  const auto found = handlers_.find(FoldCase(*name));
  const LingoHandler body = found == handlers_.end() ? LingoHandler() : found->second;
  MoaMmValue answer = body ? body(arguments) : kVoidMoaMmValue;
  if (IsNull(answer)) answer = kVoidMoaMmValue;
  if (result)
    *result = answer;
  else
    values_.Release(answer);
  return body ? kMoaErr_NoErr : kHostErr_NoSuchHandler;
}

void MovieHandlers::Define(const std::string& name, LingoHandler handler) {
  handlers_[FoldCase(name)] = std::move(handler);
}

namespace {

// What PushXtraContext leaves in the caller's state, for its Pop to give back.
constexpr char kContextMark[] = "XtraContext";

}  // namespace

MoaError HostMovieContext::PushXtraContext(DrContextState* state) {
  if (!state) return kHostErr_BadArgument;
  if (refusePushes_) return kHostErr_ContextRefused;
  ++pushes_;
  watch().ContextPushed();
  std::memset(state->opaque, 0, sizeof state->opaque);
  std::memcpy(state->opaque, kContextMark, sizeof kContextMark);
  state->opaque[sizeof kContextMark] = static_cast<uint8_t>(watch().contextDepth());
  return kMoaErr_NoErr;
}

MoaError HostMovieContext::PopXtraContext(DrContextState* state) {
  if (!state) return kHostErr_BadArgument;
  if (watch().contextDepth() == 0) {
    watch().Misuse("PopXtraContext without PushXtraContext");
    return kHostErr_BadArgument;
  }
  if (std::memcmp(state->opaque, kContextMark, sizeof kContextMark) != 0 ||
      state->opaque[sizeof kContextMark] != static_cast<uint8_t>(watch().contextDepth()))
    watch().Misuse("PopXtraContext given a state its PushXtraContext did not fill");
  ++pops_;
  watch().ContextPopped();
  return kMoaErr_NoErr;
}

MoaError HostMovie::QueryInterface(const MoaID* iid, void** out) {
  if (iid && out && SameMoaID(*iid, IID_IMoaDrMovieContext)) return context_.QueryInterface(iid, out);
  return IMoaDrMovieSlots::QueryInterface(iid, out);
}

MoaError HostMovie::CallHandler(MoaMmSymbol name, MoaLong count, MoaMmValue* args, MoaMmValue* result) {
  return handlers_.Call(name, count, args, result);
}

MoaError HostPlayer::CallHandler(MoaMmSymbol name, MoaLong count, MoaMmValue* args, MoaMmValue* result) {
  return handlers_.Call(name, count, args, result);
}

MoaError HostPlayer::GetActiveMovie(IMoaDrMovie** movie) {
  if (!movie) return kHostErr_BadArgument;
  *movie = nullptr;
  if (!moviePlaying_) return kHostErr_NoMovie;
  movie_.AddRef();
  *movie = movie_.object();
  return kMoaErr_NoErr;
}
