#!/usr/bin/env bash
# Engine figures as ratios against peers measured in the same run:
#   decode speed of 10-minute MP3, Ogg and FLAC files against `ffmpeg -f null`;
#   CPU seconds per minute of playback and peak memory against mpv (or ffplay).
# Usage: bench/engine/run.sh BUILD_DIR   (a release build with KIVO_BENCH=ON)
set -euo pipefail
build=$(cd "${1:?release build directory}" && pwd)
decode=$build/bench/engine/kivo_engine_decode_bench
play=$build/bench/engine/kivo_engine_play_bench
play_seconds=${PLAY_SECONDS:-30}
tmp=$(mktemp -d /tmp/kivo-bench.XXXXXX)
trap 'rm -rf "$tmp"' EXIT

tone="sine=frequency=440:duration=600:sample_rate=44100"
ffmpeg -nostdin -v error -f lavfi -i "$tone" -ac 2 -c:a libmp3lame -b:a 192k "$tmp/long.mp3"
ffmpeg -nostdin -v error -f lavfi -i "$tone" -ac 2 -c:a libvorbis -q:a 5 "$tmp/long.ogg"
ffmpeg -nostdin -v error -f lavfi -i "$tone" -ac 2 -c:a flac "$tmp/long.flac"

now() { date +%s.%N; }
best_of_3() {  # prints the fastest wall time of three runs of "$@"
  local best=
  for _ in 1 2 3; do
    local start end took
    start=$(now); "$@" > /dev/null; end=$(now)
    took=$(echo "$end - $start" | bc -l)
    if [[ -z $best ]] || (($(echo "$took < $best" | bc -l))); then best=$took; fi
  done
  echo "$best"
}

echo "decode, 10 minutes of audio (best of 3, wall seconds):"
for ext in mp3 ogg flac; do
  engine=$(best_of_3 "$decode" "$tmp/long.$ext")
  peer=$(best_of_3 ffmpeg -nostdin -v error -i "$tmp/long.$ext" -f null -)
  printf "  %-4s engine %6.2f s  ffmpeg %6.2f s  speed ratio engine/ffmpeg %.2f\n" \
    "$ext" "$engine" "$peer" "$(echo "$peer / $engine" | bc -l)"
done

measure() {  # prints "cpu_seconds peak_kib" of one command
  /usr/bin/time -f "%U %S %M" -o "$tmp/time" "$@" > /dev/null 2>&1 || true
  awk '{ printf "%.2f %d\n", $1 + $2, $3 }' "$tmp/time"
}

export SDL_AUDIODRIVER=dummy
echo "playback of the MP3 for ${play_seconds} s, SDL dummy output:"
read -r cpu mem < <(measure "$play" "$tmp/long.mp3" "$play_seconds")
if command -v mpv > /dev/null; then
  peer_name=mpv
  read -r peer_cpu peer_mem < <(measure mpv --no-config --ao=null --vo=null \
    --length="$play_seconds" "$tmp/long.mp3")
else
  peer_name=ffplay
  read -r peer_cpu peer_mem < <(measure ffplay -v error -nodisp -autoexit \
    -t "$play_seconds" "$tmp/long.mp3")
fi
per_minute() { echo "$1 * 60 / $play_seconds" | bc -l; }
printf "  engine  %.3f CPU s per minute, peak %d KiB\n" "$(per_minute "$cpu")" "$mem"
printf "  %-7s %.3f CPU s per minute, peak %d KiB\n" "$peer_name" \
  "$(per_minute "$peer_cpu")" "$peer_mem"
printf "  ratios engine/%s: CPU %.2f, memory %.2f\n" "$peer_name" \
  "$(echo "$cpu / $peer_cpu" | bc -l)" "$(echo "$mem / $peer_mem" | bc -l)"
