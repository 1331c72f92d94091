#include "convertbench.h"
#include "memorybench.h"
#include "preparebench.h"
#include "readbench.h"
#include "writebench.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

namespace {

// The core writes every step to the debug output; that is not measured here.
void dropDebugLines(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

// qmsbench [FOLDER [NAME...]]: runs every benchmark, or those named (write,
// read, memory, convert, prepare), on files in a fresh folder inside FOLDER
// (default: the system's temporary folder).
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(dropDebugLines);
    const QStringList arguments = app.arguments().mid(1);
    const QString parent = arguments.value(0, QDir::tempPath());
    const QStringList names = arguments.mid(1);
    QTemporaryDir work(QDir(parent).filePath(QStringLiteral("qmsbench-XXXXXX")));
    if (!work.isValid()) {
        std::fprintf(stderr, "qmsbench: cannot make a folder in %s\n", qPrintable(parent));
        return 1;
    }
    const std::vector<std::pair<QString, std::function<void()>>> benchmarks{
        {QStringLiteral("write"), [&] { RunWriteBench(work.path(), 31); }},
        {QStringLiteral("read"), [&] { RunReadBench(work.path(), 41); }},
        {QStringLiteral("memory"), [&] { RunMemoryBench(work.path(), 5); }},
        {QStringLiteral("convert"), [&] { RunConvertBench(work.path(), 11); }},
        {QStringLiteral("prepare"), [&] { RunPrepareBench(work.path(), 33); }},
    };
    std::printf("Files in %s\n", qPrintable(work.path()));
    for (const auto &[name, run] : benchmarks) {
        if (names.isEmpty() || names.contains(name)) {
            std::printf("\n");
            run();
        }
    }
    return 0;
}
