#!/usr/bin/env bash
# The soak: bramloe.exe under Wine plays short songs (0.3 to 1 s, half of them with a
# text, some mp3) from a generated folder, one after another by themselves, for a given
# number of song starts. A song that has not ended within its length plus 3 s is a
# stall, and so is a next song that has not started within 10 s of that end. A player
# that shows nothing more has its threads' stacks saved (Wine's debugger) and is moved
# on by Next, or replaced when its window no longer answers. Every 50 starts it prints
# the player's working set and its process's resident size, threads and descriptors. Then
# a bare loop of graph create, render, run and release plays the same number of songs,
# since Wine's media stack grows by itself; the player's growth is judged against it.
#
#   bash bench/soak.sh [STARTS]      (default 500; BRAMLOE_BUILD picks the build root)
#
# Last line: "soak: N starts, S stalls, growth X KiB per 100 songs (control Y KiB)";
# exit status 0 only with no stall and X at most 1.1 Y + 64.
set -u
starts=${1:-500}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
source "$root/scripts/env.sh"
dir=$BRAMLOE_WIN
build_win bramloe bramloe_drive bramloe_in_profile graph_cycles_winbench || exit 1

# The end-to-end preamble, with a harness of this run's own.
unset BRAMLOE_HARNESS_UP
export BRAMLOE_BUILD_DIR=$dir BRAMLOE_SOURCE_DIR=$root
source "$root/tests/e2e/common.sh"
e2e_workdir soak

# The library: 40 songs, lengths spread over 0.3 to 1 s, every fourth one an mp3; the
# even ones (歌00, 歌02, ...) have a text, the odd ones (曲01, 曲03, ...) have none,
# not even by a fuzzy match.
mkdir -p "$work/music" "$work/text"
python3 - "$work" <<'PY'
import sys
from media import write_tone
work = sys.argv[1]
with open(work + '/lengths', 'w') as lengths:
    for n in range(40):
        seconds = 0.3 + 0.7 * n / 39
        name = ('歌' if n % 2 == 0 else '曲') + '%02d' % n
        base = work + '/music/' + name
        write_tone(base + ('.mp3' if n % 4 == 3 else '.wav'), 300 + 10 * n, seconds, 9000)
        if n % 2 == 0:
            with open(work + '/text/' + name + '.txt', 'wb') as f:
                f.write(('%s\n歌詞\n' % name).encode('cp932'))
        lengths.write('%s %d\n' % (name, seconds * 1000))
PY
declare -A length_ms
while read -r name ms; do length_ms[$name]=$ms; done <"$work/lengths"
write_settings "$ini" "$work/music" "$work/text" aimai=1 skip=0 editor=notepad

now_ms() { echo $(($(date +%s%N) / 1000000)); }
descendants() { local c; for c in $(pgrep -P "$1"); do echo "$c"; descendants "$c"; done; }
# The Unix process that runs bramloe.exe in this run's prefix. Wine starts a program
# detached from the process that asked for it, so it is found by name and prefix.
unix_pid() {
  local p
  for p in $(pgrep -f 'bramloe\.exe'); do
    tr '\0' '\n' <"/proc/$p/cmdline" 2>/dev/null | head -1 | grep -q 'bramloe\.exe$' || continue
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && { echo "$p"; return; }
  done
}
player_pid= watcher_pid=
start_player() {
  WINEDEBUG=${SOAK_WINEDEBUG:--all} e2e_start_player "$work/player.${count:-0}.log" || exit 1
  drive wait >/dev/null || { echo "soak: the main window did not appear"; exit 1; }
  # Straight into the file: a filter in between would hold the lines in its buffer.
  "$src/scripts/wine-run.sh" "$bin/bramloe_drive.exe" starts 86400000 </dev/null 2>/dev/null \
    >>"$work/events" &
  watcher_pid=$!
  drive command ID_PLAY
}
end_player() {
  [ -z "$player_pid" ] && return
  local pids
  pids="$watcher_pid $(descendants "$watcher_pid") $player_pid $(descendants "$player_pid")"
  kill $pids 2>/dev/null
  wait $player_pid $watcher_pid 2>/dev/null
  player_pid= watcher_pid=
}
e2e_at_exit end_player

# The stacks of every thread of the player, by Wine's debugger.
save_stacks() {  # file
  local wpid
  wpid=$(echo 'info process' | "$src/scripts/wine-run.sh" winedbg 2>/dev/null | tr -d '\r' |
         awk '/bramloe\.exe/ {print $1; exit}')
  [ -z "$wpid" ] && { echo "no process" >"$1"; return; }
  printf 'attach 0x%s\nbt all\ndetach\nquit\n' "$wpid" |
    timeout 120 "$src/scripts/wine-run.sh" winedbg >"$1" 2>&1
}

report() {  # starts so far
  local mem wpid ws upid rss threads fds
  mem=$(drive memory)
  read -r wpid ws <<<"$mem"
  upid=$(unix_pid)
  rss=$(awk '/^VmRSS/ {print $2}' "/proc/$upid/status" 2>/dev/null)
  threads=$(ls "/proc/$upid/task" 2>/dev/null | wc -l)
  fds=$(ls "/proc/$upid/fd" 2>/dev/null | wc -l)
  echo "soak: $1 starts: working set ${ws:-?} KiB, RSS ${rss:-?} KiB, threads $threads, descriptors $fds"
  [ -n "$ws" ] && echo "$1 $ws" >>"$work/player.memory"
}

# KiB per 100 songs: the least-squares slope of the working set over the checkpoints
# (threads of the media stack come and go, so single readings differ by megabytes).
growth_of() {  # file of "songs KiB" lines
  awk '{ n++; sx += $1; sy += $2; sxx += $1 * $1; sxy += $1 * $2 }
       END { d = n * sxx - sx * sx; if (n < 2 || d == 0) print "?"; else printf "%.0f\n", 100 * (n * sxy - sx * sy) / d }' "$1"
}

: >"$work/events"
: >"$work/player.memory"
start_player
# Songs are judged by the watcher's own clock, so the soak's own pauses (a memory
# reading, the debugger) do not count against the player: an end must come within the
# song's length plus 3 s of its start, and the next start within 10 s of that end.
# A player that shows nothing for 10 s more than that is stalled as it stands.
count=0 stalls=0 seen=0 song= started=0 ended=0 heard=$(now_ms) due=0
stall() {  # what did not happen in time
  stalls=$((stalls + 1))
  echo "soak: stall $stalls at start $count: $1"
}
# When nothing more comes: the stacks, then Next for a player that still answers, a new
# player for one that does not.
unstick() {
  stall "$1"
  save_stacks "$work/stall-$stalls.txt"
  echo "soak: the threads' stacks are in $work/stall-$stalls.txt"
  if drive ready 2000 >/dev/null; then
    drive command ID_NEXT
  else
    end_player
    start_player
  fi
  song= ended=-1 heard=$(now_ms)
}
while [ "$count" -lt "$starts" ] || [ -n "$song" ]; do
  while read -r at kind caption; do
    seen=$((seen + 1)) heard=$(now_ms)
    if [ "$kind" = start ]; then
      [ "$ended" -gt 0 ] && [ $((at - ended)) -gt 10000 ] && stall "the song after $count started only after $((at - ended)) ms"
      song=$(grep -o '[曲歌][0-9][0-9]' <<<"$caption" | head -1) started=$at
      count=$((count + 1))
      [ $((count % 50)) -eq 0 ] && due=$count
    elif [ "$kind" = end ] && [ -n "$song" ]; then
      [ $((at - started)) -gt $((${length_ms[$song]:-1000} + 3000)) ] && stall "$song ended after $((at - started)) ms"
      song= ended=$at
    fi
  done < <(tail -n +$((seen + 1)) "$work/events" | tr -d '\r' | iconv -f CP932 -t UTF-8)
  quiet=$(( $(now_ms) - heard ))
  if [ -n "$song" ] && [ "$quiet" -gt $((${length_ms[$song]:-1000} + 13000)) ]; then
    unstick "$song has not ended"
  elif [ -z "$song" ] && [ "$quiet" -gt 20000 ]; then
    unstick "no song has started"
  fi
  [ "$due" -gt 0 ] && { report "$due"; due=0; }
  sleep 0.1
done
end_player

# The control: as many bare graph cycles over the same files.
mapfile -t files < <(ls "$work/music")
"$src/scripts/wine-run.sh" "$bin/graph_cycles_winbench.exe" "$starts" \
  "${files[@]/#/$(winpath "$work/music")\\}" </dev/null 2>/dev/null | tr -d '\r' >"$work/control"
sed 's/^/soak: control /' "$work/control"
sed -n 's/^cycles \([0-9]*\): working set \([0-9]*\) KiB/\1 \2/p' "$work/control" >"$work/control.memory"
growth=$(growth_of "$work/player.memory")
control_growth=$(growth_of "$work/control.memory")
echo "soak: $starts starts, $stalls stalls, growth $growth KiB per 100 songs (control $control_growth KiB)"
[ "$stalls" = 0 ] && [ "$growth" != ? ] && [ "$control_growth" != ? ] &&
  awk -v x="$growth" -v y="$control_growth" 'BEGIN { exit !(x <= 1.1 * y + 64) }'
exit $?
