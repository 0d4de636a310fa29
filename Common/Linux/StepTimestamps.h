/* Timestamps of the steps of a start, written on request for the start-up
   benchmark. With the environment variable KQ_TIMESTAMPS naming a file, each
   step appends one line "<step> <microseconds>" to it, the microseconds read
   from CLOCK_MONOTONIC (one clock for all processes of the machine, also
   under emulation), so that a benchmark can set them against the moment it
   started the program. Without the variable every call returns at once.
   Plain C, so that the C programs the runtime is compared with write the
   same steps the same way. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

/* Reads KQ_TIMESTAMPS once; later calls do nothing. */
void kq_timestamps_init(void);

/* Appends "<step> <now>" when timestamps were asked for. */
void kq_timestamp(const char *step);

/* When timestamps were asked for: writes the step "drawn" once the first
   toplevel window has been exposed, its redraw has run and the X server has
   carried out the drawing (a round trip after it). Needs GTK+ initialised. */
void kq_timestamp_when_first_drawn(void);

#ifdef __cplusplus
}
#endif
