// The stack walk over _Unwind_Backtrace: each frame's instruction pointer is
// compared with the walk's own return address until it is met; from then on
// every frame, the walk's caller first, is handed to the visitor.
#include "diagnostics/stack_walk.hpp"

#include <unwind.h>

namespace vkrt {

namespace {

struct Walk {
    uintptr_t start;
    FrameVisitor visit;
    void* context;
    bool started = false;
    bool stopped = false;
    bool outermost = false;
};

_Unwind_Reason_Code visit_frame(_Unwind_Context* unwind, void* argument) {
    Walk& walk = *static_cast<Walk*>(argument);
    int before_instruction = 0;
    const uintptr_t ip = _Unwind_GetIPInfo(unwind, &before_instruction);
    if (ip == 0) {  // no caller: this is the outermost frame
        walk.outermost = true;
        return _URC_END_OF_STACK;
    }
    if (!walk.started) {
        if (ip != walk.start) return _URC_NO_REASON;
        walk.started = true;
    }
    const uintptr_t code_address = before_instruction ? ip : ip - 1;
    if (walk.visit != nullptr && !walk.visit(code_address, walk.context)) {
        walk.stopped = true;
        return _URC_END_OF_STACK;
    }
    return _URC_NO_REASON;
}

}  // namespace

__attribute__((noinline)) WalkEnd walk_stack(FrameVisitor visit, void* context) {
    // The caller's frame is the one that returns to this address.
    Walk walk{reinterpret_cast<uintptr_t>(__builtin_return_address(0)), visit, context};
    const _Unwind_Reason_Code end = _Unwind_Backtrace(visit_frame, &walk);
    if (walk.stopped) return WalkEnd::stopped;
    if (!walk.started) return WalkEnd::failed;
    return walk.outermost || end == _URC_END_OF_STACK ? WalkEnd::outermost : WalkEnd::failed;
}

namespace {

bool end_at_first_frame(uintptr_t, void*) { return false; }

}  // namespace

// One frame is enough: the unwinder's own set-up happens on its first use,
// whatever the depth of the walk.
void prepare_stack_walk() { walk_stack(end_at_first_frame, nullptr); }

}  // namespace vkrt
