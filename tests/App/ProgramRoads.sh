#!/usr/bin/env bash
# Runs the program as a user does from a terminal, against the simulated device, and checks how it ends.
# Usage: ProgramRoads.sh <FirmwareUpdater> silent-update | window-needed | startup-failure
set -euo pipefail
program=$1
road=$2
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

fail() {
  echo "$*" >&2
  exit 1
}

run() {
  status=0
  ZV_MIDI_DRIVER=${ZV_MIDI_DRIVER:-simulated} ZV_SIM_RESTART_MS=50 ZV_SIM_FLASH_MS=100 ZV_SIM_LOG="$folder/device.log" \
    "$program" "$@" 2> "$folder/stderr" || status=$?
}

case "$road" in
  silent-update)
    # A path with blanks in it, as the shell hands it over: one argument.
    mkdir "$folder/my firmware"
    image="$folder/my firmware/image one.syx"
    printf '\xF0\x01\x02\xF7\xF0\x03\x0D\x04\xF7\xF0\x05' > "$image"
    ZV_SIM_DEVICE=update run -SILENT -START_UPDATE_AUTOMATICALLY -ALWAYS_UPDATE "-ABSOLUTE_FIRMWARE_FILE_PATH=$image"
    [ "$status" -eq 1 ] || fail "exit code $status, expected 1"
    received=$(sed -n 's/^[0-9]* RX //p' "$folder/device.log" | grep -v '^F0 47 00 37 07 02 00 00 F7$' || true)
    [ "$received" = $'F0 01 02 F7\nF0 03 F7\nF0 0D 04 F7' ] || fail "the device received: $received"
    grep -q ' STATE done$' "$folder/device.log" || fail "the device never reported done"
    [ ! -s "$folder/stderr" ] || fail "unexpected text on stderr: $(cat "$folder/stderr")"
    ;;
  window-needed)
    ZV_SIM_DEVICE=normal run -FIRMWARE_IMAGE_NAME=NoSuchImage.syx
    [ "$status" -eq 2 ] || fail "exit code $status, expected 2"
    [ "$(wc -l < "$folder/stderr")" -eq 1 ] || fail "expected one line on stderr: $(cat "$folder/stderr")"
    grep -q "the firmware file \".*/NoSuchImage.syx\" is missing" "$folder/stderr" ||
      fail "the line does not name the missing file: $(cat "$folder/stderr")"
    ;;
  startup-failure)
    ZV_MIDI_DRIVER=no-such-driver run -SILENT
    [ "$status" -eq 255 ] || fail "exit code $status, expected 255"
    grep -qx "The application encountered problems during startup and will now close." "$folder/stderr" ||
      fail "no start-up failure text: $(cat "$folder/stderr")"
    ;;
  *)
    fail "unknown road $road"
    ;;
esac
