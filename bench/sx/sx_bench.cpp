// The SX library's two hot paths, each beside a reference measured in the same run.
//
// Text: DrawText of a 32-character meaning line (the panel writer, 14 points) into a
// 640 x 24 texture, with a warm glyph cache and with a cold one (reset before each run).
// References: a memcpy of the texture's 640 x 24 pixels for the warm line; the 32 glyph
// bitmaps fetched straight from the glyph layer (size query and bitmap, as a miss does)
// for the cold one. Target: the warm line well under 0.1 ms.
//
// Scene: the typical saver frame (wallpaper stretched with bilinear filtering, the road
// picture, 81 leaf tiles, 80 board characters, four answer characters, two meaning lines
// on translucent backgrounds, the walker sprite, the music caption on its background)
// queued through AddQuad and drawn by Render, against the same draws issued directly on
// the device with the states set once. Target: the scene within 5% of the direct draws.
//
// Compare medians (CPU time): the machine is shared.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dg/carad.h"
#include "dg/debug_log.h"
#include "dg/texture.h"
#include "platform/gdi/gdi.h"
#include "platform/text/text.h"
#include "sx/scene.h"
#include "sx/sjis_walk.h"
#include "sx/text_writer.h"

namespace {

using namespace sx;

const char kMeaning[] = "一挙両得千載一遇以心伝心温故知新起承転結日進月歩自業自得大器晩成";
const char kBoard[] =
    "一挙両得千載一遇以心伝心温故知新起承転結日進月歩自業自得大器晩成"
    "明鏡止水花鳥風月電光石火臨機応変十人十色";

struct Fixture {
  Fixture() {
    dg::SetDebugLogPath("/tmp/vm_bench_sx_DebugLog.txt");
    platform::gdi::SetFontAliasFile(VM_BENCH_FONT_ALIAS_FILE);
    carad = std::make_unique<dg::TDGCarad>(nullptr);
    carad->SetDebugOption(dg::dgoDebugMessage);
    carad->Loaded();
    panel = std::make_unique<TSXTextWriter>(*carad, 16, D3DFMT_A8R8G8B8);
    panel->Font().Name = "ＭＳ Ｐ明朝";
    panel->Font().Style = fsBold;
    panel->Font().SetSize(14);
    line = platform::Utf8ToAnsi(kMeaning);
    lineTexture = Texture(640, 24, 0);
  }

  std::unique_ptr<dg::TDGTexture> Texture(std::uint32_t w, std::uint32_t h, D3DCOLOR fill) {
    auto texture =
        std::make_unique<dg::TDGTexture>(*carad, dg::DGAlphaFormats, 0, D3DPOOL_MANAGED, 1, "");
    texture->SetSize(w, h);
    texture->FillRect(RECT{0, 0, static_cast<LONG>(w), static_cast<LONG>(h)}, fill,
                      dg::TDGFillAlpha::Replace);
    return texture;
  }

  std::unique_ptr<dg::TDGCarad> carad;
  std::unique_ptr<TSXTextWriter> panel;
  std::string line;
  std::unique_ptr<dg::TDGTexture> lineTexture;
};

Fixture& TheFixture() {
  static Fixture fixture;
  return fixture;
}

void BM_DrawTextWarm(benchmark::State& state) {
  Fixture& f = TheFixture();
  f.panel->DrawText(0, 0, *f.lineTexture, f.line);
  for (auto _ : state) f.panel->DrawText(0, 0, *f.lineTexture, f.line);
}

void BM_DrawTextWarmReferenceMemcpy(benchmark::State& state) {
  std::vector<std::uint32_t> from(640 * 24, 0x80FFFFFF), to(640 * 24);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * 4);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
}

void BM_DrawTextCold(benchmark::State& state) {
  Fixture& f = TheFixture();
  for (auto _ : state) {
    state.PauseTiming();
    f.panel->Cache().Reset(16);
    state.ResumeTiming();
    f.panel->DrawText(0, 0, *f.lineTexture, f.line);
  }
}

void BM_DrawTextColdReferenceGlyphLayer(benchmark::State& state) {
  namespace gdi = platform::gdi;
  Fixture& f = TheFixture();
  gdi::HDC dc = f.panel->CanvasFor(f.panel->Font());
  std::vector<std::uint32_t> codes;
  for (std::size_t pos = 0; pos < f.line.size();) codes.push_back(NextShiftJisCode(f.line, pos));
  std::vector<std::uint8_t> buffer(64 * 64);
  const gdi::MAT2 matrix = gdi::IdentityMat2();
  for (auto _ : state) {
    for (std::uint32_t code : codes) {
      gdi::GLYPHMETRICS metrics;
      const gdi::DWORD size =
          gdi::GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &matrix);
      if (size != GDI_ERROR && size <= buffer.size()) {
        gdi::GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &metrics, size, buffer.data(), &matrix);
      }
      benchmark::DoNotOptimize(buffer.data());
    }
  }
}

// ---- The typical frame ----

struct FrameQuad {
  dg::TDGTexture* texture;
  float x, y, w, h;
  float u0, u1, v1;
  D3DCOLOR colour;
  bool linear;
};

class Frame {
 public:
  explicit Frame(Fixture& f) : f_(f) {
    wallpaper_ = f.Texture(1024, 768, 0xFF336699);
    road_ = f.Texture(640, 120, 0x00000000);
    road_->FillRect(RECT{0, 60, 640, 120}, 0xFF806040, dg::TDGFillAlpha::Replace);
    leaf_ = f.Texture(44, 30, 0xFF40A040);
    strip_ = f.Texture(384, 36, 0xFFC0C0C0);
    for (int k = 0; k < 2; ++k) background_.push_back(f.Texture(400, 20, 0x60FFFFFF));
    captionBackground_ = f.Texture(300, 20, 0x600000FF);

    TSXTextWriter cell(*f.carad, 16, D3DFMT_A8R8G8B8);
    cell.Font().Name = "ＭＳ Ｐ明朝";
    cell.Font().Height = -21;
    cell.Font().Style = fsBold;
    TSXTextWriter answer(*f.carad, 16, D3DFMT_A8R8G8B8);
    answer.SetFont(cell.Font());
    answer.Font().SetSize(28);
    const std::string board = platform::Utf8ToAnsi(kBoard);
    for (std::size_t pos = 0; cells_.size() < 80;) {
      if (pos == board.size()) pos = 0;  // the board's 80 characters repeat these
      const std::size_t from = pos;
      NextShiftJisCode(board, pos);
      cells_.push_back(
          cell.CreateTextTexture(board.substr(from, pos - from), dg::DGAlphaFormats, ""));
    }
    for (int k = 0; k < 4; ++k)
      answers_.push_back(answer.CreateTextTexture(board.substr(2 * k, 2), dg::DGAlphaFormats, ""));
    for (int k = 0; k < 2; ++k) {
      lines_.push_back(f.Texture(400, 20, 0));
      f.panel->DrawText(0, 0, *lines_.back(), f.line.substr(0, 40));
    }
    caption_ = f.Texture(300, 20, 0);
    f.panel->DrawText(0, 0, *caption_, f.line.substr(0, 30));

    auto add = [&](dg::TDGTexture* t, float x, float y, float w, float h, D3DCOLOR colour) {
      quads_.push_back({t, x, y, w, h, 0, t->ScaleU(), t->ScaleV(), colour, false});
    };
    quads_.push_back({wallpaper_.get(), 0, 0, 640, 480, 0, wallpaper_->ScaleU(),
                      wallpaper_->ScaleV(), 0xFFFFFFFF, true});
    add(road_.get(), 0, 0, 640, 120, 0xFFFFFFFF);
    for (int r = 0; r < 9; ++r) {
      for (int c = 0; c < 9; ++c)
        add(leaf_.get(), 73.0f + c * 54, 129.0f + r * 36, 44, 30, 0xFFFFFFFF);
    }
    for (int k = 0; k < 2; ++k) add(background_[k].get(), 20, 65.0f + 25 * k, 400, 20, 0xFFFFFFFF);
    for (int k = 0; k < 2; ++k) add(lines_[k].get(), 20, 65.0f + 25 * k, 400, 20, 0xFF0000FF);
    for (int i = 0; i < 80; ++i) {
      const int r = (i + 1) / 9, c = (i + 1) % 9;  // square 0 is the hole
      const dg::TDGTexture* t = cells_[i].get();
      add(cells_[i].get(), 73.0f + c * 54 + 11, 129.0f + r * 36 + 4, static_cast<float>(t->Width()),
          static_cast<float>(t->Height()), i == 40 ? 0xFFFF0030 : 0xFF000000);
    }
    for (int k = 0; k < 4; ++k) {
      const dg::TDGTexture* t = answers_[k].get();
      add(answers_[k].get(), 20.0f + 50 * k, 20, static_cast<float>(t->Width()),
          static_cast<float>(t->Height()), 0xFFFF0000);
    }
    quads_.push_back({strip_.get(), 73 + 4 * 54 - 2, 129 + 4 * 36 - 4, 48, 36,
                      3 * strip_->ScaleU() / 8, 4 * strip_->ScaleU() / 8, strip_->ScaleV(),
                      0xFFFFFFFF, false});
    add(captionBackground_.get(), 20, 460, 300, 20, 0xFFFFFFFF);
    add(caption_.get(), 20, 460, 300, 20, 0xFFFFFFFF);
    scene_ = std::make_unique<TSXScene>(*f.carad, "");
  }

  void DrawThroughScene() {
    IDirect3DDevice9* d = f_.carad->Device();
    scene_->Clear(D3DCLEAR_TARGET, 0, 1.0f, 0);
    d->BeginScene();
    for (const FrameQuad& q : quads_) {
      const TSXVertex v[4] = {
          MakeVertex(0, 0, q.colour, q.u0, 0), MakeVertex(q.w, 0, q.colour, q.u1, 0),
          MakeVertex(0, q.h, q.colour, q.u0, q.v1), MakeVertex(q.w, q.h, q.colour, q.u1, q.v1)};
      scene_->AddQuad({q.x, q.y}, v, q.texture, sxbmAlphaBlend,
                      q.linear ? TSXFilter::Linear : TSXFilter::Point, TSXLayer::Overlay, 0);
    }
    scene_->Render();
    d->EndScene();
  }

  void DrawDirectly() {
    struct Vertex {
      float x, y, z, rhw;
      std::uint32_t diffuse, specular;
      float u, v;
    };
    IDirect3DDevice9* d = f_.carad->Device();
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    d->BeginScene();
    d->SetFVF(0x1C4);
    d->SetRenderState(D3DRS_LIGHTING, 0);
    d->SetRenderState(D3DRS_ZENABLE, 0);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    bool linear = true;
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    for (const FrameQuad& q : quads_) {
      if (q.linear != linear) {
        linear = q.linear;
        const DWORD filter = linear ? D3DTEXF_LINEAR : D3DTEXF_POINT;
        d->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
        d->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
      }
      d->SetTexture(0, q.texture->Texture());
      const Vertex v[4] = {{q.x, q.y, 0, 0.5f, q.colour, 0, q.u0, 0},
                           {q.x + q.w, q.y, 0, 0.5f, q.colour, 0, q.u1, 0},
                           {q.x, q.y + q.h, 0, 0.5f, q.colour, 0, q.u0, q.v1},
                           {q.x + q.w, q.y + q.h, 0, 0.5f, q.colour, 0, q.u1, q.v1}};
      d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(Vertex));
    }
    d->EndScene();
  }

  std::size_t QuadCount() const { return quads_.size(); }

 private:
  Fixture& f_;
  std::unique_ptr<dg::TDGTexture> wallpaper_, road_, leaf_, strip_, captionBackground_, caption_;
  std::vector<std::unique_ptr<dg::TDGTexture>> background_, lines_, cells_, answers_;
  std::vector<FrameQuad> quads_;
  std::unique_ptr<TSXScene> scene_;
};

Frame& TheFrame() {
  static Frame frame(TheFixture());
  return frame;
}

void BM_FrameThroughScene(benchmark::State& state) {
  Frame& frame = TheFrame();
  for (auto _ : state) frame.DrawThroughScene();
  state.counters["quads"] = static_cast<double>(frame.QuadCount());
}

void BM_FrameDirectReference(benchmark::State& state) {
  Frame& frame = TheFrame();
  for (auto _ : state) frame.DrawDirectly();
  state.counters["quads"] = static_cast<double>(frame.QuadCount());
}

constexpr int kRepetitions = 9;
BENCHMARK(BM_DrawTextWarm)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_DrawTextWarmReferenceMemcpy)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_DrawTextCold)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_DrawTextColdReferenceGlyphLayer)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FrameThroughScene)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_FrameDirectReference)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
