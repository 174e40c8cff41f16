#pragma once

#include <QDir>
#include <QWidget>

namespace gaisan::testing {

/// Saves a picture of `window` as NAME.png in the folder GAISAN_SCREENSHOT_DIR names, so that a
/// person can look at what the window test saw; does nothing when the variable is not set.
inline void saveScreenshot(QWidget& window, const QString& name) {
    const QString folder = qEnvironmentVariable("GAISAN_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    window.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

}  // namespace gaisan::testing
