"""Start-up benchmark: the time from starting a program to its main window
mapped and drawn, for pillwerk and for a C program that opens the same
window made directly with GTK+ (bench-support/calculator_form_start), both
started through the same launcher on the same display, interleaved.

The programs write the moments of their steps when KQ_TIMESTAMPS names a
file (Common/Linux/StepTimestamps.c, CLOCK_MONOTONIC): "drawn" follows the
first expose of the main window once its redraw has run and a round trip to
the X server has made sure the server has drawn it. pillwerk also writes
the loader's steps, which give the loader's share. The start is the moment
just before this script starts the launcher. The resident memory of each
process is read from /proc half a second after "drawn": all of it, and the
part in the program's own 32-bit address space (the mappings below 4 GiB).
Under qemu-i386 the rest is the emulator's: its translated code, its heap
and its own libraries; run natively, the two figures are the same. The
processor time each process has used by then is read from /proc as well: on
a loaded machine it says more about the cost of the start than the time to
the drawing does.

With NO_THP=1 the launcher and what it starts run without transparent huge
pages (prctl PR_SET_THP_DISABLE, set in the child before it executes the
launcher, inherited from there): qemu-i386 asks for huge pages for its
translation buffer, which then grows in steps of 2 MiB.

Prints medians with the spread (lowest to highest) and the ratios."""

import ctypes
import os
import statistics
import subprocess
import sys
import tempfile
import time

RSS_SETTLE_SECONDS = 0.5
DRAWN_TIMEOUT_SECONDS = 120
PR_SET_THP_DISABLE = 41
LIBC = ctypes.CDLL(None, use_errno=True)


def read_stamps(path):
    stamps = {}
    try:
        with open(path) as f:
            for line in f:
                parts = line.split()
                if len(parts) == 2:
                    stamps[parts[0]] = int(parts[1])
    except FileNotFoundError:
        pass
    return stamps


def resident_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise RuntimeError("no VmRSS")


def own_resident_kib(pid):
    """The resident memory of the mappings below 4 GiB."""
    total, below = 0, False
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            first = line.split(maxsplit=1)[0]
            if "-" in first and not first.endswith(":"):
                below = int(first.split("-")[0], 16) < 1 << 32
            elif first == "Rss:" and below:
                total += int(line.split()[1])
    return total


def processor_ms(pid):
    """User and system time of the process so far."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) * 1000 / os.sysconf("SC_CLK_TCK")


def without_huge_pages():
    if LIBC.prctl(PR_SET_THP_DISABLE, 1, 0, 0, 0) != 0:
        raise OSError(ctypes.get_errno(), "prctl(PR_SET_THP_DISABLE)")


def run_once(launcher, program, folder, no_thp):
    stamps_path = os.path.join(folder, "stamps")
    log_path = os.path.join(folder, "log")
    if os.path.exists(stamps_path):
        os.remove(stamps_path)
    env = dict(os.environ, KQ_TIMESTAMPS=stamps_path, KQ_ERROR_REPORT="ok")
    with open(log_path, "w") as log:
        start = time.monotonic_ns() // 1000
        process = subprocess.Popen([launcher, program], env=env, stdout=log, stderr=log,
                                   preexec_fn=without_huge_pages if no_thp else None)
        try:
            deadline = time.monotonic() + DRAWN_TIMEOUT_SECONDS
            while "drawn" not in read_stamps(stamps_path):
                if process.poll() is not None or time.monotonic() > deadline:
                    with open(log_path) as f:
                        output = f.read()
                    raise RuntimeError(f"{program} drew no window "
                                       f"(exit status {process.poll()}):\n{output}")
                time.sleep(0.01)
            time.sleep(RSS_SETTLE_SECONDS)
            rss = resident_kib(process.pid)
            own = own_resident_kib(process.pid)
            processor = processor_ms(process.pid)
        finally:
            process.terminate()
            try:
                process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
    stamps = read_stamps(stamps_path)
    result = {"total": stamps["drawn"] - start, "rss": rss, "own": own, "processor": processor}
    if "ready" in stamps:
        result["loader"] = stamps["ready"] - stamps["loader"]
        result["reading"] = stamps["read"] - stamps["loader"]
        result["linking"] = stamps["linked"] - stamps["read"]
        result["resources"] = stamps["ready"] - stamps["linked"]
    return result


def summary(values, unit_divisor, unit):
    median = statistics.median(values) / unit_divisor
    return (median, f"{median:8.1f} {unit} (spread {min(values) / unit_divisor:.1f}"
                    f" to {max(values) / unit_divisor:.1f})")


def main():
    launcher, pillwerk, baseline = sys.argv[1:4]
    runs = int(os.environ.get("RUNS", "10"))
    no_thp = os.environ.get("NO_THP") == "1"
    programs = {"C GTK+ program": baseline, "pillwerk": pillwerk}
    results = {name: [] for name in programs}
    with tempfile.TemporaryDirectory() as folder:
        for round_number in range(runs):
            # Interleaved, the order alternating from round to round.
            order = list(programs) if round_number % 2 == 0 else list(reversed(programs))
            for name in order:
                results[name].append(run_once(launcher, programs[name], folder, no_thp))

    print(f"start to main window drawn, {runs} runs each, interleaved"
          f"{', without transparent huge pages' if no_thp else ''}:")
    medians = {}
    for name in programs:
        medians[name], text = summary([r["total"] for r in results[name]], 1000, "ms")
        print(f"  {name:16} {text}")
    ratio = medians["pillwerk"] / medians["C GTK+ program"]
    print(f"  ratio pillwerk / C: {ratio:.2f} (target <= 1.25: "
          f"{'met' if ratio <= 1.25 else 'MISSED'})")

    print("processor time of each process by the time its memory is read:")
    processor = {}
    for name in programs:
        processor[name], text = summary([r["processor"] for r in results[name]], 1, "ms")
        print(f"  {name:16} {text}")
    print(f"  ratio pillwerk / C: {processor['pillwerk'] / processor['C GTK+ program']:.2f}")

    print("pillwerk's loader (from the loader's start to the image ready to run):")
    loader, text = summary([r["loader"] for r in results["pillwerk"]], 1000, "ms")
    print(f"  all steps        {text}, {100 * loader / medians['pillwerk']:.1f} % of the start")
    for step, what in (("reading", "reading and placing the members"),
                       ("linking", "applying the fix-ups"),
                       ("resources", "resources and options")):
        print(f"  {what:32} {summary([r[step] for r in results['pillwerk']], 1000, 'ms')[1]}")

    print("resident memory half a second after drawing (both under the same launcher):")
    memory_difference(results, programs, "rss")
    print("  of that in the program's own address space (below 4 GiB):")
    memory_difference(results, programs, "own")


def memory_difference(results, programs, key):
    """Prints each program's resident memory of one kind and how much more
    pillwerk uses than the C program, against the 4 MiB target."""
    medians = {}
    for name in programs:
        medians[name], text = summary([r[key] for r in results[name]], 1024, "MiB")
        print(f"  {name:16} {text}")
    more = medians["pillwerk"] - medians["C GTK+ program"]
    print(f"  pillwerk uses {more:.1f} MiB more (target <= 4 MiB: "
          f"{'met' if more <= 4 else 'MISSED'})")

if __name__ == "__main__":
    main()
