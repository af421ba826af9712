// quorelle-quote: prints the quotes of symbols as JSON lines, through the
// same quote sources and settings as Quorelle. See QuoteCommand.h.

#include <clocale>
#include <iostream>

#include <QCoreApplication>

#include "QuoteCommand.h"
#include "base/Settings.h"

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    // The application's data folder: history is cached where Quorelle keeps it.
    QCoreApplication::setOrganizationName(QString::fromLatin1(kOrganizationName));
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    std::setlocale(LC_NUMERIC, "C");
    std::vector<std::string> arguments(argv + 1, argv + argc);
    QuoteCommandLine line;
    std::string error;
    if (!ParseQuoteCommandLine(arguments, line, error)) {
        std::cerr << "quorelle-quote: " << error << "\n" << QuoteCommandUsage();
        return kBadUsage;
    }
    return RunQuoteCommand(line, std::cout, std::cerr);
}
