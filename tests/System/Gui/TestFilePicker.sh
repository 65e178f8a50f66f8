#!/bin/sh
# Stands in for the desktop's file picker. It writes the arguments it was given to $ZV_TEST_PICKER_LOG, each ended
# by a NUL, and the signals it was started ignoring (the SigIgn line of its status) to $ZV_TEST_PICKER_LOG.ignored;
# when $ZV_TEST_PICKER_GATE names a pipe it waits for a line from it; then it prints $ZV_TEST_PICKER_ANSWER and ends
# with $ZV_TEST_PICKER_EXIT (0 when unset). Only the shell's own commands are used, so that it runs with any PATH.
: > "$ZV_TEST_PICKER_LOG"
for argument in "$@"; do
  printf '%s\0' "$argument" >> "$ZV_TEST_PICKER_LOG"
done
while read -r name value; do
  [ "$name" = SigIgn: ] && printf '%s' "$value" > "$ZV_TEST_PICKER_LOG.ignored"
done < /proc/$$/status
if [ -n "$ZV_TEST_PICKER_GATE" ]; then
  read -r go < "$ZV_TEST_PICKER_GATE"
fi
printf '%s' "$ZV_TEST_PICKER_ANSWER"
exit "${ZV_TEST_PICKER_EXIT:-0}"
