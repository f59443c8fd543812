// The installed fonts as fontconfig knows them, plus the font alias file, and the choice of
// a face for a face name and style.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <fontconfig/fontconfig.h>

namespace platform::gdi {

enum class WeightWanted { Normal, Bold };
enum class SlantWanted { Upright, Italic };

struct FaceStyle {
  WeightWanted weight = WeightWanted::Normal;
  SlantWanted slant = SlantWanted::Upright;
  auto operator<=>(const FaceStyle&) const = default;
};

struct FaceChoice {
  std::string family;  // installed family name the face was found under; empty: no font at all
  std::string file;
  int index = 0;
  bool syntheticBold = false;    // bold asked for, the face is not bold
  bool syntheticItalic = false;  // italic asked for, the face is upright
  bool coversJapanese = false;
};

// The Windows face names that the alias file maps; only these go through fontconfig's
// substitution, so the lookup stays exact and case-sensitive (fontconfig's own family
// matching ignores case and spaces).
const std::vector<std::string>& WindowsFaceNames();

class FontCatalog {
 public:
  // Reads the system's font configuration and fonts, then the alias file; a missing or
  // broken alias file is logged and leaves the Windows names unresolved.
  explicit FontCatalog(const std::string& aliasFile);
  ~FontCatalog();
  FontCatalog(const FontCatalog&) = delete;
  FontCatalog& operator=(const FontCatalog&) = delete;

  const std::vector<std::string>& InstalledScreenFonts() const { return installed_; }
  bool IsInstalled(std::string_view faceName) const;
  // Installed, and the regular face it names (through the alias file for a Windows name)
  // has Japanese characters.
  bool DrawsJapanese(std::string_view faceName) const;

  // The face for `faceName` (see gdi.h for the rules); each name and style is looked up
  // and, when it fails, logged once.
  const FaceChoice& Resolve(const std::string& faceName, FaceStyle style);

 private:
  struct Font {
    std::string family;  // its first family name
    std::string file;
    int index = 0;
    int weight = 0;  // fontconfig weight
    int slant = 0;   // fontconfig slant
    int width = 0;   // fontconfig width (100 = normal)
    bool japanese = false;
  };

  void LoadFonts();
  std::string AliasTarget(const std::string& faceName) const;
  // The installed family's face closest to `style`, or nullptr when no family has the name.
  const Font* BestFace(const std::string& family, FaceStyle style) const;
  FaceChoice Choose(const std::string& family, const Font& font, FaceStyle style) const;
  FaceChoice ResolveUncached(const std::string& faceName, FaceStyle style) const;

  FcConfig* config_ = nullptr;
  std::vector<Font> fonts_;
  std::unordered_map<std::string, std::vector<std::size_t>> byFamily_;
  std::vector<std::string> installed_;
  std::map<std::pair<std::string, FaceStyle>, FaceChoice> resolved_;
};

}  // namespace platform::gdi
