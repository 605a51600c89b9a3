// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliArguments.h"

namespace velkora {

QString CliArguments::Required(const QString& option) const {
    if (!values.contains(option)) throw UsageError(QString("%1 needs --%2").arg(verb, option));
    return values.value(option);
}

namespace {

void TakeOption(const QString& arg, const QStringList& args, qsizetype& i, const VerbSyntax& syntax,
                CliArguments& parsed) {
    const qsizetype equals = arg.indexOf('=');
    const QString name = arg.mid(2, equals < 0 ? -1 : equals - 2);
    if (parsed.Has(name) && !syntax.repeatable.contains(name))
        throw UsageError(QString("--%1 is given twice").arg(name));
    if (syntax.flags.contains(name)) {
        if (equals >= 0) throw UsageError(QString("--%1 takes no value").arg(name));
        parsed.flags.insert(name);
        return;
    }
    if (!syntax.valueOptions.contains(name))
        throw UsageError(QString("%1 knows no option --%2").arg(syntax.verb, name));
    if (equals < 0 && i + 1 >= args.size())
        throw UsageError(QString("--%1 needs a value").arg(name));
    const QString value = equals >= 0 ? arg.mid(equals + 1) : args[++i];
    parsed.values.insert(name, value);
    parsed.lists[name] << value;
}

}  // namespace

CliArguments ParseArguments(const QStringList& args, const VerbSyntax& syntax) {
    CliArguments parsed;
    parsed.verb = syntax.verb;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.startsWith("--")) {
            TakeOption(arg, args, i, syntax, parsed);
        } else if (!optionsEnded && arg.startsWith('-') && arg.size() > 1) {
            throw UsageError(QString("%1 knows no option %2").arg(syntax.verb, arg));
        } else {
            if (parsed.positional.size() >= syntax.maxPositional)
                throw UsageError(QString("%1 takes no argument \"%2\"").arg(syntax.verb, arg));
            parsed.positional << arg;
        }
    }
    return parsed;
}

}  // namespace velkora
