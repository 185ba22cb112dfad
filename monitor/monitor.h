// The interactive monitor: stops the machine, inspects and changes it,
// single-steps it, and keeps breakpoints and watchpoints.
#pragma once

#include <cstdint>

// Entered by the processor with reason 1 when a stop is requested. Returns 1
// when the user has left the monitor, 0 when it was already open.
int monitorEnter(int reason, uint16_t ip);
