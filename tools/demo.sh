#!/usr/bin/env bash
# Builds the program and runs it under Wine on its embedded default: the local
# price-list server (tools/price_server.py, reached through the prefix's proxy
# setting) and an SQLite database standing in for PilvaroM1 behind the
# "SQL Server" ODBC driver name. On your display when there is one (close the
# window to end), otherwise under Xvfb, where the demo presses the update button
# itself with a real mouse click, prints the message the program shows, and
# writes screenshots of the window before and after.
set -euo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "$0")/lib.sh"
"$root/tools/setup.sh"
configure_win
cmake --build "$build/win" -j"$(nproc)" --target Project2 winprobe

demo="$build/demo"
bench="$demo/bench"
rm -rf "$demo/site" "$demo/odbc" "$demo/PilvaroM1" "$demo/requests.log" "$demo/port"
mkdir -p "$demo/site/upload" "$demo/odbc"
had_display=${DISPLAY:-}

# The pharmacy database, a few medicines.
python3 - "$demo/PilvaroM1" <<'PY'
import sqlite3, sys
con = sqlite3.connect(sys.argv[1])
con.execute("create table mat00 (guid varchar(40) primary key, name varchar(60), salp float, price1 float, salp2 float, price2 float)")
con.executemany("insert into mat00 values (?,?,?,?,?,?)", [
    ("A100", "Aspirin 100 mg", 1000, 1100, 900, 950),
    ("P500", "Paracetamol 500 mg", 1500, 1600, 1400, 1450),
    ("O020", "Omeprazole 20 mg", 4200, 4400, 4000, 4100)])
con.commit()
PY
cat >"$demo/odbc/odbcinst.ini" <<INI
[SQL Server]
Description=SQLite standing in for PilvaroM1
Driver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so
INI
: >"$demo/odbc/odbc.ini"
# The maker's price list of 26 March 2022.
python3 "$root/tools/make_workbook.py" "$demo/site/upload/F26-3-2022.xlsx" \
  "A100,1250,1300,1150,1200" "P500,1750,1800,1650,1700" "O020,4600,4800,4400,4500"

cleanup() {
  [ -n "${server_pid:-}" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  "$root/tools/bench.sh" stop "$bench"
}
trap cleanup EXIT
python3 "$root/tools/price_server.py" --root "$demo/site" --log "$demo/requests.log" --port-file "$demo/port" \
  2>"$demo/price_server.log" &
server_pid=$!
for _ in $(seq 100); do [ -s "$demo/port" ] && break; sleep 0.1; done
"$root/tools/bench.sh" start "$bench"
# shellcheck disable=SC1091
. "$bench/env"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
wine reg add "$key" /v ProxyEnable /t REG_DWORD /d 1 /f >/dev/null 2>&1
wine reg add "$key" /v ProxyServer /t REG_SZ /d "127.0.0.1:$(cat "$demo/port")" /f >/dev/null 2>&1
export ODBCSYSINI="$demo/odbc" ODBCINSTINI=odbcinst.ini ODBCINI="$demo/odbc/odbc.ini"
exe="$build/win/app/Project2.exe"

show_prices() { python3 -c 'import sqlite3,sys; [print("  ", *r) for r in sqlite3.connect(sys.argv[1]).execute("select guid, name, salp, price1, salp2, price2 from mat00 order by guid")]' "$demo/PilvaroM1"; }
echo "demo: mat00 before:"; show_prices

cd "$demo"
if [ -n "$had_display" ]; then
  echo "demo: the window is on your display; close it to end the demo"
  wine "$exe"
else
  wine "$exe" >"$demo/program.log" 2>&1 &
  pid=$!
  for _ in $(seq 150); do
    xdotool search --onlyvisible --name '^NAVEKO' >/dev/null 2>&1 && break
    sleep 0.2
  done
  sleep 1
  shot="$build/demo-screenshot.png"
  import -window root "$shot"
  echo "demo: screenshot written to $shot"
  # Press the button as the end-to-end tests do: a real click, then read and
  # dismiss the message with a real Enter, then close the window with Alt+F4.
  NAVEKO_BENCH="$bench" NAVEKO_EXE="$exe" NAVEKO_PROBE="$build/win/tests/e2e/winprobe.exe" \
  NAVEKO_WINE_RUN="$root/tools/wine-run.sh" NAVEKO_ARTIFACTS="$demo" NAVEKO_SHOT="$build/demo-after.png" \
  PYTHONPATH="$root/tests/e2e" python3 - <<'PY' || { echo "demo: pressing the button failed; stopping the program"; kill "$pid"; }
import os, subprocess, sys
import bench
try:
    w = bench.wait_for_window(bench.MAIN_TITLE, 10)
except AssertionError:
    box = bench.wait_for_message_box(10)
    print("demo: the program says:", box["text"])
    bench.dismiss_message_box()
    sys.exit(0)
print("demo: pressing the update button")
bench.click_button(w)
box = bench.wait_for_message_box(120)
print("demo: the program says:", box["text"])
subprocess.run(["import", "-window", "root", os.environ["NAVEKO_SHOT"]], env=bench.ENV, check=False)
print("demo: screenshot with the message written to", os.environ["NAVEKO_SHOT"])
bench.dismiss_message_box()
bench.xdotool("windowfocus", "--sync", bench.x_window(bench.MAIN_TITLE))
bench.xdotool("key", "--clearmodifiers", "alt+F4")
PY
  wait "$pid" && echo "demo: the program ended"
fi
echo "demo: the price server was asked:"; sed 's/^/   /' "$demo/requests.log" 2>/dev/null || true
echo "demo: mat00 after:"; show_prices
