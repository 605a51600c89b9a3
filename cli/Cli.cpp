// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cli.h"

#include <exception>

#include "CliArguments.h"
#include "CliSupport.h"
#include "CliVerbs.h"
#include "Failure.h"

namespace velkora {

namespace {

// One row a verb: its name, how it runs, its usage lines and its help.
struct Verb {
    const char* name;
    int (*run)(const QStringList& args, QTextStream& out);
    const char* usage;
    const char* help;
    // A verb that reports some failures itself and goes on.
    int (*runReporting)(const QStringList& args, QTextStream& out, QTextStream& err) = nullptr;
};

const Verb kVerbs[] = {
    {"init", InitVerb,
     "init [DIR] [--sample]\n"
     "       velkora-cli init --provider postgresql --server HOST[:PORT] --database NAME\n"
     "                        [--user NAME] [--sample] [DIR]",
     "  init [DIR]        make velkora.udl and a new database velkora.db in DIR\n"
     "                    (default: the working directory); never touches existing files.\n"
     "                    The database is named relative to DIR, so --data-link\n"
     "                    DIR/velkora.udl reaches it from anywhere\n"
     "    --provider postgresql --server HOST[:PORT] --database NAME [--user NAME]\n"
     "                    instead make the tables in that database on a PostgreSQL\n"
     "                    server (refused when any of them exists) and a velkora.udl\n"
     "                    naming it, without a password; the login's password comes\n"
     "                    from ~/.pgpass or PGPASSWORD. HOST may be a socket folder\n"
     "    --sample        fill the new database with published designs\n"},
    {"projects", ProjectsVerb, "projects [--data-link FILE]",
     "  projects          list ID, name and number of elements of every project\n"},
    {"generate", GenerateVerb,
     "generate --target mmana|eznec|nec --axis x|y --output PATH [--project ID]\n"
     "                            [--taper corrected|exact] [--ground free|perfect|real]\n"
     "                            [--decimal-separator C] [--thousands-separator C] "
     "[--data-link FILE]",
     "  generate          write a model of one project to PATH\n"
     "    --target        mmana, eznec or nec (a NEC-2 deck for nec2c and xnec2c)\n"
     "    --axis          x or y: the axis along which the boom lies\n"
     "    --project       the project's ID (default: the first project)\n"
     "    --taper         nec only: corrected (default) makes each element one uniform\n"
     "                    wire that resonates as the tapered one; exact keeps every tube\n"
     "    --ground        nec only: free space (default), perfect or average real ground\n"
     "    --decimal-separator, --thousands-separator\n"
     "                    one character each instead of the locale's (an empty\n"
     "                    thousands separator means none); neither a digit nor a\n"
     "                    sign, and not both the same\n"},
    {"solve", SolveVerb,
     "solve [--project ID] [--axis x|y] [--taper corrected|exact]\n"
     "                            [--ground free|perfect|real] [--sweep START:STOP:STEP]\n"
     "                            [--z0 OHMS] [--timeout SECONDS] [--json [--pattern] | --csv]\n"
     "                            [--data-link FILE]",
     "  solve             run the NEC-2 model of a project through nec2c and print per\n"
     "                    frequency the forward gain, front-to-back, feed impedance and SWR\n"
     "                    (the table), and front-to-rear, beamwidths, side lobe and\n"
     "                    take-off (--json, --csv)\n"
     "    --sweep         frequencies in MHz (default: F0 alone)\n"
     "    --z0            the impedance the SWR is taken against (default 50 ohm)\n"
     "    --json          JSON instead of a table, every figure by its key (man\n"
     "                    velkora-cli defines them)\n"
     "    --csv           the same as CSV: a header row of the keys, a row per frequency\n"
     "    --pattern       with --json: both pattern cuts, [angle, dBi] at 1 deg\n"
     "    --timeout       the seconds nec2c may run (default 300); Ctrl-C, SIGTERM,\n"
     "                    SIGHUP or a closed output pipe also end it\n"
     "                    A sweep runs as one nec2c per core on parts of the band.\n"},
    {"check", CheckVerb, "check [--project ID] [--data-link FILE]",
     "  check             list what may make a project's models wrong: the source off\n"
     "                    the model's wires or a wire's centre, an element longer than\n"
     "                    its schedule or without wires, values the writers refuse, two\n"
     "                    elements at one place, NEC-2 segments shorter than 8 wire\n"
     "                    radii. Exit status 0 when clean, 1 with warnings, 3 when the\n"
     "                    check could not run\n"},
    {"plot", PlotVerb,
     "plot --kind azimuth|elevation|swr|smith|geometry --output FILE.svg|FILE.png\n"
     "                            [--project ID] [--axis x|y] [--taper corrected|exact]\n"
     "                            [--ground free|perfect|real] [--sweep START:STOP:STEP]\n"
     "                            [--z0 OHMS] [--timeout SECONDS] [--data-link FILE]",
     "  plot              draw one picture of a project as an SVG or PNG file: the\n"
     "                    azimuth or elevation pattern on the ARRL log scale, SWR with\n"
     "                    R and X, a Smith chart, or the antenna to scale (geometry,\n"
     "                    the only kind that needs no nec2c). Takes solve's options;\n"
     "                    the sweep defaults to F0 - 1.5 % to F0 + 1.5 %\n"},
    {"report", ReportVerb,
     "report --output FILE.html [--project ID]... [--axis x|y]\n"
     "                            [--taper corrected|exact] [--ground free|perfect|real]\n"
     "                            [--z0 OHMS] [--timeout SECONDS] [--data-link FILE]",
     "  report            write one printable, self-contained HTML page with each\n"
     "                    project's figures at F0 and at its band's ends, its five\n"
     "                    pictures, element table and cut list (default: every project;\n"
     "                    each solved from F0 - 1.5 % to F0 + 1.5 % with nec2c)\n"},
    {"wires", WiresVerb, "wires [--project ID] [--data-link FILE]",
     "  wires             every element with its wire numbers in the MMANA model, for\n"
     "                    SOURCE_WIRE\n"},
    {"copy", CopyVerb, "copy --from A.udl --to B.udl [--project ID]...",
     "  copy              copy projects with their elements, and the schedules they\n"
     "                    use with their sections, from the store of A.udl into the\n"
     "                    store of B.udl, in one transaction; new keys are given and\n"
     "                    every element keeps its schedule. Copying twice makes two\n"
     "                    copies; copying a store into itself is refused. Use it to\n"
     "                    move designs to a server and back, or to keep a backup\n"
     "    --project ID    copy only this project (may be repeated); without it every\n"
     "                    project and every schedule is copied\n"},
    {"import", nullptr, "import FILE... [--format maa|yag|nec] [--json] [--data-link FILE]",
     "  import            make each FILE (MMANA .maa, Yagi Optimizer .yag/.ant/.yo,\n"
     "                    NEC-2 .nec) a new project, with its elements and the taper\n"
     "                    schedules they need (an identical stored schedule is used);\n"
     "                    prints the new project IDs and what the file held that is not\n"
     "                    kept. A file that cannot be read with certainty is refused\n"
     "                    (FILE:LINE: what is wrong) and leaves nothing behind; the\n"
     "                    other files still go in, and the exit status is 1\n"
     "    --format        the files' format, when neither extension nor content tells\n"
     "    --json          {\"projects\": [ID, ...]}; notes go to standard error\n",
     ImportVerb},
    {"optimize", OptimizeVerb,
     "optimize --project ID [--band START:STOP:STEP]\n"
     "                            [--goal gain=W,fb=W,fr=W,swr=W,x=W] [--max-swr S] [--z0 OHMS]\n"
     "                            [--vary lengths,positions] [--range PERCENT] [--runs N]\n"
     "                            [--seed S] [--name NAME] [--json] [--data-link FILE]",
     "  optimize          search the elements' half-lengths and positions of a project\n"
     "                    for the goals with nec2c and store the best design as a new\n"
     "                    project \"NAME (optimized)\" with the same schedules; the\n"
     "                    project itself is never changed. The boom never grows and\n"
     "                    the elements keep their order. Ctrl-C stops early and keeps\n"
     "                    the best design so far\n"
     "    --band          frequencies in MHz the goals look at (default: F0 alone)\n"
     "    --goal          weights of average gain, worst F/B, worst F/R and worst SWR\n"
     "                    over the band and |X| at F0 (default gain=1,fb=1)\n"
     "    --max-swr       a design whose SWR goes above S anywhere in the band never wins\n"
     "    --vary          what changes (default: lengths,positions)\n"
     "    --range         how far each value may move from the start, in percent\n"
     "                    (default 10, at most 50)\n"
     "    --runs, --seed  the budget of nec2c runs (default 600) and the seed of the\n"
     "                    restarts (default 1): the same seed gives the same design\n"},
};

QString Usage() {
    QString text;
    for (const Verb& verb : kVerbs)
        text +=
            QString(text.isEmpty() ? "Usage: " : "       ") + "velkora-cli " + verb.usage + "\n";
    return text + "       velkora-cli --help | --version\n";
}

QString Help() {
    QString text =
        "\n"
        "Keeps Yagi antenna designs in a database and writes models of them for\n"
        "MMANA (.maa), EZNEC (.txt) and NEC-2 (.nec), without the window, and checks\n"
        "them with the NEC-2 engine nec2c.\n"
        "\n";
    for (const Verb& verb : kVerbs) text += verb.help;
    return text +
           "  --data-link FILE  the data-link file (default: velkora.udl in the working "
           "directory)\n"
           "\n"
           "Exit status: 0 on success, 1 on a failure, 2 on a usage error.\n";
}

int RunVerb(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.isEmpty()) throw UsageError("no command given");
    const QString name = args.first();
    const QStringList rest = args.mid(1);
    if (name == "--help" || name == "-h" || rest.contains("--help") || rest.contains("-h")) {
        out << Usage() << Help();
        return kCliSuccess;
    }
    if (name == "--version") {
        out << "velkora-cli " << VELKORA_VERSION << "\n";
        return kCliSuccess;
    }
    for (const Verb& verb : kVerbs)
        if (name == verb.name)
            return verb.runReporting != nullptr ? verb.runReporting(rest, out, err)
                                                : verb.run(rest, out);
    throw UsageError(QString("unknown command \"%1\"").arg(name));
}

}  // namespace

int RunCli(const QStringList& args, QTextStream& out, QTextStream& err) {
    int status = kCliFailure;
    try {
        status = RunVerb(args, out, err);
    } catch (const UsageError& e) {
        err << "velkora-cli: " << e.Message() << "\n" << Usage();
        status = kCliUsage;
    } catch (const Failure& e) {
        err << FailureLine(e.Where(), e.Message()) << "\n";
        status = kCliFailure;
    } catch (const std::exception& e) {
        err << FailureLine({}, e.what()) << "\n";
        status = kCliFailure;
    }
    out.flush();
    err.flush();
    return status;
}

}  // namespace velkora
