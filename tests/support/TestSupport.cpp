#include "TestSupport.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace testsupport {

void isolateUserFolders()
{
    static QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    qputenv("XDG_CACHE_HOME", (home.path() + "/cache").toUtf8());
}

QString sampleDataPath(const QString& relative)
{
    const QString path = QStringLiteral(QUORVANE_SAMPLE_DATA) + '/' + relative;
    if (!QFileInfo::exists(path))
        ADD_FAILURE() << "sample file missing from tests/data: " << relative.toStdString();
    return path;
}

} // namespace testsupport
