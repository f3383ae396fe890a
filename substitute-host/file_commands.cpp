// Files a script makes or removes beside the Xtra's log: a user's document
// that the log must leave alone, a folder in the log's place, and a clean
// start for a log that a script's earlier run left behind.
#include <filesystem>
#include <fstream>
#include <system_error>

#include "host_commands.h"
#include "host_platform.h"

namespace {

std::filesystem::path FilePath(const std::string& windowsPath) {
  return std::filesystem::u8path(HostFilePath(windowsPath));
}

}  // namespace

bool MakeFile(CommandContext& context) {
  std::string path;
  if (!context.arguments.String("the file's path", &path)) return false;
  std::string text;
  while (context.arguments.More()) {
    std::string line;
    if (!context.arguments.String("a line of the file", &line)) return false;
    text += line + "\r\n";  // as a Windows editor ends its lines
  }
  const std::filesystem::path file = FilePath(path);
  std::error_code ignored;
  std::filesystem::create_directories(file.parent_path(), ignored);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!(out << text).flush()) context.transcript.Note("could not write " + path);
  return true;
}

bool MakeFolder(CommandContext& context) {
  std::string path;
  if (!context.arguments.String("the folder's path", &path) || !context.arguments.End()) return false;
  std::error_code error;
  std::filesystem::create_directories(FilePath(path), error);
  if (error) context.transcript.Note("could not make " + path);
  return true;
}

bool RemovePath(CommandContext& context) {
  std::string path;
  if (!context.arguments.String("the path", &path) || !context.arguments.End()) return false;
  std::error_code error;
  std::filesystem::remove_all(FilePath(path), error);
  if (error) context.transcript.Note("could not delete " + path);
  return true;
}
