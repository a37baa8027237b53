#!/usr/bin/python3
# Start-up time of QVD-PC: from starting the program to the X server mapping
# its main window (and, after it, the notice box), over several runs against
# qvd-sim on COM1. Runs inside an X display without a window manager
# (tools/startup_time.sh), so a window is mapped the moment it is shown.
import ctypes
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

MAIN_TITLE = b"QVD-PC  V1.30  24.06.2007"
NOTICE_TITLE = b"QVD-PC"
MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19

x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
x11.XPending.argtypes = [ctypes.c_void_p]
x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]


class XMapEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("override_redirect", ctypes.c_int)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xmap", XMapEvent), ("pad", ctypes.c_long * 24)]


def window_name(display, window):
    name = ctypes.c_char_p()
    if x11.XFetchName(display, window, ctypes.byref(name)) and name.value is not None:
        return name.value
    return None


def one_run(display, build, ports):
    env = dict(os.environ, QVD_PC_PORTS=os.path.join(ports, "COM%d"), QT_QPA_PLATFORM="xcb")
    x11.XSync(display, 1)  # drop what earlier runs left
    t0 = time.monotonic()
    app = subprocess.Popen([os.path.join(build, "app", "qvd-pc")], env=env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    seen = {}
    event = XEvent()
    pending_names = []
    deadline = t0 + 30
    try:
        while len(seen) < 2 and time.monotonic() < deadline:
            while x11.XPending(display):
                x11.XNextEvent(display, ctypes.byref(event))
                if event.type == MAP_NOTIFY:
                    pending_names.append((time.monotonic(), event.xmap.window))
            # The name is read after the event: Qt names a window before it maps it.
            for at, window in pending_names:
                name = window_name(display, window)
                if name == MAIN_TITLE and "main" not in seen:
                    seen["main"] = at - t0
                elif name == NOTICE_TITLE and "main" in seen and "notice" not in seen:
                    seen["notice"] = at - t0
            pending_names.clear()
            time.sleep(0.001)
    finally:
        app.terminate()
        try:
            app.wait(5)
        except subprocess.TimeoutExpired:
            app.kill()
            app.wait()
    return seen


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    display = x11.XOpenDisplay(None)
    if not display:
        print("startup_time: no X display", file=sys.stderr)
        return 2
    x11.XSelectInput(display, x11.XDefaultRootWindow(display), SUBSTRUCTURE_NOTIFY_MASK)
    x11.XFlush(display)
    ports = tempfile.mkdtemp(prefix="qvd-startup-")
    sim = subprocess.Popen([os.path.join(build, "sim", "qvd-sim"), "--link", os.path.join(ports, "COM1"),
                            "--type", "2"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        while not os.path.exists(os.path.join(ports, "COM1")):
            time.sleep(0.05)
        one_run(display, build, ports)  # warms the file cache; not counted
        mains, notices = [], []
        for i in range(runs):
            seen = one_run(display, build, ports)
            if "main" not in seen:
                print("run %d: the main window was not mapped within 30 s" % (i + 1), file=sys.stderr)
                return 1
            mains.append(seen["main"] * 1000)
            if "notice" in seen:
                notices.append(seen["notice"] * 1000)
            print("run %d: main window mapped after %4.0f ms, notice box after %s" % (
                i + 1, mains[-1], "%4.0f ms" % notices[-1] if "notice" in seen else "-"))
            time.sleep(0.3)
        print("main window: median %.0f ms, min %.0f ms, max %.0f ms over %d runs" % (
            statistics.median(mains), min(mains), max(mains), len(mains)))
        if notices:
            print("notice box:  median %.0f ms" % statistics.median(notices))
    finally:
        sim.terminate()
        sim.wait()
        shutil.rmtree(ports, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
