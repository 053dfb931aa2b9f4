#!/usr/bin/env bash
# Renders a long animation in frame ranges with GNU parallel, on this
# machine's cores or on several hosts that share the frames folder:
#   bash scripts/render-farm.sh DOC.vmr FOLDER [options] [-- more anim options]
# Options:
#   --chunk N           frames per job (default 25)
#   --jobs N            jobs at once on each host (default: one per core)
#   --sshlogin HOSTS    GNU parallel's host list, such as "8/render1,8/render2,:"
#                       (":" is this machine); every host needs velmora-cli and
#                       the same paths to the document and the folder
#   --video OUT         after the frames, encode them into OUT (.mp4, .webm, .mkv)
#   --fps N, --quality Q  passed on with --video
# Every job runs with --resume, so running the same command again after an
# interruption renders only the frames still missing or incomplete. Ranges
# write disjoint frame files and the script is replaced whole, so the folder
# ends as after one render. VELMORA_CLI names the program (default: velmora-cli).
set -euo pipefail

cli="${VELMORA_CLI:-velmora-cli}"
usage() { sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0" >&2; exit 1; }

[ $# -ge 2 ] || usage
doc="$(realpath -- "$1")"
folder="$(realpath -m -- "$2")"
shift 2
chunk=25
jobs=""
sshlogin=""
video=()
extra=()
while [ $# -gt 0 ]; do
  case "$1" in
    --chunk) chunk="${2:?--chunk needs a number}"; shift 2 ;;
    --jobs) jobs="${2:?--jobs needs a number}"; shift 2 ;;
    --sshlogin) sshlogin="${2:?--sshlogin needs hosts}"; shift 2 ;;
    --video) video+=(--video "$(realpath -m -- "${2:?--video needs a file}")"); shift 2 ;;
    --fps|--quality) video+=("$1" "${2:?$1 needs a value}"); shift 2 ;;
    --) shift; extra=("$@"); break ;;
    *) usage ;;
  esac
done
case "$chunk" in ''|*[!0-9]*|0) echo "render-farm: --chunk must be a whole number above 0." >&2; exit 1 ;; esac
if [ ${#video[@]} -gt 0 ] && [[ " ${video[*]} " != *" --video "* ]]; then
  echo "render-farm: --fps and --quality go with --video." >&2
  exit 1
fi
command -v parallel >/dev/null || { echo "render-farm: GNU parallel is not installed." >&2; exit 1; }

total="$("$cli" info "$doc" | grep -o '"totalFrames":[0-9]*' | cut -d: -f2)"
if [ -z "$total" ] || [ "$total" -lt 1 ]; then
  echo "render-farm: $doc has no animation frames." >&2
  exit 1
fi
mkdir -p -- "$folder"

# FIRST-LAST for each job; the last range ends at the last frame.
ranges() {
  local first
  for ((first = 1; first <= total; first += chunk)); do
    echo "$first-$((first + chunk - 1 < total ? first + chunk - 1 : total))"
  done
}

# GNU parallel rewrites {}, {#}, {.} and the like wherever they stand in its
# command line, so no name may stand there: a folder "x{}" would become "x1-25".
# The job is a function with every name quoted into it, and the command line
# holds only the function and the range.
job="$(printf '%q ' "$cli" anim "$doc" --folder "$folder" --resume)--frames \"\$1\""
[ ${#extra[@]} -gt 0 ] && job+=" $(printf '%q ' "${extra[@]}")"
eval "velmora_farm_job() { $job; }"
export -f velmora_farm_job

args=(--will-cite --halt now,fail=1 --line-buffer)
[ -n "$jobs" ] && args+=(--jobs "$jobs")
[ -n "$sshlogin" ] && args+=(--sshlogin "$sshlogin" --env velmora_farm_job)
echo "render-farm: $total frames in ranges of $chunk into $folder" >&2
ranges | parallel "${args[@]}" velmora_farm_job {}

# The frames are all there now: a resumed render keeps every one of them and
# only encodes the video (and writes the script once more).
if [ ${#video[@]} -gt 0 ]; then
  "$cli" anim "$doc" --folder "$folder" --resume "${video[@]}" "${extra[@]}"
fi
