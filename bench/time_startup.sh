#!/bin/bash
# Whole-process start-up time of the program against a bare Qt window of the same size, in
# pairs (the bare window, then each program, in turn), so that a busy machine slows both.
#
#   xvfb-run -a bench/time_startup.sh GAME_DIR BARE_WINDOW PROGRAM [PROGRAM...]
#
# ROUNDS (default 21) sets the number of rounds. Prints each program's median time and the
# median, least and greatest of its times divided by the bare window's of the same round.
set -euo pipefail
if [ $# -lt 3 ]; then
    echo "usage: time_startup.sh GAME_DIR BARE_WINDOW PROGRAM [PROGRAM...]" >&2
    exit 2
fi
game=$1
bare=$2
shift 2
rounds=${ROUNDS:-21}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_RUNTIME_DIR=$scratch

now() { date +%s%N; }
for _ in $(seq "$rounds"); do
    start=$(now)
    "$bare" "$scratch/bare.bmp" 2>/dev/null
    line=$(( ($(now) - start) / 1000 ))
    for program in "$@"; do
        start=$(now)
        "$program" --game-dir "$game" --screenshot "$scratch/shot.bmp" 2>/dev/null
        line="$line $(( ($(now) - start) / 1000 ))"
    done
    echo "$line"
done | python3 -c '
import statistics, sys
rows = [[int(v) for v in line.split()] for line in sys.stdin if line.strip()]
names = sys.argv[1:]
print("bare window: median %d us" % statistics.median(r[0] for r in rows))
for i, name in enumerate(names, 1):
    ratios = sorted(r[i] / r[0] for r in rows)
    print("%s: median %d us, to the bare window %.2f (%.2f..%.2f), %d rounds" % (
        name, statistics.median(r[i] for r in rows), statistics.median(ratios), ratios[0],
        ratios[-1], len(rows)))
' "$@"
