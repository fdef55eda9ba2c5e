#!/usr/bin/env bash
# Makes the films that lining subtitles up with a film's speech is tested
# on, from a subtitle file whose times are the truth: espeak-ng speaks each
# line at its start over a quiet bed of tone and pink noise (sox), then
#   clean.mkv    the film as the subtitles were timed for
#   noisy.mkv    the bed raised to 10 dB below the voice
#   cut.mkv      a scene of about 40 s taken out (cut.txt: "from to", seconds)
#   breaks.mkv   two breaks of 60 s put in (breaks.txt: "at length", one a line)
# Sound only, Opus in Matroska; about two to four minutes each.
#   make_sync_films.sh SUBTITLES.srt OUTDIR
# Made once: a stamp of this script and the subtitles skips the work when
# nothing changed.
set -euo pipefail
# Every sox call repeatable (its noise and dither), so the films, and what
# the tests measure on them, are the same wherever they are made.
export SOX_OPTS="-R"

rate=16000
source "$(dirname "${BASH_SOURCE[0]}")/film_lines.sh"
begin_films "$1" "$2"

# The voice: each line spoken, its silence trimmed, padded to its start.
pieces=()
end=0
i=0
: >"$work/silences"
while IFS=$'\t' read -r start text; do
  i=$((i + 1))
  espeak-ng -v en -s 165 -w "$work/raw$i.wav" "$text"
  sox -V1 "$work/raw$i.wav" -r "$rate" -c 1 "$work/line$i.wav" \
    silence 1 0.02 0.5% reverse silence 1 0.02 0.5% reverse
  gap="$(awk -v s="$start" -v e="$end" 'BEGIN { g = s - e; if (g < 0) exit 1; printf "%.4f", g }')" || {
    echo "make_sync_films: line $i starts before the previous one has been spoken" >&2
    exit 1
  }
  # The middle of each pause, where a cut or a break falls between lines.
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f\n", (s + e) / 2 }' >>"$work/silences"
  sox "$work/line$i.wav" "$work/piece$i.wav" pad "$gap" 0
  pieces+=("$work/piece$i.wav")
  end="$(awk -v s="$start" -v l="$(soxi -D "$work/line$i.wav")" 'BEGIN { printf "%.4f", s + l }')"
done <"$work/lines.tsv"
sox "${pieces[@]}" "$work/voice.wav" pad 0 3 gain -n -6
total="$(soxi -D "$work/voice.wav")"

# The bed: a low tone under pink noise, 20 dB below the voice in the clean
# film and 10 dB in the noisy one (levels as RMS over the whole track).
sox -n -r "$rate" -c 1 "$work/bed.wav" synth "$total" pinknoise synth "$total" sine mix 110 vol 0.5
rms() { sox "$1" -n stat 2>&1 | awk '/RMS +amplitude/ { print $3 }'; }
voice_rms="$(rms "$work/voice.wav")"
bed_rms="$(rms "$work/bed.wav")"
for snr in 20 10; do
  factor="$(awk -v v="$voice_rms" -v b="$bed_rms" -v s="$snr" 'BEGIN { printf "%.6f", v / b / 10 ^ (s / 20) }')"
  sox "$work/bed.wav" "$work/bed$snr.wav" vol "$factor"
  sox -m "$work/voice.wav" "$work/bed$snr.wav" "$work/mix$snr.wav"
done

# A scene taken out: from the first pause after 40 s to the first pause at
# least 40 s later.
from="$(awk '$1 >= 40 { print; exit }' "$work/silences")"
to="$(awk -v f="$from" '$1 >= f + 40 { print; exit }' "$work/silences")"
echo "$from $to" >"$out/cut.txt"
sox "$work/mix20.wav" "$work/before.wav" trim 0 "$from"
sox "$work/mix20.wav" "$work/after.wav" trim "$to"
sox "$work/before.wav" "$work/after.wav" "$work/cut.wav"

# Two breaks of 60 s (the bed alone, as a scene without words) in the
# pauses nearest a third and two thirds of the film.
third="$(awk -v t="$total" 'BEGIN { printf "%.2f", t / 3 }')"
at1="$(awk -v t="$third" '$1 >= t { print; exit }' "$work/silences")"
at2="$(awk -v t="$third" '$1 >= 2 * t { print; exit }' "$work/silences")"
printf '%s 60\n%s 60\n' "$at1" "$at2" >"$out/breaks.txt"
sox "$work/bed20.wav" "$work/break.wav" repeat 2 trim 0 60
sox "$work/mix20.wav" "$work/a.wav" trim 0 "$at1"
sox "$work/mix20.wav" "$work/b.wav" trim "$at1" "=$at2"
sox "$work/mix20.wav" "$work/c.wav" trim "$at2"
sox "$work/a.wav" "$work/break.wav" "$work/b.wav" "$work/break.wav" "$work/c.wav" "$work/breaks.wav"

mux() { ffmpeg -v error -y -i "$1" -ar 48000 -ac 2 -c:a libopus -b:a 48k "$work/film.mkv" && mv "$work/film.mkv" "$2"; }
mux "$work/mix20.wav" "$out/clean.mkv"
mux "$work/mix10.wav" "$out/noisy.mkv"
mux "$work/cut.wav" "$out/cut.mkv"
mux "$work/breaks.wav" "$out/breaks.mkv"
echo "$stamp" >"$out/stamp"
