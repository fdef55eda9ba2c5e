#!/usr/bin/env bash
# Times zentavo-cli on large generated files and checks the speed goals.
#   bench/run.sh BUILD_DIR     (a Release build configured with -DZENTAVO_BENCH=ON)
# Uses hyperfine when it is installed, else a loop timed by bash itself.
set -euo pipefail

build="${1:?usage: bench/run.sh BUILD_DIR}"
cli="$build/src/cli/zentavo-cli"
gen="$build/bench/zentavo-bench-gen"
engine_bench="$build/bench/zentavo-engine-bench"
runs="${ZV_BENCH_RUNS:-15}"
for f in "$cli" "$gen"; do
  [ -x "$f" ] || { echo "bench: $f is missing; build with -DZENTAVO_BENCH=ON" >&2; exit 1; }
done

data="$(mktemp -d "${TMPDIR:-/tmp}/zv-bench-XXXXXX")"
trap 'rm -rf "$data"' EXIT

echo "generating files in $data"
"$gen" subrip 50000 >"$data/50k.srt"
"$gen" subrip 200000 >"$data/200k.srt"
"$gen" microdvd 50000 >"$data/50k.sub"
"$gen" microdvd 50000 --reversed >"$data/50k-reversed.sub"
for f in "$data"/*; do printf '  %-20s %8d bytes\n' "$(basename "$f")" "$(stat -c %s "$f")"; done

missed=0

# time_case NAME GOAL_MS COMMAND...: median and fastest wall time of RUNS runs
# (after two warm-up runs), compared with the goal, and the median processor
# time (user + system), which a busy machine inflates far less than the wall time.
time_case() {
  local name="$1" goal="$2"; shift 2
  local median fastest cpu="-"
  if command -v hyperfine >/dev/null 2>&1; then
    hyperfine -N --warmup 2 --runs "$runs" --export-csv "$data/h.csv" -- "$(printf '%q ' "$@")" >/dev/null 2>&1
    median="$(awk -F, 'NR==2 { printf "%.1f", $4 * 1000 }' "$data/h.csv")"
    fastest="$(awk -F, 'NR==2 { printf "%.1f", $7 * 1000 }' "$data/h.csv")"
    cpu="$(awk -F, 'NR==2 { printf "%.1f", ($5 + $6) * 1000 }' "$data/h.csv")"
  else
    # bash's own timing of each run: wall, user and system time to the
    # millisecond (/usr/bin/time counts processor time in 10 ms steps).
    local i TIMEFORMAT='%3R %3U %3S'
    : >"$data/times.raw"
    "$@" >/dev/null 2>&1 || true
    "$@" >/dev/null 2>&1 || true
    for ((i = 0; i < runs; i++)); do
      { time "$@" >/dev/null 2>&1; } 2>>"$data/times.raw" || true
    done
    awk '{ printf "%.0f %.0f\n", $1 * 1000000, ($2 + $3) * 1000000 }' "$data/times.raw" >"$data/times"
    median_of() { sort -n | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2;
                                                      printf "%.1f %.1f\n", m / 1000, v[1] / 1000 }'; }
    read -r median fastest < <(awk '{ print $1 }' "$data/times" | median_of)
    read -r cpu _ < <(awk '{ print $2 }' "$data/times" | median_of)
  fi
  local verdict="ok"
  if awk -v m="$median" -v g="$goal" 'BEGIN { exit !(m >= g) }'; then
    verdict="MISSED"
    missed=1
  fi
  printf '%-40s wall: median %6s ms, fastest %6s ms (goal < %3s ms) %-6s  cpu: %6s ms\n' \
    "$name" "$median" "$fastest" "$goal" "$verdict" "$cpu"
}

# Every command runs to its end first, so a broken build is not timed as fast.
check() { "$@" >/dev/null 2>"$data/err" || { echo "bench: failed: $*" >&2; cat "$data/err" >&2; exit 1; }; }
check "$cli" convert "$data/50k.srt" --to microdvd -o "$data/out.sub"
check "$cli" shift "$data/50k.srt" --by 50 -o "$data/out.srt"
check "$cli" sort "$data/50k-reversed.sub" -o "$data/out.sub"

echo
echo "wall time of one zentavo-cli run ($runs runs each):"
time_case "convert 50,000 SubRip -> MicroDvd" 100 "$cli" convert "$data/50k.srt" --to microdvd -o "$data/out.sub"
time_case "shift 50,000 SubRip by 5 s" 100 "$cli" shift "$data/50k.srt" --by 50 -o "$data/out.srt"
time_case "shift 50,000 MicroDvd by 125 frames" 100 "$cli" shift "$data/50k.sub" --by 125 -o "$data/out.sub"
time_case "sort 50,000 MicroDvd (in order)" 100 "$cli" sort "$data/50k.sub" -o "$data/out.sub"
time_case "sort 50,000 MicroDvd (fully reversed)" 200 "$cli" sort "$data/50k-reversed.sub" -o "$data/out.sub"

echo
echo "memory (maximum resident set size) of convert SubRip -> MicroDvd:"
if [ -x /usr/bin/time ]; then
  for n in 50k 200k; do
    /usr/bin/time -v "$cli" convert "$data/$n.srt" --to microdvd -o "$data/out.sub" 2>"$data/time.txt" >/dev/null
    printf '  %-5s %8s kB\n' "$n" "$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$data/time.txt")"
  done
else
  echo "  /usr/bin/time is not installed (Debian package time)"
fi

if [ -x "$engine_bench" ]; then
  echo
  echo "engine passes alone (Google Benchmark):"
  "$engine_bench" --benchmark_min_time=0.5
fi

document_bench="$build/bench/zentavo-document-bench"
if [ -x "$document_bench" ]; then
  echo
  echo "a SubRip file of 1,000,000 lines (86 MB) read and drawn in a document window:"
  for case in ShowUtf8 ShowWindows1250; do
    "$document_bench" --benchmark_filter="^$case/" --benchmark_format=csv >"$data/document.csv" 2>/dev/null ||
      { echo "bench: $document_bench failed" >&2; exit 1; }
    # Columns: name, iterations, real_time (ms), cpu_time, ..., lines, peak_rss_MB.
    read -r wall cpu rss < <(awk -F, -v c="\"$case/" 'index($1, c) == 1 { printf "%.0f %.0f %.0f\n", $3, $4, $NF }' \
                               "$data/document.csv")
    verdict="ok"
    if [ -z "$wall" ] || [ "$wall" -ge 2000 ] || [ "$rss" -ge 300 ]; then
      verdict="MISSED"
      missed=1
    fi
    printf '  %-16s wall: %5s ms (goal < 2000 ms), cpu: %5s ms, peak resident: %4s MB (goal < 300 MB) %s\n' \
      "$case" "$wall" "$cpu" "$rss" "$verdict"
  done
fi

media_bench="$build/bench/zentavo-media-bench"
if [ -x "$media_bench" ]; then
  echo
  echo "a two-hour film's sound (AAC stereo 48 kHz) read for speech, against ffmpeg decoding it:"
  # The film is made once and kept in the build folder (a few minutes).
  film="$build/bench/two-hours.mp4"
  [ -f "$film" ] || bench/make_long_film.sh "$film"
  "$media_bench" "$film" >"$data/media.txt" 2>/dev/null || { echo "bench: $media_bench failed" >&2; exit 1; }
  read -r _ two two_cpu < <(grep '^read-two-workers' "$data/media.txt")
  read -r _ one one_cpu < <(grep '^read-one-worker' "$data/media.txt")
  read -r _ ffmpeg ffmpeg_cpu < <(grep '^ffmpeg-decode' "$data/media.txt")
  read -r _ rss < <(grep '^peak-resident-mb' "$data/media.txt")
  verdict="ok"
  if awk -v a="$two" -v b="$ffmpeg" 'BEGIN { exit !(a >= b) }'; then
    verdict="MISSED"
    missed=1
  fi
  printf '  %-32s wall: %6s s  cpu: %6s s  (goal: under ffmpeg) %s\n' "library, two decoders" "$two" "$two_cpu" "$verdict"
  printf '  %-32s wall: %6s s  cpu: %6s s\n' "library, one decoder" "$one" "$one_cpu"
  printf '  %-32s wall: %6s s  cpu: %6s s\n' "ffmpeg -vn -f null" "$ffmpeg" "$ffmpeg_cpu"
  printf '  peak resident: %s MB\n' "$rss"

  echo
  echo "autosync FILE --movie on that film (480 subtitles 2.5 s late), against ffmpeg decoding it:"
  # The film speaks the same two sentences every half minute from 1 s on.
  awk 'function ts(x,  ms) { ms = int(x * 1000 + 0.5); return sprintf("%02d:%02d:%02d,%03d", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000) }
    BEGIN { for (k = 0; k < 240; k++) { b = 30 * k + 2.5
      printf "%d\r\n%s --> %s\r\nThe harbour lights went out one by one.\r\n\r\n", 2 * k + 1, ts(b + 1.05), ts(b + 3.3)
      printf "%d\r\n%s --> %s\r\nNobody on the quay said a word until the last boat was in.\r\n\r\n", 2 * k + 2, ts(b + 3.7), ts(b + 6.6) } }' \
    >"$data/film.srt"
  check "$cli" autosync "$data/film.srt" --movie "$film" -o "$data/film-out.srt"
  # timed NAME COMMAND...: wall seconds and peak resident MB of one run, the
  # runs of the two commands taking turns (three each) so a busy moment
  # weighs on both; the medians are kept.
  : >"$data/movie.txt"
  for _ in 1 2 3; do
    for which in cli ffmpeg; do
      if [ "$which" = cli ]; then
        command=("$cli" autosync "$data/film.srt" --movie "$film" -o "$data/film-out.srt")
      else
        command=(ffmpeg -v error -i "$film" -vn -f null -)
      fi
      if [ -x /usr/bin/time ]; then
        /usr/bin/time -f '%e %M' -o "$data/one.txt" "${command[@]}" >/dev/null 2>&1
      else
        TIMEFORMAT='%3R 0'
        { time "${command[@]}" >/dev/null 2>&1; } 2>"$data/one.txt"
      fi
      echo "$which $(cat "$data/one.txt")" >>"$data/movie.txt"
    done
  done
  median3() { awk -v w="$1" -v c="$2" '$1 == w { print $c }' "$data/movie.txt" | sort -n | sed -n 2p; }
  cli_wall="$(median3 cli 2)"
  # Without /usr/bin/time (Debian package time) the peak is not known.
  cli_mb="$(awk '$1 == "cli" && $3 > m { m = $3 } END { if (m > 0) printf "%.0f", m / 1024; else print "unknown" }' \
              "$data/movie.txt")"
  ff_wall="$(median3 ffmpeg 2)"
  ratio="$(awk -v a="$cli_wall" -v b="$ff_wall" 'BEGIN { printf "%.2f", a / b }')"
  verdict="ok"
  if awk -v r="$ratio" -v m="$cli_mb" 'BEGIN { exit !(r > 1.0 || (m != "unknown" && m + 0 >= 150)) }'; then
    verdict="MISSED"
    missed=1
  fi
  printf '  %-32s wall: %6s s  peak resident: %s MB (goal < 150 MB)\n' "zentavo-cli autosync --movie" "$cli_wall" "$cli_mb"
  printf '  %-32s wall: %6s s\n' "ffmpeg -vn -f null" "$ff_wall"
  printf '  ratio: %s (goal <= 1.0) %s\n' "$ratio" "$verdict"
fi

echo
if [ "$missed" -ne 0 ]; then
  echo "some speed goals were missed"
  exit 1
fi
echo "all speed goals met"
