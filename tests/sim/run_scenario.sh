#!/usr/bin/env bash
# Plays one scenario through shutdown-sim and compares the output with the expected lines, line by
# line. An expected file whose first line is "#status N" expects exit status N and compares what the
# simulator wrote to standard error instead.
# Usage: run_scenario.sh SHUTDOWN_SIM SCENARIO EXPECTED
set -u
sim=$1 scenario=$2 expected=$3
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

mapfile -t want <"$expected"
status=0 stream=$out
if [[ ${want[0]:-} =~ ^#status\ ([0-9]+)$ ]]; then
  status=${BASH_REMATCH[1]} stream=$err
  want=("${want[@]:1}")
fi

"$sim" "$scenario" >"$out" 2>"$err"
rc=$?
mapfile -t got <"$stream"

failed=0
if [[ $rc -ne $status ]]; then
  echo "exit status: expected $status, actual $rc"
  cat "$err"
  failed=1
fi
count=$(( ${#want[@]} > ${#got[@]} ? ${#want[@]} : ${#got[@]} ))
for (( i = 0; i < count; i++ )); do
  if [[ "${want[i]-<none>}" != "${got[i]-<none>}" ]]; then
    echo "line $((i + 1)):"
    echo "  expected: ${want[i]-<none>}"
    echo "  actual:   ${got[i]-<none>}"
    failed=1
  fi
done
if [[ $failed -ne 0 ]]; then
  echo "--- full output of $(basename "$scenario"):"
  cat "$stream"
fi
exit $failed
