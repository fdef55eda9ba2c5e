# What both film scripts begin with (sourced by them): the output folder, the
# stamp of the scripts and the subtitles that skips the work when nothing
# changed, a work folder removed at exit, and the subtitles' lines, one
# "start<TAB>text" line each (start in seconds), in $work/lines.tsv.
#   begin_films SUBTITLES.srt OUTDIR     sets srt, out, stamp and work
begin_films() {
  srt="$1"
  out="$2"
  mkdir -p "$out"
  stamp="$(cat "$0" "${BASH_SOURCE[0]}" "$srt" | md5sum | cut -d' ' -f1)"
  if [ -f "$out/stamp" ] && [ "$(cat "$out/stamp")" = "$stamp" ]; then
    exit 0
  fi
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT

  tr -d '\r' <"$srt" | awk '
    / --> / { split($1, t, /[:,]/); start = t[1] * 3600 + t[2] * 60 + t[3] + t[4] / 1000; text = ""; next }
    /^$/ { if (text != "") printf "%.3f\t%s\n", start, text; text = ""; next }
    /^[0-9]+$/ && text == "" { next }
    { text = text == "" ? $0 : text " " $0 }
    END { if (text != "") printf "%.3f\t%s\n", start, text }' >"$work/lines.tsv"
}
