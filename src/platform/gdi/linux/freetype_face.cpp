#include "platform/gdi/linux/freetype_face.h"

#include <stdexcept>

#include FT_SIZES_H

#include "platform/log/log.h"

namespace platform::gdi {

FaceCache::FaceCache() {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) throw std::runtime_error("FreeType cannot be started");
  library_ = SharedLibrary(library, [](FT_Library l) { FT_Done_FreeType(l); });
}

SharedFace FaceCache::Get(const std::string& file, int index) {
  const auto key = std::make_pair(file, index);
  if (auto it = faces_.find(key); it != faces_.end()) return it->second;
  FT_Face face = nullptr;
  SharedFace shared;
  if (FT_New_Face(library_.get(), file.c_str(), index, &face) == 0) {
    SharedLibrary library = library_;
    shared = SharedFace(face, [library](FT_Face f) { FT_Done_Face(f); });
  } else {
    platform::Log("Font file \"" + file + "\" (face " + std::to_string(index) +
                  ") cannot be opened");
  }
  faces_.emplace(key, shared);  // a failure is remembered too: it is not retried per glyph
  return shared;
}

FaceSize::FaceSize(SharedFace face, FT_F26Dot6 pixelsPerEm) : face_(std::move(face)) {
  if (!face_) return;
  FT_Size size = nullptr;
  if (FT_New_Size(face_.get(), &size) != 0) return;
  FT_Activate_Size(size);
  FT_Size_RequestRec request{};
  request.type = FT_SIZE_REQUEST_TYPE_NOMINAL;
  request.width = 0;
  request.height = pixelsPerEm;
  if (FT_Request_Size(face_.get(), &request) != 0) {
    FT_Done_Size(size);
    return;
  }
  size_ = size;
}

FaceSize::~FaceSize() {
  if (size_) FT_Done_Size(size_);
}

void FaceSize::Activate() const {
  if (size_) FT_Activate_Size(size_);
}

}  // namespace platform::gdi
