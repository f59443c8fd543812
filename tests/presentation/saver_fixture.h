// Support for tests that run the real saver headless: a private copy of the built data
// folder (with settings of the test's choosing), frame pixel counts, and the quads a
// composed frame queues.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "game/game.h"
#include "shell/headless_saver.h"
#include "sx/scene.h"

namespace saver_test {

namespace fs = std::filesystem;

// The data folder the build lays out beside the executables.
inline std::string BuiltDataDir() { return VM_TEST_DATA_DIR "/"; }

// A copy of the built data folder, removed afterwards.
class DataCopy {
 public:
  DataCopy() {
    std::random_device rd;
    root_ = fs::temp_directory_path() /
            ("vm_saver_test_" + std::to_string(rd()) + std::to_string(rd()));
    fs::create_directories(root_);
    for (const auto& entry : fs::directory_iterator(BuiltDataDir()))
      if (entry.is_regular_file()) fs::copy_file(entry.path(), root_ / entry.path().filename());
    dir_ = root_.string() + "/";
  }
  ~DataCopy() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  DataCopy(const DataCopy&) = delete;
  DataCopy& operator=(const DataCopy&) = delete;

  const std::string& Dir() const { return dir_; }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir_ + name, std::ios::binary) << bytes;
    return dir_ + name;
  }
  void Settings(const std::string& ini) const { Write("Settei.ini", ini); }

 private:
  fs::path root_;
  std::string dir_;
};

struct Box {
  int x, y, w, h;
};

// Pixels of `box` (clipped to the frame) equal to `rgb` exactly.
inline int CountExact(const shell::Frame& f, Box box, std::uint32_t rgb) {
  int n = 0;
  for (int y = std::max(0, box.y); y < std::min(f.height, box.y + box.h); ++y)
    for (int x = std::max(0, box.x); x < std::min(f.width, box.x + box.w); ++x)
      if (f.At(x, y) == rgb) ++n;
  return n;
}

inline int CountIf(const shell::Frame& f, Box box,
                   const std::function<bool(int r, int g, int b)>& test) {
  int n = 0;
  for (int y = std::max(0, box.y); y < std::min(f.height, box.y + box.h); ++y)
    for (int x = std::max(0, box.x); x < std::min(f.width, box.x + box.w); ++x) {
      const std::uint32_t p = f.At(x, y);
      if (test(static_cast<int>(p >> 16 & 255), static_cast<int>(p >> 8 & 255),
               static_cast<int>(p & 255)))
        ++n;
    }
  return n;
}

inline bool Dark(int r, int g, int b) { return r < 40 && g < 40 && b < 40; }

// Where square (r, c)'s character image is drawn now, at its texture's size.
inline Box CharacterBox(shell::HeadlessSaver& s, int r, int c) {
  const game::TFlyingTile& t = s.State().flyingTiles[r][c];
  dg::TDGTexture& tex = s.Screen().CellTexture(r, c);
  return Box{t.x, t.y, static_cast<int>(tex.Width()), static_cast<int>(tex.Height())};
}

// The quads of one frame composed now (queued, then drawn away by a frame rendered
// afterwards, so that the next check starts from an empty queue).
struct Quad {
  const dg::TDGTexture* texture;
  float x, y;
  std::uint32_t colour;
};
inline std::vector<Quad> ComposedQuads(shell::HeadlessSaver& s) {
  s.Screen().ComposeFrame();
  const sx::TSXRenderingQueue& queue = s.Screen().Scene().OverlayQueue();
  std::vector<Quad> quads;
  for (std::size_t i = 0; i < queue.Count(); ++i) {
    const sx::TSXQueuedQuad& q = queue.Quad(i);
    quads.push_back(Quad{q.texture, q.x, q.y, q.vertices[0].colour});
  }
  s.Screen().RenderFrame();
  return quads;
}
inline std::vector<Quad> QuadsOf(const std::vector<Quad>& quads, const dg::TDGTexture& texture) {
  std::vector<Quad> out;
  for (const Quad& q : quads)
    if (q.texture == &texture) out.push_back(q);
  return out;
}

// Ticks until `done` holds (false when it never did within `maxTicks`).
inline bool RunUntil(shell::HeadlessSaver& s,
                     const std::function<bool(const game::GameState&)>& done,
                     int maxTicks = 20000) {
  for (int i = 0; i < maxTicks; ++i) {
    if (done(s.State())) return true;
    s.RunTicks(1);
  }
  return done(s.State());
}

}  // namespace saver_test
