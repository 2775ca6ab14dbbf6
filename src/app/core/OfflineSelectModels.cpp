#include "app/core/OfflineSelectModels.h"

#include <array>

namespace {
constexpr std::array<TOfflineModel, 4> models{{
    {"RV210P", 22, true, true, -200, 850, 50},
    {"RV210N", 26, false, true, 0, 100, 10},
    {"WB7", 154, false, true, 0, 100, 10},
    {"WBL7", 203, false, false, 0, 0, 0},
}};
}  // namespace

std::span<const TOfflineModel> OfflineModels() { return models; }

const TOfflineModel* OfflineModelAt(int index) {
  if (index < 0 || index >= static_cast<int>(models.size())) return nullptr;
  return &models[static_cast<std::size_t>(index)];
}
