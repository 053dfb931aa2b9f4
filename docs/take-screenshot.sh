#!/usr/bin/env bash
# Takes docs/screenshot.png: starts velmora under Xvfb with fresh settings,
# renders with F5 and captures the window.
#   bash docs/take-screenshot.sh [path/to/velmora]
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/release/src/gui/velmora}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/shot.sh" <<INNER
#!/usr/bin/env bash
export XDG_CONFIG_HOME="$work/config"
"$program" &
pid=\$!
sleep 4
xdotool mousemove 225 200 click 1   # focus: there is no window manager
sleep 1
xdotool key F5
sleep 5
import -window root "$work/root.png"
kill \$pid
INNER
chmod +x "$work/shot.sh"
xvfb-run -a -s "-screen 0 800x640x24" "$work/shot.sh"
# Without a window manager the 450 x 425 window sits at the top-left corner.
convert "$work/root.png" -crop 450x425+0+0 +repage docs/screenshot.png
echo "Wrote docs/screenshot.png"
