// The data folder the build lays out beside the executable: the archive's pictures, the
// wallpapers, the chime and the two texts, checked against what the saver expects of them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "assets/bmp_reader.h"
#include "data/qda.h"
#include "data/stream.h"
#include "dictionary/dictionary.h"
#include "jpeg/jpeg.h"

namespace {

namespace fs = std::filesystem;
using assets_test::Bmp24;

const std::string kDataDir = VM_DATA_DIR_PATH;
const std::vector<std::string> kPictureIds = {"road.bmp", "Leaf.bmp", "velmorandi_0.bmp",
                                              "Velmorandi_1.bmp"};
constexpr std::uint32_t kKeyGreen = 0x00FF00;

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A picture of the archive, as the saver gets it.
std::vector<std::uint8_t> PictureBytes(const std::string& id) {
  return data::ExtractQDAFile(kDataDir + "/data.qda", id).TakeBytes();
}

Bmp24 Picture(const std::string& id) {
  Bmp24 bmp;
  std::string error;
  EXPECT_TRUE(assets_test::ParseBmp24(PictureBytes(id), bmp, error)) << id << ": " << error;
  return bmp;
}

float Luma(std::uint32_t rgb) {
  return 0.299f * static_cast<float>(rgb >> 16) + 0.587f * static_cast<float>((rgb >> 8) & 0xFF) +
         0.114f * static_cast<float>(rgb & 0xFF);
}

TEST(Assets, ArchiveHoldsExactlyTheFourPictures) {
  data::FileStream file(kDataDir + "/data.qda");
  const data::QDADirectory dir = data::ReadQDADirectory(file);
  std::multiset<std::string> ids;
  for (const auto& e : dir.entries) ids.insert(e.id);
  EXPECT_EQ(ids, std::multiset<std::string>(kPictureIds.begin(), kPictureIds.end()));
}

TEST(Assets, EveryPictureIsAValid24BitBitmap) {
  for (const std::string& id : kPictureIds) {
    const Bmp24 bmp = Picture(id);
    EXPECT_GT(bmp.width, 0) << id;
  }
}

TEST(Assets, LeafFitsTheBoardAndCarriesACharacterOnALightMiddle) {
  const Bmp24 leaf = Picture("Leaf.bmp");
  // Nine tiles with gaps of 10 and 6 from (73, 129) must end inside the 640 x 480 screen.
  EXPECT_LE(8 * (leaf.width + 10) + 73 + leaf.width, 640);
  EXPECT_LE(8 * (leaf.height + 6) + 129 + leaf.height, 480);
  // The character box is drawn at (9, 4), 21 pixels square: its middle must lie on the
  // leaf (opaque) and be light enough for black and red characters.
  ASSERT_GE(leaf.width, 31);
  ASSERT_GE(leaf.height, 26);
  for (int y = 8; y < 22; ++y)
    for (int x = 12; x < 28; ++x) {
      const std::uint32_t p = leaf.At(x, y);
      ASSERT_NE(p, 0u) << "hole in the leaf at " << x << "," << y;
      EXPECT_GT(Luma(p), 185.0f) << "dark at " << x << "," << y;
    }
  // The corners lie outside the blade: transparent black.
  EXPECT_EQ(leaf.At(0, 0), 0u);
  EXPECT_EQ(leaf.At(leaf.width - 1, leaf.height - 1), 0u);
}

TEST(Assets, RoadIsCalmAndLightWhereTheTextsStand) {
  const Bmp24 road = Picture("road.bmp");
  EXPECT_EQ(road.width, 640);
  // It must end above the walker on the first board row (y = 129 - 4).
  EXPECT_LE(road.height, 125);
  struct Area {
    const char* name;
    int x0, y0, x1, y1;
  };
  const Area areas[] = {{"answer row", 20, 20, 210, 57},
                        {"reading", 250, 30, 630, 50},
                        {"meaning lines", 20, 65, 630, 100}};
  for (const Area& a : areas) {
    double sum = 0, sum2 = 0;
    int n = 0;
    for (int y = a.y0; y < a.y1; ++y)
      for (int x = a.x0; x < a.x1; ++x) {
        const std::uint32_t p = road.At(x, y);
        ASSERT_NE(p, 0u) << a.name << ": transparent at " << x << "," << y;
        const double l = Luma(p);
        sum += l, sum2 += l * l, ++n;
      }
    const double mean = sum / n, spread = std::sqrt(sum2 / n - mean * mean);
    EXPECT_GT(mean, 185.0) << a.name;
    EXPECT_LT(spread, 14.0) << a.name;
  }
}

TEST(Assets, WalkerStripsAreKeyedForTheSaver) {
  const Bmp24 right = Picture("velmorandi_0.bmp");
  const Bmp24 left = Picture("Velmorandi_1.bmp");
  ASSERT_EQ(right.width % 8, 0);
  ASSERT_EQ(right.width, left.width);
  ASSERT_EQ(right.height, left.height);
  const int fw = right.width / 8;
  EXPECT_GE(fw, 40);
  EXPECT_LE(fw, 56);
  for (const Bmp24* strip : {&right, &left})
    for (int f = 0; f < 8; ++f) {
      const int x0 = f * fw, x1 = x0 + fw - 1, y1 = strip->height - 1;
      for (auto [x, y] : {std::pair{x0, 0}, {x1, 0}, {x0, y1}, {x1, y1}})
        EXPECT_EQ(strip->At(x, y), kKeyGreen) << "frame " << f << " corner " << x << "," << y;
      // Every body pixel that touches the key is outline black: no colour blended toward
      // green that would show as a fringe once the green is keyed out.
      int body = 0, outline = 0;
      for (int y = 0; y < strip->height; ++y)
        for (int x = x0; x <= x1; ++x) {
          const std::uint32_t p = strip->At(x, y);
          if (p == kKeyGreen) continue;
          ++body;
          bool touchesKey = false;
          for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            const int nx = x + dx, ny = y + dy;
            if (nx < x0 || nx > x1 || ny < 0 || ny >= strip->height) continue;
            touchesKey = touchesKey || strip->At(nx, ny) == kKeyGreen;
          }
          if (touchesKey) {
            ++outline;
            EXPECT_EQ(p, 0u) << "frame " << f << " edge pixel " << x << "," << y;
          }
        }
      EXPECT_GT(body, fw * strip->height / 5) << "frame " << f;
      EXPECT_GT(outline, 60) << "frame " << f;
    }
  // Facing left is facing right mirrored, frame by frame.
  for (int f = 0; f < 8; ++f)
    for (int y = 0; y < right.height; ++y)
      for (int x = 0; x < fw; ++x)
        ASSERT_EQ(right.At(f * fw + x, y), left.At(f * fw + fw - 1 - x, y)) << "frame " << f;
  // It walks: consecutive frames differ.
  for (int f = 0; f < 8; ++f) {
    const int g = (f + 1) % 8;
    int differing = 0;
    for (int y = 0; y < right.height; ++y)
      for (int x = 0; x < fw; ++x) differing += right.At(f * fw + x, y) != right.At(g * fw + x, y);
    EXPECT_GT(differing, 20) << "frames " << f << " and " << g;
  }
}

TEST(Assets, WallpapersDecodeAtTheirSizeAndDiffer) {
  std::vector<std::array<double, 3>> means;
  for (int i = 0; i < 3; ++i) {
    const std::string name = "Kabe_" + std::to_string(i) + ".jpg";
    const auto bytes = ReadBytes(fs::path(kDataDir) / name);
    const jpeg::DecodeResult r = jpeg::DecodeJpeg(bytes);
    ASSERT_TRUE(r.ok()) << name << ": " << r.error;
    EXPECT_EQ(r.image.width, 640) << name;
    EXPECT_EQ(r.image.height, 480) << name;
    // Baseline: a SOF0 frame header.
    bool sof0 = false;
    for (std::size_t k = 0; k + 1 < bytes.size() && !sof0; ++k)
      sof0 = bytes[k] == 0xFF && bytes[k + 1] == 0xC0;
    EXPECT_TRUE(sof0) << name;
    std::array<double, 3> m{};
    for (std::uint32_t p : r.image.pixels)
      for (int c = 0; c < 3; ++c) m[static_cast<std::size_t>(c)] += (p >> (16 - 8 * c)) & 0xFF;
    for (double& v : m) v /= static_cast<double>(r.image.pixels.size());
    means.push_back(m);
  }
  for (int a = 0; a < 3; ++a)
    for (int b = a + 1; b < 3; ++b) {
      double d = 0;
      for (int c = 0; c < 3; ++c) d += std::abs(means[a][c] - means[b][c]);
      EXPECT_GT(d, 30.0) << "wallpapers " << a << " and " << b << " look alike";
    }
}

TEST(Assets, ChimeIsShortCleanPcm) {
  const auto w = ReadBytes(fs::path(kDataDir) / "seikai.wav");
  ASSERT_GE(w.size(), 44u);
  auto u32 = [&](std::size_t at) {
    return w[at] | w[at + 1] << 8 | w[at + 2] << 16 | static_cast<std::uint32_t>(w[at + 3]) << 24;
  };
  auto u16 = [&](std::size_t at) { return static_cast<std::uint32_t>(w[at] | w[at + 1] << 8); };
  EXPECT_EQ(std::string(w.begin(), w.begin() + 4), "RIFF");
  EXPECT_EQ(u32(4), w.size() - 8);
  EXPECT_EQ(std::string(w.begin() + 8, w.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(u32(16), 16u);
  EXPECT_EQ(u16(20), 1u);  // PCM
  EXPECT_EQ(u16(22), 1u);  // mono
  EXPECT_EQ(u32(24), 44100u);
  EXPECT_EQ(u32(28), 88200u);
  EXPECT_EQ(u16(32), 2u);
  EXPECT_EQ(u16(34), 16u);
  EXPECT_EQ(std::string(w.begin() + 36, w.begin() + 40), "data");
  const std::uint32_t size = u32(40);
  ASSERT_EQ(size, w.size() - 44);
  const std::size_t n = size / 2;
  EXPECT_LT(n, 44100u) << "longer than a second";
  EXPECT_GT(n, 44100u / 4);
  auto sample = [&](std::size_t i) { return static_cast<std::int16_t>(u16(44 + 2 * i)); };
  int peak = 0;
  for (std::size_t i = 0; i < n; ++i) peak = std::max(peak, std::abs(static_cast<int>(sample(i))));
  EXPECT_GT(peak, 8000);
  EXPECT_LT(peak, 32000) << "no clipping";
  // Starts and ends near silence, so it never clicks.
  for (std::size_t i = 0; i < 20; ++i) {
    EXPECT_LT(std::abs(static_cast<int>(sample(i))), 400) << "start " << i;
    EXPECT_LT(std::abs(static_cast<int>(sample(n - 1 - i))), 100) << "end " << i;
  }
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const std::vector<std::uint8_t>& s) {
  for (std::size_t i = 0; i < s.size();) {
    const std::uint8_t c = s[i];
    int extra;
    std::uint32_t cp;
    if (c < 0x80) {
      ++i;
      continue;
    }
    if (c >= 0xC2 && c <= 0xDF)
      extra = 1, cp = c & 0x1F;
    else if (c >= 0xE0 && c <= 0xEF)
      extra = 2, cp = c & 0x0F;
    else if (c >= 0xF0 && c <= 0xF4)
      extra = 3, cp = c & 0x07;
    else
      return false;
    if (i + static_cast<std::size_t>(extra) >= s.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) return false;
      cp = cp << 6 | (s[i + k] & 0x3F);
    }
    if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
      return false;
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

// Lines by the word list's rules: CR LF, CR or LF end a line; a last line without a
// break counts; a trailing break adds none.
std::vector<std::string> Lines(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::string> lines;
  std::string cur;
  bool open = false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' || bytes[i] == '\n') {
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      lines.push_back(cur), cur.clear(), open = false;
    } else {
      cur.push_back(static_cast<char>(bytes[i])), open = true;
    }
  }
  if (open) lines.push_back(cur);
  return lines;
}

TEST(Assets, TextsAreUtf8AndTheWordListIsAHeaderOnly) {
  const auto readme = ReadBytes(fs::path(kDataDir) / "ReadMe.txt");
  const auto list = ReadBytes(fs::path(kDataDir) / "追加問題.txt");
  ASSERT_FALSE(readme.empty());
  EXPECT_TRUE(IsValidUtf8(readme));
  EXPECT_TRUE(IsValidUtf8(list));
  EXPECT_NE(readme[0], 0xEF) << "no byte-order mark";
  const std::string text(readme.begin(), readme.end());
  for (const char* needed :
       {"/s", "/c", "/p", "Settei.ini", "追加問題.txt", "Shift-JIS", "VelmorandiScrData"})
    EXPECT_NE(text.find(needed), std::string::npos) << "ReadMe.txt does not mention " << needed;

  const auto lines = Lines(list);
  EXPECT_EQ(lines.size(), 15u);
  for (const std::string& l : lines)
    EXPECT_FALSE(l.empty()) << "a blank header line is easy to lose";
  EXPECT_EQ(dictionary::CountValidUserIdioms(kDataDir + "/追加問題.txt"), 0);
  // The header is meant to be built on: one group after it must count.
  const fs::path tmp = fs::temp_directory_path() / "vm_assets_list_with_group.txt";
  {
    std::ofstream out(tmp, std::ios::binary);
    out.write(reinterpret_cast<const char*>(list.data()),
              static_cast<std::streamsize>(list.size()));
    out << "一石二鳥\n一つのことをして二つの利益を得ること\nいっせきにちょう\n";
  }
  EXPECT_EQ(dictionary::CountValidUserIdioms(tmp.string()), 1);
  fs::remove(tmp);
}

// Runs a generator into `dir`; true when it succeeded.
bool RunGenerator(const std::string& generator, const std::string& target) {
  const std::string command = "'" + generator + "' '" + target + "'";
  return std::system(command.c_str()) == 0;
}

std::vector<std::uint8_t> Generated(const fs::path& dir, const std::string& name) {
  return ReadBytes(dir / name);
}

TEST(Assets, GeneratorsWriteTheSameBytesEveryTime) {
  const fs::path base = fs::temp_directory_path() / ("vm_assets_" + std::to_string(::getpid()));
  const fs::path a = base / "a", b = base / "b";
  fs::create_directories(a);
  fs::create_directories(b);
  for (const fs::path& dir : {a, b}) {
    ASSERT_TRUE(RunGenerator(VM_GEN_SPRITES, dir.string()));
    ASSERT_TRUE(RunGenerator(VM_GEN_WALLPAPERS, dir.string()));
    ASSERT_TRUE(RunGenerator(VM_GEN_CHIME, (dir / "seikai.wav").string()));
  }
  std::vector<std::string> names = kPictureIds;
  for (const char* n : {"Kabe_0.jpg", "Kabe_1.jpg", "Kabe_2.jpg", "seikai.wav"}) names.push_back(n);
  for (const std::string& name : names) {
    const auto first = Generated(a, name);
    ASSERT_FALSE(first.empty()) << name;
    EXPECT_EQ(first, Generated(b, name)) << name << " differs between two runs";
    // And the build laid out exactly these bytes.
    const bool picture =
        std::find(kPictureIds.begin(), kPictureIds.end(), name) != kPictureIds.end();
    EXPECT_EQ(first, picture ? PictureBytes(name) : ReadBytes(fs::path(kDataDir) / name)) << name;
  }
  fs::remove_all(base);
}

}  // namespace
