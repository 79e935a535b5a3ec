#!/usr/bin/env bash
# The libFuzzer targets of the "fuzz" preset and their kept corpora
# (tests/fuzz/corpus/<target>).
#   scripts/fuzz.sh replay              runs every target once over its corpus (a regression test, seconds)
#   scripts/fuzz.sh run SECONDS [T...]  fuzzes each target in turn, then keeps the minimised corpus
# The fuzz build must exist: cmake --preset fuzz && cmake --build --preset fuzz.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin="$root/build/fuzz/tests/fuzz"
corpora="$root/tests/fuzz/corpus"
all_targets=(request_fuzzer x509_certificate_fuzz x509_extension_fuzz card_response_fuzz wrapper_frame_fuzzer)

case "${1:-}" in
  replay)
    for target in "${all_targets[@]}"; do
      "$bin/$target" -runs=0 "$corpora/$target" 2>&1 | grep -E '^(#|INFO: seed corpus)' | tail -1 | sed "s/^/$target: /"
      [ "${PIPESTATUS[0]}" -eq 0 ]
    done
    ;;
  run)
    seconds=${2:?usage: fuzz.sh run SECONDS [targets...]}
    shift 2
    targets=("$@")
    [ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")
    for target in "${targets[@]}"; do
      work="$root/build/fuzz/work/$target"
      mkdir -p "$work" "$corpora/$target"
      cp -n "$corpora/$target"/* "$work/" 2>/dev/null || true
      "$bin/$target" -max_total_time="$seconds" -print_final_stats=1 -max_len=4096 \
        -artifact_prefix="$root/build/fuzz/work/$target-" "$work" >"$root/build/fuzz/work/$target.log" 2>&1
      grep -E 'DONE|stat::number_of_executed_units' "$root/build/fuzz/work/$target.log" | sed "s/^/$target: /"
      # Keep only inputs that reach new edges (not new hit counts): a small corpus.
      rm -rf "$corpora/$target.new" && mkdir "$corpora/$target.new"
      "$bin/$target" -merge=1 -use_counters=0 "$corpora/$target.new" "$work" >>"$root/build/fuzz/work/$target.log" 2>&1
      rm -rf "$corpora/$target" && mv "$corpora/$target.new" "$corpora/$target"
      echo "$target: kept $(ls "$corpora/$target" | wc -l) inputs"
    done
    ;;
  *)
    echo "usage: fuzz.sh replay | run SECONDS [targets...]" >&2
    exit 2
    ;;
esac
