#include "markets/MarketListLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace {

// A FIFO or a folder of that name must not count: only a file that can be read.
bool IsReadableFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isReadable();
}

// Equal but for the letter case of ASCII letters; other characters must match.
bool EqualIgnoringAsciiCase(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        const auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; };
        if (fold(x) != fold(y))
            return false;
    }
    return true;
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
    for (const QString& name : names) {
        if (name != fileName && EqualIgnoringAsciiCase(name, fileName) && IsReadableFile(prefix + name))
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
