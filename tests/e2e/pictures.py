"""Takes the manual's pictures of the real windows. The program runs from a new portable
folder filled with invented data (no real person's or company's), in the virtual desktop
that run.sh sets up, and is driven as a user drives it; each window is captured with its
frame as it shows on the screen.

Usage, through run.sh:  tests/e2e/run.sh <build> pictures.py <pictures folder> [--all <folder>]
The pictures folder gets the manual's pictures (docs/img); --all also captures every
other window of the program into a folder of its own, for looking them over."""
import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

import archive
from drive import Failure, Program, children, click, fill, find, focus, key, text_of, wait_for, xdo

YEAR = time.strftime("%Y")
LAB = {
    "txtLaboratorio": "Laboratorio Analisi Val di Sieve S.r.l.",
    "txtIndirizzoLab": "Via delle Fornaci 18",
    "txtCittaLab": "50065 Pontassieve (FI)",
    "txtPartitaIvaLab": "01234560481",
    "txtCodFiscLab": "01234560481",
    "txtEmailLab": "accettazione@labvaldisieve.example",
    "txtTelLab": "055 000 1234",
    "txtLiberoLab": "Laboratorio di prova - dati di esempio per la guida",
}
CLIENTS = [
    {"txtCliente": "Caseificio Le Crete S.a.s.", "txtRecapito": "0577 000 118", "txtIndirizzoRes": "Strada del Fosso 4",
     "txtComuneRes": "Asciano", "txtProvRes": "SI", "txtCapRes": "53041", "txtPartitaIva": "00987650527",
     "txtCodFisc": "00987650527", "txtEmail": "qualita@lecrete.example", "txtOccupazione": "Produzione formaggi",
     "txtProdotti": "Analisi microbiologiche del latte", "txtZona": "Crete senesi",
     "txtNote": "Ritira i rapporti il venerdì", "chkRicontatta": "No"},
    {"txtCliente": "Forno Fratelli Tanzini S.n.c.", "txtRecapito": "055 000 4410", "txtIndirizzoRes": "Via Aretina 212",
     "txtComuneRes": "Rufina", "txtProvRes": "FI", "txtCapRes": "50068", "txtPartitaIva": "00456780486",
     "txtCodFisc": "00456780486", "txtEmail": "forno@tanzini.example", "txtOccupazione": "Panificio",
     "txtProdotti": "Controllo acque e superfici", "txtZona": "Val di Sieve",
     "txtQuestioni": "Preventivo per il piano di autocontrollo", "chkRicontatta": "Sì"},
    {"txtCliente": "Acquedotto Colline Alte S.p.A.", "txtRecapito": "0575 000 900", "txtIndirizzoRes": "Piazza del Pozzo 1",
     "txtComuneRes": "Bibbiena", "txtProvRes": "AR", "txtCapRes": "52011", "txtPartitaIva": "00321090514",
     "txtCodFisc": "00321090514", "txtEmail": "laboratorio@collinealte.example", "txtOccupazione": "Servizio idrico",
     "txtProdotti": "Acque destinate al consumo umano", "txtZona": "Casentino", "chkRicontatta": "No"},
    {"txtCliente": "Bellandi Giulia", "txtDataNasc": "12/05/1979", "txtComuneNasc": "Firenze", "txtProvNasc": "FI",
     "txtSesso": "F", "txtRecapito": "333 000 7788", "txtIndirizzoRes": "Via dei Tigli 7", "txtComuneRes": "Dicomano",
     "txtProvRes": "FI", "txtCapRes": "50062", "txtCodFisc": "BLLGLI79E52D612X",
     "txtEmail": "giulia.bellandi@posta.example", "txtOccupazione": "Agriturismo",
     "txtProdotti": "Analisi dell'acqua di pozzo", "txtZona": "Mugello", "chkRicontatta": "Sì",
     "txtQuestioni": "Richiamare per il prelievo di primavera"},
]
WATER_ROWS = [
    ("Nitrati", "UNI EN ISO 10304-1:2009", "mg/l", "12,5", "50"),
    ("Nitriti", "UNI EN 26777:1995", "mg/l", "< 0,02", "0,50"),
    ("Durezza totale", "APAT CNR IRSA 2040 B", "°F", "31", "15-50"),
    ("Conducibilità a 20 °C", "UNI EN 27888:1995", "µS/cm", "540", "2500"),
    ("pH", "APAT CNR IRSA 2060", "unità pH", "7,4", "6,5-9,5"),
    ("Cloruri", "UNI EN ISO 10304-1:2009", "mg/l", "28", "250"),
    ("Solfati", "UNI EN ISO 10304-1:2009", "mg/l", "36", "250"),
    ("Ammonio", "APAT CNR IRSA 4030 A1", "mg/l", "< 0,05", "0,50"),
    ("Ferro", "UNI EN ISO 11885:2009", "µg/l", "45", "200"),
    ("Manganese", "UNI EN ISO 11885:2009", "µg/l", "< 5", "50"),
    ("Sodio", "UNI EN ISO 11885:2009", "mg/l", "18", "200"),
    ("Calcio", "UNI EN ISO 11885:2009", "mg/l", "96", ""),
    ("Magnesio", "UNI EN ISO 11885:2009", "mg/l", "17", ""),
    ("Fluoruri", "UNI EN ISO 10304-1:2009", "mg/l", "0,21", "1,5"),
    ("Ossidabilità", "UNI EN ISO 8467:1997", "mg/l O2", "0,9", "5,0"),
    ("Coliformi totali", "UNI EN ISO 9308-1:2017", "UFC/100 ml", "0", "0"),
    ("Escherichia coli", "UNI EN ISO 9308-1:2017", "UFC/100 ml", "0", "0"),
    ("Enterococchi", "UNI EN ISO 7899-2:2003", "UFC/100 ml", "0", "0"),
    ("Carica batterica a 22 °C", "UNI EN ISO 6222:2001", "UFC/ml", "12", "senza variazioni anomale"),
]
MODELS = [
    ("Acqua potabile - controllo completo", "Acqua destinata al consumo umano", WATER_ROWS),
    ("Latte crudo - microbiologia", "Latte crudo vaccino",
     [("Carica batterica a 30 °C", "UNI EN ISO 4833-1:2013", "UFC/ml", "", "100000"),
      ("Cellule somatiche", "UNI EN ISO 13366-2:2007", "cell/ml", "", "400000"),
      ("Staphylococcus aureus", "UNI EN ISO 6888-1:2021", "UFC/ml", "", "")]),
    ("Olio extravergine - qualità", "Olio extravergine di oliva",
     [("Acidità libera", "Reg. CEE 2568/1991 All. II", "% ac. oleico", "", "0,8"),
      ("Numero di perossidi", "Reg. CEE 2568/1991 All. III", "meq O2/kg", "", "20")]),
]


def model_record(name, sample, rows):
    values = {"txtAnalisi": name, "txtCampione": sample}
    for i, (param, method, unit, _result, limit) in enumerate(rows, 1):
        values.update({f"txtParametro{i:02d}": param, f"txtMetodo{i:02d}": method, f"txtUM{i:02d}": unit,
                       f"txtLimite{i:02d}": limit})
    return values


def document_head(client, number, day, analysis, sample):
    c = CLIENTS[client]
    values = dict(LAB)
    values.update({k: c.get(k, "") for k in ("txtCliente", "txtIndirizzoRes", "txtCapRes", "txtProvRes",
                                               "txtComuneRes", "txtPartitaIva", "txtCodFisc")})
    values.update({"txtNumRap": number, "txtData": f"{day:02d}/03/{YEAR}", "txtAnalisi": analysis,
                   "txtCampione": sample, "txtLuogoPrel": "Punto di prelievo n. 2 - rubinetto della cucina",
                   "txtDataPrel": f"{day - 3:02d}/03/{YEAR}", "txtCura": "Tecnico del laboratorio",
                   "txtContenitore": "Bottiglia sterile in vetro da 1 l", "txtDataRic": f"{day - 3:02d}/03/{YEAR}",
                   "txtOraRic": "09:40", "txtDataInizio": f"{day - 3:02d}/03/{YEAR}",
                   "txtDataFine": f"{day - 1:02d}/03/{YEAR}"})
    return values


def report_record(client, number, day, model, delivered, attachments=None):
    name, sample, rows = MODELS[model]
    values = document_head(client, number, day, name, sample)
    values["txtResponsabile"] = "Dott.ssa Elena Marchini"
    for i, (param, method, unit, result, limit) in enumerate(rows, 1):
        values.update({f"txtParametro{i:02d}": param, f"txtMetodo{i:02d}": method, f"txtUM{i:02d}": unit,
                       f"txtRisultato{i:02d}": result or "n.r.", f"txtLimite{i:02d}": limit})
    values["txtOsservazioni"] = "Il campione, per i parametri esaminati, è conforme ai limiti di riferimento."
    values["chkConsegnato"] = "Sì" if delivered else "No"
    values.update(attachments or {})
    return values


def certificate_record(client, number, day, delivered):
    values = document_head(client, number, day, "Ricerca di metalli pesanti", "Formaggio pecorino stagionato")
    values.update({
        "txtChimico": "Dott. Paolo Ceccherini",
        "txtOrdine": "Ordine dei Chimici e dei Fisici (esempio)",
        "txtMetodi": "Mineralizzazione del campione in forno a microonde con acido nitrico e perossido di "
                     "idrogeno.\r\nDeterminazione di piombo e cadmio in ICP-MS secondo UNI EN 15763:2010.",
        "txtMotivazione": "Metodi normati, adatti alla matrice e con limiti di quantificazione inferiori ai "
                          "limiti di legge.",
        "txtAllegati": f"Rapporto di prova n. 3/{YEAR}.\r\nVerbale di prelievo n. 12.",
        "txtTempoDocu": "Dieci anni dalla data di emissione.",
        "txtTempoCamp": "Trenta giorni a -18 °C dalla data di fine analisi.",
        "txtConclusioni": "Le concentrazioni di piombo e cadmio sono inferiori ai tenori massimi previsti.\r\n"
                          "Il campione è conforme.",
        "chkConsegnato": "Sì" if delivered else "No",
    })
    return values


def make_folder(build, folder):
    """A portable folder as the run script makes it, with invented data."""
    os.makedirs(folder)
    shutil.copy2(os.path.join(build, "Tirello"), folder)
    subprocess.run([os.path.join(build, "tirello-setup"), folder], check=True, stdout=subprocess.DEVNULL)
    archive.CLIENTS.write(os.path.join(folder, "Clienti.pro"), CLIENTS)
    archive.MODELS.write(os.path.join(folder, "Parametri_Chimici.pro"), [model_record(*m) for m in MODELS])
    attached = {"lblFile01": "Verbale di prelievo n. 12.pdf", "lblDesc01": "Verbale di prelievo firmato dal cliente",
                "lblFile02": "Catena di custodia.pdf", "lblDesc02": "Modulo di accettazione del campione"}
    archive.REPORTS.write(os.path.join(folder, YEAR + ".rdp"), [
        report_record(2, f"1/{YEAR}", 6, 0, True),
        report_record(0, f"2/{YEAR}", 9, 1, False),
        report_record(3, f"3/{YEAR}", 13, 0, False, attached),
        report_record(1, f"4/{YEAR}", 20, 2, True),
    ])
    archive.CERTIFICATES.write(os.path.join(folder, YEAR + ".cda"), [
        certificate_record(0, f"1/{YEAR}", 16, False),
        certificate_record(2, f"2/{YEAR}", 23, True),
    ])
    settings = ["[Laboratorio]"]
    keys = {"Denominazione": "txtLaboratorio", "Indirizzo": "txtIndirizzoLab", "Comune": "txtCittaLab",
            "Partita": "txtPartitaIvaLab", "Codice": "txtCodFiscLab", "Email": "txtEmailLab",
            "Telefono": "txtTelLab", "Libero": "txtLiberoLab"}
    settings += [f"{k}={LAB[v]}" for k, v in keys.items()]
    settings += ["Responsabile=Dott.ssa Elena Marchini", "Chimico=Dott. Paolo Ceccherini",
                 "Ordine=Ordine dei Chimici e dei Fisici (esempio)", "",
                 "[Numerazione Rapporti]", "Inizio=1", "Indicazione Anno Solare=Sì", "",
                 "[Numerazione Certificati]", "Inizio=1", "Indicazione Anno Solare=Sì", ""]
    with open(os.path.join(folder, "Tirello.ini"), "wb") as f:
        f.write("\r\n".join(settings).encode("cp1252"))
    attachments = os.path.join(folder, "Documenti_Allegati")
    os.makedirs(attachments)
    for name in ("Verbale di prelievo n. 12.pdf", "Catena di custodia.pdf"):
        with open(os.path.join(attachments, name), "wb") as f:
            f.write(b"%PDF-1.4\n% documento di esempio\n")


# ---- Screen capture -------------------------------------------------------------------

def png(path, width, height, rgb_rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + row for row in rgb_rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def xwd(*args):
    """A window's picture as (width, height, rows of RGB bytes), read with xwd."""
    data = subprocess.run(["xwd", "-silent", *args], check=True, stdout=subprocess.PIPE).stdout
    h = struct.unpack(">25I", data[:100])
    header_size, width, height, byte_order, bpp, line = h[0], h[4], h[5], h[7], h[11], h[12]
    ncolors = h[19]
    if bpp not in (24, 32):
        raise Failure(f"schermo a {bpp} bit per punto: servono 24 o 32")
    step = bpp // 8
    start = header_size + ncolors * 12
    rows = []
    for y in range(height):
        row = data[start + y * line:start + y * line + width * step]
        rgb = bytearray(width * 3)
        if byte_order == 0:  # B G R (x)
            rgb[0::3], rgb[1::3], rgb[2::3] = row[2::step], row[1::step], row[0::step]
        else:  # (x) R G B
            rgb[0::3], rgb[1::3], rgb[2::3] = row[step - 3::step], row[step - 2::step], row[step - 1::step]
        rows.append(bytes(rgb))
    return width, height, rows


def screen():
    return xwd("-root")


def frame_of_active():
    """The active window with its window-manager frame: x, y, width, height."""
    wid = subprocess.run(["xdotool", "getactivewindow"], check=True, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                         text=True).stdout.strip()
    info = subprocess.run(["xwininfo", "-id", wid], check=True, stdout=subprocess.PIPE, text=True).stdout
    field = {k.strip(): v.strip() for k, v in (line.split(":", 1) for line in info.splitlines() if ":" in line)}
    x, y = int(field["Absolute upper-left X"]), int(field["Absolute upper-left Y"])
    w, h = int(field["Width"]), int(field["Height"])
    left = right = top = bottom = 0
    extents_line = subprocess.run(["xprop", "-id", wid, "_NET_FRAME_EXTENTS"], stdout=subprocess.PIPE,
                                  text=True).stdout
    if "=" in extents_line:
        left, right, top, bottom = (int(v) for v in extents_line.split("=", 1)[1].split(","))
    return wid, (x, y, w, h), (left, right, top, bottom)


def unpainted(rows):
    """A window not painted yet is black: most of a sample of its points are."""
    points = [row[i:i + 3] for row in rows[::17] for i in range(0, len(row) - 2, 3 * 23)]
    return sum(p == b"\0\0\0" for p in points) > 0.6 * max(1, len(points))


def capture(path, settle=0.6):
    """The active window with its frame. The frame comes from the screen, the content from
    the window itself: the screen shows a dialog's content black on this server."""
    for _ in range(20):
        time.sleep(settle)  # the window has painted
        try:
            wid, (x, y, w, h), (left, right, top, bottom) = frame_of_active()
            cw, ch, content = xwd("-id", wid)
        except subprocess.CalledProcessError:
            continue  # not active yet, or gone meanwhile
        if not unpainted(content):
            break
    else:
        raise Failure(f"la finestra di {os.path.basename(path)} non si è disegnata")
    sw, sh, rows = screen()
    x0, y0 = max(0, x - left), max(0, y - top)
    x1, y1 = min(sw, x + w + right), min(sh, y + h + bottom)
    part = [bytearray(r[x0 * 3:x1 * 3]) for r in rows[y0:y1]]
    for cy in range(min(ch, y1 - y)):
        for_row = part[y - y0 + cy]
        cols = min(cw, x1 - x)
        for_row[(x - x0) * 3:(x - x0 + cols) * 3] = content[cy][:cols * 3]
    png(path, x1 - x0, y1 - y0, [bytes(r) for r in part])
    print(f"  {os.path.basename(path)}  {x1 - x0} x {y1 - y0}")


# ---- The tour -------------------------------------------------------------------------

class Tour:
    def __init__(self, program, pictures, everything):
        self.p = program
        self.pictures = pictures
        self.everything = everything
        self.taken = []

    def shot(self, name, for_manual=True, settle=0.6):
        """A picture for the manual, or (for_manual False) only when every window is asked for."""
        folder = self.pictures if for_manual else self.everything
        if folder is None:
            return
        capture(os.path.join(folder, name + ".png"), settle)
        self.taken.append(name)
        if for_manual and self.everything:
            shutil.copy2(os.path.join(folder, name + ".png"), self.everything)

    def tool(self, owner, button, title, name, for_manual=False, roles="push button", close=True, timeout=10):
        """Opens a tool window from a button, captures it and closes it with Escape."""
        if not for_manual and self.everything is None:
            return None
        click(find(owner, button, roles))
        w = self.p.window(title, timeout=timeout)
        self.shot(name, for_manual)
        if close:
            key("Escape")
            self.p.no_window(title)
        return w

    def search(self, card, title, what, list_name, name, filters_for_manual, results_for_manual):
        """Opens the card's search, captures its filters, runs it, captures the lines and closes it."""
        click(find(card, "Trova", "push button"))
        search = self.p.window(title)
        self.shot(name + "-filtri", filters_for_manual)
        click(find(search, "Cerca", "push button"))
        wait_for("le righe dei " + what, lambda: children(find(search, list_name, "list")))
        self.shot(name, results_for_manual)
        key("Escape")
        self.p.no_window(title)

    def login(self):
        login = self.p.window("Autenticazione")
        self.shot("accesso")
        if self.everything:
            click(find(login, "Cambia password", "push button"))
            change = self.p.window("Cambia password")
            self.shot("cambia-password", False)
            click(find(change, "Chiudi", "push button"))
            login = self.p.window("Autenticazione")
        fill(find(login, None, "password text"), "benvenutonuovo")
        key("Return")
        launcher = self.p.window(" Tirello")
        self.shot("menu")
        self.tool(launcher, "Informazioni su Tirello", "Informazioni", "informazioni")
        self.tool(launcher, "Riconoscimenti", "Tirello - Riconoscimenti", "riconoscimenti")
        self.tool(launcher, "Guida all'utilizzo del software", "Guida all'utilizzo", "guida")
        return launcher

    def clients(self, launcher):
        click(find(launcher, "ANAGRAFICA CLIENTI", "push button"))
        card = self.p.window("Anagrafica clienti")
        click(find(card, "Prima scheda", "push button"))
        wait_for("la prima scheda", lambda: text_of(find(card, "Cognome e nome o ragione sociale:", "text")))
        self.shot("clienti")
        # A search with its results.
        self.search(card, "Trova clienti", "clienti", "Elenco dei clienti", "trova-clienti", False, True)
        self.tool(card, "Da ricontattare", "ricontattare", "ricontattare")
        self.tool(card, "Esporta archivio", "Esporta archivio", "esporta-clienti")
        if self.everything:  # a person's card: the tax code check, not the VAT one
            click(find(card, "Ultima scheda", "push button"))
            wait_for("l'ultima scheda", lambda: text_of(find(card, "Cognome e nome o ragione sociale:", "text"))
                     == CLIENTS[-1]["txtCliente"])
        for button, title, name in (("Controlla il codice fiscale", "Controllo codice fiscale", "controllo-codice-fiscale"),
                                    ("Controlla la partita IVA", "Controllo partita IVA", "controllo-partita-iva"),
                                    ("Controlla la carta di credito", "Controllo carta", "controllo-carta"),
                                    ("Controlla l'IBAN", "Controllo IBAN", "controllo-iban")):
            self.tool(card, button, title, name)
        click(find(card, "Esci", "push button"))
        self.p.no_window("Anagrafica clienti")

    def models(self, launcher):
        click(find(launcher, "MODELLI DI ANALISI", "push button"))
        card = self.p.window("Modelli di analisi")
        click(find(card, "Prima scheda", "push button"))
        wait_for("il primo modello", lambda: text_of(find(card, "Nome analisi:", "text")))
        self.shot("modelli")
        self.tool(card, "Trova", "Trova modelli", "trova-modelli")
        self.tool(card, "Stampa", "Stampa modello", "stampa-modello")
        self.tool(card, "Esporta archivio", "Esporta archivio", "esporta-modelli")
        self.tool(card, "Anteprima", "Anteprima di stampa", "anteprima-modello", timeout=20)
        click(find(card, "Esci", "push button"))
        self.p.no_window("Modelli di analisi")

    def open_year(self, launcher, tile, year_title, card_title, shot):
        click(find(launcher, tile, "push button"))
        years = self.p.window(year_title)
        self.shot(shot, shot == "anno")
        click(find(years, "Apri", "push button"))
        card = self.p.window(card_title)
        click(find(card, "Prima scheda", "push button"))
        return card

    def reports(self, launcher):
        card = self.open_year(launcher, "RAPPORTI DI PROVA", "Rapporti di prova", "Rapporti di prova anno", "anno")
        click(find(card, "Scheda successiva", "push button"))
        click(find(card, "Scheda successiva", "push button"))
        wait_for("il terzo rapporto", lambda: text_of(find(card, "RAPPORTO DI PROVA N.", "text")) == f"3/{YEAR}")
        self.shot("rapporto-dati")
        click(find(card, "Risultati analitici", "push button"))
        self.shot("rapporto-risultati-1")
        click(find(card, "Avanti", "push button"))
        self.shot("rapporto-risultati-2")
        click(find(card, "Dati generali", "push button"))

        self.search(card, "Trova rapporti", "rapporti", "Elenco dei rapporti di prova", "trova-rapporti", True, True)
        self.tool(card, "Documenti non consegnati", "non consegnati", "rapporti-non-consegnati")

        self.tool(card, "Stampa", "Stampa rapporto", "stampa", True)
        # The preview window, then the page as it prints.
        preview = self.tool(card, "Anteprima", "Anteprima di stampa", "anteprima", True, close=False)
        click(find(preview, "Mostra anteprima", "push button"))
        printed = self.p.window("Anteprima di stampa - ", timeout=30)
        # The whole page, on most of the screen.
        time.sleep(0.5)
        xdo("getactivewindow", "windowmove", "60", "0", "windowsize", "900", "740")
        time.sleep(0.5)
        click(find(printed, "Adatta alla pagina", contains=True))
        self.shot("rapporto-stampato", settle=2.0)
        key("Escape")
        self.p.no_window("Anteprima di stampa")
        self.tool(card, "Esporta archivio", "Esporta archivio", "esporta", True)
        self.tool(card, "Allega file", "Allega file", "allegati", True)
        focus(find(card, "Data ricezione:", "text"))
        key("Return")
        self.p.window("Importazione data")
        self.shot("calendario")
        key("Escape")
        self.p.no_window("Importazione data")
        self.tool(card, "Numerazione", "Impostazione inizio numerazione", "numerazione", True)
        self.tool(card, "Logo", "Impostazione Logo", "logo", True)
        self.tool(card, "Importa modello di analisi", "Importa dati da modello", "importa-modello")
        click(find(card, "Esci", "push button"))
        self.p.no_window("Rapporti di prova anno")

    def certificates(self, launcher):
        card = self.open_year(launcher, "CERTIFICATI DI ANALISI", "Certificati", "Certificati di analisi chimica anno",
                              "anno-certificati")
        wait_for("il primo certificato", lambda: text_of(find(card, "CERTIFICATO DI ANALISI N.", "text")))
        self.shot("certificato-dati")
        click(find(card, "Dettagli tecnici", "push button"))
        self.shot("certificato-dettagli")
        click(find(card, "Dati generali", "push button"))
        if self.everything:
            self.search(card, "Trova certificati", "certificati", "Elenco dei certificati di analisi", "trova-certificati",
                        False, False)
        self.tool(card, "Documenti non consegnati", "non consegnati", "certificati-non-consegnati")
        self.tool(card, "Stampa", "Stampa certificato", "stampa-certificato")
        self.tool(card, "Esporta archivio", "Esporta archivio", "esporta-certificati")
        self.tool(card, "Anteprima", "Anteprima di stampa", "anteprima-certificato", timeout=20)
        click(find(card, "Esci", "push button"))
        self.p.no_window("Certificati di analisi chimica anno")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("pictures")
    parser.add_argument("--all", dest="everything")
    args = parser.parse_args()
    pictures = os.path.abspath(args.pictures)
    os.makedirs(pictures, exist_ok=True)
    everything = os.path.abspath(args.everything) if args.everything else None
    if everything:
        os.makedirs(everything, exist_ok=True)
    work = tempfile.mkdtemp(prefix="tirello-immagini-")
    folder = os.path.join(work, "Tirello")
    make_folder(os.path.abspath(args.build), folder)
    program = Program(folder)
    tour = Tour(program, pictures, everything)
    try:
        launcher = tour.login()
        tour.clients(launcher)
        tour.models(launcher)
        tour.reports(launcher)
        tour.certificates(launcher)
    except Exception as e:
        shot = os.path.join(work, "errore.png")
        try:
            sw, sh, rows = screen()
            png(shot, sw, sh, rows)
        except Exception:
            shot = "non disponibile"
        print(f"Immagini interrotte: {e}\n(schermata: {shot}, cartella: {work})", file=sys.stderr)
        program.quit()
        return 1
    program.quit()
    shutil.rmtree(work, ignore_errors=True)
    print(f"{len(tour.taken)} immagini in {pictures}" + (f" e {everything}" if everything else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main())
