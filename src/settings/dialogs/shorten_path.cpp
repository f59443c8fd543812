#include "settings/dialogs/shorten_path.h"

namespace settings {

QString ShortenPath(const QString& path) {
  if (path.size() <= 32) return path;
  return path.left(10) + QStringLiteral("...") + path.right(20);
}

}  // namespace settings
