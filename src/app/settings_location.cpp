#include "app/settings_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kv {

namespace {
const QString kSettingsName = QStringLiteral("korvanthiel.ini");
}

QString ChooseSettingsFile(const QString& programFolder, const QString& configFolder) {
    const QString beside = QDir(programFolder).filePath(kSettingsName);
    if (QFileInfo::exists(beside) || QFileInfo(programFolder).isWritable()) return beside;
    return QDir(configFolder).filePath(kSettingsName);
}

QString DefaultSettingsFile() {
    return ChooseSettingsFile(QCoreApplication::applicationDirPath(),
                              QStandardPaths::writableLocation(
                                  QStandardPaths::AppConfigLocation));
}

} // namespace kv
