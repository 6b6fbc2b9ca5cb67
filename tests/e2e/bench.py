"""What the end-to-end tests share: starting the real program in the bench's
Wine prefix, asking winprobe what Windows shows, real X input through xdotool,
screenshots with ImageMagick, and stopping everything they started."""
import json
import os
import subprocess
import sys
import tempfile
import time
from pathlib import Path

BENCH = Path(os.environ["NAVEKO_BENCH"])
EXE = os.environ["NAVEKO_EXE"]
PROBE = os.environ["NAVEKO_PROBE"]
WINE_RUN = os.environ["NAVEKO_WINE_RUN"]
ARTIFACTS = Path(os.environ["NAVEKO_ARTIFACTS"])
ARTIFACTS.mkdir(parents=True, exist_ok=True)


def bench_env() -> dict:
    """The environment the bench's env file makes, its defaults expanded as the shell does."""
    out = subprocess.run(["bash", "-c", '. "$1" && env -0', "bench-env", str(BENCH / "env")], env=dict(os.environ),
                         capture_output=True, check=True, timeout=30).stdout
    return dict(item.split("=", 1) for item in out.decode().split("\0") if "=" in item)


ENV = bench_env()


def probe(*args: str, timeout: float = 60):
    # Output goes through a file, not a pipe: Wine's desktop process, which the
    # probe's first look at the windows may start, would keep a pipe open for good.
    with tempfile.TemporaryFile() as out:
        subprocess.run([WINE_RUN, PROBE, *args], env=ENV, stdout=out, stderr=subprocess.DEVNULL,
                       stdin=subprocess.DEVNULL, timeout=timeout, check=True)
        out.seek(0)
        return json.loads(out.read().decode("utf-8"))


def xdotool(*args: str) -> str:
    out = subprocess.run(["xdotool", *args], env=ENV, capture_output=True, timeout=30, check=True)
    return out.stdout.decode().strip()


def focus(xid: str) -> None:
    """Gives the X window the input focus. Not xdotool's --sync: it waits for the
    focus to land on that very X window, while Wine puts it on a window of its own
    for the top-level one, so the wait runs out (15 s) every time."""
    xdotool("windowfocus", xid)
    time.sleep(0.3)


ROOT = Path(__file__).resolve().parents[2]
SQLITE_ODBC = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so"
APP_TITLE = "NAVEKO- 0944361752"
MAIN_TITLE = "NAVEKO تحديث ادوية"
DB_PROBLEM = "هناك مشكلة بالارتباط بقاعدة البيانات"
DOWNLOAD_PROBLEM = "هناك مشكلة بالتحميل من الموقع"
PRICE_LIST_URL = "http://prices.naveko.example/upload/F26-3-2022.xlsx"


def price_list_file() -> Path:
    """Where C:\\Program Files\\Common Files\\F26-3-2022.xlsx lies in the bench's prefix."""
    return Path(ENV["WINEPREFIX"]) / "drive_c" / "Program Files" / "Common Files" / "F26-3-2022.xlsx"


def naveko_folder() -> Path:
    """%LOCALAPPDATA%\\NAVEKO of the prefix's user: the price list's second place,
    the journals and the run log."""
    users = Path(ENV["WINEPREFIX"]) / "drive_c" / "users"
    local = [u / "AppData" / "Local" for u in users.iterdir() if (u / "AppData" / "Local").is_dir() and u.name != "Public"]
    if not local:
        raise AssertionError("the prefix has no user folder")
    return local[0] / "NAVEKO"


def per_user_price_list_file() -> Path:
    """Where the program keeps the price list when the fixed folder takes no file."""
    return naveko_folder() / "F26-3-2022.xlsx"


def set_log_pixels(dpi: int) -> None:
    """The screen resolution Windows reports to programs (Display settings' scaling)."""
    run_reg(["reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f"])
    run_reg(["reg", "add", r"HKCC\Software\Fonts", "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f"])


def odbc_env(folder: Path, with_driver: bool = True) -> dict:
    """An odbcinst.ini in which "SQL Server" is the SQLite ODBC driver (or is missing,
    as on a machine whose database service is gone)."""
    folder.mkdir(parents=True, exist_ok=True)
    text = f"[SQL Server]\nDescription=PilvaroM1 stand-in\nDriver={SQLITE_ODBC}\n" if with_driver else ""
    (folder / "odbcinst.ini").write_text(text)
    (folder / "odbc.ini").write_text("")
    return {"ODBCSYSINI": str(folder), "ODBCINSTINI": "odbcinst.ini", "ODBCINI": str(folder / "odbc.ini")}


def make_database(folder: Path, rows: list[tuple]) -> Path:
    """The pharmacy database as the SQLite file PilvaroM1 in `folder` (the program's working folder)."""
    import sqlite3
    path = folder / "PilvaroM1"
    path.unlink(missing_ok=True)
    con = sqlite3.connect(path)
    con.execute("create table mat00 (guid varchar(40) primary key, name varchar(60),"
                " salp float, price1 float, salp2 float, price2 float)")
    con.executemany("insert into mat00 values (?, ?, ?, ?, ?, ?)", rows)
    con.commit()
    con.close()
    return path


def mat00(path: Path) -> list[tuple]:
    import sqlite3
    con = sqlite3.connect(path)
    try:
        return con.execute("select guid, salp, price1, salp2, price2 from mat00 order by guid").fetchall()
    finally:
        con.close()


def set_proxy(port: int | None) -> None:
    """Points the prefix's Internet settings at 127.0.0.1:port (None: no proxy)."""
    key = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings"
    if port is None:
        cmds = [["reg", "add", key, "/v", "ProxyEnable", "/t", "REG_DWORD", "/d", "0", "/f"]]
    else:
        cmds = [["reg", "add", key, "/v", "ProxyEnable", "/t", "REG_DWORD", "/d", "1", "/f"],
                ["reg", "add", key, "/v", "ProxyServer", "/t", "REG_SZ", "/d", f"127.0.0.1:{port}", "/f"]]
    for c in cmds:
        run_reg(c)


def run_reg(args: list[str]) -> None:
    """Wine's reg tool in the bench prefix. It fails now and then while the
    wineserver is busy with a program that is ending; a few tries settle it."""
    for attempt in range(5):
        done = subprocess.run([WINE_RUN, *args], env=ENV, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              stdin=subprocess.DEVNULL, timeout=60)
        if done.returncode == 0:
            return
        time.sleep(1 + attempt)
    raise AssertionError(f"wine {' '.join(args)} kept failing")


def free_port() -> int:
    import socket
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


class PriceServer:
    """tools/price_server.py serving `root`; stopped by its process id."""

    def __init__(self, root: Path, *extra: str):
        self.root = root
        self.log = root.parent / (root.name + "-requests.log")
        self.log.unlink(missing_ok=True)
        self.log.touch()
        port_file = root.parent / (root.name + ".port")
        port_file.unlink(missing_ok=True)
        self.proc = subprocess.Popen([sys.executable, str(ROOT / "tools" / "price_server.py"), "--root", str(root),
                                      "--log", str(self.log), "--port-file", str(port_file), *extra],
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while not port_file.exists():
            if time.monotonic() > deadline or self.proc.poll() is not None:
                raise AssertionError("the price server did not start")
            time.sleep(0.05)
        self.port = int(port_file.read_text())

    def requests(self) -> list[dict]:
        return [json.loads(line) for line in self.log.read_text().splitlines() if line.strip()]

    def stop(self) -> None:
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


def make_workbook(path: Path, rows: list[str]) -> Path:
    subprocess.run([sys.executable, str(ROOT / "tools" / "make_workbook.py"), str(path), *rows], check=True)
    return path


def serve_price_list(test, work: Path, price_rows: list[str], db_rows: list[tuple]) -> Path:
    """Makes `work`: a site with the price list of `price_rows` and the database of
    `db_rows`; starts the price server for `test` (stopped at its clean-up) and
    points the proxy at it. Returns the database."""
    (work / "site" / "upload").mkdir(parents=True, exist_ok=True)
    make_workbook(work / "site" / "upload" / "F26-3-2022.xlsx", price_rows)
    db = make_database(work, db_rows)
    server = PriceServer(work / "site")
    test.addCleanup(server.stop)
    set_proxy(server.port)
    return db


def wait_for_message_box(timeout: float = 30.0) -> dict:
    """The message box the program shows: its caption and its text."""
    box = wait_for_window(APP_TITLE, timeout, cls="#32770")
    texts = [c["text"] for c in box["children"] if c["class"].lower() == "static" and c["text"]]
    buttons = [c["text"] for c in box["children"] if c["class"].lower() == "button"]
    return {"caption": box["text"], "text": texts[0] if texts else "", "buttons": buttons, "window": box}


def dismiss_message_box() -> None:
    """Presses Enter on the message box, as a user would."""
    ids = xdotool("search", "--onlyvisible", "--name", f"^{APP_TITLE}$").split()
    if not ids:
        raise AssertionError("no message box on the screen")
    focus(ids[-1])
    xdotool("key", "--clearmodifiers", "Return")


def visible_windows(title: str) -> list[dict]:
    return [w for w in probe("windows") if w["text"] == title]


class Program:
    """The program under test, started unmodified; stopped by its process id."""

    def __init__(self, cwd: Path | None = None, env: dict | None = None, args: tuple = (), exe: str | None = None):
        self.log = open(ARTIFACTS / "program.log", "ab")
        run_env = dict(ENV)
        run_env.update(env or {})
        self.proc = subprocess.Popen([WINE_RUN, exe or EXE, *args], env=run_env, cwd=cwd, stdout=self.log, stderr=subprocess.STDOUT,
                                     stdin=subprocess.DEVNULL)

    def running(self) -> bool:
        return self.proc.poll() is None

    def wait(self, timeout: float) -> int | None:
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def stop(self) -> None:
        if self.running():
            self.proc.kill()
            self.proc.wait(timeout=30)
        self.log.close()

    def kill(self) -> None:
        """Ends the program at once, as the task manager's End task does to a
        program it has given up on: SIGKILL to the process that Wine runs it in."""
        self.proc.send_signal(9)
        self.proc.wait(timeout=30)

    def close_window(self) -> None:
        """Alt+F4 on the main window, then waits for the program to end."""
        focus(x_window(MAIN_TITLE))
        xdotool("key", "--clearmodifiers", "alt+F4")
        if self.wait(30) is None:
            raise AssertionError("the program did not end when its window closed")

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


def wait_for_window(title: str, timeout: float = 30.0, cls: str | None = None) -> dict:
    deadline = time.monotonic() + timeout
    failed = None
    while time.monotonic() < deadline:
        # One look that fails (the probe can lose a window that closes while it
        # reads it) is no answer yet: the next look decides.
        try:
            windows = probe("windows")
        except subprocess.CalledProcessError as e:
            failed, windows = e, []
        for w in windows:
            if w["text"] == title and (cls is None or w["class"] == cls):
                return w
        time.sleep(0.3)
    raise AssertionError(f"no window titled {title!r} within {timeout} s"
                         + (f" (the probe last failed: {failed})" if failed else ""))


def x_window(title: str) -> str:
    """The X window id that Wine made for a top-level window."""
    ids = xdotool("search", "--name", f"^{title}$").split()
    if not ids:
        raise AssertionError(f"no X window named {title!r}")
    return ids[0]


def screenshot(name: str) -> Path:
    ARTIFACTS.mkdir(parents=True, exist_ok=True)
    path = ARTIFACTS / name
    subprocess.run(["import", "-window", "root", str(path)], env=ENV, check=True, timeout=60)
    return path


def pixel(path: Path, x: int, y: int) -> tuple[int, int, int]:
    out = subprocess.run(["convert", str(path), "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"],
                         capture_output=True, check=True, timeout=60).stdout.decode()
    # A heading line, then "0,0: (r,g,b)  #RRGGBB  srgb(...)".
    hexpart = out.splitlines()[-1].split("#")[1][:6]
    return int(hexpart[0:2], 16), int(hexpart[2:4], 16), int(hexpart[4:6], 16)


IMPORT_PROBLEM = "حدث خطأ بتحميل الاسعار من الموقع"
UPDATE_INCOMPLETE = "لم يتم تحديث جميع الاسعار بطريقة صحيحة ..يرجى اعادة التحديث"
UPDATE_DONE = "تمت عملية التحديث بنجاح"


def click_button(window: dict) -> None:
    """A real left click (X press and release) in the middle of the window's button."""
    button = next(c for c in window["children"] if c["class"] == "TTeButton")
    left, top, right, bottom = button["rect"]
    focus(x_window(window["text"]))
    xdotool("mousemove", "--sync", str((left + right) // 2), str((top + bottom) // 2))
    xdotool("click", "1")


def press_and_read(window: dict, timeout: float = 120.0) -> str:
    """Presses the update button, then reads and dismisses the one message it shows."""
    click_button(window)
    box = wait_for_message_box(timeout)
    if box["caption"] != APP_TITLE or box["buttons"] != ["OK"]:
        raise AssertionError(f"unexpected message box {box}")
    dismiss_message_box()
    deadline = time.monotonic() + 30
    while [w for w in probe("windows") if w["class"] == "#32770" and w["text"] == APP_TITLE]:
        if time.monotonic() > deadline:
            raise AssertionError("the message box stayed open")
        time.sleep(0.2)
    return box["text"]


def set_decimal_separator(decimal: str, thousand: str) -> None:
    """The user's regional number settings, as the Regional Settings panel stores them."""
    key = r"HKCU\Control Panel\International"
    for name, value in (("sDecimal", decimal), ("sThousand", thousand)):
        run_reg(["reg", "add", key, "/v", name, "/t", "REG_SZ", "/d", value, "/f"])


THEME_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager"


def reg_value(key: str, name: str) -> str | None:
    """A value of the prefix's registry, or None."""
    with tempfile.TemporaryFile() as out:
        done = subprocess.run([WINE_RUN, "reg", "query", key, "/v", name], env=ENV, stdout=out,
                              stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=60)
        out.seek(0)
        text = out.read().decode("utf-8", "replace")
    if done.returncode != 0:
        return None
    for line in text.splitlines():
        parts = line.split()
        if len(parts) >= 3 and parts[0] == name:
            return " ".join(parts[2:])
    return None


class VisualStyle:
    """Switches the prefix's visual style (Wine's light style) on or off for the
    programs started meanwhile; puts back what was there."""

    def __init__(self, on: bool):
        self.on = on

    def __enter__(self):
        self.saved = {n: reg_value(THEME_KEY, n) for n in ("ThemeActive", "DllName")}
        if self.on:
            run_reg(["reg", "add", THEME_KEY, "/v", "DllName", "/t", "REG_SZ", "/d",
                     r"C:\windows\resources\themes\light\light.msstyles", "/f"])
        run_reg(["reg", "add", THEME_KEY, "/v", "ThemeActive", "/t", "REG_SZ", "/d", "1" if self.on else "0", "/f"])
        return self

    def __exit__(self, *exc):
        for name, value in self.saved.items():
            if value is None:
                subprocess.run([WINE_RUN, "reg", "delete", THEME_KEY, "/v", name, "/f"], env=ENV,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=60)
            else:
                run_reg(["reg", "add", THEME_KEY, "/v", name, "/t", "REG_SZ", "/d", value, "/f"])


def ppm_pixels(args: list[str]) -> tuple[int, int, bytes]:
    """ImageMagick's binary PPM of an image (after the given operations): width, height, RGB bytes."""
    data = subprocess.run(["convert", *args, "ppm:-"], capture_output=True, check=True, timeout=60).stdout
    fields, pos = [], 0
    while len(fields) < 4:  # magic, width, height, maximum
        while data[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    return int(fields[1]), int(fields[2]), data[pos + 1:]


def crop(path: Path, rect: list[int]) -> tuple[int, int, bytes]:
    left, top, right, bottom = rect
    return ppm_pixels([str(path), "-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage"])


def expected_theme_part(cls: str, part: int, state: int, width: int, height: int, name: str) -> tuple[int, int, bytes] | None:
    """DrawThemeBackground of a visual-style part over the button face, drawn by winprobe
    inside the prefix; None when the prefix has no visual style in force."""
    out = ARTIFACTS / name
    windows_path = "Z:" + str(out).replace("/", "\\")
    result = probe("themepart", cls, str(part), str(state), str(width), str(height), windows_path)
    if not result["active"]:
        return None
    return ppm_pixels([str(out)])


PG_ODBC = "/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so"


class Postgres:
    """The pharmacy database as a PostgreSQL database "PilvaroM1" on the server of
    the test fixture (tests/db/pg_fixture.sh), reached by the program through
    psqlODBC under the "SQL Server" driver name: the fixed connection string's
    server (.\\sqlexpress) is no host, so libpq is pointed at the fixture by
    PGHOSTADDR, PGPORT and PGUSER, which it reads when the string names none."""

    def __init__(self):
        import psycopg2
        self.psycopg2 = psycopg2
        values = dict(line.split("=", 1) for line in Path(os.environ["NAVEKO_PG_ENV"]).read_text().split() if "=" in line)
        self.port = int(values["NAVEKO_PG_PORT"])
        admin = psycopg2.connect(host="127.0.0.1", port=self.port, user="postgres", dbname="postgres")
        admin.autocommit = True
        with admin.cursor() as c:
            c.execute("select 1 from pg_database where datname = 'PilvaroM1'")
            if not c.fetchone():
                c.execute('create database "PilvaroM1"')
        admin.close()
        self.con = self.connect()

    def connect(self):
        con = self.psycopg2.connect(host="127.0.0.1", port=self.port, user="postgres", dbname="PilvaroM1")
        con.autocommit = True
        return con

    def execute(self, sql: str, params=None) -> None:
        with self.con.cursor() as c:
            c.execute(sql, params)

    def create_mat00(self, price_type: str, rows: list[tuple], key_type: str = "varchar(40)") -> None:
        self.execute("drop table if exists mat00, hold_key cascade; drop function if exists hold()")
        self.execute(f"create table mat00 (guid {key_type} primary key, name varchar(60), salp {price_type},"
                     f" price1 {price_type}, salp2 {price_type}, price2 {price_type})")
        self.restore_mat00([(r[0], *r[1:]) for r in rows])

    def restore_mat00(self, rows: list[tuple]) -> None:
        """mat00 holds exactly `rows` (key and four prices, as text), without firing update triggers."""
        with self.con.cursor() as c:
            c.execute("delete from mat00")
            for r in rows:
                c.execute("insert into mat00 (guid, name, salp, price1, salp2, price2) values (%s, 'item', %s, %s, %s, %s)",
                          r)

    def mat00(self) -> list[tuple]:
        """Every record's key and four prices as the database spells them, by key."""
        with self.con.cursor() as c:
            c.execute("select guid::text, salp::text, price1::text, salp2::text, price2::text from mat00 order by guid")
            return c.fetchall()

    def prices(self, key: str) -> tuple:
        """The four prices of `key` as another session sees them (what is committed)."""
        with self.con.cursor() as c:
            c.execute("select salp::text, price1::text, salp2::text, price2::text from mat00 where guid = %s", (key,))
            return c.fetchone()

    def changed_keys(self, before: list[tuple]) -> list[str]:
        then = {r[0]: r[1:] for r in before}
        changed = [r[0] for r in self.mat00() if then.get(r[0]) != r[1:]]
        return sorted(changed, key=lambda k: (len(k), k))

    def wait_for_sleeping_statement(self, timeout: float = 60) -> None:
        """Until a statement of another session waits in the trigger's pg_sleep."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            with self.con.cursor() as c:
                c.execute("select count(*) from pg_stat_activity where wait_event = 'PgSleep'")
                if c.fetchone()[0]:
                    return
            time.sleep(0.02)
        raise AssertionError("no statement waited in the trigger")

    class Lock:
        def __init__(self, pg):
            self.con = pg.psycopg2.connect(host="127.0.0.1", port=pg.port, user="postgres", dbname="PilvaroM1")

        def __enter__(self):
            with self.con.cursor() as c:
                c.execute("set lock_timeout = '60s'")
                c.execute("lock table mat00 in access exclusive mode")
            return self

        def prices(self, key: str) -> tuple:
            with self.con.cursor() as c:
                c.execute("select salp::text, price1::text, salp2::text, price2::text from mat00 where guid = %s", (key,))
                return c.fetchone()

        def __exit__(self, *exc):
            self.con.rollback()
            self.con.close()

    def lock_mat00(self) -> "Postgres.Lock":
        """A transaction that takes mat00 whole: it waits for the statements running
        on it to end, then holds every later one (a read included) until it ends."""
        return Postgres.Lock(self)

    def odbc_env(self, folder: Path) -> dict:
        folder.mkdir(parents=True, exist_ok=True)
        (folder / "odbcinst.ini").write_text(f"[SQL Server]\nDescription=PilvaroM1 on PostgreSQL\nDriver={PG_ODBC}\n")
        (folder / "odbc.ini").write_text("")
        return {"ODBCSYSINI": str(folder), "ODBCINSTINI": "odbcinst.ini", "ODBCINI": str(folder / "odbc.ini"),
                "PGHOSTADDR": "127.0.0.1", "PGPORT": str(self.port), "PGUSER": "postgres"}
