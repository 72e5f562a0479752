#!/usr/bin/env bash
# Two runs into one directory, one of them interrupted: the other's files
# must all survive. Not part of the test suite (it takes a while, and needs
# strace); the suite has the same race over the fake host.
#
#   bash tests/overlapping_runs.sh [RUNS] [BINARY]
#
# Each run: A starts extracting the demo image with -d, under strace, which
# holds its first write (the first file's data) for a second; B extracts the
# same image into the same directory meanwhile, to its end, putting its own
# copy at every name; then A gets SIGINT, SIGTERM or SIGHUP at a random
# moment of that hold. Every name must then still hold a
# whole file. Prints how many runs lost a file; exits 1 when any did.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-200}
binary=$(realpath "${2:-build/d88unpack}")
demo=$PWD/examples/demo.d88
command -v strace >/dev/null || { echo "overlapping_runs: needs strace" >&2; exit 2; }

base=$(mktemp -d "${TMPDIR:-/tmp}/d88unpack-overlap.XXXXXX")
trap 'rm -rf "$base"' EXIT
mkdir "$base/reference"
(cd "$base/reference" && "$binary" "$demo" -d >/dev/null 2>&1) || true
signals=(INT TERM HUP)
lost_runs=0
interrupted=0
for ((i = 1; i <= runs; i++)); do
    dir=$base/run
    rm -rf "$dir"
    mkdir "$dir"
    (
        cd "$dir"
        # Job control, so that the signal is not ignored in the background.
        set -m
        strace -qq -f -o /dev/null -e trace=write -e inject=write:delay_enter=1000000:when=1 \
            "$binary" "$demo" -d >/dev/null 2>&1 &
        a=$!
        sleep 0.1
        "$binary" "$demo" -d >/dev/null 2>&1 || true
        sleep "0.$((RANDOM % 25))"
        # The signal goes to A itself, not to strace.
        pid=$(pgrep -P "$a" -f "$binary" || true)
        [[ -n $pid ]] && kill -"${signals[i % 3]}" "$pid" 2>/dev/null && echo interrupted >"$base/rc"
        wait "$a" || true
    ) 2>/dev/null
    if [[ -f $base/rc ]]; then
        interrupted=$((interrupted + 1))
        rm -f "$base/rc"
    fi
    if ! diff -r "$base/reference" "$dir" >/dev/null; then
        lost_runs=$((lost_runs + 1))
        echo "run $i: $(diff -r "$base/reference" "$dir" | head -3 | tr '\n' ' ')"
    fi
done
echo "overlapping_runs: $runs runs, $interrupted interrupted, $lost_runs lost a file or left one"
((lost_runs == 0))
