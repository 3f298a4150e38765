#include "helptopics.h"

#include <QStringList>

#include <initializer_list>

// Every application's section is written once, as a list of paragraphs, and used
// both by the application's own topic and by the launcher's overview, so the two
// always say the same thing with the same sentences. Sentences that several
// applications share (attachments, lists, printing, export) are built by one
// function each.

namespace help {
namespace {

const QString kParagraphBreak = QStringLiteral("\r\n\r\n");

QString joinParagraphs(const QStringList &paragraphs)
{
    return paragraphs.join(kParagraphBreak);
}

// One paragraph made of several sentences.
QString paragraph(std::initializer_list<QString> sentences)
{
    return QStringList(sentences).join(QLatin1Char(' '));
}

// ---------------------------------------------------------------------------
// Sentences shared by several applications

// Commands of every result list (searches, clients to recontact, undelivered documents).
QString listCommands()
{
    return QStringLiteral(
        "Nell'elenco, il pulsante Trova evidenzia la prima voce che contiene le parole scritte "
        "nel campo accanto e, premuto di nuovo, passa alla voce successiva; un doppio clic su "
        "una voce richiama la scheda e il pulsante Stampa stampa l'elenco.");
}

// The search window with its filters; subject is what gets listed ("i clienti").
QString searchFilters(const QString &fields, const QString &subject, const QString &order)
{
    return QStringLiteral("Scrivere una o pi\u00f9 parole consecutive in uno o pi\u00f9 dei dieci campi "
                          "di ricerca (")
        + fields
        + QStringLiteral("), lasciare vuoti gli altri e premere Cerca: vengono elencati ")
        + subject + QStringLiteral(" che soddisfano tutti i criteri indicati, ") + order
        + QLatin1Char('.');
}

// Attachments; dative names what the files are attached to ("al modello").
QString attachments(const QString &dative)
{
    return paragraph({
        QStringLiteral("Il pulsante Allega file permette di collegare ") + dative
            + QStringLiteral(" fino a tre file, ciascuno con una breve descrizione."),
        QStringLiteral("Ogni documento si sceglie con Sfoglia... e viene copiato nella cartella "
                       "Documenti_Allegati, all'interno della cartella del programma; il "
                       "pulsante Apri lo apre con il programma associato al suo tipo."),
        QStringLiteral("Per rendere definitive le modifiche premere Applica e chiudi e poi "
                       "Salva."),
    });
}

// Preview and print of a document named with its masculine article ("il modello").
QString previewAndPrint(const QString &document, const QString &sheet)
{
    return QStringLiteral("Il pulsante Anteprima mostra a video ") + document
        + QStringLiteral(" cos\u00ec come verr\u00e0 stampato e il pulsante Stampa lo stampa ") + sheet;
}

QString printsScreen()
{
    return QStringLiteral("La stampa riporta i dati presenti sullo schermo, anche quelli non "
                          "ancora salvati.");
}

QString exportProcedure()
{
    return QStringLiteral("la procedura \u00e8 descritta nella guida della finestra di "
                          "esportazione.");
}

QString xlsReaders()
{
    return QStringLiteral("Il file pu\u00f2 essere aperto con OpenOffice, LibreOffice o Microsoft "
                          "Office e, in generale, con qualunque programma in grado di leggere i "
                          "file XLS.");
}

// ---------------------------------------------------------------------------
// Overview: opening paragraphs

QStringList introSection()
{
    return {
        paragraph({
            QStringLiteral("Tirello \u00e8 il programma pensato per i piccoli laboratori che "
                           "eseguono analisi chimiche, microbiologiche e fisiche su campioni di "
                           "alimenti, acque, rifiuti, terreni e ambienti di lavoro."),
            QStringLiteral("Dalla schermata iniziale si accede alle quattro app che lo "
                           "compongono: Anagrafica clienti, Modelli di analisi, Rapporti di "
                           "prova e Certificati di analisi chimica."),
        }),
        paragraph({
            QStringLiteral("Rapporti di prova e certificati di analisi chimica si completano a "
                           "vicenda."),
            QStringLiteral("Il rapporto di prova riporta, su un solo foglio A4, i risultati "
                           "ottenuti sul campione: per ogni parametro il metodo di prova, "
                           "l'unit\u00e0 di misura, il risultato e il valore limite."),
            QStringLiteral("Il certificato di analisi chimica, stampato sulle due facciate di "
                           "un foglio A4, accompagna i rapporti di prova e gli altri documenti "
                           "con i metodi seguiti, la motivazione delle scelte, i tempi di "
                           "conservazione, le conclusioni e il giudizio tecnico del chimico "
                           "responsabile."),
            QStringLiteral("L'anagrafica dei clienti fornisce i dati del committente a entrambi "
                           "i documenti, mentre i modelli di analisi precompilano i rapporti di "
                           "prova."),
        }),
    };
}

// ---------------------------------------------------------------------------
// Client register

QStringList clientSection()
{
    return {
        paragraph({
            QStringLiteral("L'app Anagrafica clienti raccoglie in un unico archivio le schede "
                           "delle persone e delle aziende che si rivolgono al laboratorio."),
            QStringLiteral("Durante la compilazione \u00e8 possibile controllare la correttezza del "
                           "codice fiscale, della partita IVA, del numero di carta di credito e "
                           "dell'IBAN, e i dati di ogni cliente possono essere importati con "
                           "pochi clic nei rapporti di prova e nei certificati di analisi "
                           "chimica."),
        }),
        QStringLiteral(
            "Ogni scheda contiene il cognome e nome o la ragione sociale, la data, il comune e "
            "la provincia di nascita, il sesso, il recapito preferenziale, l'indirizzo, la "
            "provincia, il comune e il CAP di residenza, la modalit\u00e0 di pagamento, i numeri di "
            "telefono di casa, dell'ufficio e del cellulare, la PEC, l'indirizzo e-mail, il "
            "codice fiscale, il numero e la scadenza della carta di credito, la partita IVA, "
            "l'IBAN, gli estremi del documento di riconoscimento, l'occupazione, lo stato "
            "civile, i titoli e le qualifiche, i prodotti o servizi di interesse, la zona di "
            "appartenenza, le questioni in sospeso e le note."),
        paragraph({
            QStringLiteral("Per inserire un nuovo cliente premere Nuovo, compilare i campi e "
                           "premere Salva: l'unico dato obbligatorio \u00e8 il cognome e nome o la "
                           "ragione sociale."),
            QStringLiteral("Il tasto Invio porta al campo successivo."),
            QStringLiteral("Per modificare una scheda gi\u00e0 archiviata, richiamarla con le frecce "
                           "di scorrimento o con la funzione Trova, apportare le modifiche e "
                           "premere di nuovo Salva."),
        }),
        paragraph({
            QStringLiteral("Nel campo Questioni in sospeso si annotano le pratiche ancora aperte "
                           "con il cliente."),
            QStringLiteral("Spuntando la casella Da ricontattare e salvando la scheda, il "
                           "cliente entra nel riepilogo dei clienti da ricontattare, che si "
                           "apre con il pulsante Da ricontattare e mostra ogni cliente insieme "
                           "alle sue questioni in sospeso."),
            listCommands(),
            QStringLiteral("Quando la questione \u00e8 risolta basta togliere la spunta e salvare "
                           "la scheda."),
        }),
        paragraph({
            QStringLiteral("Il pulsante Duplica serve a registrare schede simili senza "
                           "riscriverne i dati, per esempio quelle dei componenti di una "
                           "famiglia che abitano allo stesso indirizzo."),
            QStringLiteral("Dopo aver richiamato una scheda gi\u00e0 archiviata premere Duplica: i "
                           "dati restano sullo schermo come una nuova scheda, senza i file "
                           "allegati; modificare ci\u00f2 che cambia e premere Salva per inserire la "
                           "nuova scheda in archivio."),
        }),
        paragraph({
            QStringLiteral("Il pulsante Trova apre la ricerca dei clienti in archivio."),
            searchFilters(QStringLiteral("cognome e nome, comune di residenza, partita IVA, "
                                         "codice fiscale, estremi del documento, occupazione, "
                                         "prodotti e servizi di interesse, zona di "
                                         "appartenenza, questioni in sospeso e note"),
                          QStringLiteral("i clienti"), QStringLiteral("in ordine alfabetico")),
            listCommands(),
        }),
        attachments(QStringLiteral("alla scheda del cliente")),
        paragraph({
            QStringLiteral("Accanto ai campi Codice fiscale, Carta di credito, Partita IVA e "
                           "IBAN si trovano i pulsanti di controllo, che verificano la "
                           "correttezza del dato inserito; il controllo della partita IVA "
                           "indica anche l'ufficio provinciale che l'ha rilasciata."),
            QStringLiteral("Un codice fiscale composto di sole cifre, come quello di molte "
                           "aziende, viene controllato come partita IVA."),
            QStringLiteral("Il pulsante accanto al campo E-mail apre il programma di posta "
                           "elettronica con un nuovo messaggio gi\u00e0 indirizzato al cliente."),
        }),
        paragraph({
            QStringLiteral("Il pulsante Anteprima mostra a video la scheda cos\u00ec come verr\u00e0 "
                           "stampata, il pulsante Stampa la stampa su un foglio A4 e il "
                           "pulsante Crea PDF la salva nel file Cliente.pdf, nella cartella del "
                           "programma, offrendo poi di aprirlo; il file viene sostituito a ogni "
                           "nuova creazione."),
            printsScreen(),
            QStringLiteral("Il pulsante Esporta archivio trasferisce tutte le schede dei "
                           "clienti in un file di Microsoft Excel; ")
                + exportProcedure(),
        }),
    };
}

// ---------------------------------------------------------------------------
// Analysis models

QStringList modelSection()
{
    return {
        paragraph({
            QStringLiteral("L'app Modelli di analisi permette di preparare una volta per tutte "
                           "le analisi eseguite pi\u00f9 spesso: ogni modello contiene il nome "
                           "dell'analisi, il tipo di campione e fino a trenta parametri, "
                           "ciascuno con il metodo di prova, l'unit\u00e0 di misura e il valore "
                           "limite."),
            QStringLiteral("Durante la compilazione di un rapporto di prova il modello si "
                           "importa con pochi clic: il rapporto viene precompilato e restano da "
                           "inserire soltanto i risultati."),
        }),
        paragraph({
            QStringLiteral("Per creare un modello premere Nuovo, indicare il nome dell'analisi "
                           "e il tipo di campione, che sono obbligatori, e compilare le righe "
                           "dei parametri con il metodo di prova, l'unit\u00e0 di misura e il "
                           "limite; i trenta parametri sono distribuiti su due pagine di "
                           "quindici righe, che si sfogliano con i pulsanti Avanti e Indietro."),
            QStringLiteral("Premere infine Salva."),
            QStringLiteral("Per modificare un modello gi\u00e0 archiviato, richiamarlo con le "
                           "frecce di scorrimento o con la funzione Trova, apportare le "
                           "modifiche e premere di nuovo Salva."),
        }),
        paragraph({
            QStringLiteral("Il pulsante Duplica crea un nuovo modello a partire da quello "
                           "mostrato, ed \u00e8 utile per analisi simili che differiscono per pochi "
                           "parametri."),
            QStringLiteral("Dopo aver richiamato un modello gi\u00e0 archiviato premere Duplica, "
                           "modificare i dati e premere Salva per inserire il nuovo modello in "
                           "archivio; i file allegati non vengono duplicati."),
        }),
        attachments(QStringLiteral("al modello")),
        paragraph({
            QStringLiteral("Il pulsante Trova elenca tutti i modelli in archivio, ciascuno con "
                           "il nome dell'analisi e il tipo di campione."),
            listCommands(),
        }),
        paragraph({
            previewAndPrint(QStringLiteral("il modello"), QStringLiteral("su un foglio A4.")),
            printsScreen(),
            QStringLiteral("Il pulsante Esporta trasferisce l'archivio dei modelli in un file "
                           "di Microsoft Excel, con il nome dell'analisi, il tipo di campione e "
                           "i primi dieci parametri con i rispettivi metodi di prova; ")
                + exportProcedure(),
        }),
    };
}

// ---------------------------------------------------------------------------
// Test reports and certificates: what the two document kinds have in common

struct DocumentKind {
    QString app;      // name of the application
    QString singular; // masculine noun, used after "il" and "un nuovo"
    QString plural;   // used after "i" and "dei"
};

DocumentKind reportKind()
{
    return {QStringLiteral("Rapporti di prova"), QStringLiteral("rapporto di prova"),
            QStringLiteral("rapporti di prova")};
}

DocumentKind certificateKind()
{
    return {QStringLiteral("Certificati di analisi chimica"),
            QStringLiteral("certificato di analisi chimica"),
            QStringLiteral("certificati di analisi chimica")};
}

QString yearlyArchives(const DocumentKind &kind)
{
    return paragraph({
        QStringLiteral("L'app ") + kind.app
            + QStringLiteral(" permette di emettere e archiviare i ") + kind.plural
            + QStringLiteral(" richiesti dai clienti."),
        QStringLiteral("I ") + kind.plural
            + QStringLiteral(" sono conservati in archivi separati, uno per ogni anno solare."),
        QStringLiteral("All'apertura dell'app viene proposto l'anno in corso: confermarlo, "
                       "oppure scrivere un altro anno di quattro cifre, e premere Apri."),
        QStringLiteral("Se per quell'anno non \u00e8 ancora stato registrato nessun documento, "
                       "l'archivio parte vuoto; l'anno dell'archivio aperto \u00e8 indicato nel "
                       "titolo della finestra."),
    });
}

QString newAndSave(const DocumentKind &kind, const QString &secondSection)
{
    return paragraph({
        QStringLiteral("Per emettere un nuovo ") + kind.singular
            + QStringLiteral(" premere Nuovo, compilare i campi e premere Salva; per "
                             "modificarne uno gi\u00e0 archiviato, richiamarlo con le frecce di "
                             "scorrimento o con la funzione Trova, apportare le modifiche e "
                             "premere di nuovo Salva."),
        QStringLiteral("Per salvare sono obbligatori la denominazione del laboratorio, il nome "
                       "del committente, il numero progressivo, la data di emissione, la "
                       "tipologia di analisi effettuata e il campione analizzato."),
        QStringLiteral("Le date si inseriscono dal calendario: fare clic sul campo, premere un "
                       "tasto qualsiasi e scegliere il giorno; i tasti Canc e Backspace "
                       "cancellano la data."),
        QStringLiteral("Il pulsante accanto all'ora di ricezione inserisce l'ora corrente."),
        secondSection,
    });
}

QString numbering(const DocumentKind &kind)
{
    return paragraph({
        QStringLiteral("Premendo Nuovo il programma propone il numero progressivo del "
                       "documento e, come data di emissione, la data di oggi."),
        QStringLiteral("Il numero proposto \u00e8 il numero iniziale, normalmente 1, aumentato "
                       "del numero di ")
            + kind.plural
            + QStringLiteral(" gi\u00e0 presenti nell'archivio dell'anno: il primo documento "
                             "dell'anno riceve quindi il numero iniziale, il secondo il numero "
                             "successivo e cos\u00ec via."),
        QStringLiteral("Con il pulsante contrassegnato dalla lettera N si pu\u00f2 cambiare il "
                       "numero iniziale, che vale per gli archivi di tutti gli anni, e scegliere "
                       "di aggiungere l'anno solare dopo il numero progressivo (per esempio "
                       "12/2024)."),
        QStringLiteral("Il numero pu\u00f2 sempre essere corretto a mano; la numerazione "
                       "automatica funziona soltanto se si preme Nuovo prima di compilare il "
                       "documento."),
    });
}

QString clientImport(const DocumentKind &kind)
{
    return paragraph({
        QStringLiteral("Il pulsante accanto al campo Committente apre la ricerca "
                       "nell'anagrafica dei clienti: con un doppio clic sul cliente trovato, il "
                       "nome, l'indirizzo, il CAP, il comune, la provincia, il codice fiscale e "
                       "la partita IVA vengono copiati nel ")
            + kind.singular + QLatin1Char('.'),
        QStringLiteral("I pulsanti accanto ai campi della partita IVA e del codice fiscale, sia "
                       "del laboratorio sia del committente, ne controllano la correttezza."),
    });
}

QString logo(const QString &savedData)
{
    return paragraph({
        QStringLiteral("Il pulsante del logo, accanto ai dati del laboratorio, permette di "
                       "caricare il logo del laboratorio, un'immagine in formato Jpeg o Bitmap, preferibilmente di 298 \u00d7 186 "
                       "pixel, che nella stampa viene adattata automaticamente allo spazio "
                       "riservato in alto a sinistra; se non \u00e8 stato caricato nessun logo, viene "
                       "stampata un'immagine predefinita."),
        QStringLiteral("Lo stesso logo compare sia sui rapporti di prova sia sui certificati di "
                       "analisi chimica."),
        savedData
            + QStringLiteral(" vengono salvati automaticamente alla chiusura della finestra e "
                             "riproposti all'apertura successiva."),
    });
}

QString delivery(const DocumentKind &kind)
{
    return paragraph({
        QStringLiteral("Spuntando la casella Consegnato al committente e salvando, si annota "
                       "che il ")
            + kind.singular + QStringLiteral(" \u00e8 stato consegnato al cliente."),
        QStringLiteral("L'apposito pulsante della barra dei comandi apre il riepilogo dei ")
            + kind.plural
            + QStringLiteral(" dell'anno non ancora consegnati ai committenti, cos\u00ec da tenere "
                             "sotto controllo le consegne."),
        listCommands(),
    });
}

QString search(const DocumentKind &kind, const QString &lastFilter)
{
    return paragraph({
        QStringLiteral("Il pulsante Trova apre la ricerca dei ") + kind.plural
            + QStringLiteral(" nell'archivio dell'anno."),
        searchFilters(QStringLiteral("numero, data di emissione, tipologia di analisi, "
                                     "campione, committente, codice fiscale, luogo di prelievo, "
                                     "autore del campionamento, contenitore e ")
                          + lastFilter,
                      QStringLiteral("i documenti"), QStringLiteral("in ordine di committente")),
        listCommands(),
    });
}

// "Salva PDF" of the print window: the issued document, kept and sent by e-mail.
QString issuedPdf(const DocumentKind &kind)
{
    return paragraph({
        QStringLiteral("Nella finestra aperta da Stampa, il pulsante Salva PDF emette il ") + kind.singular
            + QStringLiteral(" come file PDF/A, identico alla stampa, nella cartella Documenti_Emessi del "
                             "programma, in una sottocartella per ogni anno."),
        QStringLiteral("Il documento deve essere prima salvato in archivio, senza modifiche successive."),
        QStringLiteral("Un file gi\u00e0 emesso non viene mai sovrascritto: emettendo di nuovo lo stesso numero "
                       "si crea una revisione (rev. 1, rev. 2...), e il registro dei documenti emessi della "
                       "cartella ne annota data, ora e impronta."),
        QStringLiteral("Al termine si pu\u00f2 aprire un nuovo messaggio di posta elettronica con il file "
                       "allegato, indirizzato al committente se la sua scheda anagrafica riporta l'e-mail."),
    });
}

QString documentExport(const DocumentKind &kind)
{
    return QStringLiteral("Il pulsante Esporta trasferisce i ") + kind.plural
        + QStringLiteral(" dell'archivio aperto in un file di Microsoft Excel, con un riepilogo "
                         "dei dati principali di ciascun documento; ")
        + exportProcedure();
}

// ---------------------------------------------------------------------------
// Test reports

QStringList reportSection()
{
    const DocumentKind kind = reportKind();
    return {
        yearlyArchives(kind),
        newAndSave(kind,
                   QStringLiteral("I risultati si inseriscono nella sezione Risultati "
                                  "analitici, che contiene trenta righe di parametri su due "
                                  "pagine e il campo Osservazioni.")),
        numbering(kind),
        paragraph({
            QStringLiteral("Il pulsante di importazione, con la freccia obliqua, apre l'elenco "
                           "dei modelli di analisi: con un doppio clic sul modello scelto, la "
                           "tipologia di analisi, il campione e le righe dei parametri con "
                           "metodi di prova, unit\u00e0 di misura e limiti vengono copiati nel "
                           "rapporto, mentre i risultati gi\u00e0 inseriti restano invariati."),
            clientImport(kind),
        }),
        logo(QStringLiteral("I dati del laboratorio e il nome del responsabile del "
                            "laboratorio")),
        delivery(kind),
        attachments(QStringLiteral("al rapporto di prova")),
        search(kind, QStringLiteral("osservazioni")),
        paragraph({
            previewAndPrint(QStringLiteral("il rapporto di prova"),
                            QStringLiteral("su un solo foglio A4, con il logo e i dati del "
                                           "laboratorio, il numero e la data di emissione, il "
                                           "committente, i dati del campione, la tabella dei "
                                           "risultati, le osservazioni, lo spazio per la firma "
                                           "del responsabile del laboratorio e una nota sul "
                                           "trattamento dei dati personali.")),
            printsScreen(),
        }),
        issuedPdf(kind),
        documentExport(kind),
    };
}

// ---------------------------------------------------------------------------
// Chemical-analysis certificates

QStringList certificateSection()
{
    const DocumentKind kind = certificateKind();
    return {
        yearlyArchives(kind),
        newAndSave(kind,
                   QStringLiteral("Nella sezione Dettagli tecnici si descrivono i metodi di "
                                  "studio, di esecuzione e di analisi seguiti, la motivazione "
                                  "delle scelte, i rapporti di prova e gli altri documenti "
                                  "allegati, i tempi di conservazione della documentazione e "
                                  "del campione di controllo, le conclusioni e il giudizio "
                                  "tecnico.")),
        numbering(kind),
        clientImport(kind),
        logo(QStringLiteral("I dati del laboratorio, il nome del chimico responsabile e "
                            "l'ordine di appartenenza")),
        delivery(kind),
        attachments(QStringLiteral("al certificato di analisi chimica")),
        search(kind, QStringLiteral("conclusioni")),
        paragraph({
            previewAndPrint(QStringLiteral("il certificato di analisi chimica"),
                            QStringLiteral("sulle due facciate di un foglio A4.")),
            QStringLiteral("Il certificato occupa sempre due pagine, perch\u00e9 i riquadri della "
                           "stampa hanno dimensioni fisse: i testi molto lunghi vanno quindi "
                           "contenuti nello spazio disponibile."),
            printsScreen(),
        }),
        paragraph({
            QStringLiteral("Sul fronte compaiono il logo e i dati del laboratorio, il numero e "
                           "la data di emissione, la tipologia di analisi, il committente, il "
                           "campione con le date di prelievo, di ricezione e di analisi, i "
                           "metodi seguiti e la motivazione delle scelte."),
            QStringLiteral("Sul retro compaiono i rapporti di prova e gli altri documenti "
                           "allegati, i tempi di conservazione della documentazione e del "
                           "campione di controllo, le conclusioni e il giudizio tecnico, una "
                           "nota sulla riproduzione del certificato e lo spazio per la firma del "
                           "chimico responsabile, con il suo nome e l'ordine di "
                           "appartenenza."),
        }),
        issuedPdf(kind),
        documentExport(kind),
    };
}

// ---------------------------------------------------------------------------
// Overview: closing paragraphs

QStringList closingSection()
{
    return {
        paragraph({
            QStringLiteral("Tutte e quattro le app possono esportare il proprio archivio in un "
                           "file di Microsoft Excel, da usare per elaborazioni, statistiche o "
                           "stampe personalizzate."),
            QStringLiteral("Non \u00e8 necessario possedere Microsoft Excel."),
            xlsReaders(),
        }),
        paragraph({
            QStringLiteral("Tirello pu\u00f2 essere usato anche in una rete locale: basta "
                           "installarlo in una cartella condivisa e avviarlo dai vari computer, "
                           "che lavorano cos\u00ec sugli stessi archivi, perch\u00e9 tutti i dati sono "
                           "conservati nella cartella del programma."),
            QStringLiteral("Il programma non blocca le schede aperte da un altro utente: "
                           "evitare di modificare la stessa scheda contemporaneamente da due "
                           "computer, perch\u00e9 resterebbero soltanto le modifiche salvate per "
                           "ultime."),
        }),
        paragraph({
            QStringLiteral("Poich\u00e9 archivi, impostazioni, logo e documenti allegati si trovano "
                           "tutti nella cartella del programma, Tirello pu\u00f2 essere copiato su "
                           "una chiavetta USB e usato direttamente da l\u00ec anche su un altro "
                           "computer."),
            QStringLiteral("Per la stessa ragione, per fare una copia di sicurezza basta "
                           "copiare l'intera cartella del programma su un altro disco o su una "
                           "chiavetta; per ripristinare i dati \u00e8 sufficiente ricopiarla al suo "
                           "posto."),
        }),
        paragraph({
            QStringLiteral("All'avvio Tirello chiede una password di accesso, comune a tutti "
                           "gli utenti."),
            QStringLiteral("Al primo accesso la password \u00e8 \"benvenutonuovo\", da digitare "
                           "senza le virgolette; maiuscole e minuscole non fanno differenza."),
            QStringLiteral("Per cambiarla premere Cambia password nella finestra di accesso, "
                           "digitare la vecchia password, la nuova e la sua conferma e premere "
                           "OK; la nuova password va poi digitata nella finestra di accesso."),
            QStringLiteral("Si consiglia di cambiare la password al primo utilizzo e di "
                           "conservarla con cura."),
        }),
        paragraph({
            QStringLiteral("Ogni app ha la sua guida, che si apre con il pulsante Guida; la "
                           "guida completa in formato PDF si apre con il collegamento Visualizza "
                           "guida in formato PDF di questa finestra."),
            QStringLiteral("Buon lavoro con Tirello!"),
        }),
    };
}

// ---------------------------------------------------------------------------
// Export topics, one per archive

struct ExportSubject {
    QString archive;  // what is exported, with its article
    QString fileName; // file written in the program folder
};

QString exportText(const ExportSubject &subject)
{
    return joinParagraphs({
        paragraph({
            QStringLiteral("Questa funzione esporta ") + subject.archive
                + QStringLiteral(" in un foglio di lavoro in formato XLS, il file ")
                + subject.fileName
                + QStringLiteral(" nella cartella del programma, con una riga per ogni scheda "
                                 "e una colonna per ciascuno dei dati esportati."),
            xlsReaders(),
        }),
        paragraph({
            QStringLiteral("La finestra mostra in una tabella le schede presenti in archivio."),
            QStringLiteral("Per creare il file fare clic sull'icona di Excel e confermare con "
                           "S\u00ec; a seconda del numero di schede l'operazione pu\u00f2 richiedere "
                           "alcuni minuti."),
            QStringLiteral("Al termine, rispondendo S\u00ec alla domanda che compare, il file viene "
                           "aperto subito con il programma di foglio elettronico installato sul "
                           "computer."),
        }),
        paragraph({
            QStringLiteral("Il file ") + subject.fileName
                + QStringLiteral(" viene sostituito a ogni nuova esportazione: per conservarlo, "
                                 "salvarlo dal programma di foglio elettronico con il nome e "
                                 "nella cartella che si preferiscono."),
            QStringLiteral("Prima di una nuova esportazione chiudere il file, altrimenti il "
                           "sistema non permette di scriverlo."),
        }),
    });
}

} // namespace

Topic overview()
{
    QStringList paragraphs = introSection();
    paragraphs += clientSection();
    paragraphs += modelSection();
    paragraphs += reportSection();
    paragraphs += certificateSection();
    paragraphs += closingSection();
    return {QStringLiteral("Uno sguardo ad Tirello"), joinParagraphs(paragraphs)};
}

Topic clients()
{
    return {QStringLiteral("App Anagrafica clienti"), joinParagraphs(clientSection())};
}

Topic clientExport()
{
    return {QStringLiteral("Esportazione archivio clienti in Excel"),
            exportText({QStringLiteral("l'archivio dei clienti"),
                        QStringLiteral("Clienti.xls")})};
}

Topic models()
{
    return {QStringLiteral("App Modelli di analisi"), joinParagraphs(modelSection())};
}

Topic modelExport()
{
    return {QStringLiteral("Esportazione archivio modelli di analisi in Excel"),
            exportText({QStringLiteral("l'archivio dei modelli di analisi"),
                        QStringLiteral("Modelli_Analisi.xls")})};
}

Topic reports()
{
    return {QStringLiteral("App Rapporti di prova"), joinParagraphs(reportSection())};
}

Topic reportExport()
{
    return {QStringLiteral("Esportazione archivio rapporti di prova in Excel"),
            exportText({QStringLiteral("l'archivio dei rapporti di prova dell'anno aperto"),
                        QStringLiteral("Rapporti_di_Prova.xls")})};
}

Topic certificates()
{
    return {QStringLiteral("App Certificati di analisi chimica"),
            joinParagraphs(certificateSection())};
}

Topic certificateExport()
{
    return {QStringLiteral("Esportazione archivio certificati di analisi chimica in Excel"),
            exportText({QStringLiteral("l'archivio dei certificati di analisi chimica "
                                       "dell'anno aperto"),
                        QStringLiteral("Certificati_Analisi_Chimica.xls")})};
}

} // namespace help
