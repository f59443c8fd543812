// FreeType ownership: the library and the faces opened from it. A face is opened once per
// (file, index) and shared; each holder keeps the library alive, so faces may outlive the
// cache that opened them.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace platform::gdi {

using SharedLibrary = std::shared_ptr<FT_LibraryRec_>;
using SharedFace = std::shared_ptr<FT_FaceRec_>;

class FaceCache {
 public:
  FaceCache();  // throws std::runtime_error when FreeType cannot start

  // The face of `file` at `index`, or nullptr (logged once) when it cannot be opened.
  SharedFace Get(const std::string& file, int index);

 private:
  SharedLibrary library_;
  std::map<std::pair<std::string, int>, SharedFace> faces_;
};

// A size object of one face: every font instance has its own, so switching between fonts
// of one face does not re-run the face's hinting set-up.
class FaceSize {
 public:
  FaceSize(SharedFace face, FT_F26Dot6 pixelsPerEm);
  ~FaceSize();
  FaceSize(const FaceSize&) = delete;
  FaceSize& operator=(const FaceSize&) = delete;

  bool ok() const { return size_ != nullptr; }
  FT_Face face() const { return face_.get(); }
  // Makes this size the face's current one; every glyph load must follow this call.
  void Activate() const;

 private:
  SharedFace face_;  // declared first: the size dies before the face
  FT_Size size_ = nullptr;
};

}  // namespace platform::gdi
