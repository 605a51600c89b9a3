// SPDX-License-Identifier: GPL-3.0-or-later
// velkora-cli wires: every element with its wire numbers in the MMANA model,
// so that SOURCE_WIRE can be typed right.
#include <algorithm>

#include "Cli.h"
#include "CliSupport.h"
#include "CliVerbs.h"
#include "GenerationQueries.h"
#include "MmanaNumbering.h"
#include "ModelArguments.h"
#include "ModelPlaces.h"
#include "ReadSnapshot.h"

namespace velkora {

namespace {

QString NameOf(const NumberedElement& element) {
    const DbValue& nome = element.element.nome;
    return nome.IsNull() ? QString() : OneLine(QString::fromStdString(nome.ToText()));
}

QString WireText(const NumberedElement& element) {
    if (element.wires.empty()) return "no wires (no taper sections)";
    if (!element.HasCentreWire())
        return QString("wires %1-%2  no centre wire (its first section has length 0)")
            .arg(element.firstWire)
            .arg(element.LastWire());
    const QString first = QString::number(element.firstWire);
    const QString range = element.wires.size() == 1
                              ? "wire  " + first
                              : QString("wires %1-%2").arg(first).arg(element.LastWire());
    return QString("%1  centre %2  (source w%3c)")
        .arg(range.leftJustified(11), first.leftJustified(3), first);
}

}  // namespace

int WiresVerb(const QStringList& args, QTextStream& out) {
    const CliArguments parsed = ParseArguments(args, {"wires", {"project", "data-link"}, {}, 0});
    const CliConnection connection(DataLinkOf(parsed));
    const ReadSnapshot snapshot(connection.Db());  // one state of the store
    const ProjectRow project = ChosenProject(connection.Db(), parsed);
    SqlModelSource source(connection.Db());
    // The numbering does not depend on the axis.
    const std::vector<NumberedElement> elements = WithWhere(ProjectPlace(project.id), [&] {
        return NumberMmanaWires(project.id, source, MainLobeAxis::X);
    });
    // A listing, not a model: a name never entered shows as an empty one.
    const std::string name = project.nome.IsNull() ? "" : project.nome.ToText();
    out << OneLine(QString::fromStdString(name)) << "  (SOURCE_WIRE "
        << QString::fromStdString(project.sourceWire.IsNull() ? "" : project.sourceWire.ToText())
        << ")\n";
    if (elements.empty()) {
        out << "The project has no elements in the MMANA model\n";
        return kCliSuccess;
    }
    qsizetype width = 0;
    for (const NumberedElement& element : elements) width = std::max(width, NameOf(element).size());
    for (const NumberedElement& element : elements)
        out << NameOf(element).leftJustified(width) << "  " << WireText(element).trimmed() << "\n";
    return kCliSuccess;
}

}  // namespace velkora
