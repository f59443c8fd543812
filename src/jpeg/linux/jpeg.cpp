// Every libjpeg call runs inside a boundary whose frames hold only plain C data, so the
// library's error exit can jump back there without skipping a C++ destructor.
#include "jpeg/jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <jpeglib.h>

namespace jpeg {
namespace {

// A progressive file may legally hold a great many scans, each re-walking the whole
// coefficient buffer; no real picture needs more than a few dozen.
constexpr int kMaxScans = 200;
// Bound on libjpeg's whole-image buffers (a multi-scan file keeps every coefficient): the
// largest accepted picture needs about 300 MB there.
constexpr long kMaxDecoderMemory = 320L * 1024 * 1024;

// Plain data throughout (value-initialised to zeros by their owners). Everything the error and
// progress callbacks need, reachable from the libjpeg struct through `client_data`. Plain data
// only: a longjmp lands in frames that hold this.
struct Guard {
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  Guard* guard = static_cast<Guard*>(cinfo->client_data);
  (*cinfo->err->format_message)(cinfo, guard->message);
  std::longjmp(guard->jump, 1);
}

// Warnings (corrupt-data notes, premature end of data) are not fatal; libjpeg's default
// would print them to stderr.
void SilentMessage(j_common_ptr) {}

void CheckScanCount(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxScans) {
    Guard* guard = static_cast<Guard*>(cinfo->client_data);
    std::snprintf(guard->message, sizeof guard->message, "more than %d scans", kMaxScans);
    std::longjmp(guard->jump, 1);
  }
}

struct Decoder {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr err;
  jpeg_progress_mgr progress;
  Guard guard;
  bool created;
};

// --- C-only boundary: no object with a destructor lives in these frames. ---

bool BeginDecode(Decoder* d, const unsigned char* data, unsigned long size) {
  d->cinfo.err = jpeg_std_error(&d->err);
  d->err.error_exit = ErrorExit;
  d->err.output_message = SilentMessage;
  d->cinfo.client_data = &d->guard;
  d->guard.message[0] = '\0';
  if (setjmp(d->guard.jump) != 0) return false;
  jpeg_create_decompress(&d->cinfo);
  d->created = true;
  d->cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
  d->progress.progress_monitor = CheckScanCount;
  d->cinfo.progress = &d->progress;
  jpeg_mem_src(&d->cinfo, data, size);
  jpeg_read_header(&d->cinfo, TRUE);
  return true;
}

bool CalculateOutputSize(Decoder* d) {
  if (setjmp(d->guard.jump) != 0) return false;
  jpeg_calc_output_dimensions(&d->cinfo);
  return true;
}

// Chooses the output colour space; returns the bytes per output pixel.
int ChooseOutput(j_decompress_ptr cinfo) {
  if (cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK) {
    cinfo->out_color_space = JCS_CMYK;
    return 4;
  }
  if (cinfo->jpeg_color_space == JCS_GRAYSCALE) {
    cinfo->out_color_space = JCS_GRAYSCALE;
    return 1;
  }
  cinfo->out_color_space = JCS_RGB;
  return 3;
}

std::uint32_t PackPixel(const unsigned char* p, int components, bool invertedCmyk) {
  unsigned r, g, b;
  if (components == 1) {
    r = g = b = p[0];
  } else if (components == 3) {
    r = p[0], g = p[1], b = p[2];
  } else {
    // Adobe writes CMYK inverted (0 = full ink), which is what nearly every CMYK JPEG is.
    unsigned c = p[0], m = p[1], y = p[2], k = p[3];
    if (!invertedCmyk) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    r = c * k / 255, g = m * k / 255, b = y * k / 255;
  }
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

// `row` holds width * 4 bytes, `out` width * height pixels.
bool DecodeRows(Decoder* d, std::uint32_t* out, unsigned char* row, int components) {
  if (setjmp(d->guard.jump) != 0) return false;
  jpeg_start_decompress(&d->cinfo);
  if (static_cast<int>(d->cinfo.output_components) != components) {
    std::snprintf(d->guard.message, sizeof d->guard.message, "unexpected %d output components",
                  d->cinfo.output_components);
    return false;
  }
  const bool inverted = d->cinfo.saw_Adobe_marker;
  const JDIMENSION width = d->cinfo.output_width;
  JSAMPROW rows[1] = {row};
  while (d->cinfo.output_scanline < d->cinfo.output_height) {
    const JDIMENSION y = d->cinfo.output_scanline;
    if (jpeg_read_scanlines(&d->cinfo, rows, 1) != 1) {
      std::snprintf(d->guard.message, sizeof d->guard.message, "no data for row %u", y);
      return false;
    }
    std::uint32_t* dst = out + static_cast<std::size_t>(y) * width;
    for (JDIMENSION x = 0; x < width; ++x)
      dst[x] = PackPixel(row + x * components, components, inverted);
  }
  jpeg_finish_decompress(&d->cinfo);
  return true;
}

struct Encoder {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  Guard guard;
  unsigned char* buffer;  // malloc'ed by libjpeg's memory destination
  unsigned long size;
  bool created;
};

bool EncodeRows(Encoder* e, const std::uint32_t* pixels, int width, int height, int quality,
                unsigned char* row) {
  e->cinfo.err = jpeg_std_error(&e->err);
  e->err.error_exit = ErrorExit;
  e->err.output_message = SilentMessage;
  e->cinfo.client_data = &e->guard;
  e->guard.message[0] = '\0';
  if (setjmp(e->guard.jump) != 0) return false;
  jpeg_create_compress(&e->cinfo);
  e->created = true;
  jpeg_mem_dest(&e->cinfo, &e->buffer, &e->size);
  e->cinfo.image_width = static_cast<JDIMENSION>(width);
  e->cinfo.image_height = static_cast<JDIMENSION>(height);
  e->cinfo.input_components = 3;
  e->cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&e->cinfo);
  jpeg_set_quality(&e->cinfo, quality, TRUE);
  e->cinfo.dct_method = JDCT_ISLOW;
  e->cinfo.optimize_coding = TRUE;
  jpeg_start_compress(&e->cinfo, TRUE);
  JSAMPROW rows[1] = {row};
  while (e->cinfo.next_scanline < e->cinfo.image_height) {
    const std::uint32_t* src = pixels + static_cast<std::size_t>(e->cinfo.next_scanline) * width;
    for (int x = 0; x < width; ++x) {
      row[3 * x + 0] = static_cast<unsigned char>(src[x] >> 16);
      row[3 * x + 1] = static_cast<unsigned char>(src[x] >> 8);
      row[3 * x + 2] = static_cast<unsigned char>(src[x]);
    }
    jpeg_write_scanlines(&e->cinfo, rows, 1);
  }
  jpeg_finish_compress(&e->cinfo);
  return true;
}

// --- end of the C-only boundary ---

class DecoderOwner {
 public:
  DecoderOwner() : d_{} {}
  ~DecoderOwner() {
    if (d_.created) jpeg_destroy_decompress(&d_.cinfo);
  }
  DecoderOwner(const DecoderOwner&) = delete;
  DecoderOwner& operator=(const DecoderOwner&) = delete;
  Decoder* get() { return &d_; }

 private:
  Decoder d_;
};

class EncoderOwner {
 public:
  EncoderOwner() : e_{} {}
  ~EncoderOwner() {
    if (e_.created) jpeg_destroy_compress(&e_.cinfo);
    std::free(e_.buffer);
  }
  EncoderOwner(const EncoderOwner&) = delete;
  EncoderOwner& operator=(const EncoderOwner&) = delete;
  Encoder* get() { return &e_; }

 private:
  Encoder e_;
};

DecodeResult Failure(std::string reason) {
  DecodeResult r;
  r.error = "JPEG: " + std::move(reason);
  return r;
}

}  // namespace

DecodeResult DecodeJpeg(std::span<const std::uint8_t> bytes, ShownSize shown) {
  if (bytes.empty()) return Failure("no data");
  DecoderOwner owner;
  Decoder* d = owner.get();
  if (!BeginDecode(d, bytes.data(), static_cast<unsigned long>(bytes.size())))
    return Failure(d->guard.message);

  const std::int64_t width = d->cinfo.image_width;
  const std::int64_t height = d->cinfo.image_height;
  if (width < 1 || height < 1) return Failure("empty picture");
  if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
    return Failure("picture of " + std::to_string(width) + " x " + std::to_string(height) +
                   " pixels is larger than allowed");
  const int components = ChooseOutput(&d->cinfo);
  d->cinfo.scale_num = static_cast<unsigned>(ScaleEighths(width, height, shown));
  d->cinfo.scale_denom = 8;
  if (!CalculateOutputSize(d)) return Failure(d->guard.message);
  const std::int64_t outWidth = d->cinfo.output_width;
  const std::int64_t outHeight = d->cinfo.output_height;

  DecodeResult result;
  result.image.width = static_cast<int>(outWidth);
  result.image.height = static_cast<int>(outHeight);
  result.image.pixels.assign(static_cast<std::size_t>(outWidth * outHeight), 0xFF000000u);
  std::vector<unsigned char> row(static_cast<std::size_t>(outWidth) * 4);
  if (!DecodeRows(d, result.image.pixels.data(), row.data(), components))
    return Failure(d->guard.message);
  return result;
}

std::vector<std::uint8_t> EncodeJpeg(const Image& image, int quality) {
  CheckEncodeArguments(image, quality);

  EncoderOwner owner;
  Encoder* e = owner.get();
  std::vector<unsigned char> row(static_cast<std::size_t>(image.width) * 3);
  if (!EncodeRows(e, image.pixels.data(), image.width, image.height, quality, row.data()))
    throw std::runtime_error(std::string("EncodeJpeg: ") + e->guard.message);
  return std::vector<std::uint8_t>(e->buffer, e->buffer + e->size);
}

}  // namespace jpeg
