"""Reads the program's files on disk independently of the program: fixed records field by
field, the spreadsheet exports cell by cell, the settings file key by key."""
import html
import re

# (name, capacity) in record order; a field takes capacity + 1 bytes.
ATTACHMENTS = [(f"lblFile0{i}", 250) for i in (1, 2, 3)] + [(f"lblDesc0{i}", 250) for i in (1, 2, 3)]
CLIENT = [
    ("txtCliente", 50), ("txtDataNasc", 30), ("txtComuneNasc", 50), ("txtProvNasc", 2),
    ("txtSesso", 1), ("txtRecapito", 50), ("txtIndirizzoRes", 50), ("txtProvRes", 2),
    ("txtComuneRes", 50), ("txtCapRes", 5), ("txtEstremi", 250), ("txtTelCasa", 30),
    ("txtTelUff", 30), ("txtTelCel", 30), ("txtFax", 50), ("txtEmail", 50), ("txtCodFisc", 16),
    ("txtCarta", 30), ("txtScadeCarta", 30), ("txtPartitaIva", 11), ("txtIban", 27),
    ("txtDocumento", 120), ("txtOccupazione", 50), ("txtCivile", 50), ("txtTitoli", 120),
    ("txtProdotti", 120), ("txtZona", 50), ("txtQuestioni", 250), ("txtNote", 250),
    ("chkRicontatta", 2),
] + ATTACHMENTS
MODEL = [("txtAnalisi", 120), ("txtCampione", 120)] + [
    (f"{n}{r:02d}", c) for r in range(1, 31)
    for n, c in (("txtParametro", 120), ("txtMetodo", 120), ("txtUM", 30), ("txtLimite", 30))
] + ATTACHMENTS
DOCUMENT_HEAD = [
    ("txtLaboratorio", 120), ("txtIndirizzoLab", 120), ("txtCittaLab", 120),
    ("txtPartitaIvaLab", 11), ("txtCodFiscLab", 16), ("txtEmailLab", 50), ("txtTelLab", 50),
    ("txtLiberoLab", 250), ("txtCliente", 50), ("txtIndirizzoRes", 50), ("txtCapRes", 5),
    ("txtProvRes", 2), ("txtComuneRes", 50), ("txtPartitaIva", 11), ("txtCodFisc", 16),
    ("txtNumRap", 30), ("txtData", 10), ("txtAnalisi", 120), ("txtCampione", 120),
    ("txtLuogoPrel", 120), ("txtDataPrel", 10), ("txtCura", 120), ("txtContenitore", 120),
    ("txtDataRic", 10), ("txtOraRic", 5), ("txtDataInizio", 10), ("txtDataFine", 10),
]
REPORT = DOCUMENT_HEAD + [("txtResponsabile", 50)] + [
    (f"{n}{r:02d}", c) for n, c in (("txtParametro", 120), ("txtMetodo", 120), ("txtUM", 30),
                                    ("txtRisultato", 30), ("txtLimite", 30))
    for r in range(1, 31)
] + [("txtOsservazioni", 250), ("chkConsegnato", 2)] + ATTACHMENTS
CERTIFICATE = DOCUMENT_HEAD + [
    ("txtChimico", 50), ("txtOrdine", 50), ("txtMetodi", 5000), ("txtMotivazione", 5000),
    ("txtAllegati", 5000), ("txtTempoDocu", 3000), ("txtTempoCamp", 3000),
    ("txtConclusioni", 5000), ("chkConsegnato", 2),
] + ATTACHMENTS


class Layout:
    def __init__(self, fields, zero_terminated=False):
        self.fields = {}
        offset = 0
        for name, capacity in fields:
            self.fields[name] = (offset, capacity)
            offset += capacity + 1
        self.size = offset
        self.zero = zero_terminated

    def read(self, record, name):
        offset, capacity = self.fields[name]
        if self.zero:
            raw = record[offset:offset + capacity + 1].split(b"\0", 1)[0]
        else:
            raw = record[offset + 1:offset + 1 + min(record[offset], capacity)]
        return raw.decode("cp1252")

    def record(self, values):
        """A record's bytes from {field: text}; the other fields empty, as the program
        writes them."""
        out = bytearray(self.size)
        for name, text in values.items():
            offset, capacity = self.fields[name]
            raw = text.encode("cp1252")[:capacity]
            if self.zero:
                out[offset:offset + len(raw)] = raw
            else:
                out[offset] = len(raw)
                out[offset + 1:offset + 1 + len(raw)] = raw
        return bytes(out)

    def write(self, path, records):
        with open(path, "wb") as f:
            for values in records:
                f.write(self.record(values))

    def records(self, path):
        data = open(path, "rb").read()
        if len(data) % self.size:
            raise AssertionError(f"{path}: {len(data)} byte, non un multiplo di {self.size}")
        return [data[i:i + self.size] for i in range(0, len(data), self.size)]


CLIENTS = Layout(CLIENT)
MODELS = Layout(MODEL)
REPORTS = Layout(REPORT)
CERTIFICATES = Layout(CERTIFICATE, zero_terminated=True)


def sheet_rows(path):
    """Rows of an exported sheet, each a list of cell texts (heading row included)."""
    data = open(path, "rb").read()
    charset = re.search(rb"charset=([\w-]+)", data)
    text = data.decode(charset.group(1).decode() if charset else "utf-8")
    rows = []
    for row in re.findall(r"<tr[^>]*>(.*?)</tr>", text, re.S):
        cells = re.findall(r"<t[dh][^>]*>(.*?)</t[dh]>", row, re.S)
        rows.append([html.unescape(re.sub(r"<br\s*/?>", "\n", c)) for c in cells])
    return rows


def settings(path):
    """Sections of the settings file: {section: {key: value}}."""
    out, section = {}, None
    for line in open(path, "rb").read().decode("cp1252").splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            section = out.setdefault(line[1:-1], {})
        elif "=" in line and section is not None:
            k, v = line.split("=", 1)
            section[k] = v
    return out
