// The glyph layer's cost for what the text writers ask most: measuring a 32-character
// meaning line, and making the grey bitmaps of its characters (the size query and the copy
// of a glyph-cache miss). Each is reported beside plain FreeType doing the same loads and
// renders on the same face and size (emboldened as the layer does for the bold the
// saver's font asks for), measured in the same run. Compare CPU times: the machine is shared.
//
// Targets: measuring with warm caches well below the plain loads it replaces; a glyph's
// size query plus copy within about 1.2 times one plain load and render.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include "platform/gdi/gdi.h"

namespace {

using namespace platform::gdi;

// "一つの行いで二つの利益を得ること。努力を重ねて大きな成果を上げる" in CP932: 32 characters.
const std::string kLine =
    "\x88\xEA\x82\xC2\x82\xCC\x8D\x73\x82\xA2\x82\xC5\x93\xF1\x82\xC2\x82\xCC\x97\x98\x89\x76"
    "\x82\xF0\x93\xBE\x82\xE9\x82\xB1\x82\xC6\x81\x42\x93\x77\x97\xCD\x82\xF0\x8F\x64\x82\xCB"
    "\x82\xC4\x91\xE5\x82\xAB\x82\xC8\x90\xAC\x89\xCA\x82\xF0\x8F\xE3\x82\xB0\x82\xE9";
constexpr LONG kHeight = 19;  // the panel writer's 14 points

std::vector<UINT> CodesOfLine() {
  std::vector<UINT> codes;
  for (std::size_t i = 0; i + 1 < kLine.size(); i += 2) {
    codes.push_back(static_cast<unsigned char>(kLine[i]) * 256u +
                    static_cast<unsigned char>(kLine[i + 1]));
  }
  return codes;
}

// The layer with the panel writer's font selected.
struct Layer {
  Layer() {
    SetFontAliasFile(VM_BENCH_FONT_ALIAS_FILE);
    LOGFONTA description;
    description.lfFaceName = "ＭＳ Ｐ明朝";
    description.lfHeight = -kHeight;
    description.lfWeight = FW_BOLD;
    font.reset(CreateFontIndirectA(&description));
    dc.reset(CreateCompatibleDC(nullptr));
    SelectObject(dc.get(), font.get());
    info = *GetFontFaceInfo(font.get());
  }
  UniqueFont font;
  UniqueDC dc;
  FontFaceInfo info;
};

Layer& TheLayer() {
  static Layer layer;
  return layer;
}

// The same face opened straight in FreeType, at the same size, loaded the same way.
struct PlainFreeType {
  PlainFreeType() {
    FT_Init_FreeType(&library);
    FT_New_Face(library, TheLayer().info.file.c_str(), TheLayer().info.index, &face);
    FT_Set_Pixel_Sizes(face, 0, kHeight);
    // The Unicode characters of the line, as the layer converts them.
    const char16_t text[] = u"一つの行いで二つの利益を得ること。努力を重ねて大きな成果を上げる";
    for (char16_t c : std::u16string(text)) glyphs.push_back(FT_Get_Char_Index(face, c));
  }
  ~PlainFreeType() {
    FT_Done_Face(face);
    FT_Done_FreeType(library);
  }
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  std::vector<FT_UInt> glyphs;
};

PlainFreeType& ThePlain() {
  static PlainFreeType plain;
  return plain;
}

void BM_TextExtentWarm(benchmark::State& state) {
  HDC dc = TheLayer().dc.get();
  SIZE extent;
  GetTextExtentPoint32A(dc, kLine.data(), static_cast<int>(kLine.size()), &extent);
  for (auto _ : state) {
    GetTextExtentPoint32A(dc, kLine.data(), static_cast<int>(kLine.size()), &extent);
    benchmark::DoNotOptimize(extent);
  }
}

void BM_TextExtentReferencePlainLoads(benchmark::State& state) {
  PlainFreeType& plain = ThePlain();
  for (auto _ : state) {
    FT_Pos width = 0;
    for (FT_UInt glyph : plain.glyphs) {
      FT_Load_Glyph(plain.face, glyph, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL);
      width += plain.face->glyph->advance.x;
    }
    benchmark::DoNotOptimize(width);
  }
}

void BM_GlyphBitmapsOfLine(benchmark::State& state) {
  HDC dc = TheLayer().dc.get();
  const std::vector<UINT> codes = CodesOfLine();
  const MAT2 identity = IdentityMat2();
  std::vector<unsigned char> buffer(64 * 64);
  for (auto _ : state) {
    for (UINT code : codes) {
      GLYPHMETRICS metrics;
      const DWORD size =
          GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &identity);
      if (size != GDI_ERROR && size > 0 && size <= buffer.size()) {
        GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &metrics, size, buffer.data(), &identity);
      }
    }
    benchmark::DoNotOptimize(buffer.data());
  }
}

void BM_GlyphBitmapsReferencePlainRenders(benchmark::State& state) {
  PlainFreeType& plain = ThePlain();
  for (auto _ : state) {
    for (FT_UInt glyph : plain.glyphs) {
      FT_Load_Glyph(plain.face, glyph, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL);
      FT_Outline_EmboldenXY(&plain.face->glyph->outline, 64, 0);  // the bold of the font
      FT_Render_Glyph(plain.face->glyph, FT_RENDER_MODE_NORMAL);
      benchmark::DoNotOptimize(plain.face->glyph->bitmap.buffer);
    }
  }
}

constexpr int kRepetitions = 9;
BENCHMARK(BM_TextExtentWarm)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_TextExtentReferencePlainLoads)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_GlyphBitmapsOfLine)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_GlyphBitmapsReferencePlainRenders)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
