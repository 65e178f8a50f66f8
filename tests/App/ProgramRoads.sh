#!/usr/bin/env bash
# Runs the program as a user does from a terminal, against the simulated device, and checks how it ends. The roads
# end without the window, and without a display a start-up error goes to the standard error alone.
# Usage: ProgramRoads.sh <FirmwareUpdater> <road>, one of the roads below
set -euo pipefail
program=$1
road=$2
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

fail() {
  echo "$*" >&2
  exit 1
}

# The sanitizer builds' leak checker is told what libraries lose.
leak_options="suppressions=$(dirname "$0")/ProgramLeaks.supp:print_suppressions=0"

run() {
  status=0
  env -u DISPLAY XDG_RUNTIME_DIR="$folder" XDG_DATA_HOME="$folder/data" XDG_CONFIG_HOME="$folder/config" \
    ZV_MIDI_DRIVER=${ZV_MIDI_DRIVER:-simulated} ZV_SIM_RESTART_MS=50 ZV_SIM_FLASH_MS=100 \
    ZV_SIM_LOG="$folder/device.log" LSAN_OPTIONS="$leak_options" "$program" "$@" 2> "$folder/stderr" || status=$?
}

# What the device received beyond the updater's own requests: the image messages.
image_received() {
  sed -n 's/^[0-9]* RX //p' "$folder/device.log" 2> /dev/null | grep -v '^F0 47 .. .. 07 0[025] 00 00 F7$' || true
}

updated_silently() {
  [ "$status" -eq 1 ] || fail "exit code $status, expected 1: $(cat "$folder/stderr")"
  [ ! -s "$folder/stderr" ] || fail "unexpected text on stderr: $(cat "$folder/stderr")"
  grep -q ' STATE done$' "$folder/device.log" || fail "the device never reported done"
}

refused_with() {
  [ "$status" -eq "$1" ] || fail "exit code $status, expected $1"
  [ "$(wc -l < "$folder/stderr")" -eq "$2" ] || fail "expected $2 line(s) on stderr: $(cat "$folder/stderr")"
  grep -qF "$3" "$folder/stderr" || fail "stderr does not say \"$3\": $(cat "$folder/stderr")"
  [ -z "$(image_received)" ] || fail "the device received: $(image_received)"
}

case "$road" in
  silent-update)
    # A path with blanks in it, as the shell hands it over: one argument.
    mkdir "$folder/my firmware"
    image="$folder/my firmware/image one.syx"
    printf '\xF0\x01\x02\xF7\xF0\x03\x0D\x04\xF7' > "$image"
    ZV_SIM_DEVICE=update run -SILENT -START_UPDATE_AUTOMATICALLY -ALWAYS_UPDATE "-ABSOLUTE_FIRMWARE_FILE_PATH=$image"
    updated_silently
    [ "$(image_received)" = $'F0 01 02 F7\nF0 03 F7\nF0 0D 04 F7' ] || fail "the device received: $(image_received)"
    ;;
  running-device)
    # The path enclosed in quotes of its own, as a script written for another shell might pass it.
    image="$folder/with blank.syx"
    printf '\xF0\x01\x02\xF7\xF0\x03\x04\xF7' > "$image"
    ZV_SIM_DEVICE=normal run -SILENT -START_UPDATE_AUTOMATICALLY "-ABSOLUTE_FIRMWARE_FILE_PATH=\"$image\""
    updated_silently
    [ "$(image_received)" = $'F0 01 02 F7\nF0 03 04 F7' ] || fail "the device received: $(image_received)"
    ;;
  refused-image)
    printf '\xF0\x01\xF0\x02\xF7' > "$folder/image.syx"
    ZV_SIM_DEVICE=update run -SILENT -START_UPDATE_AUTOMATICALLY "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
    refused_with 3 1 "was refused at byte offset 2: a message begins inside another one; nothing was sent"
    ;;
  silent-cannot-update)
    # Without a display for the window that would say why, the silent run says it in one line.
    printf 'F0 01 F7' > "$folder/text.syx"
    ZV_SIM_DEVICE=normal run -SILENT -START_UPDATE_AUTOMATICALLY "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/text.syx"
    refused_with 3 1 "was refused at byte offset 0: a byte stands outside any message; nothing was sent"
    ! grep -q ' STATE restarting$' "$folder/device.log" || fail "the device was sent into update mode"
    ZV_SIM_DEVICE=normal run -SILENT "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/none.syx"
    refused_with 3 1 "FirmwareUpdater: the firmware file \"$folder/none.syx\" is missing"
    printf '\xF0\x01\x02\xF7' > "$folder/image.syx"
    ZV_SIM_DEVICE=absent run -SILENT -START_UPDATE_AUTOMATICALLY "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
    refused_with 3 1 "FirmwareUpdater: no device was found (looked for MIDI ports named \"Halvista"
    ;;
  switch-in-path)
    # Names of switches inside a path, or in a quoted path with blanks, are text: no downgrade, and a real -SILENT
    # after them still counts.
    mkdir -p "$folder/x-SILENT" "$folder/with -ALWAYS_UPDATE blank"
    printf '\xF0\x01\x02\xF7' > "$folder/x-SILENT/fw-ALWAYS_UPDATE"
    cp "$folder/x-SILENT/fw-ALWAYS_UPDATE" "$folder/with -ALWAYS_UPDATE blank/fw.syx"
    for image in "$folder/x-SILENT/fw-ALWAYS_UPDATE" "$folder/with -ALWAYS_UPDATE blank/fw.syx"; do
      ZV_SIM_DEVICE=normal ZV_SIM_BUILD=90000 run "-ABSOLUTE_FIRMWARE_FILE_PATH=$image" -START_UPDATE_AUTOMATICALLY -SILENT
      [ "$status" -eq 1 ] || fail "exit code $status, expected 1: $(cat "$folder/stderr")"
      ! grep -q ' STATE restarting$' "$folder/device.log" || fail "a newer device was sent into update mode"
      [ -z "$(image_received)" ] || fail "the device received: $(image_received)"
    done
    ;;
  path-not-utf8)
    # A file of the name cut at the byte that is not UTF-8 must never be taken instead.
    printf '\xF0\x01\x02\xF7' > "$folder/fw"
    printf '\xF0\x01\x02\xF7' > "$folder/fw"$'\xE9'".syx"
    ZV_SIM_DEVICE=update run -SILENT -START_UPDATE_AUTOMATICALLY "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/fw"$'\xE9'".syx"
    refused_with 255 2 "Argument 3 is not UTF-8 text, so it cannot name a file: -ABSOLUTE_FIRMWARE_FILE_PATH=$folder/fw\\xE9.syx"
    grep -qx "Error: The application encountered problems during startup and will now close." "$folder/stderr" ||
      fail "no start-up failure text: $(cat "$folder/stderr")"
    ;;
  startup-failure)
    ZV_MIDI_DRIVER=no-such-driver run -SILENT
    [ "$status" -eq 255 ] || fail "exit code $status, expected 255"
    grep -qx "Error: The application encountered problems during startup and will now close." "$folder/stderr" ||
      fail "no start-up failure text: $(cat "$folder/stderr")"
    ;;
  no-display)
    ZV_SIM_DEVICE=absent run
    [ "$status" -eq 255 ] || fail "exit code $status, expected 255"
    grep -q "^Runtime Error : There is no X display to show the window on" "$folder/stderr" ||
      fail "the reason is not said: $(cat "$folder/stderr")"
    grep -qx "Error: The application encountered problems during startup and will now close." "$folder/stderr" ||
      fail "no start-up failure text: $(cat "$folder/stderr")"
    ;;
  two-devices-silent)
    # Of two devices the first is updated and the second never touched; the run ends with the update's outcome.
    printf '\xF0\x01\x02\xF7\xF0\x03\x04\xF7' > "$folder/image.syx"
    ZV_SIM_DEVICE=two run -SILENT "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
    updated_silently
    [ "$(image_received)" = $'F0 01 02 F7\nF0 03 04 F7' ] || fail "the first device received: $(image_received)"
    second=$(sed -n 's/^[0-9]* STATE //p' "$folder/device.log.2")
    [ "$second" = normal ] || fail "the second device went through: $second"
    ! grep -q ' RX F0 01 02 F7$' "$folder/device.log.2" || fail "the second device received the image"
    ;;
  quoted-switch-in-argument)
    # A double quote inside an argument is part of it: a switch name between quotes, in an extra argument or in a
    # file name, neither downgrades a newer device nor sends the file (q) that the name's first part would be.
    printf '\xF0\x01\x02\xF7' > "$folder/fw.syx"
    printf '\xF0\x03\x04\xF7' > "$folder/q"
    cp "$folder/fw.syx" "$folder/q\" -ALWAYS_UPDATE \"x.syx"
    not_downgraded() {
      [ "$status" -eq 1 ] || fail "exit code $status, expected 1: $(cat "$folder/stderr")"
      ! grep -q ' STATE restarting$' "$folder/device.log" || fail "a newer device was sent into update mode"
      [ -z "$(image_received)" ] || fail "the device received: $(image_received)"
    }
    ZV_SIM_DEVICE=normal ZV_SIM_BUILD=79000 run -SILENT "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/fw.syx" 'a" -ALWAYS_UPDATE "b'
    not_downgraded
    ZV_SIM_DEVICE=normal ZV_SIM_BUILD=79000 run -SILENT "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/q\" -ALWAYS_UPDATE \"x.syx"
    not_downgraded
    ;;
  quote-in-path)
    # A quote in a file path is part of the path: a -SILENT after it still counts, and a name that holds quotes around
    # a switch is the file sent, never the file (q) that its first part would be.
    printf '\xF0\x01\x02\xF7' > "$folder/q\"uote.syx"
    ZV_SIM_DEVICE=update run "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/q\"uote.syx" -SILENT
    updated_silently
    [ "$(image_received)" = 'F0 01 02 F7' ] || fail "the device received: $(image_received)"
    printf '\xF0\x03\x04\xF7' > "$folder/q"
    printf '\xF0\x05\x06\xF7' > "$folder/q\" -ALWAYS_UPDATE \"x.syx"
    ZV_SIM_DEVICE=update run -SILENT "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/q\" -ALWAYS_UPDATE \"x.syx"
    updated_silently
    [ "$(image_received)" = 'F0 05 06 F7' ] || fail "the device received: $(image_received)"
    ;;
  *)
    fail "unknown road $road"
    ;;
esac
