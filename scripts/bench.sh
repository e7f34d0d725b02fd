#!/usr/bin/env bash
# Runs every benchmark of the build folder given as $1 and prints their figures,
# then Quorlin beside rofi on an X server of their own (bench/side_by_side.py).
# rofi and the X tools that comparison needs are installed here, not by
# `make run` or `make test`; without them it is skipped with a note.
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
status=0
# A runtime folder of the benches' own: a machine without a session (CI, a
# root shell) has none, and a desktop's would be shared with a running launcher.
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
for b in "$build"/bench/bench_*; do
    [ -f "$b" ] && [ -x "$b" ] || continue
    echo "== $(basename "$b")"
    QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$b" || status=1
done

echo "== side_by_side (Quorlin beside rofi)"
bash "$here/scripts/install-deps.sh" --bench || true
if ! command -v rofi >/dev/null || ! command -v Xvfb >/dev/null ||
    ! /usr/bin/python3 -c 'import PIL, Xlib' 2>/dev/null; then
    echo "skipped: rofi, Xvfb or python3-xlib could not be installed (scripts/install-deps.sh --bench)"
else
    /usr/bin/python3 "$here/bench/side_by_side.py" "$build" || status=1
fi
exit $status
