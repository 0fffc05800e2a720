#!/bin/sh
# Runs an installer within a time limit. One that is still running at its
# limit is reported before anything is ended, so that the report shows the
# hang as it stands: every Wine program still running in the prefix
# (WINEPREFIX), with its command line and its threads' states; the last 40
# lines of the run's log LOG (UTF-16 and ANSI logs read as text); and the
# last line of ours in it. Then the run and every program it left are
# ended, Wine's own services apart, and the exit status is 124. The report
# goes to standard error, which no pipe after the installer reads.
#
# run_within_limit.sh SECONDS LOG COMMAND [ARGUMENT...]   (LOG may be "")
# run_within_limit.sh report LOG     the report alone, for a run that
#                                    handed over to a program of its own

# The prefix's Windows programs: Wine's own and those it runs (the shells
# and test runners around them share the prefix's environment too); the
# ones a test started are listed in `started`.
list_processes() {
  started=""
  echo "Wine programs still running in $WINEPREFIX:"
  for process in /proc/[0-9]*; do
    { tr '\0' '\n' < "$process/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX"; } 2>/dev/null || continue
    command=$({ tr '\0' ' ' < "$process/cmdline"; } 2>/dev/null)
    case "${command%% *}" in
      *wineserver* | *.exe | *.EXE | [A-Za-z]:\\*) ;;
      *) continue ;;
    esac
    threads=""
    for task in "$process"/task/*; do
      # The state is the field after the parenthesised name.
      state=$({ sed 's/.*) \([A-Z]\).*/\1/' "$task/stat"; } 2>/dev/null)
      threads="$threads ${task##*/}:$state:$({ cat "$task/wchan"; } 2>/dev/null)"
    done
    printf '  %s %s\n      threads (id:state:wait):%s\n' "${process#/proc/}" "$command" "$threads"
    case "$command" in
      *wineserver* | *'\services.exe'* | *'\winedevice.exe'* | *'\plugplay.exe'* | *'\svchost.exe'* | \
      *'\rpcss.exe'* | *'\explorer.exe'*) ;;
      *) started="$started ${process#/proc/}" ;;
    esac
  done
}

show_log() {
  if [ -z "$1" ]; then
    echo "this run keeps no log"
    return
  elif [ ! -s "$1" ]; then
    echo "no log at $1"
    return
  fi
  text=$(mktemp)
  if head -c 2 "$1" | od -An -tx1 | grep -q 'ff fe'; then
    iconv -f UTF-16 -t UTF-8 "$1"
  elif iconv -f UTF-8 -t UTF-8 "$1" >/dev/null 2>&1; then
    cat "$1"
  else
    # ANSI, in the code page of the locale the installer ran under.
    case "${LC_ALL:-}" in pl_PL*) iconv -f CP1250 -t UTF-8 "$1" ;; *) iconv -f CP1252 -t UTF-8 "$1" ;; esac
  fi | tr -d '\r' > "$text"
  echo "the last 40 lines of $1:"
  tail -n 40 "$text" | sed 's/^/  | /'
  echo "its last Dorvan line:"
  grep 'Dorvan:' "$text" | tail -n 1 | sed 's/^/  | /'
  grep -q 'Dorvan:' "$text" || echo "  (none)"
  rm -f "$text"
}

report() {
  list_processes
  show_log "$1"
  # shellcheck disable=SC2086
  [ -z "$started" ] || kill -KILL $started 2>/dev/null
}

if [ "$1" = report ]; then
  report "$2" >&2
  exit 0
fi
limit=$1 log=$2
shift 2
"$@" &
child=$!
tenths=0
while kill -0 "$child" 2>/dev/null; do
  if [ "$tenths" -ge $((limit * 10)) ] && kill -0 "$child" 2>/dev/null; then
    { echo "dorvan: still running after its limit of $limit s"; report "$log"; } >&2
    kill -KILL "$child" 2>/dev/null
    wait "$child"
    exit 124
  fi
  sleep 0.1
  tenths=$((tenths + 1))
done
wait "$child"
