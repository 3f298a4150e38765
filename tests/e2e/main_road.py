"""The main road of every part of the program, driven as a user drives it, from a fresh
portable folder: first login and change of password, a client, a model, a test report (also
issued as PDF and handed to the mail program), a certificate and an attachment. Checks what
the user sees and what lands on disk."""
import argparse
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import archive
from archive import REPORTS
from drive import (Failure, Program, children, click, extents, fill, find, focus, key, role, text_of, type_into,
                   walk, wait_for, xdo)

# The date, read once: every expectation of the road agrees with every other.
TODAY = time.localtime()

PASSWORD = "Provetta 2026"
MODEL_NAME = "Acqua potabile - chimica di base"
MODEL_ROWS = {
    1: ("Nitrati", "UNI EN ISO 10304-1:2009", "mg/l", "50"),
    2: ("Durezza totale", "APAT CNR IRSA 2040", "°F", "15-50"),
    16: ("Ferro", "UNI EN ISO 11885:2009", "µg/l", "200"),
}


def flat(text):
    return re.sub(r"\s+", " ", text).strip()


def expect(what, got, wanted):
    if got != wanted:
        raise Failure(f"{what}: atteso {wanted!r}, trovato {got!r}")


class Road:
    def __init__(self, build, work):
        self.build = build
        self.folder = os.path.join(work, "Tirello")
        os.makedirs(self.folder)
        shutil.copy2(os.path.join(build, "Tirello"), self.folder)
        subprocess.run([os.path.join(build, "tirello-setup"), self.folder], check=True,
                       stdout=subprocess.DEVNULL)
        self.program = None

    def file(self, name):
        return os.path.join(self.folder, name)

    def start(self):
        self.program = Program(self.folder)
        return self.program

    # ---- messages ---------------------------------------------------------------------
    def answer(self, text, button="OK"):
        """Waits for the message with this text and presses one of its buttons."""
        box, shown = self.program.message()
        expect("messaggio", flat(shown), flat(text))
        click(find(box, button, "push button"))
        wait_for("la chiusura del messaggio", lambda: box not in self.program.windows(), 5)

    # ---- first login --------------------------------------------------------------------
    def login_and_change_password(self):
        p = self.program
        login = p.window("Autenticazione")
        before = open(self.file("unins000.dll"), "rb").read()
        click(find(login, "Cambia password", "push button"))
        change = p.window("Cambia password")
        for caption, text in (("Vecchia password:", "benvenutonuovo"), ("Nuova password:", PASSWORD),
                              ("Conferma nuova password:", PASSWORD)):
            fill(find(change, caption, "password text"), text)
        click(find(change, "OK", "push button"))
        self.answer("Modifica della password completata con successo.")
        if open(self.file("unins000.dll"), "rb").read() == before:
            raise Failure("il file della password non è cambiato")
        login = p.window("Autenticazione")
        # The old password no longer opens the program, the new one does.
        fill(find(login, None, "password text"), "benvenutonuovo")
        key("Return")
        self.answer("Attenzione: password errata.")
        fill(find(login, None, "password text"), PASSWORD)
        key("Return")
        return p.window(" Tirello")

    # ---- clients ------------------------------------------------------------------------
    def client(self, launcher):
        p = self.program
        click(find(launcher, "ANAGRAFICA CLIENTI", "push button"))
        card = p.window("Anagrafica clienti")
        typed = {
            "Cognome e nome o ragione sociale:": "Caseificio Sant'Agnese di Nicolò & C.",
            "Residente in Via / Piazza e numero civico:": "Via dei Mulini 12",
            "Comune di residenza:": "Roma",
            "CAP:": "00100",
            "Partita IVA:": "00743110157",
            "E-mail:": "qualita@santagnese.it",
        }
        for caption, text in typed.items():
            fill(find(card, caption, "text"), text)
        fill(find(card, "Prov.", "text", index=1), "rm", shown="RM")
        click(find(card, "Salva", "push button"))
        self.answer("La scheda corrente è stata inserita in archivio.")
        [record] = archive.CLIENTS.records(self.file("Clienti.pro"))
        read = lambda name: archive.CLIENTS.read(record, name)
        expect("ragione sociale in archivio", read("txtCliente"), "Caseificio Sant'Agnese di Nicolò & C.")
        expect("CAP in archivio", read("txtCapRes"), "00100")
        expect("partita IVA in archivio", read("txtPartitaIva"), "00743110157")
        expect("provincia in archivio", read("txtProvRes"), "RM")
        expect("da ricontattare in archivio", read("chkRicontatta"), "No")

        # Found again from an empty card.
        click(find(card, "Nuovo", "push button"))
        expect("scheda vuota", text_of(find(card, "Cognome e nome o ragione sociale:", "text")), "")
        click(find(card, "Trova", "push button"))
        self.pick("Trova clienti", "Elenco dei clienti", {"Cognome e nome cliente:": "nicolò"},
                  "Caseificio Sant'Agnese di")
        card = p.window("Anagrafica clienti")
        expect("scheda richiamata", text_of(find(card, "Cognome e nome o ragione sociale:", "text")),
               "Caseificio Sant'Agnese di Nicolò & C.")

        rows = self.export(card, "Esporta archivio", "Clienti.xls")
        expect("righe esportate", len(rows), 2)
        sheet = dict(zip(rows[0], rows[1]))
        expect("cella del nome", sheet["Cognome e nome cliente"], "Caseificio Sant'Agnese di Nicolò & C.")
        expect("cella della partita IVA", sheet["Partita IVA"], "00743110157")
        click(find(card, "Esci", "push button"))

    # ---- documents ----------------------------------------------------------------------
    def open_year(self, launcher, doc):
        p = self.program
        click(find(launcher, doc.launcher_button, "push button"))
        years = p.window(doc.year_title)
        expect("anno proposto", text_of(find(years, "Anno:", "text")), time.strftime("%Y", TODAY))
        click(find(years, "Apri", "push button"))
        return p.window(doc.card_title)

    def calendar_date(self, card, caption, day):
        """Opens the calendar from a date field and imports the given day of this month."""
        focus(find(card, caption, "text"))
        key("Return")
        cal = self.program.window("Importazione data")
        grid = children(find(cal, "Calendario", "table"))[-1]
        cells = [c for c in children(grid) if role(c) == "table cell"]
        names = [c.name for c in cells]
        click(cells[names.index("1") + day - 1])
        click(find(cal, "Importa", "push button"))
        self.program.no_window("Importazione data")
        return time.strftime(f"{day:02d}/%m/%Y", TODAY)

    def document_head(self, card, doc):
        """Laboratory, new number, date from the calendar, client from the search."""
        fill(find(card, "Denominazione Laboratorio analisi:", "text"), LABORATORY)
        click(find(card, "Nuovo", "push button"))
        number = wait_for("il numero del documento", lambda: text_of(find(card, doc.number_caption, "text")))
        date = self.calendar_date(card, "DATA EMISSIONE", 5)
        expect("data emissione", text_of(find(card, "DATA EMISSIONE", "text")), date)
        click(find(card, "Importa il committente dall'anagrafica clienti", "push button"))
        self.pick("Trova clienti", "Elenco dei clienti", {"Partita IVA:": "00743110157"}, "Caseificio")
        for caption, text in (("Committente:", CLIENT), ("CAP:", "00100"), ("Prov.", "RM"),
                              ("Comune di residenza:", "Roma")):
            expect(f"«{caption}» importato", text_of(find(card, caption, "text")), text)
        return number, date

    def document_saved(self, card, doc, number, date):
        """Saves, finds the document among the undelivered ones and exports the year."""
        p = self.program
        click(find(card, "Salva", "push button"))
        self.answer("La scheda corrente è stata inserita in archivio.")
        path = self.file(time.strftime("%Y", TODAY) + doc.suffix)
        [record] = doc.layout.records(path)
        for field, text in (("txtNumRap", number), ("txtData", date), ("txtCliente", CLIENT),
                            ("txtCapRes", "00100"), ("txtLaboratorio", LABORATORY), ("chkConsegnato", "No")):
            expect(f"{field} in archivio", doc.layout.read(record, field), text)
        click(find(card, "Nuovo", "push button"))
        click(find(card, "Documenti non consegnati", "push button"))
        line = self.pick("non consegnati", doc.undelivered, {}, "Caseificio Sant'Agnese")
        if f"N. {number} " not in line or date not in line:
            raise Failure(f"riga dei non consegnati senza numero o data: {line!r}")
        expect("documento richiamato", text_of(find(card, doc.number_caption, "text")), number)
        rows = self.export(card, "Esporta archivio", doc.export_file)
        expect("righe esportate", len(rows), 2)
        return record, dict(zip(rows[0], rows[1]))

    def close_document(self, card, doc):
        click(find(card, "Esci", "push button"))
        self.program.no_window(doc.card_title)
        # The laboratory block is kept for the next document.
        lab = archive.settings(self.file("Tirello.ini")).get("Laboratorio", {})
        expect("laboratorio nelle impostazioni", lab.get("Denominazione"), LABORATORY)

    def report(self, launcher):
        card = self.open_year(launcher, REPORT)
        number, date = self.document_head(card, REPORT)
        click(find(card, "Importa modello di analisi", "push button"))
        self.pick("Importa dati da modello", "Elenco dei modelli di analisi", {}, MODEL_NAME)
        expect("analisi importata", text_of(find(card, "Tipologia di analisi effettuata:", "text")), MODEL_NAME)
        click(find(card, "Risultati analitici", "push button"))
        results = {1: "12,5", 2: "31", 16: "< 10"}
        for row, result in results.items():
            if row == 16:
                click(find(card, "Avanti", "push button"))
            expect(f"parametro {row} importato", text_of(find(card, f"Parametro {row}", "text")), MODEL_ROWS[row][0])
            fill(find(card, f"Risultato {row}", "text"), result)
        record, sheet = self.document_saved(card, REPORT, number, date)
        for row, result in results.items():
            for field, text in zip(("txtParametro", "txtMetodo", "txtUM", "txtLimite"), MODEL_ROWS[row]):
                expect(f"{field}{row:02d} in archivio", REPORTS.read(record, f"{field}{row:02d}"), text)
            expect(f"risultato {row} in archivio", REPORTS.read(record, f"txtRisultato{row:02d}"), result)
        for column, text in (("Rapporto di prova n.", number), ("Data emissione", date),
                             ("Partita IVA", "00743110157"), ("Parametro 1", "Nitrati"), ("Risultato 1", "12,5")):
            expect(f"cella «{column}»", sheet[column], text)
        self.issue_pdf(card, number)
        self.close_document(card, REPORT)

    def issue_pdf(self, card, number):
        """The stored report issued as PDF from its print window, then handed to the mail
        program (a stand-in that writes down what it was given)."""
        p = self.program
        click(find(card, "Stampa", "push button"))
        window = p.window("Stampa rapporto di prova")
        click(find(window, "Salva PDF", "push button"))
        year = time.strftime("%Y", TODAY)
        name = f"Rapporto di prova {number.replace('/', '-')}.pdf"
        path = os.path.join(self.folder, "Documenti_Emessi", year, name)
        self.answer(f"Rapporto di prova n. {number} è stato salvato in PDF nel file:\n{path}\n"
                    "Si vuole inviarlo per posta elettronica?", "Sì")
        p.no_window("Stampa rapporto di prova")
        pdf = open(path, "rb").read()
        if not pdf.startswith(b"%PDF-1.4") or b"<pdfaid:part>1</pdfaid:part>" not in pdf:
            raise Failure("il PDF emesso non è un PDF/A-1")
        args = wait_for("la consegna al programma di posta",
                        lambda: os.path.exists(MAIL_ARGS) and open(MAIL_ARGS, "rb").read(), 10)
        expect("argomenti del programma di posta", args.decode("utf-8").split("\0")[:-1],
               ["--utf8", "--subject", f"Rapporto di prova n. {number}", "--attach", path, "qualita@santagnese.it"])
        register = open(os.path.join(self.folder, "Documenti_Emessi", year, "Registro documenti emessi.txt"),
                        "rb").read()
        if not register.endswith(b"\r\n"):
            raise Failure("il registro non termina con CR LF")
        [line] = register.decode("cp1252").split("\r\n")[:-1]
        fields = line.split("\t")
        expect("riga del registro", fields[2:6], ["Rapporto di prova", number, CLIENT, name])
        expect("impronta SHA-256 nel registro", fields[6], hashlib.sha256(pdf).hexdigest())

    def certificate(self, launcher):
        p = self.program
        card = self.open_year(launcher, CERTIFICATE)
        # Numbering from 7, with the year after the number.
        click(find(card, "Numerazione", "push button"))
        numbering = p.window("Impostazione inizio numerazione certificati")
        fill(find(numbering, "Inizia numerazione da:", "text"), "7")
        click(find(numbering, "Indica l'anno solare dopo il numero progressivo del documento", "check box"))
        click(find(numbering, "Applica e chiudi", "push button"))
        p.no_window("Impostazione inizio numerazione")
        keys = archive.settings(self.file("Tirello.ini")).get("Numerazione Certificati", {})
        expect("inizio numerazione nelle impostazioni", keys.get("Inizio"), "7")
        expect("anno solare nelle impostazioni", keys.get("Indicazione Anno Solare"), "Sì")

        number, date = self.document_head(card, CERTIFICATE)
        expect("numero del certificato", number, "7/" + time.strftime("%Y", TODAY))
        fill(find(card, "Chimico responsabile:", "text"), "Dott.ssa Lucia Ferrè")
        fill(find(card, "Tipologia di analisi effettuata:", "text"), "Ricerca metalli pesanti")
        fill(find(card, "Campione analizzato:", "text"), "Formaggio stagionato")
        click(find(card, "Dettagli tecnici", "push button"))
        conclusions = find(card, "CONCLUSIONI E GIUDIZIO TECNICO", "text")
        fill(conclusions, "Il campione è conforme ai limiti di legge.")
        key("Return")
        type_into(conclusions, "Nessuna anomalia rilevata.")
        record, sheet = self.document_saved(card, CERTIFICATE, number, date)
        expect("conclusioni in archivio", archive.CERTIFICATES.read(record, "txtConclusioni"),
               "Il campione è conforme ai limiti di legge.\r\nNessuna anomalia rilevata.")
        expect("chimico in archivio", archive.CERTIFICATES.read(record, "txtChimico"), "Dott.ssa Lucia Ferrè")
        for column, text in (("Certificato di analisi n.", number), ("Partita IVA", "00743110157")):
            expect(f"cella «{column}»", sheet[column], text)
        self.close_document(card, CERTIFICATE)

    # ---- attachments --------------------------------------------------------------------
    def attachment(self, launcher):
        p = self.program
        source = os.path.join(os.path.dirname(self.folder), "Verbale di prelievo n. 12.pdf")
        content = b"%PDF-1.4 verbale di prelievo\n" + bytes(range(256)) * 40
        with open(source, "wb") as f:
            f.write(content)
        click(find(launcher, "ANAGRAFICA CLIENTI", "push button"))
        card = p.window("Anagrafica clienti")
        click(find(card, "Ultima scheda", "push button"))
        wait_for("la scheda del cliente", lambda: text_of(find(card, "Cognome e nome o ragione sociale:", "text")) == CLIENT)
        click(find(card, "Allega file", "push button"))
        attach = p.window("Allega file")
        click(find(attach, "Sfoglia...", "push button"))
        chooser = p.window("Selezionare il file da allegare")
        fill(find(chooser, "Nome del file:", "text"), source)
        key("Return")
        p.no_window("Selezionare il file da allegare")
        expect("nome del file allegato", text_of(find(attach, "Nome 1° file allegato:", "text")),
               os.path.basename(source))
        fill(find(attach, "Descrizione 1° file allegato:", "text"), "Verbale firmato dal cliente")
        click(find(attach, "Applica e chiudi", "push button"))
        p.no_window("Allega file")
        click(find(card, "Salva", "push button"))
        self.answer("Le modifiche apportate alla scheda corrente sono state salvate in archivio.")
        [record] = archive.CLIENTS.records(self.file("Clienti.pro"))
        expect("file allegato in archivio", archive.CLIENTS.read(record, "lblFile01"), os.path.basename(source))
        expect("descrizione in archivio", archive.CLIENTS.read(record, "lblDesc01"), "Verbale firmato dal cliente")
        expect("nome del cliente dopo l'allegato", archive.CLIENTS.read(record, "txtCliente"), CLIENT)
        copy = os.path.join(self.folder, "Documenti_Allegati", os.path.basename(source))
        if not os.path.exists(copy) or open(copy, "rb").read() != content:
            raise Failure("la copia dell'allegato manca o differisce dall'originale")
        click(find(card, "Esci", "push button"))

    # ---- lists, searches, exports -------------------------------------------------------
    def pick(self, title, list_name, filters, line_start, search="Cerca"):
        """In a search or summary window: fills the filters, searches, checks the one line
        and double-clicks it."""
        w = self.program.window(title)
        for caption, text in filters.items():
            fill(find(w, caption, "text"), text)
        if filters:
            click(find(w, search, "push button"))
        lines = find(w, list_name, "list")
        items = wait_for(f"le righe di «{list_name}»", lambda: children(lines))
        expect(f"righe di «{list_name}»", len(items), 1)
        line = items[0].name
        if not line.startswith(line_start):
            raise Failure(f"riga inattesa in «{list_name}»: {line!r}")
        x, y, width, height = extents(items[0])
        xdo("mousemove", "--sync", str(x + 60), str(y + height // 2), "click", "--repeat", "2", "1")
        self.program.no_window(title)
        return line

    def export(self, card, command, file_name):
        """Runs the card's export and reads the written sheet back."""
        click(find(card, command, "push button"))
        w = self.program.window("Esporta archivio")
        click(find(w, "Esporta in Excel", "push button"))
        self.answer("L'esportazione dei dati in Excel può richiedere diversi minuti a seconda del "
                    "numero di schede presenti in archivio. Si vuole esportare i dati adesso?", "Sì")
        self.answer("Le schede in archivio sono state esportate con successo. "
                    "Si vuole aprire il file di Excel?", "No")
        click(find(w, "Esci", "push button"))
        self.program.no_window("Esporta archivio")
        return archive.sheet_rows(self.file(file_name))

    # ---- models -------------------------------------------------------------------------
    def model(self, launcher):
        p = self.program
        click(find(launcher, "MODELLI DI ANALISI", "push button"))
        card = p.window("Modelli di analisi")
        fill(find(card, "Nome analisi:", "text"), MODEL_NAME)
        fill(find(card, "Tipo campione:", "text"), "Acqua di pozzo")
        for row, values in MODEL_ROWS.items():
            if row == 16:
                click(find(card, "Avanti", "push button"))
            for caption, text in zip(("Parametro", "Metodo di prova", "Unità di misura", "Limite"), values):
                fill(find(card, f"{caption} {row}", "text"), text)
        click(find(card, "Salva", "push button"))
        self.answer("La scheda corrente è stata inserita in archivio.")
        [record] = archive.MODELS.records(self.file("Parametri_Chimici.pro"))
        expect("analisi in archivio", archive.MODELS.read(record, "txtAnalisi"), MODEL_NAME)
        for row, values in MODEL_ROWS.items():
            for field, text in zip(("txtParametro", "txtMetodo", "txtUM", "txtLimite"), values):
                expect(f"{field}{row:02d} in archivio", archive.MODELS.read(record, f"{field}{row:02d}"), text)
        click(find(card, "Esci", "push button"))


LABORATORY = "Laboratorio Analisi Tirreno S.r.l."
# Where the stand-in for the mail program writes its arguments, each ended by a zero byte.
MAIL_ARGS = None
CLIENT = "Caseificio Sant'Agnese di Nicolò & C."


class Document:
    """What differs between the test report and the certificate on their common road."""
    def __init__(self, launcher_button, year_title, card_title, number_caption, layout, suffix,
                 undelivered, export_file, export_columns):
        self.__dict__.update(locals())


REPORT = Document("RAPPORTI DI PROVA", "Rapporti di prova", "Rapporti di prova anno", "RAPPORTO DI PROVA N.",
                  archive.REPORTS, ".rdp", "Elenco dei rapporti di prova non consegnati", "Rapporti_di_Prova.xls",
                  None)


CERTIFICATE = Document("CERTIFICATI DI ANALISI", "Certificati", "Certificati di analisi chimica anno",
                       "CERTIFICATO DI ANALISI N.", archive.CERTIFICATES, ".cda",
                       "Elenco dei certificati di analisi non consegnati", "Certificati_Analisi_Chimica.xls", None)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--keep", action="store_true")
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="tirello-e2e-")
    # The desktop's mail hand-over goes to a stand-in on the program's PATH.
    global MAIL_ARGS
    MAIL_ARGS = os.path.join(work, "xdg-email.args")
    tools = os.path.join(work, "bin")
    os.makedirs(tools)
    with open(os.path.join(tools, "xdg-email"), "w") as f:
        f.write(f"#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > '{MAIL_ARGS}.tmp'\n"
                f"mv '{MAIL_ARGS}.tmp' '{MAIL_ARGS}'\n")
    os.chmod(os.path.join(tools, "xdg-email"), 0o755)
    os.environ["PATH"] = tools + os.pathsep + os.environ.get("PATH", "")
    road = Road(os.path.abspath(args.build), work)
    step = "avvio"
    started = time.monotonic()
    try:
        road.start()
        step = "primo accesso"
        launcher = road.login_and_change_password()
        step = "cliente"
        road.client(launcher)
        step = "modello di analisi"
        road.model(launcher)
        step = "rapporto di prova"
        road.report(launcher)
        step = "certificato di analisi"
        road.certificate(launcher)
        step = "allegati"
        road.attachment(launcher)
    except Exception as e:
        shot = os.path.join(work, "errore.png")
        try:
            subprocess.run(["import", "-window", "root", shot], stderr=subprocess.DEVNULL, timeout=20)
        except (OSError, subprocess.SubprocessError):
            shot = "non disponibile"
        print(f"FALLITO al passo «{step}»: {e}\n(schermata: {shot}, cartella: {work})", file=sys.stderr)
        road.program and road.program.quit()
        return 1
    road.program.quit()
    print(f"Percorso completo superato in {time.monotonic() - started:.0f} s")
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
