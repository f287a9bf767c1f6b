#pragma once
#include <string_view>

namespace core {

// The number under which a new saved ID goes: id_count + 1, unless a section of that name already
// exists (only a hand-edited store with a gap in its numbering has one); then the lowest number that
// has no section, so that saving never overwrites a saved ID. Section names match without regard to
// letter case, as the profile functions match them.
int FreeIdNumber(std::string_view text, int id_count);

}  // namespace core
