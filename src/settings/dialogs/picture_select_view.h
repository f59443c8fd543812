// What the wallpaper dialog's logic asks of its window: the list box's items and
// selection, the delete button, the preview and the instruction label.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/dialogs/dialog_services.h"

namespace settings {

class PictureSelectView {
 public:
  virtual ~PictureSelectView() = default;

  virtual platform::ui::NativeWindow Window() = 0;
  virtual void SetInstruction(const std::string& text) = 0;
  // The list box shows these paths, in this order, nothing selected.
  virtual void SetItems(const std::vector<std::string>& paths) = 0;
  // Appends one path; the selection stays.
  virtual void AddItem(const std::string& path) = 0;
  virtual void ReplaceItem(int row, const std::string& path) = 0;
  // Removes one row; afterwards nothing is selected.
  virtual void RemoveItem(int row) = 0;
  // The selected row, -1 when none.
  virtual int SelectedRow() const = 0;
  virtual void SetDeleteEnabled(bool enabled) = 0;
  // Shows the picture file scaled into the preview box; false (the previous preview kept)
  // when it cannot be decoded.
  virtual bool ShowPreview(const std::string& path) = 0;
  virtual void ClearPreview() = 0;
};

}  // namespace settings
