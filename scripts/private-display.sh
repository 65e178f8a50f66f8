# Sourced by the scripts that need an X display of their own.
# start_private_display SIZE FOLDER: starts Xvfb on a display number that is free, which it tells through a named pipe
# in FOLDER once it takes connections, so that two scripts starting at once never share one, and sets
# private_display to ":N" ("" when the server did not start). -noreset: a display that loses its last client between
# two of its clients would refuse the next. The server ends as the sourcing script ends, however it ends, told by the
# system: no signal goes to a number another process may have.
start_private_display() {
  local size=$1 folder=$2 number=""
  mkfifo "$folder/display-number"
  setpriv --pdeathsig TERM Xvfb -displayfd 3 -screen 0 "${size}x24" -dpi 96 -nolisten tcp -noreset \
    3> "$folder/display-number" > /dev/null 2>&1 &
  read -r -t 60 number < "$folder/display-number" || true
  private_display=${number:+:$number}
}
