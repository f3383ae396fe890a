// The author's console: host commands that find a device and show what it
// sends, through the Xtra's own methods (see console_object.h).
#pragma once

#include <vector>

#include "host_commands.h"

// devices, controls, watch and help.
std::vector<CommandInfo> ConsoleCommands();

// Transcripts compare runs: watch then shows ~ for the times it saw.
void MaskWatchTimes();
