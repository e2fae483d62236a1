/* The zero-initialised data that every run writes (src/platform/run_data.hpp)
   ahead of the rest, right after the initialised data, from the page that
   the loader has already written on. A run writes only the first bytes of
   the text files' buffers (8 KiB each) and of the number scanner (11 KiB),
   but the whole record (9 KiB): in this order the first buffer starts on
   the loader's page and the second, two pages on, holds the output; the
   record and the scanner's first bytes fill the three pages after the
   buffers. The C run-time start file's own zero-initialised data (a flag
   its exit code sets) comes first, so that it stays on the loader's page.
   The ends of the record's part are named for the program's entry point,
   which has its pages mapped in advance (src/driver/first_pages.cpp).
   Inserted into the linker's default script, whose layout stays as it is. */
SECTIONS
{
  .bss.vorkane_run (NOLOAD) :
  {
    *crtbegin*.o(.bss)
    *(.bss.vorkane_run.units)
    vorkane_run_record_begin = .;
    *(.bss.vorkane_run.record)
    vorkane_run_record_end = .;
    *(.bss.vorkane_run.scanner)
  }
  /* Where the GOT starts, for the program's entry point, which has the
     pages every run writes mapped in advance (src/driver/first_pages.cpp). */
  vorkane_got_begin = ADDR(.got);
}
INSERT BEFORE .bss;
