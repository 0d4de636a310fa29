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
and its own libraries; run natively, the two figures are the same.

Prints medians with the spread (lowest to highest) and the ratios."""

import os
import statistics
import subprocess
import sys
import tempfile
import time

RSS_SETTLE_SECONDS = 0.5
DRAWN_TIMEOUT_SECONDS = 120


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


def run_once(launcher, program, folder):
    stamps_path = os.path.join(folder, "stamps")
    log_path = os.path.join(folder, "log")
    if os.path.exists(stamps_path):
        os.remove(stamps_path)
    env = dict(os.environ, KQ_TIMESTAMPS=stamps_path, KQ_ERROR_REPORT="ok")
    with open(log_path, "w") as log:
        start = time.monotonic_ns() // 1000
        process = subprocess.Popen([launcher, program], env=env, stdout=log, stderr=log)
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
        finally:
            process.terminate()
            try:
                process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
    stamps = read_stamps(stamps_path)
    result = {"total": stamps["drawn"] - start, "rss": rss, "own": own}
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
    programs = {"C GTK+ program": baseline, "pillwerk": pillwerk}
    results = {name: [] for name in programs}
    with tempfile.TemporaryDirectory() as folder:
        for round_number in range(runs):
            # Interleaved, the order alternating from round to round.
            order = list(programs) if round_number % 2 == 0 else list(reversed(programs))
            for name in order:
                results[name].append(run_once(launcher, programs[name], folder))

    print(f"start to main window drawn, {runs} runs each, interleaved:")
    medians = {}
    for name in programs:
        medians[name], text = summary([r["total"] for r in results[name]], 1000, "ms")
        print(f"  {name:16} {text}")
    ratio = medians["pillwerk"] / medians["C GTK+ program"]
    print(f"  ratio pillwerk / C: {ratio:.2f} (target <= 1.25: "
          f"{'met' if ratio <= 1.25 else 'MISSED'})")

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
