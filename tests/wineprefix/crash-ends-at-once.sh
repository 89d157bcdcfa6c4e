#!/usr/bin/env bash
# A program that crashes in the tests' prefix ends at once with a status other than 0, and wine-run
# says it crashed. With a debugger set up for crashes (Wine's default), winedbg would wait for a
# person: the crashed test then ran until ctest's time-out.
#   crash-ends-at-once.sh WINE-RUN PREFIX CRASHING-PROGRAM
set -uo pipefail
wine_run=${1:?usage: crash-ends-at-once.sh WINE-RUN PREFIX PROGRAM}
prefix=${2:?}
program=${3:?}
ceiling=60  # seconds: a ceiling for a hang; the program ends within a second or two
output=$(timeout --kill-after=10 "$ceiling" "$wine_run" "$prefix" "$program" 2>&1)
status=$?
printf '%s\n' "$output"
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
  echo "FAILED: the crashed program had not ended after $ceiling s: something waits for it (a debugger?)" >&2
  exit 1
fi
if [ "$status" -eq 0 ]; then
  echo "FAILED: the crashed program ended with status 0: a crash that passes" >&2
  exit 1
fi
if ! grep -q "^wine-run: $(basename "$program") crashed (Unhandled " <<<"$output"; then
  echo "FAILED: wine-run did not say that the program crashed" >&2
  exit 1
fi
echo "the crashed program ended with status $status and was reported as a crash"
