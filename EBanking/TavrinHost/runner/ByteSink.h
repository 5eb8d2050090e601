#pragma once
// Where text goes that is written in pieces: each call hands on the next piece, and false
// means it could not be taken, so that the writer stops.
#include <functional>
#include <string_view>

namespace tavrin_host {

using ByteSink = std::function<bool(std::string_view bytes)>;

} // namespace tavrin_host
