"""Drives the running program as a user would: controls are found over the accessibility
bus, keys and clicks go through the X server."""
import os
import re
import subprocess
import sys
import time

import pyatspi

SKIP_CHILDREN = {"list", "table", "tree table", "tree", "list box"}


class Failure(AssertionError):
    pass


def wait_for(what, probe, timeout=10.0, step=0.1):
    end = time.monotonic() + timeout
    last = None
    while True:
        try:
            last = probe()
        except Exception:  # the tree changes under our feet while windows open and close
            last = None
        if last:
            return last
        if time.monotonic() > end:
            raise Failure(f"non è comparso in {timeout:.0f} s: {what}")
        time.sleep(step)


def role(acc):
    try:
        return acc.getRoleName()
    except Exception:
        return ""


def children(acc):
    try:
        n = acc.childCount
    except Exception:
        return []
    out = []
    for i in range(n):
        try:
            c = acc.getChildAtIndex(i)
        except Exception:
            c = None
        if c is not None:
            out.append(c)
    return out


def walk(acc):
    """Every control under acc, lists and tables not entered (their rows can be many)."""
    stack = [acc]
    while stack:
        a = stack.pop()
        yield a
        if role(a) not in SKIP_CHILDREN:
            stack.extend(reversed(children(a)))


def has_state(acc, state):
    """Whether the control is in that state; a control gone meanwhile is in none."""
    try:
        return acc.getState().contains(state)
    except Exception:
        return False


def showing(acc):
    return has_state(acc, pyatspi.STATE_SHOWING)


def text_of(acc):
    try:
        return acc.queryText().getText(0, -1)
    except Exception:
        return None


def extents(acc):
    x, y, w, h = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return x, y, w, h


class Program:
    def __init__(self, folder, name="Tirello"):
        self.folder = folder
        self.name = name
        env = dict(os.environ)
        env.pop("QT_QPA_PLATFORM", None)
        env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        self.log = open(os.path.join(folder, "..", "program.log"), "ab")
        self.process = subprocess.Popen([os.path.join(folder, "Tirello")], cwd=folder, env=env,
                                        stdout=self.log, stderr=self.log)
        self.app = wait_for("il programma sul bus di accessibilità", self._find_app, 20)

    def _find_app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for a in children(desktop):
            try:
                if a.name == self.name and a.get_process_id() == self.process.pid:
                    return a
            except Exception:
                pass
        return None

    def alive(self):
        return self.process.poll() is None

    def windows(self):
        return [w for w in children(self.app) if showing(w)]

    def window(self, title, timeout=10):
        def probe():
            for w in self.windows():
                if title in (w.name or ""):
                    return w
            return None
        return wait_for(f"la finestra «{title}»", probe, timeout)

    def no_window(self, title, timeout=10):
        wait_for(f"la chiusura della finestra «{title}»",
                 lambda: not any(title in (w.name or "") for w in self.windows()), timeout)

    def message(self, timeout=10):
        """The message box on screen: (window, its text)."""
        def probe():
            for w in self.windows():
                if role(w) in ("alert", "dialog"):
                    texts = [a.name for a in walk(w) if role(a) == "label" and a.name]
                    if texts:
                        return w, "\n".join(texts)
            return None
        return wait_for("un messaggio", probe, timeout)

    def quit(self):
        if self.alive():
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()


def find(root, name=None, roles=None, timeout=10, contains=False, index=0):
    if isinstance(roles, str):
        roles = {roles}

    def probe():
        hits = []
        for a in walk(root):
            if roles and role(a) not in roles:
                continue
            if name is not None:
                n = a.name or ""
                if not (name in n if contains else n == name):
                    continue
            if not showing(a):
                continue
            hits.append(a)
        return hits[index] if len(hits) > index else None
    return wait_for(f"il controllo «{name}» ({', '.join(sorted(roles or []))})", probe, timeout)


def xdo(*args):
    subprocess.run(["xdotool", *args], check=True)


def centre(acc):
    x, y, w, h = extents(acc)
    if w <= 0 or h <= 0:
        raise Failure(f"il controllo «{acc.name}» non è visibile")
    return str(x + w // 2), str(y + h // 2)


def click(acc, double=False):
    xdo("mousemove", "--sync", *centre(acc), "click", "--repeat", "2" if double else "1", "1")
    time.sleep(0.15)


def key(*keys):
    xdo("key", "--delay", "40", *keys)
    time.sleep(0.1)


def focused(acc):
    return has_state(acc, pyatspi.STATE_FOCUSED)


def focus(field):
    """Clicks into a field until it has the keyboard focus (a busy program may take the
    click late; keys sent before would land in the field left behind)."""
    for _ in range(3):
        click(field)
        try:
            wait_for(f"il fuoco sul campo «{field.name}»", lambda: focused(field), 3)
            return
        except Failure:
            pass
    raise Failure(f"il campo «{field.name}» non prende il fuoco")


def type_into(field, text):
    """Types text into the focused field. Letters the plain keys do not give (accented
    letters, µ, €) are entered the way assistive technologies enter them, through the
    field's editable text: the virtual X server can lose a key whose map it is swapping."""
    entered = ""
    for run in re.findall(r"[\x00-\x7f]+|[^\x00-\x7f]+", text):
        if run.isascii():
            xdo("type", "--delay", "15", run)
        else:
            # The keys sent so far must have arrived before text is put after them.
            wait_for(f"il testo digitato nel campo «{field.name}»",
                     lambda: len(text_of(field) or "") == len(entered), 10)
            field.queryEditableText().insertText(len(entered), run, len(run))
        entered += run


def fill(field, text, shown=None):
    """Clears a field and types into it as a user would; then waits until the field shows
    what was typed (or `shown`, where the field changes what is typed)."""
    focus(field)
    xdo("key", "--delay", "30", "ctrl+a", "BackSpace")
    if role(field) == "password text":
        xdo("type", "--delay", "15", text)
        return
    wait_for(f"il campo «{field.name}» vuoto", lambda: text_of(field) == "", 10)
    type_into(field, text)
    want = text if shown is None else shown
    wait_for(f"il testo «{want}» nel campo «{field.name}»", lambda: text_of(field) == want, 10)


def field_text(root, name):
    return text_of(find(root, name, {"text", "password text", "entry", "combo box", "spin button"}))
