#!/usr/bin/env bash
# Makes the media benchmark's film: two hours of AAC stereo at 48 kHz under
# a still picture, a tone and pink noise throughout, and a stretch of speech
# every half minute.
#   make_long_film.sh OUT.mp4 [SECONDS]
set -euo pipefail
out="$1"
seconds="${2:-7200}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
espeak-ng -v en -s 165 -w "$work/speech.wav" \
  "The harbour lights went out one by one. Nobody on the quay said a word until the last boat was in."
sox -V1 "$work/speech.wav" -r 48000 -c 1 "$work/loop.wav" pad 1 30 trim 0 30
ffmpeg -v error -y -f lavfi -i "color=c=black:s=320x240:r=1:d=$seconds" \
  -f lavfi -i "sine=frequency=220:sample_rate=48000:duration=$seconds" \
  -f lavfi -i "anoisesrc=color=pink:sample_rate=48000:amplitude=0.05:duration=$seconds" \
  -stream_loop -1 -i "$work/loop.wav" \
  -filter_complex "[1:a]volume=0.1[tone];[3:a]atrim=duration=$seconds[voice];[tone][2:a][voice]amix=inputs=3:duration=first:normalize=0,aformat=channel_layouts=stereo[a]" \
  -map 0:v -map "[a]" -c:v mpeg4 -c:a aac -b:a 128k -ar 48000 -t "$seconds" "$out.part.mp4"
mv "$out.part.mp4" "$out"
