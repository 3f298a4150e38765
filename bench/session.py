"""One working session of the real program on a big laboratory's archives, driven as a
user drives it (clicks through the X server, controls found over the accessibility bus):
every list and export window of the four archives is opened once, and the time from the
click to its result on screen is taken; at the end the program's peak resident memory.

The time runs from the moment the mouse button goes up until the program, asked over the
accessibility bus, shows the result: a search's list has its lines; a window that lists
or fills its grid on opening is on the screen (it appears only once its list or grid is
ready, and the program answers the bus only between two events). The figures carry the
cost of the question over the bus, a few milliseconds (the "calibration" line: a click
on "Chiudi" of a small window), and of a busy bus: the program is asked again every
millisecond. Read them as the user's wait, give or take ten milliseconds.

Usage: session.py <build folder> <folder with the archives> [--year YYYY] [--shots DIR]
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "e2e"))

from drive import (Failure, Program, centre, children, click, extents, fill, find, key, role, showing,  # noqa: E402
                   wait_for, xdo)

COUNT_PREFIX = "Il presente riepilogo contiene "


def descendants(acc):
    """Every control under acc, hidden ones too; lists and tables not entered."""
    stack = [acc]
    while stack:
        a = stack.pop()
        yield a
        if role(a) not in ("list", "table", "tree table", "tree", "list box"):
            stack.extend(reversed(children(a)))


def poll(what, probe, timeout=60):
    return wait_for(what, probe, timeout, step=0.001)


class Session:
    def __init__(self, build, data, year, shots):
        self.build = build
        self.year = year
        self.shots = shots
        self.work = tempfile.mkdtemp(prefix="tirello-session-")
        self.folder = os.path.join(self.work, "Tirello")
        os.makedirs(self.folder)
        shutil.copy2(os.path.join(build, "Tirello"), self.folder)
        subprocess.run([os.path.join(build, "tirello-setup"), self.folder], check=True, stdout=subprocess.DEVNULL)
        # The archives are only read: links to them are enough.
        for name in os.listdir(data):
            if name.endswith((".pro", ".rdp", ".cda")):
                os.symlink(os.path.abspath(os.path.join(data, name)), os.path.join(self.folder, name))
        self.figures = []
        self.program = None

    def shot(self, name):
        if self.shots:
            os.makedirs(self.shots, exist_ok=True)
            subprocess.run(["import", "-window", "root", os.path.join(self.shots, name)], check=False,
                           stderr=subprocess.DEVNULL, timeout=60)

    def press(self, acc):
        """Clicks the control; returns the time the button went up (a button acts then).
        The button goes down first, untimed: the key tool takes long over that."""
        xdo("mousemove", "--sync", *centre(acc))
        xdo("mousedown", "1")
        time.sleep(0.1)
        start = time.monotonic()
        xdo("mouseup", "1")
        return start

    def note(self, label, start, shown):
        ms = (time.monotonic() - start) * 1000
        self.figures.append((label, ms, shown))
        print(f"  {label:<46} {ms:8.0f} ms   {shown}", flush=True)

    # ---- the result of a window --------------------------------------------------------
    def hidden_list(self, window, list_name):
        """The list of a window, shown or not yet."""
        for a in descendants(window):
            if role(a) == "list" and a.name == list_name:
                return a
        raise Failure(f"manca l'elenco «{list_name}»")

    def appeared(self, title):
        """Waits for a window to appear on the screen (asking the bus as little as can be)."""
        def probe():
            for w in children(self.program.app):
                if title in (w.name or "") and showing(w):
                    return w
            return None
        return poll(f"la finestra «{title}»", probe)

    def lines_of(self, window, list_name):
        lines = find(window, list_name, "list")
        wait_for(f"le righe di «{list_name}»", lambda: lines.childCount > 0, 30)
        return f"{lines.childCount} voci"

    def count_line(self, window):
        label = find(window, COUNT_PREFIX, "label", contains=True)
        return label.name

    def grid_rows(self, window):
        for a in descendants(window):
            if role(a) in ("table", "tree table") and showing(a):
                return f"{a.queryTable().nRows} righe"
        raise Failure("manca la griglia")

    def close(self, window, button, title):
        click(find(window, button, "push button"))
        self.program.no_window(title, 60)

    # ---- the windows -------------------------------------------------------------------
    def search(self, card, title, list_name, label, shot=None):
        click(find(card, "Trova", "push button"))
        w = self.program.window(title, 30)
        lines = self.hidden_list(w, list_name)
        start = self.press(find(w, "Cerca", "push button"))
        poll(f"le righe di «{list_name}»", lambda: lines.childCount > 0)
        self.note(label, start, self.count_line(w))
        if shot:
            time.sleep(0.5)
            self.shot(shot + ".png")
            self.to_the_end(lines, "End")
            self.shot(shot + "-fine.png")
        self.close(w, "Chiudi", title)

    def to_the_end(self, view, keys):
        """Into the list or grid and to its last line, as the keyboard goes there."""
        x, y, width, height = extents(view)
        xdo("mousemove", "--sync", str(x + 40), str(y + 40), "click", "1")
        time.sleep(0.3)
        key(keys)
        time.sleep(0.8)

    def summary(self, card, command, title, list_name, label):
        start = self.press(find(card, command, "push button"))
        w = self.appeared(title)
        self.note(label, start, self.lines_of(w, list_name))
        self.close(w, "Chiudi", title)

    def export(self, card, label, shot=None):
        start = self.press(find(card, "Esporta archivio", "push button"))
        w = self.appeared("Esporta archivio")
        self.note(label, start, self.grid_rows(w))
        if shot:
            time.sleep(0.5)
            self.shot(shot + ".png")
            grid = next(a for a in descendants(w) if role(a) in ("table", "tree table"))
            self.to_the_end(grid, "ctrl+End")
            self.shot(shot + "-fine.png")
        self.close(w, "Esci", "Esporta archivio")

    def calibrate(self, card):
        """A click whose answer costs the program nothing: the bus and the click alone."""
        click(find(card, "Trova", "push button"))
        w = self.program.window("Trova", 30)
        button = find(w, "Chiudi", "push button")
        start = self.press(button)
        poll("la chiusura", lambda: not showing(button) or None)
        self.note("calibration (Chiudi of a small window)", start, "")

    def open_year(self, launcher, tile, year_title, card_title):
        click(find(launcher, tile, "push button"))
        years = self.program.window(year_title, 30)
        fill(find(years, "Anno:", "text"), str(self.year))
        click(find(years, "Apri", "push button"))
        return self.program.window(card_title, 60)

    def run(self):
        p = self.program = Program(self.folder)
        login = p.window("Autenticazione", 30)
        fill(find(login, None, "password text"), "benvenutonuovo")
        key("Return")
        launcher = p.window(" Tirello", 30)

        click(find(launcher, "ANAGRAFICA CLIENTI", "push button"))
        card = p.window("Anagrafica clienti", 30)
        self.calibrate(card)
        self.search(card, "Trova clienti", "Elenco dei clienti", "Client search, no filter", "clienti")
        self.summary(card, "Da ricontattare", "Riepilogo clienti da ricontattare", "Elenco dei clienti",
                     "Clients to recontact")
        self.export(card, "Client export grid")
        click(find(card, "Esci", "push button"))
        launcher = p.window(" Tirello", 30)

        click(find(launcher, "MODELLI DI ANALISI", "push button"))
        card = p.window("Modelli di analisi", 30)
        self.summary(card, "Trova", "Trova modelli", "Elenco dei modelli di analisi", "Model search")
        self.export(card, "Model export grid")
        click(find(card, "Esci", "push button"))
        launcher = p.window(" Tirello", 30)

        card = self.open_year(launcher, "RAPPORTI DI PROVA", "Rapporti di prova", "Rapporti di prova anno")
        self.search(card, "Trova rapporti", "Elenco dei rapporti di prova", "Report search, no filter")
        self.summary(card, "Documenti non consegnati", "non consegnati", "Elenco dei rapporti di prova non consegnati",
                     "Undelivered reports")
        self.summary(card, "Importa modello di analisi", "Importa dati da modello", "Elenco dei modelli di analisi",
                     "Model import")
        self.export(card, "Report export grid", "rapporti-esportazione")
        click(find(card, "Esci", "push button"))
        launcher = p.window(" Tirello", 30)

        card = self.open_year(launcher, "CERTIFICATI DI ANALISI", "Certificati", "Certificati di analisi chimica anno")
        self.search(card, "Trova certificati", "Elenco dei certificati di analisi",
                    "Certificate search, no filter")
        self.summary(card, "Documenti non consegnati", "non consegnati",
                     "Elenco dei certificati di analisi non consegnati", "Undelivered certificates")
        self.export(card, "Certificate export grid")
        click(find(card, "Esci", "push button"))
        p.window(" Tirello", 30)

        peak = "?"
        with open(f"/proc/{p.process.pid}/status") as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    peak = f"{int(line.split()[1]) / 1024:.1f} MB"
        print(f"  {'Peak resident memory of the session':<46} {peak}", flush=True)
        p.quit()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("data")
    parser.add_argument("--year", type=int, default=2024)
    parser.add_argument("--shots")
    args = parser.parse_args()
    session = Session(os.path.abspath(args.build), args.data, args.year, args.shots)
    try:
        session.run()
    except Exception as e:
        shot = os.path.join(session.work, "errore.png")
        subprocess.run(["import", "-window", "root", shot], check=False, stderr=subprocess.DEVNULL, timeout=60)
        print(f"FAILED: {e} (screenshot {shot})", file=sys.stderr)
        session.program and session.program.quit()
        return 1
    shutil.rmtree(session.work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
