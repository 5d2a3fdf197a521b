// Control ids of the linking progress dialog, carried as control_id.h describes ("ID_1046").
#pragma once

namespace ControlId {
inline constexpr int ProgressFrom = 1026;
inline constexpr int ProgressTo = 1027;
inline constexpr int ProgressEmpirical = 1028;
inline constexpr int ProgressHide = 1040;
inline constexpr int ProgressStop = 1046;
inline constexpr int ProgressBar = 1047;
}  // namespace ControlId
