# Sourced by the whole-process benchmarks: CPU ms (user+sys) and peak MiB of
# one child, from wait4's rusage; the median of a column of figures ($runs).
cpu() {
  python3 -c '
import os, sys
pid = os.fork()
if pid == 0:
    fd = os.open(os.devnull, os.O_WRONLY); os.dup2(fd, 1); os.dup2(fd, 2)
    os.execv(sys.argv[1], sys.argv[1:])
_, st, ru = os.wait4(pid, 0)
if os.waitstatus_to_exitcode(st) != 0: sys.exit("failed: " + " ".join(sys.argv[1:]))
print("%.1f %.1f" % ((ru.ru_utime + ru.ru_stime) * 1e3, ru.ru_maxrss / 1024))' "$@"
}
median() { sort -n | sed -n "$(((runs + 1) / 2))p"; }
