/* vorkane: heliocentric positions and velocities of the eight planets, Pluto
   and the Moon from the DE440 ephemeris, in the x87 80-bit extended format,
   bit for bit the results of the vorkane program.

   A handle holds an open data file (in the program's layout: 9104-byte
   records of 1138 little-endian binary64 values), the record last read and
   the polynomial values of the last evaluation. Handles are independent: each
   may be used from its own thread, one thread at a time per handle.

   Evaluation runs with the x87 set to 64-bit significands, rounding to
   nearest and every exception masked, whatever the caller's settings; the
   caller's control word is restored before returning. */
#ifndef VORKANE_H
#define VORKANE_H

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && defined(VORKANE_BUILDING_DLL)
#define VORKANE_API __declspec(dllexport)
#elif defined(__GNUC__) && !defined(_WIN32)
#define VORKANE_API __attribute__((visibility("default")))
#else
#define VORKANE_API
#endif

typedef struct vorkane_ephemeris vorkane_ephemeris;

enum vorkane_status {
    VORKANE_OK = 0,
    VORKANE_DATE_OUT_OF_RANGE,     /* above 2688976.5, below 2287184.5, infinite or NaN */
    VORKANE_RECORD_NOT_BRACKETING, /* the record's start and end dates leave out the date */
    VORKANE_RECORD_MISSING,        /* the file does not wholly hold the record */
    VORKANE_READ_FAILED            /* the read failed; errno tells why */
};

/* Opens the data file at `path` for reading (it is never created or
   written) and makes a handle for it in *eph. Returns 0, or an errno value
   with *eph set to NULL. The only call that allocates. */
VORKANE_API int vorkane_open(const char *path, vorkane_ephemeris **eph);

/* Closes the file and frees the handle; NULL is allowed. */
VORKANE_API void vorkane_close(vorkane_ephemeris *eph);

/* Julian date (TDB) to state[0..65]: six values per body, x y z (au) then
   x' y' z' (au/day), relative to the Sun, for Mercury, Venus, the Earth,
   Mars, Jupiter, Saturn, Uranus, Neptune, Pluto and the Moon; state[60..65]
   (the Sun) are 0. Reads the file only when the date leaves the record held.
   Returns VORKANE_OK, or another status with state[] left as it was. */
VORKANE_API int vorkane_state(vorkane_ephemeris *eph, long double date, long double state[66]);

/* The text of a status: for the date range, the bracket test and a missing
   record the words the program stops or fails with. Never NULL. */
VORKANE_API const char *vorkane_status_text(int status);

#ifdef __cplusplus
}
#endif

#endif
