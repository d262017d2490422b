#!/usr/bin/env bash
# Starts the application under a virtual X server of its own, then ends that server, as when a
# remote session drops: Qt's display connection then ends the process at once with exit(1),
# without quitting. It ends the server with an image shown, while a shapefile import runs and
# while contours are computed (each case checks that a worker thread was busy). A case passes
# when the process ends with that status and its error output holds no sanitizer report (nothing
# that outlives the exit may reach what the exit has destroyed).
#   tests/quorvane/display-ends-test.sh path/to/quorvane
# Needs Xvfb, xdotool and perl (apt-get install -y xvfb xdotool).
set -euo pipefail
app=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/cases-within-a-time-limit.sh"
if [ -z "${DISPLAY_ENDS_CASE:-}" ]; then
  cases=(image-shown import-running contours-running)
  share_time_limit "${#cases[@]}"
  failures=0
  for name in "${cases[@]}"; do
    # Each case in a temporary folder of its own, which it must leave as it found it.
    case_tmp=$(mktemp -d)
    output=$(TMPDIR=$case_tmp DISPLAY_ENDS_CASE=$name run_within_limit "$name" "$0" "$@" 2>&1) || true
    echo "$output"
    grep -qx "ok   $name" <<<"$output" || failures=$((failures + 1))
    if [ -n "$(ls -A "$case_tmp")" ]; then
      echo "FAIL $name (left $(ls -A "$case_tmp" | tr '\n' ' ')in its temporary folder)"
      failures=$((failures + 1))
    fi
    rm -rf "$case_tmp"
  done
  [ "$failures" -eq 0 ]
  exit
fi
export QT_QPA_PLATFORM=xcb
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
scratch=$(mktemp -d)
# Stopped for taking too long, it still removes its scratch folder.
trap 'exit 143' TERM
name=$DISPLAY_ENDS_CASE

source "$here/windows-under-xdotool.sh"
source "$here/x-server-of-its-own.sh"
stop_x_server_and_remove_on_exit "$scratch"
start_x_server

# A shapefile of COUNT two-point lines across 1000 x 1000 units, without attributes.
make_shapefile() {
  perl -e '
    my ($count, $path) = @ARGV;
    open(my $out, ">:raw", $path) or die "$path: $!";
    my $record = 8 + 4 + 32 + 12 + 32;
    print $out pack("N7 V2 d<8", 9994, 0, 0, 0, 0, 0, (100 + $count * $record) / 2, 1000, 3, 0, 0, 1000, 1000, 0, 0, 0, 0);
    srand(82);
    for my $n (1 .. $count) {
      my ($x0, $y0, $x1, $y1) = map { rand(1000) } 1 .. 4;
      my ($left, $right) = sort { $a <=> $b } ($x0, $x1);
      my ($bottom, $top) = sort { $a <=> $b } ($y0, $y1);
      print $out pack("N2 V d<4 V3 d<4", $n, ($record - 8) / 2, 3, $left, $bottom, $right, $top, 1, 2, 0, $x0, $y0, $x1, $y1);
    }' "$@"
}

# A height file of SIDE x SIDE cells rising in whole metres to the far corner: its steps keep
# the computing threads busy for a good part of a second.
make_heights() {
  perl -e '
    my ($side, $path) = @ARGV;
    open(my $out, ">", $path) or die "$path: $!";
    for my $y (0 .. $side - 1) { print $out join("\t", map { int(1.4 * ($_ + $y)) } 0 .. $side - 1), "\n" }' "$@"
}

# Chooses FILE in the open panel titled TITLE that the application shows.
choose_in_panel() {
  local pid=$1 title=$2 file=$3 panel
  panel=$(shown_window "$pid" "$title") || return 1
  xdotool windowfocus --sync "$panel" key ctrl+a type --delay 20 "$file"
  keys_to "$panel" Return
}

# Waits until at least COUNT threads of the process named NAME run at once: the work is in flight.
wait_for_work() {
  local pid=$1 name=$2 count=$3 tries
  for tries in $(seq 3000); do
    [ "$(ps -L -o comm=,stat= -p "$pid" | grep -c "^$name *R")" -ge "$count" ] && return 0
    sleep 0.02
  done
  return 1
}

nothing_more() { :; }
# File > Import Shapefile... (the menu opens on "New"; "Revert to Saved" is disabled).
import_lines() {
  make_shapefile 1000000 "$scratch/roads.shp"
  after_welcome "$2"
  keys_to "$1" alt+f Down Down Down Down Down Down Down Return
  choose_in_panel "$2" "Import Shapefile" "$scratch/roads.shp" && wait_for_work "$2" "Thread (pooled)" 1
}
# The contour layer's menu > Import Height Map...; the computation shares its levels out.
import_heights() {
  make_heights 2000 "$scratch/heights.txt"
  after_welcome "$2"
  xdotool windowfocus --sync "$1" mousemove --window "$1" 400 400 click 3
  sleep 1
  xdotool key Down Down Return
  choose_in_panel "$2" "Import Height Map" "$scratch/heights.txt" && wait_for_work "$2" contours $(($(nproc) > 1 ? 2 : 1))
}

case $name in
  image-shown) file=$here/field.png steps=nothing_more title=Untitled ;;
  import-running) file=$here/field.png steps=import_lines title=Untitled ;;
  contours-running) file=$here/terrain.qvnl steps=import_heights title=terrain ;;
esac
cp -R "$file" "$scratch/"
HOME="$scratch" XDG_CONFIG_HOME="$scratch/.config" XDG_DATA_HOME="$scratch/.local/share" XDG_RUNTIME_DIR="$scratch/run" \
  "$app" "$scratch/$(basename "$file")" >"$scratch/log" 2>&1 &
pid=$!
stepped=1
window=$(shown_window "$pid" "$title") || true
[ -n "$window" ] && { "$steps" "$window" "$pid" && stepped=0 || stepped=$?; }
kill "$x_server"
status=0
note_step "waiting for the application to end"
wait "$pid" || status=$?
if [ "$stepped" -ne 0 ] || [ "$status" -ne 1 ] || grep -qE "Sanitizer|runtime error:" "$scratch/log"; then
  echo "FAIL $name (exit status $status${window:+, window $window shown}, steps $stepped)"
  tail -40 "$scratch/log"
  exit 1
fi
echo "ok   $name"
