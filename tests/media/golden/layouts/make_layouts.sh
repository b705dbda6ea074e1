#!/usr/bin/env bash
# Writes the WAV layouts a hobbyist's tools make, each beside sox's own
# conversion of it to 16-bit mono at 44.1 kHz (no dither), which the Sound
# Manager's conversion must come close to. Short sounds keep the files small.
# cases.txt lists `name` per line; NAME.wav is the input, NAME.sox.wav sox's result.
set -euo pipefail
cd "$(dirname "$0")"
rm -f ./*.wav cases.txt
# name rate channels sox-encoding-options
layouts=(
  "u8_mono_11025    11025 1 -b 8 -e unsigned-integer"
  "s16_stereo_48000 48000 2 -b 16 -e signed-integer"
  "s16_stereo_44100 44100 2 -b 16 -e signed-integer"
  "s16_mono_22050   22050 1 -b 16 -e signed-integer"
  "s24_mono_96000   96000 1 -b 24 -e signed-integer"
  "s32_stereo_32000 32000 2 -b 32 -e signed-integer"
  "f32_stereo_88200 88200 2 -b 32 -e floating-point"
  "f64_mono_8000     8000 1 -b 64 -e floating-point"
  "s16_six_16000    16000 6 -b 16 -e signed-integer"
)
for layout in "${layouts[@]}"; do
  read -r name rate channels options <<<"$layout"
  # tones well inside the lowest rate's band; each channel its own (sox
  # gives the tones to the channels in turn), faded in and out so that the
  # sound holds nothing near the rates' band edges, where good filters differ
  # shellcheck disable=SC2086
  sox -n -r "$rate" -c "$channels" $options "$name.wav" \
      synth 0.06 sine 440 sine 1250 sine 2900 sine 700 sine 3300 sine 180 fade h 0.012 0.06 0.02 gain -3
  sox "$name.wav" -D -b 16 -e signed-integer -c 1 -r 44100 "$name.sox.wav"
  echo "$name" >>cases.txt
done
