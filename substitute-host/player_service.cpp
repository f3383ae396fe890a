#include "player_service.h"

#include <cctype>

#include "host_errors.h"
#include "lingo_literals.h"

namespace {

std::string Lowercase(std::string name) {
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

}  // namespace

HostPlayer::HostPlayer(LingoValueStore& values)
    : HostObject(IID_IMoaMmPlayer), values_(values), movie_(IID_IMoaDrMovie2) {}

MoaError MOA_CALL HostPlayer::CallHandler(MoaMmSymbol handler, MoaLong argCount, MoaMmValue* args,
                                          MoaMmValue* result) {
  if (result) *result = MoaMmValue{};
  const std::string* name = values_.SymbolName(handler);
  if (!name) return kHostErr_BadSymbol;
  if (argCount < 0 || (argCount > 0 && !args)) return kHostErr_BadArgument;
  const std::vector<MoaMmValue> arguments(args, args + argCount);
  for (const MoaMmValue& argument : arguments)
    if (!values_.Find(argument)) return kHostErr_BadValue;

  calls_.push_back({*name, FormatLiterals(values_, arguments.data(), arguments.size())});
  // A copy: the handler may define or redefine handlers while it runs.
  const auto found = handlers_.find(Lowercase(*name));
  const LingoHandler body = found == handlers_.end() ? LingoHandler() : found->second;
  const MoaMmValue answer = body ? body(arguments) : MoaMmValue{};
  if (result)
    *result = answer;
  else
    values_.Release(answer);
  return kMoaErr_NoErr;
}

MoaError MOA_CALL HostPlayer::GetActiveMovie(IMoaUnknown** movie) {
  if (!movie) return kHostErr_BadArgument;
  movie_.AddRef();
  *movie = &movie_;
  return kMoaErr_NoErr;
}

void HostPlayer::Define(const std::string& name, LingoHandler handler) {
  handlers_[Lowercase(name)] = std::move(handler);
}
