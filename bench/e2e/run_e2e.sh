#!/usr/bin/env bash
# End-to-end speed of twinly-cli on a folder of photographs: build and find
# with one thread and with every core, beside the time djpeg alone needs to
# decode the same JPEGs at the DCT scales the build decodes them at.
#
#   bench/e2e/run_e2e.sh FOLDER [TWINLY_CLI]
#
# FOLDER is read with its subfolders. TWINLY_CLI defaults to the build tree's
# binary. Set EVAL_PAIRS to a scorer taking "META LOG --format dupslog" to
# also score the logs when FOLDER.meta holds the truth of the folder.
set -euo pipefail

folder="${1:?usage: run_e2e.sh FOLDER [TWINLY_CLI]}"
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
cli="${2:-$top/build/bin/twinly-cli}"
cores="$(nproc)"
[ -d "$folder" ] || { echo "no folder $folder" >&2; exit 2; }
[ -x "$cli" ] || { echo "no twinly-cli at $cli (build the target twinly-cli)" >&2; exit 2; }
for tool in djpeg rdjpgcom; do
  command -v "$tool" >/dev/null || { echo "needs $tool (package libjpeg-turbo-progs)" >&2; exit 2; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Runs twinly-cli, printing its wall time in seconds and, after a blank, the
# time the command itself reports (reading or comparing, without start-up).
timed_cli() {
  local start="$EPOCHREALTIME"
  "$cli" "$@" 2>"$work/stderr" >/dev/null || { cat "$work/stderr" >&2; exit 1; }
  local own
  own="$(sed -n 's/^twinly-cli: wrote .* in \([0-9.]*\) s.*/\1/p' "$work/stderr")"
  awk -v a="$start" -v b="$EPOCHREALTIME" -v own="$own" 'BEGIN { printf "%.2f %s", b - a, own }'
}
timed() {
  local start="$EPOCHREALTIME"
  "$@" >/dev/null
  awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.2f", b - a }'
}
rate() {  # count seconds
  awk -v n="$1" -v s="$2" 'BEGIN { if (s > 0) printf "%.1f", n / s; else printf "-" }'
}

echo "twinly-cli end to end: $folder ($cores cores, $("$cli" --version))"

# Build, one thread and every core; the two data files must be identical.
declare -A build_s
for t in 1 "$cores"; do
  build_s[$t]="$(timed_cli build "$folder" --recursive -o "$work/data-$t.dup" --threads "$t")"
done
cmp -s "$work/data-1.dup" "$work/data-$cores.dup" || echo "WARNING: data files differ by thread count"
info="$("$cli" info "$work/data-1.dup")"
records="$(sed -n 's/^Records: //p' <<<"$info")"
unreadable="$(sed -n 's/^Deleted or unreadable: //p' <<<"$info")"
echo "                     wall s   reading s  images/s"
for t in 1 "$cores"; do
  read -r wall own <<<"${build_s[$t]}"
  printf 'build  threads %-2s %8s %11s %9s  (%s images, %s unreadable)\n' \
    "$t" "$wall" "$own" "$(rate "$records" "$own")" "$records" "$unreadable"
done

# Find within the data file: every pair, at the default band and at 90 %.
pairs="$(awk -v n="$records" 'BEGIN { printf "%.0f", n * (n - 1) / 2 }')"
matches() { sed -n 's/^; Match total: //p' "$1"; }
echo "                     wall s comparing s   pairs/s"
find_row() {  # threads log label [options]
  local t="$1" log="$2" label="$3"
  shift 3
  read -r wall own <<<"$(timed_cli find "$work/data-1.dup" -o "$log" --threads "$t" "$@")"
  printf 'find   threads %-2s %8s %11s %9s  (%s pairs, %s %%: %s matches)\n' \
    "$t" "$wall" "$own" "$(rate "$pairs" "$own")" "$pairs" "$label" "$(matches "$log")"
}
for t in 1 "$cores"; do
  find_row "$t" "$work/find-$t.log" "98.0-100"
done
find_row "$cores" "$work/find-90.log" "90.0-100" --low 90

# The decode floor: each JPEG at the scale the build decodes it at (large
# images at the smallest of 1/2, 1/4, 1/8 keeping both sides >= 400, the
# others whole), timed with djpeg in one process and in one per core.
find "$folder" -type f -iregex '.*\.\(jpg\|jpeg\|jpe\|jif\)' -print0 |
  while IFS= read -r -d '' f; do
    size="$(rdjpgcom -verbose "$f" 2>/dev/null | sed -n 's/^JPEG image is \([0-9]*\)w \* \([0-9]*\)h.*/\1 \2/p')"
    [ -n "$size" ] || continue
    scale="$(awk -v size="$size" 'BEGIN {
      split(size, d, " "); w = d[1]; h = d[2]; r = w / h; q = h / w
      elongated = r > 4 || q > 4
      pre = ((r > 1.6 || q > 1.6) && w > 600 && h > 600) || (w >= 2000 && h >= 2000)
      s = 1
      if (!elongated && pre)
        for (k = 2; k <= 8; k *= 2)
          if (int((w + k - 1) / k) >= 400 && int((h + k - 1) / k) >= 400) s = k
      print s
    }')"
    printf '1/%s\0%s\0' "$scale" "$f"
  done >"$work/scales"
jpegs="$(( $(tr -cd '\0' <"$work/scales" | wc -c) / 2 ))"
summary="$(tr '\0' '\n' <"$work/scales" | sed -n 'p;n' | sort | uniq -c |
  awk '{ printf "%s%s at %s", sep, $1, $2; sep = ", " }')"
decode_all() {  # processes
  xargs -0 -P "$1" -n 32 sh -c \
    'while [ $# -gt 1 ]; do djpeg -scale "$1" -outfile /dev/null "$2"; shift 2; done' sh \
    <"$work/scales"
}
echo "                     wall s             images/s"
for p in 1 "$cores"; do
  s="$(timed decode_all "$p")"
  printf 'djpeg  procs   %-2s %8s %11s %9s  (%s JPEGs: %s)\n' \
    "$p" "$s" "" "$(rate "$jpegs" "$s")" "$jpegs" "$summary"
done

if [ -n "${EVAL_PAIRS:-}" ] && [ -f "$folder.meta/truth_pairs.tsv" ]; then
  for band in 98 90; do
    log="$work/find-$cores.log"
    [ "$band" = 90 ] && log="$work/find-90.log"
    echo "scores at $band.0-100 %:"
    python3 "$EVAL_PAIRS" "$folder.meta" "$log" --format dupslog
  done
fi
