// Walking the call stack with the unwinder of the C++ run-time
// (_Unwind_Backtrace). No allocation and no symbol lookup: the program's frame
// descriptions are found through the .eh_frame_hdr table, so a signal handler
// may walk even before any other walk has run.
#pragma once

#include <cstdint>

namespace vkrt {

// Called for each frame with its code address; returns false to end the walk.
using FrameVisitor = bool (*)(uintptr_t code_address, void* context);

enum class WalkEnd {
    outermost,  // every frame up to the outermost one was visited
    stopped,    // the visitor ended the walk
    failed,     // the unwinder gave up, or the starting frame was not found
};

// Visits the frames from the caller of this function outward; the frames
// inside the walk itself are passed over. A frame's code address is one less
// than its return address, a point inside its call instruction; for a frame
// interrupted by a signal it is the interrupted instruction itself.
WalkEnd walk_stack(FrameVisitor visit, void* context);

// A walk of one frame, so that whatever the unwinder sets up on its first
// use is done before a later walk needs it.
void prepare_stack_walk();

}  // namespace vkrt
