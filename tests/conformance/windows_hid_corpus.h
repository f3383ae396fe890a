// The corpus of real HID collections in ../shared/hid-descriptors: each
// device's report descriptor and what Windows' HID parser made of it, read
// as the files are (see their README).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct WindowsCollection {
  std::string name;  // the files' stem, e.g. 046D_C52F_0001_000C
  // The device interface it belongs to: its path without "&colNN" and instance.
  std::string interfaceName;
  int collectionNumber = 0;  // NN of "&colNN"; 0 for a device of one collection
  // The descriptor bytes the file lists: of this collection alone when the
  // device has several.
  std::vector<std::uint8_t> descriptor;
  // Every "pp_data->X = value" line by X, e.g. "caps_info[0]->ReportByteLength".
  std::map<std::string, long long> preparsed;

  // Throws std::out_of_range naming the file when Windows' view lacks it.
  long long Preparsed(const std::string& field) const;
};

// Every collection in the folder, ordered by interface and collection
// number; throws std::runtime_error for a file it cannot read.
std::vector<WindowsCollection> ReadWindowsCorpus(const std::string& folder);

// The descriptor bytes of a .rpt_desc text. Files list them either as
// 0xNN tokens, one item or a plain run a line (comments after "//", and
// other text such as a dump the listing came from, are passed over), or,
// without any such line, as the two-digit hex pairs that end each line.
std::vector<std::uint8_t> DescriptorBytesOf(const std::string& text);
