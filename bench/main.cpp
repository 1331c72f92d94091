#include "convertbench.h"
#include "memorybench.h"
#include "readbench.h"
#include "writebench.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// The core writes every step to the debug output; that is not measured here.
void dropDebugLines(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

// qmsbench [FOLDER]: runs every benchmark on files in a fresh folder inside
// FOLDER (default: the system's temporary folder).
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(dropDebugLines);
    const QString parent = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    QTemporaryDir work(QDir(parent).filePath(QStringLiteral("qmsbench-XXXXXX")));
    if (!work.isValid()) {
        std::fprintf(stderr, "qmsbench: cannot make a folder in %s\n", qPrintable(parent));
        return 1;
    }
    std::printf("Files in %s\n\n", qPrintable(work.path()));
    RunWriteBench(work.path(), 31);
    std::printf("\n");
    RunReadBench(work.path(), 41);
    std::printf("\n");
    RunMemoryBench(work.path(), 5);
    std::printf("\n");
    RunConvertBench(work.path(), 11);
    return 0;
}
