#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace salvora {

std::vector<std::string> foldersToOpen(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Gets files back out of the iPhone backups kept on this computer."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("folder"),
        QStringLiteral("A backup folder, or a folder of backups, to open."),
        QStringLiteral("[folder…]"));
    parser.process(arguments);
    std::vector<std::string> folders;
    for (const QString& folder : parser.positionalArguments())
        folders.push_back(QFileInfo(folder).absoluteFilePath().toStdString());
    return folders;
}

}  // namespace salvora
