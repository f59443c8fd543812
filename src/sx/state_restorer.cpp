#include "sx/state_restorer.h"

namespace sx {

TSXStateRestorer::TSXStateRestorer(IDirect3DDevice9* device) : device_(device) {}

bool TSXStateRestorer::Empty() const {
  for (const auto& slot : renderStates_) {
    if (slot) return false;
  }
  for (const auto& stage : stageStates_) {
    for (const auto& slot : stage) {
      if (slot) return false;
    }
  }
  return true;
}

}  // namespace sx
