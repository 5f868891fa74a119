// PLACEHOLDER: empty bodies until this family is written.
#include "display/status_row.h"
#include "core/panel.h"

namespace korvel {

void showStatusRow(Panel&) {}

}  // namespace korvel
