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

# The program starts in place of the shell that runs this; it ends when the road ends, whether or not the road waited
# for it, as the system ends it then: no road signals a process by a number that may have passed to another.
launch() {
  exec setpriv --pdeathsig KILL env -u DISPLAY XDG_RUNTIME_DIR="$folder" XDG_DATA_HOME="$folder/data" \
    XDG_CONFIG_HOME="$folder/config" XDG_STATE_HOME="$folder/state" ZV_MIDI_DRIVER=${ZV_MIDI_DRIVER:-simulated} \
    ZV_SIM_RESTART_MS=${ZV_SIM_RESTART_MS:-50} ZV_SIM_FLASH_MS=100 ZV_SIM_LOG="$folder/device.log" \
    LSAN_OPTIONS="$leak_options" "$program" "$@" 2> "$folder/stderr"
}

run() {
  status=0
  (launch "$@") || status=$?
}

# Whether the process given, started by this shell in the background, still runs: the shell's own record of it, never
# the number, which another process may have by then.
running() {
  [[ $'\n'$(jobs -rp)$'\n' == *$'\n'"$1"$'\n'* ]]
}

# Sends the signal (a name) to each process given, a process id followed by the log that the simulated device of its
# program writes, while it is that start of the program; false when one is not, or has ended. Each process is held by
# a descriptor of its own from before it is looked at until it is signalled, so a number that has passed to another
# process reaches nothing.
signal_program() {
  perl -e '
    require "syscall.ph";
    my ($signal, %logs) = @ARGV;
    my $missed = 0;
    while (my ($pid, $log) = each %logs) {
      my $process = syscall(SYS_pidfd_open(), $pid + 0, 0);
      my $variables = "";
      if (open(my $environment, "<", "/proc/$pid/environ")) { local $/; $variables = <$environment> // ""; }
      $missed = 1 if $process < 0 || index("\0$variables", "\0ZV_SIM_LOG=$log\0") < 0 ||
        syscall(SYS_pidfd_send_signal(), $process, $signal + 0, 0, 0) != 0;
    }
    exit $missed;
  ' "$(kill -l "$1")" "${@:2}"
}

# What the device received beyond the updater's own requests: the image messages.
image_received() {
  sed -n 's/^[0-9]* RX //p' "$folder/device.log" 2> /dev/null | grep -v '^F0 47 .. .. 07 0[025] 00 00 F7$' || true
}

# What the second device (log device.log.2) received beyond status and version requests.
second_received() {
  sed -n 's/^[0-9]* RX //p' "$folder/device.log.2" 2> /dev/null | grep -v '^F0 47 .. .. 07 0[25] 00 00 F7$' || true
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

# The pause between looks is a read of a pipe that nobody writes, given up after 50 ms: the shell's own, as a process
# for each pause would take much of two busy cores.
mkfifo "$folder/pause"
exec {pause}<> "$folder/pause"

# Waits, for a minute at most, until the command given succeeds; false when it never did.
await() {
  for _ in {1..1200}; do
    "$@" && return 0
    read -r -t 0.05 -u "$pause" _ || true
  done
  "$@"
}

# Whether the file has a line that matches the pattern (grep -E), or the process given (a pid) has ended.
line_or_end() {
  grep -qE -- "$2" "$1" 2> /dev/null || { [ -n "${3-}" ] && ! running "$3"; }
}

# Waits until the file has a line that matches the pattern; false when the process given ended first, or after a
# minute without it.
await_line() {
  await line_or_end "$@" && grep -qE -- "$2" "$1" 2> /dev/null
}

# Lets the simulated devices of the runs that read the file go from their next hold.
release() {
  echo >> "$1"
}

# Waits until the first start (process $first, device log first.log) has sent its image; the text given names that
# start in a failure.
first_sent_its_image() {
  await_line "$folder/first.log" ' RX F0 01 02 F7$' "$first" && return
  running "$first" || fail "the first start${1-} ended: $(cat "$folder/first.stderr")"
  fail "the first start${1-} never sent its image"
}

# Starts the run with the arguments given in the background (its pid in runner), its simulated devices' holds
# released by the lines of $folder/release.
start_held_run() {
  rm -f "$folder/release"
  ZV_SIM_RELEASE="$folder/release" launch "$@" &
  runner=$!
}

# Lets the next hold go and waits for the run's end.
release_and_wait() {
  release "$folder/release"
  status=0
  wait "$runner" || status=$?
}

# Runs the program with the arguments given after the log and the text; once that log of the simulated device holds
# the text, lets its first hold go and waits for the program to end.
released_once_logged() {
  local log=$1 text=$2
  shift 2
  start_held_run "$@"
  await_line "$folder/$log" "$text" "$runner" ||
    fail "the run ended before $log said \"$text\": $(cat "$folder/stderr")"
  release_and_wait
}

# A silent run of image.syx whose device is held in its restart into update mode until the command given has changed
# the file. The run sends nothing and says why (the text given), and the device waits in update mode.
refused_after_change_during_restart() {
  ZV_SIM_DEVICE=normal ZV_SIM_CUES=1.restarting:hold start_held_run -SILENT -START_UPDATE_AUTOMATICALLY \
    "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
  await_line "$folder/device.log" ' HOLD 1$' "$runner" || fail "the device never restarted: $(cat "$folder/stderr")"
  "$1"
  release_and_wait
  refused_with 3 1 "$2"
  grep -q ' STATE update$' "$folder/device.log" || fail "the device never came back in update mode"
}

# A silent run whose first device is held in its restart into update mode until the program has looked at the devices
# again while it is away (the second device, device.log.2, was asked its status once more); the arguments are the run's.
run_with_a_look_during_restart() {
  ZV_SIM_CUES=1.restarting:hold start_held_run "$@"
  await_line "$folder/device.log" ' HOLD 1$' "$runner" || fail "the device never restarted: $(cat "$folder/stderr")"
  asked_before=$(status_requests_to_second)
  await asked_again || fail "the devices were not looked at while the device restarted: $(cat "$folder/stderr")"
  release_and_wait
}
status_requests_to_second() { grep -c ' RX F0 47 .. .. 07 02 00 00 F7$' "$folder/device.log.2" || true; }
asked_again() { [ "$(status_requests_to_second)" -gt "$asked_before" ]; }

case "$road" in
  silent-update)
    # A path with blanks in it, as the shell hands it over: one argument.
    mkdir "$folder/my firmware"
    image="$folder/my firmware/image one.syx"
    printf '\xF0\x01\x02\xF7\xF0\x03\x0D\x04\xF7' > "$image"
    ZV_SIM_DEVICE=update run -SILENT -START_UPDATE_AUTOMATICALLY -ALWAYS_UPDATE "-ABSOLUTE_FIRMWARE_FILE_PATH=$image"
    updated_silently
    [ "$(image_received)" = $'F0 01 02 F7\nF0 03 F7\nF0 0D 04 F7' ] || fail "the device received: $(image_received)"
    # The program in a folder whose name is not UTF-8, beside its settings library: it finds itself whole.
    elsewhere=$folder/$'pro\xE4gram'
    mkdir "$elsewhere"
    cp "$program" "$(dirname "$program")/libIniFileManager.so" "$elsewhere/"
    program=$elsewhere/$(basename "$program")
    rm -f "$folder/device.log"
    ZV_SIM_DEVICE=update run -SILENT -START_UPDATE_AUTOMATICALLY -ALWAYS_UPDATE "-ABSOLUTE_FIRMWARE_FILE_PATH=$image"
    updated_silently
    # Its own firmware file there cannot be named: none is, and nothing elsewhere is taken for it.
    cp "$image" "$folder/QR27C_AppAndAssets.syx"
    ZV_SIM_DEVICE=update run -SILENT -START_UPDATE_AUTOMATICALLY -ALWAYS_UPDATE
    refused_with 3 1 "FirmwareUpdater: no firmware file is named"
    ;;
  running-device)
    # The path enclosed in quotes of its own, as a script written for another shell might pass it.
    image="$folder/with blank.syx"
    printf '\xF0\x01\x02\xF7\xF0\x03\x04\xF7' > "$image"
    ZV_SIM_DEVICE=normal run -SILENT -START_UPDATE_AUTOMATICALLY "-ABSOLUTE_FIRMWARE_FILE_PATH=\"$image\""
    updated_silently
    [ "$(image_received)" = $'F0 01 02 F7\nF0 03 04 F7' ] || fail "the device received: $(image_received)"
    # With debug output, one line for each step of the update.
    ZV_DEBUG_OUTPUT=1 ZV_SIM_DEVICE=normal run -SILENT -START_UPDATE_AUTOMATICALLY "-ABSOLUTE_FIRMWARE_FILE_PATH=$image"
    [ "$status" -eq 1 ] || fail "with debug output: exit code $status, expected 1: $(cat "$folder/stderr")"
    steps=$(grep -E '^(Update|FirmwareUpdater): ' "$folder/stderr")
    [ "$steps" = 'Update: found the device "Halvista Left", running build 78500
Update: sent the device into update mode
Update: the image went out whole (8 bytes); waiting for the device'"'"'s confirmation
Update: the device confirmed the image
FirmwareUpdater: the update finished' ] || fail "the debug output's steps: $steps"
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
    ZV_SIM_DEVICE=normal run -SILENT "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder"
    refused_with 3 1 "FirmwareUpdater: the firmware file \"$folder\" is a folder"
    printf '\xF0\x01\x02\xF7' > "$folder/image.syx"
    ZV_SIM_DEVICE=absent run -SILENT -START_UPDATE_AUTOMATICALLY "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
    refused_with 3 1 "FirmwareUpdater: no device was found (looked for MIDI ports named \"Halvista"
    # A name that would end the line and write another over it on a terminal, missing and refused: still one line.
    name=$'fw\n\e[2K\rFirmwareUpdater: the update finished'
    shown='fw\x0A\x1B[2K\x0DFirmwareUpdater: the update finished'
    ZV_SIM_DEVICE=normal run -SILENT "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/$name"
    refused_with 3 1 "FirmwareUpdater: the firmware file \"$folder/$shown\" is missing"
    printf 'F0 01 F7' > "$folder/$name"
    ZV_SIM_DEVICE=normal run -SILENT "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/$name"
    refused_with 3 1 "FirmwareUpdater: the firmware file \"$folder/$shown\" was refused at byte offset 0"
    ;;
  switch-in-path)
    # Names of switches inside a path, or in a quoted path with blanks, are text: no downgrade, and a real -SILENT
    # after them still counts.
    mkdir -p "$folder/x-SILENT" "$folder/with -ALWAYS_UPDATE blank"
    printf '\xF0\x01\x02\xF7' > "$folder/x-SILENT/fw-ALWAYS_UPDATE"
    cp "$folder/x-SILENT/fw-ALWAYS_UPDATE" "$folder/with -ALWAYS_UPDATE blank/fw.syx"
    for image in "$folder/x-SILENT/fw-ALWAYS_UPDATE" "$folder/with -ALWAYS_UPDATE blank/fw.syx"; do
      ZV_SIM_DEVICE=normal ZV_SIM_BUILD=90000 \
        run "-ABSOLUTE_FIRMWARE_FILE_PATH=$image" -START_UPDATE_AUTOMATICALLY -SILENT
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
    # One line says why; the start-up error box would show with a display, and says nothing more on stderr.
    refused_with 255 1 \
      "Argument 3 is not UTF-8 text, so it cannot name a file: -ABSOLUTE_FIRMWARE_FILE_PATH=$folder/fw\\xE9.syx"
    ;;
  startup-failure)
    ZV_MIDI_DRIVER=no-such-driver run -SILENT
    [ "$status" -eq 255 ] || fail "exit code $status, expected 255"
    grep -qx "Error: The application encountered problems during startup and will now close." "$folder/stderr" ||
      fail "no start-up failure text: $(cat "$folder/stderr")"
    ;;
  no-display)
    # No box can show: one line says why, and nothing else does.
    ZV_SIM_DEVICE=absent run
    refused_with 255 1 "There is no X display to show the window on: DISPLAY is not set, or its server cannot be \
reached; this start ends."
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
    ZV_SIM_DEVICE=normal ZV_SIM_BUILD=79000 \
      run -SILENT "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/fw.syx" 'a" -ALWAYS_UPDATE "b'
    not_downgraded
    ZV_SIM_DEVICE=normal ZV_SIM_BUILD=79000 \
      run -SILENT "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/q\" -ALWAYS_UPDATE \"x.syx"
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
  closed-stderr)
    # Standard error a pipe whose reader has gone, so that every line written to it fails, or no standard error at
    # all, and no standard output: the run goes on as if nothing was written, and ends with its own outcome. The
    # program starts with SIGPIPE at its default, as from a terminal, whatever the test runner ignores: perl sets it
    # (a shell cannot take back an ignore it started with).
    mkfifo "$folder/pipe"
    exec 3<> "$folder/pipe" 4> "$folder/pipe" 3<&-
    real_program=$program
    program=$folder/without-stderr
    default_pipe_signal='$SIG{PIPE} = "DEFAULT"; exec @ARGV or die "cannot start $ARGV[0]: $!"'
    printf '#!/bin/sh\n[ -z "$NO_STDERR" ] || exec perl -e '"'%s'"' "%s" "$@" >&- 2>&-\n' \
      "$default_pipe_signal" "$real_program" > "$program"
    printf 'exec perl -e '"'%s'"' "%s" "$@" >&- 2>&4\n' "$default_pipe_signal" "$real_program" >> "$program"
    chmod +x "$program"
    for _ in $(seq 1000); do printf '\xF0\x01\x02\x03\x04\x05\x06\x07\x08\xF7'; done > "$folder/image.syx"
    # Asked to end in the middle of the update, by kill or by the terminal's quit key: the line that says it goes on
    # cannot be written. The device reports done only for the whole image, message by message, and holds from its
    # hundredth message until the signal has gone.
    for signal in TERM QUIT; do
      rm -f "$folder/device.log"
      ZV_SIM_DEVICE=update ZV_SIM_BYTES_PER_SECOND=5000 ZV_SIM_EXPECT_IMAGE="$folder/image.syx" \
        ZV_SIM_CUES=1.image#100:hold start_held_run -SILENT -START_UPDATE_AUTOMATICALLY \
        "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
      await_line "$folder/device.log" ' HOLD 1$' "$runner" || fail "the update did not get under way"
      signal_program "$signal" "$runner" "$folder/device.log" || fail "the update ended before SIG$signal"
      release_and_wait
      [ "$status" -eq 1 ] || fail "SIG$signal during the update: exit code $status, expected 1"
      [ "$(image_received | wc -l)" -eq 1000 ] ||
        fail "SIG$signal: the device received $(image_received | wc -l) of 1000 messages"
      grep -q ' STATE done$' "$folder/device.log" || fail "SIG$signal: the device never reported done"
    done
    printf '\xF0\x01\xF0\x02\xF7' > "$folder/refused.syx"
    ZV_SIM_DEVICE=update run -SILENT -START_UPDATE_AUTOMATICALLY "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/refused.syx"
    [ "$status" -eq 3 ] || fail "a refused file: exit code $status, expected 3"
    printf '\xF0\x01\x02\xF7' > "$folder/image.syx"
    # Debug output on the standard error, and debug output sent as datagrams that nobody takes.
    for switch in "" -DEBUG_CONSOLE -DEBUG_CONSOLE:47999:127.0.0.1; do
      ZV_DEBUG_OUTPUT=1 ZV_SIM_DEVICE=update run -SILENT -START_UPDATE_AUTOMATICALLY \
        "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx" ${switch:+"$switch"}
      [ "$status" -eq 1 ] || fail "a whole update with debug output $switch: exit code $status, expected 1"
      grep -q ' STATE done$' "$folder/device.log" || fail "with debug output $switch the device never reported done"
    done
    # Without a standard error, its number is no file's that the program opens: the debug text goes nowhere.
    NO_STDERR=1 ZV_DEBUG_OUTPUT=1 ZV_SIM_DEVICE=update run -SILENT -START_UPDATE_AUTOMATICALLY \
      "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
    [ "$status" -eq 1 ] || fail "a whole update without a standard error: exit code $status, expected 1"
    ! grep -rlF --devices=skip "Shut-down" "$folder" || fail "the debug text went into a file"
    ;;
  firmware-file-gone)
    # The file goes, or a folder takes its place, while the device restarts into update mode: the device waits in
    # update mode, and the run says so.
    take_away() {
      rm "$folder/image.syx"
      [ "$replacement" = nothing ] || mkdir "$folder/image.syx"
    }
    for replacement in nothing folder; do
      rm -rf "$folder/image.syx" "$folder/device.log"
      printf '\xF0\x01\x02\xF7' > "$folder/image.syx"
      said="could not be read"
      [ "$replacement" = nothing ] || said="was a folder"
      refused_after_change_during_restart take_away "FirmwareUpdater: the firmware file \"$folder/image.syx\" $said \
when the image was to be sent; nothing was sent, and the device waits in update mode"
    done
    ;;
  unanswering-device)
    # Ports of the device's name are there, but it does not answer as it should: the line names the port and what
    # went unanswered. Without the ports, no device was found.
    printf '\xF0\x01\x02\xF7' > "$folder/image.syx"
    port='the device at MIDI port "Halvista Left"'
    for fault in garbage-replies no-version silent absent; do
      case "$fault" in
        garbage-replies) device=normal; said="$port answered the status request with a reply that could not be read" ;;
        no-version) device=normal; said="$port did not answer the firmware version request within 2 s" ;;
        silent) device=silent fault=""; said="$port did not answer the status request within 1 s" ;;
        absent) device=absent fault=""; said='no device was found (looked for MIDI ports named "Halvista Left"' ;;
      esac
      ZV_SIM_DEVICE=$device ZV_SIM_FAULT=$fault run -SILENT -START_UPDATE_AUTOMATICALLY \
        "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
      refused_with 3 1 "FirmwareUpdater: $said"
    done
    ;;
  busy-port)
    # Another program holds the device's port open: the device is there but cannot be used, and the line says so,
    # naming the port, instead of saying that no device was found.
    printf '\xF0\x01\x02\xF7' > "$folder/image.syx"
    ZV_SIM_FAULT=busy-port run -SILENT -START_UPDATE_AUTOMATICALLY "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
    refused_with 3 1 'FirmwareUpdater: the MIDI port "Halvista Left" is in use by another program'
    # The same when another program takes the ports as the device comes back from its restart into update mode.
    ZV_SIM_FAULT=busy-after-restart run -SILENT -START_UPDATE_AUTOMATICALLY \
      "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
    refused_with 3 1 "FirmwareUpdater: the MIDI port \"Halvista Left\" is in use by another program; nothing was sent, \
and the device waits in update mode"
    grep -q ' STATE update$' "$folder/device.log" || fail "the device never came back in update mode"
    ;;
  stuck-send)
    # The device's port takes no message: the request could not even be sent.
    printf '\xF0\x01\x02\xF7' > "$folder/image.syx"
    ZV_SIM_FAULT=stuck-send run -SILENT -START_UPDATE_AUTOMATICALLY "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
    refused_with 3 1 'FirmwareUpdater: the status request could not be sent to the device at MIDI port "Halvista Left"'
    ;;
  foreign-shared-folder)
    # Without XDG_RUNTIME_DIR, what another user put first at this user's name under /tmp (a folder open to all, a
    # link to elsewhere, a plain file) neither switches the one-instance guard off nor is used: a second silent start
    # beside a running one ends with 255 and sends nothing.
    shared="/tmp/Corvan_DEVICE_FAMILY_NAME_String_FirmwareUpdaterPrevent-$(id -u)"
    trap 'rm -rf "$folder" "$shared"' EXIT
    mkdir -p "$folder/home" "$folder/elsewhere"
    printf '\xF0\x01\x02\xF7' > "$folder/image.syx"
    # In place of the shell that runs it, so that the first's job is the program itself; it ends with the road.
    started() {
      exec setpriv --pdeathsig KILL env -u DISPLAY -u XDG_RUNTIME_DIR -u XDG_STATE_HOME HOME="$folder/home" \
        XDG_DATA_HOME="$folder/data" XDG_CONFIG_HOME="$folder/config" ZV_MIDI_DRIVER=simulated ZV_SIM_DEVICE=update \
        ZV_SIM_RESTART_MS=50 LSAN_OPTIONS="$leak_options" "$program" -SILENT -START_UPDATE_AUTOMATICALLY \
        -ALWAYS_UPDATE "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
    }
    rm -rf "$shared"
    mkdir -m 0777 "$shared"
    # The first waits for its device, held once it took the image, until the road ends.
    ZV_SIM_CUES=1.image:hold ZV_SIM_LOG="$folder/first.log" started 2> "$folder/first.stderr" &
    first=$!
    first_sent_its_image
    for planted in folder link file; do
      rm -rf "$shared"
      case $planted in
        folder) mkdir -m 0777 "$shared" ;;
        link) ln -s "$folder/elsewhere" "$shared" ;;
        file) echo "not a folder" > "$shared" ;;
      esac
      status=0
      (ZV_SIM_LOG="$folder/$planted.log" started) 2> "$folder/stderr" || status=$?
      [ "$status" -eq 255 ] ||
        fail "beside a $planted at $shared: exit code $status, expected 255: $(cat "$folder/stderr")"
      grep -qx "The program is running already but does not answer; this start ends." "$folder/stderr" ||
        fail "beside a $planted at $shared: $(cat "$folder/stderr")"
      ! grep -q ' RX ' "$folder/$planted.log" 2> /dev/null ||
        fail "beside a $planted, the second start sent to its device"
    done
    [ -z "$(ls -A "$folder/elsewhere")" ] || fail "the link at $shared was followed: $(ls -A "$folder/elsewhere")"
    running "$first" || fail "the first start did not run on: $(cat "$folder/first.stderr")"
    ;;
  runtime-folder-or-none)
    # A start with a private XDG_RUNTIME_DIR (the desktop's) and one without (a cron job's, sudo -u's) are starts of
    # one user: beside a running first, the second ends with 255 and sends nothing, in either order.
    mkdir -m 0700 "$folder/home" "$folder/runtime"
    printf '\xF0\x01\x02\xF7' > "$folder/image.syx"
    # In place of the shell that runs it, so that the first's job is the program itself; it ends with the road.
    started() {
      runtime=""
      [ "$1" = with ] && runtime=$folder/runtime
      exec setpriv --pdeathsig KILL env -u DISPLAY -u XDG_RUNTIME_DIR -u XDG_STATE_HOME \
        ${runtime:+"XDG_RUNTIME_DIR=$runtime"} HOME="$folder/home" XDG_DATA_HOME="$folder/data" \
        XDG_CONFIG_HOME="$folder/config" ZV_MIDI_DRIVER=simulated ZV_SIM_DEVICE=update ZV_SIM_RESTART_MS=50 \
        LSAN_OPTIONS="$leak_options" "$program" -SILENT -START_UPDATE_AUTOMATICALLY -ALWAYS_UPDATE \
        "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
    }
    for order in "with without" "without with"; do
      read -r first_start second_start <<< "$order"
      rm -f "$folder/first.log" "$folder/second.log"
      # The first waits for its device, held once it took the image, until it is killed.
      ZV_SIM_CUES=1.image:hold ZV_SIM_LOG="$folder/first.log" started "$first_start" 2> "$folder/first.stderr" &
      first=$!
      first_sent_its_image " ($first_start)"
      status=0
      (ZV_SIM_LOG="$folder/second.log" started "$second_start") 2> "$folder/stderr" || status=$?
      beside="$second_start XDG_RUNTIME_DIR beside one $first_start"
      [ "$status" -eq 255 ] || fail "$beside: exit code $status, expected 255: $(cat "$folder/stderr")"
      grep -qx "The program is running already but does not answer; this start ends." "$folder/stderr" ||
        fail "$beside: $(cat "$folder/stderr")"
      ! grep -q ' RX ' "$folder/second.log" 2> /dev/null || fail "the second start ($second_start) sent to its device"
      signal_program KILL "$first" "$folder/first.log" ||
        fail "the first start ($first_start) ended before it was killed"
      wait "$first" 2> /dev/null || true
    done
    ;;
  mixed-pair-silent)
    # The first device runs, the second waits in update mode already. While the first restarts into update mode and
    # the program looks at the devices, the second is the only device there: it never takes the first's place.
    printf '\xF0\x01\x02\xF7\xF0\x03\x04\xF7' > "$folder/image.syx"
    ZV_SIM_DEVICE=normal,update run_with_a_look_during_restart -SILENT \
      "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
    updated_silently
    [ "$(image_received)" = $'F0 01 02 F7\nF0 03 04 F7' ] || fail "the first device received: $(image_received)"
    [ -z "$(second_received)" ] || fail "the second device received: $(second_received)"
    ;;
  namesake-devices-silent)
    # Two devices carry one name. With one of them in update mode, found first or second, the image could reach
    # either: neither is sent a byte of it nor into update mode, and one line says why. Both running: the first is
    # updated whole, also when the program looks at the devices while it restarts, and the other is never touched.
    printf '\xF0\x01\x02\xF7\xF0\x03\x04\xF7' > "$folder/image.syx"
    for devices in normal+update update+normal; do
      rm -f "$folder/device.log" "$folder/device.log.2"
      ZV_SIM_DEVICE=$devices run -SILENT -START_UPDATE_AUTOMATICALLY "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
      refused_with 3 1 \
        'FirmwareUpdater: two devices named "Halvista Left" are connected; connect only the one to update'
      [ -z "$(second_received)" ] || fail "$devices: the second device received: $(second_received)"
      ! grep -q ' STATE restarting$' "$folder/device.log" "$folder/device.log.2" ||
        fail "$devices: a device was sent into update mode"
    done
    rm -f "$folder/device.log" "$folder/device.log.2"
    ZV_SIM_DEVICE=normal+normal run_with_a_look_during_restart -SILENT "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
    updated_silently
    [ "$(image_received)" = $'F0 01 02 F7\nF0 03 04 F7' ] || fail "the first device received: $(image_received)"
    [ "$(sed -n 's/^[0-9]* STATE //p' "$folder/device.log.2")" = normal ] || fail "the second device changed state"
    [ -z "$(second_received)" ] || fail "the second device received: $(second_received)"
    ;;
  namesake-plugged-during-send)
    # While the device in update mode takes its image, slowly, another of its name, also in update mode, is plugged in
    # as the first message arrives, and listed before it (device.log). The image and the confirmation stay with the
    # device that was chosen.
    for _ in $(seq 30); do
      printf '\xF0'; head -c 100 /dev/zero | tr '\0' '\1'; printf '\xF7'
    done > "$folder/image.syx"
    ZV_SIM_DEVICE=update@cue+update ZV_SIM_CUES=2.image:plug=1 ZV_SIM_BYTES_PER_SECOND=500 \
      ZV_SIM_EXPECT_IMAGE="$folder/image.syx" run -SILENT -START_UPDATE_AUTOMATICALLY \
      "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
    [ "$status" -eq 1 ] || fail "exit code $status, expected 1: $(cat "$folder/stderr")"
    [ ! -s "$folder/stderr" ] || fail "unexpected text on stderr: $(cat "$folder/stderr")"
    grep -q ' STATE done$' "$folder/device.log.2" || fail "the chosen device never reported done"
    [ "$(grep -c ' RX F0 01' "$folder/device.log.2")" -eq 30 ] || fail "the chosen device did not take the whole image"
    ! grep -q ' RX ' "$folder/device.log" || fail "the newcomer received: $(grep ' RX ' "$folder/device.log")"
    plugged=$(sed -n 's/^\([0-9]*\) STATE update$/\1/p' "$folder/device.log")
    last_image=$(sed -n 's/^\([0-9]*\) RX F0 01.*/\1/p' "$folder/device.log.2" | tail -n 1)
    [ -n "$plugged" ] && [ "$plugged" -lt "$last_image" ] || fail "the newcomer was not plugged in during the image"
    ;;
  namesake-held-by-another-program)
    # Of two running devices of one name, another program holds the second: it cannot be asked whether it is in update
    # mode, nor told from the first while that one restarts (here for longer than a turn of the wait). Neither is sent
    # into update mode, and one line says why.
    printf '\xF0\x01\x02\xF7' > "$folder/image.syx"
    ZV_SIM_DEVICE=normal+normal ZV_SIM_FAULT=busy-port=2 ZV_SIM_RESTART_MS=1200 run -SILENT \
      -START_UPDATE_AUTOMATICALLY "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
    refused_with 3 1 'FirmwareUpdater: two devices named "Halvista Left" are connected; connect only the one to update'
    ! grep -q ' RX F0 47 00 37 07 00 00 00 F7$' "$folder/device.log" || fail "the device was sent into update mode"
    [ "$(sed -n 's/^[0-9]* STATE //p' "$folder/device.log")" = normal ] || fail "the device changed state"
    ;;
  namesake-plugged-during-restart)
    # While the chosen device restarts into update mode, another of its name is plugged in already in update mode and
    # takes the image, slowly; meanwhile the chosen one comes back in update mode (it is held away until the other has
    # taken the first message). It waits for an image, and the run says so and ends with 3.
    for _ in $(seq 30); do
      printf '\xF0'; head -c 100 /dev/zero | tr '\0' '\1'; printf '\xF7'
    done > "$folder/image.syx"
    ZV_SIM_DEVICE=normal+update@cue ZV_SIM_CUES=1.restarting:plug=2,1.restarting:hold ZV_SIM_BYTES_PER_SECOND=1000 \
      ZV_SIM_EXPECT_IMAGE="$folder/image.syx" released_once_logged device.log.2 ' RX F0 01 ' -SILENT \
      -START_UPDATE_AUTOMATICALLY "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
    refused_with 3 1 "FirmwareUpdater: a device named \"Halvista Left\" confirmed the image, but another device of \
that name waits in update mode for its image; connect only that one and update it"
    grep -q ' STATE done$' "$folder/device.log.2" || fail "the newcomer never took the image"
    [ "$(sed -n 's/^[0-9]* STATE //p' "$folder/device.log" | tail -n 1)" = update ] ||
      fail "the chosen device does not wait in update mode"
    ;;
  namesake-back-after-confirmation)
    # While the chosen device restarts into update mode, another of its name is plugged in already in update mode,
    # takes the image and confirms it before the chosen one is back, and restarts for longer than the run lasts. The
    # chosen one comes back in update mode, or in the hands of another program: it may wait for its image, and one line
    # says so.
    printf '\xF0\x01\x02\xF7' > "$folder/image.syx"
    for fault in none busy-after-restart; do
      rm -f "$folder/device.log" "$folder/device.log.2"
      ZV_SIM_DEVICE=normal+update@cue ZV_SIM_CUES=1.restarting:plug=2,1.restarting:hold,2.restarting:hold \
        ZV_SIM_FAULT=${fault#none} released_once_logged device.log.2 ' HOLD 2$' -SILENT -START_UPDATE_AUTOMATICALLY \
        "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
      said='another device of that name waits in update mode for its image'
      [ "$fault" = none ] ||
        said='another program holds a device of that name, which may wait in update mode for its image'
      refused_with 3 1 "FirmwareUpdater: a device named \"Halvista Left\" confirmed the image, but $said; connect only \
that one and update it"
      confirmed=$(sed -n '/ STATE done$/,$s/^\([0-9]*\) STATE restarting$/\1/p' "$folder/device.log.2")
      back=$(sed -n 's/^\([0-9]*\) STATE update$/\1/p' "$folder/device.log")
      [ -n "$confirmed" ] && [ -n "$back" ] && [ "$confirmed" -lt "$back" ] ||
        fail "$fault: the newcomer did not confirm the image before the chosen device was back"
    done
    ;;
  namesake-busy-during-restart)
    # While the chosen device restarts into update mode (and stays away), another of its name, running and held by
    # another program, is plugged in: the device cannot be told from it, and the line that says so says that the device
    # waits in update mode.
    printf '\xF0\x01\x02\xF7' > "$folder/image.syx"
    ZV_SIM_DEVICE=normal+normal@cue ZV_SIM_CUES=1.restarting:plug=2,1.restarting:hold ZV_SIM_FAULT=busy-port=2 run \
      -SILENT -START_UPDATE_AUTOMATICALLY "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
    refused_with 3 1 "FirmwareUpdater: the MIDI port \"Halvista Left\" is in use by another program; nothing was sent, \
and the device waits in update mode"
    grep -q ' STATE restarting$' "$folder/device.log" || fail "the device was never sent into update mode"
    ;;
  namesake-running-in-its-place)
    # The device is found in update mode, alone of its name; right after it said so, it is unplugged and another of its
    # name, running, is plugged in in its place. That one gets nothing, and one line says where things stand.
    printf '\xF0\x01\x02\xF7' > "$folder/image.syx"
    ZV_SIM_DEVICE=update+normal@cue ZV_SIM_CUES=1.said-update#2:unplug=1,1.said-update#2:plug=2 start_held_run \
      -SILENT -START_UPDATE_AUTOMATICALLY "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
    # Anything of the image there fails the road at once, not after the run's wait for a confirmation.
    received_or_ended() { [ -n "$(second_received)" ] || ! running "$runner"; }
    await received_or_ended || fail "the run went on for a minute: $(cat "$folder/stderr")"
    [ -z "$(second_received)" ] || fail "the running device received: $(second_received)"
    release_and_wait
    refused_with 3 1 "FirmwareUpdater: no device named \"Halvista Left\" answered in update mode when its image was to \
be sent; nothing was sent, and where the device is now is unknown"
    grep -q ' STATE normal$' "$folder/device.log.2" || fail "the running device was never plugged in"
    [ -z "$(second_received)" ] || fail "the running device received: $(second_received)"
    ;;
  long-message)
    # One message that takes longer on the cable than a send may wait for a driver that takes nothing: it keeps
    # moving, so it goes out whole at the cable's pace, and the device, which checks it against the file, takes it.
    { printf '\xF0'; head -c $((3 * 1024 * 1024)) /dev/zero | tr '\0' '\1'; printf '\xF7'; } > "$folder/image.syx"
    ZV_SIM_DEVICE=update ZV_SIM_BYTES_PER_SECOND=200000 ZV_SIM_EXPECT_IMAGE="$folder/image.syx" \
      run -SILENT -START_UPDATE_AUTOMATICALLY "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
    updated_silently
    ;;
  stalled-output)
    # The cable stops taking bytes in the middle of the image: the run gives up 10 s after the last byte went, not
    # 10 s after the message began, and says the output stalled.
    { printf '\xF0'; head -c 100000 /dev/zero | tr '\0' '\1'; printf '\xF7'; } > "$folder/image.syx"
    started=$(date +%s%N)
    ZV_SIM_DEVICE=update ZV_SIM_BYTES_PER_SECOND=20000 ZV_SIM_FAULT=stall-after=60000 \
      run -SILENT -START_UPDATE_AUTOMATICALLY "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx"
    elapsed_ms=$((($(date +%s%N) - started) / 1000000))
    refused_with 3 1 "FirmwareUpdater: the MIDI output stalled during the update: the driver took nothing for 10 s (at \
byte offset 1 of the image)"
    # The cable carried bytes for 3 s before it stopped.
    [ "$elapsed_ms" -ge 12500 ] || fail "the run gave up $elapsed_ms ms after it began"
    ;;
  image-changed-during-restart)
    # The file is cut at a message boundary, or another image takes its place, while the device restarts into update
    # mode: the image that was checked before the device was touched is the only one that may go out, so nothing goes.
    cut_at_boundary() { printf '\xF0\x01\x02\xF7' > "$folder/image.syx"; }
    swap_image() {
      printf '\xF0\x05\x06\xF7\xF0\x07\x08\xF7' > "$folder/other.syx"
      mv "$folder/other.syx" "$folder/image.syx"
    }
    for change in cut_at_boundary swap_image; do
      rm -f "$folder/device.log"
      printf '\xF0\x01\x02\xF7\xF0\x03\x04\xF7' > "$folder/image.syx"
      refused_after_change_during_restart "$change" "FirmwareUpdater: the firmware file \"$folder/image.syx\" changed \
after it was checked; nothing was sent, and the device waits in update mode"
    done
    ;;
  eight-silent-starts)
    # Eight silent starts at once, ten times over: one updates its device, and each of the others meets it busy,
    # ends with 255 and never updates after it, however soon it ends. The one that updates holds its device until
    # every other start waits for its answer on the hand-over channel; those stand still until it has ended.
    printf '\xF0\x01\x02\xF7' > "$folder/image.syx"
    unset DISPLAY
    starts=()
    # How many lines of the file match the pattern (in counted), read by the shell itself: a process for each look
    # would take much of two busy cores.
    count_lines() {
      local line
      counted=0
      [ -e "$1" ] || return 0
      while IFS= read -r line; do
        [[ $line != $2 ]] || counted=$((counted + 1))
      done < "$1"
    }
    # Each start has met the guard once it holds its device with the image, or waits on the hand-over channel, or has
    # ended. One that met the first connects once, and its connection stays queued there until the first ends: it is
    # known by a connected socket of its own, as the channel's name may be a stand-in (/proc/self/fd/N/socket when the
    # folder's name is long).
    all_met_the_guard() {
      local alive start folders=()
      alive=$'\n'$(jobs -rp)$'\n'
      holding=0
      for start in {1..8}; do
        [[ $alive != *$'\n'${starts[$start]}$'\n'* ]] || folders+=("/proc/${starts[$start]}/fd")
        count_lines "$folder/start$start.log" '* HOLD 1'
        [ "$counted" -eq 0 ] || holding=$((holding + 1))
      done
      waiting=0
      [ ${#folders[@]} -eq 0 ] || waiting=$(find "${folders[@]}" -lname 'socket:*' -printf '%h %l\n' 2> /dev/null |
        awk 'NR == FNR { gsub(/[^0-9 ]/, ""); owner[$2] = $1; next }
          $6 == "03" && ($7 in owner) && !(owner[$7] in seen) { seen[owner[$7]]; n++ }
          END { print n + 0 }' - /proc/net/unix)
      [ $((holding + waiting + 8 - ${#folders[@]})) -ge 8 ]
    }
    # The exit codes of the starts given, once they have ended.
    finish() {
      for start in "$@"; do
        statuses[$start]=0
        wait "${starts[$start]}" || statuses[$start]=$?
      done
    }
    for round in {1..10}; do
      rm -f "$folder"/start* "$folder/release"
      for start in {1..8}; do
        XDG_DATA_HOME="$folder/data" XDG_CONFIG_HOME="$folder/config" XDG_STATE_HOME="$folder/state" \
          ZV_MIDI_DRIVER=simulated ZV_SIM_DEVICE=update ZV_SIM_RESTART_MS=50 ZV_SIM_FLASH_MS=100 \
          ZV_SIM_CUES=1.image:hold ZV_SIM_RELEASE="$folder/release" ZV_SIM_LOG="$folder/start$start.log" \
          LSAN_OPTIONS="$leak_options" setpriv --pdeathsig KILL "$program" -SILENT -START_UPDATE_AUTOMATICALLY \
          -ALWAYS_UPDATE "-ABSOLUTE_FIRMWARE_FILE_PATH=$folder/image.syx" 2> "$folder/start$start.stderr" &
        starts[$start]=$!
      done
      await all_met_the_guard ||
        fail "round $round: $holding start(s) updating and $waiting waiting: $(cat "$folder"/start*.stderr)"
      updating=()
      others=()
      for start in {1..8}; do
        count_lines "$folder/start$start.log" '* HOLD 1'
        if [ "$counted" -gt 0 ]; then
          updating+=("$start")
        else
          others+=("$start")
        fi
      done
      statuses=()
      stopped=()
      for start in "${others[@]}"; do stopped+=("${starts[$start]}" "$folder/start$start.log"); done
      signal_program STOP "${stopped[@]}" || true
      release "$folder/release"
      finish "${updating[@]}"
      signal_program CONT "${stopped[@]}" || true
      finish "${others[@]}"
      starts=()
      images=0
      for start in {1..8}; do
        count_lines "$folder/start$start.log" '* RX F0 01 02 F7'
        images=$((images + counted))
        start_status=${statuses[$start]}
        if [ "$counted" -gt 0 ]; then
          [ "$start_status" -eq 1 ] || fail "round $round: the update ended with $start_status"
        else
          [ "$start_status" -eq 255 ] || fail "round $round: a start beside it ended with $start_status"
          count_lines "$folder/start$start.stderr" \
            "The program is running already but does not answer; this start ends."
          [ "$counted" -gt 0 ] || fail "round $round: $(cat "$folder/start$start.stderr")"
        fi
      done
      [ "$images" -eq 1 ] || fail "round $round: the image was sent $images times: $(cat "$folder"/start*.stderr)"
    done
    ;;
  *)
    fail "unknown road $road"
    ;;
esac
