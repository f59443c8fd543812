#include "json_player.h"

#include "platform/text/text.h"

namespace play {

namespace {

std::string Square(int r, int c) { return "[" + std::to_string(r) + "," + std::to_string(c) + "]"; }

}  // namespace

std::string JsonString(const std::u16string& text) {
  const std::string utf8 = platform::Utf16ToUtf8(text);
  std::string out = "\"";
  for (const char ch : utf8) {
    const auto byte = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (byte < 0x20) {
      static const char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

JsonPlayer::JsonPlayer(std::FILE* out, game::Clock& clock, const dictionary::Dictionary& dictionary)
    : out_(out), clock_(clock), dictionary_(dictionary) {}

std::string JsonPlayer::Time() {
  lastEventTime_ = clock_.Now();
  return ",\"t\":" + std::to_string(lastEventTime_);
}

void JsonPlayer::Line(const std::string& json) {
  std::fputs(json.c_str(), out_);
  std::fputc('\n', out_);
}

void JsonPlayer::BoardFilled() {
  ++boardsFilled_;
  lastEventTime_ = clock_.Now();
  const game::GameState& g = *game_;
  std::string cells;
  for (int r = 0; r < game::kBoardRows; ++r) {
    for (int c = 0; c < game::kBoardCols; ++c) {
      const game::TBoardCell& cell = g.board[r][c];
      if (!cells.empty()) cells += ",";
      cells += "[" + JsonString(cell.kanji) + "," + std::to_string(cell.idiomSlot) + "," +
               std::to_string(cell.kanji.empty() ? 0 : cell.charPos) + "]";
    }
  }
  std::string idioms;
  for (int k = 0; k < game::kBoardIdiomCount; ++k)
    idioms += (k ? "," : "") + std::to_string(g.boardIdiomIndex[k]);
  Line("{\"event\":\"board\",\"n\":" + std::to_string(boardsFilled_) + ",\"cells\":[" + cells +
       "],\"hole\":" + Square(g.walkerRow, g.walkerCol) + ",\"idioms\":[" + idioms + "]}");
}

void JsonPlayer::RoutePlanned() {
  const game::GameState& g = *game_;
  std::string squares;
  for (int i = 0; i < g.routeLength; ++i)
    squares += (i ? "," : "") + Square(g.routeRows[static_cast<std::size_t>(i)],
                                       g.routeCols[static_cast<std::size_t>(i)]);
  Line("{\"event\":\"route\",\"from\":" + Square(g.walkerRow, g.walkerCol) +
       ",\"target\":" + Square(g.targetRow, g.targetCol) + ",\"squares\":[" + squares + "]}");
}

void JsonPlayer::WalkerStepped() {
  Line("{\"event\":\"step\"" + Time() +
       ",\"square\":" + Square(game_->walkerRow, game_->walkerCol) + "}");
}

void JsonPlayer::CharacterEaten(int row, int col, int slot, int pos) {
  ++eaten_;
  Line("{\"event\":\"eat\"" + Time() + ",\"square\":" + Square(row, col) +
       ",\"slot\":" + std::to_string(slot) + ",\"pos\":" + std::to_string(pos) + "}");
}

void JsonPlayer::IdiomCompleted(int slot) {
  const int d = game_->boardIdiomIndex[slot];
  Line("{\"event\":\"complete\"" + Time() + ",\"slot\":" + std::to_string(slot) +
       ",\"index\":" + std::to_string(d) + ",\"idiom\":" + JsonString(dictionary_.Idiom(d)) +
       ",\"reading\":" + JsonString(dictionary_.IdiomReading(d)) +
       ",\"meaning\":" + JsonString(dictionary_.IdiomMeaning(d)) + "}");
}

void JsonPlayer::TileLanded(int answer) {
  Line("{\"event\":\"land\"" + Time() + ",\"answer\":" + std::to_string(answer) + "}");
}

void JsonPlayer::PlayCompletionSound() { Line("{\"event\":\"sound\"" + Time() + "}"); }

void JsonPlayer::End(int boards) {
  Line("{\"event\":\"end\",\"boards\":" + std::to_string(boards) +
       ",\"eaten\":" + std::to_string(eaten_) + "}");
}

}  // namespace play
