#include "platform/gdi/linux/font_catalog.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <tuple>

#include <sys/stat.h>

#include "platform/gdi/gdi.h"
#include "platform/log/log.h"

namespace platform::gdi {
namespace {

// A face counts as Japanese when it has a common kanji and a hiragana; a Latin face that
// lacks them would draw every character of the saver as an empty box.
constexpr FcChar32 kProbeKanji = 0x56DB;     // 四
constexpr FcChar32 kProbeHiragana = 0x3042;  // あ

struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct ObjectSetDeleter {
  void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
struct FontSetDeleter {
  void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
using UniquePattern = std::unique_ptr<FcPattern, PatternDeleter>;

int IntOf(FcPattern* pattern, const char* object, int fallback) {
  int value = fallback;
  if (FcPatternGetInteger(pattern, object, 0, &value) != FcResultMatch) return fallback;
  return value;
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string InsteadText() { return "; using \"" + std::string(kFallbackFaceName) + "\" instead"; }

}  // namespace

const std::vector<std::string>& WindowsFaceNames() {
  static const std::vector<std::string> names = {
      "ＭＳ Ｐ明朝", "MS PMincho", "ＭＳ Ｐゴシック", "MS PGothic",
      "ＭＳ 明朝",   "MS Mincho",  "ＭＳ ゴシック",   "MS Gothic",
  };
  return names;
}

FontCatalog::FontCatalog(const std::string& aliasFile) {
  config_ = FcInitLoadConfigAndFonts();
  if (!config_) {
    platform::Log("The font configuration cannot be read; no fonts are available");
    return;
  }
  if (!IsRegularFile(aliasFile)) {
    platform::Log("The font alias file \"" + aliasFile +
                  "\" is missing; the Windows face names will not resolve");
  } else if (!FcConfigParseAndLoad(config_, reinterpret_cast<const FcChar8*>(aliasFile.c_str()),
                                   FcFalse)) {
    platform::Log("The font alias file \"" + aliasFile +
                  "\" cannot be parsed; the Windows face names will not resolve");
  }
  LoadFonts();

  for (const auto& [family, unused] : byFamily_) installed_.push_back(family);
  for (const std::string& name : WindowsFaceNames()) {
    if (!byFamily_.contains(name) && !AliasTarget(name).empty()) installed_.push_back(name);
  }
  std::sort(installed_.begin(), installed_.end());
}

FontCatalog::~FontCatalog() {
  if (config_) FcConfigDestroy(config_);
}

void FontCatalog::LoadFonts() {
  UniquePattern pattern(FcPatternCreate());
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(
      FcObjectSetBuild(FC_FAMILY, FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, FC_WIDTH, FC_CHARSET,
                       FC_VARIABLE, nullptr));
  std::unique_ptr<FcFontSet, FontSetDeleter> set(FcFontList(config_, pattern.get(), objects.get()));
  if (!set) return;

  struct Listed {
    Font font;
    std::vector<std::string> families;
  };
  std::vector<Listed> listed;
  for (int i = 0; i < set->nfont; ++i) {
    FcPattern* p = set->fonts[i];
    FcChar8* file = nullptr;
    if (FcPatternGetString(p, FC_FILE, 0, &file) != FcResultMatch) continue;
    FcBool variable = FcFalse;
    // The variable font's own entry repeats its named instances, which are listed too.
    if (FcPatternGetBool(p, FC_VARIABLE, 0, &variable) == FcResultMatch && variable) continue;
    Listed entry;
    entry.font.file = reinterpret_cast<const char*>(file);
    entry.font.index = IntOf(p, FC_INDEX, 0);
    entry.font.weight = IntOf(p, FC_WEIGHT, FC_WEIGHT_REGULAR);
    entry.font.slant = IntOf(p, FC_SLANT, FC_SLANT_ROMAN);
    entry.font.width = IntOf(p, FC_WIDTH, FC_WIDTH_NORMAL);
    FcCharSet* charset = nullptr;
    entry.font.japanese = FcPatternGetCharSet(p, FC_CHARSET, 0, &charset) == FcResultMatch &&
                          FcCharSetHasChar(charset, kProbeKanji) &&
                          FcCharSetHasChar(charset, kProbeHiragana);
    FcChar8* family = nullptr;
    for (int k = 0; FcPatternGetString(p, FC_FAMILY, k, &family) == FcResultMatch; ++k) {
      entry.families.emplace_back(reinterpret_cast<const char*>(family));
    }
    if (entry.families.empty()) continue;
    entry.font.family = entry.families.front();
    listed.push_back(std::move(entry));
  }
  // fontconfig lists in no promised order; sorting makes the choice among equals stable.
  std::sort(listed.begin(), listed.end(), [](const Listed& a, const Listed& b) {
    return std::tie(a.font.file, a.font.index) < std::tie(b.font.file, b.font.index);
  });
  for (Listed& entry : listed) {
    for (const std::string& family : entry.families) {
      byFamily_[family].push_back(fonts_.size());
    }
    fonts_.push_back(std::move(entry.font));
  }
}

bool FontCatalog::IsInstalled(std::string_view faceName) const {
  return std::binary_search(installed_.begin(), installed_.end(), faceName);
}

bool FontCatalog::DrawsJapanese(std::string_view faceName) const {
  if (!IsInstalled(faceName)) return false;
  const std::string name(faceName);
  const Font* font = BestFace(byFamily_.contains(name) ? name : AliasTarget(name), FaceStyle{});
  return font != nullptr && font->japanese;
}

std::string FontCatalog::AliasTarget(const std::string& faceName) const {
  if (!config_) return {};
  UniquePattern pattern(FcPatternCreate());
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(faceName.c_str()));
  FcConfigSubstitute(config_, pattern.get(), FcMatchPattern);
  FcValue value;
  FcValueBinding binding;
  for (int k = 0;
       FcPatternGetWithBinding(pattern.get(), FC_FAMILY, k, &value, &binding) == FcResultMatch;
       ++k) {
    // Weak values are the generic fallbacks every name receives; only the strongly bound
    // ones are aliases that name a face on purpose.
    if (binding != FcValueBindingStrong || value.type != FcTypeString) continue;
    const std::string family = reinterpret_cast<const char*>(value.u.s);
    if (family != faceName && byFamily_.contains(family)) return family;
  }
  return {};
}

const FontCatalog::Font* FontCatalog::BestFace(const std::string& family, FaceStyle style) const {
  const auto it = byFamily_.find(family);
  if (it == byFamily_.end()) return nullptr;
  const int wantedWeight = style.weight == WeightWanted::Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR;
  const bool wantItalic = style.slant == SlantWanted::Italic;
  const Font* best = nullptr;
  long bestScore = 0;
  for (std::size_t i : it->second) {
    const Font& font = fonts_[i];
    // Normal width first (a family may also list its condensed faces), then the slant,
    // then the nearest weight.
    const long score = std::abs(font.width - FC_WIDTH_NORMAL) * 100000L +
                       ((font.slant != FC_SLANT_ROMAN) != wantItalic ? 10000L : 0L) +
                       std::abs(font.weight - wantedWeight);
    if (!best || score < bestScore) {
      best = &font;
      bestScore = score;
    }
  }
  return best;
}

FaceChoice FontCatalog::Choose(const std::string& family, const Font& font, FaceStyle style) const {
  FaceChoice choice;
  choice.family = family;
  choice.file = font.file;
  choice.index = font.index;
  choice.syntheticBold = style.weight == WeightWanted::Bold && font.weight < FC_WEIGHT_DEMIBOLD;
  choice.syntheticItalic = style.slant == SlantWanted::Italic && font.slant == FC_SLANT_ROMAN;
  choice.coversJapanese = font.japanese;
  return choice;
}

const FaceChoice& FontCatalog::Resolve(const std::string& faceName, FaceStyle style) {
  const auto key = std::make_pair(faceName, style);
  if (auto it = resolved_.find(key); it != resolved_.end()) return it->second;
  return resolved_.emplace(key, ResolveUncached(faceName, style)).first->second;
}

FaceChoice FontCatalog::ResolveUncached(const std::string& faceName, FaceStyle style) const {
  std::string family = faceName;
  bool useFallback = faceName.empty();
  if (!useFallback && !byFamily_.contains(faceName)) {
    const auto& windows = WindowsFaceNames();
    if (std::find(windows.begin(), windows.end(), faceName) != windows.end()) {
      family = AliasTarget(faceName);
      if (family.empty()) {
        platform::Log("Font face \"" + faceName +
                      "\" is mapped to no installed face by the font alias file" + InsteadText());
        useFallback = true;
      }
    } else {
      platform::Log("Font face \"" + faceName + "\" is not installed" + InsteadText());
      useFallback = true;
    }
  }
  if (!useFallback) {
    const Font* font = BestFace(family, style);
    if (font->japanese) return Choose(family, *font, style);
    platform::Log("Font face \"" + faceName + "\" (" + font->file + ") has no Japanese characters" +
                  InsteadText());
  }

  const std::string fallback(kFallbackFaceName);
  if (const Font* font = BestFace(fallback, style); font && font->japanese) {
    return Choose(fallback, *font, style);
  }
  // Without the fallback face any Japanese face is better than boxes; say which one.
  for (const Font& font : fonts_) {
    if (!font.japanese) continue;
    platform::Log("The fallback face \"" + fallback + "\" is not installed; using \"" +
                  font.family + "\"");
    return Choose(font.family, font, style);
  }
  if (!fonts_.empty()) {
    platform::Log("No installed font has Japanese characters; Japanese text will show as boxes");
    return Choose(fonts_.front().family, fonts_.front(), style);
  }
  platform::Log("No scalable font is installed; text will not show");
  return {};
}

}  // namespace platform::gdi
