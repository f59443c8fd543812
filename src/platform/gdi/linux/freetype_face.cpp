#include "platform/gdi/linux/freetype_face.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include FT_SIZES_H

#include "platform/log/log.h"

namespace platform::gdi {
namespace {

// Faces read their files with pread rather than through a mapping of the whole file: a
// mapped font of several megabytes becomes resident wherever its scattered glyphs are (and
// the kernel maps the pages around each one touched), while read, only the tables FreeType
// keeps and the glyphs being loaded take memory.
unsigned long ReadFont(FT_Stream stream, unsigned long offset, unsigned char* buffer,
                       unsigned long count) {
  // A count of 0 is a seek: 0 means it succeeded.
  if (count == 0) return offset <= stream->size ? 0 : 1;
  const int fd = static_cast<int>(stream->descriptor.value);
  unsigned long done = 0;
  while (done < count) {
    const ssize_t n = pread(fd, buffer + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<unsigned long>(n);
  }
  return done;
}

void CloseFont(FT_Stream stream) {
  if (stream->descriptor.value >= 0) close(static_cast<int>(stream->descriptor.value));
  stream->descriptor.value = -1;
}

// The stream of `file`, open; null when the file cannot be read.
std::shared_ptr<FT_StreamRec> OpenFont(const std::string& file) {
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (fstat(fd, &info) != 0 || info.st_size <= 0) {
    close(fd);
    return nullptr;
  }
  auto stream = std::make_shared<FT_StreamRec>();
  stream->size = static_cast<unsigned long>(info.st_size);
  stream->descriptor.value = fd;
  stream->read = ReadFont;
  stream->close = CloseFont;
  return stream;
}

}  // namespace

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
  const std::shared_ptr<FT_StreamRec> stream = OpenFont(file);
  FT_Open_Args args{};
  args.flags = FT_OPEN_STREAM;
  args.stream = stream.get();
  if (stream != nullptr && FT_Open_Face(library_.get(), &args, index, &face) == 0) {
    // The stream outlives the face, which closes it.
    SharedLibrary library = library_;
    shared = SharedFace(face, [library, stream](FT_Face f) { FT_Done_Face(f); });
  } else {
    if (stream != nullptr) CloseFont(stream.get());
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
