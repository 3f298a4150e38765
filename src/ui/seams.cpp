#include "seams.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QRegularExpression>
#include <QMessageBox>
#include <QProcess>
#include <QQueue>
#include <QUrl>

namespace Messages {
namespace {

bool g_recording = false;
QQueue<Answer> g_answers;
QList<Shown> g_shown;

const QString kTitle = QStringLiteral("Tirello");

QMessageBox::StandardButton showBox(QWidget *parent, Kind kind, const QString &text, bool withCancel = false)
{
    if (g_recording) {
        g_shown.append({kind, text});
        if (kind != Kind::Question)
            return QMessageBox::Ok;
        switch (g_answers.isEmpty() ? Answer::Yes : g_answers.dequeue()) {
        case Answer::Yes: return QMessageBox::Yes;
        case Answer::No: return QMessageBox::No;
        case Answer::Cancel: return withCancel ? QMessageBox::Cancel : QMessageBox::No;
        }
    }
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok | QMessageBox::Cancel;
    switch (kind) {
    case Kind::Warning: icon = QMessageBox::Warning; break;
    case Kind::Error: icon = QMessageBox::Critical; break;
    case Kind::Information: icon = QMessageBox::Information; break;
    case Kind::Question:
        icon = QMessageBox::Question;
        buttons = QMessageBox::Yes | QMessageBox::No;
        if (withCancel)
            buttons |= QMessageBox::Cancel;
        break;
    case Kind::Plain: buttons = QMessageBox::Ok; break;
    }
    QMessageBox box(icon, kTitle, text, buttons, parent);
    if (withCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    return QMessageBox::StandardButton(box.exec());
}

} // namespace

bool show(QWidget *parent, Kind kind, const QString &text)
{
    return showBox(parent, kind, text) != QMessageBox::No;
}
void warning(QWidget *parent, const QString &text) { show(parent, Kind::Warning, text); }
void error(QWidget *parent, const QString &text) { show(parent, Kind::Error, text); }
void information(QWidget *parent, const QString &text) { show(parent, Kind::Information, text); }
bool question(QWidget *parent, const QString &text) { return show(parent, Kind::Question, text); }
Answer choose(QWidget *parent, const QString &text)
{
    switch (showBox(parent, Kind::Question, text, true)) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel; // Annulla, Esc or the window closed
    }
}
void plain(QWidget *parent, const QString &text) { show(parent, Kind::Plain, text); }

void startRecording()
{
    g_recording = true;
    g_answers.clear();
    g_shown.clear();
}

void stopRecording()
{
    g_recording = false;
}

void queueAnswer(bool yes)
{
    g_answers.enqueue(yes ? Answer::Yes : Answer::No);
}

void queueAnswer(Answer answer)
{
    g_answers.enqueue(answer);
}

QList<Shown> taken()
{
    return std::exchange(g_shown, {});
}

} // namespace Messages

namespace Shell {
namespace {
bool g_recording = false;
QStringList g_taken;
} // namespace

void open(const QString &command)
{
    if (g_recording) {
        g_taken.append(command);
        return;
    }
    QString target = command;
    if (target.size() >= 2 && target.startsWith(u'"') && target.endsWith(u'"'))
        target = target.mid(1, target.size() - 2);
    const QUrl url(target);
    const QString scheme = url.scheme().toLower();
    const bool isAddress = scheme == u"mailto" || scheme == u"http" || scheme == u"https"
        || target.startsWith(QStringLiteral("www."), Qt::CaseInsensitive);
    if (!isAddress)
        QDesktopServices::openUrl(QUrl::fromLocalFile(target));
    else if (scheme.isEmpty())
        QDesktopServices::openUrl(QUrl(QStringLiteral("https://") + target));
    else
        QDesktopServices::openUrl(url);
}

void startRecording()
{
    g_recording = true;
    g_taken.clear();
}

void stopRecording()
{
    g_recording = false;
}

QStringList taken()
{
    return std::exchange(g_taken, {});
}

} // namespace Shell

namespace Mail {
namespace {
bool g_recording = false;
bool g_failNext = false;
QList<Message> g_taken;
} // namespace

QStringList arguments(const Message &message)
{
    QStringList args{QStringLiteral("--utf8"), QStringLiteral("--subject"), message.subject, QStringLiteral("--attach"),
                     message.attachment};
    args += message.to;
    return args;
}

void compose(const Message &message, const std::function<void()> &failed)
{
    if (g_recording) {
        g_taken.append(message);
        if (std::exchange(g_failNext, false) && failed)
            failed();
        return;
    }
    // Not the child of any window: the mail program may outlive the card, and the program.
    auto *process = new QProcess;
    process->setProgram(kProgram);
    process->setArguments(arguments(message));
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process, [process, failed](int code, QProcess::ExitStatus status) {
        if ((status != QProcess::NormalExit || code != 0) && failed)
            failed();
        process->deleteLater();
    });
    process->start();
    if (!process->waitForStarted(5000)) {
        delete process;
        if (failed)
            failed();
    }
}

void startRecording()
{
    g_recording = true;
    g_failNext = false;
    g_taken.clear();
}

void stopRecording()
{
    g_recording = false;
}

void queueFailure()
{
    g_failNext = true;
}

QList<Message> taken()
{
    return std::exchange(g_taken, {});
}

} // namespace Mail

namespace FileDialogs {
namespace {
bool g_recording = false;
QQueue<QString> g_answers;
QList<Asked> g_asked;
} // namespace

QString openFile(QWidget *parent, const QString &caption, const QString &folder,
                 const QString &filter)
{
    if (g_recording) {
        g_asked.append({caption, folder, filter});
        return g_answers.isEmpty() ? QString() : g_answers.dequeue();
    }
    return QFileDialog::getOpenFileName(parent, caption, folder, forQt(filter), nullptr,
                                        QFileDialog::HideNameFilterDetails);
}

QString forQt(const QString &filter)
{
    // Each entry keeps its caption exactly as written, brackets included; Qt is given the
    // patterns in a bracket of its own, which the dialog reads and does not show. Qt wants
    // them separated by blanks, and takes "*.*" literally (it would hide names without a
    // dot): "*" means every file.
    static const QRegularExpression bracket(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    static const QRegularExpression separators(QStringLiteral("[;,\\s]+"));
    QStringList entries;
    for (const QString &entry : filter.split(QStringLiteral(";;"))) {
        const QRegularExpressionMatch m = bracket.match(entry);
        QStringList patterns;
        if (m.hasMatch())
            for (const QString &p : m.captured(1).split(separators, Qt::SkipEmptyParts))
                patterns.append(p == u"*.*" ? QStringLiteral("*") : p);
        if (patterns.isEmpty())
            patterns.append(QStringLiteral("*"));
        entries.append(entry + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return entries.join(QStringLiteral(";;"));
}

void startRecording()
{
    g_recording = true;
    g_answers.clear();
    g_asked.clear();
}

void stopRecording()
{
    g_recording = false;
}

void queueAnswer(const QString &path)
{
    g_answers.enqueue(path);
}

QList<Asked> taken()
{
    return std::exchange(g_asked, {});
}

} // namespace FileDialogs
