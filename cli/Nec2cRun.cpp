#include "Nec2cRun.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "Failure.h"

namespace velkora {

namespace {

std::string ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

void WriteAll(const QString& path, const std::string& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.flush())
        throw Failure("Could not write the deck for nec2c: " + file.errorString().toStdString());
}

int FrequenciesIn(const std::string& report) {
    int count = 0;
    for (std::size_t at = report.find("FREQUENCY :"); at != std::string::npos;
         at = report.find("FREQUENCY :", at + 1))
        ++count;
    return count;
}

// nec2c writes its complaints about a deck at the end of the report; a crash
// leaves a line on its error output.
std::string Complaint(const std::string& report, const QByteArray& errors) {
    const QString error = QString::fromLocal8Bit(errors).simplified();
    if (!error.isEmpty()) return error.toStdString();
    const QStringList lines = QString::fromStdString(report).split('\n', Qt::SkipEmptyParts);
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
        if (!line->simplified().isEmpty()) return line->simplified().toStdString();
    return "no report";
}

}  // namespace

std::string RunNec2c(const std::string& deck, const std::function<void(int done)>& progress) {
    const QString program = QStandardPaths::findExecutable("nec2c");
    if (program.isEmpty())
        throw Failure(
            "nec2c was not found on PATH; install the NEC-2 engine with "
            "\"apt-get install nec2c\" (Debian package nec2c)");
    QTemporaryDir folder;
    if (!folder.isValid())
        throw Failure("Could not make a temporary folder for nec2c: " +
                      folder.errorString().toStdString());
    const QString deckPath = folder.filePath("model.nec");
    const QString reportPath = folder.filePath("model.out");
    WriteAll(deckPath, deck);

    QProcess nec2c;
    nec2c.setProcessChannelMode(QProcess::SeparateChannels);
    nec2c.start(program, {"-i", deckPath, "-o", reportPath});
    if (!nec2c.waitForStarted())
        throw Failure("Could not run nec2c: " + nec2c.errorString().toStdString());
    while (nec2c.state() != QProcess::NotRunning && !nec2c.waitForFinished(1000))
        progress(FrequenciesIn(ReadAll(reportPath)));
    const std::string report = ReadAll(reportPath);
    if (nec2c.exitStatus() != QProcess::NormalExit || nec2c.exitCode() != 0)
        throw Failure("nec2c refused the deck: " + Complaint(report, nec2c.readAllStandardError()));
    return report;
}

}  // namespace velkora
