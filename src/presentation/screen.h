// What the saver's start-up and tick need of its screen: the game's view (texts, sound,
// frames, wallpaper) plus the few things start-up asks before the game exists.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "game/game_settings.h"
#include "game/game_state.h"
#include "game/game_view.h"

namespace presentation {

// Whether the game's state may change before the next tick. While it is still, a frame is
// the last one with the walker's next picture; moving, each frame is composed from it.
enum class GameMotion { kMoving, kStill };

class Screen : public game::GameView {
 public:
  // Size of the leaf tile picture, which sets the board geometry.
  virtual int LeafWidth() const = 0;
  virtual int LeafHeight() const = 0;
  // Gives all three text writers another face (UTF-8) and, when present, the style byte of
  // record.dat; their sizes stay.
  virtual void SetWriterFont(const std::string& face, std::optional<std::uint8_t> style) = 0;
  // The music panel's caption (Shift-JIS) and whether the panel shows.
  virtual void WriteMusicCaption(const std::string& ansi) = 0;
  virtual void SetMusicOn(bool on) = 0;
  // The game state the frames show and the settings it runs with; set before the first
  // frame, both outlive the screen's use of them.
  virtual void Attach(const game::GameState& state, const game::GameSettings& settings) = 0;
  // Told each tick before the frames it draws; moving until told otherwise.
  virtual void SetGameMotion(GameMotion motion) = 0;
};

}  // namespace presentation
