#!/usr/bin/env bash
# Starts the launcher from the build folder given as $1, over the demo catalogue
# and with a throwaway settings folder, so trying it changes nothing of the user's.
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
bin="$build/bin/quorlin"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/quorlin-demo.XXXXXX")
export XDG_CONFIG_HOME="$scratch/config"
mkdir -p "$XDG_CONFIG_HOME"
if [ -d "$here/demo/share" ]; then
    export XDG_DATA_DIRS="$here/demo/share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}"
fi
args=()
if [ -d "$here/demo/root" ]; then
    args+=(--root "$here/demo/root")
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    shot="$scratch/quorlin.png"
    echo "No display found: saving a screenshot of the launcher instead."
    QT_QPA_PLATFORM=offscreen "$bin" "${args[@]}" --screenshot "$shot"
    echo "Screenshot saved to $shot"
    exit 0
fi
echo "Settings for this run live in $scratch (press F4 to show or hide the launcher)."
exec "$bin" "${args[@]}"
