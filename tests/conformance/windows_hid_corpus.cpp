#include "windows_hid_corpus.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <tuple>

namespace {

std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Tokens(const std::string& text) {
  std::vector<std::string> tokens;
  std::string token;
  for (char c : text + " ") {
    if (std::isspace(static_cast<unsigned char>(c)) || c == ',') {
      if (!token.empty()) tokens.push_back(token);
      token.clear();
    } else {
      token += c;
    }
  }
  return tokens;
}

bool IsHexPair(const std::string& token) {
  return token.size() == 2 && std::isxdigit(static_cast<unsigned char>(token[0])) &&
         std::isxdigit(static_cast<unsigned char>(token[1]));
}

bool IsListedByte(const std::string& token) {
  return token.size() == 4 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X') && IsHexPair(token.substr(2));
}

std::uint8_t ByteOf(const std::string& hex) { return static_cast<std::uint8_t>(std::stoul(hex, nullptr, 16)); }

// The 0xNN tokens of a line that holds nothing else before its comment
// (a leading "#" allowed); none for any other line.
std::vector<std::uint8_t> ListedBytes(const std::string& line) {
  std::string body = line.substr(0, line.find("//"));
  const auto start = body.find_first_not_of(" \t");
  if (start != std::string::npos && body[start] == '#') body = body.substr(start + 1);
  std::vector<std::uint8_t> bytes;
  for (const std::string& token : Tokens(body)) {
    if (!IsListedByte(token)) return {};
    bytes.push_back(ByteOf(token.substr(2)));
  }
  return bytes;
}

std::vector<std::uint8_t> TrailingPairs(const std::string& line) {
  const std::vector<std::string> tokens = Tokens(line);
  auto first = tokens.end();
  while (first != tokens.begin() && IsHexPair(*(first - 1))) --first;
  std::vector<std::uint8_t> bytes;
  for (auto token = first; token != tokens.end(); ++token) bytes.push_back(ByteOf(*token));
  return bytes;
}

void ReadPreparsed(const std::string& text, WindowsCollection& collection) {
  static const std::regex field(R"(^pp_data->(\S+)\s*=\s*(-?(?:0x)?[0-9A-Fa-f]+)\s*$)");
  static const std::regex path(R"re(^dev->path\s*=\s*"([^"]*)")re");
  for (const std::string& line : Lines(text)) {
    std::smatch match;
    if (std::regex_search(line, match, field)) {
      collection.preparsed[match[1]] = std::stoll(match[2], nullptr, 0);
    } else if (std::regex_search(line, match, path)) {
      std::string lower = match[1];
      std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
      static const std::regex col("&col([0-9]{2})");
      std::smatch number;
      if (std::regex_search(lower, number, col)) collection.collectionNumber = std::stoi(number[1]);
      const std::string withoutCol = std::regex_replace(lower, col, "");
      const auto begin = withoutCol.find('#') + 1;
      collection.interfaceName = withoutCol.substr(begin, withoutCol.find('#', begin) - begin);
    }
  }
  if (collection.interfaceName.empty()) throw std::runtime_error(collection.name + ".pp_data names no device path");
}

}  // namespace

long long WindowsCollection::Preparsed(const std::string& field) const {
  const auto found = preparsed.find(field);
  if (found == preparsed.end()) throw std::out_of_range(name + ".pp_data has no " + field);
  return found->second;
}

std::vector<std::uint8_t> DescriptorBytesOf(const std::string& text) {
  std::vector<std::uint8_t> listed;
  for (const std::string& line : Lines(text)) {
    const std::vector<std::uint8_t> bytes = ListedBytes(line);
    listed.insert(listed.end(), bytes.begin(), bytes.end());
  }
  if (!listed.empty()) return listed;
  std::vector<std::uint8_t> trailing;
  for (const std::string& line : Lines(text)) {
    const std::vector<std::uint8_t> bytes = TrailingPairs(line);
    trailing.insert(trailing.end(), bytes.begin(), bytes.end());
  }
  return trailing;
}

std::vector<WindowsCollection> ReadWindowsCorpus(const std::string& folder) {
  std::vector<WindowsCollection> corpus;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".pp_data") continue;
    WindowsCollection collection;
    collection.name = entry.path().stem().string();
    ReadPreparsed(ReadText(entry.path()), collection);
    auto descriptor = entry.path();
    descriptor.replace_filename(collection.name + "_real.rpt_desc");
    collection.descriptor = DescriptorBytesOf(ReadText(descriptor));
    corpus.push_back(std::move(collection));
  }
  std::sort(corpus.begin(), corpus.end(), [](const WindowsCollection& a, const WindowsCollection& b) {
    return std::tie(a.interfaceName, a.collectionNumber) < std::tie(b.interfaceName, b.collectionNumber);
  });
  return corpus;
}
