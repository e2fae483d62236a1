/* The zero-initialised data that every run writes (src/platform/run_data.hpp)
   ahead of the rest, right after the initialised data: on the page that the
   loader has already written and the few that follow it. The C run-time
   start file's own zero-initialised data (a flag its exit code sets) comes
   first, so that it stays on that page too. Inserted into the linker's
   default script, whose layout stays as it is. */
SECTIONS
{
  .bss.vorkane_run (NOLOAD) : { *crtbegin*.o(.bss) *(.bss.vorkane_run) }
}
INSERT BEFORE .bss;
