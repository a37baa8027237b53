#!/usr/bin/python3
# Drives the real QVD-PC window over AT-SPI against qvd-sim, the way a
# technician works through it: search, RAM save, restore, comparison, EPROM
# read, split, range view, cell write, clock set, status file, service
# layout. Controls are found by their designer name (accessible
# description), clicked with xdotool at their place on the screen and typed
# into with xdotool. After every step the log (Memo1) must show the step's
# success line and the files written must hold what qvd-sim holds.
#
# Runs inside an X display with an AT-SPI bus (tools/real_window_run.sh sets
# both up). Stops at the first failure with a message and status 1.
import argparse
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402
import pyatspi  # noqa: E402

PASSWORD = "Servus!QVD24"
SERVICE_SERIAL = "07Q3"  # the identification then ends in "7Q3"


class Failure(Exception):
    pass


def fail(text):
    raise Failure(text)


def say(text):
    print(text, flush=True)


def sum16(data):
    return "%04X" % (sum(data) & 0xFFFF)


def run(*cmd):
    subprocess.run(cmd, check=True)


# --- processes ---------------------------------------------------------------

class Processes:
    def __init__(self, work):
        self.work = work
        self.running = []

    def start(self, name, cmd, env=None):
        log = open(os.path.join(self.work, name + ".log"), "wb")
        proc = subprocess.Popen(cmd, stdout=log, stderr=subprocess.STDOUT, env=env)
        proc.log_path = log.name
        proc.label = name
        self.running.append(proc)
        return proc

    def stop(self, proc):
        if proc.poll() is None:
            proc.send_signal(signal.SIGTERM)
            try:
                proc.wait(5)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
        if proc in self.running:
            self.running.remove(proc)

    def stop_all(self):
        for proc in list(reversed(self.running)):
            self.stop(proc)

    @staticmethod
    def tail(proc, lines=15):
        try:
            with open(proc.log_path, "rb") as f:
                text = f.read().decode("utf-8", "replace")
        except OSError:
            return ""
        return "\n".join(text.splitlines()[-lines:])


# --- the window over AT-SPI --------------------------------------------------

def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def sensitive(node):
    try:
        st = node.getState()
        return st.contains(pyatspi.STATE_SENSITIVE) and st.contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def text_of(node):
    t = node.queryText()
    return t.getText(0, t.characterCount)


def extents(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def children(node):
    out = []
    try:
        for i in range(node.childCount):
            c = node.getChildAtIndex(i)
            if c is not None:
                out.append(c)
    except Exception:
        pass
    return out


def walk(node):
    yield node
    for c in children(node):
        yield from walk(c)


class Window:
    """The running program as seen over AT-SPI."""

    def __init__(self, pid, timeout):
        self.pid = pid
        self.app = None
        self.nodes = {}
        deadline = time.monotonic() + timeout
        while self.app is None:
            for a in pyatspi.Registry.getDesktop(0):
                try:
                    if a is not None and a.get_process_id() == pid:
                        self.app = a
                except Exception:
                    pass
            if self.app is None:
                if time.monotonic() > deadline:
                    fail("the program did not appear on the accessibility bus")
                time.sleep(0.1)
        # Everything is asked afresh: states and texts change all the time.
        self.app.set_cache_mask(Atspi.Cache.NONE)

    def tops(self):
        return children(self.app)

    def top(self, description):
        for t in self.tops():
            try:
                if t.description == description:
                    return t
            except Exception:
                pass
        return None

    def control(self, name, form="TForm1"):
        """The control with this designer name in the window of that name."""
        key = (form, name)
        node = self.nodes.get(key)
        if node is not None:
            try:
                if node.description == name:
                    return node
            except Exception:
                pass
        root = self.top(form)
        if root is None:
            fail("window %s not found" % form)
        for n in walk(root):
            try:
                if n.description == name:
                    self.nodes[key] = n
                    return n
            except Exception:
                pass
        fail("control %s not found in %s" % (name, form))

    def log(self):
        return text_of(self.control("Memo1"))

    def caption(self, name):
        return self.control(name).name

    def alerts(self):
        return [t for t in self.tops() if t.getRoleName() == "alert" and showing(t)]

    def frame_size(self):
        x, y, w, h = extents(self.top("TForm1"))
        return w, h


def alert_text(box):
    parts = []
    for n in walk(box):
        try:
            if n.getRoleName() == "label" and n.name:
                parts.append(n.name)
        except Exception:
            pass
    return " | ".join(parts).replace("\n", " ")


class Driver:
    def __init__(self, win, shots):
        self.win = win
        self.shots = shots
        self.step = "start"
        self.dropped = []
        self.pointer = None

    # --- input ---

    def click_at(self, node):
        x, y, w, h = extents(node)
        if w <= 0 or h <= 0:
            fail("%s has no place on the screen" % (node.description or node.name))
        target = (x + w // 2, y + h // 2)
        # "mousemove --sync" waits for a movement: not to where the pointer is.
        if target != self.pointer:
            run("xdotool", "mousemove", "--sync", str(target[0]), str(target[1]))
            self.pointer = target
        run("xdotool", "click", "1")

    def wait_for(self, what, test, timeout, allow_alert=False):
        deadline = time.monotonic() + timeout
        error = None
        while True:
            try:
                value = test()
            except Failure:
                raise
            except Exception as e:  # an object went away meanwhile: ask again
                value, error = None, e
            if value:
                return value
            if not allow_alert:
                boxes = self.win.alerts()
                if boxes:
                    fail("message box while waiting for %s: %s" % (what, alert_text(boxes[0])))
            if time.monotonic() > deadline:
                fail("timed out after %.0f s waiting for %s%s"
                     % (timeout, what, " (last error: %s)" % error if error else ""))
            time.sleep(0.1)

    def press(self, name, reacted, form="TForm1", timeout=20):
        """Clicks the control and waits for the program to react. A click that
        comes while a command exchange waits runs when the exchange ends; one
        that still shows no reaction after 1.5 s is given again, and listed."""
        node = self.win.control(name, form)
        for attempt in range(5):
            if not sensitive(node):
                self.wait_for("%s to be enabled" % name, lambda: sensitive(node), timeout)
                # The controls come back on at a poll tick, whose status
                # exchange follows at once: let it pass.
                time.sleep(0.2)
            self.click_at(node)
            if self.reaction(reacted, 1.5):
                return
            self.dropped.append("%s: %s" % (self.step, name))
            say("  click on %s had no effect, once more" % name)
        fail("%s: five clicks had no effect" % name)

    def reaction(self, reacted, seconds):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if reacted():
                return True
            time.sleep(0.05)
        return reacted()

    # What shows that a click was taken.
    def log_grows(self):
        start = self.mark()
        return lambda: self.mark() > start

    def opens_file_dialog(self, save):
        return lambda: self.file_dialog_node(save) is not None

    def opens_box(self):
        return lambda: bool(self.win.alerts())

    def type_into(self, name, value, form="TForm1"):
        node = self.win.control(name, form)
        self.wait_for("%s to be enabled" % name, lambda: sensitive(node), 20)
        self.click_at(node)
        # The hex fields refuse Ctrl+A like every control key: select with
        # Home and Shift+End; the first key typed replaces the selection.
        run("xdotool", "key", "--clearmodifiers", "Home", "shift+End")
        run("xdotool", "type", "--delay", "15", value)
        try:
            self.wait_for("%s to read %r" % (name, value), lambda: text_of(node) == value, 5)
        except Failure as e:
            raise Failure("%s (it reads %r)" % (e, text_of(node)))

    def tick(self, name):
        node = self.win.control(name)
        if not node.getState().contains(pyatspi.STATE_CHECKED):
            self.press(name, lambda: node.getState().contains(pyatspi.STATE_CHECKED))

    def menu(self, menu_caption, menu_name, item_caption, reacted):
        """Opens the menu bar entry and clicks the item. Menu items carry no
        accessible description (they are actions): the menu is checked by
        its designer name, the item found by its caption."""
        bar = self.win.control("MainMenu1")
        entry = next((c for c in children(bar) if c.name == menu_caption), None)
        if entry is None:
            fail("menu %r not in the menu bar" % menu_caption)

        def popup():
            for n in walk(self.win.app):
                try:
                    if n.description == menu_name and showing(n):
                        return n
                except Exception:
                    pass
            return None

        for attempt in range(5):
            self.wait_for("menu %r to be enabled" % menu_caption, lambda: sensitive(entry), 20)
            self.click_at(entry)
            menu = self.wait_for("menu %s to open" % menu_name, popup, 5)
            item = next((c for c in children(menu) if c.name == item_caption), None)
            if item is None:
                fail("no item %r in menu %s" % (item_caption, menu_name))
            if not sensitive(item):
                fail("menu item %r is disabled" % item_caption)
            self.click_at(item)
            if self.reaction(reacted, 2):
                return
            self.dropped.append("%s: %s" % (self.step, item_caption))
            say("  menu item %r had no effect, once more" % item_caption)
        fail("menu item %r: five clicks had no effect" % item_caption)

    def file_dialog_node(self, save):
        accept = "Save" if save else "Open"
        for t in self.win.tops():
            try:
                if t.getRoleName() == "dialog" and showing(t) and any(
                        n.getRoleName() == "push button" and n.name == accept for n in walk(t)):
                    return t
            except Exception:
                pass
        return None

    def file_dialog(self, path, save):
        """Types the path into the program's file dialog and presses Enter."""
        box = self.wait_for("the %s dialog" % ("save" if save else "open"),
                            lambda: self.file_dialog_node(save), 15)
        field = next((n for n in walk(box) if n.getRoleName() == "text" and n.name == "File name:"), None)
        if field is None:
            fail("file dialog without a file name field")
        self.click_at(field)
        run("xdotool", "key", "--clearmodifiers", "ctrl+a")
        run("xdotool", "type", "--delay", "10", path)
        self.wait_for("the file name field to read the path", lambda: text_of(field) == path, 5)
        for _ in range(3):
            # A completion list open under the field takes the first Enter.
            run("xdotool", "key", "Return")
            deadline = time.monotonic() + 2
            while time.monotonic() < deadline and showing(box):
                time.sleep(0.1)
            if not showing(box):
                return
        fail("the file dialog stayed open after Enter")

    def answer_question(self, must_contain, button):
        box = self.wait_for("the question box", lambda: (self.win.alerts() or [None])[0], 10,
                            allow_alert=True)
        text = alert_text(box)
        if must_contain not in text:
            fail("unexpected question: %s" % text)
        target = next((n for n in walk(box) if n.getRoleName() == "push button"
                       and n.name.replace("&", "") == button), None)
        if target is None:
            fail("question box without a %r button" % button)
        self.click_at(target)
        self.wait_for("the question box to close", lambda: not showing(box), 5, allow_alert=True)

    # --- the log ---

    def mark(self):
        return len(self.win.log())

    def wait_log(self, mark, lines, timeout):
        """Waits until the log written since mark holds these lines in this
        order (each a whole line, or a compiled pattern for a whole line)."""
        def found():
            new = self.win.log()[mark:].split("\n")
            at = 0
            for want in lines:
                while at < len(new):
                    line = new[at]
                    at += 1
                    if (want.fullmatch(line) if isinstance(want, re.Pattern) else line == want):
                        break
                else:
                    return None
            return new

        try:
            return self.wait_for("log lines %s" % [getattr(l, "pattern", l) for l in lines], found, timeout)
        except Failure as e:
            new = self.win.log()[mark:]
            raise Failure("%s\n  log since the step began:\n    %s" % (e, new.replace("\n", "\n    ")))

    def screenshot(self, name):
        if not self.shots:
            return
        x, y, w, h = extents(self.win.top("TForm1"))
        os.makedirs(self.shots, exist_ok=True)
        time.sleep(0.5)  # let the last paint reach the screen
        run("import", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage",
            os.path.join(self.shots, name + ".png"))
        say("  screenshot %s.png (%dx%d)" % (name, w, h))


# --- checks on files ---------------------------------------------------------

def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError as e:
        fail("cannot read %s: %s" % (path, e))


def same_bytes(path, expected, what):
    data = read(path)
    if len(data) != len(expected):
        fail("%s: %s has %d bytes, expected %d" % (what, path, len(data), len(expected)))
    if data != expected:
        at = next(i for i in range(len(data)) if data[i] != expected[i])
        fail("%s: %s differs from the module at byte %d (%02X, expected %02X)"
             % (what, path, at, data[at], expected[at]))


def first_difference(a, b):
    diff = [i for i in range(len(a)) if a[i] != b[i]]
    return len(diff), diff[0]


def dump_lines(facts, memory, first_cell, end_cell, cell_bytes):
    """The hex view the adapter sends for a range, line by line."""
    lines = []
    per_line = facts["dump_cells_per_line"]
    for line_start in range(first_cell, end_cell, per_line):
        cells = []
        for cell in range(line_start, min(line_start + per_line, end_cell)):
            cells.append(memory[cell * cell_bytes:(cell + 1) * cell_bytes].hex().upper())
        lines.append("%0*X: %s" % (facts["dump_address_digits"], line_start, " ".join(cells)))
    return lines


def check_view(view, expected, what):
    if view == expected:
        return
    bad = next((i for i, (a, b) in enumerate(zip(view, expected)) if a != b), min(len(view), len(expected)))
    fail("%s (%d lines, expected %d) differs from the module at line %d: %r, expected %r"
         % (what, len(view), len(expected), bad, view[bad] if bad < len(view) else None,
            expected[bad] if bad < len(expected) else None))


# --- the run -----------------------------------------------------------------

def main():
    ap = argparse.ArgumentParser(description="End-to-end run of the real QVD-PC window.")
    ap.add_argument("--build", default="build")
    ap.add_argument("--shots", default="", help="directory for main_connected.png and main_service.png")
    ap.add_argument("--keep", action="store_true", help="keep the work directory")
    args = ap.parse_args()

    build = os.path.abspath(args.build)
    sim_bin = os.path.join(build, "sim", "qvd-sim")
    app_bin = os.path.join(build, "app", "qvd-pc")
    for b in (sim_bin, app_bin):
        if not os.access(b, os.X_OK):
            print("real_window_run: %s is missing (build first)" % b, file=sys.stderr)
            return 2
    facts = json.loads(subprocess.check_output([sim_bin, "--facts"]))
    nsm, bw2 = facts["modules"]["3"], facts["modules"]["4"]  # the two modules of the run
    nsm_ram, bw2_ram, bw2_eprom = nsm["ram_bytes"], bw2["ram_bytes"], bw2["eprom_bytes"]
    shots = os.path.abspath(args.shots) if args.shots else ""
    work = tempfile.mkdtemp(prefix="qvd-e2e-")
    ports = os.path.join(work, "ports")
    os.mkdir(ports)
    procs = Processes(work)
    rnd = random.Random(20070624)
    started = time.monotonic()
    drv = None
    app = None
    try:
        # Module A: NSM 25 (type 3), at the line rate; its RAM is small.
        ram_a = bytes(rnd.getrandbits(8) for _ in range(nsm_ram))
        ram_a_new = bytes(rnd.getrandbits(8) for _ in range(nsm_ram))
        # Module B: BW 2 (type 4), unpaced: a 1 MiB EPROM.
        ram_b = bytes(rnd.getrandbits(8) for _ in range(bw2_ram))
        eprom_b = bytes(rnd.getrandbits(8) for _ in range(bw2_eprom))
        files = {}
        for name, data in (("ram_a.bin", ram_a), ("ram_a_new.dat", ram_a_new), ("ram_b.bin", ram_b),
                           ("eprom_b.bin", eprom_b)):
            files[name] = os.path.join(work, name)
            with open(files[name], "wb") as f:
                f.write(data)

        def start_sim(port, type_, memory, fast):
            link = os.path.join(ports, "COM%d" % port)
            cmd = [sim_bin, "--link", link, "--type", str(type_), "--serial", SERVICE_SERIAL]
            for opt, path in memory:
                cmd += [opt, path]
            if fast:
                cmd.append("--fast")
            proc = procs.start("qvd-sim-COM%d" % port, cmd)
            deadline = time.monotonic() + 10
            while not os.path.exists(link):
                if proc.poll() is not None or time.monotonic() > deadline:
                    fail("qvd-sim on COM%d did not start:\n%s" % (port, procs.tail(proc)))
                time.sleep(0.05)
            return proc

        sim_a = start_sim(1, 3, [("--ram", files["ram_a.bin"])], fast=False)

        runtime = os.path.join(work, "runtime")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ, QVD_PC_PORTS=os.path.join(ports, "COM%d"), QT_QPA_PLATFORM="xcb",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", XDG_RUNTIME_DIR=runtime)
        app = procs.start("qvd-pc", [app_bin], env=env)
        win = Window(app.pid, 20)
        drv = Driver(win, shots)

        step_started = [time.monotonic()]

        def step(name):
            now = time.monotonic()
            if drv.step != "start":
                say("  (%.1f s)" % (now - step_started[0]))
            step_started[0] = now
            drv.step = name
            say("step: %s" % name)
            if app.poll() is not None:
                fail("the program has ended (status %s)" % app.returncode)

        step("start-up notice and port scan")
        drv.answer_question("HINWEISE", "OK")
        drv.wait_for("the port scan", lambda: "Vorhanden: COM 1\nOK" in win.log(), 20)

        step("search (NSM 25 on COM1)")
        m = drv.mark()
        drv.press("Button3", drv.log_grows())
        drv.wait_log(m, ["Suche QVD-Modul an COM1", "QVD-Modul gefunden", "NSM-Modul-25 erkannt",
                         re.compile(r"Modul Zeit & Datum: \d\d:\d\d:\d\d  \d\d\.\d\d\.\d{4}")], 20)
        drv.wait_for("the connected layout", lambda: win.frame_size()[1] > 600, 5)
        if win.caption("StatusBar2.3") != "NSM Modul 25":
            fail("status bar names %r, expected 'NSM Modul 25'" % win.caption("StatusBar2.3"))
        drv.wait_for("Button2 to be enabled", lambda: sensitive(win.control("Button2")), 10)
        drv.screenshot("main_connected")

        step("RAM save (line rate)")
        saved = os.path.join(work, "ram_saved.dat")
        m = drv.mark()
        drv.press("Button2", drv.opens_file_dialog(True))
        drv.file_dialog(saved, save=True)
        s = sum16(ram_a)
        drv.wait_log(m, ["Dateiname:" + saved, "RAM --> Datei: Übertragung läuft...",
                         "Übertragung erfolgreich beendet. %d/%d, %s/%s" % (nsm_ram, nsm_ram, s, s),
                         "RAM/EPROM:UART/Datei = %s:%s" % (s, s), "OK"], 30)
        same_bytes(saved, ram_a, "RAM save")

        step("RAM restore of another image")
        m = drv.mark()
        drv.press("Button4", drv.opens_box())
        drv.answer_question("Datei --> RAM ausführen?", "Yes")
        drv.file_dialog(files["ram_a_new.dat"], save=False)
        s = sum16(ram_a_new)
        drv.wait_log(m, ["Dateiname:" + files["ram_a_new.dat"], "Datei --> RAM: Schreibvorgang läuft...",
                         "gesendete Byte: %d/%d" % (nsm_ram, nsm_ram), "Daten erfolgreich übertragen...",
                         "RAM-Überprüfung, bitte warten...", "RAM/Datei=%s/%s" % (s, s), "OK"], 30)

        step("comparison with the restored image")
        m = drv.mark()
        drv.menu("Extra's", "Extr", "RAM mit Datei vergleichen", drv.opens_file_dialog(False))
        drv.file_dialog(files["ram_a_new.dat"], save=False)
        drv.wait_log(m, ["RAM --> PC: Vergleich mit Datei läuft...",
                         "RAM und Datei sind gleich (%d Byte)" % nsm_ram], 30)

        step("comparison with the image saved before the restore")
        m = drv.mark()
        drv.menu("Extra's", "Extr", "RAM mit Datei vergleichen", drv.opens_file_dialog(False))
        drv.file_dialog(saved, save=False)
        n, at = first_difference(ram_a_new, ram_a)
        drv.wait_log(m, ["RAM und Datei verschieden: %d Byte abweichend, erste Abweichung bei Adresse "
                         "%06X (RAM: %02X, Datei: %02X)" % (n, at, ram_a_new[at], ram_a[at])], 30)

        step("disconnect; module B (BW 2) on COM2")
        m = drv.mark()
        drv.press("Button5", drv.log_grows())
        drv.wait_log(m, ["Verbindung zum QVD-Modul wurde getrennt"], 10)
        procs.stop(sim_a)
        if os.path.lexists(os.path.join(ports, "COM1")):
            os.unlink(os.path.join(ports, "COM1"))
        start_sim(2, 4, [("--ram", files["ram_b.bin"]), ("--eprom", files["eprom_b.bin"])], fast=True)

        step("search (BW 2 on COM2)")
        m = drv.mark()
        drv.press("Button3", drv.log_grows())
        drv.wait_log(m, ["Suche QVD-Modul an COM2", "QVD-Modul gefunden", "BW-Modul 2 erkannt"], 20)
        drv.wait_for("the connected layout", lambda: win.frame_size()[1] > 600, 5)
        if win.caption("StatusBar2.0") != "COM: 2":
            fail("status bar names port %r, expected 'COM: 2'" % win.caption("StatusBar2.0"))

        step("EPROM save")
        eprom_file = os.path.join(work, "eprom.hex")
        m = drv.mark()
        drv.press("Button18", drv.opens_file_dialog(True))
        drv.file_dialog(eprom_file, save=True)
        s = sum16(eprom_b)
        drv.wait_log(m, ["Dateiname:" + eprom_file, "EPROM --> Datei: Übertragung läuft...",
                         "Übertragung erfolgreich beendet. %d/%d, %s/%s" % (bw2_eprom, bw2_eprom, s, s),
                         "EPROM-Überprüfung, bitte warten...", "RAM/EPROM:UART/Datei = %s:%s" % (s, s),
                         "OK"], 60)
        same_bytes(eprom_file, eprom_b, "EPROM save")

        step("EPROM split")
        m = drv.mark()
        drv.menu("Extra's", "Extr", "BW2-EPROM aufteilen", drv.opens_file_dialog(False))
        drv.file_dialog(eprom_file, save=False)
        drv.wait_log(m, ["Dateiname:" + eprom_file, "EPROM --> EPROM_odd_even: Datei-Schreibvorgang läuft...",
                         "OK"], 20)
        same_bytes(os.path.join(work, "eprom_odd.hex"), eprom_b[0::2], "split, odd half")
        same_bytes(os.path.join(work, "eprom_even.hex"), eprom_b[1::2], "split, even half")

        step("RAM range view 001000h...001200h")
        drv.tick("CheckBox3")
        drv.type_into("Edit3", "0010")
        drv.type_into("Edit4", "0012")
        expected = dump_lines(facts, ram_b, 0x1000, 0x1200, bw2["cell_bytes"])
        wire_bytes = sum(len(line) + 1 for line in expected)
        m = drv.mark()
        drv.press("Button10", drv.log_grows())
        drv.wait_log(m, ["RAM --> PC: Teilbereich-Übertragung läuft...",
                         "Übertragung erfolgreich beendet. Gesamtbyte:%d" % wire_bytes], 20)
        view = text_of(win.control("DBMemo1")).split("\n")
        header = "****************** RAM-Teilbereich (001000h...001200h): *************************"
        check_view(view, [header] + expected, "RAM view")

        step("RAM cell write 001123 = BEEF")
        drv.type_into("Edit10", "001123")
        drv.type_into("Edit11", "BEEF")
        m = drv.mark()
        drv.press("Button22", drv.log_grows())
        drv.wait_log(m, ["RAM-Zelle beschrieben: 001123 BEEF", "RAM-Zelle OK "], 20)
        # The range view again, now from the written module.
        ram_b_cell = bytearray(ram_b)
        ram_b_cell[0x2246:0x2248] = b"\xBE\xEF"
        before = len(text_of(win.control("DBMemo1")).split("\n"))
        m = drv.mark()
        drv.press("Button10", drv.log_grows())
        drv.wait_log(m, ["Übertragung erfolgreich beendet. Gesamtbyte:%d" % wire_bytes], 20)
        view = text_of(win.control("DBMemo1")).split("\n")[before:]
        check_view(view, [header] + dump_lines(facts, bytes(ram_b_cell), 0x1000, 0x1200, bw2["cell_bytes"]),
                   "RAM view after the cell write")

        step("clock set 13:45 24.12.26")
        for name, value in (("Edit2", "13"), ("Edit6", "45"), ("Edit5", "24"), ("Edit7", "12"),
                            ("Edit8", "26")):
            drv.type_into(name, value)
        m = drv.mark()
        drv.press("Button8", drv.log_grows())
        drv.wait_log(m, [re.compile(r"Zeit & Datum gesetzt: 13:45:\d\d  24\.12\.2026")], 15)
        m = drv.mark()
        drv.press("Button7", drv.log_grows())
        drv.wait_log(m, [re.compile(r"Zeit & Datum abfrage: 13:4[56]:\d\d  24\.12\.2026")], 15)

        step("status file")
        status = os.path.join(work, "QVD-PC_Status.txt")
        drv.wait_for("Button1 to be enabled", lambda: sensitive(win.control("Button1")), 20)
        info_before = text_of(win.control("Memo2")).split("\n")
        log_before = win.log().split("\n")
        # The label shows the poll answer whole, its closing CR included; in
        # the file the line's own CR LF takes its place.
        last_poll = win.caption("Label18").rstrip("\r\n")
        m = drv.mark()
        drv.press("Button1", drv.opens_file_dialog(True))
        drv.file_dialog(status, save=True)
        drv.wait_log(m, ["Statusmeldungen & QVD-Infos gespeichert unter: " + status], 10)
        report = read(status).decode("cp1252")
        if not report.endswith("\r\n"):
            fail("status file does not end with CR LF")
        lines = report[:-2].split("\r\n")
        head1 = "*" * 18 + " QVD-Modul Infos " + "*" * 25
        head2 = "*" * 18 + " QVD-PC Status " + "*" * 27
        if lines[0] != head1 or head2 not in lines:
            fail("status file lacks its headers: %r" % lines[:3])
        at = lines.index(head2)
        if lines[1:1 + len(info_before)] != info_before:
            fail("status file: module information differs from Memo2")
        if lines[at - 2] != "Checksumme A,B,C,D : " + last_poll:
            fail("status file: checksum line %r, the window shows %r" % (lines[at - 2], last_poll))
        if lines[at + 2:] != log_before:
            fail("status file: log part differs from Memo1 (%d lines, Memo1 had %d)"
                 % (len(lines) - at - 2, len(log_before)))

        step("service layout")
        m = drv.mark()
        drv.menu("Extra's", "Extr", "Service", lambda: showing(win.top("TForm3")))
        edit = win.control("Edit1", "TForm3")
        drv.wait_for("the password field", lambda: sensitive(edit), 5)
        drv.click_at(edit)
        run("xdotool", "type", "--delay", "15", PASSWORD)
        run("xdotool", "key", "Return")
        drv.wait_for("the service layout (920 wide)", lambda: win.frame_size()[0] > 900, 10)
        def extras_inside():
            fx, fy, fw, fh = extents(win.top("TForm1"))
            x, y, w, h = extents(win.control("GroupBox8"))
            return showing(win.control("Button19")) and x + w <= fx + fw
        drv.wait_for("the QVD extras inside the window", extras_inside, 5)
        extra = win.log()[m:]
        if extra.strip():
            fail("service grant logged %r" % extra)
        drv.wait_for("the last poll answer", lambda: win.caption("Label18").startswith("FF4-"), 5)
        drv.screenshot("main_service")

        say("  (%.1f s)" % (time.monotonic() - step_started[0]))
        say("PASS: real window run in %.1f s" % (time.monotonic() - started))
        if drv.dropped:
            say("clicks the program dropped (given again): %s" % "; ".join(drv.dropped))
        return 0
    except Failure as e:
        print("FAIL in step '%s': %s" % (drv.step if drv else "start", e), file=sys.stderr)
        if drv is not None:
            try:
                print("  open windows: %s" % ", ".join(
                    "%s %r" % (t.getRoleName(), t.name) for t in drv.win.tops() if showing(t)), file=sys.stderr)
                print("  log ends: %s" % " | ".join(drv.win.log().split("\n")[-6:]), file=sys.stderr)
            except Exception:
                pass
        for proc in procs.running:
            if proc.label.startswith("qvd-sim") or proc is app:
                out = procs.tail(proc, 8)
                if out:
                    print("--- %s ---\n%s" % (proc.label, out), file=sys.stderr)
        if app is not None and app.poll() is not None:
            print("qvd-pc ended with status %s" % app.returncode, file=sys.stderr)
        return 1
    finally:
        procs.stop_all()
        if args.keep:
            print("work directory kept: %s" % work)
        else:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
