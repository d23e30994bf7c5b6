#pragma once

#include <QString>

/// The data that scripts/build-data makes for this build (refdata/, samples/ and the gold files in
/// data/), in the folder that CMake's JCT_DATA_DIR names.
namespace BuiltData {

/// The folder itself; a run started there finds the gold files in data/.
QString dir();
/// The path of relative in the folder. A missing file fails the calling test: a data build that
/// did not run is never a reason to skip.
QString path(const QString &relative);

} // namespace BuiltData
