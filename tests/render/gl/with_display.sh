#!/usr/bin/env bash
# Runs a program under a virtual display (xvfb-run -a), retrying when another
# test started its virtual display on the same number at the same moment.
err="$(mktemp)"
trap 'rm -f "$err"' EXIT
for attempt in 1 2 3 4 5 6; do
  xvfb-run -a -s "-screen 0 800x600x24" "$@" 2>"$err"
  status=$?
  if [ "$status" -ne 0 ] && grep -q "Xvfb failed to start" "$err"; then
    sleep "$attempt"
    continue
  fi
  cat "$err" >&2
  exit "$status"
done
cat "$err" >&2
exit "$status"
