#pragma once

#include <QString>

namespace testsupport {

// Points the standard config, data and cache locations at a temporary folder, so no test
// reads or writes the real user's defaults or application-support folder.
void isolateUserFolders();

// The path of a read-only sample file in tests/data; a missing file is a test failure that names it.
QString sampleDataPath(const QString& relative);

} // namespace testsupport
