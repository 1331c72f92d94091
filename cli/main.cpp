#include "commandline.h"
#include "console.h"

#include "core/cleanupregistry.h"
#include "core/nametext.h"

#include <QCoreApplication>

#include <csignal>
#include <optional>

namespace {

// A path is acted on exactly as given: an argument whose bytes do not survive
// the way to text and back (not valid UTF-8) would name another file.
std::optional<int> refuseInexactArgument(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        bool exact = false;
        NameFromBytes(raw, &exact);
        if (exact)
            continue;
        QString shown;
        for (const char byte : raw) {
            const uchar u = uchar(byte);
            shown += u < 0x80 ? QString(QLatin1Char(byte))
                              : QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        }
        return UsageError(QStringLiteral("argument \"%1\" is not valid UTF-8; qmstool acts only on "
                                         "names it can use exactly as given")
                              .arg(shown));
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[])
{
    GuardStandardDescriptors();
    // A reader that goes away (qmstool convert -o - IN | head) makes a write
    // fail, said and cleaned up as any other failure, rather than end the
    // process before its temporary files are removed.
    std::signal(SIGPIPE, SIG_IGN);
    // Before anything that may leave a temporary file or folder behind: the
    // sound file and converted copies being written, the scratch folder.
    RemoveTemporaryFilesOnSignals();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qmstool"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QMS_VERSION));
    SetOutputMode(OutputMode());
    if (const auto refused = refuseInexactArgument(argc, argv))
        return FinishOutput(*refused);
    // Decoded here, not by QCoreApplication::arguments(): a name keeps a
    // leading U+FEFF.
    return FinishOutput(RunCommandLine(ArgumentNames(argc, argv)));
}
