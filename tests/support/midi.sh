# Sourced by scripts that need a MIDI piece: write_piece STEPS PATH writes a standard MIDI
# file of STEPS eighth notes (240 ticks of 480 a beat, default tempo 120 bpm: 4 a second),
# a melody over a drum and changing chords.

# bytes HEX...: writes the bytes given as two-digit hexadecimal numbers.
bytes() { for b in "$@"; do printf "\\x$b"; done; }

write_piece() {
  local steps=$1 track="$2.track" i note chord
  local melody=(3c 3e 40 43 45 43 40 3e) roots=(30 2d 29 2b)
  {
    bytes 00 c0 00 00 c1 30 00 c9 00
    for ((i = 0; i < steps; i++)); do
      note=${melody[i % 8]}
      chord=${roots[(i / 8) % 4]}
      bytes 00 90 "$note" 60 00 99 2a 50
      if ((i % 8 == 0)); then bytes 00 91 "$chord" 48; fi
      bytes 81 70 80 "$note" 00 00 89 2a 00
      if ((i % 8 == 7)); then bytes 00 81 "$chord" 00; fi
    done
    bytes 00 ff 2f 00
  } >"$track"
  local length
  length=$(stat -c %s "$track")
  {
    bytes 4d 54 68 64 00 00 00 06 00 00 00 01 01 e0
    bytes 4d 54 72 6b
    bytes "$(printf %02x $((length >> 24 & 255)))" "$(printf %02x $((length >> 16 & 255)))" \
          "$(printf %02x $((length >> 8 & 255)))" "$(printf %02x $((length & 255)))"
    cat "$track"
  } >"$2"
  rm -f "$track"
}
