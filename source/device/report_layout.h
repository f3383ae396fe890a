// Reports as Windows takes them: the report ID in byte 0, then the payload,
// cut or padded with zeros to the report's length (a report of length 0
// takes nothing, not even its ID).
#pragma once

#include <cstdint>

void LayOutReport(uint8_t reportId, const uint8_t* payload, uint32_t length, uint8_t* report, uint32_t reportLength);
