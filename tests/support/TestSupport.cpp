#include "TestSupport.h"

#include <QTemporaryDir>

namespace testsupport {

void isolateUserFolders()
{
    static QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
}

QString sampleDataPath(const QString& relative)
{
    return QStringLiteral(QUORVANE_SAMPLE_DATA) + '/' + relative;
}

} // namespace testsupport
