#pragma once
// The program's few contacts with the outside world, each behind one small seam:
// message boxes, shell open, the mail program and file dialogs. Tests replace them; the defaults do the
// real thing.

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace Messages {

enum class Kind { Warning, Error, Information, Question, Plain };

struct Shown {
    Kind kind;
    QString text;
};

// Warning, error and information boxes carry OK and Cancel; nobody looks at the answer.
void warning(QWidget *parent, const QString &text);
void error(QWidget *parent, const QString &text);
void information(QWidget *parent, const QString &text);
// Yes and No; true unless the answer is No.
bool question(QWidget *parent, const QString &text);
// A question with Yes, No and Cancel ("Sì", "No", "Annulla").
enum class Answer { Yes, No, Cancel };
Answer choose(QWidget *parent, const QString &text);
// OK only.
void plain(QWidget *parent, const QString &text);
// A box of the given kind; for a question, true unless the answer is No.
bool show(QWidget *parent, Kind kind, const QString &text);

// Test seam: while recording no box is shown; boxes are kept in order and questions
// take the queued answers (Yes when the queue is empty; a Cancel queued for a Yes/No
// question counts as No).
void startRecording();
void stopRecording();
void queueAnswer(bool yes);
void queueAnswer(Answer answer);
QList<Shown> taken(); // what was shown since the last call

} // namespace Messages

namespace Shell {

// Opens a document, folder, web or "mailto:" address with its associated program.
// A path may come enclosed in double quotation marks. Reports nothing.
void open(const QString &command);

void startRecording(); // test seam: commands are kept instead of opened
void stopRecording();
QStringList taken();

} // namespace Shell

namespace Mail {

// A new message in the user's mail program, for the user to complete and send.
struct Message {
    QStringList to;     // plain addresses; may be empty
    QString subject;
    QString attachment; // full path of the file to attach
};

// The desktop's standard hand-over: xdg-email with the attachment, the subject and the
// addresses, in UTF-8.
inline const QString kProgram = QStringLiteral("xdg-email");
QStringList arguments(const Message &message);

// Hands the message over without waiting for the mail program, which may stay open as long
// as the user writes. failed() is called, on this thread, when no mail program could be
// started: at once when xdg-email is missing, later when it ends in failure.
void compose(const Message &message, const std::function<void()> &failed);

void startRecording(); // test seam: messages are kept instead of handed over
void stopRecording();
void queueFailure(); // the next message recorded fails, as without a mail program
QList<Message> taken();

} // namespace Mail

namespace FileDialogs {

// Empty when the user cancels.
QString openFile(QWidget *parent, const QString &caption, const QString &folder,
                 const QString &filter);
// The filter as Qt's dialog takes it: every entry shows its caption as written ("Immagine
// JPEG (*.jpg; *.jpeg)", "Tutti i file (*.*)") and lists the files of its patterns.
QString forQt(const QString &filter);

void startRecording(); // test seam: answers come from the queue (empty: cancel)
void stopRecording();
void queueAnswer(const QString &path);

struct Asked {
    QString caption;
    QString folder;
    QString filter;
};
QList<Asked> taken(); // the dialogs asked for while recording, since the last call

} // namespace FileDialogs
