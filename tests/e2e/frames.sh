# shellcheck shell=bash
# Native-messaging frames in bash: a 4-byte little-endian length, then the bytes.
# Sourced by the end-to-end scripts and scripts/run-main.sh.

# Writes a request frame to standard output. The declared length defaults to
# the byte length of the body; pass another to build a malformed frame.
tav_frame() {
  local body="$1" length="${2:-}"
  if [ -z "$length" ]; then
    length="$(printf '%s' "$body" | LC_ALL=C wc -c)"
  fi
  # shellcheck disable=SC2059
  printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((length & 255)) $(((length >> 8) & 255)) \
    $(((length >> 16) & 255)) $(((length >> 24) & 255)))"
  printf '%s' "$body"
}

# Writes the exact bytes of TAV's answer frame for a JSON text: prefix, text,
# and the one zero byte that follows it.
tav_answer_frame() {
  tav_frame "$1"
  printf '\0'
}

# Prints the JSON text of an answer frame held in a file; fails when the file
# is not exactly one well-formed answer frame.
tav_answer_decode() {
  local file="$1" size length last
  size="$(stat -c %s "$file")"
  if [ "$size" -lt 5 ]; then
    echo "no answer frame ($size bytes)" >&2
    return 1
  fi
  length="$(od -An -tu4 -N4 --endian=little "$file" | tr -d ' ')"
  if [ "$size" -ne $((length + 5)) ]; then
    echo "answer frame declares $length bytes but holds $((size - 4))" >&2
    return 1
  fi
  last="$(tail -c 1 "$file" | od -An -tu1 | tr -d ' ')"
  if [ "$last" != 0 ]; then
    echo "answer frame does not end with a zero byte" >&2
    return 1
  fi
  tail -c +5 "$file" | head -c "$length"
  echo
}

# Prints the JSON text of a frame as a browser receives it (no trailing zero
# byte); fails when the file is not exactly one frame.
tav_frame_decode() {
  local file="$1" size length
  size="$(stat -c %s "$file")"
  if [ "$size" -lt 4 ]; then
    echo "no frame ($size bytes)" >&2
    return 1
  fi
  length="$(od -An -tu4 -N4 --endian=little "$file" | tr -d ' ')"
  if [ "$size" -ne $((length + 4)) ]; then
    echo "frame declares $length bytes but holds $((size - 4))" >&2
    return 1
  fi
  tail -c +5 "$file"
  echo
}
