#include "datagen.h"

#include "storage/programfolder.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <stdexcept>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace benchgen {
namespace {

// ---- Randomness: one small generator per (seed, kind, index) ---------------------

enum Kind : quint64 { kClientCore = 1, kClientRest, kModel, kReport, kCertificate };

constexpr quint64 mix(quint64 z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

class Rng {
public:
    Rng(quint64 seed, Kind kind, quint64 index) : m_state(mix(seed ^ mix(quint64(kind) << 40 ^ index))) {}

    quint64 next()
    {
        m_state += 0x9E3779B97F4A7C15ULL;
        return mix(m_state);
    }
    int below(int n) { return n <= 0 ? 0 : int(next() % quint64(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(int percent) { return below(100) < percent; }
    double uniform(double lo, double hi) { return lo + (hi - lo) * double(next() >> 11) * 0x1.0p-53; }
    QChar digit() { return QChar(u'0' + below(10)); }
    QString digits(int n)
    {
        QString s(n, Qt::Uninitialized);
        for (QChar &c : s)
            c = digit();
        return s;
    }
    template <typename T, size_t N>
    const T &pick(const T (&items)[N])
    {
        return items[below(int(N))];
    }

private:
    quint64 m_state;
};

QString u8(const char *s)
{
    return QString::fromUtf8(s);
}

template <size_t N>
QString pickText(Rng &rng, const char *const (&items)[N])
{
    return u8(rng.pick(items));
}

// ---- Word lists ---------------------------------------------------------------------

constexpr const char *kSurnames[] = {
    "Rossi", "Russo", "Ferrari", "Esposito", "Bianchi", "Romano", "Colombo", "Ricci",
    "Marino", "Greco", "Bruno", "Gallo", "Conti", "De Luca", "Mancini", "Costa",
    "Giordano", "Rizzo", "Lombardi", "Moretti", "Barbieri", "Fontana", "Santoro", "Mariani",
    "Rinaldi", "Caruso", "Ferrara", "Galli", "Martini", "Leone", "Longo", "Gentile",
    "Martinelli", "Vitale", "Lombardo", "Serra", "Coppola", "De Santis", "D'Angelo", "Marchetti",
    "Parisi", "Villa", "Conte", "Ferraro", "Ferri", "Fabbri", "Bianco", "Marini",
    "Grasso", "Valentini", "Messina", "Sala", "De Angelis", "Gatti", "Pellegrini", "Palumbo",
    "Sanna", "Farina", "Rizzi", "Monti", "Cattaneo", "Morelli", "Amato", "Silvestri",
    "Mazza", "Testa", "Grassi", "Pellegrino", "Carbone", "Giuliani", "Benedetti", "Barone",
    "Caputo", "Montanari", "Guerra", "Palmieri", "Bernardi", "Fiore", "De Rosa", "Ferretti",
    "Bellini", "Basile", "Riva", "Donati", "Piras", "Vitali", "Battaglia", "Sartori",
    "Neri", "Milani", "Pagano", "Sorrentino", "D'Amico", "Orlando", "Negri", "Carrà",
    "Nicolò", "Dell'Acqua", "Zanetti", "Brambilla",
};

constexpr const char *kMaleNames[] = {
    "Marco", "Giuseppe", "Giovanni", "Antonio", "Mario", "Luigi", "Francesco", "Alessandro",
    "Andrea", "Luca", "Stefano", "Roberto", "Paolo", "Matteo", "Lorenzo", "Davide",
    "Simone", "Federico", "Riccardo", "Gabriele", "Salvatore", "Vincenzo", "Pietro", "Domenico",
    "Claudio", "Fabio", "Massimo", "Nicolò", "Emanuele", "Tommaso", "Gian Luca", "Pierpaolo",
};

constexpr const char *kFemaleNames[] = {
    "Maria", "Anna", "Giulia", "Francesca", "Chiara", "Sara", "Laura", "Valentina",
    "Alessandra", "Elena", "Silvia", "Martina", "Federica", "Paola", "Roberta", "Giovanna",
    "Rosa", "Angela", "Lucia", "Elisa", "Barbara", "Simona", "Cristina", "Monica",
    "Daniela", "Teresa", "Ilaria", "Beatrice", "Aurora", "Noemi", "Maria Grazia", "Annalisa",
};

struct Town {
    const char *name;
    const char *province;
    const char *postcode;
    const char *cadastral; // the four characters a tax code carries for the birthplace
    const char *dialCode;
};

constexpr Town kTowns[] = {
    {"Roma", "RM", "00184", "H501", "06"},          {"Milano", "MI", "20121", "F205", "02"},
    {"Napoli", "NA", "80133", "F839", "081"},       {"Torino", "TO", "10121", "L219", "011"},
    {"Palermo", "PA", "90133", "G273", "091"},      {"Genova", "GE", "16121", "D969", "010"},
    {"Bologna", "BO", "40121", "A944", "051"},      {"Firenze", "FI", "50122", "D612", "055"},
    {"Bari", "BA", "70121", "A662", "080"},         {"Catania", "CT", "95121", "C351", "095"},
    {"Venezia", "VE", "30121", "L736", "041"},      {"Verona", "VR", "37121", "L781", "045"},
    {"Padova", "PD", "35121", "G224", "049"},       {"Trieste", "TS", "34121", "L424", "040"},
    {"Brescia", "BS", "25121", "B157", "030"},      {"Parma", "PR", "43121", "G337", "0521"},
    {"Modena", "MO", "41121", "F257", "059"},       {"Perugia", "PG", "06121", "G478", "075"},
    {"Cagliari", "CA", "09124", "B354", "070"},     {"Salerno", "SA", "84121", "H703", "089"},
    {"Bergamo", "BG", "24121", "A794", "035"},      {"Vicenza", "VI", "36100", "L840", "0444"},
    {"Trento", "TN", "38122", "L378", "0461"},      {"Bolzano", "BZ", "39100", "A952", "0471"},
    {"Ancona", "AN", "60121", "A271", "071"},       {"Lecce", "LE", "73100", "E506", "0832"},
    {"Udine", "UD", "33100", "L483", "0432"},       {"Pisa", "PI", "56125", "G702", "050"},
    {"Lucca", "LU", "55100", "E715", "0583"},       {"Siena", "SI", "53100", "I726", "0577"},
    {"Pescara", "PE", "65121", "G482", "085"},      {"Sassari", "SS", "07100", "I452", "079"},
    {"Cantù", "CO", "22063", "B639", "031"},        {"Forlì", "FC", "47121", "D704", "0543"},
    {"Nardò", "LE", "73048", "F842", "0833"},       {"Cefalù", "PA", "90015", "C421", "0921"},
    {"Santhià", "VC", "13048", "I337", "0161"},     {"San Donà di Piave", "VE", "30027", "H823", "0421"},
    {"Sant'Angelo Lodigiano", "LO", "26866", "I274", "0371"},
    {"Reggio nell'Emilia", "RE", "42121", "H223", "0522"},
    {"Reggio di Calabria", "RC", "89125", "H224", "0965"},
    {"Montecatini Terme", "PT", "51016", "A561", "0572"},
    {"Castelfranco Veneto", "TV", "31033", "C111", "0423"},
    {"Gallarate", "VA", "21013", "D869", "0331"},   {"Aosta", "AO", "11100", "A326", "0165"},
    {"L'Aquila", "AQ", "67100", "A345", "0862"},    {"Potenza", "PZ", "85100", "G942", "0971"},
    {"Campobasso", "CB", "86100", "B519", "0874"},  {"Matera", "MT", "75100", "F052", "0835"},
};

constexpr const char *kStreets[] = {
    "Via Roma", "Via Garibaldi", "Corso Vittorio Emanuele II", "Via Mazzini", "Piazza della Libertà",
    "Via Dante Alighieri", "Viale dei Mille", "Via XX Settembre", "Via Cavour", "Via Giuseppe Verdi",
    "Via Nazionale", "Via San Francesco d'Assisi", "Largo Augusto", "Via della Repubblica",
    "Via Guglielmo Marconi", "Via Giacomo Leopardi", "Strada Provinciale 12", "Viale Europa",
    "Via Po", "Contrada San Giuseppe", "Via dell'Artigianato", "Via Papa Giovanni XXIII",
    "Piazza Duomo", "Via Nino Bixio", "Località Case Sparse", "Via Matteotti", "Via IV Novembre",
};

constexpr const char *kCompanyKinds[] = {
    "Azienda Agricola", "Caseificio", "Cantina", "Oleificio", "Panificio", "Pastificio",
    "Macelleria", "Birrificio", "Ristorante", "Albergo", "Condominio", "Salumificio",
    "Gelateria", "Impresa Edile", "Agriturismo", "Trattoria", "Frantoio", "Centro Sportivo",
};

constexpr const char *kCompanyForms[] = {"S.r.l.", "S.n.c.", "S.a.s.", "S.p.A.", "S.r.l.s.",
                                         "Soc. Coop.", "& C. S.n.c."};

constexpr const char *kMailProviders[] = {"gmail.com", "libero.it", "alice.it", "virgilio.it",
                                          "hotmail.it", "yahoo.it", "tiscali.it", "outlook.it"};

constexpr const char *kMobilePrefixes[] = {"320", "328", "329", "333", "335", "338", "339", "340",
                                           "347", "348", "349", "366", "380", "388", "389", "392"};

constexpr const char *kJobs[] = {
    "Agricoltore", "Ristoratore", "Amministratore di condominio", "Geometra", "Medico veterinario",
    "Casalinga", "Pensionato", "Impiegato", "Ingegnere", "Titolare di azienda agricola",
    "Casaro", "Enologo", "Tecnico alimentarista", "Responsabile qualità", "Idraulico",
};

constexpr const char *kQualifications[] = {
    "Laurea in Scienze Agrarie", "Diploma di perito agrario", "Laurea magistrale in Chimica",
    "Licenza media", "Diploma di ragioneria", "Laurea in Tecnologie alimentari",
    "Diploma di geometra", "Laurea in Ingegneria per l'ambiente e il territorio", "",
};

constexpr const char *kInterests[] = {
    "Analisi acque potabili; ricerca Legionella",
    "Autocontrollo HACCP: tamponi di superficie e analisi microbiologiche",
    "Analisi terreni agrari e piani di concimazione",
    "Analisi vini e mosti prima dell'imbottigliamento",
    "Acque reflue: controlli periodici allo scarico",
    "Acque di piscina: controlli mensili",
    "Analisi olio extravergine di oliva (acidità, perossidi, spettrofotometria UV)",
    "Formaggi freschi e stagionati: parametri microbiologici",
};

constexpr const char *kZones[] = {"Nord-Ovest", "Nord-Est", "Centro", "Sud", "Isole",
                                  "Zona industriale", "Centro storico", "Fascia costiera"};

constexpr const char *kQuestions[] = {
    "Richiede un preventivo per analisi semestrali del pozzo aziendale.",
    "Chiede di essere avvisato alla scadenza dei controlli periodici.",
    "Ha segnalato odore di cloro eccessivo nell'acqua della rete interna.",
    "Desidera ricevere i rapporti di prova anche via PEC.",
    "Contestazione sulla fattura n. 154 del mese scorso: chiarita per telefono.",
    "Interessato al piano di campionamento annuale per l'autocontrollo.",
    "Necessita del certificato entro fine mese per la pratica in Comune.",
};

constexpr const char *kNotes[] = {
    "Pagamento a 30 giorni data fattura.", "Preferisce essere contattato al mattino.",
    "Cliente storico: sconto del 10% sulle analisi di routine.",
    "Il campione viene di solito consegnato dal figlio.", "Fatturare alla società, non alla persona.",
    "Accesso all'impianto dal cancello sul retro; chiedere del custode.",
    "Inviare promemoria prima della stagione estiva.",
};

constexpr const char *kAttachmentDescriptions[] = {
    "Contratto di servizio", "Verbale di prelievo", "Planimetria dei punti di prelievo",
    "Autorizzazione allo scarico", "Documento d'identità", "Visura camerale",
    "Schema dell'impianto idrico", "Offerta economica accettata",
};

// ---- Parameters, methods and analyses ----------------------------------------------

struct Param {
    const char *name;
    const char *method;
    const char *unit;
    const char *limit;
    double low;      // results fall in [low, high]
    double high;
    int decimals;
    double quantification; // below it the result reads "< quantification"; 0: never
    const char *qualitative; // when set, the result is one of these ('|' separated)
};

constexpr Param kParams[] = {
    {"Piombo", "UNI EN ISO 11885:2009", "µg/l", "10", 0, 14, 1, 1, nullptr},
    {"Arsenico", "UNI EN ISO 17294-2:2016", "µg/l", "10", 0, 12, 1, 1, nullptr},
    {"Cadmio", "UNI EN ISO 17294-2:2016", "µg/l", "5", 0, 3, 2, 0.5, nullptr},
    {"Cromo totale", "UNI EN ISO 11885:2009", "µg/l", "25", 0, 20, 1, 1, nullptr},
    {"Mercurio", "UNI EN ISO 12846:2012", "µg/l", "1", 0, 0.6, 2, 0.1, nullptr},
    {"Nichel", "UNI EN ISO 11885:2009", "µg/l", "20", 0, 25, 1, 2, nullptr},
    {"Rame", "UNI EN ISO 11885:2009", "mg/l", "2", 0, 0.8, 3, 0.005, nullptr},
    {"Ferro", "UNI EN ISO 11885:2009", "µg/l", "200", 0, 260, 0, 10, nullptr},
    {"Manganese", "UNI EN ISO 11885:2009", "µg/l", "50", 0, 60, 0, 5, nullptr},
    {"Nitrati", "UNI EN ISO 10304-1:2009", "mg/l", "50", 0.5, 58, 1, 1, nullptr},
    {"Nitriti", "APAT CNR IRSA 4050 Man 29 2003", "mg/l", "0,50", 0, 0.3, 2, 0.02, nullptr},
    {"Ammoniaca", "APAT CNR IRSA 4030 A1 Man 29 2003", "mg/l", "0,50", 0, 0.4, 2, 0.05, nullptr},
    {"Cloruri", "UNI EN ISO 10304-1:2009", "mg/l", "250", 3, 180, 1, 0, nullptr},
    {"Solfati", "UNI EN ISO 10304-1:2009", "mg/l", "250", 5, 210, 1, 0, nullptr},
    {"Fluoruri", "UNI EN ISO 10304-1:2009", "mg/l", "1,5", 0, 1.2, 2, 0.1, nullptr},
    {"pH", "APAT CNR IRSA 2060 Man 29 2003", "unità pH", "6,5 - 9,5", 6.6, 8.4, 1, 0, nullptr},
    {"Conducibilità elettrica a 20 °C", "UNI EN 27888:1995", "µS/cm", "2500", 120, 1100, 0, 0, nullptr},
    {"Durezza totale", "APAT CNR IRSA 2040 B Man 29 2003", "°F", "15 - 50", 8, 45, 1, 0, nullptr},
    {"Residuo fisso a 180 °C", "APAT CNR IRSA 2090 A Man 29 2003", "mg/l", "1500", 90, 900, 0, 0, nullptr},
    {"Ossidabilità (Kubel)", "UNI EN ISO 8467:1997", "mg/l O2", "5", 0, 3, 1, 0.5, nullptr},
    {"Torbidità", "UNI EN ISO 7027-1:2016", "NTU", "1", 0, 1.5, 2, 0.1, nullptr},
    {"Colore", "APAT CNR IRSA 2020 A Man 29 2003", "", "accettabile per i consumatori", 0, 0, 0, 0,
     "accettabile|accettabile|accettabile|lievemente giallastro"},
    {"Odore", "APAT CNR IRSA 2050 Man 29 2003", "", "accettabile per i consumatori", 0, 0, 0, 0,
     "inodore|inodore|inodore|lieve odore di cloro"},
    {"Sapore", "APAT CNR IRSA 2080 Man 29 2003", "", "accettabile per i consumatori", 0, 0, 0, 0,
     "accettabile|accettabile|non valutabile"},
    {"Carica batterica totale a 22 °C", "UNI EN ISO 6222:2001", "UFC/ml", "senza variazioni anomale",
     0, 320, 0, 1, nullptr},
    {"Carica batterica totale a 37 °C", "UNI EN ISO 6222:2001", "UFC/ml", "", 0, 120, 0, 1, nullptr},
    {"Coliformi totali", "UNI EN ISO 9308-1:2017", "UFC/100 ml", "0", 0, 0, 0, 0, "0|0|0|0|3|12"},
    {"Escherichia coli", "UNI EN ISO 9308-1:2017", "UFC/100 ml", "0", 0, 0, 0, 0, "0|0|0|0|0|2"},
    {"Enterococchi intestinali", "UNI EN ISO 7899-2:2003", "UFC/100 ml", "0", 0, 0, 0, 0, "0|0|0|1"},
    {"Pseudomonas aeruginosa", "UNI EN ISO 16266:2008", "UFC/250 ml", "0", 0, 0, 0, 0, "0|0|0|5"},
    {"Clostridium perfringens (spore comprese)", "UNI EN ISO 14189:2016", "UFC/100 ml", "0", 0, 0, 0, 0,
     "0|0|0|1"},
    {"Legionella spp.", "UNI EN ISO 11731:2017", "UFC/l", "100", 0, 0, 0, 0,
     "non rilevata|non rilevata|< 100|250|1.200"},
    {"Cloro residuo libero", "APAT CNR IRSA 4080 Man 29 2003", "mg/l", "0,2", 0, 0.4, 2, 0.03, nullptr},
    {"Sodio", "UNI EN ISO 11885:2009", "mg/l", "200", 2, 90, 1, 0, nullptr},
    {"Potassio", "UNI EN ISO 11885:2009", "mg/l", "", 0.3, 9, 1, 0, nullptr},
    {"Calcio", "UNI EN ISO 11885:2009", "mg/l", "", 10, 140, 1, 0, nullptr},
    {"Magnesio", "UNI EN ISO 11885:2009", "mg/l", "", 2, 45, 1, 0, nullptr},
    {"Idrocarburi totali", "UNI EN ISO 9377-2:2002", "mg/l", "5", 0, 4, 2, 0.1, nullptr},
    {"Tensioattivi anionici", "APAT CNR IRSA 5170 Man 29 2003", "mg/l", "2", 0, 1.6, 2, 0.05, nullptr},
    {"BOD5", "APHA Standard Methods 5210 B", "mg/l O2", "40", 3, 55, 0, 0, nullptr},
    {"COD", "ISO 15705:2002", "mg/l O2", "160", 12, 190, 0, 0, nullptr},
    {"Solidi sospesi totali", "APAT CNR IRSA 2090 B Man 29 2003", "mg/l", "80", 2, 95, 0, 0, nullptr},
    {"Fosforo totale", "APAT CNR IRSA 4110 A2 Man 29 2003", "mg/l", "10", 0.1, 9, 2, 0, nullptr},
    {"Azoto ammoniacale", "APAT CNR IRSA 4030 A2 Man 29 2003", "mg/l", "15", 0.2, 20, 1, 0, nullptr},
    {"Salmonella spp.", "UNI EN ISO 6579-1:2017", "/25 g", "assente", 0, 0, 0, 0,
     "non rilevata|non rilevata|non rilevata|rilevata"},
    {"Listeria monocytogenes", "UNI EN ISO 11290-2:2017", "UFC/g", "100", 0, 0, 0, 0, "< 10|< 10|< 10|40|150"},
    {"Stafilococchi coagulasi positivi", "UNI EN ISO 6888-1:2021", "UFC/g", "1.000", 0, 0, 0, 0,
     "< 10|< 10|60|2.400"},
    {"Enterobatteriacee", "ISO 21528-2:2017", "UFC/g", "10.000", 0, 0, 0, 0, "< 10|120|3.500|18.000"},
    {"Escherichia coli beta-glucuronidasi positivi", "ISO 16649-2:2001", "UFC/g", "100", 0, 0, 0, 0,
     "< 10|< 10|20|400"},
    {"Muffe e lieviti", "ISO 21527-1:2008", "UFC/g", "", 0, 0, 0, 0, "< 10|80|1.300"},
    {"Umidità", "Metodo interno MI-07 rev. 3", "g/100 g", "", 30, 62, 1, 0, nullptr},
    {"Grassi totali", "Metodo interno MI-12 rev. 2", "g/100 g", "", 8, 34, 1, 0, nullptr},
    {"Proteine", "UNI EN ISO 8968-1:2014", "g/100 g", "", 9, 31, 1, 0, nullptr},
    {"Acidità libera (espressa in acido oleico)", "Reg. CEE 2568/1991 All. II", "%", "0,8", 0.1, 0.9, 2, 0,
     nullptr},
    {"Numero di perossidi", "Reg. CEE 2568/1991 All. III", "meq O2/kg", "20", 3, 19, 1, 0, nullptr},
    {"K232", "Reg. CEE 2568/1991 All. IX", "", "2,50", 1.5, 2.4, 2, 0, nullptr},
    {"K270", "Reg. CEE 2568/1991 All. IX", "", "0,22", 0.08, 0.21, 2, 0, nullptr},
    {"Titolo alcolometrico volumico effettivo", "OIV-MA-AS312-01A", "% vol", "", 10.5, 14.8, 2, 0, nullptr},
    {"Acidità totale (espressa in acido tartarico)", "OIV-MA-AS313-01", "g/l", "", 4.5, 7.8, 2, 0, nullptr},
    {"Anidride solforosa totale", "OIV-MA-AS323-04B", "mg/l", "150", 40, 160, 0, 0, nullptr},
    {"Zuccheri riduttori", "OIV-MA-AS311-01A", "g/l", "", 0.8, 4.5, 1, 0, nullptr},
    {"pH (in acqua, rapporto 1:2,5)", "D.M. 13/09/1999 Metodo III.1", "unità pH", "", 5.2, 8.6, 1, 0, nullptr},
    {"pH (vino)", "OIV-MA-AS313-15", "unità pH", "", 2.9, 3.9, 2, 0, nullptr},
    {"Sostanza organica", "D.M. 13/09/1999 Metodo VII.3", "g/kg", "", 8, 42, 1, 0, nullptr},
    {"Fosforo assimilabile", "D.M. 13/09/1999 Metodo XV.3", "mg/kg", "", 6, 80, 0, 0, nullptr},
    {"Potassio scambiabile", "D.M. 13/09/1999 Metodo XIII.5", "mg/kg", "", 80, 420, 0, 0, nullptr},
    {"Calcare totale", "D.M. 13/09/1999 Metodo V.1", "g/kg", "", 0, 180, 0, 5, nullptr},
    {"Capacità di scambio cationico", "D.M. 13/09/1999 Metodo XIII.2", "meq/100 g", "", 8, 32, 1, 0, nullptr},
};

struct Analysis {
    const char *name;
    const char *samples;   // '|' separated
    const char *params;    // '|' separated names from kParams
};

constexpr Analysis kAnalyses[] = {
    {"Acque destinate al consumo umano - controllo di routine",
     "Acqua potabile|Acqua di rete|Acqua da pozzo privato",
     "Colore|Odore|Sapore|Torbidità|pH|Conducibilità elettrica a 20 °C|Ammoniaca|Nitriti|Nitrati|"
     "Cloruri|Ferro|Manganese|Ossidabilità (Kubel)|Cloro residuo libero|Carica batterica totale a 22 °C|"
     "Coliformi totali|Escherichia coli|Enterococchi intestinali|Clostridium perfringens (spore comprese)"},
    {"Acque destinate al consumo umano - controllo di verifica",
     "Acqua potabile|Acqua da pozzo privato",
     "Colore|Odore|Sapore|Torbidità|pH|Conducibilità elettrica a 20 °C|Durezza totale|"
     "Residuo fisso a 180 °C|Ammoniaca|Nitriti|Nitrati|Cloruri|Solfati|Fluoruri|Sodio|Potassio|Calcio|"
     "Magnesio|Ferro|Manganese|Piombo|Arsenico|Cadmio|Cromo totale|Mercurio|Nichel|Rame|"
     "Carica batterica totale a 22 °C|Carica batterica totale a 37 °C|Coliformi totali"},
    {"Acque reflue - scarico in acque superficiali", "Acqua reflua|Refluo depurato",
     "pH|Solidi sospesi totali|BOD5|COD|Azoto ammoniacale|Fosforo totale|Tensioattivi anionici|"
     "Idrocarburi totali|Cloruri|Solfati|Escherichia coli"},
    {"Acque di piscina - controllo mensile", "Acqua di vasca|Acqua di immissione",
     "pH|Cloro residuo libero|Torbidità|Ossidabilità (Kubel)|Carica batterica totale a 37 °C|"
     "Coliformi totali|Escherichia coli|Pseudomonas aeruginosa|Enterococchi intestinali"},
    {"Ricerca di Legionella negli impianti idrici", "Acqua calda sanitaria|Acqua fredda sanitaria",
     "Legionella spp.|Carica batterica totale a 22 °C|Pseudomonas aeruginosa"},
    {"Analisi microbiologica degli alimenti",
     "Formaggio fresco|Prosciutto crudo|Pasta fresca all'uovo|Gelato artigianale|Insalata di mare",
     "Salmonella spp.|Listeria monocytogenes|Stafilococchi coagulasi positivi|Enterobatteriacee|"
     "Escherichia coli beta-glucuronidasi positivi|Muffe e lieviti"},
    {"Formaggi - composizione", "Formaggio stagionato|Caciotta|Pecorino",
     "Umidità|Grassi totali|Proteine|Listeria monocytogenes|Salmonella spp."},
    {"Olio extravergine di oliva - parametri merceologici", "Olio extravergine di oliva",
     "Acidità libera (espressa in acido oleico)|Numero di perossidi|K232|K270"},
    {"Vino - analisi di base", "Vino rosso|Vino bianco|Vino rosato|Mosto",
     "Titolo alcolometrico volumico effettivo|Acidità totale (espressa in acido tartarico)|"
     "Anidride solforosa totale|Zuccheri riduttori|pH (vino)"},
    {"Terreno agrario - analisi di fertilità", "Terreno|Suolo agricolo",
     "pH (in acqua, rapporto 1:2,5)|Sostanza organica|Fosforo assimilabile|Potassio scambiabile|Calcare totale|"
     "Capacità di scambio cationico"},
};

constexpr int kAnalysisCount = int(std::size(kAnalyses));

const Param &paramNamed(const QString &name)
{
    static const QHash<QString, int> index = [] {
        QHash<QString, int> h;
        for (int i = 0; i < int(std::size(kParams)); ++i)
            h.insert(u8(kParams[i].name), i);
        return h;
    }();
    const int i = index.value(name, -1);
    if (i < 0)
        throw std::logic_error("parameter missing from the catalogue: " + name.toStdString());
    return kParams[i];
}

// ---- Codes --------------------------------------------------------------------------

// Upper-case A-Z only: accents dropped, blanks and apostrophes gone.
QString plainLetters(const QString &s)
{
    QString out;
    for (QChar c : s.normalized(QString::NormalizationForm_D)) {
        const QChar up = c.toUpper();
        if (up >= u'A' && up <= u'Z')
            out += up;
    }
    return out;
}

bool isVowel(QChar c)
{
    return QStringLiteral("AEIOU").contains(c);
}

QString nameLetters(const QString &s, bool givenName)
{
    QString consonants, vowels;
    for (QChar c : plainLetters(s))
        (isVowel(c) ? vowels : consonants) += c;
    if (givenName && consonants.size() >= 4)
        return QString(consonants[0]) + consonants[2] + consonants[3];
    return (consonants + vowels + QStringLiteral("XXX")).left(3);
}

QChar taxCodeCheck(const QString &first15)
{
    static constexpr int kOdd[36] = {1, 0, 5, 7, 9, 13, 15, 17, 19, 21,          // 0-9
                                     1, 0, 5, 7, 9, 13, 15, 17, 19, 21, 2, 4, 18, // A-M
                                     20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23}; // N-Z
    int sum = 0;
    for (int i = 0; i < first15.size(); ++i) {
        const QChar c = first15[i];
        const int v = c.isDigit() ? c.unicode() - u'0' : c.unicode() - u'A';
        const int slot = c.isDigit() ? v : 10 + v;
        sum += (i % 2 == 0) ? kOdd[slot] : v;
    }
    return QChar(u'A' + sum % 26);
}

QString taxCode(const QString &surname, const QString &given, const QDate &birth, bool female,
                const Town &birthplace)
{
    static const char kMonths[] = "ABCDEHLMPRST";
    QString code = nameLetters(surname, false) + nameLetters(given, true);
    code += QStringLiteral("%1").arg(birth.year() % 100, 2, 10, QLatin1Char('0'));
    code += QLatin1Char(kMonths[birth.month() - 1]);
    code += QStringLiteral("%1").arg(birth.day() + (female ? 40 : 0), 2, 10, QLatin1Char('0'));
    code += QLatin1String(birthplace.cadastral);
    return code + taxCodeCheck(code);
}

// Seven digits, an office number and the check digit.
QString vatNumber(Rng &rng)
{
    QString n = rng.digits(7) + QStringLiteral("%1").arg(rng.between(1, 100), 3, 10, QLatin1Char('0'));
    int sum = 0;
    for (int i = 0; i < 10; ++i) {
        int d = n[i].unicode() - u'0';
        if (i % 2 == 1) {
            d *= 2;
            if (d > 9)
                d -= 9;
        }
        sum += d;
    }
    return n + QChar(u'0' + (10 - sum % 10) % 10);
}

QString iban(Rng &rng)
{
    const QString bban = QChar(u'A' + rng.below(26)) + rng.digits(5) + rng.digits(5) + rng.digits(12);
    int mod = 0;
    for (QChar c : bban + QStringLiteral("IT00")) {
        const int v = c.isDigit() ? c.unicode() - u'0' : c.unicode() - u'A' + 10;
        mod = (v >= 10 ? mod * 100 + v : mod * 10 + v) % 97;
    }
    return QStringLiteral("IT%1").arg(98 - mod, 2, 10, QLatin1Char('0')) + bban;
}

QString cardNumber(Rng &rng)
{
    QString n = QChar(rng.chance(60) ? u'4' : u'5') + rng.digits(14);
    int sum = 0;
    for (int i = int(n.size()) - 1, dbl = 1; i >= 0; --i, dbl ^= 1) {
        int d = n[i].unicode() - u'0';
        if (dbl && (d *= 2) > 9)
            d -= 9;
        sum += d;
    }
    n += QChar(u'0' + (10 - sum % 10) % 10);
    return n.mid(0, 4) + u' ' + n.mid(4, 4) + u' ' + n.mid(8, 4) + u' ' + n.mid(12, 4);
}

QString landline(Rng &rng, const Town &town)
{
    const QString prefix = QLatin1String(town.dialCode);
    return prefix + u' ' + QString::number(rng.between(2, 9)) + rng.digits(9 - int(prefix.size()));
}

QString mobile(Rng &rng)
{
    return pickText(rng, kMobilePrefixes) + u' ' + rng.digits(7);
}

QString slug(const QString &s)
{
    return plainLetters(s).toLower();
}

// "Verbale di prelievo" -> "verbale_di_prelievo"
QString fileSlug(const QString &s)
{
    QStringList words;
    for (const QString &w : s.split(QRegularExpression(QStringLiteral("[^\\w]+")), Qt::SkipEmptyParts))
        words.append(slug(w));
    words.removeAll(QString());
    return words.join(u'_');
}

QString decimal(double v, int decimals)
{
    QString s = QString::number(v, 'f', decimals);
    s.replace(u'.', u',');
    return s;
}

QString date(const QDate &d)
{
    return formats::date(d);
}

// ---- The people and firms on the client cards --------------------------------------

struct ClientCore {
    bool company = false;
    QString surname, given, name; // name: what the card shows
    bool female = false;
    QDate birth;
    const Town *birthplace = nullptr;
    const Town *town = nullptr;
    QString address, taxCode, vat, email;
};

ClientCore clientCore(quint64 seed, int index)
{
    Rng rng(seed, kClientCore, quint64(index));
    ClientCore c;
    c.company = rng.chance(30);
    c.surname = pickText(rng, kSurnames);
    c.female = rng.chance(50);
    c.given = c.female ? pickText(rng, kFemaleNames) : pickText(rng, kMaleNames);
    c.town = &rng.pick(kTowns);
    c.birthplace = rng.chance(60) ? c.town : &rng.pick(kTowns);
    c.birth = QDate(rng.between(1940, 2004), rng.between(1, 12), rng.between(1, 28));
    c.address = pickText(rng, kStreets) + u' ' + QString::number(rng.between(1, 180));
    if (rng.chance(15))
        c.address += u'/' + QChar(u'A' + rng.below(4));
    if (c.company) {
        const int shape = rng.below(4);
        const QString kind = shape == 3 ? QStringLiteral("Laboratorio Analisi") : pickText(rng, kCompanyKinds);
        const QString form = pickText(rng, kCompanyForms);
        switch (shape) {
        case 0: c.name = kind + u' ' + c.surname + u' ' + form; break;
        case 1: c.name = kind + u' ' + c.surname + u' ' + c.given; break;
        case 2: c.name = kind + QStringLiteral(" \"") + u8(c.town->name) + QStringLiteral("\" ") + form; break;
        default: c.name = kind + u' ' + c.surname + u' ' + form; break;
        }
        if (c.name.size() > 50)
            c.name = kind + u' ' + c.surname;
        c.vat = vatNumber(rng);
        c.taxCode = c.vat; // a firm's tax code is its VAT number
        c.email = (rng.chance(50) ? QStringLiteral("info@") : QStringLiteral("amministrazione@")) +
                  slug(kind.section(u' ', 0, 0)) + slug(c.surname) + QStringLiteral(".it");
    } else {
        c.name = c.surname + u' ' + c.given;
        c.taxCode = taxCode(c.surname, c.given, c.birth, c.female, *c.birthplace);
        if (rng.chance(20))
            c.vat = vatNumber(rng);
        c.email = slug(c.given) + u'.' + slug(c.surname) +
                  (rng.chance(30) ? QString::number(c.birth.year() % 100) : QString()) + u'@' +
                  pickText(rng, kMailProviders);
    }
    return c;
}

void fill(records::Record &r, const QString &name, const QString &value)
{
    const int i = r.layout().indexOf(name);
    if (i < 0)
        throw std::logic_error("no field " + name.toStdString() + " in " + r.layout().typeName().toStdString());
    r.setText(i, value);
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

void fillAttachments(records::Record &r, Rng &rng, const QString &owner, int year)
{
    if (!rng.chance(35))
        return;
    const int n = rng.between(1, 3);
    for (int k = 1; k <= n; ++k) {
        const QString description = pickText(rng, kAttachmentDescriptions);
        fill(r, QStringLiteral("lblFile") + twoDigits(k),
             QStringLiteral("/home/laboratorio/Documenti/%1/%2_%3_%4.pdf")
                 .arg(owner, fileSlug(description), QString::number(year), QString::number(rng.between(1, 999))));
        fill(r, QStringLiteral("lblDesc") + twoDigits(k), description + u' ' + QString::number(year));
    }
}

// ---- Laboratories that issue the documents -------------------------------------------

struct Lab {
    const char *name, *address, *city, *vat, *email, *phone, *note, *head, *chemist, *register_;
};

constexpr Lab kLabs[] = {
    {"Laboratorio Analisi Bianchi S.r.l.", "Via dell'Industria 24", "20090 Segrate (MI)", "08412350961",
     "info@laboratoriobianchi.it", "02 21345678",
     "Laboratorio iscritto nell'elenco regionale dei laboratori che effettuano analisi ai fini "
     "dell'autocontrollo alimentare (n. 045/MI). Orari: lun-ven 8:30-12:30 / 14:00-17:30.",
     "Dott.ssa Chiara Colombo", "Dott. Chim. Marco Esposito",
     "Ordine Chimici e Fisici Lombardia n. 2417 sez. A"},
    {"Centro Analisi Ambientali Greco & C. S.n.c.", "Viale Europa 118", "70121 Bari (BA)", "06231870725",
     "laboratorio@centroanalisigreco.it", "080 5567123",
     "Analisi chimiche e microbiologiche su acque, alimenti e terreni. Ritiro campioni a domicilio su "
     "appuntamento.",
     "Dott. Salvatore Greco", "Dott.ssa Chim. Annalisa Pellegrino",
     "Ordine Chimici e Fisici Puglia n. 1188 sez. A"},
    {"Laboratorio Chimico Agrario Serra", "Località Case Sparse 7", "07041 Alghero (SS)", "02547610903",
     "serra.laboratorio@pec.it", "079 981234",
     "Servizio di consulenza per aziende agricole, cantine e oleifici.", "Dott. Giovanni Serra",
     "Dott. Chim. Giovanni Serra", "Ordine Chimici e Fisici Sardegna n. 512 sez. A"},
};

const Lab &labFor(quint64 seed)
{
    return kLabs[seed % std::size(kLabs)];
}

// ---- Documents ---------------------------------------------------------------------

struct ModelSpec {
    QString analysis, sample;
    QList<const Param *> params;
};

ModelSpec modelSpec(quint64 seed, int index)
{
    Rng rng(seed, kModel, quint64(index));
    const Analysis &a = kAnalyses[index % kAnalysisCount];
    ModelSpec m;
    m.analysis = u8(a.name);
    const QStringList samples = u8(a.samples).split(u'|');
    m.sample = samples[rng.below(int(samples.size()))];
    const bool variant = index >= kAnalysisCount;
    if (variant)
        m.analysis += QStringLiteral(" - profilo %1").arg(index / kAnalysisCount + 1);
    for (const QString &name : u8(a.params).split(u'|'))
        if (!variant || !rng.chance(15))
            m.params.append(&paramNamed(name));
    if (m.params.size() > 30)
        m.params.resize(30);
    return m;
}

struct DocumentDates {
    QDate sampled, received, started, finished, issued;
    QString receivedAt;
};

DocumentDates documentDates(Rng &rng, int year)
{
    DocumentDates d;
    const QDate first(year, 1, 2);
    d.sampled = first.addDays(rng.below(first.daysInYear() - 16));
    d.received = d.sampled.addDays(rng.below(2));
    d.started = d.received;
    d.finished = d.started.addDays(rng.between(1, 8));
    d.issued = d.finished.addDays(rng.below(3));
    d.receivedAt = QStringLiteral("%1:%2").arg(twoDigits(rng.between(8, 17)), twoDigits(rng.below(4) * 15));
    return d;
}

// The head the reports and certificates share: laboratory, client, sample, dates.
void fillDocumentHead(records::Record &r, Rng &rng, quint64 seed, int index, int year, int clients,
                      const ModelSpec &m, const DocumentDates &d)
{
    const Lab &lab = labFor(seed);
    fill(r, QStringLiteral("txtLaboratorio"), u8(lab.name));
    fill(r, QStringLiteral("txtIndirizzoLab"), u8(lab.address));
    fill(r, QStringLiteral("txtCittaLab"), u8(lab.city));
    fill(r, QStringLiteral("txtPartitaIvaLab"), u8(lab.vat));
    fill(r, QStringLiteral("txtCodFiscLab"), u8(lab.vat));
    fill(r, QStringLiteral("txtEmailLab"), u8(lab.email));
    fill(r, QStringLiteral("txtTelLab"), u8(lab.phone));
    fill(r, QStringLiteral("txtLiberoLab"), u8(lab.note));

    const ClientCore c = clientCore(seed, clients > 0 ? rng.below(clients) : rng.below(1 << 30));
    fill(r, QStringLiteral("txtCliente"), c.name);
    fill(r, QStringLiteral("txtIndirizzoRes"), c.address);
    fill(r, QStringLiteral("txtCapRes"), u8(c.town->postcode));
    fill(r, QStringLiteral("txtProvRes"), u8(c.town->province));
    fill(r, QStringLiteral("txtComuneRes"), u8(c.town->name));
    fill(r, QStringLiteral("txtPartitaIva"), c.vat);
    fill(r, QStringLiteral("txtCodFisc"), c.taxCode);

    fill(r, QStringLiteral("txtNumRap"), QStringLiteral("%1/%2").arg(index + 1).arg(year));
    fill(r, QStringLiteral("txtData"), date(d.issued));
    fill(r, QStringLiteral("txtAnalisi"), m.analysis);
    fill(r, QStringLiteral("txtCampione"), m.sample);
    static constexpr const char *kPoints[] = {
        "Rubinetto cucina", "Punto di consegna (contatore)", "Pozzo aziendale, rubinetto a valle della pompa",
        "Doccia spogliatoio maschile", "Pozzetto di ispezione a valle del depuratore", "Vasca grande",
        "Cella frigorifera n. 2", "Banco di vendita", "Serbatoio di stoccaggio n. 3", "Appezzamento \"Il Poggio\"",
    };
    fill(r, QStringLiteral("txtLuogoPrel"),
         pickText(rng, kPoints) + QStringLiteral(" - ") + c.address + QStringLiteral(", ") + u8(c.town->name) +
             QStringLiteral(" (") + u8(c.town->province) + u')');
    fill(r, QStringLiteral("txtDataPrel"), date(d.sampled));
    static constexpr const char *kCare[] = {
        "Prelievo a cura del personale del laboratorio", "Campione consegnato dal cliente",
        "Prelievo a cura del cliente secondo le istruzioni del laboratorio",
    };
    fill(r, QStringLiteral("txtCura"), pickText(rng, kCare));
    static constexpr const char *kContainers[] = {
        "Bottiglia in PET da 1 l", "Flacone sterile in polipropilene da 500 ml con sodio tiosolfato",
        "Barattolo sterile in vetro da 250 ml", "Sacchetto sterile per alimenti",
        "Bottiglia in vetro scuro da 1 l", "Contenitore in polietilene da 2 kg",
    };
    fill(r, QStringLiteral("txtContenitore"), pickText(rng, kContainers));
    fill(r, QStringLiteral("txtDataRic"), date(d.received));
    fill(r, QStringLiteral("txtOraRic"), d.receivedAt);
    fill(r, QStringLiteral("txtDataInizio"), date(d.started));
    fill(r, QStringLiteral("txtDataFine"), date(d.finished));
}

QString result(Rng &rng, const Param &p)
{
    if (p.qualitative) {
        const QStringList options = u8(p.qualitative).split(u'|');
        return options[rng.below(int(options.size()))];
    }
    const double v = rng.uniform(p.low, p.high);
    if (p.quantification > 0 && v < p.quantification)
        return QStringLiteral("< ") + decimal(p.quantification, p.quantification < 1 ? 2 : 0);
    return decimal(v, p.decimals);
}

// Sentences put together into paragraphs of two to four, at most `length` characters.
QString prose(Rng &rng, const QList<const char *> &sentences, int length, const QString &lineBreak)
{
    QString out;
    int inParagraph = 0, paragraphSize = rng.between(2, 4);
    int previous = -1;
    for (;;) {
        int pick = rng.below(int(sentences.size()));
        if (pick == previous)
            pick = (pick + 1) % int(sentences.size());
        previous = pick;
        const QString s = u8(sentences[pick]);
        QString separator;
        if (!out.isEmpty())
            separator = inParagraph >= paragraphSize ? lineBreak + lineBreak : QStringLiteral(" ");
        if (out.size() + separator.size() + s.size() > length)
            return out;
        if (separator.size() > 1) {
            inParagraph = 0;
            paragraphSize = rng.between(2, 4);
        }
        out += separator + s;
        ++inParagraph;
    }
}

// Dated lines ("12/03/2024 - ...") going through the entries in order, again and again,
// until the next would pass `length` characters.
QString timeline(Rng &rng, const QList<const char *> &entries, int length, const std::function<QString()> &stamp,
                 const QString &lineBreak)
{
    QString out;
    for (int i = rng.below(2);; ++i) {
        const QString line = stamp() + QStringLiteral(" - ") + u8(entries[i % entries.size()]) + lineBreak;
        if (out.size() + line.size() > length)
            return out;
        out += line;
    }
}

// Whether a result passes the limit shown next to it (limits that are words never fail).
bool exceeds(const Param &p, const QString &value)
{
    if (value.startsWith(u'<') || value == QStringLiteral("non rilevata"))
        return false;
    if (value == QStringLiteral("rilevata"))
        return true;
    auto number = [](QString s, bool *ok) {
        s.remove(u'.'); // thousands
        s.replace(u',', u'.');
        return s.trimmed().toDouble(ok);
    };
    bool okValue = false, okLow = false, okHigh = false;
    const double v = number(value, &okValue);
    const QStringList range = u8(p.limit).split(QStringLiteral(" - "));
    if (!okValue)
        return false;
    if (range.size() == 2) {
        const double low = number(range[0], &okLow), high = number(range[1], &okHigh);
        return okLow && okHigh && (v < low || v > high);
    }
    const double high = number(range[0], &okHigh);
    return okHigh && v > high;
}

} // namespace

// ---- Public part ---------------------------------------------------------------------

QString clientsFile() { return QStringLiteral("Clienti.pro"); }
QString modelsFile() { return QStringLiteral("Parametri_Chimici.pro"); }
QString reportsFile(int year) { return QStringLiteral("%1.rdp").arg(year); }
QString certificatesFile(int year) { return QStringLiteral("%1.cda").arg(year); }

QString clientName(quint64 seed, int index)
{
    return clientCore(seed, index).name;
}

records::Record client(quint64 seed, int index)
{
    const ClientCore c = clientCore(seed, index);
    Rng rng(seed, kClientRest, quint64(index));
    records::Record r(records::client());
    fill(r, QStringLiteral("txtCliente"), c.name);
    if (!c.company) {
        fill(r, QStringLiteral("txtDataNasc"), date(c.birth));
        fill(r, QStringLiteral("txtComuneNasc"), u8(c.birthplace->name));
        fill(r, QStringLiteral("txtProvNasc"), u8(c.birthplace->province));
        fill(r, QStringLiteral("txtSesso"), c.female ? QStringLiteral("F") : QStringLiteral("M"));
        fill(r, QStringLiteral("txtCivile"),
             rng.chance(55) ? (c.female ? QStringLiteral("Coniugata") : QStringLiteral("Coniugato"))
                            : (c.female ? QStringLiteral("Nubile") : QStringLiteral("Celibe")));
        fill(r, QStringLiteral("txtOccupazione"), pickText(rng, kJobs));
        fill(r, QStringLiteral("txtTitoli"), pickText(rng, kQualifications));
        fill(r, QStringLiteral("txtTelCasa"), landline(rng, *c.town));
        const QString documentNo = QStringLiteral("C%1%2%3")
                                       .arg(QChar(u'A' + rng.below(26)))
                                       .arg(rng.digits(5))
                                       .arg(QString(QChar(u'A' + rng.below(26))) + QChar(u'A' + rng.below(26)));
        const QDate issued(rng.between(2016, 2024), rng.between(1, 12), rng.between(1, 28));
        fill(r, QStringLiteral("txtDocumento"), QStringLiteral("Carta d'identità elettronica n. ") + documentNo);
        fill(r, QStringLiteral("txtEstremi"),
             QStringLiteral("Carta d'identità n. %1 rilasciata dal Comune di %2 il %3, valida fino al %4")
                 .arg(documentNo, u8(c.town->name), date(issued), date(issued.addYears(10))));
    } else {
        fill(r, QStringLiteral("txtRecapito"),
             QStringLiteral("c.a. ") + (c.female ? QStringLiteral("Sig.ra ") : QStringLiteral("Sig. ")) + c.given +
                 u' ' + c.surname);
        fill(r, QStringLiteral("txtTelUff"), landline(rng, *c.town));
        if (rng.chance(50))
            fill(r, QStringLiteral("txtFax"), landline(rng, *c.town));
        fill(r, QStringLiteral("txtEstremi"),
             QStringLiteral("Iscritta al Registro delle Imprese di %1, REA %2-%3, capitale sociale € %4.000,00 i.v.")
                 .arg(u8(c.town->name), u8(c.town->province), rng.digits(6), QString::number(rng.between(10, 250))));
    }
    fill(r, QStringLiteral("txtIndirizzoRes"), c.address);
    fill(r, QStringLiteral("txtProvRes"), u8(c.town->province));
    fill(r, QStringLiteral("txtComuneRes"), u8(c.town->name));
    fill(r, QStringLiteral("txtCapRes"), u8(c.town->postcode));
    fill(r, QStringLiteral("txtTelCel"), mobile(rng));
    fill(r, QStringLiteral("txtEmail"), c.email);
    fill(r, QStringLiteral("txtCodFisc"), c.taxCode);
    if (rng.chance(25)) {
        fill(r, QStringLiteral("txtCarta"), cardNumber(rng));
        fill(r, QStringLiteral("txtScadeCarta"), QStringLiteral("%1/%2").arg(twoDigits(rng.between(1, 12))).arg(rng.between(2025, 2030)));
    }
    fill(r, QStringLiteral("txtPartitaIva"), c.vat);
    if (rng.chance(60))
        fill(r, QStringLiteral("txtIban"), iban(rng));
    fill(r, QStringLiteral("txtProdotti"), pickText(rng, kInterests));
    fill(r, QStringLiteral("txtZona"), pickText(rng, kZones));
    if (rng.chance(40))
        fill(r, QStringLiteral("txtQuestioni"), pickText(rng, kQuestions));
    if (rng.chance(50))
        fill(r, QStringLiteral("txtNote"), pickText(rng, kNotes) + u' ' + pickText(rng, kNotes));
    fill(r, QStringLiteral("chkRicontatta"), rng.chance(30) ? records::kYes : records::kNo);
    fillAttachments(r, rng, QStringLiteral("Clienti/") + fileSlug(c.name), rng.between(2015, 2024));
    return r;
}

records::Record model(quint64 seed, int index)
{
    const ModelSpec m = modelSpec(seed, index);
    Rng rng(seed, kModel, quint64(index) | (1ULL << 62));
    records::Record r(records::model());
    fill(r, QStringLiteral("txtAnalisi"), m.analysis);
    fill(r, QStringLiteral("txtCampione"), m.sample);
    for (int row = 0; row < m.params.size(); ++row) {
        const Param &p = *m.params[row];
        const QString n = twoDigits(row + 1);
        fill(r, QStringLiteral("txtParametro") + n, u8(p.name));
        fill(r, QStringLiteral("txtMetodo") + n, u8(p.method));
        fill(r, QStringLiteral("txtUM") + n, u8(p.unit));
        fill(r, QStringLiteral("txtLimite") + n, u8(p.limit));
    }
    fillAttachments(r, rng, QStringLiteral("Modelli"), 2023);
    return r;
}

records::Record report(quint64 seed, int index, int year, int clients, int models)
{
    Rng rng(seed, kReport, quint64(index));
    const ModelSpec m = modelSpec(seed, models > 0 ? rng.below(models) : rng.below(kAnalysisCount));
    const DocumentDates d = documentDates(rng, year);
    records::Record r(records::report());
    fillDocumentHead(r, rng, seed, index, year, clients, m, d);
    fill(r, QStringLiteral("txtResponsabile"), u8(labFor(seed).head));
    bool compliant = true;
    for (int row = 0; row < m.params.size(); ++row) {
        const Param &p = *m.params[row];
        const QString n = twoDigits(row + 1);
        fill(r, QStringLiteral("txtParametro") + n, u8(p.name));
        fill(r, QStringLiteral("txtMetodo") + n, u8(p.method));
        fill(r, QStringLiteral("txtUM") + n, u8(p.unit));
        const QString value = result(rng, p);
        fill(r, QStringLiteral("txtRisultato") + n, value);
        fill(r, QStringLiteral("txtLimite") + n, u8(p.limit));
        compliant = compliant && !exceeds(p, value);
    }
    fill(r, QStringLiteral("txtOsservazioni"),
         QStringLiteral("I risultati si riferiscono esclusivamente al campione sottoposto a prova. "
                        "Campione trasportato in condizioni refrigerate (4 ± 2 °C).") +
             (compliant ? QString() : QStringLiteral(" Si raccomanda la ripetizione del prelievo.")));
    // Most reports reach their client within days; those of the last weeks of the year
    // are often still waiting at the laboratory.
    const bool recent = d.issued.daysTo(QDate(year, 12, 31)) < 21;
    fill(r, QStringLiteral("chkConsegnato"), rng.chance(recent ? 45 : 92) ? records::kYes : records::kNo);
    fillAttachments(r, rng, QStringLiteral("Rapporti/%1").arg(year), year);
    return r;
}

records::Record certificate(quint64 seed, int index, int year, int clients, int models)
{
    // The certificate editor keeps the line breaks as typed in the archives: CR LF.
    const QString nl = QStringLiteral("\r\n");
    Rng rng(seed, kCertificate, quint64(index));
    const ModelSpec m = modelSpec(seed, models > 0 ? rng.below(models) : rng.below(kAnalysisCount));
    const DocumentDates d = documentDates(rng, year);
    const Lab &lab = labFor(seed);
    records::Record r(records::certificate());
    fillDocumentHead(r, rng, seed, index, year, clients, m, d);
    fill(r, QStringLiteral("txtChimico"), u8(lab.chemist));
    fill(r, QStringLiteral("txtOrdine"), u8(lab.register_));

    QString methods = QStringLiteral("Le determinazioni sono state eseguite con i seguenti metodi:") + nl;
    for (const Param *p : m.params)
        methods += QStringLiteral("- %1: %2").arg(u8(p->name), u8(p->method)) + nl;
    const int room = 4900 - int(methods.size());
    if (room > 200)
        methods += nl + prose(rng,
                              {"I limiti di quantificazione dei metodi sono riportati nel rapporto di prova allegato.",
                               "Le prove sono state eseguite entro i tempi previsti per la conservazione del campione.",
                               "La strumentazione impiegata è sottoposta a taratura periodica secondo il piano del laboratorio.",
                               "Per i parametri microbiologici l'incertezza è espressa come intervallo di confidenza al 95%.",
                               "I reagenti utilizzati sono di grado analitico e i materiali di riferimento sono certificati.",
                               "Le letture sono state eseguite in doppio e riportate come valore medio."},
                              qMin(room, rng.between(600, 2200)), nl);
    fill(r, QStringLiteral("txtMetodi"), methods);

    const QList<const char *> reasons = {
        "Il sottoscritto, su incarico del cliente, ha eseguito il sopralluogo presso l'impianto indicato "
        "al fine di verificare la conformità ai requisiti di legge.",
        "L'incarico è stato conferito a seguito di segnalazioni di odore anomalo in alcune utenze.",
        "Scopo dell'indagine è accertare l'eventuale contaminazione della rete idrica interna dell'edificio.",
        "La verifica si è resa necessaria in occasione del rinnovo dell'autorizzazione allo scarico.",
        "Il campionamento è stato richiesto nell'ambito del piano di autocontrollo aziendale.",
        "Il cliente ha chiesto di valutare l'idoneità dell'acqua del pozzo privato per uso domestico.",
        "La certificazione è richiesta dall'ufficio tecnico comunale per il rilascio dell'agibilità.",
        "Nei mesi precedenti erano stati eseguiti lavori di manutenzione straordinaria sull'impianto.",
    };
    fill(r, QStringLiteral("txtMotivazione"), prose(rng, reasons, rng.between(400, 4800), nl));

    QString attachments;
    attachments += QStringLiteral("1. Rapporto di prova n. %1/%2 del %3").arg(index + 1).arg(year).arg(date(d.issued)) + nl;
    attachments += QStringLiteral("2. Verbale di prelievo del %1").arg(date(d.sampled)) + nl;
    attachments += QStringLiteral("3. Documentazione fotografica (%1 fotografie)").arg(rng.between(4, 30)) + nl;
    if (rng.chance(50))
        attachments += QStringLiteral("4. Planimetria con l'indicazione dei punti di prelievo") + nl;
    fill(r, QStringLiteral("txtAllegati"), attachments);

    const QList<const char *> paperwork = {
        "Ricevimento della richiesta di intervento.", "Esame della documentazione tecnica fornita dal cliente.",
        "Richiesta di integrazione documentale (schema dell'impianto).", "Ricevimento della documentazione integrativa.",
        "Sopralluogo preliminare e definizione dei punti di prelievo.", "Invio del piano di campionamento al cliente.",
        "Conferma dell'incarico e della data del prelievo.",
    };
    QDate day = d.sampled.addDays(-rng.between(60, 120));
    fill(r, QStringLiteral("txtTempoDocu"), timeline(rng, paperwork, rng.between(300, 2900), [&] {
             day = day.addDays(rng.between(1, 3));
             return date(day);
         }, nl));

    const QList<const char *> steps = {
        "Prelievo al rubinetto, previo flussaggio di 5 minuti e flambatura dell'erogatore.",
        "Misura in campo della temperatura dell'acqua e del cloro residuo libero.",
        "Prelievo del campione medio composito nelle tre ore di attività dell'impianto.",
        "Campione posto in contenitore refrigerato e sigillato alla presenza del cliente.",
        "Compilazione del verbale di prelievo sottoscritto dalle parti.",
        "Consegna del campione al laboratorio e registrazione in accettazione.",
    };
    int minutes = 8 * 60;
    fill(r, QStringLiteral("txtTempoCamp"), timeline(rng, steps, rng.between(300, 2900), [&] {
             minutes += rng.between(5, 25);
             return QStringLiteral("%1 ore %2:%3").arg(date(d.sampled), twoDigits(minutes / 60 % 24), twoDigits(minutes % 60));
         }, nl));

    const QList<const char *> conclusions = {
        "Sulla base dei risultati analitici ottenuti il campione risulta conforme ai valori di parametro "
        "fissati dalla normativa vigente.",
        "Si consiglia di ripetere il controllo con cadenza semestrale.",
        "Si raccomanda la pulizia e la disinfezione dei serbatoi di accumulo.",
        "Il parametro Escherichia coli è risultato superiore al valore di parametro: si consiglia la "
        "disinfezione dell'impianto e un nuovo prelievo di verifica.",
        "Le conclusioni del presente certificato valgono esclusivamente per il campione esaminato.",
        "Si suggerisce l'installazione di un sistema di trattamento a valle del punto di consegna.",
        "Non sono emerse criticità nella gestione dell'impianto durante il sopralluogo.",
    };
    fill(r, QStringLiteral("txtConclusioni"), prose(rng, conclusions, rng.between(300, 4800), nl));
    fill(r, QStringLiteral("chkConsegnato"), rng.chance(75) ? records::kYes : records::kNo);
    fillAttachments(r, rng, QStringLiteral("Certificati/%1").arg(year), year);
    return r;
}

qint64 writeArchive(const QString &path, const records::Layout &layout, int count,
                    const std::function<records::Record(int)> &make)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw std::runtime_error(QStringLiteral("%1: %2").arg(path, file.errorString()).toStdString());
    auto fail = [&] {
        throw std::runtime_error(QStringLiteral("%1: write failed (%2)").arg(path, file.errorString()).toStdString());
    };
    constexpr qsizetype kChunk = 8 << 20;
    QByteArray chunk;
    chunk.reserve(kChunk + layout.size());
    qint64 written = 0;
    for (int i = 0; i < count; ++i) {
        const records::Record r = make(i);
        if (r.bytes().size() != layout.size())
            throw std::logic_error("record of the wrong size");
        chunk += r.bytes();
        if (chunk.size() >= kChunk || i == count - 1) {
            if (file.write(chunk) != chunk.size())
                fail();
            written += chunk.size();
            chunk.resize(0); // keeps the allocation
        }
    }
#ifdef Q_OS_UNIX
    if (::fdatasync(file.handle()) != 0)
        fail();
#endif
    file.close();
    return written;
}

Written generateReports(const QString &folder, int count, int year, quint64 seed, int clients)
{
    if (!QDir().mkpath(folder))
        throw std::runtime_error(QStringLiteral("cannot create %1").arg(folder).toStdString());
    if (year <= 0)
        year = QDate::currentDate().year();
    QElapsedTimer t;
    t.start();
    Written w;
    w.path = QDir(folder).filePath(reportsFile(year));
    w.records = count;
    w.bytes = writeArchive(w.path, records::report(), count,
                           [&](int i) { return report(seed, i, year, clients, 0); });
    w.seconds = double(t.nsecsElapsed()) / 1e9;
    return w;
}

QList<Written> generateFolder(const QString &folder, const Options &options,
                              const std::function<void(const Written &)> &progress)
{
    if (!QDir().mkpath(folder))
        throw std::runtime_error(QStringLiteral("cannot create %1").arg(folder).toStdString());
    const QDir dir(folder);
    const int year = options.year > 0 ? options.year : QDate::currentDate().year();
    const Counts &n = options.counts;
    const quint64 seed = options.seed;

    QList<Written> out;
    auto one = [&](const QString &name, const records::Layout &layout, int count,
                   const std::function<records::Record(int)> &make) {
        if (count <= 0)
            return;
        QElapsedTimer t;
        t.start();
        Written w;
        w.path = dir.filePath(name);
        w.records = count;
        w.bytes = writeArchive(w.path, layout, count, make);
        w.seconds = double(t.nsecsElapsed()) / 1e9;
        out.append(w);
        if (progress)
            progress(w);
    };
    one(clientsFile(), records::client(), n.clients, [&](int i) { return client(seed, i); });
    one(modelsFile(), records::model(), n.models, [&](int i) { return model(seed, i); });
    one(reportsFile(year), records::report(), n.reports,
        [&](int i) { return report(seed, i, year, n.clients, n.models); });
    one(certificatesFile(year), records::certificate(), n.certificates,
        [&](int i) { return certificate(seed, i, year, n.clients, n.models); });
    return out;
}

Written generateClients(const QString &folder, int count, quint64 seed)
{
    Options options;
    options.seed = seed;
    options.counts = {count, 0, 0, 0};
    return generateFolder(folder, options).at(0);
}

int envCount(const char *name, int fallback)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok && v > 0 ? v : fallback;
}

std::unique_ptr<QTemporaryDir> scratchFolder()
{
    const QString base = qEnvironmentVariable("TIRELLO_BENCH_DIR");
    auto dir = std::make_unique<QTemporaryDir>((base.isEmpty() ? QDir::tempPath() : base) +
                                               QStringLiteral("/tirello-bench-XXXXXX"));
    if (!dir->isValid())
        throw std::runtime_error("cannot create the temporary folder");
    return dir;
}

} // namespace benchgen
