#include "presentation/saver_screen.h"

#include <variant>

#include "dg/debug_log.h"
#include "platform/text/text.h"
#include "platform/winmm/sound.h"
#include "presentation/shorten_text.h"
#include "presentation/wallpaper.h"

namespace presentation {

namespace {

// The character whose extent sizes every cell and answer texture.
const std::string& SizingCharacter() {
  static const std::string ansi = platform::Utf8ToAnsi("四");
  return ansi;
}

RECT ImageRect(const dg::TDGTexture& texture) {
  return RECT{0, 0, static_cast<LONG>(texture.Width()), static_cast<LONG>(texture.Height())};
}

constexpr int kPanelLeft = 20;
constexpr int kMeaningTop = 65;
constexpr int kMeaningLineStep = 25;
constexpr int kReadingLeft = 250;
constexpr int kReadingBelowAnswers = 10;
constexpr int kMusicTop = 460;
constexpr int kPanelFontPoints = 14;
constexpr int kAnswerFontPoints = 28;
constexpr std::int32_t kGlyphCacheDepth = 16;

}  // namespace

sx::TSXFont WindowFont() {
  sx::TSXFont font;
  font.Name = "ＭＳ Ｐ明朝";
  font.Height = -21;
  font.Style = sx::fsBold;
  font.Charset = 128;
  return font;
}

SaverScreen::SaverScreen(dg::TDGCarad& carad, ScreenOptions options)
    : carad_(carad), options_(std::move(options)) {
  scene_ = std::make_unique<sx::TSXScene>(carad_, "");
  if (options_.sceneMade) options_.sceneMade();
  road_ = NewTexture();
  LoadArchiveImage(*road_, "road.bmp");
  wallpaper_ = NewTexture();
  leaf_ = NewTexture();
  LoadArchiveImage(*leaf_, "Leaf.bmp");
  const char* walkerNames[2] = {"velmorandi_0.bmp", "Velmorandi_1.bmp"};
  for (int k = 0; k < 2; ++k) {
    auto& walker = walker_[static_cast<std::size_t>(k)];
    walker = NewTexture();
    LoadArchiveImage(*walker, walkerNames[k]);
    // Green is the walker pictures' transparent colour; keying again makes black opaque.
    walker->ColorKey(ImageRect(*walker), 0xFF00FF00);
  }
  musicCaption_ = NewTexture();
  musicBack_ = NewTexture();

  cellWriter_ = std::make_unique<sx::TSXTextWriter>(carad_, kGlyphCacheDepth, D3DFMT_A8R8G8B8);
  cellWriter_->SetFont(WindowFont());
  panelWriter_ = std::make_unique<sx::TSXTextWriter>(carad_, kGlyphCacheDepth, D3DFMT_A8R8G8B8);
  panelWriter_->SetFont(WindowFont());
  panelWriter_->Font().SetSize(kPanelFontPoints);
  answerWriter_ = std::make_unique<sx::TSXTextWriter>(carad_, kGlyphCacheDepth, D3DFMT_A8R8G8B8);
  answerWriter_->SetFont(WindowFont());
  answerWriter_->Font().SetSize(kAnswerFontPoints);

  for (auto& row : cells_) {
    for (auto& cell : row) {
      cell = cellWriter_->CreateTextTexture(SizingCharacter(), dg::DGAlphaFormats, "");
      cell->ColorKey(ImageRect(*cell), 0x00000000);
    }
  }
  for (int k = 0; k < 2; ++k) {
    meaning_[static_cast<std::size_t>(k)] = NewTexture();
    meaningBack_[static_cast<std::size_t>(k)] = NewTexture();
  }
  reading_ = NewTexture();
  readingBack_ = NewTexture();
  for (auto& answer : answers_) {
    answer = answerWriter_->CreateTextTexture(SizingCharacter(), dg::DGAlphaFormats, "");
    answer->ColorKey(ImageRect(*answer), 0x00000000);
  }
  wallpaper_->FillColor = 0x00000000;
}

SaverScreen::~SaverScreen() = default;

std::unique_ptr<dg::TDGTexture> SaverScreen::NewTexture() {
  // One level: the device samples only the first, so smaller ones would never be read.
  return std::make_unique<dg::TDGTexture>(carad_, dg::DGAlphaFormats, 0, D3DPOOL_MANAGED, 1, "");
}

void SaverScreen::LoadArchiveImage(dg::TDGTexture& texture, const std::string& name) {
  texture.FillColor = 0x00FFFFFF;
  texture.LoadBMP(name, options_.dataDir + kArchiveName);
  texture.ColorKey(ImageRect(texture), 0x00000000);
}

int SaverScreen::LeafWidth() const { return static_cast<int>(leaf_->Width()); }
int SaverScreen::LeafHeight() const { return static_cast<int>(leaf_->Height()); }

void SaverScreen::SetWriterFont(const std::string& face, std::optional<std::uint8_t> style) {
  for (sx::TSXTextWriter* writer : {cellWriter_.get(), panelWriter_.get(), answerWriter_.get()}) {
    writer->Font().Name = face;
    if (style) writer->Font().Style = *style;
  }
}

void SaverScreen::WriteText(dg::TDGTexture& texture, const std::string& ansi,
                            sx::TSXTextWriter& writer) {
  if (ansi.empty()) return;
  dg::TDGTexture* background = nullptr;
  std::uint32_t fill = 0;
  std::string text = ansi;
  for (std::size_t k = 0; k < 2; ++k) {
    if (&texture == meaning_[k].get()) {
      background = meaningBack_[k].get();
      fill = kMeaningBackground;
    }
  }
  if (&texture == reading_.get()) {
    background = readingBack_.get();
    fill = kReadingBackground;
  }
  if (&texture == musicCaption_.get()) {
    text = ShortenText(ansi);
    background = musicBack_.get();
    fill = kMusicBackground;
  }
  if (background != nullptr) {
    const auto w = static_cast<std::uint32_t>(writer.TextWidth(text));
    const auto h = static_cast<std::uint32_t>(writer.TextHeight(text));
    background->SetSize(w, h);
    background->FillRect(ImageRect(*background), fill, dg::TDGFillAlpha::Replace);
    texture.SetSize(w, h);
  }
  texture.FillRect(ImageRect(texture), 0x00000000, dg::TDGFillAlpha::Replace);
  writer.DrawText(0, 0, texture, text);
}

void SaverScreen::WriteCellText(int row, int col, const std::u16string& kanji) {
  WriteText(CellTexture(row, col), platform::Utf16ToAnsi(kanji), *cellWriter_);
}

void SaverScreen::WriteAnswerText(int answer, const std::u16string& kanji) {
  WriteText(AnswerTexture(answer), platform::Utf16ToAnsi(kanji), *answerWriter_);
}

void SaverScreen::WriteReadingText(const std::u16string& reading) {
  WriteText(*reading_, platform::Utf16ToAnsi(reading), *panelWriter_);
}

void SaverScreen::WriteMeaningLine(game::MeaningLine line, const std::u16string& text) {
  WriteText(MeaningTexture(line == game::MeaningLine::kFirst ? 0 : 1), platform::Utf16ToAnsi(text),
            *panelWriter_);
}

void SaverScreen::WriteMusicCaption(const std::string& ansi) {
  WriteText(*musicCaption_, ansi, *panelWriter_);
}

void SaverScreen::PlayCompletionSound() {
  if (options_.sound == SoundOutput::kSilent) return;
  platform::sndPlaySoundA((options_.dataDir + kSoundName).c_str(),
                          platform::SND_ASYNC | platform::SND_NODEFAULT);
}

bool SaverScreen::TryWallpaper(const std::string& path) {
  CheckedWallpaper checked = CheckWallpaper(path);
  if (auto* refusal = std::get_if<Refusal>(&checked)) {
    // One language per line: the reason is the checker's own words, on a line of its own.
    dg::DebugLog("壁紙を表示できないため、次の壁紙に替えます: " + path);
    dg::DebugLog(refusal->reason);
    return false;
  }
  if (auto* jpeg = std::get_if<CheckedJpeg>(&checked)) {
    wallpaper_->LoadFromBitmap(jpeg->bitmap);
  } else {
    wallpaper_->LoadBMP(path, "");
  }
  currentWallpaper_ = path;
  return true;
}

void SaverScreen::LoadWallpaper(const std::string& path) {
  if (TryWallpaper(path)) return;
  // The next entries of the list after the one that failed, wrapping round once.
  if (settings_ != nullptr) {
    const std::vector<std::string>& list = settings_->wallpaperFiles;
    std::size_t start = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (list[i] == path) {
        start = i;
        break;
      }
    }
    for (std::size_t step = 1; step <= list.size(); ++step) {
      const std::string& next = list[(start + step) % list.size()];
      if (next == path) continue;
      if (TryWallpaper(next)) return;
    }
  }
  dg::DebugLog("表示できる壁紙がないため背景を黒にします");
  wallpaper_->SetSize(1, 1);  // filled with the transparent black FillColor
  currentWallpaper_.clear();
}

void SaverScreen::DrawQuad(dg::TDGTexture& texture, float x, float y, float w, float h,
                           std::uint32_t colour, float u0, float u1, float v0, float v1,
                           sx::TSXFilter filter) {
  const sx::TSXVertex vertices[4] = {
      sx::MakeVertex(0, 0, colour, u0, v0),
      sx::MakeVertex(w, 0, colour, u1, v0),
      sx::MakeVertex(0, h, colour, u0, v1),
      sx::MakeVertex(w, h, colour, u1, v1),
  };
  scene_->AddQuad(data::TVec2{x, y}, vertices, &texture, sx::sxbmAlphaBlend, filter,
                  sx::TSXLayer::Overlay, 0.0f);
}

void SaverScreen::DrawImage(dg::TDGTexture& texture, float x, float y, std::uint32_t colour) {
  DrawQuad(texture, x, y, static_cast<float>(texture.Width()), static_cast<float>(texture.Height()),
           colour, 0, texture.ScaleU(), 0, texture.ScaleV(), sx::TSXFilter::Point);
}

void SaverScreen::ComposeFrame() {
  scene_->Clear(D3DCLEAR_TARGET, 0x00000000, 1.0f, 0);
  if (state_ == nullptr) return;
  const game::GameState& g = *state_;
  const game::GameSettings& settings = *settings_;

  // The cells' textures were last read a tick ago and have left the caches: asked for now,
  // they arrive while the layers beneath are queued instead of stalling the cell loop once
  // a cell.
  for (auto& row : cells_)
    for (auto& cell : row) cell->PrefetchForDrawing();
  DrawQuad(*wallpaper_, 0, 0, 640, 480, kWhite, 0, wallpaper_->ScaleU(), 0, wallpaper_->ScaleV(),
           sx::TSXFilter::Linear);
  DrawImage(*road_, 0, 0);
  for (int r = 0; r < game::kBoardRows; ++r)
    for (int c = 0; c < game::kBoardCols; ++c)
      DrawImage(*leaf_, static_cast<float>(g.board[r][c].x), static_cast<float>(g.board[r][c].y));
  for (auto& row : cells_)
    for (auto& cell : row) cell->PrefetchDeviceTexture();

  const bool idiomShown = g.idiomDone && g.answerArrived[3];
  if ((settings.imiHyoji && g.answerArrived[0]) || idiomShown) {
    const int lines = g.meaningTwoLines ? 2 : 1;
    for (int k = 0; k < lines; ++k)
      DrawImage(MeaningBackground(k), kPanelLeft,
                static_cast<float>(kMeaningTop + kMeaningLineStep * k));
    for (int k = 0; k < lines; ++k)
      DrawImage(MeaningTexture(k), kPanelLeft,
                static_cast<float>(kMeaningTop + kMeaningLineStep * k), kMeaningBlue);
  }

  for (int r = 0; r < game::kBoardRows; ++r) {
    for (int c = 0; c < game::kBoardCols; ++c) {
      const game::TBoardCell& cell = g.board[r][c];
      const game::TFlyingTile& tile = g.flyingTiles[r][c];
      if (cell.idiomSlot < 0 || tile.y <= g.answerSlots[0].y) continue;
      std::uint32_t colour = kCharacterBlack;
      if (r == g.targetRow && c == g.targetCol && settings.ikisakiHyoji && !g.idiomDone)
        colour = kDestinationRed;
      if (tile.y < static_cast<std::int64_t>(cell.y)) colour = kFlyingRed;
      DrawImage(CellTexture(r, c), static_cast<float>(tile.x), static_cast<float>(tile.y), colour);
    }
  }

  for (int k = 0; k < game::kAnswerSlotCount; ++k) {
    if (!g.answerArrived[static_cast<std::size_t>(k)]) continue;
    const game::TAnswerSlot& slot = g.answerSlots[static_cast<std::size_t>(k)];
    DrawImage(AnswerTexture(k), static_cast<float>(slot.x), static_cast<float>(slot.y), kFlyingRed);
  }

  walkerFrame_ = (walkerFrame_ + 1) % kWalkerFrames;
  dg::TDGTexture& walker = g.facingLeft ? *walker_[1] : *walker_[0];
  const game::TBoardCell& at = g.board[g.walkerRow][g.walkerCol];
  const float frameU = walker.ScaleU() / kWalkerFrames;
  DrawQuad(walker, static_cast<float>(at.x) - 2, static_cast<float>(at.y) - 4,
           static_cast<float>(walker.Width() / kWalkerFrames), static_cast<float>(walker.Height()),
           kWhite, static_cast<float>(walkerFrame_) * frameU,
           static_cast<float>(walkerFrame_ + 1) * frameU, 0, walker.ScaleV(), sx::TSXFilter::Point);

  if (idiomShown) {
    const float top = static_cast<float>(g.answerSlots[0].y + kReadingBelowAnswers);
    DrawImage(*readingBack_, kReadingLeft, top);
    DrawImage(*reading_, kReadingLeft, top, kCharacterBlack);
  }

  if (musicOn_) {
    DrawImage(*musicBack_, kPanelLeft, kMusicTop);
    DrawImage(*musicCaption_, kPanelLeft, kMusicTop, kWhite);
  }
}

void SaverScreen::RenderFrame() {
  IDirect3DDevice9* device = carad_.Device();
  if (device == nullptr || FAILED(device->TestCooperativeLevel())) {
    if (options_.deviceLost) options_.deviceLost();
    return;
  }
  device->BeginScene();
  ComposeFrame();
  scene_->Render();
  device->EndScene();
  if (options_.framePresenting) options_.framePresenting(*device);
  device->Present(nullptr, nullptr, nullptr, nullptr);
}

}  // namespace presentation
