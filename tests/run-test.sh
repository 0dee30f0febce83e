#!/usr/bin/env bash
# Runs one test executable for ctest.
# LeakSanitizer stops every thread at exit to look for leaks; its tracer can crash when a thread of
# the Firebird client is ending at that moment ("Tracer caught signal 11", "LeakSanitizer has
# encountered a fatal error"). That says nothing about the test, so such a run is repeated, at most
# twice, when every test function passed and no sanitizer reported a fault. Anything else fails at once.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for attempt in 1 2 3; do
  "$@" >"$out" 2>&1
  status=$?
  cat "$out"
  [ $status -eq 0 ] && exit 0
  if grep -q "LeakSanitizer has encountered a fatal error" "$out" &&
     ! grep -q -e "ERROR: LeakSanitizer: detected memory leaks" -e "ERROR: AddressSanitizer" \
               -e "runtime error:" "$out" &&
     grep -q -E "^Totals: [0-9]+ passed, 0 failed" "$out"; then
    echo "run-test: the leak checker's tracer crashed at exit; running the test again ($attempt)"
    continue
  fi
  exit $status
done
exit $status
