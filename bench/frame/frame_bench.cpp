// The typical saver frame drawn four ways in one run: through the software Direct3D
// device (what the saver does), with pixman, with SDL2's software renderer, and a memcpy
// of one 640 x 480 frame as the floor. Target: the device's median frame at most
// pixman's median (ratio <= 1.0). Present is not part of the measured frame.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "frame_content.h"
#include "platform/d3d9/d3d9.h"

namespace {

using frame_bench::FrameContent;
using frame_bench::Picture;

const FrameContent& Content() {
  static const FrameContent content = FrameContent::Make();
  return content;
}

// The whole frame, or only the clear and the stretched wallpaper (to see where time goes).
enum class Part { Whole, Wallpaper };

// ---- Software Direct3D device ----

struct Vertex {
  float x, y, z, rhw;
  uint32_t diffuse, specular;
  float u, v;
};

class DeviceFrame {
 public:
  explicit DeviceFrame(RasterPath path) {
    d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferWidth = FrameContent::kWidth;
    p.BackBufferHeight = FrameContent::kHeight;
    p.BackBufferFormat = D3DFMT_A8R8G8B8;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.Windowed = TRUE;
    p.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    d3d_->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p,
                       &device_);
    device_->SetRasterPath(path);
    const FrameContent& c = Content();
    spriteFrame_ = c.sprite.picture;
    wallpaper_ = Upload(c.wallpaper);
    header_ = Upload(c.header);
    tile_ = Upload(c.tile);
    for (const Picture& g : c.glyphs) glyphs_.push_back(Upload(g));
    for (const Picture& g : c.bigGlyphs) bigGlyphs_.push_back(Upload(g));
    panel_ = Upload(c.panel);
    strip_ = Upload(c.strip);
    caption_ = Upload(c.caption);
  }
  ~DeviceFrame() {
    for (IDirect3DTexture9* t : all_) t->Release();
    device_->Release();
    d3d_->Release();
  }

  // The device holds draws back until the frame is used; Now makes it draw them whole
  // (a lock of the back buffer) before Draw returns.
  enum class Drawing { Now, AtPresent };
  void Draw(Part part = Part::Whole, Drawing when = Drawing::Now) {
    const FrameContent& c = Content();
    IDirect3DDevice9* d = device_;
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    d->BeginScene();
    d->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    Filter(D3DTEXF_LINEAR);
    Quad(wallpaper_, 0, 0, 640, 480, 0, 1, 0xFFFFFFFF);
    if (part == Part::Wallpaper) {
      d->EndScene();
      DrawNow();
      return;
    }
    Filter(D3DTEXF_POINT);
    Quad(header_, 0, 0, 640, 120, 0, 1, 0xFFFFFFFF);
    for (const auto& t : c.tiles) Quad(tile_, t.x, t.y, 44, 30, 0, 1, 0xFFFFFFFF);
    for (const auto& g : c.glyphQuads)
      Quad(glyphs_[static_cast<size_t>(g.picture)], g.x, g.y, 21, 21, 0, 1, g.color);
    for (const auto& g : c.bigGlyphQuads) {
      Quad(bigGlyphs_[static_cast<size_t>(g.picture)], g.x, g.y, 37, 37, 0, 1, g.color);
    }
    for (const auto& p : c.panels) {
      Quad(nullptr, p.x, p.y, 400, 20, 0, 1, p.color);
      Quad(panel_, p.x, p.y, 400, 20, 0, 1, 0xFFFFFFFF);
    }
    Quad(strip_, c.sprite.x, c.sprite.y, 48, 36, spriteFrame_ / 8.0f, (spriteFrame_ + 1) / 8.0f,
         0xFFFFFFFF);
    Quad(caption_, c.captionAt.x, c.captionAt.y, 300, 20, 0, 1, 0xFFFFFFFF);
    d->EndScene();
    if (when == Drawing::Now) DrawNow();
  }

  // The saver's next frame: the same draws with the sprite one picture on, presented.
  void NextFrame() {
    spriteFrame_ = (spriteFrame_ + 1) % 8;
    Draw(Part::Whole, Drawing::AtPresent);
    device_->Present(nullptr, nullptr, nullptr, nullptr);
  }

  void DrawNow() {
    IDirect3DSurface9* bb = nullptr;
    device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &bb);
    D3DLOCKED_RECT lr{};
    bb->LockRect(&lr, nullptr, D3DLOCK_READONLY);
    bb->UnlockRect();
    bb->Release();
  }

  std::vector<uint32_t> Pixels() {
    device_->Present(nullptr, nullptr, nullptr, nullptr);
    std::vector<uint32_t> frame;
    device_->GetLastPresentedFrame(&frame, nullptr, nullptr);
    return frame;
  }

 private:
  int spriteFrame_ = 0;
  IDirect3DTexture9* Upload(const Picture& p) {
    IDirect3DTexture9* t = nullptr;
    device_->CreateTexture(static_cast<UINT>(p.width), static_cast<UINT>(p.height), 1, 0,
                           D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr);
    D3DLOCKED_RECT lr{};
    t->LockRect(0, &lr, nullptr, 0);
    for (int y = 0; y < p.height; ++y) {
      std::memcpy(static_cast<uint8_t*>(lr.pBits) + static_cast<ptrdiff_t>(y) * lr.Pitch,
                  p.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(p.width),
                  static_cast<size_t>(p.width) * 4);
    }
    t->UnlockRect(0);
    all_.push_back(t);
    return t;
  }

  void Filter(DWORD filter) {
    device_->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
    device_->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
  }

  void Quad(IDirect3DTexture9* texture, int x, int y, int w, int h, float u0, float u1,
            uint32_t color) {
    device_->SetTexture(0, texture);
    const float x0 = static_cast<float>(x), y0 = static_cast<float>(y);
    const float x1 = x0 + static_cast<float>(w), y1 = y0 + static_cast<float>(h);
    const Vertex v[4] = {{x0, y0, 0, 0.5f, color, 0, u0, 0},
                         {x1, y0, 0, 0.5f, color, 0, u1, 0},
                         {x0, y1, 0, 0.5f, color, 0, u0, 1},
                         {x1, y1, 0, 0.5f, color, 0, u1, 1}};
    device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(Vertex));
  }

  IDirect3D9* d3d_ = nullptr;
  IDirect3DDevice9* device_ = nullptr;
  std::vector<IDirect3DTexture9*> all_;
  IDirect3DTexture9* wallpaper_;
  IDirect3DTexture9* header_;
  IDirect3DTexture9* tile_;
  std::vector<IDirect3DTexture9*> glyphs_;
  std::vector<IDirect3DTexture9*> bigGlyphs_;
  IDirect3DTexture9* panel_;
  IDirect3DTexture9* strip_;
  IDirect3DTexture9* caption_;
};

// ---- pixman ----

uint32_t Premultiply(uint32_t p) {
  const uint32_t a = p >> 24;
  auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
  return a << 24 | mul((p >> 16) & 255) << 16 | mul((p >> 8) & 255) << 8 | mul(p & 255);
}

pixman_color_t PixmanColor(uint32_t argb) {
  const uint16_t a = static_cast<uint16_t>((argb >> 24) * 257);
  auto pre = [&](uint32_t c) { return static_cast<uint16_t>(c * 257 * (argb >> 24) / 255); };
  return {pre((argb >> 16) & 255), pre((argb >> 8) & 255), pre(argb & 255), a};
}

class PixmanFrame {
 public:
  PixmanFrame() : target_(640 * 480) {
    dst_ = pixman_image_create_bits(PIXMAN_a8r8g8b8, 640, 480, target_.data(), 640 * 4);
    const FrameContent& c = Content();
    wallpaper_ = Color(c.wallpaper);
    pixman_transform_t scale;
    pixman_transform_init_scale(&scale, pixman_double_to_fixed(1024.0 / 640.0),
                                pixman_double_to_fixed(768.0 / 480.0));
    pixman_image_set_transform(wallpaper_, &scale);
    pixman_image_set_filter(wallpaper_, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    pixman_image_set_repeat(wallpaper_, PIXMAN_REPEAT_NORMAL);
    header_ = Color(c.header);
    tile_ = Color(c.tile);
    for (const Picture& g : c.glyphs) glyphs_.push_back(Mask(g));
    for (const Picture& g : c.bigGlyphs) bigGlyphs_.push_back(Mask(g));
    panel_ = Mask(c.panel);
    strip_ = Color(c.strip);
    caption_ = Mask(c.caption);
    const pixman_color_t black = PixmanColor(0xFF000000), red = PixmanColor(0xFFFF0000),
                         white = PixmanColor(0xFFFFFFFF);
    black_ = pixman_image_create_solid_fill(&black);
    red_ = pixman_image_create_solid_fill(&red);
    white_ = pixman_image_create_solid_fill(&white);
  }
  ~PixmanFrame() {
    for (pixman_image_t* i : all_) pixman_image_unref(i);
    for (pixman_image_t* i : {dst_, black_, red_, white_}) pixman_image_unref(i);
  }

  void Draw(Part part = Part::Whole) {
    const FrameContent& c = Content();
    const pixman_color_t clear = PixmanColor(0xFF000000);
    const pixman_box32_t whole{0, 0, 640, 480};
    pixman_image_fill_boxes(PIXMAN_OP_SRC, dst_, &clear, 1, &whole);
    pixman_image_composite32(PIXMAN_OP_OVER, wallpaper_, nullptr, dst_, 0, 0, 0, 0, 0, 0, 640, 480);
    if (part == Part::Wallpaper) return;
    pixman_image_composite32(PIXMAN_OP_OVER, header_, nullptr, dst_, 0, 0, 0, 0, 0, 0, 640, 120);
    for (const auto& t : c.tiles) {
      pixman_image_composite32(PIXMAN_OP_OVER, tile_, nullptr, dst_, 0, 0, 0, 0, t.x, t.y, 44, 30);
    }
    for (const auto& g : c.glyphQuads) {
      pixman_image_composite32(PIXMAN_OP_OVER, g.color == 0xFFFF0000u ? red_ : black_,
                               glyphs_[static_cast<size_t>(g.picture)], dst_, 0, 0, 0, 0, g.x, g.y,
                               21, 21);
    }
    for (const auto& g : c.bigGlyphQuads) {
      pixman_image_composite32(PIXMAN_OP_OVER, black_, bigGlyphs_[static_cast<size_t>(g.picture)],
                               dst_, 0, 0, 0, 0, g.x, g.y, 37, 37);
    }
    for (const auto& p : c.panels) {
      const pixman_color_t bg = PixmanColor(p.color);
      const pixman_box32_t box{p.x, p.y, p.x + 400, p.y + 20};
      pixman_image_fill_boxes(PIXMAN_OP_OVER, dst_, &bg, 1, &box);
      pixman_image_composite32(PIXMAN_OP_OVER, white_, panel_, dst_, 0, 0, 0, 0, p.x, p.y, 400, 20);
    }
    pixman_image_composite32(PIXMAN_OP_OVER, strip_, nullptr, dst_, c.sprite.picture * 48, 0, 0, 0,
                             c.sprite.x, c.sprite.y, 48, 36);
    pixman_image_composite32(PIXMAN_OP_OVER, white_, caption_, dst_, 0, 0, 0, 0, c.captionAt.x,
                             c.captionAt.y, 300, 20);
  }

  const std::vector<uint32_t>& Pixels() const { return target_; }

 private:
  pixman_image_t* Color(const Picture& p) {
    auto& bits = storage_.emplace_back(p.pixels);
    for (uint32_t& v : bits) v = Premultiply(v);
    pixman_image_t* i =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, p.width, p.height, bits.data(), p.width * 4);
    all_.push_back(i);
    return i;
  }
  pixman_image_t* Mask(const Picture& p) {
    const int stride = (p.width + 3) & ~3;
    auto& bits = storage_.emplace_back(static_cast<size_t>(stride * p.height / 4 + 1), 0u);
    auto* bytes = reinterpret_cast<uint8_t*>(bits.data());
    for (int y = 0; y < p.height; ++y) {
      for (int x = 0; x < p.width; ++x)
        bytes[y * stride + x] =
            static_cast<uint8_t>(p.pixels[static_cast<size_t>(y * p.width + x)] >> 24);
    }
    pixman_image_t* i = pixman_image_create_bits(PIXMAN_a8, p.width, p.height, bits.data(), stride);
    all_.push_back(i);
    return i;
  }

  std::vector<uint32_t> target_;
  std::vector<std::vector<uint32_t>> storage_;
  std::vector<pixman_image_t*> all_;
  pixman_image_t* dst_;
  pixman_image_t* wallpaper_;
  pixman_image_t* header_;
  pixman_image_t* tile_;
  std::vector<pixman_image_t*> glyphs_;
  std::vector<pixman_image_t*> bigGlyphs_;
  pixman_image_t* panel_;
  pixman_image_t* strip_;
  pixman_image_t* caption_;
  pixman_image_t* black_;
  pixman_image_t* red_;
  pixman_image_t* white_;
};

// ---- SDL2 software renderer ----

class SdlFrame {
 public:
  SdlFrame() {
    surface_ = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 32, SDL_PIXELFORMAT_ARGB8888);
    renderer_ = SDL_CreateSoftwareRenderer(surface_);
    const FrameContent& c = Content();
    wallpaper_ = Upload(c.wallpaper);
    SDL_SetTextureScaleMode(wallpaper_, SDL_ScaleModeLinear);
    header_ = Upload(c.header);
    tile_ = Upload(c.tile);
    for (const Picture& g : c.glyphs) glyphs_.push_back(Upload(g));
    for (const Picture& g : c.bigGlyphs) bigGlyphs_.push_back(Upload(g));
    panel_ = Upload(c.panel);
    strip_ = Upload(c.strip);
    caption_ = Upload(c.caption);
  }
  ~SdlFrame() {
    for (SDL_Texture* t : all_) SDL_DestroyTexture(t);
    SDL_DestroyRenderer(renderer_);
    SDL_FreeSurface(surface_);
  }

  void Draw() {
    const FrameContent& c = Content();
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    Copy(wallpaper_, nullptr, 0, 0, 640, 480, 0xFFFFFFFF);
    Copy(header_, nullptr, 0, 0, 640, 120, 0xFFFFFFFF);
    for (const auto& t : c.tiles) Copy(tile_, nullptr, t.x, t.y, 44, 30, 0xFFFFFFFF);
    for (const auto& g : c.glyphQuads)
      Copy(glyphs_[static_cast<size_t>(g.picture)], nullptr, g.x, g.y, 21, 21, g.color);
    for (const auto& g : c.bigGlyphQuads) {
      Copy(bigGlyphs_[static_cast<size_t>(g.picture)], nullptr, g.x, g.y, 37, 37, g.color);
    }
    for (const auto& p : c.panels) {
      SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_BLEND);
      SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 0x60);
      const SDL_Rect r{p.x, p.y, 400, 20};
      SDL_RenderFillRect(renderer_, &r);
      Copy(panel_, nullptr, p.x, p.y, 400, 20, 0xFFFFFFFF);
    }
    const SDL_Rect frame{c.sprite.picture * 48, 0, 48, 36};
    Copy(strip_, &frame, c.sprite.x, c.sprite.y, 48, 36, 0xFFFFFFFF);
    Copy(caption_, nullptr, c.captionAt.x, c.captionAt.y, 300, 20, 0xFFFFFFFF);
    SDL_RenderFlush(renderer_);
  }

 private:
  SDL_Texture* Upload(const Picture& p) {
    SDL_Texture* t = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                       SDL_TEXTUREACCESS_STATIC, p.width, p.height);
    SDL_UpdateTexture(t, nullptr, p.pixels.data(), p.width * 4);
    SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
    all_.push_back(t);
    return t;
  }
  void Copy(SDL_Texture* t, const SDL_Rect* src, int x, int y, int w, int h, uint32_t color) {
    SDL_SetTextureColorMod(t, static_cast<Uint8>(color >> 16), static_cast<Uint8>(color >> 8),
                           static_cast<Uint8>(color));
    const SDL_Rect dst{x, y, w, h};
    SDL_RenderCopy(renderer_, t, src, &dst);
  }

  SDL_Surface* surface_;
  SDL_Renderer* renderer_;
  std::vector<SDL_Texture*> all_;
  SDL_Texture* wallpaper_;
  SDL_Texture* header_;
  SDL_Texture* tile_;
  std::vector<SDL_Texture*> glyphs_;
  std::vector<SDL_Texture*> bigGlyphs_;
  SDL_Texture* panel_;
  SDL_Texture* strip_;
  SDL_Texture* caption_;
};

void BM_DeviceFrame(benchmark::State& state) {
  DeviceFrame frame(RasterPath::Fast);
  for (auto _ : state) {
    frame.Draw();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DeviceFrame)->Unit(benchmark::kMillisecond);

void BM_DeviceNextFrame(benchmark::State& state) {
  DeviceFrame frame(RasterPath::Fast);
  frame.NextFrame();
  for (auto _ : state) {
    frame.NextFrame();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DeviceNextFrame)->Unit(benchmark::kMillisecond);

void BM_DeviceFramePlainPath(benchmark::State& state) {
  DeviceFrame frame(RasterPath::Plain);
  for (auto _ : state) {
    frame.Draw();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DeviceFramePlainPath)->Unit(benchmark::kMillisecond);

void BM_DeviceFrameSse2(benchmark::State& state) {
  DeviceFrame frame(RasterPath::FastSse2);
  for (auto _ : state) {
    frame.Draw();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DeviceFrameSse2)->Unit(benchmark::kMillisecond);

void BM_DeviceWallpaperOnly(benchmark::State& state) {
  DeviceFrame frame(RasterPath::Fast);
  for (auto _ : state) {
    frame.Draw(Part::Wallpaper);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DeviceWallpaperOnly)->Unit(benchmark::kMillisecond);

void BM_PixmanWallpaperOnly(benchmark::State& state) {
  PixmanFrame frame;
  for (auto _ : state) {
    frame.Draw(Part::Wallpaper);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PixmanWallpaperOnly)->Unit(benchmark::kMillisecond);

void BM_PixmanFrame(benchmark::State& state) {
  PixmanFrame frame;
  for (auto _ : state) {
    frame.Draw();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PixmanFrame)->Unit(benchmark::kMillisecond);

void BM_SdlFrame(benchmark::State& state) {
  SdlFrame frame;
  for (auto _ : state) {
    frame.Draw();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SdlFrame)->Unit(benchmark::kMillisecond);

void BM_MemcpyFrame(benchmark::State& state) {
  std::vector<uint32_t> a(640 * 480, 0x12345678), b(640 * 480);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), a.size() * 4);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemcpyFrame)->Unit(benchmark::kMillisecond);

// Keeps the median of every benchmark for the summary.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      // CPU time: on a shared machine, time spent descheduled is not the renderer's.
      if (run.aggregate_name == "median")
        medians[run.run_name.function_name] = run.GetAdjustedCPUTime();
    }
  }
  std::map<std::string, double> medians;  // milliseconds of CPU time
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> args(argv, argv + argc);
  std::string repetitions = "--benchmark_repetitions=30";
  std::string aggregates = "--benchmark_report_aggregates_only=true";
  // Repetitions of the renderers alternate, so that load from other processes on a
  // shared machine falls on all of them alike.
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  std::string minTime = "--benchmark_min_time=0.05";
  args.insert(args.begin() + 1,
              {repetitions.data(), aggregates.data(), interleave.data(), minTime.data()});
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  auto figure = [&](const char* name) {
    const auto it = reporter.medians.find(name);
    return it == reporter.medians.end() ? -1.0 : it->second;
  };
  const double ours = figure("BM_DeviceFrame"), pixman = figure("BM_PixmanFrame");
  // The renderers must draw the same picture for the comparison to mean anything: the
  // mean difference per channel between the device's frame and pixman's (filters and
  // rounding differ slightly).
  {
    DeviceFrame device(RasterPath::Fast);
    device.Draw();
    const std::vector<uint32_t> a = device.Pixels();
    PixmanFrame pixman;
    pixman.Draw();
    const std::vector<uint32_t>& b = pixman.Pixels();
    double total = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
      for (int c = 0; c < 24; c += 8)
        total +=
            std::abs(static_cast<int>((a[i] >> c) & 255) - static_cast<int>((b[i] >> c) & 255));
    }
    std::printf("\nmean channel difference device vs pixman frame: %.2f / 255\n",
                total / (3.0 * static_cast<double>(a.size())));
  }
  std::printf(
      "median frame (ms): device %.3f  pixman %.3f  SDL2 %.3f  memcpy %.3f  plain path %.3f\n",
      ours, pixman, figure("BM_SdlFrame"), figure("BM_MemcpyFrame"),
      figure("BM_DeviceFramePlainPath"));
  std::printf("device frame with SSE2 only (ms): %.3f\n", figure("BM_DeviceFrameSse2"));
  std::printf("clear and wallpaper only (ms): device %.3f  pixman %.3f\n",
              figure("BM_DeviceWallpaperOnly"), figure("BM_PixmanWallpaperOnly"));
  if (ours > 0 && pixman > 0)
    std::printf("device / pixman = %.2f (target <= 1.00)\n", ours / pixman);
  return 0;
}
