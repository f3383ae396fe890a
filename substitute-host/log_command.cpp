// Shows the Xtra's log file with what changes from run to run masked: the
// build's date and time, and the tick count that starts every entry.
#include <cctype>
#include <filesystem>
#include <fstream>

#include "host_commands.h"
#include "host_platform.h"

namespace {

constexpr char kDefaultLog[] = "c:\\HidBridge_XtraLog.txt";

std::string Masked(const std::string& line) {
  for (const char* stamp : {"Code compile date:", " Code compile time:"})
    if (line.rfind(stamp, 0) == 0) return stamp + std::string("<build stamp>");
  size_t digits = line[0] == '-' ? 1 : 0;
  const size_t first = digits;
  while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits]))) ++digits;
  if (digits > first && line.compare(digits, 2, ": ") == 0) return "<tick>" + line.substr(digits);
  return line;
}

}  // namespace

bool ShowLog(CommandContext& context) {
  std::string path = kDefaultLog;
  if (context.arguments.More() && !context.arguments.String("the log file's path", &path)) return false;
  if (!context.arguments.End()) return false;
  std::ifstream log(std::filesystem::u8path(HostFilePath(path)));
  if (!log) {
    context.transcript.Note("no log at " + path);
    return true;
  }
  std::string line;
  while (std::getline(log, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    context.transcript.Note("| " + Masked(line));
  }
  return true;
}
