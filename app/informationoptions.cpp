#include "informationoptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstring>

namespace {

bool IsInformationOption(const char *argument)
{
    for (const char *option : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
        if (std::strcmp(argument, option) == 0)
            return true;
    }
    return false;
}

} // namespace

void AnswerInformationOptions(int argc, char *argv[])
{
    bool asked = false;
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        asked = asked || IsInformationOption(argv[i]);
    if (!asked)
        return;

    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("QuelmarR4FileGen"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QMS_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "QMWindow",
        "Packs up to eight WAV layers into one .qms sound file, in a window.\n\n"
        "Files given are opened as the window opens: WAV files (and other audio files,\n"
        "offered for conversion) are added as layers in order; a .qms sound file is\n"
        "opened on its own, its layers loaded with their thresholds."));
    parser.addPositionalArgument(
        QStringLiteral("files"),
        QCoreApplication::translate("QMWindow", "WAV or audio files to add, or one .qms file."),
        QStringLiteral("[files...]"));
    parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    // Qt's own options (-platform, -style, ...) and the files are no concern
    // here: they are not refused as unknown. Both answers end the program.
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(version))
        parser.showVersion();
    parser.showHelp(0);
}
