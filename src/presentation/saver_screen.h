// The saver's screen on a device wrapper: the textures and text writers it draws with,
// the frame composition, the text panels and the wallpaper.
//
// Frame layers, back to front: wallpaper stretched over the screen, road, the 81 leaves,
// the meaning panel, the board characters (resting or flying), the answer characters, the
// walker, the reading panel, the music panel. Every quad is an overlay quad in blend mode
// 2, so the frame is drawn exactly in this order.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "dg/carad.h"
#include "dg/texture.h"
#include "game/game_settings.h"
#include "game/game_state.h"
#include "presentation/screen.h"
#include "sx/scene.h"
#include "sx/text_writer.h"

namespace presentation {

// Colours of the frame (ARGB).
inline constexpr std::uint32_t kWhite = 0xFFFFFFFF;
inline constexpr std::uint32_t kCharacterBlack = 0xFF000000;
inline constexpr std::uint32_t kDestinationRed = 0xFFFF0030;
inline constexpr std::uint32_t kFlyingRed = 0xFFFF0000;
inline constexpr std::uint32_t kMeaningBlue = 0xFF0000FF;
// Panel backgrounds, translucent.
inline constexpr std::uint32_t kMeaningBackground = 0x60FFFFFF;
inline constexpr std::uint32_t kReadingBackground = 0x6000FF00;
inline constexpr std::uint32_t kMusicBackground = 0x600000FF;

inline constexpr int kWalkerFrames = 8;
inline constexpr char kArchiveName[] = "data.qda";
inline constexpr char kSoundName[] = "seikai.wav";

enum class SoundOutput { kSpeaker, kSilent };

struct ScreenOptions {
  std::string dataDir;  // the data folder, ending in "/"
  SoundOutput sound = SoundOutput::kSpeaker;
  // The device can no longer draw: the program must end.
  std::function<void()> deviceLost;
  // Runs once the scene exists, before the first texture is made; may be empty.
  std::function<void()> sceneMade;
  // Runs with each finished frame, before it is presented (the back buffer holds it);
  // may be empty.
  std::function<void(IDirect3DDevice9&)> framePresenting;
};

class SaverScreen final : public Screen {
 public:
  // Makes every texture and the three writers on `carad` (whose device exists) and loads
  // the archive's pictures. The wrapper must outlive the screen.
  SaverScreen(dg::TDGCarad& carad, ScreenOptions options);
  ~SaverScreen() override;

  // Screen
  int LeafWidth() const override;
  int LeafHeight() const override;
  void SetWriterFont(const std::string& face, std::optional<std::uint8_t> style) override;
  void Attach(const game::GameState& state, const game::GameSettings& settings) override {
    state_ = &state;
    settings_ = &settings;
  }

  // game::GameView
  void WriteCellText(int row, int col, const std::u16string& kanji) override;
  void WriteAnswerText(int answer, const std::u16string& kanji) override;
  void WriteReadingText(const std::u16string& reading) override;
  void WriteMeaningLine(game::MeaningLine line, const std::u16string& text) override;
  void PlayCompletionSound() override;
  void RenderFrame() override;
  // Loads `path`; a file that cannot be shown is logged and the next wallpaper of the
  // game's list that loads takes its place (a black screen when none does).
  void LoadWallpaper(const std::string& path) override;

  // Longer than 32 characters, the caption is shortened.
  void WriteMusicCaption(const std::string& ansi) override;
  void SetMusicOn(bool on) override { musicOn_ = on; }

  // Queues the whole frame on the scene (after clearing the back buffer).
  void ComposeFrame();

  // For tests and tools.
  dg::TDGTexture& WallpaperTexture() { return *wallpaper_; }
  dg::TDGTexture& MeaningTexture(int k) { return *meaning_[static_cast<std::size_t>(k)]; }
  dg::TDGTexture& MeaningBackground(int k) { return *meaningBack_[static_cast<std::size_t>(k)]; }
  dg::TDGTexture& ReadingTexture() { return *reading_; }
  dg::TDGTexture& ReadingBackground() { return *readingBack_; }
  dg::TDGTexture& MusicCaptionTexture() { return *musicCaption_; }
  dg::TDGTexture& MusicBackground() { return *musicBack_; }
  dg::TDGTexture& CellTexture(int row, int col) {
    return *cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
  }
  dg::TDGTexture& AnswerTexture(int k) { return *answers_[static_cast<std::size_t>(k)]; }
  dg::TDGTexture& WalkerTexture(int k) { return *walker_[static_cast<std::size_t>(k)]; }
  dg::TDGTexture& RoadTexture() { return *road_; }
  dg::TDGTexture& LeafTexture() { return *leaf_; }
  sx::TSXTextWriter& CellWriter() { return *cellWriter_; }
  sx::TSXTextWriter& PanelWriter() { return *panelWriter_; }
  sx::TSXTextWriter& AnswerWriter() { return *answerWriter_; }
  int WalkerFrame() const { return walkerFrame_; }
  const sx::TSXScene& Scene() const { return *scene_; }
  // The wallpaper shown now; empty for the black fallback.
  const std::string& CurrentWallpaper() const { return currentWallpaper_; }

  // Writes `ansi` into one of the screen's text textures with `writer`: the panel
  // textures (meaning lines, reading, music caption) and their backgrounds take the
  // text's size; cell and answer textures keep theirs. An empty text changes nothing.
  void WriteText(dg::TDGTexture& texture, const std::string& ansi, sx::TSXTextWriter& writer);

 private:
  std::unique_ptr<dg::TDGTexture> NewTexture();
  void LoadArchiveImage(dg::TDGTexture& texture, const std::string& name);
  bool TryWallpaper(const std::string& path);
  void DrawImage(dg::TDGTexture& texture, float x, float y, std::uint32_t colour = kWhite);
  void DrawQuad(dg::TDGTexture& texture, float x, float y, float w, float h, std::uint32_t colour,
                float u0, float u1, float v0, float v1, sx::TSXFilter filter);

  dg::TDGCarad& carad_;
  ScreenOptions options_;
  const game::GameState* state_ = nullptr;
  const game::GameSettings* settings_ = nullptr;
  bool musicOn_ = false;

  std::unique_ptr<sx::TSXScene> scene_;
  std::unique_ptr<dg::TDGTexture> road_;
  std::unique_ptr<dg::TDGTexture> wallpaper_;
  std::unique_ptr<dg::TDGTexture> leaf_;
  std::array<std::unique_ptr<dg::TDGTexture>, 2> walker_;
  std::unique_ptr<dg::TDGTexture> musicCaption_;
  std::unique_ptr<dg::TDGTexture> musicBack_;
  std::unique_ptr<sx::TSXTextWriter> cellWriter_;
  std::unique_ptr<sx::TSXTextWriter> panelWriter_;
  std::unique_ptr<sx::TSXTextWriter> answerWriter_;
  std::array<std::array<std::unique_ptr<dg::TDGTexture>, game::kBoardCols>, game::kBoardRows>
      cells_;
  std::array<std::unique_ptr<dg::TDGTexture>, 2> meaning_;
  std::array<std::unique_ptr<dg::TDGTexture>, 2> meaningBack_;
  std::unique_ptr<dg::TDGTexture> reading_;
  std::unique_ptr<dg::TDGTexture> readingBack_;
  std::array<std::unique_ptr<dg::TDGTexture>, game::kAnswerSlotCount> answers_;
  int walkerFrame_ = 0;
  std::string currentWallpaper_;
};

// The window font of the saver: every writer starts with it.
sx::TSXFont WindowFont();

}  // namespace presentation
