#!/usr/bin/env bash
# Builds the seed corpora of the two fuzz targets in a scratch directory:
#   make_seeds.sh OUT_DIR
# OUT_DIR/conversion_fuzzer gets the first games of every PGN file of the source
# tree and of the shared corpus beside the checkout, each behind an option
# header (see fuzz/fuzz_inputs.h); OUT_DIR/board_moves_fuzzer gets a few boards with
# token sequences. Nothing is written outside OUT_DIR.
set -euo pipefail

out=${1:?usage: make_seeds.sh OUT_DIR}
here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
corpus="$repo/../shared/corpus"
games_per_file=4
seed_bytes=8192

mkdir -p "$out/conversion_fuzzer" "$out/board_moves_fuzzer"
split_dir=$(mktemp -d "$out/split.XXXXXX")
trap 'rm -rf "$split_dir"' EXIT

# Option headers: byte 0 the game - 1, byte 1 even, bytes 2-3 the half-moves
# as a little-endian int16, padded to ten bytes.
header_whole_game='\x00\x00\xff\x7f\x00\x00\x00\x00\x00\x00'
header_game3='\x02\x00\xff\x7f\x00\x00\x00\x00\x00\x00'
header_eleven_moves='\x00\x00\x0b\x00\x00\x00\x00\x00\x00\x00'

add_conversion_seed() {  # header, text file, seed name
  { printf "$1"; head -c "$seed_bytes" "$2"; } >"$out/conversion_fuzzer/$3"
}

# Splits a PGN file into games: a game starts at a tag line ('[' and a
# letter) that follows a line that is not one. Only the first few games are
# kept.
split_games() {  # file, prefix
  awk -v dir="$split_dir" -v prefix="$2" -v max="$games_per_file" '
    /^\[[A-Za-z]/ { if (!intags) { n++; intags = 1; if (n > max) exit } }
    !/^\[[A-Za-z]/ { intags = 0 }
    { if (n > 0) print > (dir "/" prefix "-" n) }' "$1"
}

pgn_files() {
  find "$repo" -name '*.pgn' -not -path "$repo/build*" -not -path "$out/*"
  if [[ -d "$corpus" ]]; then find "$corpus" -name '*.pgn'; fi
}

index=0
while IFS= read -r file; do
  index=$((index + 1))
  prefix="f$index"
  add_conversion_seed "$header_game3" "$file" "$prefix-game3"
  add_conversion_seed "$header_eleven_moves" "$file" "$prefix-m11"
  split_games "$file" "$prefix"
done < <(pgn_files)
for game in "$split_dir"/*; do
  [[ -e "$game" ]] || continue
  add_conversion_seed "$header_whole_game" "$game" "$(basename "$game")"
done

# Boards: the initial position (a-file: R P . . . . p r, and so on) and an
# empty board with full capture lists.
initial='\x04\x01\x00\x00\x00\x00\x09\x0c\x02\x01\x00\x00\x00\x00\x09\x0a'
initial+='\x03\x01\x00\x00\x00\x00\x09\x0b\x05\x01\x00\x00\x00\x00\x09\x0d'
initial+='\x06\x01\x00\x00\x00\x00\x09\x0e\x03\x01\x00\x00\x00\x00\x09\x0b'
initial+='\x02\x01\x00\x00\x00\x00\x09\x0a\x04\x01\x00\x00\x00\x00\x09\x0c'
no_captures=$(printf '\\x00%.0s' {1..32})
empty_board=$(printf '\\x00%.0s' {1..64})
full_lists=$(printf '\\x0f\\x01\\x02\\x03\\x04\\x05\\x01\\x02\\x03\\x04\\x05\\x01\\x02\\x03\\x04\\x05%.0s' 1 2)

add_token_seed() {  # name, board and lists, tokens separated by spaces
  { printf "$2"; printf '%s\0' $3; } >"$out/board_moves_fuzzer/$1"
}
add_token_seed opening "$initial$no_captures" \
  'e4 e5 Nf3 Nc6 Bb5 a6 Ba4 Nf6 O-O Be7 Re1 b5 Bb3 d6 c3 O-O h3 Nb8 d4 Nbd7'
add_token_seed captures "$initial$no_captures" \
  'e4 d5 exd5 Qxd5 Nc3 Qa5 d4 c6 Nf3 Bg4 Bf4 e6 h3 Bxf3 Qxf3 Bb4 Be2 Nd7 a3 O-O-O'
add_token_seed en_passant "$initial$no_captures" 'e4 a6 e5 d5 exd6 Nf6 dxc7 Qd7 cxb8=Q Rxb8'
add_token_seed odd_tokens "$initial$no_captures" \
  '0-0 o-o-o nf3 Ng1f3 N1d2 e8=Q exd8=N e8Q xd5 Zz9 1-0 $1 12 * Qh4+ Ng5++ dxc6ep de4 R1xa3 Ng1xf3'
add_token_seed full_lists "$empty_board$full_lists" 'xe4 xd5 Nxe4 Bxh8 Kxa1 Qxd1 Rxa8 axb1=R'
