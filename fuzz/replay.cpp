// Runs a fuzz target's checks over files, without libFuzzer: built with the normal
// compiler, it replays each committed corpus (seeds and the inputs of past findings) as
// part of the test suite.
//
//   replay_<target> <file or folder>...

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        QStringList paths;
        if (QFileInfo(arg).isDir()) {
            for (const QString &name : QDir(arg).entryList(QDir::Files, QDir::Name))
                paths.append(arg + u'/' + name);
        } else {
            paths.append(arg);
        }
        for (const QString &path : paths) {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
                return 1;
            }
            const QByteArray bytes = f.readAll();
            std::printf("%s\n", qPrintable(path));
            std::fflush(stdout);
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
            ++files;
        }
    }
    std::printf("%d inputs checked\n", files);
    return files > 0 ? 0 : 1;
}
