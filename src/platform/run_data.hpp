// Where the zero-initialised data that every run writes is kept. The first
// write to a page of such data costs the run a page fault, about as much as
// ten system calls, so the text files' buffers, the record with its
// polynomial values and the number scanner are gathered in one section,
// which the static Linux program's link places at the very start of the
// zero-initialised data, in the order of its parts (cmake/run_data.ld).
// There they begin on the page that the loader has already written, and the
// data that no normal run touches (the alternate signal stack, the report
// buffers) lies beyond them. Elsewhere the parts only join the usual
// zero-initialised data.
#pragma once

#if defined(__ELF__)
#define VKRT_RUN_DATA(part) [[gnu::section(".bss.vorkane_run." #part)]]
#else
#define VKRT_RUN_DATA(part)
#endif
