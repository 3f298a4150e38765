#pragma once

#include <QString>

// Help topics of the program: the title set into the help window and its text.
// A text is a sequence of paragraphs separated by one empty line.
namespace help {

struct Topic {
    QString title;
    QString text;
};

// Paragraphs are joined with "\r\n\r\n" (carriage return, line feed, carriage return, line feed).
Topic overview();          // title "Uno sguardo ad Tirello"
Topic clients();           // "App Anagrafica clienti"
Topic clientExport();      // "Esportazione archivio clienti in Excel"
Topic models();            // "App Modelli di analisi"
Topic modelExport();       // "Esportazione archivio modelli di analisi in Excel"
Topic reports();           // "App Rapporti di prova"
Topic reportExport();      // "Esportazione archivio rapporti di prova in Excel"
Topic certificates();      // "App Certificati di analisi chimica"
Topic certificateExport(); // "Esportazione archivio certificati di analisi chimica in Excel"

} // namespace help
