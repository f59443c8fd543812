// Paths in the dialog's labels: a path of more than 32 UTF-16 characters is shown as its
// first 10 characters, "..." and its last 20, which keeps the drive or top folder and the
// file name readable in a 215 pixel label.
#pragma once

#include <QString>

namespace settings {

QString ShortenPath(const QString& path);

}  // namespace settings
