/* The zero-initialised data that every run writes (src/platform/run_data.hpp)
   ahead of the rest, right after the initialised data, from the page that
   the loader has already written on. A run writes only the first bytes of
   the text files' buffers (8 KiB each) and of the number scanner (11 KiB),
   but the whole record (9 KiB): in this order the first buffer starts on
   the loader's page and the second, two pages on, holds the output; the
   record and the scanner's first bytes fill the three pages after the
   buffers. The C run-time start file's own zero-initialised data (a flag
   its exit code sets) comes first, so that it stays on the loader's page.
   Inserted into the linker's default script, whose layout stays as it is. */
SECTIONS
{
  .bss.vorkane_run (NOLOAD) :
  {
    *crtbegin*.o(.bss)
    *(.bss.vorkane_run.units)
    *(.bss.vorkane_run.record)
    *(.bss.vorkane_run.scanner)
  }
}
INSERT BEFORE .bss;
