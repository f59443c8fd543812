#include "platform/gdi/gdi.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <stdexcept>
#include <tuple>
#include <unordered_map>

#include "platform/fs/app_paths.h"
#include "platform/gdi/linux/font_catalog.h"
#include "platform/gdi/linux/font_instance.h"
#include "platform/gdi/linux/freetype_face.h"
#include "platform/gdi/linux/glyph_code.h"
#include "platform/log/log.h"
#include "platform/text/text.h"

namespace platform::gdi {

struct GdiFont {
  std::shared_ptr<FontInstance> instance;
  bool stock = false;
};

struct GdiDC {
  HFONT selected = nullptr;
  // Keeps the selected font's instance alive even after its handle is deleted.
  std::shared_ptr<FontInstance> font;
};

namespace {

using InstanceKey = std::tuple<std::string, LONG, LONG, bool, bool, bool>;

class FontSystem {
 public:
  // Never destroyed: contexts and fonts held by other static objects may be freed after
  // this file's statics are gone. Only the fontconfig configuration is released at exit,
  // since leak checkers cannot follow fontconfig's internal pointers; a lookup after that
  // simply reads the configuration again.
  static FontSystem& Get() {
    static FontSystem* const system = new FontSystem;
    static const struct ReleaseAtExit {
      ~ReleaseAtExit() {
        std::lock_guard lock(system->mutex);
        system->catalog_.reset();
      }
    } releaseAtExit;
    return *system;
  }

  std::mutex mutex;
  std::unordered_map<HDC, std::unique_ptr<GdiDC>> dcs;
  std::unordered_map<HFONT, std::unique_ptr<GdiFont>> fonts;

  FontCatalog& Catalog() {
    if (!catalog_) {
      if (aliasFile_.empty()) aliasFile_ = platform::Paths().Data(platform::kFontAliasFileName);
      catalog_ = std::make_unique<FontCatalog>(aliasFile_);
    }
    return *catalog_;
  }

  void SetAliasFile(std::string path) {
    aliasFile_ = std::move(path);
    catalog_.reset();
    instances_.clear();
  }

  std::shared_ptr<FontInstance> Instance(const LOGFONTA& description) {
    const FontRequest request = RequestOf(description);
    const InstanceKey key{description.lfFaceName, request.height,    request.weight,
                          request.italic,         request.underline, request.strikeOut};
    if (auto it = instances_.find(key); it != instances_.end()) return it->second;
    const FaceStyle style{request.weight >= FW_SEMIBOLD ? WeightWanted::Bold : WeightWanted::Normal,
                          request.italic ? SlantWanted::Italic : SlantWanted::Upright};
    const FaceChoice& choice = Catalog().Resolve(description.lfFaceName, style);
    SharedFace face;
    if (!choice.file.empty() && Faces()) face = Faces()->Get(choice.file, choice.index);
    auto instance = std::make_shared<FontInstance>(face, choice, request);
    instances_.emplace(key, instance);
    return instance;
  }

  HFONT Stock() {
    if (!stock_) {
      LOGFONTA description;
      description.lfFaceName = std::string(kFallbackFaceName);
      stock_ = std::make_unique<GdiFont>();
      stock_->instance = Instance(description);
      stock_->stock = true;
    }
    return stock_.get();
  }

  // A live font handle's object (the stock font included), or nullptr.
  GdiFont* FontOf(HFONT font) {
    if (font != nullptr && font == stock_.get()) return stock_.get();
    const auto it = fonts.find(font);
    return it == fonts.end() ? nullptr : it->second.get();
  }

  GdiDC* DCOf(HDC dc) {
    const auto it = dcs.find(dc);
    return it == dcs.end() ? nullptr : it->second.get();
  }

 private:
  static FontRequest RequestOf(const LOGFONTA& description) {
    FontRequest request;
    long long height = description.lfHeight;
    if (height == 0) height = -kDefaultCharacterHeight;
    if (height > kMaxFontHeight || height < -kMaxFontHeight) {
      platform::Log("Font height " + std::to_string(height) + " is limited to " +
                    std::to_string(kMaxFontHeight) + " pixels");
      height = std::clamp<long long>(height, -kMaxFontHeight, kMaxFontHeight);
    }
    request.height = static_cast<LONG>(height);
    request.weight = description.lfWeight;
    request.italic = description.lfItalic != 0;
    request.underline = description.lfUnderline != 0;
    request.strikeOut = description.lfStrikeOut != 0;
    return request;
  }

  FaceCache* Faces() {
    if (!faces_ && !facesFailed_) {
      try {
        faces_ = std::make_unique<FaceCache>();
      } catch (const std::runtime_error& error) {
        platform::Log(error.what());
        facesFailed_ = true;
      }
    }
    return faces_.get();
  }

  std::string aliasFile_;
  std::unique_ptr<FontCatalog> catalog_;
  std::unique_ptr<FaceCache> faces_;
  bool facesFailed_ = false;
  std::map<InstanceKey, std::shared_ptr<FontInstance>> instances_;
  std::unique_ptr<GdiFont> stock_;
};

}  // namespace

HDC CreateCompatibleDC(HDC /*like*/) {
  FontSystem& system = FontSystem::Get();
  std::lock_guard lock(system.mutex);
  auto dc = std::make_unique<GdiDC>();
  dc->selected = system.Stock();
  dc->font = system.FontOf(dc->selected)->instance;
  HDC handle = dc.get();
  system.dcs.emplace(handle, std::move(dc));
  return handle;
}

BOOL DeleteDC(HDC dc) {
  FontSystem& system = FontSystem::Get();
  std::lock_guard lock(system.mutex);
  return system.dcs.erase(dc) == 1 ? 1 : 0;
}

HFONT CreateFontIndirectA(const LOGFONTA* description) {
  if (description == nullptr) return nullptr;
  FontSystem& system = FontSystem::Get();
  std::lock_guard lock(system.mutex);
  auto font = std::make_unique<GdiFont>();
  font->instance = system.Instance(*description);
  HFONT handle = font.get();
  system.fonts.emplace(handle, std::move(font));
  return handle;
}

HFONT SelectObject(HDC dc, HFONT font) {
  FontSystem& system = FontSystem::Get();
  std::lock_guard lock(system.mutex);
  GdiDC* context = system.DCOf(dc);
  GdiFont* object = system.FontOf(font);
  if (context == nullptr || object == nullptr) return nullptr;
  HFONT previous = context->selected;
  context->selected = font;
  context->font = object->instance;
  return previous;
}

BOOL DeleteObject(HFONT font) {
  FontSystem& system = FontSystem::Get();
  std::lock_guard lock(system.mutex);
  GdiFont* object = system.FontOf(font);
  if (object == nullptr) return 0;
  if (object->stock) return 1;
  system.fonts.erase(font);
  return 1;
}

DWORD GetGlyphOutlineA(HDC dc, UINT code, UINT format, GLYPHMETRICS* metrics, DWORD bufferSize,
                       void* buffer, const MAT2* matrix) {
  if (metrics == nullptr) return GDI_ERROR;
  *metrics = GLYPHMETRICS{};
  if (matrix == nullptr || format != GGO_GRAY8_BITMAP) return GDI_ERROR;
  FontSystem& system = FontSystem::Get();
  std::lock_guard lock(system.mutex);
  GdiDC* context = system.DCOf(dc);
  if (context == nullptr) return GDI_ERROR;
  const std::optional<char32_t> character = CharacterOfCode(code);
  if (!character) return GDI_ERROR;
  return context->font->GrayGlyph(*character, *matrix, metrics, bufferSize, buffer);
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics) {
  if (metrics == nullptr) return 0;
  FontSystem& system = FontSystem::Get();
  std::lock_guard lock(system.mutex);
  GdiDC* context = system.DCOf(dc);
  if (context == nullptr) return 0;
  *metrics = context->font->TextMetrics();
  return 1;
}

BOOL GetTextExtentPoint32A(HDC dc, const char* text, int length, SIZE* size) {
  if (size == nullptr || length < 0 || (text == nullptr && length > 0)) return 0;
  FontSystem& system = FontSystem::Get();
  std::lock_guard lock(system.mutex);
  GdiDC* context = system.DCOf(dc);
  if (context == nullptr) return 0;
  FontInstance& font = *context->font;
  long width = 0;
  for (int i = 0; i < length;) {
    const auto byte = static_cast<unsigned char>(text[i]);
    unsigned code = byte;
    // The walk of the text writers: a lead byte with a byte after it opens a pair; a lead
    // byte at the end stands alone.
    if (platform::IsLeadByte(byte) && i + 1 < length) {
      code = byte * 256u + static_cast<unsigned char>(text[i + 1]);
      i += 2;
    } else {
      i += 1;
    }
    if (const std::optional<char32_t> character = CharacterOfCode(code)) {
      width += font.Advance(*character);
    }
  }
  size->cx = static_cast<LONG>(width);
  size->cy = font.TextMetrics().tmHeight;
  return 1;
}

bool SetFaceName(LOGFONTA& description, std::string_view utf8) {
  description.lfFaceName = std::string(utf8);
  return true;
}

std::vector<std::string> InstalledScreenFonts() {
  FontSystem& system = FontSystem::Get();
  std::lock_guard lock(system.mutex);
  return system.Catalog().InstalledScreenFonts();
}

bool IsInstalledScreenFont(std::string_view faceName) {
  FontSystem& system = FontSystem::Get();
  std::lock_guard lock(system.mutex);
  return system.Catalog().IsInstalled(faceName);
}

bool IsJapaneseScreenFont(std::string_view faceName) {
  FontSystem& system = FontSystem::Get();
  std::lock_guard lock(system.mutex);
  return system.Catalog().DrawsJapanese(faceName);
}

std::optional<FontFaceInfo> GetFontFaceInfo(HFONT font) {
  FontSystem& system = FontSystem::Get();
  std::lock_guard lock(system.mutex);
  GdiFont* object = system.FontOf(font);
  if (object == nullptr) return std::nullopt;
  const FaceChoice& choice = object->instance->choice();
  FontFaceInfo info;
  info.family = choice.family;
  info.file = choice.file;
  info.index = choice.index;
  info.syntheticBold = choice.syntheticBold;
  info.syntheticItalic = choice.syntheticItalic;
  info.coversJapanese = choice.coversJapanese;
  return info;
}

void SetFontAliasFile(std::string path) {
  FontSystem& system = FontSystem::Get();
  std::lock_guard lock(system.mutex);
  system.SetAliasFile(std::move(path));
}

}  // namespace platform::gdi
