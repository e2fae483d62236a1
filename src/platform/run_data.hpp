// Where the zero-initialised data that every run writes is kept. The first
// write to a page of such data costs the run a page fault, about as much as
// ten system calls, so the record buffer, the text files' buffers and the
// number scanner are gathered in one section, which the static Linux
// program's link places at the very start of the zero-initialised data
// (cmake/run_data.ld): there they share the page that the loader has already
// written, and the pages of the data that no run touches (the alternate
// signal stack, the report buffers) lie beyond them. Elsewhere the section
// only joins the usual zero-initialised data.
#pragma once

#if defined(__ELF__)
#define VKRT_RUN_DATA [[gnu::section(".bss.vorkane_run")]]
#else
#define VKRT_RUN_DATA
#endif
