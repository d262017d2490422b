#pragma once

#include <QString>

namespace testsupport {

// Points the standard config and data locations at a temporary folder, so no test
// reads or writes the real user's defaults or application-support folder.
void isolateUserFolders();

// The path of a read-only sample file in the shared data folder.
QString sampleDataPath(const QString& relative);

} // namespace testsupport
