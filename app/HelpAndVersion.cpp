#include "HelpAndVersion.h"

#include "ProgramIdentity.h"

#include <QTextStream>
#include <cstdio>

namespace {

QString helpText() {
    return QStringLiteral(
        "Usage: vantorel [--help | --version] [Qt options]\n"
        "\n"
        "Opens Vantorel's entry window. Type the particulars of a private vehicle sale (buyer,\n"
        "seller, witness, the vehicle, the price and the conditions of sale), and Vantorel\n"
        "makes the Motor Vehicle Bill of Sale as a Word document, shows its pages, and saves,\n"
        "prints or exports it as a PDF. What you type is kept in ~/.config/Marrowind.ini and\n"
        "comes back at the next start.\n"
        "\n"
        "  --help, -h   show this text\n"
        "  --version    show the version\n"
        "\n"
        "Qt's own options are understood as well, for example -platform offscreen or\n"
        "-style fusion. The same bill without the window, for scripts and batches:\n"
        "vantorel-bill (see vantorel-bill --help). The manual: man vantorel.\n");
}

} // namespace

std::optional<int> answerHelpOrVersion(const QStringList& arguments, QTextStream& out) {
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h")))
        out << helpText();
    else if (arguments.contains(QStringLiteral("--version")))
        out << "vantorel " << programVersion << '\n';
    else
        return std::nullopt;
    out.flush();
    return 0;
}

std::optional<int> answerHelpOrVersion(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QTextStream out(stdout);
    return answerHelpOrVersion(arguments, out);
}
