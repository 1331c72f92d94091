#include "preparationoptions.h"

#include "console.h"

#include <QLocale>

namespace {

const QString TrimOption = QStringLiteral("trim");
const QString LoudnessOption = QStringLiteral("loudness");
const QString PeakOption = QStringLiteral("peak");
const QString FadeOption = QStringLiteral("fade");
const QString FadeInOption = QStringLiteral("fade-in");
const QString FadeOutOption = QStringLiteral("fade-out");
const QString FitOption = QStringLiteral("fit");

// The value of `option`, a number in C's notation ("-20", "0.5"); a usage
// error when it is something else.
std::optional<int> readNumber(const Invocation &invocation, const QString &option, double &number)
{
    const QString text = invocation.Value(option);
    bool ok = false;
    number = QLocale::c().toDouble(text, &ok);
    if (ok)
        return std::nullopt;
    return UsageError(QStringLiteral("--%1 takes a number, not \"%2\"").arg(option, text));
}

} // namespace

const QList<CommandOption> &PreparationOptions()
{
    static const QList<CommandOption> options{
        {{TrimOption},
         QStringLiteral("Trim the silence at the start and the end: what stays under <dB> dBFS "
                        "(default %1), but for %2 ms at each edge.")
             .arg(Preparation::DefaultTrimLevel)
             .arg(Preparation::TrimMarginMilliseconds),
         QStringLiteral("dB"),
         ValueKind::None,
         true},
        {{LoudnessOption},
         QStringLiteral("Set the integrated loudness to <LUFS> (-70 to 0), as far as a true peak "
                        "of at most %1 dBTP lets it.")
             .arg(Preparation::Ceiling),
         QStringLiteral("LUFS")},
        {{PeakOption},
         QStringLiteral("Set the sample peak to <dBFS> (at most 0); not with --loudness."),
         QStringLiteral("dBFS")},
        {{FadeOption},
         QStringLiteral("Fade in and out over <ms> milliseconds, after trimming."),
         QStringLiteral("ms")},
        {{FadeInOption},
         QStringLiteral("Fade in over <ms> milliseconds (over --fade)."),
         QStringLiteral("ms")},
        {{FadeOutOption},
         QStringLiteral("Fade out over <ms> milliseconds (over --fade)."),
         QStringLiteral("ms")},
        {{FitOption},
         QStringLiteral("Cut a sound too long for a layer to the longest that fits, with a %1 ms "
                        "fade-out, instead of refusing it.")
             .arg(Preparation::CutFadeMilliseconds)},
    };
    return options;
}

QString PreparationForm()
{
    return QStringLiteral("[--trim[=DB]] [--loudness=LUFS | --peak=DBFS] [--fade=MS] [--fit]");
}

std::optional<int> ReadPreparation(const Invocation &invocation, Preparation &preparation)
{
    preparation = Preparation();
    for (const CommandOption &option : PreparationOptions()) {
        if (invocation.Values(option.Names.first()).size() > 1)
            return UsageError(QStringLiteral("give --%1 once").arg(option.Names.first()));
    }
    double number = 0;
    if (invocation.IsSet(TrimOption)) {
        preparation.Trim = Preparation::DefaultTrimLevel;
        if (!invocation.Value(TrimOption).isEmpty()) {
            if (const auto usage = readNumber(invocation, TrimOption, number))
                return usage;
            preparation.Trim = number;
        }
    }
    const std::pair<const QString &, std::optional<double> &> levels[] = {
        {LoudnessOption, preparation.Loudness}, {PeakOption, preparation.Peak}};
    for (const auto &[option, level] : levels) {
        if (!invocation.IsSet(option))
            continue;
        if (const auto usage = readNumber(invocation, option, number))
            return usage;
        level = number;
    }
    const std::pair<const QString &, double &> fades[] = {
        {FadeOption, preparation.FadeIn}, // both, then either on its own
        {FadeInOption, preparation.FadeIn},
        {FadeOutOption, preparation.FadeOut}};
    for (const auto &[option, fade] : fades) {
        if (!invocation.IsSet(option))
            continue;
        if (const auto usage = readNumber(invocation, option, number))
            return usage;
        fade = number;
        if (option == FadeOption)
            preparation.FadeOut = number;
    }
    preparation.Fit = invocation.IsSet(FitOption);
    if (const QString problem = preparation.Problem(); !problem.isEmpty())
        return UsageError(problem);
    return std::nullopt;
}

QString FirstPreparationOption(const Invocation &invocation)
{
    for (const CommandOption &option : PreparationOptions()) {
        if (invocation.IsSet(option.Names.first()))
            return QStringLiteral("--") + option.Names.first();
    }
    return QString();
}
