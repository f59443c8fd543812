#include "test_support.h"

#include <array>
#include <deque>
#include <fstream>
#include <functional>

#include "support/user_list_text.h"

namespace game_test {

void RecordingView::WriteCellText(int row, int col, const std::u16string& kanji) {
  calls.push_back({"Cell", row, col, kanji, {}});
  if (onCellWritten) onCellWritten(row, col);
}
void RecordingView::WriteAnswerText(int answer, const std::u16string& kanji) {
  calls.push_back({"Answer", answer, -1, kanji, {}});
}
void RecordingView::WriteReadingText(const std::u16string& reading) {
  calls.push_back({"Reading", -1, -1, reading, {}});
}
void RecordingView::WriteMeaningLine(game::MeaningLine line, const std::u16string& text) {
  calls.push_back({"Meaning", line == game::MeaningLine::kFirst ? 1 : 2, -1, text, {}});
}
void RecordingView::PlayCompletionSound() { calls.push_back({"Sound"}); }
void RecordingView::RenderFrame() { calls.push_back({"Render"}); }
void RecordingView::LoadWallpaper(const std::string& path) {
  calls.push_back({"Wallpaper", -1, -1, {}, path});
}

void WriteUserList(const std::string& path, const std::vector<UserGroup>& groups) {
  std::vector<std::string> body;
  for (const UserGroup& g : groups) body.insert(body.end(), {g.idiom, g.meaning, g.reading});
  std::ofstream(path, std::ios::binary) << testing_support::FileListText(body);
}

namespace {
// Appends the UTF-8 form of a BMP code point.
void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
  }
  out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
}
}  // namespace

std::vector<UserGroup> MakeUserGroups(int count) {
  std::vector<UserGroup> groups;
  for (int i = 0; i < count; ++i) {
    // Kana, which no built-in idiom uses: hiragana from U+3041, then katakana from U+30A1.
    std::string idiom;
    for (int p = 0; p < 4; ++p) {
      const int n = i * 4 + p;
      AppendUtf8(idiom, static_cast<char32_t>(n < 83 ? 0x3041 + n : 0x30A1 + n - 83));
    }
    groups.push_back({idiom, "意味" + std::to_string(i), "よみ" + std::to_string(i)});
  }
  return groups;
}

bool FreeSquaresConnected(const game::BoardGrid& board) {
  std::array<std::array<bool, 9>, 9> seen{};
  std::deque<Square> queue;
  int free = 0;
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c)
      if (board[r][c].kanji.empty()) {
        if (free++ == 0) {
          queue.emplace_back(r, c);
          seen[r][c] = true;
        }
      }
  int reached = 0;
  while (!queue.empty()) {
    const auto [r, c] = queue.front();
    queue.pop_front();
    ++reached;
    const std::array<Square, 4> next{{{r - 1, c}, {r + 1, c}, {r, c - 1}, {r, c + 1}}};
    for (const auto& [nr, nc] : next) {
      if (nr < 0 || nr > 8 || nc < 0 || nc > 8 || seen[nr][nc] || !board[nr][nc].kanji.empty())
        continue;
      seen[nr][nc] = true;
      queue.emplace_back(nr, nc);
    }
  }
  return reached == free;
}

std::vector<Square> ReferenceRoute(const game::BoardGrid& board, Square from, Square target) {
  auto occupied = [&](int r, int c) { return !board[r][c].kanji.empty(); };
  std::array<std::array<bool, 9>, 9> visited{};
  std::vector<Square> path{from};
  visited[from.first][from.second] = true;
  const auto [tr, tc] = target;

  std::function<bool(int, int)> dfs = [&](int r, int c) -> bool {
    if (r == tr || c == tc) {
      const int dr = (tr > r) - (tr < r);
      const int dc = (tc > c) - (tc < c);
      bool clear = true;
      for (int y = r + dr, x = c + dc; y != tr || x != tc; y += dr, x += dc)
        clear = clear && !occupied(y, x);
      if (clear) {
        for (int y = r + dr, x = c + dc;; y += dr, x += dc) {
          path.emplace_back(y, x);
          if (y == tr && x == tc) break;
        }
        return true;
      }
    }
    const int v = r < tr ? 1 : -1;  // toward the target; up when level
    const int h = c < tc ? 1 : -1;  // toward the target; left when level
    const std::array<Square, 4> moves{{{v, 0}, {0, h}, {-v, 0}, {0, -h}}};
    for (const auto& [dr, dc] : moves) {
      const int nr = r + dr;
      const int nc = c + dc;
      if (nr < 0 || nr > 8 || nc < 0 || nc > 8 || visited[nr][nc]) continue;
      visited[nr][nc] = true;
      if (!occupied(nr, nc)) {
        path.emplace_back(nr, nc);
        if (dfs(nr, nc)) return true;
        path.pop_back();
      } else if (nr == tr && nc == tc) {
        path.emplace_back(nr, nc);
        return true;
      }
    }
    return false;
  };
  if (!dfs(from.first, from.second)) return {};
  return path;
}

std::vector<Square> RouteOf(const game::GameState& route) {
  std::vector<Square> squares;
  for (int i = 0; i < route.routeLength; ++i)
    squares.emplace_back(route.routeRows[static_cast<std::size_t>(i)],
                         route.routeCols[static_cast<std::size_t>(i)]);
  return squares;
}

}  // namespace game_test
