#include "marketdata/MarketListLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include "base/CText.h"

namespace {

// A FIFO or a folder of that name must not count: only a file that can be read.
bool IsReadableFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isReadable();
}

// The file as found in `folder` ("" for the working folder) under the
// letter-case rule, with the folder in front; empty when it is not there.
QString FindInFolder(const QString& folder, const QString& fileName)
{
    const QString prefix = folder.isEmpty() ? QString() : folder + '/';
    if (IsReadableFile(prefix + fileName))
        return prefix + fileName;
    // The lists are named in upper case, but the file system tells letter
    // case apart: any name differing only in case, in a stable order.
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    QStringList names =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    names.sort(Qt::CaseSensitive);
    const std::string encodedFileName = QFile::encodeName(fileName).toStdString();
    for (const QString& name : names) {
        if (name != fileName && EqualsIgnoringAsciiCase(QFile::encodeName(name).toStdString(), encodedFileName) &&
            IsReadableFile(prefix + name))
            return prefix + name;
    }
    return {};
}

}  // namespace

std::string MarketListLocation(const std::string& fileName)
{
    if (fileName.empty())
        return {};
    const QString name = QFile::decodeName(QByteArray::fromStdString(fileName));
    QStringList folders{QString()};
    // A name with a folder in it is read relative to the working folder only:
    // it must not reach out of the list folders.
    if (!name.contains('/')) {
        const QString userData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        if (!userData.isEmpty())
            folders << userData + QStringLiteral("/lists");
        folders << QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("quorelle/lists"),
                                             QStandardPaths::LocateDirectory);
    }
    for (const QString& folder : folders) {
        const QString path = FindInFolder(folder, name);
        if (!path.isEmpty())
            return QFile::encodeName(path).toStdString();
    }
    return {};
}
