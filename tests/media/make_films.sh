#!/usr/bin/env bash
# Makes the media tests' films from a subtitle file: espeak-ng speaks each
# line at its start time, sox lays music and pink noise under the voice at
# 10 dB and 0 dB speech-to-noise, ffmpeg muxes the three mixes with a still
# picture into MKV (Opus) and MP4 (AAC). Also the clean mix as WAV and a film
# without sound.
#   make_films.sh SUBTITLES.srt OUTDIR
# OUTDIR/truth.txt holds the spoken intervals ("start end" in seconds, as
# measured on the trimmed speech). Made once: a stamp of this script and the
# subtitles skips the work when nothing changed.
set -euo pipefail

rate=16000
source "$(dirname "${BASH_SOURCE[0]}")/film_lines.sh"
begin_films "$1" "$2"

seconds() { soxi -D "$1"; }

# The voice: each line spoken, its silence trimmed, padded to its start.
: >"$out/truth.tmp"
pieces=()
end=0
i=0
while IFS=$'\t' read -r start text; do
  i=$((i + 1))
  espeak-ng -v en -s 165 -w "$work/raw$i.wav" "$text"
  sox "$work/raw$i.wav" -r "$rate" -c 1 "$work/line$i.wav" \
    silence 1 0.02 0.5% reverse silence 1 0.02 0.5% reverse
  length="$(seconds "$work/line$i.wav")"
  gap="$(awk -v s="$start" -v e="$end" 'BEGIN { g = s - e; if (g < 0) exit 1; printf "%.4f", g }')" || {
    echo "make_films: line $i starts before the previous one has been spoken" >&2
    exit 1
  }
  sox "$work/line$i.wav" "$work/piece$i.wav" pad "$gap" 0
  pieces+=("$work/piece$i.wav")
  end="$(awk -v s="$start" -v l="$length" 'BEGIN { printf "%.4f", s + l }')"
  echo "$start $end" >>"$out/truth.tmp"
done <"$work/lines.tsv"
total="$(awk -v e="$end" 'BEGIN { printf "%d", e + 3 }')"
sox "${pieces[@]}" "$work/voice.wav" pad 0 3 gain -n -6
sox "$work/line"*.wav "$work/spoken.wav"
# The level of the voice where it speaks, scaled as the whole voice was.
voice_gain="$(sox "${pieces[@]}" -n stat -v 2>&1)"
spoken_rms="$(sox "$work/spoken.wav" -n stat 2>&1 | awk '/RMS +amplitude/ { print $3 }')"
spoken_rms="$(awk -v r="$spoken_rms" -v g="$voice_gain" 'BEGIN { printf "%.6f", r * g / 2 }')"

# Music: a chord that changes every two seconds under a plucked melody.
chords=("220 277 330" "175 220 262" "262 330 392" "196 247 294")
notes=(440 494 523 587 659 587 523 494 440 392 440 523 659 784 659 523)
for k in 0 1 2 3; do
  set -- ${chords[$k]}
  sox -V1 -n -r "$rate" -c 3 "$work/chord$k.wav" synth 2 sine "$1" sine "$2" sine "$3" remix - tremolo 5 30 fade 0.05 2 0.05
done
for k in "${!notes[@]}"; do
  sox -n -r "$rate" -c 1 "$work/note$k.wav" synth 0.5 pluck "${notes[$k]}"
done
sox "$work/chord"{0,1,2,3}.wav "$work/pad.wav"
sox "$work/note"{0..15}.wav "$work/melody.wav"
sox -m "$work/pad.wav" "$work/melody.wav" "$work/bar.wav"
repeats=$((total / 8 + 1))
sox "$work/bar.wav" "$work/music.wav" repeat "$repeats" trim 0 "$total"
sox -n -r "$rate" -c 1 "$work/noise.wav" synth "$total" pinknoise vol 0.5
sox -m "$work/music.wav" "$work/noise.wav" "$work/bed.wav"
bed_rms="$(sox "$work/bed.wav" -n stat 2>&1 | awk '/RMS +amplitude/ { print $3 }')"

tracks=("$work/voice.wav")
for snr in 10 0; do
  factor="$(awk -v v="$spoken_rms" -v b="$bed_rms" -v s="$snr" 'BEGIN { printf "%.6f", v / b / 10 ^ (s / 20) }')"
  sox "$work/bed.wav" "$work/bed$snr.wav" vol "$factor"
  sox -m -v 1 "$work/voice.wav" -v 1 "$work/bed$snr.wav" "$work/mix$snr.wav"
  tracks+=("$work/mix$snr.wav")
done
for k in 0 1 2; do
  sox -G "${tracks[$k]}" -r 48000 -c 2 "$work/track$k.wav"
done

picture=(-f lavfi -i "color=c=navy:s=160x120:r=2:d=$total")
tags=(-metadata:s:a:0 language=eng -metadata:s:a:0 "title=Clean dialogue"
      -metadata:s:a:1 language=pol -metadata:s:a:1 "title=Under music, 10 dB"
      -metadata:s:a:2 language=deu -metadata:s:a:2 "title=Under music, 0 dB")
# MP4 keeps a track's title as its handler's name.
handlers=(-metadata:s:a:0 "handler_name=Clean dialogue" -metadata:s:a:1 "handler_name=Under music, 10 dB"
          -metadata:s:a:2 "handler_name=Under music, 0 dB")
inputs=(-i "$work/track0.wav" -i "$work/track1.wav" -i "$work/track2.wav")
maps=(-map 0:v -map 1:a -map 2:a -map 3:a)
ffmpeg -v error -y "${picture[@]}" "${inputs[@]}" "${maps[@]}" -c:v mpeg4 -c:a libopus -b:a 48k \
  "${tags[@]}" "$out/dialogue.mkv"
ffmpeg -v error -y "${picture[@]}" "${inputs[@]}" "${maps[@]}" -c:v mpeg4 -c:a aac -b:a 96k \
  "${tags[@]}" "${handlers[@]}" "$out/dialogue.mp4"
# Plain sound too: a WAV file, which names no channel layout.
cp "$work/track0.wav" "$out/dialogue.wav"
ffmpeg -v error -y -f lavfi -i "color=c=gray:s=160x120:r=2:d=3" -c:v mpeg4 "$out/silent.mkv"
mv "$out/truth.tmp" "$out/truth.txt"
echo "$stamp" >"$out/stamp"
