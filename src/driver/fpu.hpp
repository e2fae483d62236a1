// The floating-point unit at start-up.
#pragma once

namespace vkrt {

// x87: 64-bit significands, round to nearest, every exception masked, flags
// clear. SSE: round to nearest, every exception masked, flags clear.
void reset_floating_point_unit();

}  // namespace vkrt
