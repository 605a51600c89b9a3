// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of one velkora-cli verb: options of the forms
// "--name value" and "--name=value", flags, and plain arguments.
#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace velkora {

// A command line that does not fit its verb; the tool prints the message
// with the usage and exits with status 2.
class UsageError : public std::runtime_error {
  public:
    explicit UsageError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString Message() const { return QString::fromStdString(what()); }
};

struct CliArguments {
    QString verb;
    QStringList positional;
    QHash<QString, QString> values;     // option name without "--" -> (last) value
    QHash<QString, QStringList> lists;  // option name -> every value, in order
    QSet<QString> flags;

    bool Has(const QString& option) const {
        return values.contains(option) || flags.contains(option);
    }
    QString Value(const QString& option) const { return values.value(option); }
    // The value of an option the verb cannot do without.
    QString Required(const QString& option) const;
};

struct VerbSyntax {
    QString verb;
    QStringList valueOptions;  // names without "--"
    QStringList flags;
    int maxPositional = 0;
    QStringList repeatable = {};  // value options that may be given more than once
};

// Throws UsageError for an unknown or repeated option, a missing value, a
// value given to a flag, or too many plain arguments.
CliArguments ParseArguments(const QStringList& args, const VerbSyntax& syntax);

}  // namespace velkora
